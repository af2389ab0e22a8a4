// The game's entry: the whole command line is the module's path.

#include "app/app_platform.h"
#include "app/game_app.h"
#include "common/program_usage.h"
#include "dialogs/game_dialog_factory.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace
{

// The machine outlives the application object, whose window keeps its clock.
CSystemAppPlatform theMachine;
CGameApp theApp;

const VARDCommon::ProgramUsage kUsage{
    "vard",
    "usage: vard [PATH]\n"
    "\n"
    "Plays the module at PATH, a module folder or a packed archive; without PATH,\n"
    "module.vard beside the program. The whole command line is the path, blanks\n"
    "and all; a path that begins with \"-\" is given as ./-name.\n",
    {},
    {}};

// The arguments joined by single blanks, as the one command line they were
// split from.
std::string CommandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i)
    {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    // Only a command line that begins with "-" is an option, so only the first
    // argument is looked at: the rest of a path may hold anything. No window
    // opens before this.
    if (const std::optional<int> answered =
            VARDCommon::AnswerUsageOptions(std::min(argc, 2), argv, kUsage))
        return *answered;
    theApp.dialogFactory = std::make_unique<CGameDialogFactory>();
    return theApp.Run(theMachine, CommandLine(argc, argv));
}
