#include "platform_test_util.h"

#include "platform/gfx_error.h"
#include "platform/gfx_math.h"
#include "platform/matrix_stack.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

constexpr float kPi = 3.14159265358979f;
constexpr float kHalfPi = kPi * 0.5f;

using PlatformTest::ExpectVec3;

void ExpectMatrixNear(const gfx::Matrix& a, const gfx::Matrix& b, float tolerance = 1e-5f)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << "row " << i << " column " << j;
}

void ExpectQuaternion(const gfx::Quaternion& q, float x, float y, float z, float w)
{
    EXPECT_NEAR(q.x, x, 1e-5f);
    EXPECT_NEAR(q.y, y, 1e-5f);
    EXPECT_NEAR(q.z, z, 1e-5f);
    EXPECT_NEAR(q.w, w, 1e-5f);
}

} // namespace

TEST(Matrix, QuarterTurnAboutYTakesXToMinusZ)
{
    const gfx::Matrix r = gfx::Matrix::RotationY(kHalfPi);
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, r), 0, 0, -1);
    ExpectVec3(gfx::TransformCoord({0, 0, 1}, r), 1, 0, 0);
    ExpectVec3(gfx::TransformCoord({0, 1, 0}, r), 0, 1, 0);
}

TEST(Matrix, QuarterTurnsAboutXAndZ)
{
    ExpectVec3(gfx::TransformCoord({0, 1, 0}, gfx::Matrix::RotationX(kHalfPi)), 0, 0, 1);
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, gfx::Matrix::RotationZ(kHalfPi)), 0, 1, 0);
}

TEST(Matrix, RotationAboutAnUnnormalisedAxis)
{
    ExpectMatrixNear(gfx::Matrix::RotationAxis({0, 2, 0}, 0.7f), gfx::Matrix::RotationY(0.7f));
    // A third of a turn about (1, 1, 1) cycles the axes x -> y -> z.
    const gfx::Matrix r = gfx::Matrix::RotationAxis({1, 1, 1}, 2.0f * kPi / 3.0f);
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, r), 0, 1, 0);
    ExpectVec3(gfx::TransformCoord({0, 1, 0}, r), 0, 0, 1);
}

TEST(Matrix, ProductAppliesTheLeftFactorFirst)
{
    // Turn, then move: (1, 0, 0) -> (0, 0, -1) -> (5, 0, -1).
    const gfx::Matrix m = gfx::Matrix::RotationY(kHalfPi) * gfx::Matrix::Translation(5, 0, 0);
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, m), 5, 0, -1);
    // Move, then turn: (6, 0, 0) -> (0, 0, -6).
    const gfx::Matrix n = gfx::Matrix::Translation(5, 0, 0) * gfx::Matrix::RotationY(kHalfPi);
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, n), 0, 0, -6);
    ExpectVec3(gfx::TransformCoord({1, 2, 3}, gfx::Matrix::Scaling(2, 3, 4)), 2, 6, 12);
}

TEST(Matrix, NormalsIgnoreTheTranslation)
{
    const gfx::Matrix m = gfx::Matrix::RotationY(kHalfPi) * gfx::Matrix::Translation(5, 6, 7);
    ExpectVec3(gfx::TransformNormal({1, 0, 0}, m), 0, 0, -1);
}

TEST(Matrix, InverseUndoesAndSingularHasNone)
{
    const gfx::Matrix m = gfx::Matrix::Scaling(2, 3, 4) * gfx::Matrix::RotationY(0.3f) *
                          gfx::Matrix::Translation(1, 2, 3);
    const std::optional<gfx::Matrix> inverse = gfx::Inverse(m);
    ASSERT_TRUE(inverse.has_value());
    ExpectMatrixNear(m * *inverse, gfx::Matrix::Identity());
    const std::optional<gfx::Matrix> translation = gfx::Inverse(gfx::Matrix::Translation(1, 2, 3));
    ASSERT_TRUE(translation.has_value());
    ExpectMatrixNear(*translation, gfx::Matrix::Translation(-1, -2, -3));
    EXPECT_FALSE(gfx::Inverse(gfx::Matrix::Scaling(1, 0, 1)).has_value());
}

TEST(Matrix, DecomposeSplitsScaleRotationAndTranslation)
{
    const gfx::Matrix m = gfx::Matrix::Scaling(2, 3, 4) * gfx::Matrix::RotationY(kHalfPi) *
                          gfx::Matrix::Translation(5, 6, 7);
    gfx::Vec3 scale;
    gfx::Quaternion rotation;
    gfx::Vec3 translation;
    ASSERT_TRUE(gfx::Decompose(m, scale, rotation, translation));
    ExpectVec3(scale, 2, 3, 4);
    ExpectVec3(translation, 5, 6, 7);
    const float h = std::sqrt(0.5f);
    ExpectQuaternion(rotation, 0, h, 0, h);
    EXPECT_FALSE(gfx::Decompose(gfx::Matrix::Scaling(0, 1, 1), scale, rotation, translation));
    ExpectVec3(translation, 0, 0, 0);
}

TEST(Matrix, LookAtRightHanded)
{
    // From (0, 0, 5) toward the origin: the view only moves the world by -5 in z.
    ExpectMatrixNear(gfx::Matrix::LookAtRH({0, 0, 5}, {0, 0, 0}, {0, 1, 0}),
                     gfx::Matrix::Translation(0, 0, -5));
    // From above x: the target lies straight ahead, down the view's -z.
    const gfx::Matrix view = gfx::Matrix::LookAtRH({10, 0, 0}, {0, 0, 0}, {0, 1, 0});
    ExpectVec3(gfx::TransformCoord({0, 0, 0}, view), 0, 0, -10);
    ExpectVec3(gfx::TransformCoord({0, 0, -1}, view), 1, 0, -10);
}

TEST(Matrix, PerspectiveMapsNearAndFarToZeroAndOne)
{
    const gfx::Matrix p = gfx::Matrix::PerspectiveFovRH(kHalfPi, 2.0f, 1.0f, 3.0f);
    EXPECT_NEAR(p.m[0][0], 0.5f, 1e-6f);
    EXPECT_NEAR(p.m[1][1], 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(p.m[2][2], -1.5f);
    EXPECT_FLOAT_EQ(p.m[2][3], -1.0f);
    EXPECT_FLOAT_EQ(p.m[3][2], -1.5f);
    EXPECT_EQ(p.m[3][3], 0.0f);
    ExpectVec3(gfx::TransformCoord({0, 0, -1}, p), 0, 0, 0);
    ExpectVec3(gfx::TransformCoord({0, 0, -3}, p), 0, 0, 1);
    // On the edge of the 90° view at depth 2: y = 2 is the top of the screen.
    ExpectVec3(gfx::TransformCoord({0, 2, -2}, p), 0, 1, 0.75f);
    const gfx::Matrix gl = p * gfx::Matrix::ClipDepthToSymmetric();
    ExpectVec3(gfx::TransformCoord({0, 0, -1}, gl), 0, 0, -1);
    ExpectVec3(gfx::TransformCoord({0, 0, -3}, gl), 0, 0, 1);
}

TEST(Matrix, UnprojectUndoesProject)
{
    const gfx::Viewport viewport{0, 0, 800, 600, 0.0f, 1.0f};
    const gfx::Matrix view = gfx::Matrix::LookAtRH({0, 10, 10}, {0, 0, 0}, {0, 1, 0});
    const gfx::Matrix projection = gfx::Matrix::PerspectiveFovRH(kPi / 4, 4.0f / 3.0f, 1, 100);
    const gfx::Matrix world = gfx::Matrix::Identity();
    // The target is in the middle; its depth is 100/99 × (1 − 1/√200).
    const gfx::Vec3 centre = gfx::Project({0, 0, 0}, viewport, projection, view, world);
    ExpectVec3(centre, 400, 300, 0.938676f, 1e-4f);
    ExpectVec3(gfx::Unproject(centre, viewport, projection, view, world), 0, 0, 0, 1e-3f);
    // Depth 0 is the near plane: one unit from the eye toward the target.
    ExpectVec3(gfx::Unproject({400, 300, 0}, viewport, projection, view, world), 0, 9.292893f,
               9.292893f, 1e-4f);
    const gfx::Vec3 point{3, -1, 2};
    const gfx::Vec3 screen = gfx::Project(point, viewport, projection, view, world);
    ExpectVec3(gfx::Unproject(screen, viewport, projection, view, world), 3, -1, 2, 1e-3f);
    // Screen y grows downward: a point above the target is drawn higher.
    EXPECT_LT(gfx::Project({0, 1, 0}, viewport, projection, view, world).y, 300.0f);
}

TEST(Quaternion, AxisAngle)
{
    const float h = std::sqrt(0.5f);
    ExpectQuaternion(gfx::Quaternion::RotationAxis({0, 3, 0}, kHalfPi), 0, h, 0, h);
    ExpectQuaternion(gfx::Quaternion::RotationAxis({0, 0, 0}, 1.0f), 0, 0, 0, 1);
    ExpectMatrixNear(gfx::Matrix::Rotation(gfx::Quaternion::RotationAxis({1, 2, 3}, 0.8f)),
                     gfx::Matrix::RotationAxis({1, 2, 3}, 0.8f));
}

TEST(Quaternion, MultiplyAppliesTheFirstThenTheSecond)
{
    const gfx::Quaternion aboutY = gfx::Quaternion::RotationAxis({0, 1, 0}, kHalfPi);
    const gfx::Quaternion aboutX = gfx::Quaternion::RotationAxis({1, 0, 0}, kHalfPi);
    const gfx::Quaternion both = gfx::QuaternionMultiply(aboutY, aboutX);
    // A third of a turn about (1, 1, 1): x -> y -> z -> x.
    ExpectQuaternion(both, 0.5f, 0.5f, 0.5f, 0.5f);
    ExpectMatrixNear(gfx::Matrix::Rotation(both),
                     gfx::Matrix::RotationY(kHalfPi) * gfx::Matrix::RotationX(kHalfPi));
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, gfx::Matrix::Rotation(both)), 0, 1, 0);
    // The other order is another rotation.
    ExpectMatrixNear(gfx::Matrix::Rotation(gfx::QuaternionMultiply(aboutX, aboutY)),
                     gfx::Matrix::RotationX(kHalfPi) * gfx::Matrix::RotationY(kHalfPi));
}

TEST(Quaternion, Normalize)
{
    ExpectQuaternion(gfx::Normalize(gfx::Quaternion{1, 1, 1, 1}), 0.5f, 0.5f, 0.5f, 0.5f);
    ExpectQuaternion(gfx::Normalize(gfx::Quaternion{0, 0, 0, 2}), 0, 0, 0, 1);
    ExpectQuaternion(gfx::Normalize(gfx::Quaternion{0, 0, 0, 0}), 0, 0, 0, 0);
}

TEST(Quaternion, SlerpHalfwayAndAlongTheShortArc)
{
    const gfx::Quaternion identity = gfx::Quaternion::Identity();
    const gfx::Quaternion quarter = gfx::Quaternion::RotationAxis({0, 1, 0}, kHalfPi);
    ExpectQuaternion(gfx::Slerp(identity, quarter, 0.5f), 0, std::sin(kPi / 8), 0,
                     std::cos(kPi / 8));
    ExpectQuaternion(gfx::Slerp(identity, quarter, 0.0f), 0, 0, 0, 1);
    ExpectQuaternion(gfx::Slerp(identity, quarter, 1.0f), quarter.x, quarter.y, quarter.z,
                     quarter.w);
    // -q is the same rotation: the blend must not go the long way round.
    const gfx::Quaternion negated{-quarter.x, -quarter.y, -quarter.z, -quarter.w};
    ExpectQuaternion(gfx::Slerp(identity, negated, 0.5f), 0, std::sin(kPi / 8), 0,
                     std::cos(kPi / 8));
    ExpectQuaternion(gfx::Slerp(quarter, quarter, 0.3f), quarter.x, quarter.y, quarter.z,
                     quarter.w);
}

TEST(Plane, FromPointAndNormal)
{
    const gfx::Plane ground = gfx::Plane::FromPointNormal({0, 0, 0}, {0, 1, 0});
    EXPECT_EQ(ground.a, 0.0f);
    EXPECT_EQ(ground.b, 1.0f);
    EXPECT_EQ(ground.c, 0.0f);
    EXPECT_EQ(ground.d, 0.0f);
    const gfx::Plane raised = gfx::Plane::FromPointNormal({5, 2, 7}, {0, 1, 0});
    EXPECT_EQ(raised.d, -2.0f);
    EXPECT_EQ(gfx::DotCoord(raised, {1, 3, 1}), 1.0f);
}

TEST(Plane, IntersectLine)
{
    const gfx::Plane ground = gfx::Plane::FromPointNormal({0, 0, 0}, {0, 1, 0});
    // From (1, 5, 2) toward (3, 1, 2): y reaches 0 at t = 1.25.
    const std::optional<gfx::Vec3> hit = gfx::IntersectLine(ground, {1, 5, 2}, {3, 1, 2});
    ASSERT_TRUE(hit.has_value());
    ExpectVec3(*hit, 3.5f, 0, 2);
    // A line, not a segment: both points above the plane still meet it.
    const std::optional<gfx::Vec3> beyond = gfx::IntersectLine(ground, {0, 4, 0}, {1, 2, 0});
    ASSERT_TRUE(beyond.has_value());
    ExpectVec3(*beyond, 2, 0, 0);
    EXPECT_FALSE(gfx::IntersectLine(ground, {0, 1, 0}, {5, 1, 3}).has_value());
}

TEST(BoxProbe, HitsMissesAndRaysFromInside)
{
    const gfx::Vec3 low{0, 0, 0};
    const gfx::Vec3 high{1, 1, 1};
    EXPECT_TRUE(gfx::BoxBoundProbe(low, high, {0.5f, 5, 0.5f}, {0, -1, 0}));
    EXPECT_FALSE(gfx::BoxBoundProbe(low, high, {0.5f, 5, 0.5f}, {0, 1, 0})); // behind the ray
    EXPECT_FALSE(gfx::BoxBoundProbe(low, high, {2, 5, 0.5f}, {0, -1, 0}));
    EXPECT_TRUE(gfx::BoxBoundProbe(low, high, {-1, -1, -1}, {1, 1, 1}));
    EXPECT_TRUE(gfx::BoxBoundProbe(low, high, {0.5f, 0.5f, 0.5f}, {0, 0, 1}));
    // Slanting in through the x = 0 face at z = 0.5.
    EXPECT_TRUE(gfx::BoxBoundProbe(low, high, {-1, 0.5f, 1.5f}, {1, 0, -1}));
    // Slanting past the corner.
    EXPECT_FALSE(gfx::BoxBoundProbe(low, high, {-1, 0.5f, 3.5f}, {1, 0, -1}));
    // A flat box (an open door, 0.1 high): a steep ray through it hits, one
    // passing just over it misses.
    const gfx::Vec3 doorHigh{2.5f, 0.1f, 2.5f};
    EXPECT_TRUE(gfx::BoxBoundProbe(low, doorHigh, {1, 10, 1}, {0, -10, 0.5f}));
    EXPECT_FALSE(gfx::BoxBoundProbe(low, doorHigh, {1, 10, 1}, {0, -10, 3}));
}

TEST(MatrixStack, PlainFormsActAfterLocalFormsBefore)
{
    gfx::MatrixStack stack;
    stack.MultMatrix(gfx::Matrix::RotationY(kHalfPi));
    stack.Push();
    stack.Translate(1, 0, 0);
    // Turned first, then moved: (1, 0, 0) -> (0, 0, -1) -> (1, 0, -1).
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, stack.Top()), 1, 0, -1);
    stack.Pop();
    stack.Push();
    stack.TranslateLocal(1, 0, 0);
    // Moved first: (2, 0, 0) -> (0, 0, -2).
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, stack.Top()), 0, 0, -2);
    stack.Pop();
    ExpectMatrixNear(stack.Top(), gfx::Matrix::RotationY(kHalfPi));
}

TEST(MatrixStack, ScaleAndScaleLocal)
{
    // A piece translated by (1, 2, 3) with a scale of 2 on its own meshes
    // only (local) against a scale of everything after it.
    gfx::MatrixStack local;
    local.Translate(1, 2, 3);
    local.ScaleLocal(2, 2, 2);
    ExpectVec3(gfx::TransformCoord({1, 1, 1}, local.Top()), 3, 4, 5);
    gfx::MatrixStack after;
    after.Translate(1, 2, 3);
    after.Scale(2, 2, 2);
    ExpectVec3(gfx::TransformCoord({1, 1, 1}, after.Top()), 4, 6, 8);
}

TEST(MatrixStack, MultMatrixLocalAndLoads)
{
    gfx::MatrixStack stack;
    stack.LoadMatrix(gfx::Matrix::Translation(1, 0, 0));
    stack.MultMatrixLocal(gfx::Matrix::Scaling(3, 3, 3));
    ExpectVec3(gfx::TransformCoord({1, 1, 1}, stack.Top()), 4, 3, 3);
    stack.RotateAxisLocal({0, 1, 0}, kHalfPi);
    ExpectVec3(gfx::TransformCoord({1, 0, 0}, stack.Top()), 1, 0, -3);
    stack.LoadIdentity();
    EXPECT_EQ(stack.Top(), gfx::Matrix::Identity());
}

TEST(MatrixStack, PopOfTheLastEntryFails)
{
    gfx::MatrixStack stack;
    stack.Push();
    EXPECT_EQ(stack.Depth(), 2u);
    stack.Pop();
    EXPECT_THROW(stack.Pop(), gfx::Error);
    EXPECT_EQ(stack.Depth(), 1u);
}
