// The main of every test program that needs Qt's event loop, timers or
// queued signals: one QCoreApplication for the whole run, then the tests.
// Programs whose tests make an application of their own use gtest_main.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
