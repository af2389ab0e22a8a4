#pragma once

#include "common/tag_file_fwd.h"
#include "world/attack_info.h"
#include "world/modifier.h"
#include "world/rule_tables.h"
#include "world/talk_state.h"
#include "world/thing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace VARDGraph
{
class CGraphicColors;
} // namespace VARDGraph

namespace VARD
{

class CAreaCellIndex;
class CActorMonsterAttack;
class CBrain;
class CFaction;
class CGame;
class CItem;
class CModule;
class COrder;
class CSpell;
class CSpellEffectModify;

// Attitudes, which the rules also call sides.
enum : std::uint32_t
{
    kAttitudeParty = 0,
    kAttitudeFriendly = 1,
    kAttitudeNeutral = 2,
    kAttitudeHostile = 3,
    kAttitudeBerserk = 4,
};

// Activity states of an actor.
enum : std::uint32_t
{
    kActivityDead = 0,
    kActivityAlarmed = 1,
    kActivityAlerted = 2,
    kActivityIdle = 3,
    kActivityEngaged = 4,
    kActivityEngagedReady = 5,
};

// Equipment slots.
enum : std::uint32_t
{
    kSlotMainHand = 0,
    kSlotOffHand = 1,
    kSlotBody = 2,
    kSlotHead = 3,
    kSlotNeck = 4,
    kSlotRing1 = 5,
    kSlotRing2 = 6,
};
constexpr std::uint32_t kEquipmentSlotCount = 7;

// The template name of the main character.
inline const char* const kMainTemplateName = "main";

using OrderQueue = std::deque<std::shared_ptr<COrder>>;
using ItemList = std::vector<std::shared_ptr<CItem>>;

// Every creature of the world: party members, the main character, townsfolk
// and monsters. Owned by shared pointer (an area's actor list or the running
// game); never copied, because other actors hold links to it.
//
// Target links: an actor's current target and the "targeted by" lists of its
// targets are raw links kept consistent on both sides by every operation
// that changes them. An actor that leaves an area calls UnlinkTargets, and
// the destructor does the same, so no link outlives the actor it names.
class CActor : public CThing, public CTalkTarget
{
public:
    // Everything empty or 0, seven empty equipment slots.
    explicit CActor(std::uint32_t id);
    // Reads one <actor> block. Code 2 for a number above 0xFFFFFF, an
    // attitude, class or creature-kind word outside its table, an activity
    // state above 5; code 1 for a gender word, template or item template the
    // module lacks, and for any token the reader refuses.
    CActor(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game);
    ~CActor() override;
    CActor(const CActor&) = delete;
    CActor& operator=(const CActor&) = delete;

    void Write(VARDCommon::CTagFileWriter& writer) const;

    void GetId(std::uint32_t& id) const override { id = m_Id; }

    // ------------------------------------------------------------ talk target
    std::string GetTalkName() const override { return m_Name; }
    const TalkStateList& GetTalkFiles() const override { return m_TalkFiles; }
    void ClearTalkQueue() override { m_TalkQueue.clear(); }
    void QueueTalk(std::shared_ptr<CTalkChoice> choice) override;
    std::string GetFirstTalkFile() const override;
    TalkChoiceList GetTalkQueue() const override { return m_TalkQueue; }
    void SetTalkFiles(TalkStateList files) { m_TalkFiles = std::move(files); }
    // Set by a talk script that asks for the actor's store; the talk dialog
    // opens it when the conversation closes. Never cleared by the game.
    std::uint32_t GetStoreFlag() const { return m_StoreFlag; }
    void SetStoreFlag(std::uint32_t flag) { m_StoreFlag = flag; }
    // Set by a talk script that takes the actor out of the world.
    std::uint32_t GetRemovalFlag() const { return m_RemovalFlag; }
    void SetRemovalFlag(std::uint32_t flag) { m_RemovalFlag = flag; }

    // ------------------------------------------------------------ record
    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    void SetPosition(double x, double y)
    {
        m_X = x;
        m_Y = y;
        if (m_CellIndex != nullptr)
            TellCellIndex();
    }
    double GetFacing() const { return m_Facing; }
    void SetFacing(double facing) { m_Facing = facing; }
    double GetRadius() const { return m_Radius; }
    void SetRadius(double radius)
    {
        m_Radius = radius;
        if (m_CellIndex != nullptr)
            TellCellIndex();
    }
    double GetSecondSize() const { return m_SecondSize; }
    void SetSecondSize(double size) { m_SecondSize = size; }

    const std::string& GetName() const { return m_Name; }
    void SetName(const std::string& name) { m_Name = name; }
    const std::string& GetSecondText() const { return m_SecondText; }
    void SetSecondText(const std::string& text) { m_SecondText = text; }
    std::uint32_t GetFigureColor() const { return m_FigureColor; }
    void SetFigureColor(std::uint32_t color) { m_FigureColor = color; }
    const std::string& GetFigureString() const { return m_FigureString; }
    void SetFigureString(const std::string& text) { m_FigureString = text; }
    const std::string& GetTemplateName() const { return m_TemplateName; }
    void SetTemplateName(const std::string& name) { m_TemplateName = name; }
    const std::string& GetFurtherWord(std::size_t index) const { return m_FurtherWords.at(index); }
    void SetFurtherWord(std::size_t index, const std::string& word)
    {
        m_FurtherWords.at(index) = word;
    }
    const std::string& GetGraphicName() const { return m_GraphicName; }
    void SetGraphicName(const std::string& name) { m_GraphicName = name; }
    const std::shared_ptr<VARDGraph::CGraphicColors>& GetColors() const { return m_Colors; }
    void SetColors(std::shared_ptr<VARDGraph::CGraphicColors> colors)
    {
        m_Colors = std::move(colors);
    }

    std::uint32_t GetAttitude() const { return m_Attitude; }
    void SetAttitude(std::uint32_t attitude)
    {
        m_Attitude = attitude;
        if (m_CellIndex != nullptr)
            TellCellIndex();
    }
    std::uint32_t GetPartyIndex() const { return m_PartyIndex; }
    void SetPartyIndex(std::uint32_t index) { m_PartyIndex = index; }
    const CFaction* GetFaction() const { return m_Faction; }
    std::uint32_t GetFactionRank() const { return m_FactionRank; }
    void SetFaction(const CFaction* faction, std::uint32_t rank)
    {
        m_Faction = faction;
        m_FactionRank = rank;
    }
    std::uint32_t GetClass() const { return m_Class; }
    void SetClass(std::uint32_t characterClass) { m_Class = characterClass; }
    std::uint32_t GetGender() const { return m_Gender; }
    void SetGender(std::uint32_t gender) { m_Gender = gender; }
    std::uint32_t GetCreatureKind() const { return m_CreatureKind; }
    void SetCreatureKind(std::uint32_t kind) { m_CreatureKind = kind; }
    std::int32_t GetLevelBonus() const { return m_LevelBonus; }
    void SetLevelBonus(std::int32_t bonus) { m_LevelBonus = bonus; }
    std::uint32_t GetLevel() const { return m_Level; }
    void SetLevel(std::uint32_t level) { m_Level = level; }
    std::uint32_t GetExperience() const { return m_Experience; }
    void SetExperience(std::uint32_t experience) { m_Experience = experience; }
    std::uint32_t GetClassSkillPoints() const { return m_ClassSkillPoints; }
    void SetClassSkillPoints(std::uint32_t points) { m_ClassSkillPoints = points; }
    std::uint32_t GetGeneralSkillPoints() const { return m_GeneralSkillPoints; }
    void SetGeneralSkillPoints(std::uint32_t points) { m_GeneralSkillPoints = points; }
    std::uint32_t GetAttributePoints() const { return m_AttributePoints; }
    void SetAttributePoints(std::uint32_t points) { m_AttributePoints = points; }
    // The unmodified attribute 0..4; code 2 for another index.
    std::uint32_t GetBaseAttribute(std::uint32_t attribute) const;
    void SetBaseAttribute(std::uint32_t attribute, std::uint32_t value);

    std::int32_t GetDefenseBase() const { return m_DefenseBase; }
    void SetDefenseBase(std::int32_t value) { m_DefenseBase = value; }
    std::int32_t GetActionSpeedBase() const { return m_ActionSpeedBase; }
    void SetActionSpeedBase(std::int32_t value) { m_ActionSpeedBase = value; }
    std::int32_t GetMovementSpeedBase() const { return m_MovementSpeedBase; }
    void SetMovementSpeedBase(std::int32_t value) { m_MovementSpeedBase = value; }
    std::uint32_t GetSpellResistanceBase() const { return m_SpellResistanceBase; }
    void SetSpellResistanceBase(std::uint32_t value) { m_SpellResistanceBase = value; }
    // Save 0 escape, 1 fortitude, 2 resolve; code 2 for another.
    std::int32_t GetSaveBase(std::uint32_t save) const;
    void SetSaveBase(std::uint32_t save, std::int32_t value);

    const std::vector<std::shared_ptr<CActorMonsterAttack>>& GetAttacks() const
    {
        return m_Attacks;
    }
    std::vector<std::shared_ptr<CActorMonsterAttack>>& Attacks() { return m_Attacks; }
    const SkillSet& GetSkills() const { return m_Skills; }
    SkillSet& Skills() { return m_Skills; }

    std::uint32_t GetHitPointBase() const { return m_HitPointBase; }
    void SetHitPointBase(std::uint32_t value) { m_HitPointBase = value; }
    std::int32_t GetDamageTaken() const { return m_DamageTaken; }
    void SetDamageTaken(std::int32_t value) { m_DamageTaken = value; }
    std::int32_t GetLastDamage() const { return m_LastDamage; }
    void SetLastDamage(std::int32_t value) { m_LastDamage = value; }
    std::uint32_t GetLastDamageSource() const { return m_LastDamageSource; }
    void SetLastDamageSource(std::uint32_t value) { m_LastDamageSource = value; }
    // A further counter of the record, kept and saved unchanged here.
    std::int32_t GetFurtherCounter() const { return m_FurtherCounter; }
    void SetFurtherCounter(std::int32_t value) { m_FurtherCounter = value; }
    std::int32_t GetEnergySpent() const { return m_EnergySpent; }
    void SetEnergySpent(std::int32_t value) { m_EnergySpent = value; }

    // Spells known; module-owned.
    const std::vector<const CSpell*>& GetSpells() const { return m_Spells; }
    std::vector<const CSpell*>& Spells() { return m_Spells; }

    const BuyTable& GetBuyTable() const { return m_BuyTable; }
    BuyTable& GetBuyTableForEdit() { return m_BuyTable; }
    const std::shared_ptr<CBrain>& GetBrain() const { return m_Brain; }
    void SetBrain(std::shared_ptr<CBrain> brain) { m_Brain = std::move(brain); }

    // 1 once a summoned actor's time ran out; saved unchanged.
    std::uint32_t GetUnsummonedFlag() const { return m_Unsummoned; }
    void SetUnsummonedFlag(std::uint32_t flag) { m_Unsummoned = flag; }
    // The tick a summoned creature goes; 0 for an actor that was not summoned.
    std::uint32_t GetSummonExpiryTick() const { return m_SummonExpiryTick; }
    void SetSummonExpiryTick(std::uint32_t tick) { m_SummonExpiryTick = tick; }
    bool IsSummoned() const { return m_SummonExpiryTick != 0; }

    // ----------------------------------------------------- orders (actor_orders)
    void QueueInstantOrder(std::shared_ptr<COrder> order);
    // Dropped silently, unless forced, while the actor is confused or dominated.
    void QueueOrder(std::shared_ptr<COrder> order, bool force);
    std::shared_ptr<COrder> GetFrontInstantOrder() const;
    std::shared_ptr<COrder> GetFrontOrder() const;
    // About how far into the object the fields that every tick reads reach
    // (they come first).
    static constexpr std::ptrdiff_t kHotBytes = 576;

    // Whether GetFrontOrder would give one, without taking a share of it.
    bool HasFrontOrder() const { return !m_Orders.empty() && m_Orders.front() != nullptr; }
    OrderQueue GetOrders() const { return m_Orders; }
    OrderQueue GetInstantOrders() const { return m_InstantOrders; }
    // Code 2 unless the order is at the front of its queue.
    void PopInstantOrder(const std::shared_ptr<COrder>& order);
    void PopOrder(const std::shared_ptr<COrder>& order);
    // Not while confused or dominated: their orders are not the player's to drop.
    void ClearOrders();
    // Empties both queues whatever the actor's statuses, resets the order
    // progress and sets the interrupt flag.
    void InterruptOrders();
    bool IsInterrupted() const { return m_Interrupted; }
    void SetInterrupted(bool interrupted) { m_Interrupted = interrupted; }
    // The order-progress values: the detour mode and last blocked tick of the
    // movement step, both reset when an order ends or the orders are cleared.
    std::uint32_t GetDetourMode() const { return m_DetourMode; }
    void SetDetourMode(std::uint32_t mode) { m_DetourMode = mode; }
    std::uint32_t GetLastBlockedTick() const { return m_LastBlockedTick; }
    void SetLastBlockedTick(std::uint32_t tick) { m_LastBlockedTick = tick; }
    // The rest of the movement step's detour state, kept between ticks; not
    // saved.
    struct CDetour
    {
        // Axis directions: 0 -y, 1 +x, 2 +y, 3 -x.
        std::uint32_t blockedDirection = 0;
        std::uint32_t slideDirection = 0;
        double edge = 0.0;
        std::uint32_t waitCounter = 0;
        // 1 left, 0 right.
        std::uint32_t turnSide = 0;
        std::uint32_t circledActorId = 0;
    };
    const CDetour& GetDetour() const { return m_Detour; }
    CDetour& Detour() { return m_Detour; }

    // --------------------------------------------- activity and targets (actor_orders)
    std::uint32_t GetActivityState() const { return m_ActivityState; }
    void SetActivityState(std::uint32_t state) { m_ActivityState = state; }
    bool IsDead() const { return m_ActivityState == kActivityDead; }
    std::uint32_t GetAlarmTick() const { return m_AlarmTick; }
    void SetAlarmTick(std::uint32_t tick) { m_AlarmTick = tick; }
    std::uint32_t GetNextActionTick() const { return m_NextActionTick; }
    void SetNextActionTick(std::uint32_t tick) { m_NextActionTick = tick; }
    std::uint32_t GetEngagementTick() const { return m_EngagementTick; }
    void SetEngagementTick(std::uint32_t tick) { m_EngagementTick = tick; }
    std::uint32_t GetEngagementTargetId() const { return m_EngagementTargetId; }
    void SetEngagementTargetId(std::uint32_t id) { m_EngagementTargetId = id; }

    void SetAlarm(std::uint32_t now);
    // kind is an action kind of GetActionTime (2 attack, 11 cast).
    void SetAlerted(int kind, std::uint32_t now);
    void EngageMelee(std::uint32_t now, const CActor* target);
    void ClearEngagement();
    void AlertEngagedActors(bool alarm, std::uint32_t now);

    CActor* GetCurrentTarget() const { return m_CurrentTarget; }
    const std::vector<CActor*>& GetTargetedBy() const { return m_TargetedBy; }
    // Null clears the target. Code 2 when the old target does not list this
    // actor (the links were broken elsewhere).
    void SetCurrentTarget(std::uint32_t now, CActor* target);
    void ClearCurrentTarget();
    // Drops every link to and from this actor: its own target, and the
    // targets of every actor that targets it. Called when the actor leaves
    // an area; the actors that lost their target also lose their engagement.
    void UnlinkTargets();

    // ------------------------------------------------ belongings (actor_items)
    void AddBackpackItem(std::shared_ptr<CItem> item);
    // Code 1 when the item is not in the backpack.
    std::shared_ptr<CItem> RemoveBackpackItem(const CItem* item);
    ItemList GetBackpackItems() const { return m_Backpack; }
    const ItemList& Backpack() const { return m_Backpack; }
    // Slots 0..6; code 2 for another slot.
    const std::shared_ptr<CItem>& GetEquipmentSlot(std::uint32_t slot) const;
    void SetEquipmentSlot(std::uint32_t slot, std::shared_ptr<CItem> item);
    std::shared_ptr<CItem> TakeEquippedItem(std::uint32_t slot);
    // Backpack items, money excepted, of the types this actor buys.
    ItemList CollectTradeItems() const;
    // Asked of the store actor: false when it does not buy the item's type.
    bool GetSellPrice(const CItem& item, std::uint32_t& price) const;

    // ----------------------------------------------------- figure (actor_items)
    void CollectGraphicNames(std::vector<std::string>& names) const;
    const std::shared_ptr<void>& GetGraphic() const { return m_Graphic; }
    // The scene renderer's handle; opaque to the world model.
    void SetGraphic(std::shared_ptr<void> graphic) { m_Graphic = std::move(graphic); }
    std::uint32_t GetAnimationId() const { return m_AnimationId; }
    double GetAnimationTime() const { return m_AnimationTime; }
    void SetAnimation(std::uint32_t id, double time)
    {
        m_AnimationId = id;
        m_AnimationTime = time;
    }
    void StartAttackAnimation();
    void StartStyleAnimation();
    void AdvanceAnimation(std::uint32_t id, double dt);

    // --------------------------------------------------- identity (actor_items)
    bool IsFriendly() const
    {
        return m_Attitude == kAttitudeParty || m_Attitude == kAttitudeFriendly;
    }
    bool IsHostile() const
    {
        return m_Attitude == kAttitudeHostile || m_Attitude == kAttitudeBerserk;
    }
    bool IsMainCharacter() const { return m_TemplateName == kMainTemplateName; }
    // The key of the actor's entry in the people journal: the template of a
    // person one can talk to; empty for everyone else (party members made by
    // hand, mute monsters), who is not recorded.
    std::string GetPeopleJournalKey() const;
    // "<faction> <rank + 1> (<title>)", or "No Faction".
    std::string GetFactionName() const;
    void TracePosition() const;

    // ------------------------------------------------ effects (actor_effects)
    // Best bonus plus worst penalty of each stacking kind, over the actor's
    // modifiers and the first Modify attribute of each equipped item.
    std::int32_t GetModifierTotal(std::uint32_t mask) const;
    const ModifierList& GetModifiers() const { return m_Modifiers; }
    void AddModifier(std::shared_ptr<CModifier> modifier);
    std::shared_ptr<CModifier> AddModifierFromEffect(const CSpell& spell,
                                                     const CSpellEffectModify& effect,
                                                     std::uint32_t expiry, std::int32_t level,
                                                     bool silent);
    std::shared_ptr<CModifier> AddSneakAttackModifier(std::uint32_t mask, std::int32_t value,
                                                      std::uint32_t expiry);
    void RemoveModifier(const CModifier* modifier);

    const StatusList& GetStatuses() const { return m_Statuses; }
    // Code 2 for a kind above 5.
    void AddStatus(std::uint32_t kind, std::uint32_t expiry);
    // Most actors carry none: the tick asks often, so that answer is inline.
    bool HasStatus(std::uint32_t kind) const
    {
        return !m_Statuses.empty() && HasStatusInList(kind);
    }
    void RemoveStatus(std::uint32_t kind);
    // Confused or dominated: the actor is not the player's to command.
    bool IsControlled() const;

    const CSpell* GetPower() const { return m_Power; }
    std::uint32_t GetPowerEndTick() const { return m_PowerEndTick; }
    std::shared_ptr<CModifier> GetPowerModifier() const { return m_PowerModifier.lock(); }
    // False, with no power left running, when the energy does not suffice.
    bool ActivatePower(const CSpell& power, std::uint32_t now);
    void StopPower();

    // Once per tick: ends modifiers and statuses whose time has come (with
    // their messages on the game) and moves the activity state on.
    void ExpireTimedEffects(std::uint32_t now, CGame& game);
    void RestoreFully();
    void RestoreEnergy(std::int32_t amount);

    // ------------------------------------------ derived values (actor_derived)
    // Attribute 0..4 with its modifiers; code 2 for another index.
    std::int32_t GetAttribute(std::uint32_t attribute) const;
    // (v × 5 − 50) / 2, truncating toward zero: 10 gives 0, 9 gives −2.
    static std::int32_t GetAttributeBonus(std::int32_t value) { return (value * 5 - 50) / 2; }
    std::int32_t GetBaseAttackBonus() const;
    std::int32_t GetBaseSpellcasterBonus() const;
    std::int32_t GetMaxHitPoints() const;
    // 0 for a dead actor.
    std::int32_t GetHitPoints() const;
    std::int32_t GetMaxEnergyPoints() const;
    // 0 for a dead actor.
    std::int32_t GetEnergyPoints() const;
    bool HasSkill(int skill) const { return m_Skills.count(skill) != 0; }
    // 0 for a skill not held.
    std::int32_t GetSkillValue(int skill) const;
    // The skill value plus, when that is not 0, the bonus of the skill's
    // attribute: the rating that stealth, spotting and skill powers use.
    std::int32_t GetSkillTotal(int skill) const;
    // Special stat 0..4 (Locks, Traps, Diplomacy, Stealth, Observation);
    // code 2 for another.
    std::int32_t GetSkillCheck(std::uint32_t stat) const;
    // Save 0 escape, 1 fortitude, 2 resolve; code 2 for another.
    std::int32_t GetSave(std::uint32_t save) const;
    // 0 for an actor without any resistance.
    std::int32_t GetSpellResistance() const;
    double GetMovementSpeed() const;
    // Seconds an action of a kind takes (2 attack, 11 cast, else plain); the
    // speed total is handed out when asked for.
    double GetActionTime(int kind, std::int32_t* speed = nullptr) const;
    double DistanceTo(double x, double y) const;
    // Within this actor's radius + 5.0 of an actor's position or of an
    // object's footprint; code 2 for another kind of thing.
    bool IsWithinReachOf(const CThing& thing) const;
    // The centre of the tile strictly closer than this actor's radius + 7.5.
    bool IsWithinReachOfTile(std::uint32_t tileId) const;
    // Both alive and at most 12.5 + both radii apart.
    bool IsInMeleeRangeOf(const CActor& other) const;
    // The power in use is the Stealth skill's.
    bool IsSneaking() const;
    bool HasSneakSkill() const;
    bool IsVisibleTo(const CActor& other) const;
    bool IsSpottedBy(const CActor& observer) const;
    double GetCarriedWeight() const;
    // Only party members carry too much.
    bool IsOverburdened() const;
    bool CanEquipInSlot(std::uint32_t slot, const CItem& item) const;
    bool CanUseWieldedWeapons() const;
    // Potions, scrolls and wands; restricted refuses potions and wands.
    bool CanUseItem(const CItem& item, bool restricted) const;
    // The spell a hit with hand (or natural attack) launches, or null; code 2
    // for a hand other than 0 or 1 of an actor without natural attacks.
    const CSpell* GetAttackSpell(std::uint32_t hand, const CModule& module) const;
    // The style skill of the wielded weapons, 83 for none.
    int GetFightingStyle() const;
    // Code 2 when the main-hand item has no weapon data.
    bool HasStyleOrWeaponMastery() const;
    // False for a spell that is no power.
    bool MeetsPowerWeaponRequirement(const CSpell& power) const;

    // ------------------------------------------------ combat (actor_combat)
    std::int32_t GetAttackBonus() const;
    // The attack penalty of worn armour and shield whose skill is not held.
    std::int32_t GetArmorPenalty() const;
    // One swing of hand 0 or 1, or of natural attack `hand`; code 2 for a
    // hand the actor does not have. The breakdown is appended to the text
    // when one is given.
    CAttackInfo DescribeAttack(std::uint32_t hand, bool flanking, std::string* text) const;
    // The defence class; ignoring armour leaves out the armour and shield
    // values but keeps their caps on the Agility part.
    std::int32_t DescribeDefense(bool ignoreArmor, std::string* text) const;

    // ------------------------------------------------ levels (actor_levels)
    // Experience at which a level begins.
    std::uint32_t GetExperienceThreshold(std::uint32_t level) const;
    void ResetCharacterStats();
    // Attribute points that raising a base value by one costs.
    static std::uint32_t GetAttributeRaiseCost(std::uint32_t value);
    // Code 2 when the points do not pay for it, or for an index outside 0..4.
    void RaiseAttribute(std::uint32_t attribute);
    void ResetSkillPoints();
    void RollHitPoints();
    // True when the experience earned the next level, which is then taken.
    bool TryLevelUp();
    bool CanLearnSkill(int skill) const;
    // Code 2, with nothing changed, when no pool can pay for the skill.
    void LearnSkill(int skill);
    bool MeetsRequirement(const CSpell& spell) const;
    void AddSpell(const CSpell& spell) { m_Spells.push_back(&spell); }
    bool KnowsSpell(const CSpell& spell) const;
    // Each spell learned is announced on the game when one is given.
    void LearnQualifyingSpells(const CModule& module, CGame* announceTo);
    void LearnFactionSpells(const CModule& module, CGame* announceTo);
    // The casting bonus of a spell or power.
    std::int32_t GetSpellAttackBonus(const CSpell& spell) const;

private:
    void ReadRecord(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game);
    void ReadEquipment(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game);
    void ReadBrain(VARDCommon::CTagFileReader& reader, const CModule& module);
    void RelinkPowerModifier();
    void LeaveTargetOf(CActor& target);
    void AdvanceActivityState(std::uint32_t now);
    std::int32_t GetCategoryRating(int category, int skill) const;
    void LearnSpell(const CSpell& spell, CGame* announceTo);

    // The index of the area that lists the actor, told of every move, change
    // of side and size (area_cell_index.cpp).
    friend class CAreaCellIndex;
    void TellCellIndex();
    bool HasStatusInList(std::uint32_t kind) const;
    void ForgetModifierTotals() { m_ModifierTotalsKnown = 0; }
    // An effect ending at that tick (0 never ends).
    void NoteExpiry(std::uint32_t tick)
    {
        if (tick != 0 && tick < m_NextExpiry)
            m_NextExpiry = tick;
    }
    std::int32_t SumModifiers(std::uint32_t mask) const;
    // Read by the tick for every actor, kept together so that each pass over
    // a crowd touches few lines of each actor.
    CAreaCellIndex* m_CellIndex = nullptr;
    std::uint32_t m_CellSlot = 0;
    std::uint32_t m_Id = 0;
    std::uint32_t m_Attitude = 0;
    std::uint32_t m_ActivityState = 0;
    std::uint32_t m_AlarmTick = 0;
    std::uint32_t m_NextActionTick = 0;
    double m_X = 0.0;
    double m_Y = 0.0;
    double m_Radius = 0.0;
    double m_Facing = 0.0;
    std::shared_ptr<CBrain> m_Brain;
    const CSpell* m_Power = nullptr;
    std::uint32_t m_PowerEndTick = 0;
    std::uint32_t m_Unsummoned = 0;
    std::uint32_t m_SummonExpiryTick = 0;
    bool m_Interrupted = false;
    std::uint32_t m_Class = 0;
    std::uint32_t m_CreatureKind = 0;
    std::uint32_t m_DetourMode = 0;
    std::uint32_t m_LastBlockedTick = 0;
    std::uint32_t m_AnimationId = 0;
    double m_AnimationTime = 0.0;
    CActor* m_CurrentTarget = nullptr;
    std::vector<CActor*> m_TargetedBy;
    ModifierList m_Modifiers;
    StatusList m_Statuses;
    OrderQueue m_Orders;
    OrderQueue m_InstantOrders;
    CDetour m_Detour;
    std::int32_t m_DamageTaken = 0;
    std::int32_t m_EnergySpent = 0;
    std::uint32_t m_HitPointBase = 0;
    std::int32_t m_MovementSpeedBase = 0;
    std::uint32_t m_Level = 0;
    std::int32_t m_LevelBonus = 0;
    std::array<std::uint32_t, 5> m_Attributes{};
    std::int32_t m_FurtherCounter = 0;
    // Modifier totals of single statistics (by bit of the mask), known while
    // neither the modifiers nor the equipment change: a crowd asks for its
    // speeds and points many times a tick.
    mutable std::uint32_t m_ModifierTotalsKnown = 0;
    // No modifier or status ends before this tick (0: not known), so that
    // the actor update need not look at each of them every tick.
    std::uint32_t m_NextExpiry = 0;
    mutable std::array<std::int32_t, 32> m_ModifierTotals{};

    // The rest.
    double m_SecondSize = 0.0;
    std::string m_Name;
    std::string m_SecondText;
    std::uint32_t m_FigureColor = 0;
    std::string m_FigureString;
    std::string m_TemplateName;
    std::array<std::string, 2> m_FurtherWords;
    std::string m_GraphicName;
    std::shared_ptr<VARDGraph::CGraphicColors> m_Colors;
    std::uint32_t m_PartyIndex = 0;
    const CFaction* m_Faction = nullptr;
    std::uint32_t m_FactionRank = 0;
    std::uint32_t m_Gender = 0;
    std::uint32_t m_Experience = 0;
    std::uint32_t m_ClassSkillPoints = 0;
    std::uint32_t m_GeneralSkillPoints = 0;
    std::uint32_t m_AttributePoints = 0;
    std::int32_t m_DefenseBase = 0;
    std::int32_t m_ActionSpeedBase = 0;
    std::uint32_t m_SpellResistanceBase = 0;
    std::array<std::int32_t, 3> m_SaveBases{};
    std::vector<std::shared_ptr<CActorMonsterAttack>> m_Attacks;
    SkillSet m_Skills;
    std::int32_t m_LastDamage = 0;
    std::uint32_t m_LastDamageSource = 0;
    std::vector<const CSpell*> m_Spells;
    // Weak, so that a modifier list emptied wholesale leaves no stale link.
    std::weak_ptr<CModifier> m_PowerModifier;
    TalkStateList m_TalkFiles;
    TalkChoiceList m_TalkQueue;
    std::uint32_t m_StoreFlag = 0;
    std::uint32_t m_RemovalFlag = 0;
    BuyTable m_BuyTable{};
    std::uint32_t m_EngagementTick = 0;
    std::uint32_t m_EngagementTargetId = 0;
    std::array<std::shared_ptr<CItem>, kEquipmentSlotCount> m_Equipment;
    ItemList m_Backpack;
    std::shared_ptr<void> m_Graphic;
};

// Whether a spell may reach an actor: summoned state, creature kind, and its
// save of the spell's save kind.
bool CanSpellAffect(const CSpell& spell, const CActor& actor);

} // namespace VARD
