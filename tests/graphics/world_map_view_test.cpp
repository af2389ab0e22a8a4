#include "graphics/world_map_view.h"

#include "../platform/gl_fixture.h"
#include "common/data_file.h"
#include "platform/image.h"
#include "test_util.h"
#include "world/game.h"
#include "world/world_map.h"

#include <filesystem>
#include <fstream>

using TestUtil::CodeOf;
using VARDGraph::CGraphicsMapManager2;

namespace
{

constexpr std::uint32_t kClear = 0xFF000000u;

// Ground tile colours, index = row × 3 + column.
constexpr std::uint32_t kTileColours[6] = {0xC00000, 0x00C000, 0x0000C0,
                                           0xC0C000, 0x00C0C0, 0x808080};

gfx::Image SolidImage(std::uint32_t side, std::uint32_t colour)
{
    gfx::Image image;
    image.width = side;
    image.height = side;
    for (std::uint32_t i = 0; i < side * side; ++i)
        image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(colour >> 16),
                                                 static_cast<std::uint8_t>(colour >> 8),
                                                 static_cast<std::uint8_t>(colour), 255});
    return image;
}

// 600 × 300 pixels in 3 × 2 tiles of 256: the last column keeps 88 pixels of
// its tile, the last row 44. "b" is drawn from the top 32 × 20 texels of an
// image whose right three quarters are transparent; "hidden" has an image but
// is not shown; "plain" names no image.
const char* kMapText = R"(<map> test (600 300) <rows>
 <row> "t0.png" "t1.png" "t2.png" </row>
 <row> "t3.png" "t4.png" "t5.png" </row>
</rows> <areas>
 <area> b "B" (20.9 30.2) (32.7 20.2) "b.png" true b </area>
 <area> hidden "Hidden" (400 50) (64 64) "h.png" false h </area>
 <area> plain "Plain" (100 200) (50 50) "0" true p </area>
</areas> </map>)";

class WorldMapViewTest : public GlTest
{
protected:
    WorldMapViewTest() : GlTest(400) {}

    void SetUp() override
    {
        GlTest::SetUp();
        // The blend the game screen sets once for all drawing.
        device->SetBlend(gfx::BlendFactor::SourceAlpha, gfx::BlendFactor::InverseSourceAlpha);
        root = TestUtil::ScratchPath("world_map");
        std::filesystem::create_directories(root / "map");
        for (int i = 0; i < 6; ++i)
            WriteImage("t" + std::to_string(i) + ".png", SolidImage(256, kTileColours[i]));
        gfx::Image b = SolidImage(64, 0xFF00FF);
        for (std::uint32_t y = 0; y < 64; ++y)
            for (std::uint32_t x = 16; x < 64; ++x)
                b.Pixel(x, y)[3] = 0;
        WriteImage("b.png", b);
        WriteImage("h.png", SolidImage(64, 0xFFFF00));
        factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(root);
        view.Reset(factory);
    }

    void TearDown() override
    {
        view.Clear();
        std::filesystem::remove_all(root);
        GlTest::TearDown();
    }

    void WriteImage(const std::string& name, const gfx::Image& image)
    {
        const auto bytes = gfx::EncodePng(image);
        std::ofstream(root / "map" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    void UseMap(const std::string& text)
    {
        auto reader = TestUtil::ReaderOf(text);
        auto map = std::make_shared<VARD::CMap2>(reader);
        game.WorldMaps()[map->GetName()] = map;
        game.SetCurrentWorldMap(map.get());
    }

    void DrawWithBottom(std::int32_t bottom)
    {
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, kClear, 1.0f);
        device->BeginScene();
        view.Draw(gfx::Rect{0, 0, 400, bottom}, *device, game);
        device->EndScene();
        Drawn();
    }

    std::string HitName(int x, int y)
    {
        std::shared_ptr<VARD::CMap2Area> entry;
        if (!view.HitTest(x, y, *device, game.GetCurrentWorldMap(), entry))
            return "";
        return entry->GetName();
    }

    std::filesystem::path root;
    std::shared_ptr<VARDCommon::CDataFileFactoryPath> factory;
    VARD::CGame game;
    CGraphicsMapManager2 view;
};

std::array<int, 3> Rgb(std::uint32_t colour)
{
    return {static_cast<int>(colour >> 16 & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
            static_cast<int>(colour & 0xFF)};
}

} // namespace

// A view of 400 × 400 with its bottom at 150: margin 250, scale 0.5, the map
// on screen from (50, 0) to (350, 150); tile columns start at x 50, 178 and
// 306, rows at y 0 and 128.
TEST_F(WorldMapViewTest, TilesCutAtTheMapsEdgeAndPlacesOverThem)
{
    UseMap(kMapText);
    view.Init(*device, game);
    ASSERT_EQ(view.GetMapTiles().size(), 6u);
    ASSERT_EQ(view.GetAreaImages().size(), 3u);
    EXPECT_EQ(view.GetMapTiles()[0]->GetWidth(), 256u);
    EXPECT_EQ(view.GetAreaImages()[2], nullptr);
    DrawWithBottom(150);
    EXPECT_EQ(view.GetBottomMargin(), 250);
    EXPECT_TRUE(device->GetRenderStates().alphaBlendEnable);

    struct Sample
    {
        std::uint32_t x, y;
        std::uint32_t colour; // 0x00RRGGBB
    };
    const Sample samples[] = {
        {100, 60, kTileColours[0]},
        {240, 100, kTileColours[1]},
        {320, 60, kTileColours[2]},
        {100, 140, kTileColours[3]},
        {240, 140, kTileColours[4]},
        {340, 145, kTileColours[5]},
        {370, 60, 0},                // the third column's tile beyond the map's width
        {100, 170, 0},               // the second row's tile beyond the map's height
        {30, 60, 0},                 // left of the map
        {64, 20, 0xFF00FF},          // b's opaque texels
        {72, 20, kTileColours[0]},   // b's transparent texels show the ground
        {64, 30, kTileColours[0]},   // below b's 20 rows of texels
        {266, 40, kTileColours[1]},  // the hidden place's image is not drawn
        {112, 112, kTileColours[0]}, // the place without an image
    };
    for (const Sample& s : samples)
    {
        SCOPED_TRACE(testing::Message() << s.x << "," << s.y);
        const auto [r, g, b] = Rgb(s.colour);
        EXPECT_RGB_NEAR(PixelAt(s.x, s.y), r, g, b);
    }

    // Hits use the margin of that draw.
    EXPECT_EQ(HitName(64, 20), "b");
    EXPECT_EQ(HitName(266, 40), "");
    EXPECT_EQ(HitName(112, 112), "plain");
    EXPECT_EQ(HitName(320, 60), "");
}

TEST_F(WorldMapViewTest, InitReplacesThePicturesOfAnEarlierMap)
{
    UseMap(kMapText);
    view.Init(*device, game);
    ASSERT_EQ(view.GetMapTiles().size(), 6u);

    UseMap(R"(<map> small (256 256) <rows> <row> "t4.png" </row> </rows> <areas> </areas> </map>)");
    view.Init(*device, game);
    EXPECT_EQ(view.GetMapTiles().size(), 1u);
    EXPECT_TRUE(view.GetAreaImages().empty());
    DrawWithBottom(400);
    const auto [r, g, b] = Rgb(kTileColours[4]);
    EXPECT_RGB_NEAR(PixelAt(200, 200), r, g, b);

    VARD::CGame noMap;
    view.Init(*device, noMap);
    EXPECT_TRUE(view.GetMapTiles().empty());
    EXPECT_TRUE(view.IsInitialised());
}

TEST_F(WorldMapViewTest, NoSizeOrNoRoomDrawsAndHitsNothing)
{
    UseMap(R"(<map> empty (0 0) <rows> <row> "t0.png" </row> </rows> <areas>
 <area> a "A" (0 0) (10 10) "0" true a </area> </areas> </map>)");
    view.Init(*device, game);
    DrawWithBottom(400);
    EXPECT_RGB_NEAR(PixelAt(200, 200), 0, 0, 0);
    EXPECT_EQ(HitName(200, 200), "");

    UseMap(kMapText);
    view.Init(*device, game);
    DrawWithBottom(0); // the margin takes the whole height
    EXPECT_RGB_NEAR(PixelAt(200, 10), 0, 0, 0);
    EXPECT_EQ(HitName(64, 20), "");
    DrawWithBottom(-20);
    EXPECT_RGB_NEAR(PixelAt(200, 10), 0, 0, 0);
}

TEST_F(WorldMapViewTest, FailuresCarryTheirCodes)
{
    UseMap(kMapText);
    EXPECT_EQ(CodeOf([&] { view.Draw(gfx::Rect{0, 0, 400, 150}, *device, game); }), 2);
    view.Init(*device, game);
    view.Clear();
    EXPECT_TRUE(view.GetMapTiles().empty());
    EXPECT_TRUE(view.GetAreaImages().empty());
    EXPECT_EQ(CodeOf([&] { view.Draw(gfx::Rect{0, 0, 400, 150}, *device, game); }), 2);

    std::ofstream(root / "map" / "t4.png") << "not an image";
    EXPECT_EQ(CodeOf([&] { view.Init(*device, game); }), 1);
    std::filesystem::remove(root / "map" / "t4.png");
    EXPECT_EQ(CodeOf([&] { view.Init(*device, game); }), 1);
    // A failed Init keeps no pictures of the map it could not load.
    EXPECT_TRUE(view.GetMapTiles().empty());

    CGraphicsMapManager2 noFactory;
    EXPECT_EQ(CodeOf([&] { noFactory.Init(*device, game); }), 2);
}

// The demo's map in a 480 × 480 view with its bottom at 360: scale 0.5, the
// whole 960 × 720 map on screen from (0, 0) to (480, 360).
TEST_F(WorldMapViewTest, DemoWorldMapDrawsAndHitsItsPlaces)
{
    auto demo = std::make_shared<VARDCommon::CDataFileFactoryPath>(VARD_DEMO_MODULE);
    auto map = VARD::ReadWorldMapFile(*demo, "worldmap");
    game.WorldMaps()["worldmap"] = map;
    game.SetCurrentWorldMap(map.get());
    device->Reset(480, 480);
    view.Reset(demo);
    view.Init(*device, game);
    EXPECT_EQ(view.GetMapTiles().size(), map->GetCells().size());
    for (const auto& tile : view.GetMapTiles())
        EXPECT_EQ(tile->GetWidth(), 256u);
    DrawWithBottom(360);
    frame = std::make_unique<gfx::Image>(device->ReadPixels());
    frameStale = false;
    int drawn = 0;
    for (std::uint32_t y = 0; y < 480; y += 8)
        for (std::uint32_t x = 0; x < 480; x += 8)
        {
            const bool clear = frame->Pixel(x, y)[0] == 0 && frame->Pixel(x, y)[1] == 0 &&
                               frame->Pixel(x, y)[2] == 0;
            if (y < 360)
                drawn += !clear;
            else
                EXPECT_TRUE(clear) << x << "," << y;
        }
    EXPECT_EQ(drawn, 60 * 45);
    EXPECT_EQ(HitName(192, 192), "town");
    EXPECT_EQ(HitName(320, 112), "forest");
    EXPECT_EQ(HitName(40, 40), "");
}
