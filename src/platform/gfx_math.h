#pragma once

#include <cstdint>
#include <optional>

// Matrices, vectors, quaternions and planes in the drawing code's convention:
// row vectors, a point p is transformed as p × M, so A × B applies A first.
// Translation sits in the fourth row. Look-at and perspective are right-handed
// and the projection maps depth to 0..1; the device alone moves that to the
// -1..1 range of OpenGL (ClipDepthToSymmetric).
namespace gfx
{

struct Vec2
{
    float x = 0.0f;
    float y = 0.0f;
};

struct Vec3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Vec4
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3& a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator*(float s, const Vec3& a)
{
    return a * s;
}
inline bool operator==(const Vec3& a, const Vec3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

float Dot(const Vec3& a, const Vec3& b);
Vec3 Cross(const Vec3& a, const Vec3& b);
float Length(const Vec3& v);
// The zero vector stays zero.
Vec3 Normalize(const Vec3& v);

// m[row][column].
struct Matrix
{
    float m[4][4] = {};

    static Matrix Identity();
    static Matrix Translation(float x, float y, float z);
    static Matrix Scaling(float x, float y, float z);
    // Rotations are counter-clockwise seen from the positive end of the axis
    // toward the origin in a right-handed frame: a quarter turn about Y takes
    // (1, 0, 0) to (0, 0, -1).
    static Matrix RotationX(float angle);
    static Matrix RotationY(float angle);
    static Matrix RotationZ(float angle);
    // The axis need not be of unit length.
    static Matrix RotationAxis(const Vec3& axis, float angle);
    static Matrix Rotation(const struct Quaternion& q);
    // A right-handed view: the eye looks down its own -z.
    static Matrix LookAtRH(const Vec3& eye, const Vec3& at, const Vec3& up);
    // Right-handed projection with a vertical field of view (radians) and
    // aspect = width / height; depth 0 at zNear, 1 at zFar.
    static Matrix PerspectiveFovRH(float fovY, float aspect, float zNear, float zFar);
    // Turns clip-space depth 0..w into -w..w; multiplied after a projection.
    static Matrix ClipDepthToSymmetric();

    float& operator()(int row, int column) { return m[row][column]; }
    float operator()(int row, int column) const { return m[row][column]; }
    // Sixteen floats, row after row: as a column-major OpenGL matrix this is
    // the transpose, so a shader computes M × v for the same result.
    const float* Data() const { return &m[0][0]; }
};

// a × b: a applies first.
Matrix operator*(const Matrix& a, const Matrix& b);
bool operator==(const Matrix& a, const Matrix& b);
Matrix Transpose(const Matrix& m);
// None when the matrix is singular.
std::optional<Matrix> Inverse(const Matrix& m);
// Splits m into scale, rotation and translation, m = S × R × T. False when a
// scale factor is zero (then only the translation is set).
bool Decompose(const Matrix& m, Vec3& scale, struct Quaternion& rotation, Vec3& translation);

// (v, 1) × m, divided by the resulting w.
Vec3 TransformCoord(const Vec3& v, const Matrix& m);
// (v, 0) × m: directions and normals (for normals use the inverse transpose
// when m scales unevenly).
Vec3 TransformNormal(const Vec3& v, const Matrix& m);
Vec4 Transform(const Vec4& v, const Matrix& m);

// The rectangle a frame is drawn to, in pixels, with its depth range.
struct Viewport
{
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;

    bool operator==(const Viewport&) const = default;
};

// World point to window point (x right, y down, z in the viewport's depth range).
Vec3 Project(const Vec3& v, const Viewport& viewport, const Matrix& projection, const Matrix& view,
             const Matrix& world);
// Window point back to world; z 0 gives the near plane, 1 the far plane.
Vec3 Unproject(const Vec3& v, const Viewport& viewport, const Matrix& projection,
               const Matrix& view, const Matrix& world);

// Rotation quaternion (x, y, z, w), w the scalar part.
struct Quaternion
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    static Quaternion Identity() { return {0.0f, 0.0f, 0.0f, 1.0f}; }
    // The axis need not be of unit length; a zero axis gives the identity.
    static Quaternion RotationAxis(const Vec3& axis, float angle);
};

float Dot(const Quaternion& a, const Quaternion& b);
// The rotation "first, then second": Matrix::Rotation of the result equals
// Matrix::Rotation(first) × Matrix::Rotation(second).
Quaternion QuaternionMultiply(const Quaternion& first, const Quaternion& second);
// The zero quaternion stays zero.
Quaternion Normalize(const Quaternion& q);
// Along the shorter arc; t 0 gives a, 1 gives b (or its negation, the same
// rotation).
Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t);

// Points p with a·x + b·y + c·z + d = 0.
struct Plane
{
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
    float d = 0.0f;

    static Plane FromPointNormal(const Vec3& point, const Vec3& normal);
};

float DotCoord(const Plane& plane, const Vec3& point);
// Where the line through p0 and p1 (not only the segment) meets the plane;
// none when it runs parallel to it.
std::optional<Vec3> IntersectLine(const Plane& plane, const Vec3& p0, const Vec3& p1);

// Whether the ray from origin along direction (t ≥ 0) meets the axis-aligned
// box; a ray starting inside the box meets it.
bool BoxBoundProbe(const Vec3& boxMin, const Vec3& boxMax, const Vec3& origin,
                   const Vec3& direction);

} // namespace gfx
