// The virtual unit, a child process, is killed (SIGKILL: no orderly unplug) under the
// running application. After three failed connection checks its window shows "声卡未连接！"
// again (logged right before: "Cleared all widgets from base layout."), and it takes the
// unit when one returns. The deadline guards against a hang; timing belongs in bench/.

#include "child_process.h"
#include "test_environment.h"

#include <QtTest>
#include <memory>

class TestUnitKilled : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
    static constexpr int kDeadlineMs = 15000;

    static QProcessEnvironment environment()
    {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QT_LOGGING_TO_CONSOLE", "1");
        return environment;
    }

    static std::unique_ptr<ChildProcess> startUnit()
    {
        auto unit = std::make_unique<ChildProcess>(
            QUORLIN_VIRTUAL_UNIT_EXE, QStringList{"--model", "vt2", "--quiet"}, environment());
        unit->process().closeWriteChannel(); // it keeps serving after its input ends
        return unit;
    }

private slots:
    void windowReturnsToNotConnected()
    {
        std::unique_ptr<ChildProcess> unit = startUnit();
        ChildProcess app(QUORLIN_DRIVER_EXE, {}, environment());
        int line = 0;
        for (int round = 0; round < 2; ++round) {
            line = app.waitForLine("Device found with PID: 2", line, kDeadlineMs);
            QVERIFY2(line >= 0, "the application did not show the unit");
            QCOMPARE(unit->signal(SIGKILL), 0);
            QVERIFY(unit->process().waitForFinished(kDeadlineMs));
            line = app.waitForLine("Error reading device PID from driver, error count: 3", line,
                                   kDeadlineMs);
            QVERIFY2(line >= 0, "the connection checks did not fail three times");
            line = app.waitForLine("Cleared all widgets from base layout.", line, kDeadlineMs);
            QVERIFY2(line >= 0, "the window did not go back to 声卡未连接！");
            unit = startUnit(); // in place of the dead unit's socket
        }
        QVERIFY(app.waitForLine("Device found with PID: 2", line, kDeadlineMs) >= 0);
        QCOMPARE(app.signal(SIGTERM), 0);
        QVERIFY(app.process().waitForFinished(kDeadlineMs));
        QCOMPARE(app.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.process().exitCode(), 0);
    }
};

QTEST_MAIN(TestUnitKilled)
#include "tst_unit_killed.moc"
