// Byte-level checks of the driver link: what QuorlinIoControl puts on the
// wire, how it reads the answers, and the conversions that go with them.

#include "driver/control_codes.h"
#include "driver/meter_block.h"
#include "driver/mixer_block.h"
#include "driver/quorlin_io_control.h"
#include "raw_device.h"
#include "test_environment.h"

#include <QtTest>
#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>

using Bytes = RawDevice::Bytes;
using Operation = std::function<bool(QuorlinIoControl&)>;
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Bytes)

namespace {

// Captures std::wcout and std::cerr for the lifetime of the object.
class StreamCapture {
public:
    StreamCapture()
        : m_oldOut(std::wcout.rdbuf(m_out.rdbuf()))
        , m_oldErr(std::cerr.rdbuf(m_err.rdbuf()))
    {
    }
    ~StreamCapture()
    {
        std::wcout.rdbuf(m_oldOut);
        std::cerr.rdbuf(m_oldErr);
    }
    QStringList outLines() const
    {
        return QString::fromStdWString(m_out.str()).split('\n', Qt::SkipEmptyParts);
    }
    QStringList errLines() const
    {
        return QString::fromStdString(m_err.str()).split('\n', Qt::SkipEmptyParts);
    }

private:
    std::wostringstream m_out;
    std::ostringstream m_err;
    std::wstreambuf* m_oldOut;
    std::streambuf* m_oldErr;
};

Bytes u32(std::uint32_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

Bytes vendorPacket(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint16_t value)
{
    Bytes packet(37, 0);
    packet[0] = 0x01;
    packet[1] = command;
    packet[3] = a;
    packet[4] = b;
    packet[5] = std::uint8_t(value);
    packet[6] = std::uint8_t(value >> 8);
    return packet;
}

} // namespace

class TestDriver : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;

    std::unique_ptr<QuorlinIoControl> openOn(RawDevice&)
    {
        StreamCapture quiet;
        auto driver = std::make_unique<QuorlinIoControl>();
        if (!driver->OpenDevice())
            return nullptr;
        return driver;
    }

private slots:
    void exchangesUseTheirCodeAndSizes_data();
    void exchangesUseTheirCodeAndSizes();
    void vendorCommandsReportRefusal_data();
    void vendorCommandsReportRefusal();
    void setMicVolumePacketIsByteExact();
    void valuesComeBackLittleEndian();
    void firmwareVersionRequestAndCopy_data();
    void firmwareVersionRequestAndCopy();
    void firmwareVersionFailureLines();
    void vendorReadSizesTheReplyTo32();
    void usbStatusUnpacksAndKeepsLastReply();
    void noUnitWritesSixteenLinesAndEveryCallFails();
    void onlyBus3Opens();
    void closeIsIdempotent();
    void dbToLinear_data();
    void dbToLinear();
    void peakToDb_data();
    void peakToDb();
    void meanPeakDoesNotOverflow_data();
    void meanPeakDoesNotOverflow();
    void mixerCellOffsets_data();
    void mixerCellOffsets();
};

void TestDriver::exchangesUseTheirCodeAndSizes_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<uint>("code");
    QTest::addColumn<Bytes>("input");
    QTest::addColumn<uint>("outSize");

    auto row = [](const char* name, Operation op, uint code, Bytes input, uint outSize) {
        QTest::newRow(name) << op << code << input << outSize;
    };
    std::uint32_t value = 0;
    row(
        "GetSampleRate", [](QuorlinIoControl& d) { return d.GetSampleRate() != 0; }, 0xFFDC2020, {},
        4);
    row(
        "SetSampleRate", [](QuorlinIoControl& d) { return d.SetSampleRate(48000); }, 0xFFDC2038,
        u32(48000), 0);
    row(
        "SetBufferSize", [](QuorlinIoControl& d) { return d.SetBufferSize(256); }, 0xFFDC2044,
        u32(256), 0);
    row(
        "GetBufferSize", [=](QuorlinIoControl& d) mutable { return d.GetBufferSize(value); },
        0xFFDC2048, {}, 4);
    row(
        "GetUsbLatency", [=](QuorlinIoControl& d) mutable { return d.GetUsbLatency(value); },
        0xFFDC204C, {}, 4);
    row(
        "SetUsbLatency", [](QuorlinIoControl& d) { return d.SetUsbLatency(16); }, 0xFFDC2050,
        u32(16), 0);
    row(
        "StopAudio", [](QuorlinIoControl& d) { return d.StopAudio(); }, 0xFFDC2078, {}, 0);
    row(
        "InitAudio", [](QuorlinIoControl& d) { return d.InitAudio(); }, 0xFFDC207C, {}, 0);
    row(
        "RestartAudio", [](QuorlinIoControl& d) { return d.RestartAudio(); }, 0xFFDC2080, {}, 0);
    row(
        "GetDevicePid", [=](QuorlinIoControl& d) mutable { return d.GetDevicePid(value); },
        0xFFDC2084, {}, 4);
    row(
        "SetWdmChannelCount", [](QuorlinIoControl& d) { return d.SetWdmChannelCount(4); },
        0xFFDC2088, u32(4), 0);
    row(
        "EnableUsbSlowMode", [](QuorlinIoControl& d) { return d.EnableUsbSlowMode(); }, 0xFFDC2090,
        {}, 0);
    row(
        "DisableUsbSlowMode", [](QuorlinIoControl& d) { return d.DisableUsbSlowMode(); },
        0xFFDC2094, {}, 0);
    row(
        "GetUsbStatus",
        [](QuorlinIoControl& d) {
            UsbStatus status;
            return d.GetUsbStatus(status);
        },
        0xFFDC20C0, {}, 7);
    row(
        "ReadMeters",
        [](QuorlinIoControl& d) {
            MeterBlock meters{};
            return d.ReadMeters(meters);
        },
        0xFFDC2074, {}, 768);

    auto mixer = std::make_shared<MixerBlock>();
    mixer->clear();
    (*mixer)(68, 2) = 1.0;
    Bytes mixerBytes(sizeof(MixerBlock));
    std::memcpy(mixerBytes.data(), mixer.get(), sizeof(MixerBlock));
    row(
        "WriteMixer", [mixer](QuorlinIoControl& d) { return d.WriteMixer(*mixer); }, 0xFFDC2040,
        mixerBytes, 0);

    row(
        "SetOutVolume", [](QuorlinIoControl& d) { return d.SetOutVolume(2, 100); }, 0xFFDC209C,
        vendorPacket(0x03, 0x02, 2, 100), 0);
    row(
        "SetMicVolume", [](QuorlinIoControl& d) { return d.SetMicVolume(1, 84); }, 0xFFDC209C,
        vendorPacket(0x07, 0x02, 1, 84), 0);
    row(
        "SetMic20dB", [](QuorlinIoControl& d) { return d.SetMic20dB(1, 1); }, 0xFFDC209C,
        vendorPacket(0x5A, 1, 1, 0), 0);
    row(
        "SetMic48V", [](QuorlinIoControl& d) { return d.SetMic48V(2, 1); }, 0xFFDC209C,
        vendorPacket(0x5B, 1, 2, 0), 0);
    row(
        "SetOtgOff", [](QuorlinIoControl& d) { return d.SetOtgOff(); }, 0xFFDC209C,
        vendorPacket(0x5E, 0, 0, 0), 0);
    row(
        "SetOtgOn", [](QuorlinIoControl& d) { return d.SetOtgOn(); }, 0xFFDC209C,
        vendorPacket(0x5F, 0, 0, 0), 0);
    row(
        "UpgradeFirmware", [](QuorlinIoControl& d) { return d.UpgradeFirmware(); }, 0xFFDC209C,
        vendorPacket(0x60, 0, 0, 0), 0);
    row(
        "SwitchMicInstrument", [](QuorlinIoControl& d) { return d.SwitchMicInstrument(1, 0); },
        0xFFDC209C, vendorPacket(0x64, 0, 1, 0), 0);
}

void TestDriver::exchangesUseTheirCodeAndSizes()
{
    QFETCH(Operation, operation);
    QFETCH(uint, code);
    QFETCH(Bytes, input);
    QFETCH(uint, outSize);

    RawDevice device;
    device.setReply(0, u32(1));
    auto driver = openOn(device);
    QVERIFY(driver);
    QVERIFY(operation(*driver));

    const auto requests = device.requests();
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(RawDevice::code(requests[0]), code);
    QCOMPARE(RawDevice::outSize(requests[0]), outSize);
    QVERIFY(RawDevice::input(requests[0]) == input);
}

void TestDriver::vendorCommandsReportRefusal_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<bool>("resultWhenRefused");

    QTest::newRow("SetOutVolume") << Operation([](QuorlinIoControl& d) {
        return d.SetOutVolume(1, 100);
    }) << false;
    QTest::newRow("SetMicVolume") << Operation([](QuorlinIoControl& d) {
        return d.SetMicVolume(1, 2);
    }) << false;
    QTest::newRow("SetMic20dB") << Operation([](QuorlinIoControl& d) { return d.SetMic20dB(1, 1); })
                                << false;
    QTest::newRow("SetMic48V") << Operation([](QuorlinIoControl& d) { return d.SetMic48V(1, 1); })
                               << false;
    QTest::newRow("SwitchMicInstrument")
        << Operation([](QuorlinIoControl& d) { return d.SwitchMicInstrument(1, 1); }) << false;
    QTest::newRow("SetOtgOn") << Operation([](QuorlinIoControl& d) { return d.SetOtgOn(); })
                              << false;
    QTest::newRow("SetOtgOff") << Operation([](QuorlinIoControl& d) { return d.SetOtgOff(); })
                               << false;
    // Once sent, an upgrade counts as done: the unit reboots under it.
    QTest::newRow("UpgradeFirmware")
        << Operation([](QuorlinIoControl& d) { return d.UpgradeFirmware(); }) << true;
    QTest::newRow("WriteMixer") << Operation([](QuorlinIoControl& d) {
        static MixerBlock mixer{};
        return d.WriteMixer(mixer);
    }) << false;
}

void TestDriver::vendorCommandsReportRefusal()
{
    QFETCH(Operation, operation);
    QFETCH(bool, resultWhenRefused);

    RawDevice device;
    device.setReply(31);
    auto driver = openOn(device);
    QVERIFY(driver);
    QCOMPARE(operation(*driver), resultWhenRefused);
    QCOMPARE(device.requests().size(), std::size_t(1));

    // A closed handle sends nothing and reports failure.
    QuorlinIoControl closed;
    QVERIFY(!operation(closed));
    QCOMPARE(device.requests().size(), std::size_t(1));
}

void TestDriver::setMicVolumePacketIsByteExact()
{
    RawDevice device;
    auto driver = openOn(device);
    QVERIFY(driver->SetMicVolume(1, 0x1234));
    Bytes expected{0x01, 0x07, 0x00, 0x02, 0x01, 0x34, 0x12};
    expected.resize(37, 0);
    QVERIFY(RawDevice::input(device.requests().at(0)) == expected);
}

void TestDriver::valuesComeBackLittleEndian()
{
    RawDevice device;
    device.setReply(0, {0x80, 0xBB, 0x00, 0x00});
    auto driver = openOn(device);
    QCOMPARE(driver->GetSampleRate(), 48000u);

    std::uint32_t pid = 77;
    device.setReply(0, {0x0F, 0, 0, 0});
    QVERIFY(driver->GetDevicePid(pid));
    QCOMPARE(pid, 15u);

    // A failed read leaves the out value alone.
    device.setReply(1167);
    QVERIFY(!driver->GetDevicePid(pid));
    QCOMPARE(pid, 15u);
    QCOMPARE(driver->GetSampleRate(), 0u);
}

void TestDriver::firmwareVersionRequestAndCopy_data()
{
    QTest::addColumn<uint>("bufferSize");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("ten bytes") << 10u << QByteArray("V1.0.3-abc");
    QTest::newRow("four bytes") << 4u << QByteArray("V1.0");
    QTest::newRow("zero byte inside") << 10u << QByteArray("V1\0.3-abcd", 10);
}

void TestDriver::firmwareVersionRequestAndCopy()
{
    QFETCH(uint, bufferSize);
    QFETCH(QByteArray, expected);

    RawDevice device;
    const QByteArray reply = QTest::currentDataTag() == QByteArray("zero byte inside")
                                 ? QByteArray("V1\0.3-abcdXYZ", 13)
                                 : QByteArray("V1.0.3-abcXYZ");
    device.setReply(0, Bytes(reply.begin(), reply.end()));
    auto driver = openOn(device);

    QByteArray buffer(16, '#');
    QVERIFY(driver->GetFirmwareVersion(reinterpret_cast<std::uint8_t*>(buffer.data()), bufferSize));
    QCOMPARE(buffer.left(int(bufferSize)), expected);
    QCOMPARE(buffer.mid(int(bufferSize)), QByteArray(16 - int(bufferSize), '#'));

    const Bytes request = device.requests().at(0);
    QCOMPARE(RawDevice::code(request), 0xFFDC20A0u);
    QCOMPARE(RawDevice::outSize(request), 32u);
    QVERIFY(RawDevice::input(request) == vendorPacket(0x65, 0, 0, 0));
}

void TestDriver::firmwareVersionFailureLines()
{
    RawDevice device;
    device.setReply(31);
    auto driver = openOn(device);
    std::uint8_t buffer[10] = {};
    StreamCapture capture;
    QVERIFY(!driver->GetFirmwareVersion(buffer, sizeof buffer));
    QCOMPARE(capture.errLines(), QStringList{"Failed to read firmware version from device."});
    QCOMPARE(buffer[0], std::uint8_t(0));
}

void TestDriver::vendorReadSizesTheReplyTo32()
{
    RawDevice device;
    device.setReply(0, Bytes(40, 0xAA));
    auto driver = openOn(device);
    const std::vector<std::uint8_t> request(37, 0);

    for (std::size_t start : {0u, 5u, 64u}) {
        std::vector<std::uint8_t> reply(start, 0x11);
        QVERIFY(driver->VendorRead(request, reply));
        QCOMPARE(reply.size(), std::size_t(32));
        QCOMPARE(reply.back(), std::uint8_t(0xAA));
    }
    QuorlinIoControl closed;
    std::vector<std::uint8_t> untouched(3, 0x11);
    QVERIFY(!closed.VendorRead(request, untouched));
    QCOMPARE(untouched.size(), std::size_t(3));
}

void TestDriver::usbStatusUnpacksAndKeepsLastReply()
{
    RawDevice device;
    device.setReply(0, {0x34, 0x12, 0x07, 0x05, 0x00, 0x00, 0x00});
    auto driver = openOn(device);
    UsbStatus status;
    QVERIFY(driver->GetUsbStatus(status));
    QCOMPARE(status.field0, std::uint16_t(0x1234));
    QCOMPARE(status.field1, std::uint8_t(7));
    QCOMPARE(status.errorCount, 5u);

    device.setReply(0, {0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF});
    QVERIFY(driver->GetUsbStatus(status));
    QCOMPARE(status.errorCount, 0xFFFFFFFEu);

    // A failed exchange still hands back the previous reply.
    device.setReply(31);
    UsbStatus fresh;
    QVERIFY(!driver->GetUsbStatus(fresh));
    QCOMPARE(fresh.errorCount, 0xFFFFFFFEu);

    QuorlinIoControl closed;
    UsbStatus untouched;
    untouched.errorCount = 42;
    QVERIFY(!closed.GetUsbStatus(untouched));
    QCOMPARE(untouched.errorCount, 42u);
}

void TestDriver::noUnitWritesSixteenLinesAndEveryCallFails()
{
    StreamCapture capture;
    QuorlinIoControl driver;
    QVERIFY(!driver.OpenDevice());

    QStringList expected;
    for (int i = 0; i < 16; ++i)
        expected << QString("Open device \\\\.\\QuorlinAudioBus%1 failed, error: 2").arg(i);
    QCOMPARE(capture.outLines(), expected);

    std::uint32_t pid = 9;
    QVERIFY(!driver.GetDevicePid(pid));
    QCOMPARE(pid, 9u);
    QCOMPARE(driver.GetSampleRate(), 0u);
    QVERIFY(!driver.SetMic48V(1, 1));
    QVERIFY(!driver.UpgradeFirmware());
}

void TestDriver::onlyBus3Opens()
{
    RawDevice device(3);
    StreamCapture capture;
    QuorlinIoControl driver;
    QVERIFY(driver.OpenDevice());
    QCOMPARE(capture.outLines(), QStringList({
                                     "Open device \\\\.\\QuorlinAudioBus0 failed, error: 2",
                                     "Open device \\\\.\\QuorlinAudioBus1 failed, error: 2",
                                     "Open device \\\\.\\QuorlinAudioBus2 failed, error: 2",
                                     "Open device \\\\.\\QuorlinAudioBus3 success!",
                                 }));
}

void TestDriver::closeIsIdempotent()
{
    RawDevice device;
    auto driver = openOn(device);
    QVERIFY(driver->isOpen());
    driver->CloseDevice();
    QVERIFY(!driver->isOpen());
    driver->CloseDevice();
    QVERIFY(!driver->StopAudio());
    QVERIFY(device.requests().empty());
}

void TestDriver::dbToLinear_data()
{
    QTest::addColumn<double>("dB");
    QTest::addColumn<double>("gain");

    QTest::newRow("-80 is silence") << -80.0 << 0.0;
    QTest::newRow("below the range is silence") << -120.0 << 0.0;
    QTest::newRow("0 dB is unity") << 0.0 << 1.0;
    QTest::newRow("+6 dB") << 6.0 << std::pow(10.0, 6.0 / 20.0);
    QTest::newRow("above the range is +6 dB") << 12.0 << std::pow(10.0, 6.0 / 20.0);
    QTest::newRow("-79.5 is not silence") << -79.5 << std::pow(10.0, -79.5 / 20.0);
    QTest::newRow("-20 dB") << -20.0 << 0.1;
}

void TestDriver::dbToLinear()
{
    QFETCH(double, dB);
    QFETCH(double, gain);
    const double result = QuorlinIoControl::DbToLinear(dB);
    if (gain == 0.0)
        QCOMPARE(result, 0.0);
    else
        QVERIFY2(std::fabs(result - gain) < 1e-12, qPrintable(QString::number(result, 'g', 17)));
}

void TestDriver::peakToDb_data()
{
    QTest::addColumn<int>("peak");
    QTest::addColumn<double>("dB");
    QTest::addColumn<QString>("readout");

    const double inf = -std::numeric_limits<double>::infinity();
    QTest::newRow("full scale") << 2147483647 << 0.0 << "0.0 dB";
    QTest::newRow("negative full scale") << -2147483647 << 0.0 << "0.0 dB";
    QTest::newRow("most negative") << std::numeric_limits<int>::min()
                                   << 20 * std::log10(2147483648.0 / 2147483647.0) << "0.0 dB";
    QTest::newRow("half scale") << 1073741824 << 20 * std::log10(1073741824.0 / 2147483647.0)
                                << "-6.0 dB";
    QTest::newRow("tenth of full scale")
        << 214748365 << 20 * std::log10(214748365.0 / 2147483647.0) << "-20.0 dB";
    QTest::newRow("silence") << 0 << inf << "-inf dB";
}

void TestDriver::peakToDb()
{
    QFETCH(int, peak);
    QFETCH(double, dB);
    QFETCH(QString, readout);
    const double result = PeakToDb(peak);
    if (std::isinf(dB))
        QVERIFY(std::isinf(result) && result < 0);
    else
        QVERIFY2(std::fabs(result - dB) < 1e-9, qPrintable(QString::number(result, 'g', 17)));
    QCOMPARE(meterReadoutText(peak), readout);
}

void TestDriver::meanPeakDoesNotOverflow_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("mean");

    const int max = std::numeric_limits<int>::max();
    const int min = std::numeric_limits<int>::min();
    QTest::newRow("both at maximum") << max << max << max;
    QTest::newRow("both at minimum") << min << min << min;
    QTest::newRow("truncates toward zero") << -3 << 0 << -1;
    QTest::newRow("mixed signs") << max << min << 0;
}

void TestDriver::meanPeakDoesNotOverflow()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, mean);
    QCOMPARE(meanPeak(a, b), mean);
}

void TestDriver::mixerCellOffsets_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("offset");

    QTest::newRow("(64, 2)") << 64 << 2 << 0x4010;
    QTest::newRow("(65, 3)") << 65 << 3 << 0x4118;
    QTest::newRow("(68, 2)") << 68 << 2 << 0x4410;
    QTest::newRow("(256, 0)") << 256 << 0 << 0x10000;
    QTest::newRow("(256, 4)") << 256 << 4 << 0x10020;
    QTest::newRow("(258, 31)") << 258 << 31 << 0x102F8;
}

void TestDriver::mixerCellOffsets()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, offset);

    MixerBlock block;
    block.clear();
    block(row, column) = 0.5;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&block);
    double atOffset = 0;
    std::memcpy(&atOffset, bytes + offset, sizeof atOffset);
    QCOMPARE(atOffset, 0.5);
    QCOMPARE(MixerBlock::byteOffset(row, column), std::size_t(offset));
}

QTEST_GUILESS_MAIN(TestDriver)
#include "tst_driver.moc"
