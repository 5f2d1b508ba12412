#include "app/application.h"

#include "app/control_server.h"
#include "app/log_file.h"
#include "app/main_window.h"
#include "app/preset_menu.h"
#include "app/single_instance_guard.h"
#include "app/translation_loader.h"
#include "app/tray_icon.h"
#include "platform/termination_request.h"
#include "settings/settings.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QMenuBar>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTranslator>
#include <memory>

namespace {

const char* const kApplicationName = "QuorlinDriver";
constexpr int kExitAlreadyRunning = 0;
constexpr int kExitNoSharedMemory = -1;

// Ends the event loop when the system asks the process to stop, so that the
// objects below are destroyed in order and the instance segment is released.
void quitOnTerminationRequest(QApplication& application)
{
    const int descriptor = platform::terminationRequestDescriptor();
    if (descriptor < 0)
        return;
    auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, &QCoreApplication::quit);
}

} // namespace

int runApplication(int argc, char* argv[])
{
    startLogFileFromEnvironment();
    QApplication application(argc, argv);
    // Named explicitly rather than after the command that started it, so
    // that the settings files are found the same way through any link.
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));

    SingleInstanceGuard instance;
    switch (instance.acquire()) {
    case SingleInstanceGuard::Outcome::AlreadyRunning:
        QCoreApplication::quit();
        return kExitAlreadyRunning;
    case SingleInstanceGuard::Outcome::Failed:
        return kExitNoSharedMemory;
    case SingleInstanceGuard::Outcome::Acquired:
        break;
    }

    QTranslator translator;
    installTranslation(application, translator, QLocale::system().name(),
                       QCoreApplication::applicationDirPath());

    const QIcon icon(QStringLiteral(":/icon/icon.ico"));
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);

    quitOnTerminationRequest(application);

    auto settings = std::make_unique<Settings>();
    auto mainWindow = std::make_unique<MainWindow>();
    mainWindow->settingsDialog = settings.get();
    auto tray = std::make_unique<TrayIcon>();
    tray->setMainWindow(mainWindow.get());
    tray->setSettingsWindow(settings.get());
    tray->setVisible(true);
    // quorlinctl reaches the window's panel and the dialog from here on.
    auto controlServer =
        std::make_unique<ControlServer>(ControlTarget{mainWindow.get(), settings.get()});
    controlServer->listen();

    // Without a notification area the tray icon cannot be reached: show the
    // window instead, with the presets and Setup in its menu bar, and let
    // closing it end the application.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        MainWindow* window = mainWindow.get();
        window->menuBar()->addMenu(
            new PresetMenu([window] { return window->panel(); }, window, window));
        // Beside it, the window's own actions: Setup opens the settings dialog.
        window->menuBar()->addActions(window->actions());
        // In the window's own dark colours rather than the platform's light bar.
        window->menuBar()->setStyleSheet(
            QStringLiteral("QMenuBar { background-color: #2c313c; color: white; }"
                           "QMenuBar::item:selected { background-color: #3b4252; }"));
        QGuiApplication::setQuitOnLastWindowClosed(true);
        mainWindow->show();
    }

    const int exitCode = QApplication::exec();

    controlServer.reset();
    tray.reset();
    mainWindow.reset();
    settings.reset();
    return exitCode;
}
