#pragma once

#include "seqpacket_server.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

// A bare device for byte-level tests on the virtual unit's socket server: it
// records each request as it arrived (u32 code, u32 output size, input) and
// answers a scripted status and payload, fitted to the size asked, or raw bytes.
class RawDevice {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit RawDevice(int busIndex = 0);

    void setReply(std::uint32_t status, Bytes payload = {});
    // Exactly these bytes, whatever was asked; none: no answer at all.
    void setRawReply(Bytes reply);
    // Answers only this long after each request.
    void setReplyDelay(std::chrono::milliseconds delay) { m_delay = delay; }
    std::vector<Bytes> requests() const;

private:
    Bytes answer(const std::uint8_t* request, std::size_t size);

    mutable std::mutex m_mutex;
    std::atomic<std::chrono::milliseconds> m_delay{std::chrono::milliseconds(0)};
    bool m_raw = false;
    Bytes m_reply{0, 0, 0, 0};
    std::vector<Bytes> m_requests;
    virtualunit::SeqpacketServer m_server{1 << 17,
                                          [this](const std::uint8_t* request, std::size_t size) {
                                              return answer(request, size);
                                          }};
};
