#pragma once

// A headless game on the demo module, and what its event list holds.

#include "common/random.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/module.h"
#include "world/world_object.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace RulesTest
{

// A new game on the demo module whose main character is readied as the
// creation pages leave it; the party has not entered the start area yet.
inline std::unique_ptr<VARD::CEngine> NewDemoGame(std::uint32_t seed = 1)
{
    auto engine = std::make_unique<VARD::CEngine>();
    engine->LoadModule(VARD_DEMO_MODULE);
    SeedRandom(seed);
    const auto actor = engine->NewGame();
    actor->SetName("Hero");
    actor->SetGraphicName("human_male");
    engine->SetMainCharacter(actor);
    return engine;
}

// Every message line posted since the last drain, as "KIND TEXT".
inline std::vector<std::string> DrainMessages(VARD::CGame& game)
{
    std::vector<std::string> lines;
    while (const auto event = game.PopEvent())
    {
        if (const auto* message = dynamic_cast<const VARD::CMessageEvent*>(event.get()))
            lines.push_back(std::to_string(message->GetKind()) + ' ' + message->GetText());
    }
    return lines;
}

// Whether the line is one of the lines.
inline bool Holds(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

inline VARD::CActor& Member(VARD::CEngine& engine, std::size_t index = 0)
{
    return *engine.Game().Party().at(index);
}

// The object of that instance name in the area, or null.
inline VARD::CObject* FindObject(const VARD::CArea& area, const std::string& instanceName)
{
    for (const auto& object : area.Objects())
        if (object->GetInstanceName() == instanceName)
            return object.get();
    return nullptr;
}

} // namespace RulesTest
