#include "dialogs/party_bar.h"

#include "app/game_app.h"
#include "app/vard_audio.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/game.h"

namespace
{

constexpr std::int32_t kPortraitSize = 48;
constexpr std::int32_t kPortraitStep = 64;

} // namespace

std::vector<std::shared_ptr<VARDUI::CUIActionElement2>>
AddPartyBar(CGameApp& app, const VARD::CActor* shown, std::int32_t firstId, std::int32_t left,
            std::int32_t top, VARDUI::CUIManager& ui)
{
    std::vector<std::shared_ptr<VARDUI::CUIActionElement2>> portraits;
    const auto party = app.GetPartyMembers();
    const VARD::CGame* game = app.engine ? app.engine->GetGame().get() : nullptr;
    for (std::size_t i = 0; i < party.size(); ++i)
    {
        const auto index = static_cast<std::int32_t>(i);
        auto portrait = std::make_shared<VARDUI::CUIActionElement2>(0, firstId + index);
        VARDUI::FillHoverInfo(party[i].get(), portrait->GetHoverInfo(), game);
        const std::int32_t y = top + kPortraitStep * index;
        portrait->SetRect({left, y, left + kPortraitSize, y + kPortraitSize});
        if (party[i].get() == shown)
            portrait->SetFlags(VARDUI::kUIFlagHighlighted, 1);
        ui.AddElement(portrait);
        portraits.push_back(std::move(portrait));
    }
    return portraits;
}

void ToggleSlotSelection(CGameApp& app, const VARD::CActor* actor, int slot)
{
    if (app.GetSelectedActionSlot(actor) == slot)
        app.ClearActionSlotSelection(actor);
    else
        app.SelectActionSlot(actor, slot);
}

void PlayClickSound(CGameApp& app)
{
    if (app.audio)
        app.audio->PlaySound(kSoundEventClick);
}
