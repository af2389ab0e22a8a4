#pragma once

#include "common/data_file.h"
#include "platform/image.h"
#include "test_util.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

// A module folder of the test's own, written file by file.
class ScratchModule
{
public:
    ScratchModule() : m_Root(TestUtil::ScratchPath("module"))
    {
        for (std::uint32_t kind = 1; kind < VARDCommon::kDataKindCount; ++kind)
            for (std::uint32_t sub = 0; sub < VARDCommon::kDataSubKindCount; ++sub)
                std::filesystem::create_directories(
                    VARDCommon::BuildDataFilePath(kind, m_Root, sub));
        factory = std::make_unique<VARDCommon::CDataFileFactoryPath>(m_Root);
    }
    ~ScratchModule() { std::filesystem::remove_all(m_Root); }

    void Write(std::uint32_t kind, std::uint32_t subKind, const std::string& name,
               const std::string& bytes)
    {
        std::ofstream(VARDCommon::BuildDataFilePath(kind, m_Root, subKind) / name, std::ios::binary)
            << bytes;
    }

    // An image of rows of 0xRRGGBBAA texels, top row first.
    void WriteTexture(std::uint32_t kind, const std::string& name, std::uint32_t width,
                      std::uint32_t height, std::initializer_list<std::uint32_t> rgba)
    {
        gfx::Image image;
        image.width = width;
        image.height = height;
        for (std::uint32_t c : rgba)
            image.pixels.insert(image.pixels.end(),
                                {static_cast<std::uint8_t>(c >> 24),
                                 static_cast<std::uint8_t>(c >> 16),
                                 static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
        const std::vector<std::uint8_t> png = gfx::EncodePng(image);
        Write(kind, VARDCommon::kDataSubKindTex, name, std::string(png.begin(), png.end()));
    }

    std::unique_ptr<VARDCommon::CDataFileFactoryPath> factory;

private:
    std::filesystem::path m_Root;
};
