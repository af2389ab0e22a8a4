#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace DemoAssets
{

// One file of the demo module, by its path below the module folder.
struct GeneratedFile
{
    std::string path;
    std::vector<std::uint8_t> bytes;
};

// Every mesh, texture, figure and sound of the demo module, in a fixed order; the
// same program always gives the same bytes.
std::vector<GeneratedFile> GenerateDemoAssets();

// The parts, each appending its files.
void AddDemoFigures(std::vector<GeneratedFile>& files);
void AddDemoMeshes(std::vector<GeneratedFile>& files);
void AddDemoTextures(std::vector<GeneratedFile>& files);
void AddDemoGraphics(std::vector<GeneratedFile>& files);
void AddDemoEffects(std::vector<GeneratedFile>& files);
void AddDemoSceneAssets(std::vector<GeneratedFile>& files);
void AddDemoSounds(std::vector<GeneratedFile>& files);

inline GeneratedFile TextFile(std::string path, const std::string& text)
{
    return {std::move(path), std::vector<std::uint8_t>(text.begin(), text.end())};
}

} // namespace DemoAssets
