// The stream tests run on a Qt application's thread; the meta types are
// those that library start-up registers for queued deliveries.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "lumo/lumoid.h"
#include "lumo/lumoplaylist.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumotimecode.h"
#include "lumo/lumotimestamp.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    LumoId::registerBuiltins();
    qRegisterMetaType<LumoError>("LumoError");
    qRegisterMetaType<LumoFrame>("LumoFrame");
    Lumo::registerTimeStampMetaType();
    qRegisterMetaType<LumoTimecode>("LumoTimecode");
    qRegisterMetaType<LumoPlayList>("LumoPlayList");
    qRegisterMetaType<LumoPlayListIndex>("LumoPlayListIndex");
    qRegisterMetaType<LumoStreamInfo>("LumoStreamInfo");
    qRegisterMetaType<LumoMetadataHash>("LumoMetadataHash");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
