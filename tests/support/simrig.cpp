#include "simrig.h"

#include <gtest/gtest.h>

namespace tovik {
namespace test {

SimRig::SimRig() : _dir("tovik-sim") {}

SimRig::SimRig(const convsim::Personality& personality, int frameGapMs) : SimRig()
{
    Add(personality, frameGapMs);
}

SimRig::~SimRig()
{
    _clients.clear();
    for (auto& sim : _sims)
        sim->Stop();
}

convsim::Simulator& SimRig::Add(const convsim::Personality& personality, int frameGapMs)
{
    const std::string link = _dir.File("ttyCONV" + std::to_string(_sims.size()));
    _sims.emplace_back(new convsim::Simulator(personality, frameGapMs));
    _links.push_back(link);
    _clients.emplace_back();
    std::string error;
    const bool started = _sims.back()->Start(link, &error);
    EXPECT_TRUE(started) << "simulator on " << link << ": " << error;
    _started = _started && started;
    return *_sims.back();
}

std::string SimRig::PortList() const
{
    std::string list;
    for (const std::string& link : _links)
        list += (list.empty() ? "" : ":") + link;
    return list;
}

PseudoTerminal& SimRig::Client(size_t index)
{
    std::unique_ptr<PseudoTerminal>& client = _clients.at(index);
    if (!client) {
        client.reset(new PseudoTerminal(_links.at(index)));
        EXPECT_TRUE(client->Ok()) << "cannot open " << _links.at(index);
    }
    return *client;
}

std::vector<int> SimRig::Codes(const convsim::Simulator& sim)
{
    std::vector<int> codes;
    for (const convsim::LogEntry& entry : sim.Log())
        codes.push_back(entry.code);
    return codes;
}

std::vector<convsim::Bytes> SimRig::Frames(const convsim::Simulator& sim, int code)
{
    std::vector<convsim::Bytes> frames;
    for (const convsim::LogEntry& entry : sim.Log())
        if (entry.code == code)
            frames.push_back(entry.bytes);
    return frames;
}

} // namespace test
} // namespace tovik
