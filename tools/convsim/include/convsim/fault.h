// Faults the simulated converter can be told to commit, and how they turn
// one answer into what goes on the wire.
#ifndef CONVSIM_FAULT_H
#define CONVSIM_FAULT_H

#include "convsim/wire.h"

#include <string>
#include <vector>

namespace convsim {

struct Fault {
    enum class Kind {
        Busy,           // count busy headers before the answer
        Delay,          // delayMs of silence before the first byte
        Silence,        // the command is taken and never answered
        Split,          // the answer goes out in pieces, gapMs apart
        WrongCode,      // the answer's code byte replaced by value
        UnknownCommand, // [FF 00 04 00] in place of the answer
        ErrorStatus,    // [code+0x40 00 04 value] in place of the answer
                        // (both refuse: the command is not carried out,
                        // unless the status value is 0)
        Garbage,        // bytes in place of (or before) the answer
        Unplug,         // master closed and link removed; no answer
    };

    Kind kind = Kind::Busy;
    // Which commands: code -1 matches every code; nth 0 fires on every
    // match, N >= 1 only on the Nth match (counted from 1 since start).
    // times caps the firings; 0 means no cap.
    int code = -1;
    unsigned nth = 0;
    unsigned times = 0;
    // Register reads and writes (0x9D, 0x9E) whose start address is this;
    // -1 matches every command. nth then counts those commands only.
    int64_t address = -1;

    unsigned count = 1;          // Busy: number of busy answers
    unsigned busyPayload = 0;    // Busy: filler bytes carried by each busy answer
    unsigned delayMs = 600;      // Delay
    unsigned gapMs = 100;        // Busy, Split: pause between writes
    std::vector<size_t> splitAt; // Split: cut offsets; empty cuts after every byte
    int value = -1;              // WrongCode: code byte (-1: code + 0x41);
                                 // ErrorStatus: status byte (-1: 1)
    Bytes bytes;                 // Garbage: the bytes (empty: 5A A5 00 FF 13 37)
    bool thenAnswer = false;     // Garbage: send the real answer after them
};

// Parses "kind[,key=value...]", e.g. "busy,code=0x8c,count=3",
// "split,nth=4,at=2:5,gap=150", "garbage,code=0x80,bytes=DEADBEEF,answer=1",
// "error,addr=0xb0100".
// Kinds: busy delay silence split wrongcode unknown error garbage unplug.
// Keys: code nth times addr count payload ms gap at value bytes answer.
bool ParseFault(const std::string& text, Fault& out, std::string* error);

// The start address of a register read or write (0x9D, 0x9E) frame; -1
// for every other command and for a frame too short to hold one.
int64_t RegisterAddress(const Bytes& frame);

// One write of an answer: wait delayMs, then write bytes.
struct WireStep {
    unsigned delayMs = 0;
    Bytes bytes;
};

struct WirePlan {
    std::vector<WireStep> steps; // empty: nothing is sent
    bool unplug = false;         // unplug instead of answering
};

// Holds the faults and their match counters.
class FaultPlan {
public:
    void Add(const Fault& f) { _entries.push_back({f, 0, 0}); }
    void Clear() { _entries.clear(); }
    size_t Size() const { return _entries.size(); }
    // Times the fault at index fired so far.
    unsigned Fired(size_t index) const;

    // The faults that fire for one command.
    using Firing = std::vector<Fault>;

    // Picks the faults that fire for this command and counts them; call
    // once per command. address: the command's register address (see
    // RegisterAddress), or -1.
    Firing Match(uint8_t code, int64_t address = -1);
    // True when the firing faults make the converter refuse the command: a
    // converter that answers with an error has not done what it was told.
    static bool Refuses(const Firing& firing);
    // Turns the converter's answer into what goes on the wire.
    static WirePlan Shape(uint8_t code, Bytes answer, const Firing& firing);

    // Match and Shape in one step.
    WirePlan Apply(uint8_t code, Bytes answer);

private:
    struct Entry {
        Fault fault;
        unsigned seen;
        unsigned fired;
    };
    std::vector<Entry> _entries;
};

} // namespace convsim

#endif
