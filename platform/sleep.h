#pragma once

#include <cstdint>

namespace platform {

// Blocks the calling thread for `milliseconds`.
void sleepMilliseconds(std::uint32_t milliseconds);

} // namespace platform
