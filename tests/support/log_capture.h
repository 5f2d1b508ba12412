#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Collects every message of Qt's logger while it lives (one at a time).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    QStringList warnings() const;
    int count(const QString& line) const;
    bool contains(const QString& line) const { return count(line) > 0; }
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    mutable QMutex m_mutex;
    QStringList m_lines;
    QStringList m_warnings;
    QtMessageHandler m_previous;
};
