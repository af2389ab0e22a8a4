#include "asset_mesh.h"
#include "asset_texture.h"
#include "demo_assets.h"

#include <algorithm>
#include <cmath>

namespace DemoAssets
{

// The disc the scene lays under every actor: radius 0.5 on the ground, so a
// scale of twice the actor's radius covers it, and a soft dark texture whose
// alpha fades toward the rim.
void AddDemoSceneAssets(std::vector<GeneratedFile>& files)
{
    MeshBuilder disc("shadow");
    disc.Disc(16, 0.5, 0.0, true, {0.0, 0.0, 1.0, 1.0});
    files.push_back(TextFile("actor/mod/d_shadow.x", disc.XText("x_shadow.png")));

    constexpr std::uint32_t kSide = 64;
    Painter painter(kSide, kSide, 907);
    for (std::uint32_t y = 0; y < kSide; ++y)
        for (std::uint32_t x = 0; x < kSide; ++x)
        {
            const double dx = (x + 0.5) / kSide - 0.5;
            const double dy = (y + 0.5) / kSide - 0.5;
            const double rim = std::clamp(1.0 - std::sqrt(dx * dx + dy * dy) * 2.0, 0.0, 1.0);
            // Alpha in steps of 16 so the file packs well.
            const int alpha = static_cast<int>(std::lround(rim * 160.0 / 16.0)) * 16;
            painter.Set(x, y, {0, 0, 0}, alpha);
        }
    files.push_back({"actor/tex/x_shadow.png", painter.Png()});
}

} // namespace DemoAssets
