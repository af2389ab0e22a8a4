#include "world/module.h"

#include "common/exception.h"

#include <gtest/gtest.h>

using namespace VARD;

TEST(ModuleBasics, EmptyModuleAnswersLookupsWithNull)
{
    CModule module;
    EXPECT_EQ(module.FindSpell("s_heal"), nullptr);
    EXPECT_EQ(module.FindItemTemplate("sword"), nullptr);
    EXPECT_TRUE(module.GetHeads(0).empty());
    EXPECT_TRUE(module.GetHeads(2).empty());
    EXPECT_THROW(module.GetHeads(3), CVARDException);
}

TEST(ModuleBasics, CreateItemOfUnknownTemplateIsCode1)
{
    CModule module;
    try
    {
        module.CreateItem("no_such_item", 1, MakeThingId(kThingKindItem, 7), 0);
        FAIL() << "no exception";
    }
    catch (const CVARDException& e)
    {
        EXPECT_EQ(e.GetCode(), 1);
    }
}

TEST(ModuleBasics, ThingIdsKeepKindInTheTopByte)
{
    EXPECT_EQ(MakeThingId(kThingKindTile, 3 * 1000 + 4), 0x01000BBCu);
    EXPECT_EQ(ThingKindOf(0x05000010u), kThingKindItem);
    EXPECT_EQ(ThingNumberOf(0x05000010u), 16u);
}
