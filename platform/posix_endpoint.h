#pragma once

// POSIX only: where the sockets that stand for Windows objects live, and the
// framing of a device-control exchange. The virtual unit and the tests use the
// same functions as the device-file half, so both ends agree by construction.
//
//   request: u32 code, u32 outSize, then the input bytes (possibly none)
//   reply:   u32 status (0 = success, else a Win32 error code), then on
//            success exactly outSize bytes of output
//
// All integers little-endian; one message per request and per reply
// (AF_UNIX, SOCK_SEQPACKET).

#include <cstdint>
#include <string>

namespace platform::posix {

inline constexpr std::size_t kRequestHeaderSize = 8;
inline constexpr std::size_t kReplyHeaderSize = 4;

// $XDG_RUNTIME_DIR/quorlin when XDG_RUNTIME_DIR is set, else /tmp/quorlin-<uid>.
std::string runtimeDirectory();

// Creates runtimeDirectory() with mode 0700 when it is missing, and makes an
// existing one private. Returns false when it cannot be made, and with error 5
// when it is not a directory of this user's own (a link, another user's).
bool ensureRuntimeDirectory();

// The socket path for a Windows object name: the runtime directory followed by
// the name's last backslash-separated component, UTF-8 encoded.
// L"\\\\.\\QuorlinAudioBus3" -> "<runtime>/QuorlinAudioBus3".
std::string endpointPath(const std::wstring& objectName);

// `text` (UTF-32 on POSIX) as UTF-8.
std::string toUtf8(const std::wstring& text);

// Win32 error code for a failed socket call's errno (see win32_error.h).
std::uint32_t win32ErrorFromErrno(int error);

// Records the code that platform::lastError() reports to the calling thread,
// as SetLastError does on Windows. Every POSIX source of the layer shares it.
void setLastError(std::uint32_t code);

// Connects a SOCK_SEQPACKET socket to the endpoint of `objectName`. Returns
// the socket, or -1 with the Win32 error code set (setLastError) on failure.
int connectEndpoint(const std::wstring& objectName);

} // namespace platform::posix
