#pragma once

// The level an output is driven at, in dB: MUTE silences it whatever the
// dial says, DIM lowers the dial's level by 20 dB, otherwise the dial's level
// goes out. The same rule for every output of every panel.
inline constexpr int kMutedLevelDb = -80;
inline constexpr int kDimDepthDb = 20;

constexpr int effectiveOutputLevel(int dialValue, bool muted, bool dimmed)
{
    if (muted)
        return kMutedLevelDb;
    if (dimmed)
        return dialValue - kDimDepthDb;
    return dialValue;
}
