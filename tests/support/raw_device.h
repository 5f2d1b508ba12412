#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A bare device object for byte-level tests: it records every request message
// exactly as it arrived (u32 code, u32 output size, input) and answers with a
// scripted status and payload, cut or zero-padded to the size asked for, or
// with raw reply bytes. It serves one connection at a time.
class RawDevice {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit RawDevice(int busIndex = 0);
    ~RawDevice();
    RawDevice(const RawDevice&) = delete;
    RawDevice& operator=(const RawDevice&) = delete;

    void setReply(std::uint32_t status, Bytes payload = {});
    // Exactly these bytes, whatever was asked; none: hang up instead.
    void setRawReply(Bytes reply);
    // Answers only this long after each request.
    void setReplyDelay(std::chrono::milliseconds delay) { m_delay = delay; }
    std::vector<Bytes> requests() const;

private:
    void serve();

    std::string m_path;
    int m_listenFd = -1;
    std::atomic<int> m_clientFd{-1};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::atomic<std::chrono::milliseconds> m_delay{std::chrono::milliseconds(0)};
    bool m_raw = false;
    Bytes m_reply{0, 0, 0, 0};
    std::vector<Bytes> m_requests;
};
