// The device link: where the device files live, how opening and exchanges
// fail, QuorlinIoControl's bytes on the wire and how it reads the answers.

#include "driver/meter_block.h"
#include "driver/mixer_block.h"
#include "driver/quorlin_io_control.h"
#include "platform/device_file.h"
#include "platform/posix_endpoint.h"
#include "raw_device.h"
#include "test_common.h"

#include <array>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using Bytes = RawDevice::Bytes;
using Packet = std::array<uchar, 37>; // a vendor packet; what is not given is zero
using Io = QuorlinIoControl;
using Operation = std::function<bool(Io&)>;
struct Exchange {
    Operation operation;
    Bytes request; // code, output size, input
    bool whenRefused;
};
Q_DECLARE_METATYPE(Exchange)

const std::wstring kBus0 = L"\\\\.\\QuorlinAudioBus0";
constexpr std::uint32_t kAnswer = 0x04030201; // a scripted success: 01 02 03 04 05 06 07
static std::uint32_t gValue;
static UsbStatus gStatus;
static MeterBlock gMeters;
static MixerBlock gMixer;
static std::uint8_t gFirmware[5];

class TestDriver : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
    WideOutputSink m_out;

    static Bytes u32(uint v) { return {uchar(v), uchar(v >> 8), uchar(v >> 16), uchar(v >> 24)}; }
    static Bytes bytes(const Packet& packet) { return Bytes(packet.begin(), packet.end()); }
    static int descriptors() { return int(QDir("/proc/self/fd").entryList(QDir::System).size()); }
    static QString path(const QString& name)
    {
        return QString::fromStdString(platform::posix::endpointPath(name.toStdWString()));
    }

private slots:
    // Each operation's code, output size, input bytes and result when refused;
    // a closed handle sends nothing and fails.
    void exchanges_data()
    {
        QTest::addColumn<Exchange>("exchange");
        const auto row = [](const char* name, uint code, uint out, Bytes in, Operation op,
                            bool refused = false) {
            Bytes request = u32(code), size = u32(out);
            request.insert(request.end(), size.begin(), size.end());
            request.insert(request.end(), in.begin(), in.end());
            QTest::newRow(name) << Exchange{op, request, refused};
        };
        const auto vendor = [&](const char* name, Packet p, Operation op, bool refused = false) {
            row(name, 0xFFDC209C, 0, bytes(p), op, refused);
        };
        row("GetSampleRate", 0xFFDC2020, 4, {}, [](Io& d) { return d.GetSampleRate() == kAnswer; });
        row("SetSampleRate", 0xFFDC2038, 0, u32(48000),
            [](Io& d) { return d.SetSampleRate(48000); });
        row("SetBufferSize", 0xFFDC2044, 0, u32(256), [](Io& d) { return d.SetBufferSize(256); });
        row("GetBufferSize", 0xFFDC2048, 4, {}, [](Io& d) { return d.GetBufferSize(gValue); });
        row("GetUsbLatency", 0xFFDC204C, 4, {}, [](Io& d) { return d.GetUsbLatency(gValue); });
        row("SetUsbLatency", 0xFFDC2050, 0, u32(16), [](Io& d) { return d.SetUsbLatency(16); });
        row("StopAudio", 0xFFDC2078, 0, {}, &Io::StopAudio);
        row("InitAudio", 0xFFDC207C, 0, {}, &Io::InitAudio);
        row("RestartAudio", 0xFFDC2080, 0, {}, &Io::RestartAudio);
        row("GetDevicePid", 0xFFDC2084, 4, {}, [](Io& d) { return d.GetDevicePid(gValue); });
        row("SetWdmChannelCount", 0xFFDC2088, 0, u32(4),
            [](Io& d) { return d.SetWdmChannelCount(4); });
        row("EnableUsbSlowMode", 0xFFDC2090, 0, {}, &Io::EnableUsbSlowMode);
        row("DisableUsbSlowMode", 0xFFDC2094, 0, {}, &Io::DisableUsbSlowMode);
        row("GetUsbStatus", 0xFFDC20C0, 7, {}, [](Io& d) { return d.GetUsbStatus(gStatus); });
        row("ReadMeters", 0xFFDC2074, 768, {}, [](Io& d) { return d.ReadMeters(gMeters); });
        // The reply's first bytes go into the caller's buffer, never past its size.
        row("GetFirmwareVersion", 0xFFDC20A0, 32, bytes({1, 0x65}), [](Io& d) {
            return d.GetFirmwareVersion(gFirmware, 4) && gFirmware[3] == 4 && gFirmware[4] == 0;
        });
        // Cells (68, 2) and (256, 4) lie at 0x4410 and 0x10020; 1.0 is 3FF0000000000000.
        Bytes mixer(66304);
        mixer[0x4416] = mixer[0x10026] = 0xF0;
        mixer[0x4417] = mixer[0x10027] = 0x3F;
        gMixer(68, 2) = gMixer(256, 4) = 1.0;
        row("WriteMixer", 0xFFDC2040, 0, mixer, [](Io& d) { return d.WriteMixer(gMixer); });
        vendor("SetOutVolume", {1, 0x03, 0, 2, 2, 0x64, 0x01},
               [](Io& d) { return d.SetOutVolume(2, 0x164); });
        vendor("SetMicVolume", {1, 0x07, 0, 2, 1, 0x34, 0x12},
               [](Io& d) { return d.SetMicVolume(1, 0x1234); });
        vendor("SetMic20dB", {1, 0x5A, 0, 1, 1}, [](Io& d) { return d.SetMic20dB(1, 1); });
        vendor("SetMic48V", {1, 0x5B, 0, 1, 2}, [](Io& d) { return d.SetMic48V(2, 1); });
        vendor("SwitchMicInstrument", {1, 0x64, 0, 0, 1},
               [](Io& d) { return d.SwitchMicInstrument(1, 0); });
        vendor("SetOtgOff", {1, 0x5E}, &Io::SetOtgOff);
        vendor("SetOtgOn", {1, 0x5F}, &Io::SetOtgOn);
        // The unit reboots into its boot loader under an upgrade: once sent, it counts as done.
        vendor("UpgradeFirmware", {1, 0x60}, &Io::UpgradeFirmware, true);
    }

    void exchanges()
    {
        QFETCH(Exchange, exchange);
        RawDevice device;
        device.setReply(0, {1, 2, 3, 4, 5, 6, 7});
        Io driver, closed;
        QVERIFY(driver.OpenDevice() && exchange.operation(driver));
        QVERIFY(device.requests() == std::vector<Bytes>{exchange.request});
        device.setReply(31);
        QCOMPARE(exchange.operation(driver), exchange.whenRefused);
        QVERIFY(!exchange.operation(closed));
        QCOMPARE(device.requests().size(), std::size_t(2));
    }

    // Buses 0 to 15 are tried in order, the first that answers kept; a bus
    // without a socket, or a dead one, is not found (2). CloseDevice (twice is
    // harmless) and deletion release the device.
    void openTakesTheFirstBusThatAnswers()
    {
        QStringList lines;
        for (int i = 0; i < 16; ++i)
            lines << QString("Open device \\\\.\\QuorlinAudioBus%1 failed, error: 2").arg(i);
        QVERIFY(TestEnvironment::leaveDeadSocket(kBus0));
        m_out.take();
        QVERIFY(!Io().OpenDevice());
        QCOMPARE(QString::fromStdWString(m_out.take()), lines.join('\n') + '\n');
        RawDevice bus3(3), bus15(15);
        const int before = descriptors();
        auto driver = std::make_unique<Io>();
        QVERIFY(driver->OpenDevice());
        lines = lines.mid(0, 3) << "Open device \\\\.\\QuorlinAudioBus3 success!";
        QCOMPARE(QString::fromStdWString(m_out.take()), lines.join('\n') + '\n');
        driver->CloseDevice();
        driver->CloseDevice();
        QTRY_COMPARE(descriptors(), before);
        QVERIFY(driver->OpenDevice());
        driver.reset();
        QTRY_COMPARE(descriptors(), before);
    }

    // A name's last component, UTF-8, in the runtime directory: without
    // XDG_RUNTIME_DIR (or empty) /tmp/quorlin-<uid>, made private.
    void whereDevicesLive()
    {
        const QString dir = m_env.runtimeDirectory() + "/quorlin/";
        QCOMPARE(path("\\\\.\\QuorlinAudioBus3"), dir + "QuorlinAudioBus3");
        QCOMPARE(path("Plain"), dir + "Plain");
        // The first code point of each UTF-8 length, and the last of each shorter one.
        const QString unicode = "\u007f\u0080\u07ff\u0800\uffff\U00010000";
        QCOMPARE(path("\\\\.\\pipe\\" + unicode), dir + unicode);

        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const std::string unset = platform::posix::runtimeDirectory();
        qputenv("XDG_RUNTIME_DIR", "");
        const std::string empty = platform::posix::runtimeDirectory();
        qputenv("XDG_RUNTIME_DIR", saved);
        QCOMPARE(QString::fromStdString(unset), QString("/tmp/quorlin-%1").arg(getuid()));
        QCOMPARE(empty, unset);

        // Made private, also when found open; a link in its place is refused,
        // and no device is then reached through it.
        const std::string runtime = platform::posix::runtimeDirectory();
        rmdir(runtime.c_str());
        QVERIFY(platform::posix::ensureRuntimeDirectory());
        chmod(runtime.c_str(), 0777);
        QVERIFY(platform::posix::ensureRuntimeDirectory());
        struct stat info {};
        QCOMPARE(stat(runtime.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
        RawDevice bus0;
        const QString moved = QString::fromStdString(runtime) + ".real";
        QVERIFY(QFile::rename(QString::fromStdString(runtime), moved));
        QVERIFY(QFile::link(moved, QString::fromStdString(runtime)));
        QVERIFY(!platform::posix::ensureRuntimeDirectory());
        QCOMPARE(platform::lastError(), 5u);
        QCOMPARE(platform::openDevice(kBus0), platform::kInvalidDeviceHandle);
        QCOMPARE(platform::lastError(), 5u);
        QVERIFY(QFile::remove(QString::fromStdString(runtime)));
        QVERIFY(QFile::rename(moved, QString::fromStdString(runtime)));
    }

    // What reaches the caller of an exchange: the output, or a Win32 error and nothing.
    void exchange_data()
    {
        QTest::addColumn<Bytes>("reply"); // none: no answer
        // Unplugged "before" the request or "waiting" for the answer; or the answer
        // "late", after the driver's 5 s: then never taken for the next.
        QTest::addColumn<QString>("event");
        QTest::addColumn<uint>("error");
        QTest::newRow("answered") << Bytes{0, 0, 0, 0, 1, 2, 3, 4} << "" << 0u;
        QTest::newRow("refused with a code") << Bytes{87, 0, 0, 0} << "" << 87u;
        QTest::newRow("reply too short") << Bytes{0, 0, 0, 0, 1, 2, 3} << "" << 13u;
        QTest::newRow("reply too long") << Bytes{0, 0, 0, 0, 1, 2, 3, 4, 5} << "" << 13u;
        QTest::newRow("no status word") << Bytes{0, 0} << "" << 13u;
        QTest::newRow("unplugged while waiting") << Bytes{} << "waiting" << 1167u;
        QTest::newRow("unplugged") << Bytes{0, 0, 0, 0, 1, 2, 3, 4} << "before" << 1167u;
        QTest::newRow("late") << Bytes{0, 0, 0, 0, 1, 2, 3, 4} << "late" << 121u;
    }

    void exchange()
    {
        QFETCH(Bytes, reply);
        QFETCH(QString, event);
        QFETCH(uint, error);
        auto device = std::make_unique<RawDevice>();
        device->setRawReply(reply);
        device->setReplyDelay(std::chrono::milliseconds(event == "late" ? 6500 : 0));
        const platform::DeviceHandle handle = platform::openDevice(kBus0);
        if (event == "before")
            device.reset();
        unsigned char in[3] = {7, 8, 9}, out[4] = {};
        auto result = std::async(std::launch::async, [&] {
            return platform::deviceControl(handle, 0xFFDC2084, in, 3, out, 4)
                       ? 0u
                       : platform::lastError();
        });
        const Bytes request{0x84, 0x20, 0xDC, 0xFF, 4, 0, 0, 0, 7, 8, 9}; // code, out size, input
        QTRY_VERIFY(!device || device->requests() == std::vector<Bytes>{request});
        if (event == "waiting")
            device.reset();
        QCOMPARE(result.get(), error);
        QCOMPARE(int(out[3]), error ? 0 : 4);
        QVERIFY(event != "late" || !platform::deviceControl(handle, 0xFFDC2084, in, 3, out, 4));
        QCOMPARE(int(out[3]), error ? 0 : 4);
        platform::closeDevice(handle);
    }
};

QTEST_GUILESS_MAIN(TestDriver)
#include "tst_driver.moc"
