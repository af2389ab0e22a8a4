#pragma once

#include "ui/ui_element.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{
class CActor;
class CModule;
class CSpell;
} // namespace VARD

namespace VARDUI
{

class CUIImageButton;

// Actions of an action-bar slot; the values are those of the orders they
// lead to.
enum : std::int32_t
{
    kActionSlotAttack = 2,
    kActionSlotUseItem = 10,
    kActionSlotCast = 11,
    kActionSlotTalk = 12,
};

constexpr std::int32_t kActionSlotCount = 10;
// As a selected slot: none chosen.
constexpr std::int32_t kActionSlotNone = 10;

// One party member's action bar as the widgets read it: the chosen slot and,
// per slot, its action and the spell key or item template name it names.
// The shell's per-actor record holds these fields.
struct CUIActionBar
{
    std::int32_t selectedSlot = kActionSlotNone;
    std::array<std::int32_t, kActionSlotCount> slotType{
        kActionSlotAttack, kActionSlotTalk, kActionSlotTalk, kActionSlotTalk, kActionSlotTalk,
        kActionSlotTalk,   kActionSlotTalk, kActionSlotTalk, kActionSlotTalk, kActionSlotTalk};
    std::array<std::string, kActionSlotCount> slotSpell;
    std::array<std::string, kActionSlotCount> slotItem;
};

// Where the action widgets find the bars, the member to follow and the
// module that names the slots' spells and items; the shell implements it.
class CUIActionBarSource
{
public:
    virtual ~CUIActionBarSource() = default;
    // The actor's bar, or null when it has none.
    virtual const CUIActionBar* FindActionBar(std::uint32_t actorId) const = 0;
    // The single selected party member, or null.
    virtual VARD::CActor* GetSelectedActor() const = 0;
    // Null while no module is loaded.
    virtual const VARD::CModule* GetModule() const = 0;
};

// A 48 x 48 token of something a party member can use or hold: an icon with
// the corner marks and bars of its own hover record, a label, a stack count
// and a power box. A draggable token (flag 8) with an icon follows the mouse
// while pressed and returns to its place when released.
class CUIActionElement2 : public CUIElement
{
public:
    // Power boxes.
    enum : std::int32_t
    {
        kPowerBoxNone = 0,
        kPowerBoxOff = 1,
        kPowerBoxOn = 2,
    };

    // Rectangle (0, 0, 48, 48); a move button id other than 0 gives the
    // token its "Move Up" button.
    CUIActionElement2(std::int32_t moveButtonId, std::int32_t id);
    ~CUIActionElement2() override;

    void SetRect(const Rect& rect) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    void DrawDrag(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                  const Point* cursor) override;
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;
    std::int32_t ClassifyMouse(std::int32_t action, const Point* point) override;

    // Label, count, power box and hover record emptied.
    void Clear();
    // The spell's record; a ticked box for the actor's power in use, an
    // empty one for its other powers.
    static void SetFromSpell(CUIActionElement2& token, const VARD::CSpell& spell,
                             const VARD::CActor& actor);
    // The slot (0..9) of the actor's bar, labelled "F1".."F10". Code 4 when
    // the actor has no bar or the slot is outside the bar. A spell or item
    // the module does not know leaves the slot empty.
    static void SetFromActionSlot(CUIActionElement2& token, const VARD::CActor& actor,
                                  std::int32_t slot, const CUIActionBarSource& source);

    const std::string& GetLabel() const { return m_Label; }
    void SetLabel(const std::string& label) { m_Label = label; }
    std::uint32_t GetCount() const { return m_Count; }
    void SetCount(std::uint32_t count) { m_Count = count; }
    std::int32_t GetPowerBox() const { return m_PowerBox; }
    void SetPowerBox(std::int32_t box) { m_PowerBox = box; }
    bool IsDragging() const { return m_Dragging != 0; }
    // Null without one.
    CUIImageButton* GetMoveButton() const { return m_MoveButton.get(); }

private:
    void DrawContent(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                     const Point* cursor);

    std::string m_Label;
    std::uint32_t m_Count = 0;
    std::int32_t m_PowerBox = kPowerBoxNone;
    std::uint32_t m_Dragging = 0;
    Rect m_RectBeforeDrag;
    std::shared_ptr<CUIImageButton> m_MoveButton;
};

// Ten tokens in two columns of five, one per slot of a party member's action
// bar: the window's own actor's, or the selected member's when it has none.
// The tokens are refilled on the draw after the owner clears the filled
// flag.
class CUIActionWindow2 : public CUIElement
{
public:
    // Tokens firstTokenId + 0..9, token 0 highlighted; rectangle
    // (0, 0, 96, 240). The source must outlive the window.
    CUIActionWindow2(std::int32_t id, std::int32_t firstTokenId, const CUIActionBarSource* source,
                     const VARD::CActor* actor);

    void SetRect(const Rect& rect) override;
    // The highlight reaches every token too.
    void SetFlags(std::uint32_t mask, std::uint32_t on) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    // A member without a bar, or no member at all, shows ten empty tokens.
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // The token hit, else the window itself anywhere in its rectangle.
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    std::uint32_t GetFilled() const { return m_Filled; }
    void SetFilled(std::uint32_t filled) { m_Filled = filled; }
    const std::vector<std::shared_ptr<CUIActionElement2>>& GetTokens() const { return m_Tokens; }

private:
    void Refill();

    const CUIActionBarSource* m_Source;
    const VARD::CActor* m_Actor;
    std::uint32_t m_Filled = 0;
    std::vector<std::shared_ptr<CUIActionElement2>> m_Tokens;
};

} // namespace VARDUI
