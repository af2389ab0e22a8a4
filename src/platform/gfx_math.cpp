#include "platform/gfx_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gfx
{

float Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Length(const Vec3& v)
{
    return std::sqrt(Dot(v, v));
}

Vec3 Normalize(const Vec3& v)
{
    const float length = Length(v);
    if (length == 0.0f)
        return {};
    return v * (1.0f / length);
}

Matrix Matrix::Identity()
{
    Matrix r;
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1.0f;
    return r;
}

Matrix Matrix::Translation(float x, float y, float z)
{
    Matrix r = Identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix Matrix::Scaling(float x, float y, float z)
{
    Matrix r;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    r.m[3][3] = 1.0f;
    return r;
}

Matrix Matrix::RotationX(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r = Identity();
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Matrix Matrix::RotationY(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r = Identity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix Matrix::RotationZ(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r = Identity();
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Matrix Matrix::RotationAxis(const Vec3& axis, float angle)
{
    const Vec3 n = Normalize(axis);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    Matrix r = Identity();
    r.m[0][0] = t * n.x * n.x + c;
    r.m[0][1] = t * n.x * n.y + s * n.z;
    r.m[0][2] = t * n.x * n.z - s * n.y;
    r.m[1][0] = t * n.x * n.y - s * n.z;
    r.m[1][1] = t * n.y * n.y + c;
    r.m[1][2] = t * n.y * n.z + s * n.x;
    r.m[2][0] = t * n.x * n.z + s * n.y;
    r.m[2][1] = t * n.y * n.z - s * n.x;
    r.m[2][2] = t * n.z * n.z + c;
    return r;
}

Matrix Matrix::Rotation(const Quaternion& q)
{
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Matrix r = Identity();
    r.m[0][0] = 1.0f - 2.0f * (yy + zz);
    r.m[0][1] = 2.0f * (xy + wz);
    r.m[0][2] = 2.0f * (xz - wy);
    r.m[1][0] = 2.0f * (xy - wz);
    r.m[1][1] = 1.0f - 2.0f * (xx + zz);
    r.m[1][2] = 2.0f * (yz + wx);
    r.m[2][0] = 2.0f * (xz + wy);
    r.m[2][1] = 2.0f * (yz - wx);
    r.m[2][2] = 1.0f - 2.0f * (xx + yy);
    return r;
}

Matrix Matrix::LookAtRH(const Vec3& eye, const Vec3& at, const Vec3& up)
{
    const Vec3 zAxis = Normalize(eye - at);
    const Vec3 xAxis = Normalize(Cross(up, zAxis));
    const Vec3 yAxis = Cross(zAxis, xAxis);
    Matrix r = Identity();
    r.m[0][0] = xAxis.x;
    r.m[1][0] = xAxis.y;
    r.m[2][0] = xAxis.z;
    r.m[0][1] = yAxis.x;
    r.m[1][1] = yAxis.y;
    r.m[2][1] = yAxis.z;
    r.m[0][2] = zAxis.x;
    r.m[1][2] = zAxis.y;
    r.m[2][2] = zAxis.z;
    r.m[3][0] = -Dot(xAxis, eye);
    r.m[3][1] = -Dot(yAxis, eye);
    r.m[3][2] = -Dot(zAxis, eye);
    return r;
}

Matrix Matrix::PerspectiveFovRH(float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    Matrix r;
    r.m[0][0] = xScale;
    r.m[1][1] = yScale;
    r.m[2][2] = zFar / (zNear - zFar);
    r.m[2][3] = -1.0f;
    r.m[3][2] = zNear * zFar / (zNear - zFar);
    return r;
}

Matrix Matrix::ClipDepthToSymmetric()
{
    Matrix r = Identity();
    r.m[2][2] = 2.0f;
    r.m[3][2] = -1.0f;
    return r;
}

Matrix operator*(const Matrix& a, const Matrix& b)
{
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
    return r;
}

bool operator==(const Matrix& a, const Matrix& b)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (a.m[i][j] != b.m[i][j])
                return false;
    return true;
}

Matrix Transpose(const Matrix& m)
{
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m.m[j][i];
    return r;
}

std::optional<Matrix> Inverse(const Matrix& m)
{
    // Cofactor expansion in double precision so that near-singular camera
    // matrices still give usable pick rays.
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = (&m.m[0][0])[i];
    double inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] +
             a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
             a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] +
             a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
              a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
             a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] +
             a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] -
             a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] +
              a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] -
             a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] +
              a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] -
              a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] -
             a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det))
        return std::nullopt;
    Matrix r;
    for (int i = 0; i < 16; ++i)
        (&r.m[0][0])[i] = static_cast<float>(inv[i] / det);
    return r;
}

namespace
{

// The rotation of an orthonormal 3×3 block (rows are the rotated axes).
Quaternion QuaternionFromRotationRows(const float r[3][3])
{
    Quaternion q;
    const float trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0.0f)
    {
        const float s = std::sqrt(trace + 1.0f) * 2.0f;
        q.w = 0.25f * s;
        q.x = (r[1][2] - r[2][1]) / s;
        q.y = (r[2][0] - r[0][2]) / s;
        q.z = (r[0][1] - r[1][0]) / s;
    }
    else if (r[0][0] > r[1][1] && r[0][0] > r[2][2])
    {
        const float s = std::sqrt(1.0f + r[0][0] - r[1][1] - r[2][2]) * 2.0f;
        q.w = (r[1][2] - r[2][1]) / s;
        q.x = 0.25f * s;
        q.y = (r[1][0] + r[0][1]) / s;
        q.z = (r[2][0] + r[0][2]) / s;
    }
    else if (r[1][1] > r[2][2])
    {
        const float s = std::sqrt(1.0f + r[1][1] - r[0][0] - r[2][2]) * 2.0f;
        q.w = (r[2][0] - r[0][2]) / s;
        q.x = (r[1][0] + r[0][1]) / s;
        q.y = 0.25f * s;
        q.z = (r[2][1] + r[1][2]) / s;
    }
    else
    {
        const float s = std::sqrt(1.0f + r[2][2] - r[0][0] - r[1][1]) * 2.0f;
        q.w = (r[0][1] - r[1][0]) / s;
        q.x = (r[2][0] + r[0][2]) / s;
        q.y = (r[2][1] + r[1][2]) / s;
        q.z = 0.25f * s;
    }
    return q;
}

} // namespace

bool Decompose(const Matrix& m, Vec3& scale, Quaternion& rotation, Vec3& translation)
{
    translation = {m.m[3][0], m.m[3][1], m.m[3][2]};
    const Vec3 rows[3] = {{m.m[0][0], m.m[0][1], m.m[0][2]},
                          {m.m[1][0], m.m[1][1], m.m[1][2]},
                          {m.m[2][0], m.m[2][1], m.m[2][2]}};
    scale = {Length(rows[0]), Length(rows[1]), Length(rows[2])};
    if (scale.x == 0.0f || scale.y == 0.0f || scale.z == 0.0f)
        return false;
    // A mirrored matrix keeps a proper rotation by flipping one scale.
    if (Dot(Cross(rows[0], rows[1]), rows[2]) < 0.0f)
        scale.x = -scale.x;
    const float s[3] = {scale.x, scale.y, scale.z};
    float r[3][3];
    for (int i = 0; i < 3; ++i)
    {
        r[i][0] = (&rows[i].x)[0] / s[i];
        r[i][1] = (&rows[i].x)[1] / s[i];
        r[i][2] = (&rows[i].x)[2] / s[i];
    }
    rotation = QuaternionFromRotationRows(r);
    return true;
}

Vec4 Transform(const Vec4& v, const Matrix& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2],
            v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3]};
}

Vec3 TransformCoord(const Vec3& v, const Matrix& m)
{
    const Vec4 r = Transform(Vec4{v.x, v.y, v.z, 1.0f}, m);
    const float inverseW = r.w != 0.0f ? 1.0f / r.w : 0.0f;
    return {r.x * inverseW, r.y * inverseW, r.z * inverseW};
}

Vec3 TransformNormal(const Vec3& v, const Matrix& m)
{
    const Vec4 r = Transform(Vec4{v.x, v.y, v.z, 0.0f}, m);
    return {r.x, r.y, r.z};
}

Vec3 Project(const Vec3& v, const Viewport& viewport, const Matrix& projection, const Matrix& view,
             const Matrix& world)
{
    const Vec3 clip = TransformCoord(v, world * view * projection);
    return {static_cast<float>(viewport.x) + (1.0f + clip.x) * 0.5f * viewport.width,
            static_cast<float>(viewport.y) + (1.0f - clip.y) * 0.5f * viewport.height,
            viewport.minZ + clip.z * (viewport.maxZ - viewport.minZ)};
}

Vec3 Unproject(const Vec3& v, const Viewport& viewport, const Matrix& projection,
               const Matrix& view, const Matrix& world)
{
    const std::optional<Matrix> inverse = Inverse(world * view * projection);
    if (!inverse)
        return {};
    const float depthRange = viewport.maxZ - viewport.minZ;
    const Vec3 clip{viewport.width != 0
                        ? (v.x - static_cast<float>(viewport.x)) * 2.0f / viewport.width - 1.0f
                        : 0.0f,
                    viewport.height != 0
                        ? 1.0f - (v.y - static_cast<float>(viewport.y)) * 2.0f / viewport.height
                        : 0.0f,
                    depthRange != 0.0f ? (v.z - viewport.minZ) / depthRange : 0.0f};
    return TransformCoord(clip, *inverse);
}

Quaternion Quaternion::RotationAxis(const Vec3& axis, float angle)
{
    const Vec3 n = Normalize(axis);
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f)
        return Identity();
    const float s = std::sin(angle * 0.5f);
    return {n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f)};
}

float Dot(const Quaternion& a, const Quaternion& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

Quaternion QuaternionMultiply(const Quaternion& first, const Quaternion& second)
{
    // Row vectors apply the left rotation first, so this is the Hamilton
    // product second · first.
    const Quaternion& a = second;
    const Quaternion& b = first;
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion Normalize(const Quaternion& q)
{
    const float length = std::sqrt(Dot(q, q));
    if (length == 0.0f)
        return {0.0f, 0.0f, 0.0f, 0.0f};
    const float k = 1.0f / length;
    return {q.x * k, q.y * k, q.z * k, q.w * k};
}

Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t)
{
    float cosine = Dot(a, b);
    float sign = 1.0f;
    if (cosine < 0.0f)
    {
        cosine = -cosine;
        sign = -1.0f;
    }
    float wa = 1.0f - t;
    float wb = t;
    // Nearly equal rotations: the linear blend is exact enough and avoids 0/0.
    if (cosine < 0.9999f)
    {
        const float angle = std::acos(cosine);
        const float inverseSine = 1.0f / std::sin(angle);
        wa = std::sin((1.0f - t) * angle) * inverseSine;
        wb = std::sin(t * angle) * inverseSine;
    }
    wb *= sign;
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

Plane Plane::FromPointNormal(const Vec3& point, const Vec3& normal)
{
    return {normal.x, normal.y, normal.z, -Dot(point, normal)};
}

float DotCoord(const Plane& plane, const Vec3& point)
{
    return plane.a * point.x + plane.b * point.y + plane.c * point.z + plane.d;
}

std::optional<Vec3> IntersectLine(const Plane& plane, const Vec3& p0, const Vec3& p1)
{
    const Vec3 direction = p1 - p0;
    const float along = plane.a * direction.x + plane.b * direction.y + plane.c * direction.z;
    if (along == 0.0f)
        return std::nullopt;
    const float t = -DotCoord(plane, p0) / along;
    return p0 + direction * t;
}

bool BoxBoundProbe(const Vec3& boxMin, const Vec3& boxMax, const Vec3& origin,
                   const Vec3& direction)
{
    // Slabs: the ray is inside all three between tNear and tFar.
    float tNear = 0.0f;
    float tFar = std::numeric_limits<float>::infinity();
    const float lows[3] = {boxMin.x, boxMin.y, boxMin.z};
    const float highs[3] = {boxMax.x, boxMax.y, boxMax.z};
    const float starts[3] = {origin.x, origin.y, origin.z};
    const float steps[3] = {direction.x, direction.y, direction.z};
    for (int axis = 0; axis < 3; ++axis)
    {
        if (steps[axis] == 0.0f)
        {
            if (starts[axis] < lows[axis] || starts[axis] > highs[axis])
                return false;
            continue;
        }
        float t0 = (lows[axis] - starts[axis]) / steps[axis];
        float t1 = (highs[axis] - starts[axis]) / steps[axis];
        if (t0 > t1)
            std::swap(t0, t1);
        tNear = std::max(tNear, t0);
        tFar = std::min(tFar, t1);
        if (tNear > tFar)
            return false;
    }
    return true;
}

} // namespace gfx
