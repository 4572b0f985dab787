// Simulated converters on pseudo-terminals for a test: each on its own
// link ttyCONV<i> in a fresh directory, in the order added, stopped when the
// rig goes. Client(i) talks to converter i from the test's side of the
// line; PortList() lists the links for PORTVANE_SERIAL_PORTS.
//
//   SimRig rig(convsim::Personality::ForType(5));    // one converter
//   rig.Add(convsim::Personality::ForType(19));      // and another
//   Bytes answer = ...; rig.Client(1).Send(...);
#ifndef TOVIK_TEST_SIMRIG_H
#define TOVIK_TEST_SIMRIG_H

#include <memory>
#include <string>
#include <vector>

#include "convsim/simulator.h"
#include "pseudoterminal.h"
#include "tempdir.h"

namespace tovik {
namespace test {

class SimRig {
public:
    SimRig();
    // A rig with one converter already plugged in.
    explicit SimRig(const convsim::Personality& personality, int frameGapMs = 200);
    ~SimRig();
    SimRig(const SimRig&) = delete;
    SimRig& operator=(const SimRig&) = delete;

    // Plugs in one more converter; false (with a test failure) when it
    // could not start.
    convsim::Simulator& Add(const convsim::Personality& personality, int frameGapMs = 200);
    convsim::Simulator& Sim(size_t index = 0) { return *_sims.at(index); }
    size_t Count() const { return _sims.size(); }
    // Converter i's link, and all links joined by ':'.
    std::string Link(size_t index = 0) const { return _links.at(index); }
    std::string PortList() const;
    // Whether every converter added started.
    bool Started() const { return _started; }
    const TempDir& Dir() const { return _dir; }

    // The test's end of converter i's line, opened raw on first use.
    PseudoTerminal& Client(size_t index = 0);

    // Command codes a converter received, in order, and the frames it
    // received with one code.
    static std::vector<int> Codes(const convsim::Simulator& sim);
    static std::vector<convsim::Bytes> Frames(const convsim::Simulator& sim, int code);

private:
    TempDir _dir;
    std::vector<std::unique_ptr<convsim::Simulator>> _sims;
    std::vector<std::string> _links;
    std::vector<std::unique_ptr<PseudoTerminal>> _clients;
    bool _started = true;
};

} // namespace test
} // namespace tovik

#endif
