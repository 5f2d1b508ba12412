#include "app/named_controls.h"

#include "app/main_window.h"
#include "controls/button.h"
#include "controls/knob.h"
#include "controls/knob_geometry.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QHash>
#include <QThread>
#include <algorithm>
#include <climits>

namespace {

const QString kOn = QStringLiteral("on");
const QString kOff = QStringLiteral("off");

// on/off, 1/0, true/false.
std::optional<bool> switchState(const QString& text)
{
    const QString word = text.toLower();
    if (word == kOn || word == QLatin1String("1") || word == QLatin1String("true"))
        return true;
    if (word == kOff || word == QLatin1String("0") || word == QLatin1String("false"))
        return false;
    return std::nullopt;
}

} // namespace

ModelPanel* connectedPanel(const ControlTarget& target)
{
    ModelPanel* panel = target.window ? target.window->panel() : nullptr;
    return panel && !panel->controls().isEmpty() ? panel : nullptr;
}

QVector<NamedControl> namedControls(const ControlTarget& target, ModelPanel* panel)
{
    QVector<PanelControl> controls = panel->controls();
    QHash<const QWidget*, int> position;
    int index = 0;
    for (QWidget* widget = panel->nextInFocusChain(); widget && widget != panel;
         widget = widget->nextInFocusChain())
        position.insert(widget, index++);
    const auto positionOf = [&position](const PanelControl& control) {
        const QWidget* widget = control.knob ? static_cast<QWidget*>(control.knob) : control.button;
        return position.value(widget, INT_MAX);
    };
    std::stable_sort(controls.begin(), controls.end(),
                     [&](const PanelControl& a, const PanelControl& b) {
                         return positionOf(a) < positionOf(b);
                     });

    QVector<NamedControl> named;
    for (const PanelControl& control : controls)
        named.append({control.name, control.knob, control.button, nullptr, false, control.section});
    if (target.dialog) {
        for (const Settings::Option& option : target.dialog->options())
            named.append({option.name, nullptr, nullptr, option.box, option.isSwitch});
    }
    return named;
}

const NamedControl* findControl(const QVector<NamedControl>& controls, const QString& name)
{
    for (const NamedControl& control : controls) {
        if (control.name == name)
            return &control;
    }
    return nullptr;
}

QVector<QPair<qint64, qint64>> shownRanges(const Knob& knob)
{
    QVector<QPair<qint64, qint64>> ranges;
    for (int value = knob.minimum; value <= knob.maximum; ++value) {
        const qint64 shown = KnobGeometry::shownValue(value, knob.displayOffset);
        if (!ranges.isEmpty() && ranges.last().second + 1 == shown)
            ranges.last().second = shown;
        else
            ranges.append({shown, shown});
    }
    return ranges;
}

QString valueText(const NamedControl& control)
{
    if (control.knob)
        return QString::number(
            KnobGeometry::shownValue(control.knob->value, control.knob->displayOffset));
    if (control.button)
        return control.button->checked ? kOn : kOff;
    if (control.boxIsSwitch)
        return control.box->currentIndex() == 1 ? kOn : kOff;
    return control.box->currentText();
}

QStringList choices(const NamedControl& control)
{
    if (control.knob)
        return {};
    if (control.button || control.boxIsSwitch)
        return {kOff, kOn};
    QStringList items;
    for (int i = 0; i < control.box->count(); ++i)
        items << control.box->itemText(i);
    return items;
}

QString accepted(const NamedControl& control)
{
    if (control.knob) {
        QStringList runs;
        for (const auto& [low, high] : shownRanges(*control.knob))
            runs << (low == high ? QString::number(low)
                                 : QStringLiteral("a number from %1 to %2").arg(low).arg(high));
        return runs.join(QStringLiteral(" or "));
    }
    if (control.button || control.boxIsSwitch)
        return QStringLiteral("on or off");
    return QStringLiteral("one of ") + choices(control).join(QStringLiteral(", "));
}

std::optional<int> controlValue(const NamedControl& control, const QString& text)
{
    if (control.knob) {
        bool isNumber = false;
        const qint64 shown = text.toLongLong(&isNumber);
        if (!isNumber)
            return std::nullopt;
        const Knob& knob = *control.knob;
        const int value =
            KnobGeometry::valueFromShown(shown, knob.displayOffset, knob.minimum, knob.maximum);
        if (KnobGeometry::shownValue(value, knob.displayOffset) != shown)
            return std::nullopt;
        return value;
    }
    if (control.button || control.boxIsSwitch) {
        const std::optional<bool> on = switchState(text);
        return on ? std::optional<int>(*on ? 1 : 0) : std::nullopt;
    }
    const int index = control.box->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

void makeChange(const Change& change)
{
    const NamedControl& control = *change.control;
    if (control.knob)
        control.knob->setValue(change.value);
    else if (control.button)
        control.button->setState(change.value != 0);
    else
        control.box->setCurrentIndex(change.value);
}

FailureLines::FailureLines()
    : thread(QThread::currentThread())
{
    active = this;
    previous = qInstallMessageHandler(&handle);
}

FailureLines::~FailureLines()
{
    qInstallMessageHandler(previous);
    active = nullptr;
}

void FailureLines::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    FailureLines* capture = active;
    if (!capture)
        return;
    if (QThread::currentThread() == capture->thread &&
        (message.startsWith(QLatin1String("Failed")) || message.contains(QStringLiteral("失败"))))
        capture->lines << message;
    if (capture->previous)
        capture->previous(type, context, message);
}
