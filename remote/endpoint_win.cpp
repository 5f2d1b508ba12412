#include "remote/endpoint.h"

namespace remote {

QString endpointName()
{
    return QStringLiteral("quorlinctl-") + qEnvironmentVariable("USERNAME");
}

// A pipe needs no directory, and QLocalServer::UserAccessOption already gives
// it a security descriptor that lets in the current user only.
bool prepareEndpoint()
{
    return true;
}

void restrictEndpoint(const QString&) {}

} // namespace remote
