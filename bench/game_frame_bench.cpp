// The frame a player sees: the program itself (its window procedure, game
// screen and widgets) on a real window and OpenGL device, painting the demo's
// town and Greywood at 1024 x 768 while the game runs, buffer swaps included.
// Each paint is asked for as soon as the last one is done, so the figures
// are those of back-to-back frames between the game's own ticks.
//
// Needs a display: run it under a virtual one, with silent sound:
//   SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1280x1024x24" game_frame_bench
//
// Reports for each area the median and 99th percentile of a paint (clear,
// scene, widgets, present), the median of the present alone (in which the
// software renderer finishes the frame's drawing, then copies it to the
// window and swaps), the median processor time of a paint over all
// threads, the frames per second over the measured paints, and, from one
// paint before them, the fragments that passed the depth test in the scene
// (scene_passed) and in the widgets (hud_passed).

#include "app/app_platform.h"
#include "app/app_watched_window.h"
#include "app/game_app.h"
#include "bench_greywood.h"
#include "bench_times.h"
#include "graphics/scene_renderer.h"
#include "platform/audio.h"
#include "platform/desktop.h"
#include "platform/device.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "world/actor.h"
#include "world/game.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

using BenchTimes::Percentile;
using BenchTimes::ProcessMilliseconds;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

// The machine's own device, with the time of each present kept.
class TimedDevice final : public CAppDevice
{
public:
    TimedDevice(std::unique_ptr<CAppDevice> inner, std::vector<double>& presents)
        : m_Inner(std::move(inner)), m_Presents(presents)
    {
    }

    gfx::Device* Get() override { return m_Inner->Get(); }
    bool Reset(std::uint32_t width, std::uint32_t height) override
    {
        return m_Inner->Reset(width, height);
    }
    void SetRenderStates() override { m_Inner->SetRenderStates(); }
    void Clear(std::uint32_t colour, float depth) override { m_Inner->Clear(colour, depth); }
    bool BeginScene() override { return m_Inner->BeginScene(); }
    void EndScene() override { m_Inner->EndScene(); }
    bool Present() override
    {
        const auto start = Clock::now();
        const bool shown = m_Inner->Present();
        m_Presents.push_back(Milliseconds(Clock::now() - start));
        return shown;
    }
    void ShowBlack() override { m_Inner->ShowBlack(); }

private:
    std::unique_ptr<CAppDevice> m_Inner;
    std::vector<double>& m_Presents;
};

// The machine's own window, timing every paint it hands the program.
class TimedWindow final : public AppTest::ForwardingWindow
{
public:
    TimedWindow(std::unique_ptr<CAppWindow> inner, std::function<void(double)> painted)
        : ForwardingWindow(std::move(inner)), m_Painted(std::move(painted))
    {
    }

    int Run(const std::function<void(const platform::Message&)>& handler) override
    {
        return ForwardingWindow::Run(
            [&](const platform::Message& message)
            {
                if (message.kind != platform::MessageKind::Paint)
                {
                    handler(message);
                    return;
                }
                const auto start = Clock::now();
                handler(message);
                m_Painted(Milliseconds(Clock::now() - start));
            });
    }

private:
    std::function<void(double)> m_Painted;
};

class TimedMachine final : public AppTest::WrappingMachine
{
public:
    TimedMachine(std::function<void(double)> painted, std::vector<double>& presents)
        : m_Painted(std::move(painted)), m_Presents(presents)
    {
    }

protected:
    std::unique_ptr<AppTest::ForwardingWindow> Wrap(std::unique_ptr<CAppWindow> window) override
    {
        return std::make_unique<TimedWindow>(std::move(window), m_Painted);
    }
    std::unique_ptr<CAppDevice> WrapDevice(std::unique_ptr<CAppDevice> device) override
    {
        return std::make_unique<TimedDevice>(std::move(device), m_Presents);
    }

private:
    std::function<void(double)> m_Painted;
    std::vector<double>& m_Presents;
};

// A game started as the creation pages would start it, in the town or,
// after a walk out of its east gate, in Greywood.
void StartGame(CGameApp& app, bool greywood)
{
    while (app.currentDialog)
    {
        app.currentDialog.reset();
        app.Resume();
    }
    ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
    VARD::CEngine& engine = *app.engine;
    if (greywood)
        BenchGreywood::WalkToGreywood(engine);
    engine.EnterArea();
    app.gameLoaded = 1;
    app.RefreshActorInfos(true);
    app.UpdateGameTitle();
    app.SelectFirstPartyMember();
    app.window->PostAppMessage(kAppMessageGameLoaded);
    app.RequestRedraw();
    app.StartPlay();
}

void BM_GameFrame(benchmark::State& state, bool greywood)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    constexpr int kWarmUp = 30;
    constexpr int kMeasured = 300;
    for (auto _ : state)
    {
        std::vector<double> paints;
        std::vector<double> work;
        std::vector<double> presents;
        CGameApp app;
        int paintsSeen = 0;
        bool started = false;
        Clock::time_point first;
        Clock::time_point last;
        double workStart = 0.0;
        gfx::Device::SampleCounts counts;
        TimedMachine machine(
            [&](double milliseconds)
            {
                // The first paint shows the splash; the game starts after it.
                if (!started)
                {
                    started = true;
                    StartGame(app, greywood);
                    return;
                }
                if (app.sceneBuilt == 0)
                {
                    app.RequestRedraw();
                    return;
                }
                ++paintsSeen;
                gfx::Device* device = app.device ? app.device->Get() : nullptr;
                if (paintsSeen == kWarmUp - 1 && device)
                    device->CountSamples(true);
                if (paintsSeen == kWarmUp && device)
                {
                    counts = device->TakeSampleCounts();
                    device->CountSamples(false);
                    presents.clear();
                    first = Clock::now();
                    workStart = ProcessMilliseconds();
                }
                else if (paintsSeen > kWarmUp)
                {
                    paints.push_back(milliseconds);
                    const double now = ProcessMilliseconds();
                    work.push_back(now - workStart);
                    workStart = now;
                    last = Clock::now();
                }
                if (paintsSeen >= kWarmUp + kMeasured)
                    app.window->PostClose();
                else
                    app.RequestRedraw();
            },
            presents);
        const int exitCode = app.Run(machine, VARD_DEMO_MODULE);
        if (exitCode != 0 || paints.empty())
        {
            // The program's own word for it, when it had one.
            const std::string why = machine.desktop.boxes.empty()
                                        ? "the program ended with code " + std::to_string(exitCode)
                                        : machine.desktop.boxes.front().text;
            state.SkipWithError(("no game screen was painted: " + why).c_str());
            return;
        }
        state.counters["median_ms"] = Percentile(paints, 0.5);
        state.counters["p99_ms"] = Percentile(paints, 0.99);
        state.counters["present_median_ms"] = Percentile(presents, 0.5);
        state.counters["cpu_all_threads_ms"] = Percentile(work, 0.5);
        state.counters["fps"] =
            static_cast<double>(paints.size()) / (Milliseconds(last - first) / 1000.0);
        std::uint64_t scene = 0;
        for (std::uint32_t pass = 0; pass < gfx::Device::kSamplePasses; ++pass)
            if (pass != VARDGraph::kPassHud)
                scene += counts.passed[pass];
        state.counters["scene_passed"] = static_cast<double>(scene);
        state.counters["hud_passed"] = static_cast<double>(counts.passed[VARDGraph::kPassHud]);
        state.counters["hud_shaded"] = static_cast<double>(counts.shaded[VARDGraph::kPassHud]);
    }
}

BENCHMARK_CAPTURE(BM_GameFrame, town, false)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_GameFrame, greywood, true)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
