#include "driver/quorlin_io_control.h"

#include "driver/control_codes.h"
#include "driver/meter_block.h"
#include "driver/mixer_block.h"
#include "driver/vendor_packet.h"

#include <QDebug>
#include <algorithm>
#include <cmath>
#include <exception>
#include <iostream>

namespace {

constexpr double kMinimumDb = -80.0;
constexpr double kMaximumDb = 6.0;
constexpr std::uint32_t kFirmwareVersionLength = 10;
constexpr const char* kUnknownError = "Unknown error";

std::array<std::wstring, QuorlinIoControl::kDevicePathCount> buildDevicePaths()
{
    std::array<std::wstring, QuorlinIoControl::kDevicePathCount> paths;
    for (int i = 0; i < QuorlinIoControl::kDevicePathCount; ++i)
        paths[static_cast<std::size_t>(i)] = L"\\\\.\\QuorlinAudioBus" + std::to_wstring(i);
    return paths;
}

const std::array<std::wstring, QuorlinIoControl::kDevicePathCount> gDevicePaths =
    buildDevicePaths();

// Runs `operation`, turning any exception into a line on std::cerr and a
// false result.
template<typename Operation> bool guarded(const char* failurePrefix, Operation&& operation)
{
    try {
        return operation();
    } catch (const std::exception& error) {
        std::cerr << failurePrefix << error.what() << std::endl;
    } catch (...) {
        std::cerr << failurePrefix << kUnknownError << std::endl;
    }
    return false;
}

} // namespace

const std::array<std::wstring, QuorlinIoControl::kDevicePathCount>& QuorlinIoControl::devicePaths()
{
    return gDevicePaths;
}

QuorlinIoControl::QuorlinIoControl() = default;

QuorlinIoControl::~QuorlinIoControl()
{
    CloseDevice();
}

bool QuorlinIoControl::OpenDevice()
{
    for (const std::wstring& path : gDevicePaths) {
        const platform::DeviceHandle opened = platform::openDevice(path);
        if (opened == platform::kInvalidDeviceHandle) {
            std::wcout << L"Open device " << path << L" failed, error: " << platform::lastError()
                       << std::endl;
            continue;
        }
        handle = opened;
        std::wcout << L"Open device " << path << L" success!" << std::endl;
        return true;
    }
    return false;
}

void QuorlinIoControl::CloseDevice()
{
    if (!isOpen())
        return;
    platform::closeDevice(handle);
    handle = platform::kInvalidDeviceHandle;
}

double QuorlinIoControl::DbToLinear(double dB)
{
    const double v = std::min(std::max(dB, kMinimumDb), kMaximumDb);
    if (v == kMinimumDb)
        return 0.0;
    return std::pow(10.0, v / 20.0);
}

bool QuorlinIoControl::exchange(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                                std::uint32_t outSize)
{
    if (!isOpen())
        return false;
    return platform::deviceControl(handle, code, in, inSize, out, outSize);
}

bool QuorlinIoControl::getValue(std::uint32_t code, std::uint32_t& value)
{
    std::uint32_t received = 0;
    if (!exchange(code, nullptr, 0, &received, sizeof(received)))
        return false;
    value = received;
    return true;
}

bool QuorlinIoControl::setValue(std::uint32_t code, std::uint32_t value)
{
    return exchange(code, &value, sizeof(value), nullptr, 0);
}

bool QuorlinIoControl::GetDevicePid(std::uint32_t& productId)
{
    return getValue(ControlCode::GetDevicePid, productId);
}

bool QuorlinIoControl::GetUsbLatency(std::uint32_t& latency)
{
    return getValue(ControlCode::GetUsbLatency, latency);
}

bool QuorlinIoControl::GetBufferSize(std::uint32_t& bufferSize)
{
    if (!getValue(ControlCode::GetBufferSize, bufferSize))
        return false;
    qDebug() << "Buffer size:" << bufferSize;
    return true;
}

std::uint32_t QuorlinIoControl::GetSampleRate()
{
    std::uint32_t rate = 0;
    return getValue(ControlCode::GetSampleRate, rate) ? rate : 0;
}

bool QuorlinIoControl::GetUsbStatus(UsbStatus& status)
{
    if (!isOpen())
        return false;
    const bool ok = exchange(ControlCode::GetUsbStatus, nullptr, 0, statusReply.data(),
                             static_cast<std::uint32_t>(statusReply.size()));
    // The caller always gets the last reply, also when this exchange failed.
    status = UsbStatus::unpack(statusReply);
    return ok;
}

bool QuorlinIoControl::ReadMeters(MeterBlock& meters)
{
    return exchange(ControlCode::ReadMeters, nullptr, 0, &meters, sizeof(MeterBlock));
}

bool QuorlinIoControl::WriteMixer(const MixerBlock& mixer)
{
    return exchange(ControlCode::WriteMixer, &mixer, sizeof(MixerBlock), nullptr, 0);
}

bool QuorlinIoControl::SetSampleRate(std::uint32_t rate)
{
    return setValue(ControlCode::SetSampleRate, rate);
}

bool QuorlinIoControl::SetBufferSize(std::uint32_t bufferSize)
{
    return setValue(ControlCode::SetBufferSize, bufferSize);
}

bool QuorlinIoControl::SetUsbLatency(std::uint32_t latency)
{
    return setValue(ControlCode::SetUsbLatency, latency);
}

bool QuorlinIoControl::SetWdmChannelCount(std::uint32_t channels)
{
    return setValue(ControlCode::SetWdmChannelCount, channels);
}

bool QuorlinIoControl::StopAudio()
{
    return exchange(ControlCode::StopAudio, nullptr, 0, nullptr, 0);
}

bool QuorlinIoControl::InitAudio()
{
    return exchange(ControlCode::InitAudio, nullptr, 0, nullptr, 0);
}

bool QuorlinIoControl::RestartAudio()
{
    return exchange(ControlCode::RestartAudio, nullptr, 0, nullptr, 0);
}

bool QuorlinIoControl::EnableUsbSlowMode()
{
    return exchange(ControlCode::EnableUsbSlowMode, nullptr, 0, nullptr, 0);
}

bool QuorlinIoControl::DisableUsbSlowMode()
{
    return exchange(ControlCode::DisableUsbSlowMode, nullptr, 0, nullptr, 0);
}

bool QuorlinIoControl::VendorRead(const std::vector<std::uint8_t>& request,
                                  std::vector<std::uint8_t>& reply)
{
    if (!isOpen())
        return false;
    reply.resize(VendorPacket::kReadReplySize);
    return exchange(ControlCode::VendorRead, request.data(),
                    static_cast<std::uint32_t>(request.size()), reply.data(),
                    static_cast<std::uint32_t>(reply.size()));
}

bool QuorlinIoControl::GetFirmwareVersion(std::uint8_t* buffer, std::uint32_t size)
{
    return guarded("Failed to get firmware version: ", [&] {
        const auto packet = VendorPacket::make(VendorPacket::Command::FirmwareVersion);
        const std::vector<std::uint8_t> request(packet.begin(), packet.end());
        std::vector<std::uint8_t> reply;
        if (!VendorRead(request, reply)) {
            std::cerr << "Failed to read firmware version from device." << std::endl;
            return false;
        }
        if (reply.size() < kFirmwareVersionLength) {
            std::cerr << "Invalid firmware version response size." << std::endl;
            return false;
        }
        std::copy_n(reply.begin(), std::min(kFirmwareVersionLength, size), buffer);
        return true;
    });
}

bool QuorlinIoControl::sendVendorCommand(const char* failurePrefix, VendorCommand command,
                                         std::uint8_t argumentA, std::uint8_t argumentB,
                                         std::uint16_t value)
{
    return guarded(failurePrefix, [&] {
        const auto packet = VendorPacket::make(command, argumentA, argumentB, value);
        return exchange(ControlCode::VendorCommand, packet.data(),
                        static_cast<std::uint32_t>(packet.size()), nullptr, 0);
    });
}

bool QuorlinIoControl::SwitchMicInstrument(std::uint8_t channel, std::uint8_t state)
{
    return sendVendorCommand(
        "Failed to switch mic instruction: ", VendorCommand::SwitchMicInstrument, state, channel);
}

bool QuorlinIoControl::SetMic20dB(std::uint8_t channel, std::uint8_t state)
{
    return sendVendorCommand("Failed to set mic 20dB: ", VendorCommand::SetMic20dB, state, channel);
}

bool QuorlinIoControl::SetMic48V(std::uint8_t channel, std::uint8_t state)
{
    return sendVendorCommand("Failed to set mic 48V: ", VendorCommand::SetMic48V, state, channel);
}

bool QuorlinIoControl::SetMicVolume(std::uint8_t channel, std::uint16_t value)
{
    return sendVendorCommand("Failed to set mic volume: ", VendorCommand::SetMicVolume,
                             VendorPacket::kValueCommandArgument, channel, value);
}

bool QuorlinIoControl::SetOutVolume(std::uint8_t channel, std::uint16_t value)
{
    return sendVendorCommand("Failed to set out volume: ", VendorCommand::SetOutVolume,
                             VendorPacket::kValueCommandArgument, channel, value);
}

bool QuorlinIoControl::SetOtgOn()
{
    return sendVendorCommand("Failed to set OTG On: ", VendorCommand::SetOtgOn);
}

bool QuorlinIoControl::SetOtgOff()
{
    return sendVendorCommand("Failed to set OTG Off: ", VendorCommand::SetOtgOff);
}

bool QuorlinIoControl::UpgradeFirmware()
{
    if (!isOpen())
        return false;
    return guarded("Failed to upgrade firmware: ", [&] {
        const auto packet = VendorPacket::make(VendorCommand::UpgradeFirmware);
        exchange(ControlCode::VendorCommand, packet.data(),
                 static_cast<std::uint32_t>(packet.size()), nullptr, 0);
        return true;
    });
}
