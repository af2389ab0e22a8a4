#pragma once

#include "common/tag_file_fwd.h"
#include "world/area_cell_index.h"
#include "world/area_object_index.h"
#include "world/geometry.h"
#include "world/thing.h"
#include "world/tile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CActor;
class CEffect;
class CGame;
class CMasterTile;
class CModule;
class CObject;
class CPatch;
class CPatchActionEncounter;
class CPatchActionObject;
class CPatchActionOpenDoor;
class CPatchActionTiles;
class CScript;
class CTile;

// How an area file is read (ReadFile).
enum : int
{
    // A fresh area: everything from the file.
    kAreaReadFresh = 0,
    // The layout of an area whose objects and actors are held already.
    kAreaReadLayout = 1,
    // The current area of a saved game: objects, actors and encounters come
    // from the save.
    kAreaReadSavedCurrent = 2,
    // Any other area of a saved game: header, skies and sounds only.
    kAreaReadSavedOther = 3,
};

// Tile numbers are row × 1000 + column, so no grid may be wider.
constexpr std::uint32_t kMaxGridWidth = 1000;
// The further word of an actor that holds the name of its encounter.
constexpr std::size_t kEncounterNameWord = 0;

// One bit per cell of a grid. The layout is the one saved games hold: the
// bit of cell i is bit (i mod 32) of word (i / 4), and there are
// (width × height) / 4 + 1 words. Cells share words, but every cell still has
// a bit of its own.
class CCellBitSet
{
public:
    std::uint32_t GetWidth() const { return m_Width; }
    std::uint32_t GetHeight() const { return m_Height; }
    const std::vector<std::uint32_t>& GetWords() const { return m_Words; }
    // Take the words anew for each change: taking them counts as one.
    std::vector<std::uint32_t>& Words()
    {
        Touch();
        return m_Words;
    }
    // Moves on with every change (never 0 after one) and is never the same
    // for two changes of any two sets, so that an unchanged stamp means
    // unchanged bits.
    std::uint64_t GetStamp() const { return m_Stamp; }

    static std::uint32_t WordCountFor(std::uint32_t width, std::uint32_t height);
    static std::uint32_t WordOf(std::uint32_t index) { return index / 4u; }
    static std::uint32_t BitOf(std::uint32_t index) { return index % 32u; }

    // Takes the new shape when it differs; words kept, added words 0.
    void SetSize(std::uint32_t width, std::uint32_t height);
    void Clear();
    // Cells off the grid are ignored; a word vector shorter than the grid
    // (a saved tracker of another length) grows to hold the cell. Inline:
    // the sight flood asks for every cell it reaches.
    void Mark(std::uint32_t column, std::uint32_t row)
    {
        if (column >= m_Width || row >= m_Height)
            return;
        const std::uint32_t index = m_Width * row + column;
        if (WordOf(index) >= m_Words.size())
            m_Words.resize(WordOf(index) + 1u, 0u);
        m_Words[WordOf(index)] |= 1u << BitOf(index);
        Touch();
    }
    // False for cells off the grid and for words the vector lacks.
    bool IsMarked(std::uint32_t column, std::uint32_t row) const
    {
        if (column >= m_Width || row >= m_Height)
            return false;
        const std::uint32_t index = m_Width * row + column;
        return WordOf(index) < m_Words.size() &&
               (m_Words[WordOf(index)] & (1u << BitOf(index))) != 0;
    }

private:
    void Touch();

    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    std::vector<std::uint32_t> m_Words;
    std::uint64_t m_Stamp = 0;
};

// A door cell that stands open.
struct CAreaOpenDoor
{
    std::uint32_t column = 0;
    std::uint32_t row = 0;
};

// A named arrival cell.
class CAreaEntry
{
public:
    // <entry> name "text" (column row) script </entry>
    explicit CAreaEntry(VARDCommon::CTagFileReader& reader);
    CAreaEntry(std::string name, std::string text, std::uint32_t column, std::uint32_t row,
               std::shared_ptr<CScript> script);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetText() const { return m_Text; }
    std::uint32_t GetColumn() const { return m_Column; }
    std::uint32_t GetRow() const { return m_Row; }
    // Null when the entry has none.
    CScript* GetScript() const { return m_Script.get(); }
    const std::shared_ptr<CScript>& GetSharedScript() const { return m_Script; }

private:
    std::string m_Name;
    std::string m_Text;
    std::uint32_t m_Column = 0;
    std::uint32_t m_Row = 0;
    std::shared_ptr<CScript> m_Script;
};

// A way out of the area, at the centre of its cell.
class CAreaExit
{
public:
    // <exit> name "text" (column row) tag target-or-(area entry) script </exit>
    explicit CAreaExit(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetText() const { return m_Text; }
    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    // The quest tag that must be set for the exit to work; empty = none.
    const std::string& GetRequiredTag() const { return m_RequiredTag; }
    // An area, or a world map when the entry is empty.
    const std::string& GetTargetArea() const { return m_TargetArea; }
    const std::string& GetTargetEntry() const { return m_TargetEntry; }
    CScript* GetScript() const { return m_Script.get(); }
    const std::shared_ptr<CScript>& GetSharedScript() const { return m_Script; }

private:
    std::string m_Name;
    std::string m_Text;
    double m_X = 0.0;
    double m_Y = 0.0;
    std::string m_RequiredTag;
    std::string m_TargetArea;
    std::string m_TargetEntry;
    std::shared_ptr<CScript> m_Script;
};

// A sky layer: a graphic and the four numbers the sky drawing takes with it.
class CAreaSkyInfo
{
public:
    // <sky> name v1 v2 v3 v4 </sky>
    explicit CAreaSkyInfo(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    const std::array<double, 4>& GetValues() const { return m_Values; }

private:
    std::string m_Name;
    std::array<double, 4> m_Values{};
};

// An ambient sound, for the whole area or for a region of it.
class CAreaSoundInfo
{
public:
    // <sound> "name" [(c1 r1) (c2 r2)] </sound>; the corners are cell corners.
    explicit CAreaSoundInfo(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    bool HasRegion() const { return m_HasRegion; }
    double GetX1() const { return m_X1; }
    double GetY1() const { return m_Y1; }
    double GetX2() const { return m_X2; }
    double GetY2() const { return m_Y2; }
    // No region covers everything; a region holds its edges.
    bool Covers(double x, double y) const;

private:
    std::string m_Name;
    bool m_HasRegion = false;
    double m_X1 = 0.0;
    double m_Y1 = 0.0;
    double m_X2 = 0.0;
    double m_Y2 = 0.0;
};

// One place of the world: a grid of cells 2.5 units wide with the tiles laid
// on it, the actors, objects and effects in it, its entries and exits, sky,
// sounds and patches. The area file gives the layout; play changes the rest,
// which the saved game keeps.
//
// Where the engine would be handed in, the area takes the module: it is all
// that reading and placing need, and the area's game gives ids, the clock,
// quest tags and messages.
class CArea
{
public:
    // Empty, 0 × 0, owned by the game (which may be null in tools and tests:
    // then no time passes on travel and nothing can be created).
    explicit CArea(CGame* game);
    ~CArea();
    CArea(const CArea&) = delete;
    CArea& operator=(const CArea&) = delete;

    // ------------------------------------------------------ file (area_file)
    // Reads "<name>.vard" in a mode (kAreaRead*). Code 1 for a wrong token, a
    // missing pair or section, or a name the module lacks. A failure leaves
    // the area partly filled.
    void ReadFile(const std::string& previousArea, const std::string& name, const CModule& module,
                  int mode, bool reset);
    // Rebuilds the layout of an area whose contents are held, after Reset.
    void Load(const std::string& previousArea, const CModule& module);
    // When the party leaves: stops every actor and drops the layout, keeping
    // what Load rebuilds on.
    void Reset();
    // The message told for a journey of that many hours.
    static std::string JourneyMessage(std::uint32_t hours);
    // True when an area left at that tick is reloaded with reset at now.
    static bool IsResetDue(std::uint32_t lastVisitTick, std::uint32_t now);

    // ------------------------------------------------------------ accessors
    CGame* GetGame() const { return m_Game; }
    // Set by ReadFile; CreatePile finds its definition there.
    const CModule* GetModule() const { return m_Module; }
    void SetModule(const CModule* module) { m_Module = module; }
    const std::string& GetName() const { return m_Name; }
    void SetName(const std::string& name) { m_Name = name; }
    const std::string& GetTitle() const { return m_Title; }
    bool GetLightingFlag() const { return m_Lighting; }
    std::uint32_t GetLastVisitTick() const { return m_LastVisitTick; }
    void SetLastVisitTick(std::uint32_t tick) { m_LastVisitTick = tick; }

    std::vector<std::shared_ptr<CActor>> GetActors() const { return m_Actors; }
    std::vector<std::shared_ptr<CObject>> GetObjects() const { return m_Objects; }
    std::vector<std::shared_ptr<CEffect>> GetEffects() const { return m_Effects; }
    const std::vector<std::shared_ptr<CActor>>& Actors() const { return m_Actors; }
    // Moves on, past every stamp of any area before, whenever an actor joins
    // or leaves the list: a copy of the list with the same stamp is current.
    std::uint64_t GetActorsStamp() const { return m_ActorsStamp; }
    // The actors by where they stand, brought up to date with the list.
    const CAreaCellIndex& ActorIndex() const;
    const std::vector<std::shared_ptr<CObject>>& Objects() const { return m_Objects; }
    // The blocking objects by the squares their footprints cover, brought up
    // to date with the list.
    const CAreaObjectIndex& ObjectIndex() const;
    CActor* FindActorById(std::uint32_t id) const;
    CObject* FindObjectById(std::uint32_t id) const;
    void AddActor(std::shared_ptr<CActor> actor);
    void AddObject(std::shared_ptr<CObject> object);
    void AddEffect(std::shared_ptr<CEffect> effect);
    // Code 2 when the thing is not in the area. A removed actor keeps no
    // target links.
    std::shared_ptr<CActor> RemoveActor(const CActor* actor);
    void RemoveObject(const CObject* object);
    void RemoveEffect(const CEffect* effect);
    // An empty pile at (x, y), for the caller to fill. Code 1 without a
    // "pile" definition, code 2 without a game or a module.
    std::shared_ptr<CObject> CreatePile(double x, double y);
    // The sound at a point: an object's sound whose box covers it, else the
    // first area sound that covers it.
    bool FindSoundAt(double x, double y, std::string& name) const;

    const std::vector<std::shared_ptr<CAreaEntry>>& GetEntries() const { return m_Entries; }
    const std::vector<std::shared_ptr<CAreaExit>>& GetExits() const { return m_Exits; }
    // Null when the area has no entry or exit of that name.
    const CAreaEntry* FindEntry(const std::string& name) const;
    const CAreaExit* FindExit(const std::string& name) const;
    const std::list<std::shared_ptr<CAreaSkyInfo>>& GetSkies() const { return m_Skies; }
    const std::list<std::shared_ptr<CAreaSoundInfo>>& GetSounds() const { return m_Sounds; }
    const std::vector<std::shared_ptr<CPatch>>& GetPatches() const { return m_Patches; }
    const std::list<std::string>& GetAppliedPatches() const { return m_Applied; }
    std::list<std::string>& AppliedPatches() { return m_Applied; }
    const std::list<std::shared_ptr<CAreaOpenDoor>>& GetOpenDoors() const { return m_OpenDoors; }

    // ------------------------------------------------------- grid (area_grid)
    std::uint32_t GetWidth() const { return m_Width; }
    std::uint32_t GetHeight() const { return m_Height; }
    // Keeps the tiles of cells inside the old grid; new cells get new tiles.
    // Both bit sets take the new shape. Code 2 for a cell whose number does
    // not fit a tile id.
    void SetGridSize(std::uint32_t width, std::uint32_t height);
    // The <rows> section. Code 1 for a malformed cell entry, a tile name the
    // module lacks, a block past the grid or a grid wider than 1000 cells.
    void ReadRows(VARDCommon::CTagFileReader& reader, const CModule& module);
    // Code 1, naming where, when a point read from a file is not a number or
    // lies off the grid the area file gives (its edges count as on it), even
    // while the grid itself is not loaded.
    void RequireOnGrid(const std::string& where, const std::string& what, double x, double y) const;
    // The tiles patch action: every cell of each block is given to a new
    // plain master tile; actors that no longer fit are placed anew.
    void LayPatchTiles(const CPatchActionTiles& action, const CModule& module);
    const std::vector<std::shared_ptr<CMasterTile>>& GetMasterTiles() const
    {
        return m_MasterTiles;
    }
    const std::vector<std::shared_ptr<CTile>>& GetTiles() const { return m_Tiles; }
    // Null off the grid.
    CTile* GetTile(std::uint32_t column, std::uint32_t row) const;
    // The tile kind of the template covering the cell (0 floor, 1 empty,
    // 2 solid, 3 door); a cell no master tile covers is solid, and so is a
    // cell off the grid.
    int GetCellKind(std::uint32_t column, std::uint32_t row) const
    {
        if (column >= m_Width || row >= m_Height)
            return kTileKindSolid;
        return CellKinds()[static_cast<std::size_t>(m_Width) * row + column];
    }
    // The tile, then the door cells continuing it in straight runs to the
    // left, right, above and below. Code 2 for a tile that is not this
    // area's.
    std::vector<CTile*> CollectDoorTiles(const CTile* tile) const;

    // Cells the party has ever seen (saved), and cells near it now.
    const CCellBitSet& GetTileTracker() const { return m_TileTracker; }
    CCellBitSet& TileTracker() { return m_TileTracker; }
    const CCellBitSet& GetSightGrid() const { return m_SightGrid; }
    CCellBitSet& SightGrid() { return m_SightGrid; }

    // --------------------------------------------- placement (area_placement)
    // Tiles, then objects, then actors; false at the first that blocks,
    // naming the blocker. A point off the grid is never free and names none.
    bool IsPositionFree(const CActor* mover, double x, double y, CThing** blocker) const;
    bool IsClearOfTiles(const CActor* mover, CTile** tile, double x, double y) const;
    bool IsClearOfObjects(const CActor* mover, CObject** object, double x, double y) const;
    bool IsClearOfActors(const CActor* mover, CActor** actor, double x, double y) const;
    // In list order, every actor that may stand no farther than reach from
    // (x, y) along either axis (and a few more): the callers measure. Around
    // a point off the grid, or for a reach that is not a number, the whole
    // list.
    void CollectActorsNear(double x, double y, double reach, std::vector<CActor*>& found) const;
    static double DistanceToCell(std::int64_t column, std::int64_t row, double x, double y);
    // Sight walked column by column from the actor's centre. Any cell off the
    // grid blocks.
    bool HasLineOfSight(const CActor& actor, bool emptyBlocks, double x, double y) const;
    bool IsColumnClear(std::int64_t column, std::int64_t firstRow, std::int64_t lastRow,
                       bool emptyBlocks) const;
    bool IsSegmentClearOfObjects(const CActor& actor, double x, double y) const;
    bool CanTargetPoint(bool emptyBlocks, double x, double y, double range, double targetRadius,
                        const CActor& actor) const;
    // Actors are circles; objects and tiles are aimed at their centres.
    bool CanTargetThing(const CActor& actor, const CThing& thing, double range) const;
    // Places the actor at the first free point of rings around the cell's
    // centre and appends it to the actors; false, with nothing changed but
    // the random draws, when every point is taken or off the grid.
    bool FindFreeSpotNear(std::uint32_t column, std::uint32_t row, bool wide,
                          const std::shared_ptr<CActor>& actor);
    // Past the rings: the centre of every cell of the grid, nearest to the
    // given one first, without random draws; false when none is free.
    bool FindFreeSpotAnywhere(std::uint32_t column, std::uint32_t row,
                              const std::shared_ptr<CActor>& actor);
    // An actor made from the template, placed near the cell (narrow search);
    // null when no spot is free. Code 1 for a template the module lacks.
    std::shared_ptr<CActor> SpawnMonsterNear(const std::string& templateName, std::uint32_t column,
                                             std::uint32_t row, const CModule& module,
                                             const std::string& encounterName = std::string());
    // The first party or friendly actor, not sneaking, within range of a
    // watcher that stands in the sight grid. The watcher never finds itself.
    bool FindVisiblePartyMember(const CActor& watcher, CActor** found, double range) const;

    // --------------------------------------- patches and doors (area_patches)
    void ApplyTaggedPatches(const CModule& module, int mode, bool reset);
    // Code 2 for an action kind outside 0..5.
    void ApplyPatch(const CPatch& patch, const CModule& module, int mode, bool reset,
                    bool reapplication);
    void ApplyPatchByName(const std::string& name, const CModule& module);
    void AddOpenDoor(std::uint32_t column, std::uint32_t row);
    // Drops every record of that cell from the open doors.
    void RemoveOpenDoor(std::uint32_t column, std::uint32_t row);
    // Opens the door cells of the list again; with reset, doors marked
    // "reset" are dropped from it and stay shut. Code 2 for a cell off the
    // grid or without a door.
    void ReopenDoors(bool reset);
    std::shared_ptr<CObject> CreateObjectFromRecord(const CPatchActionObject& record,
                                                    const CModule& module);
    void PlaceEncounter(const CPatchActionEncounter& record, const CModule& module, int mode,
                        bool reset);

    // ------------------------------------------- saved-area record (area_saved)
    // The <area> block of a saved game.
    void Write(VARDCommon::CTagFileWriter& writer) const;
    void WriteTileTracker(VARDCommon::CTagFileWriter& writer) const;
    // Reads one <area> block into this new, empty area: the area file is read
    // again (the grid only when the name is the current area's, whose doors
    // then open again) and the saved state is laid over it. Code 1 for a
    // token out of place, a template the module lacks or a tile tracker
    // larger than the file or any grid; the area is then left half read.
    // `onActor` sees each actor as it is read, with where its record starts;
    // it may refuse it by throwing.
    using ActorReadHook = std::function<void(const CActor& actor, const std::string& where)>;
    void Read(VARDCommon::CTagFileReader& reader, const std::string& currentAreaName,
              const CModule& module, const ActorReadHook& onActor = nullptr);

private:
    // area_saved.cpp
    void ReadSavedDoors(VARDCommon::CTagFileReader& reader);
    void ReadTileTracker(VARDCommon::CTagFileReader& reader);

    // area_file.cpp
    void ReadTravel(VARDCommon::CTagFileReader& reader, const std::string& previousArea);
    void ReadSkies(VARDCommon::CTagFileReader& reader, int mode);
    void ReadSounds(VARDCommon::CTagFileReader& reader, int mode);
    void ReadObjects(VARDCommon::CTagFileReader& reader, const CModule& module, int mode);
    void ReadEncounters(VARDCommon::CTagFileReader& reader, const CModule& module, int mode,
                        bool reset);
    void ReadEntries(VARDCommon::CTagFileReader& reader, int mode);
    void ReadExits(VARDCommon::CTagFileReader& reader, const CModule& module, int mode);
    void ReadPatches(VARDCommon::CTagFileReader& reader, int mode);
    void CreateExitMarker(const CAreaExit& exit, const CModule& module);
    void ReadGridSize(VARDCommon::CTagFileReader& reader);

    // area_grid.cpp
    void ReadCellEntry(VARDCommon::CTagFileReader& reader, const CModule& module,
                       std::uint32_t column, std::uint32_t row);
    void ReadPlacement(VARDCommon::CTagFileReader& reader, const CModule& module,
                       std::uint32_t column, std::uint32_t row);
    void PlaceMasterTile(const std::string& name, std::uint32_t orientation, const CModule& module,
                         std::uint32_t column, std::uint32_t row);
    void CheckBlockOnGrid(const CMasterTile& master) const;
    void ReplaceDisplacedActors();

    // area_placement.cpp
    bool CellBlocksMover(std::uint32_t column, std::uint32_t row) const;
    bool CellBlocksSight(std::uint32_t column, std::uint32_t row, bool emptyBlocks) const;
    bool IsOnGrid(double x, double y) const;

    // area_patches.cpp
    void RemoveObjectNamed(const std::string& name);
    void OpenDoorsOfAction(const CPatchActionOpenDoor& action);
    void OpenDoorCell(std::uint32_t column, std::uint32_t row);
    bool BearsEncounterName(const std::string& name) const;
    void RemoveActorsBearing(const std::string& name);
    void SpawnEncounter(const CPatchActionEncounter& record, const CModule& module);

    // Master tiles, grid, entries, exits and patches: what the file rebuilds.
    void DropLayout();
    // Every cell's kind, row by row: movers' collision tests read cells by
    // the dozen and would otherwise follow two pointers for each.
    const std::uint8_t* CellKinds() const
    {
        if (m_CellKindsGeneration != CTile::GetLayoutGeneration())
            RefreshCellKinds();
        return m_CellKinds.data();
    }
    void RefreshCellKinds() const;
    // Copies of the tiles' kinds, current while no cell of any grid changed
    // its master tile (the layout generation) and the grid kept its shape.
    void ForgetCellKinds() { m_CellKindsGeneration = kNoCellKinds; }
    CGame& RequireGame(const char* what) const;
    const CModule& RequireModule(const char* what) const;

    std::string m_Name;
    std::vector<std::shared_ptr<CObject>> m_Objects;
    std::vector<std::shared_ptr<CActor>> m_Actors;
    void NoteActorsChanged() { m_ActorsStamp = ++s_ActorsStamps; }
    static inline std::uint64_t s_ActorsStamps = 0;
    std::uint64_t m_ActorsStamp = ++s_ActorsStamps;
    std::list<std::shared_ptr<CAreaOpenDoor>> m_OpenDoors;
    std::uint32_t m_LastVisitTick = 0;
    std::list<std::string> m_Applied;
    CCellBitSet m_TileTracker;
    CGame* m_Game;
    // The module the area was read with; it outlives every area.
    const CModule* m_Module = nullptr;
    std::string m_Title;
    bool m_Lighting = false;
    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    // The grid's size as the area file gives it, known in every read mode,
    // also while the grid itself is not loaded.
    std::uint32_t m_FileWidth = 0;
    std::uint32_t m_FileHeight = 0;
    std::vector<std::shared_ptr<CMasterTile>> m_MasterTiles;
    std::vector<std::shared_ptr<CTile>> m_Tiles;
    static constexpr std::uint64_t kNoCellKinds = ~std::uint64_t{0};
    mutable std::vector<std::uint8_t> m_CellKinds;
    mutable std::uint64_t m_CellKindsGeneration = kNoCellKinds;
    std::vector<std::shared_ptr<CAreaEntry>> m_Entries;
    std::vector<std::shared_ptr<CAreaExit>> m_Exits;
    std::list<std::shared_ptr<CAreaSkyInfo>> m_Skies;
    std::list<std::shared_ptr<CAreaSoundInfo>> m_Sounds;
    CCellBitSet m_SightGrid;
    std::vector<std::shared_ptr<CPatch>> m_Patches;
    std::vector<std::shared_ptr<CEffect>> m_Effects;
    // Last, so that they let go of the actors and objects before they go.
    mutable CAreaCellIndex m_ActorIndex;
    mutable CAreaObjectIndex m_ObjectIndex;
};

} // namespace VARD
