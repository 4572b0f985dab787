// Time codes and keys from outside: time code text, packed time code words
// as hardware delivers them, and key text. The first byte picks the form:
//   't' <fps byte> <text>       time code text on a record with that rate
//   'p' <16 bytes>              type, fps, word A, word B (little endian)
//   'k' <text>                  a key in hexadecimal text
// Any other first byte: a frame number and rate that must survive the
// packed forms and the text form unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QString>

#include "lumo/lumomediadesc.h"
#include "lumo/lumotimecode.h"

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

quint32 word(uint8_t const* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Everything a time code can be asked once it exists.
void exercise(LumoTimecodeData tc)
{
    const LumoTimecodePacked p1 = tc.toPackedType1();
    const LumoTimecodePacked p2 = tc.toPackedType2();
    check((p1.type == 0 && p2.type == 0) || (p1.type == 1 && p2.type == 2));
    if (p1.type == 1)
        check(LumoTimecodeData(p1) == LumoTimecodeData(p2));
    (void)tc.frameNumber();
    tc.setDropFrame(true);
    tc.setFPS(tc.fps / 2);
    tc.setDropFrame(false);
}

void roundTrip(uint8_t const* data, size_t size)
{
    static const int kRates[] = {24, 25, 30, 48, 50, 60};
    uint8_t bytes[5] = {};
    memcpy(bytes, data, size < 5 ? size : 5);
    const int fps = kRates[bytes[0] % 6];
    const bool drop = bytes[0] & 0x80;
    const quint32 n = word(bytes + 1) % quint32(24 * 3600 * fps * 99 / 100);
    LumoTimecodeData tc(int(n), fps, drop);
    check(tc.isValid());
    check(tc.frameNumber() == n);
    tc.userBits = word(bytes + 1) * 2654435761u;
    check(LumoTimecodeData(tc.toPackedType1()) == tc);
    check(LumoTimecodeData(tc.toPackedType2()) == tc);
    const QString text = QString::asprintf("%02d:%02d:%02d%c%02d", tc.hours, tc.minutes, tc.seconds,
                                           tc.isDropFrame() ? ';' : ':', tc.frames);
    LumoTimecodeData parsed;
    parsed.fps = qint16(fps);
    check(parsed.setFromString(text));
    parsed.userBits = tc.userBits;
    check(parsed == tc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const char form = char(data[0]);
    ++data;
    --size;
    if (form == 't' && size >= 1) {
        LumoTimecodeData tc;
        tc.fps = qint16(int8_t(data[0]));
        const QString text = QString::fromLatin1(reinterpret_cast<char const*>(data + 1), int(size - 1));
        if (tc.setFromString(text))
            exercise(tc);
        exercise(LumoTimecodeData(text));
    } else if (form == 'p' && size >= 16) {
        LumoTimecodePacked p;
        p.type = word(data) % 4;
        p.fps = qint32(word(data + 4));
        p.wordA = word(data + 8);
        p.wordB = word(data + 12);
        exercise(LumoTimecodeData(p));
    } else if (form == 'k') {
        LumoCryptoKeyData key;
        key.set(QString::fromLatin1(reinterpret_cast<char const*>(data), int(size)));
        check(key.toString().size() == 32);
    } else {
        roundTrip(data, size);
    }
    return 0;
}
