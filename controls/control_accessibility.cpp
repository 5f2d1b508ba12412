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

class AccessibleKnob : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleKnob(Knob* knob)
        : QAccessibleWidget(knob, QAccessible::Slider)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
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

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return KnobGeometry::valueText(knob()->value, knob()->displayOffset, knob()->unit);
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return shown(knob()->value); }
    QVariant minimumValue() const override { return shown(knob()->minimum); }
    QVariant maximumValue() const override { return shown(knob()->maximum); }
    QVariant minimumStepSize() const override { return 1; }

    // A number as the dial shows it, taken as if the user had typed it.
    void setCurrentValue(const QVariant& value) override
    {
        bool ok = false;
        const double wanted = value.toDouble(&ok);
        if (!ok || std::isnan(wanted))
            return;
        const auto rounded =
            qint64(std::round(qBound(-kLargestShownValue, wanted, kLargestShownValue)));
        Knob* k = knob();
        k->setValue(
            KnobGeometry::valueFromShown(rounded, k->displayOffset, k->minimum, k->maximum));
    }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
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
    Knob* knob() const { return static_cast<Knob*>(widget()); }
    QVariant shown(int value) const
    {
        return qlonglong(KnobGeometry::shownValue(value, knob()->displayOffset));
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

QAccessibleInterface* createInterface(const QString& className, QObject* object)
{
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

void FocusRing::focusIn(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::MouseFocusReason:
        m_fromKeyboard = false;
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        // Back from another window or a menu: as it was before.
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
