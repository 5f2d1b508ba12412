#include "raw_device.h"

#include "platform/little_endian.h"
#include "platform/posix_endpoint.h"

#include <cstring>
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
    // Should either fail, the first accept() fails and the device never answers.
    bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(m_listenFd, 8);
    m_thread = std::thread([this] { serve(); });
}

RawDevice::~RawDevice()
{
    // Shutting the sockets down wakes the blocked accept() or recv().
    m_stopping = true;
    shutdown(m_listenFd, SHUT_RDWR);
    shutdown(m_clientFd, SHUT_RDWR);
    m_thread.join();
    close(m_listenFd);
    unlink(m_path.c_str());
}

void RawDevice::setReply(std::uint32_t status, Bytes payload)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_raw = false;
    m_reply = Bytes(4);
    platform::le::putU32(m_reply.data(), status);
    if (status == 0)
        m_reply.insert(m_reply.end(), payload.begin(), payload.end());
}

void RawDevice::setRawReply(Bytes reply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_raw = true;
    m_reply = std::move(reply);
}

std::vector<RawDevice::Bytes> RawDevice::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void RawDevice::serve()
{
    Bytes buffer(1 << 17);
    for (;;) {
        const int client = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        m_clientFd = client;
        ssize_t n = 0;
        while (!m_stopping && (n = recv(client, buffer.data(), buffer.size(), 0)) >= 8) {
            Bytes reply;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.emplace_back(buffer.begin(), buffer.begin() + n);
                reply = m_reply;
                if (!m_raw && platform::le::getU32(reply.data()) == 0) // exactly the size asked for
                    reply.resize(4 + platform::le::getU32(buffer.data() + 4));
                if (m_raw && reply.empty())
                    break;
            }
            const auto due = std::chrono::steady_clock::now() + m_delay.load();
            while (!m_stopping && std::chrono::steady_clock::now() < due)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
        m_clientFd = -1;
        close(client);
        if (m_stopping)
            return;
    }
}
