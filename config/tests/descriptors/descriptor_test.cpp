#include <gtest/gtest.h>

#include "tovikconfig/descriptors.h"

TEST(DescriptorDefaults, FreshDescriptors)
{
    StringDescriptor s;
    EXPECT_EQ(s.GetMaxLength(), 20u);
    EXPECT_EQ(s.GetMaxIndex(), 19u);
    IntegerDescriptor i;
    EXPECT_EQ(i.GetAdjustBy(), 1u);
    EXPECT_EQ(i.GetMinValue(), 0u);
}
