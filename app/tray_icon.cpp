#include "app/tray_icon.h"

#include "app/main_window.h"
#include "app/preset_menu.h"
#include "app/refresh_command.h"
#include "driver/quorlin_io_control.h"
#include "platform/shell.h"
#include "settings/settings.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>

namespace {

const char* const kVersionLabel = "V20251009";

void bringToFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void warn(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

} // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QSystemTrayIcon(parent)
{
    setIcon(QIcon(QStringLiteral(":/icon/icon.png")));
    createMenu();
    connect(this, &QSystemTrayIcon::activated, this, &TrayIcon::clickCallback);
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::setMainWindow(MainWindow* window)
{
    if (window)
        mainWindow = window;
}

void TrayIcon::setSettingsWindow(Settings* dialog)
{
    settingsWindow = dialog;
}

void TrayIcon::createMenu()
{
    menu = std::make_unique<QMenu>();

    auto* version = new QAction(QString::fromLatin1(kVersionLabel), this);
    version->setEnabled(false);
    auto* quit = new QAction(tr("Quit"), this);
    auto* setup = new QAction(tr("Setup"), this);
    auto* main = new QAction(tr("Main Window"), this);
    auto* upgrade = new QAction(tr("Upgrade Firmware"), this);
    auto* refresh = new QAction(tr("Refresh Audio Device"), this);
    auto* soundPanel = new QAction(tr("Win Sound Pannel"), this);

    menu->addAction(version);
    menu->addAction(quit);
    menu->addSeparator();
    menu->addAction(setup);
    menu->addAction(main);
    menu->addAction(upgrade);
    menu->addAction(refresh);
    menu->addAction(soundPanel);
    menu->addSeparator();
    // The connected unit's presets, between the last two separators.
    menu->addMenu(new PresetMenu([this] { return mainWindow ? mainWindow->panel() : nullptr; },
                                 nullptr, menu.get()));
    menu->addSeparator();
    setContextMenu(menu.get());

    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(setup, &QAction::triggered, this, &TrayIcon::showSettings);
    connect(refresh, &QAction::triggered, this, &TrayIcon::refreshDeviceList);
    connect(soundPanel, &QAction::triggered, this, &TrayIcon::openSoundPannel);
    connect(
        main, &QAction::triggered, main, [this] { showMainWindow(); }, Qt::DirectConnection);
    connect(
        upgrade, &QAction::triggered, upgrade, [this] { upgradeFirmware(); }, Qt::DirectConnection);

    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void TrayIcon::clickCallback(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
        return;
    showMainWindow();
}

void TrayIcon::showMainWindow()
{
    if (mainWindow)
        bringToFront(mainWindow);
    else
        warn(tr("警告"), tr("主窗口未设置，请先设置主窗口。"));
}

void TrayIcon::showSettings()
{
    if (settingsWindow)
        bringToFront(settingsWindow);
    else
        warn(tr("警告"), tr("设置窗口未设置，请先设置设置窗口。"));
}

void TrayIcon::upgradeFirmware()
{
    QuorlinIoControl device;
    if (!device.OpenDevice()) {
        qDebug() << "Failed to create device in vt1.";
        return;
    }
    device.UpgradeFirmware();
    device.CloseDevice();
}

void TrayIcon::openSoundPannel()
{
    if (platform::openSoundSettings()) {
        qDebug() << "声音设置面板已打开。";
        return;
    }
    warn(tr("错误"), tr("无法打开声音设置面板，请检查系统设置。"));
}

void TrayIcon::refreshDeviceList()
{
    const platform::ShellCommand command = platform::audioRefreshCommand();
    QStringList arguments;
    for (const std::string& argument : command.arguments)
        arguments << QString::fromStdString(argument);
    runRefreshCommand(QString::fromStdString(command.program), arguments);
}
