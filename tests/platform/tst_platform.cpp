// The POSIX half of the OS layer: where device sockets live, and how opening
// a device and a device-control exchange fail.

#include "platform/device_file.h"
#include "platform/posix_endpoint.h"
#include "raw_device.h"
#include "test_environment.h"

#include <QTest>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using Bytes = RawDevice::Bytes;
const std::wstring kBus0 = L"\\\\.\\QuorlinAudioBus0";

class TestPlatform : public QObject {
    Q_OBJECT
    TestEnvironment m_env;

    static QString path(const QString& name)
    {
        return QString::fromStdString(platform::posix::endpointPath(name.toStdWString()));
    }

private slots:
    // A name's last component, UTF-8 encoded, in the runtime directory.
    void namesMapToTheRuntimeDirectory()
    {
        const QString dir = m_env.runtimeDirectory() + "/quorlin/";
        QCOMPARE(path("\\\\.\\QuorlinAudioBus3"), dir + "QuorlinAudioBus3");
        QCOMPARE(path("Plain"), dir + "Plain");
        // The first code point of each UTF-8 length, and the last of each shorter one.
        const QString unicode = "\u007f\u0080\u07ff\u0800\uffff\U00010000";
        QCOMPARE(path("\\\\.\\pipe\\" + unicode), dir + unicode);
    }

    // Without XDG_RUNTIME_DIR, or with it empty: /tmp/quorlin-<uid>.
    void runtimeDirectory()
    {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const std::string unset = platform::posix::runtimeDirectory();
        qputenv("XDG_RUNTIME_DIR", "");
        const std::string empty = platform::posix::runtimeDirectory();
        qputenv("XDG_RUNTIME_DIR", saved);
        QCOMPARE(QString::fromStdString(unset), QString("/tmp/quorlin-%1").arg(getuid()));
        QCOMPARE(empty, unset);

        const std::string dir = platform::posix::runtimeDirectory();
        rmdir(dir.c_str());
        QVERIFY(platform::posix::ensureRuntimeDirectory());
        QVERIFY(platform::posix::ensureRuntimeDirectory()); // already there
        struct stat info {};
        QCOMPARE(stat(dir.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
    }

    // No socket, or one that nobody serves (left by a crashed unit).
    void openWithoutAUnitIsFileNotFound()
    {
        QCOMPARE(platform::openDevice(kBus0), platform::kInvalidDeviceHandle);
        QCOMPARE(platform::lastError(), 2u);
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{AF_UNIX, {}};
        path(QString::fromStdWString(kBus0)).toStdString().copy(address.sun_path, 100);
        QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QCOMPARE(platform::openDevice(kBus0), platform::kInvalidDeviceHandle);
        QCOMPARE(platform::lastError(), 2u);
        close(fd); // the socket file stays, as a crashed unit leaves it
    }

    // What reaches the caller of an exchange: the output, or a Win32 error and nothing.
    void exchange_data()
    {
        QTest::addColumn<Bytes>("reply");    // none: the unit hangs up instead
        QTest::addColumn<bool>("unplugged"); // before the request
        QTest::addColumn<uint>("error");
        QTest::newRow("answered") << Bytes{0, 0, 0, 0, 1, 2, 3, 4} << false << 0u;
        QTest::newRow("refused with a code") << Bytes{87, 0, 0, 0} << false << 87u;
        QTest::newRow("reply too short") << Bytes{0, 0, 0, 0, 1, 2, 3} << false << 13u;
        QTest::newRow("reply too long") << Bytes{0, 0, 0, 0, 1, 2, 3, 4, 5} << false << 13u;
        QTest::newRow("no status word") << Bytes{0, 0} << false << 13u;
        QTest::newRow("hung up") << Bytes{} << false << 1167u;
        QTest::newRow("unplugged") << Bytes{} << true << 1167u;
    }

    void exchange()
    {
        QFETCH(Bytes, reply);
        QFETCH(bool, unplugged);
        QFETCH(uint, error);
        auto device = std::make_unique<RawDevice>();
        device->setRawReply(reply);
        const platform::DeviceHandle handle = platform::openDevice(kBus0);
        if (unplugged)
            device.reset();
        unsigned char in[3] = {7, 8, 9}, out[4] = {};
        QCOMPARE(platform::deviceControl(handle, 0xFFDC2084, in, 3, out, 4), error == 0);
        QCOMPARE(platform::lastError(), error);
        QCOMPARE(int(out[3]), error ? 0 : 4);
        const Bytes request{0x84, 0x20, 0xDC, 0xFF, 4, 0, 0, 0, 7, 8, 9}; // code, out size, input
        QVERIFY(unplugged || device->requests() == std::vector<Bytes>{request});
        platform::closeDevice(handle);
    }

    // A reply later than the driver waits (5 s) fails with 121, and the link
    // is not used again: the late reply is never taken for the next answer.
    void lateReplyIsNeverTakenForTheNext()
    {
        RawDevice device;
        device.setReply(0, {7, 0, 0, 0});
        device.setReplyDelay(std::chrono::milliseconds(6500));
        const platform::DeviceHandle handle = platform::openDevice(kBus0);
        unsigned char out[4] = {};
        QVERIFY(!platform::deviceControl(handle, 0xFFDC2084, nullptr, 0, out, 4));
        QCOMPARE(platform::lastError(), 121u);
        QVERIFY(!platform::deviceControl(handle, 0xFFDC2084, nullptr, 0, out, 4));
        QCOMPARE(int(out[0]), 0);
        platform::closeDevice(handle);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
