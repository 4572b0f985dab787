// The four ROI scaler models, for the block tests.
#ifndef PORTVANE_ROISCALER_TESTS_BLOCKMODELS_H
#define PORTVANE_ROISCALER_TESTS_BLOCKMODELS_H

#include <functional>

#include "roiscaler/block/scalerblock.h"

struct BlockModel {
    const char* name;
    int type;
    // A block of the model's own class, FPGA 0.
    std::function<CRoiScalerBlock*(CCmdEngine* engine, UByte blockId)> make;
};

inline const BlockModel kBlockModels[] = {
    {"Hestra", 5, [](CCmdEngine* e, UByte block) { return new CHestra(e, 0, block); }},
    {"Mardex", 14, [](CCmdEngine* e, UByte block) { return new CMardex(e, 0, block); }},
    {"Pendro", 18, [](CCmdEngine* e, UByte block) { return new CPendro(e, 0, block); }},
    {"Quastel", 19, [](CCmdEngine* e, UByte block) { return new CQuastel(e, 0, block); }},
};

inline bool IsHestra(const BlockModel& m)
{
    return m.type == 5;
}

inline bool IsMardex(const BlockModel& m)
{
    return m.type == 14;
}

#endif
