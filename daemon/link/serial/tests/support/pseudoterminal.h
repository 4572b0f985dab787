// A pseudo-terminal for tests: the test holds the master side, the code under
// test opens the slave by path.
#ifndef PORTVANE_TEST_PSEUDOTERMINAL_H
#define PORTVANE_TEST_PSEUDOTERMINAL_H

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        _master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (_master < 0)
            return;
        if (::grantpt(_master) != 0 || ::unlockpt(_master) != 0) {
            CloseMaster();
            return;
        }
        const char* name = ::ptsname(_master);
        if (name)
            _slavePath = name;
    }
    ~PseudoTerminal() { CloseMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ok() const { return _master >= 0 && !_slavePath.empty(); }
    const std::string& SlavePath() const { return _slavePath; }

    // Terminal attributes of the slave, read and written through the master.
    bool Attributes(struct termios& attributes) const { return ::tcgetattr(_master, &attributes) == 0; }
    bool SetAttributes(const struct termios& attributes) { return ::tcsetattr(_master, TCSANOW, &attributes) == 0; }

    // Sends bytes towards the slave.
    bool Send(const std::string& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(_master, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return false;
            done += std::size_t(n);
        }
        return true;
    }

    // Sends chunks with a pause between them, from the calling thread.
    void SendChunks(const std::vector<std::string>& chunks, std::chrono::milliseconds gap)
    {
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            if (i > 0)
                std::this_thread::sleep_for(gap);
            Send(chunks[i]);
        }
    }

    // Collects what the slave wrote, until count bytes or the wait ends.
    std::string Receive(std::size_t count, int waitMs = 2000)
    {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now()).count();
            if (left <= 0)
                break;
            struct pollfd ready = {_master, POLLIN, 0};
            if (::poll(&ready, 1, int(left)) <= 0)
                break;
            char buffer[4096];
            const ssize_t n = ::read(_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, std::size_t(n));
        }
        return got;
    }

    void CloseMaster()
    {
        if (_master >= 0)
            ::close(_master);
        _master = -1;
    }

private:
    int _master = -1;
    std::string _slavePath;
};

#endif
