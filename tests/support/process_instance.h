#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <signal.h>

inline constexpr int kProcessWaitMs = 15000;

// A program started as its own process in the test's directories, its output
// and errors collected as lines; killed when the object goes away.
class ProcessInstance : public QProcess {
public:
    explicit ProcessInstance(const QString& program, const QStringList& arguments = {})
    {
        setProcessChannelMode(QProcess::MergedChannels);
        start(program, arguments);
    }
    ~ProcessInstance() override
    {
        kill();
        waitForFinished();
    }

    int signal(int number) { return ::kill(pid_t(processId()), number); }
    // Everything the process wrote so far: what waits in the pipe is read first.
    QString output()
    {
        while (waitForReadyRead(0)) {
        }
        return m_output += QString::fromUtf8(readAll());
    }
    int lineCount() { return int(output().count('\n')); }

    // The first complete line from line `from` on that `matches`; else -1.
    int waitFor(const std::function<bool(const QString&)>& matches, int from = 0)
    {
        QDeadlineTimer deadline(kProcessWaitMs);
        while (!deadline.hasExpired()) {
            const QStringList all = output().split('\n');
            for (int i = from; i < all.size() - 1; ++i) // the last piece may be cut
                if (matches(all[i]))
                    return i;
            if (state() == QProcess::NotRunning)
                return -1;
            waitForReadyRead(50);
        }
        return -1;
    }
    // The first line at or after `from` that ends with `text`.
    int waitForLine(const QString& text, int from = 0)
    {
        return waitFor([&text](const QString& line) { return line.endsWith(text); }, from);
    }

private:
    QString m_output;
};
