#include "roiscaler/decisions/scene.h"

#include <QCoreApplication>

#include <algorithm>

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
        actions.push_back(RoiAction{RoiAction::StreamOut, scene.block, QString(), 0, 0, QString()});
    if (write)
        actions.push_back(RoiAction{RoiAction::Write, scene.block, QString(), 0, 0, QString()});
}

void RoiOutcome::Add(RoiAction::Kind kind, const QString& text, int a, int b)
{
    actions.push_back(RoiAction{kind, scene.block, text, a, b, QString()});
}

void RoiOutcome::Then(RoiOutcome next)
{
    scene = std::move(next.scene);
    actions.insert(actions.end(), next.actions.begin(), next.actions.end());
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
