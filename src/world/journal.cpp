#include "world/journal.h"

#include "common/shared_helpers.h"
#include "common/tag_file.h"
#include "world/module.h"

#include <cstddef>
#include <utility>

namespace VARD
{

namespace
{

// Inside a list that runs to its end tag, any other tag means the list was
// never closed.
void RequireListItem(VARDCommon::CTagFileReader& reader, const char* what)
{
    if (reader.IsAtEnd() || reader.IsAnyStartTag())
        reader.Fail(1, std::string("expected ") + what);
}

void AppendPersonLine(CPeopleJournalEntry& entry, std::string line)
{
    std::size_t bytes = 0;
    for (const std::string& kept : entry.lines)
        bytes += kept.size();
    AppendNewest(entry.lines, bytes, std::move(line), kPeopleJournalLines, kPeopleJournalBytes);
}

} // namespace

const CJournalEntry* FindJournalEntry(const JournalList& journal, const std::string& questName,
                                      const std::string& textName)
{
    for (const auto& entry : journal)
        if (entry->questName == questName && entry->textName == textName)
            return entry.get();
    return nullptr;
}

bool AddJournalEntry(JournalList& journal, const std::string& questName,
                     const std::string& textName, std::uint32_t tick)
{
    if (FindJournalEntry(journal, questName, textName) != nullptr)
        return false;
    auto entry = std::make_shared<CJournalEntry>();
    entry->textName = textName;
    entry->questName = questName;
    entry->tick = tick;
    journal.push_back(std::move(entry));
    return true;
}

CPeopleJournalEntry& AddPeopleJournalLine(PeopleJournal& people, const std::string& key,
                                          const std::string& displayName, const std::string& text,
                                          const std::string& line)
{
    std::shared_ptr<CPeopleJournalEntry>& entry = people[key];
    if (!entry)
    {
        entry = std::make_shared<CPeopleJournalEntry>();
        entry->key = key;
        entry->displayName = displayName;
    }
    entry->text = text;
    AppendPersonLine(*entry, line);
    return *entry;
}

void WriteStringIntMap(VARDCommon::CTagFileWriter& writer,
                       const std::map<std::string, std::int32_t>& map)
{
    for (const auto& [name, value] : map)
    {
        writer.WriteTupleStart(2);
        writer.WriteString(name);
        writer.WriteInt(value);
    }
}

void ReadStringIntMap(VARDCommon::CTagFileReader& reader, std::map<std::string, std::int32_t>& map)
{
    while (!reader.IsAtEndTag())
    {
        if (!reader.ReadTupleStart(2, false))
            reader.Fail(1, "expected a pair of name and value");
        std::string name = reader.ReadWord();
        map[name] = reader.ReadInt();
    }
}

void WriteJournal(VARDCommon::CTagFileWriter& writer, const JournalList& journal)
{
    writer.WriteStartTag("journal");
    for (const auto& entry : journal)
    {
        writer.WriteString(entry->textName);
        // Only here does "0" mean none: a quest of that name is escaped.
        writer.WriteText(entry->questName);
        writer.WriteUnsigned(entry->tick);
    }
    writer.WriteEndTag();
}

void ReadJournal(VARDCommon::CTagFileReader& reader, JournalList& journal)
{
    reader.ReadStartTag("journal");
    journal.clear();
    while (!reader.IsAtEndTag())
    {
        RequireListItem(reader, "a journal entry or </journal>");
        auto entry = std::make_shared<CJournalEntry>();
        entry->textName = reader.ReadWord();
        entry->questName = reader.ReadString();
        entry->tick = reader.ReadUnsigned();
        journal.push_back(std::move(entry));
    }
    reader.ReadEndTag();
}

void WritePeople(VARDCommon::CTagFileWriter& writer, const PeopleJournal& people)
{
    writer.WriteStartTag("people");
    for (const auto& [key, entry] : people)
    {
        writer.WriteStartTag("entry");
        writer.WriteString(entry->key);
        writer.WriteQuoted(entry->displayName);
        writer.WriteQuoted(entry->text);
        for (const std::string& line : entry->lines)
            writer.WriteQuoted(line);
        writer.WriteEndTag();
    }
    writer.WriteEndTag();
}

void ReadPeople(VARDCommon::CTagFileReader& reader, PeopleJournal& people)
{
    reader.ReadStartTag("people");
    people.clear();
    while (!reader.IsAtEndTag())
    {
        reader.ReadStartTag("entry");
        auto entry = std::make_shared<CPeopleJournalEntry>();
        entry->key = reader.ReadWord();
        entry->displayName = reader.ReadQuoted();
        entry->text = reader.ReadQuoted();
        while (!reader.IsAtEndTag())
            AppendPersonLine(*entry, reader.ReadQuoted());
        reader.ReadEndTag();
        people[entry->key] = std::move(entry);
    }
    reader.ReadEndTag();
}

void ReadJournalFile(VARDCommon::CTagFileReader& reader, CModule& module)
{
    reader.ReadStartTag("journal");
    while (!reader.IsAtEndTag())
    {
        RequireListItem(reader, "a journal text name or </journal>");
        std::string name = reader.ReadWord();
        module.Journal()[name] = reader.ReadQuoted();
    }
    reader.ReadEndTag();
}

} // namespace VARD
