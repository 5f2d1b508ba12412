#pragma once

// The controls quorlinctl reaches by name: the stored controls of the panel
// the main window shows, in the order Tab visits them, and the settings
// dialog's option boxes. What the commands (and any new command family)
// need to read a control as the panel shows it, to check a value before any
// change, to make the change as the user's own, and to learn whether the unit
// refused it.

#include "app/control_commands.h"
#include "panels/model_panel.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>
#include <atomic>
#include <optional>

class Button;
class Knob;
class QComboBox;
class QThread;

// One control as quorlinctl names it: a panel's dial or switch, or one of
// the settings dialog's option boxes.
struct NamedControl {
    QString name;
    Knob* knob = nullptr;
    Button* button = nullptr;
    QComboBox* box = nullptr;
    bool boxIsSwitch = false;
    ControlSection section = ControlSection::Input; // of a panel control
};

// A checked change, ready to be made.
struct Change {
    const NamedControl* control = nullptr;
    int value = 0; // the dial's value, the switch's state or the box's index
};

// The panel of the connected unit, or null when no unit is connected.
ModelPanel* connectedPanel(const ControlTarget& target);

// The panel's stored controls in the order Tab visits them (the focus chain:
// column by column, each from top to bottom), then the dialog's options in
// the order it shows them.
QVector<NamedControl> namedControls(const ControlTarget& target, ModelPanel* panel);

// The control called `name`, or null.
const NamedControl* findControl(const QVector<NamedControl>& controls, const QString& name);

// The numbers a dial can show, as runs of consecutive numbers: a VT2 gain
// dial shows 0, then 10 to 65.
QVector<QPair<qint64, qint64>> shownRanges(const Knob& knob);

// The value as the panel shows it: the dial's number, "on" or "off", the
// option box's text.
QString valueText(const NamedControl& control);

// The values a switch or an option takes, as shown ("off", "on"; "44100",
// "48000"); none for a dial (see shownRanges).
QStringList choices(const NamedControl& control);

// What a control takes, for the message about a bad value: "a number from
// -80 to 6", "on or off", "one of 44100, 48000".
QString accepted(const NamedControl& control);

// The value the control takes for `text`, the way the panel shows it; none
// for a text it cannot show (a number out of range is refused, not clamped).
// Switches take on/off, 1/0 and true/false.
std::optional<int> controlValue(const NamedControl& control, const QString& text);

// The user's own change: the dial's or switch's signal runs the panel's
// handler (sent, saved, logged, repainted); a box's index change runs the
// dialog's reconfiguration.
void makeChange(const Change& change);

// Collects the failure lines the panel and the dialog log on this thread
// while it lives ("Failed to set headphone volume.", "设置音频采样率失败，…"),
// passing every message on to the handler installed before it, whichever
// that is.
class FailureLines {
public:
    FailureLines();
    ~FailureLines();
    FailureLines(const FailureLines&) = delete;
    FailureLines& operator=(const FailureLines&) = delete;

    QStringList lines;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    static inline std::atomic<FailureLines*> active{nullptr};
    QThread* thread;
    QtMessageHandler previous = nullptr;
};
