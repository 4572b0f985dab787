// Test side of the line: opens the simulator's slave raw and frames
// commands and answers with its own few lines of code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace convsimtest {

using Bytes = std::vector<uint8_t>;

// "C0 00 05 00 01" -> bytes; spaces optional.
Bytes H(const std::string& hex);
std::string Hex(const Bytes& b);
// [code][total length, 2 bytes][payload]
Bytes Cmd(uint8_t code, const Bytes& payload = {});
Bytes Cat(Bytes a, const Bytes& b);
Bytes Text(const std::string& s, size_t width); // zero-padded field

// A fresh directory under the temp dir, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return _path; }

private:
    std::string _path;
};

class PtyClient {
public:
    PtyClient() = default;
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    // makeRaw false leaves the line settings as they are.
    bool Open(const std::string& path, bool makeRaw = true);
    void Close();
    bool Send(const Bytes& b);
    // Reads until n bytes arrived or timeoutMs passed; returns what came.
    Bytes ReadExactly(size_t n, int timeoutMs);
    // Reads until nothing arrives for quietMs (at most maxMs in all).
    Bytes ReadQuiet(int quietMs, int maxMs = 3000);
    // One answer by its header's length field.
    Bytes ReadAnswer(int timeoutMs = 2000);
    Bytes Exchange(const Bytes& command, int timeoutMs = 2000);
    // Result of one read after waiting up to timeoutMs: bytes, 0 on end of
    // file, -1 with errno on error, -2 when nothing happened.
    int ReadOnce(uint8_t* buf, size_t n, int timeoutMs, int* err);
    void Flush();
    int Fd() const { return _fd; }

private:
    int _fd = -1;
};

} // namespace convsimtest
