// Control change: one step of the VT2 headphone dial (Knob::setValue) through
// the panel's handler to the 66304-byte Mixer block answered by the virtual
// unit and vt2.ini synced, against the floor measured in the same run: one
// bare QSettings setValue + sync of a file of the same content, plus one bare
// WriteMixer exchange of a block of the same size with the same unit.
// Real and floor samples alternate (and swap order every step) so that drift
// of a noisy machine falls on both alike.
//
//   bench_control_change [--steps N] [--warmup N]

#include "bench_support.h"
#include "controls/knob.h"
#include "driver/mixer_block.h"
#include "driver/quorlin_io_control.h"
#include "panels/vt2.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 1.3;
constexpr int kPanelBuilds = 7;
constexpr int kHeadphoneLeft = 4;
const QString kHeadphoneKey = QStringLiteral("Dial/HeadphoneValue");

double microseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// -80 up to 6 and back down, so that every step moves the dial.
int dialValueAt(int step)
{
    constexpr int kSpan = 86;
    const int phase = step % (2 * kSpan);
    return phase <= kSpan ? -80 + phase : 6 - (phase - kSpan);
}

int optionValue(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    return fallback;
}

int countWrites(virtualunit::VirtualUnit& unit)
{
    int writes = 0;
    for (const std::string& line : unit.takeTrace())
        if (line.rfind("WriteMixer", 0) == 0)
            ++writes;
    return writes;
}

} // namespace

int main(int argc, char** argv)
{
    const int steps = std::max(1000, optionValue(argc, argv, "--steps", 2000));
    const int warmup = optionValue(argc, argv, "--warmup", 200);

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

    // Building the panel replays the stored state: every control is sent to
    // the unit and saved. Timed over a few builds (the first one, on an empty
    // file, is not counted).
    std::vector<double> builds;
    for (int i = 0; i <= kPanelBuilds; ++i) {
        const Clock::time_point start = Clock::now();
        auto built = std::make_unique<vt2>();
        const Clock::time_point end = Clock::now();
        if (i > 0)
            builds.push_back(microseconds(start, end) / 1000.0);
    }

    auto panel = std::make_unique<vt2>();
    panel->show();
    QApplication::processEvents();
    auto* dial = panel->findChild<Knob*>(QStringLiteral("headphoneDial"));
    if (!dial) {
        std::fprintf(stderr, "the VT2 panel has no headphone dial\n");
        return 1;
    }

    // The floor writes a copy of the panel's own file, so both sync the same
    // number of bytes, and a copy of the unit's current block.
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString panelFile = directory + QStringLiteral("/vt2.ini");
    const QString floorFile = directory + QStringLiteral("/floor.ini");
    QFile::remove(floorFile);
    QFile::copy(panelFile, floorFile);
    QSettings floorSettings(floorFile, QSettings::IniFormat);
    QuorlinIoControl floorDevice;
    if (!floorDevice.OpenDevice()) {
        std::fprintf(stderr, "the floor cannot open the virtual unit\n");
        return 1;
    }
    MixerBlock floorBlock{};
    {
        const virtualunit::UnitState state = unit.state();
        std::memcpy(&floorBlock, state.mixer.data(), sizeof floorBlock);
    }

    std::vector<double> real;
    std::vector<double> floor;
    std::vector<double> floorSync;
    std::vector<double> floorExchange;
    real.reserve(std::size_t(steps));
    floor.reserve(std::size_t(steps));
    int mismatches = 0;
    int exchanges = 0;
    unit.clearTrace();

    for (int i = -warmup; i < steps; ++i) {
        const int value = dialValueAt(i + warmup);
        const bool measured = i >= 0;
        auto realStep = [&] {
            const Clock::time_point start = Clock::now();
            dial->setValue(value);
            const Clock::time_point end = Clock::now();
            if (measured)
                real.push_back(microseconds(start, end));
        };
        auto floorStep = [&] {
            // Another gain than the panel's, so that each block changes the
            // same two cells in the unit's view and its trace line costs alike.
            const double gain = QuorlinIoControl::DbToLinear(value) + 0.5;
            floorBlock(MixerBlock::kOutputLevelRow, kHeadphoneLeft) = gain;
            floorBlock(MixerBlock::kOutputLevelRow, kHeadphoneLeft + 1) = gain;
            const Clock::time_point start = Clock::now();
            floorSettings.setValue(kHeadphoneKey, value);
            floorSettings.sync();
            const Clock::time_point synced = Clock::now();
            const bool sent = floorDevice.WriteMixer(floorBlock);
            const Clock::time_point end = Clock::now();
            if (!sent)
                ++mismatches;
            if (measured) {
                floor.push_back(microseconds(start, end));
                floorSync.push_back(microseconds(start, synced));
                floorExchange.push_back(microseconds(synced, end));
            }
        };
        if (i % 2 == 0) {
            realStep();
            floorStep();
        } else {
            floorStep();
            realStep();
        }
        // Outside the timing: the dial repaints as it would between two steps,
        // and the unit must hold what the panel sent.
        QApplication::processEvents();
        // (On odd steps the panel sent last.)
        if (measured && i % 50 == 1 &&
            unit.state().cell(MixerBlock::kOutputLevelRow, kHeadphoneLeft) !=
                QuorlinIoControl::DbToLinear(value))
            ++mismatches;
        exchanges += countWrites(unit);
    }

    const int lastValue = dialValueAt(steps - 1 + warmup);
    const int storedValue = QSettings(panelFile, QSettings::IniFormat).value(kHeadphoneKey).toInt();
    if (storedValue != lastValue)
        ++mismatches;
    const int expectedExchanges = 2 * (steps + warmup);

    const bench::Summary realSummary = bench::summarize(real);
    const bench::Summary floorSummary = bench::summarize(floor);
    const double ratio = realSummary.median / floorSummary.median;

    bench::printHeading("Control change: VT2 headphone dial step -> handler -> 66304-byte "
                        "WriteMixer at the virtual unit + vt2.ini synced (" +
                        std::to_string(steps) + " steps, floor interleaved)");
    bench::printFigure("control change median", realSummary.median, "us");
    bench::printFigure("control change p99", realSummary.p99, "us");
    bench::printFigure("floor median (setValue+sync + WriteMixer)", floorSummary.median, "us");
    bench::printFigure("floor p99", floorSummary.p99, "us");
    bench::printFigure("  floor part: setValue+sync median", bench::summarize(floorSync).median,
                       "us");
    bench::printFigure("  floor part: WriteMixer exchange median",
                       bench::summarize(floorExchange).median, "us");
    bench::printFigure("ratio to floor at the median", ratio, "x", "<= 1.30",
                       ratio <= kTargetRatio);
    bench::printFigure("ratio to floor at p99", realSummary.p99 / floorSummary.p99, "x");
    bench::printFigure("VT2 panel build median (16 controls restored)",
                       bench::summarize(builds).median, "ms");
    std::printf("  checks: %d Mixer blocks seen by the unit (expected %d), vt2.ini holds %d "
                "(expected %d), %d mismatches\n",
                exchanges, expectedExchanges, storedValue, lastValue, mismatches);

    panel.reset();
    return mismatches == 0 && exchanges == expectedExchanges ? 0 : 2;
}
