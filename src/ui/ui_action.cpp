#include "ui/ui_action.h"

#include "common/exception.h"
#include "ui/ui_buttons.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_hover_text.h"
#include "world/actor.h"
#include "world/module.h"
#include "world/spell.h"

#include <initializer_list>
#include <string>

namespace VARDUI
{

namespace
{

// Built-in images of the token.
constexpr std::uint32_t kImageTokenFrame = 192;
constexpr std::uint32_t kImageTokenFrameHighlighted = 193;
constexpr std::uint32_t kImageMoveUp = 166;
constexpr std::uint32_t kImageAttack = 143;
constexpr std::uint32_t kImageTalk = 130;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kBackdrop = 0xC0000000u;
constexpr std::uint32_t kMarkTint = 0x80FFFFFFu;

constexpr std::int32_t kTokenSize = 48;

void LoadFrameImages(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    for (const std::uint32_t id : std::initializer_list<std::uint32_t>{
             kImageTokenFrame, kImageBlink, kImageTokenFrameHighlighted, kImageCheckMark})
        drawHelp->LoadTexture(device, id);
}

} // namespace

// ------------------------------------------------------------------ token

CUIActionElement2::CUIActionElement2(std::int32_t moveButtonId, std::int32_t id) : CUIElement(id)
{
    if (moveButtonId != 0)
    {
        m_MoveButton = std::make_shared<CUIImageButton>(moveButtonId, kImageMoveUp);
        m_MoveButton->SetHoverText("Move Up", "");
        m_MoveButton->SetFlags(kUIFlagBackdrop, 1);
    }
    CUIActionElement2::SetRect({0, 0, kTokenSize, kTokenSize});
}

CUIActionElement2::~CUIActionElement2() = default;

void CUIActionElement2::SetRect(const Rect& rect)
{
    CUIElement::SetRect(rect);
    if (m_MoveButton)
        m_MoveButton->SetRect({rect.right - 14, rect.top + 2, rect.right - 2, rect.top + 14});
}

void CUIActionElement2::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    LoadFrameImages(device, drawHelp);
    if (m_HoverInfo.icon)
        drawHelp->LoadTexture(device, m_HoverInfo.icon);
    if (m_MoveButton)
        m_MoveButton->LoadTextures(device, drawHelp);
}

void CUIActionElement2::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                             const Point* cursor)
{
    if (!TestFlags(kUIFlagVisible) || m_Dragging)
        return;
    if (TestFlags(kUIFlagBackdrop))
        drawHelp->FillRect(sprite, kBackdrop, &m_Rect);
    DrawContent(device, drawHelp, sprite, cursor);
}

void CUIActionElement2::DrawDrag(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                                 const Point* cursor)
{
    DrawContent(device, drawHelp, sprite, cursor);
}

void CUIActionElement2::DrawContent(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                                    const Point* cursor)
{
    // Lists fill their tokens long after the tree loaded its images; a token
    // made since must not fail the paint for want of its frame.
    LoadFrameImages(device, drawHelp);

    const CUIHoverInfo& info = m_HoverInfo;
    const bool hot = m_Dragging || CUIElement::HitTest(cursor, nullptr, nullptr);
    const bool highlighted = TestFlags(kUIFlagHighlighted) != 0;

    // Frame.
    if (hot && info.icon)
        drawHelp->DrawScaledTexture(
            sprite, &m_Rect, highlighted ? kImageTokenFrameHighlighted : kImageTokenFrame, kWhite);
    else if (highlighted)
    {
        if (info.icon)
            drawHelp->DrawScaledTexture(sprite, &m_Rect, kImageBlink, kWhite);
        const std::uint32_t colour = hot ? 0xFF00FF00u : 0xFF00C000u;
        drawHelp->DrawOutline(sprite, colour, colour, &m_Rect, 1);
    }
    else
    {
        const std::uint32_t colour = hot ? 0xFF808080u : 0xFF404040u;
        drawHelp->DrawOutline(sprite, colour, colour, &m_Rect, 1);
    }

    // Icon and its corner marks.
    if (info.icon)
    {
        const std::int32_t left = m_Rect.left + (m_Rect.Width() - 32) / 2;
        const std::int32_t top = m_Rect.top + (m_Rect.Height() - 32) / 2;
        const Rect icon{left, top, left + 32, top + 32};
        drawHelp->LoadTexture(device, info.icon);
        drawHelp->DrawScaledTexture(sprite, &icon, info.icon, info.iconColour);
        const struct
        {
            std::uint32_t id;
            Rect at;
        } marks[] = {
            {info.markBottomLeft, {left, top + 16, left + 16, top + 32}},
            {info.markBottomRight, {left + 16, top + 16, left + 32, top + 32}},
            {info.markTopLeft, {left, top, left + 16, top + 16}},
            {info.markTopRight, {left + 16, top, left + 32, top + 16}},
        };
        for (const auto& mark : marks)
        {
            if (!mark.id)
                continue;
            drawHelp->LoadTexture(device, mark.id);
            drawHelp->DrawScaledTexture(sprite, &mark.at, mark.id, kMarkTint);
        }
    }

    // Health along the top, energy along the bottom.
    if (info.showHealthBar)
    {
        const Rect inside = InflateRect(m_Rect, -2);
        const Rect health{inside.left, inside.top, inside.right, inside.top + 6};
        const Rect energy{inside.left, inside.bottom - 6, inside.right, inside.bottom};
        drawHelp->DrawBar(sprite, &health, 0xFFFF0000u, info.healthFraction);
        drawHelp->DrawBar(sprite, &energy, 0xFF0000FFu, info.energyFraction);
    }

    const std::uint32_t textColour = hot || highlighted ? kBlack : kWhite;
    if (!m_Label.empty())
    {
        Rect area = InflateRect(m_Rect, -1);
        drawHelp->ResetTransform(sprite);
        CUIDrawHelp::DrawText(drawHelp->GetSmallFont(), sprite, m_Label, area, gfx::kTextNoClip,
                              textColour);
    }
    if (m_Count > 1)
    {
        Rect area = InflateRect(m_Rect, -1);
        drawHelp->ResetTransform(sprite);
        CUIDrawHelp::DrawText(drawHelp->GetSmallFont(), sprite, std::to_string(m_Count), area,
                              gfx::kTextRight | gfx::kTextBottom | gfx::kTextNoClip, textColour);
    }

    if (m_PowerBox != kPowerBoxNone)
    {
        const Rect box{m_Rect.left + 2, m_Rect.bottom - 18, m_Rect.left + 18, m_Rect.bottom - 2};
        if (highlighted)
            drawHelp->DrawOutline(sprite, 0xFF80FF80u, 0xFF40C040u, &box, 1);
        else
            drawHelp->DrawOutline(sprite, kWhite, 0xFF808080u, &box, 1);
        const Rect inside = InflateRect(box, -1);
        drawHelp->FillRect(sprite, kBackdrop, &inside);
        if (m_PowerBox == kPowerBoxOn)
        {
            const Rect tick = InflateRect(inside, -1);
            drawHelp->DrawScaledTexture(sprite, &tick, kImageCheckMark, kWhite);
        }
    }

    if (hot && !m_Dragging && m_MoveButton)
        m_MoveButton->Draw(device, drawHelp, sprite, cursor);
}

bool CUIActionElement2::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!TestFlags(kUIFlagVisible) || m_Dragging)
        return false;
    if (!CUIElement::HitTest(point, outElement, outId))
        return false;
    if (m_MoveButton)
        m_MoveButton->HitTest(point, outElement, outId);
    return true;
}

std::int32_t CUIActionElement2::ClassifyMouse(std::int32_t action, const Point* point)
{
    switch (action)
    {
    case kUIMouseLeftDown:
        if (TestFlags(kUIFlagDraggable) && m_HoverInfo.icon)
        {
            m_RectBeforeDrag = m_Rect;
            m_Dragging = 1;
            return kUIClassifyPress;
        }
        return kUIClassifyClick;
    case kUIMouseDragMove:
        if (point)
            CenterOn(*this, point);
        return kUIClassifyUsed;
    case kUIMouseLeftUp:
        if (m_Dragging)
        {
            SetRect(m_RectBeforeDrag);
            m_Dragging = 0;
        }
        return kUIClassifyUsed;
    case kUIMouseRight:
    case 3:
        return kUIClassifyRightClick;
    default:
        return kUIClassifyUnused;
    }
}

void CUIActionElement2::Clear()
{
    m_Label.clear();
    m_Count = 0;
    m_PowerBox = kPowerBoxNone;
    m_HoverInfo.Reset();
}

void CUIActionElement2::SetFromSpell(CUIActionElement2& token, const VARD::CSpell& spell,
                                     const VARD::CActor& actor)
{
    token.Clear();
    FillSpellHoverInfo(spell, actor, token.m_HoverInfo);
    if (actor.GetPower() == &spell)
        token.m_PowerBox = kPowerBoxOn;
    else if (spell.IsPower())
        token.m_PowerBox = kPowerBoxOff;
}

void CUIActionElement2::SetFromActionSlot(CUIActionElement2& token, const VARD::CActor& actor,
                                          std::int32_t slot, const CUIActionBarSource& source)
{
    token.Clear();
    token.m_HoverInfo.title = actor.GetTalkName();
    const CUIActionBar* bar = source.FindActionBar(actor.Id());
    if (!bar)
        throw CVARDException(kUIErrorCode, VARDCommon::QuoteForMessage(actor.GetTalkName()) +
                                               " has no action bar");
    if (slot < 0 || slot >= kActionSlotCount)
        throw CVARDException(kUIErrorCode, "no action slot " + std::to_string(slot));
    const VARD::CModule* module = source.GetModule();
    const auto index = static_cast<std::size_t>(slot);
    switch (bar->slotType[index])
    {
    case kActionSlotAttack:
        token.Clear();
        token.m_HoverInfo.title = "Attack";
        token.m_HoverInfo.icon = kImageAttack;
        break;
    case kActionSlotTalk:
        token.Clear();
        token.m_HoverInfo.title = "Talk";
        token.m_HoverInfo.icon = kImageTalk;
        break;
    case kActionSlotUseItem:
    {
        // A saved bar may name an item the module no longer has.
        const VARD::CItemTemplate* itemTemplate =
            module ? module->FindItemTemplate(bar->slotItem[index]) : nullptr;
        if (bar->slotItem[index].empty() || !itemTemplate)
            token.Clear();
        else
            FillItemTemplateHoverInfo(*itemTemplate, token.m_HoverInfo);
        break;
    }
    case kActionSlotCast:
    {
        const VARD::CSpell* spell = module ? module->FindSpell(bar->slotSpell[index]) : nullptr;
        if (bar->slotSpell[index].empty() || !spell)
            token.Clear();
        else
            SetFromSpell(token, *spell, actor);
        break;
    }
    default:
        break;
    }
    token.m_Label = "F" + std::to_string(slot + 1);
}

// ----------------------------------------------------------------- window

CUIActionWindow2::CUIActionWindow2(std::int32_t id, std::int32_t firstTokenId,
                                   const CUIActionBarSource* source, const VARD::CActor* actor)
    : CUIElement(id), m_Source(source), m_Actor(actor)
{
    for (std::int32_t i = 0; i < kActionSlotCount; ++i)
        m_Tokens.push_back(std::make_shared<CUIActionElement2>(0, firstTokenId + i));
    m_Tokens[0]->SetFlags(kUIFlagHighlighted, 1);
    CUIActionWindow2::SetRect({0, 0, 2 * kTokenSize, 5 * kTokenSize});
}

void CUIActionWindow2::SetRect(const Rect& rect)
{
    CUIElement::SetRect(rect);
    for (std::size_t i = 0; i < m_Tokens.size(); ++i)
    {
        const Rect& own = m_Tokens[i]->GetRect();
        const std::int32_t left = rect.left + kTokenSize * static_cast<std::int32_t>(i / 5);
        const std::int32_t top = rect.top + kTokenSize * static_cast<std::int32_t>(i % 5);
        m_Tokens[i]->SetRect({left, top, left + own.Width(), top + own.Height()});
    }
}

void CUIActionWindow2::SetFlags(std::uint32_t mask, std::uint32_t on)
{
    if (mask & kUIFlagHighlighted)
        for (const auto& token : m_Tokens)
            token->SetFlags(kUIFlagHighlighted, on);
    CUIElement::SetFlags(mask, on);
}

void CUIActionWindow2::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    for (const auto& token : m_Tokens)
        token->LoadTextures(device, drawHelp);
}

void CUIActionWindow2::Refill()
{
    const VARD::CActor* actor = m_Actor;
    if (!actor && m_Source)
        actor = m_Source->GetSelectedActor();
    const CUIActionBar* bar = actor && m_Source ? m_Source->FindActionBar(actor->Id()) : nullptr;
    // A member without a bar (one that joined since the bars were last
    // made) must not fail the whole paint: its window stays empty, and is
    // tried again on the next draw.
    if (!bar)
    {
        for (const auto& token : m_Tokens)
        {
            token->Clear();
            token->SetFlags(kUIFlagHighlighted, 0);
            token->SetFlags(kUIFlagVisible, 1);
        }
        return;
    }
    for (std::size_t i = 0; i < m_Tokens.size(); ++i)
    {
        const auto slot = static_cast<std::int32_t>(i);
        m_Tokens[i]->SetFlags(kUIFlagHighlighted, slot == bar->selectedSlot);
        m_Tokens[i]->SetFlags(kUIFlagVisible, 1);
        CUIActionElement2::SetFromActionSlot(*m_Tokens[i], *actor, slot, *m_Source);
    }
    m_Filled = 1;
}

void CUIActionWindow2::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                            const Point* cursor)
{
    if (!TestFlags(kUIFlagVisible))
        return;
    if (TestFlags(kUIFlagBackdrop))
        drawHelp->FillRect(sprite, kBackdrop, &m_Rect);
    if (!m_Filled)
        Refill();
    for (const auto& token : m_Tokens)
        token->Draw(device, drawHelp, sprite, cursor);
}

bool CUIActionWindow2::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!CUIElement::HitTest(point, outElement, outId))
        return false;
    for (const auto& token : m_Tokens)
        if (token->HitTest(point, outElement, outId))
            break;
    return true;
}

} // namespace VARDUI
