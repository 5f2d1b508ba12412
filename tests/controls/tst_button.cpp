#include "accessibility_spy.h"
#include "controls/button.h"

#include <QGraphicsDropShadowEffect>
#include <QSignalSpy>
#include <QtTest>

namespace {
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

class TstButton : public QObject {
    Q_OBJECT

private slots:
    void pressesToggle_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
    }
    void pressesToggle()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        PanelButton button;
        QCOMPARE(button.graphicsEffect(), button.glow);
        QCOMPARE(button.glow->blurRadius(), 6.4);
        QCOMPARE(button.glow->offset(), QPointF(0, 0));
        QVERIFY(!button.glow->isEnabled());
        QVERIFY(button.styleSheet().isEmpty()); // the platform look until first styled
        QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
        QSignalSpy spy(&button, &Button::pressed);
        QSignalSpy clicked(&button, &QAbstractButton::clicked);

        // The state changes on the press, before any release; one signal each.
        QTest::mousePress(&button, mouseButton);
        QVERIFY(button.checked && button.glow->isEnabled());
        QVERIFY(button.styleSheet().contains(kOn));
        QCOMPARE(button.glow->color(), QColor("#ff7f00"));
        QCOMPARE(states(spy), QVariantList{true});
        QTest::mouseRelease(&button, mouseButton);
        QTest::mouseClick(&button, mouseButton);
        QVERIFY(!button.checked && !button.glow->isEnabled());
        QVERIFY(button.styleSheet().contains(kOff));
        QCOMPARE(states(spy), (QVariantList{true, false}));
        QVERIFY(!button.isChecked()); // none of the base's checkable machinery
        QCOMPARE(clicked.count(), 0);
    }

    // Restoring a saved state reaches the owner even when nothing changes.
    void setStateAlwaysEmits()
    {
        PanelButton button;
        QSignalSpy spy(&button, &Button::pressed);
        button.setState(true);
        button.setState(true);
        QVERIFY(button.glow->isEnabled() && button.styleSheet().contains(kOn));
        button.setState(false);
        QVERIFY(!button.glow->isEnabled() && button.styleSheet().contains(kOff));
        QCOMPARE(states(spy), (QVariantList{true, true, false}));
    }
    // Space, Select and a screen reader's press do what a mouse press does;
    // a screen reader sees a check box holding the switch's own state.
    void keysAndScreenReader_data()
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
    void keysAndScreenReader()
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
};

QTEST_MAIN(TstButton)
#include "tst_button.moc"
