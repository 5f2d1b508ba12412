#include "platform/device_file.h"

#include <windows.h>

namespace platform {

DeviceHandle openDevice(const std::wstring& name)
{
    HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    return reinterpret_cast<DeviceHandle>(handle);
}

bool deviceControl(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                   void* out, std::uint32_t outSize)
{
    DWORD bytesReturned = 0;
    return DeviceIoControl(reinterpret_cast<HANDLE>(handle), code, const_cast<void*>(in), inSize,
                           out, outSize, &bytesReturned, nullptr) != FALSE;
}

void closeDevice(DeviceHandle handle)
{
    if (handle != kInvalidDeviceHandle)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::uint32_t lastError()
{
    return GetLastError();
}

} // namespace platform
