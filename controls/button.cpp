#include "controls/button.h"

#include <QAccessible>
#include <QColor>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
// %1 text colour, %2 background, %3 corner radius, %4 pressed background
// (the same as %2: pressing does not change the look).
const QString kStyleTemplate =
    QStringLiteral("QPushButton {   color: %1;   background-color: %2;   border-radius: %3px;}"
                   "QPushButton:pressed {   background-color: %4;}");

// The glow's blur radius as a share of the button's width at construction.
constexpr double kGlowBlurPerWidth = 0.01;

// The focus ring runs just inside the button's edge.
constexpr qreal kFocusRingInset = 1.5;

// Keys with which the base class would press or click a focused button:
// Space and Select always, Return and Enter on a default button.
bool isActivationKey(const QKeyEvent* event, const QPushButton& button)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Select:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return button.autoDefault() || button.isDefault();
    default:
        return false;
    }
}
} // namespace

Button::Button(const QString& text, QWidget* parent)
    : QPushButton(parent)
    , glow(new QGraphicsDropShadowEffect(this))
{
    setText(text);
    setCursor(Qt::PointingHandCursor);

    // The blur follows the width the button has now and is never recomputed:
    // a parentless button is 640 px wide here, so the panels' glow is 6.4 px.
    glow->setBlurRadius(width() * kGlowBlurPerWidth);
    glow->setOffset(0, 0);
    glow->setColor(QColor(glowColor));
    setGraphicsEffect(glow);
    glow->setEnabled(false);
    ControlAccessibility::install();
}

void Button::updateStyle()
{
    const QString& background = checked ? checkedBackground : uncheckedBackground;
    setStyleSheet(kStyleTemplate.arg(checked ? checkedTextColor : uncheckedTextColor)
                      .arg(background)
                      .arg(borderRadius)
                      .arg(background));
    glow->setEnabled(checked);
    glow->setColor(QColor(glowColor));
}

void Button::setState(bool on)
{
    const bool changed = on != checked;
    checked = on;
    glow->setEnabled(on);
    updateStyle();
    if (changed)
        announceState();
    emit pressed(on);
}

void Button::press()
{
    updateStyle();
    checked = !checked;
    glow->setEnabled(checked);
    updateStyle();
    announceState();
    emit pressed(checked);
}

void Button::announceState()
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void Button::mousePressEvent(QMouseEvent* event)
{
    // Any mouse button toggles, on the press itself. The base handler is left
    // out on purpose: without it no release turns into a click and the base's
    // pressed(), clicked() and toggled() stay silent.
    focusRing.mousePressed();
    press();
    event->accept();
}

void Button::keyPressEvent(QKeyEvent* event)
{
    // A key that would press or click a push button presses this one as the
    // mouse does, once however long it is held; the base class's own
    // pressing and clicking stay out of it as they do for the mouse.
    if (!isActivationKey(event, *this)) {
        QPushButton::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        focusRing.keyUsed();
        press();
    }
    event->accept();
}

void Button::focusInEvent(QFocusEvent* event)
{
    focusRing.focusIn(event->reason());
    QPushButton::focusInEvent(event);
}

void Button::paintEvent(QPaintEvent*)
{
    // Drawn as the base class draws it, but without the style's own focus
    // look (a blue tint under the style sheet): the ring alone shows the
    // focus, and only when the keyboard brought it.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButton, option);
    if (!focusRing.shownOn(*this))
        return;
    ControlAccessibility::FocusRing::drawRoundedRect(
        painter,
        QRectF(rect()).adjusted(kFocusRingInset, kFocusRingInset, -kFocusRingInset,
                                -kFocusRingInset),
        borderRadius);
}
