#include "platform/matrix_stack.h"

#include "platform/gfx_error.h"

namespace gfx
{

MatrixStack::MatrixStack() : m_Entries{Matrix::Identity()} {}

void MatrixStack::Push()
{
    m_Entries.push_back(m_Entries.back());
}

void MatrixStack::Pop()
{
    if (m_Entries.size() == 1)
        throw Error("matrix stack: pop of the last entry");
    m_Entries.pop_back();
}

void MatrixStack::LoadIdentity()
{
    m_Entries.back() = Matrix::Identity();
}

void MatrixStack::LoadMatrix(const Matrix& m)
{
    m_Entries.back() = m;
}

void MatrixStack::MultMatrix(const Matrix& m)
{
    m_Entries.back() = m_Entries.back() * m;
}

void MatrixStack::MultMatrixLocal(const Matrix& m)
{
    m_Entries.back() = m * m_Entries.back();
}

void MatrixStack::Translate(float x, float y, float z)
{
    MultMatrix(Matrix::Translation(x, y, z));
}

void MatrixStack::TranslateLocal(float x, float y, float z)
{
    MultMatrixLocal(Matrix::Translation(x, y, z));
}

void MatrixStack::Scale(float x, float y, float z)
{
    MultMatrix(Matrix::Scaling(x, y, z));
}

void MatrixStack::ScaleLocal(float x, float y, float z)
{
    MultMatrixLocal(Matrix::Scaling(x, y, z));
}

void MatrixStack::RotateAxis(const Vec3& axis, float angle)
{
    MultMatrix(Matrix::RotationAxis(axis, angle));
}

void MatrixStack::RotateAxisLocal(const Vec3& axis, float angle)
{
    MultMatrixLocal(Matrix::RotationAxis(axis, angle));
}

} // namespace gfx
