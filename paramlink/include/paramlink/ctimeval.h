// Elapsed-time measurement on the monotonic clock.
#ifndef PARAMLINK_CTIMEVAL_H
#define PARAMLINK_CTIMEVAL_H

#include <chrono>

#include "paramlink/paramlinkexport.h"

class PARAMLINK_EXPORT CTimeVal {
public:
    CTimeVal();
    virtual ~CTimeVal();

    void start();
    void stop();
    // Milliseconds from start to stop (to now while running).
    long get_elapsed_ms();

private:
    std::chrono::steady_clock::time_point _start;
    std::chrono::steady_clock::time_point _stop;
    bool _running = false;
};

#endif
