// The converter's end of a pseudo-terminal: the master side, with the
// slave set to raw mode and reachable through a symbolic link.
#ifndef CONVSIM_PTYPORT_H
#define CONVSIM_PTYPORT_H

#include <string>

namespace convsim {

class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Opens the master (non-blocking), sets master and slave raw.
    bool Open(std::string* error);
    // Points linkPath at the slave, replacing an existing symbolic link;
    // any other file at that path is left alone and the call fails.
    bool Link(const std::string& linkPath, std::string* error);
    void Unlink();
    // Closes the master: the slave's reader sees a hang-up.
    void Close();

    int MasterFd() const { return _master; }
    const std::string& SlaveName() const { return _slaveName; }
    const std::string& LinkPath() const { return _link; }

private:
    int _master = -1;
    std::string _slaveName;
    std::string _link;
};

// Sets a terminal raw: no echo, no translation, 8 bits, reads return at once.
bool MakeRaw(int fd);

} // namespace convsim

#endif
