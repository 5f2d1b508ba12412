#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <csignal>

// A program the test starts as a process of its own, with its standard
// output and error collected as lines. Killed when the object goes away.
class ChildProcess {
public:
    ChildProcess(const QString& program, const QStringList& arguments,
                 const QProcessEnvironment& environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, arguments);
    }
    ~ChildProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Everything written so far.
    QString output()
    {
        m_output += QString::fromUtf8(m_process.readAll());
        return m_output;
    }
    QStringList lines() { return output().split(QLatin1Char('\n')); }

    // The first complete line at or after line `from` that ends with `text`;
    // -1 when none came within `deadlineMs` or the process ended first.
    int waitForLine(const QString& text, int from, int deadlineMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < deadlineMs) {
            const QStringList all = lines();
            for (int i = from; i < all.size() - 1; ++i) // the last piece may be cut
                if (all[i].endsWith(text))
                    return i;
            if (m_process.state() == QProcess::NotRunning)
                return -1;
            m_process.waitForReadyRead(50);
        }
        return -1;
    }

    bool isRunning() const { return m_process.state() == QProcess::Running; }
    qint64 pid() const { return m_process.processId(); }
    int signal(int number) { return ::kill(static_cast<pid_t>(m_process.processId()), number); }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QString m_output;
};
