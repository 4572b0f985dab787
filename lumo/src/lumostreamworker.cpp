#include "lumostreamworker_p.h"

#include "lumosemlock_p.h"

#include <cerrno>

#include "lumo/lumo.h"
#include "lumo/lumolog.h"

namespace {

const QString kUnit = QStringLiteral("lumostreamworker");

} // namespace

// --- task -------------------------------------------------------------------------

void LumoStreamWorkerTask::process()
{
    if (engine.isNull()) {
        error = ENODEV;
        return;
    }
    const LumoTimeStamp start = LumoTimeStamp::getCurrent();
    switch (kind) {
    case Open:
        error = engine->open(desc, mode, info);
        break;
    case Close:
        engine->close();
        if (!engine.isNull())
            delete engine.data();
        break;
    case Read:
        error = engine->read(fnum, frame);
        updateFrameMetadata(fnum, frame);
        break;
    case Write:
        error = engine->write(fnum, frame);
        break;
    case Flush:
        error = engine->flush();
        break;
    default:
        lumoLogOutput(1, kUnit, __LINE__, "Unhandled task: %d\n", kind);
        break;
    }
    elapsed = LumoTimeStamp::getCurrent() - start;
}

void LumoStreamWorkerTask::updateFrameMetadata(int fnum, LumoFrame& frame)
{
    static const int registered = qRegisterMetaType<LumoStreamInfo>("LumoStreamInfo");
    Q_UNUSED(registered);
    frame.setMetadata(21, QVariant::fromValue(info));
    frame.setMetadata(1, fnum);
    frame.setMetadata(9, fnum == 0);
    frame.setMetadata(10, info.constData()->frameCount == qint64(fnum) + 1);
}

// --- worker -----------------------------------------------------------------------

LumoStreamWorker::LumoStreamWorker(QObject*) : QThread(nullptr), _running(true), _clearRequested(false)
{
    sem_init(&_inputLock, 0, 1);
    sem_init(&_outputLock, 0, 1);
    start(QThread::InheritPriority);
    moveToThread(this);
}

LumoStreamWorker::~LumoStreamWorker()
{
    _running = false;
    _wakeUp.release(1000);
    if (!wait(15000)) {
        lumoLogOutput(1, kUnit, __LINE__, "Wait failed!\n");
        // The thread is still inside an engine call and touches the lists
        // afterwards: nothing is freed before it has ended.
        wait();
    }
    sem_destroy(&_inputLock);
    sem_destroy(&_outputLock);
}

void LumoStreamWorker::queueTask(LumoStreamWorkerTask* task)
{
    if (!task)
        return;
    if (!_running) {
        lumoLogOutput(1, kUnit, __LINE__, "Trying to queue task when not running\n");
        delete task;
        return;
    }
    {
        LumoSemLock lock(&_inputLock);
        _input.append(task);
    }
    _wakeUp.release();
}

void LumoStreamWorker::clear()
{
    _clearRequested = true;
    _wakeUp.release();
    while (_clearRequested)
        QThread::usleep(1000);
}

int LumoStreamWorker::queuedCount()
{
    LumoSemLock lock(&_inputLock);
    return _input.size();
}

LumoStreamWorkerTask* LumoStreamWorker::takeFinished()
{
    LumoSemLock lock(&_outputLock);
    return _output.isEmpty() ? nullptr : _output.takeFirst();
}

void LumoStreamWorker::run()
{
    lumoLogOutput(3, kUnit, __LINE__, "LumoStream Worker Thread Started\n");
    Lumo::setCurrentThreadName(QStringLiteral("LumoStreamWorker"));
    while (_running) {
        const bool woken = _wakeUp.tryAcquire(1, 100);
        if (_clearRequested)
            flushFifos();
        if (!woken)
            continue;
        LumoStreamWorkerTask* task = nullptr;
        {
            LumoSemLock lock(&_inputLock);
            if (_input.isEmpty())
                continue;
            task = _input.takeFirst();
        }
        task->process();
        {
            LumoSemLock lock(&_outputLock);
            _output.append(task);
        }
        emit taskDone();
        if (!_running)
            break;
    }
    flushFifos();
}

void LumoStreamWorker::flushFifos()
{
    QList<LumoStreamWorkerTask*> input;
    QList<LumoStreamWorkerTask*> output;
    {
        LumoSemLock lock(&_inputLock);
        input.swap(_input);
    }
    {
        LumoSemLock lock(&_outputLock);
        output.swap(_output);
    }
    for (LumoStreamWorkerTask* task : input) {
        if (task->kind == LumoStreamWorkerTask::Close)
            task->process();
        delete task;
    }
    qDeleteAll(output);
    lumoLogOutput(3, kUnit, __LINE__, "%d input, %d output flushed\n", input.size(), output.size());
    _clearRequested = false;
}
