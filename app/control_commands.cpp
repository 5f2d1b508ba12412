#include "app/control_commands.h"

#include "app/known_models.h"
#include "app/main_window.h"
#include "app/named_controls.h"
#include "controls/knob.h"

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
