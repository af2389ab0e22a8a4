#pragma once

#include "common/tag_file_fwd.h"
#include "world/thing.h"

#include <cstdint>
#include <memory>
#include <string>

namespace VARDGraph
{
class CGraphic;
} // namespace VARDGraph

namespace VARD
{

class CArea;
class CScript;

// Tile kinds, as ParseTileKind gives them.
enum : int
{
    kTileKindFloor = 0,
    kTileKindEmpty = 1,
    kTileKindSolid = 2,
};

// One "tile" record of the world file: a block of cells with its look and, for
// doors, its lock, script and open look.
class CTileTemplate
{
public:
    // Reads one <tile> record. Code 1 for a missing size pair, a size of 0, a
    // kind word outside "floor" "empty" "solid" "door", or a word other than
    // "reset" after a door's open graphic.
    explicit CTileTemplate(VARDCommon::CTagFileReader& reader);
    // One piece of a multi-cell tile: no door values, script or reset.
    // Code 1 for a size of 0 or a kind outside 0..3.
    CTileTemplate(std::string name, std::string text, int kind, std::string graphic,
                  std::uint32_t sizeX, std::uint32_t sizeY);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetText() const { return m_Text; }
    const std::string& GetGraphicName() const { return m_GraphicName; }
    // Cells covered along x (columns) and y (rows) in orientation 0.
    std::uint32_t GetSizeX() const { return m_SizeX; }
    std::uint32_t GetSizeY() const { return m_SizeY; }
    int GetKind() const { return m_Kind; }
    bool IsDoor() const { return m_Kind == 3; }
    // Read and kept with a door; the renderer takes it as the door's height.
    std::uint32_t GetDoorValueA() const { return m_DoorValueA; }
    // 0 for an unlocked door and for any door with a script.
    std::uint32_t GetLockValue() const { return m_LockValue; }
    // A door marked "reset" closes again when its area is reloaded with reset.
    bool GetReset() const { return m_Reset; }
    CScript* GetScript() const { return m_Script.get(); }
    const std::shared_ptr<CScript>& GetSharedScript() const { return m_Script; }
    const std::string& GetOpenGraphicName() const { return m_OpenGraphicName; }

private:
    void ReadDoor(VARDCommon::CTagFileReader& reader);
    void CheckSize() const;

    std::string m_Name;
    std::string m_Text;
    std::string m_GraphicName;
    std::uint32_t m_SizeX = 0;
    std::uint32_t m_SizeY = 0;
    int m_Kind = kTileKindFloor;
    std::uint32_t m_DoorValueA = 0;
    std::uint32_t m_LockValue = 0;
    bool m_Reset = false;
    std::shared_ptr<CScript> m_Script;
    std::string m_OpenGraphicName;
};

// A tile template laid on an area's grid with its first corner at a cell.
class CMasterTile
{
public:
    // Orientations 1 and 3 (east, west) swap the template's sizes.
    CMasterTile(const CTileTemplate* tileTemplate, std::uint32_t orientation, CArea* area,
                std::uint32_t column, std::uint32_t row);
    CMasterTile(const CMasterTile&) = delete;
    CMasterTile& operator=(const CMasterTile&) = delete;
    virtual ~CMasterTile() = default;

    // The graphic to draw now; null until the scene made one.
    virtual VARDGraph::CGraphic* GetGraphic() const;
    virtual void ReleaseGraphic();

    std::shared_ptr<VARDGraph::CGraphic> GetSharedGraphic() const { return m_Graphic; }
    void SetGraphic(std::shared_ptr<VARDGraph::CGraphic> graphic)
    {
        m_Graphic = std::move(graphic);
    }

    const CTileTemplate* GetTemplate() const { return m_Template; }
    CArea* GetArea() const { return m_Area; }
    std::uint32_t GetColumn() const { return m_Column; }
    std::uint32_t GetRow() const { return m_Row; }
    std::uint32_t GetSizeX() const { return m_SizeX; }
    std::uint32_t GetSizeY() const { return m_SizeY; }
    std::uint32_t GetOrientation() const { return m_Orientation; }
    // The door's script from its template; null when there is none.
    CScript* GetScript() const;
    // No living actor's square touches the block, and no script guards it;
    // a door must be clear before it is closed.
    bool IsDoorwayClear() const;

    // Stamps the renderer keeps to draw and merge each master tile once a pass.
    std::uint32_t GetDrawnFrame() const { return m_DrawnFrame; }
    void SetDrawnFrame(std::uint32_t frame) { m_DrawnFrame = frame; }
    std::uint32_t GetMergeStamp() const { return m_MergeStamp; }
    void SetMergeStamp(std::uint32_t stamp) { m_MergeStamp = stamp; }

private:
    const CTileTemplate* m_Template;
    CArea* m_Area;
    std::uint32_t m_Column;
    std::uint32_t m_Row;
    std::uint32_t m_SizeX;
    std::uint32_t m_SizeY;
    std::uint32_t m_Orientation;
    std::shared_ptr<VARDGraph::CGraphic> m_Graphic;
    std::uint32_t m_DrawnFrame = 0;
    std::uint32_t m_MergeStamp = 0;
};

// A door: a master tile that opens, may be locked and has an open look.
class CMasterTileDoor : public CMasterTile
{
public:
    // Closed, with the template's lock value. Code 2 for a template that is no door.
    CMasterTileDoor(const CTileTemplate* tileTemplate, std::uint32_t orientation, CArea* area,
                    std::uint32_t column, std::uint32_t row);

    // The open graphic while open, else the closed one.
    VARDGraph::CGraphic* GetGraphic() const override;
    void ReleaseGraphic() override;

    bool IsOpen() const { return m_Open != 0; }
    std::uint32_t GetOpenFlag() const { return m_Open; }
    // Opening also unlocks: an open door is never locked.
    void SetOpen(bool open);
    std::uint32_t GetLockValue() const { return m_LockValue; }
    void SetLockValue(std::uint32_t lockValue) { m_LockValue = lockValue; }

    std::shared_ptr<VARDGraph::CGraphic> GetSharedOpenGraphic() const { return m_OpenGraphic; }
    void SetOpenGraphic(std::shared_ptr<VARDGraph::CGraphic> graphic)
    {
        m_OpenGraphic = std::move(graphic);
    }

private:
    std::uint32_t m_Open = 0;
    std::uint32_t m_LockValue;
    std::shared_ptr<VARDGraph::CGraphic> m_OpenGraphic;
};

// One cell of an area's grid; its id carries the cell.
class CTile : public CThing
{
public:
    // Code 2 for a column from 1000 up or a number that does not fit 24 bits:
    // the id could not tell the cell back.
    CTile(std::uint32_t column, std::uint32_t row);

    void GetId(std::uint32_t& id) const override { id = m_Id; }

    std::uint32_t GetColumn() const { return ThingNumberOf(m_Id) % 1000u; }
    std::uint32_t GetRow() const { return ThingNumberOf(m_Id) / 1000u; }
    double GetCenterX() const { return GetColumn() * 2.5 + 1.25; }
    double GetCenterY() const { return GetRow() * 2.5 + 1.25; }

    CMasterTile* GetMasterTile() const { return m_MasterTile; }
    void SetMasterTile(CMasterTile* masterTile)
    {
        ++s_LayoutGeneration;
        m_MasterTile = masterTile;
        m_Kind = masterTile != nullptr && masterTile->GetTemplate() != nullptr
                     ? masterTile->GetTemplate()->GetKind()
                     : kTileKindSolid;
    }
    // The kind of the master tile's template, kept here because movement and
    // sight ask it of cell after cell; solid without a master tile, so that
    // a hole in the layout lets no one walk or look through it.
    int GetKind() const { return m_Kind; }
    // Moves on whenever any cell of any grid changes its master tile, so a
    // copy of a grid's kinds knows when it has gone stale.
    static std::uint64_t GetLayoutGeneration() { return s_LayoutGeneration; }
    // Code 2 when the cell holds no door.
    CMasterTileDoor* GetDoor() const;

private:
    std::uint32_t m_Id;
    CMasterTile* m_MasterTile = nullptr;
    int m_Kind = kTileKindSolid;
    static inline std::uint64_t s_LayoutGeneration = 0;
};

} // namespace VARD
