// A simulated converter on a pseudo-terminal, reached through the daemon's
// own serial port class, with a protocol object on that port.
#ifndef PORTVANE_TESTS_SIMLINK_H
#define PORTVANE_TESTS_SIMLINK_H

#include <string>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "convsim/simulator.h"
#include "protocol/ccommprotocol.h"
#include "serial/linserialif.h"
#include "serial/simulatedports.h"

class SimLink {
public:
    explicit SimLink(const convsim::Personality& personality)
        : _sim(personality), _protocol(&_port, nullptr)
    {
        const QByteArray link = _dir.filePath(QStringLiteral("ttyCONV0")).toLocal8Bit();
        std::string error;
        const bool started = _sim.Start(link.toStdString(), &error);
        EXPECT_TRUE(started) << error;
        // The port list is taken from the environment at enumeration only.
        qputenv(SimulatedPorts::kEnvName, link);
        _port.EnumeratePorts();
        qunsetenv(SimulatedPorts::kEnvName);
        const bool opened = started && _port.GetPortCount() == 1 && _port.Open(0);
        EXPECT_TRUE(opened);
        _ready = opened;
    }
    ~SimLink()
    {
        _port.Close();
        _sim.Stop();
    }
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    bool Ready() const { return _ready; }

    QTemporaryDir _dir;
    convsim::Simulator _sim;
    LinSerialIF _port;
    CCommProtocol _protocol;

private:
    bool _ready = false;
};

#endif
