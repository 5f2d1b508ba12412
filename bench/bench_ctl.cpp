// quorlinctl: `quorlinctl set headphone.volume=-20` from the process start to
// the unit receiving the Mixer block, against its floor measured in the same
// run: the start of the same program that only prints its version (start to
// exit), plus the same change made in the panel (Knob::setValue to the unit
// receiving the block). The panel is the application's own main window,
// settings dialog and quorlinctl server, in this process, with the virtual
// unit on its thread; quorlinctl runs as its own process. Real and floor
// samples alternate (and swap order every run).
//
//   bench_ctl [--runs N]

#include "app/control_server.h"
#include "app/main_window.h"
#include "bench_support.h"
#include "controls/knob.h"
#include "panels/model_panel.h"
#include "settings/settings.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 1.5;
constexpr int kHeadphoneLevel = -20;

double milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Runs the event loop, without spinning, until `done` holds; false after 10 s.
bool serveUntil(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Starts quorlinctl and serves the panel until it ends; its exit status, or -1.
int runQuorlinctl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(QUORLINCTL_EXE), arguments);
    if (!serveUntil([&process] { return process.state() == QProcess::NotRunning; }))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 21;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));

    bench::PrivateEnvironment environment;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QuorlinDriver"));
    bench::sendLogToNull();
    WideOutputSink openLines;

    const auto plugged = bench::plugStillUnit(virtualunit::kProductIdVt2);
    if (!plugged)
        return 1;
    std::atomic<Clock::rep> received{0};
    plugged->setTraceListener([&received](const std::string& line) {
        if (line.rfind("WriteMixer", 0) == 0)
            received.store(Clock::now().time_since_epoch().count());
    });

    Settings dialog;
    MainWindow window;
    window.settingsDialog = &dialog;
    ControlServer server({&window, &dialog});
    if (!server.listen() || !serveUntil([&window] { return !window.firmware().isEmpty(); })) {
        std::fprintf(stderr, "the panel did not start or found no unit\n");
        return 1;
    }
    Knob* dial = nullptr;
    for (const PanelControl& control : window.panel()->controls())
        if (control.name == QLatin1String("headphone.volume"))
            dial = control.knob;
    const auto receivedAt = [&received] {
        return Clock::time_point(Clock::duration(received.load()));
    };

    std::vector<double> real, floorStart, floorChange, floor;
    int failures = 0;
    const auto measureReal = [&] {
        received = 0;
        const Clock::time_point start = Clock::now();
        if (runQuorlinctl({"set", "headphone.volume=" + QString::number(kHeadphoneLevel)}) != 0 ||
            received == 0)
            ++failures;
        real.push_back(milliseconds(start, receivedAt()));
    };
    const auto measureFloor = [&] {
        const Clock::time_point start = Clock::now();
        if (runQuorlinctl({"--version"}) != 0)
            ++failures;
        floorStart.push_back(milliseconds(start, Clock::now()));
        received = 0;
        const Clock::time_point change = Clock::now();
        dial->setValue(kHeadphoneLevel);
        floorChange.push_back(milliseconds(change, receivedAt()));
        floor.push_back(floorStart.back() + floorChange.back());
    };
    measureReal(); // warm-up: file caches, the socket's first connection
    measureFloor();
    real.clear();
    floorStart.clear();
    floorChange.clear();
    floor.clear();
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0) {
            measureReal();
            measureFloor();
        } else {
            measureFloor();
            measureReal();
        }
    }

    const bench::Summary realSummary = bench::summarize(real);
    const bench::Summary floorSummary = bench::summarize(floor);
    const double ratio = realSummary.median / floorSummary.median;
    bench::printHeading("quorlinctl: `quorlinctl set headphone.volume=-20`, process start -> "
                        "the unit receives the Mixer block (" +
                        std::to_string(runs) + " runs, floor interleaved)");
    bench::printFigure("quorlinctl set median", realSummary.median, "ms");
    bench::printFigure("quorlinctl set worst", realSummary.maximum, "ms");
    bench::printFigure("floor median (start + change in panel)", floorSummary.median, "ms");
    bench::printFigure("  floor part: quorlinctl --version, start to exit",
                       bench::summarize(floorStart).median, "ms");
    bench::printFigure("  floor part: Knob::setValue to the unit",
                       bench::summarize(floorChange).median, "ms");
    bench::printFigure("ratio to floor at the median", ratio, "x", "<= 1.50",
                       ratio <= kTargetRatio);
    std::printf("  checks: %d failed runs\n", failures);
    return failures == 0 ? 0 : 1;
}
