#include "request.h"

#include "platform/little_endian.h"
#include "platform/posix_endpoint.h"
#include "platform/win32_error.h"

#include <cstdio>

namespace virtualunit {

namespace win32 = platform::win32;
using protocol::Operation;

namespace {

struct CommandName {
    Command command;
    const char* name;
};

constexpr CommandName kCommandNames[] = {
    {Command::GetSampleRate, "GetSampleRate"},
    {Command::SetSampleRate, "SetSampleRate"},
    {Command::WriteMixer, "WriteMixer"},
    {Command::SetBufferSize, "SetBufferSize"},
    {Command::GetBufferSize, "GetBufferSize"},
    {Command::GetUsbLatency, "GetUsbLatency"},
    {Command::SetUsbLatency, "SetUsbLatency"},
    {Command::ReadMeters, "ReadMeters"},
    {Command::StopAudio, "StopAudio"},
    {Command::InitAudio, "InitAudio"},
    {Command::RestartAudio, "RestartAudio"},
    {Command::GetDevicePid, "GetDevicePid"},
    {Command::SetWdmChannelCount, "SetWdmChannelCount"},
    {Command::EnableUsbSlowMode, "EnableUsbSlowMode"},
    {Command::DisableUsbSlowMode, "DisableUsbSlowMode"},
    {Command::SetOutVolume, "SetOutVolume"},
    {Command::SetMicVolume, "SetMicVolume"},
    {Command::SetMic20dB, "SetMic20dB"},
    {Command::SetMic48V, "SetMic48V"},
    {Command::SetOtgOff, "SetOtgOff"},
    {Command::SetOtgOn, "SetOtgOn"},
    {Command::UpgradeFirmware, "UpgradeFirmware"},
    {Command::SwitchMicInstrument, "SwitchMicInstrument"},
    {Command::VendorCommand, "VendorCommand"},
    {Command::GetFirmwareVersion, "GetFirmwareVersion"},
    {Command::VendorRead, "VendorRead"},
    {Command::GetUsbStatus, "GetUsbStatus"},
    {Command::Malformed, "Malformed"},
    {Command::Unknown, "Unknown"},
};

// The command of a control code that is not a vendor packet.
Command plainCommand(Operation operation)
{
    switch (operation) {
    case Operation::GetSampleRate:
        return Command::GetSampleRate;
    case Operation::SetSampleRate:
        return Command::SetSampleRate;
    case Operation::WriteMixer:
        return Command::WriteMixer;
    case Operation::SetBufferSize:
        return Command::SetBufferSize;
    case Operation::GetBufferSize:
        return Command::GetBufferSize;
    case Operation::GetUsbLatency:
        return Command::GetUsbLatency;
    case Operation::SetUsbLatency:
        return Command::SetUsbLatency;
    case Operation::ReadMeters:
        return Command::ReadMeters;
    case Operation::StopAudio:
        return Command::StopAudio;
    case Operation::InitAudio:
        return Command::InitAudio;
    case Operation::RestartAudio:
        return Command::RestartAudio;
    case Operation::GetDevicePid:
        return Command::GetDevicePid;
    case Operation::SetWdmChannelCount:
        return Command::SetWdmChannelCount;
    case Operation::EnableUsbSlowMode:
        return Command::EnableUsbSlowMode;
    case Operation::DisableUsbSlowMode:
        return Command::DisableUsbSlowMode;
    case Operation::VendorCommand:
        return Command::VendorCommand;
    case Operation::VendorRead:
        return Command::VendorRead;
    case Operation::GetUsbStatus:
        return Command::GetUsbStatus;
    }
    return Command::Unknown;
}

Command vendorCommand(unsigned char code)
{
    namespace vendor = protocol::vendor;
    switch (code) {
    case vendor::kSetOutVolume:
        return Command::SetOutVolume;
    case vendor::kSetMicVolume:
        return Command::SetMicVolume;
    case vendor::kSetMic20dB:
        return Command::SetMic20dB;
    case vendor::kSetMic48V:
        return Command::SetMic48V;
    case vendor::kSetOtgOff:
        return Command::SetOtgOff;
    case vendor::kSetOtgOn:
        return Command::SetOtgOn;
    case vendor::kUpgradeFirmware:
        return Command::UpgradeFirmware;
    case vendor::kSwitchMicInstrument:
        return Command::SwitchMicInstrument;
    default:
        return Command::VendorCommand;
    }
}

std::string sizeNote(std::size_t inSize, std::uint32_t outSize)
{
    return "(in " + std::to_string(inSize) + " out " + std::to_string(outSize) + ")";
}

std::string byteNote(const char* what, unsigned char byte)
{
    char text[48];
    std::snprintf(text, sizeof text, "(%s 0x%02x)", what, byte);
    return text;
}

} // namespace

const char* commandName(Command command)
{
    for (const CommandName& entry : kCommandNames) {
        if (entry.command == command)
            return entry.name;
    }
    return "Unknown";
}

std::vector<Command> nameableCommands()
{
    std::vector<Command> commands;
    for (const CommandName& entry : kCommandNames) {
        if (entry.command != Command::Malformed && entry.command != Command::Unknown)
            commands.push_back(entry.command);
    }
    return commands;
}

Request decodeRequest(const unsigned char* data, std::size_t size)
{
    Request request;
    request.messageSize = size;
    if (size < platform::posix::kRequestHeaderSize) {
        request.command = Command::Malformed;
        request.error = win32::kErrorInvalidParameter;
        request.errorNote = "(" + std::to_string(size) + " bytes)";
        return request;
    }
    request.code = platform::le::getU32(data);
    request.outSize = platform::le::getU32(data + 4);
    request.inSize = size - platform::posix::kRequestHeaderSize;
    request.input = data + platform::posix::kRequestHeaderSize;

    const protocol::ControlCode* control = protocol::findControlCode(request.code);
    if (!control) {
        request.command = Command::Unknown;
        request.error = protocol::kErrorInvalidFunction;
        return request;
    }
    request.command = plainCommand(control->operation);
    if (request.inSize != control->inSize || request.outSize != control->outSize) {
        request.error = win32::kErrorInvalidParameter;
        request.errorNote = sizeNote(request.inSize, request.outSize);
        return request;
    }
    request.sized = true;

    if (control->inSize == 4)
        request.value = platform::le::getU32(request.input);

    if (control->operation == Operation::VendorCommand ||
        control->operation == Operation::VendorRead) {
        const unsigned char* packet = request.input;
        request.vendor.marker = packet[0];
        request.vendor.code = packet[1];
        request.vendor.a = packet[3];
        request.vendor.b = packet[4];
        request.vendor.value = platform::le::getU16(packet + 5);
        if (control->operation == Operation::VendorCommand)
            request.command = vendorCommand(request.vendor.code);
        else if (request.vendor.code == protocol::vendor::kFirmwareVersion)
            request.command = Command::GetFirmwareVersion;
        if (request.vendor.marker != protocol::kVendorPacketMarker) {
            request.error = win32::kErrorInvalidParameter;
            request.errorNote = byteNote("first byte", request.vendor.marker);
        }
    }
    return request;
}

} // namespace virtualunit
