#pragma once

#include "driver/byte_order.h"

#include <QString>
#include <cstdint>

// Peak levels read back from the unit: 192 signed 32-bit peak samples on a
// full scale of 2147483647.
struct MeterBlock {
    static constexpr int kEntries = 192;

    static constexpr int kInput1 = 0;
    static constexpr int kInput2 = 1;
    static constexpr int kPhoneLeft = 2;
    static constexpr int kPhoneRight = 3;

    std::int32_t entries[kEntries];

    void clear();
};

static_assert(sizeof(MeterBlock) == 768, "the driver returns exactly 768 bytes");

// 20 * log10(|peak| / full scale): 0.0 at full scale, minus infinity at 0.
double PeakToDb(std::int32_t peak);

// The mean of two entries, truncated toward zero, without overflow.
std::int32_t meanPeak(std::int32_t a, std::int32_t b);

// A level readout: PeakToDb with one decimal and " dB" ("-20.0 dB").
QString meterReadoutText(std::int32_t peak);

// What a readout shows before the first meter read.
inline const QString kMeterReadoutBeforeFirstRead = QStringLiteral("-160 dB");
