#include "console.h"

#include "meter_generator.h"
#include "trace_format.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace virtualunit {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> words(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> result;
    std::string word;
    while (stream >> word)
        result.push_back(word);
    return result;
}

// A whole-string unsigned number in decimal or 0x hex.
std::optional<unsigned long long> parseUnsigned(const std::string& text)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0')
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseU32(const std::string& text)
{
    const auto value = parseUnsigned(text);
    if (!value || *value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

// The text after the first word of a line, as typed (firmware may hold spaces).
std::string restOfLine(const std::string& line)
{
    const auto start = line.find_first_not_of(" \t");
    const auto gap = line.find_first_of(" \t", start);
    if (gap == std::string::npos)
        return {};
    const auto rest = line.find_first_not_of(" \t", gap);
    return rest == std::string::npos ? std::string() : line.substr(rest);
}

std::string onOff(bool on)
{
    return on ? "on" : "off";
}

std::string channelList(const std::vector<int>& values)
{
    std::string text;
    for (std::size_t channel = 0; channel < values.size(); ++channel) {
        if (values[channel] < 0)
            continue;
        text += (text.empty() ? "" : " ") + std::to_string(channel) + "=" +
                std::to_string(values[channel]);
    }
    return text.empty() ? "-" : text;
}

// Operation names are matched without regard to case ("setmic48v").
std::optional<std::string> operationName(const std::string& typed)
{
    for (const std::string& name : VirtualUnit::operationNames()) {
        if (lower(name) == lower(typed))
            return name;
    }
    return std::nullopt;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::string usageText()
{
    return "Usage: quorlin-virtual-unit [options]\n"
           "Plays a Quorlin unit and its driver on <runtime>/QuorlinAudioBusN, and its\n"
           "ASIO driver on <runtime>/QuorlinPannelToASIO, and reads commands from\n"
           "standard input (type help). Keeps serving after the end of its input until\n"
           "interrupted.\n"
           "\n"
           "  --model vt1|vt2|vr|PID  product id the unit reports (default vt2)\n"
           "  --firmware TEXT         ten firmware characters (default V1.0.3-abc;\n"
           "                          \\xNN for a byte that cannot be typed)\n"
           "  --bus N                 bus index 0..15 (default 0)\n"
           "  --still                 meters read 0 unless pinned\n"
           "  --quiet                 don't echo GetDevicePid, ReadMeters and GetUsbStatus\n"
           "  --help                  show this text\n";
}

bool parseCommandLine(const std::vector<std::string>& arguments, ConsoleOptions* options,
                      std::string* error)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            options->help = true;
        } else if (argument == "--still") {
            options->unit.movingMeters = false;
        } else if (argument == "--quiet") {
            options->quiet = true;
        } else if (argument == "--model" && hasValue) {
            const auto productId = parseModel(arguments[++i]);
            if (!productId) {
                *error = "unknown model '" + arguments[i] + "' (vt1, vt2, vr or a product id)";
                return false;
            }
            options->unit.productId = *productId;
        } else if (argument == "--firmware" && hasValue) {
            options->unit.firmware = unescapeFirmware(arguments[++i]);
        } else if (argument == "--bus" && hasValue) {
            const auto bus = parseUnsigned(arguments[++i]);
            if (!bus || *bus > static_cast<unsigned long long>(kLastBusIndex)) {
                *error = "bus index must be 0.." + std::to_string(kLastBusIndex);
                return false;
            }
            options->unit.busIndex = static_cast<int>(*bus);
        } else {
            *error = "unknown option or missing value: " + argument;
            return false;
        }
    }
    return true;
}

std::optional<std::uint32_t> parseModel(const std::string& text)
{
    const std::string name = lower(text);
    if (name == "vt1")
        return kProductIdVt1;
    if (name == "vt2")
        return kProductIdVt2;
    if (name == "vr")
        return kProductIdVr;
    return parseU32(text);
}

std::string modelName(std::uint32_t productId)
{
    switch (productId) {
    case kProductIdVt1:
        return "VT1";
    case kProductIdVt2:
        return "VT2";
    case kProductIdVr:
        return "VR";
    default:
        return "unknown model";
    }
}

std::optional<std::int32_t> parseMeterValue(const std::string& text)
{
    const std::string typed = lower(text);
    for (const char* suffix : {"dbfs", "db"}) {
        const std::string unit = suffix;
        if (typed.size() > unit.size() &&
            typed.compare(typed.size() - unit.size(), unit.size(), unit) == 0) {
            const std::string number = typed.substr(0, typed.size() - unit.size());
            char* end = nullptr;
            const double db = std::strtod(number.c_str(), &end);
            if (*end != '\0' || !std::isfinite(db))
                return std::nullopt;
            return peakFromDb(db);
        }
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string unescapeFirmware(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

Console::Console(VirtualUnit& unit, bool quiet)
    : m_unit(unit)
    , m_quiet(quiet)
{
}

std::string Console::helpText()
{
    return "Commands:\n"
           "  plug                          connect the unit (serve its socket)\n"
           "  unplug                        pull the unit: drop every connection, remove the "
           "socket\n"
           "  model vt1|vt2|vr|PID          change the product id the unit reports\n"
           "  firmware TEXT                 ten firmware characters (\\xNN for other bytes)\n"
           "  fail OPERATION [N|forever] [ERROR]\n"
           "                                fail the next N exchanges (default 1) of an operation\n"
           "                                with a Win32 error (default 31)\n"
           "  heal [OPERATION]              stop failing an operation (all when none is named)\n"
           "  operations                    list the operations that can be failed\n"
           "  level ENTRY VALUE             pin a meter entry (0..191) to a peak value or a\n"
           "                                level such as -20dB\n"
           "  level ENTRY off | level off   unpin one entry, or all of them\n"
           "  moving on|off                 live levels on inputs 1, 2 and the phone channels\n"
           "  errors N                      the USB error count the unit reports\n"
           "  asio open-window              as the ASIO driver, ask the panel to show its\n"
           "                                settings window (words 0 0 0 0 1)\n"
           "  asio send W0 W1 W2 W3 W4      send the panel the five 32-bit words of that message\n"
           "  asio send-bytes N [BYTE]      send the panel an N-byte message, every byte BYTE\n"
           "                                (default 0)\n"
           "  status                        show the unit's state (with the ASIO resets received)\n"
           "  trace on|off                  echo each exchange\n"
           "  help                          show this text\n"
           "  quit                          unplug and exit\n";
}

bool Console::shouldEcho(const std::string& traceLine) const
{
    if (!m_echo)
        return false;
    if (!m_quiet || traceLine.find(" failed ") != std::string::npos)
        return true;
    return !(startsWith(traceLine, "GetDevicePid") || startsWith(traceLine, "ReadMeters") ||
             startsWith(traceLine, "GetUsbStatus"));
}

std::string Console::plug()
{
    if (m_unit.isPlugged())
        return "already plugged: serving " + m_unit.socketPath() + "\n";
    if (!m_unit.plug())
        return "plug failed: " + m_unit.plugError() + "\n";
    return "plugged: serving " + m_unit.socketPath() + "\n";
}

std::string Console::fail(const std::vector<std::string>& args)
{
    if (args.size() < 2 || args.size() > 4)
        return "usage: fail OPERATION [N|forever] [ERROR]\n";
    const auto operation = operationName(args[1]);
    if (!operation)
        return "unknown operation '" + args[1] + "' (type operations for the list)\n";
    int times = 1;
    if (args.size() >= 3) {
        if (lower(args[2]) == "forever") {
            times = VirtualUnit::kUntilHealed;
        } else {
            const auto count = parseUnsigned(args[2]);
            if (!count || *count == 0 || *count > 1000000)
                return "N must be a positive count or 'forever'\n";
            times = static_cast<int>(*count);
        }
    }
    std::uint32_t error = 31;
    if (args.size() == 4) {
        const auto code = parseU32(args[3]);
        if (!code || *code == 0)
            return "ERROR must be a non-zero Win32 error code\n";
        error = *code;
    }
    m_unit.fail(*operation, times, error);
    const std::string how =
        times < 0 ? "until healed" : (times == 1 ? "once" : std::to_string(times) + " times");
    return *operation + " fails " + how + " with error " + std::to_string(error) + "\n";
}

std::string Console::level(const std::vector<std::string>& args)
{
    if (args.size() == 2 && lower(args[1]) == "off") {
        m_unit.unpinMeters();
        return "all meter entries unpinned\n";
    }
    if (args.size() != 3)
        return "usage: level ENTRY VALUE | level ENTRY off | level off\n";
    const auto entry = parseUnsigned(args[1]);
    if (!entry || *entry >= static_cast<unsigned long long>(kMeterEntries))
        return "ENTRY must be 0.." + std::to_string(kMeterEntries - 1) + "\n";
    const int index = static_cast<int>(*entry);
    if (lower(args[2]) == "off") {
        m_unit.unpinMeter(index);
        return "meter " + std::to_string(index) + " unpinned\n";
    }
    const auto value = parseMeterValue(args[2]);
    if (!value)
        return "VALUE must be a peak (-2147483648..2147483647) or a level like -20dB\n";
    m_unit.pinMeter(index, *value);
    return "meter " + std::to_string(index) + " pinned at " + std::to_string(*value) + "\n";
}

std::string Console::asio(const std::vector<std::string>& args)
{
    constexpr const char* usage =
        "usage: asio open-window | asio send W0 W1 W2 W3 W4 | asio send-bytes N [BYTE]\n";
    if (args.size() < 2)
        return usage;
    const std::string what = lower(args[1]);
    std::uint32_t error;
    std::string sent;
    if (what == "open-window" && args.size() == 2) {
        error = m_unit.sendOpenWindow();
        sent = "open-window message";
    } else if (what == "send" && args.size() == 7) {
        AsioWords words{};
        for (std::size_t i = 0; i < words.size(); ++i) {
            const auto word = parseU32(args[i + 2]);
            if (!word)
                return "each word must be a number 0..4294967295\n";
            words[i] = *word;
        }
        error = m_unit.sendOpenWindow(words);
        sent = "message";
    } else if (what == "send-bytes" && (args.size() == 3 || args.size() == 4)) {
        const auto size = parseUnsigned(args[2]);
        const auto fill = args.size() == 4 ? parseUnsigned(args[3]) : std::optional(0ull);
        if (!size || *size > 1000000 || !fill || *fill > 255)
            return "N must be 0..1000000 and BYTE 0..255\n";
        error = m_unit.sendToPanel(std::vector<unsigned char>(static_cast<std::size_t>(*size),
                                                              static_cast<unsigned char>(*fill)));
        sent = std::to_string(*size) + "-byte message";
    } else {
        return usage;
    }
    if (error != 0)
        return "cannot reach the panel's pipe: error " + std::to_string(error) +
               (error == 2 ? " (no panel listening)" : "") + "\n";
    return "sent the panel the " + sent + "\n";
}

std::string Console::statusText() const
{
    const UnitState state = m_unit.state();
    std::ostringstream out;
    if (m_unit.isPlugged())
        out << "plugged, serving " << m_unit.socketPath() << " (" << m_unit.connectionCount()
            << " connections)\n";
    else
        out << "unplugged (bus " << state.busIndex << ")\n";
    out << "model " << modelName(state.productId) << " (product id " << state.productId
        << "), firmware " << printableBytes(state.firmware) << "\n";
    out << "sample rate " << state.sampleRate << ", buffer size " << state.bufferSize
        << ", USB latency " << state.usbLatency << ", slow mode " << onOff(state.slowMode)
        << ", WDM channels " << state.wdmChannelCount << "\n";
    out << "audio " << (state.audioRunning ? "running" : "stopped") << ", OTG "
        << onOff(state.otgOn) << ", USB errors " << state.usbErrorCount << ", firmware upgrades "
        << state.firmwareUpgrades << "\n";
    out << "out volume " << channelList(state.outVolume) << "; mic volume "
        << channelList(state.micVolume) << "\n";
    out << "20dB " << channelList(state.mic20dB) << "; 48V " << channelList(state.mic48V)
        << "; instrument " << channelList(state.micInstrument) << "\n";
    if (state.mixerWritten) {
        const auto nonZero = std::count_if(state.mixer.begin(), state.mixer.end(),
                                           [](double cell) { return cell != 0.0; });
        out << "mixer: " << nonZero << " non-zero cells\n";
    } else {
        out << "mixer: never written\n";
    }
    out << "meters " << (m_unit.movingMeters() ? "moving" : "still");
    for (const auto& [entry, value] : m_unit.pinnedMeters())
        out << ", " << entry << " pinned at " << value;
    out << "\n";
    const auto faults = m_unit.faults();
    if (faults.empty()) {
        out << "no failures armed\n";
    } else {
        out << "failing:";
        for (const auto& fault : faults) {
            out << " " << fault.operation << " "
                << (fault.remaining < 0 ? std::string("forever")
                                        : "x" + std::to_string(fault.remaining))
                << " (" << fault.error << ")";
        }
        out << "\n";
    }
    out << "ASIO driver: " << (m_unit.servesAsioPipe() ? "serving" : "not serving")
        << " its reset pipe, " << state.asioResets << " resets, " << state.asioOtherMessages
        << " other messages\n";
    out << "trace echo " << onOff(m_echo) << (m_quiet ? " (quiet)" : "") << "\n";
    return out.str();
}

Console::Result Console::execute(const std::string& line)
{
    Result result;
    const std::vector<std::string> args = words(line);
    if (args.empty())
        return result;
    const std::string command = lower(args[0]);

    if (command == "help" || command == "?") {
        result.output = helpText();
    } else if (command == "quit" || command == "exit") {
        result.quit = true;
    } else if (command == "plug") {
        result.output = plug();
    } else if (command == "unplug") {
        m_unit.unplug();
        result.output = "unplugged\n";
    } else if (command == "model" && args.size() == 2) {
        const auto productId = parseModel(args[1]);
        if (productId) {
            m_unit.setProductId(*productId);
            result.output = "model " + modelName(*productId) + " (product id " +
                            std::to_string(*productId) + ")\n";
        } else {
            result.output = "usage: model vt1|vt2|vr|PID\n";
        }
    } else if (command == "firmware" && args.size() >= 2) {
        m_unit.setFirmware(unescapeFirmware(restOfLine(line)));
        result.output = "firmware " + printableBytes(m_unit.state().firmware) + "\n";
    } else if (command == "fail") {
        result.output = fail(args);
    } else if (command == "heal" && args.size() <= 2) {
        if (args.size() == 1) {
            m_unit.heal();
            result.output = "all operations healed\n";
        } else if (const auto operation = operationName(args[1])) {
            m_unit.heal(*operation);
            result.output = *operation + " healed\n";
        } else {
            result.output = "unknown operation '" + args[1] + "'\n";
        }
    } else if (command == "operations") {
        for (const std::string& name : VirtualUnit::operationNames())
            result.output += name + "\n";
    } else if (command == "level") {
        result.output = level(args);
    } else if (command == "moving" && args.size() == 2 &&
               (lower(args[1]) == "on" || lower(args[1]) == "off")) {
        m_unit.setMovingMeters(lower(args[1]) == "on");
        result.output = "moving meters " + lower(args[1]) + "\n";
    } else if (command == "errors" && args.size() == 2 && parseU32(args[1])) {
        m_unit.setUsbErrorCount(*parseU32(args[1]));
        result.output = "USB error count " + std::to_string(*parseU32(args[1])) + "\n";
    } else if (command == "asio") {
        result.output = asio(args);
    } else if (command == "status") {
        result.output = statusText();
    } else if (command == "trace" && args.size() == 2 &&
               (lower(args[1]) == "on" || lower(args[1]) == "off")) {
        m_echo = lower(args[1]) == "on";
        result.output = "trace echo " + lower(args[1]) + "\n";
    } else {
        result.output = "cannot do '" + line + "' (type help)\n";
    }
    return result;
}

} // namespace virtualunit
