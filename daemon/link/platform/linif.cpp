#include "platform/linif.h"

#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletypexml.h"
#include "platform/resourcedir.h"
#include "platform/runmode.h"
#include "base/quoteddebug.h"
#include "serial/converterusb.h"
#include "serial/linserialif.h"
#include "serial/simulatedports.h"
#include "journalstream.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

#include <libudev.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>

LinIF::LinIF(QObject* parent)
    : CAppIF(parent),
      _resourceDir(ResourceDirFor(QCoreApplication::applicationDirPath())),
      _udev(nullptr),
      _monitor(nullptr),
      _monitorFd(-1),
      _portPaths(SimulatedPorts::Configured())
{
    StartMonitor();
    QTimer* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &LinIF::checkForDeviceAddRemove);
    timer->start(kPollIntervalMs);
}

LinIF::~LinIF()
{
    if (_monitor)
        udev_monitor_unref(_monitor);
    if (_udev)
        udev_unref(_udev);
}

void LinIF::StartMonitor()
{
    _udev = udev_new();
    if (!_udev) {
        journal::Printf(stdout, journal::kError, "Can't create udev\n");
        // Without listed ports there is nothing to watch: a supervisor
        // restarts the daemon on this status.
        if (!SimulatedPorts::IsConfigured())
            std::exit(1);
        qWarning("Hot-plug detection is off");
        return;
    }
    _monitor = udev_monitor_new_from_netlink(_udev, "udev");
    if (_monitor
        && udev_monitor_filter_add_match_subsystem_devtype(_monitor, "usb", nullptr) >= 0
        && udev_monitor_enable_receiving(_monitor) >= 0) {
        _monitorFd = udev_monitor_get_fd(_monitor);
        if (_monitorFd >= 0)
            return;
    }
    qWarning("Can't set up the udev monitor, hot-plug detection is off");
    if (_monitor)
        udev_monitor_unref(_monitor);
    _monitor = nullptr;
    _monitorFd = -1;
}

void LinIF::checkForDeviceAddRemove()
{
    if (_monitor)
        DrainMonitor();
    CheckPortPaths();
}

void LinIF::DrainMonitor()
{
    for (int handled = 0; handled < kMaxEventsPerPoll; ++handled) {
        struct pollfd ready = {_monitorFd, POLLIN, 0};
        const int r = ::poll(&ready, 1, 0);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0 || !(ready.revents & POLLIN))
            return;

        struct udev_device* device = udev_monitor_receive_device(_monitor);
        if (!device) {
            WarnQuoted(QString("No Device from receive_device(). An error occured.\n"));
            return;
        }
        const char* action = udev_device_get_action(device);
        const char* vendor = udev_device_get_property_value(device, "ID_VENDOR_ID");
        if (vendor && std::strcmp(vendor, kConverterVendorID) == 0) {
            const QString str_action = QString::fromLatin1(action ? action : "");
            if (str_action == QLatin1String("add"))
                emit DeviceAddedSignal();
            else if (str_action == QLatin1String("remove"))
                emit DeviceRemovedSignal();
            else
                WarnQuoted(QString("Unknown str_action %1 happened\n").arg(str_action));
        }
        udev_device_unref(device);
    }
}

void LinIF::CheckPortPaths()
{
    const PortPathWatcher::Changes changes = _portPaths.Poll();
    for (int i = 0; i < changes.disappeared; ++i)
        emit DeviceRemovedSignal();
    for (int i = 0; i < changes.appeared; ++i)
        emit DeviceAddedSignal();
}

void LinIF::NotifyModuleTypeChange()
{
    emit ChangeModuleTypeSignal();
}

void LinIF::NotifyNewConnection()
{
    emit NewConnectionSignal();
}

void LinIF::CloseLink()
{
}

bool LinIF::IsRunModeAbove1()
{
    return sUserRunMode > 1;
}

bool LinIF::IsRunModeAbove2()
{
    return sUserRunMode > 2;
}

CModuleTypeXML* LinIF::CreateModuleTypeXML()
{
    return new CModuleTypeXML;
}

CAssembliesXML* LinIF::CreateAssembliesXML()
{
    return new CAssembliesXML;
}

CSerialIF* LinIF::CreateSerialIF()
{
    return new LinSerialIF;
}

QString LinIF::GetResourceDir()
{
    return _resourceDir;
}

QString LinIF::GetStyleText()
{
    return QStringLiteral("font: 9pt \"Arial\";");
}

QString LinIF::GetTitleText()
{
    return QString();
}

QString LinIF::GetStatusText()
{
    return QString();
}

QString LinIF::GetBuildText()
{
    return tr("v2.10.0 Portvane Build");
}
