#include "configserver.h"

#include <QDebug>

#include "paramlink/socketserver.h"

using velora::stackline::config::access::SocketServer;

ConfigServer::ConfigServer(QObject* parent) : QObject(parent), _server(nullptr)
{
    Start();
}

ConfigServer::~ConfigServer()
{
    delete _server;
}

void ConfigServer::Start()
{
    if (_server)
        return;
    _server = new SocketServer(kPort);
    if (!_server->Initialize() || !_server->Start()) {
        delete _server;
        _server = nullptr;
        return;
    }
    qDebug("Server started");
}
