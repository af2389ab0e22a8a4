#include "world/journal.h"

#include "record_test_util.h"
#include "records_io_test_util.h"
#include "world/module.h"

#include <gtest/gtest.h>

using namespace VARD;
using RecordsTest::WrittenText;
using RecordTest::CodeOf;
using RecordTest::FixturePath;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;

namespace
{

using TagMap = std::map<std::string, std::int32_t>;

// The four saved-game blocks, in the order the saved game keeps them.
struct SavedBlocks
{
    TagMap questTags;
    JournalList journal;
    PeopleJournal people;
    TagMap revealed;
};

SavedBlocks ReadBlocks(VARDCommon::CTagFileReader& reader)
{
    SavedBlocks blocks;
    reader.ReadStartTag("save");
    reader.ReadStartTag("questtags");
    ReadStringIntMap(reader, blocks.questTags);
    reader.ReadEndTag();
    ReadJournal(reader, blocks.journal);
    ReadPeople(reader, blocks.people);
    reader.ReadStartTag("revealed");
    ReadStringIntMap(reader, blocks.revealed);
    reader.ReadEndTag();
    reader.ReadEndTag();
    return blocks;
}

void WriteBlocks(VARDCommon::CTagFileWriter& writer, const SavedBlocks& blocks)
{
    writer.WriteStartTag("save");
    writer.WriteStartTag("questtags");
    WriteStringIntMap(writer, blocks.questTags);
    writer.WriteEndTag();
    WriteJournal(writer, blocks.journal);
    WritePeople(writer, blocks.people);
    writer.WriteStartTag("revealed");
    WriteStringIntMap(writer, blocks.revealed);
    writer.WriteEndTag();
    writer.WriteEndTag();
}

std::shared_ptr<CJournalEntry> Entry(std::string text, std::string quest, std::uint32_t tick)
{
    auto entry = std::make_shared<CJournalEntry>();
    entry->textName = std::move(text);
    entry->questName = std::move(quest);
    entry->tick = tick;
    return entry;
}

} // namespace

TEST(SavedJournalBlocks, FixtureReadsItsValues)
{
    auto reader = FixtureReader("records_saved_blocks.vard");
    const SavedBlocks blocks = ReadBlocks(reader);
    EXPECT_TRUE(reader.IsAtEnd());

    EXPECT_EQ(blocks.questTags, (TagMap{{"0", 5}, {"bridge_tag", 1}, {"cleared", -2}}));
    EXPECT_EQ(blocks.revealed, (TagMap{{"town", 1}}));

    ASSERT_EQ(blocks.journal.size(), 3u);
    EXPECT_EQ(blocks.journal[0]->textName, "intro");
    EXPECT_EQ(blocks.journal[0]->questName, "");
    EXPECT_EQ(blocks.journal[0]->tick, 0u);
    EXPECT_EQ(blocks.journal[1]->textName, "bridge_1");
    EXPECT_EQ(blocks.journal[1]->questName, "bridge_quest");
    EXPECT_EQ(blocks.journal[1]->tick, 4500u);
    // Only the quest name turns "0" back into empty.
    EXPECT_EQ(blocks.journal[2]->textName, "0");
    EXPECT_EQ(blocks.journal[2]->questName, "");
    EXPECT_EQ(blocks.journal[2]->tick, 4294967295u);

    ASSERT_EQ(blocks.people.size(), 2u);
    const CPeopleJournalEntry& nameless = *blocks.people.at("0");
    EXPECT_EQ(nameless.key, "0");
    EXPECT_EQ(nameless.displayName, "Nameless");
    EXPECT_EQ(nameless.text, "");
    EXPECT_TRUE(nameless.lines.empty());
    const CPeopleJournalEntry& smith = *blocks.people.at("smith");
    EXPECT_EQ(smith.displayName, "Old Smith");
    EXPECT_EQ(smith.text, "Makes swords.");
    EXPECT_EQ(smith.lines, (std::vector<std::string>{"He asked for iron.", "He thanked us."}));
}

TEST(SavedJournalBlocks, RoundTripIsByteForByte)
{
    auto reader = FixtureReader("records_saved_blocks.vard");
    const SavedBlocks blocks = ReadBlocks(reader);
    const std::string written =
        WrittenText("records_saved_blocks.out", [&](auto& writer) { WriteBlocks(writer, blocks); });
    EXPECT_EQ(written, RecordsTest::FileText(FixturePath("records_saved_blocks.vard")));
}

TEST(SavedJournalBlocks, EmptyNamesAreWrittenAsZero)
{
    SavedBlocks blocks;
    blocks.questTags[""] = 7;
    blocks.journal.push_back(Entry("", "", 12));
    auto person = std::make_shared<CPeopleJournalEntry>();
    person->displayName = "Someone";
    blocks.people[""] = person;

    const std::string written =
        WrittenText("records_empty_names.out", [&](auto& writer) { WriteBlocks(writer, blocks); });
    EXPECT_EQ(written, "<save>\n"
                       " <questtags>\n"
                       "  (0\n"
                       "  7)\n"
                       " </questtags>\n"
                       " <journal>\n"
                       "  0\n"
                       "  0\n"
                       "  12\n"
                       " </journal>\n"
                       " <people>\n"
                       "  <entry>\n"
                       "   0\n"
                       "   \"Someone\"\n"
                       "   \"\"\n"
                       "  </entry>\n"
                       " </people>\n"
                       " <revealed>\n"
                       " </revealed>\n"
                       "</save>\n");

    // Read back, the empty tag and text names come back as the word "0".
    auto reader = ReaderOf(written);
    const SavedBlocks back = ReadBlocks(reader);
    EXPECT_EQ(back.questTags, (TagMap{{"0", 7}}));
    ASSERT_EQ(back.journal.size(), 1u);
    EXPECT_EQ(back.journal[0]->textName, "0");
    EXPECT_EQ(back.journal[0]->questName, "");
    ASSERT_EQ(back.people.count("0"), 1u);
    EXPECT_EQ(back.people.at("0")->key, "0");
}

TEST(SavedJournalBlocks, TagBlockKeepsEntriesItDoesNotName)
{
    TagMap tags{{"kept", 4}, {"changed", 1}};
    auto reader = ReaderOf("<questtags> (changed 9) (added -1) </questtags>");
    reader.ReadStartTag("questtags");
    ReadStringIntMap(reader, tags);
    reader.ReadEndTag();
    EXPECT_EQ(tags, (TagMap{{"added", -1}, {"changed", 9}, {"kept", 4}}));
}

TEST(SavedJournalBlocks, BadTagEntriesAreCode1)
{
    for (const char* text : {"<questtags> changed 9 </questtags>", "<questtags> 0 </questtags>",
                             "<questtags> (a 1)", "<questtags> (a b) </questtags>"})
    {
        SCOPED_TRACE(text);
        TagMap tags;
        auto reader = ReaderOf(text);
        reader.ReadStartTag("questtags");
        EXPECT_EQ(CodeOf([&] { ReadStringIntMap(reader, tags); }), 1);
    }
}

TEST(SavedJournalBlocks, ReadingJournalReplacesTheList)
{
    JournalList journal{Entry("old", "", 1)};
    auto reader = ReaderOf("<journal> new q 5 </journal>");
    ReadJournal(reader, journal);
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0]->textName, "new");
    EXPECT_EQ(journal[0]->questName, "q");
}

TEST(SavedJournalBlocks, TruncatedJournalKeepsTheEntriesRead)
{
    JournalList journal{Entry("old", "", 1)};
    auto reader = ReaderOf("<journal> first 0 3 second 0");
    EXPECT_EQ(CodeOf([&] { ReadJournal(reader, journal); }), 1);
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0]->textName, "first");
}

TEST(SavedJournalBlocks, JournalRunningIntoAnotherBlockIsCode1)
{
    JournalList journal;
    auto reader = ReaderOf("<journal> a 0 3 <people> </people>");
    EXPECT_EQ(CodeOf([&] { ReadJournal(reader, journal); }), 1);
}

TEST(SavedJournalBlocks, ReadingPeopleReplacesTheMap)
{
    PeopleJournal people;
    AddPeopleJournalLine(people, "old", "Old", "t", "l");
    auto reader = ReaderOf("<people> <entry> new \"New One\" \"Text\" </entry> </people>");
    ReadPeople(reader, people);
    ASSERT_EQ(people.size(), 1u);
    EXPECT_EQ(people.at("new")->displayName, "New One");
    EXPECT_TRUE(people.at("new")->lines.empty());
}

TEST(SavedJournalBlocks, BadPeopleBlocksAreCode1)
{
    for (const char* text :
         {"<people> new \"N\" \"T\" </people>", "<people> <entry> new N \"T\" </entry> </people>",
          "<people> <entry> new \"N\" \"T\" line </entry> </people>",
          "<people> <entry> new \"N\" \"T\" \"line\""})
    {
        SCOPED_TRACE(text);
        PeopleJournal people;
        auto reader = ReaderOf(text);
        EXPECT_EQ(CodeOf([&] { ReadPeople(reader, people); }), 1);
    }
}

TEST(Journal, AddEntryOncePerQuestAndText)
{
    JournalList journal;
    EXPECT_TRUE(AddJournalEntry(journal, "q", "t1", 10));
    EXPECT_FALSE(AddJournalEntry(journal, "q", "t1", 20));
    EXPECT_TRUE(AddJournalEntry(journal, "", "t1", 30));
    EXPECT_TRUE(AddJournalEntry(journal, "q", "t2", 40));
    ASSERT_EQ(journal.size(), 3u);
    EXPECT_EQ(journal[0]->tick, 10u);
    EXPECT_EQ(journal[1]->questName, "");
    EXPECT_EQ(journal[2]->textName, "t2");
}

TEST(Journal, PeopleLineCreatesOnceThenUpdatesText)
{
    PeopleJournal people;
    AddPeopleJournalLine(people, "smith", "Old Smith", "first text", "line one");
    CPeopleJournalEntry& entry =
        AddPeopleJournalLine(people, "smith", "Other Name", "second text", "line two");
    ASSERT_EQ(people.size(), 1u);
    EXPECT_EQ(&entry, people.at("smith").get());
    EXPECT_EQ(entry.key, "smith");
    EXPECT_EQ(entry.displayName, "Old Smith");
    EXPECT_EQ(entry.text, "second text");
    EXPECT_EQ(entry.lines, (std::vector<std::string>{"line one", "line two"}));
}

// A person keeps the newest lines said to or by them: no more than the
// count, no more than the bytes unless the newest line alone passes them.
// What is read from a saved game is held to the same bounds.
TEST(Journal, APersonKeepsTheNewestLinesWithinTheBounds)
{
    const std::size_t bytes = kPeopleJournalBytes;
    const struct
    {
        const char* what;
        std::vector<std::size_t> lengths; // of the lines said, oldest first
        std::size_t kept;                 // the newest kept
    } cases[] = {
        {"within both", std::vector<std::size_t>(kPeopleJournalLines, 10), kPeopleJournalLines},
        {"one line too many", std::vector<std::size_t>(kPeopleJournalLines + 1, 10),
         kPeopleJournalLines},
        {"bytes to the last one", {bytes / 2, bytes / 4, bytes / 4}, 3},
        {"one byte too many", {bytes / 2 + 1, bytes / 4, bytes / 4}, 2},
        {"a newest line longer than the bytes", {10, bytes + 1}, 1},
        {"a long line before short ones", {bytes, 10, 10}, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::vector<std::string> said;
        for (std::size_t i = 0; i < c.lengths.size(); ++i)
        {
            std::string line = std::to_string(i) + ":";
            said.push_back(line + std::string(c.lengths[i] - line.size(), 'x'));
        }
        const std::vector<std::string> newest(said.end() - static_cast<std::ptrdiff_t>(c.kept),
                                              said.end());

        PeopleJournal people;
        for (const auto& line : said)
            AddPeopleJournalLine(people, "smith", "Smith", "text", line);
        EXPECT_EQ(people.at("smith")->lines, newest);

        // A saved game written before the bounds holds every line.
        auto whole = std::make_shared<CPeopleJournalEntry>();
        whole->key = "smith";
        whole->lines = said;
        const std::string written =
            WrittenText("records_people_bounds.out",
                        [&](auto& writer) {
                            WritePeople(writer, PeopleJournal{{"smith", whole}});
                        });
        PeopleJournal read;
        auto reader = ReaderOf(written);
        ReadPeople(reader, read);
        EXPECT_EQ(read.at("smith")->lines, newest);
    }
}

TEST(JournalFile, TextsByNameLaterWins)
{
    CModule module;
    auto reader = FixtureReader("records_journal.vard");
    ReadJournalFile(reader, module);
    EXPECT_TRUE(reader.IsAtEnd());
    EXPECT_EQ(module.GetJournal(),
              (std::map<std::string, std::string>{{"bridge_1", "The bridge is broken."},
                                                  {"intro", "The party sets out at dawn."}}));
}

TEST(JournalFile, BadFilesAreCode1)
{
    for (const char* text : {"<journal> intro unquoted </journal>", "<journal> intro \"open",
                             "<journal> intro \"t\" <quests> </quests> </journal>",
                             "<journal> intro \"t\"", "<quests> </quests>"})
    {
        SCOPED_TRACE(text);
        CModule module;
        auto reader = ReaderOf(text);
        EXPECT_EQ(CodeOf([&] { ReadJournalFile(reader, module); }), 1);
    }
}
