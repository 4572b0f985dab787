#include "convsim/simulator.h"

#include "convsim/framesplitter.h"
#include "convsim/ptyport.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace convsim {

namespace {

constexpr unsigned kBitsPerByte = 11; // start, 8 data, parity, stop
constexpr unsigned kBaud = 38400;
constexpr int kIdlePollMs = 100;
constexpr int kHangupPauseMs = 20;

using Clock = std::chrono::steady_clock;

// Milliseconds until `until`, rounded up: a wait never ends before its time.
int64_t MsUntil(Clock::time_point until)
{
    return std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
}

} // namespace

unsigned WireTimeUs(size_t bytes)
{
    return unsigned((uint64_t(bytes) * kBitsPerByte * 1000000 + kBaud - 1) / kBaud);
}

struct Simulator::Impl {
    Impl(const Personality& p, int gap) : model(p), frameGapMs(gap), start(Clock::now()) {}

    int64_t NowMs() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }
    bool WaitStop(int64_t ms) const;
    void WriteAll(const Bytes& bytes);
    void Run();
    bool Serve(const Bytes& frame);
    void Unplug();

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    ConverterModel model;
    FaultPlan faults;
    std::deque<LogEntry> log;
    size_t logBytes = 0;
    uint64_t commands = 0;
    uint64_t dropped = 0;
    std::function<void(const LogEntry&)> observer;
    PtyPort port;
    bool plugged = false;

    const int frameGapMs;
    const Clock::time_point start;
    int stopPipe[2] = {-1, -1};
    std::thread thread;
};

bool Simulator::Impl::WaitStop(int64_t ms) const
{
    pollfd p{stopPipe[0], POLLIN, 0};
    if (ms <= 0)
        return poll(&p, 1, 0) > 0;
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const int64_t left = MsUntil(until);
        if (left <= 0)
            return false;
        const int r = poll(&p, 1, int(left));
        if (r > 0)
            return true;
        if (r < 0 && errno != EINTR)
            return false;
    }
}

// Writes on the non-blocking master; an answer the other side does not take
// within the write limit, or a closed slave, loses the rest, as a line would.
void Simulator::Impl::WriteAll(const Bytes& bytes)
{
    const int fd = port.MasterFd();
    size_t done = 0;
    const auto until = Clock::now() + std::chrono::milliseconds(kWriteLimitMs);
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return;
        const int64_t left = MsUntil(until);
        if (left <= 0)
            return;
        pollfd fds[2] = {{fd, POLLOUT, 0}, {stopPipe[0], POLLIN, 0}};
        if (poll(fds, 2, int(left)) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
    }
}

void Simulator::Impl::Unplug()
{
    std::lock_guard<std::mutex> lock(mutex);
    port.Unlink();
    port.Close();
    plugged = false;
    changed.notify_all();
}

// Returns false when serving must end (stop or unplug).
bool Simulator::Impl::Serve(const Bytes& frame)
{
    WirePlan plan;
    LogEntry entry;
    bool wireTime = false;
    std::function<void(const LogEntry&)> notify;
    {
        std::lock_guard<std::mutex> lock(mutex);
        entry.index = ++commands;
        entry.code = frame[0];
        entry.bytes = frame;
        entry.atMs = NowMs();
        const FaultPlan::Firing firing = faults.Match(frame[0], RegisterAddress(frame));
        // A refused command leaves the converter as it was.
        Bytes answer;
        if (!FaultPlan::Refuses(firing))
            answer = model.Handle(frame.data(), frame.size());
        plan = FaultPlan::Shape(frame[0], std::move(answer), firing);
        for (const WireStep& s : plan.steps)
            entry.answer.insert(entry.answer.end(), s.bytes.begin(), s.bytes.end());
        wireTime = model.State().wireTime;
        log.push_back(entry);
        logBytes += entry.bytes.size() + entry.answer.size();
        while (log.size() > kMaxLogEntries || (logBytes > kMaxLogBytes && log.size() > 1)) {
            logBytes -= log.front().bytes.size() + log.front().answer.size();
            log.pop_front();
        }
        notify = observer;
        changed.notify_all();
    }
    if (notify)
        notify(entry);
    if (plan.unplug) {
        Unplug();
        return false;
    }
    bool first = true;
    for (const WireStep& s : plan.steps) {
        int64_t waitMs = s.delayMs;
        if (wireTime) {
            const size_t onWire = s.bytes.size() + (first ? frame.size() : 0);
            waitMs += (WireTimeUs(onWire) + 999) / 1000;
        }
        first = false;
        if (WaitStop(waitMs))
            return false;
        WriteAll(s.bytes);
    }
    return !WaitStop(0);
}

void Simulator::Impl::Run()
{
    FrameSplitter splitter(frameGapMs);
    uint8_t buf[4096];
    Bytes frame;
    auto count = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        dropped = splitter.DroppedBytes();
    };
    for (;;) {
        int timeout = kIdlePollMs;
        const int64_t stale = splitter.MsUntilStale(NowMs());
        if (stale >= 0 && stale + 1 < timeout)
            timeout = int(stale + 1);
        pollfd fds[2] = {{port.MasterFd(), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        const int r = poll(fds, 2, timeout);
        if (r < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(port.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                splitter.Feed(buf, size_t(n), NowMs());
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                // No process has the slave open: nothing to serve.
                splitter.Reset();
                if (WaitStop(kHangupPauseMs))
                    return;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            splitter.Reset();
            if (WaitStop(kHangupPauseMs))
                return;
        }
        while (splitter.Next(frame, NowMs())) {
            if (!Serve(frame)) {
                count();
                return;
            }
        }
        count();
    }
}

Simulator::Simulator(const Personality& p, int frameGapMs) : _d(new Impl(p, frameGapMs))
{
    if (pipe2(_d->stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        _d->stopPipe[0] = _d->stopPipe[1] = -1;
}

Simulator::~Simulator()
{
    Stop();
    for (int fd : _d->stopPipe)
        if (fd >= 0)
            ::close(fd);
}

bool Simulator::Start(const std::string& linkPath, std::string* error)
{
    if (_d->stopPipe[0] < 0) {
        if (error)
            *error = "no stop pipe";
        return false;
    }
    Stop();
    {
        std::lock_guard<std::mutex> lock(_d->mutex);
        if (!_d->port.Open(error))
            return false;
        if (!linkPath.empty() && !_d->port.Link(linkPath, error)) {
            _d->port.Close();
            return false;
        }
        _d->plugged = true;
    }
    _d->thread = std::thread([this] { _d->Run(); });
    return true;
}

void Simulator::Stop()
{
    if (_d->thread.joinable()) {
        const char c = 1;
        (void)!::write(_d->stopPipe[1], &c, 1);
        _d->thread.join();
        char drain[16];
        while (::read(_d->stopPipe[0], drain, sizeof drain) > 0) {
        }
    }
    std::lock_guard<std::mutex> lock(_d->mutex);
    _d->port.Unlink();
    _d->port.Close();
    _d->plugged = false;
    _d->changed.notify_all();
}

bool Simulator::IsPlugged() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->plugged;
}

bool Simulator::WaitUnplugged(int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(_d->mutex);
    return _d->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [this] { return !_d->plugged; });
}

std::string Simulator::SlaveName() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->port.SlaveName();
}

std::string Simulator::LinkPath() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->port.LinkPath();
}

void Simulator::AddFault(const Fault& f)
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    _d->faults.Add(f);
}

void Simulator::ClearFaults()
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    _d->faults.Clear();
}

unsigned Simulator::FaultFired(size_t index) const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->faults.Fired(index);
}

std::vector<LogEntry> Simulator::Log() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return std::vector<LogEntry>(_d->log.begin(), _d->log.end());
}

void Simulator::ClearLog()
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    _d->log.clear();
    _d->logBytes = 0;
}

uint64_t Simulator::CommandCount() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->commands;
}

bool Simulator::WaitForCommands(uint64_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(_d->mutex);
    return _d->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return _d->commands >= count; });
}

void Simulator::SetObserver(std::function<void(const LogEntry&)> observer)
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    _d->observer = std::move(observer);
}

Personality Simulator::State() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->model.State();
}

void Simulator::SetWireTime(bool on)
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    _d->model.MutableState().wireTime = on;
}

Bytes Simulator::ConfigMemory(uint8_t fpga, uint8_t block) const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    const Bytes* m = _d->model.ConfigMemory(fpga, block);
    return m ? *m : Bytes();
}

Bytes Simulator::ReadRegisters(uint8_t iface, uint8_t dev, uint32_t addr, size_t count) const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->model.ReadRegisters(iface, dev, addr, count);
}

bool Simulator::WriteRegisters(uint8_t iface, uint8_t dev, uint32_t addr, const Bytes& data)
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->model.WriteRegisters(iface, dev, addr, data.data(), data.size());
}

std::vector<FirmwareImage> Simulator::FirmwareImages() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->model.FirmwareImages();
}

uint64_t Simulator::DroppedBytes() const
{
    std::lock_guard<std::mutex> lock(_d->mutex);
    return _d->dropped;
}

} // namespace convsim
