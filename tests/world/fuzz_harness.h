#pragma once

// What the world fuzz targets do with one input. The regression tests replay
// the inputs the fuzzers found through the same functions, so a case read
// here fails (or loads) exactly as it did under the fuzzer.

#include "common/data_file.h"
#include "common/exception.h"
#include "common/random.h"
#include "common/tag_file.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/journal.h"
#include "world/module.h"
#include "world/world_map.h"
#include "world/world_object.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace FuzzHarness
{

// Module root files held in memory: no disk traffic per input, and a file can
// be swapped between runs.
class CMemoryDataFileFactory : public VARDCommon::CDataFileFactory
{
public:
    void Put(const std::string& name, std::string bytes) { m_Files[name] = std::move(bytes); }

    std::shared_ptr<std::istream> OpenStream(std::uint32_t kind, std::uint32_t subKind,
                                             const std::string& name) override
    {
        const std::string* bytes = Find(kind, subKind, name);
        return std::make_shared<std::istringstream>(bytes ? *bytes : std::string());
    }

    std::shared_ptr<std::vector<std::uint8_t>> ReadAll(std::uint32_t kind, std::uint32_t subKind,
                                                       const std::string& name) override
    {
        const std::string* bytes = Find(kind, subKind, name);
        if (bytes == nullptr || bytes->empty())
            throw CVARDException(1, "no module file " + name);
        return std::make_shared<std::vector<std::uint8_t>>(bytes->begin(), bytes->end());
    }

    std::string Describe() const override { return "memory"; }

private:
    const std::string* Find(std::uint32_t kind, std::uint32_t subKind,
                            const std::string& name) const
    {
        if (kind != VARDCommon::kDataKindRoot || subKind != VARDCommon::kDataSubKindNone)
            return nullptr;
        const auto found = m_Files.find(name);
        return found == m_Files.end() ? nullptr : &found->second;
    }

    std::map<std::string, std::string> m_Files;
};

inline std::string FileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A factory holding every file of the demo module.
inline std::shared_ptr<CMemoryDataFileFactory> DemoFactory()
{
    auto factory = std::make_shared<CMemoryDataFileFactory>();
    for (const auto& entry : std::filesystem::directory_iterator(VARD_DEMO_MODULE))
        if (entry.is_regular_file())
            factory->Put(entry.path().filename().string(), FileBytes(entry.path()));
    return factory;
}

// The files a module load reads, in its order; the first input byte picks one.
constexpr std::array<const char*, 7> kModuleFiles = {
    "world.vard",    "magic.vard",  "items.vard",  "factions.vard",
    "monsters.vard", "quests.vard", "journal.vard"};

// Loads the demo module with one of its files replaced by the rest of the input.
inline void LoadModuleWithReplacedFile(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return;
    auto factory = DemoFactory();
    factory->Put(kModuleFiles[data[0] % kModuleFiles.size()],
                 std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    VARD::CModule module;
    module.Load(factory);
}

// The demo module, loaded once; its factory takes the fuzzed area file.
struct DemoBench
{
    std::shared_ptr<CMemoryDataFileFactory> factory = DemoFactory();
    std::shared_ptr<VARD::CModule> module = std::make_shared<VARD::CModule>();
    DemoBench() { module->Load(factory); }
};

inline DemoBench& Demo()
{
    static DemoBench bench;
    return bench;
}

// Reads the rest of the input as the area file "fuzzed". The first byte
// picks the read: bits 0-1 the mode, bit 2 reset, bit 3 arrival from "town".
inline void ReadAreaFile(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return;
    DemoBench& demo = Demo();
    demo.factory->Put("fuzzed.vard",
                      std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    const int mode = data[0] & 3;
    const bool reset = (data[0] & 4) != 0;
    const std::string previous = (data[0] & 8) != 0 ? "town" : "";
    SeedRandom(5489u);
    VARD::CGame game;
    VARD::CArea area(&game);
    area.ReadFile(previous, "fuzzed", *demo.module, mode, reset);
}

// Reads the input as one saved actor record against the demo module.
inline void ReadActorRecord(const std::uint8_t* data, std::size_t size)
{
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(
                                          std::string(reinterpret_cast<const char*>(data), size)),
                                      "fuzzed actor");
    VARD::CGame game;
    VARD::CActor actor(reader, *Demo().module, game);
}

// Reads the rest of the input as one kind of saved or world record, picked by
// the first byte: a world map, an area's block of saved objects (against the
// demo module), or the game's quest tag, journal and people blocks.
inline void ReadSavedRecord(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return;
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(std::string(
                                          reinterpret_cast<const char*>(data) + 1, size - 1)),
                                      "fuzzed record");
    VARD::CGame game;
    switch (data[0] % 3)
    {
    case 0:
    {
        const VARD::CMap2 map(reader);
        break;
    }
    case 1:
    {
        VARD::CArea area(&game);
        reader.ReadStartTag("objects");
        while (reader.IsStartTag("object"))
        {
            VARD::CObject object(&area, game.NewThingId(VARD::kThingKindObject));
            object.ReadSaved(reader, *Demo().module, game);
        }
        reader.ReadEndTag();
        break;
    }
    default:
        reader.ReadStartTag("save");
        reader.ReadStartTag("questtags");
        VARD::ReadStringIntMap(reader, game.QuestTags());
        reader.ReadEndTag();
        game.LoadJournal(reader);
        game.LoadPeople(reader);
        reader.ReadStartTag("revealed");
        VARD::ReadStringIntMap(reader, game.Revealed());
        reader.ReadEndTag();
        reader.ReadEndTag();
        break;
    }
}

} // namespace FuzzHarness
