// Attack and defence of an actor: the values a swing is rolled with, the
// defence class, and their breakdown texts line by line.

#include "actor_rules_test_util.h"

#include "world/attack_info.h"

#include <string>
#include <vector>

using namespace VARD;
using namespace ActorRulesTest;

namespace
{

// Breakdown lines as the text widgets get them.
std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + " LINE ";
    return text;
}

} // namespace

// ------------------------------------------------------------ attack bonus

TEST(ActorAttackBonus, AgilityModifiersAndArmorPenalty)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetBaseAttribute(1, 14);
    EXPECT_EQ(actor->GetAttackBonus(), 20);
    actor->AddModifier(Mod(0x1, 3));
    EXPECT_EQ(actor->GetAttackBonus(), 23);
    world.Equip(*actor, kSlotBody, "i_mail");
    EXPECT_EQ(actor->GetArmorPenalty(), 5);
    world.Equip(*actor, kSlotOffHand, "i_shield");
    EXPECT_EQ(actor->GetArmorPenalty(), 7);
    EXPECT_EQ(actor->GetAttackBonus(), 16);
    actor->Skills().insert(6);
    actor->Skills().insert(8);
    EXPECT_EQ(actor->GetAttackBonus(), 23);
    // Armour of skill 83 burdens all but those who hold 83: the monsters.
    world.Equip(*actor, kSlotBody, "i_robe");
    EXPECT_EQ(actor->GetArmorPenalty(), 7);
    auto monster = world.Character(kMonster, 1);
    monster->Skills().insert(kSkillNone);
    world.Equip(*monster, kSlotBody, "i_robe");
    EXPECT_EQ(monster->GetArmorPenalty(), 0);
}

// ------------------------------------------------------------ weapon attacks

TEST(ActorAttack, UnarmedAttack)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetBaseAttribute(0, 14);
    std::string text = "Sheet: ";
    const CAttackInfo info = actor->DescribeAttack(0, false, &text);
    EXPECT_EQ(info.name, "Mira");
    EXPECT_EQ(info.attackBonus, 10 - 20 + 10);
    EXPECT_EQ(info.dieSize, 15);
    EXPECT_EQ(info.base, 10);
    EXPECT_EQ(text, "Sheet: Attack Bonus: LINE " +
                        Lines({"+ Base Attack Bonus: 10", "+ Unarmed Penalty: -20",
                               "+ Strength Modifier: 10"}) +
                        "Attack Damage: LINE " +
                        Lines({"+ Unarmed Damage: 1-15", "+ Strength Modifier: 10"}));
}

TEST(ActorAttack, SwordWithStyleMasteryArmorAndEffects)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetBaseAttribute(0, 12);
    for (const int skill : {1, 9, 19})
        actor->Skills().insert(skill);
    world.Equip(*actor, kSlotMainHand, "i_sword");
    world.Equip(*actor, kSlotBody, "i_mail");
    actor->AddModifier(Mod(0x1, 3));
    actor->AddModifier(Mod(0x2, 2));
    std::string text;
    const CAttackInfo info = actor->DescribeAttack(0, false, &text);
    EXPECT_EQ(info.attackBonus, 28);
    EXPECT_EQ(info.dieSize, 8);
    EXPECT_EQ(info.base, 14);
    EXPECT_EQ(text,
              "Attack Bonus: LINE " +
                  Lines({"+ Base Attack Bonus: 10", "+ Sword Attack Bonus: 5",
                         "+ Armor Penalty: -5", "+ Duelist: +5", "+ Heavy Blade Mastery: +5",
                         "+ Effects: 3", "+ Strength Modifier: 5"}) +
                  "Attack Damage: LINE " +
                  Lines({"+ Sword Damage: 1-8 + 2", "+ Strength Modifier: 5", "+ Armor Penalty: -5",
                         "+ Duelist: +5", "+ Heavy Blade Mastery: +5", "+ Effects: 2"}));
    // The same values without a text.
    const CAttackInfo silent = actor->DescribeAttack(0, false, nullptr);
    EXPECT_EQ(silent.attackBonus, 28);
    EXPECT_EQ(silent.base, 14);
}

TEST(ActorAttack, UntrainedWeapon)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    world.Equip(*actor, kSlotMainHand, "i_sword");
    std::string text;
    const CAttackInfo info = actor->DescribeAttack(0, false, &text);
    EXPECT_EQ(info.attackBonus, 10 - 20 + 5);
    EXPECT_EQ(info.base, 2);
    EXPECT_EQ(text, "Attack Bonus: LINE " +
                        Lines({"+ Base Attack Bonus: 10", "+ Non-Proficient Penalty: -20",
                               "+ Sword Attack Bonus: 5"}) +
                        "Attack Damage: LINE " + Lines({"+ Sword Damage: 1-8 + 2"}));
}

TEST(ActorAttack, BowWithMarksmanStyles)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetBaseAttribute(0, 12);
    actor->SetBaseAttribute(1, 15);
    for (const int skill : {5, 10, 15})
        actor->Skills().insert(skill);
    world.Equip(*actor, kSlotMainHand, "i_bow");
    std::string text;
    const CAttackInfo info = actor->DescribeAttack(0, false, &text);
    EXPECT_EQ(info.attackBonus, 30);
    EXPECT_EQ(info.dieSize, 6);
    EXPECT_EQ(info.base, 17);
    EXPECT_EQ(text, "Attack Bonus: LINE " +
                        Lines({"+ Base Attack Bonus: 10", "+ Long Bow Attack Bonus: 3",
                               "+ Marksman: +5", "+ Agility Modifier: 12"}) +
                        "Attack Damage: LINE " +
                        Lines({"+ Long Bow Damage: 1-6 + 1", "+ Deadly Marksman: 6",
                               "+ Long Bow Strength: +5", "+ Marksman: +5"}));
}

TEST(ActorAttack, DeadlyMarksmanHalvesTowardZero)
{
    struct Case
    {
        std::uint32_t agility;
        bool deadly;
        std::int32_t base;
    };
    // 1 + half the Agility bonus + 5 (Strength 12 required) + 5 (Marksman).
    const std::vector<Case> cases{
        {15, true, 17}, {15, false, 11}, {9, true, 10}, {7, true, 8}, {10, true, 11}};
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        actor->SetBaseAttribute(1, c.agility);
        for (const int skill : {5, 10})
            actor->Skills().insert(skill);
        if (c.deadly)
            actor->Skills().insert(15);
        world.Equip(*actor, kSlotMainHand, "i_bow");
        EXPECT_EQ(actor->DescribeAttack(0, false, nullptr).base, c.base) << "Agility " << c.agility;
    }
}

TEST(ActorAttack, TwoHandedStrength)
{
    struct Case
    {
        std::uint32_t strength;
        std::vector<int> skills;
        std::int32_t base;
        std::string line;
    };
    // Greatsword: die 12, base 3.
    const std::vector<Case> cases{
        {14, {}, 13, "+ Strength Modifier: 10"},
        {14, {11}, 18, "+ Strength (Two Handed) Modifier: 15"},
        {14, {11, 16}, 23, "+ Strength (Two Handed) Modifier: 20"},
        {13, {11}, 13, "+ Strength (Two Handed) Modifier: 10"},
        {7, {11}, -7, "+ Strength (Two Handed) Modifier: -10"},
        {14, {16}, 13, "+ Strength Modifier: 10"},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        actor->SetBaseAttribute(0, c.strength);
        actor->Skills().insert(1);
        for (const int skill : c.skills)
            actor->Skills().insert(skill);
        world.Equip(*actor, kSlotMainHand, "i_great");
        std::string text;
        const CAttackInfo info = actor->DescribeAttack(0, false, &text);
        EXPECT_EQ(info.base, c.base) << "Strength " << c.strength;
        EXPECT_EQ(info.dieSize, 12);
        const std::string damage = text.substr(text.find("Attack Damage: LINE "));
        EXPECT_EQ(damage, "Attack Damage: LINE " + Lines({"+ Greatsword Damage: 1-12 + 3", c.line}))
            << "Strength " << c.strength;
    }
}

TEST(ActorAttack, OffhandPenaltyOnBothHands)
{
    struct Case
    {
        std::string offHand;
        bool improved;
        std::int32_t penalty;
    };
    const std::vector<Case> cases{
        {"i_dagger", false, 10}, {"i_dagger", true, 0}, {"i_axe", false, 20}, {"i_axe", true, 10}};
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        actor->SetBaseAttribute(0, 13); // +7
        for (const int skill : {0, 1, 4, 12})
            actor->Skills().insert(skill);
        if (c.improved)
            actor->Skills().insert(17);
        world.Equip(*actor, kSlotMainHand, "i_sword");
        world.Equip(*actor, kSlotOffHand, c.offHand);
        std::string text;
        EXPECT_EQ(actor->DescribeAttack(0, false, &text).attackBonus, 10 + 5 + 7 - c.penalty)
            << c.offHand;
        const std::string line = "+ Offhand Penalty: -" + std::to_string(c.penalty) + " LINE ";
        EXPECT_EQ(text.find(line) != std::string::npos, c.penalty != 0) << text;
        const std::int32_t offWeapon = c.offHand == "i_dagger" ? 2 : 3;
        EXPECT_EQ(actor->DescribeAttack(1, false, nullptr).attackBonus,
                  10 + offWeapon + 7 - c.penalty)
            << c.offHand;
    }
}

TEST(ActorAttack, OffhandSwing)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetBaseAttribute(0, 13); // +7, halved to 3
    for (const int skill : {0, 1, 12, 17})
        actor->Skills().insert(skill);
    world.Equip(*actor, kSlotMainHand, "i_sword");
    world.Equip(*actor, kSlotOffHand, "i_dagger");
    std::string text;
    const CAttackInfo info = actor->DescribeAttack(1, false, &text);
    EXPECT_EQ(info.attackBonus, 19);
    EXPECT_EQ(info.dieSize, 4);
    EXPECT_EQ(info.base, 4);
    EXPECT_EQ(text, "Offhand Attack Bonus: LINE " +
                        Lines({"+ Base Attack Bonus: 10", "+ Dagger Attack Bonus: 2",
                               "+ Strength Modifier: 7"}) +
                        "Attack Damage: LINE " +
                        Lines({"+ Dagger Damage: 1-4 + 1", "+ Strength (Dual Wield) Modifier: 3"}));
    actor->SetBaseAttribute(0, 7); // −7 halves to −3
    EXPECT_EQ(actor->DescribeAttack(1, false, nullptr).base, 1 - 3);
    // A shield in the off hand is no weapon: the off hand swings unarmed.
    world.Equip(*actor, kSlotOffHand, "i_shield");
    EXPECT_EQ(actor->DescribeAttack(1, false, nullptr).dieSize, 15);
}

TEST(ActorAttack, Flanking)
{
    struct Case
    {
        std::vector<int> skills;
        std::uint32_t personality;
        std::int32_t attack;
        std::int32_t die;
        std::string line;
    };
    // A level-1 rogue (base attack 8) with a sword; Stealth rates 30 + bonus.
    const std::vector<Case> cases{
        {{}, 10, 23, 8, "+ Flanking: +10"},
        {{70, 67}, 14, 33, 48, "+ Flanking: 1-40 + 10"},
        {{70, 67}, 0, 33, 13, "+ Flanking: 1-5 + 10"},
        {{70}, 10, 33, 8, "+ Flanking: 10"},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kRogue, 1);
        actor->SetBaseAttribute(4, c.personality);
        actor->Skills().insert(1);
        for (const int skill : c.skills)
            actor->Skills().insert(skill);
        world.Equip(*actor, kSlotMainHand, "i_sword");
        std::string text;
        const CAttackInfo info = actor->DescribeAttack(0, true, &text);
        EXPECT_EQ(info.attackBonus, c.attack) << c.line;
        EXPECT_EQ(info.dieSize, c.die) << c.line;
        EXPECT_EQ(info.base, 12) << c.line;
        EXPECT_NE(
            text.find("Attack Damage: LINE + Sword Damage: 1-8 + 2 LINE " + c.line + " LINE "),
            std::string::npos)
            << text;
        const CAttackInfo plain = actor->DescribeAttack(0, false, nullptr);
        EXPECT_EQ(plain.dieSize, 8);
        EXPECT_EQ(plain.base, 2);
    }
}

TEST(ActorAttack, FlankingAttackBonusLine)
{
    CRulesWorld world;
    for (const bool improved : {false, true})
    {
        auto actor = world.Character(kRogue, 1);
        actor->Skills().insert(1);
        if (improved)
            actor->Skills().insert(70);
        world.Equip(*actor, kSlotMainHand, "i_sword");
        std::string text;
        const std::int32_t bonus = improved ? 20 : 10;
        EXPECT_EQ(actor->DescribeAttack(0, true, &text).attackBonus, 8 + 5 + bonus);
        EXPECT_EQ(text.substr(0, text.find("Attack Damage: ")),
                  "Attack Bonus: LINE " +
                      Lines({"+ Base Attack Bonus: 8", "+ Sword Attack Bonus: 5",
                             "+ Flanking: +" + std::to_string(bonus)}));
    }
}

TEST(ActorAttack, ImprovedFlankStealthNeverShrinksTheDie)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetBaseAttribute(4, 4); // Stealth 10 − 15
    for (const int skill : {1, 67, 70})
        actor->Skills().insert(skill);
    world.Equip(*actor, kSlotMainHand, "i_sword");
    EXPECT_EQ(actor->DescribeAttack(0, true, nullptr).dieSize, 8);
}

TEST(ActorAttack, NaturalAttacks)
{
    CRulesWorld world;
    auto wolf = world.Character(kMonster, 2, "Wolf");
    wolf->Attacks().push_back(
        std::make_shared<CActorMonsterAttack>(CAttackInfo{"Bite", 2, 6, 1}, ""));
    wolf->AddModifier(Mod(0x1, 3));
    wolf->AddModifier(Mod(0x2, 1));
    std::string text;
    const CAttackInfo info = wolf->DescribeAttack(0, true, &text);
    EXPECT_EQ(info.name, "Wolf (Bite)");
    EXPECT_EQ(info.attackBonus, 5);
    EXPECT_EQ(info.dieSize, 6);
    EXPECT_EQ(info.base, 2);
    EXPECT_EQ(text, "Attack Bonus: LINE " + Lines({"+ Bite Attack Bonus: 2", "+ Effects: 3"}) +
                        "Attack Damage: LINE " + Lines({"+ Bite Damage: 1-6 + 1", "+ Effects: 1"}));
    EXPECT_EQ(CodeOf([&] { wolf->DescribeAttack(1, false, nullptr); }), 2);
}

TEST(ActorAttack, HandsOfACharacter)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    EXPECT_EQ(actor->DescribeAttack(1, false, nullptr).dieSize, 15);
    EXPECT_EQ(CodeOf([&] { actor->DescribeAttack(2, false, nullptr); }), 2);
}

// ------------------------------------------------------------ defence

TEST(ActorDefense, BaseAndAgility)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    std::string text;
    EXPECT_EQ(actor->DescribeDefense(false, &text), 50);
    EXPECT_EQ(text, "Defense Class: LINE " + Lines({"+ Base Defense Class: 50"}));
    actor->SetDefenseBase(5);
    actor->SetBaseAttribute(1, 14);
    actor->AddModifier(Mod(0x4, 3));
    text.clear();
    EXPECT_EQ(actor->DescribeDefense(false, &text), 68);
    EXPECT_EQ(text, "Defense Class: LINE " +
                        Lines({"+ Base Defense Class: 55", "+ Agility Bonus: 10", "+ Effects: 3"}));
    actor->SetBaseAttribute(1, 6);
    EXPECT_EQ(actor->DescribeDefense(false, nullptr), 55 - 10 + 3);
}

TEST(ActorDefense, ArmorShieldAndMastery)
{
    struct Case
    {
        std::vector<std::string> items;
        std::vector<int> skills;
        bool ignoreArmor;
        std::int32_t defense;
        std::vector<std::string> lines;
    };
    // Agility 16 (+15); mail 20, cap 10; shield 10, cap 8; mastery 10 / 5 = 2.
    const std::vector<Case> cases{
        {{"i_mail"},
         {},
         false,
         80,
         {"+ Base Defense Class: 50", "+ Chain Mail Defense Class: +20", "+ Agility Bonus: 10"}},
        {{"i_mail"}, {}, true, 60, {"+ Base Defense Class: 50", "+ Agility Bonus: 10"}},
        {{"i_mail"},
         {24},
         false,
         84,
         {"+ Base Defense Class: 50", "+ Chain Mail Defense Class: +20", "+ Agility Bonus: 12",
          "+ Light Armor Mastery: +2"}},
        {{"i_mail"},
         {25},
         false,
         80,
         {"+ Base Defense Class: 50", "+ Chain Mail Defense Class: +20", "+ Agility Bonus: 10"}},
        {{"i_shield"},
         {13},
         false,
         78,
         {"+ Base Defense Class: 50", "+ Tower Shield Defense Class: +10", "+ Shield Focus: +10",
          "+ Agility Bonus: 8"}},
        {{"i_shield"}, {13}, true, 58, {"+ Base Defense Class: 50", "+ Agility Bonus: 8"}},
        {{"i_mail", "i_shield"},
         {24},
         false,
         92,
         {"+ Base Defense Class: 50", "+ Chain Mail Defense Class: +20",
          "+ Tower Shield Defense Class: +10", "+ Agility Bonus: 10", "+ Light Armor Mastery: +2"}},
        {{"i_mail", "i_shield"},
         {24},
         true,
         62,
         {"+ Base Defense Class: 50", "+ Agility Bonus: 10", "+ Light Armor Mastery: +2"}},
        {{"i_robe"},
         {},
         false,
         67,
         {"+ Base Defense Class: 50", "+ Robe Defense Class: +2", "+ Agility Bonus: 15"}},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        actor->SetBaseAttribute(1, 16);
        for (const std::string& item : c.items)
            world.Equip(*actor, item == "i_shield" ? kSlotOffHand : kSlotBody, item);
        for (const int skill : c.skills)
            actor->Skills().insert(skill);
        std::string text;
        EXPECT_EQ(actor->DescribeDefense(c.ignoreArmor, &text), c.defense)
            << c.items.front() << (c.ignoreArmor ? " ignored" : "");
        EXPECT_EQ(text, "Defense Class: LINE " + Lines(c.lines))
            << c.items.front() << (c.ignoreArmor ? " ignored" : "");
    }
}

TEST(ActorDefense, DuelistDefense)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->Skills().insert(14);
    EXPECT_EQ(actor->DescribeDefense(false, nullptr), 50);
    world.Equip(*actor, kSlotMainHand, "i_sword");
    std::string text;
    EXPECT_EQ(actor->DescribeDefense(false, &text), 60);
    EXPECT_EQ(text, "Defense Class: LINE " +
                        Lines({"+ Base Defense Class: 50", "+ Duelist Defense: +10"}));
    world.Equip(*actor, kSlotOffHand, "i_shield");
    EXPECT_EQ(actor->DescribeDefense(true, nullptr), 50);
}
