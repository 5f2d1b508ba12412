#include "accessibility_spy.h"
#include "controls/button.h"
#include "test_environment.h"

#include <QGraphicsDropShadowEffect>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Gives a Button the colours the device panels use, with the given accent.
void panelColours(Button& button, const QString& accent)
{
    button.uncheckedTextColor = QStringLiteral("#8a95aa");
    button.checkedBackground = QStringLiteral("#1b1e23");
    button.uncheckedBackground = QStringLiteral("#1b1e23");
    button.checkedTextColor = accent;
    button.glowColor = accent;
}

QList<bool> states(const QSignalSpy& spy)
{
    QList<bool> result;
    for (const QList<QVariant>& arguments : spy)
        result << arguments.at(0).toBool();
    return result;
}
} // namespace

class TstButton : public QObject {
    Q_OBJECT

private slots:
    void noStyleSheetBeforeFirstUpdate();
    void styleSheetText_data();
    void styleSheetText();
    void fieldChangesWaitForUpdateStyle();
    void glowSetUpAtConstruction_data();
    void glowSetUpAtConstruction();
    void pressesToggle_data();
    void pressesToggle();
    void setStateAlwaysEmits();
    void keyboardAndAssistiveTechnologyPress_data();
    void keyboardAndAssistiveTechnologyPress();
    void focusRingOnlyForTheKeyboard();

private:
    TestEnvironment m_environment;
};

void TstButton::noStyleSheetBeforeFirstUpdate()
{
    Button button(QStringLiteral("MUTE"));
    QVERIFY(button.styleSheet().isEmpty());
    button.updateStyle();
    QVERIFY(!button.styleSheet().isEmpty());
}

void TstButton::styleSheetText_data()
{
    QTest::addColumn<bool>("panel");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("expected");
    QTest::newRow("defaults off")
        << false << false
        << "QPushButton {   color: #00ff7f;   background-color: #1b1e23;   border-radius: 3px;}"
           "QPushButton:pressed {   background-color: #1b1e23;}";
    QTest::newRow("defaults on")
        << false << true
        << "QPushButton {   color: #000000;   background-color: #00ff7f;   border-radius: 3px;}"
           "QPushButton:pressed {   background-color: #00ff7f;}";
    QTest::newRow("panel off")
        << true << false
        << "QPushButton {   color: #8a95aa;   background-color: #1b1e23;   border-radius: 5px;}"
           "QPushButton:pressed {   background-color: #1b1e23;}";
    QTest::newRow("panel on")
        << true << true
        << "QPushButton {   color: #ff7f00;   background-color: #1b1e23;   border-radius: 5px;}"
           "QPushButton:pressed {   background-color: #1b1e23;}";
}

void TstButton::styleSheetText()
{
    QFETCH(bool, panel);
    QFETCH(bool, on);
    QFETCH(QString, expected);
    Button button(QStringLiteral("20dB"));
    if (panel) {
        panelColours(button, QStringLiteral("#ff7f00"));
        button.borderRadius = 5;
    }
    button.checked = on;
    button.updateStyle();
    QCOMPARE(button.styleSheet(), expected);
    QCOMPARE(button.glow->isEnabled(), on);
    QCOMPARE(button.glow->color(), QColor(button.glowColor));
}

void TstButton::fieldChangesWaitForUpdateStyle()
{
    Button button(QStringLiteral("DIM"));
    button.setState(true);
    const QString before = button.styleSheet();
    button.checkedTextColor = QStringLiteral("#00FFFF");
    button.glowColor = QStringLiteral("#00FFFF");
    QCOMPARE(button.styleSheet(), before);
    QCOMPARE(button.glow->color(), QColor("#00ff7f"));
    button.updateStyle();
    QVERIFY(button.styleSheet().startsWith("QPushButton {   color: #00FFFF;"));
    QCOMPARE(button.glow->color(), QColor("#00ffff"));
}

void TstButton::glowSetUpAtConstruction_data()
{
    QTest::addColumn<bool>("withParent");
    QTest::addColumn<double>("blurRadius");
    // A parentless widget starts 640 px wide, a child 100 px.
    QTest::newRow("parentless") << false << 6.4;
    QTest::newRow("child") << true << 1.0;
}

void TstButton::glowSetUpAtConstruction()
{
    QFETCH(bool, withParent);
    QFETCH(double, blurRadius);
    QWidget parent;
    Button* button = new Button(QStringLiteral("48V"), withParent ? &parent : nullptr);
    QScopedPointer<Button> owner(withParent ? nullptr : button);
    QCOMPARE(button->graphicsEffect(), button->glow);
    QCOMPARE(button->glow->blurRadius(), blurRadius);
    QCOMPARE(button->glow->offset(), QPointF(0, 0));
    QCOMPARE(button->glow->color(), QColor("#00ff7f"));
    QVERIFY(!button->glow->isEnabled());
    // Resizing later does not change the blur.
    button->resize(80, 30);
    QCOMPARE(button->glow->blurRadius(), blurRadius);
}

void TstButton::pressesToggle_data()
{
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("left") << Qt::LeftButton << Qt::KeyboardModifiers();
    QTest::newRow("right") << Qt::RightButton << Qt::KeyboardModifiers();
    QTest::newRow("middle") << Qt::MiddleButton << Qt::KeyboardModifiers();
    QTest::newRow("left with ctrl") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TstButton::pressesToggle()
{
    QFETCH(Qt::MouseButton, mouseButton);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Button button(QStringLiteral("DIRECT"));
    QSignalSpy spy(&button, &Button::pressed);
    QSignalSpy basePressed(&button, qOverload<>(&QAbstractButton::pressed));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);

    // The state changes on the press, before any release.
    QTest::mousePress(&button, mouseButton, modifiers);
    QVERIFY(button.checked);
    QVERIFY(button.glow->isEnabled());
    QCOMPARE(states(spy), QList<bool>({true}));
    QTest::mouseRelease(&button, mouseButton, modifiers);
    QVERIFY(button.glow->isEnabled());
    QTest::mouseClick(&button, mouseButton, modifiers);
    QVERIFY(!button.checked);
    QVERIFY(!button.glow->isEnabled());
    QCOMPARE(states(spy), QList<bool>({true, false}));
    QVERIFY(button.styleSheet().contains("color: #00ff7f;"));

    // None of the base class's machinery takes part.
    QVERIFY(!button.isChecked());
    QCOMPARE(basePressed.count(), 0);
    QCOMPARE(clicked.count(), 0);
}

void TstButton::setStateAlwaysEmits()
{
    Button button(QStringLiteral("48V"));
    QSignalSpy spy(&button, &Button::pressed);
    button.setState(true);
    button.setState(true);
    QVERIFY(button.checked);
    QVERIFY(button.glow->isEnabled());
    QVERIFY(button.styleSheet().contains("color: #000000;"));
    button.setState(false);
    QVERIFY(!button.glow->isEnabled());
    QCOMPARE(states(spy), QList<bool>({true, true, false}));
    QVERIFY(!button.isChecked());
}

void TstButton::keyboardAndAssistiveTechnologyPress_data()
{
    // `input` is a key ("key Space") or an accessible action ("action Press").
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("autoDefault");
    QTest::addColumn<bool>("presses");
    QTest::newRow("Space") << "key Space" << false << true;
    QTest::newRow("Select") << "key Select" << false << true;
    QTest::newRow("Return on an auto-default button") << "key Return" << true << true;
    QTest::newRow("Return on a plain button") << "key Return" << false << false;
    QTest::newRow("held Space repeating") << "repeat Space" << false << false;
    QTest::newRow("letter") << "key M" << false << false;
    QTest::newRow("press action") << "action Press" << false << true;
    QTest::newRow("toggle action") << "action Toggle" << false << true;
}

void TstButton::keyboardAndAssistiveTechnologyPress()
{
    QFETCH(QString, input);
    QFETCH(bool, autoDefault);
    QFETCH(bool, presses);
    AccessibilitySpy accessibility;
    Button button(QStringLiteral("MUTE"));
    button.setAutoDefault(autoDefault);
    button.setDefault(autoDefault);
    QSignalSpy spy(&button, &Button::pressed);
    QSignalSpy basePressed(&button, qOverload<>(&QAbstractButton::pressed));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&button);
    QVERIFY(iface->state().checkable);
    QVERIFY(!iface->state().checked);

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

    // Exactly what a mouse press does, and the base class stays silent.
    QCOMPARE(button.checked, presses);
    QCOMPARE(button.glow->isEnabled(), presses);
    QCOMPARE(states(spy), presses ? QList<bool>{true} : QList<bool>{});
    QCOMPARE(basePressed.count(), 0);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!button.isChecked());
    QCOMPARE(iface->state().checked, presses);
    int checkedEvents = 0;
    for (const AccessibilitySpy::Event& event : accessibility.about(&button))
        checkedEvents += event.type == QAccessible::StateChanged && event.changed.checked;
    QCOMPARE(checkedEvents, presses ? 1 : 0);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("MUTE"));
    button.setAccessibleName(QStringLiteral("Headphone MUTE"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Headphone MUTE"));
}

void TstButton::focusRingOnlyForTheKeyboard()
{
    QWidget window;
    auto* button = new Button(QStringLiteral("DIM"), &window);
    auto* other = new Button(QStringLiteral("MUTE"), &window);
    for (Button* b : {button, other}) {
        b->setFixedSize(80, 40);
        b->updateStyle();
    }
    other->move(0, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus(Qt::OtherFocusReason);
    const QImage unfocused = button->grab().toImage();

    // Tab onto it: a ring in the focus colour just inside the edge.
    button->setFocus(Qt::TabFocusReason);
    const QImage focused = button->grab().toImage();
    const QPoint edge(40, 1);
    QCOMPARE(focused.pixelColor(edge), ControlAccessibility::kFocusRingColor);
    QVERIFY(unfocused.pixelColor(edge) != ControlAccessibility::kFocusRingColor);
    QCOMPARE(focused.pixelColor(40, 20), unfocused.pixelColor(40, 20));
    // A click toggles and hides the ring; Space toggles back and shows it.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->hasFocus());
    QVERIFY(button->grab().toImage().pixelColor(edge) != ControlAccessibility::kFocusRingColor);
    QTest::keyClick(button, Qt::Key_Space);
    QVERIFY(!button->checked);
    QCOMPARE(button->grab().toImage(), focused);
}

QTEST_MAIN(TstButton)
#include "tst_button.moc"
