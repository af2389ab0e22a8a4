// The audio wrapper through a recording stand-in of the audio device: which
// effect each sound event and game event plays, footsteps while the party
// walks, the ambient track under the view, volume, pausing and failures; and
// the demo module's sounds on the real mixer.

#include "app/vard_audio.h"

#include "app_demo_game.h"
#include "app_fakes.h"

#include "common/data_file.h"
#include "platform/audio.h"
#include "platform/keys.h"
#include "platform/platform_error.h"
#include "rules/engine.h"
#include "rules_test_util.h"
#include "test_util.h"
#include "world/order.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace
{

using Bytes = std::vector<std::uint8_t>;
using TestUtil::CodeOf;

const std::filesystem::path kDemo = VARD_DEMO_MODULE;

Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string AsText(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// What the game asked of its sounds, one line per call: "door.wav play".
struct Recorder
{
    std::vector<std::string> log;
    // A sound is named by its file: the demo's files by their bytes, a
    // test's own by the text they hold.
    // Keyed by the bytes as text: g++ 12 reports a false overread when it
    // inlines the comparison of byte vectors.
    std::map<std::string, std::string> names;

    std::string NameOf(const Bytes& bytes) const
    {
        const std::string text(bytes.begin(), bytes.end());
        const auto found = names.find(text);
        return found != names.end() ? found->second : text;
    }
    // The lines since the last call.
    std::vector<std::string> Take() { return std::exchange(log, {}); }
};

class RecordingSound : public audio::Sound
{
public:
    RecordingSound(Recorder& recorder, std::string name, bool streamed)
        : audio::Sound(streamed), m_Recorder(recorder), m_Name(std::move(name))
    {
    }
    ~RecordingSound() override { Note("released"); }
    void Play() override { Note("play"); }
    void Stop() override { Note("stop"); }
    void SetRepeat(bool repeat) override { Note(repeat ? "repeat" : "once"); }
    void SetVolume(float volume) override
    {
        Note("volume " + std::to_string(static_cast<int>(volume * 100.0f + 0.5f)));
    }

private:
    void Note(const std::string& what) { m_Recorder.log.push_back(m_Name + " " + what); }
    Recorder& m_Recorder;
    std::string m_Name;
};

class RecordingDevice : public audio::Device
{
public:
    explicit RecordingDevice(Recorder& recorder) : audio::Device(StandIn{}), m_Recorder(recorder) {}
    ~RecordingDevice() override { m_Recorder.log.push_back("device closed"); }
    bool IsSilent() const override { return false; }
    std::shared_ptr<audio::Sound> LoadBuffered(Bytes bytes) override { return Open(bytes, false); }
    std::shared_ptr<audio::Sound> OpenStreamed(Bytes bytes) override { return Open(bytes, true); }

private:
    std::shared_ptr<audio::Sound> Open(const Bytes& bytes, bool streamed)
    {
        const std::string name = m_Recorder.NameOf(bytes);
        if (name == "not a sound")
            throw platform::Error("cannot decode sound: unknown format");
        m_Recorder.log.push_back(name + (streamed ? " streamed" : " buffered"));
        return std::make_shared<RecordingSound>(m_Recorder, name, streamed);
    }
    Recorder& m_Recorder;
};

// Sound files whose bytes are their names, some missing or broken; it
// counts what is read.
class TextSoundFactory : public VARDCommon::CDataFileFactory
{
public:
    std::shared_ptr<std::istream> OpenStream(std::uint32_t, std::uint32_t,
                                             const std::string&) override
    {
        return std::make_shared<std::istringstream>();
    }
    std::shared_ptr<Bytes> ReadAll(std::uint32_t kind, std::uint32_t subKind,
                                   const std::string& name) override
    {
        ++reads;
        if (kind != VARDCommon::kDataKindAudio || subKind != VARDCommon::kDataSubKindNone ||
            missing.count(name) != 0)
            throw CVARDException(1, "no file " + name);
        const std::string text = broken.count(name) != 0 ? "not a sound" : name;
        return std::make_shared<Bytes>(text.begin(), text.end());
    }
    std::string Describe() const override { return "text sounds"; }

    int reads = 0;
    std::set<std::string> missing;
    std::set<std::string> broken;
};

// The files each sound event plays, and each game event kind ("" silent).
const char* const kEventFiles[kSoundEventCount] = {
    "click.wav",        "inventory.wav", "cash.wav",         "cash.wav",           "quest.wav",
    "door.wav",         "locked.wav",    "unlock.wav",       "melee_miss.wav",     "melee_hit.wav",
    "death.wav",        "shoot.wav",     "melee_miss.wav",   "melee_hit.wav",      "spell.wav",
    "spell_attack.wav", "spell_aid.wav", "spell_summon.wav", "spell_teleport.wav", "song.wav",
    "sneakon.wav",      "sneakoff.wav"};
const std::map<std::uint32_t, std::string> kGameEventFiles = {
    {1, "door.wav"},        {2, "unlock.wav"},       {3, "door.wav"},
    {4, "shoot.wav"},       {10, "spell.wav"},       {11, "spell_teleport.wav"},
    {13, "song.wav"},       {14, "sneakon.wav"},     {15, "sneakoff.wav"},
    {19, "cash.wav"},       {20, "quest.wav"},       {21, "locked.wav"},
    {22, "melee_miss.wav"}, {23, "melee_hit.wav"},   {24, "melee_miss.wav"},
    {25, "melee_hit.wav"},  {26, "death.wav"},       {27, "spell_attack.wav"},
    {28, "spell_aid.wav"},  {29, "spell_summon.wav"}};

std::vector<std::string> Effect(const std::string& file, int volume)
{
    return {file + " stop", file + " volume " + std::to_string(volume), file + " play"};
}

TEST(VARDAudio, EverySoundEventAndGameEventPlaysItsFile)
{
    Recorder recorder;
    CVARDAudio2 audio(std::make_shared<TextSoundFactory>(),
                      std::make_unique<RecordingDevice>(recorder));
    const std::vector<std::string> loaded = recorder.Take();
    ASSERT_EQ(loaded.size(), 21u);
    for (std::uint32_t id = 0; id < kSoundCount; ++id)
        EXPECT_EQ(loaded[id], std::string(kSoundFiles[id].name) + " buffered");
    // Only the footsteps loop.
    EXPECT_EQ(loaded.back(), "footsteps.wav repeat");

    for (std::uint32_t event = 0; event < kSoundEventCount; ++event)
    {
        audio.PlaySound(event);
        EXPECT_EQ(recorder.Take(), Effect(kEventFiles[event], 100)) << "event " << event;
    }
    EXPECT_EQ(CodeOf([&] { audio.PlaySound(kSoundEventCount); }), 2);
    EXPECT_TRUE(recorder.Take().empty());

    audio.SetVolume(40);
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{"footsteps.wav volume 40"}));
    for (std::uint32_t kind = 0; kind < 40; ++kind)
    {
        audio.PlayEventSound(kind);
        const auto file = kGameEventFiles.find(kind);
        if (file == kGameEventFiles.end())
            EXPECT_TRUE(recorder.Take().empty()) << "kind " << kind;
        else
            EXPECT_EQ(recorder.Take(), Effect(file->second, 40)) << "kind " << kind;
    }
    audio.PlayEventSound(0xFFFFFFFFu);
    EXPECT_TRUE(recorder.Take().empty());
}

TEST(VARDAudio, FootstepsAndAmbientFollowThePartyAndTheView)
{
    Recorder recorder;
    for (const CSoundFile& file : kSoundFiles)
        recorder.names[AsText(ReadFile(kDemo / "audio" / file.name))] = file.name;
    for (const char* name : {"town.wav", "market.wav", "fountain.wav"})
        recorder.names[AsText(ReadFile(kDemo / "audio" / name))] = name;
    auto engine = RulesTest::NewDemoGame();
    VARD::CGame& game = engine->Game();
    CVARDAudio2 audio(std::make_shared<VARDCommon::CDataFileFactoryPath>(kDemo),
                      std::make_unique<RecordingDevice>(recorder));
    ASSERT_EQ(recorder.Take().size(), 21u);

    // Before the party stands in an area nothing sounds.
    audio.UpdateAmbientAudio(game, 0.0, 0.0);
    EXPECT_TRUE(recorder.Take().empty());
    EXPECT_FALSE(audio.HasMusic());

    // At the gate the town's fountain is in reach; then the hero walks west
    // into the market square, the view following him as the game screen's
    // does, and stands still there.
    engine->EnterArea();
    VARD::CActor& hero = RulesTest::Member(*engine);
    audio.UpdateAmbientAudio(game, hero.GetX(), hero.GetY());
    EXPECT_EQ(recorder.Take(),
              (std::vector<std::string>{"fountain.wav streamed", "fountain.wav repeat",
                                        "fountain.wav volume 100", "fountain.wav play"}));
    hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(21.25, 26.25), false);
    std::vector<std::string> heard;
    int walkingUpdates = 0;
    for (int tick = 0; tick < 600; ++tick)
    {
        engine->Tick();
        audio.UpdateAmbientAudio(game, hero.GetX(), hero.GetY());
        walkingUpdates += audio.IsFootstepsOn() ? 1 : 0;
        for (const std::string& line : recorder.Take())
            heard.push_back(line);
    }
    EXPECT_LE(hero.DistanceTo(21.25, 26.25), 2.5);
    EXPECT_GT(walkingUpdates, 20);
    EXPECT_FALSE(audio.IsFootstepsOn());
    // One start and one stop of the footsteps; each track is opened once,
    // the last one the market's, and never restarted while the view stays.
    std::vector<std::string> footsteps;
    std::vector<std::string> opened;
    for (const std::string& line : heard)
    {
        if (line.rfind("footsteps.wav", 0) == 0)
            footsteps.push_back(line);
        if (line.find(" streamed") != std::string::npos)
            opened.push_back(line);
    }
    EXPECT_EQ(footsteps, (std::vector<std::string>{"footsteps.wav stop", "footsteps.wav volume 100",
                                                   "footsteps.wav play", "footsteps.wav stop"}));
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back(), "market.wav streamed");
    EXPECT_EQ(std::set<std::string>(opened.begin(), opened.end()).size(), opened.size());
    EXPECT_EQ(audio.GetMusicName(), "market.wav");

    // Volume reaches the loops at once.
    hero.SetAnimation(4, 0.0);
    audio.UpdateAmbientAudio(game, hero.GetX(), hero.GetY());
    recorder.Take();
    audio.SetVolume(25);
    EXPECT_EQ(recorder.Take(),
              (std::vector<std::string>{"footsteps.wav volume 25", "market.wav volume 25"}));
    audio.SetVolume(25);
    EXPECT_TRUE(recorder.Take().empty());

    // A pause silences both loops; the next update starts the same track
    // again from its beginning.
    audio.PauseAudio();
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{"footsteps.wav stop", "market.wav stop",
                                                         "market.wav released"}));
    audio.UpdateAmbientAudio(game, hero.GetX(), hero.GetY());
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{
                                   "footsteps.wav stop", "footsteps.wav volume 25",
                                   "footsteps.wav play", "market.wav streamed", "market.wav repeat",
                                   "market.wav volume 25", "market.wav play"}));
    // A dead member walks no more.
    hero.SetActivityState(0);
    audio.UpdateAmbientAudio(game, 5.0, 5.0);
    EXPECT_EQ(recorder.Take(),
              (std::vector<std::string>{"footsteps.wav stop", "market.wav stop",
                                        "market.wav released", "town.wav streamed",
                                        "town.wav repeat", "town.wav volume 25", "town.wav play"}));
}

TEST(VARDAudio, FailuresAndSilence)
{
    // A missing effect is the factory's error; one that is no sound names
    // its file.
    Recorder recorder;
    auto factory = std::make_shared<TextSoundFactory>();
    factory->missing.insert("death.wav");
    EXPECT_EQ(CodeOf([&] { CVARDAudio2(factory, std::make_unique<RecordingDevice>(recorder)); }),
              1);
    factory->missing.clear();
    factory->broken.insert("song.wav");
    try
    {
        CVARDAudio2 audio(factory, std::make_unique<RecordingDevice>(recorder));
        ADD_FAILURE() << "a broken effect was taken";
    }
    catch (const CVARDException& e)
    {
        EXPECT_EQ(e.GetCode(), 1);
        EXPECT_NE(e.GetDetail().find("song.wav"), std::string::npos) << e.GetDetail();
    }

    // A track that cannot be played leaves no stream behind, not even the
    // one it was to replace.
    factory->broken = {"broken.wav"};
    factory->missing = {"gone.wav"};
    recorder.Take();
    auto audio =
        std::make_unique<CVARDAudio2>(factory, std::make_unique<RecordingDevice>(recorder));
    audio->PlayMusic("forest.wav");
    audio->PlayMusic("forest.wav");
    recorder.Take();
    EXPECT_EQ(CodeOf([&] { audio->PlayMusic("gone.wav"); }), 1);
    EXPECT_FALSE(audio->HasMusic());
    audio->PlayMusic("forest.wav");
    EXPECT_EQ(CodeOf([&] { audio->PlayMusic("broken.wav"); }), 1);
    EXPECT_FALSE(audio->HasMusic());
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{
                                   "forest.wav stop", "forest.wav released", "forest.wav streamed",
                                   "forest.wav repeat", "forest.wav volume 100", "forest.wav play",
                                   "forest.wav stop", "forest.wav released"}));

    // Closing releases the ambient stream, then the effects, then the device.
    audio->PlayMusic("forest.wav");
    recorder.Take();
    audio.reset();
    std::vector<std::string> closing = {"forest.wav released"};
    for (const CSoundFile& file : kSoundFiles)
        closing.push_back(std::string(file.name) + " released");
    closing.push_back("device closed");
    EXPECT_EQ(recorder.Take(), closing);

    // Without an output the game runs silently and reads nothing.
    auto untouched = std::make_shared<TextSoundFactory>();
    CVARDAudio2 silent(untouched, nullptr);
    EXPECT_TRUE(silent.IsSilent());
    silent.PlaySound(21);
    silent.SetFootsteps(true);
    silent.PlayMusic("forest.wav");
    silent.SetVolume(50);
    silent.PauseAudio();
    EXPECT_EQ(silent.GetVolume(), 50u);
    EXPECT_EQ(CodeOf([&] { silent.PlaySound(22); }), 2);
    EXPECT_EQ(untouched->reads, 0);
}

// The demo's effects and every ambient sound its areas and objects name
// decode on the real mixer (SDL's dummy output).
TEST(VARDAudio, DemoSoundsPlayOnTheMixer)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::set<std::string> ambient;
    for (const auto& entry : std::filesystem::directory_iterator(kDemo))
    {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        for (std::size_t at = text.find("<sound>"); at != std::string::npos;
             at = text.find("<sound>", at + 1))
        {
            const std::size_t open = text.find('"', at);
            ambient.insert(text.substr(open + 1, text.find('"', open + 1) - open - 1));
        }
    }
    EXPECT_EQ(ambient,
              (std::set<std::string>{"chant.wav", "drip.wav", "fire.wav", "forest.wav",
                                     "fountain.wav", "market.wav", "pond.wav", "town.wav"}));
    CVARDAudio2 audio(std::make_shared<VARDCommon::CDataFileFactoryPath>(kDemo),
                      std::make_unique<audio::Device>());
    ASSERT_FALSE(audio.IsSilent());
    for (const std::string& name : ambient)
    {
        audio.PlayMusic(name);
        EXPECT_TRUE(audio.HasMusic()) << name;
    }
    audio.PlaySound(kSoundEventClick);

    // Each effect a sound of its own, and the whole set small.
    std::set<std::string> distinct;
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kDemo / "audio"))
    {
        distinct.insert(AsText(ReadFile(entry.path())));
        total += entry.file_size();
    }
    EXPECT_EQ(distinct.size(), kSoundCount + ambient.size());
    EXPECT_LT(total, 1024u * 1024u);
}

// Start-up on the fake machine, with sound: the effects of a module that
// lacks one stop it with a box; the whole demo starts.
class SoundingPlatform final : public AppTest::FakeAppPlatform
{
public:
    std::unique_ptr<audio::Device> OpenAudioDevice() override
    {
        return std::make_unique<RecordingDevice>(recorder);
    }

    Recorder recorder;
};

// A module that lacks an ambient file plays on in silence, with one line in
// the message log, where its first timer message used to end the game.
TEST(VARDAudio, AMissingAmbientFileLeavesTheGameRunning)
{
    const TestUtil::ScratchFolder scratch("audio_no_fountain");
    const std::filesystem::path& module = scratch.Path();
    std::filesystem::copy(kDemo, module, std::filesystem::copy_options::recursive);
    std::filesystem::remove(module / "audio" / "fountain.wav");
    {
        SoundingPlatform machine;
        CGameApp app;
        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine, module.string()));
        app.RefreshActorInfos(true);
        app.SelectFirstPartyMember();
        app.StartPlay();
        app.messageLog.clear();
        machine.window->posted.clear();
        const std::uint32_t tick = app.engine->Game().GetTick();
        for (int message = 0; message < 3; ++message)
        {
            machine.clock += 100;
            app.HandleMessage({platform::MessageKind::Timer, app.timerId});
        }
        EXPECT_GT(app.engine->Game().GetTick(), tick);
        EXPECT_TRUE(machine.desktop.boxes.empty());
        EXPECT_TRUE(machine.window->posted.empty());
        int told = 0;
        for (const std::string& line : app.messageLog)
            told += line.rfind("The ambient sound \"fountain.wav\" cannot be played: ", 0) == 0;
        EXPECT_EQ(told, 1);
        EXPECT_FALSE(app.audio->HasMusic());
    }
}

TEST(VARDAudio, StartUpLoadsTheEffectsOrStopsWithAGameError)
{
    const TestUtil::ScratchFolder scratch("audio_no_death");
    const std::filesystem::path& module = scratch.Path();
    std::filesystem::copy(kDemo, module, std::filesystem::copy_options::recursive);
    std::filesystem::remove(module / "audio" / "death.wav");
    {
        SoundingPlatform machine;
        CGameApp app;
        EXPECT_EQ(app.Run(machine, module.string()), 0);
        ASSERT_EQ(machine.desktop.boxes.size(), 1u);
        EXPECT_EQ(machine.desktop.boxes[0].caption, "Game Error");
        EXPECT_NE(machine.desktop.boxes[0].text.find("death.wav"), std::string::npos)
            << machine.desktop.boxes[0].text;
        EXPECT_EQ(app.audio, nullptr);
        EXPECT_EQ(machine.device, nullptr); // start-up went no further
    }

    SoundingPlatform machine;
    CGameApp app;
    EXPECT_EQ(app.Run(machine, kDemo.string()), -1);
    EXPECT_TRUE(machine.desktop.boxes.empty());
    ASSERT_NE(app.audio, nullptr);
    EXPECT_FALSE(app.audio->IsSilent());
    EXPECT_EQ(machine.recorder.log.size(), 21u); // twenty loaded, footsteps set to repeat
}

} // namespace
