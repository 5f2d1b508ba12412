#include "app/control_commands.h"

#include "app/known_models.h"
#include "app/main_window.h"
#include "app/named_controls.h"
#include "controls/knob.h"
#include "presets/preset_store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using remote::Reply;
using remote::Request;

namespace {

QString noUnitMessage()
{
    return QStringLiteral("quorlinctl: no unit is connected. Plug in the Quorlin unit and wait "
                          "until the panel shows it.\n");
}

QString nothingChanged(const QString& why)
{
    return QStringLiteral("quorlinctl: %1 Nothing was changed.\n").arg(why);
}

// Firmware bytes that are not printable ASCII as \xNN, so that the line
// stays one line.
QString printable(const QString& text)
{
    QString shown;
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != QLatin1Char('\\'))
            shown += c;
        else
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return shown;
}

QString pairLines(const QVector<const NamedControl*>& controls)
{
    QString lines;
    for (const NamedControl* control : controls)
        lines += control->name + QLatin1Char('=') + valueText(*control) + QLatin1Char('\n');
    return lines;
}

QJsonValue jsonValue(const QString& text)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    return isNumber ? QJsonValue(number) : QJsonValue(text);
}

QJsonObject describe(const NamedControl& control)
{
    QJsonObject object{{QStringLiteral("name"), control.name},
                       {QStringLiteral("value"), jsonValue(valueText(control))}};
    if (control.knob) {
        QJsonArray ranges;
        for (const auto& [low, high] : shownRanges(*control.knob))
            ranges.append(QJsonArray{low, high});
        object.insert(QStringLiteral("type"), QStringLiteral("dial"));
        object.insert(QStringLiteral("unit"), control.knob->unit);
        object.insert(QStringLiteral("ranges"), ranges);
        return object;
    }
    QJsonArray values;
    for (const QString& item : choices(control))
        values.append(jsonValue(item));
    object.insert(QStringLiteral("type"), control.box && !control.boxIsSwitch
                                              ? QStringLiteral("choice")
                                              : QStringLiteral("switch"));
    object.insert(QStringLiteral("values"), values);
    return object;
}

} // namespace

Reply runStatus(const ControlTarget& target, const Request&)
{
    ModelPanel* panel = connectedPanel(target);
    if (!panel)
        return {remote::Done, QStringLiteral("connected=no\n"), {}};
    QString output = QStringLiteral("connected=yes\n");
    if (const KnownModel* model = target.window->model())
        output += QStringLiteral("model=%1\n").arg(QLatin1String(model->name));
    output += QStringLiteral("firmware=%1\n").arg(printable(target.window->firmware()));
    QVector<const NamedControl*> options;
    const QVector<NamedControl> controls = namedControls(target, panel);
    for (const NamedControl& control : controls) {
        if (control.box)
            options << &control;
    }
    return {remote::Done, output + pairLines(options), {}};
}

Reply runList(const ControlTarget& target, const Request& request)
{
    ModelPanel* panel = connectedPanel(target);
    if (!panel)
        return {remote::NoUnit, {}, noUnitMessage()};
    const QVector<NamedControl> controls = namedControls(target, panel);
    if (request.hasOption(QStringLiteral("json"))) {
        QJsonArray described;
        for (const NamedControl& control : controls)
            described.append(describe(control));
        const KnownModel* model = target.window->model();
        const QJsonObject object{
            {QStringLiteral("model"), model ? QLatin1String(model->name) : QLatin1String("")},
            {QStringLiteral("firmware"), printable(target.window->firmware())},
            {QStringLiteral("controls"), described}};
        return {remote::Done,
                QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
                    QLatin1Char('\n'),
                {}};
    }
    QVector<const NamedControl*> all;
    for (const NamedControl& control : controls)
        all << &control;
    return {remote::Done, pairLines(all), {}};
}

Reply runGet(const ControlTarget& target, const Request& request)
{
    ModelPanel* panel = connectedPanel(target);
    if (!panel)
        return {remote::NoUnit, {}, noUnitMessage()};
    const QVector<NamedControl> controls = namedControls(target, panel);
    QVector<const NamedControl*> asked;
    for (const QString& name : request.arguments) {
        const NamedControl* control = findControl(controls, name);
        if (!control)
            return {remote::BadRequest,
                    {},
                    QStringLiteral("quorlinctl: unknown name '%1'. 'quorlinctl list' shows the "
                                   "names of the connected unit.\n")
                        .arg(name)};
        asked << control;
    }
    return {remote::Done, pairLines(asked), {}};
}

Reply runSet(const ControlTarget& target, const Request& request)
{
    for (const QString& pair : request.arguments) {
        if (pair.indexOf(QLatin1Char('=')) <= 0)
            return {remote::BadRequest,
                    {},
                    nothingChanged(QStringLiteral("'%1' is not NAME=VALUE.").arg(pair))};
    }
    ModelPanel* panel = connectedPanel(target);
    if (!panel)
        return {remote::NoUnit, {}, noUnitMessage()};

    // Every pair is checked before the first change is made.
    const QVector<NamedControl> controls = namedControls(target, panel);
    QVector<Change> changes;
    for (const QString& pair : request.arguments) {
        const QString name = pair.section(QLatin1Char('='), 0, 0);
        const QString text = pair.section(QLatin1Char('='), 1);
        const NamedControl* control = findControl(controls, name);
        if (!control)
            return {remote::BadRequest,
                    {},
                    nothingChanged(QStringLiteral("unknown name '%1'; 'quorlinctl list' shows "
                                                  "the names of the connected unit.")
                                       .arg(name))};
        const std::optional<int> value = controlValue(*control, text);
        if (!value)
            return {remote::BadRequest,
                    {},
                    nothingChanged(QStringLiteral("bad value '%1' for %2: give %3.")
                                       .arg(text, name, accepted(*control)))};
        changes.append({control, *value});
    }

    FailureLines failures;
    for (const Change& change : changes)
        makeChange(change);
    if (failures.lines.isEmpty())
        return {remote::Done, {}, {}};
    return {remote::Refused, {}, failures.lines.join(QLatin1Char('\n')) + QLatin1Char('\n')};
}

namespace {

// The reply for an operation on presets that was not done.
Reply presetFault(const Presets::Outcome& outcome)
{
    using Presets::Fault;
    if (outcome.fault == Fault::NoPanel)
        return {remote::NoUnit, {}, noUnitMessage()};
    QString why = outcome.message.english;
    if (outcome.fault == Fault::PhantomDeclined)
        why += QStringLiteral(" Give --allow-phantom to switch it on.");
    return {remote::BadRequest, {}, nothingChanged(why)};
}

// What each subcommand takes: its arguments (at least, at most) and options.
struct PresetCommand {
    const char* name;
    int minArguments;
    int maxArguments;
    const char* options;
    const char* synopsis;
};
const PresetCommand kPresetCommands[] = {
    {"list", 0, 0, "", "preset list"},
    {"save", 1, 1, "replace", "preset save NAME [--replace]"},
    {"load", 1, 1, "allow-phantom", "preset load NAME [--allow-phantom]"},
    {"delete", 1, 1, "", "preset delete NAME"},
    {"export", 2, 2, "", "preset export NAME FILE"},
    {"import", 1, 2, "replace", "preset import FILE [NAME] [--replace]"},
};

} // namespace

Reply runPreset(const ControlTarget& target, const Request& request)
{
    const QString subcommand = request.arguments.value(0);
    const QStringList arguments = request.arguments.mid(1);
    const PresetCommand* command = nullptr;
    for (const PresetCommand& entry : kPresetCommands)
        if (subcommand == QLatin1String(entry.name))
            command = &entry;
    if (!command)
        return {remote::BadRequest,
                {},
                QStringLiteral("quorlinctl: usage: quorlinctl preset "
                               "list|save|load|delete|export|import ...\n")};
    const QStringList known =
        QString::fromLatin1(command->options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& option : request.options)
        if (!known.contains(option))
            return {remote::BadRequest,
                    {},
                    QStringLiteral("quorlinctl: preset %1 takes no option --%2.\n")
                        .arg(subcommand, option)};
    if (arguments.size() < command->minArguments || arguments.size() > command->maxArguments)
        return {remote::BadRequest,
                {},
                QStringLiteral("quorlinctl: usage: quorlinctl %1\n")
                    .arg(QLatin1String(command->synopsis))};

    ModelPanel* panel = connectedPanel(target);
    if (!panel)
        return {remote::NoUnit, {}, noUnitMessage()};
    const Presets::PresetStore store(*panel);
    const bool replace = request.hasOption(QStringLiteral("replace"));
    Presets::Outcome outcome;
    if (subcommand == QLatin1String("list"))
        return {remote::Done, store.names().join(QLatin1Char('\n')) + QLatin1Char('\n'), {}};
    if (subcommand == QLatin1String("save")) {
        outcome = store.save(arguments.at(0), replace);
    } else if (subcommand == QLatin1String("delete")) {
        outcome = store.remove(arguments.at(0));
    } else if (subcommand == QLatin1String("export")) {
        outcome = store.exportTo(arguments.at(0), arguments.at(1));
    } else if (subcommand == QLatin1String("import")) {
        outcome = store.importFrom(arguments.at(0), arguments.value(1), replace);
    } else {
        // No one to ask here: phantom power goes on only when the command
        // line says so. Failure lines logged meanwhile mean the unit refused.
        const bool allowPhantom = request.hasOption(QStringLiteral("allow-phantom"));
        FailureLines failures;
        outcome = store.recall(arguments.at(0),
                               [allowPhantom](const QStringList&) { return allowPhantom; });
        if (outcome.ok() && !failures.lines.isEmpty())
            return {
                remote::Refused, {}, failures.lines.join(QLatin1Char('\n')) + QLatin1Char('\n')};
    }
    return outcome.ok() ? Reply{remote::Done, {}, {}} : presetFault(outcome);
}
