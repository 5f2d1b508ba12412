// The POSIX half of the OS layer: where device sockets live and how a
// device-control exchange fails.

#include "platform/device_file.h"
#include "platform/little_endian.h"
#include "platform/posix_endpoint.h"
#include "platform/win32_error.h"
#include "test_environment.h"

#include <QtTest>
#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

const std::wstring kBus0 = L"\\\\.\\QuorlinAudioBus0";

// A one-shot peer: accepts one connection, reads one request and answers it
// with `reply` (or with nothing, closing the connection, when `reply` is
// empty).
class OneShotPeer {
public:
    explicit OneShotPeer(std::vector<unsigned char> reply)
    {
        platform::posix::ensureRuntimeDirectory();
        const std::string path = platform::posix::endpointPath(kBus0);
        unlink(path.c_str());
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        m_listen = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(m_listen, 1);
        m_thread = std::thread([this, reply] {
            const int client = accept(m_listen, nullptr, nullptr);
            unsigned char request[256];
            if (recv(client, request, sizeof request, 0) > 0 && !reply.empty())
                send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            close(client);
        });
    }
    ~OneShotPeer()
    {
        m_thread.join();
        close(m_listen);
        unlink(platform::posix::endpointPath(kBus0).c_str());
    }

private:
    int m_listen = -1;
    std::thread m_thread;
};

std::vector<unsigned char> reply(std::uint32_t status, std::size_t payload)
{
    std::vector<unsigned char> bytes(4 + payload, 0xAB);
    platform::le::putU32(bytes.data(), status);
    return bytes;
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;

private slots:
    void objectNamesMapToTheRuntimeDirectory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("socket");

        QTest::newRow("device") << "\\\\.\\QuorlinAudioBus3"
                                << "QuorlinAudioBus3";
        QTest::newRow("two-digit device") << "\\\\.\\QuorlinAudioBus15"
                                          << "QuorlinAudioBus15";
        QTest::newRow("pipe") << "\\\\.\\pipe\\QuorlinASIOToPannel"
                              << "QuorlinASIOToPannel";
        QTest::newRow("bare name") << "Plain"
                                   << "Plain";
    }

    void objectNamesMapToTheRuntimeDirectory()
    {
        QFETCH(QString, name);
        QFETCH(QString, socket);
        QCOMPARE(QString::fromStdString(platform::posix::endpointPath(name.toStdWString())),
                 m_env.runtimeDirectory() + "/quorlin/" + socket);
    }

    void runtimeDirectoryFallsBackToTmp()
    {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const QString fallback = QString::fromStdString(platform::posix::runtimeDirectory());
        qputenv("XDG_RUNTIME_DIR", saved);
        QCOMPARE(fallback, QString("/tmp/quorlin-%1").arg(getuid()));
    }

    void runtimeDirectoryIsPrivate()
    {
        const std::string dir = platform::posix::runtimeDirectory();
        rmdir(dir.c_str());
        QVERIFY(platform::posix::ensureRuntimeDirectory());
        QVERIFY(platform::posix::ensureRuntimeDirectory()); // existing is fine
        struct stat info {};
        QCOMPARE(stat(dir.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
    }

    void openWithoutAUnitIsFileNotFound()
    {
        QCOMPARE(platform::openDevice(kBus0), platform::kInvalidDeviceHandle);
        QCOMPARE(platform::lastError(), platform::win32::kErrorFileNotFound);
    }

    void badExchanges_data()
    {
        QTest::addColumn<std::vector<unsigned char>>("answer");
        QTest::addColumn<uint>("error");

        QTest::newRow("peer goes away")
            << std::vector<unsigned char>{} << platform::win32::kErrorDeviceNotConnected;
        QTest::newRow("refused with a code")
            << reply(87, 0) << platform::win32::kErrorInvalidParameter;
        QTest::newRow("reply too short") << reply(0, 3) << platform::win32::kErrorInvalidData;
        QTest::newRow("reply too long") << reply(0, 5) << platform::win32::kErrorInvalidData;
        QTest::newRow("no status word")
            << std::vector<unsigned char>{0, 0} << platform::win32::kErrorInvalidData;
    }

    void badExchanges()
    {
        QFETCH(std::vector<unsigned char>, answer);
        QFETCH(uint, error);

        OneShotPeer peer(answer);
        const platform::DeviceHandle handle = platform::openDevice(kBus0);
        QVERIFY(handle != platform::kInvalidDeviceHandle);
        unsigned char out[4] = {1, 2, 3, 4};
        QVERIFY(!platform::deviceControl(handle, 0xFFDC2084, nullptr, 0, out, sizeof out));
        QCOMPARE(platform::lastError(), error);
        // Nothing of a failed reply reaches the caller.
        QCOMPARE(out[0], 1);
        platform::closeDevice(handle);
    }

    void goodExchangeCopiesTheOutput()
    {
        OneShotPeer peer(reply(0, 4));
        const platform::DeviceHandle handle = platform::openDevice(kBus0);
        unsigned char out[4] = {};
        QVERIFY(platform::deviceControl(handle, 0xFFDC2084, nullptr, 0, out, sizeof out));
        QCOMPARE(out[3], 0xAB);
        QCOMPARE(platform::lastError(), platform::win32::kErrorSuccess);
        platform::closeDevice(handle);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
