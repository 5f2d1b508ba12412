// The application as its own process: translation, one instance at a time,
// no tray, a unit killed under it and started again.

#include "app/application.h"
#include "app/main_window.h"
#include "app/translation_loader.h"
#include "process_instance.h"
#include "test_common.h"

#include <QApplication>
#include <QTranslator>

namespace {

constexpr int kWaitMs = kProcessWaitMs;
const QString kAlreadyRunning = QStringLiteral("Quorlin Mixer 已经在运行中。");
const char* const kCloseWindow = "--run-the-application-and-close-its-window";
constexpr int kStillRunning = 3;

// This test run as the application (no tray offscreen), its window closed.
int runAndCloseTheWindow(int argc, char* argv[])
{
    qAddPreRoutine([] {
        auto* closer = new QTimer(qApp);
        closer->callOnTimeout([] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (qobject_cast<MainWindow*>(window) && window->isVisible())
                    window->close();
        });
        closer->start(50);
        QTimer::singleShot(kWaitMs / 2, [] { QCoreApplication::exit(kStillRunning); });
    });
    return runApplication(argc, argv);
}

// The panel, or another program, as its own process.
class Instance : public ProcessInstance {
public:
    explicit Instance(const QString& program = QStringLiteral(QUORLIN_DRIVER_EXE),
                      const QStringList& arguments = {})
        : ProcessInstance(program, arguments)
    {
    }

    bool detecting(int pid = 0, int from = 0)
    {
        return waitForLine(QStringLiteral("Device PID: %1").arg(pid), from) >= 0;
    }
    bool refused()
    {
        return waitForFinished(kWaitMs) && exitStatus() == QProcess::NormalExit &&
               exitCode() == 0 && output().contains(kAlreadyRunning);
    }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void translation_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("outcome"); // the last line logged
        QTest::addColumn<QString>("texts");   // as the user then reads two of them
        const QStringList both{"en_US", "zh_CN"};
        const QString en = "Quit/Sound card not connected!";
        QTest::newRow("zh_TW") << "zh_TW" << both << "成功加载翻译文件：DIR/QuorlinDriver_zh_CN.qm"
                               << "退出/声卡未连接！";
        QTest::newRow("zh_HK") << "zh_HK" << both << "成功加载翻译文件：DIR/QuorlinDriver_en_US.qm"
                               << en;
        QTest::newRow("zh_CN missing") << "zh_CN" << QStringList{"en_US"}
                                       << "加载默认翻译文件：DIR/QuorlinDriver_en_US.qm" << en;
        QTest::newRow("none") << "zh_CN" << QStringList{} << "未找到任何翻译文件，使用原始文本"
                              << "Quit/声卡未连接！";
    }
    void translation()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, present);
        QFETCH(QString, outcome);
        QFETCH(QString, texts);
        QTemporaryDir directory;
        for (const QString& code : present) {
            const QString name = QStringLiteral("/QuorlinDriver_%1.qm").arg(code);
            QVERIFY(QFile::copy(QStringLiteral(QUORLIN_QM_DIR) + name, directory.path() + name));
        }
        LogCapture log;
        QTranslator translator;
        QCOMPARE(installTranslation(*qApp, translator, locale, directory.path()),
                 !present.isEmpty());
        QCOMPARE(log.lines().last(), outcome.replace("DIR", directory.path()));
        QCOMPARE(QCoreApplication::translate("TrayIcon", "Quit") + "/" +
                     QCoreApplication::translate("MainWindow", "声卡未连接！"),
                 texts);
        QCoreApplication::removeTranslator(&translator);
    }

    void oneInstanceAtATime()
    {
        auto first = std::make_unique<Instance>();
        QVERIFY2(first->detecting(), qPrintable(first->output()));
        QVERIFY(Instance().refused());
        QVERIFY(first->detecting(0, int(first->output().count('\n')))); // undisturbed

        // A crashed instance's segment is taken over, also through a link of
        // another name, which keeps the settings under the application's name.
        first->signal(SIGKILL);
        QVERIFY(first->waitForFinished(kWaitMs));
        first.reset();
        virtualunit::VirtualUnit unit({2, "V1.0.3-abc", 0, false});
        QVERIFY(unit.plug());
        QTemporaryDir links;
        QVERIFY(QFile::link(QStringLiteral(QUORLIN_DRIVER_EXE), links.filePath("quorlin-driver")));
        Instance linked(links.filePath("quorlin-driver"));
        QVERIFY2(linked.detecting(2), qPrintable(linked.output()));
        const QString data = qEnvironmentVariable("XDG_DATA_HOME");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(data + "/QuorlinDriver/vt2.ini"), kWaitMs);
        QVERIFY(!QDir(data + "/quorlin-driver").exists());
        QVERIFY(Instance().refused());

        // Asked to stop, it ends its event loop normally.
        linked.signal(SIGTERM);
        QVERIFY(linked.waitForFinished(kWaitMs));
        QCOMPARE(linked.exitStatus(), QProcess::NormalExit);
        QCOMPARE(linked.exitCode(), 0);
    }

    // QUORLIN_LOG_FILE sends the whole log to that file, appended, in UTF-8:
    // Qt's messages and the driver link's own lines on standard output alike.
    void logFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("panel.log"));
        QVERIFY(writeFile(file, "an earlier line\n"));
        const auto logged = [&file] {
            return QString::fromUtf8(readFile(file));
        };
        qputenv("QUORLIN_LOG_FILE", file.toUtf8());
        Instance application;
        qunsetenv("QUORLIN_LOG_FILE");
        QTRY_VERIFY_WITH_TIMEOUT(logged().contains(QStringLiteral("\nDevice PID: 0\n")), kWaitMs);
        const QString log = logged();
        QVERIFY(log.startsWith(QStringLiteral("an earlier line\n")));
        QVERIFY(log.contains(QStringLiteral("系统返回的语言代码：")));
        QVERIFY(log.contains(
            QStringLiteral("Open device \\\\.\\QuorlinAudioBus15 failed, error: 2\n")));
        QVERIFY2(!application.output().contains(QStringLiteral("Device PID")),
                 qPrintable(application.output()));
    }

    // Without a notification area closing the window ends the application.
    void withoutATrayClosingTheWindowQuits()
    {
        Instance application(QCoreApplication::applicationFilePath(), {kCloseWindow});
        QVERIFY(application.waitForFinished(kWaitMs));
        QCOMPARE(application.exitCode(), 0);
    }

    // A unit killed fails three checks, the panel goes, a new unit is taken.
    void unitKilledAndStartedAgain()
    {
        const auto startUnit = [] {
            auto unit = std::make_unique<Instance>(QUORLIN_VIRTUAL_UNIT_EXE,
                                                   QStringList{"--model", "vt2", "--quiet"});
            unit->closeWriteChannel(); // it keeps serving after its input ends
            return unit;
        };
        std::unique_ptr<Instance> unit = startUnit();
        Instance application;
        int line = 0;
        for (int round = 0; round < 2; ++round) {
            line = application.waitForLine("Device found with PID: 2", line);
            QVERIFY2(line >= 0, qPrintable(application.output()));
            QCOMPARE(unit->signal(SIGKILL), 0);
            QVERIFY(unit->waitForFinished(kWaitMs));
            for (const char* next : {"Error reading device PID from driver, error count: 3",
                                     "Cleared all widgets from base layout."}) {
                line = application.waitForLine(next, line);
                QVERIFY2(line >= 0, next);
            }
            unit = startUnit(); // in place of the dead unit's socket
        }
        QVERIFY(application.waitForLine("Device found with PID: 2", line) >= 0);
    }
};

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], kCloseWindow) == 0)
        return runAndCloseTheWindow(argc, argv);
    QApplication application(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
