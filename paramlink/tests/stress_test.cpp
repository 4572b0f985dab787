// Many clients of one served config at once: writers, readers, watchers and
// a client that connects and leaves over and over. Every loop is bounded in
// count; waits are bounded in time. Runs in its own network namespace, on
// the converters' fixed port, through the URL form the command-line client
// uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "paramlink/paramlink.h"
#include "tovikconfig/descriptors.h"

using tovik::test::WaitUntil;

namespace {

const int kConfigID = 3;
const int kPort = 43111;
const int kWriters = 4;   // socket writers; one more writes through local://
const int kSets = 300;    // integer sets per writer and run
const int kChurns = 120;  // connect, listen, read, leave

eParam_t WriterId(int w) { return eParam_t(0x01000200 + w); }
const eParam_t kSharedText = eParam_t(0x01000300);
const eParam_t kSharedData = eParam_t(0x01000301);
const int kAllWriters = kWriters + 1;

// Values of a run start above those of earlier runs in the same process
// (the store keeps its values), so every set is a change.
int gBase = 0;

void FillStressTable(DescriptorTable* table)
{
    table->clear();
    for (int w = 0; w < kAllWriters; ++w) {
        auto* d = new IntegerDescriptor;
        d->SetParamID(WriterId(w));
        d->SetParamIDName("eParamID_Writer_" + std::to_string(w));
        d->SetParamType(eCParam_IntegerValue);
        d->SetMinValue(0);
        d->SetMaxValue(0x7fffffff);
        d->SetFactoryDefault(0);
        table->AddDescriptor(d);
    }
    auto* text = new StringDescriptor;
    text->SetParamID(kSharedText);
    text->SetParamIDName("eParamID_SharedText");
    text->SetParamType(eCParam_StringValue);
    table->AddDescriptor(text);
    auto* data = new DataDescriptor;
    data->SetParamID(kSharedData);
    data->SetParamIDName("eParamID_SharedData");
    data->SetParamType(eCParam_StringValue);
    table->AddDescriptor(data);
}

// Writer w's i-th text and data value; the data holds NUL bytes.
std::string TextOf(int w, int i) { return std::to_string(w) + ":" + std::to_string(i); }
std::string DataOf(int w, int i)
{
    std::string bytes(1, '\0');
    bytes += char(w);
    bytes += '\0';
    bytes += std::string(reinterpret_cast<const char*>(&i), sizeof i);
    bytes += std::string(size_t(i % 7), '\0');
    return bytes;
}
bool ParseData(const std::string& bytes, int& w, int& i)
{
    if (bytes.size() < 3 + sizeof i || bytes[0] != '\0' || bytes[2] != '\0')
        return false;
    w = bytes[1];
    std::memcpy(&i, bytes.data() + 3, sizeof i);
    return bytes.size() == 3 + sizeof i + size_t(i % 7) && bytes == DataOf(w, i);
}
bool ParseText(const std::string& text, int& w, int& i)
{
    return std::sscanf(text.c_str(), "%d:%d", &w, &i) == 2 && text == TextOf(w, i);
}

class Failures {
public:
    void Add(const std::string& what)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_list.size() < 20)
            _list.push_back(what);
        ++_count;
    }
    int Count()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _count;
    }
    std::string Text()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        std::string out;
        for (const auto& s : _list)
            out += s + "\n";
        return out;
    }

private:
    std::mutex _mutex;
    std::vector<std::string> _list;
    int _count = 0;
};

// Checks what one config reports: per writer, integer events rise strictly,
// text and data events rise per writer, and (for a caching config) the
// config never reads an older value than the event being delivered.
class OrderChecker : public ConfigEventListener {
public:
    OrderChecker(Failures& failures, std::string name) : _failures(failures), _name(std::move(name)) {}

    // The config is read from inside the callbacks when set.
    void ReadBackFrom(Config* config) { _config = config; }

    int IntegerChanged(eParam_t id, int value, timeval when) override
    {
        checkTime(when);
        const int w = int(id) - int(WriterId(0));
        if (w < 0 || w >= kAllWriters) {
            fail("event for unknown id");
            return 0;
        }
        int& last = _lastInt[size_t(w)];
        if (value <= last)
            fail("writer " + std::to_string(w) + " went from " + std::to_string(last) + " to " +
                 std::to_string(value));
        last = value;
        if (_config) {
            const int now = _config->GetIntegerValue(id);
            if (now < value)
                fail("read " + std::to_string(now) + " while delivering " + std::to_string(value));
        }
        std::lock_guard<std::mutex> lock(_mutex);
        _latest[size_t(w)] = value;
        return 0;
    }
    int StringChanged(eParam_t id, std::string& text, timeval when) override
    {
        checkTime(when);
        int w = 0, i = 0;
        if (id != kSharedText || !ParseText(text, w, i) || w < 0 || w >= kAllWriters) {
            fail("bad text event \"" + text + "\"");
            return 0;
        }
        int& last = _lastText[size_t(w)];
        if (i <= last)
            fail("text of writer " + std::to_string(w) + " went back");
        last = i;
        return 0;
    }
    int DataChanged(eParam_t id, std::string& bytes, timeval when) override
    {
        checkTime(when);
        int w = 0, i = 0;
        if (id != kSharedData || !ParseData(bytes, w, i) || w < 0 || w >= kAllWriters) {
            fail("bad data event of " + std::to_string(bytes.size()) + " bytes");
            return 0;
        }
        int& last = _lastData[size_t(w)];
        if (i <= last)
            fail("data of writer " + std::to_string(w) + " went back");
        last = i;
        return 0;
    }

    bool SawAll(int value)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        for (int v : _latest)
            if (v != value)
                return false;
        return true;
    }

private:
    void fail(const std::string& what) { _failures.Add(_name + ": " + what); }
    void checkTime(const timeval& when)
    {
        if (when.tv_sec <= 0 || when.tv_usec < 0 || when.tv_usec > 999999)
            fail("bad time stamp");
    }

    Failures& _failures;
    std::string _name;
    Config* _config = nullptr;
    // Touched by the delivering thread only.
    int _lastInt[kAllWriters] = {};
    int _lastText[kAllWriters] = {};
    int _lastData[kAllWriters] = {};
    std::mutex _mutex;
    int _latest[kAllWriters] = {};
};

Config* Open(const std::string& url) { return ConfigFactoryImpl::GetInstance()->CreateConfig(url, ""); }
void Release(Config* c) { ConfigFactoryImpl::GetInstance()->ReleaseConfig(c); }

std::string Url(bool caching)
{
    return std::string("socket://localhost:") + std::to_string(kPort) + "?caching=" + (caching ? "true" : "false") +
           "&configid=" + std::to_string(kConfigID);
}

} // namespace

TEST(StoreStress, ConcurrentClientsStayConsistent)
{
    static int runs = 0;
    gBase = kSets * runs++;
    FillStressTable(DescriptorRegistry::GetDescriptorTable(kConfigID));
    velora::stackline::config::access::SocketServer server(kPort);
    ASSERT_NE(server.Initialize(), 0);
    ASSERT_NE(server.Start(), 0);

    Failures failures;
    Config* serving = Open("local://configid=" + std::to_string(kConfigID));
    ASSERT_NE(serving, nullptr);

    // Watchers: the serving process, a caching and an uncaching client.
    OrderChecker localWatch(failures, "local watcher");
    OrderChecker cachedWatch(failures, "caching watcher");
    OrderChecker plainWatch(failures, "uncaching watcher");
    Config* cachedWatcher = Open(Url(true));
    Config* plainWatcher = Open(Url(false));
    ASSERT_TRUE(cachedWatcher && plainWatcher);
    cachedWatch.ReadBackFrom(cachedWatcher);
    ASSERT_TRUE(serving->AddEventListener(&localWatch));
    ASSERT_TRUE(cachedWatcher->AddEventListener(&cachedWatch));
    ASSERT_TRUE(plainWatcher->AddEventListener(&plainWatch));

    std::vector<Config*> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.push_back(Open(Url(w % 2 == 0)));
        ASSERT_NE(writers.back(), nullptr);
    }
    writers.push_back(serving);

    std::atomic<bool> writing{true};
    std::vector<std::thread> threads;
    for (int w = 0; w < kAllWriters; ++w) {
        threads.emplace_back([&, w] {
            Config* c = writers[size_t(w)];
            for (int i = gBase + 1; i <= gBase + kSets; ++i) {
                if (!c->SetIntegerValue(WriterId(w), i))
                    failures.Add("writer " + std::to_string(w) + " refused " + std::to_string(i));
                if (i % 10 == 0) {
                    if (!c->SetStringValue(kSharedText, TextOf(w, i)))
                        failures.Add("text refused");
                    if (!c->SetDataValue(kSharedData, DataOf(w, i)))
                        failures.Add("data refused");
                }
                // A writer reads its own value back at once.
                if (c->GetIntegerValue(WriterId(w)) != i)
                    failures.Add("writer " + std::to_string(w) + " did not read back " + std::to_string(i));
            }
        });
    }

    // Readers: each value a reader sees for a writer is never older than
    // the one it saw before.
    for (bool caching : {false, true}) {
        threads.emplace_back([&, caching] {
            Config* c = Open(Url(caching));
            if (!c) {
                failures.Add("reader could not connect");
                return;
            }
            int seen[kAllWriters] = {};
            for (int round = 0; writing.load() && round < 200000; ++round) {
                const int w = round % kAllWriters;
                const int v = c->GetIntegerValue(WriterId(w));
                if (v < seen[w])
                    failures.Add(std::string(caching ? "caching" : "uncaching") + " reader went back from " +
                                 std::to_string(seen[w]) + " to " + std::to_string(v) + " for writer " +
                                 std::to_string(w));
                seen[w] = v;
                std::string text, bytes;
                int tw = 0, ti = 0;
                if (!c->GetStringValue(kSharedText, text) || (!text.empty() && !ParseText(text, tw, ti)))
                    failures.Add("reader got text \"" + text + "\"");
                if (!c->GetDataValue(kSharedData, bytes) || (!bytes.empty() && !ParseData(bytes, tw, ti)))
                    failures.Add("reader got bad data");
            }
            Release(c);
        });
    }

    // Clients come and go, reading what they can while they are there.
    for (int churner = 0; churner < 2; ++churner) {
        threads.emplace_back([&, churner] {
            for (int n = churner; n < kChurns; n += 2) {
                Config* c = Open(Url(n % 3 != 0));
                if (!c) {
                    failures.Add("churning client could not connect");
                    continue;
                }
                OrderChecker check(failures, "churn " + std::to_string(n));
                if (n % 3 != 0)
                    check.ReadBackFrom(c);
                if ((n / 2) % 2 == 0)
                    c->AddEventListener(&check);
                for (int w = 0; w < kAllWriters; ++w)
                    (void)c->GetIntegerValue(WriterId(w));
                std::this_thread::sleep_for(std::chrono::milliseconds(n % 4));
                Release(c);
            }
        });
    }

    for (int w = 0; w < kAllWriters; ++w)
        threads[size_t(w)].join();
    writing = false;
    for (size_t t = size_t(kAllWriters); t < threads.size(); ++t)
        threads[t].join();

    // Every watcher hears the last set of each writer.
    for (OrderChecker* watch : {&localWatch, &cachedWatch, &plainWatch})
        EXPECT_TRUE(WaitUntil([&] { return watch->SawAll(gBase + kSets); }, 10000));

    // Every config, fresh or long-lived, caching or not, agrees.
    Config* fresh = Open(Url(true));
    ASSERT_NE(fresh, nullptr);
    std::string finalText, finalData;
    ASSERT_TRUE(serving->GetStringValue(kSharedText, finalText));
    ASSERT_TRUE(serving->GetDataValue(kSharedData, finalData));
    for (Config* c : {serving, cachedWatcher, plainWatcher, fresh, writers[0], writers[1]}) {
        for (int w = 0; w < kAllWriters; ++w)
            EXPECT_EQ(c->GetIntegerValue(WriterId(w)), gBase + kSets) << "writer " << w;
        std::string text, bytes;
        EXPECT_TRUE(c->GetStringValue(kSharedText, text));
        EXPECT_EQ(text, finalText);
        EXPECT_TRUE(c->GetDataValue(kSharedData, bytes));
        EXPECT_EQ(bytes, finalData);
    }
    int tw = 0, ti = 0;
    EXPECT_TRUE(ParseText(finalText, tw, ti));
    EXPECT_EQ(ti, gBase + kSets);

    EXPECT_EQ(failures.Count(), 0) << failures.Text();

    Release(fresh);
    for (int w = 0; w < kWriters; ++w)
        Release(writers[size_t(w)]);
    Release(cachedWatcher);
    Release(plainWatcher);
    Release(serving);
}
