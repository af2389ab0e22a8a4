#include "world/rule_tables.h"

#include "world/rule_table_lookup.h"

#include <array>

namespace VARD
{

namespace
{

constexpr int N = kSkillNone;
constexpr int A = kAttributeNone;

// index, display name, key, required rating, spell bonus, attribute, linked
// skill, category, prerequisites, description
// clang-format off
constexpr std::array<CSkillInfo, kSkillCount> kSkills{{
    // Weapons.
    {0, "Light Blades", "light_blade", 0, 0, 0, 18, 0, {N, N, N},
     "Training with daggers, short swords and the other light blades. An actor who fights "
     "with a weapon he has not trained with suffers a penalty of 20 to his Attack Bonus. A "
     "light blade is also the easiest weapon to wield in the off hand."},
    {1, "Heavy Blades", "heavy_blade", 0, 0, 0, 19, 0, {N, N, N},
     "Training with long swords, broadswords and the other heavy blades. Without it an actor "
     "attacks with a heavy blade at a penalty of 20 to his Attack Bonus."},
    {2, "Staves", "staff", 0, 0, 0, 20, 0, {N, N, N},
     "Training with the quarterstaff and the other staves. Without it an actor attacks with "
     "a staff at a penalty of 20 to his Attack Bonus."},
    {3, "Bludgeons", "bludgeon", 0, 0, 0, 21, 0, {N, N, N},
     "Training with clubs, maces, hammers and the other bludgeons. Without it an actor "
     "attacks with a bludgeon at a penalty of 20 to his Attack Bonus."},
    {4, "Axes", "axe", 0, 0, 0, 22, 0, {N, N, N},
     "Training with hand axes and battle axes. Without it an actor attacks with an axe at a "
     "penalty of 20 to his Attack Bonus."},
    {5, "Bows", "bow", 0, 0, 1, 23, 0, {N, N, N},
     "Training with the short bow and the long bow. Unlike the other weapons, a bow is aimed "
     "with Agility rather than Strength. Without it an actor shoots at a penalty of 20 to "
     "his Attack Bonus."},
    // Armour.
    {6, "Light Armor", "light_armor", 0, 0, A, 24, 0, {N, N, N},
     "Training in padded, leather and other light armor. An actor wearing armor he has not "
     "trained in suffers the armor's full penalty to his Attack Bonus."},
    {7, "Heavy Armor", "heavy_armor", 0, 0, A, 25, 0, {6, N, N},
     "Training in mail, plate and other heavy armor. An actor wearing armor he has not "
     "trained in suffers the armor's full penalty to his Attack Bonus."},
    // Fighting styles.
    {8, "Shield", "shield_style", 25, 0, A, N, 0, {N, N, N},
     "The fighting style of a one-handed weapon and a shield. It leads to Shield Focus and "
     "the Shield Wall power, and only a fighter who knows it thinks of taking up a shield."},
    {9, "Duelist", "duelist_style", 25, 0, A, N, 0, {N, N, N},
     "The fighting style of a single one-handed weapon with the off hand free. While "
     "fighting this way the actor gains 5 to his Attack Bonus and to his Attack Damage."},
    {10, "Marksman", "marksman_style", 25, 0, A, N, 0, {N, N, N},
     "The fighting style of the bow. While shooting a bow the actor gains 5 to his Attack "
     "Bonus and to his Attack Damage."},
    {11, "Two Handed", "two_handed_style", 25, 0, A, N, 0, {N, N, N},
     "The fighting style of a great weapon held in both hands. While fighting this way the "
     "actor adds one and a half times his Strength bonus to his Attack Damage."},
    {12, "Dual Wield", "dual_wield_style", 25, 0, A, N, 0, {N, N, N},
     "The fighting style of a weapon in each hand. Only an actor with this skill can wield a "
     "second one-handed weapon in his off hand and strike with both, though the off hand "
     "attacks at a penalty."},
    // Style masteries.
    {13, "Shield Focus", "shield_focus", 50, 0, A, N, 0, {8, N, N},
     "The actor has learned to place his shield where the blows fall. A shield adds 10 more "
     "to his Defense Class."},
    {14, "Duelist Defense", "duelist_defense", 50, 0, A, N, 0, {9, N, N},
     "The actor parries and sidesteps as a duelist should. While fighting in the duelist "
     "style he gains 10 to his Defense Class."},
    {15, "Deadly Marksman", "deadly_marksman", 50, 0, A, N, 0, {10, N, N},
     "The actor places his arrows where they hurt most, adding half his Agility bonus to the "
     "damage of his bow."},
    {16, "Two Handed Power", "two_handed_power", 50, 0, A, N, 0, {11, N, N},
     "The actor puts his whole body behind a great weapon. In the two-handed style he adds "
     "twice his Strength bonus to his Attack Damage."},
    {17, "Improved Dual Wield", "improved_dual_wield", 50, 0, A, N, 0, {12, N, N},
     "The actor's off hand is nearly as sure as his main hand. The off-hand penalty falls "
     "from 20 to 10, and vanishes when the off-hand weapon is a light blade."},
    // Weapon and armour masteries.
    {18, "Light Blade Mastery", "light_blade_mastery", 25, 0, A, N, 0, {0, N, N},
     "Mastery of the light blades. With a light blade the actor gains 5 to his Attack Bonus "
     "and to his Attack Damage and strikes faster. It leads to the Light Blade Lunge power."},
    {19, "Heavy Blade Mastery", "heavy_blade_mastery", 25, 0, A, N, 0, {1, N, N},
     "Mastery of the heavy blades. With a heavy blade the actor gains 5 to his Attack Bonus "
     "and to his Attack Damage and strikes faster. It leads to the Heavy Blade Precision "
     "power."},
    {20, "Staff Mastery", "staff_mastery", 25, 0, A, N, 0, {2, N, N},
     "Mastery of the staff. With a staff the actor gains 5 to his Attack Bonus and to his "
     "Attack Damage and strikes faster. It leads to the Whirling Staff power."},
    {21, "Bludgeon Mastery", "bludgeon_mastery", 25, 0, A, N, 0, {3, N, N},
     "Mastery of the bludgeons. With a bludgeon the actor gains 5 to his Attack Bonus and to "
     "his Attack Damage and strikes faster. It leads to the Bludgeon Repulsion power."},
    {22, "Axe Mastery", "axe_mastery", 25, 0, A, N, 0, {4, N, N},
     "Mastery of the axe. With an axe the actor gains 5 to his Attack Bonus and to his "
     "Attack Damage and strikes faster. It leads to the Tremendous Axe Strike power."},
    {23, "Bow Mastery", "bow_mastery", 25, 0, A, N, 0, {5, N, N},
     "Mastery of the bow. With a bow the actor gains 5 to his Attack Bonus and to his Attack "
     "Damage and shoots faster. It leads to the Power Bowshot power."},
    {24, "Light Armor Mastery", "light_armor_mastery", 25, 0, A, N, 0, {6, N, N},
     "The actor moves in light armor as in his own skin. He adds a fifth of his base attack "
     "bonus to his Defense Class, and his armor limits his Agility bonus that much less."},
    {25, "Heavy Armor Mastery", "heavy_armor_mastery", 25, 0, A, N, 0, {7, N, N},
     "The actor moves in heavy armor as in his own skin. He adds a fifth of his base attack "
     "bonus to his Defense Class, and his armor limits his Agility bonus that much less."},
    // Weapon powers.
    {26, "Light Blade Lunge", "light_blade_lunge", 50, 0, A, N, 0, {18, N, N},
     "A power of the light blade master: while it lasts the actor attacks with fearless "
     "lunges and gains a bonus to his Attack Bonus. Using the power costs energy."},
    {27, "Heavy Blade Precision", "heavy_blade_precision", 50, 0, A, N, 0, {19, N, N},
     "A power of the heavy blade master: while it lasts the actor aims at the weak points of "
     "his enemies' defense and gains a bonus to his Attack Bonus. Using the power costs "
     "energy."},
    {28, "Whirling Staff", "whirling_staff", 50, 0, A, N, 0, {20, N, N},
     "A power of the staff master: while it lasts the actor spins his staff around him and "
     "gains a bonus to his Defense Class. Using the power costs energy."},
    {29, "Bludgeon Repulsion", "bludgeon_repulsion", 50, 0, A, N, 0, {21, N, N},
     "A power of the bludgeon master: while it lasts the actor beats back those who close in "
     "and gains a bonus to his Defense Class. Using the power costs energy."},
    {30, "Tremendous Axe Strike", "tremendous_axe_strike", 50, 0, A, N, 0, {22, N, N},
     "A power of the axe master: while it lasts the actor swings with all his might and "
     "gains a bonus to his Attack Damage. Using the power costs energy."},
    {31, "Power Bowshot", "power_bowshot", 50, 0, A, N, 0, {23, N, N},
     "A power of the bow master: while it lasts the actor draws his bow to its limit and "
     "gains a bonus to his Attack Damage. Using the power costs energy."},
    // Style powers.
    {32, "Shield Wall", "shield_wall", 50, 0, A, N, 0, {8, N, N},
     "A power of the shield style: while it lasts the actor hides behind his shield and "
     "gains a bonus to his Defense Class. It can only be used while fighting with a shield."},
    {33, "Duelist Maneuver", "duelist_maneuver", 50, 0, A, N, 0, {9, N, N},
     "A power of the duelist style: while it lasts the actor weaves and feints and gains a "
     "bonus to his Defense Class. It can only be used while fighting as a duelist."},
    {34, "Marksman Bullseye", "marksman_bullseye", 50, 0, A, N, 0, {10, N, N},
     "A power of the marksman style: while it lasts the actor picks the gaps in his target's "
     "armor and gains a bonus to his Attack Bonus. It can only be used with a bow."},
    {35, "Two Handed Berserk", "two_handed_berserk", 50, 0, A, N, 0, {11, N, N},
     "A power of the two-handed style: while it lasts the actor lays about him in a rage and "
     "gains a bonus to his Attack Damage. It can only be used with a great weapon."},
    {36, "Dual Wield Skirmish", "dual_wield_skirmish", 50, 0, A, N, 0, {12, N, N},
     "A power of the dual wield style: while it lasts the actor darts in and out with both "
     "blades and gains a bonus to his Attack Bonus. It can only be used with a weapon in "
     "each hand."},
    // Bloodlines and the lesser magic.
    {37, "Aesir Blood", "aesir_blood", 7, 0, A, N, 2, {43, 44, 45},
     "The blood of the sky gods runs in the actor's veins. It wakes only in one who has "
     "studied the magic of matter, energy and spirit, and opens the spells of that old line "
     "to him."},
    {38, "Surtr Blood", "surtr_blood", 7, 0, A, N, 2, {43, 44, 45},
     "The fire of the southern giants burns in the actor's blood. It wakes only in one who "
     "has studied the magic of matter, energy and spirit, and opens the spells of that line "
     "to him."},
    {39, "Alfar Blood", "alfar_blood", 7, 0, A, N, 2, {43, 44, 45},
     "The light of the elves shines in the actor's blood. It wakes only in one who has "
     "studied the magic of matter, energy and spirit, and opens the spells of that line to "
     "him."},
    {40, "Arcane Magic", "arcane_magic", 7, 0, A, N, 2, {N, N, N},
     "The reading of written magic. Only an actor with this skill can learn a spell from a "
     "scroll, and only when his Base Spellcaster Bonus reaches the spell's level."},
    {41, "Religion", "religion", 7, 0, A, N, 2, {N, N, N},
     "Knowledge of the gods, their rites and their servants. It opens the prayers that the "
     "faithful are taught."},
    // Schools of magic.
    {42, "Void Magic", "void_magic", 0, -5, 4, 50, 2, {N, N, N},
     "The school of the void: curses, fear and the draining of life. Its spells are cast "
     "with Personality, and the void is hard to master: they take a penalty of 5 to the "
     "Spell Bonus."},
    {43, "Matter Magic", "matter_magic", 0, 0, 3, 51, 2, {N, N, N},
     "The school of matter: stone, water, metal and flesh shaped by the will. Its spells are "
     "cast with Intelligence."},
    {44, "Energy Magic", "energy_magic", 0, 0, 3, 52, 2, {N, N, N},
     "The school of energy: fire, frost, lightning and force. Its spells are cast with "
     "Intelligence."},
    {45, "Spirit Magic", "spirit_magic", 0, 0, 4, 53, 2, {N, N, N},
     "The school of spirit: minds, souls and the wards that guard them. Its spells are cast "
     "with Personality."},
    {46, "Elemental Magic", "elemental_magic", 0, 5, 3, 54, 2, {43, 44, N},
     "The joined school of matter and energy, which commands the elements themselves. Its "
     "spells are cast with Intelligence and gain 5 to the Spell Bonus."},
    {47, "Cosmic Magic", "cosmic_magic", 0, 5, 4, 55, 2, {44, 45, N},
     "The joined school of energy and spirit, which draws on the powers beyond the world. "
     "Its spells are cast with Personality and gain 5 to the Spell Bonus."},
    {48, "Life Magic", "life_magic", 0, 5, 4, 56, 2, {43, 45, N},
     "The joined school of matter and spirit, which heals, restores and raises. Its spells "
     "are cast with Personality and gain 5 to the Spell Bonus."},
    {49, "High Magic", "high_magic", 0, 10, 3, 57, 2, {43, 44, 45},
     "The highest school, open only to one who knows matter, energy and spirit alike. Its "
     "spells are cast with Intelligence and gain 10 to the Spell Bonus."},
    // School masteries.
    {50, "Void Magic Mastery", "void_magic_mastery", 12, 0, A, N, 2, {42, N, N},
     "Mastery of the void. The actor casts Void Magic spells with 10 more to his Spell "
     "Bonus."},
    {51, "Matter Magic Mastery", "matter_magic_mastery", 12, 0, A, N, 2, {43, N, N},
     "Mastery of matter. The actor casts Matter Magic spells with 10 more to his Spell "
     "Bonus."},
    {52, "Energy Magic Mastery", "energy_magic_mastery", 12, 0, A, N, 2, {44, N, N},
     "Mastery of energy. The actor casts Energy Magic spells with 10 more to his Spell "
     "Bonus."},
    {53, "Spirit Magic Mastery", "spirit_magic_mastery", 12, 0, A, N, 2, {45, N, N},
     "Mastery of spirit. The actor casts Spirit Magic spells with 10 more to his Spell "
     "Bonus."},
    {54, "Elemental Magic Mastery", "elemental_magic_mastery", 12, 0, A, N, 2, {46, N, N},
     "Mastery of the elements. The actor casts Elemental Magic spells with 10 more to his "
     "Spell Bonus."},
    {55, "Cosmic Magic Mastery", "cosmic_magic_mastery", 12, 0, A, N, 2, {47, N, N},
     "Mastery of the cosmos. The actor casts Cosmic Magic spells with 10 more to his Spell "
     "Bonus."},
    {56, "Life Magic Mastery", "life_magic_mastery", 12, 0, A, N, 2, {48, N, N},
     "Mastery of life. The actor casts Life Magic spells with 10 more to his Spell Bonus."},
    {57, "High Magic Mastery", "high_magic_mastery", 12, 0, A, N, 2, {49, N, N},
     "Mastery of the highest magic. The actor casts High Magic spells with 10 more to his "
     "Spell Bonus."},
    // Spellcasting skills.
    {58, "Spell Penetration", "spell_penetration", 12, 0, A, N, 2, {N, N, N},
     "The actor's spells bore through magical defenses: he gains 10 on the roll against a "
     "target's spell resistance."},
    {59, "Greater Spell Penetration", "greater_spell_penetration", 12, 0, A, N, 2, {58, N, N},
     "The actor's spells pierce even strong magical defenses: he gains 20 instead of 10 on "
     "the roll against a target's spell resistance."},
    {60, "Armored Spellcasting", "armored_spellcasting", 12, 0, A, N, 2, {N, N, N},
     "The actor has learned to weave spells in armor. The spellcasting penalty of his armor "
     "and shield falls by 10."},
    {61, "Armored Spellcasting Mastery", "armored_spellcasting_mastery", 12, 0, A, N, 2, {60, N, N},
     "The actor casts in armor as freely as without it. The spellcasting penalty of his "
     "armor and shield falls by a further 10."},
    {62, "Spellcasting Alacrity", "spellcasting_alacrity", 12, 0, A, N, 2, {N, N, N},
     "The actor's spells come quickly: two fifths of his Base Spellcaster Bonus is added to "
     "his casting speed."},
    {63, "Combat Casting", "combat_casting", 12, 0, A, N, 2, {N, N, N},
     "The actor keeps his concentration when wounded while casting, gaining 20 on the roll "
     "that decides whether his spell is disrupted."},
    {64, "Defensive Casting", "defensive_casting", 12, 0, A, N, 2, {64, N, N},
     "The actor casts with one eye on his enemies. When wounded while casting he may finish "
     "the spell defensively before his concentration is even tested."},
    // Rogue skills.
    {65, "Traps", "traps", 0, 0, 3, N, 1, {N, N, N},
     "Finding and disarming traps before they are sprung. The actor's Traps rating is "
     "compared with the difficulty of each trap the party comes upon."},
    {66, "Locks", "locks", 0, 0, 3, N, 1, {N, N, N},
     "Opening locked doors and chests without the key. The actor's Locks rating is compared "
     "with the difficulty of the lock."},
    {67, "Stealth", "sneak", 0, 0, 4, N, 1, {N, N, N},
     "Moving unseen. The actor can use the Sneak power to hide in the shadows, invisible "
     "until an enemy whose Observation beats his Stealth spots him."},
    {68, "Observation", "observation", 0, 0, 3, N, 1, {N, N, N},
     "Noticing what others would hide: sneaking enemies, and the signs of danger. The closer "
     "a hidden enemy, the easier he is to spot."},
    {69, "Diplomacy", "diplomacy", 0, 0, 4, N, 1, {N, N, N},
     "Persuasion, flattery and negotiation. A diplomatic actor finds ways through a "
     "conversation that others would miss."},
    {70, "Improved Flank", "flanking", 45, 0, A, N, 1, {67, N, N},
     "The actor knows where to strike a foe who is busy with someone else. Against a flanked "
     "enemy he gains 20 instead of 10 to his Attack Bonus, and his Stealth rating adds to "
     "his damage die."},
    {71, "Sneak Attack", "sneak_attack", 45, 0, A, N, 1, {67, N, N},
     "The actor strikes hard at enemies who do not see him coming, gaining a bonus to his "
     "attack when he falls on them unseen."},
    {72, "Singing", "singing", 0, 0, 4, N, 1, {N, N, N},
     "The actor's songs stir his companions. The bonuses of songs count apart from those of "
     "spells and other powers, so they add to them."},
    {73, "Wands", "wands", 0, 0, 3, N, 1, {N, N, N},
     "The use of magic wands. An actor can use a wand when his rating in this skill, which "
     "follows his Base Spellcaster Bonus and is 10 higher for a rogue, reaches the level of "
     "the wand's spell."},
    // Saves.
    {74, "Improved Fortitude", "improved_fortitude", 0, 0, A, N, 1, {N, N, N},
     "The actor's body hardens as he gains levels: his Fortitude save grows twice as fast."},
    {75, "Great Fortitude", "great_fortitude", 0, 0, A, N, 1, {74, N, N},
     "The actor shrugs off poison and sickness. His Fortitude save gains his Durability "
     "bonus or 10, whichever is greater."},
    {76, "Improved Escape", "improved_escape", 0, 0, A, N, 1, {N, N, N},
     "The actor's reflexes sharpen as he gains levels: his Escape save grows twice as fast."},
    {77, "Lightning Escape", "lightning_escape", 0, 0, A, N, 1, {76, N, N},
     "The actor is gone before the blast arrives. His Escape save gains his Agility bonus or "
     "10, whichever is greater."},
    {78, "Improved Resolve", "improved_resolve", 0, 0, A, N, 1, {N, N, N},
     "The actor's will strengthens as he gains levels: his Resolve save grows twice as fast."},
    {79, "Iron Resolve", "iron_resolve", 0, 0, A, N, 1, {78, N, N},
     "The actor's mind is hard to bend. His Resolve save gains his Personality bonus or 10, "
     "whichever is greater."},
    {80, "Stand Stout", "stand_stout", 70, 0, A, N, 1, {75, N, N},
     "The actor can brace himself against any onslaught: the Stand Stout power grants a "
     "bonus to his Fortitude save while it lasts."},
    {81, "Acrobatic Evasion", "acrobatic_evasion", 70, 0, A, N, 1, {77, N, N},
     "The actor can tumble and leap out of harm's way: the Acrobatic Evasion power grants a "
     "bonus to his Escape save while it lasts."},
    {82, "Resolute Belief", "resolute_belief", 70, 0, A, N, 1, {79, N, N},
     "The actor can steel his mind with his faith: the Resolute Belief power grants a bonus "
     "to his Resolve save while it lasts."},
}};
// clang-format on

} // namespace

const CSkillInfo& GetSkillInfo(int skill)
{
    return RuleTableLookup::RowAt(kSkills, skill, "skill");
}

std::string GetSkillKey(int skill)
{
    return GetSkillInfo(skill).key;
}

std::string GetSkillDisplayName(int skill)
{
    return GetSkillInfo(skill).displayName;
}

std::string GetSkillDescription(int skill)
{
    return GetSkillInfo(skill).description;
}

int FindSkillByKey(const std::string& key)
{
    return RuleTableLookup::FindOrThrow(kSkills, &CSkillInfo::key, key, "skill");
}

} // namespace VARD
