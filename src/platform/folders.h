#pragma once

#include <filesystem>

namespace platform
{

// The user's documents folder: the XDG documents folder named in
// user-dirs.dirs under $XDG_CONFIG_HOME (else ~/.config), else ~/Documents.
// The home folder is $HOME, else the user's entry in the password database.
// Throws platform::Error when there is no home folder.
std::filesystem::path DocumentsFolder();

// Creates the folder and any missing parents; an existing folder is fine.
// Throws platform::Error when it cannot be made or a file is in the way.
void CreateFolder(const std::filesystem::path& folder);

// The folder of the running program, from /proc/self/exe. Throws
// platform::Error when it cannot be read.
std::filesystem::path ExecutableFolder();

} // namespace platform
