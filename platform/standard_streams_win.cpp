#include "platform/standard_streams.h"

#include <cstdio>

namespace platform {

bool redirectStandardStreams(const std::wstring& path)
{
    // A GUI program's streams have no file behind them, so they are reopened
    // on the file rather than duplicated onto it. The file is tried first:
    // a failed reopen would close the stream.
    std::FILE* probe = _wfopen(path.c_str(), L"a");
    if (!probe)
        return false;
    std::fclose(probe);
    std::fflush(stdout);
    std::fflush(stderr);
    if (!_wfreopen(path.c_str(), L"a", stdout) || !_wfreopen(path.c_str(), L"a", stderr))
        return false;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    return true;
}

} // namespace platform
