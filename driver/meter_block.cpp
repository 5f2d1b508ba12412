#include "driver/meter_block.h"

#include <cmath>

namespace {
constexpr double kFullScale = 2147483647.0;
}

void MeterBlock::clear()
{
    for (std::int32_t& entry : entries)
        entry = 0;
}

double PeakToDb(std::int32_t peak)
{
    const double magnitude = std::fabs(static_cast<double>(peak));
    return 20.0 * std::log10(magnitude / kFullScale);
}

std::int32_t meanPeak(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) + b) / 2);
}

QString meterReadoutText(std::int32_t peak)
{
    return QString::number(PeakToDb(peak), 'f', 1) + QStringLiteral(" dB");
}
