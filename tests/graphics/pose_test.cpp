#include "graphics/pose.h"

#include "test_util.h"

#include <cmath>

using TestUtil::CodeOf;
using TestUtil::ReaderOf;
using VARDGraph::CAnimation;
using VARDGraph::CPosition;
using VARDGraph::CPositionMap;
using VARDGraph::CPositionNode;

namespace
{

const float kHalf = std::sqrt(0.5f);

void ExpectPoint(const gfx::Vec3& got, float x, float y, float z)
{
    EXPECT_NEAR(got.x, x, 1e-5f);
    EXPECT_NEAR(got.y, y, 1e-5f);
    EXPECT_NEAR(got.z, z, 1e-5f);
}

// Where the piece's transform takes a point, from an identity stack.
gfx::Vec3 Moved(const VARDGraph::CPose& pose, const std::string& piece, double time,
                const gfx::Vec3& point = {1, 0, 0}, const gfx::Vec3* scale = nullptr)
{
    gfx::MatrixStack stack;
    pose.Apply(piece, stack, scale, time);
    EXPECT_EQ(stack.Depth(), 1u);
    return gfx::TransformCoord(point, stack.Top());
}

CPositionNode NodeOf(const std::string& text, std::string* rest = nullptr)
{
    auto reader = ReaderOf(text);
    CPositionNode node(reader);
    if (rest)
        *rest = reader.GetCurrentWord();
    return node;
}

CPositionMap PositionsOf(const std::string& text)
{
    auto reader = ReaderOf(text);
    CPositionMap map;
    while (reader.IsStartTag("position"))
    {
        auto position = std::make_shared<CPosition>(reader);
        map[position->GetName()] = position;
    }
    return map;
}

std::shared_ptr<CAnimation> AnimationOf(const std::string& text, const CPositionMap& positions)
{
    auto reader = ReaderOf(text);
    reader.ReadStartTag("animation");
    auto animation = std::make_shared<CAnimation>(reader, positions);
    reader.ReadEndTag();
    return animation;
}

} // namespace

TEST(PositionNode, TranslationAndRotationForms)
{
    struct Case
    {
        const char* text;
        int translation;
        gfx::Vec3 t;
        int rotation;
        gfx::Quaternion q;
        const char* rest; // the word left current
    };
    const gfx::Quaternion yQuarter = gfx::Quaternion::RotationAxis({0, 1, 0}, 1.5707964f);
    const Case cases[] = {
        {"arm 0 0 next", 0, {}, 0, {}, "next"},
        {"arm (1 2 3) 0 next", 1, {1, 2, 3}, 0, {}, "next"},
        {"arm ( 1 2 3 ) next", 1, {1, 2, 3}, 0, {}, "next"},
        {"arm (1 2 3 ) (0 0 2 0) next", 1, {1, 2, 3}, 1, {0, 0, 1, 0}, "next"},
        {"arm next", 0, {}, 0, {}, "next"},
        {"arm 0 ( 0 3 0 4 ) next", 0, {}, 1, {0, 0.6f, 0, 0.8f}, "next"}, // normalised
        {"arm 0 <rot> (0 1 0 90) 0 </rot> next", 0, {}, 1, yQuarter, "next"},
        {"arm 0 <rot> ( 0 1 0 90 ) </rot> next", 0, {}, 1, yQuarter, "next"},
        {"arm (4 5 6) <rot> 0 </rot> next", 1, {4, 5, 6}, 1, {0, 0, 0, 1}, "next"},
        {"arm 0 <rot> </rot> next", 0, {}, 1, {0, 0, 0, 1}, "next"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        std::string rest;
        const CPositionNode node = NodeOf(c.text, &rest);
        EXPECT_EQ(node.GetName(), "arm");
        EXPECT_EQ(rest, c.rest);
        EXPECT_EQ(node.HasTranslation(), c.translation);
        EXPECT_EQ(node.GetTranslation(), c.t);
        EXPECT_EQ(node.HasRotation(), c.rotation);
        const gfx::Quaternion& q = node.GetRotation();
        EXPECT_NEAR(q.x, c.q.x, 1e-6f);
        EXPECT_NEAR(q.y, c.q.y, 1e-6f);
        EXPECT_NEAR(q.z, c.q.z, 1e-6f);
        EXPECT_NEAR(q.w, c.q.w, 1e-6f);
    }
    EXPECT_EQ(CodeOf([] { NodeOf("arm (1 2) next"); }), 1);
    EXPECT_EQ(CodeOf([] { NodeOf("arm 0 <rot> (0 1 0 90 next"); }), 1);
    EXPECT_EQ(CodeOf([] { NodeOf("arm 0 <rot> (0 1 0 90) next"); }), 1);
}

TEST(PositionNode, RotationListAppliesInFileOrder)
{
    const CPositionNode node = NodeOf("arm 0 <rot> (0 1 0 90) (1 0 0 90) 0 </rot>");
    const gfx::Quaternion first = gfx::Quaternion::RotationAxis(
        {0, 1, 0}, static_cast<float>(90.0 / 180.0 * 3.1415927410125732));
    const gfx::Quaternion second = gfx::Quaternion::RotationAxis(
        {1, 0, 0}, static_cast<float>(90.0 / 180.0 * 3.1415927410125732));
    const gfx::Quaternion want = gfx::QuaternionMultiply(first, second);
    EXPECT_FLOAT_EQ(node.GetRotation().x, want.x);
    EXPECT_FLOAT_EQ(node.GetRotation().y, want.y);
    EXPECT_FLOAT_EQ(node.GetRotation().z, want.z);
    EXPECT_FLOAT_EQ(node.GetRotation().w, want.w);
    // (1, 0, 0): a quarter turn about y gives (0, 0, -1), then about x (0, 1, 0).
    gfx::MatrixStack stack;
    node.Apply(stack, nullptr);
    ExpectPoint(gfx::TransformCoord({1, 0, 0}, stack.Top()), 0, 1, 0);
}

TEST(Position, RotationThenTranslationOntoTheTop)
{
    const CPositionMap positions =
        PositionsOf("<position> p arm (1 2 3) <rot> (0 1 0 90) 0 </rot> leg 0 0 </position>");
    const CPosition& p = *positions.at("p");
    ExpectPoint(Moved(p, "arm", 0.0), 1, 2, 2);
    ExpectPoint(Moved(p, "arm", 123.0), 1, 2, 2);
    const gfx::Vec3 scale{2, 2, 2};
    ExpectPoint(Moved(p, "arm", 0.0, {1, 0, 0}, &scale), 2, 4, 5);
    ExpectPoint(Moved(p, "leg", 0.0, {7, 8, 9}), 7, 8, 9);

    // The stack's earlier transform applies first.
    gfx::MatrixStack stack;
    stack.Translate(0, 10, 0);
    p.Apply("arm", stack, nullptr, 0.0);
    ExpectPoint(gfx::TransformCoord({1, 0, 0}, stack.Top()), 1, 12, 2);

    EXPECT_EQ(CodeOf([&] { Moved(p, "head", 0.0); }), 5);
    const CPosition plain("default");
    ExpectPoint(Moved(plain, "anchor", 0.0, {3, 4, 5}), 3, 4, 5);
    EXPECT_EQ(CodeOf([&] { Moved(plain, "body", 0.0); }), 5);
}

TEST(Animation, KeysInterpolateOverTheCycle)
{
    const CPositionMap positions =
        PositionsOf("<position> a arm (2 0 0) 0 leg (4 0 0) 0 </position> "
                    "<position> b arm (4 0 0) <rot> (0 1 0 90) 0 </rot> leg 0 0 </position> "
                    "<position> c arm (2 0 0) 0 leg (4 0 0) 0 </position>");
    auto walk = AnimationOf("<animation> walk 0.0 a 0.5 b 1.0 c </animation>", positions);
    walk->SetLength(2.0);
    EXPECT_EQ(walk->GetKeyTimes(), (std::vector<double>{0.0, 0.5, 1.0}));
    EXPECT_EQ(walk->GetKeyPositions()[1], positions.at("b"));

    struct Case
    {
        double time;
        gfx::Vec3 arm; // where (1, 0, 0) goes
        gfx::Vec3 leg;
    };
    const Case cases[] = {
        // f = 0.25, u = 0.5: halfway to a quarter turn, halfway to (4 0 0).
        {0.5, {3 + kHalf, 0, -kHalf}, {3, 0, 0}},
        // f = 0.5 is key b itself.
        {1.0, {4, 0, -1}, {1, 0, 0}},
        // f = 0: key a.
        {2.0, {3, 0, 0}, {5, 0, 0}},
        {0.0, {3, 0, 0}, {5, 0, 0}},
        // f = 0.625, u = 0.25 from b toward c.
        {1.25,
         {3.5f + std::cos(3.1415927f * 0.375f), 0, -std::sin(3.1415927f * 0.375f)},
         {2, 0, 0}},
        // Times before the start stand at the start.
        {-0.5, {3, 0, 0}, {5, 0, 0}},
        // Later cycles repeat.
        {4.5, {3 + kHalf, 0, -kHalf}, {3, 0, 0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.time);
        ExpectPoint(Moved(*walk, "arm", c.time), c.arm.x, c.arm.y, c.arm.z);
        ExpectPoint(Moved(*walk, "leg", c.time), c.leg.x, c.leg.y, c.leg.z);
    }
    const gfx::Vec3 scale{2, 1, 1};
    ExpectPoint(Moved(*walk, "leg", 0.5, {0, 0, 1}, &scale), 4, 0, 1);
    EXPECT_EQ(CodeOf([&] { Moved(*walk, "head", 0.5); }), 5);

    walk->SetLength(0.0);
    EXPECT_EQ(walk->Phase(0.7), 0.0);
    ExpectPoint(Moved(*walk, "leg", 0.7), 5, 0, 0);
    walk->SetLength(-1.0);
    EXPECT_EQ(walk->Phase(0.7), 0.0);
}

TEST(Animation, MissingNodeOnEitherSideOfASegment)
{
    const CPositionMap positions = PositionsOf("<position> a arm 0 0 </position> "
                                               "<position> b arm 0 0 leg 0 0 </position>");
    auto anim = AnimationOf("<animation> x 0.0 a 0.5 b 1.0 b </animation>", positions);
    EXPECT_EQ(CodeOf([&] { Moved(*anim, "leg", 0.25); }), 5);
    EXPECT_EQ(CodeOf([&] { Moved(*anim, "leg", 0.75); }), -1);
    EXPECT_EQ(CodeOf([&] { Moved(*anim, "leg", 0.0); }), 5);
}

TEST(Animation, ReadingFaults)
{
    const CPositionMap positions = PositionsOf("<position> a arm 0 0 </position>");
    const char* bad[] = {
        "<animation> x </animation>",
        "<animation> x 0.0 a 0.5 a </animation>",
        "<animation> x 0.1 a 1.0 a </animation>",
        "<animation> x 0.0 a 1.0 nowhere </animation>",
        "<animation> x 0.0 a half a </animation>",
        "<animation> x 0.0 a 1.0",
    };
    for (const char* text : bad)
        EXPECT_EQ(CodeOf([&] { AnimationOf(text, positions); }), 1) << text;
    EXPECT_EQ(CodeOf([&] { AnimationOf("<animation> x 0 a 1 a </animation>", positions); }), -1);
}
