#include "platform/termination_request.h"

#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace platform {

namespace {

int gPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    (void)!write(gPipe[1], &byte, 1);
}

} // namespace

int terminationRequestDescriptor()
{
    if (gPipe[0] >= 0)
        return gPipe[0];
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    return gPipe[0];
}

} // namespace platform
