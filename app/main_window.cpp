#include "app/main_window.h"

#include "app/known_models.h"
#include "driver/quorlin_io_control.h"
#include "panels/model_panel.h"
#include "settings/settings.h"

#include <QCloseEvent>
#include <QDebug>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <memory>

namespace {

constexpr int kDetectIntervalMs = 1000;
constexpr int kPollIntervalMs = 400;
// Consecutive failed product-id reads that mean the unit is gone.
constexpr std::uint32_t kDisconnectAfterFailures = 3;
constexpr std::uint32_t kNoUnit = 0;

const char* const kStatusStyle = "font-size: 12px; color: white;";

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setCentralWidget(new QWidget(this));
    setWindowFlags(Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    detectTimer = new QTimer(this);
    detectTimer->setObjectName(QStringLiteral("detectTimer"));
    connect(detectTimer, &QTimer::timeout, this, &MainWindow::checkDevice);
    detectTimer->setInterval(kDetectIntervalMs);
    detectTimer->start();

    pollTimer = new QTimer(this);
    pollTimer->setObjectName(QStringLiteral("pollTimer"));
    connect(pollTimer, &QTimer::timeout, this, &MainWindow::pollDevice);
    pollTimer->setInterval(kPollIntervalMs);

    setWindowTitle(QStringLiteral("Quorlin Driver"));
    setStyleSheet(QStringLiteral("QMainWindow { background-color: #2c313c; }"));
    const QPixmap icon(QStringLiteral(":/icon/icon.png"));
    if (!icon.isNull())
        setWindowIcon(icon);

    baseLayout = new QVBoxLayout(centralWidget());
    baseLayout->setAlignment(Qt::AlignCenter);
    showNotConnected();
}

MainWindow::~MainWindow()
{
    releaseMeterDriver();
}

ModelPanel* MainWindow::panel() const
{
    return shownPanel;
}

const KnownModel* MainWindow::model() const
{
    return shownPanel ? shownModel : nullptr;
}

QString MainWindow::firmware() const
{
    return shownPanel ? shownFirmware : QString();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        hide();
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::clearLayout()
{
    shownPanel = nullptr;
    shownFirmware.clear();
    while (QLayoutItem* item = baseLayout->takeAt(0)) {
        if (QWidget* widget = item->widget())
            widget->deleteLater();
        delete item;
    }
}

void MainWindow::showStatus(const QString& text)
{
    statusLabel = new QLabel(text, this);
    statusLabel->setStyleSheet(QString::fromLatin1(kStatusStyle));
    baseLayout->addWidget(statusLabel);
    fitToContent();
}

void MainWindow::fitToContent()
{
    // One model's panel is larger than another's, and the status text is
    // smaller than any: the window follows what it shows. The layouts are
    // brought up to date first, so that the old content's minimum size no
    // longer holds the window open.
    baseLayout->activate();
    layout()->activate();
    adjustSize();
}

void MainWindow::showNotConnected()
{
    showStatus(tr("声卡未连接！"));
}

void MainWindow::releaseMeterDriver()
{
    if (!meterDriver)
        return;
    meterDriver->CloseDevice();
    delete meterDriver;
    meterDriver = nullptr;
}

void MainWindow::startConnectionPoll()
{
    releaseMeterDriver();
    meterDriver = new QuorlinIoControl;
    meterDriver->OpenDevice();
    // A newly found unit starts with a clean record, also when the poll
    // already ran for it (the settings dialog could not connect), so that a
    // disconnection always takes three failed reads in a row.
    pidErrorCount = 0;
    pollTimer->start();
}

void MainWindow::checkDevice()
{
    // The temporary detection handle is released on every path.
    const auto probe = std::make_unique<QuorlinIoControl>();
    probe->OpenDevice();

    // An unanswered read means no unit, whatever answered before; what the
    // window showed for that unit goes with it.
    const std::uint32_t previousPid = devicePid;
    if (!probe->GetDevicePid(devicePid))
        devicePid = kNoUnit;
    qDebug() << "Device PID:" << devicePid;
    if (devicePid == kNoUnit) {
        if (previousPid != kNoUnit) {
            clearLayout();
            showNotConnected();
        }
        return;
    }

    clearLayout();

    const KnownModel* model = findKnownModel(devicePid);
    if (!model) {
        qDebug() << "Unknown device PID:" << devicePid;
        showStatus(tr("未知设备，请检查连接！"));
        return;
    }

    if (!settingsDialog || !settingsDialog->createDevice()) {
        qDebug() << "Failed to connect to driver in settings window.";
        startConnectionPoll();
        return;
    }

    settingsDialog->initialize();
    ModelPanel* panel = model->createPanel();
    panel->setParent(this);
    baseLayout->addWidget(panel);
    panel->show();
    shownPanel = panel;
    shownModel = model;
    qDebug().noquote() << model->addedLogLine;
    update();
    fitToContent();

    std::array<std::uint8_t, kFirmwareVersionLength> firmware{};
    if (!probe->GetFirmwareVersion(firmware.data(), kFirmwareVersionLength)) {
        qDebug() << "Failed to get firmware version.";
        showStatus(tr("获取固件版本失败，请检查连接！"));
        return;
    }
    setWindowTitle(firmwareTitle(*model, firmware));
    shownFirmware = firmwareText(firmware);
    qDebug() << "Device found with PID:" << devicePid;
    detectTimer->stop();
    startConnectionPoll();
}

void MainWindow::pollDevice()
{
    if (meterDriver && meterDriver->GetDevicePid(devicePid)) {
        pidErrorCount = 0;
        return;
    }
    ++pidErrorCount;
    qDebug() << "Error reading device PID from driver, error count:" << pidErrorCount;
    if (pidErrorCount < kDisconnectAfterFailures)
        return;

    pollTimer->stop();
    releaseMeterDriver();
    qDebug() << "Meter driver handle deleted.";
    devicePid = kNoUnit;
    clearLayout();
    qDebug() << "Cleared all widgets from base layout.";
    detectTimer->start();
    showNotConnected();
}
