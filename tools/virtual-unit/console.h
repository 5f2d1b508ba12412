#pragma once

#include "virtual_unit.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The lab bench of quorlin-virtual-unit: its command line and the commands it
// reads from standard input, kept apart from the terminal handling so that
// they can be driven from tests.
namespace virtualunit {

struct ConsoleOptions {
    Options unit;
    bool quiet = false; // don't echo the frequent polls
    bool help = false;
};

// Parses the arguments after the program name. Returns false with a reason in
// `error` for an option it does not understand.
bool parseCommandLine(const std::vector<std::string>& arguments, ConsoleOptions* options,
                      std::string* error);
std::string usageText();

// "vt1", "vt2", "vr" (any case) or a product id in decimal or 0x hex.
std::optional<std::uint32_t> parseModel(const std::string& text);
// "VT2", "VR", ... or "unknown model" for other ids.
std::string modelName(std::uint32_t productId);

// A meter value: a peak ("214748365") or a level in dBFS ("-20dB", "-6.5dBFS").
std::optional<std::int32_t> parseMeterValue(const std::string& text);

// Firmware text with \xNN escapes for bytes that cannot be typed (zero bytes).
std::string unescapeFirmware(const std::string& text);

class Console {
public:
    struct Result {
        std::string output; // lines to show, each ending in '\n'
        bool quit = false;
    };

    Console(VirtualUnit& unit, bool quiet);

    Result execute(const std::string& line);
    static std::string helpText();
    std::string statusText() const;

    // Whether a trace line is echoed: echo is on and, in quiet mode, the line
    // is not one of the frequent polls (failed polls are always shown).
    bool shouldEcho(const std::string& traceLine) const;

private:
    std::string plug();
    std::string fail(const std::vector<std::string>& words);
    std::string level(const std::vector<std::string>& words);
    std::string asio(const std::vector<std::string>& words);

    VirtualUnit& m_unit;
    std::atomic<bool> m_echo{true};
    const bool m_quiet;
};

} // namespace virtualunit
