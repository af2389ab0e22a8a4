#include "asset_figure.h"
#include "demo_assets.h"

namespace DemoAssets
{

namespace
{

// Every pose the rules ask an actor's graphic for.
const char* const kPoseNames[] = {"default", "combat",   "rcombat",   "2hcombat", "move",
                                  "attack",  "rattack",  "2hattack",  "2wattack", "cast",
                                  "recover", "rrecover", "2hrecover", "crecover"};

Turns With(Turns base, const Turns& more)
{
    for (const auto& [piece, turns] : more)
        base[piece].insert(base[piece].end(), turns.begin(), turns.end());
    return base;
}

// A person facing +z: the right hand on the -x side. Hand items hang below
// the forearms; the held item's +y points forward from the hand.
std::string Humanoid()
{
    FigureWriter figure("humanoid",
                        {{"anchor", "", {}},
                         {"hips", "anchor", {0, 1.6, 0}},
                         {"torso", "hips", {0, 0.1, 0}},
                         {"head", "torso", {0, 1.05, 0}},
                         {"arm_r", "torso", {-0.5, 0.95, 0}},
                         {"forearm_r", "arm_r", {0, -0.6, 0}},
                         {"weapon", "forearm_r", {0, -0.55, 0.05}},
                         {"weaponaegis", "weapon", {}},
                         {"arm_l", "torso", {0.5, 0.95, 0}},
                         {"forearm_l", "arm_l", {0, -0.6, 0}},
                         {"shield", "forearm_l", {0.12, -0.3, 0}},
                         {"offhand", "forearm_l", {0, -0.55, 0.05}},
                         {"offhandaegis", "offhand", {}},
                         {"leg_r", "hips", {-0.22, 0, 0}},
                         {"shin_r", "leg_r", {0, -0.8, 0}},
                         {"leg_l", "hips", {0.22, 0, 0}},
                         {"shin_l", "leg_l", {0, -0.8, 0}}},
                        "# A person standing on the ground at the anchor, facing +z.\n");
    const Turns hands{{"weapon", {{'x', 90}}}, {"offhand", {{'x', 90}}}};
    const Turns stance = With(hands, {{"leg_r", {{'x', -10}, {'z', -6}}},
                                      {"leg_l", {{'x', -10}, {'z', 6}}},
                                      {"shin_r", {{'x', 14}}},
                                      {"shin_l", {{'x', 14}}}});
    const Shifts crouch{{"hips", {0, -0.08, 0}}};
    const Shifts low{{"hips", {0, -0.14, 0}}};

    figure.Position("stand", With(hands, {{"arm_r", {{'z', -5}}}, {"arm_l", {{'z', 5}}}}));
    figure.Position(
        "breathe",
        With(hands, {{"torso", {{'x', 2}}}, {"arm_r", {{'z', -8}}}, {"arm_l", {{'z', 8}}}}),
        {{"hips", {0, 0.02, 0}}});
    figure.Position("ready",
                    With(stance, {{"arm_r", {{'x', -40}}},
                                  {"forearm_r", {{'x', -50}}},
                                  {"arm_l", {{'x', -30}}},
                                  {"forearm_l", {{'x', -60}}}}),
                    crouch);
    figure.Position("ready_b",
                    With(stance, {{"arm_r", {{'x', -45}}},
                                  {"forearm_r", {{'x', -55}}},
                                  {"arm_l", {{'x', -30}}},
                                  {"forearm_l", {{'x', -65}}}}),
                    low);
    figure.Position("ready_2h",
                    With(stance, {{"arm_r", {{'x', -45}, {'z', 15}}},
                                  {"arm_l", {{'x', -45}, {'z', -15}}},
                                  {"forearm_r", {{'x', -50}}},
                                  {"forearm_l", {{'x', -50}}}}),
                    crouch);
    figure.Position("ready_2h_b",
                    With(stance, {{"arm_r", {{'x', -50}, {'z', 15}}},
                                  {"arm_l", {{'x', -50}, {'z', -15}}},
                                  {"forearm_r", {{'x', -45}}},
                                  {"forearm_l", {{'x', -45}}}}),
                    low);
    figure.Position("ready_bow",
                    With(stance, {{"arm_r", {{'x', -90}}},
                                  {"arm_l", {{'x', -80}, {'z', -20}}},
                                  {"forearm_l", {{'x', -30}}}}),
                    crouch);
    figure.Position("bow_draw",
                    With(stance, {{"arm_r", {{'x', -90}}},
                                  {"arm_l", {{'x', -90}, {'z', -30}}},
                                  {"forearm_l", {{'y', 90}}},
                                  {"torso", {{'y', 10}}}}),
                    crouch);
    figure.Position("bow_release",
                    With(stance, {{"arm_r", {{'x', -90}}}, {"arm_l", {{'x', -60}, {'z', 10}}}}),
                    crouch);
    figure.Position("walk_a",
                    With(hands, {{"leg_r", {{'x', -25}}},
                                 {"shin_r", {{'x', 5}}},
                                 {"leg_l", {{'x', 20}}},
                                 {"shin_l", {{'x', 25}}},
                                 {"arm_r", {{'x', 20}}},
                                 {"arm_l", {{'x', -20}}}}),
                    {{"hips", {0, -0.05, 0}}});
    figure.Position("walk_b",
                    With(hands, {{"leg_r", {{'x', 20}}},
                                 {"shin_r", {{'x', 25}}},
                                 {"leg_l", {{'x', -25}}},
                                 {"shin_l", {{'x', 5}}},
                                 {"arm_r", {{'x', -20}}},
                                 {"arm_l", {{'x', 20}}}}),
                    {{"hips", {0, -0.05, 0}}});
    figure.Position("swing_up",
                    With(stance, {{"arm_r", {{'x', -160}}},
                                  {"forearm_r", {{'x', -20}}},
                                  {"torso", {{'y', 15}}},
                                  {"arm_l", {{'x', -30}}},
                                  {"forearm_l", {{'x', -60}}}}),
                    crouch);
    figure.Position("swing_down",
                    With(stance, {{"arm_r", {{'x', -50}}},
                                  {"forearm_r", {{'x', -10}}},
                                  {"torso", {{'y', -20}}},
                                  {"arm_l", {{'x', -30}}},
                                  {"forearm_l", {{'x', -60}}}}),
                    low);
    figure.Position("swing_off_up",
                    With(stance, {{"arm_l", {{'x', -160}}},
                                  {"forearm_l", {{'x', -20}}},
                                  {"torso", {{'y', -15}}},
                                  {"arm_r", {{'x', -40}}},
                                  {"forearm_r", {{'x', -50}}}}),
                    crouch);
    figure.Position("swing_off_down",
                    With(stance, {{"arm_l", {{'x', -50}}},
                                  {"forearm_l", {{'x', -10}}},
                                  {"torso", {{'y', 20}}},
                                  {"arm_r", {{'x', -40}}},
                                  {"forearm_r", {{'x', -50}}}}),
                    low);
    figure.Position("swing2h_up",
                    With(stance, {{"arm_r", {{'x', -160}, {'z', 15}}},
                                  {"arm_l", {{'x', -160}, {'z', -15}}},
                                  {"forearm_r", {{'x', -30}}},
                                  {"forearm_l", {{'x', -30}}},
                                  {"torso", {{'y', 10}}}}),
                    crouch);
    figure.Position("swing2h_down",
                    With(stance, {{"arm_r", {{'x', -40}, {'z', 15}}},
                                  {"arm_l", {{'x', -40}, {'z', -15}}},
                                  {"forearm_r", {{'x', -20}}},
                                  {"forearm_l", {{'x', -20}}},
                                  {"torso", {{'y', -10}}}}),
                    {{"hips", {0, -0.16, 0}}});
    figure.Position("cast_up", With(hands, {{"arm_r", {{'x', -170}, {'z', -20}}},
                                            {"arm_l", {{'x', -170}, {'z', 20}}},
                                            {"head", {{'x', -15}}},
                                            {"torso", {{'x', -5}}}}));
    figure.Position("cast_down", With(hands, {{"arm_r", {{'x', -80}, {'z', -10}}},
                                              {"arm_l", {{'x', -80}, {'z', 10}}},
                                              {"forearm_r", {{'x', -10}}},
                                              {"forearm_l", {{'x', -10}}},
                                              {"head", {{'x', 5}}}}));

    figure.Animation("default", {{0.0, "stand"}, {0.5, "breathe"}, {1.0, "stand"}});
    figure.Animation("combat", {{0.0, "ready"}, {0.5, "ready_b"}, {1.0, "ready"}});
    figure.Animation("rcombat", {{0.0, "ready_bow"}, {0.5, "bow_release"}, {1.0, "ready_bow"}});
    figure.Animation("2hcombat", {{0.0, "ready_2h"}, {0.5, "ready_2h_b"}, {1.0, "ready_2h"}});
    figure.Animation("move", {{0.0, "walk_a"}, {0.5, "walk_b"}, {1.0, "walk_a"}});
    figure.Animation("attack",
                     {{0.0, "ready"}, {0.4, "swing_up"}, {0.7, "swing_down"}, {1.0, "ready"}});
    figure.Animation(
        "rattack",
        {{0.0, "ready_bow"}, {0.5, "bow_draw"}, {0.8, "bow_draw"}, {1.0, "bow_release"}});
    figure.Animation(
        "2hattack",
        {{0.0, "ready_2h"}, {0.45, "swing2h_up"}, {0.75, "swing2h_down"}, {1.0, "ready_2h"}});
    figure.Animation("2wattack", {{0.0, "ready"},
                                  {0.25, "swing_up"},
                                  {0.45, "swing_down"},
                                  {0.7, "swing_off_up"},
                                  {0.85, "swing_off_down"},
                                  {1.0, "ready"}});
    figure.Animation("cast", {{0.0, "stand"}, {0.5, "cast_up"}, {1.0, "cast_down"}});
    figure.Animation("recover", {{0.0, "swing_down"}, {1.0, "ready"}});
    figure.Animation("rrecover", {{0.0, "bow_release"}, {1.0, "ready_bow"}});
    figure.Animation("2hrecover", {{0.0, "swing2h_down"}, {1.0, "ready_2h"}});
    figure.Animation("crecover", {{0.0, "cast_down"}, {1.0, "stand"}});
    return figure.Text();
}

// A four-legged beast facing +z; it bites, so every pose of the rules maps
// onto standing, stalking, walking, biting and howling.
std::string Quadruped()
{
    FigureWriter figure("quadruped",
                        {{"anchor", "", {}},
                         {"body", "anchor", {0, 0.95, 0}},
                         {"neck", "body", {0, 0.15, 0.65}},
                         {"head", "neck", {0, 0.15, 0.1}},
                         {"tail", "body", {0, 0.1, -0.65}},
                         {"leg_fl", "body", {0.22, -0.1, 0.5}},
                         {"leg_fr", "body", {-0.22, -0.1, 0.5}},
                         {"leg_bl", "body", {0.22, -0.1, -0.5}},
                         {"leg_br", "body", {-0.22, -0.1, -0.5}}},
                        "# A beast on four legs standing at the anchor, facing +z.\n");
    figure.Position("stand", {{"tail", {{'x', 20}}}});
    figure.Position("breathe", {{"tail", {{'x', 25}}}, {"head", {{'x', 5}}}},
                    {{"body", {0, 0.02, 0}}});
    figure.Position("ready",
                    {{"neck", {{'x', 15}}},
                     {"tail", {{'x', -10}}},
                     {"leg_fl", {{'x', -10}}},
                     {"leg_fr", {{'x', -10}}},
                     {"leg_bl", {{'x', 15}}},
                     {"leg_br", {{'x', 15}}}},
                    {{"body", {0, -0.1, 0}}});
    figure.Position("ready_b",
                    {{"neck", {{'x', 20}}},
                     {"tail", {{'x', -5}}},
                     {"leg_fl", {{'x', -12}}},
                     {"leg_fr", {{'x', -12}}},
                     {"leg_bl", {{'x', 18}}},
                     {"leg_br", {{'x', 18}}}},
                    {{"body", {0, -0.14, 0}}});
    figure.Position("walk_a", {{"leg_fl", {{'x', -25}}},
                               {"leg_br", {{'x', -25}}},
                               {"leg_fr", {{'x', 25}}},
                               {"leg_bl", {{'x', 25}}},
                               {"tail", {{'x', 10}, {'y', 15}}}});
    figure.Position("walk_b", {{"leg_fl", {{'x', 25}}},
                               {"leg_br", {{'x', 25}}},
                               {"leg_fr", {{'x', -25}}},
                               {"leg_bl", {{'x', -25}}},
                               {"tail", {{'x', 10}, {'y', -15}}}});
    figure.Position("bite",
                    {{"neck", {{'x', 30}}},
                     {"head", {{'x', 20}}},
                     {"leg_fl", {{'x', -35}}},
                     {"leg_fr", {{'x', -35}}},
                     {"leg_bl", {{'x', 25}}},
                     {"leg_br", {{'x', 25}}}},
                    {{"body", {0, -0.12, 0.2}}});
    figure.Position("howl",
                    {{"neck", {{'x', -40}}}, {"head", {{'x', -20}}}, {"tail", {{'x', -20}}}});

    const Keys idle{{0.0, "stand"}, {0.5, "breathe"}, {1.0, "stand"}};
    const Keys combat{{0.0, "ready"}, {0.5, "ready_b"}, {1.0, "ready"}};
    const Keys attack{{0.0, "ready"}, {0.4, "bite"}, {0.6, "bite"}, {1.0, "ready"}};
    const Keys recover{{0.0, "bite"}, {1.0, "ready"}};
    for (const char* pose : kPoseNames)
    {
        const std::string name = pose;
        if (name == "default")
            figure.Animation(name, idle);
        else if (name == "move")
            figure.Animation(name, {{0.0, "walk_a"}, {0.5, "walk_b"}, {1.0, "walk_a"}});
        else if (name == "cast")
            figure.Animation(name, {{0.0, "ready"}, {0.5, "howl"}, {1.0, "howl"}});
        else if (name == "crecover")
            figure.Animation(name, {{0.0, "howl"}, {1.0, "ready"}});
        else if (name.find("recover") != std::string::npos)
            figure.Animation(name, recover);
        else if (name.find("attack") != std::string::npos)
            figure.Animation(name, attack);
        else
            figure.Animation(name, combat);
    }
    return figure.Text();
}

// A tile that stands on its own ground: the model hangs on the anchor, the
// floor of one cell on "ground", and a two-cell floor on "ground_w" and
// "ground_e", so that no sky shows through around a tree or under a door.
std::string OnGround()
{
    FigureWriter figure("on_ground",
                        {{"anchor", "", {}},
                         {"ground", "anchor", {}},
                         {"ground_w", "anchor", {-1.25, 0, 0}},
                         {"ground_e", "anchor", {1.25, 0, 0}}},
                        "# A tile's model over the floor of its cells.\n");
    figure.Position("default", {});
    return figure.Text();
}

} // namespace

void AddDemoFigures(std::vector<GeneratedFile>& files)
{
    files.push_back(TextFile("actor/fig/humanoid.vard", Humanoid()));
    files.push_back(TextFile("actor/fig/quadruped.vard", Quadruped()));
    files.push_back(TextFile("tile/fig/on_ground.vard", OnGround()));
}

} // namespace DemoAssets
