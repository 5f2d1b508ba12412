#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Collects every message of Qt's logger while it lives (one at a time).
class LogCapture {
public:
    LogCapture()
    {
        active() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        active() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    QStringList warnings() const
    {
        QMutexLocker lock(&m_mutex);
        return m_warnings;
    }
    int count(const QString& line) const { return int(lines().count(line)); }
    bool contains(const QString& line) const { return count(line) > 0; }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
        m_warnings.clear();
    }

private:
    static LogCapture*& active()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (LogCapture* capture = active()) {
            QMutexLocker lock(&capture->m_mutex);
            capture->m_lines << message;
            if (type == QtWarningMsg)
                capture->m_warnings << message;
        }
    }

    mutable QMutex m_mutex;
    QStringList m_lines;
    QStringList m_warnings;
    QtMessageHandler m_previous;
};
