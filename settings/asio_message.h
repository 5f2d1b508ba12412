#pragma once

// The message the ASIO driver sends to the panel's pipe: five unsigned 32-bit
// little-endian words at the start of the message; word 4 not zero asks for
// the settings window. Whatever follows the words is ignored, and words the
// sender did not supply (a message shorter than 20 bytes) read as zero.

#include <array>
#include <cstddef>
#include <cstdint>

struct AsioMessage {
    static constexpr std::size_t kWordCount = 5;
    static constexpr std::size_t kOpenWindowWord = 4;

    std::array<std::uint32_t, kWordCount> words{};

    bool opensWindow() const { return words[kOpenWindowWord] != 0; }
};

// Decodes the first `size` bytes at `bytes` (`bytes` may be null when `size`
// is 0); any length is accepted.
AsioMessage decodeAsioMessage(const unsigned char* bytes, std::size_t size);
