#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace VARDCommon
{
class CDataFileFactory;
} // namespace VARDCommon

namespace VARD
{

class CActor;
class CArea;
class CCellBitSet;
class CAreaEntry;
class CBrain;
class CEffect;
class CSpellEffect;
class CSpellEffectDamage;
class CSpellEffectDispel;
class CSpellEffectHeal;
class CSpellEffectItem;
class CSpellEffectModify;
class CSpellEffectRaise;
class CSpellEffectRemove;
class CSpellEffectStatus;
class CSpellEffectSummon;
class CSpellEffectTeleport;
struct CAttackInfo;
class CObject;
class CQuestInfo;
class CThing;
class CGame;
class CItem;
class CModule;
class COrder;
class CScript;
class CSpell;
class CTalkState;
class CTalkTarget;

// The current area's actors as a loop over them last copied them, kept while
// the list stays the same (by its stamp): the tick's loops then neither copy
// the list nor take a share of every actor, again and again.
struct CActorSnapshot
{
    std::vector<std::shared_ptr<CActor>> actors;
    std::uint64_t stamp = 0;
    // A loop inside another one copies the list for itself.
    bool inUse = false;
};

// The one object through which the shell reaches the game: it owns the data
// files, the loaded module and the running game, and runs the ticks. Nothing
// here knows a window, a clock or a file chooser.
class CEngine
{
public:
    CEngine();
    ~CEngine();
    CEngine(const CEngine&) = delete;
    CEngine& operator=(const CEngine&) = delete;

    const std::shared_ptr<VARDCommon::CDataFileFactory>& GetFactory() const { return m_Factory; }
    const std::shared_ptr<CGame>& GetGame() const { return m_Game; }
    const std::shared_ptr<CModule>& GetModule() const { return m_Module; }
    // The running game; code 2 before a game exists.
    CGame& Game() const;
    // The loaded module; code 2 before one is loaded.
    const CModule& Module() const;

    // ------------------------------------------------- set-up (engine.cpp)
    // A folder (packed false) or an archive file (packed true).
    void LoadModule(const std::string& rootPath, bool packed);
    // A path opens as an archive exactly when it names an existing file.
    void LoadModule(const std::string& rootPath);
    // A fresh game whose travel target is the module's start; the main
    // character it returns is for the creation pages to finish.
    std::shared_ptr<CActor> NewGame();
    void SetMainCharacter(const std::shared_ptr<CActor>& actor);
    // The engine keeps no game until the next NewGame or LoadGame.
    void ReleaseGame() { m_Game.reset(); }
    // Puts back a game the shell kept while a loaded one failed to come up;
    // null keeps none.
    void RestoreGame(std::shared_ptr<CGame> game) { m_Game = std::move(game); }
    // Readies an actor for the party: spells, idle, no target, full health.
    void JoinPartyMember(CActor& actor);
    // Code 2 unless the party is on the world map (state 4).
    void SetTravelDestination(const std::string& area, const std::string& entry);

    // --------------------------------------- areas (engine_areas.cpp)
    void EnterArea();
    void LeaveArea();
    void ResurrectParty();
    // Code 1 for an entry the current area lacks.
    void PlaceParty(const std::string& entryName);
    void PlacePartyMember(const CAreaEntry& entry);

    // ------------------------------------------------------ tick (tick.cpp)
    void Tick();
    void ExecuteInstantOrders();

    // --------------------------------- console and quests (console.cpp)
    void CompleteQuest(const std::string& tag, std::int32_t value);
    void OnItemAcquired(const CItem& item);
    // The console gives one item unless told how many the stack holds.
    void WizardCreateItem(const std::string& templateName, std::uint32_t count = 1);
    void WizardSetSkill(CActor& actor, const std::string& skillName, std::int32_t value);
    void WizardHeal();
    void WizardMoveParty(double x, double y);
    void AddPersonOnTalk(CTalkTarget& target);

    // Each section below belongs to one concern and its source file; a
    // concern keeps its own helpers in its section.

    // ---------------- actor update, timed orders, movement, sight
    //                  (actor_update.cpp, movement.cpp, party_sight.cpp)
    void UpdateActors();
    void UpkeepPowers();
    void ExecuteTimedOrders();
    // One tick of a cast: true when the cast is over (completed, or its
    // target lost). Also the wand and potion casts of item use.
    bool DoCast(CActor& actor, std::uint32_t targetId, const CSpell& spell, bool energyCheck,
                CItem* item);
    // One step toward the point; true on arrival in this call.
    bool MoveActorToward(CActor& actor, double x, double y);
    void UpdatePartySight();

private:
    bool IsStoppedByStatuses(CActor& actor);
    void WanderConfused(CActor& actor);
    void AttackWhenDominated(CActor& actor);
    void RunTimedOrder(CActor& actor, const std::shared_ptr<COrder>& order);
    void RunTimedOrderOnce(CActor& actor, const std::shared_ptr<COrder>& order);
    void MoveAndTalkStep(CActor& actor, const std::shared_ptr<COrder>& order);
    void CastOrderStep(CActor& actor, const std::shared_ptr<COrder>& order);
    void ReturnToEntranceStep(CActor& actor, const std::shared_ptr<COrder>& order);
    // The copy of the current area's actors that the tick's loops walk.
    CActorSnapshot m_ActorSnapshot;
    // The sight flood's rows of bits.
    std::vector<std::uint64_t> m_SightFlood;
    // The window the last flood wrote into the sight grid, and the grid's
    // stamp after it: the next flood clears only that window while the
    // stamp is the same.
    struct SightWindow
    {
        const CCellBitSet* grid = nullptr;
        std::uint64_t stamp = 0;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        std::uint32_t left = 0;
        std::uint32_t top = 0;
        std::uint32_t columns = 0;
        std::uint32_t rows = 0;
    };
    SightWindow m_SightWindow;
    void ClearPartySight(CCellBitSet& sight, std::uint32_t width, std::uint32_t height);
    void KeepSightWindow(const CCellBitSet& sight, std::uint32_t width, std::uint32_t height,
                         std::uint32_t left, std::uint32_t top, std::uint32_t columns,
                         std::uint32_t rows);
    // Rows of bits over the whole area, set where sight passes for certain,
    // and the cells to ask each time (doors, and kinds no tile can have), in
    // row order; none on the border. Built from the area's cell kinds, and
    // kept while its layout stays the same.
    void PrepareOpenRows(const CArea& area);
    const CArea* m_OpenArea = nullptr;
    std::uint64_t m_OpenGeneration = 0;
    std::uint32_t m_OpenWidth = 0;
    std::uint32_t m_OpenHeight = 0;
    std::vector<std::uint64_t> m_OpenRows;
    std::size_t m_OpenStride = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_SightAsk;

public:
    // ---------------- spellcasting, attacks, effects in flight, spell effects
    //                  (casting.cpp, attacks.cpp, effects.cpp, spell_effects.cpp)
    // Start of a cast: energy test, range test, wind-up. True when the cast
    // is over (it could not start).
    bool BeginCast(CActor& caster, const CSpell& spell, bool payEnergy, CThing* target, double x,
                   double y);
    // Always true: the cast step is finished.
    bool CompleteCast(CItem* item, CThing* target, CActor& caster, const CSpell& spell,
                      bool payEnergy, double x, double y);
    bool TeleportActor(CActor& actor, const CSpell* spell, std::uint32_t column, std::uint32_t row,
                       std::int32_t castingBonus, std::uint8_t partyFlag);
    // One tick of a melee or ranged attack order.
    void DoMeleeAttack(CActor& actor, const COrder& order);
    void DoRangedAttack(CActor& actor, const COrder& order);
    void UpdateEffects();

    // All swings of one melee blow.
    void ResolveMeleeSwings(CActor& attacker, CActor& target);
    // One to-hit roll with its messages; true on a hit, which deals damage.
    bool RollToHit(const CAttackInfo& attack, CActor& target, bool ranged, bool flanking);
    // Damage, its message, and the target's death; no roll text for spells.
    void ApplyAttackDamage(const std::string* rollText, CActor& target, const CAttackInfo& attack,
                           std::int32_t messageKind);
    void BreakCharmOnAttack(CActor& target);
    // The on-hit spell of a swing's hand or natural attack, if it has one.
    void LaunchAttackEffect(std::uint32_t swing, CActor& attacker, CActor& target);
    void SneakAttackBonus(CActor& actor);
    // True when the cast goes off despite recent damage.
    bool ConcentrationCheck(std::int32_t castingBonus, CActor& caster, const CSpell& spell);
    // Adds the further targets of a multitarget spell after the primary one.
    void CollectSpellTargets(CActor& caster, const CSpell& spell, std::vector<CThing*>& targets);
    void LaunchSpellAtTargets(CActor& caster, const CSpell& spell,
                              const CSpellEffectTeleport& teleport, double x, double y);
    // The target is the actor or tile the effect reached, or null.
    void ResolveEffect(CEffect& effect, CThing* target);
    void ApplySpellEffects(CThing* target, const std::string& sourceName, std::uint8_t partyFlag,
                           const CSpell& spell, std::int32_t castingBonus, std::int32_t attackBonus,
                           std::int32_t penetrationSkill);

private:
    // The context of one spell effect being applied (spell_effects.cpp).
    struct CSpellHit;
    void ApplySpellEffect(const CSpellEffect& effect, const CSpellHit& hit);
    void ApplyModifyEffect(const CSpellEffectModify& effect, CActor& target, const CSpellHit& hit);
    void ApplySummonEffect(const CSpellEffectSummon& effect, const CThing& tile,
                           const CSpellHit& hit);
    void ApplyHealEffect(const CSpellEffectHeal& effect, CActor& target, const CSpellHit& hit);
    void ApplyDamageEffect(const CSpellEffectDamage& effect, CActor& target, const CSpellHit& hit);
    void ApplyStatusEffect(const CSpellEffectStatus& effect, CActor& target, const CSpellHit& hit);
    void ApplyRemoveEffect(const CSpellEffectRemove& effect, CActor& target, const CSpellHit& hit);
    void ApplyDispelEffect(const CSpellEffectDispel& effect, CActor& target, const CSpellHit& hit);
    void ApplyItemEffect(const CSpellEffectItem& effect, CActor& target, const CSpellHit& hit);
    void ApplyRepulseEffect(CActor& target, const CSpellHit& hit);
    void ApplyRaiseEffect(const CSpellEffectRaise& effect, CActor& target, const CSpellHit& hit);

public:
    // ---------------- alerts, AI, brains and upkeep (upkeep.cpp, alerts.cpp,
    //                  ai_behaviour.cpp, brain_behaviour.cpp)
    void PropagateAlerts();
    void AlertOnAttack(CActor& actor);
    void SpreadAlert(CActor& source, CBrain& brain);
    bool IsPartySafe();
    void UpdateTraps();
    void UpdateAmbience();
    void ProcessDeaths();
    void ExpireCreatedItems();
    void UpdateStealth();
    // The first observer that spots the sneaker, or null.
    CActor* IsSpotted(CActor& sneaker);
    void StopSneaking(CActor& actor);
    void CheckAreaExits();
    // Schedules the next heartbeat 150 to 449 ticks ahead.
    void ScheduleAmbience();
    // Ticks the party needs to walk back to the entry; code 2 when the
    // current area is not the entry's or lacks it.
    std::int32_t GetReturnTicks(const std::string& areaName, const std::string& entryName);

private:
    void AmbiencePickPartyMember();
    void AmbiencePickAreaActor();
    void RunHeartbeat(CActor& actor);
    void ReportExpiredItem(const CActor& actor, const CItem& item);
    // One trap under one member; false ends the trap pass for this tick.
    bool SpringTrap(CObject& object, CActor& member);

public:
    // ---------------- item orders (item_orders.cpp)
    void DoWield(CActor& actor, const COrder& order);
    void DoUnwield(CActor& actor, const COrder& order);
    void DoGet(CActor& actor, const COrder& order);
    void DoDrop(CActor& actor, const COrder& order);
    void DoSplit(CActor& actor, const COrder& order);
    void DoCombine(CActor& actor, const COrder& order);
    void DoGive(CActor& actor, const COrder& order);
    // True when the object may be opened.
    bool PickLock(CActor& actor, CObject& object);

    // ---------------- talk, party, points, power, store (party_orders.cpp)
    void DoTalk(CActor& actor, const COrder& order);
    void RunTalkState(CActor& speaker, CTalkState& state, CTalkTarget& target);
    void DismissPartyMember(CActor& actor, const COrder& order);
    void DoSpendPoints(CActor& actor, const COrder& order);
    void DoPower(CActor& actor, const COrder& order);
    void DoStore(CActor& actor, const COrder& order);
    void RefreshPartyMembers();
    void CastPowerSpell(CActor& actor, const CSpell& spell);

    // ---------------- using items, doors, containers (use_items.cpp)
    // The instant form (from the instant queue) runs only an item use.
    void DoUse(CActor& actor, const COrder& order, bool instant);
    void InscribeScroll(CActor& actor, CItem& item);
    bool UseSpellItemA(CActor& actor, CItem& item, std::uint32_t targetId);
    bool UseSpellItemB(CActor& actor, CItem& item);
    void OpenDoor(CActor& actor, const COrder& order);
    void OpenContainerOrTalk(CActor& actor, const COrder& order);

    // ---------------- saved games (save_game.cpp)
    // Writes the running game to the file, with the bonus text when there is
    // one. The previous file stays whole until the new one is complete; any
    // failure is code 1.
    void SaveGame(const std::optional<std::string>& bonus, const std::string& path);
    // Reads a saved game into a new game, which replaces the running one only
    // once the whole file has read; a failed load leaves the running game as
    // it was. The bonus text is the file's, or none. Code 1 for a format
    // error (code 2 from record readers that give it), a current area the
    // file does not hold, or party places that leave a gap.
    void LoadGame(const std::string& path, std::optional<std::string>& bonus);
    void LoadGame(const std::string& path);

private:
    void CreateMainCharacter(CActor& actor);
    // The quest's completion test; false for a test that a stopping script
    // run did not let finish.
    bool TestQuestCompletion(const CQuestInfo& quest);
    void LoadTravelArea();
    void RestoreMember(CActor& actor);
    // Runs a script with a fresh context; the result is the script's.
    std::int32_t RunScript(CScript& script, CActor* actor);
    void RunInstantOrder(CActor& actor, const std::shared_ptr<COrder>& order);

    // Released in the reverse order: module, game, factory.
    std::shared_ptr<VARDCommon::CDataFileFactory> m_Factory;
    std::shared_ptr<CGame> m_Game;
    std::shared_ptr<CModule> m_Module;
};

} // namespace VARD
