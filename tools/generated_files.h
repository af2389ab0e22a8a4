#pragma once

// The command line shared by the generators of committed files:
// "TOOL FOLDER" writes them into FOLDER, "TOOL --check FOLDER" tells on
// standard error which of them FOLDER does not hold byte for byte.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace GeneratedFiles
{

struct Command
{
    bool check = false;
    std::filesystem::path root;
};

// A made file: its path under the folder and its bytes, which the caller owns.
struct FileView
{
    std::string path;
    const std::vector<std::uint8_t>* bytes = nullptr;
};

// The command, or the exit code once the usage of `tool` is printed, asked
// for or on a bad command line; `made` tells in lines what FOLDER receives.
std::variant<Command, int> ParseCommand(int argc, char** argv, const std::string& tool,
                                        const std::string& made);

// Writes the files, making folders as needed, or checks them; the number of
// files that differ, or nothing once a file could not be written (reported).
std::optional<int> WriteOrCheck(const Command& command, const std::vector<FileView>& files);

} // namespace GeneratedFiles
