#include "platform/folders.h"

#include "platform/platform_error.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace platform
{

namespace
{

std::filesystem::path HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
    {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] != '\0')
    {
        return entry->pw_dir;
    }
    throw Error("the user has no home folder");
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a quoted path that is
// either absolute or starts with $HOME.
std::optional<std::filesystem::path> XdgDocumentsFolder(const std::filesystem::path& home)
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path config =
        configHome != nullptr && configHome[0] == '/' ? configHome : home / ".config";
    std::ifstream in(config / "user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    std::string line;
    std::optional<std::filesystem::path> found;
    while (std::getline(in, line))
    {
        if (line.compare(0, key.size(), key) != 0 || line.size() < key.size() + 1 ||
            line.back() != '"')
        {
            continue;
        }
        const std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
        {
            const std::string rest = value.size() > 6 ? value.substr(6) : std::string();
            found = rest.empty() ? home : home / rest;
        }
        else if (!value.empty() && value[0] == '/')
        {
            found = std::filesystem::path(value);
        }
    }
    return found;
}

} // namespace

std::filesystem::path DocumentsFolder()
{
    const std::filesystem::path home = HomeFolder();
    if (auto xdg = XdgDocumentsFolder(home))
    {
        return *xdg;
    }
    return home / "Documents";
}

void CreateFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder))
    {
        throw Error("cannot create the folder \"" + folder.string() + "\"" +
                    (error ? ": " + error.message() : std::string()));
    }
}

std::filesystem::path ExecutableFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
    {
        throw Error("cannot find the program's folder: " + error.message());
    }
    return program.parent_path();
}

} // namespace platform
