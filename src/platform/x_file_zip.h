#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The compressed forms of a mesh file (.x). Internal to the platform.
namespace gfx::xfile
{

// Inflates what follows the 16-byte header of a "tzip" or "bzip" file: a
// 32-bit size of the whole inflated file (header included), then blocks of a
// 16-bit inflated size, a 16-bit compressed size counting the "CK" that
// starts the block, and raw deflate data whose dictionary is the previous
// block's output. Gives the inflated bytes after the header. Throws
// gfx::Error, naming the byte of the file, for a damaged stream or sizes that
// disagree; never sizes anything by a claim it has not checked.
std::vector<std::uint8_t> InflateXBody(std::span<const std::uint8_t> afterHeader);

} // namespace gfx::xfile
