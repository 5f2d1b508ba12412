// The tray icon's menu and actions, and the audio refresh command.

#include "app/main_window.h"
#include "app/refresh_command.h"
#include "app/tray_icon.h"
#include "log_capture.h"
#include "settings/settings.h"
#include "test_environment.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

namespace {

// Answers the next modal message box and records what it said.
struct MessageBoxWatcher {
    QString title;
    QString text;

    void arm()
    {
        QTimer::singleShot(0, [this] { poll(); });
    }
    void poll()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
            return;
        }
        QTimer::singleShot(10, [this] { poll(); });
    }
};

QAction* entry(TrayIcon& tray, int position)
{
    return tray.contextMenu()->actions().at(position - 1);
}

} // namespace

class TestTray : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    WideOutputSink m_openLines; // the driver's device-open lines

private slots:

    void menuHasTenPositions()
    {
        QGuiApplication::setQuitOnLastWindowClosed(true);
        TrayIcon tray;
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());

        const QList<QAction*> actions = tray.contextMenu()->actions();
        QCOMPARE(actions.size(), 10);
        const QStringList texts{"V20251009",
                                "Quit",
                                "",
                                "Setup",
                                "Main Window",
                                "Upgrade Firmware",
                                "Refresh Audio Device",
                                "Win Sound Pannel",
                                "",
                                ""};
        for (int i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions[i]->text(), texts[i]);
            QCOMPARE(actions[i]->isSeparator(), texts[i].isEmpty());
        }
        QVERIFY(!actions[0]->isEnabled());
        QVERIFY(!tray.icon().isNull());
    }

    void clicksShowTheMainWindow_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<bool>("shows");

        QTest::newRow("Unknown") << QSystemTrayIcon::Unknown << false;
        QTest::newRow("Context") << QSystemTrayIcon::Context << false;
        QTest::newRow("DoubleClick") << QSystemTrayIcon::DoubleClick << true;
        QTest::newRow("Trigger") << QSystemTrayIcon::Trigger << true;
        QTest::newRow("MiddleClick") << QSystemTrayIcon::MiddleClick << false;
    }
    void clicksShowTheMainWindow()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(bool, shows);

        MainWindow window;
        TrayIcon tray;
        tray.setMainWindow(&window);
        tray.setMainWindow(nullptr); // ignored
        emit tray.activated(reason);
        QCOMPARE(window.isVisible(), shows);
    }

    void mainWindowEntryDoesNotFilter()
    {
        MainWindow window;
        TrayIcon tray;
        tray.setMainWindow(&window);
        entry(tray, 5)->trigger();
        QVERIFY(window.isVisible());
    }

    void missingWindowsAreReported_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");

        QTest::newRow("Main Window") << 5 << "主窗口未设置，请先设置主窗口。";
        QTest::newRow("Setup") << 4 << "设置窗口未设置，请先设置设置窗口。";
    }
    void missingWindowsAreReported()
    {
        QFETCH(int, position);
        QFETCH(QString, text);

        TrayIcon tray;
        MessageBoxWatcher watcher;
        watcher.arm();
        entry(tray, position)->trigger();
        QCOMPARE(watcher.title, QStringLiteral("警告"));
        QCOMPARE(watcher.text, text);
    }

    void setupShowsTheSettingsDialog()
    {
        Settings dialog;
        TrayIcon tray;
        tray.setSettingsWindow(&dialog);
        entry(tray, 4)->trigger();
        QVERIFY(dialog.isVisible());
    }

    void quitEndsTheEventLoop()
    {
        TrayIcon tray;
        MainWindow window;
        window.hide();
        QTimer::singleShot(0, entry(tray, 2), &QAction::trigger);
        QTimer failsafe;
        failsafe.setSingleShot(true);
        connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(42); });
        failsafe.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void upgradeFirmwareUsesItsOwnHandle()
    {
        LogCapture log;
        TrayIcon tray;
        entry(tray, 6)->trigger();
        QVERIFY(log.contains("Failed to create device in vt1."));

        virtualunit::VirtualUnit unit;
        QVERIFY(unit.plug());
        entry(tray, 6)->trigger();
        entry(tray, 6)->trigger();
        QCOMPARE(unit.state().firmwareUpgrades, 2);
        QTRY_COMPARE(unit.connectionCount(), 0);
    }

    void refreshCommandOutcome_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<bool>("succeeded");
        QTest::addColumn<QStringList>("warnings");

        QTest::newRow("success") << "echo fine" << 5000 << true << QStringList{};
        QTest::newRow("exit code 1")
            << "echo out; echo err >&2; exit 1" << 5000 << false
            << QStringList{"命令执行失败，退出代码: 1", "输出: out\n", "错误输出: err\n"};
        QTest::newRow("outlives the wait")
            << "sleep 8" << 300 << false
            << QStringList{"重启资源管理器超时", "错误信息: Process operation timed out"};
        // A program that never started reads as exit code 255.
        QTest::newRow("program missing")
            << "" << 5000 << false
            << QStringList{"重启资源管理器超时", "错误信息: execvp: No such file or directory",
                           "命令执行失败，退出代码: 255", "输出: ", "错误输出: "};
    }
    void refreshCommandOutcome()
    {
        QFETCH(QString, script);
        QFETCH(int, timeoutMs);
        QFETCH(bool, succeeded);
        QFETCH(QStringList, warnings);

        LogCapture log;
        const QString program =
            script.isEmpty() ? QStringLiteral("/nonexistent/refresh") : QStringLiteral("/bin/sh");
        const QStringList arguments = script.isEmpty() ? QStringList{} : QStringList{"-c", script};
        QCOMPARE(runRefreshCommand(program, arguments, timeoutMs), succeeded);
        QCOMPARE(log.warnings(), warnings);
        QCOMPARE(log.contains("资源管理器已成功重启"), succeeded);
    }

    void soundSettingsLaunchOrReport()
    {
        const QByteArray savedPath = qgetenv("PATH");
        QTemporaryDir tools;
        const QString marker = tools.filePath("launched");
        QFile fake(tools.filePath("pavucontrol"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(QString("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

        TrayIcon tray;
        {
            LogCapture log;
            qputenv("PATH", QFile::encodeName(tools.path()) + ":/bin:/usr/bin");
            entry(tray, 8)->trigger();
            QVERIFY(log.contains("声音设置面板已打开。"));
            QTRY_VERIFY(QFile::exists(marker));
        }
        {
            qputenv("PATH", QFile::encodeName(tools.path() + "/nothing-here"));
            MessageBoxWatcher watcher;
            watcher.arm();
            entry(tray, 8)->trigger();
            QCOMPARE(watcher.title, QStringLiteral("错误"));
            QCOMPARE(watcher.text, QStringLiteral("无法打开声音设置面板，请检查系统设置。"));
        }
        qputenv("PATH", savedPath);
    }
};

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
