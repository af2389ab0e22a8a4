#pragma once

#include "common/exception.h"
#include "common/tag_file.h"
#include "test_util.h"
#include "world/actor.h"
#include "world/actor_template.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

// Helpers of the actor tests: the small module of actor_module.vard, actors
// read from text, and writing an actor to text.
namespace ActorTest
{

inline std::filesystem::path FixturePath(const std::string& name)
{
    return TestUtil::FixturePath("world", name);
}

using TestUtil::FileText;

inline std::shared_ptr<VARD::CModule> LoadModule()
{
    auto module = std::make_shared<VARD::CModule>();
    VARDCommon::CTagFileReader reader(FixturePath("actor_module.vard"));
    reader.ReadStartTag("spells");
    while (reader.IsStartTag("spell"))
    {
        auto spell = std::make_shared<VARD::CSpell>(reader);
        module->Spells()[spell->GetKey()] = spell;
    }
    reader.ReadEndTag();
    VARD::ReadItemsFile(reader, *module);
    VARD::ReadFactionsFile(reader, *module);
    VARD::ReadMonstersFile(reader, *module);
    return module;
}

inline std::unique_ptr<VARD::CActor> ReadActor(const std::string& text, const VARD::CModule& module,
                                               VARD::CGame& game)
{
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(text), "actor text");
    return std::make_unique<VARD::CActor>(reader, module, game);
}

inline std::string WriteActor(const VARD::CActor& actor)
{
    return TestUtil::WrittenText([&](VARDCommon::CTagFileWriter& writer) { actor.Write(writer); });
}

// The text with one occurrence of a piece replaced; the piece must occur
// exactly once, so that a test never edits the wrong line.
inline std::string ReplaceOnce(const std::string& text, const std::string& from,
                               const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "\"" << from << "\" is not in the text";
    if (at == std::string::npos)
        return text;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << "\"" << from << "\" occurs twice";
    std::string result = text;
    result.replace(at, from.size(), to);
    return result;
}

using TestUtil::CodeOf;

inline std::shared_ptr<VARD::CItem> MakeItem(const VARD::CModule& module, VARD::CGame& game,
                                             const std::string& name, std::uint32_t count = 1)
{
    return module.CreateItem(name, count, game.NewThingId(VARD::kThingKindItem), 0);
}

// A level-1 fighter with every attribute 10, alive and idle.
inline std::shared_ptr<VARD::CActor> MakeFighter(VARD::CGame& game, const std::string& name)
{
    auto actor = std::make_shared<VARD::CActor>(game.NewThingId(VARD::kThingKindActor));
    actor->SetName(name);
    actor->SetLevel(1);
    actor->SetClass(0);
    for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
        actor->SetBaseAttribute(attribute, 10);
    actor->SetActivityState(VARD::kActivityIdle);
    actor->SetAttitude(VARD::kAttitudeNeutral);
    return actor;
}

// The texts of the message events on the game, in order, leaving them there.
inline std::vector<std::string> MessageTexts(const VARD::CGame& game, std::int32_t kind)
{
    std::vector<std::string> texts;
    for (const auto& event : game.GetEvents())
        if (const auto* message = dynamic_cast<const VARD::CMessageEvent*>(event.get()))
            if (message->GetKind() == kind)
                texts.push_back(message->GetText());
    return texts;
}

} // namespace ActorTest
