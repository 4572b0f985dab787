#include "blocksupport/registerblock.h"

#include <QSettings>
#include <QVariant>

#include "protocol/ccommprotocol.h"

int NarrowedToType(int value, FieldType type)
{
    switch (type) {
    case FieldType::Byte:
        return int(static_cast<unsigned>(value) & 0xFFu);
    case FieldType::Word:
        return int(static_cast<unsigned>(value) & 0xFFFFu);
    case FieldType::Bool:
        return value != 0 ? 1 : 0;
    case FieldType::Text:
        return 0;
    case FieldType::Int:
    case FieldType::UInt:
        break;
    }
    return value;
}

namespace {

QVariant Saved(int value, const QString& text, const FieldDef& def)
{
    switch (def.save) {
    case FieldSave::UInt:
        return QVariant(static_cast<uint>(value));
    case FieldSave::Bool:
        return QVariant(value != 0);
    case FieldSave::Text:
        return QVariant(text);
    case FieldSave::Int:
        break;
    }
    return QVariant(value);
}

} // namespace

std::string CheckLayout(const BlockLayout& layout)
{
    if (layout.imageLength < 1 || layout.imageLength > RegisterBlock::kMaxImageLength)
        return "image of " + std::to_string(layout.imageLength) + " bytes";
    return CheckFieldMap(layout.image, layout.fields.size, layout.imageLength);
}

RegisterBlock::RegisterBlock(CCmdEngine* owner, UByte fpgaId, UByte blockId, const BlockLayout& layout)
    : CConfigBlockIF(owner, fpgaId, blockId), _layout(layout), _values(layout.fields.size, 0),
      _texts(layout.fields.size)
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
        _values[std::size_t(field)] = NarrowedToType(value, _layout.fields.data[field].type);
}

QString RegisterBlock::Text(int field) const
{
    if (field < 0 || std::size_t(field) >= _texts.size())
        return QString();
    return _texts[std::size_t(field)];
}

void RegisterBlock::SetText(int field, const QString& text)
{
    if (field >= 0 && std::size_t(field) < _texts.size() && _layout.fields.data[field].type == FieldType::Text)
        _texts[std::size_t(field)] = text;
}

void RegisterBlock::Reset()
{
    int field = 0;
    for (const FieldDef& def : _layout.fields) {
        if (def.hasDefault) {
            SetField(field, def.defaultValue);
            SetText(field, QString::fromLatin1(def.defaultText));
        }
        ++field;
    }
}

bool RegisterBlock::SaveSettings(QSettings& settings)
{
    std::size_t field = 0;
    for (const FieldDef& def : _layout.fields) {
        if (def.key)
            settings.setValue(QString::fromLatin1(def.key), Saved(_values[field], _texts[field], def));
        ++field;
    }
    return true;
}

bool RegisterBlock::LoadSettings(QSettings& settings)
{
    Reset();
    int field = 0;
    for (const FieldDef& def : _layout.fields) {
        const int index = field++;
        if (!def.key)
            continue;
        QString key = QString::fromLatin1(def.key);
        if (!settings.contains(key) && def.olderKey)
            key = QString::fromLatin1(def.olderKey);
        if (!settings.contains(key))
            continue;
        const QVariant value = settings.value(key);
        switch (def.load) {
        case FieldLoad::Bool:
            SetField(index, value.toBool() ? 1 : 0);
            break;
        case FieldLoad::UInt:
            SetField(index, static_cast<int>(value.toUInt()));
            break;
        case FieldLoad::Text:
            SetText(index, value.toString());
            break;
        case FieldLoad::Int:
            SetField(index, value.toInt());
            break;
        }
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
    if (length == 0 || comm.ReadConfigData(_fpgaId, _blockId, image, UWord(length)) != 0)
        return 0;
    Unpack(image);
    return int(length);
}

int RegisterBlock::WriteToDevice(CCommProtocol& comm)
{
    UByte image[kMaxImageLength];
    Pack(image);
    return comm.WriteConfigData(_fpgaId, _blockId, image, UWord(ImageLength()));
}

UByte RegisterBlock::PackRegister(int registerNumber) const
{
    const int offset = registerNumber - int(_layout.firstRegister);
    if (offset < 0 || std::size_t(offset) >= ImageLength())
        return 0;
    const UByte packed = PackByte(_layout.image, _values.data(), _values.size(), std::size_t(offset));
    return FinishPackedByte(std::size_t(offset), packed);
}

void RegisterBlock::Pack(UByte* image) const
{
    const std::size_t length = ImageLength();
    PackImage(_layout.image, _values.data(), _values.size(), image, length);
    for (std::size_t offset = 0; offset < length; ++offset)
        image[offset] = FinishPackedByte(offset, image[offset]);
}

void RegisterBlock::Unpack(const UByte* image)
{
    UnpackImage(_layout.image, image, ImageLength(), _values.data(), _values.size());
}

UByte RegisterBlock::FinishPackedByte(std::size_t, UByte packed) const
{
    return packed;
}
