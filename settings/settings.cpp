#include "settings/settings.h"

#include "driver/quorlin_io_control.h"

#include <QDebug>

Settings::Settings()
    : QDialog(nullptr)
{
    qDebug() << "Settings dialog created.";
    setWindowTitle(QStringLiteral("Settings"));
    setStyleSheet(QStringLiteral("QDialog { background-color: #2c313c; color: white; }"));
}

Settings::~Settings()
{
    if (device) {
        device->CloseDevice();
        delete device;
    }
    qDebug() << "Settings dialog closed and resources cleaned up.";
}

bool Settings::createDevice()
{
    // A reconnection replaces the connection of the unit that went away.
    if (device) {
        device->CloseDevice();
        delete device;
    }
    device = new QuorlinIoControl;
    if (device->OpenDevice())
        return true;
    qDebug() << "Failed to create device in vt1.";
    return false;
}

void Settings::initialize() {}
