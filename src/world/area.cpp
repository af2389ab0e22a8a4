#include "world/area.h"

#include "common/exception.h"
#include "common/shared_helpers.h"
#include "common/tag_file.h"
#include "world/actor.h"
#include "world/brain.h"
#include "world/effect.h"
#include "world/game.h"
#include "world/module.h"
#include "world/object.h"
#include "world/patch.h"
#include "world/script_record.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>

namespace VARD
{

// ------------------------------------------------------------ cell bit sets

std::uint32_t CCellBitSet::WordCountFor(std::uint32_t width, std::uint32_t height)
{
    return (width * height) / 4u + 1u;
}

void CCellBitSet::SetSize(std::uint32_t width, std::uint32_t height)
{
    if (width == m_Width && height == m_Height)
        return;
    m_Width = width;
    m_Height = height;
    m_Words.resize(WordCountFor(width, height), 0u);
    Touch();
}

void CCellBitSet::Clear()
{
    std::fill(m_Words.begin(), m_Words.end(), 0u);
    Touch();
}

void CCellBitSet::Touch()
{
    static std::atomic<std::uint64_t> s_LastStamp{0};
    m_Stamp = s_LastStamp.fetch_add(1, std::memory_order_relaxed) + 1;
}

// ------------------------------------------------------------------ records

namespace
{

void ReadCellPair(VARDCommon::CTagFileReader& reader, const std::string& what,
                  std::uint32_t& column, std::uint32_t& row)
{
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, what + " needs its cell as a pair of column and row");
    column = reader.ReadUnsigned();
    row = reader.ReadUnsigned();
}

double CellCentre(std::uint32_t cell)
{
    return (static_cast<double>(cell) + 0.5) * kCellSize;
}

} // namespace

CAreaEntry::CAreaEntry(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("entry");
    m_Name = reader.ReadWord();
    m_Text = reader.ReadQuoted();
    ReadCellPair(reader, "entry " + VARDCommon::QuoteForMessage(m_Name), m_Column, m_Row);
    m_Script = CScript::Create(reader);
    reader.ReadEndTag();
}

CAreaEntry::CAreaEntry(std::string name, std::string text, std::uint32_t column, std::uint32_t row,
                       std::shared_ptr<CScript> script)
    : m_Name(std::move(name)), m_Text(std::move(text)), m_Column(column), m_Row(row),
      m_Script(std::move(script))
{
}

CAreaExit::CAreaExit(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("exit");
    m_Name = reader.ReadWord();
    m_Text = reader.ReadQuoted();
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    ReadCellPair(reader, "exit " + VARDCommon::QuoteForMessage(m_Name), column, row);
    m_X = CellCentre(column);
    m_Y = CellCentre(row);
    m_RequiredTag = reader.ReadString();
    if (reader.ReadTupleStart(2, false))
    {
        m_TargetArea = reader.ReadString();
        m_TargetEntry = reader.ReadString();
    }
    else
    {
        m_TargetArea = reader.ReadString();
    }
    m_Script = CScript::Create(reader);
    reader.ReadEndTag();
}

CAreaSkyInfo::CAreaSkyInfo(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("sky");
    m_Name = reader.ReadWord();
    for (double& value : m_Values)
        value = reader.ReadDouble();
    reader.ReadEndTag();
}

CAreaSoundInfo::CAreaSoundInfo(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("sound");
    m_Name = reader.ReadQuoted();
    if (!reader.IsAtEndTag())
    {
        m_HasRegion = true;
        std::array<std::int32_t, 4> corners{};
        for (int pair = 0; pair < 2; ++pair)
        {
            if (!reader.ReadTupleStart(2, false))
                reader.Fail(1, "sound " + VARDCommon::QuoteForMessage(m_Name) +
                                   " needs its corners as pairs");
            corners[pair * 2] = reader.ReadInt();
            corners[pair * 2 + 1] = reader.ReadInt();
        }
        m_X1 = corners[0] * kCellSize;
        m_Y1 = corners[1] * kCellSize;
        m_X2 = corners[2] * kCellSize;
        m_Y2 = corners[3] * kCellSize;
    }
    reader.ReadEndTag();
}

bool CAreaSoundInfo::Covers(double x, double y) const
{
    return !m_HasRegion || (m_X1 <= x && x <= m_X2 && m_Y1 <= y && y <= m_Y2);
}

// --------------------------------------------------------------------- area

CArea::CArea(CGame* game) : m_Game(game) {}

CArea::~CArea() = default;

CGame& CArea::RequireGame(const char* what) const
{
    if (m_Game == nullptr)
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) + " has no game to " +
                                    what);
    return *m_Game;
}

const CModule& CArea::RequireModule(const char* what) const
{
    if (m_Module == nullptr)
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    " has no module to " + what);
    return *m_Module;
}

CActor* CArea::FindActorById(std::uint32_t id) const
{
    const CAreaCellIndex& index = ActorIndex();
    if (index.HasSharedIds())
        return FindThingById(m_Actors, id);
    CActor* actor = index.FindById(id);
    assert(actor == FindThingById(m_Actors, id));
    return actor;
}

CObject* CArea::FindObjectById(std::uint32_t id) const
{
    return FindThingById(m_Objects, id);
}

void CArea::AddActor(std::shared_ptr<CActor> actor)
{
    if (actor)
        m_ActorIndex.Add(*actor);
    m_Actors.push_back(std::move(actor));
    NoteActorsChanged();
}

const CAreaCellIndex& CArea::ActorIndex() const
{
    if (!m_ActorIndex.Fits(m_Width, m_Height, m_Actors.size()))
        m_ActorIndex.Reset(m_Width, m_Height, m_Actors);
    return m_ActorIndex;
}

const CAreaObjectIndex& CArea::ObjectIndex() const
{
    if (!m_ObjectIndex.Fits(m_Width, m_Height, m_Objects.size()))
        m_ObjectIndex.Reset(m_Width, m_Height, m_Objects);
    return m_ObjectIndex;
}

void CArea::AddObject(std::shared_ptr<CObject> object)
{
    if (object)
        m_ObjectIndex.Add(*object);
    m_Objects.push_back(std::move(object));
}

void CArea::AddEffect(std::shared_ptr<CEffect> effect)
{
    m_Effects.push_back(std::move(effect));
}

std::shared_ptr<CActor> CArea::RemoveActor(const CActor* actor)
{
    std::shared_ptr<CActor> removed = FindSharedByPointer(m_Actors, actor);
    m_Actors.erase(std::find(m_Actors.begin(), m_Actors.end(), removed));
    NoteActorsChanged();
    m_ActorIndex.Remove(*removed);
    removed->UnlinkTargets();
    return removed;
}

void CArea::RemoveObject(const CObject* object)
{
    const auto found = std::find_if(m_Objects.begin(), m_Objects.end(),
                                    [object](const auto& held) { return held.get() == object; });
    if (found == m_Objects.end())
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    " does not hold that object");
    if (*found)
        m_ObjectIndex.Remove(**found);
    m_Objects.erase(found);
}

void CArea::RemoveEffect(const CEffect* effect)
{
    const auto found = std::find_if(m_Effects.begin(), m_Effects.end(),
                                    [effect](const auto& held) { return held.get() == effect; });
    if (found == m_Effects.end())
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    " does not hold that effect");
    m_Effects.erase(found);
}

std::shared_ptr<CObject> CArea::CreatePile(double x, double y)
{
    CGame& game = RequireGame("make a pile");
    const CObjectTemplate* definition = RequireModule("make a pile").FindObjectTemplate("pile");
    if (definition == nullptr)
        throw CVARDException(1, "the module has no object definition \"pile\"");
    auto pile = std::make_shared<CObject>(this, game.NewThingId(kThingKindObject), std::string(),
                                          *definition);
    pile->SetPosition(x, y);
    pile->SetFacing(0);
    AddObject(pile);
    return pile;
}

bool CArea::FindSoundAt(double x, double y, std::string& name) const
{
    for (const auto& object : m_Objects)
    {
        if (object->GetSoundName().empty())
            continue;
        const double reach = object->GetSoundRadius();
        if (std::fabs(x - object->GetX()) <= reach && std::fabs(y - object->GetY()) <= reach)
        {
            name = object->GetSoundName();
            return true;
        }
    }
    for (const auto& sound : m_Sounds)
    {
        if (sound->Covers(x, y))
        {
            name = sound->GetName();
            return true;
        }
    }
    return false;
}

const CAreaEntry* CArea::FindEntry(const std::string& name) const
{
    for (const auto& entry : m_Entries)
        if (entry->GetName() == name)
            return entry.get();
    return nullptr;
}

const CAreaExit* CArea::FindExit(const std::string& name) const
{
    for (const auto& exit : m_Exits)
        if (exit->GetName() == name)
            return exit.get();
    return nullptr;
}

// ----------------------------------------------------------- leave and load

void CArea::Reset()
{
    const std::uint32_t now = m_Game != nullptr ? m_Game->GetTick() : 0u;
    for (const auto& actor : m_Actors)
    {
        actor->InterruptOrders();
        actor->AlertEngagedActors(false, now);
    }
    DropLayout();
    m_LastVisitTick = now;
}

void CArea::DropLayout()
{
    // Tiles point at master tiles: the grid goes first.
    m_Tiles.clear();
    ForgetCellKinds();
    m_Width = 0;
    m_Height = 0;
    m_MasterTiles.clear();
    m_Entries.clear();
    m_Exits.clear();
    m_Patches.clear();
}

bool CArea::IsResetDue(std::uint32_t lastVisitTick, std::uint32_t now)
{
    // One game hour away brings the area back to its start.
    constexpr std::uint32_t kResetTicks = 3600u * kTicksPerSecond;
    return lastVisitTick != 0 && now >= lastVisitTick && now - lastVisitTick >= kResetTicks;
}

void CArea::Load(const std::string& previousArea, const CModule& module)
{
    const std::uint32_t now = m_Game != nullptr ? m_Game->GetTick() : 0u;
    const bool reset = IsResetDue(m_LastVisitTick, now);
    ReadFile(previousArea, m_Name, module, kAreaReadLayout, reset);
    ReopenDoors(reset);
    if (!reset)
        return;
    for (const auto& actor : m_Actors)
    {
        const auto modifiers = actor->GetModifiers();
        for (const auto& modifier : modifiers)
            actor->RemoveModifier(modifier.get());
        // Whoever was roused while the party was away has calmed down.
        if (const auto& brain = actor->GetBrain())
            actor->SetAttitude(static_cast<std::uint32_t>(brain->GetAttitude()));
    }
}

std::string CArea::JourneyMessage(std::uint32_t hours)
{
    std::string text = "Your journey takes ";
    if (hours <= 24u)
        return text + std::to_string(hours) + " hours.";
    const std::uint32_t days = hours / 24u;
    const std::uint32_t rest = hours % 24u;
    if (rest == 0u)
        return text + std::to_string(days) + " days.";
    return text + std::to_string(days) + " days and " + std::to_string(rest) + " hours.";
}

} // namespace VARD
