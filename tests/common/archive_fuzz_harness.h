#pragma once

// What the archive fuzz target does with one input; the regression tests
// replay the inputs it found through the same function.

#include "common/data_file.h"
#include "common/tag_file.h"
#include "scratch_files.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace FuzzHarness
{

// The input as a packed archive file: its directory, every entry read whole
// and as a stream, and the stream's words.
inline void ReadWholeArchive(const std::uint8_t* data, std::size_t size)
{
    // The factory opens the archive by path, so the input goes to a file.
    static const std::filesystem::path path = TestUtil::ScratchPath("archive_fuzz");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    struct Remove
    {
        ~Remove()
        {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    } remove;

    VARDCommon::CDataFileFactoryPacked factory(path);
    for (const auto& entry : factory.GetEntries())
    {
        VARDCommon::CTagFileReader reader(factory, entry.kind, entry.subKind, entry.name);
        while (!reader.IsAtEnd())
            reader.NextToken();
        factory.ReadAll(entry.kind, entry.subKind, entry.name);
    }
}

} // namespace FuzzHarness
