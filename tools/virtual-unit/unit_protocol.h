#pragma once

#include "platform/little_endian.h"

#include <cstdint>
#include <cstring>

// What passes between the driver link and the unit: the eighteen control
// codes with the one (input, output) size pair each accepts, and the vendor
// command codes carried in the 37-byte vendor packet.
namespace virtualunit::protocol {

enum class Operation {
    GetSampleRate,
    SetSampleRate,
    WriteMixer,
    SetBufferSize,
    GetBufferSize,
    GetUsbLatency,
    SetUsbLatency,
    ReadMeters,
    StopAudio,
    InitAudio,
    RestartAudio,
    GetDevicePid,
    SetWdmChannelCount,
    EnableUsbSlowMode,
    DisableUsbSlowMode,
    VendorCommand, // 0xFFDC209C, whatever the packet carries
    VendorRead,    // 0xFFDC20A0, whatever the packet carries
    GetUsbStatus,
};

struct ControlCode {
    std::uint32_t code;
    Operation operation;
    const char* name;
    std::uint32_t inSize;
    std::uint32_t outSize;
};

// ERROR_INVALID_FUNCTION, the answer to a control code the unit does not
// know (the platform layer never produces it, so it is not among its codes).
inline constexpr std::uint32_t kErrorInvalidFunction = 1;

inline constexpr std::uint32_t kMixerBlockSize = 259 * 32 * 8; // 66304
inline constexpr std::uint32_t kMeterBlockSize = 192 * 4;      // 768
inline constexpr std::uint32_t kVendorPacketSize = 37;
inline constexpr std::uint32_t kVendorReplySize = 32;
inline constexpr std::uint32_t kUsbStatusSize = 7;
inline constexpr std::uint32_t kFirmwareSize = 10;

inline constexpr ControlCode kControlCodes[] = {
    {0xFFDC2020, Operation::GetSampleRate, "GetSampleRate", 0, 4},
    {0xFFDC2038, Operation::SetSampleRate, "SetSampleRate", 4, 0},
    {0xFFDC2040, Operation::WriteMixer, "WriteMixer", kMixerBlockSize, 0},
    {0xFFDC2044, Operation::SetBufferSize, "SetBufferSize", 4, 0},
    {0xFFDC2048, Operation::GetBufferSize, "GetBufferSize", 0, 4},
    {0xFFDC204C, Operation::GetUsbLatency, "GetUsbLatency", 0, 4},
    {0xFFDC2050, Operation::SetUsbLatency, "SetUsbLatency", 4, 0},
    {0xFFDC2074, Operation::ReadMeters, "ReadMeters", 0, kMeterBlockSize},
    {0xFFDC2078, Operation::StopAudio, "StopAudio", 0, 0},
    {0xFFDC207C, Operation::InitAudio, "InitAudio", 0, 0},
    {0xFFDC2080, Operation::RestartAudio, "RestartAudio", 0, 0},
    {0xFFDC2084, Operation::GetDevicePid, "GetDevicePid", 0, 4},
    {0xFFDC2088, Operation::SetWdmChannelCount, "SetWdmChannelCount", 4, 0},
    {0xFFDC2090, Operation::EnableUsbSlowMode, "EnableUsbSlowMode", 0, 0},
    {0xFFDC2094, Operation::DisableUsbSlowMode, "DisableUsbSlowMode", 0, 0},
    {0xFFDC209C, Operation::VendorCommand, "VendorCommand", kVendorPacketSize, 0},
    {0xFFDC20A0, Operation::VendorRead, "VendorRead", kVendorPacketSize, kVendorReplySize},
    {0xFFDC20C0, Operation::GetUsbStatus, "GetUsbStatus", 0, kUsbStatusSize},
};

// The entry for `code`, or nullptr for a code the unit does not know.
inline constexpr const ControlCode* findControlCode(std::uint32_t code)
{
    for (const ControlCode& entry : kControlCodes) {
        if (entry.code == code)
            return &entry;
    }
    return nullptr;
}

// Vendor packet: byte 0 is always 0x01, byte 1 the command, byte 3 argument A
// (a switch state, or 0x02 for the value commands), byte 4 argument B (the
// channel), bytes 5-6 a 16-bit little-endian value.
inline constexpr unsigned char kVendorPacketMarker = 0x01;

namespace vendor {
inline constexpr unsigned char kSetOutVolume = 0x03;
inline constexpr unsigned char kSetMicVolume = 0x07;
inline constexpr unsigned char kSetMic20dB = 0x5A;
inline constexpr unsigned char kSetMic48V = 0x5B;
inline constexpr unsigned char kSetOtgOff = 0x5E;
inline constexpr unsigned char kSetOtgOn = 0x5F;
inline constexpr unsigned char kUpgradeFirmware = 0x60;
inline constexpr unsigned char kSwitchMicInstrument = 0x64;
inline constexpr unsigned char kFirmwareVersion = 0x65;
} // namespace vendor

// One cell of a Mixer block: a little-endian IEEE-754 double.
inline double getF64(const unsigned char* at)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(platform::le::getU32(at)) |
                               (static_cast<std::uint64_t>(platform::le::getU32(at + 4)) << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace virtualunit::protocol
