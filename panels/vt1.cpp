#include "panels/vt1.h"

#include "controls/button.h"
#include "controls/knob.h"
#include "controls/level_readout.h"
#include "driver/quorlin_io_control.h"
#include "panels/output_level.h"
#include "panels/panel_parts.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

using namespace PanelParts;

namespace {

constexpr std::uint8_t kMicChannel = 1;
constexpr int kMicGainMaximum = 42;
constexpr int kMeterIntervalMs = 500;

// DIRECT plays the input into the headphones (outputs 0 and 1).
constexpr std::initializer_list<Cell> kDirectCells = {
    {MixerBlock::kOutputBank, MixerBlock::kInput1},
    {MixerBlock::kOutputBank + 1, MixerBlock::kInput2},
};
constexpr std::initializer_list<int> kHeadphoneOutputs = {0, 1};

} // namespace

const StoredControl<vt1> vt1::storedControls[] = {
    {"mic.inst", ControlSection::Input, "Button/MicInstrIsChecked", &vt1::micInstrButton, false},
    {"mic.pad", ControlSection::Input, "Button/Mic20dBIsChecked", &vt1::mic20dBButton, false},
    {"mic.48v", ControlSection::Input, "Button/Mic48VIsChecked", &vt1::mic48VButton, false},
    {"mic.direct", ControlSection::Input, "Button/MonitorMicIsChecked", &vt1::monitorMicButton,
     false},
    {"mic.gain", ControlSection::Input, "Dial/MicValue", &vt1::micDial, 0},
    {"headphone.volume", ControlSection::Output, "Dial/HeadphoneValue", &vt1::headphoneDial, -80},
    {"headphone.mute", ControlSection::Output, "Button/HeadphoneMuteIsChecked",
     &vt1::headphoneMuteButton, false},
    {"headphone.dim", ControlSection::Output, "Button/HeadphoneDimIsChecked",
     &vt1::headphoneDimButton, false},
    {"phone-to-hp.volume", ControlSection::Input, "Dial/OtgToHpValue", &vt1::otgToHpDial, 0},
};

vt1::vt1()
    : ModelPanel(nullptr)
{
    ioControl = new QuorlinIoControl;
    if (!openDevice(*ioControl, "vt1"))
        return;
    setOutputVolumes(*ioControl, {1, 2});
    settings = openSettings(this, QStringLiteral("vt1.ini"));
    buildLayout();
    presetMixer(mixer, {});

    auto* meterTimer = new QTimer(this);
    connect(meterTimer, &QTimer::timeout, this, &vt1::updateMeters);
    meterTimer->start(kMeterIntervalMs);

    loadControlState();
}

vt1::~vt1()
{
    if (ioControl) {
        ioControl->CloseDevice();
        delete ioControl;
    }
    delete settings;
}

QVector<PanelControl> vt1::controls() const
{
    if (!settings)
        return {};
    return describeControls(*this, storedControls);
}

void vt1::buildLayout()
{
    auto* panelLayout = new QHBoxLayout(this);
    panelLayout->setAlignment(Qt::AlignCenter);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    // Input column.
    auto* inputColumn = new QVBoxLayout;
    inputColumn->setContentsMargins(10, 10, 20, 10);
    inputColumn->addWidget(makeLabel(this, tr("INPUT"), kTitleStyle));
    micDial = makeGainKnob(this, kMicGainMaximum);
    micDial->setAccessibleName(tr("Input Gain"));
    inputColumn->addWidget(micDial);
    inputMeterLabel = makeMeterLabel(this, tr("Input level"));
    inputColumn->addWidget(inputMeterLabel);
    inputColumn->addWidget(makeLabel(this, tr("Gain"), kCaptionStyle));

    micInstrButton = makeButton(this, tr("MIC"), kGreenAccent);
    mic20dBButton = makeButton(this, QStringLiteral("20dB"), kOrangeAccent);
    mic48VButton = makeButton(this, QStringLiteral("48V"), kRedAccent);
    monitorMicButton = makeButton(this, tr("DIRECT"), kCyanAccent);
    // The MIC/INST switch is on in INST mode, whatever its text shows.
    micInstrButton->setAccessibleName(tr("Input INST"));
    mic20dBButton->setAccessibleName(tr("Input 20dB"));
    mic48VButton->setAccessibleName(tr("Input 48V"));
    monitorMicButton->setAccessibleName(tr("Input DIRECT"));
    auto* inputButtons = new QVBoxLayout;
    inputButtons->setAlignment(Qt::AlignCenter);
    for (Button* button : {micInstrButton, mic20dBButton, mic48VButton, monitorMicButton})
        inputButtons->addWidget(button);
    inputColumn->addLayout(inputButtons);

    const OutputSection headphones =
        makeOutputSection(this, tr("HEADPHONE"), tr("Volume"), kCaptionStyle,
                          {tr("Headphone Volume"), tr("Headphone MUTE"), tr("Headphone DIM"),
                           tr("Headphone phone level")},
                          tr("Phone To HP Volume"));
    headphoneDial = headphones.dial;
    headphoneMuteButton = headphones.mute;
    headphoneDimButton = headphones.dim;
    otgToHpDial = headphones.phoneDial;
    otgMeterLabel = headphones.phoneReadout;

    panelLayout->addLayout(inputColumn);
    panelLayout->addWidget(makeDivider(this));
    panelLayout->addLayout(headphones.column);

    connect(micDial, &Knob::valueChangedSig, this, &vt1::onMicValueChanged);
    connect(micInstrButton, &Button::pressed, this,
            [this](bool status) { onMicInstrClicked(kMicChannel, status); });
    connect(mic20dBButton, &Button::pressed, this, &vt1::onMic20dBClicked);
    connect(mic48VButton, &Button::pressed, this, &vt1::onMic48VClicked);
    connect(monitorMicButton, &Button::pressed, this, &vt1::onMonitorMicClicked);
    connect(headphoneDial, &Knob::valueChangedSig, this, &vt1::setHeadphoneVolume);
    connect(headphoneMuteButton, &Button::pressed, this, &vt1::onHeadphoneMuteClicked);
    connect(headphoneDimButton, &Button::pressed, this, &vt1::onHeadphoneDimClicked);
    connect(otgToHpDial, &Knob::valueChangedSig, this, &vt1::onOtgToHpValueChanged);
}

void vt1::loadControlState()
{
    restoreControls(*this, settings, storedControls);
    qDebug() << "已从配置文件加载控件状态";
}

template<typename Control> void vt1::saveState(Control* vt1::*control)
{
    saveControl(*this, settings, storedControls, control);
}

void vt1::onMicValueChanged(int value)
{
    sendMicGain(*ioControl, kMicChannel, value);
    saveState(&vt1::micDial);
}

void vt1::onMicInstrClicked(int channel, bool status)
{
    qDebug() << "Mic Instr Button Clicked" << int(status);
    if (ioControl->SwitchMicInstrument(static_cast<std::uint8_t>(channel), status)) {
        qDebug() << "Mic instruction switched for channel 1.";
        micInstrButton->setText(status ? tr("INST") : tr("MIC"));
    } else {
        qDebug() << "Failed to switch mic instruction.";
    }
    saveState(&vt1::micInstrButton);
}

void vt1::onMic20dBClicked(bool status)
{
    qDebug() << "Mic 20dB Button Clicked" << int(status);
    if (ioControl->SetMic20dB(kMicChannel, status))
        qDebug() << "Mic 20dB switched for channel 1.";
    else
        qDebug() << "Failed to switch mic 20dB.";
    saveState(&vt1::mic20dBButton);
}

void vt1::onMic48VClicked(bool status)
{
    qDebug() << "Mic 48V Button Clicked" << int(status);
    if (ioControl->SetMic48V(kMicChannel, status))
        qDebug() << "Mic 48V switched for channel 1.";
    else
        qDebug() << "Failed to switch mic 48V.";
    saveState(&vt1::mic48VButton);
}

void vt1::onMonitorMicClicked(bool status)
{
    sendDirectMonitoring(*ioControl, mixer, kDirectCells, status);
    saveState(&vt1::monitorMicButton);
}

void vt1::setHeadphoneVolume(int value)
{
    const double gain = setOutputLevel(
        mixer, kHeadphoneOutputs, effectiveOutputLevel(value, headphoneMuted, headphoneDimmed));
    if (ioControl->WriteMixer(mixer))
        qDebug() << "Headphone volume set to:" << gain;
    else
        qDebug() << "Failed to set headphone volume.";
    saveState(&vt1::headphoneDial);
}

void vt1::onHeadphoneMuteClicked(bool status)
{
    headphoneMuted = status;
    if (status) {
        setHeadphoneVolume(kMutedLevelDb);
        qDebug() << "Headphone Mute Button Clicked: Mute ON";
    } else {
        setHeadphoneVolume(headphoneDial->value);
        qDebug() << "Headphone Mute Button Clicked: Mute OFF";
    }
    saveState(&vt1::headphoneMuteButton);
}

void vt1::onHeadphoneDimClicked(bool status)
{
    headphoneDimmed = status;
    setHeadphoneVolume(headphoneDial->value);
    qDebug() << (status ? "Headphone Dim Button Clicked: Dim ON"
                        : "Headphone Dim Button Clicked: Dim OFF");
    saveState(&vt1::headphoneDimButton);
}

void vt1::onOtgToHpValueChanged(int value)
{
    const double gain = QuorlinIoControl::DbToLinear(value);
    mixer(MixerBlock::kOutputBank, MixerBlock::kPhoneLeft) = gain;
    mixer(MixerBlock::kOutputBank + 1, MixerBlock::kPhoneRight) = gain;
    if (ioControl->WriteMixer(mixer))
        qDebug() << "OTG to HP volume set to:" << gain;
    else
        qDebug() << "Failed to set OTG to HP volume.";
    saveState(&vt1::otgToHpDial);
}

void vt1::updateMeters()
{
    if (!readMeters(*ioControl, meters))
        return;
    showLevel(inputMeterLabel, meters.entries[MeterBlock::kInput1]);
    showLevel(otgMeterLabel, meanPeak(meters.entries[MeterBlock::kPhoneLeft],
                                      meters.entries[MeterBlock::kPhoneRight]));
}
