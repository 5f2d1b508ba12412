// Bad input: damaged panel files give each control its default or a clamped
// value, and ASIO messages of any length decode without a read past their end.

#include "controls/button.h"
#include "controls/knob.h"
#include "driver/quorlin_io_control.h"
#include "panel_probe.h"
#include "panels/stored_value.h"
#include "panels/vt1.h"
#include "settings/asio_message.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>

using namespace PanelProbe;

class TestBadInput : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
    WideOutputSink m_wideOutput;

    static QByteArray randomBytes(quint32 seed, int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
        return bytes;
    }

    static QByteArray ini(const char* lines) { return QByteArray(lines).replace('|', '\n'); }

private slots:
    // A stored value as a dial (default -80 here) and as a switch: only what
    // QSettings writes is taken, or the "1" and "0" of a hand-edited file.
    void storedValue_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("dial");
        QTest::addColumn<QString>("switchState"); // on, off, or default
        const auto row = [](const char* name, QVariant stored, int dial,
                            const char* state = "default") {
            QTest::newRow(name) << stored << dial << QString(state);
        };
        row("decimal", "42", 42);
        row("int limits", "-2147483648", -2147483647 - 1);
        row("one past int", "2147483648", -80);
        row("int in memory", 12, 12);
        row("long long beyond int", qlonglong(1) << 40, -80);
        row("unsigned beyond int", 4000000000u, -80);
        row("word", "loud", -80);
        row("fraction", "12.5", -80);
        row("plus sign", "+5", -80);
        row("trailing unit", "5dB", -80);
        row("arabic-indic digit", QString("\u0665"), -80);
        row("double", 3.0, -80);
        row("nothing", QVariant(), -80);
        row("true", "true", -80, "on");
        row("false", "false", -80, "off");
        row("bool in memory", true, -80, "on");
        row("one", "1", 1, "on");
        row("zero", "0", 0, "off");
        row("yes", "yes", -80);
        row("int one in memory", 1, 1);
    }

    void storedValue()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, switchState);
        QTEST(PanelParts::storedInt(stored, -80), "dial");
        for (const bool fallback : {false, true})
            QCOMPARE(PanelParts::storedBool(stored, fallback),
                     switchState == "default" ? fallback : switchState == "on");
    }

    // A damaged vt1.ini restored by a real VT1 panel: the controls, the unit and
    // the file afterwards hold the default, or the dial's clamp of what was stored.
    void damagedPanelFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QList<int>>("dials"); // mic 0..42, headphone and phone -80..6
        QTest::addColumn<bool>("phantom");
        QTest::newRow("as written") << ini("[Dial]|MicValue=30|HeadphoneValue=-20|OtgToHpValue=-6|["
                                           "Button]|Mic48VIsChecked=true")
                                    << QList<int>{30, -20, -6} << true;
        QTest::newRow("wrong values") << ini("[Dial]|MicValue=true|HeadphoneValue=-20, "
                                             "-10|OtgToHpValue=|[Button]|Mic48VIsChecked=yes")
                                      << QList<int>{0, -80, 0} << false;
        QTest::newRow("clamped by the dial")
            << ini("[Dial]|MicValue=2147483647|HeadphoneValue=-2147483648|OtgToHpValue=1000")
            << QList<int>{42, -80, 6} << false;
        QTest::newRow("stray sections") << ini("[Other]|MicValue=30|[Dial]|MicValue=20|[General]|"
                                               "HeadphoneValue=5|[Dial/Deeper]|OtgToHpValue=3")
                                        << QList<int>{20, -80, 0} << false;
        QTest::newRow("binary junk") << randomBytes(8, 4096) << QList<int>{0, -80, 0} << false;
    }

    void damagedPanelFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QList<int>, dials);
        QFETCH(bool, phantom);
        QDir().mkpath(QFileInfo(settingsPath("vt1.ini")).absolutePath());
        QFile file(settingsPath("vt1.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();
        virtualunit::VirtualUnit unit({virtualunit::kProductIdVt1, "V1.0.3-abc", 0, false});
        QVERIFY(unit.plug());
        vt1 panel;
        QList<int> shown;
        for (const Knob* knob : knobs(&panel))
            shown << knob->value;
        QCOMPARE(shown, dials);
        QCOMPARE(button(&panel, "48V")->checked, phantom);
        QCOMPARE(unit.state().micVolume[1], 2 * dials[0]);
        QCOMPARE(unit.state().cell(256, 0), QuorlinIoControl::DbToLinear(dials[1]));
        QCOMPARE(unit.state().mic48V[1], int(phantom));
        const QSettings stored(settingsPath("vt1.ini"), QSettings::IniFormat);
        QCOMPARE(stored.value("Dial/HeadphoneValue").toString(), QString::number(dials[1]));
        QCOMPARE(stored.value("Button/Mic48VIsChecked").toString(),
                 QString(phantom ? "true" : "false"));
    }

    // Every length from 0 to 4096 of random bytes decodes as five little-endian
    // words, the bytes not sent counting as zero; each message is an exact-size
    // copy, so the sanitizer build catches a read past its end.
    void asioMessageOfEveryLength()
    {
        const QByteArray random = randomBytes(21, 4096);
        for (int length = 0; length <= 4096; ++length) {
            const std::vector<unsigned char> exact(random.begin(), random.begin() + length);
            const AsioMessage decoded = decodeAsioMessage(exact.data(), exact.size());
            const QByteArray padded = random.left(length).leftJustified(20, 0, true);
            for (int word = 0; word < 5; ++word)
                QCOMPARE(decoded.words[std::size_t(word)],
                         qFromLittleEndian<quint32>(padded.constData() + 4 * word));
        }
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_bad_input.moc"
