#pragma once

#include "ui/ui_hover_info.h"

#include <cstdint>

namespace VARD
{
class CActor;
class CGame;
class CItem;
class CItemTemplate;
class CSpell;
class CThing;
} // namespace VARD

namespace VARDUI
{

// The hover records of game things. Every builder throws code 2 for a
// creature kind, gender, class or spell school outside its table, and
// code 4 through the icon tables.

// Resets the record, then fills it by the thing's kind: tiles, objects,
// actors and items; a null thing and effects leave it reset. The game is the
// one whose party looks at an actor; without one the party is taken to see
// nothing, so only party and friendly actors show class and level.
void FillHoverInfo(const VARD::CThing* thing, CUIHoverInfo& record,
                   const VARD::CGame* game = nullptr);
// The template's name, icon and colour, no text.
void FillItemTemplateHoverInfo(const VARD::CItemTemplate& itemTemplate, CUIHoverInfo& record);
// The item's record with " (<price> gold)" after its title.
void FillPricedItemHoverInfo(const VARD::CItem& item, std::uint32_t price, CUIHoverInfo& record);
// Icon, title and text of a spell or power as the actor would use it. The
// record is not reset first.
void FillSpellHoverInfo(const VARD::CSpell& spell, const VARD::CActor& actor, CUIHoverInfo& record);

// How far the party's observation reaches past the actor's concealment: 25
// for party and friendly actors; below 0 the actor's class stays unknown.
std::int32_t GetInsightMargin(const VARD::CActor& actor, const VARD::CGame* game);

} // namespace VARDUI
