// Any bytes into the event parser. Every report names a position inside the
// document and the line and char of it; a parse that fails without a refusing
// hook reports exactly once, one that succeeds never.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QString>

#include "lumo/lumoxmlparser.h"

namespace {

class Checker : public LumoXMLParser {
public:
    int size = 0;
    int reports = 0;
    int events = 0;

    bool parseData(QByteArray const& data) override { return check(!data.isEmpty()); }
    bool parseNodeOpen(QByteArray const& name) override { return check(!name.isEmpty()); }
    bool parseNodeClose(QByteArray const& name) override { return check(!name.isEmpty()); }
    bool parseProperty(QByteArray const& name, QByteArray const&) override { return check(!name.isEmpty()); }
    void parseError(int position, QString const& message) override
    {
        ++reports;
        if (position < 0 || position > size || !message.contains(QStringLiteral(" at line ")))
            __builtin_trap();
    }

private:
    bool check(bool ok)
    {
        if (!ok)
            __builtin_trap();
        // Refuse now and then, so that the early exits run too.
        return ++events % 97 != 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray document(reinterpret_cast<const char*>(data), int(size));
    Checker parser;
    parser.size = document.size();
    const bool ok = parser.parse(document);
    const bool refused = parser.events >= 97;
    if (ok && parser.reports != 0)
        __builtin_trap();
    if (!ok && !refused && size > 0 && parser.reports != 1)
        __builtin_trap();
    return 0;
}
