// quorlin-virtual-unit: a simulated Quorlin unit for development without
// hardware. Serves the driver's device object, echoes each exchange and takes
// lab commands on standard input. After the end of its input it keeps serving
// until SIGINT or SIGTERM, so it can run in the background:
//   quorlin-virtual-unit --model vr < /dev/null &

#include "console.h"
#include "virtual_unit.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

int gSignalPipe[2] = {-1, -1};

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = write(gSignalPipe[1], &byte, 1);
    errno = saved;
}

bool installSignalHandlers()
{
    if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGINT, &action, nullptr) != 0 || sigaction(SIGTERM, &action, nullptr) != 0)
        return false;
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

// Console replies and echoed trace lines come from two threads.
std::mutex gOutputMutex;

void print(const std::string& text)
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Reads standard input a line at a time and runs each line; returns false
// when a command asked to quit.
class InputReader {
public:
    explicit InputReader(virtualunit::Console& console)
        : m_console(console)
    {
    }

    // Called when standard input is readable; sets `ended` at end of input.
    bool readAvailable(bool* ended)
    {
        char chunk[4096];
        ssize_t size;
        do {
            size = read(STDIN_FILENO, chunk, sizeof chunk);
        } while (size < 0 && errno == EINTR);
        if (size <= 0) {
            *ended = true;
            // A last line without a newline still counts.
            return m_pending.empty() || runLine(std::exchange(m_pending, {}));
        }
        m_pending.append(chunk, static_cast<std::size_t>(size));
        std::size_t newline;
        while ((newline = m_pending.find('\n')) != std::string::npos) {
            std::string line = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            if (!runLine(line))
                return false;
        }
        return true;
    }

private:
    bool runLine(std::string line)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const virtualunit::Console::Result result = m_console.execute(line);
        print(result.output);
        return !result.quit;
    }

    virtualunit::Console& m_console;
    std::string m_pending;
};

} // namespace

int main(int argc, char** argv)
{
    virtualunit::ConsoleOptions options;
    std::string error;
    if (!virtualunit::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), &options,
                                       &error)) {
        std::fprintf(stderr, "quorlin-virtual-unit: %s\n\n%s", error.c_str(),
                     virtualunit::usageText().c_str());
        return 2;
    }
    if (options.help) {
        print(virtualunit::usageText());
        return 0;
    }
    if (!installSignalHandlers()) {
        std::perror("quorlin-virtual-unit: signal handlers");
        return 1;
    }

    virtualunit::VirtualUnit unit(options.unit);
    virtualunit::Console console(unit, options.quiet);
    unit.setTraceListener([&console](const std::string& line) {
        if (console.shouldEcho(line))
            print(line + "\n");
    });

    if (!unit.plug()) {
        std::fprintf(stderr, "quorlin-virtual-unit: %s\n", unit.plugError().c_str());
        return 1;
    }
    const virtualunit::UnitState state = unit.state();
    print("Quorlin virtual unit " + virtualunit::modelName(state.productId) + " (product id " +
          std::to_string(state.productId) + ") serving " + unit.socketPath() +
          "\nType help for commands.\n");

    InputReader input(console);
    bool inputOpen = true;
    bool running = true;
    while (running) {
        pollfd fds[2] = {{gSignalPipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(fds, inputOpen ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("quorlin-virtual-unit: poll");
            break;
        }
        if (fds[0].revents != 0)
            break;
        if (inputOpen && fds[1].revents != 0) {
            bool ended = false;
            running = input.readAvailable(&ended);
            // Without input the unit goes on serving until it is signalled.
            if (ended)
                inputOpen = false;
        }
    }

    unit.setTraceListener(nullptr);
    unit.unplug();
    print("unplugged, bye\n");
    return 0;
}
