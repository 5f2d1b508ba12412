// The VT1 and VR panels against the virtual unit: what they send at start-up
// and on every control, what they store, and what their readouts show; and
// all three panels as a screen reader finds and uses them.

#include "accessibility_spy.h"
#include "controls/button.h"
#include "controls/knob.h"
#include "controls/level_readout.h"
#include "driver/quorlin_io_control.h"
#include "log_capture.h"
#include "panel_probe.h"
#include "panels/vr.h"
#include "panels/vt1.h"
#include "panels/vt2.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QSettings>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

using namespace PanelProbe;
using virtualunit::VirtualUnit;

namespace {

enum class Model { VT1, VR, VT2 };

struct ModelFacts {
    std::uint32_t productId;
    QString fileName;
    QString openFailure;
    QStringList startOperations; // after the two output volumes
    QStringList keys;            // in restore order
};

const ModelFacts& facts(Model model)
{
    static const ModelFacts vt1Facts{
        virtualunit::kProductIdVt1,
        "vt1.ini",
        "Failed to create device in vt1.",
        {"SwitchMicInstrument", "SetMic20dB", "SetMic48V", "WriteMixer", "SetMicVolume",
         "WriteMixer", "WriteMixer", "WriteMixer", "WriteMixer"},
        {"Button/MicInstrIsChecked", "Button/Mic20dBIsChecked", "Button/Mic48VIsChecked",
         "Button/MonitorMicIsChecked", "Dial/MicValue", "Dial/HeadphoneValue",
         "Button/HeadphoneMuteIsChecked", "Button/HeadphoneDimIsChecked", "Dial/OtgToHpValue"},
    };
    static const ModelFacts vrFacts{
        virtualunit::kProductIdVr,
        "vr.ini",
        "Failed to create device in vr.",
        {"WriteMixer", "SetMicVolume", "WriteMixer", "WriteMixer", "WriteMixer"},
        {"Button/MonitorMicIsChecked", "Dial/MicValue", "Dial/HeadphoneValue",
         "Button/HeadphoneMuteIsChecked", "Button/HeadphoneDimIsChecked"},
    };
    // Only what the accessibility test needs; tst_vt2 covers the rest.
    static const ModelFacts vt2Facts{virtualunit::kProductIdVt2, "vt2.ini", {}, {}, {}};
    return model == Model::VT1 ? vt1Facts : model == Model::VR ? vrFacts : vt2Facts;
}

// Every accessible object below `iface`, depth first.
QList<QAccessibleInterface*> accessibleTree(QAccessibleInterface* iface)
{
    QList<QAccessibleInterface*> all;
    for (int i = 0; i < iface->childCount(); ++i) {
        all << iface->child(i);
        all << accessibleTree(iface->child(i));
    }
    return all;
}

// The panel's Knobs and Buttons in Tab order.
QList<QWidget*> tabOrder(QWidget* panel)
{
    QList<QWidget*> order;
    for (QWidget* w = panel->nextInFocusChain(); w != panel; w = w->nextInFocusChain())
        if (w->parentWidget() == panel && (qobject_cast<Knob*>(w) || qobject_cast<Button*>(w)))
            order << w;
    return order;
}

// Which of the panel's columns (top-level layout items) holds the widget.
int columnOf(QWidget* panel, QWidget* widget)
{
    for (int i = 0; i < panel->layout()->count(); ++i)
        if (panel->layout()->itemAt(i)->geometry().contains(widget->geometry().center()))
            return i;
    return -1;
}

// The Mixer block a freshly built panel leaves in the unit, written out cell
// by cell rather than derived from the panel's own presets.
std::vector<double> expectedFirstStartMixer(Model model)
{
    std::vector<double> cells(virtualunit::kMixerRows * virtualunit::kMixerColumns, 0.0);
    auto set = [&](int row, int column, double value) {
        cells[std::size_t(row * 32 + column)] = value;
    };
    for (int i = 0; i < 8; ++i) {
        set(4 + i, i, 1.0);
        set(160 + i, i, 1.0);
    }
    for (auto [row, column] : {std::pair{96, 0}, {97, 1}, {128, 0}, {129, 1}, {130, 0}, {131, 1}})
        set(row, column, 1.0);
    for (int row = 256; row <= 258; ++row)
        for (int column = 0; column < 32; ++column)
            set(row, column, 1.0);
    // Phone into the headphones at unity: a preset on the VR, the restored
    // 0 dB phone dial on the VT1.
    set(64, 2, 1.0);
    set(65, 3, 1.0);
    // The headphone level restored at -80 dB is silence.
    set(256, 0, 0.0);
    set(256, 1, 0.0);
    (void)model;
    return cells;
}

} // namespace

Q_DECLARE_METATYPE(Model)

class TestPanels : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    WideOutputSink m_wideOutput;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<VirtualUnit> m_unit;

    void plug(Model model)
    {
        virtualunit::Options options;
        options.productId = facts(model).productId;
        options.movingMeters = false;
        m_unit = std::make_unique<VirtualUnit>(options);
        QVERIFY(m_unit->plug());
    }

    std::unique_ptr<QWidget> build(Model model)
    {
        if (model == Model::VT1)
            return std::make_unique<vt1>();
        if (model == Model::VT2)
            return std::make_unique<vt2>();
        return std::make_unique<vr>();
    }

    void store(Model model, const QVariantMap& values)
    {
        QSettings file(settingsPath(facts(model).fileName), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            file.setValue(it.key(), it.value());
    }

    QVariant stored(Model model, const QString& key)
    {
        return QSettings(settingsPath(facts(model).fileName), QSettings::IniFormat).value(key);
    }

    double cell(int row, int column) { return m_unit->state().cell(row, column); }

    static void addModels()
    {
        QTest::addColumn<Model>("model");
        QTest::newRow("VT1") << Model::VT1;
        QTest::newRow("VR") << Model::VR;
    }

private slots:
    void init()
    {
        m_log = std::make_unique<LogCapture>();
        for (Model model : {Model::VT1, Model::VR, Model::VT2})
            QFile::remove(settingsPath(facts(model).fileName));
    }

    void cleanup()
    {
        m_unit.reset();
        m_log.reset();
    }

    void firstStartSendsDefaultsAndStoresThem_data() { addModels(); }
    void firstStartSendsDefaultsAndStoresThem()
    {
        QFETCH(Model, model);
        plug(model);
        auto panel = build(model);

        const auto trace = m_unit->trace();
        QCOMPARE(linesOf(trace, "SetOutVolume"), QStringList({"SetOutVolume channel=1 value=100",
                                                              "SetOutVolume channel=2 value=100"}));
        QCOMPARE(operations(trace),
                 QStringList({"SetOutVolume", "SetOutVolume"}) + facts(model).startOperations);
        QCOMPARE(linesOf(trace, "SetMicVolume"), QStringList{"SetMicVolume channel=1 value=0"});

        const std::vector<double> expected = expectedFirstStartMixer(model);
        const virtualunit::UnitState state = m_unit->state();
        for (int row = 0; row < virtualunit::kMixerRows; ++row)
            for (int column = 0; column < virtualunit::kMixerColumns; ++column)
                QVERIFY2(state.cell(row, column) == expected[std::size_t(row * 32 + column)],
                         qPrintable(QString("cell (%1, %2) is %3")
                                        .arg(row)
                                        .arg(column)
                                        .arg(state.cell(row, column))));

        QSettings file(settingsPath(facts(model).fileName), QSettings::IniFormat);
        QCOMPARE(file.allKeys().size(), facts(model).keys.size());
        for (const QString& key : facts(model).keys) {
            QVERIFY2(file.contains(key), qPrintable(key));
            const QVariant expectedValue = key.startsWith("Button/")      ? QVariant(false)
                                           : key == "Dial/HeadphoneValue" ? QVariant(-80)
                                                                          : QVariant(0);
            QCOMPARE(file.value(key).toString(), expectedValue.toString());
        }
        QVERIFY(m_log->contains("已从配置文件加载控件状态"));
        QCOMPARE(PanelProbe::readouts(panel.get()).size(), model == Model::VT1 ? 2 : 1);
        for (QLabel* readout : PanelProbe::readouts(panel.get()))
            QCOMPARE(readout->text(), QStringLiteral("-160 dB"));
    }

    void storedDialsAreClampedSentAndWrittenBack_data() { addModels(); }
    void storedDialsAreClampedSentAndWrittenBack()
    {
        QFETCH(Model, model);
        store(model, {{"Dial/MicValue", 50}, {"Dial/HeadphoneValue", 20}});
        plug(model);
        auto panel = build(model);

        QCOMPARE(linesOf(m_unit->trace(), "SetMicVolume"),
                 QStringList{"SetMicVolume channel=1 value=84"});
        QCOMPARE(stored(model, "Dial/MicValue").toInt(), 42);
        QCOMPARE(stored(model, "Dial/HeadphoneValue").toInt(), 6);
        QCOMPARE(cell(256, 0), QuorlinIoControl::DbToLinear(6));
        QCOMPARE(knobs(panel.get()).at(0)->value, 42);
    }

    void restoredMuteAndDimApplyInOrder_data() { addModels(); }
    void restoredMuteAndDimApplyInOrder()
    {
        QFETCH(Model, model);
        store(model, {{"Dial/HeadphoneValue", -10},
                      {"Button/HeadphoneMuteIsChecked", true},
                      {"Button/HeadphoneDimIsChecked", true}});
        plug(model);
        auto panel = build(model);

        // Level at the dial, then muted, then dim changes nothing under mute.
        const QStringList writes = linesOf(m_unit->trace(), "WriteMixer");
        const QString atDial = QString::number(QuorlinIoControl::DbToLinear(-10), 'g', 6);
        QVERIFY2(writes.at(1).contains("(256,0)=" + atDial), qPrintable(writes.at(1)));
        QCOMPARE(writes.at(2), QStringLiteral("WriteMixer (256,0)=0 (256,1)=0"));
        QCOMPARE(writes.at(3), QStringLiteral("WriteMixer (no change)"));
        QCOMPARE(cell(256, 1), 0.0);
        QCOMPARE(stored(model, "Dial/HeadphoneValue").toInt(), -10);
    }

    void muteWinsOverDim_data() { addModels(); }
    void muteWinsOverDim()
    {
        QFETCH(Model, model);
        plug(model);
        auto panel = build(model);
        Knob* headphone = knobs(panel.get()).at(1);
        Button* mute = button(panel.get(), "MUTE");
        Button* dim = button(panel.get(), "DIM");
        headphone->setValue(-6);
        QCOMPARE(cell(256, 0), QuorlinIoControl::DbToLinear(-6));

        QTest::mousePress(mute, Qt::LeftButton);
        QCOMPARE(cell(256, 0), 0.0);
        QTest::mousePress(dim, Qt::LeftButton);
        QCOMPARE(cell(256, 0), 0.0);
        // Turning the dial under MUTE keeps the output silent but keeps the dial.
        headphone->setValue(-3);
        QCOMPARE(cell(256, 1), 0.0);
        QCOMPARE(stored(model, "Dial/HeadphoneValue").toInt(), -3);
        QTest::mousePress(mute, Qt::LeftButton);
        QCOMPARE(cell(256, 0), QuorlinIoControl::DbToLinear(-23));
        QCOMPARE(cell(256, 1), QuorlinIoControl::DbToLinear(-23));
        QCOMPARE(stored(model, "Button/HeadphoneMuteIsChecked").toBool(), false);
        QCOMPARE(stored(model, "Button/HeadphoneDimIsChecked").toBool(), true);

        // DIM from -70 lands below the range: silence, while the file keeps -70.
        headphone->setValue(-70);
        QCOMPARE(cell(256, 0), 0.0);
        QCOMPARE(stored(model, "Dial/HeadphoneValue").toInt(), -70);
    }

    void directRoutesTheInputToTheHeadphones_data() { addModels(); }
    void directRoutesTheInputToTheHeadphones()
    {
        QFETCH(Model, model);
        plug(model);
        auto panel = build(model);
        Button* direct = button(panel.get(), "DIRECT");

        QTest::mousePress(direct, Qt::LeftButton);
        QCOMPARE(cell(64, 0), 1.0);
        QCOMPARE(cell(65, 1), 1.0);
        QCOMPARE(stored(model, "Button/MonitorMicIsChecked").toBool(), true);
        QVERIFY(m_log->contains("Monitor Mic set to: 1"));

        QTest::mousePress(direct, Qt::LeftButton);
        QCOMPARE(cell(64, 0), 0.0);
        QCOMPARE(cell(65, 1), 0.0);
        // The phone routes are untouched by DIRECT.
        QCOMPARE(cell(64, 2), 1.0);
        QCOMPARE(cell(65, 3), 1.0);
    }

    void phoneLevelDialOnTheVt1()
    {
        plug(Model::VT1);
        vt1 panel;
        Knob* phone = knobs(&panel).at(2);
        phone->setValue(-20);
        QCOMPARE(cell(64, 2), QuorlinIoControl::DbToLinear(-20));
        QCOMPARE(cell(65, 3), QuorlinIoControl::DbToLinear(-20));
        QCOMPARE(stored(Model::VT1, "Dial/OtgToHpValue").toInt(), -20);
        phone->setValue(-80);
        QCOMPARE(cell(64, 2), 0.0);
    }

    void headphoneLevelLogsOnlyOnTheVt1_data() { addModels(); }
    void headphoneLevelLogsOnlyOnTheVt1()
    {
        QFETCH(Model, model);
        plug(model);
        auto panel = build(model);
        m_log->clear();
        knobs(panel.get()).at(1)->setValue(0);
        QCOMPARE(m_log->contains("Headphone volume set to: 1"), model == Model::VT1);
        QCOMPARE(cell(256, 0), 1.0);
    }

    void vt1SwitchesSendTheirCommands_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("successLine");

        QTest::newRow("MIC/INST") << "MIC"
                                  << "SwitchMicInstrument channel=1 state=1"
                                  << "Button/MicInstrIsChecked"
                                  << "Mic instruction switched for channel 1.";
        QTest::newRow("20dB") << "20dB"
                              << "SetMic20dB channel=1 state=1"
                              << "Button/Mic20dBIsChecked"
                              << "Mic 20dB switched for channel 1.";
        QTest::newRow("48V") << "48V"
                             << "SetMic48V channel=1 state=1"
                             << "Button/Mic48VIsChecked"
                             << "Mic 48V switched for channel 1.";
    }
    void vt1SwitchesSendTheirCommands()
    {
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(QString, key);
        QFETCH(QString, successLine);

        plug(Model::VT1);
        vt1 panel;
        m_unit->clearTrace();
        m_log->clear();
        Button* sw = button(&panel, text);
        QTest::mousePress(sw, Qt::LeftButton);
        QCOMPARE(operations(m_unit->takeTrace()), QStringList{command.section(' ', 0, 0)});
        QVERIFY(m_log->contains(successLine));
        QCOMPARE(stored(Model::VT1, key).toBool(), true);
        if (text == "MIC")
            QCOMPARE(sw->text(), QStringLiteral("INST"));
    }

    void refusedCommandsAreLoggedAndStillSaved_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("failureLine");
        QTest::addColumn<QString>("key");

        QTest::newRow("48V") << "SetMic48V"
                             << "48V"
                             << "Failed to switch mic 48V."
                             << "Button/Mic48VIsChecked";
        QTest::newRow("20dB") << "SetMic20dB"
                              << "20dB"
                              << "Failed to switch mic 20dB."
                              << "Button/Mic20dBIsChecked";
        QTest::newRow("MIC/INST keeps its text") << "SwitchMicInstrument"
                                                 << "MIC"
                                                 << "Failed to switch mic instruction."
                                                 << "Button/MicInstrIsChecked";
        QTest::newRow("DIRECT") << "WriteMixer"
                                << "DIRECT"
                                << "Failed to set Monitor Mic."
                                << "Button/MonitorMicIsChecked";
    }
    void refusedCommandsAreLoggedAndStillSaved()
    {
        QFETCH(QString, operation);
        QFETCH(QString, text);
        QFETCH(QString, failureLine);
        QFETCH(QString, key);

        plug(Model::VT1);
        vt1 panel;
        Button* sw = button(&panel, text);
        m_unit->fail(operation.toStdString(), 1);
        QTest::mousePress(sw, Qt::LeftButton);
        QVERIFY(m_log->contains(failureLine));
        QCOMPARE(stored(Model::VT1, key).toBool(), true);
        QCOMPARE(sw->text(), text);
    }

    void refusedMicGainIsStillSaved()
    {
        plug(Model::VR);
        vr panel;
        m_unit->fail("SetMicVolume", 1);
        knobs(&panel).at(0)->setValue(12);
        QVERIFY(m_log->contains("Failed to set mic volume."));
        QCOMPARE(stored(Model::VR, "Dial/MicValue").toInt(), 12);
        knobs(&panel).at(0)->setValue(13);
        QCOMPARE(m_unit->state().micVolume.at(1), 26);
    }

    void unitThatCannotBeUsedLeavesAnEmptyPanel_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<int>("outVolumeFailures");
        QTest::addColumn<bool>("plugged");
        QTest::addColumn<bool>("complete");

        QTest::newRow("VT1 first output refused, second accepted")
            << Model::VT1 << 1 << true << true;
        QTest::newRow("VT1 second output refused") << Model::VT1 << 2 << true << false;
        QTest::newRow("VR second output refused") << Model::VR << 2 << true << false;
        QTest::newRow("VT1 no unit") << Model::VT1 << 0 << false << false;
        QTest::newRow("VR no unit") << Model::VR << 0 << false << false;
    }
    void unitThatCannotBeUsedLeavesAnEmptyPanel()
    {
        QFETCH(Model, model);
        QFETCH(int, outVolumeFailures);
        QFETCH(bool, plugged);
        QFETCH(bool, complete);

        if (plugged) {
            plug(model);
            if (outVolumeFailures)
                m_unit->fail("SetOutVolume", outVolumeFailures);
        }
        auto panel = build(model);
        QCOMPARE(panel->children().isEmpty(), !complete);
        QCOMPARE(QFile::exists(settingsPath(facts(model).fileName)), complete);
        if (!plugged)
            QVERIFY(m_log->contains(facts(model).openFailure));
        else if (!complete)
            QVERIFY(m_log->contains("Failed to set output volume."));
    }

    void readouts_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("phoneLeft");
        QTest::addColumn<int>("phoneRight");
        QTest::addColumn<QString>("inputText");
        QTest::addColumn<QString>("phoneText");

        const int max = std::numeric_limits<int>::max();
        const int min = std::numeric_limits<int>::min();
        QTest::newRow("full scale") << max << max << max << "0.0 dB"
                                    << "0.0 dB";
        QTest::newRow("most negative") << min << min << min << "0.0 dB"
                                       << "0.0 dB";
        QTest::newRow("a tenth") << 214748365 << 214748365 << 214748365 << "-20.0 dB"
                                 << "-20.0 dB";
        QTest::newRow("silence") << 0 << 0 << 0 << "-inf dB"
                                 << "-inf dB";
        QTest::newRow("phone mean") << 0 << 429496730 << 0 << "-inf dB"
                                    << "-20.0 dB";
    }
    void readouts()
    {
        QFETCH(int, input);
        QFETCH(int, phoneLeft);
        QFETCH(int, phoneRight);
        QFETCH(QString, inputText);
        QFETCH(QString, phoneText);

        plug(Model::VT1);
        m_unit->pinMeter(0, input);
        m_unit->pinMeter(2, phoneLeft);
        m_unit->pinMeter(3, phoneRight);
        vt1 vt1Panel;
        vt1Panel.updateMeters();
        const QList<QLabel*> labels = PanelProbe::readouts(&vt1Panel);
        QCOMPARE(labels.at(0)->text(), inputText);
        QCOMPARE(labels.at(1)->text(), phoneText);

        m_unit->setProductId(virtualunit::kProductIdVr);
        vr vrPanel;
        vrPanel.updateMeters();
        QCOMPARE(PanelProbe::readouts(&vrPanel).at(0)->text(), inputText);
    }

    void failedMeterReadKeepsTheText_data() { addModels(); }
    void failedMeterReadKeepsTheText()
    {
        QFETCH(Model, model);
        plug(model);
        m_unit->pinMeter(0, 214748365);
        auto panel = build(model);
        auto* readout = PanelProbe::readouts(panel.get()).at(0);
        QMetaObject::invokeMethod(panel.get(), "updateMeters");
        QCOMPARE(readout->text(), QStringLiteral("-20.0 dB"));

        m_unit->pinMeter(0, 0);
        m_unit->fail("ReadMeters", 2);
        m_log->clear();
        QMetaObject::invokeMethod(panel.get(), "updateMeters");
        QMetaObject::invokeMethod(panel.get(), "updateMeters");
        QCOMPARE(m_log->count("Failed to read meter data from driver."), 2);
        QCOMPARE(readout->text(), QStringLiteral("-20.0 dB"));
    }

    void metersAreReadEveryHalfSecond()
    {
        plug(Model::VR);
        m_unit->pinMeter(0, 2147483647);
        vr panel;
        QLabel* readout = PanelProbe::readouts(&panel).at(0);
        QCOMPARE(readout->text(), QStringLiteral("-160 dB"));
        QTRY_COMPARE_WITH_TIMEOUT(readout->text(), QStringLiteral("0.0 dB"), 5000);
    }

    void screenReaderFindsAndUsesEveryControl_data()
    {
        // A dial set through its value interface, as the dial shows it; a
        // switch pressed through its action; a readout with its meter entry.
        QTest::addColumn<Model>("model");
        QTest::addColumn<QString>("dial");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("dialCommand");
        QTest::addColumn<QString>("dialKey");
        QTest::addColumn<int>("storedValue");
        QTest::addColumn<QString>("switchName");
        QTest::addColumn<QString>("switchCommand");
        QTest::addColumn<QString>("switchKey");
        QTest::addColumn<QString>("readout");
        QTest::addColumn<int>("meterEntry");
        QTest::newRow("VT1") << Model::VT1 << "Headphone Volume" << -20
                             << "WriteMixer (256,0)=0.1 (256,1)=0.1"
                             << "Dial/HeadphoneValue" << -20 << "Headphone MUTE"
                             << "WriteMixer (256,0)=0 (256,1)=0"
                             << "Button/HeadphoneMuteIsChecked"
                             << "Input level" << 0;
        QTest::newRow("VT2") << Model::VT2 << "MIC2 Gain" << 20 << "SetMicVolume channel=2 value=22"
                             << "Dial/Mic2Value" << 11 << "MIC2 48V"
                             << "SetMic48V channel=2 state=1"
                             << "Button/Mic248VIsChecked"
                             << "MIC2 level" << 1;
        QTest::newRow("VR") << Model::VR << "Headphone Volume" << 3
                            << "WriteMixer (256,0)=1.41254 (256,1)=1.41254"
                            << "Dial/HeadphoneValue" << 3 << "MIC DIRECT"
                            << "WriteMixer (64,0)=1 (65,1)=1"
                            << "Button/MonitorMicIsChecked"
                            << "MIC level" << 0;
    }
    void screenReaderFindsAndUsesEveryControl()
    {
        QFETCH(Model, model);
        QFETCH(QString, dial);
        QFETCH(int, shown);
        QFETCH(QString, dialCommand);
        QFETCH(QString, dialKey);
        QFETCH(int, storedValue);
        QFETCH(QString, switchName);
        QFETCH(QString, switchCommand);
        QFETCH(QString, switchKey);
        QFETCH(QString, readout);
        QFETCH(int, meterEntry);
        AccessibilitySpy accessibility;
        plug(model);
        auto panel = build(model);
        panel->show();

        // Every dial and switch is in the tree, with its role, a name of its
        // own, and its value or state.
        QHash<QString, QAccessibleInterface*> byName;
        int controls = 0;
        for (QAccessibleInterface* iface :
             accessibleTree(QAccessible::queryAccessibleInterface(panel.get()))) {
            const QString name = iface->text(QAccessible::Name);
            if (auto* knob = qobject_cast<Knob*>(iface->object())) {
                QCOMPARE(iface->role(), QAccessible::Slider);
                QCOMPARE(iface->valueInterface()->currentValue().toString() + knob->unit,
                         iface->text(QAccessible::Value));
            } else if (auto* button = qobject_cast<Button*>(iface->object())) {
                QCOMPARE(iface->role(), QAccessible::CheckBox);
                QVERIFY(iface->state().checkable);
                QCOMPARE(iface->state().checked, button->checked);
            } else {
                continue;
            }
            ++controls;
            QVERIFY2(!name.isEmpty() && !byName.contains(name), qPrintable(name));
            byName.insert(name, iface);
        }
        QCOMPARE(controls,
                 knobs(panel.get()).size() +
                     panel->findChildren<Button*>(QString(), Qt::FindDirectChildrenOnly).size());

        // Tab goes through the columns left to right, each top to bottom.
        const QList<QWidget*> order = tabOrder(panel.get());
        QCOMPARE(order.size(), controls);
        auto place = [&](QWidget* w) {
            return std::tuple(columnOf(panel.get(), w), w->y(), w->x());
        };
        QVERIFY(std::is_sorted(order.begin(), order.end(),
                               [&](QWidget* a, QWidget* b) { return place(a) < place(b); }));

        // Setting a value and pressing reach the unit and the file.
        QVERIFY2(byName.contains(dial) && byName.contains(switchName), qPrintable(dial));
        m_unit->clearTrace();
        byName[dial]->valueInterface()->setCurrentValue(shown);
        byName[switchName]->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        const QStringList sent = linesOf(m_unit->trace(), dialCommand.section(' ', 0, 0)) +
                                 linesOf(m_unit->trace(), switchCommand.section(' ', 0, 0));
        QVERIFY2(sent.contains(dialCommand) && sent.contains(switchCommand),
                 qPrintable(sent.join('|')));
        QCOMPARE(stored(model, dialKey).toInt(), storedValue);
        QCOMPARE(stored(model, switchKey).toBool(), true);
        QVERIFY(byName[switchName]->state().checked);

        // A readout reads its level on request, and meter updates tell no one.
        QAccessibleInterface* level = nullptr;
        const QList<LevelReadout*> readouts = panel->findChildren<LevelReadout*>();
        for (LevelReadout* each : readouts)
            if (each->accessibleName() == readout)
                level = QAccessible::queryAccessibleInterface(each);
        accessibility.clear();
        QStringList names;
        for (int peak : {214748365, 2147483647}) {
            m_unit->pinMeter(meterEntry, peak);
            QMetaObject::invokeMethod(panel.get(), "updateMeters");
            if (level)
                names << level->text(QAccessible::Name);
        }
        for (LevelReadout* each : readouts)
            QVERIFY(accessibility.about(each).isEmpty());
        QVERIFY(level);
        QCOMPARE(names, QStringList({readout + ", -20.0 dB", readout + ", 0.0 dB"}));
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
