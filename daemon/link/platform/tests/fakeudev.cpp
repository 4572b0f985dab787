#include "fakeudev.h"

#include <libudev.h>

#include <deque>
#include <fcntl.h>
#include <set>
#include <string>
#include <unistd.h>

extern "C" {
struct udev* __real_udev_new(void);
struct udev_monitor* __real_udev_monitor_new_from_netlink(struct udev*, const char*);
int __real_udev_monitor_filter_add_match_subsystem_devtype(struct udev_monitor*, const char*, const char*);
int __real_udev_monitor_enable_receiving(struct udev_monitor*);
int __real_udev_monitor_get_fd(struct udev_monitor*);
struct udev_device* __real_udev_monitor_receive_device(struct udev_monitor*);
struct udev_monitor* __real_udev_monitor_unref(struct udev_monitor*);
const char* __real_udev_device_get_action(struct udev_device*);
const char* __real_udev_device_get_property_value(struct udev_device*, const char*);
struct udev_device* __real_udev_device_unref(struct udev_device*);
}

namespace {

struct FakeDevice {
    bool lost;
    std::string action;
    bool hasVendor;
    std::string vendor;
};

struct State {
    FakeUdev::Failure failure = FakeUdev::Failure::None;
    bool scripted = false;
    std::deque<FakeDevice> queue;
    std::set<void*> live;
    int receives = 0;
    int released = 0;
    int pipe[2] = {-1, -1};
    char monitorToken = 0;
};

State& S()
{
    static State state;
    return state;
}

bool IsFakeMonitor(struct udev_monitor* monitor)
{
    return S().scripted && static_cast<void*>(monitor) == &S().monitorToken;
}

void EnsurePipe()
{
    if (S().pipe[0] < 0) {
        if (::pipe(S().pipe) == 0)
            ::fcntl(S().pipe[0], F_SETFL, O_NONBLOCK);
    }
}

void DrainPipe()
{
    char buffer[64];
    while (S().pipe[0] >= 0 && ::read(S().pipe[0], buffer, sizeof buffer) > 0) {
    }
}

}

namespace FakeUdev {

void Reset()
{
    S().failure = Failure::None;
    S().scripted = false;
    S().queue.clear();
    for (void* device : S().live)
        delete static_cast<FakeDevice*>(device);
    S().live.clear();
    S().receives = 0;
    S().released = 0;
    DrainPipe();
}

void Fail(Failure step)
{
    S().failure = step;
}

void Script()
{
    S().scripted = true;
    EnsurePipe();
}

void QueueEvent(const char* action, const char* vendor)
{
    S().queue.push_back({false, action, vendor != nullptr, vendor ? vendor : ""});
    const char byte = 1;
    (void)!::write(S().pipe[1], &byte, 1);
}

void QueueLostEvent()
{
    S().queue.push_back({true, "", false, ""});
    const char byte = 1;
    (void)!::write(S().pipe[1], &byte, 1);
}

int Receives() { return S().receives; }
int Released() { return S().released; }
int Outstanding() { return int(S().live.size()); }

}

extern "C" {

struct udev* __wrap_udev_new(void)
{
    if (S().failure == FakeUdev::Failure::Context)
        return nullptr;
    return __real_udev_new();
}

struct udev_monitor* __wrap_udev_monitor_new_from_netlink(struct udev* udev, const char* name)
{
    if (S().failure == FakeUdev::Failure::Netlink)
        return nullptr;
    if (S().scripted)
        return reinterpret_cast<struct udev_monitor*>(&S().monitorToken);
    return __real_udev_monitor_new_from_netlink(udev, name);
}

int __wrap_udev_monitor_filter_add_match_subsystem_devtype(struct udev_monitor* monitor,
                                                           const char* subsystem, const char* devtype)
{
    if (S().failure == FakeUdev::Failure::Filter)
        return -1;
    if (IsFakeMonitor(monitor))
        return 0;
    return __real_udev_monitor_filter_add_match_subsystem_devtype(monitor, subsystem, devtype);
}

int __wrap_udev_monitor_enable_receiving(struct udev_monitor* monitor)
{
    if (S().failure == FakeUdev::Failure::Enable)
        return -1;
    if (IsFakeMonitor(monitor))
        return 0;
    return __real_udev_monitor_enable_receiving(monitor);
}

int __wrap_udev_monitor_get_fd(struct udev_monitor* monitor)
{
    if (S().failure == FakeUdev::Failure::Descriptor)
        return -1;
    if (IsFakeMonitor(monitor))
        return S().pipe[0];
    return __real_udev_monitor_get_fd(monitor);
}

struct udev_device* __wrap_udev_monitor_receive_device(struct udev_monitor* monitor)
{
    if (!IsFakeMonitor(monitor))
        return __real_udev_monitor_receive_device(monitor);
    ++S().receives;
    char byte;
    if (::read(S().pipe[0], &byte, 1) != 1 || S().queue.empty())
        return nullptr;
    FakeDevice next = S().queue.front();
    S().queue.pop_front();
    if (next.lost)
        return nullptr;
    FakeDevice* device = new FakeDevice(next);
    S().live.insert(device);
    return reinterpret_cast<struct udev_device*>(device);
}

struct udev_monitor* __wrap_udev_monitor_unref(struct udev_monitor* monitor)
{
    if (static_cast<void*>(monitor) == &S().monitorToken)
        return nullptr;
    return __real_udev_monitor_unref(monitor);
}

const char* __wrap_udev_device_get_action(struct udev_device* device)
{
    if (S().live.count(device))
        return reinterpret_cast<FakeDevice*>(device)->action.c_str();
    return __real_udev_device_get_action(device);
}

const char* __wrap_udev_device_get_property_value(struct udev_device* device, const char* key)
{
    if (S().live.count(device)) {
        FakeDevice* fake = reinterpret_cast<FakeDevice*>(device);
        if (std::string(key) == "ID_VENDOR_ID" && fake->hasVendor)
            return fake->vendor.c_str();
        return nullptr;
    }
    return __real_udev_device_get_property_value(device, key);
}

struct udev_device* __wrap_udev_device_unref(struct udev_device* device)
{
    if (S().live.count(device)) {
        S().live.erase(device);
        delete reinterpret_cast<FakeDevice*>(device);
        ++S().released;
        return nullptr;
    }
    return __real_udev_device_unref(device);
}

}
