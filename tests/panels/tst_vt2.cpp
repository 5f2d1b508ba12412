// The VT2 panel against the virtual unit: what it sends at start-up, what it
// keeps in "vt2.ini", how MUTE and DIM shape the two outputs, the DIRECT
// routes, the meter readouts and the failure paths.

#include "controls/button.h"
#include "controls/knob.h"
#include "log_capture.h"
#include "panel_probe.h"
#include "panels/vt2.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QSettings>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {

// The linear gain of a level in dB, silence at -80 dB and below.
double gainOf(int dB)
{
    return dB <= -80 ? 0.0 : std::pow(10.0, dB / 20.0);
}

QStringList linesOf(const std::vector<std::string>& trace)
{
    QStringList lines;
    for (const std::string& line : trace)
        lines << QString::fromStdString(line);
    return lines;
}

struct Output {
    const char *dial, *mute, *dim, *dialKey;
    int levelColumn; // the first of its two cells in row 256
};
const Output kSpeaker{"speakerDial", "speakerMuteButton", "speakerDimButton", "Dial/SpeakerValue",
                      0};
const Output kHeadphone{"headphoneDial", "headphoneMuteButton", "headphoneDimButton",
                        "Dial/HeadphoneValue", 4};

} // namespace

class TestVt2 : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    WideOutputSink m_openLines;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<virtualunit::VirtualUnit> m_unit;
    std::unique_ptr<vt2> m_panel;

    static QString iniPath() { return PanelProbe::settingsPath(QStringLiteral("vt2.ini")); }
    static QVariant stored(const QString& key)
    {
        return QSettings(iniPath(), QSettings::IniFormat).value(key);
    }
    void build() { m_panel = std::make_unique<vt2>(); }
    template<typename T = Button> T* child(const char* name) const
    {
        return m_panel->findChild<T*>(QLatin1String(name));
    }
    void press(const char* button) { QTest::mousePress(child(button), Qt::LeftButton); }
    double cell(int row, int column) const { return m_unit->state().cell(row, column); }
    bool levelIs(const Output& output, double gain) const
    {
        return qFuzzyCompare(1.0 + cell(256, output.levelColumn), 1.0 + gain) &&
               qFuzzyCompare(1.0 + cell(256, output.levelColumn + 1), 1.0 + gain);
    }
    QStringList logged(const QString& prefix) const
    {
        QStringList lines;
        for (const QString& line : m_log->lines())
            if (line.startsWith(prefix))
                lines << line;
        return lines;
    }

private slots:
    void init()
    {
        QFile::remove(iniPath());
        virtualunit::Options options;
        options.productId = virtualunit::kProductIdVt2;
        options.movingMeters = false;
        m_unit = std::make_unique<virtualunit::VirtualUnit>(options);
        QVERIFY(m_unit->plug());
        m_log = std::make_unique<LogCapture>();
    }
    void cleanup()
    {
        m_panel.reset();
        m_log.reset();
        m_unit.reset();
    }

    void firstStart()
    {
        build();
        QStringList operations;
        for (const QString& line : linesOf(m_unit->trace()))
            operations << line.section(" (", 0, 0); // without the Mixer cells
        QCOMPARE(operations.join(';'),
                 "SetOutVolume channel=1 value=100;SetOutVolume channel=2 value=100;"
                 "SetOutVolume channel=5 value=100;SetOutVolume channel=6 value=100;"
                 "SetMic20dB channel=1 state=0;SetMic48V channel=1 state=0;WriteMixer;"
                 "SetMicVolume channel=1 value=0;SetMicVolume channel=2 value=0;"
                 "SetMic20dB channel=2 state=0;SetMic48V channel=2 state=0;WriteMixer;"
                 "WriteMixer;WriteMixer;WriteMixer;WriteMixer;WriteMixer;WriteMixer;"
                 "WriteMixer;WriteMixer");
        QCOMPARE(m_log->lines().last(), QStringLiteral("已从配置文件加载控件状态"));
        // 16 restores, and each of the 4 mute and dim restores saves its dial too.
        QCOMPARE(m_log->count(QStringLiteral("控件状态已保存到配置文件")), 20);

        double expected[259][32] = {};
        for (int i = 0; i < 8; ++i)
            expected[4 + i][i] = expected[160 + i][i] = 1.0;
        for (int row : {96, 100, 128, 130, 132})
            expected[row][0] = expected[row + 1][1] = 1.0;
        for (int row : {256, 257, 258})
            for (double& gain : expected[row])
                gain = 1.0;
        for (int column : {0, 1, 4, 5})
            expected[256][column] = 0.0; // speaker and headphones at -80 dB
        for (int row : {64, 68})
            expected[row][2] = expected[row + 1][3] = 1.0; // the phone at 0 dB
        for (int row = 0; row < 259; ++row)
            for (int column = 0; column < 32; ++column)
                QVERIFY2(cell(row, column) == expected[row][column],
                         qPrintable(
                             QString("(%1,%2) = %3").arg(row).arg(column).arg(cell(row, column))));

        QSettings file(iniPath(), QSettings::IniFormat);
        QStringList contents;
        for (const QString& key : file.allKeys())
            contents << key + '=' + file.value(key).toString();
        QCOMPARE(contents.join(' '),
                 "Button/HeadphoneDimIsChecked=false Button/HeadphoneMuteIsChecked=false "
                 "Button/Mic120dBIsChecked=false Button/Mic148VIsChecked=false "
                 "Button/Mic220dBIsChecked=false Button/Mic248VIsChecked=false "
                 "Button/MonitorMic1IsChecked=false Button/MonitorMic2IsChecked=false "
                 "Button/SpeakerDimIsChecked=false Button/SpeakerMuteIsChecked=false "
                 "Dial/HeadphoneValue=-80 Dial/Mic1Value=0 Dial/Mic2Value=0 Dial/OtgToHpValue=0 "
                 "Dial/OtgToSPValue=0 Dial/SpeakerValue=-80");
    }

    void restoresStoredValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("dial");
        QTest::addColumn<int>("restored");
        QTest::addColumn<QString>("sent");
        QTest::newRow("speaker") << "Dial/SpeakerValue" << 20 << "speakerDial" << 6
                                 << "WriteMixer (256,0)=1.99526 (256,1)=1.99526";
        QTest::newRow("headphone") << "Dial/HeadphoneValue" << -30 << "headphoneDial" << -30
                                   << "WriteMixer (256,4)=0.0316228 (256,5)=0.0316228";
        QTest::newRow("mic1") << "Dial/Mic1Value" << 50 << "mic1Dial" << 50
                              << "SetMicVolume channel=1 value=100";
        QTest::newRow("mic2") << "Dial/Mic2Value" << 99 << "mic2Dial" << 56
                              << "SetMicVolume channel=2 value=112";
        QTest::newRow("phone to speaker") << "Dial/OtgToSPValue" << -20 << "otgToSpDial" << -20
                                          << "WriteMixer (64,2)=0.1 (65,3)=0.1";
    }
    void restoresStoredValue()
    {
        QFETCH(QString, key);
        QFETCH(int, value);
        QFETCH(QString, dial);
        QFETCH(int, restored);
        QFETCH(QString, sent);
        QSettings(iniPath(), QSettings::IniFormat).setValue(key, value);
        build();
        QCOMPARE(child<Knob>(qPrintable(dial))->value, restored);
        QCOMPARE(stored(key).toInt(), restored);
        QVERIFY2(linesOf(m_unit->trace()).contains(sent), qPrintable(sent));
    }

    void restoresMuteAndDimAfterTheirDial()
    {
        {
            QSettings file(iniPath(), QSettings::IniFormat);
            file.setValue("Dial/SpeakerValue", -10);
            file.setValue("Button/SpeakerMuteIsChecked", true);
            file.setValue("Button/SpeakerDimIsChecked", true);
            file.setValue("Dial/HeadphoneValue", -10);
            file.setValue("Button/HeadphoneDimIsChecked", true);
        }
        build();
        QCOMPARE(logged("Speaker volume set to:").join(';'),
                 "Speaker volume set to: -10;Speaker volume set to: -80;"
                 "Speaker volume set to: -80");
        QCOMPARE(logged("Headphone volume set to:").join(';'),
                 "Headphone volume set to: -10;Headphone volume set to: -10;"
                 "Headphone volume set to: -30");
        QCOMPARE(logged("Speaker Mute"), QStringList{"Speaker Mute Button Clicked: Mute ON"});
        QCOMPARE(logged("Headphone Mute"), QStringList{});
        QVERIFY(levelIs(kSpeaker, 0.0));
        QVERIFY(levelIs(kHeadphone, gainOf(-30)));
    }

    void muteAndDim_data()
    {
        QTest::addColumn<bool>("speaker");
        QTest::newRow("speaker") << true;
        QTest::newRow("headphone") << false;
    }
    void muteAndDim()
    {
        QFETCH(bool, speaker);
        const Output& output = speaker ? kSpeaker : kHeadphone;
        const Output& other = speaker ? kHeadphone : kSpeaker;
        build();
        child<Knob>(other.dial)->setValue(-6);
        child<Knob>(output.dial)->setValue(-10);
        QVERIFY(levelIs(output, gainOf(-10)));
        press(output.mute);
        QVERIFY(levelIs(output, 0.0));
        child<Knob>(output.dial)->setValue(-4);
        QVERIFY(levelIs(output, 0.0));
        QCOMPARE(stored(output.dialKey).toInt(), -4);
        press(output.dim);
        QVERIFY(levelIs(output, 0.0));
        press(output.mute);
        QVERIFY(levelIs(output, gainOf(-24)));
        child<Knob>(output.dial)->setValue(-70); // dimmed to -90: silence
        QVERIFY(levelIs(output, 0.0));
        QCOMPARE(stored(output.dialKey).toInt(), -70);
        QVERIFY(levelIs(other, gainOf(-6)));
    }

    void directMonitoringPerInput()
    {
        build();
        auto routes = [this](int input) {
            return QList<double>{cell(64, input), cell(65, input), cell(68, input),
                                 cell(69, input)};
        };
        const QList<double> on(4, 1.0), off(4, 0.0);
        press("monitorMic1Button");
        QCOMPARE(routes(0), on);
        QCOMPARE(routes(1), off);
        press("monitorMic2Button");
        press("monitorMic1Button");
        QCOMPARE(routes(0), off);
        QCOMPARE(routes(1), on);
        QCOMPARE(stored("Button/MonitorMic1IsChecked").toString(), "false");
        QCOMPARE(stored("Button/MonitorMic2IsChecked").toString(), "true");
    }

    void micSwitches_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("sent");
        for (const QString mic : {"1", "2"}) {
            QTest::addRow("mic%s 20dB", qPrintable(mic))
                << "mic" + mic + "Pad20dBButton"
                << "Button/Mic" + mic + "20dBIsChecked"
                << "SetMic20dB channel=" + mic + " state=1";
            QTest::addRow("mic%s 48V", qPrintable(mic)) << "mic" + mic + "Phantom48VButton"
                                                        << "Button/Mic" + mic + "48VIsChecked"
                                                        << "SetMic48V channel=" + mic + " state=1";
        }
    }
    void micSwitches()
    {
        QFETCH(QString, button);
        QFETCH(QString, key);
        QFETCH(QString, sent);
        build();
        m_unit->clearTrace();
        press(qPrintable(button));
        QCOMPARE(linesOf(m_unit->trace()), QStringList{sent});
        QCOMPARE(stored(key).toString(), "true");
    }

    void meterReadouts_data()
    {
        QTest::addColumn<QList<qint32>>("entries");
        QTest::addColumn<QStringList>("shown"); // mic1, mic2, phone
        const qint32 full = 2147483647;
        QTest::newRow("full, tenth, none")
            << QList<qint32>{full, 214748365, 0, 0} << QStringList{"0.0 dB", "-20.0 dB", "-inf dB"};
        QTest::newRow("phone at full scale")
            << QList<qint32>{0, -full, full, full} << QStringList{"-inf dB", "0.0 dB", "0.0 dB"};
        QTest::newRow("phone most negative") << QList<qint32>{1, 2, -full - 1, -full - 1}
                                             << QStringList{"-186.6 dB", "-180.6 dB", "0.0 dB"};
        QTest::newRow("mean 1.5 truncated")
            << QList<qint32>{1, 1, 3, 0} << QStringList{"-186.6 dB", "-186.6 dB", "-186.6 dB"};
        QTest::newRow("mean -1.5 truncated")
            << QList<qint32>{1, 1, -3, 0} << QStringList{"-186.6 dB", "-186.6 dB", "-186.6 dB"};
        QTest::newRow("channels cancel")
            << QList<qint32>{1, 1, full, -full} << QStringList{"-186.6 dB", "-186.6 dB", "-inf dB"};
    }
    void meterReadouts()
    {
        QFETCH(QList<qint32>, entries);
        QFETCH(QStringList, shown);
        build();
        const QList<QLabel*> labels = {
            child<QLabel>("mic1MeterLabel"), child<QLabel>("mic2MeterLabel"),
            child<QLabel>("otgSpMeterLabel"), child<QLabel>("otgHpMeterLabel")};
        for (QLabel* label : labels)
            QCOMPARE(label->text(), "-160 dB");
        for (int entry = 0; entry < entries.size(); ++entry)
            m_unit->pinMeter(entry, entries[entry]);
        m_panel->updateMeters();
        QCOMPARE(labels[0]->text(), shown[0]);
        QCOMPARE(labels[1]->text(), shown[1]);
        QCOMPARE(labels[2]->text(), shown[2]);
        QCOMPARE(labels[3]->text(), shown[2]);
    }

    void failedMeterReadKeepsReadouts()
    {
        build();
        m_unit->pinMeter(0, 214748365);
        m_panel->updateMeters();
        m_unit->pinMeter(0, 2147483647);
        m_unit->fail("ReadMeters", 2);
        m_panel->updateMeters();
        m_panel->updateMeters();
        QCOMPARE(child<QLabel>("mic1MeterLabel")->text(), "-20.0 dB");
        QCOMPARE(m_log->count("Failed to read meter data from driver."), 2);
        m_panel->updateMeters();
        QCOMPARE(child<QLabel>("mic1MeterLabel")->text(), "0.0 dB");
    }

    void refusedChangeIsKeptAndSaved_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("failure");
        QTest::newRow("48V") << "SetMic48V"
                             << "mic1Phantom48VButton"
                             << "Button/Mic148VIsChecked"
                             << "Failed to switch mic 48V.";
        QTest::newRow("20dB") << "SetMic20dB"
                              << "mic2Pad20dBButton"
                              << "Button/Mic220dBIsChecked"
                              << "Failed to switch mic 20dB.";
        QTest::newRow("DIRECT") << "WriteMixer"
                                << "monitorMic2Button"
                                << "Button/MonitorMic2IsChecked"
                                << "Failed to set Monitor Mic.";
        QTest::newRow("MUTE") << "WriteMixer"
                              << "speakerMuteButton"
                              << "Button/SpeakerMuteIsChecked"
                              << "Failed to set speaker volume.";
    }
    void refusedChangeIsKeptAndSaved()
    {
        QFETCH(QString, operation);
        QFETCH(QString, button);
        QFETCH(QString, key);
        QFETCH(QString, failure);
        build();
        child<Knob>("speakerDial")->setValue(0);
        const virtualunit::UnitState before = m_unit->state();
        m_unit->fail(operation.toStdString());
        press(qPrintable(button));
        QVERIFY(m_log->contains(failure));
        QVERIFY(child(qPrintable(button))->checked);
        QCOMPARE(stored(key).toString(), "true");
        const virtualunit::UnitState after = m_unit->state();
        QVERIFY(after.mixer == before.mixer && after.mic48V == before.mic48V &&
                after.mic20dB == before.mic20dB);
        // The next change that goes through carries the block as the panel holds it.
        child<Knob>("otgToHpDial")->setValue(0);
        QCOMPARE(cell(69, 1), button == "monitorMic2Button" ? 1.0 : 0.0);
        QVERIFY(levelIs(kSpeaker, button == "speakerMuteButton" ? 0.0 : 1.0));
    }

    void noUnitLeavesAnEmptyPanel()
    {
        m_unit->unplug();
        build();
        QVERIFY(m_log->contains("Failed to create device in vt2."));
        QVERIFY(m_panel->findChildren<QWidget*>().isEmpty());
        QVERIFY(!QFile::exists(iniPath()));
    }
};

QTEST_MAIN(TestVt2)
#include "tst_vt2.moc"
