// The ASIO driver's two pipe ends for windows_app.sh under Wine: plain Win32,
// apart from the platform layer, so the panel's pipe code meets a peer of its own.
//   open-window: sends \\.\pipe\QuorlinASIOToPannel the open-window message
//       (five little-endian 32-bit words, the fifth not zero); 1 without a
//       connection within 20 s
//   serve-reset <seconds>: serves \\.\pipe\QuorlinPannelToASIO (duplex, message
//       mode), prints "ready", then each message in hex ("message 31"); 0 after
//       the first non-empty message, 1 when none came within <seconds>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace {

const wchar_t* const kPanelPipe = L"\\\\.\\pipe\\QuorlinASIOToPannel";
const wchar_t* const kAsioPipe = L"\\\\.\\pipe\\QuorlinPannelToASIO";
constexpr DWORD kConnectTryMs = 20000;
constexpr DWORD kBufferSize = 4096;

int openWindow()
{
    const DWORD end = GetTickCount() + kConnectTryMs;
    for (;;) {
        HANDLE pipe = CreateFileW(kPanelPipe, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            const unsigned char message[20] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
            DWORD written = 0;
            const BOOL ok = WriteFile(pipe, message, sizeof message, &written, nullptr);
            CloseHandle(pipe);
            std::printf("open-window %s (%lu bytes)\n", ok ? "sent" : "failed", written);
            return ok && written == sizeof message ? 0 : 1;
        }
        const DWORD error = GetLastError();
        if (static_cast<LONG>(GetTickCount() - end) > 0) {
            std::printf("open-window: no connection, error %lu\n", error);
            return 1;
        }
        // No server yet (2), or its one instance between clients (231).
        Sleep(100);
    }
}

// Waits for a client on its own thread, so that the whole wait has a limit.
struct Waiter {
    HANDLE pipe;
    BOOL connected = FALSE;
    static DWORD WINAPI run(LPVOID self)
    {
        auto* waiter = static_cast<Waiter*>(self);
        waiter->connected = ConnectNamedPipe(waiter->pipe, nullptr) ||
                            GetLastError() == ERROR_PIPE_CONNECTED ||
                            GetLastError() == ERROR_NO_DATA;
        return 0;
    }
};

int serveReset(DWORD seconds)
{
    HANDLE pipe = CreateNamedPipeW(kAsioPipe, PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, kBufferSize, kBufferSize, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        std::printf("serve-reset: CreateNamedPipeW failed, error %lu\n", GetLastError());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + seconds * 1000;
    for (;;) {
        const LONG left = static_cast<LONG>(end - GetTickCount());
        if (left <= 0)
            break;
        Waiter waiter{pipe};
        HANDLE thread = CreateThread(nullptr, 0, &Waiter::run, &waiter, 0, nullptr);
        if (WaitForSingleObject(thread, static_cast<DWORD>(left)) != WAIT_OBJECT_0) {
            std::printf("serve-reset: no client within %lu s\n", seconds);
            std::fflush(stdout);
            std::_Exit(1); // the waiting thread cannot be ended cleanly
        }
        CloseHandle(thread);
        if (!waiter.connected)
            break;
        unsigned char buffer[kBufferSize];
        DWORD size = 0;
        const BOOL read = ReadFile(pipe, buffer, sizeof buffer, &size, nullptr);
        DisconnectNamedPipe(pipe);
        std::printf("message");
        for (DWORD i = 0; i < size; ++i)
            std::printf(" %02x", buffer[i]);
        std::printf("%s\n", read ? "" : " (read failed)");
        std::fflush(stdout);
        if (read && size > 0) {
            CloseHandle(pipe);
            return 0;
        }
    }
    CloseHandle(pipe);
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "open-window") == 0)
        return openWindow();
    if (argc == 3 && std::strcmp(argv[1], "serve-reset") == 0)
        return serveReset(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    std::fprintf(stderr, "usage: asio_driver_stand_in open-window | serve-reset <seconds>\n");
    return 2;
}
