// A converter on a pseudo-terminal. Start() opens the pty, links the slave
// at the given path and serves commands on its own thread until Stop() or
// an unplug fault. The converter's state outlives Stop(): a later Start()
// plugs the same converter in again on a fresh pty.
//
//   convsim::Simulator sim(convsim::Personality::ForType(19));
//   sim.AddFault(fault);
//   sim.Start("/tmp/x/ttyCONV0");
//   ... open /tmp/x/ttyCONV0 and talk ...
//   sim.Stop();
#ifndef CONVSIM_SIMULATOR_H
#define CONVSIM_SIMULATOR_H

#include "convsim/convertermodel.h"
#include "convsim/fault.h"
#include "convsim/personality.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace convsim {

// One command as received.
struct LogEntry {
    uint64_t index = 0; // 1-based, in order of arrival since construction
    uint8_t code = 0;
    Bytes bytes;        // the whole frame
    Bytes answer;       // every byte planned for the wire, faults applied
    int64_t atMs = 0;   // milliseconds since construction
};

class Simulator {
public:
    // The log keeps the newest entries within both limits.
    static constexpr size_t kMaxLogEntries = 4096;
    static constexpr size_t kMaxLogBytes = size_t(16) << 20;
    static constexpr int kWriteLimitMs = 2000;     // an answer nobody reads is dropped

    // frameGapMs: after this long without a byte an incomplete frame is stale
    // (see FrameSplitter).
    explicit Simulator(const Personality& p, int frameGapMs = 200);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // linkPath may be empty: no link, use SlaveName().
    bool Start(const std::string& linkPath, std::string* error = nullptr);
    // Stops serving, closes the master and removes the link. Every wait of
    // the serving thread watches for it, so it returns within one step.
    void Stop();

    bool IsPlugged() const;
    bool WaitUnplugged(int timeoutMs) const;
    std::string SlaveName() const;
    std::string LinkPath() const;

    void AddFault(const Fault& f);
    void ClearFaults();
    unsigned FaultFired(size_t index) const;

    std::vector<LogEntry> Log() const;
    void ClearLog();
    uint64_t CommandCount() const;
    bool WaitForCommands(uint64_t count, int timeoutMs) const;
    // Called on the serving thread after each command is logged and before
    // its answer is written. Keep it short.
    void SetObserver(std::function<void(const LogEntry&)> observer);

    // Current converter state (personality as changed by the box's writes).
    Personality State() const;
    void SetWireTime(bool on);
    Bytes ConfigMemory(uint8_t fpga, uint8_t block) const;
    Bytes ReadRegisters(uint8_t iface, uint8_t dev, uint32_t addr, size_t count) const;
    bool WriteRegisters(uint8_t iface, uint8_t dev, uint32_t addr, const Bytes& data);
    std::vector<FirmwareImage> FirmwareImages() const;
    uint64_t DroppedBytes() const;

private:
    struct Impl;
    std::unique_ptr<Impl> _d;
};

// Wire time of n bytes at 38400 baud, 8 data bits, odd parity, 1 stop bit.
unsigned WireTimeUs(size_t bytes);

} // namespace convsim

#endif
