// The game's entry: the whole command line is the module's path.

#include "app/app_platform.h"
#include "app/game_app.h"
#include "dialogs/game_dialog_factory.h"

#include <memory>
#include <string>

namespace
{

// The machine outlives the application object, whose window keeps its clock.
CSystemAppPlatform theMachine;
CGameApp theApp;

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
    theApp.dialogFactory = std::make_unique<CGameDialogFactory>();
    return theApp.Run(theMachine, CommandLine(argc, argv));
}
