// The settings dialog against the virtual unit: what option changes and the
// start-up send, with their pauses, setting.ini, the USB error count, the ASIO link.

#include "platform/message_pipe.h"
#include "settings/settings.h"
#include "test_common.h"

#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <chrono>
#include <map>
#include <mutex>
#include <poll.h>

using virtualunit::VirtualUnit;
using Bytes = QByteArray;

namespace {

// An option picked (`pick`, box=text) or, with none, initialize() as the main
// window runs it, from buffer 192, latency 8, 44100 Hz, safe mode off, with
// setting.ini holding `file`, then `before` picked. Lists are separated by "; ",
// "@" is the start-up rate steps at 44100 Hz. `failure` is the failed step
// logged, `end` the line that ends a sequence that goes on in timers.
struct Sequence {
    const char *name, *file, *before, *refused, *pick, *calls, *saved, *failure = "", *end = "";
    bool running = true;
};
const char* const kAll =
    "[Audio]; BufferSize=256; SampleRate=44100; [USB]; LatencySize=16; SlowMode=Enabled";
const char* const kDone = "设置初始化完成";
const char* const kStartUpRate =
    "GetSampleRate -> 44100; StopAudio; SetSampleRate 44100; SetWdmChannelCount 4";
const Sequence kSequences[] = {
    {"buffer 64 lowers latency 24 to 8 first", "", "usbLatencyBox=24", "", "bufferSizeBox=64",
     "GetBufferSize -> 192; GetUsbLatency -> 24; GetUsbLatency -> 24; StopAudio; SetUsbLatency 8; "
     "RestartAudio; StopAudio; SetBufferSize 64; RestartAudio",
     "[Audio]; BufferSize=64; [USB]; LatencySize=8"},
    {"buffer 128 lowers latency 32 to 16", "", "usbLatencyBox=32", "", "bufferSizeBox=128",
     "GetBufferSize -> 192; GetUsbLatency -> 32; GetUsbLatency -> 32; StopAudio; SetUsbLatency 16; "
     "RestartAudio; StopAudio; SetBufferSize 128; RestartAudio",
     "[Audio]; BufferSize=128; [USB]; LatencySize=16"},
    {"buffer 1024 keeps latency 32", "", "usbLatencyBox=32", "", "bufferSizeBox=1024",
     "GetBufferSize -> 192; GetUsbLatency -> 32; StopAudio; SetBufferSize 1024; RestartAudio",
     "[Audio]; BufferSize=1024; [USB]; LatencySize=32"},
    {"buffer size in use", "", "", "", "bufferSizeBox=192", "GetBufferSize -> 192", ""},
    {"buffer size refused", "[Audio]; BufferSize=192", "", "SetBufferSize", "bufferSizeBox=64",
     "GetBufferSize -> 192; GetUsbLatency -> 8; StopAudio; SetBufferSize 64 failed 31",
     "[Audio]; BufferSize=192", "设置音频缓冲区大小失败", "", false},
    {"latency 16", "", "", "", "usbLatencyBox=16",
     "GetUsbLatency -> 8; StopAudio; SetUsbLatency 16; RestartAudio", "[USB]; LatencySize=16"},
    {"safe mode on", "", "", "", "safeModeBox=Enabled",
     "StopAudio; EnableUsbSlowMode; RestartAudio", "[USB]; SlowMode=Enabled"},
    {"safe mode off", "", "safeModeBox=Enabled", "", "safeModeBox=Disabled",
     "StopAudio; DisableUsbSlowMode; RestartAudio", "[USB]; SlowMode=Disabled"},
    {"safe mode refused", "", "", "EnableUsbSlowMode", "safeModeBox=Enabled",
     "StopAudio; EnableUsbSlowMode failed 31", "", "设置USB慢速模式失败", "", false},
    {"rate 48000, saved before its OTG cycle", "", "", "", "sampleRateBox=48000",
     "StopAudio; SetSampleRate 48000; SetWdmChannelCount 4; InitAudio",
     "[Audio]; SampleRate=48000"},
    {"rate refused", "", "", "SetSampleRate", "sampleRateBox=48000",
     "StopAudio; SetSampleRate 48000 failed 31", "", "设置音频采样率失败", "", false},
    {"start-up, empty file", "", "", "", "",
     "GetBufferSize -> 192; @; SetOtgOff; SetOtgOn; InitAudio", "", "", kDone},
    {"start-up, every option in loading order", kAll, "", "", "",
     "GetUsbLatency -> 8; StopAudio; SetUsbLatency 16; RestartAudio; GetBufferSize -> 192; "
     "GetUsbLatency -> 16; StopAudio; SetBufferSize 256; RestartAudio; StopAudio; "
     "EnableUsbSlowMode; RestartAudio; @; SetOtgOff; SetOtgOn; InitAudio",
     kAll, "", kDone},
    {"start-up at 48000: the rate change, its OTG cycle", "[Audio]; SampleRate=48000", "", "", "",
     "GetBufferSize -> 192; StopAudio; SetSampleRate 48000; SetWdmChannelCount 4; InitAudio; "
     "GetSampleRate -> 48000; SetOtgOff; SetOtgOn",
     "[Audio]; SampleRate=48000", "", "设置采样频率完成"},
    {"start-up, OTG off refused: audio still starts", "", "", "SetOtgOff", "",
     "GetBufferSize -> 192; @; SetOtgOff failed 31; InitAudio", "", "关闭OTG芯片失败", kDone},
    {"start-up, OTG on refused: audio still starts", "", "", "SetOtgOn", "",
     "GetBufferSize -> 192; @; SetOtgOff; SetOtgOn failed 31; InitAudio", "", "开启OTG芯片失败",
     kDone},
};

const QString kWaiting = QStringLiteral("ThreadSettingsPip is running waiting Asio Info...");
const QString kNoData = QStringLiteral("No data received from pipe.");
// Five little-endian words; word 4 not zero asks for the settings window.
const QByteArray kOpenWindow = QByteArray(16, '\0') + QByteArray("\x01\0\0\0", 4);

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    WideOutputSink m_openLines; // the driver's device-open lines
    const QString m_ini =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/setting.ini";
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<VirtualUnit> m_unit;
    std::unique_ptr<Settings> m_dialog;
    std::mutex m_mutex; // guards what the unit received, with the time it did
    QStringList m_calls;
    std::vector<std::chrono::steady_clock::time_point> m_times;

    static QStringList list(const QString& s) { return s.split("; ", Qt::SkipEmptyParts); }
    static QString failed(QString step) { return step + "，可能是驱动未正确加载或设备未连接。"; }

    // setting.ini on disk now, one entry a line.
    QStringList onDisk() { return list(readFile(m_ini).replace('\n', "; ")); }

    void openDialog(bool connect)
    {
        m_dialog = std::make_unique<Settings>();
        // A unit recognised again: its new connection replaces the earlier one.
        QVERIFY(!connect || (m_dialog->createDevice() && m_dialog->createDevice()));
        QTRY_COMPARE(m_unit->connectionCount(), int(connect));
        QTRY_VERIFY(m_log->contains(kWaiting)); // the listener is in its loop
    }

    void set(const QString& boxAndText)
    {
        m_dialog->findChild<QComboBox*>(boxAndText.section('=', 0, 0))
            ->setCurrentText(boxAndText.section('=', 1));
    }

    // What the unit received since forget(), without the error poll's reads.
    QStringList calls()
    {
        std::scoped_lock lock(m_mutex);
        return m_calls;
    }

    void forget()
    {
        std::scoped_lock lock(m_mutex);
        m_calls.clear();
        m_times.clear();
        m_log->clear();
    }

    // The pauses the unit needs between two steps; load only lengthens them.
    void checkPauses()
    {
        const std::map<QString, int> pauses{{"StopAudio>SetSampleRate", 100},
                                            {"SetWdmChannelCount>InitAudio", 100},
                                            {"SetOtgOff>SetOtgOn", 200}};
        std::scoped_lock lock(m_mutex);
        for (int i = 1; i < m_calls.size(); ++i) {
            const QString steps =
                m_calls[i - 1].section(' ', 0, 0) + '>' + m_calls[i].section(' ', 0, 0);
            QVERIFY2(!pauses.count(steps) ||
                         m_times[i] - m_times[i - 1] >= std::chrono::milliseconds(pauses.at(steps)),
                     qPrintable(steps));
        }
    }

    // Sends a message as the ASIO driver, waits until the listener waits for the
    // next client (so that what it signalled is queued) and delivers it.
    void deliver(const Bytes& message)
    {
        const int waits = m_log->count(kWaiting);
        QCOMPARE(m_unit->sendToPanel({message.cbegin(), message.cend()}), 0u);
        QTRY_COMPARE(m_log->count(kWaiting), waits + 1);
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        QFile::remove(m_ini);
        m_log = std::make_unique<LogCapture>();
        m_unit = std::make_unique<VirtualUnit>();
        m_unit->setMovingMeters(false);
        m_unit->setTraceListener([this](const std::string& line) {
            std::scoped_lock lock(m_mutex);
            if (line.rfind("GetUsbStatus", 0) != 0) {
                m_calls << QString::fromStdString(line);
                m_times.push_back(std::chrono::steady_clock::now());
            }
        });
        QVERIFY(m_unit->plug());
    }

    void cleanup()
    {
        forget();
        m_dialog.reset();
        m_unit.reset();
        m_log.reset();
    }

    void reconfiguration_data() { addRows(kSequences); }

    void reconfiguration()
    {
        const Sequence& run = currentRow(kSequences);
        const QString end = *run.end ? QString(run.end) : *run.failure ? failed(run.failure) : "";
        QVERIFY(writeFile(m_ini, list(run.file).join('\n').toUtf8()));
        openDialog(true);
        for (const QString& earlier : list(run.before))
            set(earlier);
        if (*run.refused)
            m_unit->fail(run.refused);
        forget();
        if (*run.pick)
            set(run.pick);
        else
            m_dialog->initialize();
        // The file is read before the event loop runs again: on disk at once.
        QTRY_VERIFY(end.isEmpty() || m_log->contains(end));
        QCOMPARE(calls(), list(QString(run.calls).replace("@", kStartUpRate)));
        QCOMPARE(onDisk(), list(run.saved));
        QCOMPARE(m_unit->state().audioRunning, run.running);
        checkPauses();
    }

    // Each box is labelled by its caption for a screen reader. The USB error
    // count shows while the unit counts errors, and hides at none.
    void whatTheDialogShows()
    {
        openDialog(true);
        QStringList labels;
        for (const char* name :
             {"bufferSizeBox", "usbLatencyBox", "sampleRateBox", "safeModeBox"}) {
            QComboBox* box = m_dialog->findChild<QComboBox*>(name);
            for (const auto& [label, relation] :
                 QAccessible::queryAccessibleInterface(box)->relations(QAccessible::Label))
                labels << label->text(QAccessible::Name);
        }
        QCOMPARE(labels.join('|'), "Buffer Size|USB Latency Size|Samplerate|Safe Mode");
        m_dialog->show();
        auto* label = m_dialog->findChild<QLabel*>("usbErrorLabel");
        m_unit->setUsbErrorCount(4294967295u);
        QTRY_VERIFY(label->isVisible()); // the dialog's own poll
        QCOMPARE(label->text(), QStringLiteral("USB Error Count: 4294967295"));
        m_unit->setUsbErrorCount(0);
        m_dialog->updateUsbErrorCount();
        QVERIFY(!label->isVisible());
    }

    // The ASIO driver's five little-endian words logged (bytes not sent count
    // as zero), and whether the dialog comes to the front.
    void openWindowMessage_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("logged"); // the words, 0 to 3 alike; or no message
        const auto words = [](uint first, uint last) {
            return QString("Received data from pipe: %1 %1 %1 %1 %2").arg(first).arg(last);
        };
        QTest::newRow("word 4 = 1") << kOpenWindow << false << true << words(0, 1);
        QTest::newRow("word 4 = 1, minimised") << kOpenWindow << true << true << words(0, 1);
        QTest::newRow("word 4 = 0, minimised")
            << Bytes(16, '\x01') + Bytes(4, 0) << true << false << words(16843009, 0);
        QTest::newRow("16 bytes: no word 4")
            << Bytes(16, '\xFF') << false << false << words(4294967295u, 0);
        QTest::newRow("17 bytes") << Bytes(17, '\x01') << false << true << words(16843009, 1);
        QTest::newRow("1024 bytes")
            << Bytes(1024, '\x02') << false << true << words(33686018, 33686018);
        QTest::newRow("1025 bytes: too long") << Bytes(1025, '\x02') << false << false << kNoData;
    }

    void openWindowMessage()
    {
        QFETCH(Bytes, message);
        QFETCH(bool, minimised);
        QFETCH(bool, shown);
        QFETCH(QString, logged);

        openDialog(false);
        if (minimised)
            m_dialog->showMinimized();
        deliver(message);
        QVERIFY2(m_log->contains(logged), qPrintable(m_log->lines().join('\n')));
        QCOMPARE(m_dialog->isVisible(), shown || minimised);
        QCOMPARE(m_dialog->isMinimized(), minimised && !shown);
        QCOMPARE(m_dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint), shown);
        deliver(kOpenWindow); // the listener goes on with the next client
        QVERIFY(m_dialog->isVisible() && !m_dialog->isMinimized());
    }

    // OK hides the dialog and sends the ASIO driver (if any) its reset byte.
    void okSendsTheReset()
    {
        openDialog(false);
        for (std::uint32_t press = 1; press <= 3; ++press) {
            if (press == 3)
                m_unit->unplug(); // the ASIO driver goes with its unit
            m_dialog->show();
            QTest::mouseClick(m_dialog->findChild<QPushButton*>(), Qt::LeftButton);
            QVERIFY(m_dialog->isHidden());
            QTRY_COMPARE(m_unit->state().asioResets, std::min(press, 2u));
        }
        QCOMPARE(m_unit->state().asioOtherMessages, 0u);
    }

    // A socket left by a crashed panel is replaced; a client may take its time.
    void asioDriverReachesTheDialog()
    {
        QVERIFY(TestEnvironment::leaveDeadSocket(virtualunit::kPanelPipe));
        openDialog(false);
        const platform::PipeHandle client = platform::openPipe(virtualunit::kPanelPipe);
        pollfd hangUp{int(client), POLLIN, 0};
        QCOMPARE(poll(&hangUp, 1, 2500), 0); // still connected well past 2 s
        QVERIFY(platform::writePipe(client, kOpenWindow.constData(), kOpenWindow.size()));
        platform::closePipe(client);
        QTRY_VERIFY(m_dialog->isVisible());
    }

    // Closing the dialog ends the listener, whatever it waits for, then closes
    // its pipe. A hang fails the test by its time-out.
    void closingEndsTheListener_data()
    {
        QTest::addColumn<bool>("silent"); // a client connected that never writes
        QTest::newRow("waiting for a client") << false;
        QTest::newRow("a silent client") << true;
    }

    void closingEndsTheListener()
    {
        QFETCH(bool, silent);
        openDialog(false);
        const platform::PipeHandle quiet =
            silent ? platform::openPipe(virtualunit::kPanelPipe) : platform::kInvalidPipeHandle;
        QCOMPARE(quiet != platform::kInvalidPipeHandle, silent);
        m_dialog.reset();
        platform::closePipe(quiet);
        QCOMPARE(m_log->lines().last(), QStringLiteral("Pipe closed."));
        QCOMPARE(m_log->count(kNoData), 0);     // the wake is no message
        QCOMPARE(m_unit->sendOpenWindow(), 2u); // nobody listens any more
    }

    // Without its pipe the listener goes round, pausing, and ends with the dialog.
    void listenerWithoutPipePausesAndEnds()
    {
        const Bytes runtime = qgetenv("XDG_RUNTIME_DIR");
        QFile blocker(m_env.root() + "/quorlin"); // where the socket directory would go
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_env.root()));
        QElapsedTimer clock;
        clock.start();
        m_dialog = std::make_unique<Settings>();
        qputenv("XDG_RUNTIME_DIR", runtime);
        QTRY_VERIFY(m_log->count(kNoData) >= 4);
        QVERIFY(clock.elapsed() >= 300); // three pauses at least
        m_dialog.reset();
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
