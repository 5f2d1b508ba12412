#include "panels/vr.h"

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

// The captions of this panel carry a leading blank in their style.
const QString kVrCaptionStyle = QStringLiteral(" font-size: 12px; color: white;");

// DIRECT plays the input into the headphones (outputs 0 and 1).
constexpr std::initializer_list<Cell> kDirectCells = {
    {MixerBlock::kOutputBank, MixerBlock::kInput1},
    {MixerBlock::kOutputBank + 1, MixerBlock::kInput2},
};
constexpr std::initializer_list<int> kHeadphoneOutputs = {0, 1};

} // namespace

const StoredControl<vr> vr::storedControls[] = {
    {"mic.direct", ControlSection::Input, "Button/MonitorMicIsChecked", &vr::monitorMicButton,
     false},
    {"mic.gain", ControlSection::Input, "Dial/MicValue", &vr::micDial, 0},
    {"headphone.volume", ControlSection::Output, "Dial/HeadphoneValue", &vr::headphoneDial, -80},
    {"headphone.mute", ControlSection::Output, "Button/HeadphoneMuteIsChecked",
     &vr::headphoneMuteButton, false},
    {"headphone.dim", ControlSection::Output, "Button/HeadphoneDimIsChecked",
     &vr::headphoneDimButton, false},
};

vr::vr()
    : ModelPanel(nullptr)
{
    ioControl = new QuorlinIoControl;
    if (!openDevice(*ioControl, "vr"))
        return;
    setOutputVolumes(*ioControl, {1, 2});
    settings = openSettings(this, QStringLiteral("vr.ini"));
    buildLayout();
    presetMixer(mixer, {/*secondOutputPair=*/false, /*phoneAtUnity=*/true});

    auto* meterTimer = new QTimer(this);
    connect(meterTimer, &QTimer::timeout, this, &vr::updateMeters);
    meterTimer->start(kMeterIntervalMs);

    loadControlState();
}

vr::~vr()
{
    if (ioControl) {
        ioControl->CloseDevice();
        delete ioControl;
    }
    delete settings;
}

QVector<PanelControl> vr::controls() const
{
    if (!settings)
        return {};
    return describeControls(*this, storedControls);
}

void vr::buildLayout()
{
    auto* panelLayout = new QHBoxLayout(this);
    panelLayout->setAlignment(Qt::AlignCenter);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    auto* inputColumn = new QVBoxLayout;
    inputColumn->setContentsMargins(10, 10, 20, 10);
    inputColumn->addWidget(makeLabel(this, tr("MIC"), kTitleStyle));
    micDial = makeGainKnob(this, kMicGainMaximum);
    micDial->setAccessibleName(tr("MIC Gain"));
    inputColumn->addWidget(micDial);
    inputMeterLabel = makeMeterLabel(this, tr("MIC level"));
    inputColumn->addWidget(inputMeterLabel);
    inputColumn->addWidget(makeLabel(this, tr("Gain"), kVrCaptionStyle));
    monitorMicButton = makeButton(this, tr("DIRECT"), kCyanAccent);
    monitorMicButton->setAccessibleName(tr("MIC DIRECT"));
    auto* inputButtons = new QVBoxLayout;
    inputButtons->setAlignment(Qt::AlignCenter);
    inputButtons->addWidget(monitorMicButton);
    inputColumn->addLayout(inputButtons);

    const OutputSection headphones = makeOutputSection(
        this, QStringLiteral("HEADPHONE"), tr("Volume"), kVrCaptionStyle,
        {tr("Headphone Volume"), tr("Headphone MUTE"), tr("Headphone DIM"), QString()});
    headphoneDial = headphones.dial;
    headphoneMuteButton = headphones.mute;
    headphoneDimButton = headphones.dim;

    panelLayout->addLayout(inputColumn);
    panelLayout->addWidget(makeDivider(this));
    panelLayout->addLayout(headphones.column);

    connect(micDial, &Knob::valueChangedSig, this, &vr::onMicValueChanged);
    connect(monitorMicButton, &Button::pressed, this, &vr::onMonitorMicClicked);
    connect(headphoneDial, &Knob::valueChangedSig, this, &vr::setHeadphoneVolume);
    connect(headphoneMuteButton, &Button::pressed, this, &vr::onHeadphoneMuteClicked);
    connect(headphoneDimButton, &Button::pressed, this, &vr::onHeadphoneDimClicked);
}

void vr::loadControlState()
{
    restoreControls(*this, settings, storedControls);
    qDebug() << "已从配置文件加载控件状态";
}

template<typename Control> void vr::saveState(Control* vr::*control)
{
    saveControl(*this, settings, storedControls, control);
}

void vr::onMicValueChanged(int value)
{
    sendMicGain(*ioControl, kMicChannel, value);
    saveState(&vr::micDial);
}

void vr::onMonitorMicClicked(bool status)
{
    sendDirectMonitoring(*ioControl, mixer, kDirectCells, status);
    saveState(&vr::monitorMicButton);
}

void vr::setHeadphoneVolume(int value)
{
    setOutputLevel(mixer, kHeadphoneOutputs,
                   effectiveOutputLevel(value, headphoneMuted, headphoneDimmed));
    if (!ioControl->WriteMixer(mixer))
        qDebug() << "Failed to set headphone volume.";
    saveState(&vr::headphoneDial);
}

void vr::onHeadphoneMuteClicked(bool status)
{
    headphoneMuted = status;
    if (status) {
        setHeadphoneVolume(kMutedLevelDb);
        qDebug() << "Headphone Mute Button Clicked: Mute ON";
    } else {
        setHeadphoneVolume(headphoneDial->value);
        qDebug() << "Headphone Mute Button Clicked: Mute OFF";
    }
    saveState(&vr::headphoneMuteButton);
}

void vr::onHeadphoneDimClicked(bool status)
{
    headphoneDimmed = status;
    setHeadphoneVolume(headphoneDial->value);
    qDebug() << (status ? "Headphone Dim Button Clicked: Dim ON"
                        : "Headphone Dim Button Clicked: Dim OFF");
    saveState(&vr::headphoneDimButton);
}

void vr::updateMeters()
{
    if (!readMeters(*ioControl, meters))
        return;
    showLevel(inputMeterLabel, meters.entries[MeterBlock::kInput1]);
}
