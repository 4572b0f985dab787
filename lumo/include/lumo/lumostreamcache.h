// Read-ahead and write-behind in front of a LumoStream. Open for reading
// (mode 1), the cache keeps reads in flight ahead of the application and
// collects the frames in order; open for writing (mode 2), it passes the
// frames handed in on to the stream within its limit of requests in flight.
// It walks the stream by a speed (negative or fractional steps), can seek,
// and can read outside the stream (copies of the edge frames, marked).
//
// Lives on one thread with an event loop; never blocks, except setStream,
// which syncs the stream it lets go of. Its queued connections need the
// meta types "LumoError" and "LumoFrame" registered (library start-up).
#ifndef LUMO_LUMOSTREAMCACHE_H
#define LUMO_LUMOSTREAMCACHE_H

#include <QList>
#include <QObject>

#include "lumo/lumoframe.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumostreamengine.h"

class LumoStream;

class LUMO_EXPORT LumoStreamCache : public QObject {
    Q_OBJECT
public:
    explicit LumoStreamCache(QObject* parent = nullptr);
    // Does not touch the stream.
    ~LumoStreamCache() override;

    int framesInCache() const { return _frames.size(); }
    // Both true without a stream; they count from the first frame number.
    bool atStartOfStream() const;
    bool atEndOfStream() const;
    // The first cached frame, or an empty frame; changes nothing.
    LumoFrame peek() const;
    // Takes the first cached frame (an empty frame when there is none).
    LumoFrame read();
    void write(LumoFrame const& frame);
    void seek(int fnum);
    void seekToFirstFrame();
    void seekToLastFrame();
    // Issues what the limits allow (reads in mode 1, writes in mode 2).
    void engage();

    // For tests and diagnostics.
    int pending() const { return _pending; }
    double position() const { return _position; }

signals:
    // Read mode: a frame arrived. Write mode: the expected write completed
    // and fewer frames than the cache size wait.
    void ready();
    // Write mode: the expected write failed.
    void error(int pos, LumoError const& err);

public slots:
    // Drops the cached frames and restarts the requests at the position.
    void clear();
    void reset();
    void setSpeed(double val);
    void setCacheSize(int val);
    // At most 16 reads are in flight whatever the limit.
    void setMaxPending(int val);
    // Null detaches. Every request of the stream let go of is abandoned.
    void setStream(LumoStream* stream);
    // Lets up to count more requests start now (0: one per cached frame).
    void pushCachedToPending(int count);
    void setReadOutsideStream(bool val);

private slots:
    void openIsDone(int val, LumoError const&);
    void closeIsDone();
    void readIsDone(int pos, LumoFrame const& f, LumoError const& err, void*);
    void writeIsDone(int pos, LumoError const& err, void*);
    void streamDestroyed(QObject*);

private:
    struct ReadMetadata;

    void readLoop();
    void writeLoop();
    // Forgets every request in flight: all records are free again and
    // completions issued before are no longer accepted.
    void abandonRequests();
    // The expected completion brought no frame: the cache moves past it.
    void skipExpected();
    void giveBack(ReadMetadata* record);
    // The user pointers of requests carry the record and the generation
    // of the attachment; the record of a pointer, null when it is not a
    // current one.
    void* token(int recordIndex) const;
    bool isCurrent(void* token) const;
    ReadMetadata* recordOf(void* token) const;

    LumoStream* _stream;
    QList<LumoFrame> _frames;
    qint32 _maxPending;
    qint32 _pending;
    qint32 _cacheSize;
    double _position;
    double _expectedPosition;
    double _requestPosition;
    double _speed;
    bool _readOutsideStream;
    QList<ReadMetadata*> _records;
    QList<ReadMetadata*> _freeRecords;
    // Failed frames skipped after each cached frame (read mode), so that
    // taking a frame moves the position past them.
    QList<int> _gaps;
    quintptr _generation;
};

#endif
