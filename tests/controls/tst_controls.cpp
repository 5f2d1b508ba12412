// The two self-drawn controls: what each input does to a Knob's value, how it
// paints, how a Button presses, and both through the keyboard and a screen
// reader, with the focus ring the keyboard brings.

#include "accessibility_spy.h"
#include "controls/button.h"
#include "controls/control_accessibility.h"
#include "controls/knob.h"
#include "controls/knob_geometry.h"

#include <QAccessibleValueInterface>
#include <QGraphicsDropShadowEffect>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtMath>
#include <QtTest>

namespace {
const QColor kBackground(0, 0, 255);

// A 120 px Knob of range [-80, 6], painted once so that its text rectangle
// is known; the previous drag position is (50, 50).
struct TestKnob : Knob {
    explicit TestKnob(int start, int offset = 0)
    {
        setFixedSize(120, 120);
        value = start;
        displayOffset = offset;
        lastX = lastY = 50;
        image();
    }
    QImage image()
    {
        QImage image(size(), QImage::Format_ARGB32);
        image.fill(kBackground); // anything not blue was painted by the Knob
        render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    }
};

enum Input { Set, Wheel, Drag, Press, DoubleClick, Edit };
struct InputRow {
    const char* name;
    int start;
    Input input;
    QPoint at;         // wheel delta or pointer position
    int extra;         // setValue's value, buttons, modifiers or display offset
    const char* typed; // into the editor
    int result;        // the value after; emitted unless nothing was asked
};
const InputRow kInputs[] = {
    {"setValue above the range", -80, Set, {}, 40, "", 6},
    {"setValue below the range", 0, Set, {}, -200, "", -80},
    {"setValue unchanged", -20, Set, {}, -20, "", -20},
    {"wheel up", -20, Wheel, {0, 120}, 0, "", -19},
    {"large wheel turn, one step", -20, Wheel, {0, 960}, 0, "", -19},
    {"sideways wheel lowers", -20, Wheel, {120, 0}, 0, "", -21},
    {"wheel up at the maximum", 6, Wheel, {0, 120}, 0, "", 6},
    {"wheel down at the minimum", -80, Wheel, {0, -1}, 0, "", -80},
    {"drag up and right", -20, Drag, {51, 49}, Qt::LeftButton, "", -18},
    {"drag far down and left", -20, Drag, {0, 99}, Qt::LeftButton, "", -22},
    {"drag up and left at the maximum", 6, Drag, {49, 49}, Qt::LeftButton, "", 5},
    {"drag down and right at the minimum", -80, Drag, {51, 51}, Qt::LeftButton, "", -79},
    {"hover", -20, Drag, {51, 49}, Qt::NoButton, "", -20},
    {"ctrl+click", -20, Press, {60, 60}, Qt::ControlModifier, "", -80},
    {"plain click", -20, Press, {60, 60}, 0, "", -20},
    {"double-click off the text", -20, DoubleClick, {5, 5}, 0, "", -80},
    {"typed, unit stripped, offset taken off", -20, Edit, {}, 9, "-1dB", -10},
    {"typed above the range", -20, Edit, {}, 0, "100", 6},
    {"typed, not a number", -20, Edit, {}, 0, "abc", -20},
    {"typed, unit is case-sensitive", -20, Edit, {}, 0, "-5DB", -20},
    {"typed, extreme number", -20, Edit, {}, 9, "-2147483648", -80},
};

const QString kOff = QStringLiteral("color: #8a95aa;   background-color: #1b1e23;");
const QString kOn = QStringLiteral("color: #ff7f00;   background-color: #2c313c;");

// A parentless Button (640 px wide at construction, as the panels make
// them) in a panel's colours.
struct PanelButton : Button {
    PanelButton()
        : Button(QStringLiteral("48V"))
    {
        uncheckedTextColor = QStringLiteral("#8a95aa");
        checkedTextColor = glowColor = QStringLiteral("#ff7f00");
        checkedBackground = QStringLiteral("#2c313c");
    }
};

QVariantList states(const QSignalSpy& spy)
{
    QVariantList result;
    for (const QVariantList& arguments : spy)
        result << arguments.at(0);
    return result;
}
} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    // Every input ends in the same commit: clamp, then emit once.
    void inputs_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kInputs)); ++row)
            QTest::newRow(kInputs[row].name) << row;
    }
    void inputs()
    {
        QFETCH(int, row);
        const InputRow& r = kInputs[row];
        TestKnob knob(r.start, r.input == Edit ? r.extra : 0);
        QSignalSpy spy(&knob, &Knob::valueChangedSig);
        auto mouse = [&](QEvent::Type type, QPoint at, int buttons, int modifiers) {
            QMouseEvent event(type, at, knob.mapToGlobal(at), Qt::LeftButton,
                              Qt::MouseButtons(buttons), Qt::KeyboardModifiers(modifiers));
            QCoreApplication::sendEvent(&knob, &event);
        };
        QWheelEvent wheel({10, 10}, {10, 10}, {}, r.at, {}, {}, Qt::NoScrollPhase, false);
        if (r.input == Set) {
            knob.setValue(r.extra);
        } else if (r.input == Wheel) {
            QCoreApplication::sendEvent(&knob, &wheel);
        } else if (r.input == Drag) {
            mouse(QEvent::MouseMove, r.at, r.extra, 0);
        } else if (r.input == Edit) { // on the number shown, edges of the text included
            mouse(QEvent::MouseButtonDblClick, knob.textRect.bottomRight(), Qt::LeftButton, 0);
            QCOMPARE(knob.editor->selectedText(), QString::number(r.start + r.extra));
            QTest::keyClicks(knob.editor, r.typed);
            QTest::keyClick(knob.editor, Qt::Key_Return);
            QVERIFY(knob.editor->isHidden());
        } else {
            mouse(r.input == Press ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick, r.at,
                  Qt::LeftButton, r.extra);
        }
        QCOMPARE(knob.value, r.result);
        const bool silent = (r.input == Drag || r.input == Press) && !r.extra;
        QCOMPARE(spy, silent ? QList<QVariantList>{} : QList<QVariantList>{{r.result}});
    }

    // The value arc covers the track clockwise from the lower left as far as
    // the value reaches; the number shown carries the display offset; the
    // body is lit from the widget's top-left corner.
    void paints_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("reach"); // degrees, 0 at three o'clock
        QTest::newRow("minimum") << 0 << -80 << "-80dB" << 225.0;
        QTest::newRow("middle") << 0 << -37 << "-37dB" << 90.0;
        QTest::newRow("maximum") << 0 << 6 << "6dB" << -45.0;
        QTest::newRow("with offset") << 9 << -5 << "4dB" << -10.47;
        QTest::newRow("0 ignores the offset") << 9 << 0 << "0dB" << -26.16;
    }
    void paints()
    {
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(double, reach);
        TestKnob knob(value, offset);
        knob.roundCap = false;
        const QImage image = knob.image();
        for (double angle = 220.0; angle >= -40.0; angle -= 2.5) {
            const double radians = qDegreesToRadians(angle);
            const QPoint p(qFloor(60 + 53 * qCos(radians)), qFloor(60 - 53 * qSin(radians)));
            if (qAbs(angle - reach) >= 5.0) // colours blend at the boundary
                QCOMPARE(image.pixelColor(p), angle > reach ? knob.arcColor : knob.trackColor);
        }
        QCOMPARE(image.pixelColor(60, 113), kBackground); // the gap at the bottom
        QCOMPARE(knob.textRect, QFontMetrics(QFont(knob.fontFamily, knob.fontSize))
                                    .boundingRect(knob.rect(), Qt::AlignCenter, text));
        // Face (17, 17, 84, 84) over the shadow disc (19, 19, 84, 84).
        QCOMPARE(image.pixelColor(59, 90), QColor(30, 30, 30));
        QVERIFY(image.pixelColor(32, 32).lightness() > image.pixelColor(45, 45).lightness() + 10);
        QCOMPARE(image.pixelColor(89, 89), QColor(20, 20, 20)); // the shadow's crescent
        QCOMPARE(image.pixelColor(27, 27), kBackground);
        knob.showText = false;
        QVERIFY(knob.image() != image);
    }
    // Keys and a screen reader turn the dial as a wheel step does; a screen
    // reader reads and sets the value as the dial shows it, offset included.
    void knobKeysAndScreenReader_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("input"); // "key K", "set SHOWN" or "action NAME"
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("emits");
        QTest::newRow("Up") << 0 << -20 << "key Up" << -19 << true;
        QTest::newRow("Right") << 0 << -20 << "key Right" << -19 << true;
        QTest::newRow("Down") << 0 << -20 << "key Down" << -21 << true;
        QTest::newRow("Left at minimum") << 0 << -80 << "key Left" << -80 << true;
        QTest::newRow("Page Up") << 0 << -20 << "key PgUp" << -14 << true;
        QTest::newRow("Page Down") << 0 << -77 << "key PgDown" << -80 << true;
        QTest::newRow("Home") << 0 << -20 << "key Home" << -80 << true;
        QTest::newRow("End") << 0 << -20 << "key End" << 6 << true;
        QTest::newRow("Ctrl+Up") << 0 << -20 << "key Ctrl+Up" << -20 << false;
        QTest::newRow("set as shown") << 9 << 0 << "set 5" << -4 << true;
        QTest::newRow("set rounds") << 0 << -20 << "set -12.6" << -13 << true;
        QTest::newRow("set beyond range") << 0 << -20 << "set 1e300" << 6 << true;
        QTest::newRow("set not a number") << 0 << -20 << "set abc" << -20 << false;
        QTest::newRow("increase") << 9 << 0 << "action Increase" << 1 << true;
    }
    void knobKeysAndScreenReader()
    {
        QFETCH(int, offset);
        QFETCH(int, start);
        QFETCH(QString, input);
        QFETCH(int, result);
        QFETCH(bool, emits);
        AccessibilitySpy accessibility;
        TestKnob knob(start, offset);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&knob);
        QAccessibleValueInterface* value = iface->valueInterface();
        QSignalSpy spy(&knob, &Knob::valueChangedSig);
        const QString argument = input.section(' ', 1);
        if (input.startsWith("key ")) {
            const QKeyCombination key = QKeySequence(argument)[0];
            QTest::keyClick(&knob, key.key(), key.keyboardModifiers());
        } else if (input.startsWith("set ")) {
            bool number = false;
            const double shown = argument.toDouble(&number);
            value->setCurrentValue(number ? QVariant(shown) : QVariant(argument));
        } else {
            iface->actionInterface()->doAction(argument);
        }
        QCOMPARE(spy, emits ? QList<QVariantList>{{result}} : QList<QVariantList>{});
        QCOMPARE(iface->role(), QAccessible::Slider);
        const QString shown = KnobGeometry::valueText(result, offset, QStringLiteral("dB"));
        QCOMPARE(iface->text(QAccessible::Value), shown);
        QCOMPARE(value->currentValue().toString() + "dB", shown);
        QCOMPARE(value->minimumValue().toInt(), -80 + offset);
        QCOMPARE(value->maximumValue().toInt(), 6 + offset);
        const auto events = accessibility.about(&knob);
        QCOMPARE(events.size(), emits ? 1 : 0);
        if (emits)
            QCOMPARE(events.at(0).value, value->currentValue());
    }


    // Either mouse button toggles on the press, before any release, one
    // signal each; restoring a saved state reaches the owner even unchanged.
    void buttonPressesAndRestores()
    {
        PanelButton button;
        QCOMPARE(button.graphicsEffect(), button.glow);
        QCOMPARE(button.glow->blurRadius(), 6.4);
        QCOMPARE(button.glow->offset(), QPointF(0, 0));
        QVERIFY(!button.glow->isEnabled());
        QVERIFY(button.styleSheet().isEmpty()); // the platform look until first styled
        QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
        QSignalSpy spy(&button, &Button::pressed);
        QSignalSpy clicked(&button, &QAbstractButton::clicked);
        QTest::mousePress(&button, Qt::LeftButton);
        QVERIFY(button.checked && button.glow->isEnabled());
        QVERIFY(button.styleSheet().contains(kOn));
        QCOMPARE(button.glow->color(), QColor("#ff7f00"));
        QCOMPARE(states(spy), QVariantList{true});
        QTest::mouseRelease(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::RightButton);
        QVERIFY(!button.checked && !button.glow->isEnabled());
        QVERIFY(button.styleSheet().contains(kOff));
        QVERIFY(!button.isChecked()); // none of the base's checkable machinery
        QCOMPARE(clicked.count(), 0);
        button.setState(true);
        button.setState(true);
        QVERIFY(button.glow->isEnabled() && button.styleSheet().contains(kOn));
        QCOMPARE(states(spy), (QVariantList{true, false, true, true}));
    }

    // Space, Select and a screen reader's press do what a mouse press does;
    // a screen reader sees a check box holding the switch's own state.
    void buttonKeysAndScreenReader_data()
    {
        QTest::addColumn<QString>("input"); // "key K", "repeat K" or "action NAME"
        QTest::addColumn<bool>("presses");
        QTest::newRow("Space") << "key Space" << true;
        QTest::newRow("Select") << "key Select" << true;
        QTest::newRow("Return") << "key Return" << false;
        QTest::newRow("held Space repeating") << "repeat Space" << false;
        QTest::newRow("press action") << "action Press" << true;
        QTest::newRow("toggle action") << "action Toggle" << true;
    }
    void buttonKeysAndScreenReader()
    {
        QFETCH(QString, input);
        QFETCH(bool, presses);
        AccessibilitySpy accessibility;
        PanelButton button;
        QSignalSpy spy(&button, &Button::pressed);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&button);
        QCOMPARE(iface->role(), QAccessible::CheckBox);
        QVERIFY(iface->state().checkable && !iface->state().checked);
        const QString argument = input.section(' ', 1);
        if (input.startsWith("action ")) {
            iface->actionInterface()->doAction(argument);
        } else {
            const Qt::Key key = QKeySequence(argument)[0].key();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(),
                            input.startsWith("repeat"));
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QCoreApplication::sendEvent(&button, &press);
            QCoreApplication::sendEvent(&button, &release);
        }
        QCOMPARE(states(spy), presses ? QVariantList{true} : QVariantList{});
        QCOMPARE(button.glow->isEnabled(), presses);
        QCOMPARE(iface->state().checked, presses);
        int announced = 0;
        for (const AccessibilitySpy::Event& event : accessibility.about(&button))
            announced += event.type == QAccessible::StateChanged && event.changed.checked;
        QCOMPARE(announced, presses ? 1 : 0);
    }

    // The ring shows in its own colour when the keyboard brought the focus,
    // not after a click, and again once a key is used.
    void focusRing_data()
    {
        QTest::addColumn<bool>("knob");
        QTest::newRow("knob") << true;
        QTest::newRow("button") << false;
    }
    void focusRing()
    {
        QFETCH(bool, knob);
        QWidget window;
        auto* control = knob ? static_cast<QWidget*>(new TestKnob(-20)) : new PanelButton;
        control->setParent(&window);
        control->setFixedSize(120, knob ? 120 : 40);
        auto* other = new TestKnob(-20);
        other->setParent(&window);
        other->move(0, 130);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus(Qt::OtherFocusReason);
        const auto ringShown = [control] {
            const QImage image = control->grab().toImage();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y) == ControlAccessibility::kFocusRingColor)
                        return true;
            return false;
        };
        QVERIFY(!ringShown());
        control->setFocus(Qt::TabFocusReason);
        QVERIFY(ringShown());
        QTest::mouseClick(control, Qt::LeftButton);
        QVERIFY(control->hasFocus() && !ringShown());
        QTest::keyClick(control, knob ? Qt::Key_Up : Qt::Key_Space);
        QVERIFY(ringShown());
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
