// Tests that run on a Qt application's thread (the toolkit's test main makes
// the application): the library is started without plug-ins before the
// first test, so the meta types of queued deliveries are registered as an
// application would have them.
#include <gtest/gtest.h>

#include "lumo/lumo.h"

namespace {

class LumoStart : public ::testing::Environment {
public:
    void SetUp() override { Lumo::init(Lumo::StartNoPlugins); }
};

::testing::Environment* const kLumoStart = ::testing::AddGlobalTestEnvironment(new LumoStart);

} // namespace
