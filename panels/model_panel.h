#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <QWidget>

class Button;
class Knob;

// The part of the unit a control sets. A recalled preset sets the inputs only,
// so that it never changes what the speakers or headphones play at.
enum class ControlSection {
    Input,  // gains, 20dB pad, 48V, MIC/INST, DIRECT, the phone levels
    Output, // speaker and headphone levels, MUTE, DIM
};

// One stored control of a panel as code outside the panel reaches it. Setting
// it through Knob::setValue or Button::setState is the user's own change: the
// panel sends it to the unit and saves it.
struct PanelControl {
    QString name; // stable, lowercase, English: "mic1.gain"
    QString key;  // its key in the model's settings file
    ControlSection section = ControlSection::Input;
    Knob* knob = nullptr;     // a dial, or
    Button* button = nullptr; // a switch
    QVariant fallback;        // its value at rest
};

// What the three model panels have in common for the rest of the program.
class ModelPanel : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The model in lower case, as its settings file is named: "vt1", "vt2"
    // or "vr".
    virtual QString model() const = 0;

    // Every stored control, in the order the panel restores them; empty when
    // the unit did not open and the panel stayed empty.
    virtual QVector<PanelControl> controls() const = 0;
};
