#pragma once

// The shell tests' common start: the program on the fake machine, past its
// splash and start screen, playing a new game on the demo module.

#include "app_fakes.h"

#include "app/game_app.h"
#include "app/shell_dialogs.h"
#include "platform/keys.h"
#include "platform/messages.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/game.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <typeinfo>

namespace AppTest
{

// The main character made as the creation pages leave it, in the town.
inline void EnterNewGame(CGameApp& app)
{
    ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
    app.engine->EnterArea();
    app.gameLoaded = 1;
}

// Runs the program on the module, closes the splash with a key and the start
// screen with ESC (the game's own start screen waits for a choice, and is
// closed without one), and enters a new game. Call it through
// ASSERT_NO_FATAL_FAILURE.
inline void StartDemoGame(CGameApp& app, CAppPlatform& machine,
                          const std::string& module = VARD_DEMO_MODULE)
{
    ASSERT_EQ(app.Run(machine, module), -1);
    app.HandleMessage(KeyDown('K'));
    app.HandleMessage(KeyDown(platform::vk::kEscape));
    const CDialogFactory& factory = *app.dialogFactory;
    if (typeid(factory) != typeid(CPlainDialogFactory))
        app.CloseDialog();
    ASSERT_EQ(app.currentDialog, nullptr);
    EnterNewGame(app);
}

// Bandits of those names join the party near the town's start.
inline void AddBandits(CGameApp& app, std::initializer_list<const char*> names)
{
    VARD::CGame& game = app.engine->Game();
    for (const char* name : names)
    {
        const auto member = VARD::CreateActorFromTemplate("bandit", "", app.engine->Module(), game);
        member->SetName(name);
        ASSERT_TRUE(game.GetCurrentArea()->FindFreeSpotNear(11, 15, true, member));
        game.AddPartyMember(member);
    }
}

// Two bandits, Ann and Bob.
inline void AddTwoBandits(CGameApp& app)
{
    AddBandits(app, {"Ann", "Bob"});
}

} // namespace AppTest
