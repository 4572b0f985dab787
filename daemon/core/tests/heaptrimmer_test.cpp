#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "heaptrimmer.h"
#include "procstatus.h"

namespace {

// Holes left in the heap by a burst give their pages back once checked.
TEST(HeapTrimmerTest, FreedHolesGoBackToTheSystem)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own heap";
#endif
    HeapTrimmer trimmer;
    trimmer.Check();
    const int trimsBefore = trimmer.Trims();

    // Blocks below the size the C library maps apart, every other one
    // freed: holes that the heap's top cannot give back by itself.
    const size_t block = 64 * 1024;
    std::vector<void*> blocks(128);
    for (void*& b : blocks) {
        b = std::malloc(block);
        std::memset(b, 0x5A, block);
    }
    for (size_t i = 0; i < blocks.size(); i += 2) {
        std::free(blocks[i]);
        blocks[i] = nullptr;
    }
    ASSERT_TRUE(HeapTrimmer::ShouldTrim(HeapTrimmer::FreeHeapBytes()));
    const long before = tovik::test::StatusKiB(::getpid(), "VmRSS");

    trimmer.Check();
    EXPECT_EQ(trimmer.Trims(), trimsBefore + 1);
    const long after = tovik::test::StatusKiB(::getpid(), "VmRSS");
    EXPECT_LE(after, before - 2048) << "the 4 MiB of holes, less their edges";

    for (void* b : blocks)
        std::free(b);
}

TEST(HeapTrimmerTest, LittleFreeHeapIsLeftAlone)
{
    EXPECT_FALSE(HeapTrimmer::ShouldTrim(0));
    EXPECT_FALSE(HeapTrimmer::ShouldTrim(HeapTrimmer::kTrimFromBytes - 1));
    EXPECT_TRUE(HeapTrimmer::ShouldTrim(HeapTrimmer::kTrimFromBytes));
}

} // namespace
