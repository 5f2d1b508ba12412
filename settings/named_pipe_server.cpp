#include "settings/named_pipe_server.h"

#include "platform/win32_error.h"

#include <QDebug>
#include <cstring>

NamedPipeServer::NamedPipeServer(const QString& pipeName)
    : name(pipeName)
{
}

NamedPipeServer::~NamedPipeServer()
{
    close();
}

bool NamedPipeServer::create()
{
    handle = platform::createPipeServer(name.toStdWString());
    if (handle != platform::kInvalidPipeHandle) {
        qDebug() << "Pipe created successfully.";
        return true;
    }
    qDebug() << "Error: Could not create pipe. Error code:" << platform::lastError();
    return false;
}

bool NamedPipeServer::readMessage(Message& buffer)
{
    if (!platform::waitForPipeClient(handle)) {
        qDebug() << "Error connecting to pipe. Error code:" << platform::lastError();
        return false;
    }
    Message received{};
    std::uint32_t size = 0;
    const bool ok = platform::readPipeMessage(handle, received.data(), kMessageSize, &size);
    if (ok)
        std::memcpy(buffer.data(), received.data(), size);
    // A read cancelled by interrupt() ends with the listener: no failure to
    // report.
    else if (platform::lastError() != platform::win32::kErrorOperationAborted)
        qDebug() << "Error reading from pipe. Error code:" << platform::lastError();
    // After either outcome, so that the next client can connect.
    platform::disconnectPipeClient(handle);
    return ok;
}

void NamedPipeServer::interrupt()
{
    if (handle == platform::kInvalidPipeHandle)
        return;
    platform::cancelPipeReads(handle);
    platform::wakePipeServer(name.toStdWString());
}

void NamedPipeServer::close()
{
    if (handle == platform::kInvalidPipeHandle)
        return;
    platform::disconnectPipeClient(handle);
    platform::closePipeServer(handle);
    handle = platform::kInvalidPipeHandle;
    qDebug() << "Pipe closed.";
}
