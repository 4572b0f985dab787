// Waiting for written output to leave a line, within bounds: tcdrain waits
// as long as flow control holds the line, which may be for ever.
#ifndef PORTVANE_OUTPUTDRAIN_H
#define PORTVANE_OUTPUTDRAIN_H

#include <functional>

namespace OutputDrain {

// The bytes still queued for output on a descriptor; -1 with errno set when
// that cannot be told.
int Queued(int fd);

// Gives up once the queue has not shrunk for this long...
constexpr int kStallMs = 500;
// ...or after this long in all.
constexpr int kLimitMs = 2000;

// Waits until nothing is queued for output. False with errno set when the
// queue cannot be read (its errno) or the wait ends first (ETIMEDOUT).
bool Wait(int fd, const std::function<int(int)>& queued = Queued);

}

#endif
