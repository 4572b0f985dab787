// Feeds arbitrary converter bytes to the ROI scaler decisions: the first
// byte picks the model, the next bytes fill the block's fields (two bytes
// each) and the 64-byte status image, the rest are events of three bytes
// (readback, status pass, a client's change, a fit or constraint step, a
// status byte or a field changed). Checks that the published values are
// only the model's parameters, of the kinds the store takes, that the
// region texts read back, and that sends carry the fields as the block
// narrows them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "roiscaler/values/regiontext.h"
#include "rulestesting.h"

using namespace rulestesting;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckValues(const RoiModel& model, const ParamValues& values)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        Check(it.key() != 0 && model.ParamOf(it.key()) != Param::kCount);
        const int type = int(it.value().type());
        Check(type == QMetaType::UInt || type == QMetaType::Bool || type == QMetaType::QString);
    }
    for (int roitype : {0, 1}) {
        const QString text = ScreenProxyText(values, model.idBase, roitype);
        UByte mode = 0;
        UWord x = 0, y = 0, w = 0, h = 0, sw = 0, sh = 0;
        Check(ParseScreenProxy(text, mode, x, y, w, h, sw, sh));
    }
}

void CheckSent(const BlockImage& sent)
{
    BlockImage again = sent;
    for (int f = 0; f < RoiField::kCount; ++f)
        again.Set(f, sent[f]);
    Check(again == sent);
}

void CheckSends(const std::vector<RoiEffect>& log)
{
    for (const RoiEffect& e : log) {
        if (const auto* stream = std::get_if<effect::StreamOut>(&e))
            CheckSent(stream->block);
        if (const auto* write = std::get_if<effect::Write>(&e))
            CheckSent(write->block);
    }
}

QVariant ValueOf(UByte kind, UByte value)
{
    switch (kind % 4) {
    case 0:
        return quint32(value) * 17u;
    case 1:
        return (value & 1) != 0;
    case 2:
        return QString::fromLatin1(R"({"x":"%1","y":"7","w":"%2","h":"90"})").arg(value).arg(value * 9);
    default:
        return QString::fromLatin1("#%1a0b").arg(value, 2, 16, QLatin1Char('0'));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const RoiModel& model = *kModels[data[0] % 4];
    size_t at = 1;
    auto next = [&]() -> UByte { return at < size ? data[at++] : 0; };

    RoiScene scene = NewScene(model);
    for (int f = 0; f < RoiField::kCount; ++f) {
        const int low = next();
        scene.block.Set(f, low | next() << 8);
    }
    Status status;
    for (UByte& b : status.bytes)
        b = next();

    Converter converter;
    const RoiContext context = Linked(model, status);
    while (at + 3 <= size) {
        const UByte op = next(), a = next(), b = next();
        switch (op % 8) {
        case 0:
            scene = converter.Readback(context, std::move(scene), LinkState{(a & 1) != 0, (a & 2) != 0});
            break;
        case 1:
            scene = converter.Status(context, std::move(scene), (a & 1) != 0);
            break;
        case 2:
            scene = converter.Take(context, Dispatch(context, std::move(scene),
                                                     model.idBase | (a % 0x50), ValueOf(b >> 4, b)));
            break;
        case 3:
            scene = converter.Take(context, SelectFit(context, std::move(scene), a % 7 - 1, (b & 1) != 0));
            break;
        case 4:
            scene = converter.Take(context, model.oneIndexSelection
                                                ? SelectConstraintIndex(context, std::move(scene), a % 17, b & 1)
                                                : SelectConstraints(context, std::move(scene), a % 6, b % 5,
                                                                    (b >> 3) % 6, (a & 0x80) != 0));
            break;
        case 5:
            status.bytes[a % kStatusImageBytes] = b;
            break;
        case 6:
            scene.block.Set(a % RoiField::kCount, b);
            break;
        default:
            scene = converter.Take(context, SetOutputFormat(context, std::move(scene), a % 18 - 1));
            break;
        }
        CheckValues(model, scene.values);
        CheckSends(converter.log);
        converter.log.clear();
    }
    return 0;
}
