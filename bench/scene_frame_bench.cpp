// Frame time of the scene: the largest demo area (Greywood) drawn at
// 1024 x 768 with the game screen's camera on Mesa's software renderer,
// each frame read back so that its drawing has finished. Reports the median
// and the 99th percentile of single frames; the median processor time of a
// frame over all threads, the driver's drawing threads included (on a loaded
// machine it tells the work from the waiting); the GL draw calls of a frame;
// the allocations the scene's own code makes in drawing a frame (the GL
// driver allocates through the C library and is not counted); and a hash of
// the last frame's pixels (equal hashes: the same picture).

#include "bench_greywood.h"
#include "bench_times.h"
#include "common/random.h"
#include "graphics/scene_renderer.h"
#include "platform/device.h"
#include "platform/gl_context.h"
#include "platform/heap.h"
#include "platform/image.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect_params.h"
#include "world/game.h"
#include "world/module.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

// The counting operator new hands out blocks of malloc, which its delete
// frees; the compiler, seeing the standard operators, would call that a
// mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace
{
std::atomic<std::uint64_t> g_Allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace
{

using BenchTimes::Percentile;
using BenchTimes::ProcessMilliseconds;

// FNV-1a over the pixels, folded to 32 bits so that a counter shows it whole.
double PixelHash(const gfx::Image& image)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint8_t byte : image.pixels)
        hash = (hash ^ byte) * 1099511628211ull;
    return static_cast<double>(static_cast<std::uint32_t>(hash ^ (hash >> 32)));
}

void ReportSampleCounts(benchmark::State& state, const gfx::Device::SampleCounts& counts)
{
    static const char* const kPasses[] = {"other", "sky", "tiles", "actors", "objects", "effects"};
    std::uint64_t passed = 0;
    std::uint64_t shaded = 0;
    for (std::uint32_t pass = 0; pass < std::size(kPasses); ++pass)
    {
        state.counters[std::string(kPasses[pass]) + "_passed"] =
            static_cast<double>(counts.passed[pass]);
        state.counters[std::string(kPasses[pass]) + "_shaded"] =
            static_cast<double>(counts.shaded[pass]);
        passed += counts.passed[pass];
        shaded += counts.shaded[pass];
    }
    state.counters["frame_passed"] = static_cast<double>(passed);
    state.counters["frame_shaded"] = static_cast<double>(shaded);
}

void BM_SceneFrame(benchmark::State& state)
{
    platform::KeepFreedMemory();
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    constexpr std::uint32_t kWidth = 1024;
    constexpr std::uint32_t kHeight = 768;
    VARD::InstallLuaScriptHost();
    VARD::CEngine engine;
    engine.LoadModule(VARD_DEMO_MODULE);
    SeedRandom(1);
    auto hero = engine.NewGame();
    hero->SetColors(std::make_shared<VARDGraph::CGraphicColors>(0x603010u, 0xE0B090u, 0x2040A0u));
    hero->SetGraphicName(engine.Module().GetHeads(0).front()->head);
    engine.SetMainCharacter(hero);
    BenchGreywood::WalkToGreywood(engine);
    engine.EnterArea();
    engine.Tick();

    auto context = platform::GlContext::CreateHidden(kWidth, kHeight);
    gfx::Device device(*context, kWidth, kHeight);
    if (std::getenv("VARD_NO_SHORTCUTS"))
        device.SetShortcuts(false);
    VARDGraph::ApplyGameRenderStates(device);
    VARDGraph::CSceneRenderer scene;
    scene.Reset(engine.GetFactory());
    scene.BuildArea(engine.Game(), device, engine.Module());
    scene.SetSelectedIds({hero->Id()});
    if (std::getenv("VARD_NO_SHORTCUTS"))
        scene.SetShortcuts(false);

    const gfx::Rect client{0, 0, kWidth, kHeight};
    const gfx::Vec3 target{static_cast<float>(hero->GetX()), 0.0f,
                           static_cast<float>(hero->GetY())};
    VARDGraph::SceneCamera camera;
    camera.clientRect = &client;
    camera.target = &target;
    camera.distance = 350.0f;
    camera.fieldOfView = 0.19634955f;
    camera.yaw = 330.0f;
    camera.pitch = 32.5f;

    std::vector<double> frames;
    std::vector<double> work;
    frames.reserve(state.max_iterations);
    work.reserve(state.max_iterations);
    gfx::Image last;
    std::uint64_t drawCalls = 0;
    std::uint64_t allocations = 0;
    for (auto _ : state)
    {
        const std::uint64_t callsBefore = device.GetDrawCallCount();
        const auto start = std::chrono::steady_clock::now();
        const double workStart = ProcessMilliseconds();
        device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        const std::uint64_t allocationsBefore = g_Allocations.load();
        scene.Render(engine.Game(), device, camera);
        allocations = g_Allocations.load() - allocationsBefore;
        last = device.ReadPixels();
        benchmark::DoNotOptimize(last);
        frames.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        work.push_back(ProcessMilliseconds() - workStart);
        drawCalls = device.GetDrawCallCount() - callsBefore;
    }
    // The counted frame, after the timed ones so that the last of those is
    // the same frame whether or not the counting is there.
    device.CountSamples(true);
    device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
    scene.Render(engine.Game(), device, camera);
    ReportSampleCounts(state, device.TakeSampleCounts());
    device.CountSamples(false);
    state.counters["median_ms"] = Percentile(frames, 0.5);
    state.counters["p99_ms"] = Percentile(frames, 0.99);
    state.counters["cpu_all_threads_ms"] = Percentile(work, 0.5);
    state.counters["draw_calls"] = static_cast<double>(drawCalls);
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["frame_hash"] = PixelHash(last);
    state.counters["area_cells"] =
        engine.Game().GetCurrentArea()->GetWidth() * engine.Game().GetCurrentArea()->GetHeight();
    if (const char* path = std::getenv("VARD_FRAME_PNG"))
    {
        const std::vector<std::uint8_t> png = gfx::EncodePng(last);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
    }
}

} // namespace

BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMillisecond)->Iterations(300);
