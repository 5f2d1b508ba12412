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
    void spaceChangesNothing();

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

void TstButton::spaceChangesNothing()
{
    Button button(QStringLiteral("MIC"));
    QSignalSpy spy(&button, &Button::pressed);
    QTest::keyClick(&button, Qt::Key_Space);
    QVERIFY(!button.checked);
    QCOMPARE(spy.count(), 0);
    QVERIFY(button.styleSheet().isEmpty());
}

QTEST_MAIN(TstButton)
#include "tst_button.moc"
