#include "platform/x_file_zip.h"

#include "platform/gfx_error.h"

#include <zlib.h>

#include <string>

namespace gfx::xfile
{

namespace
{

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kBlockHeaderSize = 4;
// A deflate window is 32 KB, so no writer makes larger blocks; the dictionary
// of the next block could not hold more anyway.
constexpr std::size_t kMaxBlockSize = 32768;
// Far beyond any mesh, yet small enough that a forged size cannot make the
// reader try to hold gigabytes.
constexpr std::size_t kMaxInflatedSize = std::size_t{256} << 20;

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// One raw-deflate stream, reset for every block.
class Inflater
{
public:
    Inflater()
    {
        if (inflateInit2(&m_Stream, -MAX_WBITS) != Z_OK)
            throw Error("mesh file: cannot start inflating");
    }
    ~Inflater() { inflateEnd(&m_Stream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Inflates one block into out (sized one past what the block claims, so
    // that a block holding more shows); gives zlib's verdict.
    int Block(std::span<const std::uint8_t> in, std::span<const std::uint8_t> dictionary,
              std::span<std::uint8_t> out, std::size_t& produced)
    {
        inflateReset(&m_Stream);
        if (!dictionary.empty() &&
            inflateSetDictionary(&m_Stream, dictionary.data(),
                                 static_cast<uInt>(dictionary.size())) != Z_OK)
            return Z_DATA_ERROR;
        m_Stream.next_in = const_cast<Bytef*>(in.data());
        m_Stream.avail_in = static_cast<uInt>(in.size());
        m_Stream.next_out = out.data();
        m_Stream.avail_out = static_cast<uInt>(out.size());
        const int result = inflate(&m_Stream, Z_FINISH);
        produced = out.size() - m_Stream.avail_out;
        return result;
    }

private:
    z_stream m_Stream{};
};

} // namespace

std::vector<std::uint8_t> InflateXBody(std::span<const std::uint8_t> afterHeader)
{
    const auto at = [](std::size_t offset)
    { return "at byte " + std::to_string(kHeaderSize + offset); };
    if (afterHeader.size() < 4)
        throw Error("mesh file: compressed file ends before its size " + at(0));
    const std::uint32_t total = static_cast<std::uint32_t>(
        ReadU16(afterHeader, 0) | (static_cast<std::uint32_t>(ReadU16(afterHeader, 2)) << 16));
    if (total < kHeaderSize || total - kHeaderSize > kMaxInflatedSize)
        throw Error("mesh file: compressed file claims " + std::to_string(total) +
                    " bytes inflated " + at(0));
    const std::size_t expected = total - kHeaderSize;

    std::vector<std::uint8_t> body;
    Inflater inflater;
    std::size_t pos = 4;
    std::size_t previousStart = 0;
    for (int block = 1; pos < afterHeader.size(); ++block)
    {
        const std::string where = "in block " + std::to_string(block) + " " + at(pos);
        if (afterHeader.size() - pos < kBlockHeaderSize + 2)
            throw Error("mesh file: compressed block header cut short " + where);
        const std::size_t size = ReadU16(afterHeader, pos);
        const std::size_t packed = ReadU16(afterHeader, pos + 2);
        if (size == 0 || size > kMaxBlockSize)
            throw Error("mesh file: compressed block claims " + std::to_string(size) + " bytes " +
                        where);
        if (size > expected - body.size())
            throw Error("mesh file: compressed blocks hold more than the " +
                        std::to_string(expected) + " bytes the file claims " + where);
        if (packed < 2 || packed > afterHeader.size() - pos - kBlockHeaderSize)
            throw Error("mesh file: compressed block of " + std::to_string(packed) +
                        " bytes runs past the end of the file " + where);
        if (afterHeader[pos + 4] != 'C' || afterHeader[pos + 5] != 'K')
            throw Error("mesh file: compressed block does not start with \"CK\" " + where);

        const std::size_t start = body.size();
        body.resize(start + size + 1);
        const std::span<const std::uint8_t> in = afterHeader.subspan(pos + 6, packed - 2);
        const std::span<const std::uint8_t> dictionary(body.data() + previousStart,
                                                       start - previousStart);
        std::size_t produced = 0;
        const int result = inflater.Block(in, dictionary, std::span(body).subspan(start), produced);
        if (result == Z_BUF_ERROR && produced <= size)
            throw Error("mesh file: compressed block is cut short " + where);
        if (result != Z_STREAM_END && result != Z_BUF_ERROR)
            throw Error("mesh file: damaged compressed data " + where);
        if (produced > size)
            throw Error("mesh file: compressed block inflates to more than the " +
                        std::to_string(size) + " bytes it claims " + where);
        if (produced < size)
            throw Error("mesh file: compressed block inflates to " + std::to_string(produced) +
                        " bytes, not the " + std::to_string(size) + " it claims " + where);
        body.resize(start + size);
        previousStart = start;
        pos += kBlockHeaderSize + packed;
    }
    if (body.size() != expected)
        throw Error("mesh file: compressed file claims " + std::to_string(expected) +
                    " bytes after its header but its blocks hold " + std::to_string(body.size()) +
                    " " + at(pos));
    return body;
}

} // namespace gfx::xfile
