// One end of a pseudo-terminal, for tests on either side of a serial line:
// a new terminal whose master the test holds while the code under test
// opens SlavePath(), or the slave of someone else's terminal (a simulated
// converter's link) opened by path. Every read and write is bounded.
#ifndef TOVIK_TEST_PSEUDOTERMINAL_H
#define TOVIK_TEST_PSEUDOTERMINAL_H

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <termios.h>

#include "bytes.h"

namespace tovik {
namespace test {

class PseudoTerminal {
public:
    // A new terminal; this end is its master.
    PseudoTerminal();
    // The terminal at path, from its slave side: raw unless raw is false.
    explicit PseudoTerminal(const std::string& path, bool raw = true);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Closes this end and opens the terminal at path from its slave side.
    bool Open(const std::string& path, bool raw = true);
    void Close();

    bool Ok() const { return _fd >= 0; }
    int Fd() const { return _fd; }
    // The slave's path of a terminal made here; empty for one opened by path.
    const std::string& SlavePath() const { return _slavePath; }

    // Terminal attributes (through the master: the slave's).
    bool Attributes(struct termios& attributes) const;
    bool SetAttributes(const struct termios& attributes);

    // Writes everything within two seconds.
    bool Send(const Bytes& bytes);
    bool Send(const std::string& bytes);
    // Sends chunks with a pause between them, from the calling thread.
    void SendChunks(const std::vector<std::string>& chunks, std::chrono::milliseconds gap);

    // What arrives until count bytes came or waitMs passed.
    Bytes Receive(size_t count, int waitMs = 2000);
    // What arrives until nothing came for quietMs (at most maxMs in all).
    Bytes ReceiveQuiet(int quietMs, int maxMs = 3000);
    // One read after waiting up to waitMs: the byte count, 0 at end of
    // file, -1 on an error (its errno in *error), -2 when nothing came.
    int ReadOnce(std::uint8_t* buffer, size_t size, int waitMs, int* error = nullptr);
    // Drops unread input.
    void Flush();

private:
    int _fd = -1;
    std::string _slavePath;
};

} // namespace test
} // namespace tovik

#endif
