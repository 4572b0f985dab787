#include "roiscaler/decisions/blockimage.h"

#include <memory>

namespace roiscaler {

namespace {

CRoiScalerBlock* NewBlock(const RoiModel& model)
{
    switch (model.blockBit) {
    case kHestraBlockBit:
        return new CHestra(nullptr, 0, 0);
    case kMardexBlockBit:
        return new CMardex(nullptr, 0, 0);
    case kPendroBlockBit:
        return new CPendro(nullptr, 0, 0);
    default:
        return new CQuastel(nullptr, 0, 0);
    }
}

} // namespace

BlockImage::BlockImage(const CRoiScalerBlock& block) : _layout(&block.Layout())
{
    for (int f = 0; f < RoiField::kCount; ++f)
        _values[std::size_t(f)] = block.Field(f);
}

BlockImage::BlockImage(const RoiModel& model) : BlockImage(*std::unique_ptr<CRoiScalerBlock>(NewBlock(model)))
{
}

int BlockImage::Get(int field) const
{
    return field >= 0 && field < RoiField::kCount ? _values[std::size_t(field)] : 0;
}

void BlockImage::Set(int field, int value)
{
    if (field >= 0 && field < RoiField::kCount && std::size_t(field) < _layout->fields.size)
        _values[std::size_t(field)] = NarrowedToType(value, _layout->fields.data[field].type);
}

void BlockImage::ApplyTo(CRoiScalerBlock& block) const
{
    for (int f = 0; f < RoiField::kCount; ++f)
        block.SetField(f, _values[std::size_t(f)]);
}

} // namespace roiscaler
