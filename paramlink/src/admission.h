// Who a socket server lets in: the listening socket, the client limit (the
// last place kept for this host's own programs), a full table's eviction of
// the connection that has waited longest for its greeting, and refusals:
// a refused newcomer is told why and held open a moment so it reads the
// answer; a spare descriptor lets even a newcomer that finds none left
// hear why.
//
// Threads: SetAddress and Listen on the server owner's thread before the
// loop starts; SetMaxClients, MaxClients and ApplyLimit on any thread (the
// limit is ClientLimit's); the rest on the server's loop thread only.
#ifndef PARAMLINK_ADMISSION_H
#define PARAMLINK_ADMISSION_H

#include <sys/socket.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "clientlimit.h"
#include "listenaddress.h"
#include "logthrottle.h"

namespace paramlink {

class ServerConnection;

// What admission needs of the server's table of clients.
class AdmissionHost {
public:
    virtual ~AdmissionHost() = default;
    virtual size_t Connections() const = 0;
    virtual void ForEachConnection(const std::function<void(const ServerConnection&)>& visit) const = 0;
    // Takes the newcomer's socket in; order counts the newcomers let in.
    virtual void Admit(int fd, const std::string& peer, std::uint64_t order, long long now) = 0;
    // Closes a connection that makes way for a newcomer.
    virtual void Evict(int fd) = 0;
};

class Admission {
public:
    // epollFd: the loop's set, where refused newcomers wait to be read.
    Admission(int port, int epollFd);
    // Closes the listening socket, the spare one and the refused ones.
    ~Admission();
    Admission(const Admission&) = delete;
    Admission& operator=(const Admission&) = delete;

    void SetAddress(const ListenAddress& address) { _address = address; }
    // Binds and listens: 1, or 0 when the port cannot be had.
    int Listen();
    bool Listening() const { return _listenFd >= 0; }
    int ListenFd() const { return _listenFd; }
    int Port() const { return _boundPort; }

    void SetMaxClients(int clients) { _limit.SetWanted(clients); }
    int MaxClients() const { return _limit.Allowed(); }
    void ApplyLimit() { _limit.Apply(); }

    // Takes every newcomer waiting on the listening socket, in or out.
    void AcceptAll(long long now, AdmissionHost& host);

    // A refused newcomer's socket is readable (another socket: nothing).
    void DrainRefused(int fd);
    // Refused newcomers are held open for a while.
    bool Lingering() const { return !_refused.empty(); }
    // Drops the refused newcomers whose time is up.
    void ExpireRefused(long long now);
    // Closes the refused sockets dropped during the loop's pass, at its end,
    // so no descriptor is reused while its events may still name it.
    void CloseDropped();

private:
    // A socket bound to the port, on every address (dual-stack) or on the
    // one IPv6 address; -1 when there is none, with *failed when IPv4 is
    // not to be tried either.
    int bindIPv6(bool* failed) const;
    // A socket bound to the port on every IPv4 address or the one asked
    // for; -1 when there is none.
    int bindIPv4() const;
    void admit(int fd, const sockaddr_storage& addr, long long now, AdmissionHost& host);
    // Closes the oldest connection that has not greeted; false when every
    // connection has.
    bool evictUngreeted(AdmissionHost& host);
    void refuse(int fd, const std::string& peer, const std::string& reason, bool linger);

    const int _port;
    ListenAddress _address;
    const int _epollFd;
    int _boundPort = 0;
    int _listenFd = -1;
    // Given up to accept one client when no descriptor is left, so even
    // then a newcomer hears why it is refused.
    int _spareFd = -1;
    ClientLimit _limit;
    std::uint64_t _accepted = 0;
    std::unordered_map<int, long long> _refused; // socket -> when to give up
    std::vector<int> _closedRefused;
};

// The servers' lines about connections closed for want of a greeting.
LogThrottle& UngreetedLog();

} // namespace paramlink

#endif
