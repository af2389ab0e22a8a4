#pragma once

// What the character sheet and the action-bar editor share: the party's
// portraits down one side, and the click on an action slot.

#include <cstdint>
#include <memory>
#include <vector>

namespace VARD
{
class CActor;
}

namespace VARDUI
{
class CUIActionElement2;
class CUIManager;
} // namespace VARDUI

class CGameApp;

// One 48-pixel portrait per party member, in party order, member i at
// (left, top + 64 i) with id firstId + i and its hover record, the shown
// member highlighted; each is added to the root.
std::vector<std::shared_ptr<VARDUI::CUIActionElement2>>
AddPartyBar(CGameApp& app, const VARD::CActor* shown, std::int32_t firstId, std::int32_t left,
            std::int32_t top, VARDUI::CUIManager& ui);

// Selects the member's slot, or clears the selection when it was selected.
void ToggleSlotSelection(CGameApp& app, const VARD::CActor* actor, int slot);

// The click sound, when the game has sound.
void PlayClickSound(CGameApp& app);
