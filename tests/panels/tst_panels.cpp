// The VT1, VT2 and VR panels against the virtual unit: what each sends at
// start and for every control, what its settings file holds on disk, how MUTE
// and DIM shape an output, what the readouts show, and what a refusal does.

#include "controls/button.h"
#include "controls/knob.h"
#include "driver/quorlin_io_control.h"
#include "log_capture.h"
#include "panel_probe.h"
#include "panels/vr.h"
#include "panels/vt1.h"
#include "panels/vt2.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace PanelProbe;

namespace {

std::unique_ptr<QWidget> build(const QString& model)
{
    if (model == "vt1")
        return std::make_unique<vt1>();
    if (model == "vt2")
        return std::make_unique<vt2>();
    return std::make_unique<vr>();
}

QString iniPath(const QString& model)
{
    return settingsPath(model + ".ini");
}

// Every key of a panel's file at its default, as a first start leaves it.
QStringList defaults(const QString& model)
{
    QString entries = "Button/MonitorMicIsChecked=false Dial/MicValue=0 Dial/HeadphoneValue=-80 "
                      "Button/HeadphoneMuteIsChecked=false Button/HeadphoneDimIsChecked=false";
    if (model == "vt1")
        entries += " Button/MicInstrIsChecked=false Button/Mic20dBIsChecked=false "
                   "Button/Mic48VIsChecked=false Dial/OtgToHpValue=0";
    if (model == "vt2")
        entries = "Button/Mic120dBIsChecked=false Button/Mic148VIsChecked=false "
                  "Button/MonitorMic1IsChecked=false Dial/Mic1Value=0 Dial/Mic2Value=0 "
                  "Button/Mic220dBIsChecked=false Button/Mic248VIsChecked=false "
                  "Button/MonitorMic2IsChecked=false Dial/SpeakerValue=-80 "
                  "Button/SpeakerMuteIsChecked=false Button/SpeakerDimIsChecked=false "
                  "Dial/HeadphoneValue=-80 Button/HeadphoneMuteIsChecked=false "
                  "Button/HeadphoneDimIsChecked=false Dial/OtgToHpValue=0 Dial/OtgToSPValue=0";
    QStringList sorted = entries.split(' ');
    sorted.sort();
    return sorted;
}

// The settings file as its bytes stand on disk: "Section/Key=value", sorted.
QStringList onDisk(const QString& model)
{
    QFile file(iniPath(model));
    QStringList entries;
    QString section;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw.trimmed());
        if (line.startsWith('['))
            section = line.mid(1, line.size() - 2);
        else if (!line.isEmpty())
            entries << section + '/' + line;
    }
    entries.sort();
    return entries;
}

// Writes "Key=value" entries into a panel's file before the panel is built.
void store(const QString& model, const QString& entries)
{
    QSettings file(iniPath(model), QSettings::IniFormat);
    for (const QString& entry : entries.split(' ', Qt::SkipEmptyParts))
        file.setValue(entry.section('=', 0, 0), entry.section('=', 1));
}

// A control by creation order: "dial 2" is the third dial, "MUTE 1" the second MUTE.
QWidget* control(QWidget* panel, const QString& name)
{
    const int index = name.section(' ', 1).toInt();
    if (name.startsWith("dial "))
        return knobs(panel).value(index);
    return button(panel, name.section(' ', 0, 0), index);
}

// Turns a dial to `value`, or a switch on (1) or off (0).
void change(QWidget* widget, int value)
{
    if (auto* knob = qobject_cast<Knob*>(widget))
        knob->setValue(value);
    else
        static_cast<Button*>(widget)->setState(value != 0);
}

// "(row,column)=gain ..." as the unit holds those cells, gains printed as its trace prints them.
QString cellsOf(const virtualunit::UnitState& state, const QString& cells)
{
    QStringList shown;
    for (const QString& entry : cells.split(' ', Qt::SkipEmptyParts)) {
        const QStringList place = entry.section('=', 0, 0).mid(1).chopped(1).split(',');
        const double gain = state.cell(place[0].toInt(), place[1].toInt());
        shown << entry.section('=', 0, 0) + '=' + QString::number(gain, 'g', 6);
    }
    return shown.join(' ');
}

// The line a panel logs when the unit refuses the control stored under `key`.
QString failureLine(const QString& key)
{
    const std::pair<const char*, const char*> lines[] = {
        {"MicInstr", "Failed to switch mic instruction."},
        {"20dB", "Failed to switch mic 20dB."},
        {"48V", "Failed to switch mic 48V."},
        {"MonitorMic", "Failed to set Monitor Mic."},
        {"OtgToHp", "Failed to set OTG to HP volume."},
        {"OtgToSP", "Failed to set OTG to SP volume."},
        {"Headphone", "Failed to set headphone volume."},
        {"Speaker", "Failed to set speaker volume."},
        {"Mic", "Failed to set mic volume."},
    };
    for (const auto& [fragment, line] : lines)
        if (key.contains(fragment))
            return line;
    return {};
}

QStringList readouts(QWidget* panel)
{
    QStringList texts;
    for (QLabel* label : panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        if (label->text().endsWith(" dB"))
            texts << label->text();
    return texts;
}

bool laidOut(QLayout* layout, QWidget* widget)
{
    if (!layout)
        return false;
    for (int i = 0; i < layout->count(); ++i)
        if (layout->itemAt(i)->widget() == widget || laidOut(layout->itemAt(i)->layout(), widget))
            return true;
    return false;
}

void addModels()
{
    QTest::addColumn<QString>("model");
    for (const char* model : {"vt1", "vt2", "vr"})
        QTest::newRow(model) << QString(model);
}

} // namespace

class TestPanels : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    WideOutputSink m_openLines;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<virtualunit::VirtualUnit> m_unit;

    // What the unit received since the last call, without the meter reads.
    QStringList sent()
    {
        QStringList lines;
        for (const std::string& line : m_unit->takeTrace())
            if (line.rfind("ReadMeters", 0) != 0)
                lines << QString::fromStdString(line);
        return lines;
    }

private slots:
    void init()
    {
        for (const char* model : {"vt1", "vt2", "vr"})
            QFile::remove(iniPath(model));
        virtualunit::Options options;
        options.movingMeters = false;
        m_unit = std::make_unique<virtualunit::VirtualUnit>(options);
        QVERIFY(m_unit->plug());
        m_log = std::make_unique<LogCapture>();
    }
    void cleanup()
    {
        m_log.reset();
        m_unit.reset();
    }

    void firstStartSendsAndStoresEveryDefault_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("trace"); // Mixer cells left out
        const QString out = "SetOutVolume channel=%1 value=100;";
        QTest::newRow("vt1") << "vt1"
                             << out.arg(1) + out.arg(2) +
                                    "SwitchMicInstrument channel=1 state=0;SetMic20dB channel=1 "
                                    "state=0;SetMic48V channel=1 state=0;WriteMixer;SetMicVolume "
                                    "channel=1 value=0;WriteMixer;WriteMixer;WriteMixer;WriteMixer";
        QTest::newRow("vt2") << "vt2"
                             << out.arg(1) + out.arg(2) + out.arg(5) + out.arg(6) +
                                    "SetMic20dB channel=1 state=0;SetMic48V channel=1 state=0;"
                                    "WriteMixer;SetMicVolume channel=1 value=0;SetMicVolume "
                                    "channel=2 value=0;SetMic20dB channel=2 state=0;SetMic48V "
                                    "channel=2 state=0;WriteMixer;WriteMixer;WriteMixer;WriteMixer;"
                                    "WriteMixer;WriteMixer;WriteMixer;WriteMixer;WriteMixer";
        QTest::newRow("vr") << "vr"
                            << out.arg(1) + out.arg(2) +
                                   "WriteMixer;SetMicVolume channel=1 value=0;WriteMixer;"
                                   "WriteMixer;WriteMixer";
    }
    void firstStartSendsAndStoresEveryDefault()
    {
        QFETCH(QString, model);
        QFETCH(QString, trace);
        auto panel = build(model);
        QCOMPARE(onDisk(model), defaults(model)); // before any event: written at once
        QStringList operations;
        for (const QString& line : sent())
            operations << line.section(" (", 0, 0);
        QCOMPARE(operations.join(';'), trace);
        QVERIFY(m_log->contains("已从配置文件加载控件状态"));

        const bool isVt2 = model == "vt2";
        double expected[259][32] = {};
        for (int i = 0; i < 8; ++i)
            expected[4 + i][i] = expected[160 + i][i] = 1.0;
        for (int row : {96, 100, 128, 130, 132})
            if (isVt2 || (row != 100 && row != 132))
                expected[row][0] = expected[row + 1][1] = 1.0;
        for (int row : {256, 257, 258})
            for (double& gain : expected[row])
                gain = 1.0;
        for (int column : {0, 1, 4, 5})
            if (isVt2 || column < 2)
                expected[256][column] = 0.0; // outputs restored at -80 dB
        for (int row : {64, 68})
            if (isVt2 || row == 64)
                expected[row][2] = expected[row + 1][3] = 1.0; // the phone at 0 dB
        const virtualunit::UnitState state = m_unit->state();
        for (int row = 0; row < 259; ++row)
            for (int column = 0; column < 32; ++column)
                QVERIFY2(
                    state.cell(row, column) == expected[row][column],
                    qPrintable(
                        QString("(%1,%2)=%3").arg(row).arg(column).arg(state.cell(row, column))));
    }

    void storedStateIsReplayed_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("line");  // a line the unit receives, or empty
        QTest::addColumn<QString>("cells"); // Mixer cells in the unit afterwards
        QTest::addColumn<QString>("saved"); // written back, clamped to the dial's range
        const struct {
            const char *tag, *model, *stored, *line, *cells, *saved;
        } rows[] = {
            {"vt1 gain clamped", "vt1", "Dial/MicValue=50", "SetMicVolume channel=1 value=84", "",
             "Dial/MicValue=42"},
            {"vt1 switches and phone", "vt1",
             "Button/MicInstrIsChecked=true Button/Mic48VIsChecked=true Dial/OtgToHpValue=-20",
             "SetMic48V channel=1 state=1", "(64,2)=0.1 (65,3)=0.1",
             "Button/MicInstrIsChecked=true"},
            {"vt1 muted and dimmed", "vt1",
             "Dial/HeadphoneValue=-10 Button/HeadphoneMuteIsChecked=true "
             "Button/HeadphoneDimIsChecked=true",
             "", "(256,0)=0 (256,1)=0", "Dial/HeadphoneValue=-10"},
            {"vt2 gain clamped", "vt2", "Dial/Mic2Value=99", "SetMicVolume channel=2 value=112", "",
             "Dial/Mic2Value=56"},
            {"vt2 mic 2 switches", "vt2",
             "Button/Mic220dBIsChecked=true Button/MonitorMic2IsChecked=true",
             "SetMic20dB channel=2 state=1", "(64,1)=1 (65,1)=1 (68,1)=1 (69,1)=1 (64,0)=0",
             "Button/MonitorMic2IsChecked=true"},
            {"vt2 speaker muted", "vt2",
             "Dial/SpeakerValue=0 Button/SpeakerMuteIsChecked=true Dial/HeadphoneValue=0 "
             "Dial/OtgToSPValue=-20",
             "", "(256,0)=0 (256,1)=0 (256,4)=1 (256,5)=1 (64,2)=0.1 (65,3)=0.1 (68,2)=1",
             "Dial/SpeakerValue=0"},
            {"vt2 headphones dimmed", "vt2",
             "Dial/HeadphoneValue=0 Button/HeadphoneDimIsChecked=true Dial/OtgToHpValue=-80", "",
             "(256,4)=0.1 (256,5)=0.1 (68,2)=0 (69,3)=0 (64,2)=1",
             "Button/HeadphoneDimIsChecked=true"},
            {"vr level clamped", "vr", "Dial/HeadphoneValue=20 Button/MonitorMicIsChecked=true", "",
             "(256,0)=1.99526 (256,1)=1.99526 (64,0)=1 (65,1)=1 (64,2)=1 (65,3)=1",
             "Dial/HeadphoneValue=6"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.tag) << row.model << row.stored << row.line << row.cells << row.saved;
    }
    void storedStateIsReplayed()
    {
        QFETCH(QString, model);
        QFETCH(QString, stored);
        QFETCH(QString, line);
        QFETCH(QString, cells);
        QFETCH(QString, saved);
        store(model, stored);
        auto panel = build(model);
        QVERIFY2(onDisk(model).contains(saved), qPrintable(onDisk(model).join(' ')));
        if (!line.isEmpty())
            QVERIFY2(sent().contains(line), qPrintable(line));
        QCOMPARE(cellsOf(m_unit->state(), cells), cells);
    }

    // Each control sends exactly its change, and its new state reaches the
    // file on disk at once, also when the unit refuses the change.
    void everyControlReachesTheUnitAndTheFile_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("line"); // "(row,column)=gain ...": a WriteMixer with these
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("refused");
        const struct {
            const char *model, *name;
            int value;
            const char *line, *key;
        } rows[] = {
            {"vt1", "MIC", 1, "SwitchMicInstrument channel=1 state=1", "MicInstrIsChecked"},
            {"vt1", "20dB", 1, "SetMic20dB channel=1 state=1", "Mic20dBIsChecked"},
            {"vt1", "48V", 1, "SetMic48V channel=1 state=1", "Mic48VIsChecked"},
            {"vt1", "DIRECT", 1, "(64,0)=1 (65,1)=1", "MonitorMicIsChecked"},
            {"vt1", "dial 0", 20, "SetMicVolume channel=1 value=40", "MicValue"},
            {"vt1", "dial 1", -20, "(256,0)=0.1 (256,1)=0.1", "HeadphoneValue"},
            {"vt1", "MUTE", 1, "(256,0)=0 (256,1)=0", "HeadphoneMuteIsChecked"},
            {"vt1", "DIM", 1, "(256,0)=0.1 (256,1)=0.1", "HeadphoneDimIsChecked"},
            {"vt1", "dial 2", -20, "(64,2)=0.1 (65,3)=0.1", "OtgToHpValue"},
            {"vt2", "20dB", 1, "SetMic20dB channel=1 state=1", "Mic120dBIsChecked"},
            {"vt2", "48V", 1, "SetMic48V channel=1 state=1", "Mic148VIsChecked"},
            {"vt2", "DIRECT", 1, "(64,0)=1 (65,0)=1 (68,0)=1 (69,0)=1", "MonitorMic1IsChecked"},
            {"vt2", "dial 0", 20, "SetMicVolume channel=1 value=40", "Mic1Value"},
            {"vt2", "dial 1", 56, "SetMicVolume channel=2 value=112", "Mic2Value"},
            {"vt2", "20dB 1", 1, "SetMic20dB channel=2 state=1", "Mic220dBIsChecked"},
            {"vt2", "48V 1", 1, "SetMic48V channel=2 state=1", "Mic248VIsChecked"},
            {"vt2", "DIRECT 1", 1, "(64,1)=1 (65,1)=1 (68,1)=1 (69,1)=1", "MonitorMic2IsChecked"},
            {"vt2", "dial 2", -20, "(256,0)=0.1 (256,1)=0.1", "SpeakerValue"},
            {"vt2", "MUTE", 1, "(256,0)=0 (256,1)=0", "SpeakerMuteIsChecked"},
            {"vt2", "DIM", 1, "(256,0)=0.1 (256,1)=0.1", "SpeakerDimIsChecked"},
            {"vt2", "dial 3", -20, "(64,2)=0.1 (65,3)=0.1", "OtgToSPValue"},
            {"vt2", "dial 4", -20, "(256,4)=0.1 (256,5)=0.1", "HeadphoneValue"},
            {"vt2", "MUTE 1", 1, "(256,4)=0 (256,5)=0", "HeadphoneMuteIsChecked"},
            {"vt2", "DIM 1", 1, "(256,4)=0.1 (256,5)=0.1", "HeadphoneDimIsChecked"},
            {"vt2", "dial 5", -20, "(68,2)=0.1 (69,3)=0.1", "OtgToHpValue"},
            {"vr", "DIRECT", 1, "(64,0)=1 (65,1)=1", "MonitorMicIsChecked"},
            {"vr", "dial 0", 20, "SetMicVolume channel=1 value=40", "MicValue"},
            {"vr", "dial 1", -20, "(256,0)=0.1 (256,1)=0.1", "HeadphoneValue"},
            {"vr", "MUTE", 1, "(256,0)=0 (256,1)=0", "HeadphoneMuteIsChecked"},
            {"vr", "DIM", 1, "(256,0)=0.1 (256,1)=0.1", "HeadphoneDimIsChecked"},
        };
        for (bool refused : {false, true})
            for (const auto& row : rows)
                QTest::addRow("%s %s%s", row.model, row.name, refused ? " refused" : "")
                    << row.model << row.name << row.value << row.line << row.key << refused;
    }
    void everyControlReachesTheUnitAndTheFile()
    {
        QFETCH(QString, model);
        QFETCH(QString, name);
        QFETCH(int, value);
        QFETCH(QString, line);
        QFETCH(QString, key);
        QFETCH(bool, refused);
        store(model, "Dial/HeadphoneValue=0 Dial/SpeakerValue=0"); // MUTE and DIM are heard
        auto panel = build(model);
        QWidget* widget = control(panel.get(), name);
        QVERIFY(widget);
        if (line.startsWith('('))
            line.prepend("WriteMixer ");
        if (refused)
            m_unit->fail(line.section(' ', 0, 0).toStdString());
        sent();
        m_log->clear();

        change(widget, value);
        QCOMPARE(sent(), QStringList{refused ? line + " failed 31" : line});
        QCOMPARE(m_log->count(failureLine(key)), refused ? 1 : 0);
        const bool dial = name.startsWith("dial");
        const QString saved = (dial ? "Dial/" : "Button/") + key + '=' +
                              (dial ? QString::number(value) : QString("true"));
        QVERIFY2(onDisk(model).contains(saved), qPrintable(onDisk(model).join(' ')));
        if (name == "MIC") // the switch names its mode only once the unit took it
            QCOMPARE(static_cast<Button*>(widget)->text(), refused ? "MIC" : "INST");
    }

    void muteWinsOverDim_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("dialName");
        QTest::addColumn<int>("pair");   // which MUTE and DIM
        QTest::addColumn<int>("column"); // the output's first level cell in row 256
        QTest::addColumn<QString>("key");
        QTest::newRow("vt1") << "vt1"
                             << "dial 1" << 0 << 0 << "Dial/HeadphoneValue";
        QTest::newRow("vt2 speaker") << "vt2"
                                     << "dial 2" << 0 << 0 << "Dial/SpeakerValue";
        QTest::newRow("vt2 headphones") << "vt2"
                                        << "dial 4" << 1 << 4 << "Dial/HeadphoneValue";
        QTest::newRow("vr") << "vr"
                            << "dial 1" << 0 << 0 << "Dial/HeadphoneValue";
    }
    void muteWinsOverDim()
    {
        QFETCH(QString, model);
        QFETCH(QString, dialName);
        QFETCH(int, pair);
        QFETCH(int, column);
        QFETCH(QString, key);
        auto panel = build(model);
        auto* dial = static_cast<Knob*>(control(panel.get(), dialName));
        Button* mute = button(panel.get(), "MUTE", pair);
        Button* dim = button(panel.get(), "DIM", pair);
        const auto at = [&](int dB) {
            const virtualunit::UnitState state = m_unit->state();
            const double gain = QuorlinIoControl::DbToLinear(dB);
            return state.cell(256, column) == gain && state.cell(256, column + 1) == gain;
        };
        sent();
        dial->setValue(-10);
        QVERIFY(at(-10));
        mute->setState(true);
        QVERIFY(at(-80));
        dial->setValue(-4); // turned under MUTE: still silent, but the dial is kept
        QVERIFY(at(-80));
        QVERIFY(onDisk(model).contains(key + "=-4"));
        dim->setState(true);
        QVERIFY(at(-80));
        mute->setState(false);
        QVERIFY(at(-24));
        dial->setValue(-70); // dimmed to -90: silence
        QVERIFY(at(-80));
        dim->setState(false);
        QVERIFY(at(-70));
        const QString cells = sent().join(' ');
        auto places = QRegularExpression(R"(\(\d+,\d+\))").globalMatch(cells);
        while (places.hasNext()) { // no other cell changed
            const QString place = places.next().captured();
            QVERIFY2(place == QString("(256,%1)").arg(column) ||
                         place == QString("(256,%1)").arg(column + 1),
                     qPrintable(place));
        }
    }

    void readoutsShowTheMetersEveryHalfSecond_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QList<qint32>>("entries"); // Meter entries 0 to 3
        QTest::addColumn<QStringList>("shown");     // the readouts, left to right
        const qint32 full = 2147483647, tenth = 214748365;
        QTest::newRow("vt1") << "vt1" << QList<qint32>{tenth, full, full, 0}
                             << QStringList{"-20.0 dB", "-6.0 dB"};
        QTest::newRow("vt2") << "vt2" << QList<qint32>{full, tenth, full, 0}
                             << QStringList{"0.0 dB", "-20.0 dB", "-6.0 dB", "-6.0 dB"};
        QTest::newRow("vr") << "vr" << QList<qint32>{0, full, full, full} << QStringList{"-inf dB"};
    }
    void readoutsShowTheMetersEveryHalfSecond()
    {
        QFETCH(QString, model);
        QFETCH(QList<qint32>, entries);
        QFETCH(QStringList, shown);
        for (int entry = 0; entry < 4; ++entry)
            m_unit->pinMeter(entry, entries[entry]);
        auto panel = build(model);
        QCOMPARE(readouts(panel.get()), QStringList(shown.size(), "-160 dB"));
        auto* timer = panel->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 500);
        QMetaObject::invokeMethod(panel.get(), "updateMeters");
        QCOMPARE(readouts(panel.get()), shown);

        m_unit->fail("ReadMeters");
        m_unit->pinMeter(0, 1);
        QMetaObject::invokeMethod(panel.get(), "updateMeters");
        QCOMPARE(m_log->count("Failed to read meter data from driver."), 1);
        QCOMPARE(readouts(panel.get()), shown);
        QTRY_COMPARE_WITH_TIMEOUT(readouts(panel.get()).first(), "-186.6 dB", 5000);
    }

    void everyControlIsLaidOut_data() { addModels(); }
    void everyControlIsLaidOut()
    {
        QFETCH(QString, model);
        auto panel = build(model);
        int dividers = 0;
        for (QWidget* widget :
             panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY2(laidOut(panel->layout(), widget), widget->metaObject()->className());
            const auto* frame = qobject_cast<QFrame*>(widget);
            dividers += frame && frame->frameShape() == QFrame::VLine;
        }
        QCOMPARE(dividers, 1);
    }

    // Refusals while the panel starts. A panel that could not open the unit
    // stays empty; otherwise every control is built and stored. Either way
    // deleting the panel lets go of the unit.
    void refusalsAtStart_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("refused"); // empty: no unit at all
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("times");
        for (const char* model : {"vt1", "vt2", "vr"})
            QTest::addRow("%s, no unit", model)
                << model << "" << QString("Failed to create device in %1.").arg(model) << 1;
        for (const char* model : {"vt1", "vt2", "vr"})
            QTest::addRow("%s, output volume", model) << model << "SetOutVolume"
                                                      << "Failed to set output volume." << 1;
        QTest::newRow("vt1, MIC/INST") << "vt1"
                                       << "SwitchMicInstrument"
                                       << "Failed to switch mic instruction." << 1;
        QTest::newRow("vt2, 48V") << "vt2"
                                  << "SetMic48V"
                                  << "Failed to switch mic 48V." << 2;
        QTest::newRow("vt2, gain") << "vt2"
                                   << "SetMicVolume"
                                   << "Failed to set mic volume." << 2;
        QTest::newRow("vr, Mixer") << "vr"
                                   << "WriteMixer"
                                   << "Failed to set headphone volume." << 3;
    }
    void refusalsAtStart()
    {
        QFETCH(QString, model);
        QFETCH(QString, refused);
        QFETCH(QString, failure);
        QFETCH(int, times);
        if (refused.isEmpty())
            m_unit->unplug();
        else
            m_unit->fail(refused.toStdString(), virtualunit::VirtualUnit::kUntilHealed);
        auto panel = build(model);
        QCOMPARE(m_log->count(failure), times);
        const bool complete = !refused.isEmpty() && refused != "SetOutVolume";
        QCOMPARE(panel->layout() != nullptr, complete);
        QCOMPARE(onDisk(model), complete ? defaults(model) : QStringList());
        panel.reset();
        QTRY_COMPARE(m_unit->connectionCount(), 0);
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
