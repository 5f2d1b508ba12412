// The ASIO driver's message to the panel, as the listener decodes it: any
// bytes of any length. Besides the sanitizers' checks, the decoding must
// agree with the message's meaning, worked out here byte by byte.

#include "settings/asio_message.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so that a read past the message is a heap overflow.
    const std::vector<unsigned char> message(data, data + size);
    const AsioMessage decoded = decodeAsioMessage(message.data(), message.size());
    for (std::size_t word = 0; word < AsioMessage::kWordCount; ++word) {
        std::uint32_t expected = 0;
        for (std::size_t byte = 0; byte < 4; ++byte) {
            const std::size_t at = 4 * word + byte;
            if (at < size)
                expected |= std::uint32_t(message[at]) << (8 * byte);
        }
        if (decoded.words[word] != expected)
            std::abort();
    }
    const bool flagged = size > 16 && (decoded.words[4] != 0);
    if (decoded.opensWindow() != flagged)
        std::abort();
    return 0;
}
