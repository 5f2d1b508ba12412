#include "raw_device.h"

#include "platform/little_endian.h"
#include "platform/posix_endpoint.h"

#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

RawDevice::RawDevice(int busIndex)
{
    platform::posix::ensureRuntimeDirectory();
    m_path = platform::posix::endpointPath(L"\\\\.\\QuorlinAudioBus" + std::to_wstring(busIndex));
    unlink(m_path.c_str());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, m_path.c_str(), sizeof(address.sun_path) - 1);
    m_listenFd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(m_listenFd, 8) != 0 || pipe2(m_wakeFds, O_CLOEXEC) != 0) {
        close(m_listenFd);
        m_listenFd = -1;
        return;
    }
    m_thread = std::thread([this] { serve(); });
}

RawDevice::~RawDevice()
{
    if (m_thread.joinable()) {
        const char wake = 1;
        (void)!write(m_wakeFds[1], &wake, 1);
        m_thread.join();
    }
    for (int fd : {m_listenFd, m_wakeFds[0], m_wakeFds[1]})
        if (fd >= 0)
            close(fd);
    unlink(m_path.c_str());
}

void RawDevice::setReply(std::uint32_t status, Bytes payload)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
    m_payload = std::move(payload);
}

std::vector<RawDevice::Bytes> RawDevice::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::uint32_t RawDevice::code(const Bytes& request)
{
    return request.size() >= 4 ? platform::le::getU32(request.data()) : 0;
}

std::uint32_t RawDevice::outSize(const Bytes& request)
{
    return request.size() >= 8 ? platform::le::getU32(request.data() + 4) : 0;
}

RawDevice::Bytes RawDevice::input(const Bytes& request)
{
    return request.size() > 8 ? Bytes(request.begin() + 8, request.end()) : Bytes{};
}

void RawDevice::serve()
{
    std::vector<pollfd> fds{{m_wakeFds[0], POLLIN, 0}, {m_listenFd, POLLIN, 0}};
    Bytes buffer(1 << 17);
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            const int client = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0)
                fds.push_back({client, POLLIN, 0});
        }
        for (std::size_t i = 2; i < fds.size();) {
            if (!fds[i].revents) {
                ++i;
                continue;
            }
            const ssize_t n = recv(fds[i].fd, buffer.data(), buffer.size(), 0);
            if (n <= 0) {
                close(fds[i].fd);
                fds.erase(fds.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            Bytes request(buffer.begin(), buffer.begin() + n);
            Bytes reply(4);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(request);
                platform::le::putU32(reply.data(), m_status);
                if (m_status == 0) {
                    Bytes payload = m_payload;
                    payload.resize(outSize(request));
                    reply.insert(reply.end(), payload.begin(), payload.end());
                }
            }
            send(fds[i].fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            fds[i].revents = 0;
            ++i;
        }
    }
    for (std::size_t i = 2; i < fds.size(); ++i)
        close(fds[i].fd);
}
