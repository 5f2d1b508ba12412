#include "platform/message_pipe.h"
#include "platform/posix_endpoint.h"
#include "platform/win32_error.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// A client whose server stops taking messages is treated as gone after this
// time, as a device exchange is.
constexpr int kSendTimeoutSeconds = 5;

// The server end: the listening socket, the connection of the current client
// (-1 between clients), an event that becomes readable once reads are
// cancelled, and the identity of the socket file bound here, so that closing
// removes the file only while no other server has replaced it.
struct PipeServer {
    int listenFd = -1;
    int clientFd = -1;
    int cancelFd = -1;
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
};

PipeServer* toServer(PipeHandle handle)
{
    return handle == kInvalidPipeHandle ? nullptr : reinterpret_cast<PipeServer*>(handle);
}

bool fail(std::uint32_t code)
{
    posix::setLastError(code);
    return false;
}

bool failFromErrno()
{
    return fail(posix::win32ErrorFromErrno(errno));
}

bool succeed()
{
    posix::setLastError(win32::kErrorSuccess);
    return true;
}

bool makeAddress(const std::string& path, sockaddr_un* address)
{
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof(address->sun_path))
        return fail(win32::kErrorFilenameExcedRange);
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

PipeHandle createPipeServer(const std::wstring& name)
{
    if (!posix::ensureRuntimeDirectory())
        return kInvalidPipeHandle;
    const std::string path = posix::endpointPath(name);
    sockaddr_un address;
    if (!makeAddress(path, &address))
        return kInvalidPipeHandle;

    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        failFromErrno();
        return kInvalidPipeHandle;
    }
    // An old socket file is replaced; anything else in the way makes bind fail.
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0 && S_ISSOCK(existing.st_mode))
        unlink(path.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) < 0 ||
        listen(fd, SOMAXCONN) < 0) {
        failFromErrno();
        close(fd);
        return kInvalidPipeHandle;
    }

    const int cancelFd = eventfd(0, EFD_CLOEXEC);
    if (cancelFd < 0) {
        failFromErrno();
        close(fd);
        return kInvalidPipeHandle;
    }
    auto* server = new PipeServer;
    server->listenFd = fd;
    server->cancelFd = cancelFd;
    server->path = path;
    struct stat bound {};
    if (stat(path.c_str(), &bound) == 0) {
        server->device = bound.st_dev;
        server->inode = bound.st_ino;
    }
    succeed();
    return reinterpret_cast<PipeHandle>(server);
}

bool waitForPipeClient(PipeHandle handle)
{
    PipeServer* server = toServer(handle);
    if (!server)
        return fail(win32::kErrorInvalidHandle);
    if (server->clientFd >= 0)
        return succeed(); // still connected: Windows' ERROR_PIPE_CONNECTED
    int client;
    do {
        client = accept4(server->listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    } while (client < 0 && errno == EINTR);
    if (client < 0)
        return failFromErrno();
    server->clientFd = client;
    return succeed();
}

bool readPipeMessage(PipeHandle handle, void* buffer, std::uint32_t capacity,
                     std::uint32_t* received)
{
    *received = 0;
    PipeServer* server = toServer(handle);
    if (!server)
        return fail(win32::kErrorInvalidHandle);
    if (server->clientFd < 0)
        return fail(win32::kErrorPipeListening);
    // Waits for the message, or for a hang-up, as long as it takes, unless
    // reads are cancelled first.
    pollfd ready[2] = {{server->clientFd, POLLIN, 0}, {server->cancelFd, POLLIN, 0}};
    int polled;
    do {
        polled = poll(ready, 2, -1);
    } while (polled < 0 && errno == EINTR);
    if (polled < 0)
        return failFromErrno();
    if (ready[0].revents == 0)
        return fail(win32::kErrorOperationAborted);
    ssize_t size;
    do {
        // MSG_TRUNC: the result is the message's full length even when only
        // `capacity` bytes of it fit, so a longer message is noticed.
        size = recv(server->clientFd, buffer, capacity, MSG_TRUNC);
    } while (size < 0 && errno == EINTR);
    if (size < 0)
        return failFromErrno();
    // A client that closed without writing also reads as an empty message:
    // a SEQPACKET socket cannot tell the two apart.
    if (static_cast<std::size_t>(size) > capacity) {
        *received = capacity;
        return fail(win32::kErrorMoreData);
    }
    *received = static_cast<std::uint32_t>(size);
    return succeed();
}

void cancelPipeReads(PipeHandle handle)
{
    PipeServer* server = toServer(handle);
    if (!server)
        return;
    const std::uint64_t one = 1;
    // The event stays readable from now on; it can only fail when full.
    [[maybe_unused]] const ssize_t written = write(server->cancelFd, &one, sizeof one);
}

void disconnectPipeClient(PipeHandle handle)
{
    PipeServer* server = toServer(handle);
    if (!server || server->clientFd < 0)
        return;
    close(server->clientFd);
    server->clientFd = -1;
}

void closePipeServer(PipeHandle handle)
{
    PipeServer* server = toServer(handle);
    if (!server)
        return;
    disconnectPipeClient(handle);
    close(server->listenFd);
    close(server->cancelFd);
    struct stat current {};
    if (stat(server->path.c_str(), &current) == 0 && current.st_dev == server->device &&
        current.st_ino == server->inode)
        unlink(server->path.c_str());
    delete server;
}

PipeHandle openPipe(const std::wstring& name)
{
    const int fd = posix::connectEndpoint(name);
    if (fd < 0)
        return kInvalidPipeHandle;
    const timeval timeout{kSendTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    succeed();
    return fd;
}

bool writePipe(PipeHandle client, const void* data, std::uint32_t size)
{
    if (client < 0)
        return fail(win32::kErrorInvalidHandle);
    ssize_t sent;
    do {
        sent = send(static_cast<int>(client), data, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0)
        return failFromErrno();
    return succeed();
}

void closePipe(PipeHandle client)
{
    if (client >= 0)
        close(static_cast<int>(client));
}

} // namespace platform
