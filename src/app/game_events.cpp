// The game screen's side of the game's events and state word: message lines
// and refreshes at once, dialogs after the ticks with the game paused, and
// the leaving of an area with its wipe-out notice, resurrection and
// re-entry, or the world map.

#include "app/game_app.h"

#include "app/error_text.h"
#include "app/product_strings.h"
#include "app/shell_dialogs.h"
#include "app/vard_audio.h"
#include "common/exception.h"
#include "common/shared_helpers.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/world_map.h"

#include <algorithm>
#include <typeinfo>

namespace
{

// Whether the actor is among those the player controls now.
bool IsSelected(const CGameApp& app, const VARD::CActor& actor,
                const std::vector<std::shared_ptr<VARD::CActor>>& party)
{
    if (app.selectedMember == kWholePartySelected)
        return actor.GetAttitude() == VARD::kAttitudeParty;
    return app.selectedMember < party.size() && party[app.selectedMember].get() == &actor;
}

} // namespace

void CGameApp::PlayEventSoundOf(const VARD::CEvent& event)
{
    if (audio)
        audio->PlayEventSound(static_cast<std::uint32_t>(event.GetKind()));
}

void CGameApp::LogMessage(const std::string& line)
{
    // A log emptied or replaced elsewhere is counted afresh.
    if (messageLog.empty())
        messageLogBytes = 0;
    AppendNewest(messageLog, messageLogBytes, line, kMessageLogLines, kMessageLogBytes);
    if (screenHooks.messageLogged)
        screenHooks.messageLogged(line);
}

void CGameApp::DrainTickEvents()
{
    VARD::CGame& game = engine->Game();
    while (std::shared_ptr<VARD::CEvent> event = game.PopEvent())
    {
        const std::type_info& type = typeid(*event);
        if (type == typeid(VARD::CMessageEvent))
        {
            LogMessage(static_cast<const VARD::CMessageEvent&>(*event).GetText());
            RequestRedraw();
            PlayEventSoundOf(*event);
        }
        else if (type == typeid(VARD::CInfoEvent))
        {
            HandleInfoEvent(event->GetKind());
            PlayEventSoundOf(*event);
        }
        else if (type == typeid(VARD::CActorInfoEvent))
        {
            HandleActorInfoEvent(static_cast<const VARD::CActorInfoEvent&>(*event));
            PlayEventSoundOf(*event);
        }
        else
            QueuePendingEvent(std::move(event));
    }
}

void CGameApp::QueuePendingEvent(std::shared_ptr<VARD::CEvent> event)
{
    pendingEvents.push_back(std::move(event));
}

void CGameApp::HandleInfoEvent(std::int32_t kind)
{
    switch (kind)
    {
    case VARD::kEventPartyChanged:
        if (screenHooks.partyChanged)
            screenHooks.partyChanged();
        break;
    case VARD::kEventDoorOpened:
    case VARD::kEventDoorPicked:
    case VARD::kEventDoorClosed:
    case VARD::kEventRangedAttack:
        break;
    case VARD::kEventTilesPatched:
    {
        // Without a scene the next build takes the new tiles anyway.
        VARD::CArea* area = engine->Game().GetCurrentArea();
        if (sceneBuilt != 0 && area != nullptr && device && device->Get() != nullptr)
            scene.BuildTiles(*device->Get(), *area);
        break;
    }
    case VARD::kEventReturnedToEntrance:
        SetDialog(false, dialogFactory->MakeText(
                             "Return", "The party returns to the area entrance.", nullptr));
        break;
    default:
        throw CVARDException(4, "unknown information event " + std::to_string(kind));
    }
}

void CGameApp::HandleActorInfoEvent(const VARD::CActorInfoEvent& event)
{
    VARD::CGame& game = engine->Game();
    switch (event.GetKind())
    {
    case VARD::kEventActorHitPoints:
    case VARD::kEventActorEnergy:
    case 16:
    case 17:
    {
        const auto party = game.GetParty();
        for (const auto& member : party)
        {
            if (member->Id() != event.GetActorId())
                continue;
            if (screenHooks.refreshPortrait)
                screenHooks.refreshPortrait(*member);
            if (member->GetActivityState() == VARD::kActivityDead &&
                IsSelected(*this, *member, party) && screenHooks.selectFirstPartyMember)
                screenHooks.selectFirstPartyMember();
            break;
        }
        break;
    }
    case VARD::kEventActorEquipment:
    {
        // The scene builds the figure anew, in its new equipment.
        VARD::CArea* area = game.GetCurrentArea();
        VARD::CActor* actor = area != nullptr ? area->FindActorById(event.GetActorId()) : nullptr;
        if (actor != nullptr && actor->GetActivityState() != VARD::kActivityDead)
            actor->SetGraphic(nullptr);
        break;
    }
    case VARD::kEventActorUpkeepEnded:
    case VARD::kEventActorSneakStopped:
        if (screenHooks.refillActionWindow)
            screenHooks.refillActionWindow();
        break;
    case VARD::kEventActorCastDone:
    case VARD::kEventActorEffectLaunched:
    case VARD::kEventActorCastDone2:
    case VARD::kEventActorPowerStarted:
        break;
    default:
        throw CVARDException(4, "unknown actor event " + std::to_string(event.GetKind()));
    }
}

int CGameApp::ProcessPendingEvents()
{
    while (!pendingEvents.empty())
    {
        // Each event in turn, with its sound.
        const std::shared_ptr<VARD::CEvent> event = pendingEvents.front();
        pendingEvents.pop_front();
        PlayEventSoundOf(*event);
        // Each kind opens its dialog or takes its effect.
        const std::type_info& type = typeid(*event);
        if (type == typeid(VARD::CTalkEvent))
            OpenTalkDialog(std::static_pointer_cast<VARD::CTalkEvent>(event));
        else if (type == typeid(VARD::CInvEvent))
            OpenInventoryDialog(static_cast<const VARD::CInvEvent&>(*event));
        else if (type == typeid(VARD::CInfoEvent))
            HandleInfoEvent(event->GetKind());
        else if (type == typeid(VARD::CActorInfoEvent))
            HandleActorInfoEvent(static_cast<const VARD::CActorInfoEvent&>(*event));
        else if (type == typeid(VARD::CDialogBoxEvent))
            OpenDialogBox(static_cast<const VARD::CDialogBoxEvent&>(*event));
        else if (type == typeid(VARD::CEffectEvent))
            ShowEffectEvent(static_cast<const VARD::CEffectEvent&>(*event));
        else
            throw CVARDException(4, "unknown pending event " + std::to_string(event->GetKind()));
        // An event that sends the party away stops the rest.
        const std::int32_t state = engine->Game().GetState();
        if (state == VARD::kGameRestNeeded || state == VARD::kGameTravelByScript)
            return 0;
    }
    return 1;
}

void CGameApp::OpenTalkDialog(const std::shared_ptr<VARD::CTalkEvent>& event)
{
    SetDialog(false, dialogFactory->MakeTalk(event, this));
}

void CGameApp::OpenInventoryDialog(const VARD::CInvEvent& event)
{
    // The container's opener may be gone by the time the ticks stop (killed,
    // or the area left): then there is no page to show.
    VARD::CArea* area = engine->Game().GetCurrentArea();
    if (area == nullptr)
        return;
    for (const auto& actor : area->Actors())
    {
        if (actor->Id() == event.GetFirstId())
        {
            SetDialog(false, dialogFactory->MakeActorInventory(this, actor));
            return;
        }
    }
}

void CGameApp::OpenDialogBox(const VARD::CDialogBoxEvent& event)
{
    std::shared_ptr<VARD::CActor> main;
    for (const auto& member : engine->Game().GetParty())
    {
        if (member->IsMainCharacter())
        {
            main = member;
            break;
        }
    }
    SetDialog(false, dialogFactory->MakeText(event.GetFirstText(), event.GetSecondText(), main));
}

void CGameApp::ShowEffectEvent(const VARD::CEffectEvent& event)
{
    // Without a scene there is nowhere to show it; a rebuilt scene starts
    // without passing effects.
    if (sceneBuilt == 0 || !device || device->Get() == nullptr)
        return;
    scene.AddEffect(*device->Get(), engine->Game(), event.GetEffect(), event.GetParams().get(),
                    event.GetX(), event.GetY());
}

void CGameApp::LeaveArea()
{
    // The notice first; its closing brings the party here again.
    if (engine->Game().IsPartyWipedOut() && partyWipedShown == 0)
    {
        partyWipedShown = 1;
        SetDialog(false,
                  dialogFactory->MakeText("Party Dead", "Your party has been wiped out!", nullptr));
        return;
    }
    // Play is held while the party changes areas.
    partyWipedShown = 0;
    Pause();
    // Events of the old area do not follow the party.
    pendingEvents.clear();
    ReleaseDeviceResources();
    // An exit script that fails runs before anything is left: the party
    // stays, and the screen comes back below as after a journey.
    RunScripted([this] { engine->LeaveArea(); });
    // Resurrection is guarded as an entry is: a failure of either ends
    // the program.
    VARD::CGame& game = engine->Game();
    const std::int32_t left = game.GetState();
    if (left == VARD::kGameLeftForRest || left == VARD::kGameDestinationKnown)
    {
        try
        {
            GoOnIntoArea();
        }
        catch (...)
        {
            ShowMessageBox("Game Error",
                           WithCause("Failed to load area file. The game is broken. Try "
                                     "reinstalling, or contact " +
                                         GetMakerName() + " for support.",
                                     DescribeCurrentError()),
                           platform::MessageBoxIcon::Warning);
            window->PostClose();
            return;
        }
        UpdateGameTitle();
        DrainTickEvents();
    }
    else if (left == VARD::kGameOnWorldMap)
    {
        // No area is current on the map, so its name leaves the title.
        UpdateGameTitle();
        DrainTickEvents();
    }
    gameLoaded = 1;
    window->PostAppMessage(kAppMessageGameLoaded);
    // The bars and portraits show the party as it now is.
    if (screenHooks.selectionChanged)
        screenHooks.selectionChanged();
    // The exit button hides until the party stands at an exit again.
    if (exitButton != nullptr)
        exitButton->SetFlags(VARDUI::kUIFlagVisible, 0);
    // The hold taken above is given back, except on the world map.
    StartPlay();
    RequestRedraw();
}

void CGameApp::GoOnIntoArea()
{
    // Resurrection brings the party into its resurrection area at once. An
    // entry script that fails runs once the party stands in the area, which
    // stays entered.
    VARD::CGame& game = engine->Game();
    if (game.GetState() == VARD::kGameLeftForRest)
        RunScripted([this] { engine->ResurrectParty(); });
    if (game.GetState() == VARD::kGameDestinationKnown)
        RunScripted([this] { engine->EnterArea(); });
}

void CGameApp::TravelToMapLocation(const VARD::CMap2Area& location)
{
    ReleaseDeviceResources();
    // The chosen place on the world map becomes the party's area.
    engine->SetTravelDestination(location.GetAreaName(), location.GetEntryName());
    RunScripted([this] { engine->EnterArea(); });
    UpdateGameTitle();
    gameLoaded = 1;
    window->PostAppMessage(kAppMessageGameLoaded);
    // The exit button hides until the party stands at an exit again.
    if (exitButton != nullptr)
        exitButton->SetFlags(VARDUI::kUIFlagVisible, 0);
    RequestRedraw();
    // The hold kept through the world map is given back.
    StartPlay();
}
