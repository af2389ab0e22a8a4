#pragma once

// Where tests put what they write. Tests of one run go side by side, and two
// runs may share a machine and its temporary folder, so no name there is
// fixed: every one carries the process id and a count. The temporary folder
// is named here only.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>

namespace TestUtil
{

// A path in the temporary folder that no other process, and no other call
// of this one, is given. Nothing is made there.
inline std::filesystem::path ScratchPath(const std::string& stem,
                                         const std::string& extension = ".vard")
{
    static std::atomic<int> counter{0};
    return std::filesystem::temp_directory_path() /
           ("vard_" + stem + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++) +
            extension);
}

// A fresh folder at such a path, removed with everything in it at the end.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::string& stem) : m_Path(ScratchPath(stem, ""))
    {
        std::filesystem::create_directories(m_Path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_Path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_Path; }

private:
    std::filesystem::path m_Path;
};

// A home folder of its own while it lives: HOME points at a scratch folder
// and XDG_CONFIG_HOME is unset, so the documents folder, and the saved
// games in it, are made there and not in the home of whoever runs the test.
class ScratchHome
{
public:
    ScratchHome() : m_Folder("home")
    {
        if (const char* old = std::getenv("HOME"))
            m_OldHome = old;
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            m_OldConfig = old;
        setenv("HOME", m_Folder.Path().c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    ~ScratchHome()
    {
        if (m_OldHome)
            setenv("HOME", m_OldHome->c_str(), 1);
        else
            unsetenv("HOME");
        if (m_OldConfig)
            setenv("XDG_CONFIG_HOME", m_OldConfig->c_str(), 1);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    const std::filesystem::path& Path() const { return m_Folder.Path(); }

private:
    ScratchFolder m_Folder;
    std::optional<std::string> m_OldHome;
    std::optional<std::string> m_OldConfig;
};

} // namespace TestUtil
