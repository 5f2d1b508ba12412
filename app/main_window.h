#pragma once

#include <QMainWindow>
#include <QPointer>
#include <cstdint>

class QLabel;
class QTimer;
class QVBoxLayout;
class ModelPanel;
class QuorlinIoControl;
class Settings;
struct KnownModel;

// The window that holds the connected unit's panel. Once a second it looks
// for a unit; when it recognises one it prepares the settings dialog, builds
// the model's panel and titles itself with the model and firmware version.
// While a unit is shown it checks the connection every 400 ms and goes back to
// searching after three failed checks in a row.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Settings* settingsDialog = nullptr; // set by the start-up routine; not owned

    // What the window shows, for code outside it (quorlinctl's server): the
    // panel it built for the unit it found (null while it shows none), that
    // unit's model (null likewise) and the firmware text of its title (empty
    // until read).
    ModelPanel* panel() const;
    const KnownModel* model() const;
    QString firmware() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void checkDevice();
    void pollDevice();

    void clearLayout();
    void showStatus(const QString& text);
    void showNotConnected();
    void fitToContent();
    void startConnectionPoll();
    void releaseMeterDriver();

    std::uint32_t devicePid = 0;
    QVBoxLayout* baseLayout = nullptr;
    QTimer* detectTimer = nullptr;
    QTimer* pollTimer = nullptr;
    QuorlinIoControl* meterDriver = nullptr;
    QLabel* statusLabel = nullptr;
    std::uint32_t pidErrorCount = 0;
    QPointer<ModelPanel> shownPanel;
    const KnownModel* shownModel = nullptr;
    QString shownFirmware;
};
