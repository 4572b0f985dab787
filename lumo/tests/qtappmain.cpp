// Tests that run on a Qt application's thread. The library is started
// without plug-ins, so the meta types of queued deliveries are registered
// as an application would have them.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "lumo/lumo.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Lumo::init(Lumo::StartNoPlugins);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
