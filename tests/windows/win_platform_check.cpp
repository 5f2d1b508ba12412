// The Windows half of the platform layer through the real Win32 calls: built
// with mingw-w64 and run on Windows or under Wine (scripts/windows-check.sh).
// No Qt here, so the checks carry their own small assertion and report.

#include "platform/device_file.h"
#include "platform/message_pipe.h"
#include "platform/shell.h"
#include "platform/sleep.h"
#include "platform/win32_error.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

int gPassed = 0;
int gFailed = 0;

void check(bool condition, const std::string& what, const std::string& detail = {})
{
    if (condition) {
        ++gPassed;
        std::printf("PASS %s\n", what.c_str());
    } else {
        ++gFailed;
        std::printf("FAIL %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
    std::fflush(stdout);
}

std::string codes(std::uint32_t actual, std::uint32_t expected)
{
    return "error " + std::to_string(actual) + ", expected " + std::to_string(expected);
}

// A hang guard for waits on the listener, never a measure of speed.
constexpr DWORD kGuardMs = 10000;

const std::wstring kAsioToPanel = L"\\\\.\\pipe\\QuorlinASIOToPannel";
const std::wstring kPanelToAsio = L"\\\\.\\pipe\\QuorlinPannelToASIO";

// What the listener got from one client.
struct Received {
    bool ok = false;
    std::uint32_t error = 0;
    std::vector<unsigned char> bytes;
};

// The panel's listener in miniature: one server instance on its own thread,
// waiting for a client, reading one message of at most 1024 bytes and
// disconnecting, until asked to stop. Each message is handed over through an
// event, one at a time.
class Listener {
public:
    static constexpr std::uint32_t kCapacity = 1024;

    explicit Listener(const std::wstring& name)
        : m_name(name)
        , m_server(platform::createPipeServer(name))
        , m_createError(m_server == platform::kInvalidPipeHandle ? platform::lastError() : 0)
        , m_ready(CreateEventW(nullptr, FALSE, FALSE, nullptr))
        , m_taken(CreateEventW(nullptr, FALSE, FALSE, nullptr))
    {
        if (m_server != platform::kInvalidPipeHandle)
            m_thread = CreateThread(nullptr, 0, &Listener::threadMain, this, 0, nullptr);
    }

    ~Listener()
    {
        if (m_thread && !stop())
            TerminateThread(m_thread, 1); // only after a failed check; keeps the run going
        if (m_thread)
            CloseHandle(m_thread);
        platform::closePipeServer(m_server);
        CloseHandle(m_ready);
        CloseHandle(m_taken);
    }

    bool created() const { return m_thread != nullptr; }
    std::uint32_t createError() const { return m_createError; }
    bool running() const { return m_thread && WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT; }

    // The next message, or nothing within `waitMs`.
    bool next(Received* received, DWORD waitMs = kGuardMs)
    {
        if (WaitForSingleObject(m_ready, waitMs) != WAIT_OBJECT_0)
            return false;
        *received = m_received;
        SetEvent(m_taken);
        return true;
    }

    // Asks the thread to stop, cancels its reads and wakes it until it has
    // ended. True when it ended within the guard time.
    bool stop()
    {
        m_stop = true;
        SetEvent(m_taken);
        platform::cancelPipeReads(m_server);
        for (DWORD waited = 0; waited < kGuardMs; waited += 50) {
            platform::wakePipeServer(m_name);
            if (WaitForSingleObject(m_thread, 50) == WAIT_OBJECT_0)
                return true;
        }
        return false;
    }

private:
    static DWORD WINAPI threadMain(LPVOID self)
    {
        static_cast<Listener*>(self)->run();
        return 0;
    }

    void run()
    {
        while (!m_stop) {
            if (!platform::waitForPipeClient(m_server)) {
                Sleep(10);
                continue;
            }
            if (m_stop)
                break;
            unsigned char buffer[kCapacity] = {};
            std::uint32_t size = 0;
            Received received;
            received.ok = platform::readPipeMessage(m_server, buffer, kCapacity, &size);
            received.error = received.ok ? 0 : platform::lastError();
            received.bytes.assign(buffer, buffer + size);
            platform::disconnectPipeClient(m_server);
            if (m_stop)
                break;
            m_received = received;
            SetEvent(m_ready);
            WaitForSingleObject(m_taken, INFINITE);
        }
    }

    std::wstring m_name;
    platform::PipeHandle m_server;
    std::uint32_t m_createError;
    HANDLE m_ready;
    HANDLE m_taken;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    Received m_received;
};

std::vector<unsigned char> pattern(std::size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    return bytes;
}

// Opens the pipe as the ASIO driver would. The one server instance is busy
// until its listener waits again after the previous client, so a busy pipe is
// tried again for a while.
platform::PipeHandle open(const std::wstring& name)
{
    platform::PipeHandle client = platform::openPipe(name);
    for (DWORD waited = 0;
         client == platform::kInvalidPipeHandle &&
         platform::lastError() == platform::win32::kErrorPipeBusy && waited < kGuardMs;
         waited += 10) {
        Sleep(10);
        client = platform::openPipe(name);
    }
    return client;
}

// Opens the pipe, writes one message and closes.
bool send(const std::wstring& name, const std::vector<unsigned char>& message)
{
    const platform::PipeHandle client = open(name);
    if (client == platform::kInvalidPipeHandle)
        return false;
    const unsigned char none = 0;
    const bool written = platform::writePipe(client, message.empty() ? &none : message.data(),
                                             static_cast<std::uint32_t>(message.size()));
    platform::closePipe(client);
    return written;
}

void noDriverMeansFileNotFound()
{
    for (int bus = 0; bus <= 15; ++bus) {
        const std::wstring name = L"\\\\.\\QuorlinAudioBus" + std::to_wstring(bus);
        const platform::DeviceHandle handle = platform::openDevice(name);
        const std::uint32_t error = platform::lastError();
        check(handle == platform::kInvalidDeviceHandle &&
                  error == platform::win32::kErrorFileNotFound,
              "QuorlinAudioBus" + std::to_string(bus) + " without a driver fails with 2",
              codes(error, platform::win32::kErrorFileNotFound));
        platform::closeDevice(handle);
    }
}

void missingPipeMeansFileNotFound()
{
    const platform::PipeHandle client = platform::openPipe(kPanelToAsio);
    const std::uint32_t error = platform::lastError();
    check(client == platform::kInvalidPipeHandle && error == platform::win32::kErrorFileNotFound,
          "opening a pipe nobody serves fails with 2",
          codes(error, platform::win32::kErrorFileNotFound));
    platform::closePipe(client);
    check(!platform::wakePipeServer(kPanelToAsio), "waking a pipe nobody serves reports failure");
}

void expectMessage(Listener& listener, const std::vector<unsigned char>& sent,
                   const std::string& what)
{
    check(send(kAsioToPanel, sent), what + ": the client writes it",
          "error " + std::to_string(platform::lastError()));
    Received received;
    if (!listener.next(&received)) {
        check(false, what + ": the listener gets it", "nothing arrived");
        return;
    }
    check(received.ok, what + ": read succeeds", "error " + std::to_string(received.error));
    check(received.bytes == sent, what + ": arrives whole",
          std::to_string(received.bytes.size()) + " bytes read");
}

void serverReadsMessages()
{
    Listener listener(kAsioToPanel);
    check(listener.created(), "the server pipe is created",
          "error " + std::to_string(listener.createError()));
    if (!listener.created())
        return;

    expectMessage(listener, pattern(20), "a 20-byte message");
    expectMessage(listener, {}, "an empty message");

    check(send(kAsioToPanel, pattern(2000)), "a 2000-byte message is written");
    Received longer;
    if (listener.next(&longer)) {
        check(!longer.ok && longer.error == platform::win32::kErrorMoreData,
              "a 2000-byte message fails with 234",
              codes(longer.error, platform::win32::kErrorMoreData));
        check(longer.bytes.size() == Listener::kCapacity,
              "the buffer holds the first 1024 bytes of it",
              std::to_string(longer.bytes.size()) + " bytes");
    } else {
        check(false, "the listener gets the 2000-byte message", "nothing arrived");
    }

    expectMessage(listener, pattern(20), "the next client after the long message");
    expectMessage(listener, pattern(1024), "a message of exactly 1024 bytes");
    check(listener.stop(), "stopping the listener after its clients ends it");
}

void wakeEndsABlockedWait()
{
    Listener listener(kAsioToPanel);
    if (!listener.created()) {
        check(false, "the server pipe is created again",
              "error " + std::to_string(listener.createError()));
        return;
    }
    // Give the thread time to block in its wait; the wake works either way.
    Sleep(200);
    check(listener.running(), "the listener waits for a client");
    check(listener.stop(), "the stop request and wake end the blocked wait");
}

// While the listener runs, a connected client may take its time to write;
// stopping ends the wait for one that never writes.
void slowClientIsWaitedForUntilStopped()
{
    Listener listener(kAsioToPanel);
    if (!listener.created()) {
        check(false, "the server pipe is created for a slow client",
              "error " + std::to_string(listener.createError()));
        return;
    }
    const platform::PipeHandle slow = open(kAsioToPanel);
    check(slow != platform::kInvalidPipeHandle, "a client connects and does not write yet");
    Received received;
    check(!listener.next(&received, 2500),
          "the listener still waits for its message after 2.5 s (a read once gave up after 2 s)");
    const std::vector<unsigned char> late = pattern(20);
    check(platform::writePipe(slow, late.data(), static_cast<std::uint32_t>(late.size())),
          "the client writes its message late");
    check(listener.next(&received) && received.ok && received.bytes == late,
          "the late message arrives whole", "error " + std::to_string(received.error));
    platform::closePipe(slow);

    const platform::PipeHandle silent = open(kAsioToPanel);
    check(silent != platform::kInvalidPipeHandle, "a client connects and stays silent");
    check(listener.stop(), "stopping ends the wait for a silent client's message");
    platform::closePipe(silent);
}

// The pauses of the reconfiguration sequences.
void sleepBlocksForItsTime()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    platform::sleepMilliseconds(100);
    QueryPerformanceCounter(&end);
    const long long elapsedMs = (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
    // Milliseconds, not seconds: the upper end only guards against a wrong unit.
    check(elapsedMs >= 90 && elapsedMs < 5000, "a 100 ms pause blocks for about 100 ms",
          std::to_string(elapsedMs) + " ms");
}

// DeviceIoControl with the driver link's arguments, on handles that are no
// Quorlin device: the failure and its code come back as the system gives them.
void exchangeFailuresReportTheirCode()
{
    std::uint32_t pid = 0;
    const bool closed =
        platform::deviceControl(platform::kInvalidDeviceHandle, 0xFFDC2084u, nullptr, 0, &pid, 4);
    const std::uint32_t error = platform::lastError();
    check(!closed && error == platform::win32::kErrorInvalidHandle,
          "an exchange on a closed handle fails with 6",
          codes(error, platform::win32::kErrorInvalidHandle));

    const platform::DeviceHandle nul = platform::openDevice(L"\\\\.\\NUL");
    check(nul != platform::kInvalidDeviceHandle, "the NUL device opens like a device object",
          "error " + std::to_string(platform::lastError()));
    const bool unknown = platform::deviceControl(nul, 0xFFDC2084u, nullptr, 0, &pid, 4);
    const std::uint32_t unknownError = platform::lastError();
    check(!unknown && unknownError != 0,
          "a control code the device does not know fails with the system's code",
          "error " + std::to_string(unknownError));
    platform::closeDevice(nul);
}

// ShellExecuteA("open", "control.exe", "mmsys.cpl"): the shell starts the
// control panel program.
void soundSettingsLaunch()
{
    check(platform::openSoundSettings(), "the shell launches control.exe mmsys.cpl");
}

} // namespace

int main()
{
    noDriverMeansFileNotFound();
    missingPipeMeansFileNotFound();
    serverReadsMessages();
    wakeEndsABlockedWait();
    slowClientIsWaitedForUntilStopped();
    sleepBlocksForItsTime();
    exchangeFailuresReportTheirCode();
    soundSettingsLaunch();
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 ? 0 : 1;
}
