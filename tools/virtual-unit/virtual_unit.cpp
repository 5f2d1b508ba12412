#include "virtual_unit.h"

#include "fault_plan.h"
#include "meter_generator.h"
#include "platform/little_endian.h"
#include "platform/message_pipe.h"
#include "platform/posix_endpoint.h"
#include "platform/win32_error.h"
#include "request.h"
#include "seqpacket_server.h"
#include "trace_format.h"
#include "trace_log.h"
#include "unit_model.h"
#include "unit_protocol.h"

#include <atomic>
#include <chrono>
#include <mutex>

namespace virtualunit {

namespace {

std::wstring busObjectName(int index)
{
    return L"\\\\.\\QuorlinAudioBus" + std::to_wstring(index);
}

std::vector<unsigned char> statusReply(std::uint32_t status)
{
    std::vector<unsigned char> reply(platform::posix::kReplyHeaderSize);
    platform::le::putU32(reply.data(), status);
    return reply;
}

// The longest request of a valid size (a Mixer block) plus room to tell a
// slightly longer one apart; longer messages are measured, not read whole.
constexpr std::size_t kRequestCapacity =
    platform::posix::kRequestHeaderSize + protocol::kMixerBlockSize + 64;

// Messages on the ASIO driver's pipe are only told apart by their bytes and
// length; longer ones are measured, not kept.
constexpr std::size_t kAsioMessageCapacity = 64;

} // namespace

struct VirtualUnit::Impl {
    explicit Impl(const Options& options)
        : model(options)
        , server(kRequestCapacity,
                 [this](const unsigned char* data, std::size_t size) { return answer(data, size); })
        , asioServer(kAsioMessageCapacity, [this](const unsigned char* data, std::size_t size) {
            return takeAsioMessage(data, size);
        })
    {
        meters.setMoving(options.movingMeters);
    }

    std::vector<unsigned char> answer(const unsigned char* data, std::size_t size);
    std::vector<unsigned char> takeAsioMessage(const unsigned char* data, std::size_t size);
    std::uint32_t sendToPanel(const std::vector<unsigned char>& message, const std::string& asked);
    void record(const std::string& line); // appends to the trace, then tells the listener
    void tellListener(const std::string& line);
    double secondsSinceStart() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }

    // Guards everything the exchanges see: model, meters, faults, trace.
    mutable std::mutex mutex;
    UnitModel model;
    MeterGenerator meters;
    FaultPlan faults;
    TraceLog trace;
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

    // Held while the listener runs, so that once setTraceListener() returns
    // the previous listener is no longer being called.
    std::mutex listenerMutex;
    std::function<void(const std::string&)> listener;

    std::string plugError; // guarded by mutex

    // Serialises plug, unplug and bus changes; never taken on the server
    // thread, so that unplugging can wait for that thread.
    std::mutex plugMutex;
    std::atomic<bool> plugged{false};
    SeqpacketServer server;
    // The ASIO driver's reset pipe, served beside the device while plugged.
    SeqpacketServer asioServer;
};

std::vector<unsigned char> VirtualUnit::Impl::answer(const unsigned char* data, std::size_t size)
{
    std::vector<unsigned char> reply;
    std::string line;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const Request request = decodeRequest(data, size);
        const std::string asked = describeRequest(request, model.state().mixer);
        if (request.error != 0) {
            line = failedLine(asked, request.error, request.errorNote);
            reply = statusReply(request.error);
        } else if (const auto injected = faults.take(commandName(request.command))) {
            line = failedLine(asked, *injected, {});
            reply = statusReply(*injected);
        } else {
            const Outcome outcome = model.execute(request, meters, secondsSinceStart());
            line = outcome.result.empty() ? asked : asked + " -> " + outcome.result;
            reply = statusReply(platform::win32::kErrorSuccess);
            reply.insert(reply.end(), outcome.output.begin(), outcome.output.end());
        }
        trace.append(line);
    }
    tellListener(line);
    return reply;
}

std::vector<unsigned char> VirtualUnit::Impl::takeAsioMessage(const unsigned char* data,
                                                              std::size_t size)
{
    std::string line;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (size == 1 && data[0] == kAsioResetByte) {
            ++model.state().asioResets;
            line = "AsioReset";
        } else {
            ++model.state().asioOtherMessages;
            line = "AsioMessage " + std::to_string(size) + " bytes";
        }
        trace.append(line);
    }
    tellListener(line);
    return {}; // the panel only writes: no answer
}

std::uint32_t VirtualUnit::Impl::sendToPanel(const std::vector<unsigned char>& message,
                                             const std::string& asked)
{
    std::uint32_t error = platform::win32::kErrorSuccess;
    const platform::PipeHandle pipe = platform::openPipe(kPanelPipe);
    if (pipe == platform::kInvalidPipeHandle) {
        error = platform::lastError();
    } else {
        const unsigned char none = 0;
        if (!platform::writePipe(pipe, message.empty() ? &none : message.data(),
                                 static_cast<std::uint32_t>(message.size())))
            error = platform::lastError();
        platform::closePipe(pipe);
    }
    record(error == platform::win32::kErrorSuccess ? asked : failedLine(asked, error, {}));
    return error;
}

void VirtualUnit::Impl::record(const std::string& line)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        trace.append(line);
    }
    tellListener(line);
}

void VirtualUnit::Impl::tellListener(const std::string& line)
{
    std::lock_guard<std::mutex> lock(listenerMutex);
    if (listener)
        listener(line);
}

VirtualUnit::VirtualUnit(Options options)
    : d(std::make_unique<Impl>(options))
{
}

VirtualUnit::~VirtualUnit()
{
    unplug();
}

bool VirtualUnit::plug()
{
    std::lock_guard<std::mutex> plugLock(d->plugMutex);
    if (d->server.running())
        return true;
    int bus;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        bus = d->model.state().busIndex;
    }
    std::string error;
    if (bus < 0 || bus > kLastBusIndex)
        error = "bus index " + std::to_string(bus) + " is not 0.." + std::to_string(kLastBusIndex);
    else if (!platform::posix::ensureRuntimeDirectory())
        error = "no private directory of this user at " + platform::posix::runtimeDirectory();
    else if (d->server.start(platform::posix::endpointPath(busObjectName(bus)), &error)) {
        // Another unit's ASIO driver may serve the pipe already: it keeps it.
        std::string asioError;
        d->asioServer.start(platform::posix::endpointPath(kAsioResetPipe), &asioError);
    }
    d->plugged = d->server.running();
    std::lock_guard<std::mutex> lock(d->mutex);
    d->plugError = d->plugged ? std::string() : error;
    return d->plugged;
}

void VirtualUnit::unplug()
{
    std::lock_guard<std::mutex> plugLock(d->plugMutex);
    d->asioServer.stop();
    d->server.stop();
    d->plugged = false;
}

bool VirtualUnit::isPlugged() const
{
    return d->plugged;
}

std::string VirtualUnit::plugError() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->plugError;
}

std::string VirtualUnit::socketPath() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return platform::posix::endpointPath(busObjectName(d->model.state().busIndex));
}

int VirtualUnit::connectionCount() const
{
    return d->server.connectionCount();
}

void VirtualUnit::setProductId(std::uint32_t productId)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model.state().productId = productId;
}

void VirtualUnit::setFirmware(const std::string& firmware)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model.state().firmware = UnitModel::tenBytes(firmware);
}

bool VirtualUnit::setBusIndex(int index)
{
    std::lock_guard<std::mutex> plugLock(d->plugMutex);
    if (d->plugged || index < 0 || index > kLastBusIndex)
        return false;
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model.state().busIndex = index;
    return true;
}

void VirtualUnit::fail(const std::string& operation, int times, std::uint32_t error)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.arm(operation, times, error);
}

void VirtualUnit::heal(const std::string& operation)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.heal(operation);
}

std::vector<std::string> VirtualUnit::operationNames()
{
    std::vector<std::string> names;
    for (Command command : nameableCommands())
        names.emplace_back(commandName(command));
    return names;
}

std::vector<VirtualUnit::Fault> VirtualUnit::faults() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    std::vector<Fault> armed;
    for (const auto& [operation, fault] : d->faults.faults())
        armed.push_back({operation, fault.remaining, fault.error});
    return armed;
}

void VirtualUnit::setMovingMeters(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->meters.setMoving(on);
}

bool VirtualUnit::movingMeters() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->meters.moving();
}

void VirtualUnit::pinMeter(int entry, std::int32_t value)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (entry >= 0 && entry < kMeterEntries)
        d->meters.pin(entry, value);
}

void VirtualUnit::unpinMeter(int entry)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->meters.unpin(entry);
}

void VirtualUnit::unpinMeters()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->meters.unpinAll();
}

std::map<int, std::int32_t> VirtualUnit::pinnedMeters() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->meters.pinned();
}

void VirtualUnit::setUsbErrorCount(std::uint32_t count)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model.state().usbErrorCount = count;
}

UnitState VirtualUnit::state() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model.state();
}

std::vector<unsigned char> VirtualUnit::openWindowMessage(const AsioWords& words)
{
    std::vector<unsigned char> message(words.size() * 4);
    for (std::size_t i = 0; i < words.size(); ++i)
        platform::le::putU32(message.data() + 4 * i, words[i]);
    return message;
}

std::uint32_t VirtualUnit::sendOpenWindow(const AsioWords& words)
{
    std::string asked = "AsioOpenWindow";
    for (std::uint32_t word : words)
        asked += " " + std::to_string(word);
    return d->sendToPanel(openWindowMessage(words), asked);
}

std::uint32_t VirtualUnit::sendToPanel(const std::vector<unsigned char>& message)
{
    return d->sendToPanel(message, "AsioSend " + std::to_string(message.size()) + " bytes");
}

bool VirtualUnit::servesAsioPipe() const
{
    std::lock_guard<std::mutex> plugLock(d->plugMutex);
    return d->asioServer.running();
}

std::vector<std::string> VirtualUnit::trace() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->trace.lines();
}

std::vector<std::string> VirtualUnit::takeTrace()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->trace.take();
}

void VirtualUnit::clearTrace()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->trace.clear();
}

void VirtualUnit::setTraceListener(std::function<void(const std::string&)> listener)
{
    std::lock_guard<std::mutex> lock(d->listenerMutex);
    d->listener = std::move(listener);
}

} // namespace virtualunit
