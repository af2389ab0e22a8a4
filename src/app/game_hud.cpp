// The game screen's head-up display: the widgets laid over the view of the
// area or the world map, what their clicks do, and the pointer and hover
// window for whatever lies under the mouse.

#include "app/game_hud.h"

#include "app/actor_info.h"
#include "app/dialog_factory.h"
#include "app/game_app.h"
#include "app/shell_dialogs.h"
#include "app/vard_audio.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_mini_map.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/rule_tables.h"
#include "world/tile.h"
#include "world/world_map.h"

namespace
{

constexpr std::int32_t kMargin = 10;
constexpr std::int32_t kCommandRowSpacing = 2;
constexpr std::int32_t kButtonHeight = 28;
constexpr std::int32_t kWideButtonWidth = 48;
constexpr std::int32_t kSquareButtonWidth = 28;
// The strip of the message window and the mini-map at the bottom.
constexpr std::int32_t kBottomStrip = 110;
constexpr std::int32_t kMiniMapWidth = 100;
constexpr std::int32_t kMessageWindowLeft = 120;
constexpr std::int32_t kMessageWindowRightGap = 116;

template <typename Widget>
std::shared_ptr<Widget> Sized(std::shared_ptr<Widget> widget, std::int32_t width,
                              std::int32_t height)
{
    widget->SetRect({0, 0, width, height});
    return widget;
}

// Width and height kept; the right edge and the top where given.
void PlaceTopRight(VARDUI::CUIElement& element, std::int32_t right, std::int32_t top)
{
    const VARDUI::Rect rect = element.GetRect();
    element.SetRect({right - rect.Width(), top, right, top + rect.Height()});
}

} // namespace

// ------------------------------------------------------------------- building

void CGameApp::BuildHud()
{
    const gfx::Rect client = GetClientRect();
    VARD::CGame& game = engine->Game();
    const auto add = [this](const std::shared_ptr<VARDUI::CUIElement>& element)
    {
        element->SetFlags(VARDUI::kUIFlagBackdrop, 1);
        ui.AddElement(element);
    };

    // The command row.
    auto gameButton = Sized(std::make_shared<VARDUI::CUITextButton>(kHudGameButtonId, "Game"),
                            kWideButtonWidth, kButtonHeight);
    gameButton->SetHoverText("Game Menu", std::string());
    auto pause = Sized(std::make_shared<VARDUI::CUIImageButton>(
                           kHudPauseButtonId, playerPaused == 0 ? kHudImagePause : kHudImageResume),
                       kSquareButtonWidth, kButtonHeight);
    pause->SetHoverText("Pause", std::string());
    auto fast =
        Sized(std::make_shared<VARDUI::CUIImageButton>(
                  kHudFastMoveButtonId, fastMove != 0 ? kHudImageFastMoveOn : kHudImageFastMoveOff),
              kSquareButtonWidth, kButtonHeight);
    fast->SetHoverText("Fastmove", std::string());
    auto selectAll =
        Sized(std::make_shared<VARDUI::CUIImageButton>(kHudSelectAllButtonId, kHudImageSelectAll),
              kSquareButtonWidth, kButtonHeight);
    selectAll->SetHoverText("Select All", std::string());
    auto back = Sized(std::make_shared<VARDUI::CUIImageButton>(kHudReturnButtonId, kHudImageReturn),
                      kSquareButtonWidth, kButtonHeight);
    back->SetHoverText("Return", std::string());
    const VARDUI::CUIElementList row{gameButton, pause, fast, selectAll, back};
    for (const auto& button : row)
        button->SetRect({0, client.top + kMargin, button->GetRect().Width(),
                         client.top + kMargin + kButtonHeight});
    VARDUI::LayoutRow(kMargin, 0, kCommandRowSpacing, row);
    for (const auto& button : row)
        add(button);
    pauseButton = pause.get();
    fastMoveButton = fast.get();

    // The hover window under the row, centred on its left part.
    auto hover = std::make_shared<VARDUI::CUIHoverWindow>();
    const VARDUI::Rect& last = back->GetRect();
    const VARDUI::Point hoverCentre{(last.right + kMargin) / 2, last.bottom + 34};
    VARDUI::CUIElement::CenterOn(*hover, &hoverCentre);
    add(hover);
    hoverWindow = hover.get();

    // On the world map only the log goes with them, as wide as it can be.
    if (game.GetState() == VARD::kGameOnWorldMap)
    {
        auto messages = std::make_shared<VARDUI::CUIMessageWindow>(
            kHudMessageWindowId, kHudMessagesButtonId, &messageLog);
        messages->SetRect({client.left + kMargin, client.bottom - kBottomStrip,
                           client.right - kMargin, client.bottom - kMargin});
        add(messages);
        return;
    }

    // In an area.
    auto messages = std::make_shared<VARDUI::CUIMessageWindow>(kHudMessageWindowId,
                                                               kHudMessagesButtonId, &messageLog);
    messages->SetRect({client.left + kMessageWindowLeft, client.bottom - kBottomStrip,
                       client.right - kMessageWindowRightGap, client.bottom - kMargin});
    add(messages);

    auto exit = Sized(std::make_shared<VARDUI::CUITextButton>(kHudExitButtonId, "Exit"),
                      kWideButtonWidth, kButtonHeight);
    exit->SetHoverText("Exit", std::string());
    const VARDUI::Rect& below = hover->GetRect();
    const std::int32_t centre = (below.left + below.right) / 2;
    exit->SetRect({centre - kWideButtonWidth / 2, below.bottom + kMargin,
                   centre + kWideButtonWidth / 2, below.bottom + kMargin + kButtonHeight});
    exit->SetFlags(VARDUI::kUIFlagVisible, 0);
    exit->SetFlags(VARDUI::kUIFlagBlinking, 1);
    add(exit);
    exitButton = exit.get();

    if (!actionBarSource)
        actionBarSource = std::make_shared<CAppActionBarSource>(*this);
    auto actions = std::make_shared<VARDUI::CUIActionWindow2>(
        kHudActionWindowId, kHudFirstActionSlotId, actionBarSource.get(), nullptr);
    const VARDUI::Rect own = actions->GetRect();
    actions->SetRect({client.right - kMargin - own.Width(), client.bottom - kMargin - own.Height(),
                      client.right - kMargin, client.bottom - kMargin});
    const bool whole = selectedMember == kWholePartySelected;
    actions->SetFlags(VARDUI::kUIFlagVisible, whole ? 0 : 1);
    add(actions);
    actionWindow = actions.get();

    auto map = std::make_shared<VARDUI::CUIMiniMap>(kHudMiniMapId, kHudFullMapButtonId,
                                                    game.GetCurrentArea());
    map->SetRect({client.left + kMargin, client.bottom - kBottomStrip,
                  client.left + kMargin + kMiniMapWidth, client.bottom - kMargin});
    add(map);
    miniMap = map.get();

    const auto party = game.GetParty();
    std::int32_t top = client.top + kMargin;
    for (std::uint32_t index = 0; index < party.size(); ++index)
    {
        const std::int32_t id = kHudFirstPortraitId + kHudPortraitIdStep * static_cast<int>(index);
        auto portrait = std::make_shared<VARDUI::CUIActionElement2>(id + 1, id);
        portrait->Clear();
        VARDUI::FillHoverInfo(party[index].get(), portrait->GetHoverInfo(), &game);
        portrait->SetFlags(VARDUI::kUIFlagHighlighted, whole || index == selectedMember ? 1 : 0);
        PlaceTopRight(*portrait, client.right - kMargin, top);
        top = portrait->GetRect().bottom + kMargin;
        add(portrait);
        portraits.push_back(portrait.get());
    }
}

// --------------------------------------------------------------------- clicks

namespace
{

void PlayClick(CVARDAudio2* audio)
{
    if (audio)
        audio->PlaySound(kSoundEventClick);
}

} // namespace

void CGameApp::OnHudClick(int id)
{
    if (id >= kHudFirstPortraitId && id <= kHudLastPortraitId)
    {
        const int index = (id - kHudFirstPortraitId) / kHudPortraitIdStep;
        switch ((id - kHudFirstPortraitId) % kHudPortraitIdStep)
        {
        case 0:
            SelectPartyMember(static_cast<std::uint32_t>(index));
            PlayClick(audio.get());
            break;
        case 1:
            // The first member has nowhere further up to go.
            if (index == 0)
                return;
            SwapPartyPositions(static_cast<std::uint32_t>(index),
                               static_cast<std::uint32_t>(index - 1));
            PlayClick(audio.get());
            break;
        default:
            break;
        }
        return;
    }
    if (id >= kHudFirstActionSlotId && id <= kHudLastActionSlotId)
    {
        if (selectedMember == kWholePartySelected)
            return;
        // Only the window's ten tokens carry these ids; any other slot
        // number would be no slot of the bar.
        const int slot = id - kHudFirstActionSlotId;
        if (slot >= VARDUI::kActionSlotCount)
            return;
        const std::shared_ptr<VARD::CActor> actor = GetSelectedActor();
        if (slot == GetSelectedActionSlot(actor.get()))
            ClearActionSlotSelection(actor.get());
        else
        {
            SelectActionSlot(actor.get(), slot);
            ActivateActionSlot(slot, actor.get());
        }
        PlayClick(audio.get());
        return;
    }
    switch (id)
    {
    case kHudMessagesButtonId:
        SetDialog(false, dialogFactory->MakeMessageLog(&messageLog));
        break;
    case kHudFullMapButtonId:
        if (!IsOnWorldMap())
            SetDialog(false, dialogFactory->MakeMap(engine->Game().GetCurrentArea()));
        break;
    case kHudGameButtonId:
        SetDialog(false, dialogFactory->MakeGameMenu());
        break;
    case kHudPauseButtonId:
        TogglePause(false);
        break;
    case kHudFastMoveButtonId:
        ToggleFastMove(true);
        break;
    case kHudSelectAllButtonId:
        if (IsOnWorldMap())
            break;
        SelectWholeParty();
        PlayClick(audio.get());
        break;
    case kHudReturnButtonId:
        if (IsOnWorldMap())
            break;
        PlayClick(audio.get());
        OrderReturnToEntrance(GetSelectedActor().get());
        break;
    case kHudExitButtonId:
        PlayClick(audio.get());
        LeaveArea();
        break;
    default:
        break;
    }
}

void CGameApp::OnHudRightClick(int id)
{
    if (id >= kHudFirstPortraitId && id <= kHudLastPortraitId)
    {
        const auto party = engine->Game().GetParty();
        const auto index =
            static_cast<std::size_t>((id - kHudFirstPortraitId) / kHudPortraitIdStep);
        if (index < party.size())
            SetDialog(false, dialogFactory->MakeActorInfo(this, party[index]));
        return;
    }
    if (id >= kHudFirstActionSlotId && id <= kHudLastActionSlotId)
    {
        const int slot = id - kHudFirstActionSlotId;
        if (selectedMember == kWholePartySelected || slot >= VARDUI::kActionSlotCount)
            return;
        if (const std::shared_ptr<VARD::CActor> actor = GetSelectedActor())
            SetDialog(false, dialogFactory->MakeActionEditor(this, actor, slot));
    }
}

// -------------------------------------------------------------------- pointer

VARDGraph::PickResult CGameApp::PickUnderPointer()
{
    if (pickOfScreenPoint)
        return pickOfScreenPoint(mousePoint);
    gfx::Device* drawing = device ? device->Get() : nullptr;
    VARD::CArea* area = engine->Game().GetCurrentArea();
    if (drawing == nullptr || area == nullptr || sceneBuilt == 0)
        return {};
    return scene.Pick(*drawing, static_cast<float>(mousePoint.x), static_cast<float>(mousePoint.y),
                      *area);
}

platform::Cursor CGameApp::ChooseCursor(const VARDGraph::PickResult& picked, int action) const
{
    switch (picked.kind)
    {
    case VARDGraph::kPickTile:
    {
        if (action == VARDUI::kActionSlotUseItem || action == VARDUI::kActionSlotCast)
            return handCursor;
        if (action != 0)
            return arrowCursor;
        if (picked.exitFlag != 0)
            return upArrowCursor;
        const auto* tile = dynamic_cast<const VARD::CTile*>(picked.thing);
        if (tile != nullptr && tile->GetKind() == VARD::kTileKindDoor)
            return handCursor;
        return sizeAllCursor;
    }
    case VARDGraph::kPickObject:
        return handCursor;
    case VARDGraph::kPickActor:
    {
        const auto* actor = dynamic_cast<const VARD::CActor*>(picked.thing);
        if (actor == nullptr || actor == GetSelectedActor().get())
            return arrowCursor;
        if (action == 0)
        {
            if (actor->GetAttitude() == VARD::kAttitudeParty)
                return arrowCursor;
            if (actor->GetAttitude() == VARD::kAttitudeHostile ||
                actor->GetAttitude() == VARD::kAttitudeBerserk)
                return crossCursor;
            return handCursor;
        }
        return action == VARDUI::kActionSlotAttack ? crossCursor : handCursor;
    }
    default:
        return arrowCursor;
    }
}

void CGameApp::UpdatePointer()
{
    // The hover text and the pointer start plain.
    auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(hoverWindow);
    if (hover != nullptr)
        VARDUI::CUIHoverWindow::ClearInfo(*hover);
    SetCurrentCursor(arrowCursor);
    // A drag under way, or a widget under the pointer.
    if (ui.DispatchMouse(VARDUI::kUIMouseMove, &mousePoint) != 0)
    {
        PumpUIEvents();
        return;
    }
    // A dialog hides the scene from the pointer.
    if (currentDialog)
    {
        RequestRedraw();
        return;
    }
    if (gameLoaded == 0)
        return;
    VARD::CGame& game = engine->Game();
    // On the world map a place under the pointer is highlighted.
    if (IsOnWorldMap())
    {
        gfx::Device* drawing = device ? device->Get() : nullptr;
        std::shared_ptr<VARD::CMap2Area> location;
        if (drawing != nullptr && sceneBuilt != 0 && mapView.IsInitialised() &&
            mapView.HitTest(mousePoint.x, mousePoint.y, *drawing, game.GetCurrentWorldMap(),
                            location))
        {
            if (hover != nullptr)
                VARDUI::CUIHoverInfo::ResetWithTitle(hover->GetInfo(), *location);
            SetCurrentCursor(handCursor);
            mapView.SetHighlightedLocation(std::move(location));
        }
        else
            mapView.SetHighlightedLocation(nullptr);
        RequestRedraw();
        return;
    }
    // In an area: what lies under the pointer decides the hover text and the pointer.
    const VARDGraph::PickResult picked = PickUnderPointer();
    if (hover != nullptr)
        VARDUI::FillHoverInfo(picked.thing, hover->GetInfo(), &game);
    int action = 0;
    if (selectedMember != kWholePartySelected)
    {
        const std::shared_ptr<VARD::CActor> selected = GetSelectedActor();
        // A member the records have not reached yet has no slot chosen.
        if (selected && actorInfos.count(selected->Id()) != 0)
            action = GetSelectedActionType(selected.get());
    }
    SetCurrentCursor(ChooseCursor(picked, action));
    RequestRedraw();
}
