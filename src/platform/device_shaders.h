#pragma once

// The shader pair that stands in for the fixed-function pipeline: per-vertex
// lighting with up to eight lights, a material, global ambient, the texture-0
// transform, and texture stage 0 modulating the lit colour. Both go after
// kVersion and the defines of a variant.
namespace gfx::shaders
{

inline constexpr const char* kVersion = "#version 330 core\n";

inline constexpr const char* kVertex = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
layout(location = 3) in vec4 aColour;
// An instanced draw's copies: each its world-view matrix and normal matrix,
// by columns.
layout(location = 4) in vec4 aWorldView0;
layout(location = 5) in vec4 aWorldView1;
layout(location = 6) in vec4 aWorldView2;
layout(location = 7) in vec4 aWorldView3;
layout(location = 8) in vec3 aNormalMatrix0;
layout(location = 9) in vec3 aNormalMatrix1;
layout(location = 10) in vec3 aNormalMatrix2;

uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform bool uInstanced;
uniform bool uLighting;
uniform bool uVertexColour;
uniform bool uNormalize;
uniform bool uSpecular;
uniform vec4 uAmbient;
uniform vec4 uMatDiffuse;
uniform vec4 uMatAmbient;
uniform vec4 uMatSpecular;
uniform vec4 uMatEmissive;
uniform float uMatPower;
uniform int uLightCount;
uniform int uLightType[8];
uniform vec3 uLightPosition[8];
uniform vec3 uLightDirection[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];
uniform float uLightRange[8];
uniform vec3 uLightAttenuation[8];
uniform bool uTextureTransform;
uniform mat4 uTextureMatrix;

out vec4 vColour;
out vec3 vSpecular;
out vec2 vUv;

void main()
{
    mat4 worldView = uInstanced ? mat4(aWorldView0, aWorldView1, aWorldView2, aWorldView3)
                                : uWorldView;
    vec4 viewPosition = worldView * vec4(aPosition, 1.0);
    gl_Position = uProjection * viewPosition;
    // Two-component coordinates enter the texture transform as (u, v, 1, 0),
    // so its third row carries the translation.
    vUv = uTextureTransform ? (uTextureMatrix * vec4(aUv, 1.0, 0.0)).xy : aUv;
    vSpecular = vec3(0.0);
    if (uVertexColour)
    {
        vColour = aColour;
        return;
    }
    if (!uLighting)
    {
        vColour = vec4(1.0);
        return;
    }
    mat3 normalMatrix =
        uInstanced ? mat3(aNormalMatrix0, aNormalMatrix1, aNormalMatrix2) : uNormalMatrix;
    vec3 n = normalMatrix * aNormal;
    if (uNormalize)
        n = normalize(n);
    vec3 p = viewPosition.xyz;
    vec3 diffuse = vec3(0.0);
    vec3 ambient = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < uLightCount; ++i)
    {
        vec3 l;
        float attenuation = 1.0;
        if (uLightType[i] == 0)
        {
            vec3 toLight = uLightPosition[i] - p;
            float d = length(toLight);
            if (d > uLightRange[i])
                continue;
            l = d > 0.0 ? toLight / d : vec3(0.0);
            vec3 a = uLightAttenuation[i];
            float denominator = a.x + a.y * d + a.z * d * d;
            attenuation = denominator > 0.0 ? 1.0 / denominator : 1.0;
        }
        else
        {
            l = normalize(-uLightDirection[i]);
        }
        float nl = max(dot(n, l), 0.0);
        diffuse += attenuation * nl * uLightDiffuse[i].rgb;
        ambient += attenuation * uLightAmbient[i].rgb;
        if (uSpecular && nl > 0.0)
        {
            vec3 h = normalize(l - normalize(p));
            specular += attenuation * pow(max(dot(n, h), 0.0), uMatPower) * uLightSpecular[i].rgb;
        }
    }
    vec3 lit = uMatEmissive.rgb + uAmbient.rgb * uMatAmbient.rgb + diffuse * uMatDiffuse.rgb +
               ambient * uMatAmbient.rgb;
    vColour = vec4(clamp(lit, 0.0, 1.0), clamp(uMatDiffuse.a, 0.0, 1.0));
    vSpecular = clamp(specular * uMatSpecular.rgb, 0.0, 1.0);
}
)";

// Variants: CONSTANT_TEXEL takes the texel from a uniform (no texture, or
// one of a single texel, reads the same everywhere); UNLIT leaves out the
// vertex colour, which is white without lighting and without colours of the
// vertices; ALPHA_TEST alone may discard, since a shader that can discard is
// shaded before its depth is known.
inline constexpr const char* kFragment = R"(
in vec4 vColour;
in vec3 vSpecular;
in vec2 vUv;

#ifdef CONSTANT_TEXEL
uniform vec4 uTexel;
#else
uniform sampler2D uTexture;
#endif
uniform bool uModulateAlpha;
uniform float uAlphaRef;

out vec4 fragColour;

void main()
{
#ifdef CONSTANT_TEXEL
    vec4 texel = uTexel;
#else
    vec4 texel = texture(uTexture, vUv);
#endif
#ifdef UNLIT
    vec4 colour = texel;
#else
    vec4 colour;
    colour.rgb = texel.rgb * vColour.rgb + vSpecular;
    colour.a = uModulateAlpha ? texel.a * vColour.a : texel.a;
#endif
#ifdef ALPHA_TEST
    if (!(colour.a > uAlphaRef))
        discard;
#endif
    fragColour = colour;
}
)";

} // namespace gfx::shaders
