#pragma once

// Helpers shared by every test suite: readers over text, the code and detail
// of a thrown CVARDException, and the exact text a writer produces.

#include "common/exception.h"
#include "common/tag_file.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include <csignal>

namespace TestUtil
{

inline VARDCommon::CTagFileReader ReaderOf(const std::string& text,
                                           const std::string& sourceName = "test")
{
    return VARDCommon::CTagFileReader(std::make_shared<std::istringstream>(text), sourceName);
}

// The code of the CVARDException the call throws, or -1 when it throws none.
inline int CodeOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CVARDException& e)
    {
        return e.GetCode();
    }
    return -1;
}

// The detail text of the CVARDException the call throws, empty when none.
inline std::string DetailOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CVARDException& e)
    {
        return e.GetDetail();
    }
    return {};
}

inline std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::filesystem::path FixturePath(const std::string& folder, const std::string& name)
{
    return std::filesystem::path(VARD_TEST_DATA) / folder / name;
}

// The exact text that the writer produces for what the call writes.
inline std::string WrittenText(const std::function<void(VARDCommon::CTagFileWriter&)>& write)
{
    const std::filesystem::path path = ScratchPath("written");
    {
        VARDCommon::CTagFileWriter writer(path);
        write(writer);
        writer.Close();
    }
    std::string text = FileText(path);
    std::filesystem::remove(path);
    return text;
}

// As above; the name is kept for callers that give one.
inline std::string WrittenText(const std::string& /*fileName*/,
                               const std::function<void(VARDCommon::CTagFileWriter&)>& write)
{
    return WrittenText(write);
}

// While it lives, no file of this process may grow past the limit: writes
// beyond it fail as on a full disk, whoever runs the test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        // The signal keeps its default: a writer must not be killed by it.
        getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit limit = m_Old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_Old); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_Old{};
};

// Each line of the text, without its line end.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The names in the folder, sorted: what a failed write must not leave behind.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace TestUtil
