#include "unit_model.h"

#include "platform/little_endian.h"
#include "trace_format.h"
#include "unit_protocol.h"

#include <algorithm>
#include <cstring>

namespace virtualunit {

namespace {

constexpr std::size_t kChannels = 256;

std::vector<unsigned char> u32Output(std::uint32_t value)
{
    std::vector<unsigned char> output(4);
    platform::le::putU32(output.data(), value);
    return output;
}

} // namespace

UnitModel::UnitModel(const Options& options)
{
    m_state.productId = options.productId;
    m_state.firmware = tenBytes(options.firmware);
    m_state.busIndex = options.busIndex;
    m_state.outVolume.assign(kChannels, -1);
    m_state.micVolume.assign(kChannels, -1);
    m_state.mic20dB.assign(kChannels, -1);
    m_state.mic48V.assign(kChannels, -1);
    m_state.micInstrument.assign(kChannels, -1);
    m_state.mixer.assign(static_cast<std::size_t>(kMixerRows * kMixerColumns), 0.0);
}

std::string UnitModel::tenBytes(const std::string& firmware)
{
    std::string bytes = firmware.substr(0, protocol::kFirmwareSize);
    bytes.resize(protocol::kFirmwareSize, '\0');
    return bytes;
}

void UnitModel::applyVendorCommand(const Request& request)
{
    const std::size_t channel = request.vendor.b;
    const int state = request.vendor.a;
    switch (request.command) {
    case Command::SetOutVolume:
        m_state.outVolume[channel] = request.vendor.value;
        break;
    case Command::SetMicVolume:
        m_state.micVolume[channel] = request.vendor.value;
        break;
    case Command::SetMic20dB:
        m_state.mic20dB[channel] = state;
        break;
    case Command::SetMic48V:
        m_state.mic48V[channel] = state;
        break;
    case Command::SwitchMicInstrument:
        m_state.micInstrument[channel] = state;
        break;
    case Command::SetOtgOff:
        m_state.otgOn = false;
        break;
    case Command::SetOtgOn:
        m_state.otgOn = true;
        break;
    case Command::UpgradeFirmware:
        ++m_state.firmwareUpgrades;
        break;
    default:
        break; // an unknown vendor command is accepted and ignored
    }
}

Outcome UnitModel::execute(const Request& request, MeterGenerator& meters, double seconds)
{
    Outcome outcome;
    switch (request.command) {
    case Command::GetSampleRate:
        outcome.output = u32Output(m_state.sampleRate);
        outcome.result = std::to_string(m_state.sampleRate);
        break;
    case Command::GetBufferSize:
        outcome.output = u32Output(m_state.bufferSize);
        outcome.result = std::to_string(m_state.bufferSize);
        break;
    case Command::GetUsbLatency:
        outcome.output = u32Output(m_state.usbLatency);
        outcome.result = std::to_string(m_state.usbLatency);
        break;
    case Command::GetDevicePid:
        outcome.output = u32Output(m_state.productId);
        outcome.result = std::to_string(m_state.productId);
        break;
    case Command::SetSampleRate:
        m_state.sampleRate = request.value;
        break;
    case Command::SetBufferSize:
        m_state.bufferSize = request.value;
        break;
    case Command::SetUsbLatency:
        m_state.usbLatency = request.value;
        break;
    case Command::SetWdmChannelCount:
        m_state.wdmChannelCount = request.value;
        break;
    case Command::StopAudio:
        m_state.audioRunning = false;
        break;
    case Command::InitAudio:
    case Command::RestartAudio:
        m_state.audioRunning = true;
        break;
    case Command::EnableUsbSlowMode:
        m_state.slowMode = true;
        break;
    case Command::DisableUsbSlowMode:
        m_state.slowMode = false;
        break;
    case Command::WriteMixer:
        for (std::size_t i = 0; i < m_state.mixer.size(); ++i)
            m_state.mixer[i] = protocol::getF64(request.input + i * 8);
        m_state.mixerWritten = true;
        break;
    case Command::ReadMeters: {
        const MeterGenerator::Block block = meters.read(seconds);
        outcome.output.resize(protocol::kMeterBlockSize);
        for (std::size_t i = 0; i < block.size(); ++i)
            platform::le::putU32(outcome.output.data() + 4 * i,
                                 static_cast<std::uint32_t>(block[i]));
        break;
    }
    case Command::GetUsbStatus:
        // field0 (bytes 0-1) and field1 (byte 2) stay 0; the error count follows.
        outcome.output.assign(protocol::kUsbStatusSize, 0);
        platform::le::putU32(outcome.output.data() + 3, m_state.usbErrorCount);
        outcome.result = "errors=" + std::to_string(m_state.usbErrorCount);
        break;
    case Command::GetFirmwareVersion:
        outcome.output.assign(protocol::kVendorReplySize, 0);
        std::copy(m_state.firmware.begin(), m_state.firmware.end(), outcome.output.begin());
        outcome.result = printableBytes(m_state.firmware);
        break;
    case Command::VendorRead:
        // Nothing else can be read: the reply is all zeros.
        outcome.output.assign(protocol::kVendorReplySize, 0);
        break;
    case Command::SetOutVolume:
    case Command::SetMicVolume:
    case Command::SetMic20dB:
    case Command::SetMic48V:
    case Command::SetOtgOff:
    case Command::SetOtgOn:
    case Command::UpgradeFirmware:
    case Command::SwitchMicInstrument:
    case Command::VendorCommand:
        applyVendorCommand(request);
        break;
    case Command::Malformed:
    case Command::Unknown:
        break;
    }
    return outcome;
}

} // namespace virtualunit
