#pragma once

#include <QDialog>
#include <QString>
#include <QVector>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QSettings;
class QTimer;
class QVBoxLayout;
class QuorlinIoControl;
struct UsbStatus;

// The audio settings dialog: buffer size, USB latency, sample rate and Safe
// Mode (the driver's USB slow mode), plus the driver's USB error count.
//
// It keeps its own connection to the driver, made by createDevice() once the
// main window has recognised a unit. Each option box reconfigures the driver
// the moment its value changes and stores the value in "setting.ini" only
// when the driver accepted it; initialize() replays the stored values at
// start-up and after a reconnection.
//
// OK hides it and tells the ASIO driver to reset; the ASIO driver can ask for
// it to be shown through the listener thread (ThreadSettingsPip), a child of
// the dialog.
//
// Every connection is made to member functions by pointer, so the dialog
// declares no signals or slots of its own.
class Settings : public QDialog {
    Q_OBJECT

public:
    // One option box as code outside the dialog reaches it (quorlinctl): its
    // stable command-line name and the box. Choosing an item with
    // QComboBox::setCurrentIndex is the user's own choice: the option's
    // reconfiguration runs and, when the driver accepts it, the value is
    // stored. A switch has two items, off first.
    struct Option {
        QString name; // "buffer-size", "usb-latency", "sample-rate", "safe-mode"
        QComboBox* box = nullptr;
        bool isSwitch = false;
    };

    Settings();
    ~Settings() override;

    // The four options in the order the dialog shows them.
    QVector<Option> options() const;

    // Opens the dialog's own driver connection, closing and releasing the
    // one made for an earlier unit. Returns whether the device opened.
    bool createDevice();

    // Loads the stored values into the boxes (which reconfigures the driver
    // for every value that differs from the box) and then brings the
    // driver's sample rate in line.
    void initialize();

    // Poll timer: shows the USB error count, or hides it when it is zero.
    void updateUsbErrorCount();

    // The option boxes' currentIndexChanged(int); each reads its box's text.
    void onBufferSizeChanged();
    void onUsbLatencyChanged();
    void onSampleRateChanged();
    void onSafeModeChanged();

    // The OK button: hides the dialog and writes the reset byte 0x31 to the
    // ASIO driver's pipe, once, without waiting for or retrying the pipe.
    void notifyAsioReset();

    // The listener's progressUpdated(int) (the value is not used): brings the
    // dialog to the front, on top of other windows, also from minimised.
    void showFromPipeSignal();

private:
    // How an OTG power cycle ends: after a sample rate change it only logs,
    // at start-up it starts the audio the start-up sequence left stopped.
    enum class OtgCycleEnd { SampleRateChange, StartUp };

    void loadSettings();
    void startOtgPowerCycle(OtgCycleEnd end);
    // `option` indexes the table of stored options in settings.cpp.
    QComboBox* optionBox(int option) const;
    void saveOption(int option);
    // The device the dialog holds right now; before createDevice() a
    // connection that never opened, so every call fails as on a closed one.
    QuorlinIoControl& driver();

    QVBoxLayout* mainLayout = nullptr;
    QComboBox* usbLatencyBox = nullptr;
    QComboBox* bufferSizeBox = nullptr;
    QComboBox* sampleRateBox = nullptr;
    QComboBox* safeModeBox = nullptr;
    QSettings* settingsStore = nullptr;
    QuorlinIoControl* device = nullptr;
    std::unique_ptr<UsbStatus> usbStatus;
    std::uint32_t sampleRate = 44100; // Hz, the rate last chosen
    QLabel* usbErrorLabel = nullptr;
    QTimer* pollTimer = nullptr;
};
