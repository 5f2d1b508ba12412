// Bad input: damaged settings files restore clamped or default values, and
// the ASIO listener takes messages of any length and content.

#include "controls/button.h"
#include "controls/knob.h"
#include "driver/quorlin_io_control.h"
#include "log_capture.h"
#include "panel_probe.h"
#include "panels/stored_value.h"
#include "panels/vt1.h"
#include "settings/asio_message.h"
#include "settings/settings.h"
#include "settings/thread_settings_pip.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>
#include <memory>
#include <vector>

using namespace PanelProbe;
using virtualunit::VirtualUnit;

namespace {

const QString kWaiting = QStringLiteral("ThreadSettingsPip is running waiting Asio Info...");
const QString kOpenWindow = QStringLiteral("Open Window Signal from ASIO.");
const QString kNoData = QStringLiteral("No data received from pipe.");
const QString kTooLong = QStringLiteral("Error reading from pipe. Error code: 234");
const QString kStartUpDone = QStringLiteral("设置初始化完成");

// The largest message the listener reads in one piece.
constexpr int kPanelBufferSize = 1024;

QByteArray randomBytes(quint32 seed, int size)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

void writeRaw(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), contents.size());
}

// Word `index` of a message as the ASIO driver means it: little-endian, with
// the bytes it did not send counted as zero.
quint32 wordOf(const QByteArray& message, int index)
{
    quint32 word = 0;
    for (int byte = 3; byte >= 0; --byte) {
        const int at = 4 * index + byte;
        const auto value = at < message.size() ? static_cast<quint8>(message.at(at)) : 0u;
        word = (word << 8) | value;
    }
    return word;
}

// Bytes 0..n-1 counting up from 1, so that every word is different.
QByteArray counting(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i + 1) & 0xFF);
    return bytes;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    WideOutputSink m_wideOutput;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<VirtualUnit> m_unit;
    // One listener serves every message of liveListener, as in the product.
    std::unique_ptr<ThreadSettingsPip> m_listener;
    QObject m_receiver;
    int m_openRequests = 0;

    void plug(std::uint32_t productId)
    {
        virtualunit::Options options;
        options.productId = productId;
        options.movingMeters = false;
        m_unit = std::make_unique<VirtualUnit>(options);
        QVERIFY(m_unit->plug());
    }

private slots:
    void init()
    {
        m_log = std::make_unique<LogCapture>();
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    }

    void cleanup()
    {
        m_unit.reset();
        m_log.reset();
    }

    void cleanupTestCase() { m_listener.reset(); }

    // ---- the stored-value mapping --------------------------------------

    void storedInt_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        // The fallback is -80 throughout, a value none of the inputs means.
        QTest::newRow("int as written") << QVariant(QStringLiteral("42")) << 42;
        QTest::newRow("negative") << QVariant(QStringLiteral("-20")) << -20;
        QTest::newRow("zero") << QVariant(QStringLiteral("0")) << 0;
        QTest::newRow("leading zeros") << QVariant(QStringLiteral("007")) << 7;
        QTest::newRow("int in memory") << QVariant(12) << 12;
        QTest::newRow("int max") << QVariant(QStringLiteral("2147483647")) << 2147483647;
        QTest::newRow("int min") << QVariant(QStringLiteral("-2147483648")) << int(-2147483648LL);
        QTest::newRow("one past int max") << QVariant(QStringLiteral("2147483648")) << -80;
        QTest::newRow("huge") << QVariant(QStringLiteral("99999999999999999999")) << -80;
        QTest::newRow("huge negative") << QVariant(QStringLiteral("-99999999999999999999")) << -80;
        QTest::newRow("long long beyond int") << QVariant(qlonglong(1) << 40) << -80;
        QTest::newRow("long long in range") << QVariant(qlonglong(-5)) << -5;
        QTest::newRow("unsigned beyond int") << QVariant(4000000000u) << -80;
        QTest::newRow("empty") << QVariant(QString()) << -80;
        QTest::newRow("minus alone") << QVariant(QStringLiteral("-")) << -80;
        QTest::newRow("word") << QVariant(QStringLiteral("loud")) << -80;
        QTest::newRow("bool text") << QVariant(QStringLiteral("true")) << -80;
        QTest::newRow("fraction") << QVariant(QStringLiteral("12.5")) << -80;
        QTest::newRow("plus sign") << QVariant(QStringLiteral("+5")) << -80;
        QTest::newRow("hexadecimal") << QVariant(QStringLiteral("0x10")) << -80;
        QTest::newRow("inner space") << QVariant(QStringLiteral("1 2")) << -80;
        QTest::newRow("trailing junk") << QVariant(QStringLiteral("5dB")) << -80;
        QTest::newRow("arabic-indic digits") << QVariant(QStringLiteral("\u0665")) << -80;
        QTest::newRow("list") << QVariant(QStringList{"1", "2"}) << -80;
        QTest::newRow("bool") << QVariant(true) << -80;
        QTest::newRow("double") << QVariant(3.0) << -80;
        QTest::newRow("invalid") << QVariant() << -80;
    }

    void storedInt()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        QCOMPARE(PanelParts::storedInt(stored, -80), expected);
    }

    void storedBool_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<bool>("expected");
        QTest::newRow("true as written") << QVariant(QStringLiteral("true")) << false << true;
        QTest::newRow("false as written") << QVariant(QStringLiteral("false")) << true << false;
        QTest::newRow("bool in memory on") << QVariant(true) << false << true;
        QTest::newRow("bool in memory off") << QVariant(false) << true << false;
        QTest::newRow("junk, default off") << QVariant(QStringLiteral("junk")) << false << false;
        QTest::newRow("junk, default on") << QVariant(QStringLiteral("junk")) << true << true;
        QTest::newRow("yes") << QVariant(QStringLiteral("yes")) << false << false;
        QTest::newRow("number text") << QVariant(QStringLiteral("12")) << false << false;
        QTest::newRow("one") << QVariant(QStringLiteral("1")) << false << true;
        QTest::newRow("zero, default on") << QVariant(QStringLiteral("0")) << true << false;
        QTest::newRow("empty, default on") << QVariant(QString()) << true << true;
        QTest::newRow("capitalised") << QVariant(QStringLiteral("True")) << false << false;
        QTest::newRow("int") << QVariant(1) << false << false;
        QTest::newRow("list") << QVariant(QStringList{"true"}) << false << false;
        QTest::newRow("invalid") << QVariant() << true << true;
    }

    void storedBool()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, fallback);
        QFETCH(bool, expected);
        QCOMPARE(PanelParts::storedBool(stored, fallback), expected);
    }

    // ---- a damaged panel file, restored by a real panel ----------------

    void damagedPanelFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("mic");       // micDial, 0..42, default 0
        QTest::addColumn<int>("headphone"); // headphoneDial, -80..6, default -80
        QTest::addColumn<int>("phone");     // otgToHpDial, -80..6, default 0
        QTest::addColumn<bool>("phantom");  // 48V, default off
        QTest::addColumn<bool>("instrument");

        QTest::newRow("values as written")
            << QByteArray("[Dial]\nMicValue=30\nHeadphoneValue=-20\nOtgToHpValue=-6\n"
                          "[Button]\nMic48VIsChecked=true\nMicInstrIsChecked=true\n")
            << 30 << -20 << -6 << true << true;
        QTest::newRow("wrong types")
            << QByteArray("[Dial]\nMicValue=true\nHeadphoneValue=loud\nOtgToHpValue=1.5\n"
                          "[Button]\nMic48VIsChecked=12\nMicInstrIsChecked=yes\n")
            << 0 << -80 << 0 << false << false;
        QTest::newRow("empty values")
            << QByteArray("[Dial]\nMicValue=\nHeadphoneValue=\nOtgToHpValue=\n"
                          "[Button]\nMic48VIsChecked=\nMicInstrIsChecked=\n")
            << 0 << -80 << 0 << false << false;
        QTest::newRow("huge numbers") << QByteArray("[Dial]\nMicValue=99999999999999999999\n"
                                                    "HeadphoneValue=99999999999999999999\n"
                                                    "OtgToHpValue=-99999999999999999999\n")
                                      << 0 << -80 << 0 << false << false;
        QTest::newRow("large numbers within int are clamped")
            << QByteArray("[Dial]\nMicValue=2147483647\nHeadphoneValue=-2147483648\n"
                          "OtgToHpValue=1000\n")
            << 42 << -80 << 6 << false << false;
        QTest::newRow("lists and variants")
            << QByteArray("[Dial]\nMicValue=\"@Variant(\\0\\0\\0\\x7f\\xff)\"\n"
                          "HeadphoneValue=-20, -10\n[Button]\nMic48VIsChecked=true, true\n")
            << 0 << -80 << 0 << false << false;
        QTest::newRow("stray sections")
            << QByteArray("[Other]\nMicValue=30\nMic48VIsChecked=true\n[Dial]\nMicValue=20\n"
                          "[General]\nHeadphoneValue=5\n[Dial]\nOtgToHpValue=-10\n"
                          "[Dial/Deeper]\nHeadphoneValue=3\n")
            << 20 << -80 << -10 << false << false;
        QTest::newRow("binary junk") << randomBytes(8, 4096) << 0 << -80 << 0 << false << false;
        QTest::newRow("nul bytes") << QByteArray(512, '\0') << 0 << -80 << 0 << false << false;
    }

    void damagedPanelFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, mic);
        QFETCH(int, headphone);
        QFETCH(int, phone);
        QFETCH(bool, phantom);
        QFETCH(bool, instrument);

        writeRaw(settingsPath("vt1.ini"), contents);
        plug(virtualunit::kProductIdVt1);
        vt1 panel;

        const QList<Knob*> dials = knobs(&panel);
        QCOMPARE(dials.size(), 3);
        QCOMPARE(dials[0]->value, mic);
        QCOMPARE(dials[1]->value, headphone);
        QCOMPARE(dials[2]->value, phone);
        QCOMPARE(button(&panel, "48V")->checked, phantom);
        QCOMPARE(button(&panel, instrument ? "INST" : "MIC")->checked, instrument);

        // The unit got the restored values, and the file now holds them.
        const virtualunit::UnitState unit = m_unit->state();
        QCOMPARE(unit.micVolume[1], 2 * mic);
        QCOMPARE(unit.mic48V[1], int(phantom));
        QCOMPARE(unit.micInstrument[1], int(instrument));
        QCOMPARE(unit.cell(256, 0), QuorlinIoControl::DbToLinear(headphone));
        QSettings file(settingsPath("vt1.ini"), QSettings::IniFormat);
        QCOMPARE(file.value("Dial/MicValue").toString(), QString::number(mic));
        QCOMPARE(file.value("Dial/HeadphoneValue").toString(), QString::number(headphone));
        QCOMPARE(file.value("Button/Mic48VIsChecked").toString(),
                 phantom ? QStringLiteral("true") : QStringLiteral("false"));
    }

    // ---- a damaged setting.ini, loaded by the settings dialog ----------

    void damagedDialogFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("boxes"); // latency, buffer, safe mode, rate
        QTest::addColumn<quint32>("unitBuffer");

        // The boxes start at their first items: "8", "48", "Disabled", "44100".
        QTest::newRow("values as written")
            << QByteArray("[Audio]\nBufferSize=256\nSampleRate=44100\n"
                          "[USB]\nLatencySize=16\nSlowMode=Disabled\n")
            << QStringList{"16", "256", "Disabled", "44100"} << 256u;
        QTest::newRow("junk texts change nothing")
            << QByteArray("[Audio]\nBufferSize=junk\nSampleRate=99999999999999999999\n"
                          "[USB]\nLatencySize=\nSlowMode=on\n")
            << QStringList{"8", "48", "Disabled", "44100"} << 192u;
        QTest::newRow("near misses change nothing")
            << QByteArray("[Audio]\nBufferSize=0256\nSampleRate=48000.0\n"
                          "[USB]\nLatencySize=16 frames\nSlowMode=enabled\n")
            << QStringList{"8", "48", "Disabled", "44100"} << 192u;
        QTest::newRow("binary junk reads as absent")
            << randomBytes(5, 4096) << QStringList{"8", "192", "Disabled", "44100"} << 192u;
        QTest::newRow("stray sections")
            << QByteArray("[Other]\nBufferSize=64\n[Audio]\nBufferSize=512\n[General]\n"
                          "LatencySize=32\n")
            << QStringList{"8", "512", "Disabled", "44100"} << 512u;
    }

    void damagedDialogFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, boxes);
        QFETCH(quint32, unitBuffer);

        writeRaw(settingsPath("setting.ini"), contents);
        plug(virtualunit::kProductIdVt2);
        Settings dialog;
        QVERIFY(dialog.createDevice());
        dialog.initialize();
        QTRY_VERIFY(m_log->contains(kStartUpDone));

        QStringList shown;
        for (const char* name : {"usbLatencyBox", "bufferSizeBox", "safeModeBox", "sampleRateBox"})
            shown << dialog.findChild<QComboBox*>(name)->currentText();
        QCOMPARE(shown, boxes);
        QCOMPARE(m_unit->state().bufferSize, unitBuffer);
    }

    // ---- the ASIO message decoding ---------------------------------------

    void asioMessage_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QList<quint32>>("words");
        QTest::addColumn<bool>("opens");

        QTest::newRow("empty") << QByteArray() << QList<quint32>{0, 0, 0, 0, 0} << false;
        QTest::newRow("open-window")
            << QByteArray::fromHex("0000000000000000000000000000000001000000")
            << QList<quint32>{0, 0, 0, 0, 1} << true;
        QTest::newRow("16 bytes never open")
            << QByteArray(16, '\xff')
            << QList<quint32>{0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff, 0} << false;
        QTest::newRow("17th byte alone opens") << QByteArray(16, '\0') + QByteArray("\x02", 1)
                                               << QList<quint32>{0, 0, 0, 0, 2} << true;
        QTest::newRow("top byte of word 4 opens")
            << QByteArray(19, '\0') + QByteArray("\x80", 1)
            << QList<quint32>{0, 0, 0, 0, 0x80000000u} << true;
        QTest::newRow("little-endian words")
            << QByteArray::fromHex("0100000002010000ffffffff7856341200000000")
            << QList<quint32>{1, 0x102, 0xffffffff, 0x12345678, 0} << false;
        QTest::newRow("bytes after word 4 ignored")
            << QByteArray(20, '\0') + QByteArray(1004, '\x01') << QList<quint32>{0, 0, 0, 0, 0}
            << false;
        QTest::newRow("cut inside word 1") << QByteArray::fromHex("aabbccddeeff")
                                           << QList<quint32>{0xddccbbaa, 0xffee, 0, 0, 0} << false;
    }

    void asioMessage()
    {
        QFETCH(QByteArray, message);
        QFETCH(QList<quint32>, words);
        QFETCH(bool, opens);
        const AsioMessage decoded =
            decodeAsioMessage(reinterpret_cast<const unsigned char*>(message.constData()),
                              std::size_t(message.size()));
        const QList<quint32> got(decoded.words.begin(), decoded.words.end());
        QCOMPARE(got, words);
        QCOMPARE(decoded.opensWindow(), opens);
    }

    // Every length from 0 to 4096, of counting bytes and of random bytes,
    // decodes as the sender meant; sanitizer builds catch a read past the
    // message.
    void asioMessageOfEveryLength()
    {
        const QByteArray random = randomBytes(21, 4096);
        for (int length = 0; length <= 4096; ++length) {
            for (const QByteArray& source : {counting(length), random.left(length)}) {
                // A copy of exactly `length` bytes, so that nothing past it is readable.
                std::vector<unsigned char> exact(source.begin(), source.end());
                const AsioMessage decoded = decodeAsioMessage(exact.data(), exact.size());
                for (int word = 0; word < 5; ++word)
                    QCOMPARE(decoded.words[std::size_t(word)], wordOf(source, word));
                QCOMPARE(decoded.opensWindow(), wordOf(source, 4) != 0);
            }
        }
    }

    // ---- the live listener -----------------------------------------------

    // Messages of the boundary lengths and of random contents, sent by the
    // virtual ASIO driver one after another to one listener.
    // QUORLIN_PIPE_SWEEP=all sends random bytes of every length from 0 to
    // 4096 instead (about eight minutes: the listener pauses 100 ms between
    // clients).
    void liveListener_data()
    {
        QTest::addColumn<QByteArray>("message");
        if (qgetenv("QUORLIN_PIPE_SWEEP") == "all") {
            for (int length = 0; length <= 4096; ++length)
                QTest::addRow("%d random bytes", length) << randomBytes(quint32(length), length);
            return;
        }
        for (int length : {0, 1, 3, 4, 15, 16, 17, 19, 20, 21, 512, 1023, 1024, 1025, 2000, 4096}) {
            QTest::addRow("%d counting bytes", length) << counting(length);
            QTest::addRow("%d random bytes", length) << randomBytes(quint32(length), length);
        }
    }

    void liveListener()
    {
        QFETCH(QByteArray, message);
        if (!m_listener) {
            m_listener = std::make_unique<ThreadSettingsPip>(nullptr);
            connect(m_listener.get(), &ThreadSettingsPip::progressUpdated, &m_receiver,
                    [this](int) { ++m_openRequests; });
            m_listener->start();
            QTRY_COMPARE(m_log->count(kWaiting), 1);
            m_log->clear();
        }
        plug(virtualunit::kProductIdVt2);
        const int before = m_openRequests;

        const std::vector<unsigned char> bytes(message.begin(), message.end());
        QCOMPARE(m_unit->sendToPanel(bytes), 0u);
        QTRY_COMPARE(m_log->count(kWaiting), 1); // dealt with it, waits for the next
        QCoreApplication::processEvents();

        if (message.size() > kPanelBufferSize) {
            QCOMPARE(m_log->count(kTooLong), 1);
            QCOMPARE(m_log->count(kNoData), 1);
            QCOMPARE(m_openRequests, before);
        } else {
            QString received = QStringLiteral("Received data from pipe:");
            for (int word = 0; word < 5; ++word)
                received += QLatin1Char(' ') + QString::number(wordOf(message, word));
            QCOMPARE(m_log->count(received), 1);
            const bool opens = wordOf(message, 4) != 0;
            QCOMPARE(m_log->count(kOpenWindow), int(opens));
            QCOMPARE(m_openRequests, before + int(opens));
        }
    }

    // After all of that, the open-window request still gets through.
    void listenerStillServes()
    {
        QVERIFY(m_listener);
        plug(virtualunit::kProductIdVt2);
        const int before = m_openRequests;
        QCOMPARE(m_unit->sendOpenWindow(), 0u);
        QTRY_COMPARE(m_openRequests, before + 1);
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_bad_input.moc"
