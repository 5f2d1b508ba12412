#include "app/log_file.h"

#include "platform/standard_streams.h"

#include <QByteArray>
#include <QDebug>
#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace {

const char* const kLogFileVariable = "QUORLIN_LOG_FILE";

// Qt's own handler would write in the local 8-bit encoding, or on Windows to
// the debugger alone; the file gets every message, in UTF-8.
void writeToStandardError(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QByteArray line = qFormatLogMessage(type, context, message).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
}

} // namespace

bool startLogFileFromEnvironment()
{
    const QString path = qEnvironmentVariable(kLogFileVariable);
    if (path.isEmpty())
        return false;
    if (!platform::redirectStandardStreams(path.toStdWString())) {
        qWarning().noquote() << "Cannot write the log to" << path;
        return false;
    }
    qInstallMessageHandler(&writeToStandardError);
    return true;
}
