#pragma once

#include "controls/control_accessibility.h"

#include <QPushButton>
#include <QString>

class QGraphicsDropShadowEffect;

// The two-state switch of every on/off control. It keeps its own state in
// `checked` instead of the checkable-button machinery (isChecked() stays
// false), toggles on the press of any mouse button, shows the state through a
// generated style sheet and a coloured glow that is lit only while on, and
// reports the new state through pressed(bool). A focused button is pressed
// by Space as well (and by Return or Enter where it is the default button),
// exactly as by the mouse, and assistive technology sees a check box whose
// checked state is this state.
//
// The owner overwrites the colour fields after construction and calls
// updateStyle() to apply them; until then the button keeps the platform look.
class Button : public QPushButton {
    Q_OBJECT

public:
    explicit Button(const QString& text, QWidget* parent = nullptr);

    // Rebuilds the style sheet and the glow from the current state and fields.
    void updateStyle();

    // Sets the state, restyles and emits pressed(on), even when nothing
    // changed: restoring a saved state must reach the device.
    void setState(bool on);

    // What a press does, from the mouse, the keyboard or assistive
    // technology: toggles the state, restyles and emits pressed(bool).
    void press();

    int borderRadius = 3;
    QString checkedTextColor = QStringLiteral("#000000");
    QString uncheckedTextColor = QStringLiteral("#00ff7f");
    QString glowColor = QStringLiteral("#00ff7f");
    QString checkedBackground = QStringLiteral("#00ff7f");
    QString uncheckedBackground = QStringLiteral("#1b1e23");
    bool checked = false;
    QGraphicsDropShadowEffect* glow = nullptr;

signals:
    // The state after a press or setState. Overloads the base's pressed();
    // connect to &Button::pressed.
    void pressed(bool status);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Tells assistive technology that the checked state changed.
    void announceState();

    ControlAccessibility::FocusRing focusRing;
};
