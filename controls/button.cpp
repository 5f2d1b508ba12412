#include "controls/button.h"

#include <QColor>
#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>

namespace {
// %1 text colour, %2 background, %3 corner radius, %4 pressed background
// (the same as %2: pressing does not change the look).
const QString kStyleTemplate =
    QStringLiteral("QPushButton {   color: %1;   background-color: %2;   border-radius: %3px;}"
                   "QPushButton:pressed {   background-color: %4;}");

// The glow's blur radius as a share of the button's width at construction.
constexpr double kGlowBlurPerWidth = 0.01;
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
    checked = on;
    glow->setEnabled(on);
    updateStyle();
    emit pressed(on);
}

void Button::mousePressEvent(QMouseEvent* event)
{
    // Any mouse button toggles, on the press itself. The base handler is left
    // out on purpose: without it no release turns into a click and the base's
    // pressed(), clicked() and toggled() stay silent.
    updateStyle();
    checked = !checked;
    glow->setEnabled(checked);
    updateStyle();
    emit pressed(checked);
    event->accept();
}
