#include "world/game.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/quest.h"
#include "world/rule_tables.h"
#include "world/talk_state.h"
#include "world/world_map.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <typeinfo>

namespace VARD
{

CGame::CGame() = default;
CGame::~CGame() = default;

void CGame::Reset()
{
    m_State = kGameDestinationKnown;
    m_TravelArea.clear();
    m_TravelEntry.clear();
    m_ResurrectionArea.clear();
    m_ResurrectionEntry.clear();
    m_Tick = 0;
    m_Gold = 0;
    m_NextAmbienceTick = 0;
    m_CombatFlag = 0;
}

std::uint32_t CGame::NewThingId(std::uint32_t kind)
{
    const std::uint32_t number = m_NextThingNumber++;
    if (kind >= 256)
        throw CVARDException(2, "no thing kind " + std::to_string(kind));
    if (number > 0xFFFFFFu)
        throw CVARDException(2, "the game has run out of thing numbers");
    return (kind << 24) + number;
}

void CGame::SetStartDate(std::int32_t year, std::int32_t day, std::int32_t hour)
{
    m_StartYear = year;
    m_StartDay = day;
    m_StartHour = hour;
}

namespace
{

// Rounds toward minus infinity, so that a start hour or day below 0 still
// gives an hour, day and month inside their ranges.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

std::int32_t FloorMod(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(a - FloorDiv(a, b) * b);
}

} // namespace

CGameTime CGame::SplitTime(std::uint32_t ticks) const
{
    const auto s = static_cast<std::int64_t>(ticks / 30.0);
    CGameTime time;
    time.second = FloorMod(s, 60);
    time.minute = FloorMod(s / 60, 60);
    const std::int64_t h = m_StartHour + s / 3600;
    time.hour = FloorMod(h, 24);
    const std::int64_t d = m_StartDay + FloorDiv(h, 24);
    time.day = FloorMod(d, 30) + 1;
    time.month = FloorMod(FloorDiv(d, 30), 12);
    time.year = m_StartYear + FloorDiv(d, 360);
    return time;
}

std::string CGame::FormatDateTime(std::uint32_t ticks) const
{
    const CGameTime time = SplitTime(ticks);
    std::string text = GetMonthName(time.month) + " " + std::to_string(time.day) + ", " +
                       std::to_string(time.year) + " ";
    const std::string minutes = (time.minute < 10 ? "0" : "") + std::to_string(time.minute);
    if (time.hour == 0)
        text += "12:" + minutes + "am";
    else if (time.hour < 12)
        text += std::to_string(time.hour) + ":" + minutes + "am";
    else if (time.hour == 12)
        text += "12:" + minutes + "pm";
    else
        text += std::to_string(time.hour - 12) + ":" + minutes + "pm";
    return text;
}

void CGame::SetKeepBudget(CKeepBudget* budget)
{
    m_KeepBudget = budget;
    m_KeptStateBytes.reset();
}

namespace
{

// A record of the kept state weighs its upkeep and every text it holds.
template <typename... Texts> std::size_t RecordWeight(const Texts&... texts)
{
    return kKeptRecordBytes + (texts.size() + ...);
}

} // namespace

std::size_t CGame::WeighKeptState() const
{
    std::size_t bytes = 0;
    for (const auto& [name, value] : m_QuestTags)
        bytes += RecordWeight(name);
    for (const auto& entry : m_Journal)
        bytes += RecordWeight(entry->questName, entry->textName);
    for (const auto& [name, value] : m_Revealed)
        bytes += RecordWeight(name);
    for (const auto& [key, entry] : m_People)
        bytes += RecordWeight(key, entry->displayName, entry->text);
    return bytes;
}

std::size_t CGame::NewTagBytes(const std::string& tag) const
{
    return m_QuestTags.count(tag) != 0 ? 0 : RecordWeight(tag);
}

std::size_t CGame::NewJournalBytes(const std::string& questName, const std::string& textName) const
{
    return FindJournalEntry(m_Journal, questName, textName) != nullptr
               ? 0
               : RecordWeight(questName, textName);
}

std::size_t CGame::NewPlaceBytes(const std::string& name) const
{
    return m_Revealed.count(name) != 0 ? 0 : RecordWeight(name);
}

std::size_t CGame::NewPersonBytes(const CTalkTarget& person, const std::string& key,
                                  const std::string& source) const
{
    return m_People.count(key) != 0 ? 0 : RecordWeight(key, person.GetTalkName(), source);
}

std::size_t& CGame::KeptStateBytes()
{
    // Weighed once a run, when it first adds to the state: most add nothing.
    if (!m_KeptStateBytes)
        m_KeptStateBytes = WeighKeptState();
    return *m_KeptStateBytes;
}

bool CGame::StateFits(std::size_t bytes)
{
    const std::size_t kept = KeptStateBytes();
    return kept <= kKeptStateBytes && bytes <= kKeptStateBytes - kept;
}

void CGame::EnsureStateRoom(std::size_t bytes)
{
    if (m_KeepBudget == nullptr || bytes == 0)
        return;
    if (!StateFits(bytes))
        m_KeepBudget->Stop(kKeptStateFullReason);
    if (bytes > m_KeepBudget->Room())
        m_KeepBudget->Stop();
}

void CGame::KeepState(std::size_t bytes)
{
    if (m_KeepBudget == nullptr || bytes == 0)
        return;
    if (!StateFits(bytes))
        m_KeepBudget->StopAfterCall(kKeptStateFullReason);
    PayKept(bytes);
    KeptStateBytes() += bytes;
}

std::int32_t CGame::GetQuestTag(const std::string& tag) const
{
    const auto found = m_QuestTags.find(tag);
    return found == m_QuestTags.end() ? 0 : found->second;
}

void CGame::SetQuestTag(const std::string& tag, std::int32_t value)
{
    // A new value for a tag already there keeps nothing new.
    KeepState(NewTagBytes(tag));
    m_QuestTags[tag] = value;
}

void CGame::UpdateJournal(const std::string& questName, const std::string& textName)
{
    const std::size_t bytes = NewJournalBytes(questName, textName);
    if (bytes == 0)
        return;
    KeepState(bytes);
    AddJournalEntry(m_Journal, questName, textName, m_Tick);
    AddMessage(kMessageInfo, "Your Journal has been updated.");
}

void CGame::AddGold(std::int64_t amount)
{
    const std::int64_t gold = std::clamp<std::int64_t>(std::int64_t(m_Gold) + amount, 0,
                                                       std::numeric_limits<std::int32_t>::max());
    m_Gold = static_cast<std::int32_t>(gold);
}

void CGame::AddPeopleJournalLine(const CTalkTarget& person, const std::string& key,
                                 const std::string& source, const std::string& line)
{
    const auto found = m_People.find(key);
    if (found == m_People.end())
        KeepState(NewPersonBytes(person, key, source));
    else if (found->second->text != source)
    {
        // The entry's text is replaced, and the state weighs the new one.
        PayKept(source.size());
        if (m_KeptStateBytes)
            *m_KeptStateBytes += source.size() - found->second->text.size();
    }
    PayKept(kKeptRecordBytes + line.size());
    VARD::AddPeopleJournalLine(m_People, key, person.GetTalkName(), source, line);
}

std::shared_ptr<CActor> CGame::FindSharedActor(const CActor* actor) const
{
    for (const auto& held : m_NonLocated)
    {
        if (held.get() == actor)
            return held;
    }
    throw CVARDException(2, "the actor is not held by the game");
}

void CGame::AddNonLocated(const std::shared_ptr<CActor>& actor)
{
    if (std::find(m_NonLocated.begin(), m_NonLocated.end(), actor) == m_NonLocated.end())
        m_NonLocated.push_back(actor);
}

void CGame::LoadWorldMap(const std::string& name, VARDCommon::CDataFileFactory& factory)
{
    auto& cached = m_WorldMaps[name];
    if (!cached)
    {
        try
        {
            cached = ReadWorldMapFile(factory, name);
        }
        catch (...)
        {
            m_WorldMaps.erase(name);
            throw;
        }
    }
    m_CurrentWorldMap = cached.get();
    for (const auto& place : m_CurrentWorldMap->GetAreas())
    {
        if (!place->GetFlag() && IsQuestTagSet(m_Revealed, place->GetName()))
            place->SetFlag(true);
    }
}

void CGame::RevealArea(const std::string& name)
{
    KeepState(NewPlaceBytes(name));
    m_Revealed[name] = 1;
    AddMessage(kMessageInfo, "A new location has been added to your map.");
}

void CGame::AddMessage(std::int32_t kind, const std::string& text)
{
    // A line the run cannot pay for goes unshown; what made it goes on.
    if (Pay(kKeptRecordBytes + text.size()))
        QueueMessage(std::make_shared<CMessageEvent>(kind, text));
}

void CGame::PostEvent(std::shared_ptr<CEvent> event)
{
    if (!Pay(kKeptRecordBytes + event->KeptBytes()) && event->IsShownText())
        return;
    if (typeid(*event) == typeid(CMessageEvent))
        QueueMessage(std::static_pointer_cast<CMessageEvent>(std::move(event)));
    else
        m_Events.push_back(std::move(event));
}

void CGame::AddActorInfo(std::int32_t kind, std::uint32_t actorId)
{
    PayKept(kKeptRecordBytes);
    m_Events.push_back(std::make_shared<CActorInfoEvent>(kind, actorId));
}

void CGame::QueueMessage(std::shared_ptr<CMessageEvent> message)
{
    m_QueuedMessageBytes += message->KeptBytes();
    m_Events.push_back(std::move(message));
    m_QueuedMessages.push_back(std::prev(m_Events.end()));
    while (m_QueuedMessages.size() > kMessageLogLines ||
           (m_QueuedMessageBytes > kMessageLogBytes && m_QueuedMessages.size() > 1))
    {
        const auto oldest = m_QueuedMessages.front();
        m_QueuedMessageBytes -= (*oldest)->KeptBytes();
        m_QueuedMessages.pop_front();
        m_Events.erase(oldest);
    }
}

std::shared_ptr<CEvent> CGame::PopEvent()
{
    if (m_Events.empty())
        return nullptr;
    if (!m_QueuedMessages.empty() && m_QueuedMessages.front() == m_Events.begin())
    {
        m_QueuedMessageBytes -= m_Events.front()->KeptBytes();
        m_QueuedMessages.pop_front();
    }
    auto event = std::move(m_Events.front());
    m_Events.pop_front();
    return event;
}

} // namespace VARD
