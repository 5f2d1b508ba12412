#include "driver/mixer_block.h"

void MixerBlock::clear()
{
    for (auto& row : cells)
        for (double& cell : row)
            cell = 0.0;
}
