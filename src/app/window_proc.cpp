// The window procedure: what each message of the window does, the mouse
// going to the widget tree before the game view, and the game screen's keys.

#include "app/game_app.h"

#include "app/shell_dialogs.h"
#include "app/vard_audio.h"
#include "app/vard_dlg.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/world_map.h"

#include <exception>

namespace vk = platform::vk;
using platform::MessageKind;

void CGameApp::HandleMessage(const platform::Message& message)
{
    // After a fatal error only the close on its way is handled.
    if (m_Stopping && message.kind != MessageKind::Close)
        return;
    try
    {
        Dispatch(message);
    }
    catch (const CVARDException& error)
    {
        StopOnError(error.Describe());
    }
    catch (const std::exception& error)
    {
        StopOnError(error.what());
    }
    catch (...)
    {
        StopOnError("unknown failure");
    }
}

void CGameApp::Dispatch(const platform::Message& message)
{
    const VARDUI::Point point{message.x, message.y};
    switch (message.kind)
    {
    case MessageKind::Close:
        // The message loop ends once this returns.
        break;
    case MessageKind::Size:
        OnSize(static_cast<platform::SizeKind>(message.code), message.x, message.y);
        break;
    case MessageKind::Paint:
        OnPaint();
        break;
    case MessageKind::KeyDown:
        OnKeyDown(message.code);
        break;
    case MessageKind::KeyUp:
    case MessageKind::SysKeyUp:
        // The markup shown while CTRL is held goes away.
        RequestRedraw();
        break;
    case MessageKind::SysKeyDown:
        // F10 comes as a system key; other keys under ALT are swallowed.
        if (message.code == vk::kF10)
            OnKeyDown(vk::kF10);
        else
            RequestRedraw();
        break;
    case MessageKind::Timer:
        // Other timers are not ours; nor is a message that was already on
        // its way when the game stopped.
        if (message.code == timerId && gameLoaded != 0 && playerPaused == 0 && pauseCount == 0)
            OnGameTimer();
        break;
    case MessageKind::MouseMove:
        OnMouseMove(message);
        break;
    case MessageKind::LeftDown:
        OnLButtonDown(message.flags, point);
        break;
    case MessageKind::LeftUp:
        if (ui.DispatchMouse(VARDUI::kUIMouseLeftUp, &point) != 0)
            PumpUIEvents();
        break;
    case MessageKind::LeftDoubleClick:
    case MessageKind::RightDown:
        OnRButtonDown(point);
        break;
    case MessageKind::MouseLeave:
        // Leaving the window ends a press or a drag as a release would.
        mouseTracked = 0;
        if (ui.DispatchMouse(VARDUI::kUIMouseLeftUp, nullptr) != 0)
            PumpUIEvents();
        break;
    case MessageKind::EnterSizeMove:
        inSizeMove = 1;
        if (device)
            ReleaseDeviceResources();
        break;
    case MessageKind::ExitSizeMove:
        OnExitSizeMove();
        break;
    case MessageKind::App:
        if (message.code == kAppMessageStarted)
            OnStarted();
        else if (message.code == kAppMessageGameLoaded)
            OnGameLoaded();
        break;
    }
}

void CGameApp::OnStarted()
{
    const platform::ClientSize size = window->GetClientSize();
    if (size.width < kMinimumWindowWidth || size.height < kMinimumWindowHeight)
        window->SetClientSize(kMinimumWindowWidth, kMinimumWindowHeight);
    SetDialog(true, dialogFactory->MakeSplash());
}

void CGameApp::OnMouseMove(const platform::Message& message)
{
    mousePoint = {message.x, message.y};
    mouseTracked = 1;
    window->TrackMouseLeave();
    UpdatePointer();
}

void CGameApp::OnLButtonDown(std::uint32_t keyFlags, const VARDUI::Point& point)
{
    if (ui.DispatchMouse(VARDUI::kUIMouseLeftDown, &point) != 0)
    {
        PumpUIEvents();
        return;
    }
    if (currentDialog || gameLoaded == 0)
        return;
    if (IsOnWorldMap())
    {
        gfx::Device* drawing = device ? device->Get() : nullptr;
        std::shared_ptr<VARD::CMap2Area> destination;
        if (drawing != nullptr && sceneBuilt != 0 &&
            mapView.HitTest(point.x, point.y, *drawing, engine->Game().GetCurrentWorldMap(),
                            destination))
        {
            if (audio)
                audio->PlaySound(kSoundEventClick);
            TravelToMapLocation(*destination);
        }
        return;
    }
    // A press the widgets leave goes to what lies under it in the view.
    gfx::Device* drawing = device ? device->Get() : nullptr;
    VARD::CArea* area = engine->Game().GetCurrentArea();
    if (drawing == nullptr || area == nullptr || sceneBuilt == 0)
        return;
    const VARDGraph::PickResult picked =
        scene.Pick(*drawing, static_cast<float>(point.x), static_cast<float>(point.y), *area);
    const int actionType =
        selectedMember != kWholePartySelected ? GetSelectedActionType(GetSelectedActor().get()) : 0;
    OnSceneClick(point, actionType, picked.kind, picked.thing,
                 (keyFlags & platform::kMouseShift) == 0);
}

void CGameApp::OnRButtonDown(const VARDUI::Point& point)
{
    if (ui.DispatchMouse(VARDUI::kUIMouseRight, &point) != 0)
    {
        PumpUIEvents();
        return;
    }
    if (currentDialog || gameLoaded == 0 || IsOnWorldMap() || sceneBuilt == 0)
        return;
    gfx::Device* drawing = device ? device->Get() : nullptr;
    VARD::CArea* area = engine->Game().GetCurrentArea();
    if (drawing == nullptr || area == nullptr)
        return;
    const VARDGraph::PickResult picked =
        scene.Pick(*drawing, static_cast<float>(point.x), static_cast<float>(point.y), *area);
    if (picked.kind != VARDGraph::kPickActor)
        return;
    std::shared_ptr<VARD::CActor> shared;
    for (const auto& candidate : area->Actors())
        if (candidate.get() == picked.thing)
            shared = candidate;
    if (!shared)
        return;
    if (shared->GetAttitude() == VARD::kAttitudeParty)
        SetDialog(false, dialogFactory->MakeActorInfo(this, shared));
    else
        SetDialog(false, dialogFactory->MakeMonsterSeenBy(this, shared));
}

void CGameApp::OnKeyDown(std::uint32_t key)
{
    // A dialog takes every key.
    if (currentDialog)
    {
        const int shift = window->IsDown(vk::kShift) ? 1 : 0;
        if (currentDialog->OnKey(static_cast<int>(key), shift) != 0)
            CloseDialog();
        else
            RequestRedraw();
        return;
    }
    // Without a game the keys have nothing to act on.
    if (gameLoaded == 0)
        return;
    OnKeyOfGame(key);
    // The world map has no scene for the area keys.
    if (IsOnWorldMap())
    {
        RequestRedraw();
        return;
    }
    OnKeyOfArea(key);
    RequestRedraw();
}

// The keys that work wherever the game is, the world map included.
void CGameApp::OnKeyOfGame(std::uint32_t key)
{
    switch (key)
    {
    case vk::kSpace:
        TogglePause(false);
        break;
    case vk::kReturn:
        SetDialog(false, dialogFactory->MakeGameMenu());
        break;
    case vk::kSlash:
        ShowHelp(false);
        break;
    case 'Q':
        QuickSave();
        break;
    case 'L':
        QuickLoad();
        break;
    default:
        break;
    }
}

// The keys of the game screen in an area.
void CGameApp::OnKeyOfArea(std::uint32_t key)
{
    const std::shared_ptr<VARD::CActor> selected = GetSelectedActor();
    if (key >= vk::kDigit0 + 1 && key <= vk::kDigit0 + 6)
    {
        SelectPartyMember(key - (vk::kDigit0 + 1));
        return;
    }
    if (key >= vk::kF1 && key <= vk::kF10)
    {
        if (selectedMember == kWholePartySelected)
            return;
        const int slot = static_cast<int>(key - vk::kF1);
        if (selected)
        {
            if (slot == GetSelectedActionSlot(selected.get()))
                ClearActionSlotSelection(selected.get());
            else
            {
                SelectActionSlot(selected.get(), slot);
                ActivateActionSlot(slot, selected.get());
            }
        }
        if (audio)
            audio->PlaySound(kSoundEventClick);
        return;
    }
    switch (key)
    {
    case vk::kInsert:
        SetDialog(false, dialogFactory->MakeConsole());
        break;
    case 'N':
        if (selected)
            SetDialog(false, dialogFactory->MakeActorInfo(this, selected));
        break;
    case 'I':
        if (selected)
            SetDialog(false, dialogFactory->MakeActorInventory(this, selected));
        break;
    case 'B':
        if (selected)
            SetDialog(false, dialogFactory->MakeActorAbilities(this, selected));
        break;
    case 'J':
        if (selected)
            SetDialog(false, dialogFactory->MakeActorJournal(this, selected));
        break;
    case 'M':
        SetDialog(false, dialogFactory->MakeMap(engine->Game().GetCurrentArea()));
        break;
    case 'G':
        SetDialog(false, dialogFactory->MakeMessageLog(&messageLog));
        break;
    case vk::kEscape:
        ClearSelectedOrders();
        if (selected && selectedMember != kWholePartySelected)
            ClearActionSlotSelection(selected.get());
        break;
    case 'A':
        if (selected)
            SetDialog(false, dialogFactory->MakeActionEditor(
                                 this, selected, GetSelectedActionSlot(selected.get())));
        break;
    case 'R':
        OrderReturnToEntrance(selected.get());
        break;
    case vk::kTab:
        SelectNextPartyMember();
        break;
    case vk::kDigit0:
        SelectWholeParty();
        break;
    case 'F':
        ToggleFastMove(true);
        break;
    case 'V':
        ShowVolume(false);
        break;
    case 'X':
    {
        const std::int32_t state = engine->Game().GetState();
        if (state == VARD::kGameTravelAtExit || state == VARD::kGameRestNeeded ||
            state == VARD::kGameTravelByScript)
            LeaveArea();
        break;
    }
    default:
        break;
    }
}

void CGameApp::RequestRedraw()
{
    // While the game runs in an area its timer repaints.
    const bool running = gameLoaded != 0 && !currentDialog && playerPaused == 0 && !IsOnWorldMap();
    if (!running)
        window->Invalidate();
}
