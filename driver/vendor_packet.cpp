#include "driver/vendor_packet.h"

#include "platform/little_endian.h"

namespace VendorPacket {

namespace {
constexpr std::uint8_t kLeadByte = 0x01;
}

Bytes make(Command command, std::uint8_t argumentA, std::uint8_t argumentB, std::uint16_t value)
{
    Bytes packet{};
    packet[0] = kLeadByte;
    packet[1] = static_cast<std::uint8_t>(command);
    packet[3] = argumentA;
    packet[4] = argumentB;
    platform::le::putU16(&packet[5], value);
    return packet;
}

} // namespace VendorPacket
