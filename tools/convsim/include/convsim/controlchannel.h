// Commands to a running simulator, one per line, through a named pipe, so
// that a test can change what the converter reports while it serves:
//
//   reg ADDR BYTE...   write registers of interface 1, device 0 (the status
//                      image) from ADDR up, the converter's own bits included
//   fault TEXT         add a fault (the --fault syntax), e.g. "fault silence"
//   clearfaults        drop every fault
//   replug [MS]        unplug, wait MS milliseconds (0 to kMaxReplugPauseMs,
//                      default 0) and plug the same converter in again on a
//                      fresh pseudo-terminal at the same link
//
// Numbers are decimal or 0x-prefixed hexadecimal. A line that is not a
// command is answered on standard error and changes nothing; lines longer
// than kMaxLine are dropped whole.
#ifndef CONVSIM_CONTROLCHANNEL_H
#define CONVSIM_CONTROLCHANNEL_H

#include "convsim/simulator.h"

#include <string>

namespace convsim {

// The longest pause a replug command may ask for.
constexpr unsigned long kMaxReplugPauseMs = 10000;

class ControlChannel {
public:
    static constexpr size_t kMaxLine = 4096;

    ControlChannel() = default;
    ~ControlChannel();
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;

    // Makes the pipe at path (replacing a pipe left there) and opens it
    // without blocking; false with the reason in *error.
    bool Open(const std::string& path, std::string* error);
    // Carries out every whole line that arrived; never blocks.
    void Poll(Simulator& sim);
    void Close();

private:
    int _fd = -1;
    int _keepOpen = -1; // a writer of our own, so the pipe never reads end of file
    std::string _path;
    std::string _pending;
    bool _discarding = false;
};

// Carries out one command line; false with the reason in *error.
bool RunControlCommand(Simulator& sim, const std::string& line, std::string* error);

} // namespace convsim

#endif
