#include "roiscaler/decisions/scene.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

#include "roiscaler/table/firstgeometry.h"

namespace roiscaler {

namespace {

// The screen picture both proxies are drawn in.
const QRect kProxyScreen(QPoint(410, 10), QPoint(640, 143));
const QSize kFirstSource(first::kScreenW, first::kScreenH);

ProxyGeometry FirstProxy(const first::Region& region)
{
    ProxyGeometry proxy(kProxyScreen);
    proxy.SetSourceSize(kFirstSource.width(), kFirstSource.height());
    proxy.SetRoi(region.x, region.y, region.w, region.h);
    return proxy;
}

} // namespace

ProxyGeometry FirstInProxy()
{
    return FirstProxy(first::kIn);
}

ProxyGeometry FirstOutProxy()
{
    return FirstProxy(first::kOut);
}

RoiMemory FirstMemory(const RoiModel& model)
{
    RoiMemory memory;
    memory.constraintsFirstPass = !model.oneIndexSelection;
    return memory;
}

void RoiOutcome::Send(bool stream, bool write)
{
    if (stream)
        effects.push_back(effect::StreamOut{scene.block});
    if (write)
        effects.push_back(effect::Write{scene.block});
}

void RoiOutcome::Then(RoiOutcome after)
{
    Q_ASSERT(!next && !after.next);
    scene = std::move(after.scene);
    effects.insert(effects.end(), std::make_move_iterator(after.effects.begin()),
                   std::make_move_iterator(after.effects.end()));
}

void PutU(ParamValues& values, quint32 id, int value)
{
    if (id == 0)
        return;
    values.insert(id, QVariant(quint32(std::max(value, 0))));
}

void PutU(ParamValues& values, quint32 id, quint32 value)
{
    if (id == 0)
        return;
    values.insert(id, QVariant(value));
}

void PutB(ParamValues& values, quint32 id, bool value)
{
    if (id == 0)
        return;
    values.insert(id, QVariant(value));
}

void PutS(ParamValues& values, quint32 id, const QString& value)
{
    if (id == 0)
        return;
    values.insert(id, QVariant(value));
}

quint32 ValueU(const ParamValues& values, quint32 id)
{
    return values.value(id).toUInt();
}

QString Tr(const RoiModel& model, const char* text)
{
    return QCoreApplication::translate(model.className, text);
}

} // namespace roiscaler
