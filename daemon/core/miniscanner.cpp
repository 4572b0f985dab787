#include "miniscanner.h"

#include "platform/cappif.h"

MiniScanner::MiniScanner(CAppIF* platform, QObject* parent) : QObject(parent)
{
    if (!platform)
        return;
    connect(platform, &CAppIF::DeviceAddedSignal, this, &MiniScanner::DeviceAddedSignal);
    connect(platform, &CAppIF::DeviceRemovedSignal, this, &MiniScanner::DeviceRemovedSignal);
}
