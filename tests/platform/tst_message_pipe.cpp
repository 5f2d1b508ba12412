// The POSIX half of the message pipes: one message per client, longer
// messages refused with 234, no server found as 2, a client that takes its
// time, and waits that another thread can end.

#include "platform/message_pipe.h"
#include "platform/posix_endpoint.h"
#include "platform/win32_error.h"
#include "test_environment.h"

#include <QFile>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <future>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

const std::wstring kPipe = L"\\\\.\\pipe\\QuorlinASIOToPannel";
constexpr std::uint32_t kCapacity = 1024;

QString socketPath()
{
    return QString::fromStdString(platform::posix::endpointPath(kPipe));
}

QByteArray pattern(int size, int seed = 1)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + seed);
    return bytes;
}

// A client as the ASIO driver is one: open, one message, close.
bool send(const QByteArray& message)
{
    const platform::PipeHandle client = platform::openPipe(kPipe);
    if (client == platform::kInvalidPipeHandle)
        return false;
    const bool written = platform::writePipe(client, message.constData(),
                                             static_cast<std::uint32_t>(message.size()));
    platform::closePipe(client);
    return written;
}

struct Read {
    bool ok;
    std::uint32_t error;
    QByteArray bytes;
};

// One turn of a server: wait for a client, read one message, disconnect.
Read serveOne(platform::PipeHandle server)
{
    if (!platform::waitForPipeClient(server))
        return {false, platform::lastError(), {}};
    QByteArray buffer(kCapacity, '\x5A');
    std::uint32_t received = 0;
    const bool ok = platform::readPipeMessage(server, buffer.data(), kCapacity, &received);
    const std::uint32_t error = ok ? 0 : platform::lastError();
    platform::disconnectPipeClient(server);
    return {ok, error, buffer.left(static_cast<int>(received))};
}

} // namespace

class TestMessagePipe : public QObject {
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void messages_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<uint>("error");

        QTest::newRow("20 bytes, the open-window message") << 20 << true << 0u;
        QTest::newRow("empty") << 0 << true << 0u;
        QTest::newRow("one byte") << 1 << true << 0u;
        QTest::newRow("exactly the buffer") << 1024 << true << 0u;
        QTest::newRow("one byte more than the buffer") << 1025 << false << 234u;
        QTest::newRow("2000 bytes") << 2000 << false << 234u;
    }

    void messages()
    {
        QFETCH(int, size);
        QFETCH(bool, ok);
        QFETCH(uint, error);

        const platform::PipeHandle server = platform::createPipeServer(kPipe);
        QVERIFY(server != platform::kInvalidPipeHandle);
        const QByteArray message = pattern(size);
        QVERIFY(send(message));
        const Read read = serveOne(server);
        QCOMPARE(read.ok, ok);
        QCOMPARE(read.error, error);
        // A message that fits arrives whole; of a longer one the buffer holds
        // its first bytes.
        QCOMPARE(read.bytes, message.left(static_cast<int>(kCapacity)));

        // The next client is served as if nothing had happened.
        const QByteArray next = pattern(20, 3);
        QVERIFY(send(next));
        const Read after = serveOne(server);
        QVERIFY(after.ok);
        QCOMPARE(after.bytes, next);
        platform::closePipeServer(server);
    }

    void twoClientsInARow()
    {
        const platform::PipeHandle server = platform::createPipeServer(kPipe);
        // Both connect and write before the server takes the first.
        QVERIFY(send(pattern(20, 1)));
        QVERIFY(send(pattern(12, 2)));
        QCOMPARE(serveOne(server).bytes, pattern(20, 1));
        QCOMPARE(serveOne(server).bytes, pattern(12, 2));
        platform::closePipeServer(server);
    }

    void noServer_data()
    {
        QTest::addColumn<bool>("staleSocket");
        QTest::newRow("no socket file") << false;
        QTest::newRow("socket file of a server that is gone") << true;
    }

    void noServer()
    {
        QFETCH(bool, staleSocket);
        QFile::remove(socketPath());
        if (staleSocket) {
            // What a crashed server leaves: the socket file, nobody listening.
            QVERIFY(platform::posix::ensureRuntimeDirectory());
            const QByteArray path = QFile::encodeName(socketPath());
            const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
            QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            close(fd);
            QVERIFY(QFile::exists(socketPath()));
        }
        QCOMPARE(platform::openPipe(kPipe), platform::kInvalidPipeHandle);
        QCOMPARE(platform::lastError(), platform::win32::kErrorFileNotFound);
        QVERIFY(!platform::wakePipeServer(kPipe));
        QCOMPARE(platform::lastError(), platform::win32::kErrorFileNotFound);
    }

    void oldSocketFileIsReplaced()
    {
        const platform::PipeHandle first = platform::createPipeServer(kPipe);
        const platform::PipeHandle second = platform::createPipeServer(kPipe);
        QVERIFY(first != platform::kInvalidPipeHandle);
        QVERIFY(second != platform::kInvalidPipeHandle);
        // Closing the replaced server leaves the new one's socket in place.
        platform::closePipeServer(first);
        QVERIFY(QFile::exists(socketPath()));
        QVERIFY(send(pattern(20)));
        QCOMPARE(serveOne(second).bytes, pattern(20));
        platform::closePipeServer(second);
        QVERIFY(!QFile::exists(socketPath()));
    }

    void readWithoutClient()
    {
        const platform::PipeHandle server = platform::createPipeServer(kPipe);
        char buffer[4];
        std::uint32_t received = 99;
        QVERIFY(!platform::readPipeMessage(server, buffer, sizeof buffer, &received));
        QCOMPARE(platform::lastError(), platform::win32::kErrorPipeListening);
        QCOMPARE(received, 0u);
        platform::closePipeServer(server);
        QVERIFY(!platform::waitForPipeClient(platform::kInvalidPipeHandle));
        QCOMPARE(platform::lastError(), platform::win32::kErrorInvalidHandle);
    }

    // A client may take its time to write while the server runs; only a
    // cancel (for shutdown) ends the wait for its message.
    void slowClientIsWaitedForUntilCancelled()
    {
        const platform::PipeHandle server = platform::createPipeServer(kPipe);
        for (const bool cancel : {false, true}) {
            const platform::PipeHandle client = platform::openPipe(kPipe);
            QVERIFY(client != platform::kInvalidPipeHandle);
            std::future<Read> read = std::async(std::launch::async, serveOne, server);
            if (cancel) {
                platform::cancelPipeReads(server);
                QCOMPARE(read.get().error, platform::win32::kErrorOperationAborted);
            } else {
                // Still connected well past the 2 s a read once gave a client.
                pollfd hangUp{static_cast<int>(client), POLLIN, 0};
                QCOMPARE(poll(&hangUp, 1, 2500), 0);
                QVERIFY(platform::writePipe(client, "late", 4));
                QCOMPARE(read.get().bytes, QByteArray("late"));
            }
            platform::closePipe(client);
        }
        platform::closePipeServer(server);
    }

    void wakeEndsABlockedWait()
    {
        const platform::PipeHandle server = platform::createPipeServer(kPipe);
        std::atomic<bool> stop{false};
        std::atomic<bool> ended{false};
        std::atomic<int> served{0};
        std::thread listener([&] {
            while (!stop) {
                if (serveOne(server).ok && !stop)
                    ++served;
            }
            ended = true;
        });
        // A real client is served while the listener runs.
        QVERIFY(send(pattern(20)));
        QTRY_COMPARE(served.load(), 1);

        stop = true;
        for (int attempt = 0; attempt < 500 && !ended; ++attempt) {
            platform::wakePipeServer(kPipe);
            QTest::qWait(20);
        }
        QVERIFY(ended);
        listener.join();
        QCOMPARE(served.load(), 1); // the wake is not taken for a message
        platform::closePipeServer(server);
    }
};

QTEST_GUILESS_MAIN(TestMessagePipe)
#include "tst_message_pipe.moc"
