// The developer console's commands against the running game.

#include "app/game_app.h"

#include "common/exception.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/game.h"

#include <sstream>

namespace
{

void RunCommand(CGameApp& app, std::istringstream& line, const std::string& command)
{
    VARD::CEngine& engine = *app.engine;
    if (command == "item")
    {
        std::string name;
        if (!(line >> name))
            return;
        std::uint32_t count = 1;
        if (!(line >> count))
            count = 1;
        engine.WizardCreateItem(name, count);
    }
    else if (command == "skill")
    {
        std::uint32_t member = 0;
        std::string key;
        if (!(line >> member >> key))
            return;
        const auto party = engine.Game().GetParty();
        if (member >= party.size())
            return;
        engine.WizardSetSkill(*party[member], key, 1);
    }
    else if (command == "heal")
        engine.WizardHeal();
    else if (command == "exp")
    {
        std::uint32_t amount = 0;
        if (!(line >> amount))
            return;
        engine.Game().ShareExperience(amount);
        engine.RefreshPartyMembers();
    }
    else if (command == "cash")
    {
        std::int32_t amount = 0;
        if (!(line >> amount))
            return;
        // Never below 0, and never past the top either.
        engine.Game().AddGold(amount);
    }
    else if (command == "move")
    {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        if (!(line >> x >> y))
            return;
        engine.WizardMoveParty(x, y);
    }
    else if (command == "traceon" || command == "tracelow" || command == "traceoff")
    {
        // The channel is named, but there is no trace output to switch.
        std::string channel;
        line >> channel;
    }
    else if (command == "tag")
    {
        std::string tag;
        if (!(line >> tag))
            return;
        engine.CompleteQuest(tag, 1);
    }
    else if (command == "wmsize")
    {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        if (!(line >> width >> height))
            return;
        app.window->SetPosition(0, 0);
        app.window->SetClientSize(static_cast<int>(width), static_cast<int>(height));
        app.window->Invalidate();
    }
}

} // namespace

void CGameApp::RunWizardCommand(const std::string& text)
{
    std::istringstream line(text);
    std::string command;
    if (!(line >> command) || !engine)
        return;
    try
    {
        RunCommand(*this, line, command);
    }
    catch (const CVARDException& error)
    {
        // A developer's typing mistake is no reason to end the game.
        LogMessage("Wizard: " + error.Describe());
        RequestRedraw();
    }
}
