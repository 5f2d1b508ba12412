#pragma once

#include "platform/message_pipe.h"

#include <QString>
#include <array>
#include <cstddef>

// The panel's end of the pipe from the ASIO driver: one server instance,
// reused for every client one after the other. Created on the GUI thread,
// read from on the listener thread, closed on the GUI thread once the
// listener has finished.
class NamedPipeServer {
public:
    static constexpr std::size_t kMessageSize = 1024;
    using Message = std::array<unsigned char, kMessageSize>;

    explicit NamedPipeServer(const QString& pipeName);
    ~NamedPipeServer(); // closes
    NamedPipeServer(const NamedPipeServer&) = delete;
    NamedPipeServer& operator=(const NamedPipeServer&) = delete;

    // Creates the server instance. Logs and returns whether it was created.
    bool create();

    // Waits for a client, reads its one message into `buffer` (only the bytes
    // received; the rest of the buffer is left as it was) and disconnects it.
    // Logs a failed wait or read and returns false for either.
    bool readMessage(Message& buffer);

    // For shutdown, from another thread: ends a readMessage() that waits for
    // its client's message (platform::cancelPipeReads(), which also holds for
    // every later read) or for a client (platform::wakePipeServer()). Does
    // nothing while no instance exists.
    void interrupt();

    // Disconnects and releases the instance and logs "Pipe closed.", once;
    // does nothing when there is none.
    void close();

    QString name;
    platform::PipeHandle handle = platform::kInvalidPipeHandle;
};
