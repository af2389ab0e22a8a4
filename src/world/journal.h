#pragma once

#include "common/tag_file_fwd.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CModule;

// One line of the party's journal: a module text, the quest it belongs to
// and when it was added.
struct CJournalEntry
{
    std::string textName;  // key into the module's journal texts
    std::string questName; // empty = none
    std::uint32_t tick = 0;
};

// A person the party has met, with what was learnt from them.
struct CPeopleJournalEntry
{
    std::string key;
    std::string displayName;
    std::string text; // replaced at each addition
    std::vector<std::string> lines;
};

// Each person keeps this many of the lines said to or by them, the newest,
// and no more text than this (the newest line always stays), as the message
// log does: a heartbeat's chatter would otherwise grow the entry, and every
// saved game, without end.
constexpr std::size_t kPeopleJournalLines = 100;
constexpr std::size_t kPeopleJournalBytes = 64u * 1024u;

using JournalList = std::vector<std::shared_ptr<CJournalEntry>>;
using PeopleJournal = std::map<std::string, std::shared_ptr<CPeopleJournalEntry>>;

// The entry of that quest and text name, or null.
const CJournalEntry* FindJournalEntry(const JournalList& journal, const std::string& questName,
                                      const std::string& textName);

// Appends an entry unless one with the same quest and text name is already
// there; true when it was appended.
bool AddJournalEntry(JournalList& journal, const std::string& questName,
                     const std::string& textName, std::uint32_t tick);

// Finds the person's entry, or creates it with the key and display name;
// then sets its text and appends the line, dropping the oldest lines past
// the bounds above.
CPeopleJournalEntry& AddPeopleJournalLine(PeopleJournal& people, const std::string& key,
                                          const std::string& displayName, const std::string& text,
                                          const std::string& line);

// The entries of a name-to-value map, each a pair of name and signed value,
// in name order. The enclosing tags belong to the caller.
void WriteStringIntMap(VARDCommon::CTagFileWriter& writer,
                       const std::map<std::string, std::int32_t>& map);
// Reads pairs up to the enclosing end tag, which is left unread. Entries are
// assigned, so names the block does not hold keep their values. Code 1 for
// an entry that is not a pair.
void ReadStringIntMap(VARDCommon::CTagFileReader& reader, std::map<std::string, std::int32_t>& map);

// <journal> text name, quest name, tick per entry </journal>. Reading empties
// the list first; a read failure leaves the entries read so far.
void WriteJournal(VARDCommon::CTagFileWriter& writer, const JournalList& journal);
void ReadJournal(VARDCommon::CTagFileReader& reader, JournalList& journal);

// <people> <entry> key, quoted display name, quoted text, quoted lines
// </entry>... </people>. Reading empties the map first, and keeps of each
// entry the lines the bounds above allow.
void WritePeople(VARDCommon::CTagFileWriter& writer, const PeopleJournal& people);
void ReadPeople(VARDCommon::CTagFileReader& reader, PeopleJournal& people);

// "journal.vard": <journal> pairs of text name and quoted text </journal>; a
// repeated name replaces the earlier text.
void ReadJournalFile(VARDCommon::CTagFileReader& reader, CModule& module);

} // namespace VARD
