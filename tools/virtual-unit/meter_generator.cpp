#include "meter_generator.h"

#include <cmath>

namespace virtualunit {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kFullScale = 2147483647.0;

// Each moving entry swells on its own period so that the four readouts do not
// move in step; the phone sits a little lower than the inputs.
struct Swell {
    double centreDb;
    double periodSeconds;
    double phase;
};

constexpr Swell kSwells[kMovingMeterEntries] = {
    {-20.0, 5.0, 0.0},
    {-21.0, 6.3, 1.3},
    {-23.0, 7.1, 2.1},
    {-23.5, 7.7, 2.6},
};

// A small, deterministic pseudo-random number in [-1, 1) for a read and entry
// (splitmix64).
double jitter(std::uint64_t read, int entry)
{
    std::uint64_t z = read * 4 + static_cast<std::uint64_t>(entry) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

} // namespace

std::int32_t peakFromDb(double db)
{
    const double peak = std::round(kFullScale * std::pow(10.0, db / 20.0));
    if (peak >= kFullScale)
        return 2147483647;
    if (peak <= 0.0)
        return 0;
    return static_cast<std::int32_t>(peak);
}

double MeterGenerator::levelDb(int entry, double seconds)
{
    const Swell& swell = kSwells[entry];
    const double envelope = 6.0 * std::sin(kTwoPi * seconds / swell.periodSeconds + swell.phase);
    const double wobble = 1.5 * std::sin(kTwoPi * seconds * 1.7 + entry);
    return swell.centreDb + envelope + wobble;
}

MeterGenerator::Block MeterGenerator::read(double seconds)
{
    Block block{};
    ++m_reads;
    if (m_moving) {
        for (int entry = 0; entry < kMovingMeterEntries; ++entry) {
            const double db = levelDb(entry, seconds) + 0.75 * jitter(m_reads, entry);
            std::int32_t peak = peakFromDb(db);
            if (peak == m_last[static_cast<std::size_t>(entry)])
                peak -= 1;
            m_last[static_cast<std::size_t>(entry)] = peak;
            block[static_cast<std::size_t>(entry)] = peak;
        }
    }
    for (const auto& [entry, value] : m_pinned) {
        if (entry >= 0 && entry < kEntries)
            block[static_cast<std::size_t>(entry)] = value;
    }
    return block;
}

} // namespace virtualunit
