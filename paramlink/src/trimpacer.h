// When a server gives freed heap back to the system: once the bytes it
// holds for its clients have fallen by kFreedBytes from their highest
// since the last trim (queues gone with their clients, or sent), and no
// sooner than kSpacingMs after the last trim, so a trim never runs per
// pass. Decisions only; the server's loop trims (heaptrim).
#ifndef PARAMLINK_TRIMPACER_H
#define PARAMLINK_TRIMPACER_H

namespace paramlink {

class TrimPacer {
public:
    static constexpr long long kFreedBytes = 1 << 20;
    static constexpr int kSpacingMs = 2000;

    // The bytes held at now; true when a trim is due now (then Trimmed).
    bool Due(long long held, long long now);
    // A trim was made at now, with held bytes held.
    void Trimmed(long long held, long long now);
    // Ms until a trim that waits for its spacing is due; -1 when none waits.
    int WaitMs(long long now) const;

private:
    long long _peak = 0;
    bool _pending = false;
    bool _trimmed = false;
    long long _lastTrimMs = 0;
};

} // namespace paramlink

#endif
