#pragma once

#include <array>
#include <cstdint>

// The unit's USB status as unpacked from the driver's 7-byte reply.
struct UsbStatus {
    std::uint16_t field0 = 0;     // bytes 0-1, not interpreted
    std::uint8_t field1 = 0;      // byte 2, not interpreted
    std::uint32_t errorCount = 0; // bytes 3-6, the USB error count

    static constexpr std::size_t kReplySize = 7;
    using Reply = std::array<std::uint8_t, kReplySize>;

    static UsbStatus unpack(const Reply& reply);
};
