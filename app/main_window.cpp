#include "app/main_window.h"

#include "app/known_models.h"
#include "controls/control_accessibility.h"
#include "driver/quorlin_io_control.h"
#include "panels/model_panel.h"
#include "settings/settings.h"

#include <QAction>
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

// The first control of `content` in Tab order, or `content` itself when it
// has none (a status text).
QWidget* firstControl(QWidget* content)
{
    for (QWidget* w = content->nextInFocusChain(); w != content; w = w->nextInFocusChain()) {
        if (!content->isAncestorOf(w))
            break;
        if (w->focusPolicy() & Qt::TabFocus)
            return w;
    }
    return content;
}

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

    // The settings dialog from the window itself: the context menu (right
    // click, the Menu key or Shift+F10) and Ctrl+,.
    auto* setup = new QAction(tr("Setup"), this);
    setup->setObjectName(QStringLiteral("setupAction"));
    setup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    setup->setShortcutContext(Qt::WindowShortcut);
    connect(setup, &QAction::triggered, this, &MainWindow::showSettings);
    addAction(setup);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    baseLayout = new QVBoxLayout(centralWidget());
    baseLayout->setAlignment(Qt::AlignCenter);
    showNotConnected();
}

void MainWindow::showSettings()
{
    if (!settingsDialog)
        return;
    settingsDialog->show();
    settingsDialog->raise();
    settingsDialog->activateWindow();
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
    // The old content goes at once, with its accessibility objects. The
    // focus leaves it first, while every control is still whole, so that
    // nothing asks a half-destroyed control about itself; what is shown
    // next takes the focus.
    if (QWidget* focus = focusWidget(); focus && centralWidget()->isAncestorOf(focus))
        focus->clearFocus();
    while (QLayoutItem* item = baseLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

void MainWindow::showContent(QWidget* content)
{
    baseLayout->addWidget(content);
    content->show();
    firstControl(content)->setFocus(Qt::OtherFocusReason);
    fitToContent();
}

void MainWindow::showStatus(const QString& text)
{
    statusLabel = new QLabel(text, this);
    statusLabel->setStyleSheet(QString::fromLatin1(kStatusStyle));
    // Focusable, so that a screen reader reads it when it appears and the
    // keyboard finds it.
    statusLabel->setFocusPolicy(Qt::TabFocus);
    showContent(statusLabel);
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
    // A newly found unit starts with a clean record, so that a disconnection
    // always takes three failed reads in a row.
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

    const KnownModel* model = findKnownModel(devicePid);
    const QString unknown = tr("未知设备，请检查连接！");
    if (!model && statusLabel && statusLabel->text() == unknown) {
        // The same unknown unit as a second ago: the text stays as it is,
        // and a screen reader is not told it again.
        qDebug() << "Unknown device PID:" << devicePid;
        return;
    }

    clearLayout();

    if (!model) {
        qDebug() << "Unknown device PID:" << devicePid;
        showStatus(unknown);
        return;
    }

    if (!settingsDialog || !settingsDialog->createDevice()) {
        qDebug() << "Failed to connect to driver in settings window.";
        // The poll runs from the first such second on; restarting it every
        // second would wipe its count of failed reads, and the unit would
        // never be given up.
        if (previousPid != devicePid || !pollTimer->isActive())
            startConnectionPoll();
        return;
    }

    settingsDialog->initialize();
    ModelPanel* panel = model->createPanel();
    panel->setParent(this);
    qDebug().noquote() << model->addedLogLine;
    showContent(panel);
    shownPanel = panel;
    shownModel = model;

    std::array<std::uint8_t, kFirmwareVersionLength> firmware{};
    if (!probe->GetFirmwareVersion(firmware.data(), kFirmwareVersionLength)) {
        qDebug() << "Failed to get firmware version.";
        showStatus(tr("获取固件版本失败，请检查连接！"));
        return;
    }
    setWindowTitle(firmwareTitle(*model, firmware));
    shownFirmware = firmwareText(firmware);
    // The focus is on the panel's first control already; a screen reader
    // says which panel it is in.
    ControlAccessibility::announce(this, windowTitle());
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
