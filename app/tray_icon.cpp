#include "app/tray_icon.h"

#include "app/main_window.h"
#include "driver/quorlin_io_control.h"
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
    // The menu lives as long as the application.
    auto* menu = new QMenu;

    auto* version = new QAction(QString::fromLatin1(kVersionLabel), this);
    version->setEnabled(false);
    auto* quit = new QAction(tr("Quit"), this);
    auto* setup = new QAction(tr("Setup"), this);
    auto* main = new QAction(tr("Main Window"), this);
    auto* upgrade = new QAction(tr("Upgrade Firmware"), this);

    menu->addAction(version);
    menu->addAction(quit);
    menu->addSeparator();
    menu->addAction(setup);
    menu->addAction(main);
    menu->addAction(upgrade);
    menu->addSeparator();
    menu->addSeparator();
    setContextMenu(menu);

    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(setup, &QAction::triggered, this, &TrayIcon::showSettings);
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
        warn(QStringLiteral("警告"), QStringLiteral("主窗口未设置，请先设置主窗口。"));
}

void TrayIcon::showSettings()
{
    if (settingsWindow)
        bringToFront(settingsWindow);
    else
        warn(QStringLiteral("警告"), QStringLiteral("设置窗口未设置，请先设置设置窗口。"));
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
