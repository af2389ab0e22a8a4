// The shell driven through its window procedure with fake window, device and
// desktop: start-up and its failures, the game screen's keys, the mouse, the
// window size and the lost-device recovery.

#include "app_fakes.h"

#include "app/shell_dialogs.h"
#include "common/exception.h"
#include "platform/image.h"
#include "resources/builtin_images.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_element.h"
#include "ui/ui_manager.h"
#include "world/area.h"
#include "world/game.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{

using AppTest::FakeAppPlatform;
using AppTest::Mouse;
using AppTest::RecordingDlg;
using platform::Message;
using platform::MessageKind;

// A widget that starts a drag when pressed.
class DragWidget final : public VARDUI::CUIElement
{
public:
    DragWidget() : CUIElement(RecordingDlg::kWidgetId) {}
    void LoadTextures(gfx::Device&, VARDUI::CUIDrawHelp*) override {}
    void Draw(gfx::Device&, VARDUI::CUIDrawHelp*, gfx::Sprite*, const VARDUI::Point*) override {}
    std::int32_t ClassifyMouse(std::int32_t action, const VARDUI::Point* point) override
    {
        if (action == VARDUI::kUIMouseLeftDown)
            return VARDUI::kUIClassifyPress;
        return CUIElement::ClassifyMouse(action, point);
    }
};

Message Key(MessageKind kind, std::uint32_t code)
{
    Message message;
    message.kind = kind;
    message.code = code;
    return message;
}

Message App(std::uint32_t number)
{
    return Key(MessageKind::App, number);
}

} // namespace

void RecordingDlg::BuildUI(const gfx::Rect*, VARDUI::CUIManager* ui)
{
    auto widget = std::make_shared<DragWidget>();
    widget->SetRect({100, 100, 200, 140});
    ui->AddElement(widget);
}

namespace
{

const std::string kDemo = VARD_DEMO_MODULE;

struct StartCase
{
    const char* name;
    std::function<void(FakeAppPlatform&)> setUp;
    std::string commandLine;
    // Empty: no box at all.
    std::string caption;
    std::string text;
    platform::MessageBoxIcon icon = platform::MessageBoxIcon::None;
    bool engineMade = false;
    // The text is followed by a line with the cause.
    bool withCause = false;
};

TEST(AppStartUp, EachFailureEndsWithItsOwnBoxAndExitCodeZero)
{
    const std::string failedModule = "\". The game is broken. Try reinstalling, or contact "
                                     "Tessaly for support.";
    const StartCase cases[] = {
        {"no window", [](FakeAppPlatform& m) { m.noWindow = true; }, kDemo, "", ""},
        {"no OpenGL 3.3", [](FakeAppPlatform& m) { m.noOpenGl = true; }, kDemo, "OpenGL Error", "",
         platform::MessageBoxIcon::Error},
        {"no cursors", [](FakeAppPlatform& m) { m.cursorsLoad = false; }, kDemo, "", ""},
        {"nothing at the path", [](FakeAppPlatform&) {}, "/no/such/module", "Game Error",
         "Failed to load module \"/no/such/module" + failedModule,
         platform::MessageBoxIcon::Warning, true, true},
        {"quotation marks kept", [](FakeAppPlatform&) {}, "\"" + kDemo + "\"", "Game Error",
         "Failed to load module \"\"" + kDemo + "\"" + failedModule,
         platform::MessageBoxIcon::Warning, true, true},
        {"empty line, nothing beside the program", [](FakeAppPlatform&) {}, "", "Game Error",
         "Failed to load module \"/nonexistent/vard/bin/module.vard" + failedModule,
         platform::MessageBoxIcon::Warning, true, true},
        {"no device", [](FakeAppPlatform& m) { m.noDevice = true; }, kDemo, "Game Error",
         "Failed to init D3D\n", platform::MessageBoxIcon::Warning, true},
    };
    for (const StartCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        FakeAppPlatform machine;
        c.setUp(machine);
        CGameApp app;
        EXPECT_EQ(app.Run(machine, c.commandLine), 0);
        if (c.caption.empty())
            EXPECT_TRUE(machine.desktop.boxes.empty());
        else
        {
            ASSERT_EQ(machine.desktop.boxes.size(), 1u);
            EXPECT_EQ(machine.desktop.boxes[0].caption, c.caption);
            const std::string& text = machine.desktop.boxes[0].text;
            if (c.withCause)
            {
                EXPECT_EQ(text.substr(0, c.text.size() + 1), c.text + "\n");
                EXPECT_GT(text.size(), c.text.size() + 1);
            }
            else if (!c.text.empty())
            {
                EXPECT_EQ(text, c.text);
            }
            EXPECT_EQ(machine.desktop.boxes[0].icon, c.icon);
        }
        // Without the graphics library no module file is opened.
        EXPECT_EQ(app.engine != nullptr, c.engineMade);
        if (machine.window)
        {
            EXPECT_EQ(machine.window->runs, 0);
        }
    }
    FakeAppPlatform machine;
    machine.noOpenGl = true;
    CGameApp app;
    app.Run(machine, kDemo);
    ASSERT_EQ(machine.desktop.boxes.size(), 1u);
    EXPECT_NE(machine.desktop.boxes[0].text.find("OpenGL 3.3"), std::string::npos);
    EXPECT_NE(machine.desktop.boxes[0].text.find("libgl1-mesa-dri"), std::string::npos);
}

TEST(AppStartUp, EmptyLineOpensTheArchiveBesideTheProgramAndTheSplashComesFirst)
{
    FakeAppPlatform machine;
    machine.executableFolder = VARD_BIN_DIR;
    CGameApp app;
    // The fake loop returns when it would wait for input.
    EXPECT_EQ(app.Run(machine, ""), -1);
    EXPECT_TRUE(machine.desktop.boxes.empty());
    ASSERT_TRUE(app.engine && app.engine->GetModule());
    EXPECT_EQ(machine.windowTitle, "NewVARD");
    EXPECT_EQ(machine.window->minimum.width, 864);
    EXPECT_EQ(machine.window->minimum.height, 720);
    EXPECT_TRUE(machine.window->shown);
    // The window wears the built-in icon.
    const gfx::Image icon =
        gfx::DecodeImage(VARDResources::FindBuiltInImage(VARDResources::kWindowIconImage));
    EXPECT_EQ(machine.window->icon.width, 32u);
    EXPECT_EQ(machine.window->icon.height, 32u);
    EXPECT_EQ(machine.window->icon.pixels, icon.pixels);
    EXPECT_NE(dynamic_cast<PlainDialogs::CSplashDlg*>(app.currentDialog.get()), nullptr);
    EXPECT_EQ(machine.window->title, "Brelmoor - Tessaly");
    // The splash takes a pause count over the two the program starts with.
    EXPECT_EQ(app.pauseCount, 3);
    EXPECT_EQ(machine.device->calls,
              (std::vector<std::string>{"States", "Clear", "Begin", "End", "Present"}));
    EXPECT_FALSE(app.audio == nullptr);

    // Any key leads from the splash to the start screen, which ESC closes.
    app.HandleMessage(Key(MessageKind::KeyDown, 'K'));
    EXPECT_EQ(machine.window->title, "Brelmoor - Welcome");
    EXPECT_EQ(app.pauseCount, 3);
    app.HandleMessage(Key(MessageKind::KeyDown, platform::vk::kEscape));
    EXPECT_EQ(app.currentDialog, nullptr);
    EXPECT_EQ(machine.window->title, "Brelmoor");
    EXPECT_EQ(app.pauseCount, 2);
}

// A started program whose splash and start screen are closed, with a game
// in the demo town.
class AppGameScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(app.Run(machine, kDemo), -1);
        window = machine.window;
        app.HandleMessage(Key(MessageKind::KeyDown, 'K'));
        app.HandleMessage(Key(MessageKind::KeyDown, platform::vk::kEscape));
        ASSERT_EQ(app.currentDialog, nullptr);
        ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
        app.engine->EnterArea();
        app.gameLoaded = 1;
    }

    // The window title after the key, or "" when no dialog opened; an
    // opened dialog is closed again with ESC.
    std::string TitleAfterKey(std::uint32_t key)
    {
        window->invalidated = false;
        const int pauses = app.pauseCount;
        app.HandleMessage(Key(MessageKind::KeyDown, key));
        EXPECT_TRUE(window->invalidated);
        if (!app.currentDialog)
            return "";
        EXPECT_EQ(app.pauseCount, pauses + 1);
        const std::string title = window->title;
        app.HandleMessage(Key(MessageKind::KeyDown, platform::vk::kEscape));
        EXPECT_EQ(app.currentDialog, nullptr);
        EXPECT_EQ(app.pauseCount, pauses);
        return title;
    }

    FakeAppPlatform machine;
    CGameApp app;
    AppTest::FakeAppWindow* window = nullptr;
};

TEST_F(AppGameScreen, OnTheWorldMapOnlyTheGameWideKeysWork)
{
    const std::string town = app.engine->Game().GetCurrentArea()->GetTitle();
    struct KeyCase
    {
        std::uint32_t key;
        std::string inArea;
        std::string onWorldMap;
    };
    const KeyCase cases[] = {
        {platform::vk::kReturn, "Brelmoor - Game Menu", "Brelmoor - Game Menu"},
        {platform::vk::kSlash, "Brelmoor - Help", "Brelmoor - Help"},
        {'V', "Brelmoor - Volume", ""},
        {'M', "Brelmoor - " + town + " - Map", ""},
        {'G', "Brelmoor - Messages", ""},
        {platform::vk::kInsert, "Brelmoor - Wizard", ""},
        {'N', "Brelmoor - Hero - Information", ""},
        {'I', "Brelmoor - Hero - Inventory", ""},
        {'B', "Brelmoor - Hero - Abilities", ""},
        {'J', "Brelmoor - Hero - Journal", ""},
        {'Z', "", ""},
        {platform::vk::kF1 + 11, "", ""},
    };
    for (const KeyCase& c : cases)
    {
        SCOPED_TRACE(c.key);
        app.engine->Game().SetState(VARD::kGameRunning);
        EXPECT_EQ(TitleAfterKey(c.key), c.inArea);
        app.engine->Game().SetState(VARD::kGameOnWorldMap);
        EXPECT_EQ(TitleAfterKey(c.key), c.onWorldMap);
    }
    // SPACE pauses wherever the game is; F only in an area.
    app.engine->Game().SetState(VARD::kGameOnWorldMap);
    EXPECT_EQ(TitleAfterKey(platform::vk::kSpace), "");
    EXPECT_EQ(app.playerPaused, 0);
    EXPECT_EQ(TitleAfterKey('F'), "");
    EXPECT_EQ(app.fastMove, 0);
    app.engine->Game().SetState(VARD::kGameRunning);
    EXPECT_EQ(TitleAfterKey(platform::vk::kSpace), "");
    EXPECT_EQ(app.playerPaused, 1);
    EXPECT_EQ(TitleAfterKey('F'), "");
    EXPECT_EQ(app.fastMove, 1);

    // The actor pages need a selected member; the map and the log do not.
    app.engine->Game().SetState(VARD::kGameRunning);
    app.selectedMember = 3;
    EXPECT_EQ(TitleAfterKey('N'), "");
    EXPECT_EQ(TitleAfterKey('J'), "");
    EXPECT_EQ(TitleAfterKey('G'), "Brelmoor - Messages");
    // Without a loaded game no key does anything, not even a repaint.
    app.gameLoaded = 0;
    window->invalidated = false;
    app.HandleMessage(Key(MessageKind::KeyDown, platform::vk::kReturn));
    EXPECT_EQ(app.currentDialog, nullptr);
    EXPECT_FALSE(window->invalidated);
}

TEST_F(AppGameScreen, TheSceneThatCannotBeBuiltEndsTheProgramWithItsBox)
{
    // The fake device has nothing to build the scene on.
    app.HandleMessage(App(kAppMessageGameLoaded));
    ASSERT_EQ(machine.desktop.boxes.size(), 1u);
    EXPECT_EQ(machine.desktop.boxes[0].caption, "Game Error");
    EXPECT_EQ(machine.desktop.boxes[0].text,
              "Failed to load graphics file. The game is broken. Try reinstalling, or contact "
              "Tessaly for support.\nno drawing device for the scene");
    EXPECT_EQ(app.sceneBuilt, 0);
    EXPECT_EQ(window->cursor, platform::Cursor::Wait);
    ASSERT_FALSE(window->posted.empty());
    EXPECT_EQ(window->posted.back().kind, MessageKind::Close);
    EXPECT_EQ(window->Run([&](const Message& message) { app.HandleMessage(message); }), 0);
}

TEST_F(AppGameScreen, AnErrorLeavingAHandlerClosesTheProgramAfterOneBox)
{
    auto dialog = std::make_shared<RecordingDlg>();
    dialog->throwOnKey = [] { throw CVARDException(4, "bad screen state"); };
    app.SetDialog(true, dialog);
    window->posted.clear();
    app.HandleMessage(Key(MessageKind::KeyDown, 'A'));
    app.HandleMessage(Key(MessageKind::KeyDown, 'B'));
    dialog->throwOnKey = [] { throw std::runtime_error("out of range"); };
    app.HandleMessage(Key(MessageKind::KeyDown, 'C'));
    ASSERT_EQ(machine.desktop.boxes.size(), 1u);
    EXPECT_EQ(machine.desktop.boxes[0].caption, "Game Error");
    EXPECT_NE(machine.desktop.boxes[0].text.find("code 4: bad screen state"), std::string::npos);
    // Nothing is handled once the close is on its way, and the loop ends on it.
    EXPECT_EQ(dialog->log, (std::vector<std::string>{"Key 65"}));
    ASSERT_EQ(window->posted.size(), 1u);
    EXPECT_EQ(window->Run([&](const Message& message) { app.HandleMessage(message); }), 0);
}

TEST_F(AppGameScreen, SystemKeysReachTheScreenOnlyForF10)
{
    auto dialog = std::make_shared<RecordingDlg>();
    app.SetDialog(true, dialog);
    window->invalidated = false;
    app.HandleMessage(Key(MessageKind::SysKeyDown, platform::vk::kF10));
    app.HandleMessage(Key(MessageKind::SysKeyDown, 'X'));
    app.HandleMessage(Key(MessageKind::SysKeyDown, platform::vk::kAlt));
    EXPECT_TRUE(window->invalidated);
    window->keys.down.insert(platform::vk::kShift);
    app.HandleMessage(Key(MessageKind::KeyDown, 'X'));
    window->invalidated = false;
    app.HandleMessage(Key(MessageKind::KeyUp, 'X'));
    app.HandleMessage(Key(MessageKind::SysKeyUp, platform::vk::kF10));
    EXPECT_TRUE(window->invalidated);
    EXPECT_EQ(dialog->log, (std::vector<std::string>{"Key 121", "Key 88 shift"}));
}

TEST_F(AppGameScreen, DoubleClickActsAsRightClickAndLeavingTheWindowReleases)
{
    auto dialog = std::make_shared<RecordingDlg>();
    app.SetDialog(true, dialog);
    app.HandleMessage(Mouse(MessageKind::LeftDoubleClick, 150, 120));
    app.HandleMessage(Mouse(MessageKind::RightDown, 10, 10));
    app.HandleMessage(Mouse(MessageKind::MouseMove, 150, 120));
    EXPECT_EQ(app.mouseTracked, 1);
    EXPECT_TRUE(window->tracking);
    app.HandleMessage(Mouse(MessageKind::LeftDown, 150, 120));
    app.HandleMessage(Mouse(MessageKind::MouseLeave, 0, 0));
    EXPECT_EQ(app.mouseTracked, 0);
    // The press is over: a later release is nobody's.
    app.HandleMessage(Mouse(MessageKind::LeftUp, 150, 120));
    app.HandleMessage(Mouse(MessageKind::LeftDown, 150, 120));
    app.HandleMessage(Mouse(MessageKind::LeftUp, 150, 120));
    EXPECT_EQ(dialog->log, (std::vector<std::string>{"RightClick 7", "DragStart 7", "DragCancel",
                                                     "DragStart 7", "Drop 7 7"}));
}

TEST(AppWindowSize, TheSplashSetsTheMinimumSizeOnBothSides)
{
    struct SizeCase
    {
        int width, height, wantWidth, wantHeight, resizes;
    };
    const SizeCase cases[] = {
        {1200, 700, 864, 720, 1},
        {800, 900, 864, 720, 1},
        {864, 720, 864, 720, 0},
        {1000, 800, 1000, 800, 0},
    };
    for (const SizeCase& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        FakeAppPlatform machine;
        CGameApp app;
        app.machine = &machine;
        ASSERT_TRUE(app.CreateMainWindow());
        EXPECT_EQ(machine.window->minimum.width, 864);
        EXPECT_EQ(machine.window->minimum.height, 720);
        machine.window->size = {c.width, c.height};
        app.HandleMessage(App(kAppMessageStarted));
        EXPECT_EQ(machine.window->size.width, c.wantWidth);
        EXPECT_EQ(machine.window->size.height, c.wantHeight);
        EXPECT_EQ(machine.window->resizes, c.resizes);
        EXPECT_NE(dynamic_cast<PlainDialogs::CSplashDlg*>(app.currentDialog.get()), nullptr);
    }
}

TEST(AppDevice, ALostDeviceIsResetOnTheNextPaintThatCanAndEverythingIsRebuilt)
{
    FakeAppPlatform machine;
    CGameApp app;
    ASSERT_EQ(app.Run(machine, kDemo), -1);
    AppTest::FakeAppDevice& device = *machine.device;
    AppTest::FakeAppWindow& window = *machine.window;
    const Message paint = Key(MessageKind::Paint, 0);
    ASSERT_FALSE(app.ui.GetElements().empty());
    app.HandleMessage(Mouse(MessageKind::Size, 900, 740));
    window.posted.clear();
    device.calls.clear();

    device.losePresents = 1;
    device.failResets = 1;
    app.HandleMessage(paint);
    EXPECT_EQ(app.deviceLost, 1);
    // The first retry fails: nothing is drawn and the next paint tries again.
    app.HandleMessage(paint);
    EXPECT_EQ(app.deviceLost, 1);
    EXPECT_TRUE(app.ui.GetElements().empty());
    EXPECT_TRUE(window.posted.empty());
    app.HandleMessage(paint);
    EXPECT_EQ(app.deviceLost, 0);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"Clear", "Begin", "End", "Present",
                                                      "Reset 900x740", "Reset 900x740", "States",
                                                      "Clear", "Begin", "End", "Present"}));
    ASSERT_EQ(window.posted.size(), 1u);
    EXPECT_EQ(window.posted[0].code, kAppMessageGameLoaded);
    app.HandleMessage(window.posted[0]);
    EXPECT_FALSE(app.ui.GetElements().empty());
}

TEST(AppDevice, DraggingTheFrameResetsOnceAtTheEndWithTheLastSize)
{
    FakeAppPlatform machine;
    CGameApp app;
    ASSERT_EQ(app.Run(machine, kDemo), -1);
    AppTest::FakeAppDevice& device = *machine.device;
    AppTest::FakeAppWindow& window = *machine.window;
    window.posted.clear();
    device.calls.clear();
    const auto restored = static_cast<std::uint32_t>(platform::SizeKind::Restored);
    Message size = Mouse(MessageKind::Size, 900, 750);
    size.code = restored;

    app.HandleMessage(Key(MessageKind::EnterSizeMove, 0));
    EXPECT_TRUE(app.ui.GetElements().empty());
    app.HandleMessage(size);
    app.HandleMessage(Key(MessageKind::Paint, 0));
    size.x = 950;
    size.y = 760;
    app.HandleMessage(size);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"Black"}));
    app.HandleMessage(Key(MessageKind::ExitSizeMove, 0));
    EXPECT_EQ(device.calls, (std::vector<std::string>{"Black", "Reset 950x760", "States"}));
    ASSERT_EQ(window.posted.size(), 1u);
    EXPECT_EQ(window.posted[0].code, kAppMessageGameLoaded);

    // A reset that fails after a resize is tried again by the next paint.
    device.calls.clear();
    device.failResets = 1;
    app.HandleMessage(Key(MessageKind::EnterSizeMove, 0));
    app.HandleMessage(Key(MessageKind::ExitSizeMove, 0));
    EXPECT_EQ(app.deviceLost, 1);
    app.HandleMessage(Key(MessageKind::Paint, 0));
    EXPECT_EQ(app.deviceLost, 0);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"Reset 950x760", "Reset 950x760", "States",
                                                      "Clear", "Begin", "End", "Present"}));

    // Maximising resets at once; minimising changes nothing.
    device.calls.clear();
    size.code = static_cast<std::uint32_t>(platform::SizeKind::Minimized);
    app.HandleMessage(size);
    size.code = static_cast<std::uint32_t>(platform::SizeKind::Maximized);
    size.x = 1280;
    size.y = 1000;
    app.HandleMessage(size);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"Reset 1280x1000", "States"}));
}

} // namespace
