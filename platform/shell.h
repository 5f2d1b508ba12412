#pragma once

#include <string>
#include <vector>

// Desktop actions offered from the tray menu.
namespace platform {

// Opens the system's sound settings without waiting for them. Returns false
// when nothing could be launched.
bool openSoundSettings();

// A command line run to make the system pick up audio devices afresh: a
// restart of Explorer on Windows, of the user's sound server on POSIX.
struct ShellCommand {
    std::string program;
    std::vector<std::string> arguments;
};
ShellCommand audioRefreshCommand();

} // namespace platform
