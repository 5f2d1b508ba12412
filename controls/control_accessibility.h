#pragma once

// What makes the self-drawn controls usable without a mouse and without
// sight: their accessible interfaces for screen readers, and the focus ring
// that shows which control the keyboard is on.
//
// A Knob is a spin box for assistive technology: its name comes from the
// panel, its value, minimum and maximum are the numbers it shows (display
// offset included), its value text is the text it shows ("-20dB"), its text
// is the value as spoken, with its unit ("-79 dB", "+6 dB"), and setting the
// value or using its increase and decrease actions changes it as the user
// would. The text is there because Qt 6.4's Linux bridge carries no value
// text: a screen reader there speaks a spin box's text instead. A Button is a check box whose
// checked state is its own state, and whose press and toggle actions press it. A LevelReadout reads
// as its name and the level it shows, worked out on request.

#include <QColor>
#include <QString>
#include <Qt>

class Knob;
class QPainter;
class QRectF;
class QWidget;

namespace ControlAccessibility {

// Registers the accessible interfaces of Knob, Button and LevelReadout, once
// per process. Their constructors call it, so every one of them is covered
// wherever it is used.
void install();

// The dial's value as a screen reader says it: the number shown, signed when
// the dial also goes below zero, and the unit ("-79 dB", "+6 dB", "10 dB").
QString spokenValue(const Knob& knob);

// Says `text` to a screen reader now, through a notification of `window`
// (made on first use: a one-pixel, see-through child that only assistive
// technology meets). Qt 6.4 has no announcement of its own.
void announce(QWidget* window, const QString& text);

// Tells assistive technology that the dial's value changed.
void valueChanged(Knob* knob);

// The focus ring: a light lavender line, clear on the dark panels without
// competing with the controls' own colours.
inline const QColor kFocusRingColor{0xbd, 0x93, 0xf9};
constexpr qreal kFocusRingWidth = 2.0;

// Whether a control shows its focus ring. It does while it has the focus and
// the focus came from the keyboard or from assistive technology, or a key
// was used on it since; a mouse click gives focus without the ring, as
// people who click do not need it. A window that opens or comes back with the
// focus on a control shows the ring there, so that no key ever changes a
// control nobody can see is focused.
class FocusRing {
public:
    void focusIn(Qt::FocusReason reason);
    void keyUsed() { m_fromKeyboard = true; }
    void mousePressed() { m_fromKeyboard = false; }
    bool shownOn(const QWidget& control) const;

    // Strokes the ring along `shape` (an ellipse or a rounded rectangle with
    // `radius`) with the ring's colour and width.
    static void drawEllipse(QPainter& painter, const QRectF& shape);
    static void drawRoundedRect(QPainter& painter, const QRectF& shape, qreal radius);

private:
    bool m_fromKeyboard = false;
};

} // namespace ControlAccessibility
