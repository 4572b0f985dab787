// The shared option reader on argument lists: both value spellings,
// abbreviations, operands anywhere, and every kind of misuse named.
#include "toolcli.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <thread>
#include <vector>

#include "stopsignals.h"

namespace {

constexpr int kName = 0x101;

const std::vector<option>& Options()
{
    static const std::vector<option> options = {
        toolcli::HelpOption(),
        toolcli::VersionOption(),
        {"port", required_argument, nullptr, 'p'},
        {"verbose", no_argument, nullptr, 'v'},
        {"name", required_argument, nullptr, kName},
        {"no-color", no_argument, nullptr, 0x102},
        {"no-check", no_argument, nullptr, 0x103},
    };
    return options;
}

struct Parsed {
    bool ok = false;
    std::string seen; // "key=value " per option, in order
    std::vector<std::string> operands;
    std::string error;
};

Parsed Parse(const std::vector<std::string>& args, bool takesOperands = true)
{
    Parsed p;
    auto handle = [&p](int key, const char* value, std::string* error) {
        if (key == 'p') {
            int port = 0;
            if (!toolcli::ParsePort(value, &port)) {
                *error = std::string("bad port '") + value + "'";
                return false;
            }
        }
        p.seen += std::to_string(key) + "=" + (value ? value : "-") + " ";
        return true;
    };
    p.ok = toolcli::ParseOptions(args, Options(), handle, takesOperands ? &p.operands : nullptr, &p.error);
    return p;
}

std::string Key(int key, const char* value)
{
    return std::to_string(key) + "=" + value + " ";
}

TEST(ParseOptions, AcceptedCommandLines)
{
    struct Case {
        std::vector<std::string> args;
        std::string seen;
        std::vector<std::string> operands;
    };
    const std::vector<Case> cases = {
        {{}, "", {}},
        {{"--port", "43110"}, Key('p', "43110"), {}},
        {{"--port=43110"}, Key('p', "43110"), {}},
        {{"-p", "7"}, Key('p', "7"), {}},
        {{"-p7"}, Key('p', "7"), {}},
        {{"--po=8"}, Key('p', "8"), {}},
        {{"-vh"}, Key('v', "-") + Key('h', "-"), {}},
        {{"--version"}, Key(toolcli::kVersionKey, "-"), {}},
        {{"--name", "a b", "--name=", "x"}, Key(kName, "a b") + Key(kName, ""), {"x"}},
        {{"one", "-v", "two"}, Key('v', "-"), {"one", "two"}},
        {{"--", "-v", "--port"}, "", {"-v", "--port"}},
        {{"-"}, "", {"-"}},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args);
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.seen, c.seen);
        EXPECT_EQ(p.operands, c.operands);
    }
}

TEST(ParseOptions, MisuseIsNamed)
{
    struct Case {
        std::vector<std::string> args;
        bool takesOperands;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"--bogus"}, true, "unknown option '--bogus'"},
        {{"--bogus=1"}, true, "unknown option '--bogus'"},
        {{"-x"}, true, "unknown option '-x'"},
        {{"-vx"}, true, "unknown option '-x'"},
        {{"--port"}, true, "option '--port' needs a value"},
        {{"-p"}, true, "option '-p' needs a value"},
        {{"--help=yes"}, true, "option '--help' takes no value"},
        {{"--verbose=1"}, true, "option '--verbose' takes no value"},
        {{"--no"}, true, "unknown option '--no'"}, // ambiguous: --no-color or --no-check
        {{"--port", "x"}, true, "bad port 'x'"},
        {{"--port=70000"}, true, "bad port '70000'"},
        {{"--port=-1"}, true, "bad port '-1'"},
        {{"--port="}, true, "bad port ''"},
        {{"stray"}, false, "unexpected argument 'stray'"},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args, c.takesOperands);
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_FALSE(p.ok);
        EXPECT_EQ(p.error, c.error);
    }
}

TEST(ParseOptions, EachCallStartsAfresh)
{
    // getopt keeps state between calls; a refused line must not leak into
    // the next one.
    EXPECT_FALSE(Parse({"-vx", "--port"}).ok);
    const Parsed p = Parse({"--port", "1", "rest"});
    EXPECT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.seen, Key('p', "1"));
    EXPECT_EQ(p.operands, std::vector<std::string>{"rest"});
}

TEST(ParsePort, Range)
{
    int port = -1;
    EXPECT_TRUE(toolcli::ParsePort("0", &port));
    EXPECT_EQ(port, 0);
    EXPECT_TRUE(toolcli::ParsePort("65535", &port));
    EXPECT_EQ(port, 65535);
    for (const char* bad : {"65536", "", "+1", " 1", "1x", "0x10", "99999999999999999999"})
        EXPECT_FALSE(toolcli::ParsePort(bad, &port)) << bad;
}

TEST(VersionLine, NamesProgramAndVersion)
{
    const std::string line = toolcli::VersionLine("tovik-x");
    EXPECT_EQ(line.rfind("tovik-x (Tovik) ", 0), 0u) << line;
    EXPECT_GT(line.size(), std::string("tovik-x (Tovik) ").size());
}

// The stop signals are held for the thread that waits for them: blocked
// in the calling thread (here one of its own, so the test's mask stays as
// it is), pending until taken from the set returned, and nothing else.
TEST(BlockStopSignals, HoldsTermAndIntForTheWaiter)
{
    std::thread([] {
        const sigset_t set = toolcli::BlockStopSignals();
        sigset_t blocked;
        pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
        for (int sig : {SIGTERM, SIGINT}) {
            EXPECT_EQ(sigismember(&set, sig), 1) << sig;
            EXPECT_EQ(sigismember(&blocked, sig), 1) << sig;
            ASSERT_EQ(pthread_kill(pthread_self(), sig), 0);
            const timespec none{0, 0};
            EXPECT_EQ(sigtimedwait(&set, nullptr, &none), sig);
        }
        for (int sig : {SIGHUP, SIGPIPE, SIGUSR1})
            EXPECT_EQ(sigismember(&set, sig), 0) << sig;
    }).join();
}

} // namespace
