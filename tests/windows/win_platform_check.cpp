// The Windows half of the platform layer through the real Win32 calls, run on
// Windows or under Wine (scripts/windows-check.sh); no Qt, so its own report.

#include "platform/device_file.h"
#include "platform/message_pipe.h"
#include "platform/shell.h"
#include "platform/sleep.h"
#include "platform/win32_error.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>
#include <windows.h>

namespace {

namespace win32 = platform::win32;
using Bytes = std::vector<unsigned char>;
using platform::kInvalidPipeHandle;

int gFailed = 0;

void check(bool condition, const std::string& what, std::uint32_t error = 0)
{
    std::printf("%s %s (error %u)\n", condition ? "PASS" : "FAIL", what.c_str(), error);
    std::fflush(stdout);
    gFailed += condition ? 0 : 1;
}

// A hang guard for waits on the listener, never a measure of speed.
constexpr DWORD kGuardMs = 10000;
constexpr std::uint32_t kCapacity = 1024;
const std::wstring kAsioToPanel = L"\\\\.\\pipe\\QuorlinASIOToPannel";

// One server instance, as the panel's listener holds it. Each serve() starts a
// thread that, like one turn of the listener, waits for a client, reads its
// message and disconnects.
struct Server {
    platform::PipeHandle pipe = platform::createPipeServer(kAsioToPanel);
    HANDLE thread = nullptr;
    bool ok = false; // what the last turn read
    std::uint32_t error = 0;
    Bytes bytes;

    ~Server()
    {
        if (thread && !served())
            TerminateThread(thread, 1); // only after a failed check; keeps the run going
        platform::closePipeServer(pipe);
    }
    void serve()
    {
        ok = false, error = 0, bytes.clear();
        thread = CreateThread(nullptr, 0, &Server::serveOne, this, 0, nullptr);
    }
    // True when the turn ended within `waitMs`.
    bool served(DWORD waitMs = kGuardMs)
    {
        if (WaitForSingleObject(thread, waitMs) != WAIT_OBJECT_0)
            return false;
        CloseHandle(thread);
        thread = nullptr;
        return true;
    }
    static DWORD WINAPI serveOne(LPVOID self)
    {
        auto* server = static_cast<Server*>(self);
        unsigned char buffer[kCapacity] = {};
        std::uint32_t size = 0;
        if (platform::waitForPipeClient(server->pipe)) {
            server->ok = platform::readPipeMessage(server->pipe, buffer, kCapacity, &size);
            server->error = server->ok ? 0 : platform::lastError();
            server->bytes.assign(buffer, buffer + size);
            platform::disconnectPipeClient(server->pipe);
        }
        return 0;
    }
};

// Opens the pipe as the ASIO driver would, again while the one instance is
// busy (until its next turn waits for a client).
platform::PipeHandle open()
{
    platform::PipeHandle client = platform::openPipe(kAsioToPanel);
    for (DWORD waited = 0; client == kInvalidPipeHandle &&
                           platform::lastError() == win32::kErrorPipeBusy && waited < kGuardMs;
         waited += 10) {
        platform::sleepMilliseconds(10);
        client = platform::openPipe(kAsioToPanel);
    }
    return client;
}

// A client writes one message and closes.
bool send(const Bytes& message, platform::PipeHandle client = open())
{
    const unsigned char none = 0;
    const bool written = client != kInvalidPipeHandle &&
                         platform::writePipe(client, message.empty() ? &none : message.data(),
                                             static_cast<std::uint32_t>(message.size()));
    platform::closePipe(client);
    return written;
}

Bytes pattern(std::size_t size)
{
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), static_cast<unsigned char>(1));
    return bytes;
}

void serverReadsEachClient()
{
    struct Case {
        const char* what;
        std::size_t size;
        std::uint32_t error; // 0: read whole
    } const cases[] = {
        {"a 20-byte message arrives whole", 20, 0},
        {"an empty message arrives", 0, 0},
        {"a 2000-byte message fails with 234, the buffer full", 2000, win32::kErrorMoreData},
        {"the next client after the long message is served", 20, 0},
        {"a message of exactly 1024 bytes arrives whole", kCapacity, 0},
    };
    Server server;
    for (const Case& c : cases) {
        const Bytes sent = pattern(c.size);
        server.serve();
        const bool arrived = send(sent) && server.served();
        check(arrived && server.ok == !c.error && server.error == c.error &&
                  server.bytes ==
                      Bytes(sent.begin(), sent.begin() + std::min<std::size_t>(c.size, kCapacity)),
              c.what, server.error);
    }

    // A connected client may take its time to write; the read still waits.
    server.serve();
    const platform::PipeHandle slow = open();
    check(slow != kInvalidPipeHandle && !server.served(2500),
          "a client silent for 2.5 s is still waited for (a read once gave up after 2 s)");
    const bool late = send(pattern(20), slow) && server.served();
    check(late && server.bytes == pattern(20), "its late message arrives whole", server.error);

    // cancelPipeReads() ends the read of a client that never writes (and later ones).
    server.serve();
    const platform::PipeHandle silent = open();
    platform::cancelPipeReads(server.pipe);
    const bool cancelled = silent != kInvalidPipeHandle && server.served() && !server.ok;
    check(cancelled && server.error == win32::kErrorOperationAborted,
          "a silent client's read, cancelled, fails with 995", server.error);
    platform::closePipe(silent);

    // A wait with no client at all ends when the panel wakes its own pipe.
    server.serve();
    bool woken = false;
    for (DWORD waited = 0; !woken && waited < kGuardMs; waited += 50) {
        platform::wakePipeServer(kAsioToPanel);
        woken = server.served(50);
    }
    check(woken, "a wake ends a wait for a client");
}

// Opening objects nobody serves, DeviceIoControl on a closed handle, and a
// client before the wait.
void withoutAServerThread()
{
    const bool opened =
        platform::openDevice(L"\\\\.\\QuorlinAudioBus0") != platform::kInvalidDeviceHandle;
    check(!opened && platform::lastError() == win32::kErrorFileNotFound,
          "QuorlinAudioBus0 without a driver fails with 2", platform::lastError());
    const std::wstring panelToAsio = L"\\\\.\\pipe\\QuorlinPannelToASIO";
    check(platform::openPipe(panelToAsio) == kInvalidPipeHandle &&
              platform::lastError() == win32::kErrorFileNotFound,
          "opening a pipe nobody serves fails with 2", platform::lastError());
    std::uint32_t pid = 0;
    const bool ok =
        platform::deviceControl(platform::kInvalidDeviceHandle, 0xFFDC2084u, nullptr, 0, &pid, 4);
    check(!ok && platform::lastError() == win32::kErrorInvalidHandle,
          "an exchange on a closed handle fails with 6", platform::lastError());

    // A client that connected, wrote and closed before a fresh instance waited
    // for it (ERROR_NO_DATA) counts as connected; its message is read.
    Server fresh;
    const bool read = send(pattern(20)) && Server::serveOne(&fresh) == 0 && fresh.ok;
    check(read && fresh.bytes == pattern(20), "a client gone before the wait is read", fresh.error);
}

} // namespace

int main()
{
    withoutAServerThread();
    serverReadsEachClient();

    check(platform::openSoundSettings(), "the shell launches control.exe mmsys.cpl");
    std::printf("%d failed\n", gFailed);
    return gFailed == 0 ? 0 : 1;
}
