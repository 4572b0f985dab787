// What every Config of this library shares: its config id, descriptor
// lookups in this process's table, the id list, the listeners with their
// event queue and the typed value calls, which go through set and read.
#ifndef PARAMLINK_CONFIGBASE_H
#define PARAMLINK_CONFIGBASE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "listenerhub.h"
#include "listenerqueue.h"
#include "paramlink/config.h"
#include "paramlink/configlink.h"
#include "paramlink/heldparams.h"
#include "readresult.h"
#include "storedvalue.h"

class DescriptorTable;

namespace paramlink {

class ConfigBase : public Config {
public:
    // what names the config in log lines.
    ConfigBase(eConfigID_t configID, const std::string& what);
    ~ConfigBase() override;

    ParamDescriptor* GetParamDescriptor(eParam_t id) override;
    ParamDescriptor* GetParamDescriptor(std::string idName) override;
    std::list<eParam_t>& GetParamIDList() override;
    int GetIntegerValue(eParam_t id) override;
    bool GetIntegerValue(eParam_t id, int& value) override;
    bool SetIntegerValue(eParam_t id, int value) override;
    bool SetStringValue(eParam_t id, std::string value) override;
    bool GetStringValue(eParam_t id, std::string& value) override;
    bool GetDataValue(eParam_t id, std::string& bytes) override;
    bool SetDataValue(eParam_t id, std::string bytes) override;
    bool AddEventListener(ConfigEventListener* listener) override;
    bool RemoveEventListener(ConfigEventListener* listener) override;
    eConfigID_t GetConfigID() const override { return _configID; }

    // Ends event delivery and frees the config (ReleaseConfig).
    virtual void Release() = 0;
    // See ListHeldParams.
    virtual bool ListHeld(std::vector<HeldParam>& out) = 0;
    // See ConfigConnected.
    virtual bool Connected() const { return true; }
    // See ConfigWriterID.
    virtual std::uint64_t WriterID() const = 0;
    virtual bool AddLinkListener(ConfigLinkListener* listener) { return _hub->AddLink(listener); }
    bool RemoveLinkListener(ConfigLinkListener* listener) { return _hub->RemoveLink(listener); }

    // The calling thread's last set: its sequence number and the store's
    // refusal (see LastWriteSequence, LastWriteRefusal).
    static bool LastWrite(const Config* config, std::uint32_t& sequence);
    static std::string LastRefusal(const Config* config);

    // See SetValueUnlessChangedSince.
    virtual ConditionalSet SetUnlessChanged(eParam_t id, ValueKind kind, std::int32_t intValue,
                                            const std::string& bytes, const Origin& lastHeard) = 0;

protected:
    // Queues a copy of a change for the listeners, when there are any;
    // the number of the newest change dropped to make room (0: none).
    std::uint64_t queueChange(const ValueChange& change, bool own);
    // Records a set of the calling thread through this config, and later
    // why the store refused it.
    void noteWrite(std::uint32_t sequence) const;
    void noteRefusal(std::string reason) const;
    // Records a set of the calling thread that was given no sequence
    // number and failed for that reason.
    void noteUnsent(std::string reason) const;
    // No listener is called once this returns (but from inside a callback,
    // where only later calls are stopped).
    void stopEvents();

    // One value of that kind into the store behind this config, with
    // noteWrite; false when refused.
    virtual bool set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length) = 0;
    // The value of a parameter of the wanted kind, or why there is none.
    virtual ReadResult read(eParam_t id, ValueKind wanted, StoredValue& out) = 0;

    eConfigID_t _configID;
    DescriptorTable* _table;
    std::shared_ptr<ListenerHub> _hub;
    std::shared_ptr<ListenerQueue> _events;

private:
    // read, and a line on standard error when it finds no value (a few a
    // second at most, for every config of the process).
    bool readOrSay(eParam_t id, ValueKind wanted, StoredValue& out);

    std::mutex _idListMutex;
    std::list<eParam_t> _idList;
    std::uint64_t _idListGeneration = ~std::uint64_t(0);
};

} // namespace paramlink

#endif
