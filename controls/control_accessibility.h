#pragma once

// What makes the self-drawn controls usable without a mouse and without
// sight: their accessible interfaces for screen readers, and the focus ring
// that shows which control the keyboard is on.
//
// A Knob is a slider for assistive technology: its name comes from the panel,
// its value, minimum and maximum are the numbers it shows (display offset
// included), its value text is the text it shows ("-20dB"), and setting the
// value or using its increase and decrease actions changes it as the user
// would. A Button is a check box whose checked state is its own state, and
// whose press and toggle actions press it. A LevelReadout reads as its
// name and the level it shows, worked out on request.

#include <QColor>
#include <Qt>

class QPainter;
class QRectF;
class QWidget;

namespace ControlAccessibility {

// Registers the accessible interfaces of Knob, Button and LevelReadout, once
// per process. Their constructors call it, so every one of them is covered
// wherever it is used.
void install();

// The focus ring: a light lavender line, clear on the dark panels without
// competing with the controls' own colours.
inline const QColor kFocusRingColor{0xbd, 0x93, 0xf9};
constexpr qreal kFocusRingWidth = 2.0;

// Whether a control shows its focus ring. It does while it has the focus and
// the focus came from the keyboard or from assistive technology, or a key
// was used on it since; a mouse click gives focus without the ring, as
// people who click do not need it. Switching back to the window keeps what
// was shown before.
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
