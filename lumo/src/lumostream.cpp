#include "lumo/lumostream.h"

#include "lumostreamworker_p.h"

#include "lumo/lumo.h"
#include "lumo/lumolog.h"
#include "lumo/lumoplaylist.h"

namespace {

const QString kUnit = QStringLiteral("lumostream");

double milliseconds(LumoTimeStamp const& ts)
{
    return (ts.seconds + ts.microseconds * 0.000001) * 1000.0;
}

bool samePlayList(LumoPlayList const& a, LumoPlayList const& b)
{
    // Entry by entry: shared data, or equal name, description and count.
    return a == b;
}

} // namespace

LumoStream::LumoStream(QObject* parent)
    : QObject(parent),
      _engine(nullptr),
      _worker(new LumoStreamWorker(nullptr)),
      _mode(0),
      _benchmark(false),
      _state(Closed)
{
    connect(_worker, &LumoStreamWorker::taskDone, this, &LumoStream::taskDone);
}

LumoStream::~LumoStream()
{
    close();
    disposeFailedEngine();
    delete _worker;
}

int LumoStream::pending() const
{
    return _worker->queuedCount();
}

bool LumoStream::hasDesc(QVariant const& desc) const
{
    if (desc.type() != _desc.type())
        return false;
    if (desc.type() != QVariant::UserType)
        return _desc == desc;
    if (desc.userType() != _desc.userType())
        return false;
    static const int playListType = qRegisterMetaType<LumoPlayList>("LumoPlayList");
    if (desc.userType() != playListType)
        return false;
    return samePlayList(_desc.value<LumoPlayList>(), desc.value<LumoPlayList>());
}

void LumoStream::setDesc(QVariant const& desc)
{
    _desc = desc;
}

void LumoStream::setType(LumoId const& id)
{
    _type = id;
}

void LumoStream::setAutoType()
{
    setType(LumoId(0));
}

void LumoStream::setInfo(LumoStreamInfo const& info)
{
    _info = info;
}

void LumoStream::setBenchmarkEnable(bool val)
{
    _benchmark = val;
}

void LumoStream::sync()
{
    _worker->clear();
}

LumoStreamWorkerTask* LumoStream::makeTask(int kind) const
{
    return new LumoStreamWorkerTask(_engine, kind);
}

void LumoStream::flush()
{
    if (!_engine)
        return;
    _worker->queueTask(makeTask(LumoStreamWorkerTask::Flush));
}

void LumoStream::disposeFailedEngine()
{
    // Only a failed open leaves an engine with the stream closed; close()
    // does not reach it, and the next open() would drop the pointer.
    if (!_engine || _state != Closed)
        return;
    LumoStreamWorkerTask* task = makeTask(LumoStreamWorkerTask::Close);
    task->silent = true;
    _worker->queueTask(task);
    _engine = nullptr;
}

void LumoStream::findEngine()
{
    if (int(_type) != 0)
        _engine = lumoStreamEngineCreate(_type);
    else
        _engine = lumoStreamEngineCreateForDesc(_desc, nullptr);
    if (_engine)
        _engine->moveToThread(_worker);
}

bool LumoStream::open(int mode)
{
    close();
    disposeFailedEngine();
    findEngine();
    if (!_engine)
        return false;
    LumoStreamWorkerTask* task = makeTask(LumoStreamWorkerTask::Open);
    task->mode = mode;
    task->desc = _desc;
    if (mode != Lumo::ReadOnly)
        task->info = _info;
    _worker->queueTask(task);
    _state = Opening;
    return true;
}

void LumoStream::close()
{
    if (!_engine || _state == Closed || _state == Closing)
        return;
    _worker->queueTask(makeTask(LumoStreamWorkerTask::Close));
    _engine = nullptr;
    _state = Closing;
}

LumoStreamWorkerTask* LumoStream::frameTask(int kind, int fnum, void* pdata) const
{
    LumoStreamWorkerTask* task = makeTask(kind);
    task->fnum = fnum;
    task->pdata = pdata;
    task->info = _info;
    return task;
}

void LumoStream::read(int fnum, void* pdata)
{
    if (!_engine) {
        lumoLogOutput(1, kUnit, __LINE__, "Tried to read from %d but stream is closed\n", fnum);
        return;
    }
    _worker->queueTask(frameTask(LumoStreamWorkerTask::Read, fnum, pdata));
}

void LumoStream::write(int fnum, LumoFrame const& frame, void* pdata)
{
    if (!_engine) {
        lumoLogOutput(1, kUnit, __LINE__, "Tried to write to %d but stream is closed\n", fnum);
        return;
    }
    LumoStreamWorkerTask* task = frameTask(LumoStreamWorkerTask::Write, fnum, pdata);
    task->frame = frame;
    _worker->queueTask(task);
}

void LumoStream::taskDone()
{
    while (LumoStreamWorkerTask* task = _worker->takeFinished())
        processTask(task);
}

void LumoStream::processTask(LumoStreamWorkerTask* task)
{
    if (task->silent) {
        delete task;
        return;
    }
    switch (task->kind) {
    case LumoStreamWorkerTask::Open:
        _mode = task->error == 0 ? task->mode : 0;
        _state = task->error == 0 ? Open : Closed;
        _info = task->info;
        lumoLogOutput(3, kUnit, __LINE__, "Open took %.3lf ms\n", milliseconds(task->elapsed));
        emit openIsDone(task->mode, task->error);
        break;
    case LumoStreamWorkerTask::Close:
        _mode = 0;
        _state = Closed;
        lumoLogOutput(3, kUnit, __LINE__, "Close took %.3lf ms\n", milliseconds(task->elapsed));
        emit closeIsDone();
        break;
    case LumoStreamWorkerTask::Read:
        emit readIsDone(task->fnum, task->frame, task->error, task->pdata);
        break;
    case LumoStreamWorkerTask::Write:
        emit writeIsDone(task->fnum, task->error, task->pdata);
        break;
    case LumoStreamWorkerTask::Flush:
        emit flushDone(task->error);
        break;
    default:
        break;
    }
    if (_benchmark)
        emit benchmark(task->kind, task->elapsed);
    delete task;
}
