#pragma once

#include "driver/usb_status.h"
#include "driver/vendor_packet.h"
#include "platform/device_file.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct MixerBlock;
struct MeterBlock;

// One connection to the Quorlin kernel driver. Every operation is a single
// synchronous device-control exchange and returns whether it succeeded; the
// class keeps no cache and knows nothing about models.
//
// Owners create an instance, call OpenDevice() once, and delete it when the
// unit goes away; an instance that never opened answers every call with its
// failure value.
class QuorlinIoControl {
public:
    static constexpr int kDevicePathCount = 16;
    // "\\.\QuorlinAudioBus0" .. "\\.\QuorlinAudioBus15", tried in this order.
    static const std::array<std::wstring, kDevicePathCount>& devicePaths();

    QuorlinIoControl();
    ~QuorlinIoControl();
    QuorlinIoControl(const QuorlinIoControl&) = delete;
    QuorlinIoControl& operator=(const QuorlinIoControl&) = delete;

    bool OpenDevice();
    void CloseDevice();
    bool isOpen() const { return handle != platform::kInvalidDeviceHandle; }

    // dB to linear gain, clamped to [-80, +6] dB; -80 dB is silence (0.0).
    static double DbToLinear(double dB);

    bool GetDevicePid(std::uint32_t& productId);
    bool GetFirmwareVersion(std::uint8_t* buffer, std::uint32_t size);
    bool GetBufferSize(std::uint32_t& bufferSize);
    bool GetUsbLatency(std::uint32_t& latency);
    std::uint32_t GetSampleRate(); // 0 on failure
    bool GetUsbStatus(UsbStatus& status);
    bool ReadMeters(MeterBlock& meters);
    bool WriteMixer(const MixerBlock& mixer);

    bool SetSampleRate(std::uint32_t rate);
    bool SetBufferSize(std::uint32_t bufferSize);
    bool SetUsbLatency(std::uint32_t latency);
    bool SetWdmChannelCount(std::uint32_t channels);

    bool StopAudio();
    bool InitAudio();
    bool RestartAudio();
    bool EnableUsbSlowMode();
    bool DisableUsbSlowMode();

    bool VendorRead(const std::vector<std::uint8_t>& request, std::vector<std::uint8_t>& reply);

    // Vendor commands. Each reports false when the handle is not open, when the
    // driver refuses the command, or when an exception is caught.
    bool SwitchMicInstrument(std::uint8_t channel, std::uint8_t state);
    bool SetMic20dB(std::uint8_t channel, std::uint8_t state);
    bool SetMic48V(std::uint8_t channel, std::uint8_t state);
    bool SetMicVolume(std::uint8_t channel, std::uint16_t value);
    bool SetOutVolume(std::uint8_t channel, std::uint16_t value);
    bool SetOtgOn();
    bool SetOtgOff();
    // The unit restarts into its boot loader, so only a closed handle is
    // reported: once sent, the command counts as done.
    bool UpgradeFirmware();

private:
    bool exchange(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                  std::uint32_t outSize);
    bool getValue(std::uint32_t code, std::uint32_t& value);
    bool setValue(std::uint32_t code, std::uint32_t value);
    using VendorCommand = VendorPacket::Command;
    bool sendVendorCommand(const char* failurePrefix, VendorCommand command,
                           std::uint8_t argumentA = 0, std::uint8_t argumentB = 0,
                           std::uint16_t value = 0);

    platform::DeviceHandle handle = platform::kInvalidDeviceHandle;
    UsbStatus::Reply statusReply{};
};
