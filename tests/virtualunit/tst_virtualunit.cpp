#include "console.h"
#include "platform/device_file.h"
#include "platform/message_pipe.h"
#include "platform/posix_endpoint.h"
#include "test_environment.h"
#include "virtual_unit.h"

#include <QFile>
#include <QTest>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using virtualunit::Options;
using virtualunit::UnitState;
using virtualunit::VirtualUnit;
using Bytes = QByteArray;
using PinMap = QMap<int, int>;

namespace {

constexpr std::uint32_t kGetSampleRate = 0xFFDC2020;
constexpr std::uint32_t kSetSampleRate = 0xFFDC2038;
constexpr std::uint32_t kWriteMixer = 0xFFDC2040;
constexpr std::uint32_t kSetBufferSize = 0xFFDC2044;
constexpr std::uint32_t kGetBufferSize = 0xFFDC2048;
constexpr std::uint32_t kGetUsbLatency = 0xFFDC204C;
constexpr std::uint32_t kSetUsbLatency = 0xFFDC2050;
constexpr std::uint32_t kReadMeters = 0xFFDC2074;
constexpr std::uint32_t kStopAudio = 0xFFDC2078;
constexpr std::uint32_t kInitAudio = 0xFFDC207C;
constexpr std::uint32_t kRestartAudio = 0xFFDC2080;
constexpr std::uint32_t kGetDevicePid = 0xFFDC2084;
constexpr std::uint32_t kSetWdmChannelCount = 0xFFDC2088;
constexpr std::uint32_t kEnableSlowMode = 0xFFDC2090;
constexpr std::uint32_t kDisableSlowMode = 0xFFDC2094;
constexpr std::uint32_t kVendorCommand = 0xFFDC209C;
constexpr std::uint32_t kVendorRead = 0xFFDC20A0;
constexpr std::uint32_t kGetUsbStatus = 0xFFDC20C0;

constexpr int kMixerBytes = 66304;
constexpr int kMeterBytes = 768;

std::wstring busName(int index)
{
    return L"\\\\.\\QuorlinAudioBus" + std::to_wstring(index);
}

QString busPath(int index)
{
    return QString::fromStdString(platform::posix::endpointPath(busName(index)));
}

Bytes u32(std::uint32_t value)
{
    Bytes bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::uint32_t readU32(const Bytes& bytes, int at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The 37-byte vendor packet as the driver link builds it.
Bytes vendorPacket(int code, int a = 0, int b = 0, int value = 0, int marker = 0x01)
{
    Bytes packet(37, '\0');
    packet[0] = static_cast<char>(marker);
    packet[1] = static_cast<char>(code);
    packet[3] = static_cast<char>(a);
    packet[4] = static_cast<char>(b);
    packet[5] = static_cast<char>(value & 0xFF);
    packet[6] = static_cast<char>((value >> 8) & 0xFF);
    return packet;
}

struct Cell {
    int row;
    int column;
    double value;
};

// "64,0=1;65,1=0.5" -> cells.
QList<Cell> parseCells(const QString& text)
{
    QList<Cell> cells;
    for (const QString& item : text.split(';', Qt::SkipEmptyParts)) {
        const QStringList sides = item.split('=');
        const QStringList place = sides[0].split(',');
        cells.append({place[0].toInt(), place[1].toInt(), sides[1].toDouble()});
    }
    return cells;
}

Bytes mixerBlock(const QList<Cell>& cells)
{
    Bytes block(kMixerBytes, '\0');
    for (const Cell& cell : cells) {
        std::uint64_t bits;
        std::memcpy(&bits, &cell.value, sizeof bits);
        const int at = (cell.row * 32 + cell.column) * 8;
        for (int i = 0; i < 8; ++i)
            block[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return block;
}

struct Answer {
    bool ok;
    std::uint32_t error;
    Bytes out;
};

// One open handle on the unit, through the same calls the driver link makes.
class Client {
public:
    explicit Client(int bus = 0)
        : m_handle(platform::openDevice(busName(bus)))
        , m_openError(m_handle == platform::kInvalidDeviceHandle ? platform::lastError() : 0)
    {
    }
    ~Client() { platform::closeDevice(m_handle); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool isOpen() const { return m_handle != platform::kInvalidDeviceHandle; }
    std::uint32_t openError() const { return m_openError; }

    Answer exchange(std::uint32_t code, const Bytes& in = {}, int outSize = 0)
    {
        Bytes out(outSize, '\x5A'); // not zero, so that zeros in a reply are the unit's
        const bool ok = platform::deviceControl(m_handle, code, in.isEmpty() ? nullptr : in.data(),
                                                static_cast<std::uint32_t>(in.size()),
                                                outSize ? out.data() : nullptr,
                                                static_cast<std::uint32_t>(outSize));
        return {ok, ok ? 0u : platform::lastError(), out};
    }

    std::uint32_t readU32Value(std::uint32_t code)
    {
        const Answer answer = exchange(code, {}, 4);
        return answer.ok ? readU32(answer.out, 0) : 0xFFFFFFFFu;
    }

private:
    platform::DeviceHandle m_handle;
    std::uint32_t m_openError;
};

std::unique_ptr<VirtualUnit> pluggedUnit(Options options = {})
{
    auto unit = std::make_unique<VirtualUnit>(options);
    if (!unit->plug())
        qWarning("plug failed: %s", unit->plugError().c_str());
    return unit;
}

QString lastLine(const VirtualUnit& unit)
{
    const auto lines = unit.trace();
    return lines.empty() ? QString() : QString::fromStdString(lines.back());
}

bool sameState(const UnitState& a, const UnitState& b)
{
    return a.productId == b.productId && a.firmware == b.firmware && a.busIndex == b.busIndex &&
           a.sampleRate == b.sampleRate && a.bufferSize == b.bufferSize &&
           a.usbLatency == b.usbLatency && a.slowMode == b.slowMode &&
           a.wdmChannelCount == b.wdmChannelCount && a.audioRunning == b.audioRunning &&
           a.otgOn == b.otgOn && a.usbErrorCount == b.usbErrorCount &&
           a.firmwareUpgrades == b.firmwareUpgrades && a.outVolume == b.outVolume &&
           a.micVolume == b.micVolume && a.mic20dB == b.mic20dB && a.mic48V == b.mic48V &&
           a.micInstrument == b.micInstrument && a.mixer == b.mixer &&
           a.mixerWritten == b.mixerWritten;
}

// A named field of the unit's state; channel fields take an index.
long long stateField(const UnitState& state, const QString& name, int index = 0)
{
    const auto at = static_cast<std::size_t>(index);
    if (name == "sampleRate")
        return state.sampleRate;
    if (name == "bufferSize")
        return state.bufferSize;
    if (name == "usbLatency")
        return state.usbLatency;
    if (name == "wdmChannelCount")
        return state.wdmChannelCount;
    if (name == "audioRunning")
        return state.audioRunning;
    if (name == "slowMode")
        return state.slowMode;
    if (name == "otgOn")
        return state.otgOn;
    if (name == "firmwareUpgrades")
        return state.firmwareUpgrades;
    if (name == "productId")
        return state.productId;
    if (name == "usbErrorCount")
        return state.usbErrorCount;
    if (name == "outVolume")
        return state.outVolume.at(at);
    if (name == "micVolume")
        return state.micVolume.at(at);
    if (name == "mic20dB")
        return state.mic20dB.at(at);
    if (name == "mic48V")
        return state.mic48V.at(at);
    if (name == "micInstrument")
        return state.micInstrument.at(at);
    qFatal("no state field %s", qPrintable(name));
}

// Writes one message to the ASIO driver's reset pipe, as the panel does.
std::uint32_t writeToAsio(const Bytes& message)
{
    const platform::PipeHandle pipe = platform::openPipe(virtualunit::kAsioResetPipe);
    if (pipe == platform::kInvalidPipeHandle)
        return platform::lastError();
    const bool written =
        platform::writePipe(pipe, message.constData(), static_cast<std::uint32_t>(message.size()));
    platform::closePipe(pipe);
    return written ? 0 : platform::lastError();
}

// The panel's end of its pipe: takes one client and returns its message (of
// at most 4096 bytes).
Bytes takePanelMessage(platform::PipeHandle server)
{
    if (!platform::waitForPipeClient(server))
        return "wait failed";
    Bytes buffer(4096, '\0');
    std::uint32_t received = 0;
    const bool ok = platform::readPipeMessage(server, buffer.data(), 4096, &received);
    platform::disconnectPipeClient(server);
    return ok ? buffer.left(static_cast<int>(received)) : Bytes("read failed");
}

QStringList asioLines(const VirtualUnit& unit)
{
    QStringList lines;
    for (const std::string& line : unit.trace()) {
        if (QString::fromStdString(line).startsWith("Asio"))
            lines << QString::fromStdString(line);
    }
    return lines;
}

double meterDb(const Bytes& block, int entry)
{
    return 20.0 * std::log10(std::fabs(static_cast<double>(
                                 static_cast<std::int32_t>(readU32(block, entry * 4)))) /
                             2147483647.0);
}

} // namespace

class TestVirtualUnit : public QObject {
    Q_OBJECT

    // Sockets of this test live in a private runtime directory.
    TestEnvironment env;

private slots:
    void sizes_data();
    void sizes();
    void malformedRequest();
    void productId_data();
    void productId();
    void settersStoreValues_data();
    void settersStoreValues();
    void audioSwitches_data();
    void audioSwitches();
    void vendorCommands_data();
    void vendorCommands();
    void vendorPacketWithoutMarkerIsRefused();
    void vendorReads_data();
    void vendorReads();
    void usbStatus_data();
    void usbStatus();
    void mixerDiff_data();
    void mixerDiff();
    void everyOperationCanFail_data();
    void everyOperationCanFail();
    void failureCounts_data();
    void failureCounts();
    void failedLines_data();
    void failedLines();
    void healing();
    void unplugDropsConnections();
    void staleSocketIsReplaced();
    void liveBusIsNotTaken();
    void busIndex_data();
    void busIndex();
    void manyConnections();
    void meters_data();
    void meters();
    void traceListener();
    void consoleCommands_data();
    void consoleCommands();
    void commandLine_data();
    void commandLine();
    void asioResetPipe_data();
    void asioResetPipe();
    void asioPipeFollowsPlug();
    void messagesToPanel_data();
    void messagesToPanel();
    void noPanelListening();
    void asioConsole_data();
    void asioConsole();
};

// Every code with the one size pair it accepts, and its neighbours.
void TestVirtualUnit::sizes_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<Bytes>("input");
    QTest::addColumn<int>("outSize");
    QTest::addColumn<quint32>("error");

    struct Code {
        const char* name;
        std::uint32_t code;
        int in;
        int out;
    };
    const Code codes[] = {
        {"GetSampleRate", kGetSampleRate, 0, 4},
        {"SetSampleRate", kSetSampleRate, 4, 0},
        {"WriteMixer", kWriteMixer, 66304, 0},
        {"SetBufferSize", kSetBufferSize, 4, 0},
        {"GetBufferSize", kGetBufferSize, 0, 4},
        {"GetUsbLatency", kGetUsbLatency, 0, 4},
        {"SetUsbLatency", kSetUsbLatency, 4, 0},
        {"ReadMeters", kReadMeters, 0, 768},
        {"StopAudio", kStopAudio, 0, 0},
        {"InitAudio", kInitAudio, 0, 0},
        {"RestartAudio", kRestartAudio, 0, 0},
        {"GetDevicePid", kGetDevicePid, 0, 4},
        {"SetWdmChannelCount", kSetWdmChannelCount, 4, 0},
        {"EnableUsbSlowMode", kEnableSlowMode, 0, 0},
        {"DisableUsbSlowMode", kDisableSlowMode, 0, 0},
        {"VendorCommand", kVendorCommand, 37, 0},
        {"VendorRead", kVendorRead, 37, 32},
        {"GetUsbStatus", kGetUsbStatus, 0, 7},
    };
    const auto input = [](int size) {
        return size == 37 ? vendorPacket(0x65) : Bytes(size, '\0');
    };
    for (const Code& c : codes) {
        QTest::addRow("%s valid", c.name) << c.code << input(c.in) << c.out << 0u;
        QTest::addRow("%s in+1", c.name) << c.code << Bytes(c.in + 1, '\0') << c.out << 87u;
        QTest::addRow("%s out+1", c.name) << c.code << input(c.in) << c.out + 1 << 87u;
        if (c.in > 0)
            QTest::addRow("%s in-1", c.name) << c.code << Bytes(c.in - 1, '\0') << c.out << 87u;
        if (c.out > 0)
            QTest::addRow("%s out-1", c.name) << c.code << input(c.in) << c.out - 1 << 87u;
    }
    QTest::newRow("WriteMixer far too long") << kWriteMixer << Bytes(70000, '\0') << 0 << 87u;
    QTest::newRow("unknown below") << 0xFFDC2000u << Bytes() << 0 << 1u;
    QTest::newRow("unknown between") << 0xFFDC2024u << Bytes() << 4 << 1u;
    QTest::newRow("unknown above") << 0xFFDC20C4u << Bytes(4, '\0') << 0 << 1u;
    QTest::newRow("other device type") << 0x00222084u << Bytes() << 4 << 1u;
}

void TestVirtualUnit::sizes()
{
    QFETCH(quint32, code);
    QFETCH(Bytes, input);
    QFETCH(int, outSize);
    QFETCH(quint32, error);

    auto unit = pluggedUnit();
    Client client;
    QVERIFY(client.isOpen());
    const Answer answer = client.exchange(code, input, outSize);
    QCOMPARE(answer.ok, error == 0);
    QCOMPARE(answer.error, error);
    if (error == 87)
        QVERIFY2(lastLine(*unit).endsWith(
                     QStringLiteral(" failed 87 (in %1 out %2)").arg(input.size()).arg(outSize)),
                 qPrintable(lastLine(*unit)));
    // A refused request leaves the connection usable.
    QCOMPARE(client.readU32Value(kGetDevicePid), 2u);
}

void TestVirtualUnit::malformedRequest()
{
    auto unit = pluggedUnit();
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(busPath(0));
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const char shortRequest[3] = {0x20, 0x20, static_cast<char>(0xDC)};
    QCOMPARE(send(fd, shortRequest, sizeof shortRequest, 0), ssize_t(3));
    unsigned char reply[16] = {};
    QCOMPARE(recv(fd, reply, sizeof reply, 0), ssize_t(4));
    close(fd);
    QCOMPARE(reply[0], 87);
    QCOMPARE(reply[1] | reply[2] | reply[3], 0);
    QCOMPARE(lastLine(*unit), QStringLiteral("Malformed request failed 87 (3 bytes)"));
}

void TestVirtualUnit::productId_data()
{
    QTest::addColumn<quint32>("productId");
    QTest::newRow("VT1") << 1u;
    QTest::newRow("VT2") << 2u;
    QTest::newRow("VR") << 15u;
    QTest::newRow("other") << 0x1234u;
}

void TestVirtualUnit::productId()
{
    QFETCH(quint32, productId);
    Options options;
    options.productId = productId;
    auto unit = pluggedUnit(options);
    Client client;
    QCOMPARE(client.readU32Value(kGetDevicePid), productId);
    QCOMPARE(lastLine(*unit), QStringLiteral("GetDevicePid -> %1").arg(productId));

    // A model change at run time shows in the next answer.
    unit->setProductId(productId + 1);
    QCOMPARE(client.readU32Value(kGetDevicePid), productId + 1);
}

void TestVirtualUnit::settersStoreValues_data()
{
    QTest::addColumn<quint32>("setCode");
    QTest::addColumn<quint32>("getCode"); // 0: no read-back code
    QTest::addColumn<QString>("field");
    QTest::addColumn<quint32>("initial");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("setLine");
    QTest::addColumn<QString>("getLine");

    QTest::newRow("sample rate") << kSetSampleRate << kGetSampleRate << "sampleRate" << 44100u
                                 << 48000u << "SetSampleRate 48000"
                                 << "GetSampleRate -> 48000";
    QTest::newRow("sample rate above 16 bits") << kSetSampleRate << kGetSampleRate << "sampleRate"
                                               << 44100u << 192000u << "SetSampleRate 192000"
                                               << "GetSampleRate -> 192000";
    QTest::newRow("buffer size") << kSetBufferSize << kGetBufferSize << "bufferSize" << 192u << 256u
                                 << "SetBufferSize 256"
                                 << "GetBufferSize -> 256";
    QTest::newRow("USB latency") << kSetUsbLatency << kGetUsbLatency << "usbLatency" << 8u << 16u
                                 << "SetUsbLatency 16"
                                 << "GetUsbLatency -> 16";
    QTest::newRow("WDM channels") << kSetWdmChannelCount << 0u << "wdmChannelCount" << 0u << 4u
                                  << "SetWdmChannelCount 4" << QString();
}

void TestVirtualUnit::settersStoreValues()
{
    QFETCH(quint32, setCode);
    QFETCH(quint32, getCode);
    QFETCH(QString, field);
    QFETCH(quint32, initial);
    QFETCH(quint32, value);
    QFETCH(QString, setLine);
    QFETCH(QString, getLine);

    auto unit = pluggedUnit();
    Client client;
    QCOMPARE(stateField(unit->state(), field), static_cast<long long>(initial));
    if (getCode)
        QCOMPARE(client.readU32Value(getCode), initial);

    QVERIFY(client.exchange(setCode, u32(value)).ok);
    QCOMPARE(lastLine(*unit), setLine);
    QCOMPARE(stateField(unit->state(), field), static_cast<long long>(value));
    if (getCode) {
        QCOMPARE(client.readU32Value(getCode), value);
        QCOMPARE(lastLine(*unit), getLine);
    }
}

void TestVirtualUnit::audioSwitches_data()
{
    QTest::addColumn<QList<quint32>>("codes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("audioRunning");
    QTest::addColumn<bool>("slowMode");

    QTest::newRow("initial") << QList<quint32>{} << QStringList{} << true << false;
    QTest::newRow("stop") << QList<quint32>{kStopAudio} << QStringList{"StopAudio"} << false
                          << false;
    QTest::newRow("stop, init") << QList<quint32>{kStopAudio, kInitAudio}
                                << QStringList{"StopAudio", "InitAudio"} << true << false;
    QTest::newRow("stop, restart") << QList<quint32>{kStopAudio, kRestartAudio}
                                   << QStringList{"StopAudio", "RestartAudio"} << true << false;
    QTest::newRow("slow mode on") << QList<quint32>{kEnableSlowMode}
                                  << QStringList{"EnableUsbSlowMode"} << true << true;
    QTest::newRow("slow mode on, off")
        << QList<quint32>{kEnableSlowMode, kDisableSlowMode}
        << QStringList{"EnableUsbSlowMode", "DisableUsbSlowMode"} << true << false;
}

void TestVirtualUnit::audioSwitches()
{
    QFETCH(QList<quint32>, codes);
    QFETCH(QStringList, lines);
    QFETCH(bool, audioRunning);
    QFETCH(bool, slowMode);

    auto unit = pluggedUnit();
    Client client;
    for (quint32 code : codes)
        QVERIFY(client.exchange(code).ok);
    QStringList trace;
    for (const std::string& line : unit->trace())
        trace << QString::fromStdString(line);
    QCOMPARE(trace, lines);
    QCOMPARE(unit->state().audioRunning, audioRunning);
    QCOMPARE(unit->state().slowMode, slowMode);
}

void TestVirtualUnit::vendorCommands_data()
{
    QTest::addColumn<Bytes>("packet");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("field"); // empty: no state changes
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");

    QTest::newRow("out volume") << vendorPacket(0x03, 2, 1, 100)
                                << "SetOutVolume channel=1 value=100"
                                << "outVolume" << 1 << 100;
    QTest::newRow("mic volume, both value bytes")
        << vendorPacket(0x07, 2, 1, 0x1234) << "SetMicVolume channel=1 value=4660"
        << "micVolume" << 1 << 0x1234;
    QTest::newRow("20 dB pad") << vendorPacket(0x5A, 1, 1) << "SetMic20dB channel=1 state=1"
                               << "mic20dB" << 1 << 1;
    QTest::newRow("48 V off, channel 2")
        << vendorPacket(0x5B, 0, 2) << "SetMic48V channel=2 state=0"
        << "mic48V" << 2 << 0;
    QTest::newRow("48 V on") << vendorPacket(0x5B, 1, 1) << "SetMic48V channel=1 state=1"
                             << "mic48V" << 1 << 1;
    QTest::newRow("instrument") << vendorPacket(0x64, 1, 1)
                                << "SwitchMicInstrument channel=1 state=1"
                                << "micInstrument" << 1 << 1;
    QTest::newRow("OTG off") << vendorPacket(0x5E) << "SetOtgOff"
                             << "otgOn" << 0 << 0;
    QTest::newRow("OTG on") << vendorPacket(0x5F) << "SetOtgOn"
                            << "otgOn" << 0 << 1;
    QTest::newRow("upgrade") << vendorPacket(0x60) << "UpgradeFirmware"
                             << "firmwareUpgrades" << 0 << 1;
    QTest::newRow("unknown command")
        << vendorPacket(0x42) << "VendorCommand code=0x42 a=0 b=0 value=0" << QString() << 0 << 0;
    QTest::newRow("unknown command with arguments")
        << vendorPacket(0xA7, 3, 9, 513) << "VendorCommand code=0xa7 a=3 b=9 value=513" << QString()
        << 0 << 0;
}

void TestVirtualUnit::vendorCommands()
{
    QFETCH(Bytes, packet);
    QFETCH(QString, line);
    QFETCH(QString, field);
    QFETCH(int, index);
    QFETCH(int, expected);

    auto unit = pluggedUnit();
    Client client;
    // Start from OTG off so that switching it on is a change too.
    if (packet[1] == '\x5F')
        QVERIFY(client.exchange(kVendorCommand, vendorPacket(0x5E)).ok);
    const UnitState before = unit->state();

    QVERIFY(client.exchange(kVendorCommand, packet).ok);
    QCOMPARE(lastLine(*unit), line);
    const UnitState after = unit->state();
    if (field.isEmpty()) {
        QVERIFY(sameState(before, after));
    } else {
        QVERIFY(stateField(before, field, index) != expected);
        QCOMPARE(stateField(after, field, index), static_cast<long long>(expected));
    }
}

void TestVirtualUnit::vendorPacketWithoutMarkerIsRefused()
{
    auto unit = pluggedUnit();
    Client client;
    const UnitState before = unit->state();
    const Answer answer = client.exchange(kVendorCommand, vendorPacket(0x5B, 1, 1, 0, 0x00));
    QVERIFY(!answer.ok);
    QCOMPARE(answer.error, 87u);
    QVERIFY(sameState(before, unit->state()));
    QVERIFY(lastLine(*unit).startsWith("SetMic48V channel=1 state=1 failed 87"));
}

void TestVirtualUnit::vendorReads_data()
{
    QTest::addColumn<QByteArray>("firmware"); // as given to the unit
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("reply"); // first bytes; the rest of the 32 are zero
    QTest::addColumn<QString>("line");

    QTest::newRow("default firmware")
        << QByteArray() << 0x65 << QByteArray("V1.0.3-abc") << "GetFirmwareVersion -> V1.0.3-abc";
    QTest::newRow("zero byte inside") << QByteArray("V2\0"
                                                    "4.5-xyz",
                                                    10)
                                      << 0x65
                                      << QByteArray("V2\0"
                                                    "4.5-xyz",
                                                    10)
                                      << "GetFirmwareVersion -> V2\\x004.5-xyz";
    QTest::newRow("short, padded")
        << QByteArray("V3") << 0x65 << QByteArray("V3", 2)
        << "GetFirmwareVersion -> V3\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00";
    QTest::newRow("long, cut") << QByteArray("V1.2.3-abcdef") << 0x65 << QByteArray("V1.2.3-abc")
                               << "GetFirmwareVersion -> V1.2.3-abc";
    QTest::newRow("other read") << QByteArray() << 0x42 << QByteArray() << "VendorRead code=0x42";
}

void TestVirtualUnit::vendorReads()
{
    QFETCH(QByteArray, firmware);
    QFETCH(int, command);
    QFETCH(QByteArray, reply);
    QFETCH(QString, line);

    auto unit = pluggedUnit();
    if (!firmware.isNull())
        unit->setFirmware(firmware.toStdString());
    Client client;
    const Answer answer = client.exchange(kVendorRead, vendorPacket(command), 32);
    QVERIFY(answer.ok);
    QCOMPARE(answer.out.size(), 32);
    QCOMPARE(answer.out.left(reply.size()), reply);
    QCOMPARE(answer.out.mid(reply.size()), QByteArray(32 - reply.size(), '\0'));
    QCOMPARE(lastLine(*unit), line);
}

void TestVirtualUnit::usbStatus_data()
{
    QTest::addColumn<quint32>("errors");
    QTest::newRow("none") << 0u;
    QTest::newRow("five") << 5u;
    QTest::newRow("every byte") << 0x04030201u;
}

void TestVirtualUnit::usbStatus()
{
    QFETCH(quint32, errors);
    auto unit = pluggedUnit();
    unit->setUsbErrorCount(errors);
    Client client;
    const Answer answer = client.exchange(kGetUsbStatus, {}, 7);
    QVERIFY(answer.ok);
    QCOMPARE(answer.out.left(3), QByteArray(3, '\0'));
    QCOMPARE(readU32(answer.out, 3), errors);
    QCOMPARE(lastLine(*unit), QStringLiteral("GetUsbStatus -> errors=%1").arg(errors));
}

void TestVirtualUnit::mixerDiff_data()
{
    QTest::addColumn<QString>("first");  // cells of the first block
    QTest::addColumn<QString>("second"); // cells of the second block
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("secondLine");

    QTest::newRow("two cells, then the same") << "64,0=1;65,1=1"
                                              << "64,0=1;65,1=1"
                                              << "WriteMixer (64,0)=1 (65,1)=1"
                                              << "WriteMixer (no change)";
    QTest::newRow("all zeros first") << ""
                                     << "256,4=0.5"
                                     << "WriteMixer (no change)"
                                     << "WriteMixer (256,4)=0.5";
    QTest::newRow("row-major order") << "258,31=2;0,0=0.25;64,2=1"
                                     << "258,31=2;64,2=1"
                                     << "WriteMixer (0,0)=0.25 (64,2)=1 (258,31)=2"
                                     << "WriteMixer (0,0)=0";
    QTest::newRow("six significant digits") << "256,0=1.99526231496888"
                                            << "256,0=0.000123456789"
                                            << "WriteMixer (256,0)=1.99526"
                                            << "WriteMixer (256,0)=0.000123457";
    QTest::newRow("neighbouring columns") << "68,2=1"
                                          << "68,3=1"
                                          << "WriteMixer (68,2)=1"
                                          << "WriteMixer (68,2)=0 (68,3)=1";
}

void TestVirtualUnit::mixerDiff()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, firstLine);
    QFETCH(QString, secondLine);

    auto unit = pluggedUnit();
    Client client;
    QVERIFY(!unit->state().mixerWritten);
    QVERIFY(client.exchange(kWriteMixer, mixerBlock(parseCells(first))).ok);
    QCOMPARE(lastLine(*unit), firstLine);
    QVERIFY(client.exchange(kWriteMixer, mixerBlock(parseCells(second))).ok);
    QCOMPARE(lastLine(*unit), secondLine);

    const UnitState state = unit->state();
    QVERIFY(state.mixerWritten);
    const QList<Cell> cells = parseCells(second);
    int nonZero = 0;
    for (double cell : state.mixer)
        nonZero += cell != 0.0;
    QCOMPARE(nonZero, static_cast<int>(cells.size()));
    for (const Cell& cell : cells)
        QCOMPARE(state.cell(cell.row, cell.column), cell.value);
}

// Each nameable operation with a request that reaches it.
void TestVirtualUnit::everyOperationCanFail_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<Bytes>("input");
    QTest::addColumn<int>("outSize");

    QTest::newRow("GetSampleRate") << "GetSampleRate" << kGetSampleRate << Bytes() << 4;
    QTest::newRow("SetSampleRate") << "SetSampleRate" << kSetSampleRate << u32(48000) << 0;
    QTest::newRow("WriteMixer") << "WriteMixer" << kWriteMixer << mixerBlock(parseCells("64,0=1"))
                                << 0;
    QTest::newRow("SetBufferSize") << "SetBufferSize" << kSetBufferSize << u32(64) << 0;
    QTest::newRow("GetBufferSize") << "GetBufferSize" << kGetBufferSize << Bytes() << 4;
    QTest::newRow("GetUsbLatency") << "GetUsbLatency" << kGetUsbLatency << Bytes() << 4;
    QTest::newRow("SetUsbLatency") << "SetUsbLatency" << kSetUsbLatency << u32(4) << 0;
    QTest::newRow("ReadMeters") << "ReadMeters" << kReadMeters << Bytes() << 768;
    QTest::newRow("StopAudio") << "StopAudio" << kStopAudio << Bytes() << 0;
    QTest::newRow("InitAudio") << "InitAudio" << kInitAudio << Bytes() << 0;
    QTest::newRow("RestartAudio") << "RestartAudio" << kRestartAudio << Bytes() << 0;
    QTest::newRow("GetDevicePid") << "GetDevicePid" << kGetDevicePid << Bytes() << 4;
    QTest::newRow("SetWdmChannelCount")
        << "SetWdmChannelCount" << kSetWdmChannelCount << u32(4) << 0;
    QTest::newRow("EnableUsbSlowMode") << "EnableUsbSlowMode" << kEnableSlowMode << Bytes() << 0;
    QTest::newRow("DisableUsbSlowMode") << "DisableUsbSlowMode" << kDisableSlowMode << Bytes() << 0;
    QTest::newRow("SetOutVolume") << "SetOutVolume" << kVendorCommand
                                  << vendorPacket(0x03, 2, 1, 50) << 0;
    QTest::newRow("SetMicVolume") << "SetMicVolume" << kVendorCommand
                                  << vendorPacket(0x07, 2, 1, 50) << 0;
    QTest::newRow("SetMic20dB") << "SetMic20dB" << kVendorCommand << vendorPacket(0x5A, 1, 1) << 0;
    QTest::newRow("SetMic48V") << "SetMic48V" << kVendorCommand << vendorPacket(0x5B, 1, 1) << 0;
    QTest::newRow("SetOtgOff") << "SetOtgOff" << kVendorCommand << vendorPacket(0x5E) << 0;
    QTest::newRow("SetOtgOn") << "SetOtgOn" << kVendorCommand << vendorPacket(0x5F) << 0;
    QTest::newRow("UpgradeFirmware")
        << "UpgradeFirmware" << kVendorCommand << vendorPacket(0x60) << 0;
    QTest::newRow("SwitchMicInstrument")
        << "SwitchMicInstrument" << kVendorCommand << vendorPacket(0x64, 1, 1) << 0;
    QTest::newRow("VendorCommand") << "VendorCommand" << kVendorCommand << vendorPacket(0x42) << 0;
    QTest::newRow("GetFirmwareVersion")
        << "GetFirmwareVersion" << kVendorRead << vendorPacket(0x65) << 32;
    QTest::newRow("VendorRead") << "VendorRead" << kVendorRead << vendorPacket(0x42) << 32;
    QTest::newRow("GetUsbStatus") << "GetUsbStatus" << kGetUsbStatus << Bytes() << 7;
}

void TestVirtualUnit::everyOperationCanFail()
{
    QFETCH(QString, operation);
    QFETCH(quint32, code);
    QFETCH(Bytes, input);
    QFETCH(int, outSize);

    const auto names = VirtualUnit::operationNames();
    QVERIFY(std::find(names.begin(), names.end(), operation.toStdString()) != names.end());

    auto unit = pluggedUnit();
    Client client;
    unit->fail(operation.toStdString(), 1, 1167);
    const UnitState before = unit->state();

    const Answer failed = client.exchange(code, input, outSize);
    QVERIFY(!failed.ok);
    QCOMPARE(failed.error, 1167u);
    QVERIFY(sameState(before, unit->state()));
    QVERIFY2(lastLine(*unit).startsWith(operation) && lastLine(*unit).endsWith(" failed 1167"),
             qPrintable(lastLine(*unit)));
    QVERIFY(!lastLine(*unit).contains(" -> "));

    const Answer next = client.exchange(code, input, outSize);
    QVERIFY(next.ok);
    QVERIFY(lastLine(*unit).startsWith(operation));
    QVERIFY(!lastLine(*unit).contains(" failed "));
}

void TestVirtualUnit::failureCounts_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("times");
    QTest::addColumn<quint32>("error");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<Bytes>("input");
    QTest::addColumn<QString>("outcomes"); // F failed, o answered, one letter per exchange

    QTest::newRow("once") << "SetSampleRate" << 1 << 31u << kSetSampleRate << u32(48000) << "Foo";
    QTest::newRow("three times") << "SetMic48V" << 3 << 5u << kVendorCommand
                                 << vendorPacket(0x5B, 1, 1) << "FFFoo";
    QTest::newRow("until healed") << "StopAudio" << VirtualUnit::kUntilHealed << 1167u << kStopAudio
                                  << Bytes() << "FFFFFF";
    QTest::newRow("zero times arms nothing")
        << "StopAudio" << 0 << 31u << kStopAudio << Bytes() << "oo";
    // Both travel on the vendor command code; only the named one fails.
    QTest::newRow("another vendor command")
        << "SetMic48V" << 2 << 31u << kVendorCommand << vendorPacket(0x5A, 1, 1) << "oo";
    QTest::newRow("another code") << "GetDevicePid" << 2 << 31u << kGetSampleRate << Bytes()
                                  << "oo";
    QTest::newRow("error zero still fails")
        << "InitAudio" << 1 << 0u << kInitAudio << Bytes() << "Fo";
}

void TestVirtualUnit::failureCounts()
{
    QFETCH(QString, operation);
    QFETCH(int, times);
    QFETCH(quint32, error);
    QFETCH(quint32, code);
    QFETCH(Bytes, input);
    QFETCH(QString, outcomes);

    auto unit = pluggedUnit();
    Client client;
    unit->fail(operation.toStdString(), times, error);
    const int outSize = code == kGetSampleRate ? 4 : 0;
    QString seen;
    for (int i = 0; i < outcomes.size(); ++i) {
        const Answer answer = client.exchange(code, input, outSize);
        seen += answer.ok ? 'o' : 'F';
        if (!answer.ok && error != 0)
            QCOMPARE(answer.error, error);
        if (!answer.ok && error == 0)
            QVERIFY(answer.error != 0);
    }
    QCOMPARE(seen, outcomes);
}

void TestVirtualUnit::failedLines_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<Bytes>("input");
    QTest::addColumn<int>("outSize");
    QTest::addColumn<QString>("line");

    QTest::newRow("vendor command") << "SetMic48V" << kVendorCommand << vendorPacket(0x5B, 1, 1)
                                    << 0 << "SetMic48V channel=1 state=1 failed 31";
    QTest::newRow("read") << "GetDevicePid" << kGetDevicePid << Bytes() << 4
                          << "GetDevicePid failed 31";
    QTest::newRow("setter") << "SetBufferSize" << kSetBufferSize << u32(512) << 0
                            << "SetBufferSize 512 failed 31";
    QTest::newRow("firmware") << "GetFirmwareVersion" << kVendorRead << vendorPacket(0x65) << 32
                              << "GetFirmwareVersion failed 31";
    QTest::newRow("mixer") << "WriteMixer" << kWriteMixer << mixerBlock(parseCells("64,0=1")) << 0
                           << "WriteMixer (64,0)=1 failed 31";
}

void TestVirtualUnit::failedLines()
{
    QFETCH(QString, operation);
    QFETCH(quint32, code);
    QFETCH(Bytes, input);
    QFETCH(int, outSize);
    QFETCH(QString, line);

    auto unit = pluggedUnit();
    Client client;
    unit->fail(operation.toStdString());
    QVERIFY(!client.exchange(code, input, outSize).ok);
    QCOMPARE(lastLine(*unit), line);
}

void TestVirtualUnit::healing()
{
    auto unit = pluggedUnit();
    Client client;
    unit->fail("GetDevicePid", VirtualUnit::kUntilHealed);
    unit->fail("GetSampleRate", VirtualUnit::kUntilHealed);
    QVERIFY(!client.exchange(kGetDevicePid, {}, 4).ok);
    QVERIFY(!client.exchange(kGetSampleRate, {}, 4).ok);

    unit->heal("GetDevicePid");
    QVERIFY(client.exchange(kGetDevicePid, {}, 4).ok);
    QVERIFY(!client.exchange(kGetSampleRate, {}, 4).ok);

    unit->heal();
    QVERIFY(client.exchange(kGetSampleRate, {}, 4).ok);
    QVERIFY(unit->faults().empty());

    // A failed WriteMixer keeps the previous block: the next diff is against it.
    QVERIFY(client.exchange(kWriteMixer, mixerBlock(parseCells("64,0=1"))).ok);
    unit->fail("WriteMixer");
    QVERIFY(!client.exchange(kWriteMixer, mixerBlock(parseCells("64,0=1;65,1=1"))).ok);
    QCOMPARE(unit->state().cell(65, 1), 0.0);
    QVERIFY(client.exchange(kWriteMixer, mixerBlock(parseCells("64,0=1;65,1=1"))).ok);
    QCOMPARE(lastLine(*unit), QStringLiteral("WriteMixer (65,1)=1"));
}

void TestVirtualUnit::unplugDropsConnections()
{
    auto unit = pluggedUnit();
    Client held;
    QCOMPARE(held.readU32Value(kGetDevicePid), 2u);
    QVERIFY(QFile::exists(busPath(0)));

    unit->unplug();
    QVERIFY(!unit->isPlugged());
    QVERIFY(!QFile::exists(busPath(0)));
    const Answer dropped = held.exchange(kGetDevicePid, {}, 4);
    QVERIFY(!dropped.ok);
    QVERIFY2(dropped.error == 1167 || dropped.error == 2,
             qPrintable(QString::number(dropped.error)));
    Client late;
    QVERIFY(!late.isOpen());
    QCOMPARE(late.openError(), 2u);

    // Plugged in again: new handles work, the old one stays dead.
    QVERIFY(unit->plug());
    Client fresh;
    QVERIFY(fresh.isOpen());
    QCOMPARE(fresh.readU32Value(kGetDevicePid), 2u);
    QVERIFY(!held.exchange(kGetDevicePid, {}, 4).ok);

    // Destroying a plugged unit unplugs it.
    unit.reset();
    QVERIFY(!QFile::exists(busPath(0)));
    QVERIFY(!fresh.exchange(kGetDevicePid, {}, 4).ok);
}

void TestVirtualUnit::staleSocketIsReplaced()
{
    // A socket file whose server is gone, as a crashed unit leaves it.
    const QByteArray path = QFile::encodeName(busPath(0));
    QVERIFY(platform::posix::ensureRuntimeDirectory());
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
    QVERIFY(QFile::exists(busPath(0)));
    QCOMPARE(Client().openError(), 2u);

    auto unit = pluggedUnit();
    QVERIFY(unit->isPlugged());
    QCOMPARE(Client().readU32Value(kGetDevicePid), 2u);
}

void TestVirtualUnit::liveBusIsNotTaken()
{
    Options vr;
    vr.productId = 15;
    auto first = pluggedUnit(vr);
    VirtualUnit second;
    QVERIFY(!second.plug());
    QVERIFY(!second.plugError().empty());
    QCOMPARE(Client().readU32Value(kGetDevicePid), 15u);

    // The second unit's failed plug did not remove the first one's socket,
    // and once the first is gone the bus is free.
    first->unplug();
    QVERIFY(second.plug());
    QCOMPARE(Client().readU32Value(kGetDevicePid), 2u);
}

void TestVirtualUnit::busIndex_data()
{
    QTest::addColumn<int>("bus");
    QTest::newRow("0") << 0;
    QTest::newRow("3") << 3;
    QTest::newRow("10, a two-digit name") << 10;
    QTest::newRow("15") << 15;
}

void TestVirtualUnit::busIndex()
{
    QFETCH(int, bus);
    Options options;
    options.busIndex = bus;
    auto unit = pluggedUnit(options);
    for (int other = 0; other < 16; ++other) {
        Client client(other);
        QCOMPARE(client.isOpen(), other == bus);
        if (other == bus)
            QCOMPARE(client.readU32Value(kGetDevicePid), 2u);
        else
            QCOMPARE(client.openError(), 2u);
    }
    QCOMPARE(QString::fromStdString(unit->socketPath()), busPath(bus));

    // The bus changes only while unplugged, and only to 0..15.
    QVERIFY(!unit->setBusIndex((bus + 1) % 16));
    unit->unplug();
    QVERIFY(!unit->setBusIndex(16));
    QVERIFY(!unit->setBusIndex(-1));
    QVERIFY(unit->setBusIndex((bus + 1) % 16));
    QVERIFY(unit->plug());
    QVERIFY(!Client(bus).isOpen());
    QVERIFY(Client((bus + 1) % 16).isOpen());
}

void TestVirtualUnit::manyConnections()
{
    auto unit = pluggedUnit();
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 8; ++i) {
        clients.push_back(std::make_unique<Client>());
        QVERIFY(clients.back()->isOpen());
    }
    // Interleaved exchanges: each connection gets its own answers.
    for (int i = 0; i < 8; ++i)
        QVERIFY(clients[static_cast<std::size_t>(i)]->exchange(kSetBufferSize, u32(64 + i)).ok);
    for (int i = 7; i >= 0; --i)
        QCOMPARE(clients[static_cast<std::size_t>(i)]->readU32Value(kGetBufferSize), 71u);
    // One connection closing leaves the others served.
    clients[3].reset();
    QCOMPARE(clients[4]->readU32Value(kGetDevicePid), 2u);
}

void TestVirtualUnit::meters_data()
{
    QTest::addColumn<bool>("moving");
    QTest::addColumn<PinMap>("pinned");

    QTest::newRow("moving") << true << QMap<int, int>{};
    QTest::newRow("still") << false << QMap<int, int>{};
    QTest::newRow("moving, pinned elsewhere") << true << QMap<int, int>{{10, 1000}, {191, -5}};
    QTest::newRow("moving, pinned over a live entry") << true << QMap<int, int>{{1, 214748365}};
    QTest::newRow("still, pinned")
        << false << QMap<int, int>{{0, 2147483647}, {3, -2147483647 - 1}};
}

void TestVirtualUnit::meters()
{
    QFETCH(bool, moving);
    QFETCH(PinMap, pinned);

    Options options;
    options.movingMeters = moving;
    auto unit = pluggedUnit(options);
    for (auto it = pinned.cbegin(); it != pinned.cend(); ++it)
        unit->pinMeter(it.key(), it.value());
    Client client;
    const Answer first = client.exchange(kReadMeters, {}, kMeterBytes);
    const Answer second = client.exchange(kReadMeters, {}, kMeterBytes);
    QVERIFY(first.ok && second.ok);
    QCOMPARE(lastLine(*unit), QStringLiteral("ReadMeters"));

    for (int entry = 0; entry < 192; ++entry) {
        const auto a = static_cast<std::int32_t>(readU32(first.out, entry * 4));
        const auto b = static_cast<std::int32_t>(readU32(second.out, entry * 4));
        if (pinned.contains(entry)) {
            QCOMPARE(a, pinned.value(entry));
            QCOMPARE(b, pinned.value(entry));
        } else if (moving && entry < 4) {
            QVERIFY2(a != b, qPrintable(QStringLiteral("entry %1 did not move").arg(entry)));
            for (const Bytes& block : {first.out, second.out}) {
                const double db = meterDb(block, entry);
                QVERIFY2(db > -40.0 && db < -6.0, qPrintable(QString::number(db)));
            }
        } else {
            QCOMPARE(a, 0);
            QCOMPARE(b, 0);
        }
    }

    // Unpinned, an entry goes back to what it would read otherwise.
    unit->unpinMeters();
    const Answer third = client.exchange(kReadMeters, {}, kMeterBytes);
    for (auto it = pinned.cbegin(); it != pinned.cend(); ++it) {
        if (!moving || it.key() >= 4)
            QCOMPARE(readU32(third.out, it.key() * 4), 0u);
    }
}

void TestVirtualUnit::traceListener()
{
    auto unit = pluggedUnit();
    std::vector<std::string> heard;
    std::mutex heardMutex;
    unit->setTraceListener([&](const std::string& line) {
        std::lock_guard<std::mutex> lock(heardMutex);
        heard.push_back(line);
    });
    Client client;
    QVERIFY(client.exchange(kSetUsbLatency, u32(16)).ok);
    QVERIFY(client.exchange(kStopAudio).ok);
    unit->setTraceListener(nullptr);
    QVERIFY(client.exchange(kInitAudio).ok);
    {
        std::lock_guard<std::mutex> lock(heardMutex);
        QCOMPARE(heard, (std::vector<std::string>{"SetUsbLatency 16", "StopAudio"}));
    }
    QCOMPARE(unit->takeTrace(),
             (std::vector<std::string>{"SetUsbLatency 16", "StopAudio", "InitAudio"}));
    QVERIFY(unit->trace().empty());
}

// Console commands and what they leave in the unit.
void TestVirtualUnit::consoleCommands_data()
{
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("field");
    QTest::addColumn<long long>("expected");

    QTest::newRow("model vr") << QStringList{"model vr"} << "productId" << 15LL;
    QTest::newRow("model VT1") << QStringList{"model VT1"} << "productId" << 1LL;
    QTest::newRow("model by id") << QStringList{"model 77"} << "productId" << 77LL;
    QTest::newRow("bad model keeps") << QStringList{"model vt9"} << "productId" << 2LL;
    QTest::newRow("errors") << QStringList{"errors 12"} << "usbErrorCount" << 12LL;
    QTest::newRow("pin -20 dB") << QStringList{"level 0 -20dB"} << "pin0" << 214748365LL;
    QTest::newRow("pin 0 dBFS") << QStringList{"level 0 0dBFS"} << "pin0" << 2147483647LL;
    QTest::newRow("pin raw") << QStringList{"level 0 -12345"} << "pin0" << -12345LL;
    QTest::newRow("pin, unpin") << QStringList{"level 0 5", "level 0 off"} << "pinned" << 0LL;
    QTest::newRow("entry out of range") << QStringList{"level 192 5"} << "pinned" << 0LL;
    QTest::newRow("moving off") << QStringList{"moving off"} << "moving" << 0LL;
    QTest::newRow("fail twice") << QStringList{"fail setmic48v 2 1167"} << "faultMic48V"
                                << 2LL * 100000 + 1167;
    QTest::newRow("fail forever") << QStringList{"fail GetDevicePid forever"} << "faultPid"
                                  << -1LL * 100000 + 31;
    QTest::newRow("fail, heal") << QStringList{"fail GetDevicePid", "heal GetDevicePid"} << "faults"
                                << 0LL;
    QTest::newRow("fail unknown") << QStringList{"fail Nonsense"} << "faults" << 0LL;
    QTest::newRow("unplug") << QStringList{"unplug"} << "plugged" << 0LL;
    QTest::newRow("unplug, plug") << QStringList{"unplug", "plug"} << "plugged" << 1LL;
}

void TestVirtualUnit::consoleCommands()
{
    QFETCH(QStringList, commands);
    QFETCH(QString, field);
    QFETCH(long long, expected);

    auto unit = pluggedUnit();
    virtualunit::Console console(*unit, false);
    for (const QString& command : commands) {
        const auto result = console.execute(command.toStdString());
        QVERIFY(!result.quit);
        QVERIFY(!result.output.empty());
    }

    const auto faultCode = [&](const std::string& operation) {
        for (const auto& fault : unit->faults()) {
            if (fault.operation == operation)
                return fault.remaining * 100000LL + fault.error;
        }
        return 0LL;
    };
    long long actual = 0;
    if (field == "pin0")
        actual = unit->pinnedMeters().at(0);
    else if (field == "pinned")
        actual = static_cast<long long>(unit->pinnedMeters().size());
    else if (field == "moving")
        actual = unit->movingMeters();
    else if (field == "faultMic48V")
        actual = faultCode("SetMic48V");
    else if (field == "faultPid")
        actual = faultCode("GetDevicePid");
    else if (field == "faults")
        actual = static_cast<long long>(unit->faults().size());
    else if (field == "plugged")
        actual = unit->isPlugged() && Client().isOpen();
    else
        actual = stateField(unit->state(), field);
    QCOMPARE(actual, expected);
}

void TestVirtualUnit::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<quint32>("productId");
    QTest::addColumn<int>("bus");
    QTest::addColumn<bool>("moving");
    QTest::addColumn<bool>("quiet");

    QTest::newRow("defaults") << QStringList{} << true << 2u << 0 << true << false;
    QTest::newRow("vr on bus 3") << QStringList{"--model", "vr", "--bus", "3"} << true << 15u << 3
                                 << true << false;
    QTest::newRow("product id, still, quiet")
        << QStringList{"--model", "0x20", "--still", "--quiet"} << true << 32u << 0 << false
        << true;
    QTest::newRow("bus 16") << QStringList{"--bus", "16"} << false << 2u << 0 << true << false;
    QTest::newRow("bus missing") << QStringList{"--bus"} << false << 2u << 0 << true << false;
    QTest::newRow("bad model") << QStringList{"--model", "vt3"} << false << 2u << 0 << true
                               << false;
    QTest::newRow("unknown option") << QStringList{"--loud"} << false << 2u << 0 << true << false;
}

void TestVirtualUnit::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QFETCH(quint32, productId);
    QFETCH(int, bus);
    QFETCH(bool, moving);
    QFETCH(bool, quiet);

    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(argument.toStdString());
    virtualunit::ConsoleOptions options;
    std::string error;
    QCOMPARE(virtualunit::parseCommandLine(args, &options, &error), accepted);
    QCOMPARE(error.empty(), accepted);
    if (!accepted)
        return;
    QCOMPARE(options.unit.productId, productId);
    QCOMPARE(options.unit.busIndex, bus);
    QCOMPARE(options.unit.movingMeters, moving);
    QCOMPARE(options.quiet, quiet);
}

// What the ASIO driver makes of what the panel writes to its reset pipe.
void TestVirtualUnit::asioResetPipe_data()
{
    QTest::addColumn<QList<Bytes>>("messages");
    QTest::addColumn<uint>("resets");
    QTest::addColumn<uint>("others");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("one reset") << QList<Bytes>{"1"} << 1u << 0u << QStringList{"AsioReset"};
    QTest::newRow("three presses of OK") << QList<Bytes>{"1", "1", "1"} << 3u << 0u
                                         << QStringList{"AsioReset", "AsioReset", "AsioReset"};
    QTest::newRow("another byte") << QList<Bytes>{"2"} << 0u << 1u
                                  << QStringList{"AsioMessage 1 bytes"};
    QTest::newRow("the reset byte twice in one message")
        << QList<Bytes>{"11"} << 0u << 1u << QStringList{"AsioMessage 2 bytes"};
    QTest::newRow("2000 bytes, then a reset") << QList<Bytes>{Bytes(2000, '1'), "1"} << 1u << 1u
                                              << QStringList{"AsioMessage 2000 bytes", "AsioReset"};
}

void TestVirtualUnit::asioResetPipe()
{
    QFETCH(QList<Bytes>, messages);
    QFETCH(uint, resets);
    QFETCH(uint, others);
    QFETCH(QStringList, lines);

    auto unit = pluggedUnit();
    QVERIFY(unit->servesAsioPipe());
    for (const Bytes& message : messages) {
        // One at a time, so that the trace keeps their order.
        const int before = static_cast<int>(asioLines(*unit).size());
        QCOMPARE(writeToAsio(message), 0u);
        QTRY_COMPARE(asioLines(*unit).size(), before + 1);
    }
    QCOMPARE(asioLines(*unit), lines);
    QCOMPARE(unit->state().asioResets, resets);
    QCOMPARE(unit->state().asioOtherMessages, others);
}

void TestVirtualUnit::asioPipeFollowsPlug()
{
    VirtualUnit unit;
    QCOMPARE(writeToAsio("1"), 2u);
    QVERIFY(unit.plug());
    QCOMPARE(writeToAsio("1"), 0u);
    QTRY_COMPARE(unit.state().asioResets, 1u);
    unit.unplug();
    QVERIFY(!unit.servesAsioPipe());
    QCOMPARE(writeToAsio("1"), 2u);
    // Plugged again, it counts on from where it was.
    QVERIFY(unit.plug());
    QCOMPARE(writeToAsio("1"), 0u);
    QTRY_COMPARE(unit.state().asioResets, 2u);
}

// What reaches the panel's pipe, byte for byte.
void TestVirtualUnit::messagesToPanel_data()
{
    QTest::addColumn<bool>("words");
    QTest::addColumn<QList<uint>>("values"); // five words, or a size and a fill byte
    QTest::addColumn<Bytes>("expected");
    QTest::addColumn<QString>("line");

    QTest::newRow("open window") << true << QList<uint>{0, 0, 0, 0, 1}
                                 << Bytes::fromHex("00000000000000000000000000000000"
                                                   "01000000")
                                 << "AsioOpenWindow 0 0 0 0 1";
    QTest::newRow("words little-endian")
        << true << QList<uint>{1, 0x01020304, 0xFFFFFFFF, 256, 0}
        << Bytes::fromHex("0100000004030201ffffffff0001000000000000")
        << "AsioOpenWindow 1 16909060 4294967295 256 0";
    QTest::newRow("empty") << false << QList<uint>{0, 0} << Bytes() << "AsioSend 0 bytes";
    QTest::newRow("16 bytes") << false << QList<uint>{16, 0xAA} << Bytes(16, '\xAA')
                              << "AsioSend 16 bytes";
    QTest::newRow("2000 bytes") << false << QList<uint>{2000, 7} << Bytes(2000, '\x07')
                                << "AsioSend 2000 bytes";
}

void TestVirtualUnit::messagesToPanel()
{
    QFETCH(bool, words);
    QFETCH(QList<uint>, values);
    QFETCH(Bytes, expected);
    QFETCH(QString, line);

    VirtualUnit unit; // sending needs no plug
    const platform::PipeHandle panel = platform::createPipeServer(virtualunit::kPanelPipe);
    QVERIFY(panel != platform::kInvalidPipeHandle);
    std::uint32_t error;
    if (words) {
        virtualunit::AsioWords asioWords{};
        for (std::size_t i = 0; i < asioWords.size(); ++i)
            asioWords[i] = values[static_cast<int>(i)];
        error = unit.sendOpenWindow(asioWords);
    } else {
        error = unit.sendToPanel(
            std::vector<unsigned char>(values[0], static_cast<unsigned char>(values[1])));
    }
    QCOMPARE(error, 0u);
    QCOMPARE(takePanelMessage(panel), expected);
    QCOMPARE(asioLines(unit), QStringList{line});
    platform::closePipeServer(panel);
}

void TestVirtualUnit::noPanelListening()
{
    VirtualUnit unit;
    QCOMPARE(unit.sendOpenWindow(), 2u);
    QCOMPARE(unit.sendToPanel({1, 2}), 2u);
    QCOMPARE(asioLines(unit),
             (QStringList{"AsioOpenWindow 0 0 0 0 1 failed 2", "AsioSend 2 bytes failed 2"}));
    virtualunit::Console console(unit, false);
    QVERIFY(QString::fromStdString(console.execute("asio open-window").output).contains("error 2"));
}

void TestVirtualUnit::asioConsole_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("sends");
    QTest::addColumn<Bytes>("expected");

    QTest::newRow("open-window") << "asio open-window" << true
                                 << Bytes::fromHex("0000000000000000000000000000000001000000");
    QTest::newRow("send five words") << "ASIO send 1 2 3 4 0x10" << true
                                     << Bytes::fromHex("0100000002000000030000000400000010000000");
    QTest::newRow("send-bytes with a fill") << "asio send-bytes 3 49" << true << Bytes("111");
    QTest::newRow("send-bytes zeros") << "asio send-bytes 24" << true << Bytes(24, '\0');
    QTest::newRow("four words") << "asio send 1 2 3 4" << false << Bytes();
    QTest::newRow("negative word") << "asio send 1 2 3 4 -1" << false << Bytes();
    QTest::newRow("word too big") << "asio send 0 0 0 0 4294967296" << false << Bytes();
    QTest::newRow("fill too big") << "asio send-bytes 3 256" << false << Bytes();
    QTest::newRow("unknown") << "asio reset" << false << Bytes();
}

void TestVirtualUnit::asioConsole()
{
    QFETCH(QString, command);
    QFETCH(bool, sends);
    QFETCH(Bytes, expected);

    VirtualUnit unit;
    const platform::PipeHandle panel = platform::createPipeServer(virtualunit::kPanelPipe);
    virtualunit::Console console(unit, false);
    const auto result = console.execute(command.toStdString());
    QVERIFY(!result.quit);
    QVERIFY(!result.output.empty());
    if (sends)
        QCOMPARE(takePanelMessage(panel), expected);
    // A refused command sends nothing: the trace has no line for it.
    QCOMPARE(asioLines(unit).size(), sends ? 1 : 0);
    platform::closePipeServer(panel);
}

QTEST_GUILESS_MAIN(TestVirtualUnit)
#include "tst_virtualunit.moc"
