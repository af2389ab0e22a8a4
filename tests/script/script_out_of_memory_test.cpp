// Memory the host or a game function cannot get during a run stops the run
// with code 6, and the game goes on. The allocations are made to fail here
// by replacing operator new, which is why this file is an executable of its
// own.

#include "script_test_util.h"

#include "script/script_run.h"
#include "world/actor.h"
#include "world/event.h"
#include "world/game.h"
#include "world/module.h"

#include <cstdlib>
#include <new>
#include <typeinfo>

namespace
{

// Allocations of at least this many bytes fail while it is above 0.
std::size_t g_FailFrom = 0;

class CFailingAllocations
{
public:
    explicit CFailingAllocations(std::size_t from) { g_FailFrom = from; }
    ~CFailingAllocations() { g_FailFrom = 0; }
    CFailingAllocations(const CFailingAllocations&) = delete;
    CFailingAllocations& operator=(const CFailingAllocations&) = delete;
};

} // namespace

void* operator new(std::size_t size)
{
    if (g_FailFrom != 0 && size >= g_FailFrom)
        throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_FailFrom != 0 && size >= g_FailFrom)
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

namespace
{

// The failure a run throws as "code N: detail"; "none" when it throws none,
// and the kind of anything else it throws.
std::string RunFailure(VARD::CEngine& engine, const std::string& body,
                       VARD::CScriptContext& context)
{
    try
    {
        ScriptTest::RunBody(&engine, body, context);
    }
    catch (const CVARDException& error)
    {
        return error.Describe();
    }
    catch (const std::exception& error)
    {
        return std::string("escaped: ") + typeid(error).name();
    }
    return "none";
}

TEST(ScriptOutOfMemory, MemoryThatCannotBeHadStopsTheRunAndPlayGoesOn)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    VARD::CActor& hero = RulesTest::Member(*engine);
    hero.SetName(std::string(100'000, 'n'));
    VARD::CScriptContext context;
    context.actor = &hero;
    constexpr std::size_t kFailFrom = 4u * 1024u * 1024u;
    const std::string names = "string.rep('MAINNAME ', 7000)";
    const std::string outOfMemory = "code 6: script stopped: out of memory";
    const struct
    {
        std::string body;
        std::size_t failFrom;
        std::string failure;
    } cases[] = {
        // A game function's own copy of its text, even under a pcall.
        {"pcall(vard_message, context, string.rep('x', 60000)) return 1", 50'000, outOfMemory},
        // The host's, of a failed run's message.
        {"error(string.rep('x', 60000))", 50'000, outOfMemory},
        // The expanded names are weighed before anything that large is asked
        // for: the stop gives the budget's reason, not the memory's.
        {"vard_dialog_box(context, 't', " + names + ")", kFailFrom,
         "code 6: script stopped: more than 1 MiB handed to the game with names expanded"},
    };
    for (const auto& c : cases)
    {
        {
            const CFailingAllocations failing(c.failFrom);
            EXPECT_EQ(RunFailure(*engine, c.body, context), c.failure) << c.body;
        }
        EXPECT_TRUE(RulesTest::DrainMessages(engine->Game()).empty()) << c.body;
        EXPECT_NE(engine->Game().GetState(), VARD::kGameWon) << c.body;
        EXPECT_EQ(ScriptTest::RunBody(engine.get(), "vard_message(context, 'still here') return 7"),
                  7)
            << c.body;
        EXPECT_EQ(RulesTest::DrainMessages(engine->Game()),
                  std::vector<std::string>{"18 still here"})
            << c.body;
    }
}

} // namespace
