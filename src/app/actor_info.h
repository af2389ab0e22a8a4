#pragma once

// A party member's record on the game screen: its action bar of ten slots.

#include "ui/ui_action.h"

#include <cstdint>

namespace VARD
{
class CActor;
class CModule;
} // namespace VARD

class CGameApp;

// The bar's fields are those the action widgets read, so the record is the
// bar itself.
class CVARDActorInfo : public VARDUI::CUIActionBar
{
public:
    // Attack and talk first, then the actor's spells and powers, its best
    // healing and energy potions and, with the Wands skill, its best wand,
    // the best-scored first; the rest of the bar stays talk.
    void BuildFromActor(const VARD::CActor& actor);
};

// What the action widgets read of the application: the members' records,
// the single selected member and the module.
class CAppActionBarSource final : public VARDUI::CUIActionBarSource
{
public:
    explicit CAppActionBarSource(const CGameApp& app) : m_App(app) {}
    const VARDUI::CUIActionBar* FindActionBar(std::uint32_t actorId) const override;
    VARD::CActor* GetSelectedActor() const override;
    const VARD::CModule* GetModule() const override;

private:
    const CGameApp& m_App;
};
