#include "scriptedserial.h"

#include <QDir>
#include <QtGlobal>

#include "testplatform.h"

int ScriptedSerial::Read(unsigned char* buffer, std::uint32_t length)
{
    std::uint32_t n = 0;
    while (n < length && !_input.empty()) {
        buffer[n++] = _input.front();
        _input.pop_front();
    }
    return int(n);
}

bool ScriptedSerial::Write(const unsigned char* buffer, std::int32_t length)
{
    if (_failWrites)
        return false;
    ByteVec packet(buffer, buffer + length);
    _writes.push_back(packet);
    const ByteVec reply = _responder(packet);
    _input.insert(_input.end(), reply.begin(), reply.end());
    return true;
}

int ScriptedSerial::Flush()
{
    _input.clear();
    return 0;
}

ByteVec Answer(unsigned char command, const ByteVec& payload, unsigned char status)
{
    const size_t length = 4 + payload.size();
    ByteVec out{static_cast<unsigned char>(command + 0x40), static_cast<unsigned char>(length >> 8),
                static_cast<unsigned char>(length & 0xFF), status};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

QString ShippedResourceDir()
{
    return QDir(QString::fromLocal8Bit(qgetenv("TOVIK_SOURCE_DIR"))).filePath(QStringLiteral("daemon"));
}
