// The base of the models' configuration blocks: a block described by a
// layout table (its fields' types, settings keys and defaults, and where
// each field's bits sit in the image), read and written in one transfer
// and saved to and loaded from Qt settings. A model adds its layout and,
// where it truly differs, an override.
//
// A model names its fields with an enumeration in the order of its settings
// keys, the unsaved fields after them:
//   struct BrindoField { enum : int { _outputVideoFormat, ..., kCount }; };
//   block.SetField(BrindoField::_outputFrameRate, 3);
#ifndef PORTVANE_MODELS_REGISTERBLOCK_H
#define PORTVANE_MODELS_REGISTERBLOCK_H

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include <QString>

#include "blocks/cconfigblockif.h"
#include "blocksupport/fieldcodec.h"

// What a field holds; a value set or loaded is narrowed to it as a C++
// assignment to a member of that type would be.
enum class FieldType : unsigned char {
    Int,  // signed 32-bit
    UInt, // unsigned 32-bit (kept bit for bit in the int)
    Byte, // unsigned 8-bit
    Word, // unsigned 16-bit
    Bool, // 0 or 1; any non-zero value sets it
    Text, // a string, kept apart from the numbers
};

// A value narrowed to a field type.
int NarrowedToType(int value, FieldType type);

// How a settings value becomes the field: integer conversion (then narrowed
// to the type), Qt's boolean reading, unsigned conversion, or text.
enum class FieldLoad : unsigned char { Int, Bool, UInt, Text };

// How the field is saved: as an int (flags 0 or 1), an unsigned int, a
// boolean, or text.
enum class FieldSave : unsigned char { Int, UInt, Bool, Text };

struct FieldDef {
    // The settings key, the field's name ("_outputVideoFormat"); null for a
    // field that is not saved (a status field).
    const char* key;
    // A key older settings hold the field under, read when key is missing;
    // or null.
    const char* olderKey;
    // False: Reset leaves the field alone (it starts at 0).
    bool hasDefault;
    int defaultValue;
    FieldType type;
    FieldLoad load;
    FieldSave save;
    const char* defaultText; // the default of a text field
};

// Rows of a layout's field table.
// A saved number: loaded by integer conversion, saved as an int.
constexpr FieldDef Setting(const char* key, int defaultValue, FieldType type = FieldType::Int,
                           const char* olderKey = nullptr)
{
    return FieldDef{key, olderKey, true, defaultValue, type, FieldLoad::Int,
                    type == FieldType::UInt ? FieldSave::UInt : FieldSave::Int, nullptr};
}
// A saved flag loaded with Qt's boolean reading.
constexpr FieldDef BoolSetting(const char* key, bool defaultValue, FieldSave save = FieldSave::Int)
{
    return FieldDef{key, nullptr, true, defaultValue ? 1 : 0, FieldType::Bool, FieldLoad::Bool, save, nullptr};
}
// A saved unsigned number.
constexpr FieldDef UIntSetting(const char* key, unsigned defaultValue)
{
    return FieldDef{key, nullptr, true, int(defaultValue), FieldType::UInt, FieldLoad::UInt, FieldSave::UInt,
                    nullptr};
}
// A saved text.
constexpr FieldDef TextSetting(const char* key, const char* defaultText)
{
    return FieldDef{key, nullptr, true, 0, FieldType::Text, FieldLoad::Text, FieldSave::Text, defaultText};
}
// A field Reset sets but settings leave alone.
constexpr FieldDef Unsaved(int defaultValue, FieldType type = FieldType::Int)
{
    return FieldDef{nullptr, nullptr, true, defaultValue, type, FieldLoad::Int, FieldSave::Int, nullptr};
}
// A saved field Reset leaves alone (it starts at 0).
constexpr FieldDef SettingWithoutDefault(const char* key, FieldType type = FieldType::Int,
                                         FieldLoad load = FieldLoad::Int)
{
    return FieldDef{key, nullptr, false, 0, type, load, FieldSave::Int, nullptr};
}
// A field only the device or the status decoding fills; neither reset nor
// saved (it starts at 0).
constexpr FieldDef StatusField(FieldType type = FieldType::Int)
{
    return FieldDef{nullptr, nullptr, false, 0, type, FieldLoad::Int, FieldSave::Int, nullptr};
}

struct BlockLayout {
    UWord imageLength;        // bytes that one read or write moves
    UWord firstRegister;      // register (or byte) number of image byte 0
    RowList<FieldDef> fields; // indexed by field number
    FieldMap image;           // where the fields sit in the image
};

// Empty when the layout is usable (an image of 1 to kMaxImageLength bytes,
// bits rows inside it); else what is wrong.
std::string CheckLayout(const BlockLayout& layout);

class RegisterBlock : public CConfigBlockIF {
public:
    static constexpr std::size_t kMaxImageLength = 64;

    // The layout is static data of the model and outlives the block. The
    // fields start at 0, then take their defaults.
    RegisterBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId, const BlockLayout& layout);

    const BlockLayout& Layout() const { return _layout; }
    std::size_t FieldCount() const { return _values.size(); }
    // 0 for a number that is no field of the block (and for a text field).
    int Field(int field) const;
    bool Flag(int field) const { return Field(field) != 0; }
    // Narrowed to the field's type; nothing for a number that is no field.
    void SetField(int field, int value);
    // Text fields; empty, and nothing, for any other number.
    QString Text(int field) const;
    void SetText(int field, const QString& text);

    // Every field with a default takes it; the others keep their values.
    void Reset() override;
    // One value per field that has a key; true.
    bool SaveSettings(QSettings& settings) override;
    // Reset, then every field that has a key from its key, or from its
    // older key when the settings hold only that; missing keys leave the
    // field at its default. True.
    bool LoadSettings(QSettings& settings) override;

    // One configuration read of the whole image; the image length, or 0
    // (every field unchanged) when the protocol reports a failure.
    int ReadFromDevice(CCommProtocol& comm) override;
    // One configuration write of the whole image; the protocol's status.
    int WriteToDevice(CCommProtocol& comm) override;

    // The image byte of a register (a byte index where the layout's first
    // register is 0); 0 for a register outside the image.
    UByte PackRegister(int registerNumber) const;
    // The whole image (Layout().imageLength bytes).
    void Pack(UByte* image) const;
    // Every field the layout places, from an image.
    void Unpack(const UByte* image);

protected:
    // Where a model packs bits no table row can say (bits that depend on
    // several fields at once): the byte at offset as the table packed it,
    // finished. The default returns it unchanged.
    virtual UByte FinishPackedByte(std::size_t offset, UByte packed) const;

    std::size_t ImageLength() const;

    const BlockLayout& _layout;
    std::vector<int> _values;
    std::vector<QString> _texts;
};

// Static layouts of the models: a model's field table, its bits, and an
// image length give one BlockLayout.
template <std::size_t F, std::size_t B>
constexpr BlockLayout MakeLayout(UWord imageLength, UWord firstRegister, const FieldDef (&fields)[F],
                                 const FieldBits (&bits)[B], RowList<FieldCode> codes = NoRows<FieldCode>())
{
    return BlockLayout{imageLength, firstRegister, RowsOf(fields), FieldMap{RowsOf(bits), codes}};
}

// The rows of two field tables, one after the other.
template <std::size_t A, std::size_t B>
constexpr std::array<FieldDef, A + B> Joined(const FieldDef (&first)[A], const FieldDef (&second)[B])
{
    std::array<FieldDef, A + B> rows{};
    for (std::size_t i = 0; i < A; ++i)
        rows[i] = first[i];
    for (std::size_t i = 0; i < B; ++i)
        rows[A + i] = second[i];
    return rows;
}

template <std::size_t F, std::size_t B>
constexpr BlockLayout MakeLayout(UWord imageLength, UWord firstRegister, const std::array<FieldDef, F>& fields,
                                 const FieldBits (&bits)[B], RowList<FieldCode> codes = NoRows<FieldCode>())
{
    return BlockLayout{imageLength, firstRegister, RowList<FieldDef>{fields.data(), F},
                       FieldMap{RowsOf(bits), codes}};
}

#endif
