// The main window finding and watching the unit, the tray icon, the refresh command.

#include "app/main_window.h"
#include "app/refresh_command.h"
#include "app/tray_icon.h"
#include "settings/settings.h"
#include "test_common.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <string_view>

using namespace std::literals;

namespace {
constexpr int kWaitMs = 5000;
const QString kNotConnected = QStringLiteral("声卡未连接！");

// A unit found: its product id and firmware bytes (none: the read is
// refused), then the labels or the panel's class shown, the title, the focus.
const struct {
    const char* name;
    uint productId;
    std::string_view firmware;
    const char* shown;
    std::string_view title;
    const char* focus;
} kDetections[] = {
    {"vt1", 1, "V1.0.3-abc", "vt1", "Quorlin VT1 - FW: V1.0.3-abc", "Input Gain"},
    {"vt2", 2, "V1.0\0%2-ab"sv, "vt2", "Quorlin VT2 - FW: V1.0\0%2-ab"sv, "MIC1 Gain"},
    {"vr", 15, "V2.0.0-xyz", "vr", "Quorlin VR - FW: V2.0.0-xyz", "MIC Gain"},
    {"unknown unit", 7, "", "未知设备，请检查连接！", "Quorlin Driver", "未知设备，请检查连接！"},
    {"firmware unread", 2, "", "vt2|获取固件版本失败，请检查连接！", "Quorlin Driver",
     "获取固件版本失败，请检查连接！"},
};

// A main window with fast timers, a virtual unit and the log.
struct Detection {
    LogCapture log;
    Settings settings;
    MainWindow window;
    virtualunit::VirtualUnit unit;
    Detection()
    {
        window.settingsDialog = &settings;
        timer("detectTimer")->setInterval(30);
        timer("pollTimer")->setInterval(15);
        window.show();
        unit.setMovingMeters(false);
    }
    QTimer* timer(const char* name) const { return window.findChild<QTimer*>(name); }
    bool connected() const
    {
        return timer("pollTimer")->isActive() && !timer("detectTimer")->isActive();
    }
    bool traced(const std::string& line) const
    {
        const auto lines = unit.trace();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // Label texts, or the panel's class name, as the window shows them.
    QStringList shown() const
    {
        QStringList items;
        for (QWidget* w :
             window.centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            items << (qobject_cast<QLabel*>(w) ? static_cast<QLabel*>(w)->text()
                                               : w->metaObject()->className());
        return items;
    }
    // What has the window's focus: a control's name, or a label's text.
    QString focused() const
    {
        const QWidget* focus = window.focusWidget();
        const auto* label = qobject_cast<const QLabel*>(focus);
        return label ? label->text() : focus ? focus->accessibleName() : QString();
    }
};

QAction* entry(TrayIcon& tray, const QString& text)
{
    const QList<QAction*> actions = tray.contextMenu()->actions();
    return *std::find_if(actions.begin(), actions.end(),
                         [&](QAction* a) { return a->text() == text; });
}

struct Use {
    const char* name;
    int click;         // an activation reason, or -1 for the menu entry, -2 for the
                       // main window's own entry, -3 for its shortcut
    const char* entry; // the menu entry
    bool available;    // the windows are set; the sound settings tool is installed
    const char* seen;  // what the user sees
};
const Use kUses[] = {
    {"click", QSystemTrayIcon::Trigger, "", true, "MainWindow"},
    {"double-click", QSystemTrayIcon::DoubleClick, "", true, "MainWindow"},
    {"context click", QSystemTrayIcon::Context, "", true, ""},
    {"middle click", QSystemTrayIcon::MiddleClick, "", true, ""},
    {"Main Window", -1, "Main Window", true, "MainWindow"},
    {"Setup", -1, "Setup", true, "Settings"},
    {"Main Window, none set", -1, "Main Window", false, "警告: 主窗口未设置，请先设置主窗口。"},
    {"Setup, none set", -1, "Setup", false, "警告: 设置窗口未设置，请先设置设置窗口。"},
    {"the window's Setup entry", -2, "Setup", true, "MainWindowSettings"},
    {"the window's Ctrl+,", -3, "", true, "MainWindowSettings"},
    {"the window's Ctrl+, with no dialog set", -3, "", false, "MainWindow"},
    {"sound settings", -1, "Win Sound Pannel", true, "launched"},
    {"sound settings missing", -1, "Win Sound Pannel", false,
     "错误: 无法打开声音设置面板，请检查系统设置。"},
};
} // namespace

class TestShell : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    WideOutputSink m_openLines;

private slots:
    // A known unit shows its panel, titled with the firmware's bytes as they
    // are. A refused firmware read, or an unknown unit, shows why and goes on
    // detecting; a refused product-id read then means no unit, and the window
    // returns to its size. What is shown takes the focus.
    void detection_data() { addRows(kDetections); }
    void detection()
    {
        const auto& row = currentRow(kDetections);
        const QByteArray firmware(row.firmware.data(), int(row.firmware.size()));
        const QStringList shown = QString(row.shown).split('|');
        Detection d;
        const int width = d.window.width();
        QCOMPARE(d.shown(), QStringList{kNotConnected});
        QCOMPARE(d.focused(), kNotConnected);
        QCOMPARE(d.window.windowTitle(), QStringLiteral("Quorlin Driver"));
        d.unit.setProductId(row.productId);
        d.unit.setFirmware(firmware.toStdString());
        if (firmware.isEmpty())
            d.unit.fail("GetFirmwareVersion", virtualunit::VirtualUnit::kUntilHealed);
        QVERIFY(d.unit.plug());
        QTRY_COMPARE_WITH_TIMEOUT(d.shown(), shown, kWaitMs);
        QCOMPARE(d.window.windowTitle(),
                 QString::fromUtf8(row.title.data(), int(row.title.size())));
        QCOMPARE(d.focused(), row.focus);
        QCOMPARE(d.connected(), !firmware.isEmpty());
        if (d.connected()) {
            QVERIFY(d.log.contains(QStringLiteral("Device found with PID: %1").arg(row.productId)));
            d.unit.unplug(); // the focus leaves the panel as it goes
            QTRY_COMPARE_WITH_TIMEOUT(d.shown(), QStringList{kNotConnected}, kWaitMs);
            QCOMPARE(d.focused(), kNotConnected);
            return;
        }
        QVERIFY(d.timer("detectTimer")->isActive());
        d.unit.fail("GetDevicePid", virtualunit::VirtualUnit::kUntilHealed);
        QTRY_COMPARE_WITH_TIMEOUT(d.shown(), QStringList{kNotConnected}, kWaitMs);
        QCOMPARE(d.focused(), kNotConnected);
        QCOMPARE(d.window.width(), width); // the window follows what it shows
    }

    // Three failed product-id reads in a row mean the unit is gone. Without
    // the dialog's connection the poll runs beside the detection, and the
    // detection finding the same unit again leaves its count alone; a unit
    // found then, or a good read, starts the count from zero.
    void unitFoundWhilePollingCountsAfresh()
    {
        Detection d;
        d.window.settingsDialog = nullptr;
        QVERIFY(d.unit.plug());
        QTRY_VERIFY_WITH_TIMEOUT(d.log.contains("Failed to connect to driver in settings window."),
                                 kWaitMs);
        for (const char* name : {"detectTimer", "pollTimer"})
            d.timer(name)->setInterval(std::chrono::hours(1));
        const auto fire = [&d](const char* name) {
            QVERIFY(QMetaObject::invokeMethod(d.timer(name), "timeout"));
        };
        d.unit.fail("GetDevicePid", 2);
        fire("pollTimer");
        fire("pollTimer");
        QVERIFY(d.log.contains("Error reading device PID from driver, error count: 2"));
        fire("detectTimer"); // the same unit: the poll keeps its count, and a third failure ends it
        d.unit.fail("GetDevicePid", 1);
        fire("pollTimer");
        QVERIFY(d.log.contains("Error reading device PID from driver, error count: 3"));
        QCOMPARE(d.shown(), QStringList{kNotConnected});
        d.window.settingsDialog = &d.settings;
        fire("detectTimer");
        QVERIFY(d.connected());
        d.log.clear();
        d.unit.fail("GetDevicePid", 1);
        fire("pollTimer");
        QVERIFY(d.log.contains("Error reading device PID from driver, error count: 1"));
        fire("pollTimer"); // a good read
        d.unit.fail("GetDevicePid", 2);
        fire("pollTimer");
        fire("pollTimer");
        QVERIFY(d.log.contains("Error reading device PID from driver, error count: 2"));
        QVERIFY(!d.log.contains("Error reading device PID from driver, error count: 3"));
        QCOMPARE(d.shown(), QStringList{"vt2"});
    }

    void uses_data() { addRows(kUses); }
    void uses()
    {
        const Use& use = currentRow(kUses);
        MainWindow window;
        Settings dialog;
        TrayIcon tray;
        QVERIFY(!tray.icon().isNull());
        QTemporaryDir tools; // the sound settings tool marks that it ran
        const QString tool = tools.filePath("pavucontrol");
        QVERIFY(
            writeFile(tool, QString("#!/bin/sh\n: > %1/launched\n").arg(tools.path()).toUtf8()));
        QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner));
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
        if (use.click < -1) { // without a tray, from the window alone
            window.settingsDialog = use.available ? &dialog : nullptr;
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QCOMPARE(window.contextMenuPolicy(), Qt::ActionsContextMenu);
            const QList<QAction*> actions = window.actions();
            if (use.click == -2)
                (*std::find_if(actions.begin(), actions.end(), [&](QAction* a) {
                    return a->text() == use.entry;
                }))->trigger();
            else
                QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier);
        } else if (use.click < 0)
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
        QMenu* presets = tray.contextMenu()->actions().value(9)->menu();
        QVERIFY(presets);
        emit presets->aboutToShow(); // with no unit, the presets menu says so
        for (QMenu* menu : {tray.contextMenu(), presets})
            for (QAction* action : menu->actions())
                entries << action->text() + (action->isEnabled() ? "" : " (disabled)");
        QCOMPARE(entries.join('|'), "V20251009 (disabled)|Quit||Setup|Main Window|Upgrade Firmware|"
                                    "Refresh Audio Device|Win Sound Pannel||&Presets||"
                                    "No unit connected (disabled)");
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

    // Ended at the time-out, the command never gets to create the file.
    void refreshCommand_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("success") << "echo fine" << kRefreshTimeoutMs << QStringList{};
        QTest::newRow("exit code 1")
            << "echo out; echo err >&2; exit 1" << kRefreshTimeoutMs
            << QStringList{"命令执行失败，退出代码: 1", "输出: out\n", "错误输出: err\n"};
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

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
