#include <gtest/gtest.h>

#include "platform/Random.h"

namespace {

TEST(Random, SequenceFromSeedZero)
{
    fc::SetRandSeed(0);
    // Seeds 1, 134775814, 3698175007 (past 2^31), 870078620 (wrapped past 2^32).
    const struct {
        quint32 seed;
        int value;
    } expected[] = {{1u, 0}, {134775814u, 313}, {3698175007u, 8609}, {870078620u, 2025}, {1172187917u, 2728}};
    for (const auto& e : expected) {
        EXPECT_EQ(fc::Random(9999), e.value);
        EXPECT_EQ(fc::RandSeed(), e.seed);
    }
}

TEST(Random, RangeScalesTheSameSeed)
{
    fc::SetRandSeed(134775814u);
    EXPECT_EQ(fc::Random(100), 86);
    fc::SetRandSeed(134775814u);
    EXPECT_EQ(fc::Random(1), 0);
    // An empty range answers 0 and still moves the sequence on.
    fc::SetRandSeed(0);
    EXPECT_EQ(fc::Random(0), 0);
    EXPECT_EQ(fc::Random(-5), 0);
    EXPECT_EQ(fc::Random(9999), 8609);
}

TEST(Random, ValuesStayInRange)
{
    fc::SetRandSeed(0);
    for (int i = 0; i < 10000; ++i) {
        const int v = fc::Random(7);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
    }
}

} // namespace
