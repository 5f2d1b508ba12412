#include "seqpacket_server.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace virtualunit {

namespace {

std::string describeErrno(const std::string& what, int error)
{
    return what + ": " + std::strerror(error);
}

bool makeAddress(const std::string& path, sockaddr_un* address)
{
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof(address->sun_path))
        return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when a server answers on `address`.
bool someoneListens(const sockaddr_un& address)
{
    const int probe = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    int rc;
    do {
        rc = connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    } while (rc < 0 && errno == EINTR);
    close(probe);
    return rc == 0;
}

} // namespace

SeqpacketServer::SeqpacketServer(std::size_t capacity, Handler handler)
    : m_capacity(capacity)
    , m_handler(std::move(handler))
{
}

SeqpacketServer::~SeqpacketServer()
{
    stop();
}

bool SeqpacketServer::start(const std::string& path, std::string* error)
{
    if (running())
        return true;
    sockaddr_un address;
    if (!makeAddress(path, &address)) {
        *error = "socket path too long: " + path;
        return false;
    }

    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            *error = path + " exists and is not a socket";
            return false;
        }
        if (someoneListens(address)) {
            *error = "another unit already serves " + path;
            return false;
        }
        unlink(path.c_str()); // stale: its server is gone
    }

    m_listenFd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0) {
        *error = describeErrno("socket", errno);
        return false;
    }
    if (bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) < 0 ||
        listen(m_listenFd, SOMAXCONN) < 0) {
        *error = describeErrno("cannot serve " + path, errno);
        close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    struct stat bound {};
    if (stat(path.c_str(), &bound) == 0) {
        m_socketInode = bound.st_ino;
        m_socketDevice = bound.st_dev;
    }
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        *error = describeErrno("eventfd", errno);
        close(m_listenFd);
        m_listenFd = -1;
        unlink(path.c_str());
        return false;
    }
    m_path = path;
    m_buffer.resize(m_capacity);
    m_thread = std::thread([this] { run(); });
    return true;
}

void SeqpacketServer::stop()
{
    if (!m_thread.joinable())
        return;
    const std::uint64_t one = 1;
    while (write(m_wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
    m_thread.join();
    closeAll();
}

void SeqpacketServer::closeAll()
{
    for (int fd : m_clients)
        close(fd);
    m_clients.clear();
    m_connections = 0;
    close(m_listenFd);
    m_listenFd = -1;
    close(m_wakeFd);
    m_wakeFd = -1;

    // Remove the socket file only while it is still the one bound here.
    struct stat current {};
    if (stat(m_path.c_str(), &current) == 0 && current.st_ino == m_socketInode &&
        current.st_dev == m_socketDevice)
        unlink(m_path.c_str());
}

void SeqpacketServer::run()
{
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({m_wakeFd, POLLIN, 0});
        fds.push_back({m_listenFd, POLLIN, 0});
        for (int fd : m_clients)
            fds.push_back({fd, POLLIN, 0});

        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return; // cannot happen with valid descriptors; stop() still cleans up
        }
        if (fds[0].revents != 0)
            return;

        std::vector<int> stillOpen;
        stillOpen.reserve(m_clients.size());
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents == 0 || serve(fds[i].fd, fds[i].revents))
                stillOpen.push_back(fds[i].fd);
            else
                close(fds[i].fd);
        }
        m_clients.swap(stillOpen);

        if (fds[1].revents & POLLIN) {
            for (;;) {
                const int client =
                    accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (client < 0)
                    break;
                m_clients.push_back(client);
            }
        }
        m_connections = static_cast<int>(m_clients.size());
    }
}

bool SeqpacketServer::serve(int fd, short events)
{
    if (!(events & POLLIN))
        return false; // hung up or broken
    ssize_t size;
    do {
        // MSG_TRUNC: the result is the message's full length even when it
        // does not fit, so an oversized request is still measured.
        size = recv(fd, m_buffer.data(), m_buffer.size(), MSG_TRUNC | MSG_DONTWAIT);
    } while (size < 0 && errno == EINTR);
    if (size < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK;
    // A zero-length read is the end of the connection when the peer hung up;
    // otherwise it was an empty message, which gets an answer like any other.
    if (size == 0 && (events & POLLHUP))
        return false;

    const std::vector<unsigned char> reply =
        m_handler(m_buffer.data(), static_cast<std::size_t>(size));
    if (reply.empty())
        return true; // nothing to answer
    ssize_t sent;
    do {
        sent = send(fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    // A client that does not take its replies is dropped rather than waited for.
    return sent == static_cast<ssize_t>(reply.size());
}

} // namespace virtualunit
