#include "common/exception.h"
#include "common/random.h"
#include "rules/engine.h"
#include "scratch_files.h"
#include "world/actor.h"
#include "world/game.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

// Any saved-game file must load or fail with a CVARDException; a failed load
// leaves the running game as it was. The demo module loads once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto engine = []
    {
        auto made = std::make_unique<VARD::CEngine>();
        made->LoadModule(VARD_DEMO_MODULE);
        // A game runs already, as when the player loads from the game menu.
        const auto hero = made->NewGame();
        hero->SetName("Hero");
        made->SetMainCharacter(hero);
        return made;
    }();
    static const std::string path = TestUtil::ScratchPath("rules_save_fuzz", ".sav").string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    SeedRandom(5489u);
    try
    {
        engine->LoadGame(path);
    }
    catch (const CVARDException&)
    {
    }
    while (engine->Game().PopEvent())
    {
    }
    return 0;
}
