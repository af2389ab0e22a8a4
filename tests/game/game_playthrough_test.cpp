// The game as a player meets it, on the machine's own window and OpenGL
// device under a virtual X display: from the splash through character
// creation, a conversation, a chest's gold, a purchase, the world map's
// road into the wood, the lost pack, the rats on the road, the signpost
// home, a save and a load to the victory. Input goes
// in as SDL events on the window, so it takes the whole way through the
// message pump; every step waits for the state it needs within a budget of
// game time, never on the clock or a count of paints, and leaves a picture
// of the screen in the build folder.

#include "app_watched_window.h"

#include "app/app_platform.h"
#include "app/game_app.h"
#include "app/game_hud.h"
#include "app/win_dlg.h"
#include "dialogs/actor_inv_dlg.h"
#include "dialogs/attrib_dlg.h"
#include "dialogs/cc_pages.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/game_menu_dlg.h"
#include "dialogs/skills_dlg.h"
#include "dialogs/start_dlg.h"
#include "dialogs/store_dlg.h"
#include "dialogs/talk_dlg.h"
#include "platform/device.h"
#include "platform/gfx_math.h"
#include "platform/image.h"
#include "resources/builtin_images.h"
#include "rules/engine.h"
#include "ui/ui_group.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_lists.h"
#include "ui/ui_static_text.h"
#include "ui/ui_talk_element.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/tile.h"
#include "world/world_map.h"
#include "world/world_object.h"
#include "xvfb_util.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

namespace
{

namespace fs = std::filesystem;
using VARDUI::Point;

// A timer of the test's own: its ticks ask for a paint, so that a screen
// waiting for input still gives the steps a turn.
constexpr std::uint32_t kHeartbeatTimerId = 77;
// The clock's step per game timer message: six ticks at normal speed,
// however slowly the sanitized build draws.
constexpr std::uint32_t kMsPerGameTimer = 100;
// While no tick runs (a dialog, the world map, the pages before a game) a
// step waits only on input the test gave: this many heartbeats with no tick
// and no step done (five seconds at the least) mean the program hangs.
constexpr int kMostHeartbeatsStanding = 250;
// A walk that gains nothing on its point for this long is given up.
constexpr std::uint32_t kMostTicksWithoutGain = 3 * VARD::kTicksPerSecond;

// The real window, device and sound; message boxes and the file chooser
// answered by the test; a clock that moves only with the game's timer, so
// that the seed and the ticks each paint runs do not follow the machine's
// speed.
class PlayMachine final : public AppTest::WatchedMachine
{
public:
    using WatchedMachine::WatchedMachine;

    std::uint32_t clockMs = 100000;

    std::uint32_t GetTickCount() override { return clockMs; }
};

// What a rectangle of a frame shows: the mean of each channel, the spread
// of the brightness, and how many pixels are lit, white or a foe's red.
struct RegionStats
{
    std::array<double, 3> mean{};
    double spread = 0.0; // standard deviation of the brightness
    int lit = 0;
    int white = 0;
    int red = 0;
};

RegionStats Measure(const gfx::Image& image, gfx::Rect rect)
{
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, static_cast<int>(image.width));
    rect.bottom = std::min(rect.bottom, static_cast<int>(image.height));
    RegionStats stats;
    double sum = 0.0;
    double squares = 0.0;
    const double count = std::max(1, rect.Width() * rect.Height());
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
        {
            const std::uint8_t* p =
                &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
            const double brightness = p[0] + p[1] + p[2];
            for (int c = 0; c < 3; ++c)
                stats.mean[c] += p[c] / count;
            sum += brightness;
            squares += brightness * brightness;
            stats.lit += brightness > 0 ? 1 : 0;
            stats.white += brightness >= 3 * 240 ? 1 : 0;
            stats.red += p[0] > 200 && p[1] < 60 && p[2] < 60 ? 1 : 0;
        }
    const double mean = sum / count;
    stats.spread = std::sqrt(std::max(0.0, squares / count - mean * mean));
    return stats;
}

// One step of the play: called after every paint until it answers true,
// within its budget of game time.
struct Step
{
    std::string what;
    std::function<bool()> run;
    int gameSeconds;
};

class Playthrough
{
public:
    Playthrough()
        : machine([this](CAppWindow& window, const platform::Message& message)
                  { Watch(window, message); })
    {
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
    }

    // Declared first: the machine outlives the program, as in main.
    PlayMachine machine;
    CGameApp app;
    std::deque<Step> steps;
    std::string failure;
    int paints = 0;
    std::vector<std::string> shots;

    // ------------------------------------------------------------ the loop

    void Watch(CAppWindow& window, const platform::Message& message)
    {
        m_Ticks += TicksRunSinceLastMessage();
        if (message.kind == platform::MessageKind::Timer)
        {
            if (message.code == app.timerId)
            {
                machine.clockMs += kMsPerGameTimer;
                m_GameTimed = true;
            }
            else if (message.code == kHeartbeatTimerId)
            {
                // A running game paints on its own timer.
                if (!m_GameTimed)
                    window.Invalidate();
                m_GameTimed = false;
                if (m_Ticks != m_TicksAtHeartbeat)
                {
                    m_TicksAtHeartbeat = m_Ticks;
                    m_HeartbeatsStanding = 0;
                }
                else if (++m_HeartbeatsStanding > kMostHeartbeatsStanding && !steps.empty())
                    Fail("the program hangs at: " + steps.front().what);
            }
            return;
        }
        if (message.kind != platform::MessageKind::Paint)
            return;
        if (paints++ == 0)
        {
            // Every library the program needs is loaded by its first paint.
            KeepLoadedLibraries();
            window.SetTimer(kHeartbeatTimerId, 20);
            m_WindowId = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
        }
        if (steps.empty() || !failure.empty())
            return;
        Step& step = steps.front();
        const bool done = step.run();
        if (!failure.empty())
            return;
        if (&steps.front() != &step || done)
        {
            // A step put others before itself to wait for them, or ended.
            if (done)
                steps.pop_front();
            m_StepStart.reset();
            m_HeartbeatsStanding = 0;
            return;
        }
        if (!m_StepStart)
            m_StepStart = m_Ticks;
        const std::uint32_t spent = m_Ticks - *m_StepStart;
        if (spent > static_cast<std::uint32_t>(step.gameSeconds) * VARD::kTicksPerSecond)
            Fail("no end to: " + step.what + " in " + std::to_string(step.gameSeconds) +
                 " game seconds");
    }

    void Fail(const std::string& why)
    {
        if (!failure.empty())
            return;
        // The steps stay: the one running may be what failed.
        failure = why + " (after " + std::to_string(paints) + " paints)";
        app.window->PostClose();
    }

    // The ticks the game ran since the last message. A journey adds its
    // hours as the next area is entered, and a load sets the saved tick:
    // neither is time a step spent.
    std::uint32_t TicksRunSinceLastMessage()
    {
        if (app.gameLoaded == 0 || !app.engine)
        {
            m_Seen.reset();
            return 0;
        }
        const Seen now{Game().GetCurrentArea(), Game().GetTick()};
        const bool sameArea = m_Seen && m_Seen->area == now.area && now.tick >= m_Seen->tick;
        const std::uint32_t ran = sameArea ? now.tick - m_Seen->tick : 0;
        m_Seen = now;
        return ran;
    }

    void Then(std::string what, std::function<bool()> run, int gameSeconds = 20)
    {
        steps.push_back({std::move(what), std::move(run), gameSeconds});
    }
    void Do(std::string what, std::function<void()> action)
    {
        Then(std::move(what),
             [action = std::move(action)]
             {
                 action();
                 return true;
             });
    }

    // ------------------------------------------------------------- input

    void PushMouse(std::uint32_t type, Point point)
    {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION)
        {
            event.motion.windowID = m_WindowId;
            event.motion.x = point.x;
            event.motion.y = point.y;
            event.motion.state = m_ButtonHeld ? SDL_BUTTON_LMASK : 0;
        }
        else
        {
            event.button.windowID = m_WindowId;
            event.button.button = SDL_BUTTON_LEFT;
            event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.button.clicks = 1;
            event.button.x = point.x;
            event.button.y = point.y;
            m_ButtonHeld = type == SDL_MOUSEBUTTONDOWN;
        }
        SDL_PushEvent(&event);
    }
    void Click(Point point)
    {
        PushMouse(SDL_MOUSEMOTION, point);
        PushMouse(SDL_MOUSEBUTTONDOWN, point);
        PushMouse(SDL_MOUSEBUTTONUP, point);
    }
    void Drag(Point from, Point to)
    {
        PushMouse(SDL_MOUSEMOTION, from);
        PushMouse(SDL_MOUSEBUTTONDOWN, from);
        PushMouse(SDL_MOUSEMOTION, {(from.x + to.x) / 2, (from.y + to.y) / 2});
        PushMouse(SDL_MOUSEMOTION, to);
        PushMouse(SDL_MOUSEBUTTONUP, to);
    }
    void Key(SDL_Keycode code)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.windowID = m_WindowId;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = code;
        SDL_PushEvent(&event);
        event.type = SDL_KEYUP;
        event.key.state = SDL_RELEASED;
        SDL_PushEvent(&event);
    }
    // Typing as steps: the shift key is read when a key is handled, so each
    // run of shifted or plain characters is a step of its own. Upper case
    // letters and '_' are typed with shift.
    void Type(const std::string& text)
    {
        std::size_t at = 0;
        while (at < text.size())
        {
            const bool shift = Shifted(text[at]);
            std::size_t end = at;
            while (end < text.size() && Shifted(text[end]) == shift)
                ++end;
            const std::string run = text.substr(at, end - at);
            Do("type \"" + run + "\"",
               [this, run, shift]
               {
                   SDL_SetModState(shift ? KMOD_LSHIFT : KMOD_NONE);
                   for (const char c : run)
                   {
                       if (c == '_')
                           Key(SDLK_MINUS);
                       else if (c >= 'A' && c <= 'Z')
                           Key(static_cast<SDL_Keycode>(c - 'A' + 'a'));
                       else
                           Key(static_cast<SDL_Keycode>(c));
                   }
               });
            at = end;
        }
        Do("release shift", [] { SDL_SetModState(KMOD_NONE); });
    }
    static bool Shifted(char c) { return c == '_' || (c >= 'A' && c <= 'Z'); }

    // A line of the developer console, opened with INSERT and run by ENTER.
    void Console(const std::string& line)
    {
        Do("open the console", [this] { Key(SDLK_INSERT); });
        Type(line);
        Do("run " + line, [this] { Key(SDLK_RETURN); });
        Then("console closed", [this] { return !app.currentDialog; });
    }
    // A console line run before the steps waiting, the current one included.
    void ConsoleFirst(const std::string& line)
    {
        // Swapping moves no step: the running one stays where it is.
        std::deque<Step> waiting;
        waiting.swap(steps);
        Console(line);
        std::deque<Step> first;
        first.swap(steps);
        steps.swap(waiting);
        steps.insert(steps.begin(), std::make_move_iterator(first.begin()),
                     std::make_move_iterator(first.end()));
    }
    // A line known only once the steps before it have run: digits, blanks
    // and lower case letters only.
    void Console(std::function<std::string()> line)
    {
        Do("open the console", [this] { Key(SDLK_INSERT); });
        Do("type a console line",
           [this, line]
           {
               SDL_SetModState(KMOD_NONE);
               for (const char c : line())
                   Key(static_cast<SDL_Keycode>(c));
           });
        Do("run the console line", [this] { Key(SDLK_RETURN); });
        Then("console closed", [this] { return !app.currentDialog; });
    }

    // ---------------------------------------------------------- the screen

    template <class Dialog> Dialog* Current() const
    {
        return dynamic_cast<Dialog*>(app.currentDialog.get());
    }

    // The widget of that id in the tree, inside groups and lists too.
    VARDUI::CUIElement* Find(int id) const { return FindIn(app.ui.GetElements(), id); }
    static VARDUI::CUIElement* FindIn(const VARDUI::CUIElementList& list, int id)
    {
        for (const auto& element : list)
        {
            if (element->GetId() == id)
                return element.get();
            if (const auto* group = dynamic_cast<const VARDUI::CUIGroup*>(element.get()))
                if (auto* inside = FindIn(group->GetChildren(), id))
                    return inside;
            if (const auto* rows = dynamic_cast<const VARDUI::CUIListElement*>(element.get()))
                for (std::size_t s = 0; s < rows->GetSectionCount(); ++s)
                    if (auto* inside = FindIn(rows->GetSectionElements(s), id))
                        return inside;
        }
        return nullptr;
    }
    template <class Widget> Widget* FindKind() const
    {
        for (const auto& element : app.ui.GetElements())
            if (auto* widget = dynamic_cast<Widget*>(element.get()))
                return widget;
        return nullptr;
    }
    const VARDUI::CUIStaticText* FindText(const std::string& text) const
    {
        for (const auto& element : app.ui.GetElements())
            if (const auto* shown = dynamic_cast<const VARDUI::CUIStaticText*>(element.get()))
                if (shown->text == text)
                    return shown;
        return nullptr;
    }
    bool Shown(int id) const
    {
        const VARDUI::CUIElement* widget = Find(id);
        return widget != nullptr && widget->TestFlags(VARDUI::kUIFlagVisible) != 0;
    }
    static Point Centre(const gfx::Rect& rect)
    {
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    // A click on the widget's centre; false when there is no such widget.
    bool Press(int id)
    {
        const VARDUI::CUIElement* widget = Find(id);
        if (widget == nullptr || widget->TestFlags(VARDUI::kUIFlagVisible) == 0)
            return false;
        Click(Centre(widget->GetRect()));
        return true;
    }
    // The frame as drawn, saved as "NN_name.png".
    gfx::Image Shot(const std::string& name)
    {
        gfx::Image frame = app.device->Get()->ReadPixels();
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02zu_", shots.size() + 1);
        const fs::path path = fs::path(VARD_GAME_SHOTS_DIR) / (prefix + name + ".png");
        const std::vector<std::uint8_t> png = gfx::EncodePng(frame);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
        shots.push_back(path.filename().string());
        return frame;
    }

    // ------------------------------------------------------------ the world

    VARD::CGame& Game() const { return app.engine->Game(); }
    std::shared_ptr<VARD::CActor> Hero() const
    {
        const auto party = Game().GetParty();
        return party.empty() ? nullptr : party.front();
    }
    // The first living actor of that template in the current area.
    std::shared_ptr<VARD::CActor> FindActor(const std::string& templateName) const
    {
        const VARD::CArea* area = Game().GetCurrentArea();
        if (area == nullptr)
            return nullptr;
        for (const auto& actor : area->Actors())
            if (actor->GetTemplateName() == templateName && !actor->IsDead())
                return actor;
        return nullptr;
    }
    static double Distance(const VARD::CActor& actor, double x, double z)
    {
        return std::hypot(actor.GetX() - x, actor.GetY() - z);
    }
    bool Idle(const VARD::CActor& actor) const
    {
        return actor.GetOrders().empty() && actor.GetInstantOrders().empty();
    }
    // Idle, or walking for a point it has come no nearer to for a while:
    // a walk whose point another walker stands on circles that walker and
    // never ends, and a player would click elsewhere.
    bool Settled(const VARD::CActor& actor)
    {
        if (Idle(actor))
        {
            m_Walk.reset();
            return true;
        }
        const auto* move =
            actor.GetOrders().empty()
                ? nullptr
                : dynamic_cast<const VARD::CMoveOrder*>(actor.GetOrders().front().get());
        if (move == nullptr)
            return false;
        const double left = Distance(actor, move->GetX(), move->GetY());
        if (!m_Walk || m_Walk->x != move->GetX() || m_Walk->y != move->GetY() ||
            left < m_Walk->nearest - 0.25)
        {
            m_Walk = Walk{move->GetX(), move->GetY(), left, m_Ticks};
            return false;
        }
        return m_Ticks - m_Walk->since > kMostTicksWithoutGain;
    }
    bool InPlay() const
    {
        return app.gameLoaded != 0 && app.sceneBuilt != 0 && !app.currentDialog &&
               Game().GetCurrentArea() != nullptr;
    }

    // Where a world point shows in the window, through the camera the last
    // paint used (the one a click is picked with); nothing when it is off
    // the view or under a widget.
    std::optional<Point> ToScreen(double x, double height, double z)
    {
        const gfx::Device& device = *app.device->Get();
        const gfx::Vec3 at =
            gfx::Project({static_cast<float>(x), static_cast<float>(height), static_cast<float>(z)},
                         device.GetViewport(), device.GetTransform(gfx::TransformState::Projection),
                         device.GetTransform(gfx::TransformState::View), gfx::Matrix::Identity());
        const gfx::Rect client = app.GetClientRect();
        const Point point{static_cast<int>(std::lround(at.x)), static_cast<int>(std::lround(at.y))};
        if (at.z < 0.0f || at.z > 1.0f || point.x < client.left + 4 || point.y < client.top + 4 ||
            point.x >= client.right - 4 || point.y >= client.bottom - 4)
            return std::nullopt;
        if (app.ui.HitTest(&point, nullptr, nullptr) != 0)
            return std::nullopt;
        return point;
    }
    VARDGraph::PickResult PickAt(Point point) const
    {
        return app.scene.Pick(*app.device->Get(), static_cast<float>(point.x),
                              static_cast<float>(point.y), *Game().GetCurrentArea());
    }
    // The first of the heights over the ground point where a click picks
    // the thing; none when no height does.
    std::optional<Point> PickedOnScreen(const VARD::CThing* thing, double x, double z,
                                        const std::vector<double>& heights)
    {
        for (const double height : heights)
            if (const auto point = ToScreen(x, height, z); point && PickAt(*point).thing == thing)
                return point;
        return std::nullopt;
    }
    // The actor's middle on the screen where a click picks that actor.
    std::optional<Point> ActorOnScreen(const VARD::CActor& actor)
    {
        const double size = actor.GetSecondSize();
        return PickedOnScreen(&actor, actor.GetX(), actor.GetY(),
                              {size * 0.5, size * 0.3, size * 0.7});
    }

    // A click on open floor on the way to the point, a short walk at a time
    // so that the click stays on the screen; false when none could be found.
    bool WalkToward(double x, double z)
    {
        const auto hero = Hero();
        const double dx = x - hero->GetX();
        const double dz = z - hero->GetY();
        const double length = std::max(0.001, std::hypot(dx, dz));
        for (const double reach : {14.0, 10.0, 6.0, 3.0})
        {
            const double along = std::min(reach, length);
            for (const double aside : {0.0, 2.0, -2.0, 4.0, -4.0})
            {
                const double px = hero->GetX() + dx / length * along - dz / length * aside;
                const double pz = hero->GetY() + dz / length * along + dx / length * aside;
                const auto point = ToScreen(px, 0.0, pz);
                if (!point)
                    continue;
                const VARDGraph::PickResult picked = PickAt(*point);
                const auto* tile = dynamic_cast<const VARD::CTile*>(picked.thing);
                if (picked.kind == VARDGraph::kPickTile && tile != nullptr &&
                    tile->GetKind() == VARD::kTileKindFloor)
                {
                    Click(*point);
                    return true;
                }
            }
        }
        return false;
    }

    // Walks until the hero stands within reach of the point; a dialog that
    // opens on the way (a greeting) ends the walk too.
    void WalkTo(const std::string& what, std::function<std::optional<std::array<double, 2>>()> goal,
                double within)
    {
        Then(
            "walk to " + what,
            [this, what, goal, within]
            {
                if (app.currentDialog)
                    return true;
                if (!InPlay())
                    return false;
                const auto target = goal();
                if (!target)
                {
                    Fail("nothing to walk to: " + what);
                    return true;
                }
                const auto hero = Hero();
                if (Distance(*hero, (*target)[0], (*target)[1]) <= within)
                    return true;
                if (Settled(*hero) && !WalkToward((*target)[0], (*target)[1]))
                    Fail("no open floor on the way to " + what);
                return false;
            },
            120);
    }

    // Once play runs (and the hero stands, if asked), moves the pointer over
    // the object where a click picks it, at the first of the heights that
    // does, until a paint shows the hover window naming it by that title;
    // then `named` runs on that paint's frame with the point.
    void PointAt(const std::string& what, std::function<std::shared_ptr<VARD::CObject>()> find,
                 std::vector<double> heights, bool idleFirst, const std::string& title,
                 std::function<void(const gfx::Image& frame, Point at)> named)
    {
        auto at = std::make_shared<std::optional<Point>>();
        Then("point at " + what,
             [this, what, find, heights, idleFirst, title, named, at]
             {
                 if (!InPlay() || (idleFirst && !Settled(*Hero())))
                     return false;
                 const auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(app.hoverWindow);
                 if (*at && hover != nullptr && hover->GetInfo().title == title)
                 {
                     named(Shot(what + "_pointed"), **at);
                     return true;
                 }
                 const auto object = find();
                 *at = object
                           ? PickedOnScreen(object.get(), object->GetX(), object->GetY(), heights)
                           : std::nullopt;
                 if (!*at)
                 {
                     Fail(what + " is not picked where it is drawn");
                     return true;
                 }
                 PushMouse(SDL_MOUSEMOTION, **at);
                 return false;
             });
    }

    // Drags the things of the container the open inventory page shows into
    // the backpack, one at a time, the next once the page shows the last one
    // gone; a shot of the page as it opens when named.
    void EmptyContainer(const std::string& what, std::function<const VARD::CObject*()> container,
                        const std::string& shot = "")
    {
        auto shownBeforeDrag = std::make_shared<std::size_t>(0);
        Then(
            "empty " + what,
            [this, what, container, shot, shownBeforeDrag]
            {
                const CActorInvDlg* page = Current<CActorInvDlg>();
                if (page == nullptr)
                    return false;
                if (page->GetContainerInReach() != container())
                {
                    Fail("the page shows not " + what);
                    return true;
                }
                const auto& rows = page->GetContainerList()->GetItems();
                if (rows.empty())
                    return true;
                if (rows.size() == *shownBeforeDrag)
                    return false;
                if (*shownBeforeDrag == 0 && !shot.empty())
                    Shot(shot);
                *shownBeforeDrag = rows.size();
                const VARDUI::CUIElement* token = Find(CActorInvDlg::kFirstContainerRow);
                if (token == nullptr || token->GetRect().Width() <= 0)
                {
                    Fail("the first thing of " + what + " is not drawn");
                    return true;
                }
                Drag(Centre(token->GetRect()), Centre(page->GetBackpackList()->GetRect()));
                return false;
            },
            40);
    }

    // The exit whose text holds the word, or none.
    std::shared_ptr<VARD::CObject> FindExit(const std::string& word) const
    {
        for (const auto& object : Game().GetCurrentArea()->Objects())
            if (object->IsExit() && object->GetExitText().find(word) != std::string::npos)
                return object;
        return nullptr;
    }
    // Walks to that exit, clicks it, and leaves by the HUD's "Exit" once the
    // party stands on it.
    void LeaveBy(const std::string& word)
    {
        Then(
            "leave by the exit to " + word,
            [this, word]
            {
                if (!InPlay())
                    return false;
                if (Shown(kHudExitButtonId))
                    return Press(kHudExitButtonId);
                if (!Settled(*Hero()))
                    return false;
                const auto exit = FindExit(word);
                if (!exit)
                {
                    Fail("no exit to " + word);
                    return true;
                }
                if (Distance(*Hero(), exit->GetX(), exit->GetY()) < 8.0)
                    for (const double height : {0.5, 1.0, 0.1})
                        if (const auto point = ToScreen(exit->GetX(), height, exit->GetY()))
                            if (PickAt(*point).thing == exit.get())
                            {
                                Click(*point);
                                return false;
                            }
                if (!WalkToward(exit->GetX(), exit->GetY()))
                    Fail("no way to the exit to " + word);
                return false;
            },
            120);
    }

    // Clicks the actor (talk for a friend, attack for a foe) until the
    // condition holds.
    void ClickActorUntil(const std::string& templateName, std::function<bool()> done,
                         int gameSeconds)
    {
        Then(
            "click " + templateName,
            [this, templateName, done]
            {
                if (done())
                    return true;
                if (!InPlay() || !Settled(*Hero()))
                    return false;
                const auto actor = FindActor(templateName);
                if (!actor)
                {
                    Fail("no " + templateName + " to click");
                    return true;
                }
                if (const auto point = ActorOnScreen(*actor))
                    Click(*point);
                else if (!WalkToward(actor->GetX(), actor->GetY()))
                    Fail("cannot reach " + templateName);
                return false;
            },
            gameSeconds);
    }

    // Clicks the talk window's answer that holds the text.
    void Answer(const std::string& text)
    {
        Then("answer \"" + text + "\"",
             [this, text]
             {
                 const CTalkDlg* talk = Current<CTalkDlg>();
                 auto* lines = FindKind<VARDUI::CUITalkElement>();
                 if (talk == nullptr || lines == nullptr)
                     return false;
                 const auto& choices = talk->GetChoices();
                 const auto found = std::find_if(choices.begin(), choices.end(),
                                                 [&](const std::string& choice) {
                                                     return choice.find(text) != std::string::npos;
                                                 });
                 if (found == choices.end())
                 {
                     Fail("no answer \"" + text + "\" among " + std::to_string(choices.size()));
                     return true;
                 }
                 const int wanted = CTalkDlg::kChoiceIdBase +
                                    static_cast<int>(std::distance(choices.begin(), found));
                 // The drawn answers answer a hit test with their ids.
                 const gfx::Rect rect = lines->GetRect();
                 for (int y = rect.top + 2; y < rect.bottom - 2; y += 2)
                 {
                     const Point point{rect.left + 20, y};
                     std::int32_t id = 0;
                     VARDUI::CUIElement* hit = nullptr;
                     if (app.ui.HitTest(&point, &hit, &id) != 0 && hit == lines && id == wanted)
                     {
                         Click(point);
                         return true;
                     }
                 }
                 Fail("answer \"" + text + "\" is not drawn");
                 return true;
             });
    }

    // Where the last talk window was drawn.
    gfx::Rect lastTalkRect;

    // Waits for a talk window whose lines hold the text; its picture shows
    // the words, the frame and the scroll bar.
    void CheckTalkShot(const std::string& name, const std::string& said)
    {
        Then(
            "talk window " + name,
            [this, name, said]
            {
                const CTalkDlg* talk = Current<CTalkDlg>();
                auto* lines = FindKind<VARDUI::CUITalkElement>();
                if (talk == nullptr || lines == nullptr)
                    return false;
                const gfx::Image frame = Shot(name);
                lastTalkRect = lines->GetRect();
                bool heard = false;
                for (const auto& line : talk->GetLines())
                    heard = heard || line.find(said) != std::string::npos;
                EXPECT_TRUE(heard) << said;
                // White letters on the window, and its white frame.
                const RegionStats inside = Measure(frame, lastTalkRect);
                EXPECT_GT(inside.white, 200) << name;
                const RegionStats top =
                    Measure(frame, {lastTalkRect.left + 4, lastTalkRect.top,
                                    lastTalkRect.right - 30, lastTalkRect.top + 1});
                EXPECT_GT(top.white, (lastTalkRect.Width() - 34) * 9 / 10) << name;
                // The white arrows of its scroll button (about a hundred
                // pixels), which no other page has there.
                EXPECT_GT(Measure(frame, TalkScrollButton()).white, 60) << name;
                return true;
            },
            80);
    }
    // The button atop the talk window's scroll bar.
    gfx::Rect TalkScrollButton() const
    {
        return {lastTalkRect.right - 24, lastTalkRect.top + 2, lastTalkRect.right - 2,
                lastTalkRect.top + 24};
    }
    // No trace of the talk window where it stood.
    void ExpectNoTalkWindow(const gfx::Image& frame, const std::string& name)
    {
        EXPECT_EQ(FindKind<VARDUI::CUITalkElement>(), nullptr) << name;
        EXPECT_LT(Measure(frame, TalkScrollButton()).white, 40) << name;
    }

    // The title line of the hover window, right of its icon and bars.
    gfx::Rect HoverTitle() const
    {
        const gfx::Rect rect = app.hoverWindow->GetRect();
        return {rect.left + 50, rect.top + 2, rect.right - 2, rect.top + 18};
    }

    // The game screen: the view drawn and the hero's portrait on the HUD.
    void ExpectGameScreen(const gfx::Image& frame, const std::string& name)
    {
        const VARDUI::CUIElement* portrait = Find(kHudFirstPortraitId);
        ASSERT_NE(portrait, nullptr) << name;
        const RegionStats face = Measure(frame, portrait->GetRect());
        EXPECT_GT(face.lit, portrait->GetRect().Width() * portrait->GetRect().Height() / 2) << name;
        EXPECT_GT(face.spread, 20.0) << name;
        const gfx::Rect client = app.GetClientRect();
        const Point centre = Centre(client);
        const RegionStats view =
            Measure(frame, {centre.x - 150, centre.y - 100, centre.x + 150, centre.y + 100});
        EXPECT_GT(view.lit, 300 * 200 * 9 / 10) << name;
        EXPECT_GT(view.spread, 10.0) << name;
    }

    std::uint32_t m_WindowId = 0;
    bool m_ButtonHeld = false;
    bool m_GameTimed = false;
    // The hero's walk: its point, the nearest he came to it, and since when.
    struct Walk
    {
        double x = 0.0;
        double y = 0.0;
        double nearest = 0.0;
        std::uint32_t since = 0;
    };
    std::optional<Walk> m_Walk;
    // The ticks the game has run, counted as they pass; the ticks when the
    // running step was first found unfinished, and at the last heartbeat.
    std::uint32_t m_Ticks = 0;
    std::optional<std::uint32_t> m_StepStart;
    std::uint32_t m_TicksAtHeartbeat = 0;
    int m_HeartbeatsStanding = 0;
    // The area and tick the last message left.
    struct Seen
    {
        const VARD::CArea* area = nullptr;
        std::uint32_t tick = 0;
    };
    std::optional<Seen> m_Seen;
};

std::size_t CountItems(const VARD::CActor& actor, const std::string& templateName)
{
    std::size_t count = 0;
    for (const auto& item : actor.GetBackpackItems())
        if (item->GetTemplate()->GetName() == templateName)
            count += item->GetValue1();
    return count;
}

bool Logged(const CGameApp& app, const std::string& text)
{
    return std::any_of(app.messageLog.begin(), app.messageLog.end(),
                       [&](const std::string& line)
                       { return line.find(text) != std::string::npos; });
}

// The rows of an items list, below its caption and left of its scroll bar.
gfx::Rect ListRows(const VARDUI::CUIElement& list)
{
    const gfx::Rect rect = list.GetRect();
    return {rect.left + 2, rect.top + 20, rect.right - 28, rect.top + 170};
}

// A home of the test's own for the saved games folder.
fs::path FreshHome()
{
    const fs::path home = fs::path(VARD_GAME_SHOTS_DIR) / "home";
    std::error_code error;
    fs::remove_all(home, error);
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    return home;
}

TEST(GamePlaythrough, FromTheSplashThroughCreationTalkTradeFightSaveAndLoadToTheVictory)
{
    std::error_code error;
    fs::remove_all(VARD_GAME_SHOTS_DIR, error);
    fs::create_directories(VARD_GAME_SHOTS_DIR);
    const fs::path home = FreshHome();
    const fs::path savedGame = home / "hero.vard";
    Playthrough play;
    Playthrough& p = play;
    p.machine.desktop.fileAnswers.push_back(savedGame.string());

    // ---- The splash, then the start screen with its banner.
    p.Then("the splash",
           [&]
           {
               if (p.Current<CSplashDlg>() == nullptr)
                   return false;
               const gfx::Image frame = p.Shot("splash");
               const VARDUI::CUIElement* done = p.Find(CSplashDlg::kDoneId);
               EXPECT_NE(done, nullptr);
               if (done != nullptr)
               {
                   EXPECT_GT(Measure(frame, done->GetRect()).lit, 40);
               }
               EXPECT_EQ(Measure(frame, {0, static_cast<int>(frame.height) - 50, 50,
                                         static_cast<int>(frame.height)})
                             .lit,
                         0);
               p.Key(SDLK_ESCAPE);
               return true;
           });
    p.Then("the start screen",
           [&]
           {
               if (p.Current<CStartDlg>() == nullptr)
                   return false;
               const gfx::Image frame = p.Shot("start_screen");
               const int cx = static_cast<int>(frame.width) / 2;
               const int cy = static_cast<int>(frame.height) / 2;
               const gfx::Image banner =
                   gfx::DecodeImage(VARDResources::FindBuiltInImage(CStartDlg::kTitleImage));
               const RegionStats drawn = Measure(frame, {cx - 340, cy - 190, cx + 340, cy - 26});
               const RegionStats source = Measure(banner, {25, 9, 703, 171});
               for (int c = 0; c < 3; ++c)
                   EXPECT_NEAR(drawn.mean[c], source.mean[c], 12.0) << c;
               EXPECT_EQ(Measure(frame, {0, 0, 40, 40}).lit, 0);
               return p.Press(CStartDlg::kNewGameId);
           });

    // ---- Creation: a male fighter, every attribute point in strength
    // first, the skills as offered, the first head and colours, "Hero".
    p.Then("the gender page",
           [&]
           {
               if (p.Current<CCCGenderDlg>() == nullptr)
                   return false;
               const gfx::Image frame = p.Shot("creation_gender");
               const VARDUI::CUIElement* male = p.Find(CCCGenderDlg::kMaleId);
               EXPECT_NE(male, nullptr);
               if (male != nullptr)
               {
                   // The button's face and caption against the black around
                   // the page.
                   const gfx::Rect& rect = male->GetRect();
                   const RegionStats button = Measure(frame, rect);
                   EXPECT_GT(button.spread, 10.0);
                   EXPECT_GT(button.white, 10);
                   // The page's words in their box above the buttons.
                   EXPECT_GT(Measure(frame, {rect.left - 140, rect.top - 170, rect.right + 140,
                                             rect.top - 30})
                                 .white,
                             300);
               }
               EXPECT_EQ(Measure(frame, {0, 0, 40, 40}).lit, 0);
               return p.Press(CCCGenderDlg::kMaleId);
           });
    p.Then("the class page", [&]
           { return p.Current<CCCClassDlg>() != nullptr && p.Press(CCCClassDlg::kClassBaseId); });
    p.Then(
        "the attribute page",
        [&]
        {
            if (p.Current<CAttribDlg>() == nullptr)
                return false;
            if (p.Shown(CAttribDlg::kDoneId))
            {
                p.Shot("creation_attributes");
                return p.Press(CAttribDlg::kDoneId);
            }
            for (int a = 0; a < 5; ++a)
                if (p.Press(CAttribDlg::kBuyBaseId + a))
                    return false;
            p.Fail("points left and nothing to buy");
            return true;
        },
        40);
    p.Then(
        "the skill page",
        [&]
        {
            const CSkillsDlg* page = p.Current<CSkillsDlg>();
            if (page == nullptr)
                return false;
            if (p.Shown(CSkillsDlg::kDoneId))
                return p.Press(CSkillsDlg::kDoneId);
            const gfx::Rect list = page->GetSkillList()->GetRect();
            for (int s = 0; s < 64; ++s)
            {
                const VARDUI::CUIElement* buy = p.Find(CSkillsDlg::kBuyBaseId + s);
                if (buy != nullptr && buy->TestFlags(VARDUI::kUIFlagVisible) != 0 &&
                    buy->GetRect().top >= list.top && buy->GetRect().bottom <= list.bottom)
                {
                    p.Click(Playthrough::Centre(buy->GetRect()));
                    return false;
                }
            }
            p.Fail("skill points left and no skill shown to buy");
            return true;
        },
        40);
    p.Then("the head page",
           [&] { return p.Current<CCCHeadDlg>() != nullptr && p.Press(CCCHeadDlg::kHeadBaseId); });
    p.Then("the colour page",
           [&] { return p.Current<CCCColorsDlg>() != nullptr && p.Press(CCCColorsDlg::kDoneId); });
    p.Then("the name page", [&] { return p.Current<CCCNameDlg>() != nullptr; });
    p.Type("Hero");
    p.Then("the name typed",
           [&]
           {
               const CCCNameDlg* page = p.Current<CCCNameDlg>();
               EXPECT_NE(page, nullptr);
               if (page != nullptr)
               {
                   EXPECT_EQ(page->GetTypedName(), "Hero");
               }
               // The name as typed, in its box.
               const gfx::Image frame = p.Shot("creation_name");
               const auto* box = p.FindText("Hero");
               EXPECT_NE(box, nullptr);
               if (box != nullptr)
               {
                   EXPECT_GT(Measure(frame, box->GetRect()).white, 15);
               }
               return p.Press(CCCNameDlg::kDoneId);
           });

    // ---- Into Eastbridge with the made hero.
    p.Then(
        "the town",
        [&]
        {
            if (!p.InPlay())
                return false;
            const auto hero = p.Hero();
            EXPECT_EQ(hero->GetName(), "Hero");
            EXPECT_EQ(p.Game().GetParty().size(), 1u);
            p.ExpectGameScreen(p.Shot("town"), "town");
            return true;
        },
        40);

    // ---- The temple's door, opened by a click on it; the priest comes
    // out to greet the party, and the quest is taken by a click on its line.
    const auto templeDoor = [&]() -> std::optional<std::array<double, 2>>
    {
        const auto priest = p.FindActor("priest");
        const VARD::CArea* area = p.Game().GetCurrentArea();
        if (!priest || area == nullptr)
            return std::nullopt;
        std::optional<std::array<double, 2>> best;
        double bestDistance = 1e9;
        for (std::uint32_t row = 0; row < area->GetHeight(); ++row)
            for (std::uint32_t column = 0; column < area->GetWidth(); ++column)
            {
                const VARD::CTile* tile = area->GetTile(column, row);
                if (tile == nullptr || tile->GetKind() != VARD::kTileKindDoor)
                    continue;
                const double x = (column + 0.5) * VARD::kCellSize;
                const double z = (row + 0.5) * VARD::kCellSize;
                const double d = Playthrough::Distance(*priest, x, z);
                if (d < bestDistance)
                {
                    bestDistance = d;
                    best = std::array<double, 2>{x, z};
                }
            }
        return best;
    };
    p.WalkTo("the temple door", templeDoor, 6.0);
    p.Then("click the temple door",
           [&]
           {
               if (p.app.currentDialog)
                   return true;
               if (!p.InPlay() || !p.Settled(*p.Hero()))
                   return false;
               // The hero may stand before part of it: any point of the
               // door's face will do.
               const auto door = templeDoor();
               for (const double height : {1.5, 2.5, 0.8})
                   for (const double aside : {0.0, -1.0, 1.0, -2.0, 2.0, 3.0})
                   {
                       const auto point = door ? p.ToScreen((*door)[0] + aside, height, (*door)[1])
                                               : std::optional<Point>{};
                       if (!point)
                           continue;
                       const auto* tile = dynamic_cast<const VARD::CTile*>(p.PickAt(*point).thing);
                       if (tile != nullptr && tile->GetKind() == VARD::kTileKindDoor)
                       {
                           p.Click(*point);
                           return true;
                       }
                   }
               p.Fail("the temple door is not on the screen");
               return true;
           });
    // Once the door stands open he sees the party and comes to talk: a
    // click on him as well would only have him speak twice.
    p.Then(
        "the priest comes to talk", [&] { return p.Current<CTalkDlg>() != nullptr; }, 180);
    p.CheckTalkShot("talk_priest", "Cultists have taken the old temple");
    p.Answer("We will bring the key back.");
    p.CheckTalkShot("talk_priest_blessing", "Bless you.");
    p.Answer("Done");
    p.Then("the quest taken",
           [&]
           {
               if (!p.InPlay())
                   return false;
               const gfx::Image frame = p.Shot("quest_taken");
               p.ExpectNoTalkWindow(frame, "quest_taken");
               p.ExpectGameScreen(frame, "quest_taken");
               EXPECT_TRUE(Logged(p.app, "You have been assigned a quest (The Temple Key)."));
               EXPECT_EQ(CountItems(*p.Hero(), "i_potion-heal"), 1u);
               EXPECT_NE(p.Game().GetQuestTag("met_priest"), 0);
               return true;
           });

    // ---- The chest by the gate: clicked, the hero walks to it and its page
    // opens beside his backpack; each thing in it dragged across. Its coins
    // become the party's gold and pay for the purchase.
    const auto townChest = [&]() -> std::shared_ptr<VARD::CObject>
    {
        for (const auto& object : p.Game().GetCurrentArea()->Objects())
            if (object->GetInstanceName() == "town_chest")
                return object;
        return nullptr;
    };
    p.Then(
        "open the town chest",
        [&]
        {
            if (p.Current<CActorInvDlg>() != nullptr)
                return true;
            if (!p.InPlay() || !p.Settled(*p.Hero()))
                return false;
            const auto chest = townChest();
            if (!chest)
            {
                p.Fail("no chest by the gate");
                return true;
            }
            for (const double height : {0.5, 0.8, 0.3})
                if (const auto point = p.ToScreen(chest->GetX(), height, chest->GetY()))
                    if (p.PickAt(*point).thing == chest.get())
                    {
                        p.Click(*point);
                        return false;
                    }
            // Too far to be seen yet: closer first. The walk ends by the
            // chest, not at it: a solid chest's place cannot be stood on.
            if (!p.WalkToward(chest->GetX(), chest->GetY()))
                p.Fail("no way to the town chest");
            return false;
        },
        60);
    std::int32_t goldBeforeChest = 0;
    std::int32_t chestGold = 0;
    std::size_t chestBread = 0;
    std::size_t breadBeforeChest = 0;
    int chestListWhite = 0;
    p.Then("the chest's page",
           [&]
           {
               const CActorInvDlg* page = p.Current<CActorInvDlg>();
               if (page == nullptr)
                   return false;
               const VARD::CObject* chest = page->GetContainerInReach();
               if (chest == nullptr || chest != townChest().get())
               {
                   p.Fail("the page shows no chest, or another");
                   return true;
               }
               for (const auto& item : chest->GetItems())
               {
                   const std::string& name = item->GetTemplate()->GetName();
                   if (name == "gold")
                       chestGold += static_cast<std::int32_t>(item->GetValue1());
                   else if (name == "bread")
                       chestBread += item->GetValue1();
               }
               EXPECT_EQ(chestGold, 80);
               EXPECT_GT(chestBread, 0u);
               EXPECT_EQ(page->GetContainerList()->GetItems().size(), chest->GetItems().size());
               goldBeforeChest = p.Game().GetGold();
               breadBeforeChest = CountItems(*p.Hero(), "bread");
               EXPECT_EQ(page->GetGoldLine(), std::to_string(goldBeforeChest) + " gold");
               // The chest's things drawn in their list.
               const gfx::Image frame = p.Shot("chest_opened");
               const RegionStats drawn = Measure(frame, ListRows(*page->GetContainerList()));
               EXPECT_GT(drawn.spread, 10.0);
               EXPECT_GT(drawn.white, 10);
               chestListWhite = drawn.white;
               return true;
           });
    p.EmptyContainer("the chest", [&] { return townChest().get(); });
    p.Then("the chest emptied",
           [&]
           {
               const CActorInvDlg* page = p.Current<CActorInvDlg>();
               if (page == nullptr)
               {
                   p.Fail("the chest's page closed");
                   return true;
               }
               EXPECT_TRUE(townChest()->GetItems().empty());
               EXPECT_EQ(p.Game().GetGold(), goldBeforeChest + chestGold);
               EXPECT_EQ(page->GetGoldLine(),
                         std::to_string(goldBeforeChest + chestGold) + " gold");
               // The coins are the party's gold, not a thing in the pack.
               EXPECT_EQ(CountItems(*p.Hero(), "gold"), 0u);
               EXPECT_EQ(CountItems(*p.Hero(), "bread"), breadBeforeChest + chestBread);
               EXPECT_EQ(CountItems(*p.Hero(), "torch"), 1u);
               const gfx::Image frame = p.Shot("chest_emptied");
               // Nothing left where the chest's things and their counts were.
               EXPECT_LT(Measure(frame, ListRows(*page->GetContainerList())).white,
                         chestListWhite / 4);
               EXPECT_TRUE(Logged(p.app, "The party has gained 80 gold."));
               return p.Press(CBaseActorDlg2::kGameTabId);
           });
    // The click on the chest was on ground the chest itself covers: no walk
    // into it follows the use, and the hero stands still.
    p.Then("the hero still by the chest",
           [&]
           {
               if (!p.InPlay())
                   return false;
               EXPECT_TRUE(p.Hero()->GetOrders().empty());
               return true;
           });

    // ---- A purchase: the merchant's wares, a dagger dragged into the
    // backpack.
    std::int32_t goldBeforeTrade = 0;
    std::uint32_t daggerPrice = 0;
    p.ClickActorUntil(
        "merchant", [&] { return p.Current<CTalkDlg>() != nullptr; }, 180);
    p.CheckTalkShot("talk_merchant", "Welcome, welcome!");
    p.Answer("Show me your wares.");
    p.Answer("Done");
    p.Then("the store",
           [&]
           {
               if (p.Current<CStoreDlg>() == nullptr)
                   return false;
               const gfx::Image frame = p.Shot("store");
               goldBeforeTrade = p.Game().GetGold();
               EXPECT_GE(goldBeforeTrade, 40);
               const auto merchant = p.FindActor("merchant");
               const auto* wares =
                   dynamic_cast<const VARDUI::CUIListElement*>(p.Find(CStoreDlg::kStoreId));
               const VARDUI::CUIElement* backpack = p.Find(CStoreDlg::kBackpackId);
               if (!merchant || wares == nullptr || backpack == nullptr)
               {
                   p.Fail("a store without its keeper or its lists");
                   return true;
               }
               // Both lists drawn with their tokens.
               for (const VARDUI::CUIElement* list :
                    {static_cast<const VARDUI::CUIElement*>(wares), backpack})
               {
                   const RegionStats drawn = Measure(frame, list->GetRect());
                   EXPECT_GT(drawn.spread, 10.0);
                   EXPECT_GT(drawn.white, 20);
               }
               const auto items = merchant->CollectTradeItems();
               for (std::size_t i = 0; i < items.size(); ++i)
               {
                   if (items[i]->GetTemplate()->GetName() != "dagger")
                       continue;
                   const VARDUI::CUIElement* token =
                       p.Find(CStoreDlg::kStoreRowBase + static_cast<int>(i));
                   if (token == nullptr || token->GetRect().bottom > wares->GetRect().bottom ||
                       token->GetRect().Width() <= 0)
                       continue;
                   daggerPrice = items[i]->GetTemplate()->GetValue();
                   p.Drag(Playthrough::Centre(token->GetRect()),
                          Playthrough::Centre(backpack->GetRect()));
                   return true;
               }
               p.Fail("no dagger shown among the wares");
               return true;
           });
    p.Then("the dagger bought",
           [&]
           {
               if (CountItems(*p.Hero(), "dagger") == 0)
                   return false;
               EXPECT_GT(daggerPrice, 0u);
               EXPECT_EQ(p.Game().GetGold(),
                         goldBeforeTrade - static_cast<std::int32_t>(daggerPrice));
               p.Shot("store_bought");
               return p.Press(CStoreDlg::kDoneId);
           });
    p.Then("out of the store",
           [&]
           {
               if (!p.InPlay())
                   return false;
               EXPECT_EQ(p.Current<CStoreDlg>(), nullptr);
               EXPECT_EQ(p.FindKind<VARDUI::CUIItemsListWindow>(), nullptr);
               return true;
           });

    // ---- Into the wood by the road east: the town's exit onto the world
    // map, then a click on Greywood there.
    std::string town;
    p.Do("remember the town", [&] { town = p.Game().GetCurrentArea()->GetName(); });
    p.LeaveBy("east road");
    Point greywood{};
    p.Then(
        "the world map",
        [&]
        {
            if (!p.app.IsOnWorldMap() || p.app.sceneBuilt == 0 || p.app.currentDialog ||
                !p.app.mapView.IsInitialised() || p.app.mapView.GetBottomMargin() == 0)
                return false;
            // The places as the last paint laid them out: Greywood's middle,
            // and the town's too so that the two are told apart.
            const VARD::CMap2* map = p.Game().GetCurrentWorldMap();
            const gfx::Rect client = p.app.GetClientRect();
            long sumX = 0;
            long sumY = 0;
            long hits = 0;
            bool townHit = false;
            for (int y = client.top; y < client.bottom; y += 4)
                for (int x = client.left; x < client.right; x += 4)
                {
                    std::shared_ptr<VARD::CMap2Area> place;
                    if (!p.app.mapView.HitTest(x, y, *p.app.device->Get(), map, place))
                        continue;
                    townHit = townHit || place->GetAreaName() == "town";
                    if (place->GetAreaName() == "forest")
                    {
                        sumX += x;
                        sumY += y;
                        ++hits;
                    }
                }
            EXPECT_TRUE(townHit);
            if (hits == 0)
            {
                p.Fail("Greywood is not on the world map");
                return true;
            }
            greywood = {static_cast<int>(sumX / hits), static_cast<int>(sumY / hits)};
            p.PushMouse(SDL_MOUSEMOTION, greywood);
            return true;
        },
        60);
    p.Then("Greywood under the pointer",
           [&]
           {
               const auto& lit = p.app.mapView.GetHighlightedLocation();
               if (!lit)
                   return false;
               EXPECT_EQ(lit->GetDisplayName(), "Greywood");
               const gfx::Image frame = p.Shot("world_map");
               // The map's pictures fill the view above the messages.
               const gfx::Rect client = p.app.GetClientRect();
               const Point centre = Playthrough::Centre(client);
               const RegionStats map =
                   Measure(frame, {centre.x - 200, centre.y - 150, centre.x + 200, centre.y + 50});
               EXPECT_EQ(map.lit, 400 * 200);
               EXPECT_GT(map.spread, 10.0);
               // The place named in the hover window.
               const auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(p.app.hoverWindow);
               EXPECT_NE(hover, nullptr);
               if (hover != nullptr)
               {
                   EXPECT_EQ(hover->GetInfo().title, "Greywood");
                   EXPECT_GT(Measure(frame, hover->GetRect()).white, 30);
               }
               p.Click(greywood);
               return true;
           });
    p.Then(
        "the wood",
        [&]
        {
            if (!p.InPlay() || p.Game().GetCurrentArea()->GetName() == town)
                return false;
            const VARD::CArea& wood = *p.Game().GetCurrentArea();
            EXPECT_EQ(wood.GetName(), "forest");
            EXPECT_EQ(wood.GetTitle(), "Greywood");
            EXPECT_FALSE(p.app.IsOnWorldMap());
            const VARD::CAreaEntry* road = wood.FindEntry("road");
            EXPECT_NE(road, nullptr);
            if (road != nullptr)
            {
                EXPECT_LT(Playthrough::Distance(*p.Hero(),
                                                (road->GetColumn() + 0.5) * VARD::kCellSize,
                                                (road->GetRow() + 0.5) * VARD::kCellSize),
                          VARD::kCellSize * 2);
            }
            p.ExpectGameScreen(p.Shot("greywood"), "greywood");
            return true;
        },
        60);

    // ---- The lost pack by the road: named under the pointer, opened like
    // a chest by a click, its potions dragged into the backpack.
    const auto lostPack = [&]() -> std::shared_ptr<VARD::CObject>
    {
        for (const auto& object : p.Game().GetCurrentArea()->Objects())
            if (object->GetInstanceName() == "lost_pack")
                return object;
        return nullptr;
    };
    std::size_t potionsBeforePack = 0;
    p.PointAt("lost_pack", lostPack, {0.3, 0.15, 0.45}, false, "Traveller's pack",
              [&](const gfx::Image& frame, Point at)
              {
                  const auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(p.app.hoverWindow);
                  EXPECT_EQ(hover->GetInfo().text, "Container");
                  EXPECT_GT(Measure(frame, p.HoverTitle()).white, 30);
                  potionsBeforePack = CountItems(*p.Hero(), "i_potion-heal");
                  p.Click(at);
              });
    p.EmptyContainer(
        "the lost pack", [&] { return lostPack().get(); }, "lost_pack_opened");
    p.Then("the potions taken",
           [&]
           {
               EXPECT_EQ(CountItems(*p.Hero(), "i_potion-heal"), potionsBeforePack + 2);
               return p.Press(CBaseActorDlg2::kGameTabId);
           });

    // ---- The rats wait in view on the road until the hero comes near,
    // then run at him: each is clicked until it falls. The hero is the new
    // fighter the creation pages made; he is healed only should he fall low.
    std::vector<std::uint32_t> rats;
    int heals = 0;
    p.Then("the rats in view up the road",
           [&]
           {
               if (!p.InPlay())
                   return false;
               for (const auto& actor : p.Game().GetCurrentArea()->Actors())
                   if (actor->GetTemplateName() == "giant_rat")
                   {
                       rats.push_back(actor->Id());
                       EXPECT_FALSE(actor->IsHostile());
                       EXPECT_TRUE(p.ActorOnScreen(*actor).has_value());
                       EXPECT_GT(Playthrough::Distance(*actor, p.Hero()->GetX(), p.Hero()->GetY()),
                                 10 * VARD::kCellSize);
                   }
               EXPECT_EQ(rats.size(), 2u);
               p.ExpectGameScreen(p.Shot("rats_waiting"), "rats_waiting");
               return true;
           });
    const auto ratAlive = [&](std::size_t index) -> VARD::CActor*
    {
        VARD::CActor* rat =
            index < rats.size() ? p.Game().GetCurrentArea()->FindActorById(rats[index]) : nullptr;
        return rat != nullptr && !rat->IsDead() ? rat : nullptr;
    };
    p.Then(
        "walk up the road until the rats come",
        [&]
        {
            if (!p.InPlay())
                return false;
            const VARD::CActor* rat = ratAlive(0);
            if (rat == nullptr)
            {
                p.Fail("the first rat is gone before the fight");
                return true;
            }
            if (rat->IsHostile())
                return true;
            if (p.Settled(*p.Hero()) && !p.WalkToward(rat->GetX(), rat->GetY()))
                p.Fail("no open floor on the way to the rats");
            return false;
        },
        120);
    // The pointer over a rat that has run up to him names it in the hover
    // window, in red. The rat runs on between the pointer's move and the
    // next paint, so the pointer follows it until a paint shows it named.
    p.Then(
        "the foe named",
        [&]
        {
            const VARD::CActor* rat = ratAlive(0) ? ratAlive(0) : ratAlive(1);
            if (!p.InPlay() || rat == nullptr ||
                Playthrough::Distance(*rat, p.Hero()->GetX(), p.Hero()->GetY()) > 6.0)
                return false;
            const auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(p.app.hoverWindow);
            if (hover != nullptr && hover->GetInfo().title == rat->GetTalkName())
            {
                const gfx::Image frame = p.Shot("foe_pointed");
                EXPECT_GT(Measure(frame, p.HoverTitle()).red, 10);
                return true;
            }
            if (const auto point = p.ActorOnScreen(*rat))
                p.PushMouse(SDL_MOUSEMOTION, *point);
            return false;
        },
        60);
    std::array<double, 2> foeAt{};
    p.Then(
        "fight",
        [&]
        {
            if (!p.InPlay())
                return false;
            if (p.Hero()->IsDead())
            {
                p.Fail("the hero died in the fight");
                return true;
            }
            if (p.Hero()->GetHitPoints() * 5 < p.Hero()->GetMaxHitPoints() * 2)
            {
                if (++heals > 12)
                {
                    p.Fail("the hero cannot win the fight");
                    return true;
                }
                p.ConsoleFirst("heal");
                return false;
            }
            const VARD::CActor* rat = ratAlive(0) ? ratAlive(0) : ratAlive(1);
            if (rat == nullptr)
                return true;
            foeAt = {rat->GetX(), rat->GetY()};
            if (p.Idle(*p.Hero()))
            {
                if (const auto point = p.ActorOnScreen(*rat))
                    p.Click(*point);
                else if (!p.WalkToward(rat->GetX(), rat->GetY()))
                    p.Fail("cannot reach a rat");
            }
            return false;
        },
        300);
    p.Then("the rats are dead",
           [&]
           {
               EXPECT_EQ(ratAlive(0), nullptr);
               EXPECT_EQ(ratAlive(1), nullptr);
               EXPECT_GT(p.Hero()->GetHitPoints(), 0);
               EXPECT_NE(p.Game().GetQuestTag("rats"), 0);
               // Nothing of the last one is left to pick where it fell.
               const auto point = p.ToScreen(foeAt[0], 0.5, foeAt[1]);
               if (point)
               {
                   const auto picked = p.PickAt(*point);
                   EXPECT_NE(picked.kind, VARDGraph::kPickActor);
                   p.PushMouse(SDL_MOUSEMOTION, *point);
               }
               return true;
           });
    p.Then("no foe named where it fell",
           [&]
           {
               const gfx::Image frame = p.Shot("after_fight");
               p.ExpectGameScreen(frame, "after_fight");
               EXPECT_EQ(Measure(frame, p.HoverTitle()).red, 0);
               return true;
           });

    // ---- The key. The crypt's doors and its keeper are played headless by
    // the adventure's simulation test: here the console hands the key over,
    // as finding it would.
    p.Console("item temple_key");
    p.Then("the key carried",
           [&]
           {
               EXPECT_EQ(CountItems(*p.Hero(), "temple_key"), 1u);
               return true;
           });

    // ---- Back to Eastbridge by the wood's road: its signpost names the way
    // under the pointer, and a click on it leaves.
    p.WalkTo(
        "the road home",
        [&]() -> std::optional<std::array<double, 2>>
        {
            const auto road = p.FindExit("Eastbridge");
            if (!road)
                return std::nullopt;
            return std::array<double, 2>{road->GetX(), road->GetY()};
        },
        12.0);
    // The board near the post's top, where the eye finds it.
    p.PointAt(
        "signpost", [&] { return p.FindExit("Eastbridge"); }, {2.0, 1.8, 1.5}, true, "Way out",
        [&](const gfx::Image& frame, Point)
        {
            const auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(p.app.hoverWindow);
            EXPECT_EQ(hover->GetInfo().text, "Road to Eastbridge");
            EXPECT_GT(Measure(frame, hover->GetRect()).white, 60);
        });
    p.LeaveBy("Eastbridge");
    p.Then(
        "the town again",
        [&] { return p.InPlay() && p.Game().GetCurrentArea()->GetName() == town; }, 60);

    // ---- Saved through the game menu (the file chooser is the desktop's,
    // answered by the test), then, after more gold, loaded back by the
    // quick load key.
    struct Kept
    {
        std::string name;
        double x = 0.0;
        double y = 0.0;
        std::int32_t hitPoints = 0;
        std::int32_t gold = 0;
        std::size_t daggers = 0;
        std::size_t keys = 0;
    } kept;
    p.Do("open the game menu", [&] { p.Key(SDLK_RETURN); });
    p.Then("the game menu",
           [&]
           {
               if (p.Current<CVARDGameMenuDlg>() == nullptr)
                   return false;
               p.Shot("game_menu");
               const auto hero = p.Hero();
               kept = {hero->GetName(),
                       hero->GetX(),
                       hero->GetY(),
                       hero->GetHitPoints(),
                       p.Game().GetGold(),
                       CountItems(*hero, "dagger"),
                       CountItems(*hero, "temple_key")};
               return p.Press(CVARDGameMenuDlg::kSaveId);
           });
    p.Then("saved",
           [&]
           {
               if (!p.InPlay())
                   return false;
               EXPECT_TRUE(fs::is_regular_file(savedGame));
               EXPECT_EQ(p.machine.desktop.choices.size(), 1u);
               EXPECT_EQ(p.app.savePath, savedGame.string());
               return true;
           });
    // Away from where the game was saved, so that the load shows.
    p.Then(
        "walk away",
        [&]
        {
            const auto hero = p.Hero();
            if (Playthrough::Distance(*hero, kept.x, kept.y) > 3.0)
                return true;
            if (p.Settled(*hero) && !p.WalkToward(kept.x + 6.0, kept.y - 4.0))
                p.Fail("no open floor to walk away on");
            return false;
        },
        60);
    p.Do("quick load",
         [&]
         {
             // The desktop's box asks before the game in play is dropped.
             p.machine.desktop.boxAnswers.push_back(platform::MessageBoxResult::Ok);
             p.Key(SDLK_l);
         });
    p.Then(
        "loaded",
        [&]
        {
            if (!p.InPlay() || p.Hero()->GetX() != kept.x || p.Hero()->GetY() != kept.y)
                return false;
            const auto hero = p.Hero();
            EXPECT_EQ(p.Game().GetGold(), kept.gold);
            EXPECT_EQ(hero->GetName(), kept.name);
            EXPECT_DOUBLE_EQ(hero->GetX(), kept.x);
            EXPECT_DOUBLE_EQ(hero->GetY(), kept.y);
            EXPECT_EQ(hero->GetHitPoints(), kept.hitPoints);
            EXPECT_EQ(CountItems(*hero, "dagger"), kept.daggers);
            EXPECT_EQ(CountItems(*hero, "temple_key"), 1u);
            EXPECT_NE(p.Game().GetQuestTag("met_priest"), 0);
            p.ExpectGameScreen(p.Shot("loaded"), "loaded");
            return true;
        },
        60);

    // ---- The key back to the priest: a rank in the temple, then the sun
    // fire lit by his new answer, and the victory.
    p.ClickActorUntil(
        "priest", [&] { return p.Current<CTalkDlg>() != nullptr; }, 300);
    p.CheckTalkShot("talk_key_returned", "The key!");
    p.Answer("Done");
    p.Then("a novice of the temple",
           [&]
           {
               if (!p.InPlay())
                   return false;
               const auto hero = p.Hero();
               EXPECT_EQ(CountItems(*hero, "temple_key"), 0u);
               EXPECT_NE(hero->GetFaction(), nullptr);
               EXPECT_TRUE(Logged(p.app, "Hero has been promoted to the rank of Novice."));
               EXPECT_NE(p.Game().GetQuestTag("temple_key_returned"), 0);
               EXPECT_EQ(p.Game().GetGold(), kept.gold + 200);
               return true;
           });
    p.ClickActorUntil(
        "priest", [&] { return p.Current<CTalkDlg>() != nullptr; }, 180);
    p.CheckTalkShot("talk_sun_fire", "The sun smiles on you");
    p.Answer("Light the sun fire on the altar.");
    p.CheckTalkShot("talk_fire_catches", "The fire catches");
    p.Answer("Done");
    p.Then(
        "the victory",
        [&]
        {
            const CWinDlg* won = p.Current<CWinDlg>();
            if (won == nullptr)
                return false;
            EXPECT_EQ(p.Game().GetState(), VARD::kGameWon);
            EXPECT_NE(
                won->GetText().find("Hero is remembered as the one who brought its key home."),
                std::string::npos)
                << won->GetText();
            const gfx::Image frame = p.Shot("victory");
            p.ExpectNoTalkWindow(frame, "victory");
            // The text on the page, the "Exit" button under it.
            const gfx::Rect client = p.app.GetClientRect();
            const Point centre = Playthrough::Centre(client);
            EXPECT_GT(
                Measure(frame, {centre.x - 200, centre.y - 150, centre.x + 200, centre.y}).white,
                300);
            const VARDUI::CUIElement* exit = p.Find(CWinDlg::kExitId);
            EXPECT_NE(exit, nullptr);
            if (exit != nullptr)
            {
                EXPECT_GT(Measure(frame, exit->GetRect()).white, 10);
            }
            return p.Press(CWinDlg::kExitId);
        },
        60);

    const int exitCode = p.app.Run(p.machine, VARD_DEMO_MODULE);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(p.failure, "");
    if (p.failure.empty())
    {
        EXPECT_TRUE(p.steps.empty()) << p.steps.front().what;
    }
    // The one box asked whether to drop the game for the saved one.
    ASSERT_EQ(p.machine.desktop.boxes.size(), 1u);
    EXPECT_EQ(p.machine.desktop.boxes[0].caption, "Continue?");
    EXPECT_TRUE(p.machine.desktop.boxAnswers.empty());
    EXPECT_EQ(p.shots.size(), 28u);
}

} // namespace
