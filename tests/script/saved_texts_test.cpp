// Texts a script or the player chooses survive a save: quest tags and journal
// entries set through the script functions, the main character's name as the
// name page leaves it, and people-journal texts, saved, loaded and compared.

#include "script_test_util.h"
#include "test_util.h"

#include "rules/character_creation.h"
#include "world/journal.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace
{

using ScriptTest::EnteredDemoGame;
using ScriptTest::FailureCode;
using ScriptTest::RunBody;

// A Lua string literal holding exactly these bytes.
std::string LuaLiteral(const std::string& text)
{
    std::string literal = "\"";
    for (const char c : text)
    {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\%03u", static_cast<unsigned char>(c));
        literal += escape;
    }
    return literal + "\"";
}

struct Snapshot
{
    std::map<std::string, std::int32_t> tags;
    std::vector<std::tuple<std::string, std::string, std::uint32_t>> journal;
    std::string name;
    std::map<std::string, std::tuple<std::string, std::string, std::vector<std::string>>> people;
};

Snapshot Take(VARD::CEngine& engine)
{
    const VARD::CGame& game = engine.Game();
    Snapshot snapshot{game.GetQuestTags(), {}, RulesTest::Member(engine).GetName(), {}};
    for (const auto& entry : game.GetJournal())
        snapshot.journal.emplace_back(entry->textName, entry->questName, entry->tick);
    for (const auto& [key, person] : game.GetPeople())
        snapshot.people[key] = {person->displayName, person->text, person->lines};
    return snapshot;
}

// Saves, loads the file back into the engine and returns what came back.
Snapshot SavedAndLoaded(VARD::CEngine& engine)
{
    const std::filesystem::path path = TestUtil::ScratchPath("saved_texts");
    engine.SaveGame(std::nullopt, path.string());
    engine.LoadGame(path.string());
    std::filesystem::remove(path);
    return Take(engine);
}

void ExpectSame(const Snapshot& before, const Snapshot& after)
{
    EXPECT_EQ(after.tags, before.tags);
    EXPECT_EQ(after.journal, before.journal);
    EXPECT_EQ(after.name, before.name);
    EXPECT_EQ(after.people, before.people);
}

} // namespace

TEST(SavedTexts, TagsAndJournalEntriesWithAnyMarksLoadBack)
{
    const auto engine = EnteredDemoGame();
    RunBody(engine.get(), "vard_set_tag( context , 'met \"old\" Hob' ) "
                          "vard_set_tag_value( context , '</questtags>' , -3 ) "
                          "vard_set_tag_value( context , 'a (b) c' , 2 ) "
                          "vard_set_tag( context , '#1' ) "
                          "vard_set_tag( context , '0' ) "
                          "vard_set_tag( context , 'two\\nlines' ) "
                          "vard_journal( context , 'my entry' , 'QUEST' ) "
                          "vard_journal( context , 'no quest' , '' ) "
                          "vard_journal( context , 'quest zero' , '0' )");
    RulesTest::Member(*engine).SetName(VARD::CleanCreatedName("  Old \"Grim\"\tTom "));
    const Snapshot before = Take(*engine);
    ASSERT_EQ(before.tags.count("met \"old\" Hob"), 1u);
    ASSERT_EQ(before.journal.size(), 3u);
    EXPECT_EQ(std::get<0>(before.journal[0]), "my entry");
    EXPECT_EQ(before.name, "Old \"Grim\" Tom");
    ExpectSame(before, SavedAndLoaded(*engine));
}

TEST(SavedTexts, RandomBytesThroughScriptsAndTheNamePageLoadBack)
{
    const auto engine = EnteredDemoGame();
    std::mt19937 generator(54);
    const std::string marks = " \t\n\"'\\()#<>/0";
    const auto text = [&](std::size_t shortest)
    {
        std::string bytes(shortest + generator() % 20, '\0');
        for (char& c : bytes)
            c = generator() % 2 == 0 ? marks[generator() % marks.size()]
                                     : static_cast<char>(generator() % 256);
        return bytes;
    };
    for (int round = 0; round < 8; ++round)
    {
        SCOPED_TRACE("round " + std::to_string(round));
        std::string body;
        for (int tag = 0; tag < 4; ++tag)
            body += "vard_set_tag_value( context , " + LuaLiteral(text(1)) + " , " +
                    std::to_string(static_cast<int>(generator() % 200) - 100) + " ) ";
        for (int entry = 0; entry < 2; ++entry)
            body += "vard_journal( context , " + LuaLiteral(text(1)) + " , " + LuaLiteral(text(0)) +
                    " ) ";
        RunBody(engine.get(), body);
        const std::string name = VARD::CleanCreatedName(text(1));
        RulesTest::Member(*engine).SetName(name.empty() ? "Hero" : name);
        // Each load replaces the game.
        engine->Game().AddPeopleJournalLine(RulesTest::Member(*engine), text(1), text(0), text(0));
        const Snapshot before = Take(*engine);
        ExpectSame(before, SavedAndLoaded(*engine));
    }
}

// The format writes an empty name as "0", which would read back as that
// word: the script is stopped before anything changes.
TEST(SavedTexts, EmptyNamesAreRefusedBeforeAnythingIsKept)
{
    const auto engine = EnteredDemoGame();
    const Snapshot before = Take(*engine);
    for (const char* body :
         {"vard_set_tag( context , '' )", "vard_set_tag_value( context , '' , 4 )",
          "vard_journal( context , '' , 'q' )", "vard_reveal_area( context , '' )"})
    {
        SCOPED_TRACE(body);
        EXPECT_EQ(FailureCode(engine.get(), body), 6);
    }
    const Snapshot after = Take(*engine);
    EXPECT_EQ(after.tags, before.tags);
    EXPECT_EQ(after.journal, before.journal);
    EXPECT_TRUE(engine->Game().GetRevealed().empty());
}
