#pragma once

#include <QDialog>

class QuorlinIoControl;

// The audio settings dialog. It owns its own connection to the driver, made
// when the main window has recognised a unit.
//
// This is the first cut of the dialog: it opens the driver connection the main
// window relies on; the option boxes, their stored values and the driver
// reconfiguration they drive are still to come, so initialize() changes
// nothing on the unit yet.
class Settings : public QDialog {
    Q_OBJECT

public:
    Settings();
    ~Settings() override;

    // Opens the dialog's own driver connection, releasing one made for an
    // earlier unit. Returns whether the device opened.
    bool createDevice();

    // Brings the driver in line with the stored audio settings.
    void initialize();

private:
    QuorlinIoControl* device = nullptr;
};
