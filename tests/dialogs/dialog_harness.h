#pragma once

// The game program without a screen, for driving dialogs: the demo module
// loaded through the engine, the real dialogs installed, window, device and
// desktop faked, the sound effects recorded by name. Widgets are found by id
// in the tree the current dialog built; buttons are pressed and keys typed
// through the window procedure, as the player would.

#include "app/app_platform.h"
#include "app/game_app.h"
#include "app/vard_audio.h"
#include "app/vard_dlg.h"
#include "app_demo_game.h"
#include "app_fakes.h"
#include "dialogs/game_dialog_factory.h"
#include "platform/audio.h"
#include "platform/desktop.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "scratch_files.h"
#include "tool_support.h"
#include "ui/ui_element.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/game.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace DialogTest
{

// Every effect played, by file name, in order.
struct SoundLog
{
    std::vector<std::string> played;
    std::vector<std::string> Take() { return std::exchange(played, {}); }
};

class RecordingSound final : public audio::Sound
{
public:
    RecordingSound(SoundLog& log, std::string name)
        : audio::Sound(false), m_Log(log), m_Name(std::move(name))
    {
    }
    void Play() override { m_Log.played.push_back(m_Name); }
    void Stop() override {}
    void SetRepeat(bool) override {}
    void SetVolume(float volume) override { lastVolume = volume; }
    bool IsPlaying() const override { return false; }
    float lastVolume = 1.0f;

private:
    SoundLog& m_Log;
    std::string m_Name;
};

// The effects load in the order of their table, so the n-th buffered sound
// is the table's n-th file; streamed ones are the ambient tracks.
class RecordingAudioDevice final : public audio::Device
{
public:
    explicit RecordingAudioDevice(SoundLog& log) : audio::Device(StandIn{}), m_Log(log) {}
    bool IsSilent() const override { return false; }
    std::shared_ptr<audio::Sound> LoadBuffered(std::vector<std::uint8_t>) override
    {
        const std::string name =
            m_Loaded < kSoundFiles.size() ? kSoundFiles[m_Loaded].name : "extra";
        ++m_Loaded;
        return std::make_shared<RecordingSound>(m_Log, name);
    }
    std::shared_ptr<audio::Sound> OpenStreamed(std::vector<std::uint8_t>) override
    {
        return std::make_shared<RecordingSound>(m_Log, "ambient");
    }

private:
    SoundLog& m_Log;
    std::size_t m_Loaded = 0;
};

class HarnessPlatform final : public CAppPlatform
{
public:
    CMainWindowResult CreateMainWindow(const std::string&, int width, int height) override
    {
        auto made = std::make_unique<AppTest::FakeAppWindow>();
        made->size = {width, height};
        window = made.get();
        CMainWindowResult result;
        result.window = std::move(made);
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow&) override
    {
        return std::make_unique<AppTest::FakeAppDevice>();
    }
    platform::Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<audio::Device> OpenAudioDevice() override
    {
        return std::make_unique<RecordingAudioDevice>(sounds);
    }
    std::uint32_t GetTickCount() override { return 1000; }
    std::filesystem::path GetExecutableFolder() override { return "/nonexistent/vard/bin"; }

    SoundLog sounds;
    platform::FakeDesktop desktop;
    AppTest::FakeAppWindow* window = nullptr;
};

// A home folder of its own for the harness's life, so the saved-games
// folder the load and save choosers open is made there.
using TestUtil::ScratchHome;

class DialogHarness
{
public:
    // Started on the demo module at the reference client size, the splash
    // shown; nothing played yet.
    DialogHarness()
    {
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
        EXPECT_EQ(app.Run(machine, VARD_DEMO_MODULE), -1);
        window = machine.window;
        window->size = {864, 720};
        app.RebuildUI();
        window->posted.clear();
        machine.sounds.Take();
    }

    // Leaves the start screen without a choice and plays the demo town with
    // a made fighter, as a created game starts.
    void StartDemoGame()
    {
        while (app.currentDialog)
            app.CloseDialog();
        AppTest::EnterNewGame(app);
        app.RefreshActorInfos(true);
        app.SelectFirstPartyMember();
        app.StartPlay();
        window->posted.clear();
        machine.sounds.Take();
    }

    CVARDDlg* Current() const { return app.currentDialog.get(); }
    template <class Dialog> Dialog* CurrentAs() const
    {
        return dynamic_cast<Dialog*>(app.currentDialog.get());
    }
    std::size_t CoveredCount() const { return app.coveredDialogs.size(); }

    // The widget of that id and kind in the current tree, groups searched
    // too; null when there is none.
    template <class Widget = VARDUI::CUIElement> Widget* Find(int id) const
    {
        return FindIn<Widget>(app.ui.GetElements(), id);
    }
    // Every top-level widget of that kind, in the order they were added.
    template <class Widget> std::vector<Widget*> All() const
    {
        std::vector<Widget*> found;
        for (const auto& element : app.ui.GetElements())
            if (auto* widget = dynamic_cast<Widget*>(element.get()))
                found.push_back(widget);
        return found;
    }

    // A click at the centre of the widget: pressed and released.
    void Press(int id)
    {
        const VARDUI::CUIElement* widget = Find(id);
        ASSERT_NE(widget, nullptr) << "no widget " << id;
        const gfx::Rect& rect = widget->GetRect();
        ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    void ClickAt(int x, int y)
    {
        Mouse(platform::MessageKind::LeftDown, x, y);
        Mouse(platform::MessageKind::LeftUp, x, y);
    }
    void Key(std::uint32_t code, bool shift = false)
    {
        if (shift)
            window->keys.down.insert(platform::vk::kShift);
        app.HandleMessage(AppTest::KeyDown(code));
        if (shift)
            window->keys.down.erase(platform::vk::kShift);
    }
    // Letters and digits as their keys, upper case with shift.
    void Type(const std::string& text)
    {
        for (const char c : text)
        {
            if (c >= 'a' && c <= 'z')
                Key(static_cast<std::uint32_t>(c - 'a' + 'A'));
            else if (c >= 'A' && c <= 'Z')
                Key(static_cast<std::uint32_t>(c), true);
            else if (c == ' ')
                Key(platform::vk::kSpace);
            else
                Key(static_cast<std::uint32_t>(c));
        }
    }

    // The window messages posted and not yet handled, as kinds.
    int PostedCloses() const
    {
        int closes = 0;
        for (const auto& message : window->posted)
            if (message.kind == platform::MessageKind::Close)
                ++closes;
        return closes;
    }
    std::vector<std::string> TakeSounds() { return machine.sounds.Take(); }
    // The orders waiting on the selected member, instant ones first.
    std::size_t QueuedOrders() const
    {
        const auto actor = app.GetSelectedActor();
        return actor ? actor->GetInstantOrders().size() + actor->GetOrders().size() : 0;
    }
    VARD::CGame& Game() { return app.engine->Game(); }

    // Declared first: it outlives the program.
    ScratchHome home;
    HarnessPlatform machine;
    CGameApp app;
    AppTest::FakeAppWindow* window = nullptr;

private:
    template <class Widget> static Widget* FindIn(const VARDUI::CUIElementList& list, int id)
    {
        for (const auto& element : list)
        {
            if (element->GetId() == id)
                if (auto* widget = dynamic_cast<Widget*>(element.get()))
                    return widget;
            if (const auto* group = dynamic_cast<const VARDUI::CUIGroup*>(element.get()))
                if (Widget* inside = FindIn<Widget>(group->GetChildren(), id))
                    return inside;
        }
        return nullptr;
    }
    void Mouse(platform::MessageKind kind, int x, int y)
    {
        app.HandleMessage(AppTest::Mouse(kind, x, y));
    }
};

} // namespace DialogTest
