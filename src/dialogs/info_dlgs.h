#pragma once

// The read-only pages about one thing of the game, and the item page with
// its use button. Each is opened over its opener, which returns when it
// closes.

#include "app/vard_dlg.h"

#include <memory>
#include <string>

namespace VARD
{
class CActor;
class CFaction;
class CGame;
class CItem;
class CModule;
class CSpell;
} // namespace VARD

// A title, a scrolling text in dialog form and "Done".
class CTextDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;

    CTextDlg(std::string title, std::string text);
    // Some callers name the actor the text is about; the page shows only
    // the text.
    CTextDlg(std::string title, std::string text, std::shared_ptr<VARD::CActor> actor);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    void OnClosed(CGameApp* app) override;

    const std::string& GetText() const { return m_Text; }

protected:
    CTextDlg() = default;

    std::string m_Title;
    std::string m_Text;
};

class CFactionDlg : public CTextDlg
{
public:
    CFactionDlg(const VARD::CFaction& faction, CGameApp* app);
};

// What the party can tell of a creature: the less it sees through the
// creature's concealment, the less is shown. Without a game the party is
// taken to see nothing.
class CMonsterDlg : public CTextDlg
{
public:
    CMonsterDlg(const VARD::CActor& actor, const VARD::CGame* game);
};

class CSkillDlg : public CTextDlg
{
public:
    CSkillDlg(int skill, const VARD::CActor* actor, const VARD::CModule& module);
};

// With an actor, the values are that actor's own.
class CSpellDlg : public CTextDlg
{
public:
    CSpellDlg(const VARD::CSpell& spell, const VARD::CActor* actor, const VARD::CModule& module);
};

// How far the party sees through the creature's concealment: its best
// Observation less the creature's Stealth check; 25 for the party's own side.
std::int32_t CreatureInsightMargin(const VARD::CActor& actor, const VARD::CGame* game);

// The creature text at a given insight margin.
std::string WriteCreatureText(const VARD::CActor& actor, std::int32_t margin,
                              const VARD::CGame* game);

// An item's page. With an owner who can use the item on itself there is a
// use button: used at once where the rules allow, else queued for when play
// resumes. Opened from the store, it has no owner.
class CItemDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;
    static constexpr int kUseId = 2;

    CItemDlg(CGameApp* app, std::shared_ptr<VARD::CItem> item, std::shared_ptr<VARD::CActor> owner);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    void OnClosed(CGameApp* app) override;

    std::string GetText() const;

private:
    void UseItem();

    CGameApp* m_App;
    std::shared_ptr<VARD::CItem> m_Item;
    std::shared_ptr<VARD::CActor> m_Owner;
};

// The 640 × 480 translucent panel of the text, item, talk and store pages,
// centred in the client rectangle and added to the root.
gfx::Rect AddFixedPanel(const gfx::Rect& client, VARDUI::CUIManager& ui);
