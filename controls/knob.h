#pragma once

#include "controls/control_accessibility.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

class QLineEdit;
class QPainter;
class QPen;

// The rotary dial of every gain and level control: a 270 degree track, a value
// arc over it, a shaded round body and the value as text in the middle.
//
// The owner configures it through the public fields (range first, value last)
// and listens to valueChangedSig. Every interaction - Ctrl+click, double-click,
// drag, wheel, the keys, typing into the in-place editor, assistive
// technology - and every setValue ends in the same commit: clamp, emit, tell
// assistive technology the value shown, repaint. The signal fires even when
// the value did not move, so the owner always resends what the dial shows.
//
// With the focus, Up and Right raise the value by one step and Down and Left
// lower it, as the wheel does; Page Up and Page Down move it by kPageStep;
// Home and End go to the minimum and the maximum. A key commits only when it
// moves the value. Return, Enter and F2 open the editor, as a double-click on
// the text does; in the editor, Return commits and Escape cancels.
class Knob : public QWidget {
    Q_OBJECT

public:
    explicit Knob(QWidget* parent = nullptr);

    // Clamps v into [minimum, maximum], emits valueChangedSig and repaints.
    void setValue(int v);

    // Moves the value by `steps` (negative lowers it) as one change.
    void step(int steps);

    // The larger step of Page Up and Page Down: 6 dB on the level dials.
    static constexpr int kPageStep = 6;

    int value = -80;
    int arcWidth = 7;
    bool roundCap = true;
    int maximum = 6;
    int minimum = -80;
    QColor arcColor{"#00ffff"};
    bool showText = true;
    QString fontFamily = QStringLiteral("Segoe UI");
    int fontSize = 12;
    QString unit = QStringLiteral("dB");
    QColor textColor{"#ff79c6"};
    bool showTrack = true;
    QColor trackColor{"#44475a"};
    double bodyRatio = 0.8;
    // Pointer position of the previous left-button drag event. Kept between
    // drags: the first move of a new drag compares with where the last ended.
    int lastY = 0;
    int lastX = 0;
    int displayOffset = 0;
    QLineEdit* editor = nullptr;
    // Where the last paint put the value text; double-clicking inside it
    // opens the editor. Null until the first paint.
    QRect textRect;

signals:
    void valueChangedSig(int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void finishEdit();

private:
    void commit();
    void openEditor();
    void prepareEditor();
    void stepUp();
    void stepDown();

    QPen arcPen() const;
    void drawTrack(QPainter& painter, const QRect& box) const;
    void drawValueArc(QPainter& painter, const QRect& box) const;
    void drawFocusRing(QPainter& painter, const QRect& box) const;
    void drawShadow(QPainter& painter, int boxWidth) const;
    void drawFace(QPainter& painter, int boxWidth) const;
    void drawText(QPainter& painter);

    ControlAccessibility::FocusRing focusRing;
};
