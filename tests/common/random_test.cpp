#include "common/random.h"

#include <gtest/gtest.h>

#include <random>

TEST(Random, FollowsStandardTwisterForSeed5489)
{
    SeedRandom(5489);
    std::mt19937 reference; // default seed 5489
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(RandomWord(), reference()) << "draw " << i;
}

TEST(Random, KnownFirstOutputs)
{
    SeedRandom(5489);
    EXPECT_EQ(RandomWord(), 3499211612u);
    EXPECT_EQ(RandomWord(), 581869302u);
    EXPECT_EQ(RandomWord(), 3890346734u);
}

TEST(Random, ReseedingRestartsTheSequence)
{
    SeedRandom(42);
    const auto first = RandomWord();
    RandomWord();
    SeedRandom(42);
    EXPECT_EQ(RandomWord(), first);
    std::mt19937 reference(42);
    EXPECT_EQ(first, reference());
    // A keeper puts back the state it found, past a regeneration too.
    {
        const CRandomStateKeeper keeper;
        for (int draw = 0; draw < 700; ++draw)
            RandomWord();
    }
    EXPECT_EQ(RandomWord(), reference());
}

TEST(Random, RealTakesOneDrawAndReachesBothEnds)
{
    EXPECT_EQ(RealFromDraw(0), 0.0);
    EXPECT_EQ(RealFromDraw(0xFFFFFFFFu), 1.0);
    EXPECT_DOUBLE_EQ(RealFromDraw(0x80000000u), 2147483648.0 / 4294967295.0);

    SeedRandom(5489);
    const double real = RandomReal();
    EXPECT_DOUBLE_EQ(real, 3499211612.0 / 4294967295.0);
    // Exactly one draw was taken.
    EXPECT_EQ(RandomWord(), 581869302u);
}

TEST(Random, DieOfExactlyOneGivesLowestFace)
{
    EXPECT_EQ(DieFromReal(1.0, 6), 1);
    EXPECT_EQ(DieFromReal(0.0, 6), 1);
    EXPECT_EQ(DieFromReal(0.9999, 6), 6);
    EXPECT_EQ(DieFromReal(0.5, 6), 4);
    EXPECT_EQ(DieFromReal(1.0, -4), -1);
    EXPECT_EQ(DieFromReal(0.9999, -4), -4);
    EXPECT_EQ(DieFromReal(0.0, -4), -1);
}

TEST(Random, DieStaysInRange)
{
    SeedRandom(1234);
    bool seen6[7] = {};
    bool seenMinus4[5] = {};
    for (int i = 0; i < 5000; ++i)
    {
        const int d6 = RandomDie(6);
        ASSERT_GE(d6, 1);
        ASSERT_LE(d6, 6);
        seen6[d6] = true;
        const int dm4 = RandomDie(-4);
        ASSERT_GE(dm4, -4);
        ASSERT_LE(dm4, -1);
        seenMinus4[-dm4] = true;
    }
    for (int face = 1; face <= 6; ++face)
        EXPECT_TRUE(seen6[face]) << face;
    for (int face = 1; face <= 4; ++face)
        EXPECT_TRUE(seenMinus4[face]) << -face;
}
