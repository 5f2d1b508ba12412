#pragma once

// Presets: named settings of a panel's input section, one INI file each in
// "<AppDataLocation>/presets/<model>/<name>.ini", beside the model's own
// settings file and in its form (the same keys, "true"/"false" and decimal
// numbers), plus the model and the format version:
//
//   [Preset]
//   Model=vt2
//   Version=1
//
//   [Button]
//   Mic148VIsChecked=false
//   ...
//   [Dial]
//   Mic1Value=20
//   ...
//
// A preset is read and checked whole before anything is used, under the
// stored state's rules but strictly: what the panel would replace by a
// default is a fault here, and so is a dial value outside the dial's range.
// Every fault is one message naming the file and the entry. Writes go to a
// new file that replaces the old one only once it is complete.

#include "panels/model_panel.h"
#include "presets/preset_name.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

namespace Presets {

inline constexpr int kFormatVersion = 1;
// Larger than any preset will ever be, small enough to refuse a stray file
// before reading it.
inline constexpr qint64 kMaxFileSize = 64 * 1024;

// Why an operation did not happen. Each comes with a message for the user.
enum class Fault {
    None,
    BadName,         // the name breaks a rule (NameRules::refusal)
    BuiltIn,         // the built-in preset cannot be replaced or deleted
    Exists,          // a preset of that name exists and was not to be replaced
    NotFound,        // no preset of that name
    BadFile,         // damaged, another model's, or not a preset at all
    WriteFailed,     // the file system refused; the old file is untouched
    PhantomDeclined, // switching 48 V on was not confirmed; nothing changed
    NoPanel,         // the unit's panel went away; nothing changed
};

struct Outcome {
    Fault fault = Fault::None;
    Message message; // empty when the operation was done
    bool ok() const { return fault == Fault::None; }
};

// The value of each input control by its key in the settings file: an int
// for a dial, a bool for a switch.
using Values = QHash<QString, QVariant>;

// Asked before a recall switches phantom power on where it is off, with the
// switches concerned as a screen reader names them ("MIC1 48V"). True goes
// ahead; false leaves everything as it is.
using PhantomQuestion = std::function<bool(const QStringList& switches)>;

// One control a recall sets, and its new value.
struct Change {
    PanelControl control;
    QVariant value;
};

// The presets of the model of one panel, and their recall onto that panel.
class PresetStore {
    Q_DECLARE_TR_FUNCTIONS(PresetStore)

public:
    // The panel must be complete (controls() not empty). Every method that
    // reads or sets its controls reports NoPanel once it is gone, since a
    // dialog's wait may outlast the unit.
    explicit PresetStore(ModelPanel& panel);

    // "<AppDataLocation>/presets/<model>", created when a preset is written.
    static QString directoryFor(const QString& model);
    QString directory() const { return dir; }

    // The built-in preset first, then the stored ones in alphabetical order
    // ignoring case. A file whose name breaks the rules is not listed.
    QStringList names() const;
    // The stored preset's own spelling of `name` (found ignoring case), or
    // an empty string when there is none.
    QString storedName(const QString& name) const;
    // Where the preset `name` is or would be stored.
    QString filePath(const QString& name) const;

    Values current() const;  // what the panel's inputs show now
    Values defaults() const; // every input at rest: the built-in preset

    // Reads and checks a stored preset (the built-in one included), or any
    // preset file.
    Outcome read(const QString& name, Values& values) const;
    Outcome readFile(const QString& path, Values& values) const;

    // Stores the panel's inputs as `name`. An existing preset of that name,
    // in any case, is replaced only with `replace`, and keeps its spelling.
    Outcome save(const QString& name, bool replace) const;
    Outcome remove(const QString& name) const;
    // Writes the preset `name` to `path`, checked and in the stored form.
    Outcome exportTo(const QString& name, const QString& path) const;
    // Checks the preset file `path` and stores it as `name`, or when `name`
    // is empty as the file's name without ".ini".
    Outcome importFrom(const QString& path, const QString& name, bool replace) const;

    // The controls whose value differs from `values`, in the order a recall
    // sets them: dials that go down, then switches, then dials that go up,
    // so that no input is louder on the way than at either end.
    QVector<Change> changes(const Values& values) const;
    // The phantom power switches among `changes` that go on.
    static QStringList phantomSwitchedOn(const QVector<Change>& changes);

    // Reads and checks the preset `name`, asks `askPhantom` when it switches
    // 48 V on anywhere, and sets each control that differs as the user does:
    // the panel sends it to the unit, saves it and moves the dial or switch.
    // On any fault or a "no", nothing changes.
    Outcome recall(const QString& name, const PhantomQuestion& askPhantom) const;

private:
    Outcome fault(Fault kind, const Message& message) const { return {kind, message}; }
    // `source`, marked with QT_TR_NOOP in this class's context, in both languages.
    static Message text(const char* source) { return {tr(source), QString::fromUtf8(source)}; }
    Outcome gone() const;
    Outcome write(const QString& path, const Values& values) const;
    QByteArray render(const Values& values) const;
    Outcome parse(const QString& path, const QByteArray& bytes, Values& values) const;

    QPointer<ModelPanel> panel;
    QString model; // "vt2"
    QString dir;
    QVector<PanelControl> inputs;
    QVector<PanelControl> outputs;
};

} // namespace Presets
