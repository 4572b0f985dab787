// For clients that keep a config of another process's store through that
// store's restarts, and that tell their own writes from others':
//
// - Link. A socket config whose connection drops tries again by itself,
//   after 250 ms and then twice as long each time, at most 4 s apart.
//   While it is away its sets fail and its reads fail (no cached value is
//   answered); once it is back its cache starts afresh and its listeners
//   hear the changes again. A ConfigLinkListener hears of both moments on
//   the config's event thread, in order with the config's events; after
//   LinkRestored the store may be a new one that lost what was written
//   before, so that is the time to write one's values back.
//
// - Origin. Every change carries its writer: inside a ConfigEventListener
//   callback, CurrentEventOrigin tells who made the change being delivered
//   and whether it is the echo of a write made through the very config
//   that delivers it (for socket and local configs alike).
//
// - Conditional set. A writer that publishes what it learned elsewhere (a
//   device's readback) can ask a config of this process not to write over
//   another writer's change it has not heard of yet
//   (SetValueUnlessChangedSince).
#ifndef PARAMLINK_CONFIGLINK_H
#define PARAMLINK_CONFIGLINK_H

#include <cstdint>
#include <string>

#include "paramlink/paramlinkexport.h"
#include "paramlink/valuekind.h"
#include "tovikconfig/paramtypes.h"

class Config;

// True while a socket config's link to its server stands (false while the
// library tries to make it again); true for this process's own configs and
// for a config of another library.
PARAMLINK_EXPORT bool ConfigConnected(Config* config);

// CreateConfig without the log line: null with the reason in error.
PARAMLINK_EXPORT Config* TryCreateConfig(const std::string& url, std::string& error);

class PARAMLINK_EXPORT ConfigLinkListener {
public:
    virtual ~ConfigLinkListener();
    // The link dropped; the library is trying to make it again.
    virtual void LinkLost(Config* config);
    // The link stands again (to a store that may have restarted).
    virtual void LinkRestored(Config* config);
};

// As AddEventListener and RemoveEventListener, for link listeners: the
// listener must outlive its registration; once removal returns it is not
// called again (from inside its own callback only later calls are
// stopped). False for a config of another library, or a listener added
// twice or never added. A local config's link never drops.
PARAMLINK_EXPORT bool AddLinkListener(Config* config, ConfigLinkListener* listener);
PARAMLINK_EXPORT bool RemoveLinkListener(Config* config, ConfigLinkListener* listener);

struct EventOrigin {
    // The writer of the change in the store that made it: a client
    // connection of its server or a config of its process (ids unique in
    // that process); 0 when not known.
    std::uint64_t writer = 0;
    // That writer's number of the write (see LastWriteSequence).
    std::uint32_t sequence = 0;
    // The change was written through the config delivering it, over the
    // connection it then had.
    bool own = false;
};

// Inside a ConfigEventListener callback of a config of this library, the
// origin of the change being delivered; false outside such a callback.
PARAMLINK_EXPORT bool CurrentEventOrigin(EventOrigin& out);

// The writer id under which the config's writes appear in events now (a
// socket config gets a new one on each connection); 0 while a socket
// config is away, or for a config of another library.
PARAMLINK_EXPORT std::uint64_t ConfigWriterID(Config* config);

// The sequence number given to the calling thread's last set (accepted or
// not), to compare with EventOrigin::sequence; false when that set did not
// go through this config, or was given none (a conditional set that the
// config cannot make).
PARAMLINK_EXPORT bool LastWriteSequence(Config* config, std::uint32_t& sequence);

// What LastWriteRefusal gives for a set whose outcome is unknown: it was
// sent, and no answer came (the reply timeout of 3 s passed, or the link
// dropped first), so the store may hold the value or not. Reading the
// value back tells.
constexpr char kWriteOutcomeUnknown[] = "no answer from the store: the value may or may not have been set";

// Why the calling thread's last set through the config failed: a refusal
// as the store put it (for instance a value longer than its parameter
// allows), or kWriteOutcomeUnknown when no answer came. Empty when it was
// accepted, when it was never sent (the link was away) or when that set
// did not go through this config.
//
// An accepted set means the value is in the config. For a converter's
// config, Portvane writes it to the converter moments later: a Portvane
// that dies first loses what it had not yet written, and once started
// again it shows what the converter holds.
PARAMLINK_EXPORT std::string LastWriteRefusal(Config* config);

// What LastWriteRefusal gives after SetValueUnlessChangedSince on a config
// of another process's store.
constexpr char kConditionalSetUnsupported[] = "not supported for a socket config";

enum class ConditionalSet {
    // The value is in the config, as after an accepted set.
    Written,
    // Nothing was written: the value's last change is another writer's
    // that the caller had not heard of. Not a refusal: LastWriteRefusal is
    // empty.
    GaveWay,
    // Not set: refused (LastWriteRefusal says why, as for the setters), or
    // the config cannot make a conditional set (kConditionalSetUnsupported;
    // for a config of another library, LastWriteRefusal is empty).
    Failed,
};

// A set through a config of this process's own store (local://) that
// gives way to another writer's change the caller has not heard of.
// lastHeard is the origin (CurrentEventOrigin) of the last change of the
// parameter that the caller heard through this config's listeners, or a
// default EventOrigin when it heard none. Under the store's lock, the
// value is written only when its last change was made through this
// config, or is exactly the one lastHeard names, or never reaches the
// listeners: made before they began listening (when they last went from
// none to some), dropped from their queue because they fell behind (with
// any older change), the config has no listener, or the value was never
// changed. A set of the value the store holds is no change (no event, the
// last change stays); a refill of the table keeps the values and their
// last changes alike. Otherwise nothing is written and the result is
// GaveWay: the listeners hear the newer change, or have heard it since
// the caller looked. kind says which value is set: intValue for
// ValueKind::Integer, else bytes. A socket config (another process's
// store) answers Failed with kConditionalSetUnsupported and sends
// nothing: use its plain setters.
PARAMLINK_EXPORT ConditionalSet SetValueUnlessChangedSince(Config* config, eParam_t id, ValueKind kind,
                                                           std::int32_t intValue, const std::string& bytes,
                                                           const EventOrigin& lastHeard);

#endif
