#include "actor_rules_test_util.h"
#include "test_util.h"
#include "world/item_template.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/item_attribute.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace VARD;
using ActorRulesTest::AddSpell;

namespace
{

VARDCommon::CTagFileReader TextReader(const std::string& text)
{
    return VARDCommon::CTagFileReader(std::make_shared<std::istringstream>(text), "test");
}

std::filesystem::path Fixture(const std::string& name)
{
    return std::filesystem::path(VARD_TEST_DATA) / "world" / name;
}

int ErrorCode(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CVARDException& e)
    {
        return e.GetCode();
    }
    return -1;
}

// One <item> record given as the words between <item> and </item>.
std::shared_ptr<CItemTemplate> ReadItem(const std::string& body, const CModule& module)
{
    auto reader = TextReader("<item> " + body + " </item>");
    reader.ReadStartTag("item");
    auto itemTemplate = std::make_shared<CItemTemplate>(reader, module);
    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
    return itemTemplate;
}

const std::string kPlainHead =
    "plain \"Plain\" \"A plain thing.\" (1 2 3) \"\" plain 0 0 1.0 5 misc ";

// A spell with no effects: key, display name, colour, skill, level, flags.
std::string SpellRecord(const std::string& key, const std::string& displayName,
                        const std::string& color, const std::string& skill, int level,
                        const std::string& flags, const std::string& secondSkill = "0")
{
    return "<spell> " + key + " \"" + displayName + "\" " + color + " \"Words.\" 0 " + skill + " " +
           std::to_string(level) + " 0 " + secondSkill + " 0 " + flags + " </spell>";
}

template <typename T> const T& AttributeAt(const CItemTemplate& itemTemplate, std::size_t index)
{
    const auto* attribute = dynamic_cast<const T*>(itemTemplate.GetAttributes().at(index).get());
    if (attribute == nullptr)
        throw std::runtime_error("attribute " + std::to_string(index) + " has another class");
    return *attribute;
}

} // namespace

// ------------------------------------------------------------ item record

TEST(ItemTemplateRecord, ReadsEveryFieldInOrder)
{
    CModule module;
    AddSpell(module, SpellRecord("lamp", "Lamp", "(1 1 1)", "0", 1, ""));
    auto reader = VARDCommon::CTagFileReader(Fixture("items_basic.vard"));
    reader.ReadStartTag("items");
    reader.ReadStartTag("item");
    CItemTemplate knife(reader, module);
    reader.ReadEndTag();

    EXPECT_EQ(knife.GetName(), "knife");
    EXPECT_EQ(knife.GetDisplayName(), "Bone Knife");
    EXPECT_EQ(knife.GetDescription(), "A knife carved from a thigh bone.");
    EXPECT_EQ(knife.GetColor(), 0x0C2238u);
    EXPECT_EQ(knife.GetLongText(), "Long text over two lines.");
    EXPECT_EQ(knife.GetGraphicName(0), "knife_inv");
    EXPECT_EQ(knife.GetGraphicName(1), "knife_fig");
    EXPECT_EQ(knife.GetGraphicName(2), "");
    EXPECT_EQ(knife.GetProjectileGraphic(), "arrow");
    EXPECT_DOUBLE_EQ(knife.GetWeight(), 1.5);
    EXPECT_EQ(knife.GetValue(), 12u);
    EXPECT_EQ(knife.GetItemType(), 0u);
    EXPECT_EQ(knife.GetFlags(), kItemFlagPublic | kItemFlagCommon);
    ASSERT_EQ(knife.GetAttributes().size(), 2u);

    const auto& weapon = AttributeAt<CItemAttributeWeapon>(knife, 0);
    EXPECT_EQ(weapon.GetKind(), kItemAttributeWeapon);
    EXPECT_EQ(weapon.GetWeaponKind(), 0u);
    EXPECT_FALSE(weapon.IsTwoHanded());
    EXPECT_EQ(weapon.GetAttackBonus(), 3);
    EXPECT_EQ(weapon.GetDieSize(), 8);
    EXPECT_EQ(weapon.GetDamageBase(), 1);

    const auto& requirement = AttributeAt<CItemAttributeAttributeReq>(knife, 1);
    EXPECT_EQ(requirement.GetKind(), kItemAttributeAttributeReq);
    EXPECT_EQ(requirement.GetAttribute(), 1u);
    EXPECT_EQ(requirement.GetRequiredValue(), 11u);
}

TEST(ItemTemplateRecord, SecondGraphicZeroCopiesTheFirst)
{
    CModule module;
    auto item = ReadItem("cap \"Cap\" \"A cap.\" (0 0 0) \"\" cap_gfx 0 0 0.5 2 helmet", module);
    EXPECT_EQ(item->GetGraphicName(0), "cap_gfx");
    EXPECT_EQ(item->GetGraphicName(1), "cap_gfx");
    EXPECT_EQ(item->GetGraphicName(2), "");
    // The other names are words: "0" (no graphic to the drawing) stays "0".
    EXPECT_EQ(item->GetProjectileGraphic(), "0");
    EXPECT_EQ(item->GetItemType(), 3u);

    auto bare = ReadItem("rag \"Rag\" \"A rag.\" (0 0 0) \"\" 0 0 0 0.1 0 misc", module);
    EXPECT_EQ(bare->GetGraphicName(0), "0");
    EXPECT_EQ(bare->GetGraphicName(1), "0");
    EXPECT_EQ(bare->GetProjectileGraphic(), "0");
}

TEST(ItemTemplateRecord, ItemTypeWordsGiveTheirNumbers)
{
    const std::vector<std::string> words = {"weapon", "armor", "shield", "helmet",
                                            "amulet", "ring",  "potion", "scroll",
                                            "wand",   "misc",  "money"};
    CModule module;
    for (std::size_t type = 0; type < words.size(); ++type)
    {
        auto item = ReadItem("x \"X\" \"X.\" (0 0 0) \"\" x 0 0 0.0 0 " + words[type], module);
        EXPECT_EQ(item->GetItemType(), type) << words[type];
    }
}

TEST(ItemTemplateRecord, FlagsWithoutAttributesEndAtTheEndTag)
{
    CModule module;
    auto item = ReadItem(kPlainHead + "nogive public", module);
    EXPECT_EQ(item->GetFlags(), kItemFlagNoGive | kItemFlagPublic);
    EXPECT_TRUE(item->HasFlag(kItemFlagNoGive));
    EXPECT_FALSE(item->HasFlag(kItemFlagCommon));
    EXPECT_TRUE(item->GetAttributes().empty());
}

TEST(ItemTemplateRecord, BadWordsAreCode1)
{
    CModule module;
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"item type", "x \"X\" \"X.\" (0 0 0) \"\" x 0 0 0.0 0 sword"},
        {"capitalised item type", "x \"X\" \"X.\" (0 0 0) \"\" x 0 0 0.0 0 Weapon"},
        {"flag", kPlainHead + "public shiny"},
        {"flag after an attribute", kPlainHead + "<quest> q </quest> public"},
        {"attribute tag", kPlainHead + "<enchant> 3 </enchant>"},
        {"spell the module lacks", kPlainHead + "<spell> no_such_spell </spell>"},
        {"colour given as 0", "x \"X\" \"X.\" 0 \"\" x 0 0 0.0 0 misc"},
        {"unquoted display name", "x X \"X.\" (0 0 0) \"\" x 0 0 0.0 0 misc"},
        {"weight that is no number", "x \"X\" \"X.\" (0 0 0) \"\" x 0 0 heavy 0 misc"},
        {"two-handed that is no bool", kPlainHead + "<weapon> axe yes 0 6 1 </weapon>"},
        {"armour tuple flag that is no bool", kPlainHead + "<armor> 0 5 ( 1 2 ) 0 0 </armor>"},
        {"modifier target word", kPlainHead + "<modify> 2 0 charisma </modify>"},
    };
    for (const auto& [what, body] : cases)
        EXPECT_EQ(ErrorCode([&, &text = body] { ReadItem(text, module); }), 1) << what;
}

TEST(ItemTemplateRecord, TableKeywordsOutsideTheirTablesKeepTheTablesCode)
{
    CModule module;
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"weapon kind", kPlainHead + "<weapon> spear false 0 6 1 </weapon>"},
        {"armour skill", kPlainHead + "<armor> cloth_armor 5 0 0 0 </armor>"},
        {"attribute", kPlainHead + "<attribute> charisma 10 </attribute>"},
        {"stacking word", kPlainHead + "<modify> 2 power attack </modify>"},
    };
    for (const auto& [what, body] : cases)
        EXPECT_EQ(ErrorCode([&, &text = body] { ReadItem(text, module); }), 2) << what;
}

TEST(ItemTemplateRecord, TruncatedRecordIsCode1)
{
    CModule module;
    for (const std::string text : {"<item> x \"X\" \"X.\" (0 0 0) \"\" x 0 0 0.0 0 misc public",
                                   "<item> x \"X\" \"X.\" (0 0 0) \"\" x 0 0 0.0 0 misc <quest> q",
                                   "<item> x \"X\" \"X.\" (0 0 0)", "<item>"})
    {
        EXPECT_EQ(ErrorCode(
                      [&]
                      {
                          auto reader = TextReader(text);
                          reader.ReadStartTag("item");
                          CItemTemplate item(reader, module);
                      }),
                  1)
            << text;
    }
}

// -------------------------------------------------------------- attributes

TEST(ItemAttributes, ArmourTupleNullOrAbsentMaximum)
{
    CModule module;
    auto tuple = ReadItem(kPlainHead + "<armor> heavy_armor 20 ( true 15 ) 10 12 </armor>", module);
    const auto& withMaximum = AttributeAt<CItemAttributeArmor>(*tuple, 0);
    EXPECT_EQ(withMaximum.GetKind(), kItemAttributeArmor);
    EXPECT_EQ(withMaximum.GetArmorSkill(), 7u);
    EXPECT_EQ(withMaximum.GetDefenseClass(), 20);
    EXPECT_TRUE(withMaximum.HasMaxAgilityBonus());
    EXPECT_EQ(withMaximum.GetMaxAgilityBonus(), 15);
    EXPECT_EQ(withMaximum.GetAttackPenalty(), 10);
    EXPECT_EQ(withMaximum.GetSpellPenalty(), 12);

    auto null = ReadItem(kPlainHead + "<armor> 0 4 0 3 2 </armor>", module);
    const auto& noMaximum = AttributeAt<CItemAttributeArmor>(*null, 0);
    EXPECT_EQ(noMaximum.GetArmorSkill(), 83u);
    EXPECT_EQ(noMaximum.GetDefenseClass(), 4);
    EXPECT_FALSE(noMaximum.HasMaxAgilityBonus());
    EXPECT_EQ(noMaximum.GetMaxAgilityBonus(), 0);
    EXPECT_EQ(noMaximum.GetAttackPenalty(), 3);
    EXPECT_EQ(noMaximum.GetSpellPenalty(), 2);

    auto absent = ReadItem(kPlainHead + "<armor> shield_style 9 5 6 </armor>", module);
    const auto& bare = AttributeAt<CItemAttributeArmor>(*absent, 0);
    EXPECT_EQ(bare.GetArmorSkill(), 8u);
    EXPECT_FALSE(bare.HasMaxAgilityBonus());
    EXPECT_EQ(bare.GetAttackPenalty(), 5);
    EXPECT_EQ(bare.GetSpellPenalty(), 6);
}

TEST(ItemAttributes, ModifyWithZeroStackingWordGetsKindFive)
{
    CModule module;
    auto item = ReadItem("ring \"Ring of Might\" \"A ring.\" (0 0 0) \"\" ring 0 0 0.1 50 ring "
                         "<modify> -3 0 attack casting </modify>",
                         module);
    const auto& modify = AttributeAt<CItemAttributeModify>(*item, 0);
    EXPECT_EQ(modify.GetKind(), kItemAttributeModify);
    const CModifier& modifier = *modify.GetModifier();
    EXPECT_EQ(modifier.GetName(), "Ring of Might");
    EXPECT_EQ(modifier.GetExpiryTick(), 0u);
    EXPECT_EQ(modifier.GetMask(), 0x1u | 0x20000u);
    EXPECT_EQ(modifier.GetValue(), -3);
    EXPECT_EQ(modifier.GetStackingKind(), kStackingItem);
    EXPECT_EQ(kStackingItem, 5u);
    EXPECT_LT(modifier.GetStackingKind(), kStackingKindCount);
    EXPECT_EQ(modifier.GetLevel(), 0);
    EXPECT_TRUE(modifier.IsSilent());
}

TEST(ItemAttributes, ModifyWithASaveWordStacksAsThatSave)
{
    CModule module;
    const std::vector<std::pair<std::string, std::uint32_t>> words = {
        {"escape", 0u}, {"fortitude", 1u}, {"resolve", 2u}};
    for (const auto& [word, kind] : words)
    {
        auto item =
            ReadItem(kPlainHead + "<modify> 4 " + word + " fortitude durability </modify>", module);
        const CModifier& modifier = *AttributeAt<CItemAttributeModify>(*item, 0).GetModifier();
        EXPECT_EQ(modifier.GetStackingKind(), kind) << word;
        EXPECT_EQ(modifier.GetMask(), 0x20u | 0x4000u) << word;
        EXPECT_EQ(modifier.GetValue(), 4) << word;
        EXPECT_EQ(modifier.GetName(), "Plain") << word;
    }
}

TEST(ItemAttributes, SpellAndQuestAttributes)
{
    CModule module;
    const CSpell& lamp = AddSpell(module, SpellRecord("lamp", "Lamp", "(1 1 1)", "0", 1, ""));
    auto item = ReadItem(kPlainHead + "<quest> find_token </quest> <spell> lamp </spell>", module);
    const auto& quest = AttributeAt<CItemAttributeQuest>(*item, 0);
    EXPECT_EQ(quest.GetKind(), kItemAttributeQuest);
    EXPECT_EQ(quest.GetQuestName(), "find_token");
    const auto& spell = AttributeAt<CItemAttributeSpell>(*item, 1);
    EXPECT_EQ(spell.GetKind(), kItemAttributeSpell);
    EXPECT_EQ(spell.GetSpell(), &lamp);
}

TEST(ItemAttributes, FindAttributeGivesTheFirstOfItsKind)
{
    CModule module;
    auto item = ReadItem(kPlainHead + "<modify> 1 0 attack </modify> <quest> q </quest> "
                                      "<modify> 2 0 damage </modify>",
                         module);
    const auto* first =
        dynamic_cast<const CItemAttributeModify*>(item->FindAttribute(kItemAttributeModify));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetModifier()->GetValue(), 1);
    EXPECT_EQ(item->FindAttribute(kItemAttributeQuest), item->GetAttributes()[1].get());
    EXPECT_EQ(item->FindAttribute(kItemAttributeWeapon), nullptr);
    EXPECT_EQ(item->FindAttribute(kItemAttributeSpell), nullptr);
}

TEST(ItemAttributes, WandTargetModeComesFromItsSpell)
{
    CModule module;
    AddSpell(module, SpellRecord("blink", "Blink", "(0 0 0)", "0", 1, "tiletarget"));
    auto wand =
        ReadItem("w \"W\" \"W.\" (0 0 0) \"\" w 0 0 0.1 9 wand <spell> blink </spell>", module);
    EXPECT_EQ(wand->GetWandTargetMode(), kSpellTargetTile);

    // Not a wand: 0 whatever the spell says.
    auto scroll =
        ReadItem("s \"S\" \"S.\" (0 0 0) \"\" s 0 0 0.1 9 scroll <spell> blink </spell>", module);
    EXPECT_EQ(scroll->GetWandTargetMode(), 0);

    auto empty = ReadItem("e \"E\" \"E.\" (0 0 0) \"\" e 0 0 0.1 9 wand", module);
    EXPECT_EQ(ErrorCode([&] { empty->GetWandTargetMode(); }), 1);
}

// -------------------------------------------------------------- items file

TEST(ItemsFile, StoresEveryTemplateByNameAndTheLaterWins)
{
    CModule module;
    AddSpell(module, SpellRecord("lamp", "Lamp", "(1 1 1)", "0", 1, ""));
    VARDCommon::CTagFileReader reader(Fixture("items_basic.vard"));
    ReadItemsFile(reader, module);
    EXPECT_TRUE(reader.IsAtEnd());

    const auto& templates = module.GetItemTemplates();
    ASSERT_EQ(templates.size(), 3u);
    const CItemTemplate* knife = module.FindItemTemplate("knife");
    ASSERT_NE(knife, nullptr);
    EXPECT_EQ(knife->GetDisplayName(), "Sharp Knife");
    EXPECT_EQ(knife->GetValue(), 14u);
    EXPECT_EQ(knife->GetFlags(), 0u);

    const CItemTemplate* vest = module.FindItemTemplate("vest");
    ASSERT_NE(vest, nullptr);
    EXPECT_EQ(vest->GetFlags(), kItemFlagPublic | kItemFlagNoGive | kItemFlagCommon);
    EXPECT_DOUBLE_EQ(vest->GetWeight(), 4.25);
    ASSERT_EQ(vest->GetAttributes().size(), 3u);
    EXPECT_EQ(vest->GetAttributes()[0]->GetKind(), kItemAttributeArmor);
    EXPECT_EQ(AttributeAt<CItemAttributeModify>(*vest, 1).GetModifier()->GetStackingKind(),
              kStackingItem);
    EXPECT_EQ(AttributeAt<CItemAttributeModify>(*vest, 2).GetModifier()->GetStackingKind(),
              kStackingFortitude);

    const CItemTemplate* token = module.FindItemTemplate("token");
    ASSERT_NE(token, nullptr);
    EXPECT_EQ(token->GetGraphicName(0), "0");
    EXPECT_EQ(token->GetGraphicName(1), "0");
    ASSERT_EQ(token->GetAttributes().size(), 3u);
    EXPECT_EQ(token->GetAttributes()[0]->GetKind(), kItemAttributeQuest);
    EXPECT_EQ(token->GetAttributes()[1]->GetKind(), kItemAttributeSpell);
    EXPECT_EQ(AttributeAt<CItemAttributeArmor>(*token, 2).GetAttackPenalty(), 1);
}

TEST(ItemsFile, AnotherElementInsideItemsIsCode1)
{
    CModule module;
    auto reader = TextReader("<items> <item> " + kPlainHead + " </item> <weapon> </items>");
    EXPECT_EQ(ErrorCode([&] { ReadItemsFile(reader, module); }), 1);
    // What was read before the fault stays; the load as a whole fails.
    EXPECT_NE(module.FindItemTemplate("plain"), nullptr);
}

TEST(ItemsFile, EmptyInputIsCode1)
{
    CModule module;
    auto reader = TextReader("");
    EXPECT_EQ(ErrorCode([&] { ReadItemsFile(reader, module); }), 1);
}

// ---------------------------------------------------------- spell items

TEST(SpellItems, PotionWandAndScrollOfAHandMadeSpell)
{
    CModule module;
    const CSpell& bolt = AddSpell(module, SpellRecord("fire_bolt", "Fire Bolt", "(255 140 0)",
                                                      "energy_magic", 3, "potion wand"));
    AddSpellItems(module);
    ASSERT_EQ(module.GetItemTemplates().size(), 3u);

    const CItemTemplate* potion = module.FindItemTemplate("i_potion-fire_bolt");
    ASSERT_NE(potion, nullptr);
    EXPECT_EQ(potion->GetDisplayName(), "Potion of Fire Bolt");
    EXPECT_EQ(potion->GetDescription(),
              "This potion contains a liquid with the power of Fire Bolt.");
    EXPECT_EQ(potion->GetValue(), 229u);
    EXPECT_EQ(potion->GetItemType(), 6u);

    const CItemTemplate* wand = module.FindItemTemplate("i_wand-fire_bolt");
    ASSERT_NE(wand, nullptr);
    EXPECT_EQ(wand->GetDisplayName(), "Wand of Fire Bolt");
    EXPECT_EQ(wand->GetDescription(), "This wand is imbued with the power of the spell Fire Bolt.");
    EXPECT_EQ(wand->GetValue(), 3435u);
    EXPECT_EQ(wand->GetItemType(), 8u);
    EXPECT_EQ(wand->GetWandTargetMode(), kSpellTargetActor);

    const CItemTemplate* scroll = module.FindItemTemplate("i_scroll-fire_bolt");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->GetDisplayName(), "Scroll of Fire Bolt");
    EXPECT_EQ(scroll->GetDescription(), "This scroll has the spell Fire Bolt written on it.");
    EXPECT_EQ(scroll->GetValue(), 114u);
    EXPECT_EQ(scroll->GetItemType(), 7u);

    for (const CItemTemplate* item : {potion, wand, scroll})
    {
        EXPECT_EQ(item->GetColor(), 0xFF8C00u) << item->GetName();
        EXPECT_EQ(item->GetLongText(), "") << item->GetName();
        EXPECT_EQ(item->GetGraphicName(0), "") << item->GetName();
        EXPECT_EQ(item->GetGraphicName(1), "") << item->GetName();
        EXPECT_EQ(item->GetGraphicName(2), "") << item->GetName();
        EXPECT_EQ(item->GetProjectileGraphic(), "") << item->GetName();
        EXPECT_DOUBLE_EQ(item->GetWeight(), 0.0) << item->GetName();
        EXPECT_EQ(item->GetFlags(), kItemFlagPublic) << item->GetName();
        ASSERT_EQ(item->GetAttributes().size(), 1u) << item->GetName();
        EXPECT_EQ(AttributeAt<CItemAttributeSpell>(*item, 0).GetSpell(), &bolt) << item->GetName();
    }
}

TEST(SpellItems, LowLevelPricesUseTheLinearFormula)
{
    CModule module;
    AddSpell(module, SpellRecord("heal", "Heal", "(255 0 0)", "life_magic", 1, "potion wand"));
    AddSpellItems(module);
    const std::vector<std::pair<std::string, std::uint32_t>> prices = {
        {"i_potion-heal", 37u}, {"i_scroll-heal", 18u}, {"i_wand-heal", 555u}};
    for (const auto& [name, price] : prices)
    {
        const CItemTemplate* item = module.FindItemTemplate(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->GetValue(), price) << name;
    }
}

TEST(SpellItems, EachFlagGivesItsOwnItem)
{
    CModule module;
    // No magic skill, so no scroll: only what the flags ask for.
    AddSpell(module, SpellRecord("both", "Both", "(0 0 0)", "0", 2, "wand potion"));
    AddSpell(module, SpellRecord("drink", "Drink", "(0 0 0)", "0", 2, "potion"));
    AddSpell(module, SpellRecord("zap", "Zap", "(0 0 0)", "0", 2, "wand"));
    AddSpell(module, SpellRecord("none", "None", "(0 0 0)", "0", 2, ""));
    AddSpellItems(module);

    std::vector<std::string> names;
    for (const auto& [name, itemTemplate] : module.GetItemTemplates())
        names.push_back(name);
    const std::vector<std::string> expected = {"i_potion-both", "i_potion-drink", "i_wand-both",
                                               "i_wand-zap"};
    ASSERT_EQ(names, expected);
    EXPECT_EQ(module.FindItemTemplate("i_potion-both")->GetValue(), 50u);
    EXPECT_EQ(module.FindItemTemplate("i_wand-both")->GetValue(), 750u);
}

TEST(SpellItems, ScrollsOnlyForMagicSkillsOtherThanTheBonusSkill)
{
    CModule module;
    AddSpell(module, SpellRecord("arcane", "Arcane", "(0 0 0)", "void_magic", 1, ""));
    AddSpell(module, SpellRecord("own_bonus", "Own", "(0 0 0)", "void_magic", 1, "", "void_magic"));
    AddSpell(module,
             SpellRecord("other_bonus", "Other", "(0 0 0)", "void_magic", 1, "", "matter_magic"));
    AddSpell(module, SpellRecord("trick", "Trick", "(0 0 0)", "locks", 1, ""));
    AddSpell(module, SpellRecord("chant", "Chant", "(0 0 0)", "religion", 1, ""));
    AddSpellItems(module);

    EXPECT_NE(module.FindItemTemplate("i_scroll-arcane"), nullptr);
    EXPECT_EQ(module.FindItemTemplate("i_scroll-own_bonus"), nullptr);
    EXPECT_NE(module.FindItemTemplate("i_scroll-other_bonus"), nullptr);
    EXPECT_EQ(module.FindItemTemplate("i_scroll-trick"), nullptr);
    EXPECT_NE(module.FindItemTemplate("i_scroll-chant"), nullptr);
    EXPECT_EQ(module.GetItemTemplates().size(), 3u);
}

TEST(SpellItems, BuiltInPowersMakeNoItems)
{
    CModule module;
    module.Spells()[kSneakPowerKey] = std::make_shared<CSpell>(kSneakPowerKey);
    module.Spells()["s_light-blade-lunge1"] =
        std::make_shared<CSpell>("s_light-blade-lunge1", "Light Blade Lunge 1", 0xFFFFFFu, "Lunge.",
                                 18, 26, 50, 0, 83, 10, 10, 1u);
    AddSpellItems(module);
    EXPECT_TRUE(module.GetItemTemplates().empty());
}

TEST(SpellItems, GeneratedItemReplacesAHandWrittenOneOfTheSameName)
{
    CModule module;
    const CSpell& heal =
        AddSpell(module, SpellRecord("heal", "Heal", "(255 0 0)", "life_magic", 1, "potion"));
    auto reader = TextReader("<items> <item> i_potion-heal \"Red Potion\" \"Hand made.\" "
                             "(1 1 1) \"\" red_potion 0 0 0.5 99 potion common "
                             "<spell> heal </spell> </item> </items>");
    ReadItemsFile(reader, module);
    ASSERT_NE(module.FindItemTemplate("i_potion-heal"), nullptr);
    EXPECT_EQ(module.FindItemTemplate("i_potion-heal")->GetDisplayName(), "Red Potion");

    AddSpellItems(module);
    const CItemTemplate* potion = module.FindItemTemplate("i_potion-heal");
    ASSERT_NE(potion, nullptr);
    EXPECT_EQ(potion->GetDisplayName(), "Potion of Heal");
    EXPECT_EQ(potion->GetDescription(), "This potion contains a liquid with the power of Heal.");
    EXPECT_EQ(potion->GetValue(), 37u);
    EXPECT_EQ(potion->GetFlags(), kItemFlagPublic);
    EXPECT_EQ(potion->GetGraphicName(0), "");
    EXPECT_EQ(AttributeAt<CItemAttributeSpell>(*potion, 0).GetSpell(), &heal);
}

TEST(SpellItems, OtherItemTypesAreCode2)
{
    CModule module;
    const CSpell& spell = AddSpell(module, SpellRecord("x", "X", "(0 0 0)", "0", 1, ""));
    for (const std::uint32_t type : {0u, 5u, 9u, 10u, 11u})
        EXPECT_EQ(ErrorCode([&] { CItemTemplate item(module, type, spell); }), 2) << type;
}

TEST(SpellItems, NameJoinsTypeKeyAndSpellKey)
{
    EXPECT_EQ(GetSpellItemName(6, "heal"), "i_potion-heal");
    EXPECT_EQ(GetSpellItemName(7, "fire_bolt"), "i_scroll-fire_bolt");
    EXPECT_EQ(GetSpellItemName(8, "s_x"), "i_wand-s_x");
}

// ------------------------------------------------------------ item tuple

TEST(ItemTuple, WritesNameAndBothValuesAndReadsBack)
{
    CModule module;
    module.ItemTemplates()["dagger"] =
        ReadItem("dagger \"Dagger\" \"D.\" (0 0 0) \"\" dagger 0 0 1.0 10 weapon", module);
    module.ItemTemplates()["gold"] =
        ReadItem("gold \"Gold\" \"G.\" (0 0 0) \"\" gold 0 0 0.0 1 money", module);
    const std::vector<std::shared_ptr<CItem>> items = {
        module.CreateItem("dagger", 3, MakeThingId(kThingKindItem, 1), 7),
        module.CreateItem("gold", 4000000000u, MakeThingId(kThingKindItem, 2), 0),
    };

    const auto path = TestUtil::ScratchPath("items_tuple");
    {
        VARDCommon::CTagFileWriter writer(path);
        writer.WriteStartTag("items");
        for (const auto& item : items)
            WriteItem(writer, *item);
        writer.WriteEndTag();
        writer.Close();
    }
    EXPECT_EQ(TestUtil::FileText(path),
              "<items>\n (dagger\n 3\n 7)\n (gold\n 4000000000\n 0)\n</items>\n");

    VARDCommon::CTagFileReader reader(path);
    reader.ReadStartTag("items");
    std::uint32_t number = 10;
    for (const auto& original : items)
    {
        ASSERT_TRUE(reader.ReadTupleStart(3, false));
        const std::string name = reader.ReadString();
        const std::uint32_t value1 = reader.ReadUnsigned();
        const std::uint32_t value2 = reader.ReadUnsigned();
        auto copy = module.CreateItem(name, value1, MakeThingId(kThingKindItem, ++number), value2);
        EXPECT_EQ(copy->GetTemplate(), original->GetTemplate());
        EXPECT_EQ(copy->GetValue1(), original->GetValue1());
        EXPECT_EQ(copy->GetValue2(), original->GetValue2());
    }
    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
    std::filesystem::remove(path);
}

TEST(ItemTuple, ItemWithoutTemplateIsWrittenAsZero)
{
    const CItem item(MakeThingId(kThingKindItem, 1), nullptr, 1, 2);
    const auto path = TestUtil::ScratchPath("items_tuple_empty");
    {
        VARDCommon::CTagFileWriter writer(path);
        WriteItem(writer, item);
        writer.Close();
    }
    EXPECT_EQ(TestUtil::FileText(path), "(0\n1\n2)\n");
    std::filesystem::remove(path);
}

TEST(ItemSearch, FindItemByNameGivesTheFirstMatch)
{
    CModule module;
    module.ItemTemplates()["a"] = ReadItem("a \"A\" \"A.\" (0 0 0) \"\" a 0 0 0.0 1 misc", module);
    module.ItemTemplates()["b"] = ReadItem("b \"B\" \"B.\" (0 0 0) \"\" b 0 0 0.0 1 misc", module);
    const std::vector<std::shared_ptr<CItem>> items = {
        module.CreateItem("a", 1, MakeThingId(kThingKindItem, 1), 0),
        module.CreateItem("b", 1, MakeThingId(kThingKindItem, 2), 0),
        module.CreateItem("b", 1, MakeThingId(kThingKindItem, 3), 0),
    };
    EXPECT_EQ(FindItemByName(items, "b"), items[1].get());
    EXPECT_EQ(FindItemByName(items, "a"), items[0].get());
    // The template's name, not its display name.
    EXPECT_EQ(FindItemByName(items, "B"), nullptr);
    EXPECT_EQ(FindItemByName(items, "c"), nullptr);
    EXPECT_EQ(FindItemByName({}, "a"), nullptr);
}

// ----------------------------------------------------------- demo module

TEST(DemoItems, ReadsWithTheSpellsItNames)
{
    CModule module;
    AddSpell(module, SpellRecord("heal", "Heal", "(255 80 80)", "life_magic", 1, ""));
    AddSpell(module,
             SpellRecord("fire_bolt", "Fire Bolt", "(255 140 0)", "elemental_magic", 3, "wand"));
    VARDCommon::CTagFileReader reader(std::filesystem::path(VARD_DEMO_MODULE) / "items.vard");
    ReadItemsFile(reader, module);
    EXPECT_TRUE(reader.IsAtEnd());

    // Every item type, and every weapon kind.
    std::vector<int> types(11, 0);
    std::vector<int> weaponKinds(6, 0);
    bool storeOnly = false;
    for (const auto& [name, itemTemplate] : module.GetItemTemplates())
    {
        ++types.at(itemTemplate->GetItemType());
        if (const auto* weapon = dynamic_cast<const CItemAttributeWeapon*>(
                itemTemplate->FindAttribute(kItemAttributeWeapon)))
            ++weaponKinds.at(weapon->GetWeaponKind());
        storeOnly = storeOnly || !itemTemplate->HasFlag(kItemFlagPublic);
    }
    for (std::size_t type = 0; type < types.size(); ++type)
        EXPECT_GT(types[type], 0) << "no item of type " << type;
    for (std::size_t kind = 0; kind < weaponKinds.size(); ++kind)
        EXPECT_GT(weaponKinds[kind], 0) << "no weapon of kind " << kind;
    EXPECT_TRUE(storeOnly);

    // The hand-written spell items match what the loader makes of the spells.
    const std::size_t before = module.GetItemTemplates().size();
    const std::vector<std::string> spellItems = {"i_potion-heal", "i_scroll-heal",
                                                 "i_scroll-fire_bolt", "i_wand-fire_bolt"};
    std::vector<std::pair<std::string, std::uint32_t>> written;
    for (const auto& name : spellItems)
    {
        const CItemTemplate* item = module.FindItemTemplate(name);
        ASSERT_NE(item, nullptr) << name;
        written.emplace_back(item->GetDisplayName() + "|" + item->GetDescription(),
                             item->GetValue());
    }
    AddSpellItems(module);
    EXPECT_EQ(module.GetItemTemplates().size(), before);
    for (std::size_t i = 0; i < spellItems.size(); ++i)
    {
        const CItemTemplate* item = module.FindItemTemplate(spellItems[i]);
        ASSERT_NE(item, nullptr) << spellItems[i];
        EXPECT_EQ(item->GetDisplayName() + "|" + item->GetDescription(), written[i].first);
        EXPECT_EQ(item->GetValue(), written[i].second) << spellItems[i];
    }
}

// The once-a-second search for items whose time is up is skipped while no
// item has an end: every item with one must be counted as long as it lives.
TEST(ItemRecord, ItemsWithAnEndAreCountedWhileTheyLive)
{
    const std::size_t before = CItem::CountExpiring();
    {
        auto lasting = std::make_shared<CItem>(1, nullptr, 1, 0);
        auto summoned = std::make_shared<CItem>(2, nullptr, 1, 900);
        EXPECT_EQ(CItem::CountExpiring(), before + 1);
        const CItem copy(*summoned);
        const CItem plain(*lasting);
        EXPECT_EQ(CItem::CountExpiring(), before + 2);
        summoned.reset();
        EXPECT_EQ(CItem::CountExpiring(), before + 1);
    }
    EXPECT_EQ(CItem::CountExpiring(), before);
}
