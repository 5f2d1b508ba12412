// Device detection and the connection poll of the main window, against the
// virtual unit on the private runtime directory.

#include "app/main_window.h"
#include "log_capture.h"
#include "settings/settings.h"
#include "test_environment.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QLabel>
#include <QLayout>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

// The detection and poll timers run fast in these tests; their order and the
// failure counting are what is under test, not their periods.
constexpr int kFastDetectMs = 30;
constexpr int kFastPollMs = 15;
constexpr int kWaitMs = 5000;

const QString kNotConnected = QStringLiteral("声卡未连接！");
const QString kUnknownDevice = QStringLiteral("未知设备，请检查连接！");
const QString kFirmwareFailed = QStringLiteral("获取固件版本失败，请检查连接！");

} // namespace

class TestDetection : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    WideOutputSink m_openLines; // the driver's device-open lines
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<virtualunit::VirtualUnit> m_unit;

    QTimer* timer(const char* name) const { return m_window->findChild<QTimer*>(name); }

    // What the window's layout shows: label texts, or the panel's class name.
    QStringList shown() const
    {
        QStringList items;
        QLayout* layout = m_window->centralWidget()->layout();
        for (int i = 0; i < layout->count(); ++i) {
            QWidget* widget = layout->itemAt(i)->widget();
            if (auto* label = qobject_cast<QLabel*>(widget))
                items << label->text();
            else if (widget)
                items << QString::fromLatin1(widget->metaObject()->className());
        }
        return items;
    }

    void plugUnit(std::uint32_t productId, const std::string& firmware = "V1.0.3-abc")
    {
        virtualunit::Options options;
        options.productId = productId;
        options.firmware = firmware;
        options.movingMeters = false;
        m_unit = std::make_unique<virtualunit::VirtualUnit>(options);
        QVERIFY(m_unit->plug());
    }

    bool traced(const std::string& line) const
    {
        const auto lines = m_unit->trace();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    void waitConnected()
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            timer("pollTimer")->isActive() && !timer("detectTimer")->isActive(), kWaitMs);
    }

    void waitSearching()
    {
        QTRY_VERIFY_WITH_TIMEOUT(shown() == QStringList{kNotConnected} &&
                                     timer("detectTimer")->isActive() &&
                                     !timer("pollTimer")->isActive(),
                                 kWaitMs);
    }

private slots:

    void init()
    {
        m_log = std::make_unique<LogCapture>();
        m_settings = std::make_unique<Settings>();
        m_window = std::make_unique<MainWindow>();
        m_window->settingsDialog = m_settings.get();
        timer("detectTimer")->setInterval(kFastDetectMs);
        timer("pollTimer")->setInterval(kFastPollMs);
    }

    void cleanup()
    {
        m_window.reset();
        m_settings.reset();
        m_unit.reset();
        m_log.reset();
    }

    void noUnitKeepsSearching()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_log->count("Device PID: 0") >= 3, kWaitMs);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Quorlin Driver"));
        QCOMPARE(shown(), QStringList{kNotConnected});
        QVERIFY(!timer("pollTimer")->isActive());
        QVERIFY(!m_log->contains("Unknown device PID: 0"));
    }

    void knownUnitIsShown_data()
    {
        QTest::addColumn<uint>("productId");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("addedLine");

        QTest::newRow("VT1") << 1u << "Quorlin VT1 - FW: V1.0.3-abc"
                             << "vt1"
                             << "Adding vt1 widget to layout.";
        QTest::newRow("VT2") << 2u << "Quorlin VT2 - FW: V1.0.3-abc"
                             << "vt2"
                             << "Adding vt2 widget to layout.";
        QTest::newRow("VR") << 15u << "Quorlin VR - FW: V1.0.3-abc"
                            << "vr"
                            << "Adding vr widget to layout.";
    }

    void knownUnitIsShown()
    {
        QFETCH(uint, productId);
        QFETCH(QString, title);
        QFETCH(QString, panel);
        QFETCH(QString, addedLine);

        plugUnit(productId);
        waitConnected();
        QCOMPARE(m_window->windowTitle(), title);
        QTRY_COMPARE(shown(), QStringList{panel});
        QVERIFY(m_log->contains(addedLine));
        QVERIFY(m_log->contains(QString("Device found with PID: %1").arg(productId)));
    }

    void firmwareBytesGoIntoTheTitleAsTheyAre()
    {
        plugUnit(2, std::string("V1.0\0%2-ab", 10));
        waitConnected();
        const QString expected =
            QStringLiteral("Quorlin VT2 - FW: V1.0") + QChar(0) + QStringLiteral("%2-ab");
        QCOMPARE(m_window->windowTitle(), expected);
    }

    void thirdFailedPollDisconnects()
    {
        plugUnit(2);
        waitConnected();
        m_log->clear();

        m_unit->fail("GetDevicePid", 2);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_log->contains("Error reading device PID from driver, error count: 2"), kWaitMs);
        // Let a few good polls pass: two failures only log.
        m_unit->clearTrace();
        QTRY_VERIFY_WITH_TIMEOUT(m_unit->trace().size() > 3, kWaitMs);
        QVERIFY(timer("pollTimer")->isActive());
        QCOMPARE(shown(), QStringList{"vt2"});

        m_unit->unplug();
        waitSearching();
        QVERIFY(m_log->contains("Error reading device PID from driver, error count: 3"));
        QVERIFY(m_log->contains("Meter driver handle deleted."));
        QVERIFY(m_log->contains("Cleared all widgets from base layout."));
        // The title keeps naming the unit that went away.
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Quorlin VT2 - FW: V1.0.3-abc"));
    }

    void aGoodPollRestartsTheCount()
    {
        plugUnit(2);
        waitConnected();
        m_log->clear();

        m_unit->fail("GetDevicePid", 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_log->contains("Error reading device PID from driver, error count: 1"), kWaitMs);
        m_unit->clearTrace();
        QTRY_VERIFY_WITH_TIMEOUT(traced("GetDevicePid -> 2"), kWaitMs);
        m_unit->fail("GetDevicePid", 2);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_log->count("Error reading device PID from driver, error count: 1") == 2 &&
                m_log->contains("Error reading device PID from driver, error count: 2"),
            kWaitMs);
        m_unit->clearTrace();
        QTRY_VERIFY_WITH_TIMEOUT(traced("GetDevicePid -> 2"), kWaitMs);
        QVERIFY(timer("pollTimer")->isActive());
        QVERIFY(!m_log->contains("Error reading device PID from driver, error count: 3"));
    }

    void reconnectedUnitNeedsThreeFailuresAgain()
    {
        plugUnit(2);
        waitConnected();
        m_unit->unplug();
        waitSearching();

        // A slow poll, so that the failure below meets the first poll after
        // the reconnection, before any good poll could reset the count.
        timer("pollTimer")->setInterval(1000);
        QVERIFY(m_unit->plug());
        waitConnected();
        m_log->clear();
        m_unit->fail("GetDevicePid", 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_log->contains("Error reading device PID from driver, error count: 1"), kWaitMs);
        QVERIFY(timer("pollTimer")->isActive());
        QCOMPARE(shown(), QStringList{"vt2"});
    }

    void unitFoundWhilePollingNeedsThreeFailuresAgain()
    {
        // The settings dialog cannot connect yet: the poll runs beside the
        // detection. From then on the test fires both timers itself.
        m_window->settingsDialog = nullptr;
        plugUnit(2);
        QTRY_VERIFY_WITH_TIMEOUT(m_log->contains("Failed to connect to driver in settings window."),
                                 kWaitMs);
        for (const char* name : {"detectTimer", "pollTimer"})
            timer(name)->setInterval(std::chrono::hours(1));
        const auto fire = [this](const char* name) {
            QVERIFY(QMetaObject::invokeMethod(timer(name), "timeout"));
        };
        m_unit->fail("GetDevicePid", 2);
        fire("pollTimer");
        fire("pollTimer");
        QVERIFY(m_log->contains("Error reading device PID from driver, error count: 2"));

        m_window->settingsDialog = m_settings.get();
        fire("detectTimer");
        QVERIFY(!timer("detectTimer")->isActive() && timer("pollTimer")->isActive());
        m_log->clear();
        m_unit->fail("GetDevicePid", 1);
        fire("pollTimer");
        QVERIFY(m_log->contains("Error reading device PID from driver, error count: 1"));
        QCOMPARE(shown(), QStringList{"vt2"});
    }

    void unknownUnitIsReportedUntilItGoes()
    {
        plugUnit(7);
        QTRY_VERIFY_WITH_TIMEOUT(m_log->count("Unknown device PID: 7") >= 2, kWaitMs);
        QCOMPARE(shown(), QStringList{kUnknownDevice});
        QVERIFY(timer("detectTimer")->isActive());
        QVERIFY(!timer("pollTimer")->isActive());

        // Once it is unplugged, the window no longer claims an unknown unit.
        m_unit->unplug();
        m_log->clear();
        QTRY_VERIFY_WITH_TIMEOUT(m_log->count("Device PID: 0") >= 2, kWaitMs);
        QCOMPARE(shown(), QStringList{kNotConnected});
        QVERIFY(!m_log->contains("Unknown device PID: 7"));
    }

    void failedPidReadDuringDetectionMeansNoUnit()
    {
        plugUnit(7);
        QTRY_VERIFY_WITH_TIMEOUT(m_log->contains("Unknown device PID: 7"), kWaitMs);
        m_unit->fail("GetDevicePid", virtualunit::VirtualUnit::kUntilHealed);
        m_log->clear();
        QTRY_VERIFY_WITH_TIMEOUT(m_log->count("Device PID: 0") >= 2, kWaitMs);
        QCOMPARE(shown(), QStringList{kNotConnected});
    }

    void failedFirmwareReadKeepsDetecting()
    {
        plugUnit(2);
        m_unit->fail("GetFirmwareVersion", virtualunit::VirtualUnit::kUntilHealed);
        QTRY_VERIFY_WITH_TIMEOUT(m_log->count("Failed to get firmware version.") >= 2, kWaitMs);
        QTRY_COMPARE(shown(), (QStringList{"vt2", kFirmwareFailed}));
        QVERIFY(timer("detectTimer")->isActive());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Quorlin Driver"));

        m_unit->heal();
        waitConnected();
        QTRY_COMPARE(shown(), QStringList{"vt2"});
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Quorlin VT2 - FW: V1.0.3-abc"));
    }

    void windowFollowsWhatItShows()
    {
        m_window->show();
        plugUnit(2);
        waitConnected();
        const int vt2Width = m_window->width();
        m_unit->unplug();
        waitSearching();
        QVERIFY(m_window->width() < vt2Width);

        m_unit->setProductId(15);
        QVERIFY(m_unit->plug());
        waitConnected();
        QTRY_COMPARE(shown(), QStringList{"vr"});
        QVERIFY(m_window->width() < vt2Width);
        QVERIFY(m_window->width() >= m_window->centralWidget()->sizeHint().width());
    }

    void closingWithoutATrayClosesTheWindow()
    {
        // The offscreen platform has no notification area.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        m_window->show();
        QVERIFY(m_window->close());
        QVERIFY(!m_window->isVisible());
    }

    void unplugAfterFirmwareFailureReturnsToSearching()
    {
        plugUnit(2);
        m_unit->fail("GetFirmwareVersion", virtualunit::VirtualUnit::kUntilHealed);
        QTRY_VERIFY_WITH_TIMEOUT(m_log->contains("Failed to get firmware version."), kWaitMs);
        m_unit->unplug();
        waitSearching();
    }
};

QTEST_MAIN(TestDetection)
#include "tst_detection.moc"
