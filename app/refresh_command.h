#pragma once

#include <QString>
#include <QStringList>

// Runs the command that makes the system pick up audio devices afresh and
// waits for it, blocking, for at most `timeoutMs`. Logs a timeout, a non-zero
// exit (with both output streams) or the success. Returns whether it finished
// in time with exit code 0.
inline constexpr int kRefreshTimeoutMs = 5000;
bool runRefreshCommand(const QString& program, const QStringList& arguments,
                       int timeoutMs = kRefreshTimeoutMs);
