#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace audio
{
class Device;
class Sound;
} // namespace audio

namespace VARDCommon
{
class CDataFileFactory;
}

namespace VARD
{
class CGame;
}

// The effects by id; each is the file of the same row of kSoundFiles.
enum : std::uint32_t
{
    kSoundClick = 0,
    kSoundInventory = 1,
    kSoundCash = 2,
    kSoundQuest = 3,
    kSoundDoor = 4,
    kSoundLocked = 5,
    kSoundUnlock = 6,
    kSoundMeleeMiss = 7,
    kSoundMeleeHit = 8,
    kSoundShoot = 9,
    kSoundDeath = 10,
    kSoundSpell = 11,
    kSoundSpellAid = 12,
    kSoundSpellAttack = 13,
    kSoundSpellSummon = 14,
    kSoundSpellTeleport = 15,
    kSoundSong = 16,
    kSoundSneakOn = 17,
    kSoundSneakOff = 18,
    kSoundFootsteps = 19,
    kSoundCount = 20,
};

// Sound events, the argument of PlaySound: 0 is the interface click, 1 the
// inventory's item orders, 3 a purchase or sale; the rest come from game
// events (SoundEventOfGameEvent).
constexpr std::uint32_t kSoundEventClick = 0;
constexpr std::uint32_t kSoundEventInventory = 1;
constexpr std::uint32_t kSoundEventTrade = 3;
constexpr std::uint32_t kSoundEventCount = 22;
// A game event that sounds nothing.
constexpr std::uint32_t kNoSoundEvent = 0xFFFFFFFFu;

struct CSoundFile
{
    std::uint32_t id;
    const char* name;
};

// The module's effect files (data kind 8, sub-kind 0), row i for id i.
constexpr std::array<CSoundFile, kSoundCount> kSoundFiles = {{
    {kSoundClick, "click.wav"},
    {kSoundInventory, "inventory.wav"},
    {kSoundCash, "cash.wav"},
    {kSoundQuest, "quest.wav"},
    {kSoundDoor, "door.wav"},
    {kSoundLocked, "locked.wav"},
    {kSoundUnlock, "unlock.wav"},
    {kSoundMeleeMiss, "melee_miss.wav"},
    {kSoundMeleeHit, "melee_hit.wav"},
    {kSoundShoot, "shoot.wav"},
    {kSoundDeath, "death.wav"},
    {kSoundSpell, "spell.wav"},
    {kSoundSpellAid, "spell_aid.wav"},
    {kSoundSpellAttack, "spell_attack.wav"},
    {kSoundSpellSummon, "spell_summon.wav"},
    {kSoundSpellTeleport, "spell_teleport.wav"},
    {kSoundSong, "song.wav"},
    {kSoundSneakOn, "sneakon.wav"},
    {kSoundSneakOff, "sneakoff.wav"},
    {kSoundFootsteps, "footsteps.wav"},
}};

// The sound event a game event of this kind plays (message kinds are 18 to
// 29), or kNoSoundEvent.
std::uint32_t SoundEventOfGameEvent(std::uint32_t gameEventKind);

// All of the game's sound: twenty effects decoded once at start-up, the
// footsteps loop while the party walks, and the streamed ambient track of
// the area region under the view. A null output (no device could be opened)
// runs the game silently.
class CVARDAudio2
{
public:
    // Reads and decodes every effect: code 1 for a file that is missing or
    // no sound.
    CVARDAudio2(std::shared_ptr<VARDCommon::CDataFileFactory> factory,
                std::unique_ptr<audio::Device> output);
    ~CVARDAudio2();
    CVARDAudio2(const CVARDAudio2&) = delete;
    CVARDAudio2& operator=(const CVARDAudio2&) = delete;

    // The event's effect from its start; code 2 for an event past 21.
    void PlaySound(std::uint32_t soundEvent);
    void SetFootsteps(bool on);
    // Loops the named file as the ambient track; the same name again goes
    // on playing. Code 1 for a file that is missing or no sound.
    void PlayMusic(const std::string& name);
    void StopMusic();
    // Percent; the loops take it at once, the effects when next played.
    void SetVolume(std::uint32_t percent);

    // The sound halves of the application's operations of the same names.
    void PlayEventSound(std::uint32_t gameEventKind);
    // Silences the loops; effects still sounding finish.
    void PauseAudio();
    // After the ticks: footsteps while a party member walks, and the ambient
    // sound at the view centre (x, y) of the current area. An ambient track
    // that cannot be played is silence: the first time for its file the
    // result is the line that tells the message log why, else it is empty.
    std::string UpdateAmbientAudio(const VARD::CGame& game, double viewX, double viewY);

    bool IsSilent() const;
    std::uint32_t GetVolume() const { return m_Volume; }
    bool IsFootstepsOn() const { return m_FootstepsOn != 0; }
    const std::string& GetMusicName() const { return m_MusicName; }
    bool HasMusic() const { return m_Music != nullptr; }

private:
    float StreamVolume() const;

    // Released in the reverse order: the ambient stream, the effects, the
    // device, then the factory.
    std::shared_ptr<VARDCommon::CDataFileFactory> m_Factory;
    std::unique_ptr<audio::Device> m_Device;
    std::vector<std::shared_ptr<audio::Sound>> m_Sounds;
    std::uint32_t m_Volume = 100;
    int m_FootstepsOn = 0;
    std::string m_MusicName;
    std::shared_ptr<audio::Sound> m_Music;
    // Ambient files that could not be played; they are not tried again.
    std::set<std::string> m_SilentTracks;
};
