#include "platform/posix_endpoint.h"
#include "remote/endpoint.h"

#include <QFile>

namespace remote {

QString endpointName()
{
    return QString::fromStdString(platform::posix::runtimeDirectory()) +
           QStringLiteral("/quorlinctl");
}

bool prepareEndpoint()
{
    return platform::posix::ensureRuntimeDirectory();
}

void restrictEndpoint(const QString& fullServerName)
{
    QFile::setPermissions(fullServerName, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace remote
