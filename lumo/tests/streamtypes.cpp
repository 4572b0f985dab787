// The stream tests run on the Qt application's thread (the toolkit's test
// main); the meta types are those that library start-up registers for
// queued deliveries, registered once before the first test.
#include <gtest/gtest.h>

#include "lumo/lumoid.h"
#include "lumo/lumoplaylist.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumotimecode.h"
#include "lumo/lumotimestamp.h"

namespace {

class StreamTypes : public ::testing::Environment {
public:
    void SetUp() override
    {
        LumoId::registerBuiltins();
        qRegisterMetaType<LumoError>("LumoError");
        qRegisterMetaType<LumoFrame>("LumoFrame");
        Lumo::registerTimeStampMetaType();
        qRegisterMetaType<LumoTimecode>("LumoTimecode");
        qRegisterMetaType<LumoPlayList>("LumoPlayList");
        qRegisterMetaType<LumoPlayListIndex>("LumoPlayListIndex");
        qRegisterMetaType<LumoStreamInfo>("LumoStreamInfo");
        qRegisterMetaType<LumoMetadataHash>("LumoMetadataHash");
    }
};

::testing::Environment* const kStreamTypes = ::testing::AddGlobalTestEnvironment(new StreamTypes);

} // namespace
