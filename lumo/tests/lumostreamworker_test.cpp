// The worker thread: tasks run one at a time in queue order on the worker
// thread, a clear drops everything but still closes engines, and reads
// leave their four metadata entries.
#include <gtest/gtest.h>

#include <thread>

#include "fakestream.h"
#include "logcapture.h"
#include "lumostreamworker_p.h"
#include "qtprint.h"
#include "streamspy.h"

namespace {

class LumoStreamWorkerTest : public ::testing::Test {
protected:
    void SetUp() override { FakeWorld::get().reset(); }

    // An engine opened on the worker's thread, as a stream would make it.
    FakeEngine* engineOn(LumoStreamWorker& worker, FakeScript const& script)
    {
        FakeWorld::get().setScript(QStringLiteral("fake:w"), script);
        FakeEngine* engine = new FakeEngine;
        engine->moveToThread(&worker);
        LumoStreamWorkerTask* open = new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Open);
        open->desc = QStringLiteral("fake:w");
        open->mode = Lumo::ReadOnly;
        worker.queueTask(open);
        LumoStreamWorkerTask* done = waitFinished(worker);
        EXPECT_EQ(done, open);
        delete done;
        return engine;
    }

    static LumoStreamWorkerTask* read(LumoStreamEngine* engine, int fnum, int frameCount)
    {
        LumoStreamWorkerTask* task = new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Read);
        task->fnum = fnum;
        task->info->frameCount = frameCount;
        return task;
    }

    static LumoStreamWorkerTask* waitFinished(LumoStreamWorker& worker)
    {
        LumoStreamWorkerTask* task = nullptr;
        FakeWorld::get().waitFor([&] { return (task = worker.takeFinished()) != nullptr; });
        return task;
    }

    LogCapture capture;
};

TEST_F(LumoStreamWorkerTest, RunsTasksInQueueOrderOnItsThread)
{
    LumoStreamWorker worker;
    LumoStreamEngine* engine = engineOn(worker, FakeScript());
    const int kinds[] = {LumoStreamWorkerTask::Write, LumoStreamWorkerTask::Read, LumoStreamWorkerTask::Flush,
                         LumoStreamWorkerTask::Read, LumoStreamWorkerTask::Close};
    for (int i = 0; i < 5; ++i) {
        LumoStreamWorkerTask* task = read(engine, i, 10);
        task->kind = kinds[i];
        worker.queueTask(task);
    }
    for (int i = 0; i < 5; ++i) {
        LumoStreamWorkerTask* task = waitFinished(worker);
        ASSERT_NE(task, nullptr);
        EXPECT_EQ(task->kind, kinds[i]);
        EXPECT_EQ(task->fnum, i);
        EXPECT_EQ(task->error, 0);
        delete task;
    }
    const std::vector<FakeCall> calls = FakeWorld::get().calls();
    const char* ops[] = {"open", "write", "read", "flush", "read", "close", "destroy"};
    ASSERT_EQ(calls.size(), 7u);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].op, QLatin1String(ops[i]));
        EXPECT_EQ(calls[i].thread, &worker) << ops[i];
    }
}

TEST_F(LumoStreamWorkerTest, ClearDuringAnEngineCallDropsEverythingButClosesTheEngine)
{
    FakeScript script = FakeScript::gated();
    LumoStreamWorker worker;
    LumoStreamEngine* engine = engineOn(worker, script);
    QPointer<LumoStreamEngine> guard(engine);

    worker.queueTask(read(engine, 0, 10));
    ASSERT_TRUE(FakeWorld::get().waitForCalls("read", 1)); // inside the engine call now
    LumoStreamWorkerTask* open = new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Open);
    open->mode = Lumo::ReadOnly;
    worker.queueTask(open);
    for (int i = 1; i <= 3; ++i)
        worker.queueTask(read(engine, i, 10));
    worker.queueTask(new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Close));
    EXPECT_EQ(worker.queuedCount(), 5);

    // The running call may end only once the clear has been asked for.
    std::thread opener([&] {
        FakeWorld::get().waitFor([&] { return worker.clearRequested(); });
        script.gate->release();
    });
    worker.clear();
    opener.join();

    EXPECT_FALSE(worker.clearRequested());
    EXPECT_EQ(worker.queuedCount(), 0);
    EXPECT_EQ(worker.takeFinished(), nullptr);
    EXPECT_TRUE(guard.isNull()) << "the queued close ran";
    const std::vector<FakeCall> closes = FakeWorld::get().calls("close");
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].thread, &worker);
    EXPECT_EQ(FakeWorld::get().calls("read").size(), 1u) << "queued reads never ran";
    EXPECT_EQ(FakeWorld::get().calls("open").size(), 1u);
    EXPECT_TRUE(logged("5 input, 1 output flushed\n"));
}

TEST_F(LumoStreamWorkerTest, ReadsCarryTheirMetadataWhateverTheResult)
{
    struct Case {
        int fnum;
        int frameCount;
        bool fails;
        bool start;
        bool end;
    };
    const Case cases[] = {
        {0, 1, false, true, true},  {0, 10, false, true, false}, {9, 10, true, false, true},
        {5, 10, true, false, false}, {0, 0, false, true, false},  {7, 0, false, false, false},
    };
    FakeScript script;
    script.failReads = {5, 9};
    LumoStreamWorker worker;
    LumoStreamEngine* engine = engineOn(worker, script);
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fnum << " of " << c.frameCount);
        LumoStreamWorkerTask* task = read(engine, c.fnum, c.frameCount);
        worker.queueTask(task);
        LumoStreamWorkerTask* done = waitFinished(worker);
        ASSERT_EQ(done, task);
        EXPECT_EQ(done->error != 0, c.fails);
        EXPECT_EQ(done->frame->images.isEmpty(), c.fails);
        EXPECT_EQ(done->frame.metadata(1).toInt(), c.fnum);
        EXPECT_EQ(done->frame.metadata(9).toBool(), c.start);
        EXPECT_EQ(done->frame.metadata(10).toBool(), c.end);
        const QVariant info = done->frame.metadata(21);
        EXPECT_EQ(QString::fromLatin1(info.typeName()), QStringLiteral("LumoStreamInfo"));
        EXPECT_EQ(info.value<LumoStreamInfo>()->frameCount, c.frameCount);
        EXPECT_GE(done->elapsed.seconds, 0);
        delete done;
    }
    worker.queueTask(new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Close));
    delete waitFinished(worker);
}

TEST_F(LumoStreamWorkerTest, ATaskWhoseEngineIsGoneFails)
{
    LumoStreamWorker worker;
    LumoStreamEngine* engine = engineOn(worker, FakeScript());
    std::vector<LumoStreamWorkerTask*> tasks;
    for (int kind = 0; kind <= 4; ++kind) {
        tasks.push_back(read(engine, 3, 10));
        tasks.back()->kind = kind;
    }
    worker.queueTask(new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Close));
    delete waitFinished(worker);
    for (LumoStreamWorkerTask* task : tasks) {
        const int kind = task->kind;
        ASSERT_TRUE(task->engine.isNull());
        worker.queueTask(task);
        LumoStreamWorkerTask* done = waitFinished(worker);
        ASSERT_EQ(done, task);
        EXPECT_EQ(done->error, ENODEV) << kind;
        EXPECT_TRUE(done->frame->metadata.isEmpty());
        EXPECT_EQ(done->elapsed.seconds, 0);
        EXPECT_EQ(done->elapsed.microseconds, 0);
        delete done;
    }
}

TEST_F(LumoStreamWorkerTest, UnknownKindsAreLoggedAndHandedBack)
{
    LumoStreamWorker worker;
    LumoStreamEngine* engine = engineOn(worker, FakeScript());
    LumoStreamWorkerTask* task = new LumoStreamWorkerTask(engine, 7);
    worker.queueTask(task);
    LumoStreamWorkerTask* done = waitFinished(worker);
    ASSERT_EQ(done, task);
    EXPECT_EQ(done->error, 0);
    delete done;
    EXPECT_TRUE(logged("Unhandled task: 7\n"));
    worker.queueTask(nullptr); // ignored
    worker.queueTask(new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Close));
    delete waitFinished(worker);
}

TEST_F(LumoStreamWorkerTest, DestructionRunsAQueuedCloseOnTheWorkerThread)
{
    FakeScript script = FakeScript::gated();
    QThread* thread = nullptr;
    std::thread opener;
    {
        LumoStreamWorker worker;
        thread = &worker;
        LumoStreamEngine* engine = engineOn(worker, script);
        worker.queueTask(read(engine, 0, 10));
        ASSERT_TRUE(FakeWorld::get().waitForCalls("read", 1));
        worker.queueTask(read(engine, 1, 10));
        worker.queueTask(new LumoStreamWorkerTask(engine, LumoStreamWorkerTask::Close));
        // The running read ends once destruction has begun.
        opener = std::thread([&worker, &script] {
            FakeWorld::get().waitFor([&worker] { return !worker.acceptsTasks(); });
            script.gate->release(10);
        });
    }
    opener.join();
    EXPECT_EQ(FakeWorld::get().calls("read").size(), 1u);
    const std::vector<FakeCall> closes = FakeWorld::get().calls("close");
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].thread, thread);
    const std::vector<FakeCall> destroys = FakeWorld::get().calls("destroy");
    ASSERT_EQ(destroys.size(), 1u);
    EXPECT_EQ(destroys[0].thread, thread);
    EXPECT_TRUE(logged("2 input, 1 output flushed\n"));
}

TEST_F(LumoStreamWorkerTest, AnIdleWorkerEndsAtOnce)
{
    LogCapture::clear();
    { LumoStreamWorker worker; }
    EXPECT_TRUE(logged("LumoStream Worker Thread Started\n"));
    EXPECT_TRUE(logged("0 input, 0 output flushed\n"));
}

} // namespace
