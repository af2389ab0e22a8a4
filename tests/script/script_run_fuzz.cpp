#include "common/exception.h"
#include "common/random.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/script_record.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace
{

struct DemoGame
{
    std::unique_ptr<VARD::CEngine> engine = std::make_unique<VARD::CEngine>();
    std::shared_ptr<VARD::CActor> hero;
    VARD::CActor* partner = nullptr;

    DemoGame()
    {
        VARD::InstallLuaScriptHost();
        engine->LoadModule(VARD_DEMO_MODULE);
        SeedRandom(5489u);
        hero = engine->NewGame();
        hero->SetName("Hero");
        engine->SetMainCharacter(hero);
        engine->EnterArea();
        for (const auto& actor : engine->Game().GetCurrentArea()->Actors())
            if (actor->GetTemplateName() == "merchant")
                partner = actor.get();
    }
};

} // namespace

// Any script body, run as a talk state of the demo's merchant with the
// sandbox on, must finish or fail with a CVARDException: no crash, no hang
// past the instruction budget, no allocation past the memory limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static DemoGame demo;
    VARD::CLuaScript script("function vard_script( context )\n" +
                            std::string(reinterpret_cast<const char*>(data), size) + "\nend\n");
    VARD::CScriptContext context;
    context.actor = demo.hero.get();
    context.target = demo.partner;
    try
    {
        script.Run(demo.engine.get(), context);
    }
    catch (const CVARDException&)
    {
    }
    while (demo.engine->Game().PopEvent())
    {
    }
    return 0;
}
