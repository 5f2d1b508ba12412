#include "panels/vt2.h"

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
#include <utility>

using namespace PanelParts;

namespace {

constexpr std::uint8_t kMic1Channel = 1;
constexpr std::uint8_t kMic2Channel = 2;
constexpr int kMicGainMaximum = 56;
// The gain dials read 0 dB at rest and 10 to 65 dB over their range.
constexpr int kMicGainDisplayOffset = 9;
constexpr int kMeterIntervalMs = 500;

// The speaker is outputs 0 and 1, the headphones outputs 4 and 5.
constexpr int kSpeakerLeft = 0;
constexpr int kHeadphoneLeft = 4;
constexpr std::initializer_list<int> kSpeakerOutputs = {kSpeakerLeft, kSpeakerLeft + 1};
constexpr std::initializer_list<int> kHeadphoneOutputs = {kHeadphoneLeft, kHeadphoneLeft + 1};

// DIRECT plays its input into both channels of both outputs.
constexpr int kSpeakerRow = MixerBlock::kOutputBank + kSpeakerLeft;
constexpr int kHeadphoneRow = MixerBlock::kOutputBank + kHeadphoneLeft;
constexpr std::initializer_list<Cell> kMic1DirectCells = {
    {kSpeakerRow, MixerBlock::kInput1},
    {kSpeakerRow + 1, MixerBlock::kInput1},
    {kHeadphoneRow, MixerBlock::kInput1},
    {kHeadphoneRow + 1, MixerBlock::kInput1},
};
constexpr std::initializer_list<Cell> kMic2DirectCells = {
    {kSpeakerRow, MixerBlock::kInput2},
    {kSpeakerRow + 1, MixerBlock::kInput2},
    {kHeadphoneRow, MixerBlock::kInput2},
    {kHeadphoneRow + 1, MixerBlock::kInput2},
};

// Sets the level of the phone input (left into the output's left channel,
// right into its right) and returns the gain. The block is not sent.
double setPhoneLevel(MixerBlock& mixer, int outputRow, int levelDb)
{
    const double gain = QuorlinIoControl::DbToLinear(levelDb);
    mixer(outputRow, MixerBlock::kPhoneLeft) = gain;
    mixer(outputRow + 1, MixerBlock::kPhoneRight) = gain;
    return gain;
}

} // namespace

const StoredControl<vt2> vt2::storedControls[] = {
    {"mic1.pad", ControlSection::Input, "Button/Mic120dBIsChecked", &vt2::mic1Pad20dBButton, false},
    {"mic1.48v", ControlSection::Input, "Button/Mic148VIsChecked", &vt2::mic1Phantom48VButton,
     false},
    {"mic1.direct", ControlSection::Input, "Button/MonitorMic1IsChecked", &vt2::monitorMic1Button,
     false},
    {"mic1.gain", ControlSection::Input, "Dial/Mic1Value", &vt2::mic1Dial, 0},
    {"mic2.gain", ControlSection::Input, "Dial/Mic2Value", &vt2::mic2Dial, 0},
    {"mic2.pad", ControlSection::Input, "Button/Mic220dBIsChecked", &vt2::mic2Pad20dBButton, false},
    {"mic2.48v", ControlSection::Input, "Button/Mic248VIsChecked", &vt2::mic2Phantom48VButton,
     false},
    {"mic2.direct", ControlSection::Input, "Button/MonitorMic2IsChecked", &vt2::monitorMic2Button,
     false},
    {"speaker.volume", ControlSection::Output, "Dial/SpeakerValue", &vt2::speakerDial, -80},
    {"speaker.mute", ControlSection::Output, "Button/SpeakerMuteIsChecked", &vt2::speakerMuteButton,
     false},
    {"speaker.dim", ControlSection::Output, "Button/SpeakerDimIsChecked", &vt2::speakerDimButton,
     false},
    {"headphone.volume", ControlSection::Output, "Dial/HeadphoneValue", &vt2::headphoneDial, -80},
    {"headphone.mute", ControlSection::Output, "Button/HeadphoneMuteIsChecked",
     &vt2::headphoneMuteButton, false},
    {"headphone.dim", ControlSection::Output, "Button/HeadphoneDimIsChecked",
     &vt2::headphoneDimButton, false},
    {"phone-to-hp.volume", ControlSection::Input, "Dial/OtgToHpValue", &vt2::otgToHpDial, 0},
    {"phone-to-sp.volume", ControlSection::Input, "Dial/OtgToSPValue", &vt2::otgToSpDial, 0},
};

vt2::vt2()
    : ModelPanel(nullptr)
{
    ioControl = new QuorlinIoControl;
    if (!openDevice(*ioControl, "vt2"))
        return;
    setOutputVolumes(*ioControl, {1, 2, 5, 6});
    settings = openSettings(this, QStringLiteral("vt2.ini"));
    buildLayout();
    presetMixer(mixer, {/*secondOutputPair=*/true, /*phoneAtUnity=*/false});

    auto* meterTimer = new QTimer(this);
    connect(meterTimer, &QTimer::timeout, this, &vt2::updateMeters);
    meterTimer->start(kMeterIntervalMs);

    loadControlState();
}

vt2::~vt2()
{
    if (ioControl) {
        ioControl->CloseDevice();
        delete ioControl;
    }
    delete settings;
}

QVBoxLayout* vt2::buildMicColumn(const QString& title, Knob*& dial, Button*& pad20dB,
                                 Button*& phantom48V, Button*& direct, QLabel*& meter)
{
    auto* column = new QVBoxLayout;
    column->setContentsMargins(10, 10, 20, 10);
    column->addWidget(makeLabel(this, title, kTitleStyle));
    dial = makeGainKnob(this, kMicGainMaximum, kMicGainDisplayOffset);
    dial->setAccessibleName(tr("%1 Gain", "MIC1 or MIC2").arg(title));
    column->addWidget(dial);
    meter = makeMeterLabel(this, tr("%1 level", "MIC1 or MIC2").arg(title));
    column->addWidget(meter);
    column->addWidget(makeLabel(this, tr("Gain"), kCaptionStyle));

    pad20dB = makeButton(this, QStringLiteral("20dB"), kOrangeAccent);
    phantom48V = makeButton(this, QStringLiteral("48V"), kRedAccent);
    direct = makeButton(this, tr("DIRECT"), kCyanAccent);
    pad20dB->setAccessibleName(tr("%1 20dB", "MIC1 or MIC2").arg(title));
    phantom48V->setAccessibleName(tr("%1 48V", "MIC1 or MIC2").arg(title));
    direct->setAccessibleName(tr("%1 DIRECT", "MIC1 or MIC2").arg(title));
    auto* buttons = new QVBoxLayout;
    buttons->setAlignment(Qt::AlignCenter);
    for (Button* button : {pad20dB, phantom48V, direct})
        buttons->addWidget(button);
    column->addLayout(buttons);
    column->addStretch();
    return column;
}

QVector<PanelControl> vt2::controls() const
{
    if (!settings)
        return {};
    return describeControls(*this, storedControls);
}

void vt2::buildLayout()
{
    auto* panelLayout = new QHBoxLayout(this);
    panelLayout->setAlignment(Qt::AlignCenter);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    panelLayout->addLayout(buildMicColumn(tr("MIC1"), mic1Dial, mic1Pad20dBButton,
                                          mic1Phantom48VButton, monitorMic1Button, mic1MeterLabel));
    panelLayout->addLayout(buildMicColumn(tr("MIC2"), mic2Dial, mic2Pad20dBButton,
                                          mic2Phantom48VButton, monitorMic2Button, mic2MeterLabel));
    panelLayout->addWidget(makeDivider(this));
    const OutputSection speaker = makeOutputSection(
        this, tr("SPEAKER"), tr("Volume"), kCaptionStyle,
        {tr("Speaker Volume"), tr("Speaker MUTE"), tr("Speaker DIM"), tr("Speaker phone level")},
        tr("Phone To SP Volume"));
    speakerDial = speaker.dial;
    speakerMuteButton = speaker.mute;
    speakerDimButton = speaker.dim;
    otgToSpDial = speaker.phoneDial;
    otgSpMeterLabel = speaker.phoneReadout;
    panelLayout->addLayout(speaker.column);

    const OutputSection headphones =
        makeOutputSection(this, tr("HEADPHONE"), tr("Volume"), kCaptionStyle,
                          {tr("Headphone Volume"), tr("Headphone MUTE"), tr("Headphone DIM"),
                           tr("Headphone phone level")},
                          tr("Phone To HP Volume"));
    headphoneDial = headphones.dial;
    headphoneMuteButton = headphones.mute;
    headphoneDimButton = headphones.dim;
    otgToHpDial = headphones.phoneDial;
    otgHpMeterLabel = headphones.phoneReadout;
    panelLayout->addLayout(headphones.column);

    // Named after their members, for tests and debugging.
    const std::pair<QWidget*, const char*> names[] = {
        {mic1Dial, "mic1Dial"},
        {mic1Pad20dBButton, "mic1Pad20dBButton"},
        {mic1Phantom48VButton, "mic1Phantom48VButton"},
        {monitorMic1Button, "monitorMic1Button"},
        {mic1MeterLabel, "mic1MeterLabel"},
        {mic2Dial, "mic2Dial"},
        {mic2Pad20dBButton, "mic2Pad20dBButton"},
        {mic2Phantom48VButton, "mic2Phantom48VButton"},
        {monitorMic2Button, "monitorMic2Button"},
        {mic2MeterLabel, "mic2MeterLabel"},
        {speakerDial, "speakerDial"},
        {speakerMuteButton, "speakerMuteButton"},
        {speakerDimButton, "speakerDimButton"},
        {otgToSpDial, "otgToSpDial"},
        {otgSpMeterLabel, "otgSpMeterLabel"},
        {headphoneDial, "headphoneDial"},
        {headphoneMuteButton, "headphoneMuteButton"},
        {headphoneDimButton, "headphoneDimButton"},
        {otgToHpDial, "otgToHpDial"},
        {otgHpMeterLabel, "otgHpMeterLabel"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    connect(mic1Dial, &Knob::valueChangedSig, this, [this](int value) {
        setMicGain(kMic1Channel, value);
        saveState(&vt2::mic1Dial);
    });
    connect(mic1Pad20dBButton, &Button::pressed, this, [this](bool on) {
        switchMic20dB(kMic1Channel, on);
        saveState(&vt2::mic1Pad20dBButton);
    });
    connect(mic1Phantom48VButton, &Button::pressed, this, [this](bool on) {
        switchMic48V(kMic1Channel, on);
        saveState(&vt2::mic1Phantom48VButton);
    });
    connect(monitorMic1Button, &Button::pressed, this, &vt2::onMonitorMic1Clicked);
    connect(mic2Dial, &Knob::valueChangedSig, this, [this](int value) {
        setMicGain(kMic2Channel, value);
        saveState(&vt2::mic2Dial);
    });
    connect(mic2Pad20dBButton, &Button::pressed, this, [this](bool on) {
        switchMic20dB(kMic2Channel, on);
        saveState(&vt2::mic2Pad20dBButton);
    });
    connect(mic2Phantom48VButton, &Button::pressed, this, [this](bool on) {
        switchMic48V(kMic2Channel, on);
        saveState(&vt2::mic2Phantom48VButton);
    });
    connect(monitorMic2Button, &Button::pressed, this, &vt2::onMonitorMic2Clicked);
    connect(speakerDial, &Knob::valueChangedSig, this, &vt2::setSpeakerVolume);
    connect(speakerMuteButton, &Button::pressed, this, &vt2::onSpeakerMuteClicked);
    connect(speakerDimButton, &Button::pressed, this, &vt2::onSpeakerDimClicked);
    connect(otgToSpDial, &Knob::valueChangedSig, this, &vt2::onOtgToSpValueChanged);
    connect(headphoneDial, &Knob::valueChangedSig, this, &vt2::setHeadphoneVolume);
    connect(headphoneMuteButton, &Button::pressed, this, &vt2::onHeadphoneMuteClicked);
    connect(headphoneDimButton, &Button::pressed, this, &vt2::onHeadphoneDimClicked);
    connect(otgToHpDial, &Knob::valueChangedSig, this, &vt2::onOtgToHpValueChanged);
}

void vt2::loadControlState()
{
    restoreControls(*this, settings, storedControls);
    qDebug() << "已从配置文件加载控件状态";
}

// The save step of this panel: store, sync, and say so in the log.
template<typename Control> void vt2::saveState(Control* vt2::*control)
{
    saveControl(*this, settings, storedControls, control);
    qDebug() << "控件状态已保存到配置文件";
}

void vt2::setMicGain(int channel, int value)
{
    sendMicGain(*ioControl, static_cast<std::uint8_t>(channel), value);
}

void vt2::switchMic20dB(int channel, bool on)
{
    qDebug() << "Mic 20dB Button Clicked" << int(on);
    if (ioControl->SetMic20dB(static_cast<std::uint8_t>(channel), on))
        qDebug().nospace() << "Mic 20dB switched for channel " << channel << ".";
    else
        qDebug() << "Failed to switch mic 20dB.";
}

void vt2::switchMic48V(int channel, bool on)
{
    qDebug() << "Mic 48V Button Clicked" << int(on);
    if (ioControl->SetMic48V(static_cast<std::uint8_t>(channel), on))
        qDebug().nospace() << "Mic 48V switched for channel " << channel << ".";
    else
        qDebug() << "Failed to switch mic 48V.";
}

void vt2::onMonitorMic1Clicked(bool checked)
{
    sendDirectMonitoring(*ioControl, mixer, kMic1DirectCells, checked);
    saveState(&vt2::monitorMic1Button);
}

void vt2::onMonitorMic2Clicked(bool checked)
{
    sendDirectMonitoring(*ioControl, mixer, kMic2DirectCells, checked);
    saveState(&vt2::monitorMic2Button);
}

void vt2::onOtgToHpValueChanged(int value)
{
    const double gain = setPhoneLevel(mixer, kHeadphoneRow, value);
    if (ioControl->WriteMixer(mixer))
        qDebug() << "OTG to HP volume set to:" << gain;
    else
        qDebug() << "Failed to set OTG to HP volume.";
    saveState(&vt2::otgToHpDial);
}

void vt2::onOtgToSpValueChanged(int value)
{
    const double gain = setPhoneLevel(mixer, kSpeakerRow, value);
    if (ioControl->WriteMixer(mixer))
        qDebug() << "OTG to SP volume set to:" << gain;
    else
        qDebug() << "Failed to set OTG to SP volume.";
    saveState(&vt2::otgToSpDial);
}

void vt2::setSpeakerVolume(int value)
{
    qDebug() << "Speaker Knob value changed:" << value;
    const int level = effectiveOutputLevel(value, speakerMuted, speakerDimmed);
    setOutputLevel(mixer, kSpeakerOutputs, level);
    if (ioControl->WriteMixer(mixer))
        qDebug() << "Speaker volume set to:" << level;
    else
        qDebug() << "Failed to set speaker volume.";
    saveState(&vt2::speakerDial);
}

void vt2::setHeadphoneVolume(int value)
{
    qDebug() << "Headphone Knob value changed:" << value;
    const int level = effectiveOutputLevel(value, headphoneMuted, headphoneDimmed);
    setOutputLevel(mixer, kHeadphoneOutputs, level);
    if (ioControl->WriteMixer(mixer))
        qDebug() << "Headphone volume set to:" << level;
    else
        qDebug() << "Failed to set headphone volume.";
    saveState(&vt2::headphoneDial);
}

void vt2::onSpeakerMuteClicked(bool checked)
{
    speakerMuted = checked;
    if (checked) {
        setSpeakerVolume(kMutedLevelDb);
        qDebug() << "Speaker Mute Button Clicked: Mute ON";
    } else {
        setSpeakerVolume(speakerDial->value);
        qDebug() << "Speaker Mute Button Clicked: Mute OFF";
    }
    saveState(&vt2::speakerMuteButton);
}

void vt2::onSpeakerDimClicked(bool checked)
{
    speakerDimmed = checked;
    setSpeakerVolume(speakerDial->value);
    saveState(&vt2::speakerDimButton);
}

void vt2::onHeadphoneMuteClicked(bool checked)
{
    headphoneMuted = checked;
    setHeadphoneVolume(headphoneDial->value);
    saveState(&vt2::headphoneMuteButton);
}

void vt2::onHeadphoneDimClicked(bool checked)
{
    headphoneDimmed = checked;
    setHeadphoneVolume(headphoneDial->value);
    saveState(&vt2::headphoneDimButton);
}

void vt2::updateMeters()
{
    if (!readMeters(*ioControl, meters))
        return;
    showLevel(mic1MeterLabel, meters.entries[MeterBlock::kInput1]);
    showLevel(mic2MeterLabel, meters.entries[MeterBlock::kInput2]);
    const std::int32_t phone =
        meanPeak(meters.entries[MeterBlock::kPhoneLeft], meters.entries[MeterBlock::kPhoneRight]);
    showLevel(otgHpMeterLabel, phone);
    showLevel(otgSpMeterLabel, phone);
}
