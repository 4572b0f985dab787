// Watches the box's config 0 through the store, as a client would, and
// records every change of the chosen device slots' parameters.
#ifndef TOVIK_RECOVERY_BOXWATCH_H
#define TOVIK_RECOVERY_BOXWATCH_H

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "paramlink/config.h"

class BoxWatch : public ConfigEventListener {
public:
    // Slots are 1 to 4.
    explicit BoxWatch(const std::vector<int>& slots);
    ~BoxWatch() override;

    bool Ok() const { return _config != nullptr; }
    // "eParamID_Device_2_Type=0" and so on, in the order they came.
    std::vector<std::string> Changes();

    int IntegerChanged(eParam_t id, int value, timeval when) override;
    int StringChanged(eParam_t id, std::string& value, timeval when) override;

private:
    void Record(eParam_t id, const std::string& value);

    Config* _config = nullptr;
    std::set<eParam_t> _watched;
    std::mutex _mutex;
    std::vector<std::string> _changes;
};

#endif
