#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform
{

class Desktop;

// What the file chooser asks for.
struct FileChoice
{
    // Save: a new name may be given and an existing file is replaced only
    // after the user confirms. Open: the file must exist.
    bool save = false;
    std::string initialFolder;
    // Appended (after a dot) to a name given without an extension; may be empty.
    std::string defaultExtension;
};

// How a child process ended.
struct ChildResult
{
    bool started = false; // false: the program could not be run (not installed)
    int exitCode = -1;    // the exit status, -1 when it ended by a signal
    std::string output;   // all it wrote to its standard output
};

// Runs a program (found on PATH) with these arguments, argv[0] first, without
// a shell, and waits for it. The program is killed if this process ends first.
using ChildRunner = std::function<ChildResult(const std::vector<std::string>& argv)>;
ChildResult RunChild(const std::vector<std::string>& argv);

// zenity's command line for the choice, starting at `startPath` (a folder
// ending in '/', or a file).
std::vector<std::string> ZenityFileCommand(const FileChoice& choice, const std::string& startPath);

// The chooser through zenity. Cancel, a closed chooser and a failing zenity
// give nothing; a missing zenity is reported in a message box through
// `messages` and gives nothing.
std::optional<std::string> ChooseFileWithZenity(const FileChoice& choice, const ChildRunner& runner,
                                                Desktop& messages);

// The texts of the chooser's own message boxes.
extern const char* const kFileChooserCaption;
extern const char* const kZenityMissingText;

} // namespace platform
