#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Serves one AF_UNIX SOCK_SEQPACKET socket on a thread of its own: any number
// of connections, each request message answered by one reply message from the
// handler (or by none when the handler returns no bytes, as for a pipe whose
// clients only write). One poll() covers the listening socket, every connection and an
// eventfd that stop() uses to wake the thread, so stopping never waits on a
// client.
namespace virtualunit {

class SeqpacketServer {
public:
    // Called on the server thread with a request message. `size` is the
    // message's full length; `data` holds its first min(size, capacity) bytes.
    using Handler =
        std::function<std::vector<unsigned char>(const unsigned char* data, std::size_t size)>;

    // `capacity`: the longest request the handler needs to see whole.
    SeqpacketServer(std::size_t capacity, Handler handler);
    ~SeqpacketServer(); // stops
    SeqpacketServer(const SeqpacketServer&) = delete;
    SeqpacketServer& operator=(const SeqpacketServer&) = delete;

    // Binds `path` and starts serving. A socket file left behind by a server
    // that is gone is replaced; a path where another server still answers, or
    // that is not a socket, is refused. On failure returns false with a
    // reason in `error`.
    bool start(const std::string& path, std::string* error);

    // Closes the listener and every connection and removes the socket file
    // (unless another server has taken the path since). Must not be called
    // from the handler.
    void stop();

    bool running() const { return m_thread.joinable(); }
    int connectionCount() const { return m_connections.load(); }
    const std::string& path() const { return m_path; }

private:
    void run();
    bool serve(int fd, short events); // false: drop the connection
    void closeAll();

    std::size_t m_capacity;
    Handler m_handler;
    std::string m_path;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    unsigned long long m_socketInode = 0;
    unsigned long long m_socketDevice = 0;
    std::vector<int> m_clients; // server thread only
    std::vector<unsigned char> m_buffer;
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

} // namespace virtualunit
