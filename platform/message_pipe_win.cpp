#include "platform/message_pipe.h"

#include <atomic>
#include <windows.h>

namespace platform {

namespace {

// How often a pending read looks whether reads have been cancelled.
constexpr DWORD kCancelCheckMs = 50;

// The server end: the pipe instance, and whether its reads are cancelled.
struct PipeServer {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    std::atomic<bool> cancelled{false};
};

PipeServer* toServer(PipeHandle handle)
{
    return handle == kInvalidPipeHandle ? nullptr : reinterpret_cast<PipeServer*>(handle);
}

HANDLE toHandle(PipeHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// A read in progress: the thread blocked in it, and its server.
struct PendingRead {
    HANDLE thread;
    const PipeServer* server;
};

// Ends the synchronous read of the thread it watches once reads are cancelled.
VOID CALLBACK cancelIfRequested(PVOID context, BOOLEAN)
{
    const auto* read = static_cast<const PendingRead*>(context);
    if (read->server->cancelled)
        CancelSynchronousIo(read->thread);
}

} // namespace

PipeHandle createPipeServer(const std::wstring& name)
{
    const HANDLE pipe = CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
        PIPE_UNLIMITED_INSTANCES, kPipeBufferSize, kPipeBufferSize, kPipeDefaultTimeoutMs, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return kInvalidPipeHandle;
    auto* server = new PipeServer;
    server->pipe = pipe;
    return reinterpret_cast<PipeHandle>(server);
}

bool waitForPipeClient(PipeHandle handle)
{
    PipeServer* server = toServer(handle);
    if (!server) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (ConnectNamedPipe(server->pipe, nullptr) != FALSE)
        return true;
    // A client that came between the creation and this call is already
    // connected, which Windows reports as a failure. One that has also closed
    // its end again (ERROR_NO_DATA) still left its message to be read, and
    // the instance needs the read and the disconnect to take the next client.
    const DWORD error = GetLastError();
    return error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA;
}

bool readPipeMessage(PipeHandle handle, void* buffer, std::uint32_t capacity,
                     std::uint32_t* received)
{
    *received = 0;
    PipeServer* server = toServer(handle);
    if (!server) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    // The pipe is synchronous, and the client may take its time. A watchdog
    // looks every few tens of milliseconds whether reads were cancelled and
    // then cancels this thread's read.
    PendingRead read{nullptr, server};
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &read.thread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    HANDLE watchdog = nullptr;
    CreateTimerQueueTimer(&watchdog, nullptr, &cancelIfRequested, &read, kCancelCheckMs,
                          kCancelCheckMs, WT_EXECUTEDEFAULT);

    DWORD bytesRead = 0;
    const bool ok = ReadFile(server->pipe, buffer, capacity, &bytesRead, nullptr) != FALSE;
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();

    // Waits for a watchdog call that is already running, so that it cannot
    // cancel anything after this point.
    if (watchdog)
        DeleteTimerQueueTimer(nullptr, watchdog, INVALID_HANDLE_VALUE);
    if (read.thread)
        CloseHandle(read.thread);
    *received = bytesRead;
    if (!ok)
        SetLastError(error);
    return ok;
}

void cancelPipeReads(PipeHandle handle)
{
    if (PipeServer* server = toServer(handle))
        server->cancelled = true;
}

void disconnectPipeClient(PipeHandle handle)
{
    if (PipeServer* server = toServer(handle))
        DisconnectNamedPipe(server->pipe);
}

void closePipeServer(PipeHandle handle)
{
    PipeServer* server = toServer(handle);
    if (!server)
        return;
    CloseHandle(server->pipe);
    delete server;
}

PipeHandle openPipe(const std::wstring& name)
{
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    return reinterpret_cast<PipeHandle>(handle);
}

bool writePipe(PipeHandle client, const void* data, std::uint32_t size)
{
    DWORD written = 0;
    return WriteFile(toHandle(client), data, size, &written, nullptr) != FALSE;
}

void closePipe(PipeHandle client)
{
    if (client != kInvalidPipeHandle)
        CloseHandle(toHandle(client));
}

} // namespace platform
