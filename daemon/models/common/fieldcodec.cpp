#include "common/fieldcodec.h"

namespace {

unsigned Mask(unsigned width)
{
    return width >= 8 ? 0xFFu : (1u << width) - 1u;
}

bool Usable(const FieldBits& run, std::size_t valueCount)
{
    return run.field >= 0 && std::size_t(run.field) < valueCount && run.width >= 1
           && run.shift + run.width <= 8 && run.valueBit < 32;
}

} // namespace

UByte PackByte(RowList<FieldBits> bits, const int* values, std::size_t valueCount, std::size_t offset)
{
    unsigned byte = 0;
    for (const FieldBits& run : bits) {
        if (run.offset != offset || !Usable(run, valueCount))
            continue;
        const unsigned value = static_cast<unsigned>(values[run.field]) >> run.valueBit;
        byte |= (value & Mask(run.width)) << run.shift;
    }
    return UByte(byte);
}

void PackImage(RowList<FieldBits> bits, const int* values, std::size_t valueCount, UByte* image,
               std::size_t length)
{
    for (std::size_t offset = 0; offset < length; ++offset)
        image[offset] = 0;
    for (const FieldBits& run : bits) {
        if (run.offset >= length || !Usable(run, valueCount))
            continue;
        const unsigned value = static_cast<unsigned>(values[run.field]) >> run.valueBit;
        image[run.offset] = UByte(image[run.offset] | ((value & Mask(run.width)) << run.shift));
    }
}

void UnpackImage(RowList<FieldBits> bits, const UByte* image, std::size_t length, int* values,
                 std::size_t valueCount)
{
    for (const FieldBits& run : bits)
        if (Usable(run, valueCount))
            values[run.field] = 0;
    for (const FieldBits& run : bits) {
        if (run.offset >= length || !Usable(run, valueCount))
            continue;
        const unsigned part = (unsigned(image[run.offset]) >> run.shift) & Mask(run.width);
        values[run.field] = static_cast<int>(static_cast<unsigned>(values[run.field]) | (part << run.valueBit));
    }
}

std::string CheckFieldBits(RowList<FieldBits> bits, std::size_t fieldCount, std::size_t length)
{
    std::size_t index = 0;
    for (const FieldBits& run : bits) {
        const std::string row = "row " + std::to_string(index++) + ": ";
        if (run.field < 0 || std::size_t(run.field) >= fieldCount)
            return row + "field " + std::to_string(run.field) + " is not a field of the block";
        if (run.offset >= length)
            return row + "byte " + std::to_string(run.offset) + " is past the image";
        if (run.width < 1 || run.shift + run.width > 8)
            return row + "bits do not fit one byte";
        if (run.valueBit + run.width > 32)
            return row + "value bits past 32";
    }
    return std::string();
}
