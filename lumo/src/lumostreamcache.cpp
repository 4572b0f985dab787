#include "lumo/lumostreamcache.h"

#include <climits>
#include <cmath>

#include "lumo/lumolog.h"
#include "lumo/lumostream.h"
#include "lumo/lumotimecode.h"

namespace {

const QString kUnit = QStringLiteral("lumostreamcache");
const int kRecords = 16;
// Index part of a request's user pointer; writes carry no record.
const quintptr kIndexBits = 8;
const quintptr kWriteIndex = 0xFF;

// Truncation toward zero, held to the int range (NaN gives 0).
int toFrameNumber(double position)
{
    if (std::isnan(position))
        return 0;
    if (position >= double(INT_MAX))
        return INT_MAX;
    if (position <= double(INT_MIN))
        return INT_MIN;
    return int(position);
}

void logFailed(QByteArray const& statement)
{
    lumoLogOutput(2, kUnit, __LINE__, "FAILED: %s\n", statement.constData());
}

// The stream's signals the cache follows; completions of reads and writes
// always come through the event loop.
struct StreamLink {
    char const* signal;
    char const* slot;
    Qt::ConnectionType type;
};

const StreamLink kStreamLinks[] = {
    {SIGNAL(openIsDone(int, const LumoError &)), SLOT(openIsDone(int, const LumoError &)), Qt::AutoConnection},
    {SIGNAL(closeIsDone()), SLOT(closeIsDone()), Qt::AutoConnection},
    {SIGNAL(readIsDone(int, const LumoFrame &, const LumoError &, void *)),
     SLOT(readIsDone(int, const LumoFrame &, const LumoError &, void *)), Qt::QueuedConnection},
    {SIGNAL(writeIsDone(int, const LumoError &, void *)), SLOT(writeIsDone(int, const LumoError &, void *)),
     Qt::QueuedConnection},
    {SIGNAL(destroyed(QObject *)), SLOT(streamDestroyed(QObject *)), Qt::AutoConnection},
};

} // namespace

struct LumoStreamCache::ReadMetadata {
    bool active = false;
    bool outsideStream = false;
    qint32 position = 0;
    LumoTimecode timecode;
    qint32 pendingAtIssue = 0;
    int index = 0; // place among the records
};

LumoStreamCache::LumoStreamCache(QObject* parent)
    : QObject(parent),
      _stream(nullptr),
      _maxPending(kRecords),
      _pending(0),
      _cacheSize(1),
      _position(0.0),
      _expectedPosition(0.0),
      _requestPosition(0.0),
      _speed(1.0),
      _readOutsideStream(false),
      _generation(1)
{
    for (int i = 0; i < _maxPending; ++i) {
        ReadMetadata* record = new ReadMetadata;
        record->index = i;
        _records.append(record);
        _freeRecords.append(record);
    }
}

LumoStreamCache::~LumoStreamCache()
{
    qDeleteAll(_records);
}

// --- request tokens -------------------------------------------------------------

void* LumoStreamCache::token(int recordIndex) const
{
    return reinterpret_cast<void*>((_generation << kIndexBits) | quintptr(recordIndex));
}

bool LumoStreamCache::isCurrent(void* token) const
{
    return (reinterpret_cast<quintptr>(token) >> kIndexBits) == _generation;
}

LumoStreamCache::ReadMetadata* LumoStreamCache::recordOf(void* token) const
{
    if (!token || !isCurrent(token))
        return nullptr;
    const quintptr index = reinterpret_cast<quintptr>(token) & ((quintptr(1) << kIndexBits) - 1);
    return index < quintptr(_records.size()) ? _records.at(int(index)) : nullptr;
}

void LumoStreamCache::abandonRequests()
{
    _pending = 0;
    for (ReadMetadata* record : _records)
        record->active = false;
    _freeRecords = _records;
    ++_generation;
}

void LumoStreamCache::giveBack(ReadMetadata* record)
{
    if (!_freeRecords.contains(record))
        _freeRecords.append(record);
}

// --- position ---------------------------------------------------------------------

bool LumoStreamCache::atStartOfStream() const
{
    if (!_stream)
        return true;
    return toFrameNumber(_position) < _stream->info()->firstFrameNumber;
}

bool LumoStreamCache::atEndOfStream() const
{
    if (!_stream)
        return true;
    const LumoStreamInfo info = _stream->info();
    if (info->frameCount == 0)
        return false;
    return qint64(toFrameNumber(_position)) - info->firstFrameNumber >= info->frameCount;
}

LumoFrame LumoStreamCache::peek() const
{
    return _frames.isEmpty() ? LumoFrame() : _frames.first();
}

LumoFrame LumoStreamCache::read()
{
    if (_frames.isEmpty())
        return LumoFrame();
    const LumoFrame frame = _frames.takeFirst();
    const int gap = _gaps.takeFirst();
    for (int i = 0; i <= gap; ++i)
        _position += _speed;
    engage();
    return frame;
}

void LumoStreamCache::write(LumoFrame const& frame)
{
    _frames.append(frame);
    _gaps.append(0);
    _position += _speed;
    engage();
}

void LumoStreamCache::seek(int fnum)
{
    if (!_stream || _position == double(fnum))
        return;
    const int current = toFrameNumber(_position);
    const qint64 d = _speed > 0 ? qint64(fnum) - current : qint64(current) - fnum;
    if (_stream->mode() == Lumo::ReadOnly && (_speed == 1.0 || _speed == -1.0) && d >= 1 && d < _frames.size()) {
        // The frames up to fnum are in the cache already. A failed frame
        // skipped on the way can carry the position past fnum.
        for (qint64 i = 0; i < d; ++i) {
            const int at = toFrameNumber(_position);
            if (_speed > 0 ? at >= fnum : at <= fnum)
                break;
            read();
        }
        engage();
        return;
    }
    _position = fnum;
    clear();
    engage();
}

void LumoStreamCache::seekToFirstFrame()
{
    if (_stream)
        seek(_stream->info()->firstFrameNumber);
}

void LumoStreamCache::seekToLastFrame()
{
    if (!_stream)
        return;
    const LumoStreamInfo info = _stream->info();
    seek(int(qBound(qint64(INT_MIN), qint64(info->firstFrameNumber) + info->frameCount - 1, qint64(INT_MAX))));
}

// --- refill -----------------------------------------------------------------------

void LumoStreamCache::engage()
{
    if (_pending >= _maxPending || !_stream || _stream->state() == LumoStream::Closing)
        return;
    if (_stream->mode() == Lumo::ReadOnly)
        readLoop();
    else if (_stream->mode() == Lumo::WriteOnly)
        writeLoop();
}

void LumoStreamCache::readLoop()
{
    const LumoStreamInfo info = _stream->info();
    const int count = info->frameCount;
    while (_frames.size() < _cacheSize && _pending < _maxPending && !_freeRecords.isEmpty()) {
        const int n = toFrameNumber(_requestPosition);
        const bool outside = n < 0 || n >= count;
        if (outside && !_readOutsideStream)
            return;

        LumoTimecode timecode = info->timecode;
        const qint64 labelled = qint64(n) + timecode->frameNumber();
        if (labelled >= INT_MIN && labelled <= INT_MAX)
            timecode->setFromFrameNumber(int(labelled), timecode->fps, timecode->isDropFrame());

        ReadMetadata* record = _freeRecords.takeFirst();
        record->position = n;
        record->outsideStream = outside;
        record->timecode = timecode;
        record->active = true;
        record->pendingAtIssue = _pending;
        ++_pending;
        _stream->read(n < 0 ? 0 : n >= count ? count - 1 : n, token(record->index));
        _requestPosition += _speed;
    }
}

void LumoStreamCache::writeLoop()
{
    while (!_frames.isEmpty()) {
        const LumoFrame frame = _frames.takeFirst();
        _gaps.removeFirst();
        _stream->write(toFrameNumber(_requestPosition), frame, token(int(kWriteIndex)));
        ++_pending;
        _requestPosition += _speed;
        if (_pending >= _maxPending)
            return;
    }
}

// --- completions ------------------------------------------------------------------

void LumoStreamCache::skipExpected()
{
    _expectedPosition += _speed;
    if (_gaps.isEmpty())
        _position += _speed; // the application had reached the failed frame
    else
        ++_gaps.last();
}

void LumoStreamCache::readIsDone(int, LumoFrame const& f, LumoError const&, void* pdata)
{
    ReadMetadata* record = recordOf(pdata);
    if (!record) {
        engage();
        return;
    }
    if (_pending > 0)
        --_pending;
    const bool expected = record->position == toFrameNumber(_expectedPosition);
    const bool accepted = expected && !(record->outsideStream && !_readOutsideStream) && !f->images.isEmpty() &&
                          record->active;
    if (!accepted) {
        if (expected && record->active)
            skipExpected();
        giveBack(record);
        engage();
        return;
    }
    LumoFrame frame = f;
    if (record->outsideStream) {
        static const int registered = qRegisterMetaType<LumoTimecode>("LumoTimecode");
        Q_UNUSED(registered);
        frame.setMetadata(1, record->position);
        frame.setMetadata(12, QVariant::fromValue(record->timecode));
        frame.setMetadata(26, true);
    }
    _frames.append(frame);
    _gaps.append(0);
    _expectedPosition += _speed;
    emit ready();
    giveBack(record);
    engage();
}

void LumoStreamCache::writeIsDone(int pos, LumoError const& err, void* pdata)
{
    if (pdata && !isCurrent(pdata)) {
        engage();
        return;
    }
    const int wasPending = _pending;
    if (_pending > 0)
        --_pending;
    if (wasPending != 0 && toFrameNumber(_expectedPosition) == pos) {
        _expectedPosition += _speed;
        if (err != 0)
            emit error(pos, err);
        if (_frames.size() < _cacheSize)
            emit ready();
    }
    engage();
}

// --- settings ---------------------------------------------------------------------

void LumoStreamCache::clear()
{
    _frames.clear();
    _gaps.clear();
    _expectedPosition = _position;
    _requestPosition = _position;
    engage();
}

void LumoStreamCache::reset()
{
    seekToFirstFrame();
}

void LumoStreamCache::setSpeed(double val)
{
    if (val == _speed)
        return;
    _speed = val;
    clear();
}

void LumoStreamCache::setCacheSize(int val)
{
    _cacheSize = val;
}

void LumoStreamCache::setMaxPending(int val)
{
    if (val < 1 || val == _maxPending)
        return;
    _maxPending = val;
    engage();
}

void LumoStreamCache::setReadOutsideStream(bool val)
{
    _readOutsideStream = val;
}

void LumoStreamCache::pushCachedToPending(int count)
{
    if (_frames.isEmpty())
        return;
    const int remembered = _maxPending;
    _maxPending = _pending + (count != 0 ? count : _frames.size());
    engage();
    _maxPending = remembered;
}

// --- the stream -------------------------------------------------------------------

void LumoStreamCache::setStream(LumoStream* stm)
{
    abandonRequests();
    if (_stream) {
        _stream->sync();
        if (!disconnect(_stream, nullptr, this, nullptr))
            logFailed("disconnect(stm, 0, this, 0)");
        if (!disconnect(this, nullptr, _stream, nullptr))
            logFailed("disconnect(this, 0, stm, 0)");
    }
    _stream = stm;
    if (stm) {
        for (StreamLink const& link : kStreamLinks) {
            const bool queued = link.type == Qt::QueuedConnection;
            if (!connect(stm, link.signal, this, link.slot, link.type))
                logFailed(QByteArray("connect(stm, SIGNAL(") + (link.signal + 1) + "), this, SLOT(" + (link.slot + 1) +
                          ")" + (queued ? ", Qt::QueuedConnection" : "") + ")");
        }
        openIsDone(stm->mode(), 0);
    }
    clear();
    engage();
}

void LumoStreamCache::openIsDone(int, LumoError const&)
{
    _pending = 0;
    _position = _stream ? _stream->info()->firstFrameNumber : 0;
    clear();
}

void LumoStreamCache::closeIsDone()
{
    _pending = 0;
    _position = 0.0;
    clear();
}

void LumoStreamCache::streamDestroyed(QObject*)
{
    _stream = nullptr;
    abandonRequests();
    clear();
}
