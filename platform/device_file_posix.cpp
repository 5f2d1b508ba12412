#include "platform/device_file.h"
#include "platform/little_endian.h"
#include "platform/posix_endpoint.h"
#include "platform/win32_error.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// A driver that does not answer within this time is treated as gone; the real
// driver answers within milliseconds.
constexpr int kReplyTimeoutSeconds = 5;

bool fail(std::uint32_t code)
{
    posix::setLastError(code);
    return false;
}

bool failFromErrno()
{
    return fail(posix::win32ErrorFromErrno(errno));
}

} // namespace

DeviceHandle openDevice(const std::wstring& name)
{
    const int fd = posix::connectEndpoint(name);
    if (fd < 0)
        return kInvalidDeviceHandle;
    const timeval timeout{kReplyTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    return fd;
}

bool deviceControl(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                   void* out, std::uint32_t outSize)
{
    if (handle < 0)
        return fail(win32::kErrorInvalidParameter);
    const int fd = static_cast<int>(handle);

    std::vector<unsigned char> request(posix::kRequestHeaderSize + inSize);
    le::putU32(request.data(), code);
    le::putU32(request.data() + 4, outSize);
    if (inSize > 0)
        std::memcpy(request.data() + posix::kRequestHeaderSize, in, inSize);

    ssize_t sent;
    do {
        sent = send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0)
        return failFromErrno();

    // One byte more than a full reply, so that an oversized reply is noticed.
    std::vector<unsigned char> reply(posix::kReplyHeaderSize + outSize + 1);
    ssize_t received;
    do {
        received = recv(fd, reply.data(), reply.size(), 0);
    } while (received < 0 && errno == EINTR);
    if (received < 0) {
        const std::uint32_t error = posix::win32ErrorFromErrno(errno);
        // A late reply would be taken as the answer to the next request:
        // a connection that timed out is never used again.
        if (error == win32::kErrorSemTimeout)
            shutdown(fd, SHUT_RDWR);
        return fail(error);
    }
    if (received == 0)
        return fail(win32::kErrorDeviceNotConnected);
    if (static_cast<std::size_t>(received) < posix::kReplyHeaderSize)
        return fail(win32::kErrorInvalidData);

    const std::uint32_t status = le::getU32(reply.data());
    if (status != win32::kErrorSuccess)
        return fail(status);
    if (static_cast<std::size_t>(received) != posix::kReplyHeaderSize + outSize)
        return fail(win32::kErrorInvalidData);
    if (outSize > 0)
        std::memcpy(out, reply.data() + posix::kReplyHeaderSize, outSize);
    posix::setLastError(win32::kErrorSuccess);
    return true;
}

void closeDevice(DeviceHandle handle)
{
    if (handle >= 0)
        close(static_cast<int>(handle));
}

} // namespace platform
