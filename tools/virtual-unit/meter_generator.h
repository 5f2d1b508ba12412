#pragma once

#include <array>
#include <cstdint>
#include <map>

// The unit's Meter block. Entries 0 and 1 (inputs 1 and 2) and 2 and 3 (the
// phone's left and right) carry a live level when moving meters are on: a
// slow swell around -20 dBFS with some wobble, taken from the time of the read,
// plus a little per-read jitter so that no two reads in a row are alike.
// A pinned entry always reads its pinned value; every other entry reads 0.
namespace virtualunit {

inline constexpr int kMovingMeterEntries = 4;

class MeterGenerator {
public:
    static constexpr int kEntries = 192;
    using Block = std::array<std::int32_t, kEntries>;

    void setMoving(bool on) { m_moving = on; }
    bool moving() const { return m_moving; }

    void pin(int entry, std::int32_t value) { m_pinned[entry] = value; }
    void unpin(int entry) { m_pinned.erase(entry); }
    void unpinAll() { m_pinned.clear(); }
    const std::map<int, std::int32_t>& pinned() const { return m_pinned; }

    // The block for a read taken `seconds` after the unit started.
    Block read(double seconds);

    // The live level of a moving entry in dBFS, before jitter.
    static double levelDb(int entry, double seconds);

private:
    bool m_moving = true;
    std::map<int, std::int32_t> m_pinned;
    std::uint64_t m_reads = 0;
    std::array<std::int32_t, kMovingMeterEntries> m_last{};
};

// A peak value on the full scale of 2147483647 for a level in dBFS.
std::int32_t peakFromDb(double db);

} // namespace virtualunit
