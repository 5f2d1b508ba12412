#pragma once

#include <QRect>
#include <QString>

// The Knob's drawing arithmetic as plain functions, so the paint code and the
// tests work from the same numbers. Every double-to-int conversion truncates
// toward zero, which is what keeps the body discs where the dial has always
// drawn them.
namespace KnobGeometry {

// drawArc angles are in sixteenths of a degree, 0 at three o'clock, positive
// counter-clockwise. Both arcs start at 225 degrees (lower left) and the track
// runs 270 degrees clockwise to -45 degrees (lower right).
constexpr int kArcStart16 = 225 * 16;
constexpr int kTrackSpan16 = -270 * 16;
constexpr double kSweepDegrees = 270.0;

// The rectangle both arcs are drawn on: the widget inset by the arc width.
QRect arcBox(int width, int height, int arcWidth);

// How far the value arc reaches, in degrees: 0 at minimum, 270 at maximum.
double sweepDegrees(int value, int minimum, int maximum);

// The value arc's drawArc span: clockwise, so negative, truncated.
int valueSpan16(int value, int minimum, int maximum);

// Diameter of the body discs for an arc box of the given width.
int bodySize(int boxWidth, double bodyRatio);

// Top-left x and y of the shadow disc: the centred body pushed 2 % of its
// diameter toward the lower right.
int shadowOrigin(int boxWidth, double bodyRatio, int arcWidth);

// Top-left x and y of the face disc: the body centred in the arc box.
int faceOrigin(int boxWidth, double bodyRatio, int arcWidth);

// Radii of the shadow and face gradients, both centred at the widget origin.
double shadowGradientRadius(int boxWidth);
double faceGradientRadius(int boxWidth);

// The in-place editor's rectangle: the text rectangle shrunk by 2.5 % of its
// size on each side.
QRect editorRect(const QRect& textRect);

// The number the dial shows for `value`: the value plus the display offset,
// except that a value of 0 always reads 0.
qint64 shownValue(int value, int displayOffset);

// The value for a number the user gives as the dial shows it (typed into the
// editor or set by assistive technology): the offset taken off, then clamped
// into [minimum, maximum]. Works in 64 bits, so no number can overflow.
int valueFromShown(qint64 shown, int displayOffset, int minimum, int maximum);

// The text painted in the middle of the dial: the shown number and the unit.
QString valueText(int value, int displayOffset, const QString& unit);

} // namespace KnobGeometry
