#include "log_capture.h"

namespace {
LogCapture* gActive = nullptr;
}

LogCapture::LogCapture()
{
    gActive = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    gActive = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (!gActive)
        return;
    QMutexLocker lock(&gActive->m_mutex);
    gActive->m_lines << message;
    if (type == QtWarningMsg)
        gActive->m_warnings << message;
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

QStringList LogCapture::warnings() const
{
    QMutexLocker lock(&m_mutex);
    return m_warnings;
}

int LogCapture::count(const QString& line) const
{
    QMutexLocker lock(&m_mutex);
    return int(m_lines.count(line));
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lines.clear();
    m_warnings.clear();
}
