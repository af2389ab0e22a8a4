// Memory the host or a game function cannot get during a run stops the run
// with code 6, and the game goes on. The allocations are made to fail here
// by replacing operator new, which is why this file is an executable of its
// own.

#include "script_test_util.h"

#include "world/actor.h"
#include "world/game.h"

#include <cstdlib>
#include <new>

namespace
{

// Allocations of at least this many bytes fail while it is above 0.
std::size_t g_FailFrom = 0;

} // namespace

// The library's other forms of new and delete come down to these.
void* operator new(std::size_t size)
{
    void* block = g_FailFrom != 0 && size >= g_FailFrom ? nullptr : std::malloc(size + 1);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace
{

TEST(ScriptOutOfMemory, MemoryThatCannotBeHadStopsTheRunAndPlayGoesOn)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    VARD::CActor& hero = RulesTest::Member(*engine);
    hero.SetName(std::string(100'000, 'n'));
    VARD::CScriptContext context;
    context.actor = &hero;
    const std::string outOfMemory = "code 6: script stopped: out of memory";
    const struct
    {
        std::string body;
        std::size_t failFrom;
        std::string failure;
    } cases[] = {
        // A game function's own copy of its text, even under a pcall: the
        // failure halts the run, and the host stops it once its state is
        // closed.
        {"pcall(vard_message, context, string.rep('x', 60000)) return 1", 50'000, outOfMemory},
        // A line said under the hero's long name.
        {"pcall(vard_shout, context, 'actor', 'x') return 1", 50'000, outOfMemory},
        // The host's, of a failed run's message.
        {"error(string.rep('x', 60000))", 50'000, outOfMemory},
        // The expanded names are weighed before anything that large is asked
        // for: the stop gives the budget's reason, not the memory's.
        {"vard_dialog_box(context, 't', string.rep('MAINNAME ', 7000))", 4u << 20,
         "code 6: script stopped: more than 1 MiB handed to the game with names expanded"},
    };
    for (const auto& c : cases)
    {
        std::string failure;
        g_FailFrom = c.failFrom;
        try
        {
            ScriptTest::RunBody(engine.get(), c.body, context);
        }
        catch (const CVARDException& error)
        {
            failure = error.Describe();
        }
        g_FailFrom = 0;
        EXPECT_EQ(failure, c.failure) << c.body;
        EXPECT_TRUE(RulesTest::DrainMessages(engine->Game()).empty()) << c.body;
        EXPECT_EQ(ScriptTest::RunBody(engine.get(), "vard_message(context, 'still here') return 7"),
                  7)
            << c.body;
        EXPECT_EQ(RulesTest::DrainMessages(engine->Game()),
                  std::vector<std::string>{"18 still here"})
            << c.body;
    }
}

} // namespace
