#include "controls/control_accessibility.h"

#include "controls/button.h"
#include "controls/knob.h"
#include "controls/knob_geometry.h"
#include "controls/level_readout.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace ControlAccessibility {

namespace {

// Numbers given to a Knob from outside are clamped to this before they are
// rounded, so that even an absurd one converts to an integer safely.
constexpr double kLargestShownValue = 1e15;

QStringList keyNames(std::initializer_list<Qt::Key> keys)
{
    QStringList names;
    for (Qt::Key key : keys)
        names << QKeySequence(key).toString(QKeySequence::NativeText);
    return names;
}

// A spin box, a number stepped up and down, rather than a slider: for a spin
// box, screen readers on Linux speak its text, which Qt 6.4's bridge does
// carry, where for a slider they speak only the bare number.
class AccessibleKnob : public QAccessibleWidget,
                       public QAccessibleValueInterface,
                       public QAccessibleTextInterface {
public:
    explicit AccessibleKnob(Knob* knob)
        : QAccessibleWidget(knob, QAccessible::SpinBox)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text is the value as spoken ("-79 dB"), read only, without a
    // cursor or a selection.
    QString text(int startOffset, int endOffset) const override
    {
        return spoken().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(spoken().size()); }
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // The in-place editor belongs to the tree only while it is open; a
    // closed one would read as an empty, hidden text field inside the dial.
    int childCount() const override
    {
        return knob()->editor->isVisible() ? QAccessibleWidget::childCount() : 0;
    }
    QAccessibleInterface* child(int index) const override
    {
        return index < childCount() ? QAccessibleWidget::child(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return childCount() > 0 ? QAccessibleWidget::indexOfChild(child) : -1;
    }

    // While the widget is destroyed it is no longer a Knob: nothing may
    // then read a dial's fields from it.
    bool isValid() const override { return knob() && QAccessibleWidget::isValid(); }

    QString text(QAccessible::Text type) const override
    {
        if (!knob())
            return {};
        if (type == QAccessible::Value)
            return KnobGeometry::valueText(knob()->value, knob()->displayOffset, knob()->unit);
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return shown(&Knob::value); }
    QVariant minimumValue() const override { return shown(&Knob::minimum); }
    QVariant maximumValue() const override { return shown(&Knob::maximum); }
    QVariant minimumStepSize() const override { return 1; }

    // A number as the dial shows it, taken as if the user had typed it. A
    // number above what the nearest value shows goes one value up, so that
    // "current value + step" leaves the 0 of a dial whose next value shows
    // 10 (the offset skips the numbers between).
    void setCurrentValue(const QVariant& value) override
    {
        bool ok = false;
        const double wanted = value.toDouble(&ok);
        Knob* k = knob();
        if (!ok || std::isnan(wanted) || !k)
            return;
        const auto rounded =
            qint64(std::round(qBound(-kLargestShownValue, wanted, kLargestShownValue)));
        int found = KnobGeometry::valueFromShown(rounded, k->displayOffset, k->minimum, k->maximum);
        if (KnobGeometry::shownValue(found, k->displayOffset) < rounded && found < k->maximum)
            ++found;
        k->setValue(found);
    }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (!knob())
            return;
        if (name == increaseAction())
            knob()->step(1);
        else if (name == decreaseAction())
            knob()->step(-1);
        else
            QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == increaseAction())
            return keyNames({Qt::Key_Up, Qt::Key_Right});
        if (name == decreaseAction())
            return keyNames({Qt::Key_Down, Qt::Key_Left});
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    Knob* knob() const { return qobject_cast<Knob*>(object()); }
    QString spoken() const { return knob() ? spokenValue(*knob()) : QString(); }
    QVariant shown(int Knob::*field) const
    {
        const Knob* k = knob();
        return k ? QVariant(qlonglong(KnobGeometry::shownValue(k->*field, k->displayOffset)))
                 : QVariant();
    }
};

// A check box rather than a checkable push button: the Linux accessibility
// bridge tells screen readers a push button's checked state but not that it
// can be checked, while a check box's state is read out everywhere.
class AccessibleButton : public QAccessibleWidget {
public:
    explicit AccessibleButton(Button* button)
        : QAccessibleWidget(button, QAccessible::CheckBox)
    {
    }

    QString text(QAccessible::Text type) const override
    {
        const QString text = QAccessibleWidget::text(type);
        if (type == QAccessible::Name && text.isEmpty())
            return button()->text();
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->checked;
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() || name == toggleAction())
            button()->press();
        else
            QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == pressAction() || name == toggleAction())
            return keyNames({Qt::Key_Space});
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    Button* button() const { return static_cast<Button*>(widget()); }
};

class AccessibleReadout : public QAccessibleWidget {
public:
    explicit AccessibleReadout(LevelReadout* readout)
        : QAccessibleWidget(readout, QAccessible::StaticText)
    {
    }

    // Worked out on every request from the text shown now, so the readout
    // needs no event to stay current.
    QString text(QAccessible::Text type) const override
    {
        const auto* readout = static_cast<const LevelReadout*>(widget());
        if (type == QAccessible::Name && !readout->accessibleName().isEmpty())
            return LevelReadout::tr("%1, %2", "a level readout: what it measures, then the level")
                .arg(readout->accessibleName(), readout->text());
        if (type == QAccessible::Name || type == QAccessible::Value)
            return readout->text();
        return QAccessibleWidget::text(type);
    }
};

const QLatin1String kAnnouncement("quorlinAnnouncement");

QAccessibleInterface* createInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("QWidget") && object->objectName() == kAnnouncement)
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    if (className == QLatin1String("Knob"))
        return new AccessibleKnob(static_cast<Knob*>(object));
    if (className == QLatin1String("Button"))
        return new AccessibleButton(static_cast<Button*>(object));
    if (className == QLatin1String("LevelReadout"))
        return new AccessibleReadout(static_cast<LevelReadout*>(object));
    return nullptr;
}

} // namespace

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

QString spokenValue(const Knob& knob)
{
    const qint64 shown = KnobGeometry::shownValue(knob.value, knob.displayOffset);
    const bool signedRange = KnobGeometry::shownValue(knob.minimum, knob.displayOffset) < 0;
    const QString number = shown > 0 && signedRange ? QLatin1Char('+') + QString::number(shown)
                                                    : QString::number(shown);
    if (knob.unit.isEmpty())
        return number;
    return Knob::tr("%1 %2", "a dial's value as a screen reader says it: the number, the unit")
        .arg(number, knob.unit);
}

void announce(QWidget* window, const QString& text)
{
    if (!window || !QAccessible::isActive())
        return;
    install();
    auto* notice = window->findChild<QWidget*>(kAnnouncement, Qt::FindDirectChildrenOnly);
    if (!notice) {
        notice = new QWidget(window);
        notice->setObjectName(kAnnouncement);
        notice->setGeometry(0, 0, 1, 1);
        notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    // Shown again with its new name: screen readers speak a notification
    // when it appears.
    notice->hide();
    notice->setAccessibleName(text);
    notice->show();
}

void valueChanged(Knob* knob)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent value(
        knob, qlonglong(KnobGeometry::shownValue(knob->value, knob->displayOffset)));
    QAccessible::updateAccessibility(&value);
}

void FocusRing::focusIn(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::MouseFocusReason:
        m_fromKeyboard = false;
        break;
    case Qt::ActiveWindowFocusReason:
        // The window opened or came back with the focus here: show where.
        m_fromKeyboard = true;
        break;
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        // Back from a menu: as it was before.
        break;
    default:
        // Tab, Backtab, a shortcut, or assistive technology moving the focus.
        m_fromKeyboard = true;
        break;
    }
}

bool FocusRing::shownOn(const QWidget& control) const
{
    return m_fromKeyboard && control.hasFocus();
}

void FocusRing::drawEllipse(QPainter& painter, const QRectF& shape)
{
    painter.save();
    painter.setPen(QPen(kFocusRingColor, kFocusRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(shape);
    painter.restore();
}

void FocusRing::drawRoundedRect(QPainter& painter, const QRectF& shape, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kFocusRingColor, kFocusRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(shape, radius, radius);
    painter.restore();
}

} // namespace ControlAccessibility
