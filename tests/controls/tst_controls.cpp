// The self-drawn Knob and Button: inputs, painting, keyboard, screen reader
// and the focus ring.

#include "accessibility_spy.h"
#include "controls/button.h"
#include "controls/control_accessibility.h"
#include "controls/knob.h"
#include "controls/knob_geometry.h"
#include "test_common.h"

#include <QAccessibleValueInterface>
#include <QGraphicsDropShadowEffect>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtMath>

namespace {
const QColor kBackground(0, 0, 255);

// A 120 px Knob of range [-80, 6], painted once (its text rectangle known),
// last dragged at (50, 50).
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

// Every way to turn a Knob: `extra` is setValue's value, the buttons, the
// modifiers or (editor, screen reader) the display offset; `text` is typed,
// the keys (a held key repeating), a screen reader's value or action; the
// editor opens with `opener` (else a double-click on the text), closes with `closer`.
enum Input { Set, Wheel, Drag, Press, DoubleClick, Edit, Key, Access, Action };
struct InputRow {
    const char* name;
    int start;
    Input input;
    QPoint at; // wheel delta or pointer position
    int extra;
    const char* text;
    int result;
    bool emits;
    const char* opener = "";
    const char* closer = "Return";
};
const InputRow kInputs[] = {
    {"setValue above the range", -80, Set, {}, 40, "", 6, true},
    {"setValue unchanged", -20, Set, {}, -20, "", -20, true},
    {"wheel up", -20, Wheel, {0, 120}, 0, "", -19, true},
    {"large wheel turn, one step", -20, Wheel, {0, 960}, 0, "", -19, true},
    {"sideways wheel lowers", -20, Wheel, {120, 0}, 0, "", -21, true},
    {"wheel up at the maximum", 6, Wheel, {0, 120}, 0, "", 6, true},
    {"drag up and right", -20, Drag, {51, 49}, Qt::LeftButton, "", -18, true},
    {"drag far down and left", -20, Drag, {0, 99}, Qt::LeftButton, "", -22, true},
    {"drag up and left at the maximum", 6, Drag, {49, 49}, Qt::LeftButton, "", 5, true},
    {"drag down and right at the minimum", -80, Drag, {51, 51}, Qt::LeftButton, "", -79, true},
    {"hover", -20, Drag, {51, 49}, Qt::NoButton, "", -20, false},
    {"ctrl+click", -20, Press, {60, 60}, Qt::ControlModifier, "", -80, true},
    {"plain click", -20, Press, {60, 60}, 0, "", -20, false},
    {"double-click off the text", -20, DoubleClick, {5, 5}, 0, "", -80, true},
    {"typed, unit stripped, offset taken off", -20, Edit, {}, 9, "-1dB", -10, true},
    {"typed above the range", -20, Edit, {}, 0, "100", 6, true},
    {"typed, not a number", -20, Edit, {}, 0, "abc", -20, true},
    {"typed, unit is case-sensitive", -20, Edit, {}, 0, "-5DB", -20, true},
    {"typed, extreme number", -20, Edit, {}, 9, "-2147483648", -80, true},
    {"F2, typed", -20, Edit, {}, 0, "-5", -5, true, "F2"},
    {"Enter, typed, Enter", -20, Edit, {}, 0, "3", 3, true, "Enter", "Enter"},
    {"Escape cancels", -20, Edit, {}, 0, "-5", -20, false, "Return", "Escape"},
    {"Up", -20, Key, {}, 0, "Up", -19, true},
    {"Right", -20, Key, {}, 0, "Right", -19, true},
    {"Down", -20, Key, {}, 0, "Down", -21, true},
    {"Left at the minimum", -80, Key, {}, 0, "Left", -80, false},
    {"held Up repeating to the maximum", 4, Key, {}, 0, "Up,Up,Up,Up", 6, true},
    {"End again", 6, Key, {}, 0, "End,End", 6, false},
    {"Page Up", -20, Key, {}, 0, "PgUp", -14, true},
    {"Page Down near the minimum", -77, Key, {}, 0, "PgDown", -80, true},
    {"Home", -20, Key, {}, 0, "Home", -80, true},
    {"End", -20, Key, {}, 0, "End", 6, true},
    {"Ctrl+Up", -20, Key, {}, 0, "Ctrl+Up", -20, false},
    {"screen reader sets the value shown", 0, Access, {}, 9, "5", -4, true},
    {"screen reader's value rounded", -20, Access, {}, 0, "-12.6", -13, true},
    {"screen reader's value beyond the range", -20, Access, {}, 0, "1e300", 6, true},
    {"screen reader's value not a number", -20, Access, {}, 0, "abc", -20, false},
    {"screen reader's number between 0 and the next shown", 0, Access, {}, 9, "9", 1, true},
    {"screen reader's increase", 0, Action, {}, 9, "Increase", 1, true},
};

const QString kOff = QStringLiteral("color: #8a95aa;   background-color: #1b1e23;");
const QString kOn = QStringLiteral("color: #ff7f00;   background-color: #2c313c;");

// A parentless Button in a panel's colours, as the panels make them.
struct PanelButton : Button {
    PanelButton()
        : Button(QStringLiteral("48V"))
    {
        uncheckedTextColor = QStringLiteral("#8a95aa");
        checkedTextColor = glowColor = QStringLiteral("#ff7f00");
        checkedBackground = QStringLiteral("#2c313c");
    }
};

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    // Every input ends in one commit: clamp, emit once, tell a screen reader,
    // which reads the value as the dial shows it.
    void knobInputs_data() { addRows(kInputs); }
    void knobInputs()
    {
        const InputRow& r = currentRow(kInputs);
        const int offset = r.input == Edit || r.input >= Access ? r.extra : 0;
        AccessibilitySpy accessibility;
        TestKnob knob(r.start, offset);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&knob);
        QAccessibleValueInterface* value = iface->valueInterface();
        QSignalSpy spy(&knob, &Knob::valueChangedSig);
        auto mouse = [&](QEvent::Type type, QPoint at, int buttons, int modifiers) {
            QMouseEvent event(type, at, knob.mapToGlobal(at), Qt::LeftButton,
                              Qt::MouseButtons(buttons), Qt::KeyboardModifiers(modifiers));
            QCoreApplication::sendEvent(&knob, &event);
        };
        QWheelEvent wheel({10, 10}, {10, 10}, {}, r.at, {}, {}, Qt::NoScrollPhase, false);
        bool number = false;
        const double accessValue = QString(r.text).toDouble(&number);
        const QKeySequence keys(r.text);
        switch (r.input) {
        case Set:
            knob.setValue(r.extra);
            break;
        case Wheel:
            QCoreApplication::sendEvent(&knob, &wheel);
            break;
        case Drag:
            mouse(QEvent::MouseMove, r.at, r.extra, 0);
            break;
        case Press:
            mouse(QEvent::MouseButtonPress, r.at, Qt::LeftButton, r.extra);
            break;
        case DoubleClick:
            mouse(QEvent::MouseButtonDblClick, r.at, Qt::LeftButton, 0);
            break;
        case Edit: // on the number shown, edges of the text included
            if (*r.opener)
                QTest::keyClick(&knob, QKeySequence(r.opener)[0].key());
            else
                mouse(QEvent::MouseButtonDblClick, knob.textRect.bottomRight(), Qt::LeftButton, 0);
            QCOMPARE(knob.editor->selectedText(), QString::number(r.start + r.extra));
            QCOMPARE(knob.editor->accessibleDescription(), ControlAccessibility::spokenValue(knob));
            QTest::keyClicks(knob.editor, r.text);
            // The keys that turn the dial do nothing while its editor is open.
            for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown})
                QTest::keyClick(knob.editor, key);
            QTest::keyClick(knob.editor, QKeySequence(r.closer)[0].key());
            QVERIFY(knob.editor->isHidden());
            break;
        case Key: // a key held down repeats: the presses after the first
            for (int i = 0; i < keys.count(); ++i) {
                QKeyEvent press(QEvent::KeyPress, keys[i].key(), keys[i].keyboardModifiers(),
                                QString(), i > 0);
                QCoreApplication::sendEvent(&knob, &press);
            }
            break;
        case Access:
            value->setCurrentValue(number ? QVariant(accessValue) : QVariant(r.text));
            break;
        case Action:
            iface->actionInterface()->doAction(r.text);
            break;
        }
        QCOMPARE(knob.value, r.result);
        if (r.input == Key && r.emits) { // one command per value the keys moved to
            QCOMPARE(spy.last(), QVariantList{r.result});
            for (int i = 1; i < spy.size(); ++i)
                QVERIFY(spy.at(i) != spy.at(i - 1));
        } else {
            QCOMPARE(spy, r.emits ? QList<QVariantList>{{r.result}} : QList<QVariantList>{});
        }
        QCOMPARE(iface->role(), QAccessible::SpinBox);
        const QString shown = KnobGeometry::valueText(r.result, offset, QStringLiteral("dB"));
        QCOMPARE(iface->text(QAccessible::Value), shown);
        QCOMPARE(value->currentValue().toString() + "dB", shown);
        QCOMPARE(value->minimumValue().toInt(), -80 + offset);
        QCOMPARE(value->maximumValue().toInt(), 6 + offset);
        const auto events = accessibility.about(&knob);
        QCOMPARE(events.size(), spy.size());
        QVERIFY(!r.emits || events.last().value == value->currentValue());
    }

    // The value arc runs clockwise from the lower left as far as the value; the
    // number shown carries the display offset; the body is lit from top left.
    void paints_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("reach");   // degrees, 0 at three o'clock
        QTest::addColumn<QString>("spoken"); // what a screen reader says
        QTest::newRow("minimum") << 0 << -80 << "-80dB" << 225.0 << "-80 dB";
        QTest::newRow("middle") << 0 << -37 << "-37dB" << 90.0 << "-37 dB";
        QTest::newRow("maximum") << 0 << 6 << "6dB" << -45.0 << "+6 dB";
        QTest::newRow("with offset") << 9 << -5 << "4dB" << -10.47 << "+4 dB";
        QTest::newRow("0 ignores the offset") << 9 << 0 << "0dB" << -26.16 << "0 dB";
    }
    void paints()
    {
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(double, reach);
        QFETCH(QString, spoken);
        TestKnob knob(value, offset);
        AccessibilitySpy accessibility;
        QAccessibleTextInterface* said =
            QAccessible::queryAccessibleInterface(&knob)->textInterface();
        QCOMPARE(said->text(0, said->characterCount()), spoken);
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
    // Either mouse button, Space, Select and a screen reader's press toggle at
    // once, one signal each; a restored state reaches the owner even unchanged.
    // A screen reader sees a check box with the switch's state, told of changes.
    void buttonInputs_data()
    {
        QTest::addColumn<QString>("inputs"); // "mouse B", "key K", "repeat K", "action A", "set S"
        QTest::addColumn<QVariantList>("states");
        const QVariantList on{true};
        QTest::newRow("left press") << "mouse LeftButton" << on;
        QTest::newRow("right click, twice")
            << "mouse RightButton|mouse RightButton" << QVariantList{true, false};
        QTest::newRow("Space") << "key Space" << on;
        QTest::newRow("Select") << "key Select" << on;
        QTest::newRow("Return") << "key Return" << QVariantList{};
        QTest::newRow("held Space repeating") << "repeat Space" << QVariantList{};
        QTest::newRow("press action") << "action Press" << on;
        QTest::newRow("toggle action") << "action Toggle" << on;
        QTest::newRow("restored twice") << "set 1|set 1" << QVariantList{true, true};
    }
    void buttonInputs()
    {
        QFETCH(QString, inputs);
        QFETCH(QVariantList, states);
        AccessibilitySpy accessibility;
        PanelButton button;
        QSignalSpy spy(&button, &Button::pressed);
        QSignalSpy clicked(&button, &QAbstractButton::clicked);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&button);
        QCOMPARE(iface->role(), QAccessible::CheckBox);
        QVERIFY(iface->state().checkable && !iface->state().checked);
        for (const QString& input : inputs.split('|')) {
            const QString argument = input.section(' ', 1);
            const Qt::Key key = QKeySequence(argument)[0].key();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(),
                            input.startsWith("repeat"));
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            if (input.startsWith("mouse ")) {
                const auto mouseButton =
                    argument == "LeftButton" ? Qt::LeftButton : Qt::RightButton;
                QTest::mousePress(&button, mouseButton);
                QCOMPARE(button.checked, states.value(int(spy.size()) - 1).toBool());
                QTest::mouseRelease(&button, mouseButton);
            } else if (input.startsWith("action ")) {
                iface->actionInterface()->doAction(argument);
            } else if (input.startsWith("set ")) {
                button.setState(argument == "1");
            } else {
                QCoreApplication::sendEvent(&button, &press);
                QCoreApplication::sendEvent(&button, &release);
            }
        }
        QVariantList emitted;
        for (const QVariantList& arguments : spy)
            emitted << arguments.at(0);
        QCOMPARE(emitted, states);
        const bool on = states.value(states.size() - 1).toBool();
        QCOMPARE(button.checked, on);
        QCOMPARE(button.glow->isEnabled(), on);
        // The platform look until first styled, then the panel's colours.
        QCOMPARE(button.styleSheet().isEmpty(), states.isEmpty());
        QVERIFY(states.isEmpty() || (button.styleSheet().contains(on ? kOn : kOff) &&
                                     button.glow->color() == QColor("#ff7f00")));
        QVERIFY(!button.isChecked()); // none of the base's checkable machinery
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(iface->state().checked, on);
        int announced = 0;
        for (const AccessibilitySpy::Event& event : accessibility.about(&button))
            announced += event.type == QAccessible::StateChanged && event.changed.checked;
        QCOMPARE(announced, int(states.size()) - (inputs.startsWith("set") ? 1 : 0));
    }

    // The ring shows when the keyboard or the window's activation brought the
    // focus, not after a click, and again once a key is used.
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
        // A window coming back puts the focus where the next key goes: shown.
        other->setFocus(Qt::OtherFocusReason);
        control->setFocus(Qt::ActiveWindowFocusReason);
        QVERIFY(ringShown());
        QTest::mouseClick(control, Qt::LeftButton);
        QVERIFY(control->hasFocus() && !ringShown());
        QTest::keyClick(control, knob ? Qt::Key_Up : Qt::Key_Space);
        QVERIFY(ringShown());
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
