// The party's action bars in and out of a saved game: the game screen keeps
// them, so the saved game carries them as one text of their own.

#include "app/game_app.h"

#include "app/action_bar_text.h"
#include "app/actor_info.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/game.h"

void CGameApp::WritePartyOrders(std::string& out)
{
    std::vector<const VARDUI::CUIActionBar*> bars;
    for (const auto& member : engine->Game().GetParty())
    {
        const auto found = actorInfos.find(member->Id());
        bars.push_back(found != actorInfos.end() ? found->second.get() : nullptr);
    }
    out = WriteActionBarsText(bars);
    // The saved game keeps the words as plain quoted text; the blank after
    // the last one says nothing and would only need escaping.
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
}

void CGameApp::ReadPartyOrders(const std::string& text)
{
    const auto party = engine->Game().GetParty();
    for (const auto& member : party)
    {
        const auto found = actorInfos.find(member->Id());
        if (found == actorInfos.end() || !found->second)
            throw CVARDException(4, "a party member has no action bar");
    }
    // Read whole first: a text that does not fit the party changes no bar.
    const std::vector<VARDUI::CUIActionBar> bars = ReadActionBarsText(text, party.size());
    for (std::size_t index = 0; index < party.size(); ++index)
    {
        const VARD::CActor* member = party[index].get();
        const VARDUI::CUIActionBar& bar = bars[index];
        SelectActionSlot(member, bar.selectedSlot);
        for (int slot = 0; slot < VARDUI::kActionSlotCount; ++slot)
        {
            const auto at = static_cast<std::size_t>(slot);
            SetActionSlotType(member, bar.slotType[at], slot);
            SetActionSlotItem(member, bar.slotItem[at], slot);
            SetActionSlotSpell(member, bar.slotSpell[at], slot);
        }
    }
}
