#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A simulated Quorlin unit behind its kernel driver, served on the POSIX side
// of the platform layer exactly where the real driver's device object would
// be: <runtime>/QuorlinAudioBusN. The panel, the tests and the console tool
// talk to it through the same device-file calls they use for the real driver.
//
// It also plays the unit's ASIO driver: while plugged it serves the pipe
// \\.\pipe\QuorlinPannelToASIO (<runtime>/QuorlinPannelToASIO), where the
// panel writes its one-byte reset signal, and at any time it can send messages
// to the panel's pipe \\.\pipe\QuorlinASIOToPannel, such as the request to
// open the settings window.
//
// Every method is thread-safe; the unit answers on a thread of its own.
namespace virtualunit {

inline constexpr std::uint32_t kProductIdVt1 = 1;
inline constexpr std::uint32_t kProductIdVt2 = 2;
inline constexpr std::uint32_t kProductIdVr = 15;

inline constexpr int kMixerRows = 259;
inline constexpr int kMixerColumns = 32;
inline constexpr int kMeterEntries = 192;
inline constexpr int kLastBusIndex = 15;

// The ASIO driver's pipes and messages.
inline constexpr const wchar_t* kAsioResetPipe = L"\\\\.\\pipe\\QuorlinPannelToASIO";
inline constexpr const wchar_t* kPanelPipe = L"\\\\.\\pipe\\QuorlinASIOToPannel";
inline constexpr unsigned char kAsioResetByte = 0x31;
// The message to the panel: five little-endian 32-bit words; a word 4 that is
// not zero asks the panel to open its settings window.
using AsioWords = std::array<std::uint32_t, 5>;
inline constexpr AsioWords kOpenWindowWords = {0, 0, 0, 0, 1};

// The unit's state as the driver would know it.
struct UnitState {
    std::uint32_t productId = kProductIdVt2;
    std::string firmware; // exactly ten bytes
    int busIndex = 0;
    std::uint32_t sampleRate = 44100;
    std::uint32_t bufferSize = 192;
    std::uint32_t usbLatency = 8;
    bool slowMode = false;
    std::uint32_t wdmChannelCount = 0;
    bool audioRunning = true;
    bool otgOn = true;
    std::uint32_t usbErrorCount = 0;
    int firmwareUpgrades = 0;
    // Vendor command effects, indexed by channel (0..255).
    std::vector<int> outVolume;     // last SetOutVolume value, -1 = never set
    std::vector<int> micVolume;     // last SetMicVolume value, -1 = never set
    std::vector<int> mic20dB;       // last SetMic20dB state, -1 = never set
    std::vector<int> mic48V;        // last SetMic48V state, -1 = never set
    std::vector<int> micInstrument; // last SwitchMicInstrument state, -1 = never set
    std::vector<double> mixer;      // last Mixer block, kMixerRows * kMixerColumns cells
    bool mixerWritten = false;      // a Mixer block has been received
    // The ASIO driver's side: reset signals (messages of the one byte 0x31)
    // and other messages received on its pipe.
    std::uint32_t asioResets = 0;
    std::uint32_t asioOtherMessages = 0;

    double cell(int row, int column) const
    {
        return mixer[static_cast<std::size_t>(row * kMixerColumns + column)];
    }
};

struct Options {
    std::uint32_t productId = kProductIdVt2;
    std::string firmware = "V1.0.3-abc";
    int busIndex = 0;         // 0..15
    bool movingMeters = true; // live levels on inputs 1, 2 and the phone channels
};

class VirtualUnit {
public:
    explicit VirtualUnit(Options options = {});
    ~VirtualUnit(); // unplugs
    VirtualUnit(const VirtualUnit&) = delete;
    VirtualUnit& operator=(const VirtualUnit&) = delete;

    // Plugging creates <runtime>/QuorlinAudioBusN (replacing a stale socket
    // file; a bus that another unit still serves is refused, see plugError())
    // and starts answering; unplugging drops every open connection and
    // removes the socket, as a unit pulled from the USB port would. The ASIO
    // driver's pipe <runtime>/QuorlinPannelToASIO is served with the device
    // and goes with it (the ASIO driver serves only while its unit is there).
    // A pipe that another unit serves already stays with that unit; this one
    // then plays the device alone.
    bool plug();
    void unplug();
    bool isPlugged() const;
    std::string plugError() const;  // why the last plug() failed; empty after a success
    std::string socketPath() const; // <runtime>/QuorlinAudioBusN for the current bus index
    int connectionCount() const;    // open connections while plugged

    void setProductId(std::uint32_t productId);
    void setFirmware(const std::string& firmware); // cut or zero-padded to ten bytes
    bool setBusIndex(int index);                   // only while unplugged; false otherwise

    // Failure injection by operation name (as it appears in the trace:
    // "GetDevicePid", "WriteMixer", "SetMic48V", "GetFirmwareVersion", ...).
    // times < 0 fails until healed, times == 0 heals. A failed exchange
    // changes no state and answers with `error` (a Win32 code; 0 becomes 31).
    static constexpr int kUntilHealed = -1;
    void fail(const std::string& operation, int times = 1, std::uint32_t error = 31);
    void heal(const std::string& operation = {}); // empty: heal everything
    static std::vector<std::string> operationNames();
    struct Fault {
        std::string operation;
        int remaining; // kUntilHealed for a failure that lasts until healed
        std::uint32_t error;
    };
    std::vector<Fault> faults() const; // armed failures, by operation name

    // Meters. A pinned entry always reads its pinned value; the others move
    // when moving meters are on and read 0 otherwise.
    void setMovingMeters(bool on);
    bool movingMeters() const;
    void pinMeter(int entry, std::int32_t value); // entry 0..191; others are ignored
    void unpinMeter(int entry);
    void unpinMeters();
    std::map<int, std::int32_t> pinnedMeters() const;
    void setUsbErrorCount(std::uint32_t count);

    UnitState state() const;

    // The ASIO driver writing to the panel's pipe: open it once, write one
    // message, close. Returns 0 on success, otherwise the Win32 error code of
    // the open or the write (2 when no panel listens). Traced as
    // "AsioOpenWindow W0 W1 W2 W3 W4" or "AsioSend N bytes".
    std::uint32_t sendOpenWindow(const AsioWords& words = kOpenWindowWords);
    std::uint32_t sendToPanel(const std::vector<unsigned char>& message);
    // The 20 bytes of an open-window message.
    static std::vector<unsigned char> openWindowMessage(const AsioWords& words);
    bool servesAsioPipe() const; // the reset pipe is served (see plug())

    // One decoded line per exchange, oldest first (bounded; the oldest lines
    // are dropped past 20000). A line is in the trace before its reply is sent.
    std::vector<std::string> trace() const;
    std::vector<std::string> takeTrace(); // returns and clears
    void clearTrace();
    // Called on the unit's thread with each new trace line, before the reply
    // goes out. The listener must not plug, unplug or set a new listener.
    void setTraceListener(std::function<void(const std::string&)> listener);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace virtualunit
