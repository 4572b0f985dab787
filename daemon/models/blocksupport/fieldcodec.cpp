#include "blocksupport/fieldcodec.h"

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

bool Packs(const FieldBits& run)
{
    return run.use != RunUse::Unpack;
}

bool Unpacks(const FieldBits& run)
{
    return run.use != RunUse::Pack;
}

// The bits a field packs: its value, or the value's code.
unsigned Packed(const FieldMap& map, const int* values, int field)
{
    const int value = values[field];
    for (const FieldCode& code : map.codes) {
        if (code.field != field || code.encode.empty())
            continue;
        if (value < 0 || std::size_t(value) >= code.encode.size)
            return static_cast<unsigned>(code.other);
        return static_cast<unsigned>(code.encode.data[value]);
    }
    return static_cast<unsigned>(value);
}

UByte RunBits(const FieldMap& map, const FieldBits& run, const int* values)
{
    const unsigned value = Packed(map, values, run.field) >> run.valueBit;
    return UByte((value & Mask(run.width)) << run.shift);
}

bool UnpackedByARun(const FieldMap& map, int field, std::size_t valueCount)
{
    for (const FieldBits& run : map.bits)
        if (run.field == field && Unpacks(run) && Usable(run, valueCount))
            return true;
    return false;
}

} // namespace

UByte PackByte(const FieldMap& map, const int* values, std::size_t valueCount, std::size_t offset)
{
    unsigned byte = 0;
    for (const FieldBits& run : map.bits)
        if (run.offset == offset && Packs(run) && Usable(run, valueCount))
            byte |= RunBits(map, run, values);
    return UByte(byte);
}

void PackImage(const FieldMap& map, const int* values, std::size_t valueCount, UByte* image,
               std::size_t length)
{
    for (std::size_t offset = 0; offset < length; ++offset)
        image[offset] = 0;
    for (const FieldBits& run : map.bits)
        if (run.offset < length && Packs(run) && Usable(run, valueCount))
            image[run.offset] = UByte(image[run.offset] | RunBits(map, run, values));
}

void UnpackImage(const FieldMap& map, const UByte* image, std::size_t length, int* values,
                 std::size_t valueCount)
{
    for (const FieldBits& run : map.bits)
        if (Unpacks(run) && Usable(run, valueCount))
            values[run.field] = 0;
    for (const FieldBits& run : map.bits) {
        if (run.offset >= length || !Unpacks(run) || !Usable(run, valueCount))
            continue;
        const unsigned part = (unsigned(image[run.offset]) >> run.shift) & Mask(run.width);
        values[run.field] = static_cast<int>(static_cast<unsigned>(values[run.field]) | (part << run.valueBit));
    }
    for (const FieldCode& code : map.codes) {
        if (code.decode.empty() || !UnpackedByARun(map, code.field, valueCount))
            continue;
        const unsigned read = static_cast<unsigned>(values[code.field]);
        values[code.field] = read < code.decode.size ? code.decode.data[read] : 0;
    }
}

std::size_t UnpackSpan(const FieldMap& map)
{
    std::size_t span = 0;
    for (const FieldBits& run : map.bits)
        if (Unpacks(run) && std::size_t(run.offset) + 1 > span)
            span = std::size_t(run.offset) + 1;
    return span;
}

std::string CheckFieldMap(const FieldMap& map, std::size_t fieldCount, std::size_t length)
{
    std::size_t index = 0;
    for (const FieldBits& run : map.bits) {
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
    index = 0;
    for (const FieldCode& code : map.codes) {
        const std::string row = "code " + std::to_string(index++) + ": ";
        if (code.field < 0 || std::size_t(code.field) >= fieldCount)
            return row + "field " + std::to_string(code.field) + " is not a field of the block";
    }
    return std::string();
}
