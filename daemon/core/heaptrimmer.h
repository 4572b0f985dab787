// Gives free heap memory back to the system once it has piled up, as after
// a burst of store events: the C library keeps what it freed, in the arenas
// of the threads that allocated it, long after the burst. Checks every few
// seconds; the check is cheap and trims only when enough lies free (the
// trim itself is heaptrim's, which the store's server shares).
#ifndef PORTVANE_HEAPTRIMMER_H
#define PORTVANE_HEAPTRIMMER_H

#include <QObject>

#include "heaptrim.h"

class QTimer;

class HeapTrimmer : public QObject {
    Q_OBJECT
public:
    static constexpr int kCheckMs = 2000;
    // Free heap bytes from which a trim is worth it.
    static constexpr qint64 kTrimFromBytes = qint64(heaptrim::kTrimFromBytes);

    explicit HeapTrimmer(QObject* parent = nullptr);

    // Whether the free heap bytes call for a trim.
    static bool ShouldTrim(qint64 freeBytes);
    // Free bytes in the heap's arenas, outside the blocks mapped apart.
    static qint64 FreeHeapBytes();

    int Trims() const { return _trims; }

public slots:
    void Check();

private:
    QTimer* _timer;
    int _trims;
};

#endif
