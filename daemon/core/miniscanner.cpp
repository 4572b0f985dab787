#include "miniscanner.h"

#include "platform/linif.h"

MiniScanner::MiniScanner(QObject* parent) : QObject(parent), _platform(new LinIF(this))
{
    connect(_platform, &CAppIF::DeviceAddedSignal, this, &MiniScanner::DeviceAddedSignal);
    connect(_platform, &CAppIF::DeviceRemovedSignal, this, &MiniScanner::DeviceRemovedSignal);
}

MiniScanner::~MiniScanner()
{
    delete _platform;
}
