#include "ui/ui_mini_map.h"

#include "common/exception.h"
#include "ui/ui_buttons.h"
#include "ui/ui_draw_help.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/tile.h"

#include <string>

namespace VARDUI
{

namespace
{

constexpr double kCellSize = 2.5;

// The kind of the cell as the map shows it: what the party has not seen, and
// what lies off the grid, is empty.
std::int32_t SeenCellKind(const VARD::CArea& area, std::int32_t c, std::int32_t r,
                          const VARD::CTile*& tile)
{
    tile = nullptr;
    const auto column = static_cast<std::uint32_t>(c);
    const auto row = static_cast<std::uint32_t>(r);
    if (column >= area.GetWidth() || row >= area.GetHeight() ||
        !area.GetTileTracker().IsMarked(column, row))
        return VARD::kTileKindEmpty;
    const VARD::CTile* cell = area.GetTile(column, row);
    const VARD::CMasterTile* master = cell ? cell->GetMasterTile() : nullptr;
    if (!master || !master->GetTemplate())
        return VARD::kTileKindEmpty;
    tile = cell;
    return master->GetTemplate()->GetKind();
}

} // namespace

std::uint32_t GetMiniMapCellColor(std::int32_t kind, const VARD::CTile* tile,
                                  std::uint32_t translucent)
{
    const std::uint32_t alpha = (translucent ? 0xB0u : 0xFFu) << 24;
    switch (kind)
    {
    case VARD::kTileKindFloor:
        return alpha | 0xC0C0C0u;
    case VARD::kTileKindEmpty:
        return alpha;
    case VARD::kTileKindSolid:
        return alpha | 0x808080u;
    case VARD::kTileKindDoor:
        if (!tile)
            throw CVARDException(kUIErrorCode, "a door cell without its tile");
        return alpha | (tile->GetDoor()->GetOpenFlag() ? 0x00FF00u : 0xFF0000u);
    default:
        throw CVARDException(kUIErrorCode, "no map colour for tile kind " + std::to_string(kind));
    }
}

CUIMiniMap::CUIMiniMap(std::int32_t id, std::int32_t buttonId, const VARD::CArea* area)
    : CUIElement(id), m_Area(area)
{
    if (buttonId != 0)
    {
        m_Button = std::make_shared<CUITextButton>(buttonId, "Map");
        m_Button->SetHoverText("Map", "Show Full Map");
        m_Button->SetFlags(kUIFlagBackdrop, 1);
    }
    SetHoverText("Map", "");
}

CUIMiniMap::~CUIMiniMap() = default;

void CUIMiniMap::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    if (!m_Button)
        return;
    m_Button->LoadTextures(device, drawHelp);
    m_Button->SetRect({m_Rect.right - 42, m_Rect.top + 2, m_Rect.right - 2, m_Rect.top + 26});
}

bool CUIMiniMap::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (m_Button && m_Button->HitTest(point, outElement, outId))
        return true;
    return CUIElement::HitTest(point, outElement, outId);
}

void CUIMiniMap::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                      const Point* cursor)
{
    if (!m_Area)
        throw CVARDException(kUIErrorCode, "a mini-map without an area");
    const bool hovered = HitTest(cursor, nullptr, nullptr);
    const std::uint32_t translucent = TestFlags(kUIFlagBackdrop);
    const std::uint32_t alpha = (translucent ? 0xB0u : 0xFFu) << 24;

    Rect area = InflateRect(m_Rect, -1);
    const std::int32_t cellsAcross = area.Width() / 2;
    const std::int32_t cellsDown = area.Height() / 2;
    area.right = area.left + 2 * cellsAcross;
    area.bottom = area.top + 2 * cellsDown;

    const Rect frame = InflateRect(area, 1);
    drawHelp->DrawOutline(sprite, 0xFFFFFFFFu, 0xFFFFFFFFu, &frame, 1);

    const auto centreColumn = static_cast<std::int32_t>(static_cast<double>(m_CenterX) / kCellSize);
    const auto centreRow = static_cast<std::int32_t>(static_cast<double>(m_CenterY) / kCellSize);
    std::int32_t c0 = centreColumn - cellsAcross / 2;
    std::int32_t r0 = centreRow - cellsDown / 2;
    if (c0 < 0)
        c0 = 0;
    if (r0 < 0)
        r0 = 0;

    for (std::int32_t c = c0; c < c0 + cellsAcross; ++c)
        for (std::int32_t r = r0; r < r0 + cellsDown; ++r)
        {
            const VARD::CTile* tile = nullptr;
            const std::int32_t kind = SeenCellKind(*m_Area, c, r, tile);
            const std::int32_t x = area.left + 2 * (c - c0);
            const std::int32_t y = area.top + 2 * (r - r0);
            const Rect cell{x, y, x + 2, y + 2};
            drawHelp->FillRect(sprite, GetMiniMapCellColor(kind, tile, translucent), &cell);
        }

    for (const auto& actor : m_Area->Actors())
    {
        // The living members only: the fallen lie where they fell.
        if (!actor || actor->GetAttitude() != VARD::kAttitudeParty || actor->IsDead())
            continue;
        const auto px = static_cast<std::int32_t>(actor->GetX() / kCellSize * 2.0);
        const auto py = static_cast<std::int32_t>(actor->GetY() / kCellSize * 2.0);
        const std::int32_t dx = px - 2 * c0;
        const std::int32_t dy = py - 2 * r0;
        if (px < 2 * c0 + 1 || dx > 2 * cellsAcross - 1 || py < 2 * r0 + 2 ||
            dy > 2 * cellsDown - 2)
            continue;
        const Rect mark{area.left + dx - 2, area.top + dy - 2, area.left + dx + 2,
                        area.top + dy + 2};
        drawHelp->DrawOutline(sprite, alpha, alpha, &mark, 1);
        const Rect inside = InflateRect(mark, -1);
        drawHelp->FillRect(sprite, alpha | 0x00FF00u, &inside);
    }

    if (m_Button && hovered)
        m_Button->Draw(device, drawHelp, sprite, cursor);
}

} // namespace VARDUI
