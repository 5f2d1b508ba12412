#pragma once

#include "unit_protocol.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Turns one request message into what the unit is asked to do. Decoding never
// touches the unit's state; it only checks the framing, the control code, the
// sizes and the vendor packet, and names the operation.
namespace virtualunit {

// Every operation the unit can be asked for, one per trace name. The vendor
// packet commands are operations of their own.
enum class Command {
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
    SetOutVolume,
    SetMicVolume,
    SetMic20dB,
    SetMic48V,
    SetOtgOff,
    SetOtgOn,
    UpgradeFirmware,
    SwitchMicInstrument,
    VendorCommand, // a vendor command the unit does not know
    GetFirmwareVersion,
    VendorRead, // a vendor read of anything but the firmware version
    GetUsbStatus,
    Malformed, // shorter than the request header
    Unknown,   // a control code the unit does not know
};

// The trace name of a command ("GetDevicePid", "SetMic48V", ...).
const char* commandName(Command command);

// The commands that can be named for failure injection, in code order.
std::vector<Command> nameableCommands();

struct VendorArguments {
    unsigned char marker = 0; // byte 0, 0x01 in a well-formed packet
    unsigned char code = 0;   // byte 1
    unsigned char a = 0;      // byte 3: switch state
    unsigned char b = 0;      // byte 4: channel
    std::uint16_t value = 0;  // bytes 5-6
};

struct Request {
    Command command = Command::Malformed;
    std::uint32_t code = 0;
    std::uint32_t outSize = 0;
    std::size_t inSize = 0;
    const unsigned char* input = nullptr; // inSize bytes, valid while the message is
    std::size_t messageSize = 0;
    bool sized = false; // the code is known and both sizes are the ones it takes

    std::uint32_t value = 0; // the argument of the 4-byte setters
    VendorArguments vendor;  // for vendor commands and vendor reads

    // Zero for a request the unit can carry out; otherwise the Win32 error it
    // answers with, and a note for the trace (e.g. "(in 100 out 0)").
    std::uint32_t error = 0;
    std::string errorNote;
};

// `size` is the full length of the message as sent; `data` holds at least
// min(size, available) bytes, enough for any request of a valid size.
Request decodeRequest(const unsigned char* data, std::size_t size);

} // namespace virtualunit
