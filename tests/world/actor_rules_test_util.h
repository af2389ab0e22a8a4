#pragma once

#include "common/exception.h"
#include "common/tag_file.h"
#include "test_util.h"
#include "world/actor.h"
#include "world/actor_template.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// Helpers of the tests of an actor's derived values, combat and levels: a
// small module of hand-made weapons, armour and spell items, and characters
// built by hand.
namespace ActorRulesTest
{

using TestUtil::CodeOf;

// Class numbers of the rule tables.
constexpr std::uint32_t kFighter = 0;
constexpr std::uint32_t kRogue = 1;
constexpr std::uint32_t kSpellcaster = 2;
constexpr std::uint32_t kMonster = 3;

// A spell record with no effects: key, skill word, level, then any flag words.
inline std::string SpellRecord(const std::string& key, const std::string& displayName,
                               const std::string& skill, int level, const std::string& save = "0",
                               const std::string& flags = "")
{
    return "<spell> " + key + " \"" + displayName + "\" (1 2 3) \"Words.\" 0 " + skill + " " +
           std::to_string(level) + " " + save + " 0 0 " + flags + " </spell>";
}

inline const VARD::CSpell& AddSpell(VARD::CModule& module, const std::string& record)
{
    auto reader = TestUtil::ReaderOf(record);
    auto spell = std::make_shared<VARD::CSpell>(reader);
    module.Spells()[spell->GetKey()] = spell;
    return *spell;
}

// One <item> record from the words between the tags.
inline void AddItem(VARD::CModule& module, const std::string& body)
{
    auto reader = TestUtil::ReaderOf("<item> " + body + " </item>");
    reader.ReadStartTag("item");
    auto itemTemplate = std::make_shared<VARD::CItemTemplate>(reader, module);
    reader.ReadEndTag();
    module.ItemTemplates()[itemTemplate->GetName()] = itemTemplate;
}

inline void AddSpellItem(VARD::CModule& module, const std::string& name, std::uint32_t itemType,
                         const VARD::CSpell& spell)
{
    module.ItemTemplates()[name] = std::make_shared<VARD::CItemTemplate>(module, itemType, spell);
}

inline std::shared_ptr<VARD::CModifier> Mod(std::uint32_t mask, std::int32_t value)
{
    return std::make_shared<VARD::CModifier>("Test", 0, mask, value, VARD::kStackingPower, 0, true);
}

// The module and game every actor of these tests lives in.
class CRulesWorld
{
public:
    CRulesWorld()
    {
        const VARD::CSpell& fire =
            AddSpell(module, SpellRecord("sp_fire", "Fire", "energy_magic", 3));
        const VARD::CSpell& lore =
            AddSpell(module, SpellRecord("sp_lore", "Lore", "matter_magic", 9));
        // name "display" "description" (colour) "long text" graphics projectile weight value type
        AddItem(module, "i_sword \"Sword\" \"d\" (1 1 1) \"l\" g 0 0 3.5 40 weapon "
                        "<weapon> heavy_blade false 5 8 2 </weapon>");
        AddItem(module, "i_dagger \"Dagger\" \"d\" (1 1 1) \"l\" g 0 0 1 10 weapon "
                        "<weapon> light_blade false 2 4 1 </weapon>");
        AddItem(module, "i_axe \"Axe\" \"d\" (1 1 1) \"l\" g 0 0 4 20 weapon "
                        "<weapon> axe false 3 6 3 </weapon>");
        AddItem(module, "i_great \"Greatsword\" \"d\" (1 1 1) \"l\" g 0 0 8 90 weapon "
                        "<weapon> heavy_blade true 4 12 3 </weapon>");
        AddItem(module, "i_bow \"Long Bow\" \"d\" (1 1 1) \"l\" g 0 0 2 60 weapon "
                        "<weapon> bow true 3 6 1 </weapon> <attribute> strength 12 </attribute>");
        AddItem(module, "i_flame \"Flame Blade\" \"d\" (1 1 1) \"l\" g 0 0 3 400 weapon "
                        "<weapon> heavy_blade false 5 8 2 </weapon> <spell> sp_fire </spell>");
        AddItem(module, "i_stick \"Stick\" \"d\" (1 1 1) \"l\" g 0 0 1 1 weapon");
        AddItem(module, "i_mail \"Chain Mail\" \"d\" (1 1 1) \"l\" g 0 0 20 150 armor "
                        "<armor> light_armor 20 ( true 10 ) 5 15 </armor>");
        AddItem(module, "i_robe \"Robe\" \"d\" (1 1 1) \"l\" g 0 0 1 5 armor "
                        "<armor> 0 2 0 7 3 </armor>");
        AddItem(module, "i_shield \"Tower Shield\" \"d\" (1 1 1) \"l\" g 0 0 6 30 shield "
                        "<armor> shield_style 10 ( true 8 ) 2 10 </armor>");
        AddItem(module, "i_helm \"Helm\" \"d\" (1 1 1) \"l\" g 0 0 2 10 helmet");
        AddItem(module, "i_amulet \"Amulet\" \"d\" (1 1 1) \"l\" g 0 0 0.1 10 amulet");
        AddItem(module, "i_ring \"Ring\" \"d\" (1 1 1) \"l\" g 0 0 0.1 10 ring");
        AddItem(module, "i_bread \"Bread\" \"d\" (1 1 1) \"l\" g 0 0 0.5 3 misc");
        AddItem(module, "i_gold \"Gold\" \"d\" (1 1 1) \"l\" g 0 0 0.01 1 money");
        AddSpellItem(module, "i_potion", VARD::kItemTypePotion, fire);
        AddSpellItem(module, "i_scroll", VARD::kItemTypeScroll, fire);
        AddSpellItem(module, "i_wand", VARD::kItemTypeWand, fire);
        AddSpellItem(module, "i_lore_wand", VARD::kItemTypeWand, lore);
    }

    std::shared_ptr<VARD::CItem> Item(const std::string& name, std::uint32_t count = 1)
    {
        return module.CreateItem(name, count, game.NewThingId(VARD::kThingKindItem), 0);
    }

    // A living, neutral character of a class and level, every attribute 10.
    std::shared_ptr<VARD::CActor> Character(std::uint32_t characterClass, std::uint32_t level,
                                            const std::string& name = "Mira")
    {
        auto actor = std::make_shared<VARD::CActor>(game.NewThingId(VARD::kThingKindActor));
        actor->SetName(name);
        actor->SetClass(characterClass);
        actor->SetLevel(level);
        for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
            actor->SetBaseAttribute(attribute, 10);
        actor->SetActivityState(VARD::kActivityIdle);
        actor->SetAttitude(VARD::kAttitudeNeutral);
        return actor;
    }

    void Equip(VARD::CActor& actor, std::uint32_t slot, const std::string& name)
    {
        actor.SetEquipmentSlot(slot, Item(name));
    }

    VARD::CModule module;
    VARD::CGame game;
};

} // namespace ActorRulesTest
