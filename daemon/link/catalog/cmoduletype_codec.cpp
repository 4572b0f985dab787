// Byte codec of the module description and of the module-info reply.
#include "catalog/cmoduletype.h"

void CModuleTypeBlock::Append(QByteArray& out) const
{
    out.append(char(_id));
    out.append(char(_start >> 8));
    out.append(char(_start & 0xFF));
    out.append(char(_length >> 8));
    out.append(char(_length & 0xFF));
}

int CModuleTypeBlock::Parse(const UByte* bytes, int count)
{
    if (bytes == nullptr || count < 7)
        return 0;
    _id = bytes[0];
    _start = UWord(bytes[1] * 256 + bytes[2]);
    _length = UWord(bytes[3] * 256 + bytes[4]);
    return 5;
}

void CModuleTypeFPGA::Append(QByteArray& out) const
{
    out.append(char(_id));
    out.append(char(_blocks.size() & 0xFF));
    out.append(char(_interfaceID & 0xFF));
    out.append(char(_deviceID & 0xFF));
    for (const auto& entry : _blocks)
        entry.second.Append(out);
}

int CModuleTypeFPGA::Parse(const UByte* bytes, int count)
{
    if (bytes == nullptr || count < 2)
        return 0;
    _id = bytes[0];
    const int blocks = bytes[1];
    int pos = 2;
    for (int i = 0; i < blocks; ++i) {
        CModuleTypeBlock block;
        const int used = block.Parse(bytes + pos, count - pos);
        // A block that cannot be read ends the list: storing the empty
        // record would overwrite block 0.
        if (used == 0)
            break;
        CModuleTypeBlock& slot = _blocks[block._id];
        slot._id = block._id;
        slot._name = block._name;
        slot._start = block._start;
        slot._length = block._length;
        slot._params = block._params;
        pos += used;
    }
    return pos;
}

void CModuleType::AppendInfo(QByteArray& out) const
{
    out.append(char(_fpgas.size() & 0xFF));
    for (const auto& entry : _fpgas)
        entry.second.Append(out);
}

int CModuleType::ParseInfoReply(const UByte* bytes, int count)
{
    if (bytes == nullptr || count <= 0)
        return 0;
    int pos = 0;
    if (count >= 2) {
        _safeBootVersion.version = CVersion(bytes[0], bytes[1]);
        pos = 2;
    }
    if (count - pos >= 2) {
        _cncAppVersion.version = CVersion(bytes[pos], bytes[pos + 1]);
        pos += 2;
    }
    // The status byte is read only when it is there.
    if (pos < count) {
        _infoFlag = (bytes[pos] & 0x80) ? 1 : 0;
        _moduleState = bytes[pos] & 0x7F;
        ++pos;
    }
    return pos;
}
