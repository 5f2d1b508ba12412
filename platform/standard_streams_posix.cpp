#include "platform/posix_endpoint.h"
#include "platform/standard_streams.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

bool redirectStandardStreams(const std::wstring& path)
{
    const int file =
        open(posix::toUtf8(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (file < 0)
        return false;
    std::fflush(stdout);
    std::fflush(stderr);
    const bool redirected = dup2(file, STDOUT_FILENO) >= 0 && dup2(file, STDERR_FILENO) >= 0;
    close(file);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    return redirected;
}

} // namespace platform
