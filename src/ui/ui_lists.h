#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VARD
{
class CActor;
class CGame;
class CItem;
class CSpell;
} // namespace VARD

namespace VARDUI
{

class CUIScrollBar;

// A titled grid of widgets: fixed-width columns (sections) and fixed-height
// rows, scrolled a row at a time by a bar along its right edge. Row r holds
// element r of every section. The top 16 pixels carry the title, the
// rightmost 24 the scroll bar.
class CUIListElement : public CUIElement
{
public:
    // Id 0, one empty section per width.
    CUIListElement(const std::string& title, std::uint32_t rowHeight,
                   const std::vector<std::uint32_t>& sectionWidths);
    CUIListElement(std::int32_t id, const std::string& title, std::uint32_t rowHeight,
                   std::uint32_t sectionCount, std::uint32_t sectionWidth);
    ~CUIListElement() override;

    void SetRect(const Rect& rect) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    // Drawn whatever the visible flag holds; empty cells are outlined.
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // The scroll bar, else the element under the point (the list itself with
    // flag 16, keeping the element's id), else the list when its id is not 0.
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;
    // The element under the point decides; a click highlights it alone among
    // the first section's elements.
    std::int32_t ClassifyMouse(std::int32_t action, const Point* point) override;

    // Code 4 for a section the list does not have.
    void AddItem(std::size_t section, std::shared_ptr<CUIElement> element);
    // Every section emptied, scrolled back to the top.
    void Clear();

    const std::string& GetTitle() const { return m_Title; }
    void SetTitle(const std::string& title) { m_Title = title; }
    CUIScrollBar& GetScrollBar() const { return *m_ScrollBar; }
    std::uint32_t GetRowHeight() const { return m_RowHeight; }
    std::size_t GetSectionCount() const { return m_Sections.size(); }
    const CUIElementList& GetSectionElements(std::size_t section) const
    {
        return m_Sections.at(section).elements;
    }

protected:
    struct Section
    {
        std::uint32_t width = 0;
        CUIElementList elements;
    };

private:
    void PlaceElements();
    // The element the point falls on, or null.
    CUIElement* ElementAt(const Point* point);
    std::uint32_t FirstRow() const;

    std::string m_Title;
    std::shared_ptr<CUIScrollBar> m_ScrollBar;
    std::uint32_t m_RowHeight;
    std::vector<Section> m_Sections;
    std::int32_t m_ShownRow = -1;
};

// Item lists as tokens, four to a row in the item ordering. A token's id is
// the base id plus the item's place in the list given, whatever the order.
class CUIItemsListWindow : public CUIListElement
{
public:
    enum : std::int32_t
    {
        kModeOwn = 0,
        kModeBuy = 1,
        kModeSell = 2,
    };

    // Rows of 48 pixels, sections of 48.
    CUIItemsListWindow(std::int32_t id, const std::string& title, std::uint32_t sectionCount = 4);

    // Own items are draggable; bought ones when the game's party can pay the
    // template's value; sold ones when the store actor buys them, at its
    // price. Code 4 for another mode, or buying without a game or selling
    // without a store.
    void SetItems(std::int32_t baseId, const std::vector<std::shared_ptr<VARD::CItem>>& items,
                  std::int32_t mode, const VARD::CGame* game, const VARD::CActor* store);

    std::int32_t GetBaseId() const { return m_BaseId; }
    const std::vector<std::shared_ptr<VARD::CItem>>& GetItems() const { return m_Items; }

private:
    std::int32_t m_BaseId = 0;
    std::vector<std::shared_ptr<VARD::CItem>> m_Items;
};

// The spells or the powers an actor knows, as draggable tokens in the spell
// ordering.
class CUISpellListWindow : public CUIListElement
{
public:
    CUISpellListWindow(std::int32_t id, const std::string& title, std::uint32_t sectionCount = 4);

    // A token's id is the base id plus the spell's place in the actor's
    // list; usable only leaves out what the actor cannot cast yet.
    void SetSpells(const VARD::CActor& actor, std::int32_t baseId, bool usableOnly);

    void SetShowSpells(std::uint32_t show) { m_ShowSpells = show; }
    void SetShowPowers(std::uint32_t show) { m_ShowPowers = show; }
    std::uint32_t GetShowSpells() const { return m_ShowSpells; }
    std::uint32_t GetShowPowers() const { return m_ShowPowers; }

private:
    std::uint32_t m_ShowSpells = 0;
    std::uint32_t m_ShowPowers = 0;
};

using CUISortedItem = std::pair<std::int32_t, std::shared_ptr<VARD::CItem>>;
using CUISortedSpell = std::pair<std::int32_t, const VARD::CSpell*>;

// {base id + place, thing} per input, sorted: items by kind, then weapon kind
// or armour skill, dearer first, then key; spells by skill, higher level
// first, then key. Pairs that compare equal keep no fixed order.
void BuildSortedItemList(std::vector<CUISortedItem>& out,
                         const std::vector<std::shared_ptr<VARD::CItem>>& items,
                         std::int32_t baseId);
void BuildSortedSpellList(std::vector<CUISortedSpell>& out,
                          const std::vector<const VARD::CSpell*>& spells, std::int32_t baseId);

} // namespace VARDUI
