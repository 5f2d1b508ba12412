// The settings dialog against the virtual unit: which driver calls each option
// change makes and in what order, what ends up in setting.ini, the OTG power
// cycle, start-up and reconnection, and the USB error count.

#include "driver/quorlin_io_control.h"
#include "log_capture.h"
#include "settings/settings.h"
#include "test_environment.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMutex>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <deque>
#include <memory>
#include <utility>

namespace {

const QString kSampleRateDone = QStringLiteral("设置采样频率完成");
const QString kStartUpDone = QStringLiteral("设置初始化完成");
const QString kOtgOffFailed = QStringLiteral("关闭OTG芯片失败，可能是驱动未正确加载或设备未连接。");
const QString kOtgOnFailed = QStringLiteral("开启OTG芯片失败，可能是驱动未正确加载或设备未连接。");
const QString kNoStatus = QStringLiteral("Failed to read meter data from driver.");

QString failureMessage(const char* step)
{
    return QString::fromUtf8(step) + QStringLiteral("，可能是驱动未正确加载或设备未连接。");
}

QString settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/setting.ini");
}

// The settings file as "key=value" entries, sorted.
QStringList stored()
{
    QSettings file(settingsPath(), QSettings::IniFormat);
    QStringList entries;
    for (const QString& key : file.allKeys())
        entries << key + QLatin1Char('=') + file.value(key).toString();
    entries.sort();
    return entries;
}

void store(const QStringList& entries)
{
    QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
    QSettings file(settingsPath(), QSettings::IniFormat);
    for (const QString& entry : entries)
        file.setValue(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    file.sync();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    WideOutputSink m_openLines; // the driver's device-open lines
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<virtualunit::VirtualUnit> m_unit;
    std::unique_ptr<Settings> m_dialog;
    // How long the unit's OTG chip stayed off in each cycle, by the unit's
    // clock: every cycle of every test must keep it off for a whole step.
    QMutex m_otgMutex;
    std::deque<std::chrono::steady_clock::time_point> m_chipOff;
    std::vector<std::chrono::steady_clock::duration> m_offTimes;

    QComboBox* box(const char* name) const { return m_dialog->findChild<QComboBox*>(name); }
    QLabel* errorLabel() const { return m_dialog->findChild<QLabel*>("usbErrorLabel"); }

    // The unit's trace without the error poll's status reads.
    static QStringList calls(const virtualunit::VirtualUnit& unit)
    {
        QStringList lines;
        for (const std::string& line : unit.trace()) {
            if (line.rfind("GetUsbStatus", 0) != 0)
                lines << QString::fromStdString(line);
        }
        return lines;
    }
    QStringList calls() const { return calls(*m_unit); }

    // An OTG step still waiting on one of the dialog's timers.
    bool otgCyclePending() const
    {
        const auto timers = m_dialog->findChildren<QTimer*>();
        return std::any_of(timers.begin(), timers.end(), [](const QTimer* timer) {
            return timer->objectName() != QLatin1String("pollTimer") && timer->isActive();
        });
    }

    // Puts the unit's buffer size and latency where a test needs them,
    // through a connection of the test's own.
    void presetUnit(std::uint32_t bufferSize, std::uint32_t latency)
    {
        QuorlinIoControl io;
        QVERIFY(io.OpenDevice());
        QVERIFY(io.SetBufferSize(bufferSize));
        QVERIFY(io.SetUsbLatency(latency));
        io.CloseDevice();
    }

    void openDialog()
    {
        m_dialog = std::make_unique<Settings>();
        QVERIFY(m_dialog->createDevice());
        // The ASIO listener logs once as it starts waiting, then stays quiet.
        QTRY_VERIFY(
            m_log->contains(QStringLiteral("ThreadSettingsPip is running waiting Asio Info...")));
    }

    // Starts from a clean slate: nothing traced, logged or stored so far.
    void forget()
    {
        m_unit->clearTrace();
        m_log->clear();
        QFile::remove(settingsPath());
    }

private slots:

    void init()
    {
        QFile::remove(settingsPath());
        m_log = std::make_unique<LogCapture>();
        virtualunit::Options options;
        options.movingMeters = false;
        m_unit = std::make_unique<virtualunit::VirtualUnit>(options);
        m_unit->setTraceListener([this](const std::string& line) {
            const auto now = std::chrono::steady_clock::now();
            QMutexLocker lock(&m_otgMutex);
            if (line == "SetOtgOff") {
                m_chipOff.push_back(now);
            } else if (line.rfind("SetOtgOn", 0) == 0 && !m_chipOff.empty()) {
                m_offTimes.push_back(now - m_chipOff.front());
                m_chipOff.pop_front();
            }
        });
        QVERIFY(m_unit->plug());
    }

    void cleanup()
    {
        m_dialog.reset();
        m_unit.reset();
        m_log.reset();
        for (const auto offTime : std::exchange(m_offTimes, {}))
            QVERIFY(offTime >= std::chrono::milliseconds(200));
        m_chipOff.clear();
    }

    void constructionFillsTheBoxesWithoutReconfiguring()
    {
        m_dialog = std::make_unique<Settings>();
        QCOMPARE(box("bufferSizeBox")->count(), 8);
        QStringList bufferItems;
        for (int i = 0; i < box("bufferSizeBox")->count(); ++i)
            bufferItems << box("bufferSizeBox")->itemText(i);
        QCOMPARE(bufferItems, (QStringList{"48", "64", "96", "128", "192", "256", "512", "1024"}));
        QCOMPARE(box("usbLatencyBox")->currentText(), QStringLiteral("8"));
        QCOMPARE(box("sampleRateBox")->currentText(), QStringLiteral("44100"));
        QCOMPARE(box("safeModeBox")->currentText(), QStringLiteral("Disabled"));
        // Filling a connected box would have run its sequence and logged.
        // Only the ASIO listener, started with the dialog, logs besides.
        QStringList lines = m_log->lines();
        lines.removeAll(QStringLiteral("ThreadSettingsPip is running waiting Asio Info..."));
        QCOMPARE(lines, (QStringList{"Settings dialog created.", "Pipe created successfully.",
                                     "ThreadSettingsPip initialized."}));
        QVERIFY(calls().isEmpty());
        QVERIFY(!QFile::exists(settingsPath()));
        QVERIFY(errorLabel()->isHidden());
    }

    void pollWithoutDeviceOnlyLogs()
    {
        m_dialog = std::make_unique<Settings>();
        QTRY_VERIFY(m_log->count(kNoStatus) >= 2);
        QVERIFY(m_unit->trace().empty());
        QVERIFY(errorLabel()->isHidden());
        QCOMPARE(errorLabel()->text(), QStringLiteral("USB Error"));
    }

    void usbErrorCount_data()
    {
        QTest::addColumn<uint>("count");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");

        QTest::newRow("zero hides") << 0u << false << "USB Error Count: 1";
        QTest::newRow("three") << 3u << true << "USB Error Count: 3";
        QTest::newRow("just above int") << 2147483648u << true << "USB Error Count: 2147483648";
        QTest::newRow("largest") << 4294967295u << true << "USB Error Count: 4294967295";
    }

    void usbErrorCount()
    {
        QFETCH(uint, count);
        QFETCH(bool, shown);
        QFETCH(QString, text);

        openDialog();
        // Start from a shown count, so that hiding is seen too.
        m_unit->setUsbErrorCount(1);
        m_dialog->updateUsbErrorCount();
        QVERIFY(!errorLabel()->isHidden());

        m_unit->setUsbErrorCount(count);
        m_dialog->updateUsbErrorCount();
        QCOMPARE(!errorLabel()->isHidden(), shown);
        QCOMPARE(errorLabel()->text(), text);
    }

    void failedStatusReadKeepsTheLabel()
    {
        openDialog();
        m_unit->setUsbErrorCount(3);
        m_dialog->updateUsbErrorCount();
        m_unit->fail("GetUsbStatus", virtualunit::VirtualUnit::kUntilHealed);
        m_unit->setUsbErrorCount(0);
        m_dialog->updateUsbErrorCount();
        QVERIFY(!errorLabel()->isHidden());
        QCOMPARE(errorLabel()->text(), QStringLiteral("USB Error Count: 3"));
        QVERIFY(m_log->contains(kNoStatus));
    }

    void initialize_data()
    {
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<uint>("unitBufferSize");
        QTest::addColumn<uint>("unitLatency");
        QTest::addColumn<QStringList>("callsBeforeCycle");
        QTest::addColumn<QStringList>("cycleCalls");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<QStringList>("fileAfter");
        QTest::addColumn<QStringList>("boxes"); // latency, buffer, safe mode, rate

        const QStringList startUpRate{"GetSampleRate -> 44100", "StopAudio", "SetSampleRate 44100",
                                      "SetWdmChannelCount 4"};
        const QStringList startUpCycle{"SetOtgOff", "SetOtgOn", "InitAudio"};

        QTest::newRow("empty file: only the buffer size")
            << QStringList{} << 512u << 8u
            << QStringList{"GetBufferSize -> 512", "GetUsbLatency -> 8", "StopAudio",
                           "SetBufferSize 192", "RestartAudio"} +
                   startUpRate
            << startUpCycle << kStartUpDone << QStringList{"Audio/BufferSize=192"}
            << QStringList{"8", "192", "Disabled", "44100"};

        QTest::newRow("every option, in loading order")
            << QStringList{"USB/LatencySize=16", "Audio/BufferSize=256", "USB/SlowMode=Enabled",
                           "Audio/SampleRate=44100"}
            << 192u << 8u
            << QStringList{"GetUsbLatency -> 8",
                           "StopAudio",
                           "SetUsbLatency 16",
                           "RestartAudio",
                           "GetBufferSize -> 192",
                           "GetUsbLatency -> 16",
                           "StopAudio",
                           "SetBufferSize 256",
                           "RestartAudio",
                           "StopAudio",
                           "EnableUsbSlowMode",
                           "RestartAudio"} +
                   startUpRate
            << startUpCycle << kStartUpDone
            << QStringList{"Audio/BufferSize=256", "Audio/SampleRate=44100", "USB/LatencySize=16",
                           "USB/SlowMode=Enabled"}
            << QStringList{"16", "256", "Enabled", "44100"};

        QTest::newRow("safe mode Disabled runs nothing")
            << QStringList{"Audio/BufferSize=192", "USB/SlowMode=Disabled"} << 192u << 8u
            << QStringList{"GetBufferSize -> 192"} + startUpRate << startUpCycle << kStartUpDone
            << QStringList{"Audio/BufferSize=192", "USB/SlowMode=Disabled"}
            << QStringList{"8", "192", "Disabled", "44100"};

        QTest::newRow("hand-edited buffer size")
            << QStringList{"Audio/BufferSize=100"} << 192u << 8u << startUpRate << startUpCycle
            << kStartUpDone << QStringList{"Audio/BufferSize=100"}
            << QStringList{"8", "48", "Disabled", "44100"};

        QTest::newRow("48000 runs the rate change")
            << QStringList{"Audio/BufferSize=192", "Audio/SampleRate=48000"} << 192u << 8u
            << QStringList{"GetBufferSize -> 192", "StopAudio", "SetSampleRate 48000",
                           "SetWdmChannelCount 4", "InitAudio", "GetSampleRate -> 48000"}
            << QStringList{"SetOtgOff", "SetOtgOn"} << kSampleRateDone
            << QStringList{"Audio/BufferSize=192", "Audio/SampleRate=48000"}
            << QStringList{"8", "192", "Disabled", "48000"};
    }

    void initialize()
    {
        QFETCH(QStringList, file);
        QFETCH(uint, unitBufferSize);
        QFETCH(uint, unitLatency);
        QFETCH(QStringList, callsBeforeCycle);
        QFETCH(QStringList, cycleCalls);
        QFETCH(QString, lastLine);
        QFETCH(QStringList, fileAfter);
        QFETCH(QStringList, boxes);

        store(file);
        presetUnit(unitBufferSize, unitLatency);
        openDialog();
        m_unit->clearTrace();

        m_dialog->initialize();
        // The OTG cycle needs the event loop: nothing of it has run yet.
        QCOMPARE(calls(), callsBeforeCycle);
        QTRY_VERIFY(m_log->contains(lastLine));
        QCOMPARE(calls(), callsBeforeCycle + cycleCalls);
        QCOMPARE(stored(), fileAfter);
        QCOMPARE(
            (QStringList{box("usbLatencyBox")->currentText(), box("bufferSizeBox")->currentText(),
                         box("safeModeBox")->currentText(), box("sampleRateBox")->currentText()}),
            boxes);
        QVERIFY(!otgCyclePending());
        QVERIFY(m_unit->state().audioRunning);
    }

    void startUpLogLines_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("lines");

        const QStringList bufferUnchanged{"设置音频缓冲区大小为： 192 samples", "Buffer size: 192",
                                          "当前音频缓冲区大小： 192"};
        QTest::newRow("44100") << "44100"
                               << bufferUnchanged +
                                      QStringList{"已从配置文件加载控件状态", "加载控件状态完成",
                                                  "当前音频采样率为： 44100",
                                                  "停止音频成功，开始加载控件状态", kStartUpDone};
        QTest::newRow("48000") << "48000"
                               << bufferUnchanged + QStringList{"设置音频采样率为： 48000 Hz",
                                                                "音频采样率设置已保存： 48000",
                                                                "已从配置文件加载控件状态",
                                                                "加载控件状态完成",
                                                                "当前音频采样率为： 48000",
                                                                kSampleRateDone};
    }

    void startUpLogLines()
    {
        QFETCH(QString, rate);
        QFETCH(QStringList, lines);

        store({"Audio/BufferSize=192", "Audio/SampleRate=" + rate});
        openDialog();
        m_log->clear();
        m_dialog->initialize();
        QTRY_VERIFY(m_log->contains(lines.last()));
        QCOMPARE(m_log->lines(), lines);
    }

    void startUpFailures_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("failure"); // the refused step's line
        QTest::addColumn<bool>("started");    // "设置初始化完成" was logged

        const QStringList beforeCycle{"GetBufferSize -> 192", "GetSampleRate -> 44100", "StopAudio",
                                      "SetSampleRate 44100", "SetWdmChannelCount 4"};
        QTest::newRow("StopAudio")
            << "StopAudio"
            << QStringList{"GetBufferSize -> 192", "GetSampleRate -> 44100", "StopAudio failed 31"}
            << failureMessage("停止音频失败") << false;
        QTest::newRow("SetSampleRate")
            << "SetSampleRate"
            << QStringList{"GetBufferSize -> 192", "GetSampleRate -> 44100", "StopAudio",
                           "SetSampleRate 44100 failed 31"}
            << failureMessage("设置音频采样率失败") << false;
        QTest::newRow("SetWdmChannelCount")
            << "SetWdmChannelCount"
            << QStringList{"GetBufferSize -> 192", "GetSampleRate -> 44100", "StopAudio",
                           "SetSampleRate 44100", "SetWdmChannelCount 4 failed 31"}
            << failureMessage("设置WDM通道数量失败") << false;
        QTest::newRow("SetOtgOff still starts audio")
            << "SetOtgOff" << beforeCycle + QStringList{"SetOtgOff failed 31", "InitAudio"}
            << kOtgOffFailed << true;
        QTest::newRow("SetOtgOn goes on")
            << "SetOtgOn"
            << beforeCycle + QStringList{"SetOtgOff", "SetOtgOn failed 31", "InitAudio"}
            << kOtgOnFailed << true;
        QTest::newRow("InitAudio")
            << "InitAudio"
            << beforeCycle + QStringList{"SetOtgOff", "SetOtgOn", "InitAudio failed 31"}
            << failureMessage("初始化音频失败") << false;
    }

    void startUpFailures()
    {
        QFETCH(QString, failing);
        QFETCH(QStringList, calls);
        QFETCH(QString, failure);
        QFETCH(bool, started);

        store({"Audio/BufferSize=192"});
        openDialog();
        m_unit->clearTrace();
        m_unit->fail(failing.toStdString());
        m_dialog->initialize();
        QTRY_VERIFY(m_log->contains(failure));
        QVERIFY(!otgCyclePending());
        QCOMPARE(this->calls(), calls);
        QCOMPARE(m_log->contains(kStartUpDone), started);
    }

    void secondInitializeAfterReconnection_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("calls");

        QTest::newRow("44100") << "44100"
                               << QStringList{"GetSampleRate -> 44100",
                                              "StopAudio",
                                              "SetSampleRate 44100",
                                              "SetWdmChannelCount 4",
                                              "SetOtgOff",
                                              "SetOtgOn",
                                              "InitAudio"};
        QTest::newRow("48000") << "48000" << QStringList{"GetSampleRate -> 48000"};
    }

    void secondInitializeAfterReconnection()
    {
        QFETCH(QString, rate);
        QFETCH(QStringList, calls);

        store({"USB/LatencySize=16", "Audio/BufferSize=256", "USB/SlowMode=Enabled",
               "Audio/SampleRate=" + rate});
        openDialog();
        m_dialog->initialize();
        QTRY_VERIFY(!otgCyclePending() && m_unit->state().otgOn);

        m_unit->unplug();
        QVERIFY(m_unit->plug());
        QVERIFY(m_dialog->createDevice());
        m_unit->clearTrace();
        m_log->clear();
        m_dialog->initialize();
        QTRY_VERIFY(!otgCyclePending());
        QCOMPARE(this->calls(), calls);
    }

    void bufferSizeChange_data()
    {
        QTest::addColumn<uint>("unitLatency");
        QTest::addColumn<QString>("latencyBox");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("fileAfter");
        QTest::addColumn<QString>("latencyBoxAfter");

        // The unit starts at 192 samples.
        QTest::newRow("64 lowers latency 24 first")
            << 24u << "24"
            << "64" << QStringList{"GetBufferSize -> 192",
                                   "GetUsbLatency -> 24",
                                   "GetUsbLatency -> 24",
                                   "StopAudio",
                                   "SetUsbLatency 8",
                                   "RestartAudio",
                                   "StopAudio",
                                   "SetBufferSize 64",
                                   "RestartAudio"}
            << QStringList{"Audio/BufferSize=64", "USB/LatencySize=8"} << "8";
        QTest::newRow("128 lowers latency 24 to 16")
            << 24u << "24"
            << "128" << QStringList{"GetBufferSize -> 192",
                                    "GetUsbLatency -> 24",
                                    "GetUsbLatency -> 24",
                                    "StopAudio",
                                    "SetUsbLatency 16",
                                    "RestartAudio",
                                    "StopAudio",
                                    "SetBufferSize 128",
                                    "RestartAudio"}
            << QStringList{"Audio/BufferSize=128", "USB/LatencySize=16"} << "16";
        QTest::newRow("96 lowers latency 32 to 16")
            << 32u << "32"
            << "96" << QStringList{"GetBufferSize -> 192",
                                   "GetUsbLatency -> 32",
                                   "GetUsbLatency -> 32",
                                   "StopAudio",
                                   "SetUsbLatency 16",
                                   "RestartAudio",
                                   "StopAudio",
                                   "SetBufferSize 96",
                                   "RestartAudio"}
            << QStringList{"Audio/BufferSize=96", "USB/LatencySize=16"} << "16";
        QTest::newRow("64 with the latency box already at 8")
            << 24u << "8"
            << "64"
            << QStringList{"GetBufferSize -> 192", "GetUsbLatency -> 24", "StopAudio",
                           "SetBufferSize 64", "RestartAudio"}
            << QStringList{"Audio/BufferSize=64"} << "8";
        QTest::newRow("256 keeps latency 24")
            << 24u << "24"
            << "256"
            << QStringList{"GetBufferSize -> 192", "GetUsbLatency -> 24", "StopAudio",
                           "SetBufferSize 256", "RestartAudio"}
            << QStringList{"Audio/BufferSize=256"} << "24";
        QTest::newRow("1024 keeps latency 32")
            << 32u << "32"
            << "1024"
            << QStringList{"GetBufferSize -> 192", "GetUsbLatency -> 32", "StopAudio",
                           "SetBufferSize 1024", "RestartAudio"}
            << QStringList{"Audio/BufferSize=1024"} << "32";
        QTest::newRow("size already in use")
            << 8u << "8"
            << "192" << QStringList{"GetBufferSize -> 192"} << QStringList{} << "8";
    }

    void bufferSizeChange()
    {
        QFETCH(uint, unitLatency);
        QFETCH(QString, latencyBox);
        QFETCH(QString, pick);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, fileAfter);
        QFETCH(QString, latencyBoxAfter);

        presetUnit(192, unitLatency);
        openDialog();
        // The box follows the unit's latency, so moving it changes nothing.
        box("usbLatencyBox")->setCurrentText(latencyBox);
        forget();

        box("bufferSizeBox")->setCurrentText(pick);
        QCOMPARE(this->calls(), calls);
        QCOMPARE(stored(), fileAfter);
        QCOMPARE(box("usbLatencyBox")->currentText(), latencyBoxAfter);
        QCOMPARE(box("bufferSizeBox")->currentText(), pick);
        QVERIFY(m_unit->state().audioRunning);
    }

    void bufferChangeLogLines()
    {
        presetUnit(192, 24);
        openDialog();
        box("usbLatencyBox")->setCurrentText("24");
        forget();

        box("bufferSizeBox")->setCurrentText("64");
        QCOMPARE(
            m_log->lines(),
            (QStringList{"设置音频缓冲区大小为： 64 samples", "Buffer size: 192",
                         "当前音频缓冲区大小： 192", "设置USB延迟大小为： 8 Frame",
                         "当前USB延迟大小： 24", "设置USB延迟大小为： 8 Frame",
                         "当前USB延迟大小： 24", "USB延迟大小设置已保存： 8",
                         "音频缓冲区大小设置成功： 64 samples", "音频缓冲区大小设置已保存： 64"}));
    }

    void bufferSizeFailures_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("lines"); // logged, in this order, among others
        QTest::addColumn<bool>("audioRunning");

        QTest::newRow("GetBufferSize")
            << "GetBufferSize" << QStringList{"GetBufferSize failed 31"}
            << QStringList{"当前音频缓冲区大小： 0", failureMessage("获取音频缓冲区大小失败")}
            << true;
        QTest::newRow("GetUsbLatency")
            << "GetUsbLatency" << QStringList{"GetBufferSize -> 192", "GetUsbLatency failed 31"}
            << QStringList{failureMessage("获取USB延迟大小失败")} << true;
        QTest::newRow("StopAudio")
            << "StopAudio"
            << QStringList{"GetBufferSize -> 192", "GetUsbLatency -> 8", "StopAudio failed 31"}
            << QStringList{failureMessage("停止音频失败")} << true;
        QTest::newRow("SetBufferSize")
            << "SetBufferSize"
            << QStringList{"GetBufferSize -> 192", "GetUsbLatency -> 8", "StopAudio",
                           "SetBufferSize 64 failed 31"}
            << QStringList{failureMessage("设置音频缓冲区大小失败")} << false;
        QTest::newRow("RestartAudio")
            << "RestartAudio"
            << QStringList{"GetBufferSize -> 192", "GetUsbLatency -> 8", "StopAudio",
                           "SetBufferSize 64", "RestartAudio failed 31"}
            << QStringList{failureMessage("重新启动音频失败")} << false;
    }

    void bufferSizeFailures()
    {
        QFETCH(QString, failing);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, lines);
        QFETCH(bool, audioRunning);

        presetUnit(192, 8);
        openDialog();
        forget();
        store({"Audio/BufferSize=192"});
        m_unit->fail(failing.toStdString());

        box("bufferSizeBox")->setCurrentText("64");
        QCOMPARE(this->calls(), calls);
        const QStringList logged = m_log->lines();
        qsizetype from = 0;
        for (const QString& line : lines) {
            from = logged.indexOf(line, from);
            QVERIFY2(from >= 0, qPrintable(line));
        }
        QCOMPARE(stored(), QStringList{"Audio/BufferSize=192"});
        QCOMPARE(box("bufferSizeBox")->currentText(), QStringLiteral("64"));
        QCOMPARE(m_unit->state().audioRunning, audioRunning);
    }

    void usbLatencyChange_data()
    {
        QTest::addColumn<uint>("unitLatency");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("fileAfter");
        QTest::addColumn<bool>("audioRunning");

        QTest::newRow("new latency")
            << 8u << "" << QStringList{} << "16"
            << QStringList{"GetUsbLatency -> 8", "StopAudio", "SetUsbLatency 16", "RestartAudio"}
            << QStringList{"USB/LatencySize=16"} << true;
        QTest::newRow("latency in use saves nothing")
            << 16u << "" << QStringList{"USB/LatencySize=32"} << "16"
            << QStringList{"GetUsbLatency -> 16"} << QStringList{"USB/LatencySize=32"} << true;
        QTest::newRow("failed read counts as 0")
            << 16u << "GetUsbLatency" << QStringList{} << "16"
            << QStringList{"GetUsbLatency failed 31", "StopAudio", "SetUsbLatency 16",
                           "RestartAudio"}
            << QStringList{"USB/LatencySize=16"} << true;
        QTest::newRow("failing set leaves audio stopped")
            << 8u << "SetUsbLatency" << QStringList{"USB/LatencySize=8"} << "32"
            << QStringList{"GetUsbLatency -> 8", "StopAudio", "SetUsbLatency 32 failed 31"}
            << QStringList{"USB/LatencySize=8"} << false;
        QTest::newRow("failing restart")
            << 8u << "RestartAudio" << QStringList{} << "24"
            << QStringList{"GetUsbLatency -> 8", "StopAudio", "SetUsbLatency 24",
                           "RestartAudio failed 31"}
            << QStringList{} << false;
    }

    void usbLatencyChange()
    {
        QFETCH(uint, unitLatency);
        QFETCH(QString, failing);
        QFETCH(QStringList, file);
        QFETCH(QString, pick);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, fileAfter);
        QFETCH(bool, audioRunning);

        presetUnit(192, unitLatency);
        openDialog();
        forget();
        store(file);
        if (!failing.isEmpty())
            m_unit->fail(failing.toStdString());

        box("usbLatencyBox")->setCurrentText(pick);
        QCOMPARE(this->calls(), calls);
        QCOMPARE(stored(), fileAfter);
        QCOMPARE(m_unit->state().audioRunning, audioRunning);
        if (failing == QLatin1String("GetUsbLatency"))
            QVERIFY(m_log->contains("当前USB延迟大小： 0"));
    }

    void safeMode_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("fileAfter");
        QTest::addColumn<bool>("slowMode");
        QTest::addColumn<bool>("audioRunning");

        QTest::newRow("Enabled") << "Disabled"
                                 << ""
                                 << "Enabled"
                                 << QStringList{"StopAudio", "EnableUsbSlowMode", "RestartAudio"}
                                 << QStringList{"USB/SlowMode=Enabled"} << true << true;
        QTest::newRow("back to Disabled")
            << "Enabled"
            << ""
            << "Disabled" << QStringList{"StopAudio", "DisableUsbSlowMode", "RestartAudio"}
            << QStringList{"USB/SlowMode=Disabled"} << false << true;
        QTest::newRow("failing mode call leaves audio stopped")
            << "Disabled"
            << "EnableUsbSlowMode"
            << "Enabled" << QStringList{"StopAudio", "EnableUsbSlowMode failed 31"} << QStringList{}
            << false << false;
        QTest::newRow("failing stop")
            << "Disabled"
            << "StopAudio"
            << "Enabled" << QStringList{"StopAudio failed 31"} << QStringList{} << false << true;
    }

    void safeMode()
    {
        QFETCH(QString, from);
        QFETCH(QString, failing);
        QFETCH(QString, pick);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, fileAfter);
        QFETCH(bool, slowMode);
        QFETCH(bool, audioRunning);

        openDialog();
        box("safeModeBox")->setCurrentText(from);
        forget();
        if (!failing.isEmpty())
            m_unit->fail(failing.toStdString());

        box("safeModeBox")->setCurrentText(pick);
        QCOMPARE(this->calls(), calls);
        QCOMPARE(stored(), fileAfter);
        QCOMPARE(m_unit->state().slowMode, slowMode);
        QCOMPARE(m_unit->state().audioRunning, audioRunning);
        if (failing == QLatin1String("EnableUsbSlowMode"))
            QVERIFY(m_log->contains(failureMessage("设置USB慢速模式失败")));
    }

    void sampleRateChange_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("cycleCalls");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<bool>("finished"); // "设置采样频率完成" was logged
        QTest::addColumn<bool>("otgOn");

        QTest::newRow("cycle runs")
            << "" << QStringList{"SetOtgOff", "SetOtgOn"} << kSampleRateDone << true << true;
        QTest::newRow("failing SetOtgOff ends the cycle")
            << "SetOtgOff" << QStringList{"SetOtgOff failed 31"} << kOtgOffFailed << false << true;
        QTest::newRow("failing SetOtgOn goes on")
            << "SetOtgOn" << QStringList{"SetOtgOff", "SetOtgOn failed 31"} << kSampleRateDone
            << true << false;
    }

    void sampleRateChange()
    {
        QFETCH(QString, failing);
        QFETCH(QStringList, cycleCalls);
        QFETCH(QString, lastLine);
        QFETCH(bool, finished);
        QFETCH(bool, otgOn);

        openDialog();
        forget();
        if (!failing.isEmpty())
            m_unit->fail(failing.toStdString());

        box("sampleRateBox")->setCurrentText("48000");
        const QStringList beforeCycle{"StopAudio", "SetSampleRate 48000", "SetWdmChannelCount 4",
                                      "InitAudio"};
        // Saved before any OTG step could run.
        QCOMPARE(calls(), beforeCycle);
        QCOMPARE(stored(), QStringList{"Audio/SampleRate=48000"});

        QTRY_VERIFY(m_log->contains(lastLine));
        QVERIFY(!otgCyclePending());
        QCOMPARE(calls(), beforeCycle + cycleCalls);
        QCOMPARE(m_log->contains(kSampleRateDone), finished);
        QCOMPARE(m_unit->state().otgOn, otgOn);
        QCOMPARE(stored(), QStringList{"Audio/SampleRate=48000"});
        QCOMPARE(m_unit->state().sampleRate, 48000u);
        QVERIFY(m_unit->state().audioRunning);
    }

    void twoRateChangesRunTheirCyclesSideBySide()
    {
        openDialog();
        forget();

        // Both changes land within one 200 ms OTG step.
        box("sampleRateBox")->setCurrentText("48000");
        box("sampleRateBox")->setCurrentText("44100");
        const QStringList changes{
            "StopAudio", "SetSampleRate 48000", "SetWdmChannelCount 4", "InitAudio",
            "StopAudio", "SetSampleRate 44100", "SetWdmChannelCount 4", "InitAudio"};
        QCOMPARE(calls(), changes);

        QTRY_COMPARE(m_log->count(kSampleRateDone), 2);
        QVERIFY(!otgCyclePending());
        const QStringList cycles{"SetOtgOff", "SetOtgOff", "SetOtgOn", "SetOtgOn"};
        QCOMPARE(calls(), changes + cycles);
        QCOMPARE(stored(), QStringList{"Audio/SampleRate=44100"});
        QCOMPARE(m_unit->state().sampleRate, 44100u);
        QVERIFY(m_unit->state().otgOn);
    }

    void sampleRateFailures_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("message");

        QTest::newRow("StopAudio")
            << "StopAudio" << QStringList{"StopAudio failed 31"} << failureMessage("停止音频失败");
        QTest::newRow("SetSampleRate")
            << "SetSampleRate" << QStringList{"StopAudio", "SetSampleRate 48000 failed 31"}
            << failureMessage("设置音频采样率失败");
        QTest::newRow("SetWdmChannelCount")
            << "SetWdmChannelCount"
            << QStringList{"StopAudio", "SetSampleRate 48000", "SetWdmChannelCount 4 failed 31"}
            << failureMessage("设置WDM通道数量失败");
        QTest::newRow("InitAudio") << "InitAudio"
                                   << QStringList{"StopAudio", "SetSampleRate 48000",
                                                  "SetWdmChannelCount 4", "InitAudio failed 31"}
                                   << failureMessage("重新启动音频失败");
    }

    void sampleRateFailures()
    {
        QFETCH(QString, failing);
        QFETCH(QStringList, calls);
        QFETCH(QString, message);

        openDialog();
        forget();
        m_unit->fail(failing.toStdString());

        box("sampleRateBox")->setCurrentText("48000");
        QCOMPARE(this->calls(), calls);
        QVERIFY(m_log->contains(message));
        QVERIFY(!otgCyclePending());
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void createDeviceReleasesTheEarlierConnection()
    {
        m_dialog = std::make_unique<Settings>();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(m_dialog->createDevice());
            // An answered exchange shows that the unit holds this connection.
            m_unit->clearTrace();
            m_dialog->updateUsbErrorCount();
            QVERIFY(!m_unit->trace().empty());
        }
        QTRY_COMPARE(m_unit->connectionCount(), 1);

        m_dialog.reset();
        QTRY_COMPARE(m_unit->connectionCount(), 0);
        QVERIFY(m_log->contains("Settings dialog closed and resources cleaned up."));
    }

    void otgCycleUsesTheDeviceHeldWhenItFires()
    {
        virtualunit::Options options;
        options.movingMeters = false;
        options.busIndex = 1;
        virtualunit::VirtualUnit second(options);
        QVERIFY(second.plug());

        openDialog(); // the first answering bus: the unit on bus 0
        box("sampleRateBox")->setCurrentText("48000");
        QVERIFY(otgCyclePending());

        // The unit goes away and another one is recognised before the cycle's
        // first step: the dialog's earlier connection is released.
        m_unit->unplug();
        QVERIFY(m_dialog->createDevice());
        second.clearTrace();

        QTRY_VERIFY(m_log->contains(kSampleRateDone));
        QCOMPARE(calls(second), (QStringList{"SetOtgOff", "SetOtgOn"}));
        QVERIFY(!calls().contains("SetOtgOff"));
        QVERIFY(!m_log->contains(kOtgOffFailed));
        QVERIFY(!m_log->contains(kOtgOnFailed));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
