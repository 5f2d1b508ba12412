#include "platform/posix_endpoint.h"

#include "platform/device_file.h"
#include "platform/win32_error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// The last error of each thread, for every POSIX source of the layer.
thread_local std::uint32_t tLastError = win32::kErrorSuccess;

} // namespace

std::uint32_t lastError()
{
    return tLastError;
}

namespace posix {

void setLastError(std::uint32_t code)
{
    tLastError = code;
}

std::string toUtf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t wc : text) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string runtimeDirectory()
{
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && *xdg)
        return std::string(xdg) + "/quorlin";
    return "/tmp/quorlin-" + std::to_string(getuid());
}

bool ensureRuntimeDirectory()
{
    const std::string dir = runtimeDirectory();
    if (mkdir(dir.c_str(), 0700) == 0)
        return true;
    if (errno != EEXIST) {
        setLastError(win32ErrorFromErrno(errno));
        return false;
    }
    // One already there must be this user's own directory, not a link: in /tmp
    // another user may have made it first, to serve or watch the sockets.
    struct stat info {};
    if (lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        setLastError(win32::kErrorAccessDenied);
        return false;
    }
    if ((info.st_mode & 077) != 0 && chmod(dir.c_str(), 0700) != 0) {
        setLastError(win32ErrorFromErrno(errno));
        return false;
    }
    return true;
}

std::string endpointPath(const std::wstring& objectName)
{
    const auto slash = objectName.find_last_of(L'\\');
    const std::wstring last =
        slash == std::wstring::npos ? objectName : objectName.substr(slash + 1);
    return runtimeDirectory() + "/" + toUtf8(last);
}

int connectEndpoint(const std::wstring& objectName)
{
    if (!ensureRuntimeDirectory())
        return -1;
    const std::string path = endpointPath(objectName);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        setLastError(win32::kErrorFilenameExcedRange);
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setLastError(win32ErrorFromErrno(errno));
        return -1;
    }
    int rc;
    do {
        rc = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        setLastError(win32ErrorFromErrno(errno));
        close(fd);
        return -1;
    }
    setLastError(win32::kErrorSuccess);
    return fd;
}

std::uint32_t win32ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ECONNREFUSED:
    case ENOTDIR:
        return win32::kErrorFileNotFound;
    case EACCES:
    case EPERM:
        return win32::kErrorAccessDenied;
    case ECONNRESET:
    case EPIPE:
    case ENOTCONN:
    case ESHUTDOWN:
        return win32::kErrorDeviceNotConnected;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case ETIMEDOUT:
        return win32::kErrorSemTimeout;
    case ENAMETOOLONG:
        return win32::kErrorFilenameExcedRange;
    case EMSGSIZE:
    case EINVAL:
        return win32::kErrorInvalidParameter;
    default:
        return win32::kErrorGenFailure;
    }
}

} // namespace posix

} // namespace platform
