// The tray icon's clicks and menu, and the audio refresh command.

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
#include <QtTest>

namespace {
QAction* entry(TrayIcon& tray, const QString& text)
{
    const QList<QAction*> actions = tray.contextMenu()->actions();
    return *std::find_if(actions.begin(), actions.end(),
                         [&](QAction* a) { return a->text() == text; });
}

struct Use {
    const char* name;
    int click;         // an activation reason, or -1 for the menu entry
    const char* entry; // the menu entry
    bool available;    // the windows are set; the sound settings tool is installed
    const char* seen;  // what the user sees
};
const Use kUses[] = {
    {"click", QSystemTrayIcon::Trigger, "", true, "MainWindow"},
    {"double-click", QSystemTrayIcon::DoubleClick, "", true, "MainWindow"},
    {"context click", QSystemTrayIcon::Context, "", true, ""},
    {"middle click", QSystemTrayIcon::MiddleClick, "", true, ""},
    {"unknown activation", QSystemTrayIcon::Unknown, "", true, ""},
    {"Main Window", -1, "Main Window", true, "MainWindow"},
    {"Setup", -1, "Setup", true, "Settings"},
    {"Main Window, none set", -1, "Main Window", false, "警告: 主窗口未设置，请先设置主窗口。"},
    {"Setup, none set", -1, "Setup", false, "警告: 设置窗口未设置，请先设置设置窗口。"},
    {"sound settings", -1, "Win Sound Pannel", true, "launched"},
    {"sound settings missing", -1, "Win Sound Pannel", false,
     "错误: 无法打开声音设置面板，请检查系统设置。"},
};
} // namespace

class TestTray : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    WideOutputSink m_openLines;

private slots:
    void uses_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kUses)); ++row)
            QTest::newRow(kUses[row].name) << row;
    }
    void uses()
    {
        QFETCH(int, row);
        const Use& use = kUses[row];
        MainWindow window;
        Settings dialog;
        TrayIcon tray;
        QVERIFY(!tray.icon().isNull());
        QTemporaryDir tools; // the sound settings tool marks that it ran
        QFile tool(tools.filePath("pavucontrol"));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write(QString("#!/bin/sh\n: > %1/launched\n").arg(tools.path()).toUtf8());
        tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        tool.close();
        const QByteArray path = qEnvironmentVariable("PATH").toLocal8Bit();
        qputenv("PATH", QFile::encodeName(tools.path() + (use.available ? "" : "/none")));
        if (use.available) {
            tray.setMainWindow(&window);
            tray.setSettingsWindow(&dialog);
        }
        tray.setMainWindow(nullptr); // ignored
        QString box;                 // a message box is answered at once
        QTimer answer;
        answer.callOnTimeout([&] {
            if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box = shown->windowTitle() + ": " + shown->text();
                shown->accept();
            }
        });
        answer.start(10);
        if (use.click < 0)
            entry(tray, use.entry)->trigger();
        else
            emit tray.activated(QSystemTrayIcon::ActivationReason(use.click));
        qputenv("PATH", path);
        const auto seen = [&] {
            return box + (window.isVisible() ? "MainWindow" : "") +
                   (dialog.isVisible() ? "Settings" : "") +
                   (QFile::exists(tools.filePath("launched")) ? "launched" : "");
        };
        QTRY_COMPARE(seen(), QString(use.seen));
    }

    // Closing the windows leaves the application running; "Quit" ends it.
    void menu()
    {
        QGuiApplication::setQuitOnLastWindowClosed(true);
        TrayIcon tray;
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
        QStringList entries;
        for (QAction* action : tray.contextMenu()->actions())
            entries << action->text() + (action->isEnabled() ? "" : " (disabled)");
        QCOMPARE(entries.join('|'), "V20251009 (disabled)|Quit||Setup|Main Window|Upgrade Firmware|"
                                    "Refresh Audio Device|Win Sound Pannel||");
        QTimer::singleShot(0, entry(tray, "Quit"), &QAction::trigger);
        QTimer failsafe;
        failsafe.callOnTimeout([] { QCoreApplication::exit(1); });
        failsafe.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void upgradeFirmwareUsesItsOwnHandle()
    {
        LogCapture log;
        TrayIcon tray;
        entry(tray, "Upgrade Firmware")->trigger();
        QVERIFY(log.contains("Failed to create device in vt1."));
        virtualunit::VirtualUnit unit;
        QVERIFY(unit.plug());
        entry(tray, "Upgrade Firmware")->trigger();
        entry(tray, "Upgrade Firmware")->trigger();
        QCOMPARE(unit.state().firmwareUpgrades, 2);
        QTRY_COMPARE(unit.connectionCount(), 0);
    }

    void refreshCommand_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("success") << "echo fine" << kRefreshTimeoutMs << QStringList{};
        QTest::newRow("exit code 1")
            << "echo out; echo err >&2; exit 1" << kRefreshTimeoutMs
            << QStringList{"命令执行失败，退出代码: 1", "输出: out\n", "错误输出: err\n"};
        // Ended at the time-out: the command never gets to create the file.
        QTest::newRow("time-out") << "sleep 3; : > FILE" << 300
                                  << QStringList{"重启资源管理器超时",
                                                 "错误信息: Process operation timed out"};
    }
    void refreshCommand()
    {
        QFETCH(QString, script);
        QFETCH(int, timeoutMs);
        QFETCH(QStringList, warnings);
        QTemporaryDir directory;
        const QString file = directory.filePath("finished");
        LogCapture log;
        QCOMPARE(runRefreshCommand("/bin/sh", {"-c", script.replace("FILE", file)}, timeoutMs),
                 warnings.isEmpty());
        QCOMPARE(log.warnings(), warnings);
        QCOMPARE(log.contains("资源管理器已成功重启"), warnings.isEmpty());
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
