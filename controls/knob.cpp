#include "controls/knob.h"

#include "controls/knob_geometry.h"

#include <QAccessible>
#include <QConicalGradient>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QRadialGradient>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace {
// The value arc's conical gradient starts at six o'clock.
constexpr double kConicalStartDegrees = 270.0;

// Body shading: light at the widget's top-left corner, dark further out.
const QColor kBodyHighlight(255, 255, 255, 255);
const QColor kShadowDark(20, 20, 20, 255);
const QColor kFaceDark(30, 30, 30, 255);
} // namespace

Knob::Knob(QWidget* parent)
    : QWidget(parent)
    , editor(new QLineEdit(this))
{
    editor->hide();
    editor->installEventFilter(this);
    connect(editor, &QLineEdit::editingFinished, this, &Knob::finishEdit);
    setFocusPolicy(Qt::StrongFocus);
    ControlAccessibility::install();
}

void Knob::setValue(int v)
{
    value = v;
    commit();
}

void Knob::commit()
{
    value = qMax(minimum, qMin(value, maximum));
    emit valueChangedSig(value);
    ControlAccessibility::valueChanged(this);
    prepareEditor();
    update();
}

void Knob::prepareEditor()
{
    // While the dial has the focus the closed editor already holds the
    // number, so that opening it tells a screen reader of nothing but the
    // editor taking the focus, which it reads with the dial's name.
    const QString number = QString::number(value + displayOffset);
    if (hasFocus() && editor->isHidden() && editor->text() != number)
        editor->setText(number);
}

void Knob::step(int steps)
{
    value = int(qBound(qint64(minimum), qint64(value) + steps, qint64(maximum)));
    commit();
}

void Knob::stepUp()
{
    if (value < maximum)
        ++value;
}

void Knob::stepDown()
{
    if (value > minimum)
        --value;
}

void Knob::mousePressEvent(QMouseEvent* event)
{
    // Ctrl+click jumps to the minimum. A plain press records nothing: dragging
    // works from the last move position alone.
    focusRing.mousePressed();
    update();
    if (event->modifiers() & Qt::ControlModifier) {
        value = minimum;
        commit();
    }
}

void Knob::openEditor()
{
    // Edit the number as the user sees it, without the unit; the commit
    // waits for editingFinished. A screen reader meets it with the dial's
    // name and the value with its unit.
    const QString number = QString::number(value + displayOffset);
    if (editor->text() != number) // setting the same text again is an event
        editor->setText(number);
    editor->setGeometry(KnobGeometry::editorRect(textRect));
    editor->setAccessibleName(accessibleName());
    editor->setAccessibleDescription(ControlAccessibility::spokenValue(*this));
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
}

bool Knob::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != editor || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Escape: {
        // Closes the editor and leaves the value as it was.
        const QSignalBlocker quiet(editor); // losing the focus must not commit
        editor->hide();
        setFocus(Qt::OtherFocusReason);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The editor commits; the key must not go on to the dial, where it
        // would open the editor again.
        editor->event(event);
        event->accept();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The line edit leaves these to its parent, the dial, which would
        // send a new value while the editor still shows the old one.
        return true;
    default:
        return false;
    }
}

void Knob::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (showText && textRect.contains(pos)) {
        openEditor();
        return;
    }
    // Outside the text, with the text hidden, or before the first paint.
    value = minimum;
    commit();
}

void Knob::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    // One step per axis per event, however far the pointer went: up and
    // right raise the value, down and left lower it.
    const QPoint pos = event->position().toPoint();
    if (pos.y() < lastY)
        stepUp();
    else if (pos.y() > lastY)
        stepDown();
    if (pos.x() > lastX)
        stepUp();
    else if (pos.x() < lastX)
        stepDown();
    lastY = pos.y();
    lastX = pos.x();
    commit();
}

void Knob::wheelEvent(QWheelEvent* event)
{
    // One step per event whatever the delta; anything but an upward turn,
    // including a purely horizontal one, lowers the value.
    if (event->angleDelta().y() > 0)
        stepUp();
    else
        stepDown();
    commit();
}

void Knob::keyPressEvent(QKeyEvent* event)
{
    // With a modifier held the key is someone else's (a shortcut).
    if ((event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Each key that moves the value is one change, as a wheel step is. A key
    // that leaves it where it is (at a limit, Home or End again, a held key
    // repeating there) sends nothing: the unit already has that value.
    qint64 target = value;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        target += 1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        target -= 1;
        break;
    case Qt::Key_PageUp:
        target += kPageStep;
        break;
    case Qt::Key_PageDown:
        target -= kPageStep;
        break;
    case Qt::Key_Home:
        target = minimum;
        break;
    case Qt::Key_End:
        target = maximum;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (!event->isAutoRepeat())
            openEditor();
        focusRing.keyUsed();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // The repaint shows the focus ring whether or not the value moved.
    focusRing.keyUsed();
    target = qBound(qint64(minimum), target, qint64(maximum));
    if (target == value) {
        update();
        return;
    }
    value = int(target);
    commit();
}

void Knob::focusInEvent(QFocusEvent* event)
{
    focusRing.focusIn(event->reason());
    prepareEditor();
    QWidget::focusInEvent(event);
}

void Knob::finishEdit()
{
    QString text = editor->text();
    if (text.endsWith(unit, Qt::CaseSensitive))
        text.chop(unit.size());
    bool ok = false;
    const int typed = text.toInt(&ok, 10);
    if (ok)
        value = KnobGeometry::valueFromShown(typed, displayOffset, minimum, maximum);
    // Return brings the keyboard back to the dial, not on to the next control.
    const bool typing = editor->hasFocus();
    editor->hide();
    if (typing)
        setFocus(Qt::OtherFocusReason);
    commit();
}

void Knob::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(QFont(fontFamily, fontSize));

    // Layers from the back: track, value arc, focus ring, body shadow, body
    // face, text.
    const QRect box = KnobGeometry::arcBox(width(), height(), arcWidth);
    drawTrack(painter, box);
    drawValueArc(painter, box);
    drawFocusRing(painter, box);
    drawShadow(painter, box.width());
    drawFace(painter, box.width());
    drawText(painter);
}

QPen Knob::arcPen() const
{
    QPen pen;
    pen.setWidth(arcWidth);
    if (roundCap)
        pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void Knob::drawTrack(QPainter& painter, const QRect& box) const
{
    if (!showTrack)
        return;
    QPen pen = arcPen();
    pen.setColor(trackColor);
    painter.setPen(pen);
    painter.drawArc(box, KnobGeometry::kArcStart16, KnobGeometry::kTrackSpan16);
}

void Knob::drawValueArc(QPainter& painter, const QRect& box) const
{
    // A conical gradient with equal stops: the arc is solid arcColor, and a
    // two-colour sweep needs nothing but a second stop.
    QConicalGradient gradient(width() / 2, height() / 2, kConicalStartDegrees);
    gradient.setColorAt(0.0, arcColor);
    gradient.setColorAt(1.0, arcColor);
    QPen pen = arcPen();
    pen.setBrush(gradient);
    painter.setPen(pen);
    painter.drawArc(box, KnobGeometry::kArcStart16,
                    KnobGeometry::valueSpan16(value, minimum, maximum));
}

void Knob::drawFocusRing(QPainter& painter, const QRect& box) const
{
    if (!focusRing.shownOn(*this))
        return;
    // In the gap between the arcs and the body, halfway from the arcs' inner
    // edge to the body's rim.
    const qreal arcInner = box.width() / 2.0 - arcWidth / 2.0;
    const qreal bodyRadius = KnobGeometry::bodySize(box.width(), bodyRatio) / 2.0;
    const qreal radius = (arcInner + bodyRadius) / 2.0;
    const QPointF centre = QRectF(box).center();
    ControlAccessibility::FocusRing::drawEllipse(
        painter, QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius));
}

void Knob::drawShadow(QPainter& painter, int boxWidth) const
{
    // Both gradients are centred at the widget origin, not the body centre:
    // the light falls from the top-left corner and the body stays dark.
    QRadialGradient gradient(0, 0, KnobGeometry::shadowGradientRadius(boxWidth));
    gradient.setColorAt(0.0, kBodyHighlight);
    gradient.setColorAt(1.0, kShadowDark);
    painter.setPen(QPen(QBrush(gradient), 0));
    painter.setBrush(gradient);
    const int origin = KnobGeometry::shadowOrigin(boxWidth, bodyRatio, arcWidth);
    const int size = KnobGeometry::bodySize(boxWidth, bodyRatio);
    painter.drawEllipse(origin, origin, size, size);
}

void Knob::drawFace(QPainter& painter, int boxWidth) const
{
    // Covers the shadow disc except a thin crescent at the lower right.
    QRadialGradient gradient(0, 0, KnobGeometry::faceGradientRadius(boxWidth));
    gradient.setColorAt(0.0, kBodyHighlight);
    gradient.setColorAt(1.0, kFaceDark);
    painter.setPen(QPen(QBrush(gradient), 0));
    painter.setBrush(gradient);
    const int origin = KnobGeometry::faceOrigin(boxWidth, bodyRatio, arcWidth);
    const int size = KnobGeometry::bodySize(boxWidth, bodyRatio);
    painter.drawEllipse(origin, origin, size, size);
}

void Knob::drawText(QPainter& painter)
{
    if (!showText)
        return;
    painter.setPen(textColor);
    const QString text = KnobGeometry::valueText(value, displayOffset, unit);
    const QFontMetrics metrics(painter.font());
    textRect = metrics.boundingRect(rect(), Qt::AlignCenter, text);
    painter.drawText(textRect, Qt::AlignCenter, text);
}
