// Renders one frame of a game to a PNG without a display: a new game (or a
// saved one), optionally after some ticks, seen by the game screen's camera
// looking at the party. Tests use it, and so can anyone reporting a drawing
// fault.

#include "tool_support.h"

#include "app/game_view.h"

#include "common/exception.h"
#include "common/program_usage.h"
#include "common/random.h"
#include "graphics/scene_renderer.h"
#include "platform/device.h"
#include "platform/gfx_error.h"
#include "platform/gl_context.h"
#include "platform/heap.h"
#include "platform/image.h"
#include "rules/character_creation.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect_params.h"
#include "world/game.h"
#include "world/module.h"
#include "world/rule_tables.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

const VARDCommon::ProgramUsage kUsage{
    "vardshot",
    "usage: vardshot --module PATH [--load FILE] [--ticks N] [--seed N] --out FILE.png\n"
    "                [--size WxH]\n"
    "\n"
    "Draws one frame of the module's game (a new game, or a saved one with --load)\n"
    "after N ticks (default 0) into a PNG, on an off-screen context: no display is\n"
    "needed. The camera is the game screen's, looking at the party, all selected.\n"
    "Party members without colours of their own (as vardsim makes them) get the\n"
    "creation page's first colours.\n"
    "  --size WxH   picture size in pixels (default 1024x768)\n"
    "  --seed N     seed of the random generator (default 1)\n",
    {},
    {"--module", "--load", "--out", "--ticks", "--seed", "--size"}};

using ToolSupport::UsageError;

struct Options
{
    std::string module;
    std::string load;
    std::string out;
    std::uint32_t ticks = 0;
    std::uint32_t seed = 1;
    std::uint32_t width = 1024;
    std::uint32_t height = 768;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string flag = argv[i];
        if (std::find(kUsage.valued.begin(), kUsage.valued.end(), flag) == kUsage.valued.end())
            throw UsageError{"unexpected argument \"" + flag + "\""};
        if (i + 1 >= argc)
            throw UsageError{flag + " needs a value"};
        const std::string value = argv[++i];
        if (flag == "--module")
            options.module = value;
        else if (flag == "--load")
            options.load = value;
        else if (flag == "--out")
            options.out = value;
        else if (flag == "--ticks")
            options.ticks = ToolSupport::ParseWholeNumber(value, flag);
        else if (flag == "--seed")
            options.seed = ToolSupport::ParseWholeNumber(value, flag);
        else if (flag == "--size")
        {
            const std::size_t x = value.find('x');
            if (x == std::string::npos)
                throw UsageError{"--size is WxH, not \"" + value + "\""};
            options.width = ToolSupport::ParseWholeNumber(value.substr(0, x), flag);
            options.height = ToolSupport::ParseWholeNumber(value.substr(x + 1), flag);
            if (options.width == 0 || options.height == 0 || options.width > 8192 ||
                options.height > 8192)
                throw UsageError{"--size must lie between 1x1 and 8192x8192"};
        }
    }
    if (options.module.empty())
        throw UsageError{"--module is required"};
    if (options.out.empty())
        throw UsageError{"--out is required"};
    return options;
}

// The creation page's colours for party members that have none (games saved
// by tools that made their characters without that page).
void GiveDefaultColours(const VARD::CGame& game)
{
    for (const auto& member : game.GetParty())
        if (!member->GetColors())
            member->SetColors(VARD::CreationColours(0, 0, 0));
}

// The camera looks at the mean of the selected members, summed in float.
gfx::Vec3 SelectionCentre(const std::vector<std::shared_ptr<VARD::CActor>>& selected)
{
    gfx::Vec3 centre;
    if (selected.empty())
        return centre;
    for (const auto& actor : selected)
    {
        centre.x += static_cast<float>(actor->GetX());
        centre.z += static_cast<float>(actor->GetY());
    }
    const float share = 1.0f / static_cast<float>(selected.size());
    return {centre.x * share, 0.0f, centre.z * share};
}

void Shoot(const Options& options)
{
    VARD::InstallLuaScriptHost();
    VARD::CEngine engine;
    engine.LoadModule(options.module);
    SeedRandom(options.seed);
    if (options.load.empty())
        ToolSupport::CreateMainCharacter(engine, "Hero", "fighter", "male");
    else
        engine.LoadGame(options.load);

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    auto context = platform::GlContext::CreateHidden(static_cast<int>(options.width),
                                                     static_cast<int>(options.height));
    gfx::Device device(*context, options.width, options.height);
    VARDGraph::ApplyGameRenderStates(device);

    VARD::CGame& game = engine.Game();
    // A new game waits at its destination until the shell enters it.
    if (game.GetState() == VARD::kGameDestinationKnown)
        engine.EnterArea();
    GiveDefaultColours(game);
    VARDGraph::CSceneRenderer scene;
    scene.Reset(engine.GetFactory());
    scene.BuildArea(game, device, engine.Module());
    // Ticks as the game screen runs them, while the party plays in an area.
    for (std::uint32_t i = 0; i < options.ticks && game.GetState() == VARD::kGameRunning; ++i)
    {
        engine.Tick();
        scene.UpdateEffects(game, device);
    }
    if (!game.GetCurrentArea())
        throw CVARDException(2, "the game has no current area to draw");

    const auto party = game.GetParty();
    std::vector<std::uint32_t> ids;
    for (const auto& member : party)
        ids.push_back(member->Id());
    scene.SetSelectedIds(ids);

    const gfx::Rect client{0, 0, static_cast<std::int32_t>(options.width),
                           static_cast<std::int32_t>(options.height)};
    const gfx::Vec3 target = SelectionCentre(party);
    const VARDGraph::SceneCamera camera = MakeGameScreenCamera(&client, &target);

    device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
    device.BeginScene();
    scene.Render(game, device, camera);
    device.EndScene();
    const std::vector<std::uint8_t> png = gfx::EncodePng(device.ReadPixels());
    std::ofstream out(options.out, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out)
        throw CVARDException(2, "cannot write \"" + options.out + "\"");
}

} // namespace

int main(int argc, char** argv)
{
    platform::KeepFreedMemory();
    if (const std::optional<int> answered = VARDCommon::AnswerUsageOptions(argc, argv, kUsage))
        return *answered;
    try
    {
        Shoot(ParseOptions(argc, argv));
        return 0;
    }
    catch (const UsageError& error)
    {
        return VARDCommon::RefuseCommandLine(kUsage, error.text);
    }
    catch (const CVARDException& error)
    {
        std::cerr << "vardshot: error " << error.Describe() << '\n';
        return 1;
    }
    catch (const gfx::Error& error)
    {
        std::cerr << "vardshot: drawing failed: " << error.what() << '\n';
        return 1;
    }
}
