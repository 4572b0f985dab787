// The base of the models' configuration blocks: a block described by a
// layout table (its fields' settings keys and defaults, and where each
// field's bits sit in the image), read and written in one transfer and
// saved to and loaded from Qt settings. A model adds its layout and, where
// it truly differs, a hook.
#ifndef PORTVANE_MODELS_REGISTERBLOCK_H
#define PORTVANE_MODELS_REGISTERBLOCK_H

#include <cstddef>
#include <string>
#include <vector>

#include "blocks/cconfigblockif.h"
#include "common/fieldcodec.h"

class QSettings;

// How a settings value becomes the field: an integer cut to the field's
// storage bits, 0 or 1 from an integer, or 0 or 1 from Qt's boolean reading.
enum class FieldLoad : unsigned char { Int, Flag, Bool };

// A field's settings and reset rules.
struct FieldDef {
    // The settings key, the field's name ("_outputVideoFormat"); null for a
    // field that is not saved (a status mirror).
    const char* key;
    // A key older settings hold the field under, read when key is missing;
    // or null.
    const char* olderKey;
    // False: Reset leaves the field alone (it starts at 0).
    bool hasDefault;
    int defaultValue;
    // Bits the field keeps when loaded (8 for a byte, 16 for a word); 0 or
    // 32 keep every bit.
    unsigned char storageBits;
    FieldLoad load;
};

struct BlockLayout {
    UWord imageLength;         // bytes that one read or write moves
    UWord firstRegister;       // register number of image byte 0
    RowList<FieldDef> fields; // indexed by field number
    RowList<FieldBits> bits;
};

// Empty when the layout is usable (an image of 1 to kMaxImageLength bytes,
// bits rows inside it); else what is wrong.
std::string CheckLayout(const BlockLayout& layout);

class RegisterBlock : public CConfigBlockIF {
public:
    static constexpr std::size_t kMaxImageLength = 64;

    // The layout is static data of the model and outlives the block. The
    // fields start at 0, then take their defaults.
    RegisterBlock(CCmdEngine* owner, UByte fpgaID, UByte blockID, const BlockLayout& layout);

    const BlockLayout& Layout() const { return _layout; }
    // 0 for a number that is no field of the block.
    int Field(int field) const;
    void SetField(int field, int value);

    // Every field with a default takes it; the others keep their values.
    virtual void Reset();
    // One value per field that has a key; true.
    virtual bool SaveSettings(QSettings& settings);
    // Reset, then every field that has a key from its key, or from its
    // older key when the settings hold only that; missing keys leave the
    // field at its default. True.
    virtual bool LoadSettings(QSettings& settings);

    // One configuration read of the whole image; the image length, or 0
    // (every field unchanged) when the protocol reports a failure.
    int ReadFromDevice(CCommProtocol& comm) override;
    // One configuration write of the whole image; the protocol's status.
    int WriteToDevice(CCommProtocol& comm) override;

    // The image byte of a register; 0 for a register outside the image.
    UByte PackRegister(int registerNumber) const;
    // The whole image (Layout().imageLength bytes).
    void Pack(UByte* image) const;
    // Every field the layout places, from an image.
    void Unpack(const UByte* image);

protected:
    const BlockLayout& _layout;
    std::vector<int> _values;

private:
    std::size_t ImageLength() const;
};

#endif
