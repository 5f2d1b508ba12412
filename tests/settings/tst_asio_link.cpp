// The settings dialog's link with the ASIO driver, played by the virtual unit:
// the reset byte on OK, the open-window message through the listener thread,
// and the listener's shutdown with the dialog.

#include "log_capture.h"
#include "platform/message_pipe.h"
#include "platform/posix_endpoint.h"
#include "settings/settings.h"
#include "settings/thread_settings_pip.h"
#include "test_environment.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

using Bytes = QByteArray;

namespace {

const QString kWaiting = QStringLiteral("ThreadSettingsPip is running waiting Asio Info...");
const QString kOpenWindow = QStringLiteral("Open Window Signal from ASIO.");
const QString kShown = QStringLiteral("Received signal from pipe thread to show settings window.");
const QString kNoData = QStringLiteral("No data received from pipe.");
const QString kPipeClosed = QStringLiteral("Pipe closed.");
const QString kOpened = QStringLiteral("Pipe opened successfully.");
const QString kResetSent = QStringLiteral("ASIO reset signal sent successfully.");
const QString kNotified = QStringLiteral("设置通知ASIO逻辑");

QString panelPipePath()
{
    return QString::fromStdString(platform::posix::endpointPath(virtualunit::kPanelPipe));
}

// Ends the test process if a blocking step on the GUI thread does not return:
// a hang guard, not a measure of speed.
class HangGuard {
public:
    explicit HangGuard(const char* what)
        : m_thread([this, what] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(30), [this] { return m_finished; }))
                qFatal("%s did not return", what);
        })
    {
    }
    ~HangGuard()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace

class TestAsioLink : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    WideOutputSink m_openLines; // the driver's device-open lines
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<virtualunit::VirtualUnit> m_unit;
    std::unique_ptr<Settings> m_dialog;

    // A dialog whose listener waits for its first client.
    void openDialog()
    {
        m_dialog = std::make_unique<Settings>();
        QTRY_COMPARE(m_log->count(kWaiting), 1);
    }

    // Sends one message as the ASIO driver and waits until the listener has
    // dealt with it and waits again, so that a signal it emitted has been
    // queued to the dialog; then delivers it.
    void deliver(const std::function<std::uint32_t()>& send)
    {
        const int waits = m_log->count(kWaiting);
        QCOMPARE(send(), 0u);
        QTRY_COMPARE(m_log->count(kWaiting), waits + 1);
        QCoreApplication::processEvents();
    }

    QPushButton* okButton() const
    {
        for (QPushButton* button : m_dialog->findChildren<QPushButton*>()) {
            if (button->text() == QLatin1String("OK"))
                return button;
        }
        return nullptr;
    }

private slots:

    void init()
    {
        m_log = std::make_unique<LogCapture>();
        virtualunit::Options options;
        options.movingMeters = false;
        m_unit = std::make_unique<virtualunit::VirtualUnit>(options);
    }

    void cleanup()
    {
        m_dialog.reset();
        m_unit.reset();
        m_log.reset();
    }

    void listenerStartsWithTheDialog()
    {
        openDialog();
        const QStringList lines = m_log->lines();
        QVERIFY(lines.indexOf("Pipe created successfully.") <
                lines.indexOf("ThreadSettingsPip initialized."));
        QVERIFY(lines.contains("ThreadSettingsPip initialized."));
        QVERIFY(QFile::exists(panelPipePath()));
        QVERIFY(m_dialog->isHidden());
    }

    // What the ASIO driver sends, and whether the dialog comes to the front.
    void openWindowMessage_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("logged");

        const auto words = [](const virtualunit::AsioWords& values) {
            const auto bytes = virtualunit::VirtualUnit::openWindowMessage(values);
            return Bytes(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<int>(bytes.size()));
        };
        QTest::newRow("word 4 = 1")
            << words({0, 0, 0, 0, 1}) << false << true << "Received data from pipe: 0 0 0 0 1";
        QTest::newRow("word 4 = 1, dialog minimised")
            << words({0, 0, 0, 0, 1}) << true << true << "Received data from pipe: 0 0 0 0 1";
        QTest::newRow("largest word 4, other words set")
            << words({1, 2, 3, 4, 4294967295u}) << false << true
            << "Received data from pipe: 1 2 3 4 4294967295";
        QTest::newRow("words 0 to 3 only reach the log")
            << words({7, 8, 9, 4294967295u, 0}) << false << false
            << "Received data from pipe: 7 8 9 4294967295 0";
        QTest::newRow("words 0 to 3 leave a minimised dialog alone")
            << words({1, 1, 1, 1, 0}) << true << false << "Received data from pipe: 1 1 1 1 0";
        QTest::newRow("16 bytes: word 4 reads as zero")
            << Bytes(16, '\xFF') << false << false
            << "Received data from pipe: 4294967295 4294967295 4294967295 4294967295 0";
        QTest::newRow("empty") << Bytes() << false << false << "Received data from pipe: 0 0 0 0 0";
        QTest::newRow("17 bytes: word 4 has its low byte")
            << Bytes(17, '\x01') << false << true
            << "Received data from pipe: 16843009 16843009 16843009 16843009 1";
        QTest::newRow("1024 bytes, the whole buffer")
            << Bytes(1024, '\x02') << false << true
            << "Received data from pipe: 33686018 33686018 33686018 33686018 33686018";
    }

    void openWindowMessage()
    {
        QFETCH(Bytes, message);
        QFETCH(bool, minimised);
        QFETCH(bool, shown);
        QFETCH(QString, logged);

        openDialog();
        if (minimised) {
            m_dialog->showMinimized();
            QVERIFY(m_dialog->isMinimized());
        }
        deliver([&] {
            return m_unit->sendToPanel(
                std::vector<unsigned char>(message.cbegin(), message.cend()));
        });
        QCOMPARE(m_log->count(logged), 1);
        QCOMPARE(m_log->count(kOpenWindow), shown ? 1 : 0);
        QCOMPARE(m_log->count(kShown), shown ? 1 : 0);
        if (shown) {
            QVERIFY(m_dialog->isVisible());
            QVERIFY(!m_dialog->isMinimized());
            QVERIFY(m_dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        } else {
            QCOMPARE(m_dialog->isVisible(), minimised);
            QCOMPARE(m_dialog->isMinimized(), minimised);
            QVERIFY(!m_dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        }
    }

    void longMessageIsAReadError()
    {
        openDialog();
        deliver([&] { return m_unit->sendToPanel(std::vector<unsigned char>(2000, 1)); });
        QCOMPARE(m_log->count("Error reading from pipe. Error code: 234"), 1);
        QCOMPARE(m_log->count(kNoData), 1);
        QVERIFY(m_dialog->isHidden());
        // The listener goes on with the next client.
        deliver([&] { return m_unit->sendOpenWindow(); });
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_log->count(kShown), 1);
    }

    void twoClientsInARow()
    {
        openDialog();
        const int waits = m_log->count(kWaiting);
        QCOMPARE(m_unit->sendOpenWindow({1, 0, 0, 0, 1}), 0u);
        QCOMPARE(m_unit->sendOpenWindow({2, 0, 0, 0, 0}), 0u);
        QTRY_COMPARE(m_log->count(kWaiting), waits + 2);
        QCOMPARE(m_log->count("Received data from pipe: 1 0 0 0 1"), 1);
        QCOMPARE(m_log->count("Received data from pipe: 2 0 0 0 0"), 1);
        const QStringList lines = m_log->lines();
        QVERIFY(lines.indexOf("Received data from pipe: 1 0 0 0 1") <
                lines.indexOf("Received data from pipe: 2 0 0 0 0"));
        QTRY_VERIFY(m_dialog->isVisible());
    }

    void okWithoutAsioDriver()
    {
        openDialog();
        m_dialog->show();
        QTest::mouseClick(okButton(), Qt::LeftButton);
        QVERIFY(m_dialog->isHidden());
        QCOMPARE(m_log->count("Error: Could not open pipe. Error code: 2"), 1);
        QCOMPARE(m_log->count(kOpened), 0);
        QCOMPARE(m_log->count(kNotified), 0);
    }

    void okSendsTheResetEveryTime_data()
    {
        QTest::addColumn<int>("presses");
        QTest::addColumn<bool>("changeOption");

        QTest::newRow("once") << 1 << false;
        QTest::newRow("three times, nothing changed") << 3 << false;
        QTest::newRow("twice, an option changed between") << 2 << true;
    }

    void okSendsTheResetEveryTime()
    {
        QFETCH(int, presses);
        QFETCH(bool, changeOption);

        QVERIFY(m_unit->plug());
        openDialog();
        for (int press = 1; press <= presses; ++press) {
            m_dialog->show();
            QTest::mouseClick(okButton(), Qt::LeftButton);
            QVERIFY(m_dialog->isHidden());
            QTRY_COMPARE(m_unit->state().asioResets, static_cast<std::uint32_t>(press));
            if (changeOption)
                m_dialog->findChild<QComboBox*>("safeModeBox")->setCurrentIndex(press % 2);
        }
        QCOMPARE(m_unit->state().asioOtherMessages, 0u);
        QCOMPARE(m_log->count(kOpened), presses);
        QCOMPARE(m_log->count(kResetSent), presses);
        QCOMPARE(m_log->count(kNotified), presses);
        const QStringList lines = m_log->lines();
        QVERIFY(lines.lastIndexOf(kOpened) < lines.lastIndexOf(kResetSent));
        QVERIFY(lines.lastIndexOf(kResetSent) < lines.lastIndexOf(kNotified));
    }

    // Closing the dialog ends the listener first, then closes its pipe.
    void closingEndsTheListener_data()
    {
        QTest::addColumn<int>("messagesBefore");
        QTest::newRow("waiting for its first client") << 0;
        QTest::newRow("right after a client") << 1;
        QTest::newRow("right after two clients") << 2;
    }

    void closingEndsTheListener()
    {
        QFETCH(int, messagesBefore);

        openDialog();
        QPointer<ThreadSettingsPip> listener = m_dialog->findChild<ThreadSettingsPip*>();
        QVERIFY(listener);
        QVERIFY(listener->isRunning());
        for (int i = 0; i < messagesBefore; ++i)
            QCOMPARE(m_unit->sendOpenWindow({0, 0, 0, 0, 0}), 0u);
        {
            HangGuard guard("closing the settings dialog");
            m_dialog.reset();
        }
        QVERIFY(listener.isNull());
        QCOMPARE(m_log->count(kPipeClosed), 1);
        const QStringList lines = m_log->lines();
        QCOMPARE(lines.last(), kPipeClosed);
        // The wake that ended the wait is no message of the ASIO driver's.
        QCOMPARE(m_log->count(kNoData), 0);
        QVERIFY(m_log->count("Received data from pipe: 0 0 0 0 0") <= messagesBefore);
        QVERIFY(!QFile::exists(panelPipePath()));
        QCOMPARE(m_unit->sendOpenWindow(), 2u);
    }

    // A client that connects and never writes holds the listener's read until
    // the dialog closes, whether the listener has taken it yet or not; closing
    // cancels that read and still ends the listener.
    void closingWithASilentClient()
    {
        openDialog();
        const platform::PipeHandle silent = platform::openPipe(L"\\\\.\\pipe\\QuorlinASIOToPannel");
        QVERIFY(silent != platform::kInvalidPipeHandle);
        {
            HangGuard guard("closing the settings dialog with a silent client");
            m_dialog.reset();
        }
        platform::closePipe(silent);
        QCOMPARE(m_log->count(kPipeClosed), 1);
    }

    void listenerWithoutPipe()
    {
        // The runtime directory cannot be made: a file stands where it goes.
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        const QString blocked = m_env.root() + "/blocked";
        QVERIFY(QDir().mkpath(blocked));
        QFile file(blocked + "/quorlin");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(blocked));

        openDialog();
        qputenv("XDG_RUNTIME_DIR", saved);
        const QStringList lines = m_log->lines();
        const auto failed = lines.filter("Error: Could not create pipe. Error code:");
        QCOMPARE(failed.size(), 1);
        QVERIFY(lines.indexOf(failed.first()) <
                lines.indexOf("Failed to create named pipe in ThreadSettingsPip."));
        QVERIFY(lines.contains("ThreadSettingsPip initialized."));
        // The thread runs anyway; every turn fails and pauses.
        QTRY_VERIFY(m_log->count(kNoData) >= 2);
        QVERIFY(m_log->count("Error connecting to pipe. Error code: 6") >= 2);
        {
            HangGuard guard("closing the settings dialog");
            m_dialog.reset();
        }
        QCOMPARE(m_log->count(kPipeClosed), 0);
    }
};

QTEST_MAIN(TestAsioLink)
#include "tst_asio_link.moc"
