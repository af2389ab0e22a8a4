#pragma once

#include "common/tag_file_fwd.h"
#include "world/talk_state.h"
#include "world/thing.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VARDGraph
{
class CGraphic;
} // namespace VARDGraph

namespace VARD
{

class CArea;
class CAreaObjectIndex;
class CGame;
class CItem;
class CModule;
class CObjectTemplate;
class CTrap;

// A placed object of an area: container, item pile, exit marker, talking
// statue, trapped plate, sound source. It copies what it needs from its
// definition and adds its own place, contents and state.
class CObject : public CThing, public CTalkTarget
{
public:
    // Placed from a definition; the placing area sets position, facing and
    // lock value afterwards. The trap is the object's own copy.
    CObject(CArea* area, std::uint32_t id, const std::string& instanceName,
            const CObjectTemplate& definition);
    // Only an id and its area, to be filled by ReadSaved.
    CObject(CArea* area, std::uint32_t id);
    ~CObject() override;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    // The saved <object> record of an area block.
    void Write(VARDCommon::CTagFileWriter& writer) const;
    // Fills an id-only object from its saved record. Talk list, trap script
    // and sound come from the module's definition of that name, and every
    // item is made anew with an item id from the game. Code 1 for a bad token
    // or a definition or item template the module lacks, code 2 for a tile
    // kind outside "floor" "empty" "solid".
    void ReadSaved(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game);

    // CThing
    void GetId(std::uint32_t& id) const override { id = m_Id; }

    // CTalkTarget
    std::string GetTalkName() const override { return m_TalkName; }
    const TalkStateList& GetTalkFiles() const override { return m_TalkFiles; }
    void ClearTalkQueue() override { m_TalkQueue.clear(); }
    void QueueTalk(std::shared_ptr<CTalkChoice> choice) override;
    std::string GetFirstTalkFile() const override;
    TalkChoiceList GetTalkQueue() const override { return m_TalkQueue; }
    void SetTalkFiles(TalkStateList files) { m_TalkFiles = std::move(files); }

    CArea* GetArea() const { return m_Area; }
    const std::string& GetDefinitionName() const { return m_DefinitionName; }
    const std::string& GetInstanceName() const { return m_InstanceName; }
    // How much it blocks placement and sight: 0 floor, 1 empty, 2 solid.
    int GetTileKind() const { return m_TileKind; }
    const std::string& GetGraphicName() const { return m_GraphicName; }
    bool GetFlag() const { return m_Flag; }
    bool IsPile() const { return m_PileFlag != 0; }
    bool IsExit() const { return m_ExitFlag != 0; }
    const std::string& GetExitText() const { return m_ExitText; }
    void SetExitText(const std::string& text) { m_ExitText = text; }

    // Sizes as the definition gives them, before the facing turns them.
    double GetWidth() const { return m_SizeX; }
    double GetDepth() const { return m_SizeY; }
    double GetHeight() const { return m_SizeZ; }
    // Extents along x and y: facing east or west exchanges the two.
    double GetSizeX() const;
    double GetSizeY() const;

    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    void SetPosition(double x, double y)
    {
        m_X = x;
        m_Y = y;
        if (m_BlockIndex != nullptr)
            TellBlockIndex();
    }
    // 0 north, 1 east, 2 south, 3 west; 4 (none) comes from a patch record
    // whose facing word names no direction.
    int GetFacing() const { return m_Facing; }
    // Code 2 outside 0..4.
    void SetFacing(int facing);
    // 0 unlocked.
    std::uint32_t GetLockValue() const { return m_LockValue; }
    void SetLockValue(std::uint32_t value) { m_LockValue = value; }

    // The footprint rectangle, as turned by the facing.
    struct CFootprint
    {
        double left, top, right, bottom;
    };
    CFootprint GetFootprint() const;
    // Distance from the point to the footprint rectangle; 0 inside and on
    // its edge.
    double DistanceToFootprint(double x, double y) const;

    std::vector<std::shared_ptr<CItem>> GetItems() const { return m_Items; }
    const std::vector<std::shared_ptr<CItem>>& Items() const { return m_Items; }
    void AddItem(std::shared_ptr<CItem> item);
    // Takes the item out by identity; code 2 when the object does not hold it.
    std::shared_ptr<CItem> RemoveItem(const CItem* item);

    // Null when the object has no trap.
    const std::shared_ptr<CTrap>& GetTrap() const { return m_Trap; }

    // Empty without a sound.
    const std::string& GetSoundName() const { return m_SoundName; }
    double GetSoundRadius() const { return m_SoundRadius; }

    // The scene renderer makes and releases the handle.
    const std::shared_ptr<VARDGraph::CGraphic>& GetGraphic() const { return m_Graphic; }
    void SetGraphic(std::shared_ptr<VARDGraph::CGraphic> graphic);

private:
    void SetDefinitionName(const std::string& name);
    void ReadItems(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game);

    // The index of the area that lists the object, told of every move and
    // turn (area_object_index.cpp).
    friend class CAreaObjectIndex;
    void TellBlockIndex();
    CAreaObjectIndex* m_BlockIndex = nullptr;
    std::uint32_t m_BlockSlot = 0;

    std::uint32_t m_Id = 0;
    CArea* m_Area = nullptr;
    std::string m_DefinitionName;
    std::string m_InstanceName;
    std::string m_TalkName;
    int m_TileKind = 0;
    std::string m_GraphicName;
    bool m_Flag = false;
    int m_PileFlag = 0;
    int m_ExitFlag = 0;
    std::string m_ExitText;
    double m_SizeX = 0.0;
    double m_SizeY = 0.0;
    double m_SizeZ = 0.0;
    double m_X = 0.0;
    double m_Y = 0.0;
    int m_Facing = 0;
    std::uint32_t m_LockValue = 0;
    std::vector<std::shared_ptr<CItem>> m_Items;
    TalkStateList m_TalkFiles;
    TalkChoiceList m_TalkQueue;
    std::shared_ptr<CTrap> m_Trap;
    std::string m_SoundName;
    double m_SoundRadius = 0.0;
    std::shared_ptr<VARDGraph::CGraphic> m_Graphic;
};

} // namespace VARD
