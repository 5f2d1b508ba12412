#pragma once

#include <cstdint>
#include <string>

// Message pipes between the panel and the ASIO driver: a server that takes one
// client at a time and reads one message from it, and a short-lived client
// that opens, writes one message and closes.
//
// On Windows these are named pipes in message mode (CreateNamedPipeW,
// ConnectNamedPipe, ReadFile, DisconnectNamedPipe; CreateFileW and WriteFile
// for the client). On POSIX a pipe is an AF_UNIX SOCK_SEQPACKET socket in the
// runtime directory, named by the last component of the pipe name: the server
// binds and listens (replacing an old socket file), waiting for a client is
// accept(), a read takes one message and disconnecting closes the accepted
// connection. Errors are Win32 codes on both systems, through lastError().
namespace platform {

// An open pipe, server or client end; kInvalidPipeHandle (all bits set, like
// Windows' INVALID_HANDLE_VALUE) when there is none.
using PipeHandle = std::intptr_t;
inline constexpr PipeHandle kInvalidPipeHandle = -1;

// What a server pipe is created with: the buffer size of each direction and
// the default time-out clients see.
inline constexpr std::uint32_t kPipeBufferSize = 65536;
inline constexpr std::uint32_t kPipeDefaultTimeoutMs = 300;

// --- server end ---

// Creates the server end of the pipe `name` (for example
// L"\\\\.\\pipe\\QuorlinASIOToPannel"): duplex, message type and read mode,
// blocking, any number of instances. Returns kInvalidPipeHandle on failure.
PipeHandle createPipeServer(const std::wstring& name);

// Blocks until a client connects. A client that connected before the call
// counts as connected (Windows' ERROR_PIPE_CONNECTED is success here), and so
// does one that connected, wrote and closed before it (Windows' ERROR_NO_DATA):
// its message is still there to be read.
bool waitForPipeClient(PipeHandle server);

// Reads one message of at most `capacity` bytes into `buffer` and stores its
// length in `*received`. A longer message fails with 234 (ERROR_MORE_DATA)
// after its first `capacity` bytes were stored; the rest of it is lost at the
// disconnect. An empty message is a success with 0 bytes. A connected client
// may take as long as it likes to write: the read waits for it until
// cancelPipeReads() is called.
bool readPipeMessage(PipeHandle server, void* buffer, std::uint32_t capacity,
                     std::uint32_t* received);

// For shutdown, from another thread: a readPipeMessage() on `server` that
// waits for its client's message fails with 995 (ERROR_OPERATION_ABORTED),
// at once or within a few tens of milliseconds, and so does every later one
// that would have to wait. A message that is already there is still read.
// This keeps a client that connects and stays silent from holding the
// server's owner as it closes.
void cancelPipeReads(PipeHandle server);

// Ends the current client's connection, so that the next client can connect.
void disconnectPipeClient(PipeHandle server);

// Releases the server end. Closing kInvalidPipeHandle does nothing.
void closePipeServer(PipeHandle server);

// --- client end ---

// Opens the pipe `name` for reading and writing, without waiting for a busy
// server. With no server it fails with 2 (ERROR_FILE_NOT_FOUND). On Windows a
// server instance that is busy with a client, or has not yet called
// waitForPipeClient() again since its last disconnect, fails it with 231
// (ERROR_PIPE_BUSY); a client that must get through tries again.
PipeHandle openPipe(const std::wstring& name);

// Writes `size` bytes as one message (size 0 writes an empty message).
bool writePipe(PipeHandle client, const void* data, std::uint32_t size);

// Releases the client end. Closing kInvalidPipeHandle does nothing.
void closePipe(PipeHandle client);

// Ends a server's waitForPipeClient() from another thread: connects once as a
// client, writes an empty message and closes. The server's owner sets its own
// stop request first and tests it after every wait and read, so the woken
// server sees the request and stops. Returns false when no connection could
// be made (no server, or its one instance busy with another client): the
// caller then tries again while the server's thread still runs.
inline bool wakePipeServer(const std::wstring& name)
{
    const PipeHandle client = openPipe(name);
    if (client == kInvalidPipeHandle)
        return false;
    const unsigned char nothing = 0;
    writePipe(client, &nothing, 0);
    closePipe(client);
    return true;
}

// The Win32 error code of the calling thread's last failed platform call
// (the same function as in device_file.h).
std::uint32_t lastError();

} // namespace platform
