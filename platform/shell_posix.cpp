#include "platform/shell.h"

#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// Sound settings of the common desktops, most specific first.
const std::vector<std::vector<std::string>> kSoundSettingsTools = {
    {"gnome-control-center", "sound"},
    {"systemsettings", "kcm_pulseaudio"},
    {"pavucontrol-qt"},
    {"pavucontrol"},
    {"xfce4-mixer"},
};

bool isExecutableOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return false;
    std::string directories(path);
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = directories.find(':', start);
        const std::string directory =
            directories.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// Starts the program detached from this process: a short-lived child spawns
// it and exits at once, so no zombie is left behind.
bool launchDetached(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        setsid();
        pid_t grandchild = 0;
        const int rc = posix_spawnp(&grandchild, argv[0], nullptr, nullptr, argv.data(), environ);
        _exit(rc == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool openSoundSettings()
{
    for (const auto& tool : kSoundSettingsTools)
        if (isExecutableOnPath(tool.front()))
            return launchDetached(tool);
    return false;
}

ShellCommand audioRefreshCommand()
{
    // PipeWire first (most current desktops), then a classic PulseAudio.
    return {"/bin/sh",
            {"-c", "systemctl --user restart pipewire pipewire-pulse wireplumber"
                   " || { pulseaudio --kill; pulseaudio --start; }"}};
}

} // namespace platform
