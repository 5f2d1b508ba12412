#include "accessibility_spy.h"
#include "controls/control_accessibility.h"
#include "controls/knob.h"
#include "controls/knob_geometry.h"
#include "test_environment.h"

#include <QAccessibleValueInterface>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtMath>
#include <QtTest>

namespace {
const QColor kBackground(0, 0, 255);

// A Knob of the given size and range, at the given value, without emitting.
void configure(Knob& knob, int size, int minimum, int maximum, int value)
{
    knob.setFixedSize(size, size);
    knob.minimum = minimum;
    knob.maximum = maximum;
    knob.value = value;
}

QImage render(Knob& knob)
{
    QImage image(knob.size(), QImage::Format_ARGB32);
    image.fill(kBackground);
    // Without the window background: anything not blue was painted by the Knob.
    knob.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The pixel on the arcs' centre line at the given angle (0 at three o'clock,
// counter-clockwise).
QPoint arcPixel(const QRect& box, double degrees)
{
    const double radians = qDegreesToRadians(degrees);
    const QPointF centre = QRectF(box).center();
    const double radius = box.width() / 2.0;
    return QPoint(qFloor(centre.x() + radius * qCos(radians)),
                  qFloor(centre.y() - radius * qSin(radians)));
}

bool near(QColor a, QColor b, int tolerance = 8)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// Pixels that can only come from the text: the body is grey, the
// background blue, the arcs cyan and grey-blue.
int textPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() - c.green() > 60)
                ++count;
        }
    return count;
}

void sendMouse(Knob& knob, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, knob.mapToGlobal(pos), button, buttons, modifiers);
    QCoreApplication::sendEvent(&knob, &event);
}

void sendWheel(Knob& knob, QPoint angleDelta)
{
    const QPointF pos(10, 10);
    QWheelEvent event(pos, knob.mapToGlobal(pos), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&knob, &event);
}

// Opens the editor by double-clicking the painted text, types and presses Return.
void typeIntoEditor(Knob& knob, const QString& text)
{
    render(knob);
    sendMouse(knob, QEvent::MouseButtonDblClick, knob.textRect.center(), Qt::LeftButton,
              Qt::LeftButton);
    QVERIFY(!knob.editor->isHidden());
    QTest::keyClicks(knob.editor, text);
    QTest::keyClick(knob.editor, Qt::Key_Return);
}
} // namespace

class TstKnob : public QObject {
    Q_OBJECT

private slots:
    void setValueClampsAndAlwaysEmits_data();
    void setValueClampsAndAlwaysEmits();
    void wheelStepsOncePerEvent_data();
    void wheelStepsOncePerEvent();
    void dragStepsOncePerAxis_data();
    void dragStepsOncePerAxis();
    void pressAndDoubleClick_data();
    void pressAndDoubleClick();
    void doubleClickOnTextOpensEditor();
    void editorCommit_data();
    void editorCommit();
    void arcSpan_data();
    void arcSpan();
    void workedGeometry_data();
    void workedGeometry();
    void editorRectShrinksTextRect();
    void paintsArcsWhereTheValueReaches_data();
    void paintsArcsWhereTheValueReaches();
    void paintsBodyLitFromTheOrigin();
    void paintsValueTextWithOffset_data();
    void paintsValueTextWithOffset();
    void hiddenTextIsNotDrawnAndNotEditable();
    void keysAndAssistiveTechnology_data();
    void keysAndAssistiveTechnology();
    void focusRingOnlyForTheKeyboard();

private:
    TestEnvironment m_environment;
};

void TstKnob::setValueClampsAndAlwaysEmits_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << -80 << -20 << -20;
    QTest::newRow("unchanged") << -20 << -20 << -20;
    QTest::newRow("above maximum") << -80 << 40 << 6;
    QTest::newRow("below minimum") << 0 << -200 << -80;
}

void TstKnob::setValueClampsAndAlwaysEmits()
{
    QFETCH(int, start);
    QFETCH(int, requested);
    QFETCH(int, expected);
    Knob knob;
    knob.value = start;
    QSignalSpy spy(&knob, &Knob::valueChangedSig);
    knob.setValue(requested);
    QCOMPARE(knob.value, expected);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), expected);
}

void TstKnob::wheelStepsOncePerEvent_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<int>("expected");
    QTest::newRow("up") << -20 << QPoint(0, 120) << -19;
    QTest::newRow("down") << -20 << QPoint(0, -120) << -21;
    QTest::newRow("large delta is one step") << -20 << QPoint(0, 960) << -19;
    QTest::newRow("zero delta lowers") << -20 << QPoint(0, 0) << -21;
    QTest::newRow("horizontal only lowers") << -20 << QPoint(120, 0) << -21;
    QTest::newRow("up at maximum") << 6 << QPoint(0, 120) << 6;
    QTest::newRow("down at minimum") << -80 << QPoint(0, -120) << -80;
}

void TstKnob::wheelStepsOncePerEvent()
{
    QFETCH(int, start);
    QFETCH(QPoint, delta);
    QFETCH(int, expected);
    Knob knob;
    knob.value = start;
    QSignalSpy spy(&knob, &Knob::valueChangedSig);
    sendWheel(knob, delta);
    QCOMPARE(knob.value, expected);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), expected);
}

void TstKnob::dragStepsOncePerAxis_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("emissions");
    // Every row starts from a previous position of (50, 50).
    const int left = Qt::LeftButton;
    QTest::newRow("up and right") << -20 << QPoint(51, 49) << left << -18 << 1;
    QTest::newRow("down and left") << -20 << QPoint(10, 90) << left << -22 << 1;
    QTest::newRow("far up is one step") << -20 << QPoint(50, 0) << left << -19 << 1;
    QTest::newRow("up and left cancel") << -20 << QPoint(49, 49) << left << -20 << 1;
    QTest::newRow("no movement") << -20 << QPoint(50, 50) << left << -20 << 1;
    QTest::newRow("at maximum") << 6 << QPoint(51, 49) << left << 6 << 1;
    QTest::newRow("one below maximum") << 5 << QPoint(51, 49) << left << 6 << 1;
    QTest::newRow("at minimum") << -80 << QPoint(49, 51) << left << -80 << 1;
    QTest::newRow("with right button too")
        << -20 << QPoint(51, 49) << int(Qt::LeftButton | Qt::RightButton) << -18 << 1;
    QTest::newRow("right button only") << -20 << QPoint(51, 49) << int(Qt::RightButton) << -20 << 0;
    QTest::newRow("hover") << -20 << QPoint(51, 49) << int(Qt::NoButton) << -20 << 0;
}

void TstKnob::dragStepsOncePerAxis()
{
    QFETCH(int, start);
    QFETCH(QPoint, to);
    QFETCH(int, buttons);
    QFETCH(int, expected);
    QFETCH(int, emissions);
    Knob knob;
    knob.value = start;
    knob.lastX = 50;
    knob.lastY = 50;
    QSignalSpy spy(&knob, &Knob::valueChangedSig);
    sendMouse(knob, QEvent::MouseMove, to, Qt::NoButton, Qt::MouseButtons(buttons));
    QCOMPARE(knob.value, expected);
    QCOMPARE(spy.count(), emissions);
    if (emissions > 0) {
        QCOMPARE(spy.at(0).at(0).toInt(), expected);
        QCOMPARE(QPoint(knob.lastX, knob.lastY), to);
    } else {
        QCOMPARE(QPoint(knob.lastX, knob.lastY), QPoint(50, 50));
    }
}

void TstKnob::pressAndDoubleClick_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("painted");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("emissions");
    const int press = QEvent::MouseButtonPress;
    const int doubleClick = QEvent::MouseButtonDblClick;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("ctrl+click") << press << ctrl << true << QPoint(60, 60) << -80 << 1;
    QTest::newRow("ctrl+shift+click")
        << press << int(ctrl | Qt::ShiftModifier) << true << QPoint(5, 5) << -80 << 1;
    QTest::newRow("plain press") << press << int(Qt::ShiftModifier) << true << QPoint(60, 60) << 3
                                 << 0;
    QTest::newRow("double-click outside the text")
        << doubleClick << int(Qt::NoModifier) << true << QPoint(5, 5) << -80 << 1;
    QTest::newRow("double-click before the first paint")
        << doubleClick << int(Qt::NoModifier) << false << QPoint(60, 60) << -80 << 1;
}

void TstKnob::pressAndDoubleClick()
{
    QFETCH(int, type);
    QFETCH(int, modifiers);
    QFETCH(bool, painted);
    QFETCH(QPoint, pos);
    QFETCH(int, expected);
    QFETCH(int, emissions);
    Knob knob;
    configure(knob, 120, -80, 6, 3);
    if (painted)
        render(knob);
    QSignalSpy spy(&knob, &Knob::valueChangedSig);
    sendMouse(knob, QEvent::Type(type), pos, Qt::LeftButton, Qt::LeftButton,
              Qt::KeyboardModifiers(modifiers));
    QCOMPARE(knob.value, expected);
    QCOMPARE(spy.count(), emissions);
    if (emissions > 0)
        QCOMPARE(spy.at(0).at(0).toInt(), expected);
    QVERIFY(knob.editor->isHidden());
}

void TstKnob::doubleClickOnTextOpensEditor()
{
    Knob knob;
    configure(knob, 120, 0, 56, 0);
    knob.displayOffset = 9;
    render(knob);
    QSignalSpy spy(&knob, &Knob::valueChangedSig);
    // The text rectangle's corner counts as inside.
    sendMouse(knob, QEvent::MouseButtonDblClick, knob.textRect.bottomRight(), Qt::LeftButton,
              Qt::LeftButton);
    QVERIFY(!knob.editor->isHidden());
    QCOMPARE(knob.editor->text(), QStringLiteral("9"));
    QCOMPARE(knob.editor->selectedText(), QStringLiteral("9"));
    QCOMPARE(knob.editor->geometry(), KnobGeometry::editorRect(knob.textRect));
    QCOMPARE(knob.value, 0);
    QCOMPARE(spy.count(), 0);
}

void TstKnob::editorCommit_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    QTest::newRow("unit stripped, offset taken off") << 0 << 56 << 9 << 0 << "20dB" << 11;
    QTest::newRow("below range after offset") << 0 << 56 << 9 << 30 << "5" << 0;
    QTest::newRow("negative with unit") << -80 << 6 << 0 << 0 << "-12dB" << -12;
    QTest::newRow("not a number") << -80 << 6 << 0 << -30 << "abc" << -30;
    QTest::newRow("unit is case-sensitive") << -80 << 6 << 0 << -30 << "-5DB" << -30;
    QTest::newRow("above range") << -80 << 6 << 0 << -30 << "100" << 6;
    QTest::newRow("empty") << -80 << 6 << 0 << -30 << "" << -30;
}

void TstKnob::editorCommit()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, offset);
    QFETCH(int, start);
    QFETCH(QString, typed);
    QFETCH(int, expected);
    Knob knob;
    configure(knob, 120, minimum, maximum, start);
    knob.displayOffset = offset;
    QSignalSpy spy(&knob, &Knob::valueChangedSig);
    typeIntoEditor(knob, typed);
    QCOMPARE(knob.value, expected);
    QVERIFY(knob.editor->isHidden());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.last().at(0).toInt(), expected);
}

void TstKnob::arcSpan_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("degrees");
    QTest::newRow("minimum") << -80 << 0.0;
    QTest::newRow("middle") << -37 << 135.0;
    QTest::newRow("maximum") << 6 << 270.0;
}

void TstKnob::arcSpan()
{
    QFETCH(int, value);
    QFETCH(double, degrees);
    QCOMPARE(KnobGeometry::sweepDegrees(value, -80, 6), degrees);
    // Clockwise from the start, in sixteenths of a degree.
    QCOMPARE(KnobGeometry::valueSpan16(value, -80, 6), int(-16 * degrees));
}

void TstKnob::workedGeometry_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("arcWidth");
    QTest::addColumn<QRect>("box");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<int>("face");
    QTest::addColumn<int>("body");
    QTest::addColumn<double>("shadowRadius");
    QTest::addColumn<double>("faceRadius");
    QTest::newRow("120") << 120 << 7 << QRect(7, 7, 106, 106) << 19 << 17 << 84 << 63.6 << 53.0;
    QTest::newRow("70") << 70 << 3 << QRect(3, 3, 64, 64) << 10 << 9 << 51 << 38.4 << 32.0;
}

void TstKnob::workedGeometry()
{
    QFETCH(int, size);
    QFETCH(int, arcWidth);
    QFETCH(QRect, box);
    QFETCH(int, shadow);
    QFETCH(int, face);
    QFETCH(int, body);
    QFETCH(double, shadowRadius);
    QFETCH(double, faceRadius);
    const double ratio = Knob().bodyRatio;
    QCOMPARE(KnobGeometry::arcBox(size, size, arcWidth), box);
    QCOMPARE(KnobGeometry::shadowOrigin(box.width(), ratio, arcWidth), shadow);
    QCOMPARE(KnobGeometry::faceOrigin(box.width(), ratio, arcWidth), face);
    QCOMPARE(KnobGeometry::bodySize(box.width(), ratio), body);
    QCOMPARE(KnobGeometry::shadowGradientRadius(box.width()), shadowRadius);
    QCOMPARE(KnobGeometry::faceGradientRadius(box.width()), faceRadius);
}

void TstKnob::editorRectShrinksTextRect()
{
    // 2.5 % of 81 x 41 is 2.025 x 1.025, truncated to 2 x 1 on each side.
    QCOMPARE(KnobGeometry::editorRect(QRect(10, 20, 81, 41)), QRect(12, 21, 77, 39));
    // Below 40 px the inset truncates to nothing.
    QCOMPARE(KnobGeometry::editorRect(QRect(5, 5, 39, 39)), QRect(5, 5, 39, 39));
}

void TstKnob::paintsArcsWhereTheValueReaches_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("arcWidth");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("coveredUpTo");
    QTest::newRow("120 minimum") << 120 << 7 << -80 << 225.0;
    QTest::newRow("120 middle") << 120 << 7 << -37 << 90.0;
    QTest::newRow("120 maximum") << 120 << 7 << 6 << -45.0;
    QTest::newRow("70 middle") << 70 << 3 << -37 << 90.0;
    QTest::newRow("70 maximum") << 70 << 3 << 6 << -45.0;
}

void TstKnob::paintsArcsWhereTheValueReaches()
{
    QFETCH(int, size);
    QFETCH(int, arcWidth);
    QFETCH(int, value);
    QFETCH(double, coveredUpTo);
    Knob knob;
    configure(knob, size, -80, 6, value);
    knob.arcWidth = arcWidth;
    knob.roundCap = false;
    const QImage image = render(knob);
    const QRect box = KnobGeometry::arcBox(size, size, arcWidth);
    // Walk the whole track clockwise from 225 degrees: value colour up to
    // where the value reaches, track colour after it. Keep a few degrees
    // away from the ends and the boundary, where colours blend.
    for (double angle = 220.0; angle >= -40.0; angle -= 2.5) {
        if (qAbs(angle - coveredUpTo) < 5.0)
            continue;
        const QPoint p = arcPixel(box, angle);
        const QColor expected = angle > coveredUpTo ? knob.arcColor : knob.trackColor;
        QVERIFY2(near(image.pixelColor(p), expected),
                 qPrintable(QStringLiteral("%1 deg at (%2,%3) is %4")
                                .arg(angle)
                                .arg(p.x())
                                .arg(p.y())
                                .arg(image.pixelColor(p).name())));
    }
    // The gap at the bottom is never drawn.
    QCOMPARE(image.pixelColor(arcPixel(box, 270.0)), kBackground);
}

void TstKnob::paintsBodyLitFromTheOrigin()
{
    Knob knob;
    configure(knob, 120, -80, 6, -80);
    knob.showText = false;
    const QImage image = render(knob);
    // The face disc is (17, 17, 84, 84), the shadow disc (19, 19, 84, 84).
    // With the light at the widget origin the face's centre lies beyond
    // the gradient radius and gets the dark end colour...
    QVERIFY(near(image.pixelColor(59, 59), QColor(30, 30, 30), 1));
    // ...and the face grows lighter toward the top-left.
    QVERIFY(image.pixelColor(32, 32).lightness() > image.pixelColor(45, 45).lightness() + 10);
    // Just outside the face at the lower right, the shadow's crescent shows.
    QVERIFY(near(image.pixelColor(89, 89), QColor(20, 20, 20), 2));
    // Just outside the face at the upper left, the background shows.
    QCOMPARE(image.pixelColor(27, 27), kBackground);
}

void TstKnob::paintsValueTextWithOffset_data()
{
    // A Knob with range [0, 56] and offset 9 must look exactly like an
    // offset-free one whose range and value read what it should display.
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("referenceMinimum");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 shows 0dB") << 0 << 0 << "0dB";
    QTest::newRow("1 shows 10dB") << 1 << 9 << "10dB";
    QTest::newRow("56 shows 65dB") << 56 << 9 << "65dB";
}

void TstKnob::paintsValueTextWithOffset()
{
    QFETCH(int, value);
    QFETCH(int, referenceMinimum);
    QFETCH(QString, text);
    Knob knob;
    configure(knob, 120, 0, 56, value);
    knob.displayOffset = 9;
    Knob reference;
    configure(reference, 120, referenceMinimum, referenceMinimum + 56, referenceMinimum + value);
    const QImage image = render(knob);
    QCOMPARE(image, render(reference));

    const QFontMetrics metrics(QFont(knob.fontFamily, knob.fontSize));
    QCOMPARE(knob.textRect, metrics.boundingRect(knob.rect(), Qt::AlignCenter, text));
    QVERIFY(textPixels(image, knob.textRect) > 10);
    QCOMPARE(textPixels(image, knob.rect()), textPixels(image, knob.textRect));
}

void TstKnob::hiddenTextIsNotDrawnAndNotEditable()
{
    Knob knob;
    configure(knob, 120, -80, 6, -20);
    knob.showText = false;
    const QImage image = render(knob);
    QCOMPARE(textPixels(image, knob.rect()), 0);
    QVERIFY(knob.textRect.isNull());

    // Even where a drawn text would be, a double-click resets.
    QSignalSpy spy(&knob, &Knob::valueChangedSig);
    sendMouse(knob, QEvent::MouseButtonDblClick, QPoint(60, 60), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(knob.editor->isHidden());
    QCOMPARE(knob.value, -80);
    QCOMPARE(spy.count(), 1);

    // A text rectangle left over from an earlier paint does not open the
    // editor either.
    knob.showText = true;
    render(knob);
    knob.showText = false;
    sendMouse(knob, QEvent::MouseButtonDblClick, knob.textRect.center(), Qt::LeftButton,
              Qt::LeftButton);
    QVERIFY(knob.editor->isHidden());
}

void TstKnob::keysAndAssistiveTechnology_data()
{
    // `input` is a key sequence ("key PgUp"), a value given through the
    // accessible value interface ("set 20") or an accessible action.
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("emits");
    QTest::newRow("Up") << 0 << -20 << "key Up" << -19 << true;
    QTest::newRow("Right") << 0 << -20 << "key Right" << -19 << true;
    QTest::newRow("Down") << 0 << -20 << "key Down" << -21 << true;
    QTest::newRow("Left") << 0 << -20 << "key Left" << -21 << true;
    QTest::newRow("Up at maximum") << 0 << 6 << "key Up" << 6 << true;
    QTest::newRow("Page Up") << 0 << -20 << "key PgUp" << -14 << true;
    QTest::newRow("Page Down stops at minimum") << 0 << -77 << "key PgDown" << -80 << true;
    QTest::newRow("Home") << 0 << -20 << "key Home" << -80 << true;
    QTest::newRow("End") << 9 << 30 << "key End" << 56 << true;
    QTest::newRow("Ctrl+Up is left to shortcuts") << 0 << -20 << "key Ctrl+Up" << -20 << false;
    QTest::newRow("Space does nothing") << 0 << -20 << "key Space" << -20 << false;
    QTest::newRow("set as shown") << 9 << 0 << "set 20" << 11 << true;
    QTest::newRow("set below what is shown") << 9 << 30 << "set 5" << 0 << true;
    QTest::newRow("set rounds") << 0 << -20 << "set -12.6" << -13 << true;
    QTest::newRow("set beyond range") << 0 << -20 << "set 1e300" << 6 << true;
    QTest::newRow("set not a number") << 0 << -20 << "set abc" << -20 << false;
    QTest::newRow("increase") << 9 << 0 << "action Increase" << 1 << true;
    QTest::newRow("decrease at minimum") << 0 << -80 << "action Decrease" << -80 << true;
}

void TstKnob::keysAndAssistiveTechnology()
{
    QFETCH(int, offset);
    QFETCH(int, start);
    QFETCH(QString, input);
    QFETCH(int, expected);
    QFETCH(bool, emits);
    AccessibilitySpy accessibility;
    Knob knob;
    // The level dials' range, or the VT2 gain dials' with their offset.
    configure(knob, 120, offset ? 0 : -80, offset ? 56 : 6, start);
    knob.displayOffset = offset;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&knob);
    QAccessibleValueInterface* valueIface = iface->valueInterface();
    QVERIFY(valueIface);
    QSignalSpy spy(&knob, &Knob::valueChangedSig);

    const QString argument = input.section(' ', 1);
    if (input.startsWith("key ")) {
        const QKeyCombination key = QKeySequence(argument)[0];
        QTest::keyClick(&knob, key.key(), key.keyboardModifiers());
    } else if (input.startsWith("set ")) {
        bool number = false;
        const double shown = argument.toDouble(&number);
        valueIface->setCurrentValue(number ? QVariant(shown) : QVariant(argument));
    } else {
        QVERIFY(iface->actionInterface()->actionNames().contains(argument));
        iface->actionInterface()->doAction(argument);
    }

    QCOMPARE(knob.value, expected);
    QCOMPARE(spy.count(), emits ? 1 : 0);
    // Assistive technology sees what the dial shows, offset and all.
    const QString shownText = KnobGeometry::valueText(expected, offset, knob.unit);
    QCOMPARE(iface->text(QAccessible::Value), shownText);
    QCOMPARE(valueIface->currentValue().toString() + knob.unit, shownText);
    QCOMPARE(valueIface->minimumValue().toInt(), offset ? 0 : -80);
    QCOMPARE(valueIface->maximumValue().toInt(), offset ? 65 : 6);
    QCOMPARE(iface->role(), QAccessible::Slider);
    const auto events = accessibility.about(&knob);
    QCOMPARE(events.size(), emits ? 1 : 0);
    if (emits) {
        QCOMPARE(events.at(0).type, QAccessible::ValueChanged);
        QCOMPARE(events.at(0).value, valueIface->currentValue());
    }
}

void TstKnob::focusRingOnlyForTheKeyboard()
{
    QWidget window;
    auto* knob = new Knob(&window);
    configure(*knob, 120, -80, 6, -20);
    auto* other = new Knob(&window);
    other->move(0, 130);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus(Qt::OtherFocusReason);
    const QImage unfocused = render(*knob);

    // Tab onto it: the ring runs between the arcs and the body, at the top
    // 14 px down, where neither the arcs (3.5 to 10.5) nor the body (17 on)
    // reach.
    knob->setFocus(Qt::TabFocusReason);
    const QImage focused = render(*knob);
    QVERIFY(near(focused.pixelColor(60, 14), ControlAccessibility::kFocusRingColor, 40));
    QCOMPARE(unfocused.pixelColor(60, 14), kBackground);
    QCOMPARE(focused.pixelColor(60, 7), unfocused.pixelColor(60, 7));
    QCOMPARE(focused.pixelColor(60, 60), unfocused.pixelColor(60, 60));

    // A click keeps the focus but takes the ring away; a key brings it back.
    QTest::mouseClick(knob, Qt::LeftButton);
    QVERIFY(knob->hasFocus());
    QCOMPARE(render(*knob), unfocused);
    QTest::keyClick(knob, Qt::Key_Up);
    QVERIFY(near(render(*knob).pixelColor(60, 14), ControlAccessibility::kFocusRingColor, 40));
    // Focus that came by the mouse shows no ring.
    other->setFocus(Qt::MouseFocusReason);
    knob->setFocus(Qt::MouseFocusReason);
    QVERIFY(!near(render(*knob).pixelColor(60, 14), ControlAccessibility::kFocusRingColor, 40));
}

QTEST_MAIN(TstKnob)
#include "tst_knob.moc"
