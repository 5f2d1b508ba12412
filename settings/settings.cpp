#include "settings/settings.h"

#include "driver/quorlin_io_control.h"
#include "driver/usb_status.h"
#include "platform/message_pipe.h"
#include "platform/sleep.h"
#include "settings/thread_settings_pip.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <functional>

namespace {

// The values behind the boxes' items, in the order the items are listed. A
// box's text maps to a value only when it is exactly one of these numbers.
constexpr std::array<std::uint32_t, 8> kBufferSizes{48, 64, 96, 128, 192, 256, 512, 1024};
constexpr std::array<std::uint32_t, 4> kUsbLatencies{8, 16, 24, 32};
constexpr std::array<std::uint32_t, 2> kSampleRates{44100, 48000};
constexpr std::uint32_t kDefaultUsbLatency = 8;
const QString kSafeModeDisabled = QStringLiteral("Disabled");
const QString kSafeModeEnabled = QStringLiteral("Enabled");

// The stored options, in the order loadSettings() applies them, which is
// also the order in which the driver is reconfigured at start-up. Loading
// and saving both read their key from here.
enum StoredOption { UsbLatencyOption, BufferSizeOption, SafeModeOption, SampleRateOption };
struct StoredOptionEntry {
    StoredOption option;
    const char* key;
    const char* defaultText;
    const char* name; // on quorlinctl's command line
};
constexpr std::array<StoredOptionEntry, 4> kStoredOptions{{
    {UsbLatencyOption, "USB/LatencySize", "8", "usb-latency"},
    {BufferSizeOption, "Audio/BufferSize", "192", "buffer-size"},
    {SafeModeOption, "USB/SlowMode", "Disabled", "safe-mode"},
    {SampleRateOption, "Audio/SampleRate", "44100", "sample-rate"},
}};
// The order in which the dialog shows them.
constexpr std::array<StoredOption, 4> kShownOptions{BufferSizeOption, UsbLatencyOption,
                                                    SampleRateOption, SafeModeOption};

const StoredOptionEntry& storedOption(int option)
{
    for (const StoredOptionEntry& entry : kStoredOptions) {
        if (entry.option == option)
            return entry;
    }
    return kStoredOptions.front(); // not reached: every option has its entry
}

constexpr std::uint32_t kReconfigurePauseMs = 100;
constexpr int kOtgStepMs = 200;
constexpr int kUsbErrorPollMs = 1000;
constexpr std::uint32_t kWdmChannelCount = 4;
constexpr std::uint32_t kStartUpSampleRate = 44100;

// Runs `step` once, on the owner's thread, one OTG step from now and never
// sooner: the chip must stay off for the whole step, and a timer may wake a
// little early (a coarse one by up to 5 %), so its deadline is checked too.
void afterOtgStep(QObject* owner, std::function<void()> step)
{
    auto* timer = new QTimer(owner);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    const QDeadlineTimer due(kOtgStepMs, Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, due, step = std::move(step)] {
        if (!due.hasExpired()) {
            timer->start(static_cast<int>(due.remainingTime()));
            return;
        }
        timer->deleteLater();
        step();
    });
    timer->start(kOtgStepMs);
}

// The ASIO driver's pipe and the byte that tells it to reset.
const wchar_t* const kAsioResetPipeName = L"\\\\.\\pipe\\QuorlinPannelToASIO";
constexpr unsigned char kAsioResetSignal = 0x31;

const char* const kStopAudioFailed = "停止音频失败，可能是驱动未正确加载或设备未连接。";
const char* const kGetBufferSizeFailed =
    "获取音频缓冲区大小失败，可能是驱动未正确加载或设备未连接。";
const char* const kGetUsbLatencyFailed = "获取USB延迟大小失败，可能是驱动未正确加载或设备未连接。";
const char* const kSetBufferSizeFailed =
    "设置音频缓冲区大小失败，可能是驱动未正确加载或设备未连接。";
const char* const kSetUsbLatencyFailed = "设置USB延迟大小失败，可能是驱动未正确加载或设备未连接。";
const char* const kRestartAudioFailed = "重新启动音频失败，可能是驱动未正确加载或设备未连接。";
const char* const kSetSampleRateFailed = "设置音频采样率失败，可能是驱动未正确加载或设备未连接。";
const char* const kSetWdmChannelsFailed = "设置WDM通道数量失败，可能是驱动未正确加载或设备未连接。";
const char* const kSetSlowModeFailed = "设置USB慢速模式失败，可能是驱动未正确加载或设备未连接。";
const char* const kOtgOffFailed = "关闭OTG芯片失败，可能是驱动未正确加载或设备未连接。";
const char* const kOtgOnFailed = "开启OTG芯片失败，可能是驱动未正确加载或设备未连接。";
const char* const kInitAudioFailed = "初始化音频失败，可能是驱动未正确加载或设备未连接。";

template<std::size_t N>
bool valueFromText(const std::array<std::uint32_t, N>& values, const QString& text,
                   std::uint32_t& value)
{
    for (std::uint32_t candidate : values) {
        if (text == QString::number(candidate)) {
            value = candidate;
            return true;
        }
    }
    return false;
}

template<std::size_t N> QStringList itemsOf(const std::array<std::uint32_t, N>& values)
{
    QStringList items;
    for (std::uint32_t value : values)
        items << QString::number(value);
    return items;
}

// The largest USB latency, in frames, that a buffer of `bufferSize` samples
// allows.
std::uint32_t usbLatencyCap(std::uint32_t bufferSize)
{
    if (bufferSize <= 64)
        return 8;
    if (bufferSize <= 128)
        return 16;
    if (bufferSize <= 256)
        return 24;
    return 32;
}

QLabel* optionCaption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("font-size: 14px; color: #008888;"));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// An option box labelled by its caption: the caption is its buddy, which is
// also what names the box for a screen reader.
QComboBox* makeOptionBox(const QStringList& items, const char* name, QLabel* caption,
                         QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    caption->setBuddy(box);
    return box;
}

} // namespace

Settings::Settings()
    : QDialog(nullptr)
{
    qDebug() << "Settings dialog created.";

    setWindowTitle(QStringLiteral("Settings"));
    setStyleSheet(QStringLiteral("QDialog { background-color: #2c313c; color: white; }"));

    const QString dataDirectory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDirectory);
    settingsStore =
        new QSettings(dataDirectory + QStringLiteral("/setting.ini"), QSettings::IniFormat, this);

    mainLayout = new QVBoxLayout;
    mainLayout->setAlignment(Qt::AlignCenter);
    mainLayout->setContentsMargins(40, 10, 40, 40);
    setLayout(mainLayout);

    const QPixmap icon(QStringLiteral(":/icon/icon.png"));
    if (!icon.isNull())
        setWindowIcon(QIcon(icon));

    // Each box is connected only once its items are in, so filling it runs
    // no reconfiguration.
    auto* title = new QLabel(tr("Settings"), this);
    title->setStyleSheet(QStringLiteral("font-size: 18px; font-weight: bold; color: #00FFFF;"));
    title->setAlignment(Qt::AlignCenter);
    mainLayout->addWidget(title);

    QLabel* bufferSizeCaption = optionCaption(tr("Buffer Size"), this);
    mainLayout->addWidget(bufferSizeCaption);
    bufferSizeBox = makeOptionBox(itemsOf(kBufferSizes), "bufferSizeBox", bufferSizeCaption, this);
    mainLayout->addWidget(bufferSizeBox);
    connect(bufferSizeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &Settings::onBufferSizeChanged);

    QLabel* usbLatencyCaption = optionCaption(tr("USB Latency Size"), this);
    mainLayout->addWidget(usbLatencyCaption);
    usbLatencyBox = makeOptionBox(itemsOf(kUsbLatencies), "usbLatencyBox", usbLatencyCaption, this);
    usbLatencyBox->setCurrentIndex(0);
    mainLayout->addWidget(usbLatencyBox);
    connect(usbLatencyBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &Settings::onUsbLatencyChanged);

    QLabel* sampleRateCaption = optionCaption(tr("Samplerate"), this);
    mainLayout->addWidget(sampleRateCaption);
    sampleRateBox = makeOptionBox(itemsOf(kSampleRates), "sampleRateBox", sampleRateCaption, this);
    mainLayout->addWidget(sampleRateBox);
    connect(sampleRateBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &Settings::onSampleRateChanged);

    QLabel* safeModeCaption = optionCaption(tr("Safe Mode"), this);
    mainLayout->addWidget(safeModeCaption);
    safeModeBox =
        makeOptionBox({kSafeModeDisabled, kSafeModeEnabled}, "safeModeBox", safeModeCaption, this);
    mainLayout->addWidget(safeModeBox);
    connect(safeModeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &Settings::onSafeModeChanged);

    mainLayout->addSpacing(20);
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setStyleSheet(
        QStringLiteral("background-color: #008888; color: white; font-size: 14px;"));
    mainLayout->addWidget(okButton, 0, Qt::AlignCenter);
    connect(okButton, &QPushButton::clicked, this, &Settings::notifyAsioReset);
    mainLayout->addStretch(0);
    mainLayout->setSpacing(15);

    usbErrorLabel = new QLabel(tr("USB Error"), this);
    usbErrorLabel->setObjectName(QStringLiteral("usbErrorLabel"));
    usbErrorLabel->setStyleSheet(QStringLiteral("font-size: 10px; color: #888888;"));
    usbErrorLabel->setAlignment(Qt::AlignCenter);
    mainLayout->addWidget(usbErrorLabel);
    usbErrorLabel->hide();

    // The listener for the ASIO driver ends with the dialog's children.
    auto* pipeListener = new ThreadSettingsPip(this);
    connect(pipeListener, &ThreadSettingsPip::progressUpdated, this, &Settings::showFromPipeSignal);
    pipeListener->start(QThread::InheritPriority);

    usbStatus = std::make_unique<UsbStatus>();

    pollTimer = new QTimer(this);
    pollTimer->setObjectName(QStringLiteral("pollTimer"));
    connect(pollTimer, &QTimer::timeout, this, &Settings::updateUsbErrorCount);
    pollTimer->start(kUsbErrorPollMs);
}

Settings::~Settings()
{
    pollTimer->stop();
    delete settingsStore;
    settingsStore = nullptr;
    if (device) {
        device->CloseDevice();
        delete device;
        device = nullptr;
    }
    usbStatus.reset();
    qDebug() << "Settings dialog closed and resources cleaned up.";
}

void Settings::notifyAsioReset()
{
    hide();
    const platform::PipeHandle pipe = platform::openPipe(kAsioResetPipeName);
    if (pipe == platform::kInvalidPipeHandle) {
        qDebug() << "Error: Could not open pipe. Error code:" << platform::lastError();
        return;
    }
    qDebug() << "Pipe opened successfully.";
    if (platform::writePipe(pipe, &kAsioResetSignal, 1))
        qDebug() << "ASIO reset signal sent successfully.";
    else
        qDebug() << "Error: Failed to send ASIO reset signal. Error code:" << platform::lastError();
    platform::closePipe(pipe);
    qDebug() << "设置通知ASIO逻辑";
}

void Settings::showFromPipeSignal()
{
    // Changing the flags hides a shown window, so it is shown after.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    qDebug() << "Received signal from pipe thread to show settings window.";
}

QuorlinIoControl& Settings::driver()
{
    static QuorlinIoControl neverOpened;
    return device ? *device : neverOpened;
}

bool Settings::createDevice()
{
    // A reconnection replaces the connection of the unit that went away;
    // release it now so that handles do not pile up across reconnections.
    if (device) {
        device->CloseDevice();
        delete device;
        device = nullptr;
    }
    device = new QuorlinIoControl;
    if (device->OpenDevice())
        return true;
    qDebug() << "Failed to create device in vt1.";
    return false;
}

QComboBox* Settings::optionBox(int option) const
{
    switch (option) {
    case UsbLatencyOption:
        return usbLatencyBox;
    case BufferSizeOption:
        return bufferSizeBox;
    case SafeModeOption:
        return safeModeBox;
    default:
        return sampleRateBox;
    }
}

QVector<Settings::Option> Settings::options() const
{
    QVector<Option> shown;
    for (StoredOption option : kShownOptions)
        shown.append({QLatin1String(storedOption(option).name), optionBox(option),
                      option == SafeModeOption});
    return shown;
}

void Settings::saveOption(int option)
{
    settingsStore->setValue(QLatin1String(storedOption(option).key),
                            optionBox(option)->currentText());
    settingsStore->sync();
}

void Settings::loadSettings()
{
    // A stored value that differs from its box's item runs that option's
    // reconfiguration right here; an unknown value leaves the box alone.
    for (const StoredOptionEntry& entry : kStoredOptions) {
        const QString text =
            settingsStore->value(QLatin1String(entry.key), QLatin1String(entry.defaultText))
                .toString();
        optionBox(entry.option)->setCurrentText(text);
    }
    qDebug() << "已从配置文件加载控件状态";
}

void Settings::updateUsbErrorCount()
{
    if (!driver().GetUsbStatus(*usbStatus)) {
        qDebug() << "Failed to read meter data from driver.";
        return;
    }
    if (usbStatus->errorCount == 0) {
        usbErrorLabel->hide();
        return;
    }
    usbErrorLabel->show();
    usbErrorLabel->setText(tr("USB Error Count: %1").arg(usbStatus->errorCount));
}

void Settings::onBufferSizeChanged()
{
    const QString text = bufferSizeBox->currentText();
    std::uint32_t bufferSize = 0;
    if (!valueFromText(kBufferSizes, text, bufferSize)) {
        qDebug().noquote() << "未知的音频缓冲区大小选项：" << text;
        return;
    }
    qDebug() << "设置音频缓冲区大小为：" << bufferSize << "samples";

    QuorlinIoControl& unit = driver();
    std::uint32_t currentBufferSize = 0;
    const bool bufferSizeRead = unit.GetBufferSize(currentBufferSize);
    qDebug() << "当前音频缓冲区大小：" << currentBufferSize;
    if (!bufferSizeRead) {
        qDebug() << kGetBufferSizeFailed;
        return;
    }
    if (currentBufferSize == bufferSize)
        return;

    const std::uint32_t latencyCap = usbLatencyCap(bufferSize);
    qDebug() << "设置USB延迟大小为：" << latencyCap << "Frame";
    std::uint32_t currentLatency = 0;
    if (!unit.GetUsbLatency(currentLatency)) {
        qDebug() << kGetUsbLatencyFailed;
        return;
    }
    qDebug() << "当前USB延迟大小：" << currentLatency;
    // A latency above what the new buffer allows is lowered first: when the
    // box moves, its own sequence runs to completion inside this call.
    if (currentLatency > latencyCap)
        usbLatencyBox->setCurrentText(QString::number(latencyCap));

    if (!unit.StopAudio()) {
        qDebug() << kStopAudioFailed;
        return;
    }
    if (!unit.SetBufferSize(bufferSize)) {
        qDebug() << kSetBufferSizeFailed;
        return;
    }
    if (!unit.RestartAudio()) {
        qDebug() << kRestartAudioFailed;
        return;
    }
    qDebug() << "音频缓冲区大小设置成功：" << bufferSize << "samples";
    saveOption(BufferSizeOption);
    qDebug().noquote() << "音频缓冲区大小设置已保存：" << bufferSizeBox->currentText();
}

void Settings::onUsbLatencyChanged()
{
    std::uint32_t latency = kDefaultUsbLatency;
    if (!valueFromText(kUsbLatencies, usbLatencyBox->currentText(), latency))
        latency = kDefaultUsbLatency;
    qDebug() << "设置USB延迟大小为：" << latency << "Frame";

    QuorlinIoControl& unit = driver();
    // A failed read leaves 0, which differs from every latency, so the new
    // one is sent anyway.
    std::uint32_t currentLatency = 0;
    unit.GetUsbLatency(currentLatency);
    qDebug() << "当前USB延迟大小：" << currentLatency;
    if (currentLatency == latency)
        return;

    if (!unit.StopAudio()) {
        qDebug() << kStopAudioFailed;
        return;
    }
    if (!unit.SetUsbLatency(latency)) {
        qDebug() << kSetUsbLatencyFailed;
        return;
    }
    if (!unit.RestartAudio()) {
        qDebug() << kRestartAudioFailed;
        return;
    }
    saveOption(UsbLatencyOption);
    qDebug().noquote() << "USB延迟大小设置已保存：" << usbLatencyBox->currentText();
}

void Settings::onSafeModeChanged()
{
    const QString text = safeModeBox->currentText();
    QuorlinIoControl& unit = driver();
    // Audio stops before the text is looked at, so an unknown text leaves it
    // stopped.
    if (!unit.StopAudio()) {
        qDebug() << kStopAudioFailed;
        return;
    }
    bool modeSet = false;
    if (text == kSafeModeEnabled) {
        modeSet = unit.EnableUsbSlowMode();
    } else if (text == kSafeModeDisabled) {
        modeSet = unit.DisableUsbSlowMode();
    } else {
        qDebug().noquote() << "未知的USB慢速模式选项：" << text;
        return;
    }
    if (!modeSet) {
        qDebug() << kSetSlowModeFailed;
        return;
    }
    if (!unit.RestartAudio()) {
        qDebug() << kRestartAudioFailed;
        return;
    }
    saveOption(SafeModeOption);
    qDebug().noquote() << "USB慢速模式设置已保存：" << safeModeBox->currentText();
}

void Settings::onSampleRateChanged()
{
    QuorlinIoControl& unit = driver();
    if (!unit.StopAudio()) {
        qDebug() << kStopAudioFailed;
        return;
    }
    platform::sleepMilliseconds(kReconfigurePauseMs);

    const QString text = sampleRateBox->currentText();
    std::uint32_t rate = 0;
    if (!valueFromText(kSampleRates, text, rate)) {
        qDebug().noquote() << "未知的音频采样率选项：" << text;
        return;
    }
    // Set before the driver is asked, so after a failure it still holds the
    // rate the user picked.
    sampleRate = rate;
    qDebug() << "设置音频采样率为：" << rate << "Hz";
    if (!unit.SetSampleRate(rate)) {
        qDebug() << kSetSampleRateFailed;
        return;
    }
    if (!unit.SetWdmChannelCount(kWdmChannelCount)) {
        qDebug() << kSetWdmChannelsFailed;
        return;
    }
    platform::sleepMilliseconds(kReconfigurePauseMs);
    if (!unit.InitAudio()) {
        qDebug() << kRestartAudioFailed;
        return;
    }

    // The rate counts as applied once audio runs again: it is saved now,
    // while the OTG chip's power cycle is still to come, and a failure there
    // does not undo the save.
    startOtgPowerCycle(OtgCycleEnd::SampleRateChange);
    saveOption(SampleRateOption);
    qDebug().noquote() << "音频采样率设置已保存：" << sampleRateBox->currentText();
}

void Settings::startOtgPowerCycle(OtgCycleEnd end)
{
    // Switches the OTG chip off and, one step later, on again. Each step uses
    // the device the dialog holds when it runs, never one captured earlier: a
    // reconnection in between releases the old one. Cycles started less than
    // 400 ms apart run side by side.
    //
    // At start-up audio was left stopped for the cycle, so the cycle ends by
    // starting it whatever the chip's steps answered: a refused step must not
    // leave the unit silent.
    const auto finish = [this, end] {
        if (end == OtgCycleEnd::SampleRateChange) {
            qDebug() << "设置采样频率完成";
            return;
        }
        if (driver().InitAudio())
            qDebug() << "设置初始化完成";
        else
            qDebug() << kInitAudioFailed;
    };
    afterOtgStep(this, [this, end, finish] {
        if (!driver().SetOtgOff()) {
            qDebug() << kOtgOffFailed;
            // The chip stayed on, so there is nothing to switch on again.
            if (end == OtgCycleEnd::StartUp)
                finish();
            return;
        }
        afterOtgStep(this, [this, finish] {
            if (!driver().SetOtgOn())
                qDebug() << kOtgOnFailed;
            finish();
        });
    });
}

void Settings::initialize()
{
    loadSettings();
    qDebug() << "加载控件状态完成";

    QuorlinIoControl& unit = driver();
    // Only logged: the rate box decides what follows.
    qDebug() << "当前音频采样率为：" << unit.GetSampleRate();

    const QString text = sampleRateBox->currentText();
    if (text == QLatin1String("44100")) {
        // The box did not move, so no rate change ran: set the rate here and
        // let the OTG power cycle start audio at its end.
        sampleRate = kStartUpSampleRate;
        if (!unit.StopAudio()) {
            qDebug() << kStopAudioFailed;
            return;
        }
        qDebug() << "停止音频成功，开始加载控件状态";
        platform::sleepMilliseconds(kReconfigurePauseMs);
        if (!unit.SetSampleRate(kStartUpSampleRate)) {
            qDebug() << kSetSampleRateFailed;
            return;
        }
        if (!unit.SetWdmChannelCount(kWdmChannelCount)) {
            qDebug() << kSetWdmChannelsFailed;
            return;
        }
        startOtgPowerCycle(OtgCycleEnd::StartUp);
    } else if (text == QLatin1String("48000")) {
        // Either loading ran the full rate change just now, or the unit was
        // set to this rate before a reconnection.
        sampleRate = 48000;
    } else {
        qDebug().noquote() << "未知的音频采样率选项：" << text;
    }
}
