// Faults: every driver operation refused in turn while the panels and the
// settings dialog use the unit, and settings files that cannot be written or
// read. Each refusal logs its handler's line and leaves what the product
// promises: a panel keeps and saves the control's new state whatever the
// driver answered; a reconfiguration sequence ends where it failed, leaving
// audio stopped after a failed set and saving nothing; nothing crashes.

#include "controls/button.h"
#include "controls/knob.h"
#include "driver/quorlin_io_control.h"
#include "log_capture.h"
#include "panel_probe.h"
#include "panels/vr.h"
#include "panels/vt1.h"
#include "panels/vt2.h"
#include "settings/settings.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QtTest>
#include <functional>
#include <memory>

using namespace PanelProbe;
using virtualunit::VirtualUnit;

namespace {

constexpr std::uint32_t kRefusal = 31; // ERROR_GEN_FAILURE

enum class Model { VT1, VT2, VR };

// One control of a panel: how to find it, what a change sends and logs when
// the unit refuses it, and the state the test moves it to.
struct ControlFacts {
    const char* key;
    const char* objectName; // VT2 names its controls
    int knobIndex;          // VT1 and VR: creation order; -1 for a switch
    const char* buttonText;
    int buttonIndex;
    const char* operation;
    const char* failureLine;
    int newDialValue; // dials only
};

struct ModelFacts {
    std::uint32_t productId;
    QString fileName;
    std::vector<ControlFacts> controls;
    std::function<QWidget*()> build;
};

const ModelFacts& facts(Model model)
{
    static const char* const kMicGainFailed = "Failed to set mic volume.";
    static const char* const kMonitorFailed = "Failed to set Monitor Mic.";
    static const char* const kHeadphoneFailed = "Failed to set headphone volume.";
    static const char* const kSpeakerFailed = "Failed to set speaker volume.";
    static const char* const kPadFailed = "Failed to switch mic 20dB.";
    static const char* const kPhantomFailed = "Failed to switch mic 48V.";
    static const ModelFacts vt1Facts{
        virtualunit::kProductIdVt1,
        "vt1.ini",
        {
            {"Button/MicInstrIsChecked", nullptr, -1, "MIC", 0, "SwitchMicInstrument",
             "Failed to switch mic instruction.", 0},
            {"Button/Mic20dBIsChecked", nullptr, -1, "20dB", 0, "SetMic20dB", kPadFailed, 0},
            {"Button/Mic48VIsChecked", nullptr, -1, "48V", 0, "SetMic48V", kPhantomFailed, 0},
            {"Button/MonitorMicIsChecked", nullptr, -1, "DIRECT", 0, "WriteMixer", kMonitorFailed,
             0},
            {"Dial/MicValue", nullptr, 0, nullptr, 0, "SetMicVolume", kMicGainFailed, 20},
            {"Dial/HeadphoneValue", nullptr, 1, nullptr, 0, "WriteMixer", kHeadphoneFailed, -30},
            {"Button/HeadphoneMuteIsChecked", nullptr, -1, "MUTE", 0, "WriteMixer",
             kHeadphoneFailed, 0},
            {"Button/HeadphoneDimIsChecked", nullptr, -1, "DIM", 0, "WriteMixer", kHeadphoneFailed,
             0},
            {"Dial/OtgToHpValue", nullptr, 2, nullptr, 0, "WriteMixer",
             "Failed to set OTG to HP volume.", -12},
        },
        [] { return new vt1; },
    };
    static const ModelFacts vt2Facts{
        virtualunit::kProductIdVt2,
        "vt2.ini",
        {
            {"Button/Mic120dBIsChecked", "mic1Pad20dBButton", -1, nullptr, 0, "SetMic20dB",
             kPadFailed, 0},
            {"Button/Mic148VIsChecked", "mic1Phantom48VButton", -1, nullptr, 0, "SetMic48V",
             kPhantomFailed, 0},
            {"Button/MonitorMic1IsChecked", "monitorMic1Button", -1, nullptr, 0, "WriteMixer",
             kMonitorFailed, 0},
            {"Dial/Mic1Value", "mic1Dial", -1, nullptr, 0, "SetMicVolume", kMicGainFailed, 20},
            {"Dial/Mic2Value", "mic2Dial", -1, nullptr, 0, "SetMicVolume", kMicGainFailed, 33},
            {"Button/Mic220dBIsChecked", "mic2Pad20dBButton", -1, nullptr, 0, "SetMic20dB",
             kPadFailed, 0},
            {"Button/Mic248VIsChecked", "mic2Phantom48VButton", -1, nullptr, 0, "SetMic48V",
             kPhantomFailed, 0},
            {"Button/MonitorMic2IsChecked", "monitorMic2Button", -1, nullptr, 0, "WriteMixer",
             kMonitorFailed, 0},
            {"Dial/SpeakerValue", "speakerDial", -1, nullptr, 0, "WriteMixer", kSpeakerFailed, -25},
            {"Button/SpeakerMuteIsChecked", "speakerMuteButton", -1, nullptr, 0, "WriteMixer",
             kSpeakerFailed, 0},
            {"Button/SpeakerDimIsChecked", "speakerDimButton", -1, nullptr, 0, "WriteMixer",
             kSpeakerFailed, 0},
            {"Dial/HeadphoneValue", "headphoneDial", -1, nullptr, 0, "WriteMixer", kHeadphoneFailed,
             -30},
            {"Button/HeadphoneMuteIsChecked", "headphoneMuteButton", -1, nullptr, 0, "WriteMixer",
             kHeadphoneFailed, 0},
            {"Button/HeadphoneDimIsChecked", "headphoneDimButton", -1, nullptr, 0, "WriteMixer",
             kHeadphoneFailed, 0},
            {"Dial/OtgToHpValue", "otgToHpDial", -1, nullptr, 0, "WriteMixer",
             "Failed to set OTG to HP volume.", -12},
            {"Dial/OtgToSPValue", "otgToSpDial", -1, nullptr, 0, "WriteMixer",
             "Failed to set OTG to SP volume.", -9},
        },
        [] { return new vt2; },
    };
    static const ModelFacts vrFacts{
        virtualunit::kProductIdVr,
        "vr.ini",
        {
            {"Button/MonitorMicIsChecked", nullptr, -1, "DIRECT", 0, "WriteMixer", kMonitorFailed,
             0},
            {"Dial/MicValue", nullptr, 0, nullptr, 0, "SetMicVolume", kMicGainFailed, 20},
            {"Dial/HeadphoneValue", nullptr, 1, nullptr, 0, "WriteMixer", kHeadphoneFailed, -30},
            {"Button/HeadphoneMuteIsChecked", nullptr, -1, "MUTE", 0, "WriteMixer",
             kHeadphoneFailed, 0},
            {"Button/HeadphoneDimIsChecked", nullptr, -1, "DIM", 0, "WriteMixer", kHeadphoneFailed,
             0},
        },
        [] { return new vr; },
    };
    switch (model) {
    case Model::VT1:
        return vt1Facts;
    case Model::VT2:
        return vt2Facts;
    case Model::VR:
        break;
    }
    return vrFacts;
}

const char* modelName(Model model)
{
    return model == Model::VT1 ? "vt1" : model == Model::VT2 ? "vt2" : "vr";
}

// The part of the unit's state an operation changes.
QString unitRecord(const virtualunit::UnitState& state, const QString& operation)
{
    auto channels = [](const std::vector<int>& values) {
        return QStringLiteral("%1 %2").arg(values[1]).arg(values[2]);
    };
    if (operation == QLatin1String("WriteMixer")) {
        QString cells;
        for (double cell : state.mixer)
            cells += QString::number(cell) + QLatin1Char(',');
        return cells;
    }
    if (operation == QLatin1String("SetMicVolume"))
        return channels(state.micVolume);
    if (operation == QLatin1String("SetMic20dB"))
        return channels(state.mic20dB);
    if (operation == QLatin1String("SetMic48V"))
        return channels(state.mic48V);
    if (operation == QLatin1String("SwitchMicInstrument"))
        return channels(state.micInstrument);
    return {};
}

QStringList traceSince(const std::vector<std::string>& trace, std::size_t from)
{
    QStringList lines;
    for (std::size_t i = from; i < trace.size(); ++i) {
        const QString line = QString::fromStdString(trace[i]);
        if (!line.startsWith(QLatin1String("ReadMeters")))
            lines << line;
    }
    return lines;
}

QString storedText(const QString& fileName, const char* key)
{
    return QSettings(settingsPath(fileName), QSettings::IniFormat)
        .value(QLatin1String(key))
        .toString();
}

// One row per model, for the cases that hold for every panel alike.
void addRowPerModel()
{
    QTest::addColumn<Model>("model");
    for (Model model : {Model::VT1, Model::VT2, Model::VR})
        QTest::addRow("%s", modelName(model)) << model;
}

} // namespace

Q_DECLARE_METATYPE(Model)

class TestFaults : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    WideOutputSink m_wideOutput;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<VirtualUnit> m_unit;

    void plug(std::uint32_t productId)
    {
        virtualunit::Options options;
        options.productId = productId;
        options.movingMeters = false;
        m_unit = std::make_unique<VirtualUnit>(options);
        QVERIFY(m_unit->plug());
    }

    static QWidget* find(QWidget* panel, const ControlFacts& control)
    {
        if (control.objectName)
            return panel->findChild<QWidget*>(QLatin1String(control.objectName));
        if (control.knobIndex >= 0)
            return knobs(panel).value(control.knobIndex);
        return button(panel, QLatin1String(control.buttonText), control.buttonIndex);
    }

    static void addModelRows(const std::vector<std::string>& operations)
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<QString>("operation");
        for (Model model : {Model::VT1, Model::VT2, Model::VR})
            for (const std::string& operation : operations)
                QTest::addRow("%s, %s refused", modelName(model), operation.c_str())
                    << model << QString::fromStdString(operation);
    }

    // An OTG step still waiting on one of the dialog's single-shot timers.
    static bool otgStepPending(const Settings& dialog)
    {
        const auto timers = dialog.findChildren<QTimer*>();
        return std::any_of(timers.begin(), timers.end(), [](const QTimer* timer) {
            return timer->isSingleShot() && timer->isActive();
        });
    }

    static QString dataDirectory()
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }

private slots:
    void init()
    {
        // A home of its own for each test row: QSettings keeps what it could
        // not write in memory for the rest of the process, per file path.
        static int row = 0;
        const QString home = m_env.root() + QStringLiteral("/home-%1").arg(++row);
        QDir().mkpath(home);
        qputenv("HOME", QFile::encodeName(home));
        m_log = std::make_unique<LogCapture>();
    }

    void cleanup()
    {
        m_unit.reset();
        m_log.reset();
    }

    // ---- panels --------------------------------------------------------

    // With one operation refused until healed, every control of the panel is
    // changed once. The control and the file keep the new state; a control
    // whose operation is refused logs its line and leaves the unit as it was;
    // every other control reaches the unit.
    void panelControlRefused_data() { addModelRows(VirtualUnit::operationNames()); }

    void panelControlRefused()
    {
        QFETCH(Model, model);
        QFETCH(QString, operation);
        const ModelFacts& modelFacts = facts(model);
        plug(modelFacts.productId);
        std::unique_ptr<QWidget> panel(modelFacts.build());
        QVERIFY(!knobs(panel.get()).isEmpty());

        std::vector<QWidget*> widgets;
        for (const ControlFacts& control : modelFacts.controls) {
            widgets.push_back(find(panel.get(), control));
            QVERIFY2(widgets.back(), control.key);
        }

        m_unit->fail(operation.toStdString(), VirtualUnit::kUntilHealed, kRefusal);
        for (std::size_t i = 0; i < widgets.size(); ++i) {
            const ControlFacts& control = modelFacts.controls[i];
            const QString controlOperation = QLatin1String(control.operation);
            const bool refused = controlOperation == operation;
            const QString before = unitRecord(m_unit->state(), controlOperation);
            const std::size_t traced = m_unit->trace().size();
            m_log->clear();

            QString expectedText;
            if (auto* knob = qobject_cast<Knob*>(widgets[i])) {
                knob->setValue(control.newDialValue);
                QCOMPARE(knob->value, control.newDialValue);
                expectedText = QString::number(control.newDialValue);
            } else {
                auto* button = qobject_cast<Button*>(widgets[i]);
                QVERIFY(button);
                const bool on = !button->checked;
                button->setState(on);
                QCOMPARE(button->checked, on);
                expectedText = on ? QStringLiteral("true") : QStringLiteral("false");
            }

            // Saved whatever the unit answered.
            QCOMPARE(storedText(modelFacts.fileName, control.key), expectedText);

            const QStringList sent = traceSince(m_unit->trace(), traced);
            const QStringList attempts = sent.filter(QRegularExpression("^" + controlOperation));
            QVERIFY2(!attempts.isEmpty(), control.key);
            QCOMPARE(m_log->contains(QLatin1String(control.failureLine)), refused);
            if (refused) {
                for (const QString& line : attempts)
                    QVERIFY2(line.endsWith(QStringLiteral(" failed %1").arg(kRefusal)),
                             qPrintable(line));
                QCOMPARE(unitRecord(m_unit->state(), controlOperation), before);
            } else {
                QVERIFY2(sent.filter(QStringLiteral(" failed ")).isEmpty(), control.key);
            }
        }

        // Once the unit accepts again, the next change carries everything the
        // panel holds: the refused changes were kept, not dropped.
        m_unit->heal();
        m_unit->clearTrace();
        for (std::size_t i = 0; i < widgets.size(); ++i) {
            if (auto* knob = qobject_cast<Knob*>(widgets[i]))
                knob->setValue(knob->value);
            else
                static_cast<Button*>(widgets[i])
                    ->setState(static_cast<Button*>(widgets[i])->checked);
        }
        const virtualunit::UnitState after = m_unit->state();
        QVERIFY(traceSince(m_unit->trace(), 0).filter(QStringLiteral(" failed ")).isEmpty());
        // Every stored value replayed to a fresh panel gives the same unit state.
        std::unique_ptr<QWidget> rebuilt(modelFacts.build());
        const virtualunit::UnitState replayed = m_unit->state();
        QCOMPARE(replayed.mixer, after.mixer);
        QCOMPARE(replayed.micVolume, after.micVolume);
        QCOMPARE(replayed.mic20dB, after.mic20dB);
        QCOMPARE(replayed.mic48V, after.mic48V);
        QCOMPARE(replayed.micInstrument, after.micInstrument);
    }

    // The VT1's MIC/INST switch keeps its old text when the unit refuses it,
    // but its new state is saved.
    void refusedInstrumentSwitchKeepsItsText()
    {
        plug(virtualunit::kProductIdVt1);
        vt1 panel;
        Button* micInst = button(&panel, "MIC");
        QVERIFY(micInst);
        m_unit->fail("SwitchMicInstrument", 1, kRefusal);
        micInst->setState(true);
        QCOMPARE(micInst->text(), QStringLiteral("MIC"));
        QCOMPARE(storedText("vt1.ini", "Button/MicInstrIsChecked"), QStringLiteral("true"));
        micInst->setState(true);
        QCOMPARE(micInst->text(), QStringLiteral("INST"));
    }

    // Refusals while the panel replays its file at construction: the panel
    // is still complete, and the file holds every control.
    void restoreRefused_data()
    {
        addModelRows(
            {"WriteMixer", "SetMicVolume", "SetMic20dB", "SetMic48V", "SwitchMicInstrument"});
    }

    void restoreRefused()
    {
        QFETCH(Model, model);
        QFETCH(QString, operation);
        const ModelFacts& modelFacts = facts(model);
        plug(modelFacts.productId);
        m_unit->fail(operation.toStdString(), VirtualUnit::kUntilHealed, kRefusal);
        std::unique_ptr<QWidget> panel(modelFacts.build());
        QVERIFY(!knobs(panel.get()).isEmpty());
        QSettings file(settingsPath(modelFacts.fileName), QSettings::IniFormat);
        for (const ControlFacts& control : modelFacts.controls)
            QVERIFY2(file.contains(QLatin1String(control.key)), control.key);
    }

    // The output volume refused at construction, for the first channel or for
    // every one: logged once, and the panel is built in full all the same.
    void outputVolumeRefused_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<int>("refusals");
        for (Model model : {Model::VT1, Model::VT2, Model::VR}) {
            QTest::addRow("%s, first channel", modelName(model)) << model << 1;
            QTest::addRow("%s, every channel", modelName(model))
                << model << VirtualUnit::kUntilHealed;
        }
    }

    void outputVolumeRefused()
    {
        QFETCH(Model, model);
        QFETCH(int, refusals);
        const ModelFacts& modelFacts = facts(model);
        plug(modelFacts.productId);
        m_unit->fail("SetOutVolume", refusals, kRefusal);
        std::unique_ptr<QWidget> panel(modelFacts.build());
        QCOMPARE(m_log->count("Failed to set output volume."), 1);
        QVERIFY(m_unit->state().mixerWritten);
        QSettings file(settingsPath(modelFacts.fileName), QSettings::IniFormat);
        for (const ControlFacts& control : modelFacts.controls)
            QVERIFY2(file.contains(QLatin1String(control.key)), control.key);
        m_unit->clearTrace(); // from now on only the meters are read
        QTRY_VERIFY(!m_unit->trace().empty());
        QVERIFY(QString::fromStdString(m_unit->trace().front()).startsWith("ReadMeters"));
    }

    // A refused meter read logs once per tick and leaves the readouts alone.
    void meterReadRefused()
    {
        plug(virtualunit::kProductIdVt2);
        m_unit->pinMeter(0, 1 << 20);
        vt2 panel;
        QTRY_VERIFY(readouts(&panel).isEmpty() || readouts(&panel).first()->text() != "-160 dB");
        const QStringList shown = [&] {
            QStringList texts;
            for (QLabel* label : readouts(&panel))
                texts << label->text();
            return texts;
        }();
        m_unit->fail("ReadMeters", VirtualUnit::kUntilHealed, kRefusal);
        m_unit->pinMeter(0, 1 << 10);
        m_log->clear();
        QTRY_VERIFY(m_log->count("Failed to read meter data from driver.") >= 2);
        QStringList now;
        for (QLabel* label : readouts(&panel))
            now << label->text();
        QCOMPARE(now, shown);
    }

    // ---- settings dialog ---------------------------------------------------

    void dialogStepRefused_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("failure"); // empty: the sequence goes on
        QTest::addColumn<bool>("running");    // audio running in the unit afterwards
        QTest::addColumn<bool>("saved");

        const auto failed = [](const char* step) {
            return QString::fromUtf8(step) + QStringLiteral("，可能是驱动未正确加载或设备未连接。");
        };
        // The unit starts with audio running, buffer 192, latency 8, OTG on.
        struct Row {
            const char* box;
            const char* text;
            const char* key;
            const char* operation;
            QString failure;
            bool running;
            bool saved;
        };
        const Row rows[] = {
            {"bufferSizeBox", "64", "Audio/BufferSize", "GetBufferSize",
             failed("获取音频缓冲区大小失败"), true, false},
            {"bufferSizeBox", "64", "Audio/BufferSize", "GetUsbLatency",
             failed("获取USB延迟大小失败"), true, false},
            {"bufferSizeBox", "64", "Audio/BufferSize", "StopAudio", failed("停止音频失败"), true,
             false},
            {"bufferSizeBox", "64", "Audio/BufferSize", "SetBufferSize",
             failed("设置音频缓冲区大小失败"), false, false},
            {"bufferSizeBox", "64", "Audio/BufferSize", "RestartAudio", failed("重新启动音频失败"),
             false, false},
            {"usbLatencyBox", "16", "USB/LatencySize", "GetUsbLatency", {}, true, true},
            {"usbLatencyBox", "16", "USB/LatencySize", "StopAudio", failed("停止音频失败"), true,
             false},
            {"usbLatencyBox", "16", "USB/LatencySize", "SetUsbLatency",
             failed("设置USB延迟大小失败"), false, false},
            {"usbLatencyBox", "16", "USB/LatencySize", "RestartAudio", failed("重新启动音频失败"),
             false, false},
            {"safeModeBox", "Enabled", "USB/SlowMode", "StopAudio", failed("停止音频失败"), true,
             false},
            {"safeModeBox", "Enabled", "USB/SlowMode", "EnableUsbSlowMode",
             failed("设置USB慢速模式失败"), false, false},
            {"safeModeBox", "Enabled", "USB/SlowMode", "RestartAudio", failed("重新启动音频失败"),
             false, false},
            {"sampleRateBox", "48000", "Audio/SampleRate", "StopAudio", failed("停止音频失败"),
             true, false},
            {"sampleRateBox", "48000", "Audio/SampleRate", "SetSampleRate",
             failed("设置音频采样率失败"), false, false},
            {"sampleRateBox", "48000", "Audio/SampleRate", "SetWdmChannelCount",
             failed("设置WDM通道数量失败"), false, false},
            {"sampleRateBox", "48000", "Audio/SampleRate", "InitAudio", failed("重新启动音频失败"),
             false, false},
            {"sampleRateBox", "48000", "Audio/SampleRate", "SetOtgOff", failed("关闭OTG芯片失败"),
             true, true},
            {"sampleRateBox", "48000", "Audio/SampleRate", "SetOtgOn", failed("开启OTG芯片失败"),
             true, true},
        };
        for (const Row& row : rows)
            QTest::addRow("%s %s, %s refused", row.box, row.text, row.operation)
                << row.box << row.text << row.key << row.operation << row.failure << row.running
                << row.saved;
    }

    void dialogStepRefused()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, operation);
        QFETCH(QString, failure);
        QFETCH(bool, running);
        QFETCH(bool, saved);

        plug(virtualunit::kProductIdVt2);
        Settings dialog;
        QVERIFY(dialog.createDevice());
        m_unit->fail(operation.toStdString(), VirtualUnit::kUntilHealed, kRefusal);
        m_unit->clearTrace();

        auto* optionBox = dialog.findChild<QComboBox*>(box);
        QVERIFY(optionBox);
        optionBox->setCurrentText(text);
        if (!failure.isEmpty())
            QTRY_COMPARE(m_log->count(failure), 1);
        // A sample rate change ends with its OTG cycle; wait for it to finish.
        QTRY_VERIFY(!otgStepPending(dialog));

        const std::vector<std::string> trace = m_unit->trace();
        QVERIFY2(std::any_of(trace.begin(), trace.end(),
                             [&](const std::string& line) {
                                 return QString::fromStdString(line).startsWith(operation);
                             }),
                 "the refused operation was tried");
        QCOMPARE(optionBox->currentText(), text); // the box is not set back
        QCOMPARE(m_unit->state().audioRunning, running);
        QSettings file(settingsPath("setting.ini"), QSettings::IniFormat);
        QCOMPARE(file.value(key).toString(), saved ? text : QString());
    }

    // ---- settings files that cannot be written or read -------------------

    // The data directory below a regular file: mkpath fails and no file can
    // be written, also as root. The panels and the dialog work on: the
    // controls keep their values and the unit receives every change.
    void settingsDirectoryUnwritable_data() { addRowPerModel(); }

    void settingsDirectoryUnwritable()
    {
        QFETCH(Model, model);
        const ModelFacts& modelFacts = facts(model);
        const QByteArray home = qgetenv("HOME");
        const QString blockedHome = QFile::decodeName(home) + QStringLiteral("/blocked");
        QDir().mkpath(blockedHome);
        QFile blocker(blockedHome + QStringLiteral("/.qttest"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("HOME", QFile::encodeName(blockedHome));
        const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
        QVERIFY(dataDirectory().startsWith(blocker.fileName() + QLatin1Char('/')));

        plug(modelFacts.productId);
        std::unique_ptr<QWidget> panel(modelFacts.build());
        QVERIFY(!knobs(panel.get()).isEmpty());
        Knob* gain = knobs(panel.get()).first(); // every panel's first dial is a gain dial
        for (int value : {12, 17}) {
            gain->setValue(value);
            QCOMPARE(gain->value, value);
            QCOMPARE(m_unit->state().micVolume[1], 2 * value);
        }
        QVERIFY(!QFileInfo::exists(dataDirectory()));

        Settings dialog;
        QVERIFY(dialog.createDevice());
        auto* bufferBox = dialog.findChild<QComboBox*>("bufferSizeBox");
        bufferBox->setCurrentText(QStringLiteral("512"));
        QCOMPARE(m_unit->state().bufferSize, 512u);
        QVERIFY(m_unit->state().audioRunning);
        QCOMPARE(bufferBox->currentText(), QStringLiteral("512"));
    }

    // A settings file that is a directory, or binary junk: the panel starts
    // from its defaults and keeps working.
    void settingsFileUnreadable_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<bool>("directory");
        for (Model model : {Model::VT1, Model::VT2, Model::VR}) {
            QTest::addRow("%s, a directory", modelName(model)) << model << true;
            QTest::addRow("%s, binary junk", modelName(model)) << model << false;
        }
    }

    void settingsFileUnreadable()
    {
        QFETCH(Model, model);
        QFETCH(bool, directory);
        const ModelFacts& modelFacts = facts(model);
        const QString path = settingsPath(modelFacts.fileName);
        if (directory) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QDir().mkpath(dataDirectory());
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray junk(8192, Qt::Uninitialized);
            for (int i = 0; i < junk.size(); ++i)
                junk[i] = static_cast<char>((i * 7919 + 13) % 251);
            file.write(junk);
        }

        plug(modelFacts.productId);
        std::unique_ptr<QWidget> panel(modelFacts.build());
        const QList<Knob*> dials = knobs(panel.get());
        QVERIFY(!dials.isEmpty());
        QCOMPARE(dials.first()->value, 0); // the gain's default
        for (int value : {9, 14}) {
            dials.first()->setValue(value);
            QCOMPARE(dials.first()->value, value);
            QCOMPARE(m_unit->state().micVolume[1], 2 * value);
        }
        QCOMPARE(QFileInfo(path).isDir(), directory);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
