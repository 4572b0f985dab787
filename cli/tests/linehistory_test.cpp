// The line history the shell and command files share stays bounded,
// however many lines a session runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
// readline's header needs FILE declared first.
#include <readline/history.h>

#include "interpreterfixture.h"
#include "linehistory.h"
#include "tempdir.h"

namespace knobtest {
namespace {

std::string Newest()
{
    HIST_ENTRY* entry = history_get(history_base + history_length - 1);
    return entry ? entry->line : "";
}

TEST(LineHistoryTest, KeepsTheLastLinesOnly)
{
    clear_history();
    EXPECT_EQ(RecordLine("  \t"), "");
    EXPECT_EQ(history_length, 0) << "a blank line is not kept";
    for (int i = 0; i < 3 * kHistoryLines; ++i)
        EXPECT_EQ(RecordLine(" get Level" + std::to_string(i) + "\t"), "get Level" + std::to_string(i));
    EXPECT_EQ(history_length, kHistoryLines);
    EXPECT_EQ(Newest(), "get Level" + std::to_string(3 * kHistoryLines - 1));
    HIST_ENTRY* oldest = history_get(history_base);
    ASSERT_NE(oldest, nullptr);
    EXPECT_EQ(std::string(oldest->line), "get Level" + std::to_string(2 * kHistoryLines));

    // A line past the length is run, not kept.
    const std::string huge = "set Label " + std::string(kHistoryLineBytes, 'x');
    EXPECT_EQ(RecordLine(huge), huge);
    EXPECT_EQ(Newest(), "get Level" + std::to_string(3 * kHistoryLines - 1));
    const std::string longest = std::string(kHistoryLineBytes - 4, 'y') + " end";
    RecordLine(longest);
    EXPECT_EQ(Newest(), longest);
    clear_history();
}

// Ten thousand watch and unwatch commands leave the watch list empty and
// the history at its bound.
TEST_F(InterpreterTest, ManyWatchesCostBoundedMemory)
{
    clear_history();
    tovik::test::TempDir dir("knobctl-history");
    const std::string path = dir.File("watching");
    {
        std::ofstream file(path);
        for (int i = 0; i < 10000; ++i)
            file << "watch Level\nunwatch Level\n";
    }
    EXPECT_EQ(Run("source " + path).err, "");
    EXPECT_EQ(Run("watches").out, "");
    EXPECT_EQ(history_length, kHistoryLines);
    EXPECT_EQ(Newest(), "unwatch Level\n") << "a sourced line keeps its line end";
    clear_history();
}

} // namespace
} // namespace knobtest
