#include "common/registerblock.h"

#include <QSettings>
#include <QVariant>

#include "protocol/ccommprotocol.h"

namespace {

int Narrow(int value, unsigned storageBits)
{
    if (storageBits == 0 || storageBits >= 32)
        return value;
    return static_cast<int>(static_cast<unsigned>(value) & ((1u << storageBits) - 1u));
}

int Loaded(const QVariant& value, const FieldDef& def)
{
    switch (def.load) {
    case FieldLoad::Flag:
        return value.toInt() != 0 ? 1 : 0;
    case FieldLoad::Bool:
        return value.toBool() ? 1 : 0;
    case FieldLoad::Int:
        break;
    }
    return Narrow(value.toInt(), def.storageBits);
}

} // namespace

std::string CheckLayout(const BlockLayout& layout)
{
    if (layout.imageLength < 1 || layout.imageLength > RegisterBlock::kMaxImageLength)
        return "image of " + std::to_string(layout.imageLength) + " bytes";
    return CheckFieldBits(layout.bits, layout.fields.size, layout.imageLength);
}

RegisterBlock::RegisterBlock(CCmdEngine* owner, UByte fpgaID, UByte blockID, const BlockLayout& layout)
    : CConfigBlockIF(owner, fpgaID, blockID), _layout(layout), _values(layout.fields.size, 0)
{
    RegisterBlock::Reset();
}

int RegisterBlock::Field(int field) const
{
    return field >= 0 && std::size_t(field) < _values.size() ? _values[std::size_t(field)] : 0;
}

void RegisterBlock::SetField(int field, int value)
{
    if (field >= 0 && std::size_t(field) < _values.size())
        _values[std::size_t(field)] = value;
}

void RegisterBlock::Reset()
{
    std::size_t field = 0;
    for (const FieldDef& def : _layout.fields) {
        if (def.hasDefault)
            _values[field] = def.defaultValue;
        ++field;
    }
}

bool RegisterBlock::SaveSettings(QSettings& settings)
{
    std::size_t field = 0;
    for (const FieldDef& def : _layout.fields) {
        if (def.key)
            settings.setValue(QString::fromLatin1(def.key), _values[field]);
        ++field;
    }
    return true;
}

bool RegisterBlock::LoadSettings(QSettings& settings)
{
    Reset();
    std::size_t field = 0;
    for (const FieldDef& def : _layout.fields) {
        const int index = int(field++);
        if (!def.key)
            continue;
        QString key = QString::fromLatin1(def.key);
        if (!settings.contains(key) && def.olderKey)
            key = QString::fromLatin1(def.olderKey);
        if (settings.contains(key))
            _values[std::size_t(index)] = Loaded(settings.value(key), def);
    }
    return true;
}

std::size_t RegisterBlock::ImageLength() const
{
    return _layout.imageLength <= kMaxImageLength ? _layout.imageLength : kMaxImageLength;
}

int RegisterBlock::ReadFromDevice(CCommProtocol& comm)
{
    UByte image[kMaxImageLength];
    const std::size_t length = ImageLength();
    if (length == 0 || comm.ReadConfigData(_fpgaID, _blockID, image, UWord(length)) != 0)
        return 0;
    Unpack(image);
    return int(length);
}

int RegisterBlock::WriteToDevice(CCommProtocol& comm)
{
    UByte image[kMaxImageLength];
    Pack(image);
    return comm.WriteConfigData(_fpgaID, _blockID, image, UWord(ImageLength()));
}

UByte RegisterBlock::PackRegister(int registerNumber) const
{
    const int offset = registerNumber - int(_layout.firstRegister);
    if (offset < 0 || std::size_t(offset) >= ImageLength())
        return 0;
    return PackByte(_layout.bits, _values.data(), _values.size(), std::size_t(offset));
}

void RegisterBlock::Pack(UByte* image) const
{
    PackImage(_layout.bits, _values.data(), _values.size(), image, ImageLength());
}

void RegisterBlock::Unpack(const UByte* image)
{
    UnpackImage(_layout.bits, image, ImageLength(), _values.data(), _values.size());
}
