#include "roiscaler/values/regiontext.h"

#include <cmath>
#include <exception>
#include <limits>
#include <string>

#include <json/json.h>

namespace roiscaler {

namespace {

const char* const kKeys[] = {"mode", "x", "y", "w", "h", "screenw", "screenh"};

// Parameter indices of the members, in text order.
const ScreenProxyValues kInputIndices = {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
const ScreenProxyValues kOutputIndices = {0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12};

std::string ToBytes(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

// Parses the text into root; false unless it is a JSON object. JsonCpp
// throws on nesting deeper than its stack limit, so nothing escapes here.
bool ReadObject(const QString& text, Json::Value& root)
{
    try {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        Json::Reader reader;
#pragma GCC diagnostic pop
        return reader.parse(ToBytes(text), root, false) && root.isObject();
    } catch (const std::exception&) {
        return false;
    }
}

// The value of a member; false when it is absent, null, an array or an
// object (JsonCpp's asString would throw on the last two).
bool MemberValue(const Json::Value& root, const std::string& key, quint32& value)
{
    const Json::Value* member = root.find(key.data(), key.data() + key.size());
    if (!member)
        return false;
    const quint32 max = std::numeric_limits<quint32>::max();
    switch (member->type()) {
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        member->getString(&begin, &end);
        value = QString::fromLatin1(begin, int(end - begin)).toUInt(nullptr, 10);
        return true;
    }
    case Json::intValue: {
        const Json::Int64 v = member->asInt64();
        value = v >= 0 && Json::UInt64(v) <= max ? quint32(v) : 0;
        return true;
    }
    case Json::uintValue: {
        const Json::UInt64 v = member->asUInt64();
        value = v <= max ? quint32(v) : 0;
        return true;
    }
    case Json::realValue: {
        // A whole number, also when written with a fraction of zeros.
        const double v = member->asDouble();
        value = v >= 0 && v <= double(max) && std::floor(v) == v ? quint32(v) : 0;
        return true;
    }
    case Json::booleanValue:
        value = 0;
        return true;
    default:
        return false;
    }
}

} // namespace

QString ScreenProxyText(const ScreenProxyValues& values)
{
    QString text = QStringLiteral("{%1,%2,%3,%4,%5,%6,%7}");
    for (size_t i = 0; i < values.size(); ++i) {
        const QString member = QStringLiteral("\"%1\":\"%2\"")
                                   .arg(QLatin1String(kKeys[i]))
                                   .arg(qulonglong(values[i]));
        text = text.arg(member);
    }
    return text;
}

QString ScreenProxyText(const QHash<quint32, QVariant>& state, quint32 idBase, int roitype)
{
    const ScreenProxyValues& indices = roitype == 0 ? kInputIndices : kOutputIndices;
    ScreenProxyValues values;
    for (size_t i = 0; i < indices.size(); ++i)
        values[i] = state.value(idBase | indices[i]).toUInt();
    return ScreenProxyText(values);
}

bool ParseScreenProxy(const QString& screenProxy, UByte& mode, UWord& x, UWord& y, UWord& w,
                      UWord& h, UWord& screenw, UWord& screenh)
{
    Json::Value root;
    if (!ReadObject(screenProxy, root))
        return false;
    ScreenProxyValues values;
    for (size_t i = 0; i < values.size(); ++i) {
        if (!MemberValue(root, kKeys[i], values[i]))
            return false;
    }
    mode = UByte(values[0]);
    UWord* const outputs[] = {&x, &y, &w, &h, &screenw, &screenh};
    for (size_t i = 0; i < 6; ++i)
        *outputs[i] = UWord(values[i + 1]);
    return true;
}

bool ParseScreenProxy(const QString& screenProxy, const QString& key, int& value)
{
    Json::Value root;
    quint32 v = 0;
    if (!ReadObject(screenProxy, root) || !MemberValue(root, ToBytes(key), v))
        return false;
    value = int(v);
    return true;
}

} // namespace roiscaler
