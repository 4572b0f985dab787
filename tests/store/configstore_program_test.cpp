// The box's config-0 store program on its fixed port.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>

#include "childprocess.h"
#include "eventrecorder.h"
#include "paramlink/paramlink.h"
#include "procstatus.h"
#include "rawpeer.h"
#include "tempdir.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

using namespace storetest;
using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::CountOf;
using tovik::test::ProgramResult;
using tovik::test::RunAndCapture;
using tovik::test::RunProgram;

namespace {

const char* const kDaemonUrl = "socket://127.0.0.1:43110/caching=true&configid=0";
const char* const kClientUrl = "socket://localhost:43110?caching=true&configid=0";

class ConfigStoreProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
        table->clear();
        tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
        ASSERT_TRUE(_store.StartPiped({BuildProgram("tovik-configstore")}));
        ASSERT_TRUE(_store.WaitForLine("configstore: serving config 0 on port 43110", 10000));
    }
    void TearDown() override
    {
        for (Config* c : _open)
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
        _store.Stop(SIGTERM, 5000);
    }
    Config* open(const char* url)
    {
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(url, "");
        if (c)
            _open.push_back(c);
        return c;
    }

    ChildProcess _store;
    std::vector<Config*> _open;
    RecorderPool _recorders;
};

TEST_F(ConfigStoreProgramTest, ServesWhateverTheBoxTableHolds)
{
    Config* daemonSide = open(kDaemonUrl);
    Config* clientSide = open(kClientUrl);
    ASSERT_TRUE(daemonSide && clientSide);
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
    EventRecorder& events = _recorders.New();
    ASSERT_TRUE(clientSide->AddEventListener(&events));

    size_t changed = 0;
    for (eParam_t id : daemonSide->GetParamIDList()) {
        DescriptorKindInfo info;
        ASSERT_TRUE(table->LookupKind(id, info));
        if (info.kind == ValueKind::Integer) {
            EXPECT_EQ(clientSide->GetIntegerValue(id), info.integerDefault) << std::hex << id;
            // Read-only status parameters are written this way too.
            ASSERT_TRUE(daemonSide->SetIntegerValue(id, info.integerDefault + 1)) << std::hex << id;
        } else {
            std::string value;
            EXPECT_TRUE(info.kind == ValueKind::Data ? clientSide->GetDataValue(id, value)
                                                     : clientSide->GetStringValue(id, value));
            EXPECT_EQ(value, info.stringDefault) << std::hex << id;
            ASSERT_TRUE(info.kind == ValueKind::Data ? daemonSide->SetDataValue(id, value + "!")
                                                     : daemonSide->SetStringValue(id, value + "!"));
        }
        ++changed;
    }
    ASSERT_TRUE(events.WaitFor(changed, 10000));
    EXPECT_EQ(events.Events().size(), changed);
    EXPECT_FALSE(daemonSide->SetIntegerValue(eParam_t(0x7fff0001), 1)) << "not in the box table";
}

TEST_F(ConfigStoreProgramTest, DumpShowsTheWholeBoxTable)
{
    Config* daemonSide = open(kDaemonUrl);
    ASSERT_NE(daemonSide, nullptr);
    ASSERT_TRUE(daemonSide->SetIntegerValue(DescriptorRegistry::GetDescriptorTable(0)
                                                ->GetDescriptor(std::string("eParamID_DeviceCount"))
                                                ->GetParamID(),
                                            2));
    int status = -1;
    const std::string out = RunAndCapture({BuildProgram("tovik-storedump")}, 10000, &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(size_t(CountOf(out, "\n")), DescriptorRegistry::GetDescriptorTable(0)->size());
    EXPECT_NE(out.find("\neParamID_DeviceCount=2\n"), std::string::npos) << out;
}

// A value longer than its parameter allows is refused by the store, and
// knobctl gives its usual failure with the store's reason.
TEST_F(ConfigStoreProgramTest, OverLongValueIsRefusedAndKnobctlSaysSo)
{
    const ChildProcess::Environment env = {{"HOME", testing::TempDir()}, {"TERM", "dumb"}};
    const ProgramResult refused =
        RunProgram({BuildProgram("knobctl"), "-set", "eParamID_SystemName", std::string(9000, 'n')}, env, 20000);
    EXPECT_EQ(refused.status, 3) << refused.err;
    EXPECT_EQ(refused.out, "false\n");
    char reason[160];
    std::snprintf(reason, sizeof reason,
                  "a value of 9000 bytes for parameter 0x%08X of config 0 is too long (at most 8192)\n",
                  unsigned(DescriptorRegistry::GetDescriptorTable(0)
                               ->GetDescriptor(std::string("eParamID_SystemName"))
                               ->GetParamID()));
    EXPECT_EQ(refused.err, std::string("Set failed\n") + reason);
    const ProgramResult taken = RunProgram({BuildProgram("knobctl"), "-set", "eParamID_SystemName", "box b"}, env, 20000);
    EXPECT_EQ(taken.status, 0) << taken.err;
    Config* c = open(kClientUrl);
    ASSERT_NE(c, nullptr);
    std::string name;
    EXPECT_TRUE(c->GetStringValue(DescriptorRegistry::GetDescriptorTable(0)
                                      ->GetDescriptor(std::string("eParamID_SystemName"))
                                      ->GetParamID(),
                                  name));
    EXPECT_EQ(name, "box b");
}

// Clients that take nothing of what they are sent, beside a writer of
// large values, swell the store by a hundred MB or so; once they have
// gone, it gives that memory back (kept, it would hold some 70 MB).
TEST_F(ConfigStoreProgramTest, MemoryGoesBackOnceHostileClientsLeave)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own heap";
#endif
    // As in a store that has run a while: the C library's threshold for
    // mapping blocks apart has grown past the clients' queues, so they lie
    // in its heap.
    ASSERT_EQ(_store.Stop(SIGTERM, 5000), 0);
    tovik::test::TempDir dir("configstore-memory");
    ChildProcess store;
    ASSERT_TRUE(store.Start({BuildProgram("tovik-configstore")}, dir.File("store.log"),
                            {{"GLIBC_TUNABLES", "glibc.malloc.mmap_threshold=4194304"}}));
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return store.Output().find("serving config 0") != std::string::npos; },
                                       10000));
    const pid_t pid = store.Pid();
    Config* writer = open(kDaemonUrl);
    ASSERT_NE(writer, nullptr);
    const eParam_t name =
        DescriptorRegistry::GetDescriptorTable(0)->GetDescriptor(std::string("eParamID_SystemName"))->GetParamID();
    ASSERT_TRUE(writer->SetStringValue(name, "idle"));
    tovik::test::WaitUntilIdle(pid, 300, 5000);
    const long idle = tovik::test::StatusKiB(pid, "VmRSS");
    ASSERT_GT(idle, 0);

    long swollen = 0;
    // A client that comes while the deaf ones are there, and stays: what
    // the store allocates for it lies above their queues in its heap.
    RawPeer late(43110);
    {
        std::vector<std::unique_ptr<RawPeer>> deaf;
        std::string hello;
        paramlink::wire::AppendHello(hello, 0);
        for (int i = 0; i < 100; ++i) {
            deaf.emplace_back(new RawPeer(43110, 4096));
            paramlink::wire::Message welcome;
            ASSERT_TRUE(deaf.back()->Send(hello) && deaf.back()->Read(welcome, 5000)) << i;
        }
        std::string value(8192, 'v');
        // Far more than the kernel takes for them: each queue grows to its
        // limit (1 MiB) and then holds the latest value.
        for (int i = 0; i < 1500; ++i) {
            value[0] = char('a' + i % 26);
            value[1] = char('a' + i / 26 % 26);
            value[2] = char('a' + i / 676);
            ASSERT_TRUE(writer->SetStringValue(name, value)) << i;
        }
        paramlink::wire::Message welcome;
        ASSERT_TRUE(late.Send(hello) && late.Read(welcome, 5000));
        swollen = tovik::test::StatusKiB(pid, "VmRSS");
        ASSERT_GT(swollen, idle + 40 * 1024) << "the deaf clients' queues, idle at " << idle << " kB";
    }
    long now = 0;
    EXPECT_TRUE(tovik::test::WaitUntil(
        [&] {
            now = tovik::test::StatusKiB(pid, "VmRSS");
            return now <= idle + 8 * 1024;
        },
        15000))
        << "idle " << idle << " kB, with the deaf clients " << swollen << " kB, after them " << now << " kB";
}

TEST_F(ConfigStoreProgramTest, SecondStoreOnTheSamePortFails)
{
    ChildProcess second;
    ASSERT_TRUE(second.StartPiped({BuildProgram("tovik-configstore"), "--port", "43110"}));
    EXPECT_FALSE(second.WaitForLine("serving", 2000));
    EXPECT_EQ(second.Stop(SIGTERM, 5000), 1);
}

TEST_F(ConfigStoreProgramTest, StopsCleanlyOnSignalAndThenRefusesClients)
{
    ASSERT_NE(open(kDaemonUrl), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(_store.Stop(SIGTERM, 5000), 0);
    EXPECT_EQ(ConfigFactoryImpl::GetInstance()->CreateConfig(kDaemonUrl, ""), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot connect"), std::string::npos) << said;
}

TEST(ConfigStoreArgumentsTest, BadArgumentsAreRefused)
{
    for (std::vector<std::string> args : {std::vector<std::string>{"--port", "70000"},
                                          std::vector<std::string>{"--port", "x"},
                                          std::vector<std::string>{"--bogus"},
                                          std::vector<std::string>{"--listen", "localhost"},
                                          std::vector<std::string>{"--listen", "300.1.1.1"},
                                          std::vector<std::string>{"--listen="},
                                          std::vector<std::string>{"-l", "[::1]"},
                                          std::vector<std::string>{"--listen"}}) {
        ChildProcess store;
        args.insert(args.begin(), BuildProgram("tovik-configstore"));
        ASSERT_TRUE(store.StartPiped(args));
        // It ends by itself, however long a loaded machine takes to start it.
        EXPECT_EQ(store.Wait(20000), 2);
        EXPECT_FALSE(store.WaitForLine("serving", 100));
    }
}

TEST(ConfigStoreArgumentsTest, BadListenAddressIsNamed)
{
    const ProgramResult bad = RunProgram({BuildProgram("tovik-configstore"), "--listen", "box.local"}, {}, 20000);
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("tovik-configstore: bad listen address 'box.local' (a numeric IPv4 or IPv6 address)\n", 0),
              0u)
        << bad.err;
}

// Listening on one address: clients through it are served, clients through
// another address of the box are not.
TEST(ConfigStoreListenTest, ServesOnTheOneAddressOnly)
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
    ChildProcess store;
    ASSERT_TRUE(store.StartPiped({BuildProgram("tovik-configstore"), "--listen=127.0.0.1"}));
    ASSERT_TRUE(store.WaitForLine("configstore: serving config 0 on port 43110", 10000));
    testing::internal::CaptureStderr();
    Config* through = ConfigFactoryImpl::GetInstance()->CreateConfig(kDaemonUrl, "");
    Config* other =
        ConfigFactoryImpl::GetInstance()->CreateConfig("socket://127.0.0.2:43110/caching=true&configid=0", "");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(through, nullptr);
    EXPECT_EQ(other, nullptr) << said;
    if (through)
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(through);
    if (other)
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(other);
    EXPECT_EQ(store.Stop(SIGTERM, 5000), 0);
}

} // namespace
