#include "asset_mesh.h"
#include "demo_assets.h"

#include <array>
#include <cmath>
#include <functional>
#include <numbers>

namespace DemoAssets
{

namespace
{

// Regions of the textures the meshes share.
const UvRect kWhole{0, 0, 1, 1};
const UvRect kTopHalf{0, 0, 1, 0.5};
const UvRect kBottomHalf{0, 0.5, 1, 1};
const UvRect kLeftHalf{0, 0, 0.5, 1};
const UvRect kRightHalf{0.5, 0, 1, 1};
// humanoid.png: a recolour mask (red hair, green skin, blue clothes).
const UvRect kHair{0, 0, 0.5, 0.5};
const UvRect kSkin{0.5, 0, 1, 0.5};
const UvRect kCloth{0, 0.5, 0.5, 1};
const UvRect kBoots{0.5, 0.5, 1, 1};
// weapons.png: steel above, wood and leather below.
const UvRect kSteel{0, 0, 1, 0.5};
const UvRect kWood{0, 0.5, 0.5, 1};
const UvRect kLeather{0.5, 0.5, 1, 1};
// The door textures: the frame in the left quarter, the leaf in the rest.
const UvRect kFrame{0, 0, 0.25, 1};
const UvRect kLeaf{0.25, 0, 1, 1};
// spider.png: the dark hide on the left, the red mark on the right.
const UvRect kHide{0, 0, 0.5, 1};
const UvRect kMark{0.5, 0, 1, 1};

struct MeshEntry
{
    std::string path;
    std::string texture;
    std::function<void(MeshBuilder&)> build;
};

void Sword(MeshBuilder& m, double length, double width)
{
    m.Box({-width / 2, 0.12, -0.015}, {width / 2, length, 0.015}, kSteel);
    m.Prism(4, width / 2, length, 0.0, length + width, kSteel, {}, false);
    m.Box({-width * 1.6, 0.08, -0.04}, {width * 1.6, 0.12, 0.04}, kSteel);
    m.Box({-0.025, -0.12, -0.025}, {0.025, 0.08, 0.025}, kLeather);
    m.Box({-0.04, -0.16, -0.04}, {0.04, -0.12, 0.04}, kSteel);
}

void Axe(MeshBuilder& m, double haft, bool twoBlades)
{
    m.Prism(6, 0.035, -0.15, 0.035, haft, kWood);
    m.Box({0.03, haft - 0.3, -0.015}, {0.28, haft - 0.02, 0.015}, kSteel);
    if (twoBlades)
        m.Box({-0.28, haft - 0.3, -0.015}, {-0.03, haft - 0.02, 0.015}, kSteel);
}

void Bow(MeshBuilder& m, double half)
{
    // The stave bends back toward -z at both ends; the string runs straight.
    m.Box({-0.025, -0.1, -0.02}, {0.025, 0.1, 0.03}, kLeather);
    for (int side : {1, -1})
    {
        const std::size_t first = m.FaceCount();
        m.Box({-0.02, 0.0, -0.015}, {0.02, half, 0.015}, kWood);
        m.Transform('x', side * 20.0, {0, side * 0.1, 0}, first);
        if (side < 0)
        {
            // Mirror the lower limb by turning it over.
            m.Transform('z', 180.0, {0, 0, 0}, first);
        }
    }
    m.Box({-0.004, -half * 0.95, -half * 0.36}, {0.004, half * 0.95, -half * 0.34}, kLeather);
}

void Door(MeshBuilder& m, double halfWidth, int leaves, bool open)
{
    const double post = 0.2;
    m.Box({-halfWidth, 0, -0.3}, {-halfWidth + post, 7.0, 0.3}, kFrame);
    m.Box({halfWidth - post, 0, -0.3}, {halfWidth, 7.0, 0.3}, kFrame);
    m.Box({-halfWidth, 7.0, -0.3}, {halfWidth, 8.0, 0.3}, kFrame);
    const double inner = halfWidth - post;
    const double leaf = 2.0 * inner / leaves;
    for (int i = 0; i < leaves; ++i)
    {
        const std::size_t first = m.FaceCount();
        const bool left = i == 0;
        // Each leaf is built at its hinge and swings inward (+z) when open.
        if (left)
            m.Box({0, 0, -0.1}, {leaf, 7.0, 0.1}, kLeaf);
        else
            m.Box({-leaf, 0, -0.1}, {0, 7.0, 0.1}, kLeaf);
        const double angle = open ? (left ? -90.0 : 90.0) : 0.0;
        m.Transform('y', angle, {left ? -inner : inner, 0, open ? 0.1 : 0.0}, first);
    }
}

// The spider hangs its meshes on the quadruped figure: the body piece
// carries a low head-piece and a broad abdomen, the head piece the fangs and
// eyes; each leg piece carries two legs that arch up from the hip and come
// down far out to the side, so that the eight make the spider as broad as
// it is long. The figure's hips stand this high above its feet:
constexpr double kSpiderHipHeight = 0.85;

void SpiderBody(MeshBuilder& m)
{
    m.Box({-0.3, -0.15, 0.0}, {0.3, 0.15, 0.6}, kHide);
    const P3 abdomen{0, 0, -0.5};
    m.Prism(8, 0.6, -0.25, 0.45, 0.3, kHide, abdomen, false);
    m.Disc(8, 0.6, -0.25, false, kHide, abdomen);
    m.Disc(8, 0.45, 0.3, true, kMark, abdomen);
}

void SpiderHead(MeshBuilder& m)
{
    // The head piece sits above the body's front: these hang below it.
    for (const double x : {-0.08, 0.08})
        m.Box({x - 0.04, -0.45, -0.12}, {x + 0.04, -0.25, 0.0}, kHide);
    m.Box({-0.14, -0.17, -0.2}, {0.14, -0.12, -0.1}, kMark);
}

// One leg from the hip to the ground: side is +1 on +x, -1 on -x; yaw turns
// it about the upright axis as Transform turns.
void SpiderLeg(MeshBuilder& m, double side, double yaw)
{
    const double w = 0.05;
    const double femur = 0.6;
    const double rise = 30.0;
    const double fall = 65.0;
    const double tibia = (kSpiderHipHeight + femur * std::sin(rise / 180.0 * std::numbers::pi)) /
                         std::sin(fall / 180.0 * std::numbers::pi);
    const auto segment = [&](double length, double tilt, const P3& at)
    {
        const std::size_t first = m.FaceCount();
        if (side > 0)
            m.Box({0, -w, -w}, {length, w, w}, kHide);
        else
            m.Box({-length, -w, -w}, {0, w, w}, kHide);
        m.Transform('z', side * tilt, {}, first);
        m.Transform('y', yaw, at, first);
    };
    segment(femur, rise, {});
    const P3 knee =
        MeshBuilder::Turned(MeshBuilder::Turned({side * femur, 0, 0}, 'z', side * rise), 'y', yaw);
    segment(tibia, -fall, knee);
}

// A front hip's two legs reach forward, a back hip's backward.
void SpiderLegs(MeshBuilder& m, double side, bool front)
{
    for (const double yaw : front ? std::array{-50.0, -15.0} : std::array{15.0, 50.0})
        SpiderLeg(m, side, side * yaw);
}

const std::vector<MeshEntry>& Entries()
{
    static const std::vector<MeshEntry> entries = {
        // People: one mesh per piece of the humanoid figure.
        {"actor/mod/hm_hips.x", "humanoid.png",
         [](MeshBuilder& m) {
             m.Box({-0.38, -0.15, -0.2}, {0.38, 0.1, 0.2}, kCloth);
         }},
        {"actor/mod/hm_torso.x", "humanoid.png",
         [](MeshBuilder& m)
         {
             m.Box({-0.4, 0.0, -0.22}, {0.4, 1.0, 0.22}, kCloth);
             m.Box({-0.12, 1.0, -0.1}, {0.12, 1.08, 0.1}, kSkin);
         }},
        {"actor/mod/hm_head.x", "humanoid.png",
         [](MeshBuilder& m)
         {
             m.Box({-0.2, 0.0, -0.2}, {0.2, 0.46, 0.22}, kSkin);
             m.Box({-0.22, 0.34, -0.24}, {0.22, 0.52, 0.16}, kHair);
             m.Box({-0.05, 0.16, 0.22}, {0.05, 0.26, 0.28}, kSkin);
         }},
        {"actor/mod/hm_arm.x", "humanoid.png",
         [](MeshBuilder& m) {
             m.Box({-0.11, -0.6, -0.11}, {0.11, 0.08, 0.11}, kCloth);
         }},
        {"actor/mod/hm_forearm.x", "humanoid.png",
         [](MeshBuilder& m)
         {
             m.Box({-0.09, -0.45, -0.09}, {0.09, 0.0, 0.09}, kSkin);
             m.Box({-0.07, -0.6, -0.06}, {0.07, -0.45, 0.1}, kSkin);
         }},
        {"actor/mod/hm_thigh.x", "humanoid.png",
         [](MeshBuilder& m) {
             m.Box({-0.14, -0.8, -0.14}, {0.14, 0.05, 0.14}, kCloth);
         }},
        {"actor/mod/hm_shin.x", "humanoid.png",
         [](MeshBuilder& m)
         {
             m.Box({-0.12, -0.7, -0.12}, {0.12, 0.0, 0.12}, kBoots);
             m.Box({-0.12, -0.8, -0.14}, {0.12, -0.7, 0.3}, kBoots);
         }},
        // Beasts: the quadruped figure's pieces.
        {"actor/mod/qd_body.x", "quadruped.png",
         [](MeshBuilder& m) {
             m.Box({-0.3, -0.25, -0.7}, {0.3, 0.25, 0.7}, kWhole);
         }},
        {"actor/mod/qd_neck.x", "quadruped.png",
         [](MeshBuilder& m) {
             m.Box({-0.13, -0.15, -0.1}, {0.13, 0.2, 0.2}, kWhole);
         }},
        {"actor/mod/qd_head.x", "quadruped.png",
         [](MeshBuilder& m)
         {
             m.Box({-0.17, -0.12, -0.05}, {0.17, 0.16, 0.3}, kWhole);
             m.Box({-0.09, -0.12, 0.3}, {0.09, 0.04, 0.55}, kWhole);
             m.Prism(4, 0.06, 0.16, 0.0, 0.32, kWhole, {0.1, 0, 0.05}, false);
             m.Prism(4, 0.06, 0.16, 0.0, 0.32, kWhole, {-0.1, 0, 0.05}, false);
         }},
        {"actor/mod/qd_leg.x", "quadruped.png",
         [](MeshBuilder& m) {
             m.Box({-0.08, -0.85, -0.08}, {0.08, 0.05, 0.08}, kWhole);
         }},
        {"actor/mod/qd_tail.x", "quadruped.png",
         [](MeshBuilder& m) {
             m.Box({-0.05, -0.05, -0.5}, {0.05, 0.05, 0.0}, kWhole);
         }},
        {"actor/mod/sp_body.x", "spider.png", SpiderBody},
        {"actor/mod/sp_head.x", "spider.png", SpiderHead},
        {"actor/mod/sp_legs_fl.x", "spider.png", [](MeshBuilder& m) { SpiderLegs(m, 1, true); }},
        {"actor/mod/sp_legs_fr.x", "spider.png", [](MeshBuilder& m) { SpiderLegs(m, -1, true); }},
        {"actor/mod/sp_legs_bl.x", "spider.png", [](MeshBuilder& m) { SpiderLegs(m, 1, false); }},
        {"actor/mod/sp_legs_br.x", "spider.png", [](MeshBuilder& m) { SpiderLegs(m, -1, false); }},

        // Held items: grip at the origin, the business end along +y.
        {"item/mod/dagger.x", "weapons.png", [](MeshBuilder& m) { Sword(m, 0.45, 0.07); }},
        {"item/mod/short_sword.x", "weapons.png", [](MeshBuilder& m) { Sword(m, 0.75, 0.08); }},
        {"item/mod/long_sword.x", "weapons.png", [](MeshBuilder& m) { Sword(m, 1.0, 0.09); }},
        {"item/mod/great_sword.x", "weapons.png", [](MeshBuilder& m) { Sword(m, 1.5, 0.12); }},
        {"item/mod/quarterstaff.x", "weapons.png",
         [](MeshBuilder& m) { m.Prism(6, 0.04, -1.0, 0.04, 1.0, kWood); }},
        {"item/mod/mace.x", "weapons.png",
         [](MeshBuilder& m)
         {
             m.Prism(6, 0.035, -0.15, 0.035, 0.65, kWood);
             m.Prism(8, 0.12, 0.6, 0.12, 0.85, kSteel);
         }},
        {"item/mod/hand_axe.x", "weapons.png", [](MeshBuilder& m) { Axe(m, 0.7, false); }},
        {"item/mod/battle_axe.x", "weapons.png", [](MeshBuilder& m) { Axe(m, 1.3, true); }},
        {"item/mod/short_bow.x", "weapons.png", [](MeshBuilder& m) { Bow(m, 0.6); }},
        {"item/mod/long_bow.x", "weapons.png", [](MeshBuilder& m) { Bow(m, 0.85); }},
        {"item/mod/wooden_shield.x", "shield.png",
         [](MeshBuilder& m)
         {
             m.Prism(8, 0.45, -0.03, 0.45, 0.03, kWhole);
             m.Transform('x', 90.0, {0, 0, 0.05});
         }},

        // Tiles that are not generated shapes.
        {"tile/mod/tree.x", "tree.png",
         [](MeshBuilder& m)
         {
             m.Prism(6, 0.35, 0.0, 0.25, 4.0, kLeftHalf, {}, false);
             m.Prism(8, 1.7, 3.0, 0.0, 7.0, kRightHalf);
             m.Prism(8, 1.2, 5.5, 0.0, 8.5, kRightHalf);
         }},
        {"tile/mod/house_roof.x", "roof.png",
         [](MeshBuilder& m)
         {
             m.Prism(4, 3.6, 10.0, 0.0, 14.0, kWhole);
             m.Transform('y', 45.0, {0, 0, 0});
         }},
        {"tile/mod/door.x", "door_wood.png", [](MeshBuilder& m) { Door(m, 1.25, 1, false); }},
        {"tile/mod/door_open.x", "door_wood.png", [](MeshBuilder& m) { Door(m, 1.25, 1, true); }},
        {"tile/mod/door_wide.x", "door_crypt.png", [](MeshBuilder& m) { Door(m, 2.5, 2, false); }},
        {"tile/mod/door_wide_open.x", "door_crypt.png",
         [](MeshBuilder& m) { Door(m, 2.5, 2, true); }},

        // Objects, standing on the ground at their centre.
        {"object/mod/chest.x", "chest.png",
         [](MeshBuilder& m)
         {
             m.Box({-0.7, 0.0, -0.45}, {0.7, 0.6, 0.45}, kBottomHalf);
             m.Box({-0.72, 0.6, -0.47}, {0.72, 0.85, 0.47}, kTopHalf);
             m.Box({-0.08, 0.45, 0.45}, {0.08, 0.65, 0.5}, kTopHalf);
         }},
        {"object/mod/barrel.x", "barrel.png",
         [](MeshBuilder& m)
         {
             m.Prism(8, 0.42, 0.0, 0.5, 0.75, kTopHalf, {}, false);
             m.Prism(8, 0.5, 0.75, 0.42, 1.5, kBottomHalf, {}, false);
             m.Disc(8, 0.42, 0.0, false, kTopHalf);
             m.Disc(8, 0.42, 1.5, true, kTopHalf);
         }},
        {"object/mod/exit.x", "exit.png",
         [](MeshBuilder& m)
         {
             m.Prism(4, 0.08, 0.0, 0.08, 2.4, kLeftHalf);
             m.Box({-0.05, 1.7, -0.05}, {0.9, 2.2, 0.05}, kRightHalf);
             const std::size_t arrow = m.FaceCount();
             m.Prism(4, 0.35, 0.0, 0.0, 0.5, kRightHalf);
             m.Transform('z', -90.0, {0.9, 1.95, 0}, arrow);
         }},
        // An arrow in flight at a bowman's shoulder: a graphic of its own,
        // since the scene draws a shot as one.
        {"effect/mod/arrow.x", "arrow.png",
         [](MeshBuilder& m)
         {
             m.Prism(6, 0.02, -0.45, 0.02, 0.35, kWhole);
             m.Prism(4, 0.05, 0.35, 0.0, 0.5, kWhole);
             m.Box({-0.005, -0.45, -0.06}, {0.005, -0.25, 0.06}, kWhole);
             m.Transform('x', 90.0, {0, 1.3, 0});
         }},
        {"object/mod/pile.x", "pile.png",
         [](MeshBuilder& m)
         {
             m.Prism(6, 0.3, 0.0, 0.18, 0.45, kTopHalf, {-0.1, 0, 0});
             m.Prism(6, 0.18, 0.45, 0.08, 0.55, kTopHalf, {-0.1, 0, 0});
             m.Prism(8, 0.22, 0.0, 0.22, 0.06, kBottomHalf, {0.25, 0, 0.15});
             m.Box({0.05, 0.0, -0.35}, {0.35, 0.2, -0.1}, kTopHalf);
         }},
        {"object/mod/lantern.x", "lantern.png",
         [](MeshBuilder& m)
         {
             m.Prism(4, 0.1, 0.0, 0.07, 3.0, kTopHalf);
             m.Box({-0.05, 2.85, -0.05}, {0.6, 2.95, 0.05}, kTopHalf);
             m.Box({0.38, 2.3, -0.14}, {0.66, 2.75, 0.14}, kBottomHalf);
             m.Prism(4, 0.2, 2.75, 0.0, 2.9, kTopHalf, {0.52, 0, 0});
         }},
        {"object/mod/campfire.x", "campfire.png",
         [](MeshBuilder& m)
         {
             for (int i = 0; i < 3; ++i)
             {
                 const std::size_t first = m.FaceCount();
                 m.Box({-0.6, 0.0, -0.08}, {0.6, 0.16, 0.08}, kTopHalf);
                 m.Transform('y', 60.0 * i, {0, 0, 0}, first);
             }
             m.Prism(5, 0.35, 0.1, 0.0, 1.1, kBottomHalf, {}, false);
         }},
        {"object/mod/fountain.x", "fountain.png",
         [](MeshBuilder& m)
         {
             m.Prism(8, 1.4, 0.0, 1.4, 0.6, kTopHalf, {}, false);
             m.Disc(8, 1.25, 0.5, true, kBottomHalf);
             m.Prism(6, 0.2, 0.5, 0.2, 1.5, kTopHalf);
             m.Prism(8, 0.15, 1.2, 0.6, 1.5, kTopHalf, {}, true);
         }},
        {"object/mod/shrine.x", "shrine.png",
         [](MeshBuilder& m)
         {
             m.Box({-1.0, 0.0, -1.0}, {1.0, 0.3, 1.0}, kTopHalf);
             m.Box({-0.6, 0.3, -0.4}, {0.6, 2.2, 0.4}, kTopHalf);
             const std::size_t first = m.FaceCount();
             m.Prism(12, 0.45, -0.04, 0.45, 0.04, kBottomHalf);
             m.Transform('x', 90.0, {0, 1.6, 0.44}, first);
         }},
    };
    return entries;
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    return path.substr(slash + 1, dot - slash - 1);
}

} // namespace

void AddDemoMeshes(std::vector<GeneratedFile>& files)
{
    for (const MeshEntry& entry : Entries())
    {
        MeshBuilder mesh(BaseName(entry.path));
        entry.build(mesh);
        files.push_back(TextFile(entry.path, mesh.XText(entry.texture)));
    }
}

} // namespace DemoAssets
