#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>

class MainWindow;
class Settings;

// The application's presence in the notification area, and its menu: the way
// to the main window, the settings dialog, a firmware upgrade, the connected
// unit's presets and "Quit".
class TrayIcon : public QSystemTrayIcon {
    Q_OBJECT

public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    void setMainWindow(MainWindow* window); // a null window is ignored
    void setSettingsWindow(Settings* dialog);

private slots:
    void showSettings();
    void clickCallback(QSystemTrayIcon::ActivationReason reason);
    void openSoundPannel();
    void refreshDeviceList();

private:
    void createMenu();
    void showMainWindow();
    void upgradeFirmware();

    // A widget cannot be a child of the tray icon: the icon owns its menu, and
    // both live until the application ends.
    std::unique_ptr<QMenu> menu;
    MainWindow* mainWindow = nullptr;
    Settings* settingsWindow = nullptr;
};
