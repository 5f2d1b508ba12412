#include "trace_format.h"

#include "platform/little_endian.h"
#include "virtual_unit.h"

#include <cstdio>
#include <cstring>

namespace virtualunit {

namespace {

std::string hexByte(unsigned int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", value & 0xFFu);
    return text;
}

std::string channelAndValue(const Request& request)
{
    return std::string(commandName(request.command)) +
           " channel=" + std::to_string(request.vendor.b) +
           " value=" + std::to_string(request.vendor.value);
}

std::string channelAndState(const Request& request)
{
    return std::string(commandName(request.command)) +
           " channel=" + std::to_string(request.vendor.b) +
           " state=" + std::to_string(request.vendor.a);
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

std::string mixerDiff(const std::vector<double>& previous, const unsigned char* block)
{
    std::string text;
    std::size_t changed = 0;
    for (int row = 0; row < kMixerRows; ++row) {
        for (int column = 0; column < kMixerColumns; ++column) {
            const auto index = static_cast<std::size_t>(row * kMixerColumns + column);
            const double value = protocol::getF64(block + index * 8);
            const double before = index < previous.size() ? previous[index] : 0.0;
            if (sameBits(value, before))
                continue;
            if (++changed > kMixerDiffCellLimit)
                continue;
            char cell[64];
            std::snprintf(cell, sizeof cell, "(%d,%d)=%.6g", row, column, value);
            if (!text.empty())
                text += ' ';
            text += cell;
        }
    }
    if (changed == 0)
        return "(no change)";
    if (changed > kMixerDiffCellLimit)
        text += " ... (" + std::to_string(changed - kMixerDiffCellLimit) + " more)";
    return text;
}

std::string printableBytes(const std::string& bytes)
{
    std::string text;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    return text;
}

std::string describeRequest(const Request& request, const std::vector<double>& previousMixer)
{
    const std::string name = commandName(request.command);
    switch (request.command) {
    case Command::Malformed:
        return "Malformed request";
    case Command::Unknown:
        return "Unknown code=0x" + [&] {
            char text[16];
            std::snprintf(text, sizeof text, "%08x", request.code);
            return std::string(text);
        }();
    default:
        break;
    }
    if (!request.sized)
        return name;

    switch (request.command) {
    case Command::SetSampleRate:
    case Command::SetBufferSize:
    case Command::SetUsbLatency:
    case Command::SetWdmChannelCount:
        return name + " " + std::to_string(request.value);
    case Command::WriteMixer:
        return name + " " + mixerDiff(previousMixer, request.input);
    case Command::SetOutVolume:
    case Command::SetMicVolume:
        return channelAndValue(request);
    case Command::SetMic20dB:
    case Command::SetMic48V:
    case Command::SwitchMicInstrument:
        return channelAndState(request);
    case Command::VendorCommand:
        return name + " code=" + hexByte(request.vendor.code) +
               " a=" + std::to_string(request.vendor.a) + " b=" + std::to_string(request.vendor.b) +
               " value=" + std::to_string(request.vendor.value);
    case Command::VendorRead:
        return name + " code=" + hexByte(request.vendor.code);
    default:
        return name;
    }
}

std::string failedLine(const std::string& asked, std::uint32_t error, const std::string& note)
{
    std::string line = asked + " failed " + std::to_string(error);
    if (!note.empty())
        line += " " + note;
    return line;
}

} // namespace virtualunit
