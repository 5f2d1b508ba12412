#include "platform/message_pipe.h"

#include <windows.h>

namespace platform {

namespace {

HANDLE toHandle(PipeHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

PipeHandle createPipeServer(const std::wstring& name)
{
    const HANDLE handle = CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
        PIPE_UNLIMITED_INSTANCES, kPipeBufferSize, kPipeBufferSize, kPipeDefaultTimeoutMs, nullptr);
    return reinterpret_cast<PipeHandle>(handle);
}

bool waitForPipeClient(PipeHandle server)
{
    if (ConnectNamedPipe(toHandle(server), nullptr) != FALSE)
        return true;
    // A client that came between the creation and this call is already
    // connected, which Windows reports as a failure. One that has also closed
    // its end again (ERROR_NO_DATA) still left its message to be read, and
    // the instance needs the read and the disconnect to take the next client.
    const DWORD error = GetLastError();
    return error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA;
}

namespace {

// Cancels the read of the thread it was armed on when the client stays silent.
VOID CALLBACK cancelSilentRead(PVOID thread, BOOLEAN)
{
    CancelSynchronousIo(static_cast<HANDLE>(thread));
}

} // namespace

bool readPipeMessage(PipeHandle server, void* buffer, std::uint32_t capacity,
                     std::uint32_t* received)
{
    // The pipe is synchronous; a watchdog cancels the read when the client
    // sends nothing in time, so that a silent client cannot hold the server.
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    HANDLE watchdog = nullptr;
    CreateTimerQueueTimer(&watchdog, nullptr, &cancelSilentRead, thread, kPipeMessageTimeoutMs, 0,
                          WT_EXECUTEONLYONCE);

    DWORD bytesRead = 0;
    const bool ok = ReadFile(toHandle(server), buffer, capacity, &bytesRead, nullptr) != FALSE;
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();

    // Waits for a watchdog that is already running, so that it cannot cancel
    // anything after this point.
    if (watchdog)
        DeleteTimerQueueTimer(nullptr, watchdog, INVALID_HANDLE_VALUE);
    if (thread)
        CloseHandle(thread);
    *received = bytesRead;
    if (!ok)
        SetLastError(error == ERROR_OPERATION_ABORTED ? ERROR_SEM_TIMEOUT : error);
    return ok;
}

void disconnectPipeClient(PipeHandle server)
{
    DisconnectNamedPipe(toHandle(server));
}

void closePipeServer(PipeHandle server)
{
    if (server != kInvalidPipeHandle)
        CloseHandle(toHandle(server));
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
