#pragma once

#include <cstdint>
#include <string>

// Device objects of the kernel driver: open by name, one synchronous
// device-control exchange at a time, close.
//
// On Windows these are CreateFileW / DeviceIoControl / CloseHandle. On POSIX a
// device object is a SOCK_SEQPACKET socket in the runtime directory, and an
// exchange is one request message answered by one reply message (see
// posix_endpoint.h for the wire format).
namespace platform {

// An open device object; kInvalidDeviceHandle (all bits set, like Windows'
// INVALID_HANDLE_VALUE) when closed.
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kInvalidDeviceHandle = -1;

// Opens the device object `name` (for example L"\\\\.\\QuorlinAudioBus0") for
// reading and writing. Returns kInvalidDeviceHandle on failure; lastError()
// then tells why.
DeviceHandle openDevice(const std::wstring& name);

// One exchange with control code `code`: `inSize` bytes from `in` go to the
// driver, `outSize` bytes come back into `out`. Either buffer may be empty
// (null with size 0). Returns false on failure; lastError() then tells why.
bool deviceControl(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                   void* out, std::uint32_t outSize);

// Releases the handle. Closing kInvalidDeviceHandle does nothing.
void closeDevice(DeviceHandle handle);

// The Win32 error code of the calling thread's last failed platform call.
std::uint32_t lastError();

} // namespace platform
