#include "common/data_file.h"
#include "record_test_util.h"
#include "world/actor_template.h"
#include "world/faction.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/quest.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/spell_effect.h"
#include "world/tile.h"
#include "world/trap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using namespace VARD;
using RecordTest::CodeOf;

namespace
{

std::shared_ptr<CModule> LoadDemo()
{
    auto module = std::make_shared<CModule>();
    module->Load(std::make_shared<VARDCommon::CDataFileFactoryPath>(VARD_DEMO_MODULE));
    return module;
}

// A scratch module folder: the demo's files, with some replaced by the test.
class ScratchModule
{
public:
    ScratchModule()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_Folder = TestUtil::ScratchPath(std::string("module_") + info->name(), "");
        std::filesystem::remove_all(m_Folder);
        std::filesystem::create_directories(m_Folder);
        for (const auto& entry : std::filesystem::directory_iterator(VARD_DEMO_MODULE))
            if (entry.is_regular_file())
                std::filesystem::copy_file(entry.path(), m_Folder / entry.path().filename());
    }
    ~ScratchModule() { std::filesystem::remove_all(m_Folder); }

    void Put(const std::string& name, const std::string& text)
    {
        std::ofstream(m_Folder / name, std::ios::trunc) << text;
    }
    void Remove(const std::string& name) { std::filesystem::remove(m_Folder / name); }

    // The code and detail of the load's failure; code -1 when it loads.
    std::pair<int, std::string> Load() const
    {
        try
        {
            CModule module;
            module.Load(std::make_shared<VARDCommon::CDataFileFactoryPath>(m_Folder));
        }
        catch (const CVARDException& e)
        {
            return {e.GetCode(), e.GetDetail()};
        }
        return {-1, ""};
    }

private:
    std::filesystem::path m_Folder;
};

const std::string kMinimalWorld = "<world> town gate 1 2 3 <male> </male> <female> </female>"
                                  " <tiles> </tiles> <objectdefs> </objectdefs> </world>";

} // namespace

TEST(ModuleLoad, DemoWorldStartAndHeads)
{
    auto module = LoadDemo();
    EXPECT_EQ(module->GetStartArea(), "town");
    EXPECT_EQ(module->GetStartEntry(), "gate");
    EXPECT_EQ(module->GetStartYear(), 1250u);
    EXPECT_EQ(module->GetStartDay(), 0u);
    EXPECT_EQ(module->GetStartHour(), 8u);
    ASSERT_EQ(module->GetHeads(0).size(), 2u);
    EXPECT_EQ(module->GetHeads(0)[0]->displayName, "Bearded");
    EXPECT_EQ(module->GetHeads(1)[1]->head, "head_f_short");
    EXPECT_TRUE(module->GetHeads(2).empty());
}

TEST(ModuleLoad, MultiTilePiecesAreNamedByColumnAndRow)
{
    auto module = LoadDemo();
    for (const char* name : {"house#0#0", "house#0#1", "house#1#0", "house#1#1"})
    {
        const CTileTemplate* tile = module->FindTileTemplate(name);
        ASSERT_NE(tile, nullptr) << name;
        EXPECT_EQ(tile->GetText(), "Cottage");
        EXPECT_EQ(tile->GetGraphicName(), std::string("tile_") + name);
        EXPECT_EQ(tile->GetKind(), kTileKindSolid);
    }
    EXPECT_EQ(module->FindTileTemplate("house"), nullptr);
    EXPECT_EQ(module->FindTileTemplate("house#2#0"), nullptr);
}

TEST(ModuleLoad, MultiTileOfTwoByThreeMakesSixPiecesColumnFirst)
{
    CModule module;
    const std::string world =
        "<world> a b 1 2 3 <male> </male> <female> </female> <tiles>"
        " <multitile> hall (2 3) \"Great hall\" g_hall (1 2) door </multitile>"
        " </tiles> <objectdefs> </objectdefs> </world>";
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(world), "world.vard");
    module.LoadWorld(reader);

    std::vector<std::string> names;
    for (const auto& [name, tile] : module.GetTileTemplates())
        names.push_back(name);
    // Width counts the first number, height the second: no piece #2# nor #0#3.
    EXPECT_EQ(names, (std::vector<std::string>{"hall#0#0", "hall#0#1", "hall#0#2", "hall#1#0",
                                               "hall#1#1", "hall#1#2"}));
    for (const std::string& name : names)
    {
        const CTileTemplate* piece = module.FindTileTemplate(name);
        ASSERT_NE(piece, nullptr) << name;
        EXPECT_EQ(piece->GetText(), "Great hall") << name;
        EXPECT_EQ(piece->GetGraphicName(), "g_" + name) << name;
        EXPECT_EQ(piece->GetKind(), kTileKindDoor) << name;
        EXPECT_EQ(piece->GetSizeX(), 1u) << name;
        EXPECT_EQ(piece->GetSizeY(), 2u) << name;
        EXPECT_EQ(piece->GetScript(), nullptr) << name;
        EXPECT_EQ(piece->GetLockValue(), 0u) << name;
    }
    EXPECT_EQ(module.FindTileTemplate("hall"), nullptr);
}

TEST(ModuleLoad, DoorsKeepLocksScriptsAndReset)
{
    auto module = LoadDemo();
    const CTileTemplate* cellar = module->FindTileTemplate("door_cellar");
    ASSERT_NE(cellar, nullptr);
    EXPECT_EQ(cellar->GetLockValue(), 40u);
    EXPECT_EQ(cellar->GetScript(), nullptr);
    const CTileTemplate* crypt = module->FindTileTemplate("door_crypt");
    ASSERT_NE(crypt, nullptr);
    EXPECT_NE(crypt->GetScript(), nullptr);
    EXPECT_EQ(crypt->GetLockValue(), 0u);
    EXPECT_TRUE(crypt->GetReset());
    EXPECT_EQ(crypt->GetOpenGraphicName(), "tile_door_crypt_open");
}

TEST(ModuleLoad, BuiltInPowersAreAdded)
{
    auto module = LoadDemo();
    struct Case
    {
        const char* key;
        const char* display;
        int level;
        int skill;
    } cases[] = {
        {"s_light-blade-lunge1", "Light Blade Lunge 1", 50, 18},
        {"s_power-bowshot3", "Power Bowshot 3", 100, 23},
        {"s_shield-wall2", "Shield Wall 2", 75, 8},
        {"s_stand-stout1", "Stand Stout 1", 70, 80},
        {"s_resolute-belief3", "Resolute Belief 3", 120, 82},
    };
    for (const auto& c : cases)
    {
        const CSpell* power = module->FindSpell(c.key);
        ASSERT_NE(power, nullptr) << c.key;
        EXPECT_EQ(power->GetDisplayName(), c.display);
        EXPECT_EQ(power->GetLevel(), c.level);
        EXPECT_EQ(power->GetSkill(), c.skill);
        EXPECT_TRUE(power->IsPower());
    }
    const CSpell* sneak = module->FindSpell("s_power-sneak");
    ASSERT_NE(sneak, nullptr);
    EXPECT_EQ(sneak->GetDisplayName(), "Sneak");
    EXPECT_EQ(sneak->GetEnergyCost(), 0);
    // 14 rows of three grades, the sneak power and the module's own spells.
    int powers = 0;
    for (const auto& [key, spell] : module->GetSpells())
        powers += spell->IsPower() ? 1 : 0;
    EXPECT_EQ(powers, 14 * 3 + 1 + 1);
}

TEST(ModuleLoad, SpellItemsAreGeneratedWithTheirTexts)
{
    auto module = LoadDemo();
    const CItemTemplate* potion = module->FindItemTemplate("i_potion-refresh");
    ASSERT_NE(potion, nullptr);
    EXPECT_EQ(potion->GetDisplayName(), "Potion of Refresh");
    EXPECT_EQ(potion->GetDescription(), "This potion contains a liquid with the power of Refresh.");
    EXPECT_EQ(potion->GetValue(), 229u); // level 3
    const CItemTemplate* wand = module->FindItemTemplate("i_wand-fire_bolt");
    ASSERT_NE(wand, nullptr);
    EXPECT_EQ(wand->GetDisplayName(), "Wand of Fire Bolt");
    EXPECT_EQ(wand->GetDescription(), "This wand is imbued with the power of the spell Fire Bolt.");
    EXPECT_EQ(wand->GetValue(), 229u * 15u); // level 3
    const CItemTemplate* scroll = module->FindItemTemplate("i_scroll-fire_bolt");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->GetDescription(), "This scroll has the spell Fire Bolt written on it.");
    EXPECT_EQ(scroll->GetValue(), 114u);
    // A spell of no magic school gets no scroll; a power is no potion.
    EXPECT_EQ(module->FindItemTemplate("i_scroll-poison"), nullptr);
    EXPECT_EQ(module->FindItemTemplate("i_potion-fire_bolt"), nullptr);
    // The hand-written "i_potion-heal" of items.vard stays: its spell asks
    // for no potion, whose made name would be too long for the store.
    const CItemTemplate* remedy = module->FindItemTemplate("i_potion-heal");
    ASSERT_NE(remedy, nullptr);
    EXPECT_EQ(remedy->GetDisplayName(), "Remedy");
    EXPECT_EQ(remedy->GetColor(), 0x00FF5050u);
}

TEST(ModuleLoad, EveryNameARecordUsesResolves)
{
    auto module = LoadDemo();
    for (const auto& [name, monster] : module->GetActorTemplates())
    {
        for (const auto& item : monster->GetItems())
            EXPECT_NE(module->FindItemTemplate(item.itemName), nullptr)
                << name << " carries " << item.itemName;
        for (const CSpell* spell : monster->GetSpells())
            EXPECT_NE(spell, nullptr) << name;
    }
    // Monsters whose faction the module lacks would silently have none.
    for (const char* member : {"priest", "town_guard", "bandit"})
    {
        ASSERT_NE(module->FindActorTemplate(member), nullptr) << member;
        EXPECT_NE(module->FindActorTemplate(member)->GetFaction(), nullptr) << member;
    }
    for (const auto& [name, faction] : module->GetFactions())
        for (const auto& spell : faction->GetSpells())
            EXPECT_NE(module->FindSpell(spell->spellName), nullptr)
                << name << " grants " << spell->spellName;
    for (const auto& [name, object] : module->GetObjectTemplates())
    {
        if (object->GetTrap() && !object->GetTrap()->GetSpellName().empty())
        {
            EXPECT_NE(module->FindSpell(object->GetTrap()->GetSpellName()), nullptr) << name;
        }
    }
    for (const auto& [key, spell] : module->GetSpells())
        for (const auto& effect : spell->GetEffects())
        {
            if (const auto* summon = dynamic_cast<const CSpellEffectSummon*>(effect.get()))
            {
                EXPECT_NE(module->FindActorTemplate(summon->GetCreature()), nullptr) << key;
            }
            if (const auto* item = dynamic_cast<const CSpellEffectItem*>(effect.get()))
            {
                EXPECT_NE(module->FindItemTemplate(item->GetItem()), nullptr) << key;
            }
        }
    EXPECT_NE(module->FindQuest("temple_key"), nullptr);
    EXPECT_EQ(module->GetJournal().count("temple_key_start"), 1u);
}

TEST(ModuleLoad, DemoQuestItemsLeaveTheirQuestsToBeRewarded)
{
    // A quest item sets its tag when the party picks it up. A tag named like a
    // quest marks that quest as done, so its completion and reward would never
    // come.
    auto module = LoadDemo();
    int questItems = 0;
    for (const auto& [name, item] : module->GetItemTemplates())
        for (const auto& attribute : item->GetAttributes())
            if (const auto* quest = dynamic_cast<const CItemAttributeQuest*>(attribute.get()))
            {
                ++questItems;
                EXPECT_EQ(module->FindQuest(quest->GetQuestName()), nullptr)
                    << name << " closes the quest " << quest->GetQuestName();
            }
    EXPECT_GT(questItems, 0);
}

TEST(ModuleLoad, WorldStartDateFormsReadTheSame)
{
    for (const char* date : {"1 2 3", "0 1 2 3", "(1 2 3)", "( 1 2 3 )"})
    {
        ScratchModule scratch;
        std::string world = kMinimalWorld;
        world.replace(world.find("1 2 3"), 5, date);
        scratch.Put("world.vard", world);
        CModule module;
        VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(world),
                                          "world.vard");
        module.LoadWorld(reader);
        EXPECT_EQ(module.GetStartYear(), 1u) << date;
        EXPECT_EQ(module.GetStartDay(), 2u) << date;
        EXPECT_EQ(module.GetStartHour(), 3u) << date;
    }
}

TEST(ModuleLoad, LaterRecordOfTheSameNameWins)
{
    CModule module;
    const std::string world =
        "<world> a b 1 2 3 <male> </male> <female> </female> <tiles>"
        " <tile> t \"First\" g (1 1) floor </tile> <tile> t \"Second\" g (1 1) solid </tile>"
        " </tiles> <objectdefs> </objectdefs> </world>";
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(world), "world.vard");
    module.LoadWorld(reader);
    ASSERT_NE(module.FindTileTemplate("t"), nullptr);
    EXPECT_EQ(module.FindTileTemplate("t")->GetText(), "Second");
}

TEST(ModuleLoad, BadModulesFailWithTheirCodes)
{
    {
        ScratchModule scratch;
        scratch.Remove("quests.vard");
        const auto [code, detail] = scratch.Load();
        EXPECT_EQ(code, 1);
        EXPECT_NE(detail.find("quests.vard"), std::string::npos) << detail;
    }
    {
        ScratchModule scratch;
        scratch.Put("world.vard", "<world> town gate 1 2 3 <male> </male> <female> </female>"
                                  " <tiles> <tyle> </tiles> </world>");
        EXPECT_EQ(scratch.Load().first, 1);
    }
    {
        ScratchModule scratch;
        scratch.Put("world.vard", "<world> town gate 1 2 3 <male> </male> <female> </female>"
                                  " <tiles> <multitile> m (2 2) \"M\" g (1 1) lava </multitile>"
                                  " </tiles> </world>");
        const auto [code, detail] = scratch.Load();
        EXPECT_EQ(code, 1);
        EXPECT_NE(detail.find("world.vard, line 1"), std::string::npos) << detail;
    }
    {
        ScratchModule scratch;
        scratch.Put("world.vard", "<world> town gate 1 2 3 <male> </male> <female> </female>"
                                  " <tiles> <multitile> m 2 2 \"M\" g (1 1) floor </multitile>"
                                  " </tiles> </world>");
        EXPECT_EQ(scratch.Load().first, 1);
    }
    {
        // Truncated in the middle of a spell record.
        ScratchModule scratch;
        scratch.Put("magic.vard", "<magic> <spells> <spell> heal \"Heal\" (1 2 3) \"x\" 0");
        EXPECT_EQ(scratch.Load().first, 1);
    }
    {
        ScratchModule scratch;
        scratch.Put("magic.vard", "<magic> <spells> <spell> heal \"Heal\" (1 2 3) \"x\" 0 0 1 0 0"
                                  " nowhere </spell> </spells> </magic>");
        EXPECT_EQ(scratch.Load().first, 1);
    }
    {
        // An item naming a spell the module lacks.
        ScratchModule scratch;
        scratch.Put("magic.vard", "<magic> <spells> </spells> </magic>");
        const auto [code, detail] = scratch.Load();
        EXPECT_EQ(code, 1);
        EXPECT_NE(detail.find("items.vard"), std::string::npos) << detail;
    }
}

TEST(ModuleLoad, HugeMultiTileIsRefused)
{
    CModule module;
    const std::string world = "<world> a b 1 2 3 <male> </male> <female> </female> <tiles>"
                              " <multitile> m (100000 100000) \"M\" g (1 1) floor </multitile>"
                              " </tiles> <objectdefs> </objectdefs> </world>";
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(world), "world.vard");
    EXPECT_EQ(CodeOf([&] { module.LoadWorld(reader); }), 1);
}
