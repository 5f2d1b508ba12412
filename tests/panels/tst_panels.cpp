// The VT1, VT2 and VR panels against the virtual unit: what each sends and
// stores, MUTE and DIM, the readouts, refusals, damaged files, a screen reader.

#include "accessibility_spy.h"
#include "controls/button.h"
#include "controls/knob.h"
#include "controls/level_readout.h"
#include "driver/quorlin_io_control.h"
#include "panels/vr.h"
#include "panels/vt1.h"
#include "panels/vt2.h"
#include "test_common.h"

#include <QAccessibleValueInterface>
#include <QLabel>
#include <QLayout>
#include <QRandomGenerator>

using virtualunit::VirtualUnit;

namespace {

// Every stored control of each panel in restore order, by its command-line
// name: its value at rest, a change, what the unit then receives
// ("(row,column)=gain": a WriteMixer of those cells), its key.
const struct Control {
    const char *model, *name;
    int rest, value;
    const char *line, *key;
} kControls[] = {
    {"vt1", "mic.inst", 0, 1, "SwitchMicInstrument channel=1 state=1", "MicInstrIsChecked"},
    {"vt1", "mic.pad", 0, 1, "SetMic20dB channel=1 state=1", "Mic20dBIsChecked"},
    {"vt1", "mic.48v", 0, 1, "SetMic48V channel=1 state=1", "Mic48VIsChecked"},
    {"vt1", "mic.direct", 0, 1, "(64,0)=1 (65,1)=1", "MonitorMicIsChecked"},
    {"vt1", "mic.gain", 0, 20, "SetMicVolume channel=1 value=40", "MicValue"},
    {"vt1", "headphone.volume", -80, -20, "(256,0)=0.1 (256,1)=0.1", "HeadphoneValue"},
    {"vt1", "headphone.mute", 0, 1, "(256,0)=0 (256,1)=0", "HeadphoneMuteIsChecked"},
    {"vt1", "headphone.dim", 0, 1, "(256,0)=0.1 (256,1)=0.1", "HeadphoneDimIsChecked"},
    {"vt1", "phone-to-hp.volume", 0, -20, "(64,2)=0.1 (65,3)=0.1", "OtgToHpValue"},
    {"vt2", "mic1.pad", 0, 1, "SetMic20dB channel=1 state=1", "Mic120dBIsChecked"},
    {"vt2", "mic1.48v", 0, 1, "SetMic48V channel=1 state=1", "Mic148VIsChecked"},
    {"vt2", "mic1.direct", 0, 1, "(64,0)=1 (65,0)=1 (68,0)=1 (69,0)=1", "MonitorMic1IsChecked"},
    {"vt2", "mic1.gain", 0, 20, "SetMicVolume channel=1 value=40", "Mic1Value"},
    {"vt2", "mic2.gain", 0, 56, "SetMicVolume channel=2 value=112", "Mic2Value"},
    {"vt2", "mic2.pad", 0, 1, "SetMic20dB channel=2 state=1", "Mic220dBIsChecked"},
    {"vt2", "mic2.48v", 0, 1, "SetMic48V channel=2 state=1", "Mic248VIsChecked"},
    {"vt2", "mic2.direct", 0, 1, "(64,1)=1 (65,1)=1 (68,1)=1 (69,1)=1", "MonitorMic2IsChecked"},
    {"vt2", "speaker.volume", -80, -20, "(256,0)=0.1 (256,1)=0.1", "SpeakerValue"},
    {"vt2", "speaker.mute", 0, 1, "(256,0)=0 (256,1)=0", "SpeakerMuteIsChecked"},
    {"vt2", "speaker.dim", 0, 1, "(256,0)=0.1 (256,1)=0.1", "SpeakerDimIsChecked"},
    {"vt2", "headphone.volume", -80, -20, "(256,4)=0.1 (256,5)=0.1", "HeadphoneValue"},
    {"vt2", "headphone.mute", 0, 1, "(256,4)=0 (256,5)=0", "HeadphoneMuteIsChecked"},
    {"vt2", "headphone.dim", 0, 1, "(256,4)=0.1 (256,5)=0.1", "HeadphoneDimIsChecked"},
    {"vt2", "phone-to-hp.volume", 0, -20, "(68,2)=0.1 (69,3)=0.1", "OtgToHpValue"},
    {"vt2", "phone-to-sp.volume", 0, -20, "(64,2)=0.1 (65,3)=0.1", "OtgToSPValue"},
    {"vr", "mic.direct", 0, 1, "(64,0)=1 (65,1)=1", "MonitorMicIsChecked"},
    {"vr", "mic.gain", 0, 20, "SetMicVolume channel=1 value=40", "MicValue"},
    {"vr", "headphone.volume", -80, -20, "(256,0)=0.1 (256,1)=0.1", "HeadphoneValue"},
    {"vr", "headphone.mute", 0, 1, "(256,0)=0 (256,1)=0", "HeadphoneMuteIsChecked"},
    {"vr", "headphone.dim", 0, 1, "(256,0)=0.1 (256,1)=0.1", "HeadphoneDimIsChecked"},
};

// Meter entries 0 to 3, the readouts left to right and their names. A peak's
// sign does not count; the phones' readout is the mean of entries 2 and 3.
const struct {
    const char* name; // the model
    qint32 entries[4];
    const char *shown, *readout;
} kMeters[] = {
    {"vt1",
     {214748365, 0, 2147483647, 2147483647},
     "-20.0 dB|0.0 dB",
     "Input level|Headphone phone level"},
    {"vt2",
     {-2147483647 - 1, -214748365, 2147483647, 0},
     "0.0 dB|-20.0 dB|-6.0 dB|-6.0 dB",
     "MIC1 level|MIC2 level|Speaker phone level|Headphone phone level"},
    {"vr", {0, 2147483647, 2147483647, 2147483647}, "-inf dB", "MIC level"},
};

// The operation the unit refuses throughout or "once" ("": none, null: no
// unit), the line that says so and how often.
const struct {
    const char *name, *model, *refused, *failure;
    int times;
} kStarts[] = {
    {"vt1", "vt1", "", "", 0},
    {"vt2", "vt2", "", "", 0},
    {"vr", "vr", "", "", 0},
    {"vt2 no unit", "vt2", nullptr, "Failed to create device in vt2.", 1},
    {"vt1 first output volume", "vt1", "SetOutVolume once", "Failed to set output volume.", 1},
    {"vt2 output volume", "vt2", "SetOutVolume", "Failed to set output volume.", 1},
    {"vr output volume", "vr", "SetOutVolume", "Failed to set output volume.", 1},
    {"vt1 MIC/INST", "vt1", "SwitchMicInstrument", "Failed to switch mic instruction.", 1},
    {"vr Mixer", "vr", "WriteMixer", "Failed to set headphone volume.", 3},
};

// vt1.ini ("|": a line break, null: binary junk), and the dials (mic 0..42,
// the others -80..6) and 48V then restored.
const struct {
    const char *name, *restored, *contents;
} kDamaged[] = {
    {"as written", "30 -20 -6 on",
     "[Dial]|MicValue=30|HeadphoneValue=-20|OtgToHpValue=-6|[Button]|Mic48VIsChecked=true"},
    {"wrong values", "0 -80 0 off",
     "[Dial]|MicValue=true|HeadphoneValue=-20, -10|OtgToHpValue=|[Button]|Mic48VIsChecked=yes"},
    {"hand-edited", "0 -80 0 on",
     "[Dial]|MicValue=+5|HeadphoneValue=12.5|OtgToHpValue=\u0665|[Button]|Mic48VIsChecked=1"},
    {"beyond int", "0 -80 0 off", "[Dial]|HeadphoneValue=2147483648|OtgToHpValue=-2147483649"},
    {"clamped by the dial", "42 -80 6 off",
     "[Dial]|MicValue=2147483647|HeadphoneValue=-2147483648|OtgToHpValue=1000"},
    {"stray sections", "20 -80 0 off",
     "[Other]|MicValue=30|[Dial]|MicValue=20|[General]|HeadphoneValue=5|"
     "[Dial/Deeper]|OtgToHpValue=3"},
    {"binary junk", "0 -80 0 off", nullptr},
};

} // namespace

class TestPanels : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    WideOutputSink m_openLines;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<VirtualUnit> m_unit;

    static QString iniPath(const QString& model)
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/' + model +
               ".ini";
    }
    static std::unique_ptr<ModelPanel> build(const QString& model)
    {
        return std::unique_ptr<ModelPanel>(model == "vt1"   ? static_cast<ModelPanel*>(new vt1)
                                           : model == "vt2" ? static_cast<ModelPanel*>(new vt2)
                                                            : new vr);
    }
    static PanelControl find(const ModelPanel& panel, const QString& name)
    {
        for (const PanelControl& control : panel.controls())
            if (control.name == name)
                return control;
        return {};
    }
    static bool isDial(const Control& control)
    {
        return !QString(control.key).endsWith("IsChecked");
    }

    // "Dial/MicValue=20", "Button/MicInstrIsChecked=true".
    static QString entry(const Control& control, int value)
    {
        return isDial(control) ? QString("Dial/%1=%2").arg(control.key).arg(value)
                               : QString("Button/%1=%2").arg(control.key, value ? "true" : "false");
    }

    // The settings file as its bytes stand on disk: "Section/Key=value", sorted.
    static QStringList onDisk(const QString& model)
    {
        QStringList entries;
        QString section;
        for (const QString& line :
             QString(readFile(iniPath(model))).split('\n', Qt::SkipEmptyParts)) {
            if (line.startsWith('['))
                section = line.mid(1, line.size() - 2);
            else
                entries << section + '/' + line;
        }
        entries.sort();
        return entries;
    }

    // Turns the named dial to `value`, or the named switch on (1) or off (0).
    static QWidget* change(const ModelPanel& panel, const QString& name, int value)
    {
        const PanelControl control = find(panel, name);
        if (control.knob)
            control.knob->setValue(value);
        else if (control.button)
            control.button->setState(value != 0);
        return control.knob ? static_cast<QWidget*>(control.knob) : control.button;
    }

    static QStringList readouts(QWidget* panel)
    {
        QStringList texts;
        for (QLabel* label : panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
            if (label->text().endsWith(" dB"))
                texts << label->text();
        return texts;
    }

    int failures() const
    {
        return int(m_log->lines().filter(QRegularExpression("^Failed ")).size());
    }

    QStringList sent() { return sentTo(*m_unit); }

private slots:
    void init()
    {
        m_log.reset(); // one capture and one unit at a time
        m_unit.reset();
        for (const char* model : {"vt1", "vt2", "vr"})
            QFile::remove(iniPath(model));
        QVERIFY(m_unit = stillUnit());
        m_log = std::make_unique<LogCapture>();
    }

    // A start sends every control at rest in restore order, stores every key,
    // presets the Mixer block and lays out every control, whatever the unit
    // refuses; without a unit the panel stays empty. Deleted, it lets go.
    void firstStart_data() { addRows(kStarts); }
    void firstStart()
    {
        const auto& row = currentRow(kStarts);
        const QString model = row.model;
        if (!row.refused)
            m_unit->unplug();
        else if (*row.refused)
            m_unit->fail(QString(row.refused).section(' ', 0, 0).toStdString(),
                         QString(row.refused).endsWith("once") ? 1 : VirtualUnit::kUntilHealed);
        auto panel = build(model);
        const bool complete = row.refused;
        const bool isVt2 = model == "vt2";
        QStringList expected, stored; // what the unit receives, what the file holds
        for (int channel : {1, 2, 5, 6})
            if (complete && (isVt2 || channel < 5))
                expected << QString("SetOutVolume channel=%1 value=100").arg(channel);
        for (const Control& control : kControls) {
            if (!complete || control.model != model)
                continue;
            stored << entry(control, control.rest);
            expected << (*control.line == '(' ? QString("WriteMixer")
                                              : QString(control.line).section(' ', 0, 1) +
                                                    (isDial(control) ? " value=0" : " state=0"));
        }
        stored.sort();
        QCOMPARE(onDisk(model), stored); // before any event: written at once
        QCOMPARE(*row.failure ? m_log->count(row.failure) : failures(), row.times);
        QStringList operations; // without the Mixer cells and the refusals
        for (const QString& line : sent())
            operations << line.section(" (", 0, 0).section(" failed", 0, 0);
        QCOMPARE(operations, expected);

        double cells[259][32] = {};
        for (int i = 0; i < 8; ++i)
            cells[4 + i][i] = cells[160 + i][i] = 1.0;
        for (int r : {96, 100, 128, 130, 132})
            if (isVt2 || (r != 100 && r != 132))
                cells[r][0] = cells[r + 1][1] = 1.0;
        for (int r : {256, 257, 258})
            for (double& gain : cells[r])
                gain = 1.0;
        for (int column : {0, 1, 4, 5})
            if (isVt2 || column < 2)
                cells[256][column] = 0.0; // outputs restored at -80 dB
        for (int r : {64, 68})
            if (isVt2 || r == 64)
                cells[r][2] = cells[r + 1][3] = 1.0; // the phone at 0 dB
        const virtualunit::UnitState state = m_unit->state();
        QCOMPARE(state.mixerWritten, complete && QString(row.refused) != "WriteMixer");
        for (int r = 0; state.mixerWritten && r < 259; ++r)
            for (int c = 0; c < 32; ++c)
                QVERIFY2(state.cell(r, c) == cells[r][c],
                         qPrintable(QString("(%1,%2)").arg(r).arg(c)));

        if (complete)
            panel->layout()->activate(); // a control it leaves out stays at the corner
        for (QWidget* widget : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(widget->pos() != QPoint(), widget->metaObject()->className());
        QCOMPARE(panel->layout() != nullptr, complete);
        panel.reset();
        QTRY_COMPARE(m_unit->connectionCount(), 0);
    }

    // A change sends exactly itself and reaches the file at once, also when
    // refused (one failure line). A stored state is sent as the panel is built.
    void eachControlIsSentSavedAndRestored_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("how");
        for (const char* how : {"by hand", "refused", "stored"})
            for (std::size_t i = 0; i < std::size(kControls); ++i)
                QTest::addRow("%s %s %s", kControls[i].model, kControls[i].name, how)
                    << int(i) << QString(how);
    }
    void eachControlIsSentSavedAndRestored()
    {
        const Control& row = currentRow(kControls);
        QFETCH(QString, how);
        const bool mixer = *row.line == '(';
        const QString line = (mixer ? "WriteMixer " : "") + QString(row.line);
        QSettings file(iniPath(row.model), QSettings::IniFormat);
        file.setValue("Dial/HeadphoneValue", 0); // MUTE and DIM are heard
        file.setValue("Dial/SpeakerValue", 0);
        if (how == "stored") // as the panel itself saves it
            file.setValue(entry(row, row.value).section('=', 0, 0),
                          isDial(row) ? QVariant(row.value) : QVariant(row.value != 0));
        file.sync();
        auto panel = build(row.model);
        QVERIFY(how != "stored" || mixer || sent().contains(line));
        if (how == "refused")
            m_unit->fail(line.section(' ', 0, 0).toStdString());
        sent();
        m_log->clear();

        QWidget* widget = change(*panel, row.name, row.value);
        QVERIFY(widget);
        const QString expected = how == "refused"           ? line + " failed 31"
                                 : how == "stored" && mixer ? "WriteMixer (no change)"
                                                            : line;
        QCOMPARE(sent(), QStringList{expected});
        QCOMPARE(failures(), how == "refused" ? 1 : 0);
        QVERIFY2(onDisk(row.model).contains(entry(row, row.value)), row.key);
        if (QString(row.name) == "mic.inst") // it shows the mode only once the unit took it
            QCOMPARE(static_cast<Button*>(widget)->text(), how == "refused" ? "MIC" : "INST");
    }

    // MUTE silences an output whatever DIM and the dial say; DIM takes 20 dB
    // off; the file keeps the dial's value. (dial, MUTE, DIM follow in kControls)
    void muteWinsOverDim_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < std::size(kControls); ++i)
            if (QString(kControls[i].name).endsWith(".mute"))
                QTest::addRow("%s %s", kControls[i].model, kControls[i - 1].key) << int(i);
    }
    void muteWinsOverDim()
    {
        const Control* output = &currentRow(kControls) - 1; // dial, MUTE, DIM
        auto panel = build(output->model);
        const int column = QString(output->line).mid(5, 1).toInt(); // "(256,c)=..."
        // Control (0 dial, 1 MUTE, 2 DIM), its new value, the level heard.
        const int steps[][3] = {{0, -10, -10}, {1, 1, -80},   {0, -4, -80}, {2, 1, -80},
                                {1, 0, -24},   {0, -70, -80}, {2, 0, -70}};
        for (const auto& [control, value, level] : steps) {
            QVERIFY(change(*panel, output[control].name, value));
            const virtualunit::UnitState state = m_unit->state();
            QCOMPARE(state.cell(256, column), QuorlinIoControl::DbToLinear(level));
            QCOMPARE(state.cell(256, column + 1), QuorlinIoControl::DbToLinear(level));
        }
        QVERIFY(onDisk(output->model).contains(entry(*output, -70)));
    }

    // Readouts start at "-160 dB", show the meters on each read (every 500 ms),
    // keep their text when a read is refused, and are named for a screen reader,
    // each with its level, told of each new level and of nothing else.
    void readoutsAndScreenReader_data() { addRows(kMeters); }
    void readoutsAndScreenReader()
    {
        const auto& row = currentRow(kMeters);
        AccessibilitySpy accessibility;
        for (int entry = 0; entry < 4; ++entry)
            m_unit->pinMeter(entry, row.entries[entry]);
        auto panel = build(row.name);
        const QStringList shown = QString(row.shown).split('|');
        QCOMPARE(readouts(panel.get()), QStringList(shown.size(), "-160 dB"));
        auto* timer = panel->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(timer ? timer->interval() : 0, 500);
        accessibility.clear();
        QMetaObject::invokeMethod(panel.get(), "updateMeters");
        QCOMPARE(readouts(panel.get()), shown);
        const auto levels = panel->findChildren<LevelReadout*>();
        const QStringList names = QString(row.readout).split('|');
        QCOMPARE(levels.size(), names.size());
        for (int i = 0; i < levels.size(); ++i) {
            QCOMPARE(QAccessible::queryAccessibleInterface(levels[i])->text(QAccessible::Name),
                     names[i] + ", " + shown[i]);
            const auto events = accessibility.about(levels[i]);
            QCOMPARE(events.size(), 1);
            QCOMPARE(events[0].type, QAccessible::NameChanged);
        }
        accessibility.clear();
        QMetaObject::invokeMethod(panel.get(), "updateMeters"); // the same levels again
        for (LevelReadout* level : levels)
            QVERIFY(accessibility.about(level).isEmpty());

        m_unit->fail("ReadMeters");
        m_unit->pinMeter(0, 1);
        QMetaObject::invokeMethod(panel.get(), "updateMeters");
        QCOMPARE(m_log->count("Failed to read meter data from driver."), 1);
        QCOMPARE(readouts(panel.get()), shown);
        QTRY_COMPARE_WITH_TIMEOUT(readouts(panel.get()).first(), "-186.6 dB", 5000);

        // Each dial and switch: a role, a name of its own, a switch its state;
        // a dial steps up through its value; Tab goes column by column.
        panel->show();
        QStringList spoken;
        QList<QWidget*> controls;
        for (QWidget* w = panel->nextInFocusChain(); w != panel.get(); w = w->nextInFocusChain()) {
            auto* knob = qobject_cast<Knob*>(w);
            auto* button = qobject_cast<Button*>(w);
            if (!knob && !button)
                continue;
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
            const QString name = iface->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && !spoken.contains(name), qPrintable(name));
            spoken << name;
            QCOMPARE(iface->role(), knob ? QAccessible::SpinBox : QAccessible::CheckBox);
            if (knob) { // value + step raises it, the VT2 gain's 0 (next shown: 10) too
                QAccessibleValueInterface* value = iface->valueInterface();
                const int before = knob->value;
                value->setCurrentValue(value->currentValue().toInt() +
                                       value->minimumStepSize().toInt());
                QCOMPARE(knob->value, before + 1);
            } else
                QCOMPARE(iface->state().checked, button->checked);
            const auto place = [&panel](QWidget* c) {
                int column = 0;
                while (
                    !panel->layout()->itemAt(column)->geometry().contains(c->geometry().center()))
                    ++column;
                return std::tuple(column, c->y(), c->x());
            };
            QVERIFY(controls.isEmpty() || place(controls.last()) < place(w));
            controls << w;
        }
        QCOMPARE(controls.size(), panel->controls().size());
    }

    // A damaged vt1.ini: only what QSettings writes is taken, or a switch's "1"
    // and "0"; the controls, unit and file hold the default or the dial's clamp.
    void damagedPanelFile_data() { addRows(kDamaged); }
    void damagedPanelFile()
    {
        const auto& row = currentRow(kDamaged);
        QByteArray contents = QByteArray(row.contents).replace('|', '\n');
        if (!row.contents) { // binary junk
            contents.resize(4096);
            QRandomGenerator(8).fillRange(reinterpret_cast<quint32*>(contents.data()), 1024);
        }
        const QStringList restored = QString(row.restored).split(' ');
        const QList<int> dials{restored[0].toInt(), restored[1].toInt(), restored[2].toInt()};
        const bool phantom = restored[3] == "on";
        QVERIFY(writeFile(iniPath("vt1"), contents));
        vt1 panel;
        QList<int> shown;
        for (const char* name : {"mic.gain", "headphone.volume", "phone-to-hp.volume"})
            shown << find(panel, name).knob->value;
        QCOMPARE(shown, dials);
        QCOMPARE(find(panel, "mic.48v").button->checked, phantom);
        QCOMPARE(m_unit->state().micVolume[1], 2 * dials[0]);
        QCOMPARE(m_unit->state().cell(256, 0), QuorlinIoControl::DbToLinear(dials[1]));
        QCOMPARE(m_unit->state().mic48V[1], int(phantom));
        const QStringList stored = onDisk("vt1");
        QVERIFY(stored.contains(QString("Dial/HeadphoneValue=%1").arg(dials[1])));
        QVERIFY(
            stored.contains(QString("Button/Mic48VIsChecked=%1").arg(phantom ? "true" : "false")));
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
