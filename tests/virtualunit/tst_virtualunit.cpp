// The virtual unit as a witness the other tests can trust: strict sizes, Win32 error codes,
// plug and unplug, and one decoded trace line per exchange.

#include "platform/device_file.h"
#include "platform/message_pipe.h"
#include "test_common.h"

using virtualunit::VirtualUnit;
using Bytes = QByteArray;

class TestVirtualUnit : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
    static constexpr std::uint32_t kVendorCommand = 0xFFDC209C, kWriteMixer = 0xFFDC2040;

    // One handle on bus 0, through the driver link's device-file calls; call() gives 0
    // or the Win32 error of the exchange, and the output lands in `out`.
    struct Client {
        platform::DeviceHandle handle = platform::openDevice(L"\\\\.\\QuorlinAudioBus0");
        Bytes out;
        ~Client() { platform::closeDevice(handle); }
        std::uint32_t call(std::uint32_t code, const Bytes& in = {}, int outSize = 0)
        {
            out = Bytes(outSize, '\x5A');
            return platform::deviceControl(handle, code, in.data(), in.size(), out.data(), outSize)
                       ? 0
                       : platform::lastError();
        }
    };

    static Bytes hex(const char* bytes) { return Bytes::fromHex(bytes); }
    static Bytes packet(const char* bytes) { return hex(bytes).leftJustified(37, 0); } // vendor
    static QString last(const VirtualUnit& u) { return QString::fromStdString(u.trace().back()); }

private slots:
    // Each kind of exchange's error, answer and trace line. A byte more or less
    // in or out is refused with 87, an unknown code with 1; the link stays usable.
    void exchanges_data()
    {
        QTest::addColumn<uint>("code");
        QTest::addColumn<Bytes>("input");
        QTest::addColumn<Bytes>("reply"); // its size is the output size
        QTest::addColumn<uint>("error");
        QTest::addColumn<QString>("line");
        const auto row = [](const char* line, uint code, Bytes in, Bytes reply) {
            QTest::newRow(line) << code << in << reply << 0u << QString(line);
        };
        const auto sized = [&](const char* line, uint code, Bytes in, Bytes reply) {
            row(line, code, in, reply);
            const QString refused = QString(line).section(' ', 0, 0) + " failed 87 (in %1 out %2)";
            const auto i = in.size(), o = reply.size();
            for (const auto& [n, m] : {std::pair(i + 1, o), {i - 1, o}, {i, o + 1}, {i, o - 1}})
                if (n >= 0 && m >= 0)
                    QTest::addRow("%s, in %d out %d", line, int(n), int(m))
                        << code << in.leftJustified(n, 0, true) << Bytes(m, 0) << 87u
                        << refused.arg(n).arg(m);
        };
        sized("GetSampleRate -> 44100", 0xFFDC2020, {}, hex("44ac0000"));
        // Cells (0, 0), (64, 2) and (258, 31) at 0.25, 1/3 and 2: row by row, six digits.
        const Bytes cells = Bytes(66304, 0).replace(0, 8, hex("000000000000d03f"));
        sized("WriteMixer (0,0)=0.25 (64,2)=0.333333 (258,31)=2", kWriteMixer,
              Bytes(cells)
                  .replace(0x4010, 8, hex("555555555555d53f"))
                  .replace(0x102F8, 8, hex("0000000000000040")),
              {});
        sized("ReadMeters", 0xFFDC2074, {}, hex("000000000d0c0b0a").leftJustified(768, 0));
        sized("StopAudio", 0xFFDC2078, {}, {});
        sized("GetUsbStatus -> errors=67305985", 0xFFDC20C0, {}, hex("00000001020304"));
        row("GetFirmwareVersion -> V1.0.3-abc", 0xFFDC20A0, packet("0165"),
            Bytes("V1.0.3-abc").leftJustified(32, 0));
        row("SetOutVolume channel=1 value=100", kVendorCommand, packet("010300020164"), {});
        row("SetMicVolume channel=2 value=4660", kVendorCommand, packet("01070002023412"), {});
        QTest::newRow("no lead byte") << kVendorCommand << packet("005b000101") << Bytes() << 87u
                                      << "SetMic48V channel=1 state=1 failed 87 (first byte 0x00)";
        QTest::newRow("unknown code")
            << 0x00222084u << Bytes() << Bytes() << 1u << "Unknown code=0x00222084 failed 1";
    }

    void exchanges()
    {
        QFETCH(uint, code);
        QFETCH(Bytes, input);
        QFETCH(Bytes, reply);
        QFETCH(uint, error);
        VirtualUnit unit({15, "V1.0.3-abc", 0, false});
        QVERIFY(unit.plug());
        unit.setUsbErrorCount(0x04030201);
        unit.pinMeter(1, 0x0A0B0C0D);
        Client client;
        QCOMPARE(client.call(code, input, reply.size()), error);
        QVERIFY(error || client.out == reply);
        QTEST(last(unit), "line");
        QCOMPARE(client.call(0xFFDC2084, {}, 4), 0u);
    }

    // Unplugged, the socket and held connections are gone for good; plugged, new ones work.
    // The ASIO driver's pipe comes and goes with the unit; a reset is the one byte "1".
    void plugAndUnplug()
    {
        VirtualUnit unit;
        const auto reset = [](const char* message) {
            const platform::PipeHandle pipe = platform::openPipe(virtualunit::kAsioResetPipe);
            const bool sent = platform::writePipe(pipe, message, qstrlen(message));
            platform::closePipe(pipe);
            return sent;
        };
        QVERIFY(unit.plug());
        const char* messages[] = {"1", "2", "11"}; // one at a time keeps their order
        for (std::size_t i = 0; i < 3; ++i) {
            QVERIFY(reset(messages[i]));
            QTRY_COMPARE(unit.trace().size(), i + 1);
        }
        QVERIFY((unit.trace() == std::vector<std::string>{"AsioReset", "AsioMessage 1 bytes",
                                                          "AsioMessage 2 bytes"}));
        Client held, *other = new Client;
        QTRY_COMPARE(unit.connectionCount(), 2);
        delete other;
        QTRY_COMPARE(unit.connectionCount(), 1);
        unit.unplug();
        QCOMPARE(held.call(0xFFDC2084, {}, 4), 1167u);
        QCOMPARE(Client().handle, platform::kInvalidDeviceHandle);
        QVERIFY(!reset("1"));
        QVERIFY(unit.plug());
        QCOMPARE(Client().call(0xFFDC2084, {}, 4), 0u);
        QCOMPARE(held.call(0xFFDC2084, {}, 4), 1167u);
    }
};

QTEST_GUILESS_MAIN(TestVirtualUnit)
#include "tst_virtualunit.moc"
