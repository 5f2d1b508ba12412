#include "app/application.h"

#include "app/log_file.h"
#include "app/main_window.h"
#include "app/single_instance_guard.h"
#include "app/translation_loader.h"
#include "app/tray_icon.h"
#include "platform/termination_request.h"
#include "settings/settings.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
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

    // Without a notification area the tray icon cannot be reached: show the
    // window instead, and let closing it end the application.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        QGuiApplication::setQuitOnLastWindowClosed(true);
        mainWindow->show();
    }

    const int exitCode = QApplication::exec();

    tray.reset();
    mainWindow.reset();
    settings.reset();
    return exitCode;
}
