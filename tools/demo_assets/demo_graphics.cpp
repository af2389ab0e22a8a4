// Graphic descriptions, item overrides and effect files of the demo module,
// with the particle textures the effects use.
#include "asset_texture.h"
#include "demo_assets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace DemoAssets
{

namespace
{

std::string Model(const std::string& piece, const std::string& mesh, const std::string& texture,
                  const std::string& rest = "", const std::string& scale = "")
{
    return " <model> " + piece + (scale.empty() ? "" : " " + scale) + " \"" + mesh + "\" <tex> \"" +
           texture + "\" </tex>" + rest + " </model>\n";
}

// A person: the recolour mask takes hair, skin and clothes from the colours.
std::string HumanoidModels(const std::string& colours, const std::string& scale = "")
{
    const std::string c = " <color> " + colours + " </color>";
    std::string text;
    if (!scale.empty())
        text += " <model> anchor " + scale + " \"\" </model>\n";
    for (const auto& [piece, mesh] :
         std::vector<std::pair<std::string, std::string>>{{"hips", "hm_hips.x"},
                                                          {"torso", "hm_torso.x"},
                                                          {"head", "hm_head.x"},
                                                          {"arm_r", "hm_arm.x"},
                                                          {"arm_l", "hm_arm.x"},
                                                          {"forearm_r", "hm_forearm.x"},
                                                          {"forearm_l", "hm_forearm.x"},
                                                          {"leg_r", "hm_thigh.x"},
                                                          {"leg_l", "hm_thigh.x"},
                                                          {"shin_r", "hm_shin.x"},
                                                          {"shin_l", "hm_shin.x"}})
        text += Model(piece, mesh, "humanoid.png", c, scale);
    return text;
}

using PieceMeshes = std::vector<std::pair<std::string, std::string>>;

const PieceMeshes kQuadrupedMeshes{
    {"body", "qd_body.x"},  {"neck", "qd_neck.x"},  {"head", "qd_head.x"},  {"tail", "qd_tail.x"},
    {"leg_fl", "qd_leg.x"}, {"leg_fr", "qd_leg.x"}, {"leg_bl", "qd_leg.x"}, {"leg_br", "qd_leg.x"}};
// The spider on the quadruped figure: no neck or tail of its own.
const PieceMeshes kSpiderMeshes{{"body", "sp_body.x"},      {"head", "sp_head.x"},
                                {"leg_fl", "sp_legs_fl.x"}, {"leg_fr", "sp_legs_fr.x"},
                                {"leg_bl", "sp_legs_bl.x"}, {"leg_br", "sp_legs_br.x"}};

// Every piece takes the scale, so that the whole figure grows or shrinks:
// a piece's scale sizes its meshes and its children's places.
std::string QuadrupedModels(const std::string& scale, const PieceMeshes& meshes = kQuadrupedMeshes,
                            const std::string& texture = "quadruped.png")
{
    std::string text = " <model> anchor " + scale + " \"\" </model>\n";
    for (const auto& [piece, mesh] : meshes)
        text += Model(piece, mesh, texture, "", scale);
    return text;
}

std::string Graphic(const std::string& name, const std::string& figure, const std::string& body)
{
    return "<graphic> " + name + " " + figure + "\n" + body + "</graphic>\n";
}

std::string Override(const std::string& name, const std::string& body)
{
    return "<override> " + name + "\n" + body + "</override>\n";
}

// A generated floor square of the given cells, with a texture of the kind.
std::string Floor(const std::string& piece, int cells, const std::string& texture,
                  const std::string& rest = "")
{
    return " <model> " + piece + " <auto> auto-floor " + std::to_string(cells) +
           " 1 0 1 0 </auto> <tex> \"" + texture + "\" </tex>" + rest + " </model>\n";
}

std::string Pillar(const std::string& piece, int cells, const std::string& texture)
{
    return " <model> " + piece + " <auto> auto-pillarrepeat " + std::to_string(cells) +
           " </auto> <tex> \"" + texture + "\" </tex> </model>\n";
}

// A sky layer: one flat square of colour, see-through where asked. The square
// is one unit wide: the scene scales it to the layer's tile size, so that
// neighbouring copies meet edge to edge instead of overlapping.
std::string Sky(const std::string& name, const std::string& colour, const std::string& value,
                const std::string& options)
{
    return Graphic(name, "0",
                   " <model> anchor <auto> auto-decal 1 1 </auto> <texcolor> " + colour + " " +
                       value + " </texcolor> flat " + options + " </model>\n");
}

// The hour a new game's clock shows (the start of the world file). A sky is
// drawn at the model time of the game's seconds, so its day is the clock's
// only once shifted by this.
constexpr int kStartHour = 8;

// An outdoor sky: its day colour from 6 in the morning, its night colour
// from 6 in the evening, as the outdoor light turns from grey to blue. The
// frames cycle once a day; a frame starts a hair before its hour so that
// the clock's first second of the hour already shows it.
std::string DaySky(const std::string& name, const std::string& day, const std::string& night,
                   const std::string& value, const std::string& options)
{
    const auto frame = [](int hour)
    {
        const int after = ((hour - kStartHour) % 24 + 24) % 24;
        char text[32];
        std::snprintf(text, sizeof text, "%.8f", std::floor(after / 24.0 * 1e8) / 1e8);
        return std::string(text);
    };
    const bool dayAtStart = kStartHour >= 6 && kStartHour < 18;
    std::vector<std::pair<std::string, std::string>> frames{
        {frame(kStartHour), dayAtStart ? day : night}};
    for (const auto& [hour, colour] : {std::pair{6, day}, std::pair{18, night}})
        if (hour != kStartHour)
            frames.emplace_back(frame(hour), colour);
    std::sort(frames.begin(), frames.end());
    std::string text =
        " <modelanimcolor> anchor 86400\n  <model> <auto> auto-decal 1 1 </auto> flat" +
        (options.empty() ? "" : " " + options) + " </model>\n";
    for (const auto& [time, colour] : frames)
        text += "  " + time + " <texcolor> " + colour + " " + value + " </texcolor>\n";
    return Graphic(name, "0", text + " </modelanimcolor>\n");
}

std::string Emitter(const std::string& texture, const std::string& colours,
                    const std::string& numbers, const std::string& shape)
{
    return " <emitter> \"" + texture + "\" <color> " + colours + " </color>\n  " + numbers + " " +
           shape + "\n </emitter>\n";
}

std::string Effect(const std::string& name, const std::string& texture, const std::string& colours,
                   const std::string& numbers, const std::string& emitters)
{
    return "<effect> " + name + " \"" + texture + "\" <color> " + colours + " </color> " + numbers +
           "\n" + emitters + "</effect>\n";
}

// A soft round spot: white, fading out toward the rim, red in the middle so
// a recolour puts its first colour there.
std::vector<std::uint8_t> SoftSpot(std::uint32_t side, const Rgb& centre, const Rgb& rim,
                                   std::uint32_t seed)
{
    Painter p(side, side, seed);
    const double r = side / 2.0;
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x)
        {
            const double d = std::hypot(x + 0.5 - r, y + 0.5 - r) / r;
            const double t = std::min(1.0, d);
            const int alpha = static_cast<int>(std::round((1.0 - t) * 8.0)) * 255 / 8;
            p.Set(x, y, Painter::Mix(centre, rim, std::round(t * 8.0) / 8.0), alpha);
        }
    return p.Png();
}

} // namespace

void AddDemoGraphics(std::vector<GeneratedFile>& files)
{
    const std::string keys = "HAIR SKIN TRIM";
    // Heads of character creation and the people of the module.
    for (const char* head : {"head_m_beard", "head_m_plain", "head_f_braid", "head_f_short"})
        files.push_back(TextFile(std::string("actor/") + head + ".vard",
                                 Graphic(head, "humanoid", HumanoidModels(keys))));
    files.push_back(
        TextFile("actor/human_male.vard", Graphic("human_male", "humanoid", HumanoidModels(keys))));
    files.push_back(
        TextFile("actor/human_female.vard",
                 Graphic("human_female", "humanoid", HumanoidModels(keys, "(0.92 0.92 0.92)"))));
    files.push_back(
        TextFile("actor/orc.vard",
                 Graphic("orc", "humanoid", HumanoidModels("(20 20 20) (90 130 60) (100 70 40)"))));
    files.push_back(
        TextFile("actor/ogre.vard",
                 Graphic("ogre", "humanoid",
                         HumanoidModels("(60 40 20) (150 130 90) (90 70 50)", "(1.4 1.4 1.4)"))));
    files.push_back(TextFile(
        "actor/skeleton.vard",
        Graphic("skeleton", "humanoid",
                " movevaried\n" + HumanoidModels("(220 215 200) (220 215 200) (200 195 180)"))));
    files.push_back(TextFile(
        "actor/rat.vard", Graphic("rat", "quadruped",
                                  QuadrupedModels("(0.8 0.8 0.8)", kQuadrupedMeshes, "rat.png"))));
    files.push_back(TextFile("actor/wolf.vard",
                             Graphic("wolf", "quadruped", QuadrupedModels("(0.9 0.9 0.9)"))));
    files.push_back(
        TextFile("actor/spider.vard",
                 Graphic("spider", "quadruped",
                         QuadrupedModels("(0.65 0.65 0.65)", kSpiderMeshes, "spider.png"))));

    // What equipped items add to a person: held weapons, shields and armour.
    for (const char* weapon : {"dagger", "short_sword", "long_sword", "great_sword", "quarterstaff",
                               "mace", "hand_axe", "battle_axe", "short_bow", "long_bow"})
        files.push_back(
            TextFile(std::string("item/") + weapon + ".vard",
                     Override(weapon, Model("weapon", std::string(weapon) + ".x", "weapons.png"))));
    files.push_back(
        TextFile("item/wooden_shield.vard",
                 Override("wooden_shield", Model("shield", "wooden_shield.x", "shield.png"))));
    const auto armour = [&](const std::string& name, const std::string& colour)
    {
        const std::string c = " <color> HAIR SKIN " + colour + " </color>";
        files.push_back(
            TextFile("item/" + name + ".vard",
                     Override(name, Model("torso", "actor\\hm_torso.x", "humanoid.png", c) +
                                        Model("arm_r", "actor\\hm_arm.x", "humanoid.png", c) +
                                        Model("arm_l", "actor\\hm_arm.x", "humanoid.png", c))));
    };
    armour("robe", "(90 60 120)");
    armour("leather_armor", "(120 80 40)");
    armour("chain_mail", "(150 150 160)");
    armour("plate_armor", "(200 200 215)");
    files.push_back(TextFile(
        "item/iron_helm.vard",
        Override("iron_helm", Model("head", "actor\\hm_head.x", "humanoid.png",
                                    " <color> (110 110 120) SKIN (110 110 120) </color>"))));
    // Small things show nothing on the person who carries them.
    for (const char* small : {"amulet_of_resolve", "ring_of_strength", "ring_of_warding", "bread",
                              "gold", "torch", "temple_key"})
        files.push_back(TextFile(std::string("item/") + small + ".vard", Override(small, "")));

    // Objects.
    files.push_back(
        TextFile("object/obj_exit.vard",
                 Graphic("obj_exit", "0",
                         " transparent\n" + Model("anchor", "exit.x", "exit.png", " flat"))));
    files.push_back(TextFile("object/obj_pile.vard",
                             Graphic("obj_pile", "0", Model("anchor", "pile.x", "pile.png"))));
    files.push_back(TextFile("object/obj_chest.vard",
                             Graphic("obj_chest", "0", Model("anchor", "chest.x", "chest.png"))));
    files.push_back(
        TextFile("object/obj_chest_iron.vard",
                 Graphic("obj_chest_iron", "0", Model("anchor", "chest.x", "chest_iron.png"))));
    files.push_back(
        TextFile("object/obj_barrel.vard",
                 Graphic("obj_barrel", "0", Model("anchor", "barrel.x", "barrel.png"))));
    files.push_back(TextFile("object/obj_plate.vard",
                             Graphic("obj_plate", "0", Floor("anchor", 1, "plate.png"))));
    files.push_back(
        TextFile("object/obj_fountain.vard",
                 Graphic("obj_fountain", "0", Model("anchor", "fountain.x", "fountain.png"))));
    files.push_back(TextFile(
        "object/obj_campfire.vard",
        Graphic("obj_campfire", "0",
                Model("anchor", "campfire.x", "campfire.png") + "<effect>\n" +
                    Emitter("flame.png", "(255 160 40) (255 60 0) (0 0 0)",
                            "(0.15 0.3) 1.2 12 (0.9 0.15) 0.2 (0.6 0.2) (0.9 0)", "point") +
                    "</effect>\n <light> 1.0 (255 170 90) 25 </light>\n")));
    files.push_back(
        TextFile("object/obj_shrine.vard", Graphic("obj_shrine", "0",
                                                   Model("anchor", "shrine.x", "shrine.png") +
                                                       " <light> 2.0 255 230 160 </light>\n")));

    // Walls a quarter of the height, for the sides the game's camera looks
    // across: whoever stands behind them stays in sight.
    for (const auto& [name, cells] :
         std::vector<std::pair<std::string, int>>{{"tile_wall_low", 1}, {"tile_wall_low_long", 3}})
        files.push_back(TextFile("tile/" + name + ".vard",
                                 Graphic(name, "0",
                                         " <model> anchor (" + std::to_string(cells) +
                                             " 0.25 1) <auto> auto-pillarrepeat 1 </auto> <tex> "
                                             "\"wall.png\" </tex> </model>\n")));

    // Tiles: floors, walls, water, the cottage in four pieces and the doors.
    for (const auto& [name, texture] :
         std::vector<std::pair<std::string, std::string>>{{"tile_grass", "grass.png"},
                                                          {"tile_road", "road.png"},
                                                          {"tile_dirt", "dirt.png"},
                                                          {"tile_flagstone", "flagstone.png"}})
        files.push_back(
            TextFile("tile/" + name + ".vard", Graphic(name, "0", Floor("anchor", 1, texture))));
    files.push_back(TextFile("tile/tile_wall.vard",
                             Graphic("tile_wall", "0", Pillar("anchor", 1, "wall.png"))));
    files.push_back(TextFile(
        "tile/tile_wall_long.vard",
        Graphic("tile_wall_long", "0",
                " <model> anchor (3 1 1) <auto> auto-pillarrepeat 1 </auto> <tex> \"wall.png\" "
                "</tex> </model>\n")));
    // Trees and doors stand on ground of their own: grass under a tree, a
    // threshold of flagstones under a door, whatever lies around them.
    files.push_back(TextFile("tile/tile_tree.vard",
                             Graphic("tile_tree", "on_ground",
                                     " movevaried\n" + Model("anchor", "tree.x", "tree.png") +
                                         Floor("ground", 1, "grass.png"))));
    files.push_back(
        TextFile("tile/tile_water.vard",
                 Graphic("tile_water", "0", Floor("anchor", 2, "water.png", " movetexture 8"))));
    files.push_back(TextFile("tile/tile_chasm.vard",
                             Graphic("tile_chasm", "0", Floor("anchor", 1, "chasm_edge.png"))));
    files.push_back(TextFile(
        "tile/tile_house.vard",
        "<multigraphic> tile_house (2 2) 0\n"
        " <model> anchor <auto> auto-pillarrepeat 1 </auto> <tex> \"house_wall.png\" </tex> "
        "</model>\n"
        "</multigraphic>\n"));
    const std::string threshold = Floor("ground", 1, "flagstone.png");
    const std::string wideThreshold =
        Floor("ground_w", 1, "flagstone.png") + Floor("ground_e", 1, "flagstone.png");
    for (const auto& [name, mesh, texture, ground] :
         std::vector<std::tuple<std::string, std::string, std::string, std::string>>{
             {"tile_door_wood", "door.x", "door_wood.png", threshold},
             {"tile_door_wood_open", "door_open.x", "door_wood.png", threshold},
             {"tile_door_cellar", "door.x", "door_cellar.png", threshold},
             {"tile_door_cellar_open", "door_open.x", "door_cellar.png", threshold},
             {"tile_door_crypt", "door_wide.x", "door_crypt.png", wideThreshold},
             {"tile_door_crypt_open", "door_wide_open.x", "door_crypt.png", wideThreshold}})
        files.push_back(
            TextFile("tile/" + name + ".vard",
                     Graphic(name, "on_ground", Model("anchor", mesh, texture) + ground)));

    // Sky layers of the areas.
    // Sky layers of the areas: the outdoor ones darken at night; the cavern
    // is below ground, under a light that does not follow the clock.
    files.push_back(
        TextFile("sky/sky_day.vard", DaySky("sky_day", "(120 170 230)", "(16 22 48)", "1", "")));
    files.push_back(TextFile("sky/sky_clouds.vard", DaySky("sky_clouds", "(250 250 250)",
                                                           "(90 95 120)", "0.4", "transparent")));
    files.push_back(TextFile("sky/sky_overcast.vard",
                             DaySky("sky_overcast", "(140 145 150)", "(28 30 40)", "1", "")));
    files.push_back(TextFile("sky/sky_cavern.vard", Sky("sky_cavern", "(20 18 16)", "1", "")));
}

void AddDemoEffects(std::vector<GeneratedFile>& files)
{
    const std::string plain = "(255 0 0) (0 255 0) (0 0 255)";
    // A fire bolt: a flaring rune that leaves sparks and bursts where it ends.
    files.push_back(
        TextFile("effect/spark.vard",
                 Effect("spark", "spark.png", "(255 200 80) (0 0 0) (0 0 0)", "1.2 0.8 1.0 0.5",
                        Emitter("RUNE", "COLOR (0 0 0) (0 0 0)",
                                "(0.05 1.2) 0.5 1 (0.2 0.2) -0.5 (0.4 0.1) (0.8 0)", "point") +
                            Emitter("spark.png", "COLOR (0 0 0) (0 0 0)",
                                    "(0 1.2) 0.6 16 (0.5 2.0) -2.0 (0.5 0.2) (1.0 0)", "burst"))));
    // A fireball: nothing in flight but a trail; a ring and a burst on landing.
    files.push_back(
        TextFile("effect/burst.vard",
                 Effect("burst", "", plain, "1.2 1.0 1.0 0.75",
                        Emitter("RUNE", "COLOR (0 0 0) (0 0 0)",
                                "(0.1 1.2) 0.4 1 (0.3 0.2) 0 (0.6 0.2) (0.7 0)", "point") +
                            Emitter("spark.png", "COLOR (0 0 0) (0 0 0)",
                                    "(0 0.3) 0.8 24 (0.6 3.0) 0 (0.8 0.3) (0.9 0)", "ring") +
                            Emitter("RUNE", "COLOR (0 0 0) (0 0 0)",
                                    "(0 0.8) 1.0 20 (1.5 1.5) -1.5 (0.8 1.6) (0.9 0)",
                                    "burst (255 255 255) (80 80 80)"))));
    // An arrow in flight: shots are drawn as graphics, not as particles.
    files.push_back(TextFile("effect/arrow.vard",
                             Graphic("arrow", "0", Model("anchor", "arrow.x", "arrow.png"))));
    // Placed by areas: drifting dust, and a slow sunburst over a holy place.
    files.push_back(
        TextFile("effect/dust.vard",
                 Effect("dust", "", plain, "0 0 0 1.0",
                        " 0\n" + Emitter("RUNE", "COLOR (0 0 0) (0 0 0)",
                                         "(0 0.2) 6.0 24 (0.1 0.3) 0 (0.6 2.0) (0.5 0)", "ring"))));
    files.push_back(
        TextFile("effect/sunburst.vard",
                 Effect("sunburst", "", plain, "0 0 0 1.0",
                        " 0\n" +
                            Emitter("RUNE", "COLOR (0 0 0) (0 0 0)",
                                    "(0 1.5) 3.0 16 (0.4 0.8) 0 (1.0 0.3) (1.0 0)", "ring") +
                            Emitter("RUNE", "COLOR (0 0 0) (0 0 0)",
                                    "(0 1.5) 3.0 1 (0 0) 0 (2.0 3.0) (0.8 0)", "burst"))));

    // Particle textures: red marks where the first recolour colour goes.
    files.push_back({"effect/tex/spark.png", SoftSpot(64, {255, 0, 0}, {255, 0, 0}, 11)});
    files.push_back({"effect/tex/arrow.png", SoftSpot(64, {140, 110, 70}, {90, 70, 40}, 12)});
    files.push_back({"effect/tex/fire", SoftSpot(64, {255, 0, 0}, {255, 0, 0}, 13)});
    files.push_back({"effect/tex/fireball", SoftSpot(64, {255, 0, 0}, {255, 0, 0}, 17)});
    files.push_back({"effect/tex/glow", SoftSpot(64, {255, 0, 0}, {255, 0, 0}, 14)});
    files.push_back({"effect/tex/smoke", SoftSpot(64, {255, 0, 0}, {200, 0, 0}, 15)});
    files.push_back({"object/tex/flame.png", SoftSpot(64, {255, 0, 0}, {0, 255, 0}, 16)});
}

} // namespace DemoAssets
