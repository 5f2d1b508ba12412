#include "raw_device.h"

#include "platform/little_endian.h"
#include "platform/posix_endpoint.h"

#include <stdexcept>
#include <thread>

RawDevice::RawDevice(int busIndex)
{
    std::string error;
    if (!platform::posix::ensureRuntimeDirectory() ||
        !m_server.start(
            platform::posix::endpointPath(L"\\\\.\\QuorlinAudioBus" + std::to_wstring(busIndex)),
            &error))
        throw std::runtime_error("RawDevice: " + error);
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

RawDevice::Bytes RawDevice::answer(const std::uint8_t* request, std::size_t size)
{
    Bytes reply;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.emplace_back(request, request + size);
        reply = m_reply;
        if (!m_raw && platform::le::getU32(reply.data()) == 0 && size >= 8)
            reply.resize(4 + platform::le::getU32(request + 4)); // the size asked for
    }
    std::this_thread::sleep_for(m_delay.load());
    return reply;
}
