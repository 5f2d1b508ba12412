#pragma once

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
// Every method is thread-safe; the unit answers on a thread of its own.
namespace virtualunit {

inline constexpr std::uint32_t kProductIdVt1 = 1;
inline constexpr std::uint32_t kProductIdVt2 = 2;
inline constexpr std::uint32_t kProductIdVr = 15;

inline constexpr int kMixerRows = 259;
inline constexpr int kMixerColumns = 32;
inline constexpr int kMeterEntries = 192;
inline constexpr int kLastBusIndex = 15;

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
    // removes the socket, as a unit pulled from the USB port would.
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
