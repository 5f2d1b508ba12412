#include "controls/knob_geometry.h"

namespace KnobGeometry {

namespace {
// Share of the body diameter by which the shadow disc sits lower right.
constexpr double kShadowShift = 0.02;
// Gradient radii as fractions of the arc box width.
constexpr double kShadowRadiusRatio = 0.6;
constexpr double kFaceRadiusRatio = 0.5;
// Share of the text rectangle the editor gives up on each side.
constexpr double kEditorInset = 0.025;

// Offset of the centred body inside the arc box, before truncation.
double bodyInset(int boxWidth, double bodyRatio)
{
    return (1.0 - bodyRatio) * boxWidth * 0.5;
}
} // namespace

QRect arcBox(int width, int height, int arcWidth)
{
    return QRect(arcWidth, arcWidth, width - 2 * arcWidth, height - 2 * arcWidth);
}

double sweepDegrees(int value, int minimum, int maximum)
{
    return (value - minimum) * kSweepDegrees / (maximum - minimum);
}

int valueSpan16(int value, int minimum, int maximum)
{
    return static_cast<int>(sweepDegrees(value, minimum, maximum) * -16);
}

int bodySize(int boxWidth, double bodyRatio)
{
    return static_cast<int>(bodyRatio * boxWidth);
}

int shadowOrigin(int boxWidth, double bodyRatio, int arcWidth)
{
    const double shift = bodyRatio * boxWidth * kShadowShift;
    return static_cast<int>(bodyInset(boxWidth, bodyRatio) + shift) + arcWidth;
}

int faceOrigin(int boxWidth, double bodyRatio, int arcWidth)
{
    return arcWidth + static_cast<int>(bodyInset(boxWidth, bodyRatio));
}

double shadowGradientRadius(int boxWidth)
{
    return kShadowRadiusRatio * boxWidth;
}

double faceGradientRadius(int boxWidth)
{
    return kFaceRadiusRatio * boxWidth;
}

QRect editorRect(const QRect& textRect)
{
    const int dx = static_cast<int>(kEditorInset * textRect.width());
    const int dy = static_cast<int>(kEditorInset * textRect.height());
    return textRect.adjusted(dx, dy, -dx, -dy);
}

qint64 shownValue(int value, int displayOffset)
{
    return value == 0 ? 0 : qint64(value) + displayOffset;
}

int valueFromShown(qint64 shown, int displayOffset, int minimum, int maximum)
{
    return int(qBound(qint64(minimum), shown - displayOffset, qint64(maximum)));
}

QString valueText(int value, int displayOffset, const QString& unit)
{
    return QString::number(shownValue(value, displayOffset)) + unit;
}

} // namespace KnobGeometry
