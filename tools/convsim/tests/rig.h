// A simulator plugged in on a fresh link, with a client on its slave.
#pragma once

#include "convsim/simulator.h"
#include "ptyclient.h"

#include <gtest/gtest.h>
#include <memory>

namespace convsimtest {

struct Rig {
    explicit Rig(const convsim::Personality& p, int frameGapMs = 200)
        : sim(new convsim::Simulator(p, frameGapMs)), link(dir.Path() + "/ttyCONV0")
    {
        std::string error;
        started = sim->Start(link, &error);
        EXPECT_TRUE(started) << error;
        if (started) {
            EXPECT_TRUE(client.Open(link));
        }
    }

    TempDir dir;
    std::unique_ptr<convsim::Simulator> sim;
    std::string link;
    PtyClient client;
    bool started = false;
};

} // namespace convsimtest
