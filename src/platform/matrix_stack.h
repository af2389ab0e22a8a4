#pragma once

#include "platform/gfx_math.h"

#include <vector>

namespace gfx
{

// A stack of matrices whose top is the current transform. "Local" forms
// multiply on the left, so they act on the object before everything already
// on the top; the plain forms act after it.
class MatrixStack
{
public:
    // One entry, the identity.
    MatrixStack();

    // Duplicates the top.
    void Push();
    // Removes the top; the last entry cannot be removed (gfx::Error).
    void Pop();
    const Matrix& Top() const { return m_Entries.back(); }
    std::size_t Depth() const { return m_Entries.size(); }

    void LoadIdentity();
    void LoadMatrix(const Matrix& m);
    // top = top × m
    void MultMatrix(const Matrix& m);
    // top = m × top
    void MultMatrixLocal(const Matrix& m);
    void Translate(float x, float y, float z);
    void TranslateLocal(float x, float y, float z);
    void Scale(float x, float y, float z);
    void ScaleLocal(float x, float y, float z);
    void RotateAxis(const Vec3& axis, float angle);
    void RotateAxisLocal(const Vec3& axis, float angle);

private:
    std::vector<Matrix> m_Entries;
};

} // namespace gfx
