#include "demo_assets.h"

namespace DemoAssets
{

std::vector<GeneratedFile> GenerateDemoAssets()
{
    std::vector<GeneratedFile> files;
    AddDemoFigures(files);
    AddDemoMeshes(files);
    AddDemoTextures(files);
    AddDemoGraphics(files);
    AddDemoEffects(files);
    AddDemoSceneAssets(files);
    AddDemoSounds(files);
    return files;
}

} // namespace DemoAssets
