#pragma once

namespace gfx
{

// A colour with components 0..1 (lighting may take them beyond).
struct ColorValue
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

inline bool operator==(const ColorValue& x, const ColorValue& y)
{
    return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a;
}

// The lighting material of a draw: how a surface answers the lights.
struct Material
{
    ColorValue diffuse;
    ColorValue ambient;
    ColorValue specular;
    ColorValue emissive;
    float power = 0.0f;
};

} // namespace gfx
