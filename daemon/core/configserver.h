// Serves this process's configs (the converters' configs 1 to 4) to other
// processes over TCP.
#ifndef PORTVANE_CONFIGSERVER_H
#define PORTVANE_CONFIGSERVER_H

#include <QObject>

namespace velora {
namespace stackline {
namespace config {
namespace access {
class SocketServer;
}
}
}
}

class ConfigServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPort = 43111;

    explicit ConfigServer(QObject* parent = nullptr);
    ~ConfigServer() override;

    // Starts the server; without a message when it cannot.
    void Start();
    bool IsRunning() const { return _server != nullptr; }

private:
    velora::stackline::config::access::SocketServer* _server;
};

#endif
