#include "serverchannel.h"

#include <algorithm>

#include "outqueue.h"
#include "serverconnection.h"

namespace paramlink {

ServerChannel::ServerChannel(ConfigStore* store, std::function<void()> wake)
    : _store(store), _wake(std::move(wake)), _loop(std::this_thread::get_id())
{
    _store->Subscribe(this);
}

// After this no change is posted here.
ServerChannel::~ServerChannel() { _store->Unsubscribe(this); }

void ServerChannel::Join(ServerConnection* connection)
{
    _members.push_back(connection);
    _memberCount.store(int(_members.size()), std::memory_order_release);
}

void ServerChannel::Leave(ServerConnection* connection)
{
    _members.erase(std::remove(_members.begin(), _members.end(), connection), _members.end());
    _memberCount.store(int(_members.size()), std::memory_order_release);
}

// Under the store's lock, so frames wait in the order of the changes.
void ServerChannel::Post(const ValueChange&, const std::string& frame)
{
    if (_memberCount.load(std::memory_order_acquire) == 0)
        return;
    bool first;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        first = _pending.empty();
        _pending.append(frame);
        if (_pending.size() > kMaxWaiting)
            ConflateEvents(_pending);
        _waiting.store(true, std::memory_order_release);
    }
    // The loop drains at the end of each pass; only others must wake it.
    if (first && std::this_thread::get_id() != _loop)
        _wake();
}

size_t ServerChannel::WaitingBytes()
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _pending.capacity();
}

void ServerChannel::Drain(size_t limit)
{
    if (!Waiting())
        return;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _taken.swap(_pending);
        _waiting.store(false, std::memory_order_release);
    }
    for (ServerConnection* member : _members)
        member->QueueEvents(_taken.data(), _taken.size(), limit);
    _taken.clear();
    if (_taken.capacity() > (1u << 20))
        std::string().swap(_taken);
}

} // namespace paramlink
