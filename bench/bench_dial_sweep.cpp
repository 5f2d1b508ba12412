// Dial sweep: the VT2 headphone dial dragged from -80 dB to +6 dB with the left
// button held, one pixel upwards per mouse move, through the window system
// (QTest's window-level mouse events reach the panel as a real drag does) and
// with the event loop painting between moves. Each sweep's wall time and the
// steps per second are reported; the panel sends and saves every step.
//
//   bench_dial_sweep [--sweeps N]

#include "bench_support.h"
#include "controls/knob.h"
#include "panels/vt2.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMinimum = -80;
constexpr int kMaximum = 6;

int optionValue(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    return fallback;
}

struct Sweep {
    double milliseconds = 0;
    int moves = 0;
    int steps = 0;
};

// One drag from the dial's lower half straight up until the dial reads its
// maximum (or the moves run out).
Sweep drag(QWindow* window, Knob* dial)
{
    const QPoint centre = dial->mapTo(dial->window(), dial->rect().center());
    const int startY = centre.y() + dial->height() / 2;
    QSignalSpy changes(dial, &Knob::valueChangedSig);
    Sweep sweep;
    const Clock::time_point start = Clock::now();
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(centre.x(), startY));
    for (int y = startY; dial->value < kMaximum && sweep.moves < 4 * (kMaximum - kMinimum); --y) {
        QTest::mouseMove(window, QPoint(centre.x(), y));
        QApplication::processEvents();
        ++sweep.moves;
    }
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier,
                        QPoint(centre.x(), startY - sweep.moves + 1));
    QApplication::processEvents();
    sweep.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    sweep.steps = int(changes.count());
    return sweep;
}

} // namespace

int main(int argc, char** argv)
{
    const int sweeps = std::max(1, optionValue(argc, argv, "--sweeps", 30));

    bench::PrivateEnvironment environment;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench::sendLogToNull();
    WideOutputSink openLines; // the driver link reports each opened device

    const auto plugged = bench::plugStillUnit(virtualunit::kProductIdVt2);
    if (!plugged)
        return 1;
    virtualunit::VirtualUnit& unit = *plugged;

    auto panel = std::make_unique<vt2>();
    panel->show();
    if (!QTest::qWaitForWindowExposed(panel.get())) {
        std::fprintf(stderr, "the panel's window was never exposed\n");
        return 1;
    }
    auto* dial = panel->findChild<Knob*>(QStringLiteral("headphoneDial"));
    QWindow* window = panel->windowHandle();
    if (!dial || !window) {
        std::fprintf(stderr, "no headphone dial or no window\n");
        return 1;
    }

    // A first drag, not counted: the dial compares each move with where the
    // previous drag ended, and before any drag that is the widget's origin.
    dial->setValue(kMinimum);
    drag(window, dial);

    std::vector<double> times;
    int shortSweeps = 0;
    int steps = 0;
    int moves = 0;
    for (int i = 0; i < sweeps; ++i) {
        dial->setValue(kMinimum);
        QApplication::processEvents();
        unit.clearTrace();
        const Sweep sweep = drag(window, dial);
        if (dial->value != kMaximum)
            ++shortSweeps;
        times.push_back(sweep.milliseconds);
        steps = sweep.steps;
        moves = sweep.moves;
    }

    const bench::Summary summary = bench::summarize(times);
    const int dialSteps = kMaximum - kMinimum;
    bench::printHeading("Dial sweep: VT2 headphone dial dragged from -80 to +6 dB (" +
                        std::to_string(sweeps) + " sweeps of " + std::to_string(moves) +
                        " mouse moves, " + std::to_string(steps) + " sends each)");
    bench::printFigure("sweep wall time median", summary.median, "ms");
    bench::printFigure("sweep wall time worst", summary.maximum, "ms");
    bench::printFigure("steps per second (median sweep)", dialSteps * 1000.0 / summary.median,
                       "1/s");
    bench::printFigure("time per step (median sweep)", summary.median * 1000.0 / dialSteps, "us");
    if (shortSweeps > 0)
        std::printf("  %d sweeps did not reach +6 dB\n", shortSweeps);

    panel.reset();
    return shortSweeps == 0 ? 0 : 2;
}
