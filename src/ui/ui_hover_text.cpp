#include "ui/ui_hover_text.h"

#include "common/exception.h"
#include "ui/ui_draw_help.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/tile.h"
#include "world/world_map.h"
#include "world/world_object.h"

#include <string>

namespace VARDUI
{

namespace
{

// Built-in images of the hover icons and their corner marks.
constexpr std::uint32_t kImageDead = 144;
constexpr std::uint32_t kImageHasStatus = 199;
constexpr std::uint32_t kImageGoodMods = 196;
constexpr std::uint32_t kImageBadMods = 197;
constexpr std::uint32_t kImageMixedMods = 198;
constexpr std::uint32_t kImageClassUnknown = 131;

constexpr std::int32_t kStatObservation = 4;
constexpr std::int32_t kStatStealth = 3;
constexpr std::int32_t kNoPartySees = -100000;

[[noreturn]] void BadRow(const std::string& what)
{
    throw CVARDException(2, what);
}

std::uint32_t Opaque(std::uint32_t colour)
{
    return 0xFF000000u | (colour & 0xFFFFFFu);
}

std::uint32_t CreatureKindIcon(std::uint32_t kind)
{
    // Creature kinds 5 (human) to 16 (construct).
    static constexpr std::uint32_t kIcons[] = {141, 133, 142, 151, 150, 145,
                                               147, 148, 154, 149, 152, 146};
    // Modules may give a beast only its group (0 civilized to 4 magic), as
    // the demo's rats and wolves are "savage": a pointer passing over one
    // must not stop the game, so a group shows its first kind's icon.
    static constexpr std::uint32_t kGroupFirstKinds[] = {5, 8, 10, 11, 16};
    if (kind < 5)
        kind = kGroupFirstKinds[kind];
    if (kind > 16)
        BadRow("no hover icon for creature kind " + std::to_string(kind));
    return kIcons[kind - 5];
}

std::uint32_t GenderMark(std::uint32_t gender)
{
    if (gender > 2)
        BadRow("no hover mark for gender " + std::to_string(gender));
    return 138 + gender;
}

std::uint32_t ClassMark(std::uint32_t characterClass)
{
    static constexpr std::uint32_t kMarks[] = {126, 127, 129, 131};
    if (characterClass > 3)
        BadRow("no hover mark for class " + std::to_string(characterClass));
    return kMarks[characterClass];
}

std::uint32_t ModifierMark(const VARD::CActor& actor)
{
    bool good = false;
    bool bad = false;
    for (const auto& modifier : actor.GetModifiers())
    {
        if (!modifier || modifier->IsSilent())
            continue;
        if (modifier->GetValue() > 0)
            good = true;
        else
            bad = true;
    }
    if (good && bad)
        return kImageMixedMods;
    if (good)
        return kImageGoodMods;
    if (bad)
        return kImageBadMods;
    return 0;
}

// A weapon's icon comes from the weapon kind of its first weapon attribute;
// a weapon without one has no icon and fails like an unknown weapon kind.
std::uint32_t ItemTemplateIcon(const VARD::CItemTemplate& itemTemplate)
{
    const std::uint32_t kind = itemTemplate.GetItemType();
    if (kind != 0)
        return GetItemKindIcon(static_cast<std::int32_t>(kind));
    const auto* weapon = dynamic_cast<const VARD::CItemAttributeWeapon*>(
        itemTemplate.FindAttribute(VARD::kItemAttributeWeapon));
    return GetWeaponKindIcon(weapon ? static_cast<std::int32_t>(weapon->GetWeaponKind())
                                    : VARD::kWeaponKindNone);
}

void FillItemLook(const VARD::CItemTemplate& itemTemplate, CUIHoverInfo& record)
{
    record.title = itemTemplate.GetDisplayName();
    record.icon = ItemTemplateIcon(itemTemplate);
    record.iconColour = Opaque(itemTemplate.GetColor());
}

void FillTile(const VARD::CTile& tile, CUIHoverInfo& record)
{
    const VARD::CMasterTile* master = tile.GetMasterTile();
    const VARD::CTileTemplate* tileTemplate = master ? master->GetTemplate() : nullptr;
    if (!tileTemplate)
        return;
    record.title = tileTemplate->GetText();
    if (record.title.empty())
        return;
    switch (tileTemplate->GetKind())
    {
    case VARD::kTileKindFloor:
        record.text = "Floor";
        break;
    case VARD::kTileKindEmpty:
        record.text = "Impassible";
        break;
    case VARD::kTileKindSolid:
        record.text = "Solid";
        break;
    case VARD::kTileKindDoor:
    {
        record.text = "Door";
        const VARD::CMasterTileDoor* door = tile.GetDoor();
        if (!door->IsOpen())
            record.text += " (Closed)";
        if (door->GetLockValue() != 0)
            record.text += " (Locked)";
        break;
    }
    default:
        break;
    }
}

void FillObject(const VARD::CObject& object, CUIHoverInfo& record)
{
    record.title = object.GetTalkName();
    if (object.GetFlag())
    {
        record.text = "Container";
        if (object.GetLockValue() != 0)
            record.text += " (Locked)";
        else if (object.GetItems().empty())
            record.text += " (Empty)";
    }
    // The one description an object carries is an exit marker's text.
    else if (object.IsExit() && !object.GetExitText().empty())
        record.text = object.GetExitText();
}

double Fraction(std::int32_t current, std::int32_t maximum)
{
    return maximum > 0 ? static_cast<double>(current) / static_cast<double>(maximum) : 0.0;
}

void FillActor(const VARD::CActor& actor, CUIHoverInfo& record, const VARD::CGame* game)
{
    record.icon = actor.IsDead() ? kImageDead : CreatureKindIcon(actor.GetCreatureKind());
    record.iconColour = Opaque(actor.GetFigureColor());
    record.markBottomRight = GenderMark(actor.GetGender());
    record.markTopLeft = actor.GetStatuses().empty() ? 0 : kImageHasStatus;
    record.markTopRight = ModifierMark(actor);

    const std::uint32_t attitude = actor.GetAttitude();
    if (attitude == VARD::kAttitudeParty)
        record.titleColour = 0xFF00FF00u;
    else if (actor.IsHostile())
        record.titleColour = 0xFFFF0000u;

    const std::int32_t margin = GetInsightMargin(actor, game);

    record.title = actor.GetTalkName();
    record.text = VARD::GetRaceDisplayName(static_cast<int>(actor.GetCreatureKind())) + " ";
    if (margin >= 0)
    {
        const std::int32_t level = actor.GetLevel() != 0
                                       ? static_cast<std::int32_t>(actor.GetLevel())
                                       : actor.GetLevelBonus();
        record.markBottomLeft = ClassMark(actor.GetClass());
        record.text += VARD::GetClassDisplayName(static_cast<int>(actor.GetClass())) + " " +
                       std::to_string(level);
    }
    else
    {
        record.text += "Unknown";
        record.markBottomLeft = kImageClassUnknown;
    }

    record.showHealthBar = 1;
    record.healthFraction = Fraction(actor.GetHitPoints(), actor.GetMaxHitPoints());
    if (attitude == VARD::kAttitudeParty)
    {
        record.showEnergyBar = 1;
        record.energyFraction = Fraction(actor.GetEnergyPoints(), actor.GetMaxEnergyPoints());
    }
    if (margin >= 0 && actor.IsSneaking())
        record.text += " (Sneaking)";
}

void FillItem(const VARD::CItem& item, CUIHoverInfo& record)
{
    FillItemLook(*item.GetTemplate(), record);
    if (item.GetValue1() > 1)
        record.text = "Count: " + std::to_string(item.GetValue1());
}

std::uint32_t SpellIcon(const VARD::CSpell& spell)
{
    const int skill = spell.GetSkill();
    if (spell.IsPower())
    {
        if (skill == VARD::kSkillSneak)
            return 176;
        if (skill == VARD::kSkillSinging)
            return 124;
        return 125;
    }
    // Schools 42 (Void Magic) to 49 (High Magic).
    static constexpr std::uint32_t kIcons[] = {116, 118, 119, 117, 122, 121, 120, 123};
    if (skill < 42 || skill > 49)
        BadRow("no hover icon for spell school " + std::to_string(skill));
    return kIcons[skill - 42];
}

} // namespace

void CUIHoverInfo::ResetWithTitle(CUIHoverInfo& record, const VARD::CMap2Area& location)
{
    record.Reset();
    record.title = location.GetDisplayName();
}

std::int32_t GetInsightMargin(const VARD::CActor& actor, const VARD::CGame* game)
{
    if (actor.IsFriendly())
        return 25;
    const int skill = VARD::GetSpecialStatInfo(kStatStealth).skill;
    std::int32_t concealment = actor.GetSkillValue(skill);
    const int attribute = VARD::GetSkillInfo(skill).attribute;
    if (concealment != 0 && attribute != VARD::kAttributeNone)
        concealment += VARD::CActor::GetAttributeBonus(
            actor.GetAttribute(static_cast<std::uint32_t>(attribute)));
    concealment += actor.GetModifierTotal(VARD::kModStealth);
    const std::int32_t observation =
        game ? game->BestPartySpecialStat(kStatObservation) : kNoPartySees;
    return observation - concealment;
}

void FillHoverInfo(const VARD::CThing* thing, CUIHoverInfo& record, const VARD::CGame* game)
{
    record.Reset();
    if (!thing)
        return;
    switch (VARD::ThingKindOf(thing->Id()))
    {
    case VARD::kThingKindTile:
        if (const auto* tile = dynamic_cast<const VARD::CTile*>(thing))
            FillTile(*tile, record);
        break;
    case VARD::kThingKindObject:
        if (const auto* object = dynamic_cast<const VARD::CObject*>(thing))
            FillObject(*object, record);
        break;
    case VARD::kThingKindActor:
        if (const auto* actor = dynamic_cast<const VARD::CActor*>(thing))
            FillActor(*actor, record, game);
        break;
    case VARD::kThingKindItem:
        if (const auto* item = dynamic_cast<const VARD::CItem*>(thing))
            FillItem(*item, record);
        break;
    default:
        break;
    }
}

void FillItemTemplateHoverInfo(const VARD::CItemTemplate& itemTemplate, CUIHoverInfo& record)
{
    record.Reset();
    FillItemLook(itemTemplate, record);
}

void FillPricedItemHoverInfo(const VARD::CItem& item, std::uint32_t price, CUIHoverInfo& record)
{
    FillHoverInfo(&item, record);
    record.title += " (" + std::to_string(price) + " gold)";
}

void FillSpellHoverInfo(const VARD::CSpell& spell, const VARD::CActor& actor, CUIHoverInfo& record)
{
    record.icon = SpellIcon(spell);
    record.title = spell.GetDisplayName();
    record.iconColour = Opaque(spell.GetColor());
    record.text =
        VARD::GetSkillDisplayName(spell.GetSkill()) + " " + std::to_string(spell.GetLevel());
    if (actor.MeetsRequirement(spell))
        record.text += " (" + std::to_string(spell.GetEnergyCost()) + " energy)";
    else
        record.text += " (-)";
}

} // namespace VARDUI
