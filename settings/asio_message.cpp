#include "settings/asio_message.h"

#include "platform/little_endian.h"

AsioMessage decodeAsioMessage(const unsigned char* bytes, std::size_t size)
{
    unsigned char head[AsioMessage::kWordCount * 4] = {}; // bytes not sent read as zero
    for (std::size_t i = 0; i < sizeof head && i < size; ++i)
        head[i] = bytes[i];
    AsioMessage message;
    for (std::size_t i = 0; i < AsioMessage::kWordCount; ++i)
        message.words[i] = platform::le::getU32(head + 4 * i);
    return message;
}
