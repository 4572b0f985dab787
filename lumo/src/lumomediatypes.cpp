// Video state text, subtitle fades and LUT layout.
#include "lumo/lumoimagelut.h"
#include "lumo/lumosubtitle.h"
#include "lumo/lumovideostate.h"

#include <climits>

namespace {

struct LutLayout {
    int type;
    int components;
    int bytesPerComponent;
};

const LutLayout kLutTypes[] = {
    {1100, 3, 2}, // Lut2D_RGB16
};

} // namespace

LumoVideoStateData::LumoVideoStateData(LumoVideoStateData const& other)
    : QSharedData(other),
      valid(other.valid),
      present(other.present),
      value(other.value),
      firstDesc(other.firstDesc),
      secondDesc(other.secondDesc),
      attachment(nullptr)
{
}

LumoVideoStateData::~LumoVideoStateData()
{
    delete attachment;
}

QString LumoVideoStateData::toString() const
{
    const QString presentText = present ? QStringLiteral("PRESENT") : QStringLiteral("ABSENT");
    const QString validText = valid ? QStringLiteral("VALID") : QStringLiteral("INVALID");
    if (firstDesc == secondDesc)
        return QStringLiteral("%1 %2 %3").arg(firstDesc->toString(), presentText, validText);
    return QStringLiteral("%1 -> %2 %3 %4").arg(firstDesc->toString(), secondDesc->toString(), presentText, validText);
}

int LumoSubtitleData::fadeValue(int t, int from, int to) const
{
    // 64-bit steps: delta times t must not overflow for any int input.
    const qint64 delta = qint64(to) - from;
    if (t < 0 || duration == 0 || t >= duration)
        return from;
    if (t < fadeIn)
        return int(from + delta * t / fadeIn);
    const qint64 x = qint64(t) - (qint64(duration) - fadeOut);
    if (x < 0)
        return to;
    return int(from + delta - delta * x / fadeOut);
}

void LumoImageLutData::init()
{
    components = 0;
    bytesPerComponent = 0;
    for (LutLayout const& layout : kLutTypes) {
        if (layout.type == int(type)) {
            components = layout.components;
            bytesPerComponent = layout.bytesPerComponent;
        }
    }
    const qint64 bytes = qint64(entries) * components * bytesPerComponent;
    data = bytes > 0 && bytes <= INT_MAX ? QByteArray(int(bytes), '\0') : QByteArray();
}

bool LumoImageLutData::operator==(LumoImageLutData const& other) const
{
    return type == other.type && entries == other.entries && components == other.components &&
           bytesPerComponent == other.bytesPerComponent && name == other.name && data == other.data;
}
