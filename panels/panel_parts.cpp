#include "panels/panel_parts.h"

#include "controls/button.h"
#include "controls/knob.h"
#include "controls/level_readout.h"
#include "driver/meter_block.h"
#include "driver/mixer_block.h"
#include "driver/quorlin_io_control.h"

#include <QDebug>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace PanelParts {

namespace {

constexpr std::uint16_t kFullOutputVolume = 100;
constexpr double kUnity = 1.0;

const QString kButtonUncheckedText = QStringLiteral("#8a95aa");
const QString kButtonBackground = QStringLiteral("#1b1e23");
constexpr int kButtonRadius = 3;
constexpr int kButtonWidth = 80;
constexpr int kTallButtonHeight = 40;

constexpr int kMainKnobSize = 120;
constexpr int kPhoneKnobSize = 70;
constexpr int kPhoneKnobArcWidth = 3;
constexpr int kPhoneKnobFontSize = 10;
constexpr int kLevelMinimum = -80;
constexpr int kLevelMaximum = 6;

Knob* makeKnob(QWidget* panel, int size, int minimum, int maximum, int value)
{
    auto* knob = new Knob(panel);
    knob->setFixedSize(size, size);
    knob->minimum = minimum;
    knob->maximum = maximum;
    knob->value = value;
    knob->textColor = QColor(kKnobTextColor);
    return knob;
}

} // namespace

QSettings* openSettings(QWidget* panel, const QString& fileName)
{
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(directory);
    return new QSettings(directory + QLatin1Char('/') + fileName, QSettings::IniFormat, panel);
}

void save(QSettings* settings, const QString& key, const QVariant& value)
{
    settings->setValue(key, value);
    settings->sync();
}

bool openDevice(QuorlinIoControl& device, const char* model)
{
    if (device.OpenDevice())
        return true;
    qDebug().nospace() << "Failed to create device in " << model << ".";
    return false;
}

void setOutputVolumes(QuorlinIoControl& device, std::initializer_list<std::uint8_t> channels)
{
    bool accepted = true;
    for (std::uint8_t channel : channels)
        accepted = device.SetOutVolume(channel, kFullOutputVolume) && accepted;
    if (!accepted)
        qDebug() << "Failed to set output volume.";
}

bool sendMicGain(QuorlinIoControl& device, std::uint8_t channel, int dialValue)
{
    const auto volume = static_cast<std::uint16_t>(dialValue * 2);
    if (device.SetMicVolume(channel, volume)) {
        qDebug() << "Mic volume set to:" << dialValue;
        return true;
    }
    qDebug() << "Failed to set mic volume.";
    return false;
}

bool sendDirectMonitoring(QuorlinIoControl& device, MixerBlock& mixer,
                          std::initializer_list<Cell> cells, bool on)
{
    for (const Cell& cell : cells)
        mixer(cell.row, cell.column) = on ? kUnity : 0.0;
    if (device.WriteMixer(mixer)) {
        qDebug() << "Monitor Mic set to:" << int(on);
        return true;
    }
    qDebug() << "Failed to set Monitor Mic.";
    return false;
}

double setOutputLevel(MixerBlock& mixer, std::initializer_list<int> outputs, int levelDb)
{
    const double gain = QuorlinIoControl::DbToLinear(levelDb);
    for (int output : outputs)
        mixer(MixerBlock::kOutputLevelRow, output) = gain;
    return gain;
}

bool readMeters(QuorlinIoControl& device, MeterBlock& meters)
{
    if (device.ReadMeters(meters))
        return true;
    qDebug() << "Failed to read meter data from driver.";
    return false;
}

void showLevel(QLabel* label, std::int32_t peak)
{
    if (auto* readout = qobject_cast<LevelReadout*>(label))
        readout->setLevel(meterReadoutText(peak));
    else
        label->setText(meterReadoutText(peak));
}

void presetMixer(MixerBlock& mixer, MixerPresets presets)
{
    mixer.clear();
    for (int i = 0; i < 8; ++i) {
        mixer(4 + i, i) = kUnity;
        mixer(160 + i, i) = kUnity;
    }
    for (int pair : {96, 128, 130})
        mixer(pair, MixerBlock::kInput1) = mixer(pair + 1, MixerBlock::kInput2) = kUnity;
    if (presets.secondOutputPair)
        for (int pair : {100, 132})
            mixer(pair, MixerBlock::kInput1) = mixer(pair + 1, MixerBlock::kInput2) = kUnity;
    if (presets.phoneAtUnity) {
        mixer(MixerBlock::kOutputBank, MixerBlock::kPhoneLeft) = kUnity;
        mixer(MixerBlock::kOutputBank + 1, MixerBlock::kPhoneRight) = kUnity;
    }
    for (int row : MixerBlock::kOutputVectorRows)
        for (int column = 0; column < MixerBlock::kColumns; ++column)
            mixer(row, column) = kUnity;
}

QLabel* makeLabel(QWidget* panel, const QString& text, const QString& styleSheet)
{
    auto* label = new QLabel(text, panel);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(styleSheet);
    return label;
}

LevelReadout* makeMeterLabel(QWidget* panel, const QString& name)
{
    auto* readout = new LevelReadout(name, kMeterReadoutBeforeFirstRead, panel);
    readout->setAlignment(Qt::AlignCenter);
    readout->setStyleSheet(kMeterStyle);
    return readout;
}

QFrame* makeDivider(QWidget* panel)
{
    auto* divider = new QFrame(panel);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setFixedWidth(1);
    divider->setStyleSheet(QStringLiteral("background-color: #555555;"));
    return divider;
}

Button* makeButton(QWidget* panel, const QString& text, const QString& accent, ButtonSize size)
{
    auto* button = new Button(text);
    button->setParent(panel);
    button->borderRadius = kButtonRadius;
    button->uncheckedTextColor = kButtonUncheckedText;
    button->checkedBackground = kButtonBackground;
    button->uncheckedBackground = kButtonBackground;
    button->checkedTextColor = accent;
    button->glowColor = accent;
    button->setMinimumWidth(kButtonWidth);
    button->setMaximumWidth(kButtonWidth);
    if (size == ButtonSize::Tall)
        button->setMinimumHeight(kTallButtonHeight);
    button->updateStyle();
    return button;
}

Knob* makeGainKnob(QWidget* panel, int maximum, int displayOffset)
{
    Knob* knob = makeKnob(panel, kMainKnobSize, 0, maximum, 0);
    knob->displayOffset = displayOffset;
    knob->arcColor = QColor(kGainArcColor);
    return knob;
}

Knob* makeLevelKnob(QWidget* panel)
{
    return makeKnob(panel, kMainKnobSize, kLevelMinimum, kLevelMaximum, kLevelMinimum);
}

Knob* makePhoneKnob(QWidget* panel)
{
    Knob* knob = makeKnob(panel, kPhoneKnobSize, kLevelMinimum, kLevelMaximum, kLevelMinimum);
    knob->arcWidth = kPhoneKnobArcWidth;
    knob->fontSize = kPhoneKnobFontSize;
    return knob;
}

OutputSection makeOutputSection(QWidget* panel, const QString& title, const QString& volumeCaption,
                                const QString& captionStyle, const OutputNames& names,
                                const QString& phoneCaption)
{
    OutputSection section;
    section.column = new QVBoxLayout;
    section.column->setAlignment(Qt::AlignCenter);
    section.column->setContentsMargins(20, 10, 10, 10);
    section.column->addWidget(makeLabel(panel, title, kTitleStyle));

    section.dial = makeLevelKnob(panel);
    section.dial->setAccessibleName(names.volume);
    auto* dialRow = new QHBoxLayout;
    dialRow->addWidget(section.dial);
    section.column->addLayout(dialRow);
    section.column->addWidget(makeLabel(panel, volumeCaption, captionStyle));

    section.mute = makeButton(panel, QStringLiteral("MUTE"), kCyanAccent, ButtonSize::Tall);
    section.dim = makeButton(panel, QStringLiteral("DIM"), kCyanAccent, ButtonSize::Tall);
    section.mute->setAccessibleName(names.mute);
    section.dim->setAccessibleName(names.dim);
    auto* muteDimRow = new QHBoxLayout;
    muteDimRow->setAlignment(Qt::AlignCenter);
    muteDimRow->addWidget(section.mute);
    muteDimRow->addWidget(section.dim);
    section.column->addLayout(muteDimRow);

    if (!phoneCaption.isEmpty()) {
        section.phoneDial = makePhoneKnob(panel);
        section.phoneDial->setAccessibleName(phoneCaption);
        section.phoneReadout = makeMeterLabel(panel, names.phoneLevel);
        auto* phoneText = new QVBoxLayout;
        phoneText->setAlignment(Qt::AlignCenter);
        phoneText->addWidget(section.phoneReadout);
        phoneText->addWidget(makeLabel(panel, phoneCaption, kPhoneCaptionStyle));
        auto* phoneRow = new QHBoxLayout;
        phoneRow->setAlignment(Qt::AlignCenter);
        phoneRow->setSpacing(8);
        phoneRow->addWidget(section.phoneDial);
        phoneRow->addLayout(phoneText);
        section.column->addLayout(phoneRow);
    }
    section.column->addStretch();
    return section;
}

} // namespace PanelParts
