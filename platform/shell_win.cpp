#include "platform/shell.h"

#include <cstdint>
#include <windows.h>

// After windows.h, which it needs: kept apart so that sorting leaves it there.
#include <shellapi.h>

namespace platform {

bool openSoundSettings()
{
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", "control.exe", "mmsys.cpl", nullptr, SW_SHOWNORMAL);
    // Values above 32 mean the shell launched it.
    return reinterpret_cast<std::intptr_t>(result) > 32;
}

ShellCommand audioRefreshCommand()
{
    return {"cmd.exe", {"/c", "taskkill /f /im explorer.exe && start explorer.exe"}};
}

} // namespace platform
