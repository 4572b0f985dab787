// A client's burst of acknowledged sets of one integer parameter of a
// converter's config served by Portvane (port 43111), and what readers see
// afterwards: a second client watches the parameter's events the whole
// time, and a fresh client reads it again and again once the last set has
// been acknowledged. For system tests and benchmarks; run it in a network
// namespace of its own.
//
//   SetBurst burst(1, 6, "eParamID_GenHDelay");
//   BurstOutcome out = burst.Run(1000, 300, 3000);
#ifndef TOVIK_TEST_SETBURST_H
#define TOVIK_TEST_SETBURST_H

#include <mutex>
#include <string>
#include <vector>

#include "paramlink/config.h"

namespace tovik {
namespace test {

struct BurstOutcome {
    int sets = 0;
    // Sets whose REPLY did not accept them.
    int refused = 0;
    // The value of the last set.
    int last = 0;
    double burstSeconds = 0;
    // Whether the watcher got the event of the last value, and the values
    // of the events it got after that one (in the store's order).
    bool lastEventSeen = false;
    std::vector<int> eventsAfterLast;
    // The reads made after the last acknowledgement, and those that
    // answered another value than the last (or failed: -1).
    int reads = 0;
    std::vector<int> staleReads;
};

class SetBurst : public ConfigEventListener {
public:
    // The converter config of a slot (1 to 4), with the descriptors of the
    // model number, as clients of port 43111.
    SetBurst(int slot, int modelNumber, const std::string& parameter);
    ~SetBurst() override;
    SetBurst(const SetBurst&) = delete;
    SetBurst& operator=(const SetBurst&) = delete;

    bool Ok() const;
    // Sets first, first + 1, ... (count values), each waiting for its
    // REPLY; then reads the parameter and watches its events for watchMs.
    BurstOutcome Run(int first, int count, int watchMs);
    // The parameter's value as the store answers a new client; -1 when the
    // read fails.
    int Read() const;

    int IntegerChanged(eParam_t id, int value, timeval when) override;

private:
    Config* Open() const;

    std::string _url;
    eParam_t _id = eParam_t(0);
    Config* _writer = nullptr;
    Config* _watcher = nullptr;
    std::mutex _mutex;
    std::vector<int> _events;
};

} // namespace test
} // namespace tovik

#endif
