#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CActor;
class CEngine;
class CItem;
class CSpell;

// An AI behaviour: what a non-party actor with a brain does when it is free
// to choose. Behaviours are read from <ai> blocks of monster templates,
// cloned into every actor made from the template and keep a little run state
// that is saved with the actor.
//
// The decision steps (Think, and TryCast of the casting behaviours) are not
// virtual: they are defined with the rules, which the world model does not
// link, and CAI::Think picks the step by the kind each behaviour carries (a
// switch, where a chain of casts cost a sixth of a busy tick).
class CAI
{
public:
    enum class Kind : std::uint8_t
    {
        kStand,
        kCharge,
        kWander,
        kShoot,
        kForceTalk,
        kCast,
        kAutocast
    };

    CAI(const CAI&) = delete;
    CAI& operator=(const CAI&) = delete;
    virtual ~CAI() = default;

    // The same settings with fresh run state.
    virtual std::shared_ptr<CAI> Clone() const = 0;
    // The run state in a saved game; behaviours without run state read and
    // write nothing, not even a tag.
    virtual void ReadState(VARDCommon::CTagFileReader& reader) = 0;
    virtual void WriteState(VARDCommon::CTagFileWriter& writer) const = 0;

    // Reads the body of an <ai> block: the keyword and its settings. The
    // caller has read <ai> and reads </ai>. Code 1 for a keyword or a setting
    // word outside its list, or for cast behaviours nested more than 32 deep.
    static std::shared_ptr<CAI> Create(VARDCommon::CTagFileReader& reader);

    // The nearest fitting actor of the current area for the actor: flags 1
    // foes (else friends), 2 within range and reachable, 4 prefer
    // spellcasters. Null when none fits. Defined with the rules.
    static CActor* FindTarget(CEngine& engine, CActor& actor, std::uint32_t flags,
                              const CSpell* spell, double range);
    // The same from a walk over the whole list, without the area's index.
    static CActor* FindTargetByWalk(CEngine& engine, CActor& actor, std::uint32_t flags,
                                    const CSpell* spell, double range);
    // Queues an attack on the nearest foe, if any. Defined with the rules.
    static void AttackNearest(CEngine& engine, CActor& actor, std::uint32_t flags);

    // One decision step of whatever behaviour this is. Defined with the rules.
    void Think(CEngine& engine, CActor& actor);

    // The class this behaviour is of.
    Kind GetKind() const { return m_Kind; }

protected:
    explicit CAI(Kind kind) : m_Kind(kind) {}

private:
    Kind m_Kind;
};

// Stays where it is; may start sneaking.
class CAIStand : public CAI
{
public:
    static constexpr std::uint32_t kFlagSneak = 1;

    explicit CAIStand(std::uint32_t flags) : CAI(Kind::kStand), m_Flags(flags) {}

    std::shared_ptr<CAI> Clone() const override;
    void ReadState(VARDCommon::CTagFileReader& reader) override;
    void WriteState(VARDCommon::CTagFileWriter& writer) const override;
    // Defined with the rules.
    void Think(CEngine& engine, CActor& actor);

    std::uint32_t GetFlags() const { return m_Flags; }

private:
    std::uint32_t m_Flags;
};

// Runs at the nearest foe and attacks it.
class CAICharge : public CAI
{
public:
    static constexpr std::uint32_t kFlagSpellcaster = 4;

    explicit CAICharge(std::uint32_t flags) : CAI(Kind::kCharge), m_Flags(flags) {}

    std::shared_ptr<CAI> Clone() const override;
    void ReadState(VARDCommon::CTagFileReader& reader) override;
    void WriteState(VARDCommon::CTagFileWriter& writer) const override;
    // Defined with the rules.
    void Think(CEngine& engine, CActor& actor);

    std::uint32_t GetFlags() const { return m_Flags; }

private:
    std::uint32_t m_Flags;
};

// Strolls about its home, the place where it first wandered from.
class CAIWander : public CAI
{
public:
    explicit CAIWander(double radius) : CAI(Kind::kWander), m_Radius(radius) {}

    std::shared_ptr<CAI> Clone() const override;
    void ReadState(VARDCommon::CTagFileReader& reader) override;
    void WriteState(VARDCommon::CTagFileWriter& writer) const override;
    // Defined with the rules.
    void Think(CEngine& engine, CActor& actor);

    double GetRadius() const { return m_Radius; }
    // 0.0, 0.0 until the first wander step.
    double GetHomeX() const { return m_HomeX; }
    double GetHomeY() const { return m_HomeY; }

private:
    double m_Radius;
    double m_HomeX = 0.0;
    double m_HomeY = 0.0;
};

// Never walks: shoots at the nearest foe in reach.
class CAIShoot : public CAI
{
public:
    CAIShoot() : CAI(Kind::kShoot) {}

    std::shared_ptr<CAI> Clone() const override;
    void ReadState(VARDCommon::CTagFileReader& reader) override;
    void WriteState(VARDCommon::CTagFileWriter& writer) const override;
    // Defined with the rules.
    void Think(CEngine& engine, CActor& actor);
};

// Walks up to the party and starts talking, unless one of its quest tags is
// already set.
class CAIForceTalk : public CAI
{
public:
    CAIForceTalk(std::uint32_t range, std::vector<std::string> tags)
        : CAI(Kind::kForceTalk), m_Range(range), m_Tags(std::move(tags))
    {
    }

    std::shared_ptr<CAI> Clone() const override;
    void ReadState(VARDCommon::CTagFileReader& reader) override;
    void WriteState(VARDCommon::CTagFileWriter& writer) const override;
    // Defined with the rules.
    void Think(CEngine& engine, CActor& actor);

    std::uint32_t GetRange() const { return m_Range; }
    const std::vector<std::string>& GetTags() const { return m_Tags; }

private:
    std::uint32_t m_Range;
    std::vector<std::string> m_Tags;
};

// What the two casting behaviours share: the actor's spells sorted by what
// they do. The lists point into the actor's spells, so they are built by the
// first decision step of each actor and never copied or saved.
class CAIBaseCast : public CAI
{
public:
    enum SpellCategory
    {
        kSummonSpells,
        kDamageSpells,
        kHinderSpells,
        kAidSpells,
        kHealSpells,
        kSpellCategoryCount
    };
    using SpellList = std::vector<const CSpell*>;

    bool IsSorted() const { return m_Sorted; }
    const SpellList& GetSpellList(SpellCategory category) const { return m_Lists[category]; }
    // Set once a search for an energy potion found none.
    bool HasNoPotion() const { return m_NoPotion; }

    // The rest is defined with the rules.

    // Sorts the spells (once), then tries to cast.
    void Think(CEngine& engine, CActor& actor);
    // The casting step of whichever casting behaviour this is.
    void TryCast(CEngine& engine, CActor& actor);
    // Builds the category lists from the actor's spells; only the first call
    // does anything.
    void SortSpells(const CActor& actor);
    // Null for an empty list; one random draw otherwise.
    static const CSpell* PickRandom(const SpellList& list);
    // True when the actor can pay for the spell. Otherwise it may queue the
    // use of an energy potion, which sets queued.
    bool CheckEnergy(CActor& actor, const CSpell& spell, bool& queued);
    // The energy potion of the highest spell level in the backpack, or null.
    CItem* FindEnergyPotion(const CActor& actor) const;
    // The actor a spell aimed at actors should go to, or null.
    CActor* ChooseTarget(CEngine& engine, CActor& actor, const CSpell& spell, bool& queued);
    // Each queues a cast (or a potion use) and returns true when it did.
    bool CastAtTile(CEngine& engine, CActor& actor, const CSpell& spell);
    bool CastAtActor(CEngine& engine, CActor& actor, const CSpell& spell);
    bool CastModifier(CEngine& engine, CActor& actor, const CSpell& spell);
    bool CastHeal(CEngine& engine, CActor& actor, const CSpell& spell);

protected:
    // Only the two casting behaviours are built on this.
    explicit CAIBaseCast(Kind kind) : CAI(kind) {}

    bool m_Sorted = false;
    SpellList m_Lists[kSpellCategoryCount];
    bool m_NoPotion = false;
};

// Casts a fixed sequence of spells, then falls back to another behaviour
// until an hour has passed since its last cast.
class CAICast : public CAIBaseCast
{
public:
    CAICast(std::vector<std::string> spellNames, std::shared_ptr<CAI> fallback);

    std::shared_ptr<CAI> Clone() const override;
    void ReadState(VARDCommon::CTagFileReader& reader) override;
    void WriteState(VARDCommon::CTagFileWriter& writer) const override;

    std::uint32_t GetPosition() const { return m_Position; }
    // 0 when it never cast.
    std::uint32_t GetLastCastTick() const { return m_LastCastTick; }
    // Never null.
    const std::shared_ptr<CAI>& GetFallback() const { return m_Fallback; }
    const std::vector<std::string>& GetSpellNames() const { return m_SpellNames; }

    // Defined with the rules.
    void TryCast(CEngine& engine, CActor& actor);

private:
    std::uint32_t m_Position = 0;
    std::uint32_t m_LastCastTick = 0;
    std::shared_ptr<CAI> m_Fallback;
    std::vector<std::string> m_SpellNames;
};

// Picks spells of the allowed categories by itself, with a cool-down on
// summoning, hindering and aiding.
class CAIAutocast : public CAIBaseCast
{
public:
    static constexpr std::uint32_t kFlagSummon = 1;
    static constexpr std::uint32_t kFlagHinder = 2;
    static constexpr std::uint32_t kFlagAid = 4;
    static constexpr std::uint32_t kFlagHeal = 8;
    static constexpr std::uint32_t kFlagDamage = 16;

    explicit CAIAutocast(std::uint32_t flags) : CAIBaseCast(Kind::kAutocast), m_Flags(flags) {}

    std::shared_ptr<CAI> Clone() const override;
    void ReadState(VARDCommon::CTagFileReader& reader) override;
    void WriteState(VARDCommon::CTagFileWriter& writer) const override;

    std::uint32_t GetFlags() const { return m_Flags; }
    // Ticks before which no spell of the category is cast again; 0 at start.
    std::uint32_t GetNextSummonTick() const { return m_NextSummonTick; }
    std::uint32_t GetNextHinderTick() const { return m_NextHinderTick; }
    std::uint32_t GetNextAidTick() const { return m_NextAidTick; }

    // Defined with the rules.
    void TryCast(CEngine& engine, CActor& actor);

private:
    std::uint32_t m_NextSummonTick = 0;
    std::uint32_t m_NextHinderTick = 0;
    std::uint32_t m_NextAidTick = 0;
    std::uint32_t m_Flags;
};

} // namespace VARD
