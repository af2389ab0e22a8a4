#include "graphics/world_map_view.h"

#include "demo_map_pictures.h"
#include "test_util.h"
#include "world/world_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using VARDGraph::ComputeMapLayout;
using VARDGraph::FindMapAreaAt;
using VARDGraph::MapLayout;

namespace
{

VARD::CMap2 MapOf(const std::string& text)
{
    auto reader = TestUtil::ReaderOf(text);
    return VARD::CMap2(reader);
}

// 1000 × 500 pixels. "a" and "b" overlap; "hidden" is not shown and "c" lies
// inside it; "a" has fractional corners and names no image; "d" is one pixel
// just left of the map's centre column.
const char* kPlaces = R"(<map> places (1000 500) <rows> </rows> <areas>
 <area> a "A" (100.7 100.2) (50.9 40.9) "0" true a </area>
 <area> b "B" (120 110) (100 100) "b.png" true b </area>
 <area> hidden "Hidden" (300 300) (50 50) "h.png" false h </area>
 <area> c "C" (320 320) (20 20) "c.png" true c </area>
 <area> d "D" (499 250) (1 1) "" true d </area>
</areas> </map>)";

} // namespace

TEST(WorldMapLayout, CentredAboveTheMarginAndScaledToFit)
{
    struct Case
    {
        std::uint32_t viewportWidth, viewportHeight;
        std::int32_t margin;
        std::uint32_t mapWidth, mapHeight;
        float cx, cy, s;
    };
    const Case cases[] = {
        {800, 700, 110, 1000, 500, 400.0f, 295.0f, 0.8f}, // width decides
        {800, 600, 0, 400, 600, 400.0f, 300.0f, 1.0f},    // height decides
        {600, 410, 110, 300, 150, 300.0f, 150.0f, 2.0f},  // both the same
        {1250, 700, 0, 1000, 500, 625.0f, 350.0f, 1.25f}, // larger than the map
        {400, 400, 250, 600, 300, 200.0f, 75.0f, 0.5f},   // a negative margin share
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.viewportWidth << "x" << c.viewportHeight);
        const MapLayout layout =
            ComputeMapLayout(c.viewportWidth, c.viewportHeight, c.margin, c.mapWidth, c.mapHeight);
        EXPECT_FLOAT_EQ(layout.cx, c.cx);
        EXPECT_FLOAT_EQ(layout.cy, c.cy);
        EXPECT_FLOAT_EQ(layout.hw, c.mapWidth * 0.5f);
        EXPECT_FLOAT_EQ(layout.hh, c.mapHeight * 0.5f);
        EXPECT_FLOAT_EQ(layout.s, c.s);
        EXPECT_TRUE(layout.IsUsable());
    }
}

TEST(WorldMapLayout, NoPixelsOrNoRoomIsNotUsable)
{
    EXPECT_FALSE(ComputeMapLayout(800, 600, 0, 0, 500).IsUsable());
    EXPECT_FALSE(ComputeMapLayout(800, 600, 0, 500, 0).IsUsable());
    EXPECT_FALSE(ComputeMapLayout(800, 600, 600, 500, 500).IsUsable());
    EXPECT_FALSE(ComputeMapLayout(800, 600, 700, 500, 500).IsUsable());
    EXPECT_FALSE(ComputeMapLayout(0, 600, 0, 500, 500).IsUsable());

    const VARD::CMap2 map = MapOf(kPlaces);
    EXPECT_EQ(FindMapAreaAt(ComputeMapLayout(1250, 700, 700, 1000, 500), 625, 0, map), nullptr);
}

// Scale 1.25 with the centre at (625, 350): map x = trunc((x - 625) / 1.25) + 500.
TEST(WorldMapLayout, FirstShownPlaceUnderThePointTruncatingTowardZero)
{
    const VARD::CMap2 map = MapOf(kPlaces);
    const MapLayout layout = ComputeMapLayout(1250, 700, 0, 1000, 500);
    struct Case
    {
        int x, y;
        const char* hit; // null: nothing
    };
    const Case cases[] = {
        {125, 163, "a"},     // map (100, 101)
        {124, 163, "a"},     // -400.8 truncates to -400: still map x 100
        {123, 163, nullptr}, // map x 99
        {163, 188, "a"},     // map (131, 121) lies in a and b: a comes first
        {250, 298, "b"},     // map (200, 209)
        {250, 299, nullptr}, // map y 210: b ends before it
        {382, 420, nullptr}, // map (306, 306): only the hidden place
        {407, 444, "c"},     // map (326, 325): c, though the hidden place is first
        {623, 350, "d"},     // -1.6 truncates to -1: map x 499
        {624, 350, nullptr}, // -0.8 truncates to 0: map x 500, not 499
        {622, 350, nullptr}, // map x 498
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const auto place = FindMapAreaAt(layout, c.x, c.y, map);
        if (c.hit)
        {
            ASSERT_NE(place, nullptr);
            EXPECT_EQ(place->GetName(), c.hit);
        }
        else
        {
            EXPECT_EQ(place, nullptr);
        }
    }
}

TEST(WorldMapLayout, PlacesBeyondAnyScreenOrNotANumberHitNothing)
{
    const VARD::CMap2 map = MapOf(R"(<map> far (1000 500) <rows> </rows> <areas>
 <area> huge "Huge" (-1e300 -1e300) (1e300 1e300) "0" true a </area>
 <area> nan "NaN" (nan nan) (1e300 1e300) "0" true b </area>
 <area> inside "Inside" (400 200) (200 100) "0" true c </area>
</areas> </map>)");
    const MapLayout layout = ComputeMapLayout(1250, 700, 0, 1000, 500);
    // Held at the bound, the huge place ends where it starts.
    const auto place = FindMapAreaAt(layout, 625, 350, map);
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->GetName(), "inside");
}

// The committed pictures are what the generator makes, and nothing else
// lies in the folder.
TEST(DemoMapPictures, GeneratorReproducesTheCommittedFiles)
{
    const std::filesystem::path folder = std::filesystem::path(VARD_DEMO_MODULE) / "map";
    std::set<std::string> committed;
    for (const auto& file : std::filesystem::directory_iterator(folder))
        committed.insert(file.path().filename().string());
    std::set<std::string> generated;
    for (const auto& picture : DemoMaps::GenerateDemoMapPictures())
    {
        generated.insert(picture.name);
        const std::string bytes(picture.bytes.begin(), picture.bytes.end());
        EXPECT_TRUE(TestUtil::FileText(folder / picture.name) == bytes) << picture.name;
    }
    EXPECT_EQ(committed, generated);
}
