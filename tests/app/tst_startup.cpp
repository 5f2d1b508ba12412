// Start-up: the translation for the system locale, and one instance at a time
// across real processes.

#include "app/translation_loader.h"
#include "child_process.h"
#include "log_capture.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QTranslator>
#include <QtTest>

namespace {

constexpr int kWaitMs = 15000;
const QString kAlreadyRunning = QStringLiteral("Quorlin Mixer 已经在运行中。");

// QuorlinDriver started as its own process, in this test's directories.
struct Instance : ChildProcess {
    explicit Instance(const QString& program = QStringLiteral(QUORLIN_DRIVER_EXE))
        : ChildProcess(program, {}, QProcessEnvironment::systemEnvironment())
    {
    }
    bool detecting(int pid = 0, int from = 0)
    {
        return waitForLine(QStringLiteral("Device PID: %1").arg(pid), from, kWaitMs) >= 0;
    }
    bool refused()
    {
        return process().waitForFinished(kWaitMs) &&
               process().exitStatus() == QProcess::NormalExit && process().exitCode() == 0 &&
               output().contains(kAlreadyRunning);
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
        QVERIFY(first->detecting(0, first->lines().size() - 1)); // undisturbed

        // A crashed instance leaves its segment behind; the next start takes
        // it over, also through a link of another name (as the installed
        // command is), and keeps its settings under the application's name.
        first->signal(SIGKILL);
        QVERIFY(first->process().waitForFinished(kWaitMs));
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
        QVERIFY(linked.process().waitForFinished(kWaitMs));
        QCOMPARE(linked.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(linked.process().exitCode(), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
