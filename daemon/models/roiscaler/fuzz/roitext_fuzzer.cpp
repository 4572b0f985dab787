// Feeds arbitrary bytes, as Latin-1 text, to both region-text readers and
// checks that they agree: the seven-member reader succeeds only when each
// member reads on its own, writes nothing when it fails, and what it reads
// survives being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QString>

#include "roiscaler/values/regiontext.h"

using namespace roiscaler;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), int(size));

    static const char* const keys[] = {"mode", "x", "y", "w", "h", "screenw", "screenh"};
    int single[7] = {};
    bool allSingle = true;
    for (int i = 0; i < 7; ++i) {
        int value = 0x5A5A5A5A;
        const bool ok = ParseScreenProxy(text, QString::fromLatin1(keys[i]), value);
        Check(ok || value == 0x5A5A5A5A);
        single[i] = value;
        allSingle = allSingle && ok;
    }
    int other = 7;
    ParseScreenProxy(text, QStringLiteral("not-a-member"), other);

    UByte mode = 0xA5;
    UWord fields[6] = {0xA5A5, 0xA5A5, 0xA5A5, 0xA5A5, 0xA5A5, 0xA5A5};
    const bool all = ParseScreenProxy(text, mode, fields[0], fields[1], fields[2], fields[3],
                                      fields[4], fields[5]);
    Check(all == allSingle);
    if (!all) {
        Check(mode == 0xA5);
        for (UWord f : fields)
            Check(f == 0xA5A5);
        return 0;
    }
    Check(mode == UByte(single[0]));
    for (int i = 0; i < 6; ++i)
        Check(fields[i] == UWord(single[i + 1]));

    const ScreenProxyValues values = {mode, fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
    UByte mode2 = 0;
    UWord again[6] = {};
    Check(ParseScreenProxy(ScreenProxyText(values), mode2, again[0], again[1], again[2], again[3],
                           again[4], again[5]));
    Check(mode2 == mode);
    for (int i = 0; i < 6; ++i)
        Check(again[i] == fields[i]);
    return 0;
}
