#pragma once

#include <cstdint>

// Device-control codes of the Quorlin kernel driver. Every code is
// CTL_CODE(0xFFDC, function, METHOD_BUFFERED, FILE_ANY_ACCESS).
namespace ControlCode {

inline constexpr std::uint32_t kDeviceType = 0xFFDC;

constexpr std::uint32_t make(std::uint32_t function)
{
    return (kDeviceType << 16) | (function << 2);
}

inline constexpr std::uint32_t GetSampleRate = make(0x808);
inline constexpr std::uint32_t SetSampleRate = make(0x80E);
inline constexpr std::uint32_t WriteMixer = make(0x810);
inline constexpr std::uint32_t SetBufferSize = make(0x811);
inline constexpr std::uint32_t GetBufferSize = make(0x812);
inline constexpr std::uint32_t GetUsbLatency = make(0x813);
inline constexpr std::uint32_t SetUsbLatency = make(0x814);
inline constexpr std::uint32_t ReadMeters = make(0x81D);
inline constexpr std::uint32_t StopAudio = make(0x81E);
inline constexpr std::uint32_t InitAudio = make(0x81F);
inline constexpr std::uint32_t RestartAudio = make(0x820);
inline constexpr std::uint32_t GetDevicePid = make(0x821);
inline constexpr std::uint32_t SetWdmChannelCount = make(0x822);
inline constexpr std::uint32_t EnableUsbSlowMode = make(0x824);
inline constexpr std::uint32_t DisableUsbSlowMode = make(0x825);
inline constexpr std::uint32_t VendorCommand = make(0x827);
inline constexpr std::uint32_t VendorRead = make(0x828);
inline constexpr std::uint32_t GetUsbStatus = make(0x830);

static_assert(GetSampleRate == 0xFFDC2020 && VendorCommand == 0xFFDC209C &&
              GetUsbStatus == 0xFFDC20C0);

} // namespace ControlCode
