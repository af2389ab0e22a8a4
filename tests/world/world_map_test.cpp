#include "world/world_map.h"

#include "common/data_file.h"
#include "record_test_util.h"

#include <gtest/gtest.h>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::ReaderOf;

namespace
{

std::shared_ptr<CMap2> FixtureMap()
{
    VARDCommon::CDataFileFactoryPath factory(std::filesystem::path(VARD_TEST_DATA) / "world");
    return ReadWorldMapFile(factory, "records_worldmap");
}

// A map of the given rows block and no places.
std::string MapText(const std::string& rows)
{
    return "<map> m 1 1 <rows> " + rows + " </rows> <areas> </areas> </map>";
}

} // namespace

TEST(WorldMap, GridCellsRowAfterRow)
{
    const auto map = FixtureMap();
    EXPECT_EQ(map->GetName(), "north");
    EXPECT_EQ(map->GetWidth(), 640u);
    EXPECT_EQ(map->GetHeight(), 480u);
    EXPECT_EQ(map->GetColumns(), 3u);
    EXPECT_EQ(map->GetRowCount(), 2u);
    EXPECT_EQ(map->GetCells(),
              (std::vector<std::string>{"sea", "coast", "hills", "coast", "plain", "forest"}));
    EXPECT_EQ(map->GetCell(2, 0), "hills");
    EXPECT_EQ(map->GetCell(0, 1), "coast");
    EXPECT_EQ(map->GetCell(2, 1), "forest");
    EXPECT_EQ(CodeOf([&] { map->GetCell(3, 0); }), 2);
    EXPECT_EQ(CodeOf([&] { map->GetCell(0, 2); }), 2);
}

TEST(WorldMap, PlacesWithEveryPositionForm)
{
    const auto map = FixtureMap();
    const auto& areas = map->GetAreas();
    ASSERT_EQ(areas.size(), 3u);

    const CMap2Area& town = *areas[0];
    EXPECT_EQ(town.GetName(), "town");
    EXPECT_EQ(town.GetDisplayName(), "Rivertown");
    EXPECT_DOUBLE_EQ(town.GetX1(), 10.5);
    EXPECT_DOUBLE_EQ(town.GetY1(), 20.0);
    EXPECT_DOUBLE_EQ(town.GetX2(), 30.0);
    EXPECT_DOUBLE_EQ(town.GetY2(), 40.25);
    EXPECT_EQ(town.GetText(), "A town by the river.");
    EXPECT_TRUE(town.GetFlag());
    EXPECT_EQ(town.GetAreaName(), "town");
    EXPECT_EQ(town.GetEntryName(), "gate");

    // A null word before a position is passed over; a bare area name has no entry.
    const CMap2Area& cave = *areas[1];
    EXPECT_DOUBLE_EQ(cave.GetX1(), 1.5);
    EXPECT_DOUBLE_EQ(cave.GetY1(), 2.5);
    EXPECT_DOUBLE_EQ(cave.GetX2(), 3.0);
    EXPECT_DOUBLE_EQ(cave.GetY2(), 4.0);
    EXPECT_EQ(cave.GetText(), "Damp.");
    EXPECT_FALSE(cave.GetFlag());
    EXPECT_EQ(cave.GetAreaName(), "cave_area");
    EXPECT_EQ(cave.GetEntryName(), "");

    const CMap2Area& tower = *areas[2];
    EXPECT_DOUBLE_EQ(tower.GetX1(), 5.0);
    EXPECT_DOUBLE_EQ(tower.GetY1(), 6.0);
    EXPECT_DOUBLE_EQ(tower.GetX2(), 7.0);
    EXPECT_DOUBLE_EQ(tower.GetY2(), 8.0);
    EXPECT_EQ(tower.GetAreaName(), "tower_area");
    EXPECT_EQ(tower.GetEntryName(), "");

    EXPECT_EQ(map->FindArea("cave"), &cave);
    EXPECT_EQ(map->FindArea("nowhere"), nullptr);
}

TEST(WorldMap, NoRowsGivesAnEmptyGrid)
{
    auto reader = ReaderOf(MapText(""));
    const CMap2 map(reader);
    EXPECT_EQ(map.GetColumns(), 0u);
    EXPECT_EQ(map.GetRowCount(), 0u);
    EXPECT_TRUE(map.GetCells().empty());
    EXPECT_TRUE(map.GetAreas().empty());
    EXPECT_TRUE(reader.IsAtEnd());
}

struct BadMap
{
    const char* name;
    std::string text;
};

class WorldMapRefused : public ::testing::TestWithParam<BadMap>
{
};

TEST_P(WorldMapRefused, WithCode1)
{
    auto reader = ReaderOf(GetParam().text);
    EXPECT_EQ(CodeOf([&] { CMap2 map(reader); }), 1);
}

INSTANTIATE_TEST_SUITE_P(
    WorldMap, WorldMapRefused,
    ::testing::Values(
        BadMap{"SecondRowLonger", MapText("<row> \"a\" </row> <row> \"b\" \"c\" </row>")},
        BadMap{"SecondRowShorter", MapText("<row> \"a\" \"b\" </row> <row> \"c\" </row>")},
        BadMap{"ThirdRowDiffers", MapText("<row> \"a\" </row> <row> \"b\" </row> <row> </row>")},
        BadMap{"UnquotedCell", MapText("<row> a </row>")},
        BadMap{"NoRowsElement", "<map> m 1 1 <areas> </areas> </map>"},
        BadMap{"NoAreasElement", "<map> m 1 1 <rows> </rows> </map>"},
        BadMap{"PlaceFlagNotBool",
               "<map> m 1 1 <rows> </rows> <areas> <area> a \"A\" 1 2 3 4 \"t\" yes a </area> "
               "</areas> </map>"},
        BadMap{"PlacePositionNotReal",
               "<map> m 1 1 <rows> </rows> <areas> <area> a \"A\" x 2 3 4 \"t\" true a </area> "
               "</areas> </map>"},
        BadMap{"Truncated", "<map> m 1 1 <rows> <row> \"a\""},
        BadMap{"NotAMap", "<world> </world>"}),
    [](const ::testing::TestParamInfo<BadMap>& info) { return info.param.name; });

TEST(WorldMap, MissingFileIsCode1)
{
    VARDCommon::CDataFileFactoryPath factory(std::filesystem::path(VARD_TEST_DATA) / "world");
    EXPECT_EQ(CodeOf([&] { ReadWorldMapFile(factory, "records_no_such_map"); }), 1);
}

TEST(WorldMap, UnequalRowDetailNamesTheRowAndTheMap)
{
    auto reader = ReaderOf(MapText("<row> \"a\" </row> <row> \"b\" \"c\" </row>"));
    try
    {
        CMap2 map(reader);
        FAIL() << "no exception";
    }
    catch (const CVARDException& e)
    {
        EXPECT_NE(e.GetDetail().find("row 2"), std::string::npos) << e.GetDetail();
        EXPECT_NE(e.GetDetail().find("\"m\""), std::string::npos) << e.GetDetail();
    }
}
