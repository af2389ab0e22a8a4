#include "record_test_util.h"

#include "world/actor_template.h"
#include "world/ai.h"
#include "world/brain.h"
#include "world/faction.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <set>
#include <typeinfo>

using namespace VARD;
using RecordTest::FixtureReader;

namespace
{

// The demo's items and monsters, with the spells and factions that the
// monsters name (the fixtures list them; the module's own files must have
// them too).
class DemoMonsters : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto spells = FixtureReader("monsters_demo_spells.vard");
        spells.ReadStartTag("spells");
        while (spells.IsStartTag("spell"))
        {
            auto spell = std::make_shared<CSpell>(spells);
            m_Module.Spells()[spell->GetKey()] = spell;
        }
        spells.ReadEndTag();
        m_Module.Spells()[kSneakPowerKey] = std::make_shared<CSpell>(std::string(kSneakPowerKey));
        auto factions = FixtureReader("monsters_demo_factions.vard");
        ReadFactionsFile(factions, m_Module);

        VARDCommon::CTagFileReader items(std::filesystem::path(VARD_DEMO_MODULE) / "items.vard");
        ReadItemsFile(items, m_Module);
        VARDCommon::CTagFileReader monsters(std::filesystem::path(VARD_DEMO_MODULE) /
                                            "monsters.vard");
        ReadMonstersFile(monsters, m_Module);
        EXPECT_TRUE(monsters.IsAtEnd());
    }

    const CActorTemplate& Template(const std::string& name)
    {
        const CActorTemplate* found = m_Module.FindActorTemplate(name);
        if (found == nullptr)
            throw std::runtime_error("no template " + name);
        return *found;
    }

    // Every spell name of a cast behaviour and of its fallbacks.
    static void CollectCastSpells(const CAI* ai, std::vector<std::string>& names)
    {
        while (const auto* cast = dynamic_cast<const CAICast*>(ai))
        {
            names.insert(names.end(), cast->GetSpellNames().begin(), cast->GetSpellNames().end());
            ai = cast->GetFallback().get();
        }
    }

    CModule m_Module;
};

} // namespace

TEST_F(DemoMonsters, EveryNamedItemSpellAndFactionExists)
{
    ASSERT_FALSE(m_Module.GetActorTemplates().empty());
    for (const auto& [name, actorTemplate] : m_Module.GetActorTemplates())
    {
        for (const CActorTemplateItem& item : actorTemplate->GetItems())
        {
            EXPECT_NE(m_Module.FindItemTemplate(item.itemName), nullptr)
                << name << " carries " << item.itemName;
        }
        for (const auto& attack : actorTemplate->GetAttacks())
        {
            if (!attack->GetSpellName().empty())
            {
                EXPECT_NE(m_Module.FindSpell(attack->GetSpellName()), nullptr)
                    << name << " bites with " << attack->GetSpellName();
            }
        }
        ASSERT_NE(actorTemplate->GetBrain(), nullptr) << name;
        std::vector<std::string> castSpells;
        CollectCastSpells(actorTemplate->GetBrain()->GetCalmAI().get(), castSpells);
        CollectCastSpells(actorTemplate->GetBrain()->GetRousedAI().get(), castSpells);
        for (const std::string& spell : castSpells)
            EXPECT_NE(m_Module.FindSpell(spell), nullptr) << name << " casts " << spell;
    }
    // Spell lists drop names the module lacks, so count what arrived.
    EXPECT_EQ(Template("cultist").GetSpells().size(), 5u);
    EXPECT_EQ(Template("necromancer").GetSpells().size(), 4u);
    EXPECT_EQ(Template("bandit").GetSpells().size(), 1u);
    EXPECT_EQ(Template("priest").GetSpells().size(), 2u);
    // A faction the module lacks would leave these without one.
    EXPECT_NE(Template("bandit").GetFaction(), nullptr);
    EXPECT_NE(Template("priest").GetFaction(), nullptr);
    EXPECT_NE(Template("town_guard").GetFaction(), nullptr);
}

TEST_F(DemoMonsters, EveryBehaviourKindIsUsed)
{
    std::set<std::string> kinds;
    auto collect = [&](const CAI* ai)
    {
        for (; ai != nullptr;)
        {
            kinds.insert(typeid(*ai).name());
            const auto* cast = dynamic_cast<const CAICast*>(ai);
            ai = cast ? cast->GetFallback().get() : nullptr;
        }
    };
    bool sneakingStand = false;
    for (const auto& [name, actorTemplate] : m_Module.GetActorTemplates())
    {
        const CBrain* brain = actorTemplate->GetBrain();
        collect(brain->GetCalmAI().get());
        collect(brain->GetRousedAI().get());
        const auto* stand = dynamic_cast<const CAIStand*>(brain->GetCalmAI().get());
        sneakingStand = sneakingStand || (stand && stand->GetFlags() == CAIStand::kFlagSneak);
    }
    EXPECT_EQ(kinds, (std::set<std::string>{typeid(CAIStand).name(), typeid(CAICharge).name(),
                                            typeid(CAIWander).name(), typeid(CAIShoot).name(),
                                            typeid(CAIForceTalk).name(), typeid(CAICast).name(),
                                            typeid(CAIAutocast).name()}));
    EXPECT_TRUE(sneakingStand);
}
