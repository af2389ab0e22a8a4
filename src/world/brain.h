#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CActor;
class CAI;
class CArea;
class CEngine;

// The behaviour record of a non-party actor: the side it returns to, what
// rouses it, the alerts it calls out and its two behaviours, calm (while
// neutral) and roused (otherwise). A template holds one; each actor made from
// the template gets its own clone.
//
// Rousing, provocation, alerts, looking for the party and the per-tick step
// with its choice of equipment are defined with the rules that run them; the
// world model never calls them.
class CBrain
{
public:
    // Reads a whole <brain> block. Code 2 for an attitude word outside the
    // five; code 1 for anything else malformed.
    static std::shared_ptr<CBrain> Read(VARDCommon::CTagFileReader& reader);

    // Same settings and cloned behaviours; not equipped, no pending alerts.
    std::shared_ptr<CBrain> Clone() const;

    // The brain's part of the actor record in a saved game: <brain>, the
    // equipped flag, the calm and the roused behaviour's run state, </brain>.
    void ReadState(VARDCommon::CTagFileReader& reader);
    void WriteState(VARDCommon::CTagFileWriter& writer) const;

    // 0 party, 1 friendly, 2 neutral, 3 hostile, 4 berserk.
    int GetAttitude() const { return m_Attitude; }
    bool IsProvokable() const { return m_Provokable; }
    // 0 or less: never looks for the party by itself.
    double GetSightRange() const { return m_SightRange; }
    const std::vector<std::string>& GetTriggerTags() const { return m_TriggerTags; }
    const std::vector<std::string>& GetCallTags() const { return m_CallTags; }
    // Never null.
    const std::shared_ptr<CAI>& GetCalmAI() const { return m_CalmAI; }
    const std::shared_ptr<CAI>& GetRousedAI() const { return m_RousedAI; }
    // False until the first brain step has chosen the actor's equipment.
    bool IsEquipped() const { return m_Equipped; }
    // Call tags queued for the upkeep to spread; never saved.
    const std::vector<std::string>& GetPendingAlerts() const { return m_PendingAlerts; }
    // Takes the oldest pending alert out; false when there is none.
    bool TakePendingAlert(std::string& tag);

    // ------------------------------------------- defined with the rules
    // Each of the three returns true when it roused the actor: its side
    // becomes hostile and the call tags join the pending alerts.
    bool Provoke(CActor& actor, CActor* provoker);
    bool HearAlert(CActor& actor, const std::string& tag);
    // The area is the one the actor stands in.
    bool LookForParty(CActor& actor, const CArea& area);
    // The per-tick step: the first one chooses the equipment, every one runs
    // the calm behaviour (neutral actor) or the roused one.
    void Update(CEngine& engine, CActor& actor);
    // Each queues a wield order for the best item of the backpack and hands
    // out its id, 0 when none fits.
    std::uint32_t ChooseWeapon(CActor& actor, std::uint32_t slot, std::uint32_t excludedId);
    std::uint32_t ChooseArmor(CActor& actor, std::uint32_t slot);
    void ChooseAccessories(CActor& actor);

private:
    void Rouse(CActor& actor);

    CBrain() = default;

    int m_Attitude = 2;
    bool m_Provokable = false;
    double m_SightRange = 0.0;
    std::vector<std::string> m_TriggerTags;
    std::vector<std::string> m_CallTags;
    std::shared_ptr<CAI> m_CalmAI;
    std::shared_ptr<CAI> m_RousedAI;
    bool m_Equipped = false;
    std::vector<std::string> m_PendingAlerts;
};

} // namespace VARD
