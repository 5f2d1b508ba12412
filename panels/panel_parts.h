#pragma once

// Pieces the three model panels share: the settings file, the save step, the
// driver set-up, the Mixer block presets, the look of their controls and the
// meter readouts.

#include "panels/model_panel.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <initializer_list>
#include <variant>

class Button;
class Knob;
class LevelReadout;
class QFrame;
class QLabel;
class QSettings;
class QVBoxLayout;
class QWidget;
class QuorlinIoControl;
struct MeterBlock;
struct MixerBlock;

namespace PanelParts {

// ---- settings file ---------------------------------------------------------

// Opens "<AppDataLocation>/<fileName>" as an INI file owned by `panel`,
// creating the directory first.
QSettings* openSettings(QWidget* panel, const QString& fileName);

// The save step: write the value, then sync the file at once.
void save(QSettings* settings, const QString& key, const QVariant& value);

// One stored control: its command-line name, its section, its key, the panel
// member that holds it and its default. A panel keeps one table of these, in
// restore order; restoring, saving and PanelControl all read it.
template<typename Panel> struct StoredControl {
    const char* name;
    ControlSection section;
    const char* key;
    std::variant<Button * Panel::*, Knob * Panel::*> control;
    QVariant fallback;
};

// Restores every control of `table` in order, through Button::setState and
// Knob::setValue, so that each control's handler sends it to the unit.
template<typename Panel, std::size_t N>
void restoreControls(Panel& panel, QSettings* settings, const StoredControl<Panel> (&table)[N]);

// The rows of `table` as PanelControls of `panel`.
template<typename Panel, std::size_t N>
QVector<PanelControl> describeControls(const Panel& panel, const StoredControl<Panel> (&table)[N]);

// Saves the control's own state under its key in `table`.
template<typename Panel, typename Control, std::size_t N>
void saveControl(Panel& panel, QSettings* settings, const StoredControl<Panel> (&table)[N],
                 Control* Panel::*control);

// ---- driver ----------------------------------------------------------------

// Opens the panel's driver connection; logs "Failed to create device in
// <model>." when no device answers.
bool openDevice(QuorlinIoControl& device, const char* model);

// Sets each output channel's volume to full. A refusal of any channel logs
// "Failed to set output volume." once; the panel is built all the same, since
// an empty panel would leave the unit without its controls, its stored state
// and its meters until it is plugged in again.
void setOutputVolumes(QuorlinIoControl& device, std::initializer_list<std::uint8_t> channels);

// Sends an input gain dial's value (the unit takes twice the dial value) and
// logs the outcome.
bool sendMicGain(QuorlinIoControl& device, std::uint8_t channel, int dialValue);

// Routes an input straight to the outputs (1.0) or not (0.0): sets the given
// cells, sends the block and logs the outcome.
struct Cell {
    int row;
    int column;
};
bool sendDirectMonitoring(QuorlinIoControl& device, MixerBlock& mixer,
                          std::initializer_list<Cell> cells, bool on);

// Writes the linear gain of `levelDb` into the output-level cells of the
// given outputs and returns it. The block is not sent.
double setOutputLevel(MixerBlock& mixer, std::initializer_list<int> outputs, int levelDb);

// Reads the meters; logs "Failed to read meter data from driver." on failure.
bool readMeters(QuorlinIoControl& device, MeterBlock& meters);

// Shows a meter entry as "<dB with one decimal> dB".
void showLevel(QLabel* label, std::int32_t peak);

// ---- Mixer block -----------------------------------------------------------

struct MixerPresets {
    bool secondOutputPair = false; // VT2: outputs 4 and 5 are wired too
    bool phoneAtUnity = false;     // VR: no dial owns the phone cells
};

// Zero-fills the block and sets the routes every panel starts from.
void presetMixer(MixerBlock& mixer, MixerPresets presets);

// ---- look ------------------------------------------------------------------

inline const QString kTitleStyle =
    QStringLiteral("font-weight: bold; font-size: 12px; color: white;");
inline const QString kCaptionStyle = QStringLiteral("font-size: 12px; color: white;");
inline const QString kPhoneCaptionStyle = QStringLiteral("font-size: 10px; color: white;");
inline const QString kMeterStyle = QStringLiteral("color: #888888; font-size: 8px;");

inline const QString kGainArcColor = QStringLiteral("#f1fa8c");
inline const QString kKnobTextColor = QStringLiteral("#00ff7f");

inline const QString kGreenAccent = QStringLiteral("#00ff7f");
inline const QString kOrangeAccent = QStringLiteral("#ff7f00");
inline const QString kRedAccent = QStringLiteral("#ff1111");
inline const QString kCyanAccent = QStringLiteral("#00FFFF");

// A centred label, child of `panel`.
QLabel* makeLabel(QWidget* panel, const QString& text, const QString& styleSheet);
// A level readout showing "-160 dB" until the first meter read. `name` is
// what a screen reader calls it ("MIC1 level"); it reads the level with it.
LevelReadout* makeMeterLabel(QWidget* panel, const QString& name);
// The thin line between a panel's columns.
QFrame* makeDivider(QWidget* panel);

// A panel switch: created on its own, then given to the panel, styled with the
// accent as its "on" text and glow colour. Tall switches are MUTE and DIM.
enum class ButtonSize { Regular, Tall };
Button* makeButton(QWidget* panel, const QString& text, const QString& accent,
                   ButtonSize size = ButtonSize::Regular);

// The dials: a 120 px input gain dial, a 120 px output level dial, and the
// 70 px phone level dial.
Knob* makeGainKnob(QWidget* panel, int maximum, int displayOffset = 0);
Knob* makeLevelKnob(QWidget* panel);
Knob* makePhoneKnob(QWidget* panel);

// What a screen reader calls an output column's controls, in the panel's
// words ("Headphone Volume", "Headphone MUTE", "Headphone DIM") and the
// phone readout ("Phone level"). The phone dial is named by its caption.
struct OutputNames {
    QString volume;
    QString mute;
    QString dim;
    QString phoneLevel;
};

// An output column: its title, the level dial, the "Volume" caption, MUTE and
// DIM side by side, and, when `phoneCaption` is not empty, the phone level
// dial beside its readout and caption. The texts come translated from the
// panel. Tab goes through the column top to bottom, MUTE before DIM.
struct OutputSection {
    QVBoxLayout* column = nullptr;
    Knob* dial = nullptr;
    Button* mute = nullptr;
    Button* dim = nullptr;
    Knob* phoneDial = nullptr;
    LevelReadout* phoneReadout = nullptr;
};
OutputSection makeOutputSection(QWidget* panel, const QString& title, const QString& volumeCaption,
                                const QString& captionStyle, const OutputNames& names,
                                const QString& phoneCaption = {});

} // namespace PanelParts

#include "panels/panel_parts_impl.h"
