// The values of one config id held by this process, and the sinks that hear
// of every change. One store per config id, for the life of the process.
#ifndef PARAMLINK_CONFIGSTORE_H
#define PARAMLINK_CONFIGSTORE_H

#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "lastchange.h"
#include "paramlink/heldparams.h"
#include "storedvalue.h"

class DescriptorTable;

namespace paramlink {

// Told of each change while the store's lock is held, so every sink sees
// the changes in one order. frame is the change encoded as an EVENT frame.
class EventSinkIF {
public:
    virtual ~EventSinkIF() = default;
    virtual void Post(const ValueChange& change, const std::string& frame) = 0;
};

class ConfigStore {
public:
    explicit ConfigStore(eConfigID_t configID);

    // Null for ids outside 0..kMaxConfigID. This process may keep any of
    // them; Served tells which the socket server hands out.
    static ConfigStore* Get(eConfigID_t configID);
    // The config ids the socket server serves: 0..GetMaxConfigID().
    static bool Served(eConfigID_t configID);
    // Why the server refuses a config id, for people.
    static std::string Refusal(eConfigID_t configID);

    eConfigID_t GetConfigID() const { return _configID; }
    DescriptorTable* GetTable() const { return _table; }

    // Refused when the table holds no descriptor for the id, its kind
    // differs or a string or data value is longer than the parameter allows
    // (see valuelimit.h); refusal, when given, then says why. A change of
    // the value is posted to every sink, naming origin as its writer, and
    // becomes the value's last change. Setting the value the store holds
    // changes nothing: no event, and the last change stays.
    bool Set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length,
             const Origin& origin, std::string* refusal = nullptr);

    // Set, when mayWrite, asked under the store's lock with the value's
    // last change, says yes; else nothing is written.
    enum class Outcome { Written, Refused, GaveWay };
    typedef std::function<bool(const LastChange&)> ConditionFn;
    Outcome SetIf(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length,
                  const Origin& origin, const ConditionFn& mayWrite, std::string* refusal = nullptr);

    // Calls fn under the store's lock with the number of changes made so
    // far: no change is made while it runs.
    void BetweenChanges(const std::function<void(std::uint64_t changes)>& fn);

    enum class Lookup { Ok, UnknownId, WrongKind };
    // The value, or the descriptor's factory default when never set. String
    // and data reads accept either kind of byte value.
    Lookup Read(eParam_t id, ValueKind wanted, StoredValue& out);
    // Read, with answer called under the store's lock: whatever answer
    // posts to a sink lands after the changes the value includes and before
    // any later one.
    typedef std::function<void(Lookup, const StoredValue&)> AnswerFn;
    void ReadInOrder(eParam_t id, ValueKind wanted, const AnswerFn& answer);
    // Every parameter of the table with its value, in the table's order.
    void List(std::vector<HeldParam>& out);

    void Subscribe(EventSinkIF* sink);
    // No Post reaches the sink once this returns.
    void Unsubscribe(EventSinkIF* sink);

private:
    // With _mutex held.
    Lookup readLocked(eParam_t id, ValueKind wanted, const DescriptorKindInfo* info, StoredValue& out);

    struct Held {
        StoredValue value;
        LastChange last;
    };

    eConfigID_t _configID;
    DescriptorTable* _table;
    std::mutex _mutex;
    // Values and their last changes outlive a refill of the table alike.
    std::unordered_map<std::uint32_t, Held> _values;
    std::uint64_t _changes = 0;
    std::vector<EventSinkIF*> _sinks;
    std::string _frame;
};

// Why a set of an id the table does not hold, or of the wrong kind, is
// refused.
std::string UnknownIdRefusal(eParam_t id, eConfigID_t configID);
std::string WrongKindRefusal(eParam_t id, eConfigID_t configID, ValueKind held);

bool KindsCompatible(ValueKind wanted, ValueKind held);

} // namespace paramlink

#endif
