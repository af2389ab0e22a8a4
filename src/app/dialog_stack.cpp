// The stack of dialogs over the game screen: opening one pauses the game
// and covers the one shown; closing one brings back the covered one. UI
// events go to the dialog on top.

#include "app/game_app.h"

#include "app/error_text.h"
#include "app/product_strings.h"
#include "app/vard_audio.h"
#include "app/vard_dlg.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"

#include <typeinfo>

void CGameApp::SetDialog(bool silent, std::shared_ptr<CVARDDlg> dialog)
{
    // The first dialog pauses the game; a later one covers the one open.
    if (currentDialog)
        coveredDialogs.push_back(currentDialog);
    else
        Pause();
    if (!silent && audio)
        audio->PlaySound(kSoundEventClick);
    currentDialog = std::move(dialog);
    SetCurrentCursor(arrowCursor);
    // The screen is built again round the new dialog.
    RebuildUI();
    UpdateTitle();
    RequestRedraw();
}

void CGameApp::UpdateTitle()
{
    window->SetTitle(GetProductName() + " - " + currentDialog->GetTitle());
}

void CGameApp::UpdateGameTitle()
{
    std::string text = GetProductName();
    if (gameLoaded != 0 && engine->GetGame() && engine->Game().GetCurrentArea() != nullptr)
        text += " - " + engine->Game().GetCurrentArea()->GetTitle();
    window->SetTitle(text);
}

void CGameApp::CloseDialog()
{
    if (audio)
        audio->PlaySound(kSoundEventClick);
    // Taken off first, so that a dialog its closing opens takes its place.
    std::shared_ptr<CVARDDlg> closing = std::move(currentDialog);
    currentDialog.reset();
    UpdateGameTitle();
    RebuildUI();
    // The game may now call for a leave or for the victory dialog.
    bool leaveDue = false;
    if (gameLoaded != 0)
    {
        VARD::CGame& game = engine->Game();
        const std::int32_t state = game.GetState();
        if (state == VARD::kGameRestNeeded || state == VARD::kGameTravelByScript)
            leaveDue = true;
        else if (state == VARD::kGameWon)
        {
            // A win without words ends the program with this dialog.
            if (game.GetVictoryText().empty())
            {
                Resume();
                window->PostClose();
                return;
            }
            ShowVictory();
        }
    }
    // The dialog acts on its closing before the pause it held is given back.
    closing->OnClosed(this);
    Resume();
    // A dialog opened meanwhile stays on top.
    if (!currentDialog && !coveredDialogs.empty())
    {
        std::shared_ptr<CVARDDlg> back = std::move(coveredDialogs.back());
        coveredDialogs.pop_back();
        SetDialog(true, std::move(back));
        return;
    }
    // The party leaves at once, also from under a dialog the closing one
    // opened; that dialog then stands over the new place, built anew.
    if (leaveDue)
    {
        LeaveArea();
        if (currentDialog)
        {
            RebuildUI();
            UpdateTitle();
        }
    }
    RequestRedraw();
}

void CGameApp::PumpUIEvents()
{
    VARDUI::CUIEventList& events = ui.GetEvents();
    // Which screen the events belong to is decided once: those queued behind
    // a click that opened a dialog still belong to the screen clicked.
    const std::shared_ptr<CVARDDlg> dialog = currentDialog;
    while (!events.empty())
    {
        const std::shared_ptr<VARDUI::CUIEvent> event = events.front();
        events.pop_front();
        const auto* button = dynamic_cast<const VARDUI::CUIEventButton*>(event.get());
        const int id = button ? button->GetId() : 0;
        if (!dialog)
        {
            // Drags on the game screen lead nowhere.
            if (event->GetType() == VARDUI::kUIEventRedraw)
                RequestRedraw();
            else if (event->GetType() == VARDUI::kUIEventClick)
                OnHudClick(id);
            else if (event->GetType() == VARDUI::kUIEventRightClick)
                OnHudRightClick(id);
            continue;
        }
        switch (event->GetType())
        {
        case VARDUI::kUIEventRedraw:
            RequestRedraw();
            break;
        case VARDUI::kUIEventClick:
            if (dialog->OnButton(id) != 0)
            {
                ui.GetEvents().clear();
                CloseDialog();
                return;
            }
            break;
        case VARDUI::kUIEventRightClick:
            if (dialog->OnRightClick(id) != 0)
            {
                ui.GetEvents().clear();
                CloseDialog();
                return;
            }
            break;
        case VARDUI::kUIEventDragStart:
            dialog->OnDragStart(id);
            break;
        case VARDUI::kUIEventDragCancel:
            dialog->OnDragCancel();
            break;
        case VARDUI::kUIEventDrop:
            if (const auto* drop = dynamic_cast<const VARDUI::CUIEventDrop*>(event.get()))
                dialog->OnDrop(drop->GetSource(), drop->GetTarget());
            break;
        default:
            break;
        }
    }
}

void CGameApp::ExecuteInstantOrders()
{
    // A broken script costs its own effect only; the orders run before it
    // keep theirs.
    RunScripted([this] { engine->ExecuteInstantOrders(); });
}

bool CGameApp::RunScripted(const std::function<void()>& step)
{
    try
    {
        step();
        return true;
    }
    catch (const CVARDException& error)
    {
        if (error.GetCode() != 6)
            throw;
        ReportScriptError(error);
        return false;
    }
}

void CGameApp::ReportScriptError(const CVARDException& error)
{
    // The box waits for the player, and the game waits with it: the time it
    // stands is no game time to catch up afterwards.
    Pause();
    ShowMessageBox("Script Error", WithCause("Script Error", DescribeError(error)),
                   platform::MessageBoxIcon::Warning);
    Resume();
}

void CGameApp::DrainGameEvents()
{
    VARD::CGame& game = engine->Game();
    while (std::shared_ptr<VARD::CEvent> event = game.PopEvent())
    {
        if (typeid(*event) == typeid(VARD::CMessageEvent))
        {
            if (audio)
                audio->PlayEventSound(static_cast<std::uint32_t>(event->GetKind()));
            LogMessage(static_cast<const VARD::CMessageEvent&>(*event).GetText());
            RequestRedraw();
        }
        else
            QueuePendingEvent(std::move(event));
    }
}

void CGameApp::ClearUI()
{
    miniMap = nullptr;
    hoverWindow = nullptr;
    pauseButton = nullptr;
    fastMoveButton = nullptr;
    exitButton = nullptr;
    actionWindow = nullptr;
    portraits.clear();
    ui.Clear();
}

void CGameApp::RebuildUI()
{
    ClearUI();
    if (currentDialog)
    {
        const gfx::Rect client = GetClientRect();
        currentDialog->BuildUI(&client, &ui);
    }
    else if (gameLoaded != 0 && engine && engine->GetGame())
        BuildHud();
    if (device && device->Get() != nullptr)
        ui.CreateResources(*device->Get());
}

gfx::Rect CGameApp::GetClientRect() const
{
    const platform::ClientSize size = window->GetClientSize();
    return {0, 0, size.width, size.height};
}
