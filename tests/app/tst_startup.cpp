// Start-up: the translation chosen for the system locale, and the
// single-instance guard across real processes.

#include "app/translation_loader.h"
#include "child_process.h"
#include "log_capture.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QProcess>
#include <QTranslator>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

constexpr int kWaitMs = 15000;
const QString kRunningLine = QStringLiteral("Device PID: 0");
const QString kAlreadyRunningLine = QStringLiteral("Quorlin Mixer 已经在运行中。");

// One QuorlinDriver process with its output collected.
class Instance : public ChildProcess {
public:
    explicit Instance(const QProcessEnvironment& environment,
                      const QString& program = QStringLiteral(QUORLIN_DRIVER_EXE))
        : ChildProcess(program, {}, environment)
    {
    }

    // Running its event loop: detection has logged at least once.
    bool waitRunning() { return waitForLine(kRunningLine, 0, kWaitMs) >= 0; }
    bool waitFinished() { return process().waitForFinished(kWaitMs); }
    int exitCode() { return process().exitCode(); }
    QProcess::ExitStatus exitStatus() { return process().exitStatus(); }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;

    QProcessEnvironment instanceEnvironment() const
    {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QT_LOGGING_TO_CONSOLE", "1");
        return environment;
    }

private slots:
    void translationCode_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("code");

        QTest::newRow("en_US") << "en_US"
                               << "en_US";
        QTest::newRow("en_GB") << "en_GB"
                               << "en_US";
        QTest::newRow("en_001") << "en_001"
                                << "en_US";
        QTest::newRow("zh_CN") << "zh_CN"
                               << "zh_CN";
        QTest::newRow("zh_TW") << "zh_TW"
                               << "zh_CN";
        QTest::newRow("zh_HK is not in the table") << "zh_HK"
                                                   << "en_US";
        QTest::newRow("de_DE") << "de_DE"
                               << "en_US";
        QTest::newRow("case matters") << "zh_cn"
                                      << "en_US";
        QTest::newRow("empty") << ""
                               << "en_US";
    }

    void translationCode()
    {
        QFETCH(QString, locale);
        QFETCH(QString, code);
        QCOMPARE(translationCodeFor(locale), code);
    }

    void translationFileAndLines_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("expectedLines");
        QTest::addColumn<QString>("translatedQuit");

        const QStringList both{"en_US", "zh_CN"};
        QTest::newRow("zh_TW loads zh_CN")
            << "zh_TW" << both
            << QStringList{"系统返回的语言代码：zh_TW", "拼接后的路径：%1/QuorlinDriver_zh_CN.qm",
                           "成功加载翻译文件：%1/QuorlinDriver_zh_CN.qm"}
            << "退出";
        QTest::newRow("en_GB loads en_US")
            << "en_GB" << both
            << QStringList{"系统返回的语言代码：en_GB", "拼接后的路径：%1/QuorlinDriver_en_US.qm",
                           "成功加载翻译文件：%1/QuorlinDriver_en_US.qm"}
            << "Quit";
        QTest::newRow("de_DE loads en_US")
            << "de_DE" << both
            << QStringList{"系统返回的语言代码：de_DE", "拼接后的路径：%1/QuorlinDriver_en_US.qm",
                           "成功加载翻译文件：%1/QuorlinDriver_en_US.qm"}
            << "Quit";
        QTest::newRow("zh_CN missing falls back to en_US")
            << "zh_CN" << QStringList{"en_US"}
            << QStringList{"系统返回的语言代码：zh_CN", "拼接后的路径：%1/QuorlinDriver_zh_CN.qm",
                           "加载默认翻译文件：%1/QuorlinDriver_en_US.qm"}
            << "Quit";
        QTest::newRow("none present keeps the built-in texts")
            << "zh_CN" << QStringList{}
            << QStringList{"系统返回的语言代码：zh_CN", "拼接后的路径：%1/QuorlinDriver_zh_CN.qm",
                           "未找到任何翻译文件，使用原始文本"}
            << "Quit";
    }

    void translationFileAndLines()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, present);
        QFETCH(QStringList, expectedLines);
        QFETCH(QString, translatedQuit);

        QTemporaryDir directory;
        for (const QString& code : present) {
            const QString name = QString("/QuorlinDriver_%1.qm").arg(code);
            QVERIFY(QFile::copy(QStringLiteral(QUORLIN_QM_DIR) + name, directory.path() + name));
        }
        for (QString& line : expectedLines)
            if (line.contains("%1"))
                line = line.arg(directory.path());

        LogCapture log;
        QTranslator translator;
        const bool installed =
            installTranslation(*QCoreApplication::instance(), translator, locale, directory.path());
        QCOMPARE(log.lines(), expectedLines);
        QCOMPARE(installed, !present.isEmpty());
        QCOMPARE(QCoreApplication::translate("TrayIcon", "Quit"), translatedQuit);
        QCoreApplication::removeTranslator(&translator);
    }

    void secondInstanceLeavesTheFirstAlone()
    {
        Instance first(instanceEnvironment());
        QVERIFY2(first.waitRunning(), qPrintable(first.output()));

        Instance second(instanceEnvironment());
        QVERIFY(second.waitFinished());
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(second.output().contains(kAlreadyRunningLine), qPrintable(second.output()));
        QVERIFY(!second.output().contains(kRunningLine));

        // The first keeps detecting.
        const int before = int(first.output().count(kRunningLine));
        QTRY_VERIFY_WITH_TIMEOUT(first.output().count(kRunningLine) > before, kWaitMs);
        QVERIFY(first.isRunning());
    }

    // Started through a link of another name (as the installed command is),
    // the application still keeps its settings where the executable's do.
    void settingsDoNotDependOnTheCommandName()
    {
        QTemporaryDir links;
        const QString link = links.filePath("quorlin-driver");
        QVERIFY(QFile::link(QStringLiteral(QUORLIN_DRIVER_EXE), link));
        virtualunit::Options options;
        options.movingMeters = false;
        virtualunit::VirtualUnit unit(options);
        QVERIFY(unit.plug());

        Instance linked(instanceEnvironment(), link);
        // The application runs outside the test mode: its data goes to XDG_DATA_HOME.
        const QString data = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(data + "/QuorlinDriver/vt2.ini"), kWaitMs);
        QVERIFY(!QFile::exists(data + "/quorlin-driver/vt2.ini"));
    }

    void startAfterTheFirstEnds_data()
    {
        QTest::addColumn<int>("endSignal");
        QTest::newRow("orderly end (SIGTERM)") << int(SIGTERM);
        QTest::newRow("crash (SIGKILL)") << int(SIGKILL);
    }

    void startAfterTheFirstEnds()
    {
        QFETCH(int, endSignal);
        {
            Instance first(instanceEnvironment());
            QVERIFY2(first.waitRunning(), qPrintable(first.output()));
            first.signal(endSignal);
            QVERIFY(first.waitFinished());
            if (endSignal == SIGTERM) {
                QCOMPARE(first.exitStatus(), QProcess::NormalExit);
                QCOMPARE(first.exitCode(), 0);
            }
        }
        Instance next(instanceEnvironment());
        QVERIFY2(next.waitRunning(), qPrintable(next.output()));
        QVERIFY(!next.output().contains(kAlreadyRunningLine));

        // And it guards in turn.
        Instance third(instanceEnvironment());
        QVERIFY(third.waitFinished());
        QVERIFY(third.output().contains(kAlreadyRunningLine));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
