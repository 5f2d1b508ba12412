#include "platform/sleep.h"

#include <windows.h>

namespace platform {

void sleepMilliseconds(std::uint32_t milliseconds)
{
    Sleep(milliseconds);
}

} // namespace platform
