#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A bare device object for byte-level tests of the driver link: it records
// every request message exactly as it arrived and answers with a scripted
// status and payload (the payload is cut or zero-padded to the size the
// request asks for).
class RawDevice {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit RawDevice(int busIndex = 0);
    ~RawDevice();
    RawDevice(const RawDevice&) = delete;
    RawDevice& operator=(const RawDevice&) = delete;

    bool isListening() const { return m_listenFd >= 0; }

    void setReply(std::uint32_t status, Bytes payload = {});
    std::vector<Bytes> requests() const;

    // Field accessors for a recorded request.
    static std::uint32_t code(const Bytes& request);
    static std::uint32_t outSize(const Bytes& request);
    static Bytes input(const Bytes& request);

private:
    void serve();

    std::string m_path;
    int m_listenFd = -1;
    int m_wakeFds[2] = {-1, -1};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::uint32_t m_status = 0;
    Bytes m_payload;
    std::vector<Bytes> m_requests;
};
