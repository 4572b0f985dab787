// Runs the block fuzz target's checks on random converter bytes of every
// model, so a build without the fuzzer still runs them.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);

namespace {

TEST(BlockBytes, RandomImagesAndStatusOfEveryModel)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 4000; ++round) {
        const int type = round % 34;
        std::vector<std::uint8_t> input(1 + random() % 130);
        for (std::uint8_t& b : input)
            b = std::uint8_t(random());
        input[0] = std::uint8_t(type);
        ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0) << round;
    }
    // Exactly too short and exactly long enough for Nolvar's status.
    for (size_t length : {110u, 111u}) {
        std::vector<std::uint8_t> input(1 + length, 0xFF);
        input[0] = 16;
        EXPECT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
    }
}

} // namespace
