#pragma once

#include <array>
#include <cstdint>

// The 37-byte packet carried by the vendor-command and vendor-read codes.
//
//   offset 0   0x01
//   offset 1   command code
//   offset 2   0x00
//   offset 3   argument A (switch state, or 0x02 for the value commands)
//   offset 4   argument B (channel)
//   offset 5-6 16-bit value, little-endian
//   offset 7-  zero
namespace VendorPacket {

inline constexpr std::size_t kSize = 37;
inline constexpr std::size_t kReadReplySize = 32;
using Bytes = std::array<std::uint8_t, kSize>;

enum class Command : std::uint8_t {
    SetOutVolume = 0x03,
    SetMicVolume = 0x07,
    SetMic20dB = 0x5A,
    SetMic48V = 0x5B,
    SetOtgOff = 0x5E,
    SetOtgOn = 0x5F,
    UpgradeFirmware = 0x60,
    SwitchMicInstrument = 0x64,
    FirmwareVersion = 0x65,
};

// Argument A of the two value commands.
inline constexpr std::uint8_t kValueCommandArgument = 0x02;

Bytes make(Command command, std::uint8_t argumentA = 0, std::uint8_t argumentB = 0,
           std::uint16_t value = 0);

} // namespace VendorPacket
