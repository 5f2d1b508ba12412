#pragma once

#include "driver/byte_order.h"

#include <cstddef>

// The unit's routing and output-level gains: 259 rows of 32 doubles, sent
// whole to the driver after every change. Cell (row, column) is the linear
// gain from source `column` into destination `row`; rows 256 to 258 are
// per-output vectors (row 256 is the output level).
struct MixerBlock {
    static constexpr int kRows = 259;
    static constexpr int kColumns = 32;

    // Bank 2 holds the physical outputs: row kOutputBank + k is output k.
    static constexpr int kOutputBank = 64;
    static constexpr int kOutputLevelRow = 256;
    static constexpr int kOutputVectorRows[] = {256, 257, 258};

    // Source columns.
    static constexpr int kInput1 = 0;
    static constexpr int kInput2 = 1;
    static constexpr int kPhoneLeft = 2;
    static constexpr int kPhoneRight = 3;

    double cells[kRows][kColumns];

    double& operator()(int row, int column) { return cells[row][column]; }
    double operator()(int row, int column) const { return cells[row][column]; }

    void clear();

    static constexpr std::size_t byteOffset(int row, int column)
    {
        return static_cast<std::size_t>(row * kColumns + column) * sizeof(double);
    }
};

static_assert(sizeof(double) == 8);
static_assert(sizeof(MixerBlock) == 66304, "the driver expects exactly 66304 bytes");
static_assert(MixerBlock::byteOffset(256, 0) == 0x10000);
static_assert(MixerBlock::byteOffset(258, 31) == 0x102F8);
