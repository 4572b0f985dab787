// The tovik-convsim program: options, serving, verbose log, signals, exit.
#include "ptyclient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace convsimtest;

namespace {

std::string Program()
{
    const char* build = std::getenv("TOVIK_BUILD_DIR");
    return std::string(build ? build : ".") + "/bin/tovik-convsim";
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Runs the program with its standard output in a file.
class Child {
public:
    Child(const std::vector<std::string>& args, const std::string& out)
    {
        _pid = fork();
        if (_pid == 0) {
            const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            std::vector<char*> argv;
            std::string prog = Program();
            argv.push_back(&prog[0]);
            std::vector<std::string> copy = args;
            for (auto& a : copy)
                argv.push_back(&a[0]);
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Child()
    {
        if (_pid > 0 && !_reaped) {
            kill(_pid, SIGKILL);
            waitpid(_pid, nullptr, 0);
        }
    }
    // Exit status, or -1 when it did not end in time.
    int Wait(int timeoutMs)
    {
        for (int waited = 0; waited <= timeoutMs; waited += 10) {
            int status = 0;
            if (waitpid(_pid, &status, WNOHANG) == _pid) {
                _reaped = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    void Signal(int sig) { kill(_pid, sig); }

private:
    pid_t _pid = -1;
    bool _reaped = false;
};

bool WaitFor(const std::string& path, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        if (Exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    std::fclose(f);
    return text;
}

TEST(Program, ServesUntilSignalled)
{
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        TempDir dir;
        const std::string link = dir.Path() + "/ttyCONV2";
        const std::string out = dir.Path() + "/out";
        Child child({"--link", link, "--type", "18", "--serial", "PENDRO01", "--protocol-version", "2", "-v"},
                    out);
        ASSERT_TRUE(WaitFor(link, 5000));
        PtyClient client;
        ASSERT_TRUE(client.Open(link));
        EXPECT_EQ(Hex(client.Exchange(H("80 00 03"))), "C0 00 05 00 02");
        EXPECT_EQ(Hex(client.Exchange(H("83 00 03"))), "C3 00 05 00 12");
        EXPECT_EQ(Hex(client.Exchange(H("9B 00 03"))), "DB 00 0C 00 50 45 4E 44 52 4F 30 31");
        client.Close();
        child.Signal(sig);
        EXPECT_EQ(child.Wait(5000), 0);
        EXPECT_FALSE(Exists(link));
        const std::string text = ReadFile(out);
        EXPECT_NE(text.find("type 18 serving /dev/pts/"), std::string::npos) << text;
        EXPECT_NE(text.find("#1 "), std::string::npos) << text;
        EXPECT_NE(text.find("0x80: 80 00 03 -> C0 00 05 00 02"), std::string::npos) << text;
        EXPECT_NE(text.find("0x9b: 9B 00 03 -> DB 00 0C 00"), std::string::npos) << text;
    }
}

TEST(Program, ExitsWhenUnplugged)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV3";
    Child child({"--link", link, "--fault", "unplug,code=0x81"}, dir.Path() + "/out");
    ASSERT_TRUE(WaitFor(link, 5000));
    PtyClient client;
    ASSERT_TRUE(client.Open(link));
    EXPECT_EQ(Hex(client.Exchange(H("80 00 03"))), "C0 00 05 00 01");
    ASSERT_TRUE(client.Send(H("81 00 03")));
    EXPECT_EQ(child.Wait(5000), 3);
    EXPECT_FALSE(Exists(link));
    EXPECT_NE(ReadFile(dir.Path() + "/out").find("unplugged"), std::string::npos);
}

TEST(Program, RefusesBadOptions)
{
    TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--type", "5"}, std::vector<std::string>{"--link", dir.Path() + "/x", "--fault", "boom"}}) {
        Child child(args, dir.Path() + "/out");
        EXPECT_EQ(child.Wait(5000), 2);
    }
    EXPECT_FALSE(Exists(dir.Path() + "/x"));
}

} // namespace
