#pragma once

// Where the panel listens for quorlinctl, one source per OS.

#include <QString>

namespace remote {

// The name for QLocalServer::listen and QLocalSocket::connectToServer: on
// Linux the socket "quorlinctl" in the platform layer's runtime directory, on
// Windows the pipe "quorlinctl-<user name>".
QString endpointName();

// Makes the place of the endpoint ready before the server listens (the
// runtime directory, mode 0700). False when it cannot be made.
bool prepareEndpoint();

// Narrows a listening endpoint to its owner, whatever mode Qt gave it
// (read and write for the owner only).
void restrictEndpoint(const QString& fullServerName);

} // namespace remote
