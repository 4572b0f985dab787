// The ROI scaler block's fields as a value: what the wrappers' decisions
// read and change, apart from the block that talks to the converter. A
// field set is narrowed to its type as the block narrows it.
#ifndef PORTVANE_ROISCALER_DECISIONS_BLOCKIMAGE_H
#define PORTVANE_ROISCALER_DECISIONS_BLOCKIMAGE_H

#include <array>

#include "roiscaler/block/scalerblock.h"

namespace roiscaler {

class BlockImage {
public:
    // The fields of a block, or of a new block of the model (its defaults).
    explicit BlockImage(const CRoiScalerBlock& block);
    explicit BlockImage(const RoiModel& model);

    int operator[](int field) const { return Get(field); }
    int Get(int field) const;
    void Set(int field, int value);
    // Every field into the block.
    void ApplyTo(CRoiScalerBlock& block) const;

    bool operator==(const BlockImage& other) const { return _values == other._values; }
    bool operator!=(const BlockImage& other) const { return !(*this == other); }

private:
    const BlockLayout* _layout;
    std::array<int, RoiField::kCount> _values{};
};

} // namespace roiscaler

#endif
