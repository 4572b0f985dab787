#include "setburst.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

namespace tovik {
namespace test {

namespace {

using Clock = std::chrono::steady_clock;

const int kReadPauseMs = 10;

void Release(Config* config)
{
    if (config)
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
}

} // namespace

SetBurst::SetBurst(int slot, int modelNumber, const std::string& parameter)
    : _url("socket://localhost:43111?caching=false&configid=" + std::to_string(slot))
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(eConfigID_t(slot));
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, tovikconfig::ViveRode_t(modelNumber));
    if (ParamDescriptor* descriptor = table->GetDescriptor(parameter))
        _id = descriptor->GetParamID();
    _writer = Open();
    _watcher = Open();
    if (_watcher)
        _watcher->AddEventListener(this);
}

SetBurst::~SetBurst()
{
    if (_watcher)
        _watcher->RemoveEventListener(this);
    Release(_watcher);
    Release(_writer);
}

Config* SetBurst::Open() const
{
    return ConfigFactoryImpl::GetInstance()->CreateConfig(_url, "");
}

bool SetBurst::Ok() const
{
    return _id != eParam_t(0) && _writer && _watcher;
}

int SetBurst::IntegerChanged(eParam_t id, int value, timeval)
{
    if (id == _id) {
        std::lock_guard<std::mutex> lock(_mutex);
        _events.push_back(value);
    }
    return 0;
}

int SetBurst::Read() const
{
    Config* reader = Open();
    int value = -1;
    if (!reader || !reader->GetIntegerValue(_id, value))
        value = -1;
    Release(reader);
    return value;
}

BurstOutcome SetBurst::Run(int first, int count, int watchMs)
{
    BurstOutcome out;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _events.clear();
    }
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i) {
        out.last = first + i;
        ++out.sets;
        if (!_writer->SetIntegerValue(_id, out.last))
            ++out.refused;
    }
    const Clock::time_point acknowledged = Clock::now();
    out.burstSeconds = std::chrono::duration<double>(acknowledged - start).count();

    // A fresh reader, again and again, past the daemon's rereads.
    Config* reader = Open();
    while (Clock::now() - acknowledged < std::chrono::milliseconds(watchMs)) {
        int value = -1;
        if (!reader || !reader->GetIntegerValue(_id, value))
            value = -1;
        ++out.reads;
        if (value != out.last)
            out.staleReads.push_back(value);
        std::this_thread::sleep_for(std::chrono::milliseconds(kReadPauseMs));
    }
    Release(reader);

    std::lock_guard<std::mutex> lock(_mutex);
    const auto at = std::find(_events.begin(), _events.end(), out.last);
    out.lastEventSeen = at != _events.end();
    if (out.lastEventSeen)
        out.eventsAfterLast.assign(at + 1, _events.end());
    return out;
}

} // namespace test
} // namespace tovik
