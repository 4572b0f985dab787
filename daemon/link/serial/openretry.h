// When to try opening a present port again: a port that a dead process
// just let go, or one the kernel is still setting up, may refuse for a
// moment.
#ifndef PORTVANE_OPENRETRY_H
#define PORTVANE_OPENRETRY_H

namespace OpenRetry {

// Attempts in all, and the pauses before the second and later ones.
constexpr int kAttempts = 5;
constexpr int kPausesMs[kAttempts - 1] = {50, 100, 200, 400};

// The pause before attempt `attempt` (2 for the first retry) after a
// failure with errno `error`; -1 when no further attempt is worth it: the
// attempts are used up, or the error will not go away (no such node, not a
// terminal, no permission).
int PauseBefore(int attempt, int error);

// The longest all retries together wait.
int TotalPauseMs();

}

#endif
