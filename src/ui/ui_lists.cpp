#include "ui/ui_lists.h"

#include "common/exception.h"
#include "ui/ui_action.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_scroll_bar.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <algorithm>
#include <limits>
#include <string>

namespace VARDUI
{

namespace
{

constexpr std::int32_t kTitleHeight = 16;
constexpr std::int32_t kScrollBarWidth = 24;
constexpr std::uint32_t kWindowCell = 48;

// What orders an item within its kind: a weapon's weapon kind, an armour's
// skill; one lacking its attribute goes after those that have it.
std::uint32_t KindOrder(const VARD::CItemTemplate& itemTemplate)
{
    const VARD::CItemAttribute* attribute = nullptr;
    switch (itemTemplate.GetItemType())
    {
    case 0:
        attribute = itemTemplate.FindAttribute(VARD::kItemAttributeWeapon);
        if (const auto* weapon = dynamic_cast<const VARD::CItemAttributeWeapon*>(attribute))
            return weapon->GetWeaponKind();
        return std::numeric_limits<std::uint32_t>::max();
    case 1:
        attribute = itemTemplate.FindAttribute(VARD::kItemAttributeArmor);
        if (const auto* armor = dynamic_cast<const VARD::CItemAttributeArmor*>(attribute))
            return armor->GetArmorSkill();
        return std::numeric_limits<std::uint32_t>::max();
    default:
        return 0;
    }
}

bool ItemBefore(const CUISortedItem& a, const CUISortedItem& b)
{
    const VARD::CItemTemplate& ta = *a.second->GetTemplate();
    const VARD::CItemTemplate& tb = *b.second->GetTemplate();
    if (ta.GetItemType() != tb.GetItemType())
        return ta.GetItemType() < tb.GetItemType();
    const std::uint32_t oa = KindOrder(ta);
    const std::uint32_t ob = KindOrder(tb);
    if (oa != ob)
        return oa < ob;
    if (ta.GetValue() != tb.GetValue())
        return ta.GetValue() > tb.GetValue();
    return ta.GetName() < tb.GetName();
}

bool SpellBefore(const CUISortedSpell& a, const CUISortedSpell& b)
{
    const VARD::CSpell& sa = *a.second;
    const VARD::CSpell& sb = *b.second;
    if (sa.GetSkill() != sb.GetSkill())
        return sa.GetSkill() < sb.GetSkill();
    if (sa.GetLevel() != sb.GetLevel())
        return sa.GetLevel() > sb.GetLevel();
    return sa.GetKey() < sb.GetKey();
}

} // namespace

// ------------------------------------------------------------------- list

CUIListElement::CUIListElement(const std::string& title, std::uint32_t rowHeight,
                               const std::vector<std::uint32_t>& sectionWidths)
    : CUIElement(0), m_Title(title), m_ScrollBar(std::make_shared<CUIScrollBar>()),
      m_RowHeight(rowHeight)
{
    std::int32_t width = kScrollBarWidth;
    for (const std::uint32_t sectionWidth : sectionWidths)
    {
        m_Sections.push_back({sectionWidth, {}});
        width += static_cast<std::int32_t>(sectionWidth);
    }
    m_Rect = {0, 0, width, kTitleHeight};
}

CUIListElement::CUIListElement(std::int32_t id, const std::string& title, std::uint32_t rowHeight,
                               std::uint32_t sectionCount, std::uint32_t sectionWidth)
    : CUIListElement(title, rowHeight, std::vector<std::uint32_t>(sectionCount, sectionWidth))
{
    m_Id = id;
}

CUIListElement::~CUIListElement() = default;

std::uint32_t CUIListElement::FirstRow() const
{
    return m_ScrollBar->GetPosition();
}

void CUIListElement::SetRect(const Rect& rect)
{
    CUIElement::SetRect(rect);
    m_ScrollBar->SetRect(
        {rect.right - kScrollBarWidth, rect.top + kTitleHeight, rect.right, rect.bottom});
    m_ShownRow = -1;
}

void CUIListElement::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    m_ScrollBar->LoadTextures(device, drawHelp);
    for (const auto& section : m_Sections)
        for (const auto& element : section.elements)
            element->LoadTextures(device, drawHelp);
}

void CUIListElement::AddItem(std::size_t section, std::shared_ptr<CUIElement> element)
{
    if (section >= m_Sections.size())
        throw CVARDException(kUIErrorCode, "no list section " + std::to_string(section));
    CUIElementList& elements = m_Sections[section].elements;
    elements.push_back(std::move(element));
    const auto last = static_cast<std::uint32_t>(elements.size() - 1);
    if (last > m_ScrollBar->GetMaximum())
    {
        m_ScrollBar->SetMaximum(last);
        m_ScrollBar->SetPosition(std::min(m_ScrollBar->GetPosition(), last));
        m_ScrollBar->UpdateThumb();
    }
}

void CUIListElement::Clear()
{
    for (auto& section : m_Sections)
        section.elements.clear();
    m_ScrollBar->SetMaximum(0);
    m_ScrollBar->SetPosition(0);
    m_ScrollBar->UpdateThumb();
    m_ShownRow = -1;
}

void CUIListElement::PlaceElements()
{
    const std::uint32_t first = FirstRow();
    const std::uint32_t rows =
        m_RowHeight ? static_cast<std::uint32_t>(std::max(m_Rect.Height(), 0)) / m_RowHeight : 0;
    const auto height = static_cast<std::int32_t>(m_RowHeight);
    for (std::uint32_t r = 0; r < rows; ++r)
    {
        std::int32_t x = m_Rect.left;
        const std::int32_t top = m_Rect.top + kTitleHeight + static_cast<std::int32_t>(r) * height;
        for (const auto& section : m_Sections)
        {
            if (first + r >= section.elements.size())
                break;
            const auto width = static_cast<std::int32_t>(section.width);
            section.elements[first + r]->SetRect({x, top, x + width, top + height});
            x += width;
        }
    }
}

void CUIListElement::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                          const Point* cursor)
{
    const std::uint32_t first = FirstRow();
    if (m_ShownRow != static_cast<std::int32_t>(first))
    {
        PlaceElements();
        m_ShownRow = static_cast<std::int32_t>(first);
    }

    if (TestFlags(kUIFlagHighlighted))
    {
        const Rect frame = InflateRect(m_Rect, 3);
        drawHelp->DrawOutline(sprite, 0xFF80FF80u, 0xFF80FF80u, &frame, 3);
    }
    else
    {
        const Rect frame = InflateRect(m_Rect, 1);
        drawHelp->DrawOutline(sprite, 0xFFFFFFFFu, 0xFFFFFFFFu, &frame, 1);
    }

    drawHelp->ResetTransform(sprite);
    // The title may be its owner's name, of any length: an ordinary one runs
    // past a narrow list as it needs, a long one is kept on the page.
    const Rect titleArea{m_Rect.left, m_Rect.top, m_Rect.right, m_Rect.top + kTitleHeight};
    CUIDrawHelp::DrawTextWithin(
        drawHelp->GetFont(), sprite, m_Title, titleArea, drawHelp->GetPage(),
        gfx::kTextCenter | gfx::kTextVCenter | gfx::kTextSingleLine, 0xFFFFFFFFu);

    m_ScrollBar->Draw(device, drawHelp, sprite, cursor);

    if (m_RowHeight == 0)
        return;
    const auto height = static_cast<std::int32_t>(m_RowHeight);
    const std::int32_t visible = (m_Rect.Height() - kTitleHeight) / height;
    const std::uint32_t emptyColour = GetListCellColor(0, 0);
    for (std::int32_t r = 0; r < visible; ++r)
    {
        std::int32_t x = m_Rect.left;
        const std::int32_t top = m_Rect.top + kTitleHeight + r * height;
        for (const auto& section : m_Sections)
        {
            const auto width = static_cast<std::int32_t>(section.width);
            const std::size_t index = first + static_cast<std::uint32_t>(r);
            if (index < section.elements.size())
                section.elements[index]->Draw(device, drawHelp, sprite, cursor);
            else
            {
                const Rect cell{x, top, x + width, top + height};
                drawHelp->DrawOutline(sprite, emptyColour, emptyColour, &cell, 1);
            }
            x += width;
        }
    }
}

CUIElement* CUIListElement::ElementAt(const Point* point)
{
    if (!point || point->y < m_Rect.top + kTitleHeight || m_RowHeight == 0 || m_Sections.empty())
        return nullptr;
    const auto row = static_cast<std::uint32_t>(point->y - m_Rect.top - kTitleHeight) / m_RowHeight;
    const std::size_t index = row + FirstRow();
    if (index >= m_Sections.front().elements.size())
        return nullptr;
    for (const auto& section : m_Sections)
        if (index < section.elements.size() &&
            section.elements[index]->HitTest(point, nullptr, nullptr))
            return section.elements[index].get();
    return nullptr;
}

bool CUIListElement::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!CUIElement::HitTest(point, nullptr, nullptr))
        return false;
    if (m_ScrollBar->HitTest(point, outElement, outId))
        return true;
    if (CUIElement* element = ElementAt(point))
    {
        element->HitTest(point, outElement, outId);
        if (TestFlags(kUIFlagListClicks) && outElement)
            *outElement = this;
        return true;
    }
    if (m_Id == 0)
        return false;
    if (outElement)
        *outElement = this;
    if (outId)
        *outId = m_Id;
    return true;
}

std::int32_t CUIListElement::ClassifyMouse(std::int32_t action, const Point* point)
{
    CUIElement* element = ElementAt(point);
    if (!element)
        return CUIElement::ClassifyMouse(action, point);
    const std::int32_t result = element->ClassifyMouse(action, point);
    if (result == kUIClassifyClick)
    {
        for (const auto& other : m_Sections.front().elements)
            other->SetFlags(kUIFlagHighlighted, 0);
        element->SetFlags(kUIFlagHighlighted, 1);
    }
    return result;
}

// ------------------------------------------------------------ item window

CUIItemsListWindow::CUIItemsListWindow(std::int32_t id, const std::string& title,
                                       std::uint32_t sectionCount)
    : CUIListElement(id, title, kWindowCell, sectionCount, kWindowCell)
{
}

void CUIItemsListWindow::SetItems(std::int32_t baseId,
                                  const std::vector<std::shared_ptr<VARD::CItem>>& items,
                                  std::int32_t mode, const VARD::CGame* game,
                                  const VARD::CActor* store)
{
    if (mode != kModeOwn && mode != kModeBuy && mode != kModeSell)
        throw CVARDException(kUIErrorCode, "no item list mode " + std::to_string(mode));
    if ((mode == kModeBuy && !game) || (mode == kModeSell && !store))
        throw CVARDException(kUIErrorCode, "a store list without its store");
    Clear();
    m_Items = items;
    m_BaseId = baseId;

    std::vector<CUISortedItem> sorted;
    BuildSortedItemList(sorted, items, baseId);
    std::size_t section = 0;
    for (const auto& [tokenId, item] : sorted)
    {
        auto token = std::make_shared<CUIActionElement2>(0, tokenId);
        token->SetCount(item->GetValue1());
        CUIHoverInfo& record = token->GetHoverInfo();
        switch (mode)
        {
        case kModeOwn:
            FillHoverInfo(item.get(), record);
            token->SetFlags(kUIFlagDraggable, 1);
            break;
        case kModeBuy:
        {
            const std::uint32_t price = item->GetTemplate()->GetValue();
            token->SetFlags(kUIFlagDraggable,
                            static_cast<std::int64_t>(game->GetGold()) >= std::int64_t{price});
            FillPricedItemHoverInfo(*item, price, record);
            break;
        }
        default:
        {
            std::uint32_t price = 0;
            if (store->GetSellPrice(*item, price))
            {
                token->SetFlags(kUIFlagDraggable, 1);
                FillPricedItemHoverInfo(*item, price, record);
            }
            else
                FillHoverInfo(item.get(), record);
            break;
        }
        }
        AddItem(section, token);
        section = (section + 1) % GetSectionCount();
    }
}

// ----------------------------------------------------------- spell window

CUISpellListWindow::CUISpellListWindow(std::int32_t id, const std::string& title,
                                       std::uint32_t sectionCount)
    : CUIListElement(id, title, kWindowCell, sectionCount, kWindowCell)
{
}

void CUISpellListWindow::SetSpells(const VARD::CActor& actor, std::int32_t baseId, bool usableOnly)
{
    Clear();
    std::vector<CUISortedSpell> sorted;
    BuildSortedSpellList(sorted, actor.GetSpells(), baseId);
    std::size_t section = 0;
    for (const auto& [tokenId, spell] : sorted)
    {
        if (usableOnly && !actor.MeetsRequirement(*spell))
            continue;
        if (!(spell->IsPower() ? m_ShowPowers : m_ShowSpells))
            continue;
        auto token = std::make_shared<CUIActionElement2>(0, tokenId);
        token->SetFlags(kUIFlagDraggable, 1);
        token->Clear();
        FillSpellHoverInfo(*spell, actor, token->GetHoverInfo());
        if (actor.GetPower() == spell)
            token->SetPowerBox(CUIActionElement2::kPowerBoxOn);
        else if (spell->IsPower())
            token->SetPowerBox(CUIActionElement2::kPowerBoxOff);
        AddItem(section, token);
        section = (section + 1) % GetSectionCount();
    }
}

// --------------------------------------------------------------- orderings

void BuildSortedItemList(std::vector<CUISortedItem>& out,
                         const std::vector<std::shared_ptr<VARD::CItem>>& items,
                         std::int32_t baseId)
{
    out.clear();
    for (std::size_t i = 0; i < items.size(); ++i)
        out.emplace_back(baseId + static_cast<std::int32_t>(i), items[i]);
    std::sort(out.begin(), out.end(), ItemBefore);
}

void BuildSortedSpellList(std::vector<CUISortedSpell>& out,
                          const std::vector<const VARD::CSpell*>& spells, std::int32_t baseId)
{
    out.clear();
    for (std::size_t i = 0; i < spells.size(); ++i)
        out.emplace_back(baseId + static_cast<std::int32_t>(i), spells[i]);
    std::sort(out.begin(), out.end(), SpellBefore);
}

} // namespace VARDUI
