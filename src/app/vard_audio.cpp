// The audio wrapper: the effects and their sound events, the footsteps loop
// and the ambient track, over the platform's audio device.

#include "app/vard_audio.h"

#include "app/error_text.h"
#include "common/data_file.h"
#include "common/exception.h"
#include "platform/audio.h"
#include "platform/platform_error.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"

namespace
{

constexpr bool SoundTableInOrder()
{
    for (std::uint32_t id = 0; id < kSoundCount; ++id)
    {
        if (kSoundFiles[id].id != id)
            return false;
    }
    return true;
}
static_assert(SoundTableInOrder(), "row i of the sound files must hold sound id i");

// Row i: the sound that event i plays.
constexpr std::array<std::uint32_t, kSoundEventCount> kSoundOfEvent = {
    kSoundClick,       kSoundInventory, kSoundCash,        kSoundCash,          kSoundQuest,
    kSoundDoor,        kSoundLocked,    kSoundUnlock,      kSoundMeleeMiss,     kSoundMeleeHit,
    kSoundDeath,       kSoundShoot,     kSoundMeleeMiss,   kSoundMeleeHit,      kSoundSpell,
    kSoundSpellAttack, kSoundSpellAid,  kSoundSpellSummon, kSoundSpellTeleport, kSoundSong,
    kSoundSneakOn,     kSoundSneakOff};

// Row k: the sound event of game event kind k; kinds past the table are
// silent.
constexpr std::uint32_t kNone = kNoSoundEvent;
constexpr std::array<std::uint32_t, 30> kSoundEventOfKind = {
    kNone, 5,  7,     5,  11, kNone, kNone, kNone, kNone, kNone, // 0 to 9
    14,    18, kNone, 19, 20, 21,    kNone, kNone, kNone, 2,     // 10 to 19
    4,     6,  8,     9,  12, 13,    10,    15,    16,    17};   // 20 to 29

// The party walks when one of its living members shows the walking pose.
constexpr std::uint32_t kWalkingAnimation = 4;

std::vector<std::uint8_t> ReadSoundFile(VARDCommon::CDataFileFactory& factory,
                                        const std::string& name)
{
    return *factory.ReadAll(VARDCommon::kDataKindAudio, VARDCommon::kDataSubKindNone, name);
}

} // namespace

std::uint32_t SoundEventOfGameEvent(std::uint32_t gameEventKind)
{
    if (gameEventKind >= kSoundEventOfKind.size())
        return kNoSoundEvent;
    return kSoundEventOfKind[gameEventKind];
}

CVARDAudio2::CVARDAudio2(std::shared_ptr<VARDCommon::CDataFileFactory> factory,
                         std::unique_ptr<audio::Device> output)
    : m_Factory(std::move(factory)), m_Device(std::move(output))
{
    if (!m_Device)
        return;
    for (const CSoundFile& file : kSoundFiles)
    {
        std::vector<std::uint8_t> bytes = ReadSoundFile(*m_Factory, file.name);
        std::shared_ptr<audio::Sound> sound;
        try
        {
            sound = m_Device->LoadBuffered(std::move(bytes));
        }
        catch (const platform::Error& e)
        {
            throw CVARDException(1, "sound file " + VARDCommon::QuoteForMessage(file.name) + ": " +
                                        e.what());
        }
        if (file.id == kSoundFootsteps)
            sound->SetRepeat(true);
        m_Sounds.push_back(std::move(sound));
    }
}

CVARDAudio2::~CVARDAudio2()
{
    m_Music.reset();
    m_Sounds.clear();
}

bool CVARDAudio2::IsSilent() const
{
    return !m_Device || m_Device->IsSilent();
}

float CVARDAudio2::StreamVolume() const
{
    return static_cast<float>(m_Volume / 100.0);
}

void CVARDAudio2::PlaySound(std::uint32_t soundEvent)
{
    if (soundEvent >= kSoundEventCount)
        throw CVARDException(2, "no sound event " + std::to_string(soundEvent));
    if (m_Sounds.empty())
        return;
    audio::Sound& sound = *m_Sounds[kSoundOfEvent[soundEvent]];
    sound.Stop();
    sound.SetVolume(StreamVolume());
    sound.Play();
}

void CVARDAudio2::SetFootsteps(bool on)
{
    const int wanted = on ? 1 : 0;
    if (wanted == m_FootstepsOn)
        return;
    m_FootstepsOn = wanted;
    if (m_Sounds.empty())
        return;
    audio::Sound& footsteps = *m_Sounds[kSoundFootsteps];
    if (on)
    {
        footsteps.Stop();
        footsteps.SetVolume(StreamVolume());
        footsteps.Play();
    }
    else
    {
        footsteps.Stop();
    }
}

void CVARDAudio2::PlayMusic(const std::string& name)
{
    if (name == m_MusicName && m_Music)
        return;
    m_MusicName = name;
    if (!m_Device)
        return;
    // A track that fails leaves no stream behind: the old one belongs to the
    // region the view has left.
    std::shared_ptr<audio::Sound> old = std::move(m_Music);
    m_Music.reset();
    if (old)
        old->Stop();
    old.reset();
    std::vector<std::uint8_t> bytes = ReadSoundFile(*m_Factory, name);
    try
    {
        m_Music = m_Device->OpenStreamed(std::move(bytes));
    }
    catch (const platform::Error& e)
    {
        throw CVARDException(1, "ambient sound file " + VARDCommon::QuoteForMessage(name) + ": " +
                                    e.what());
    }
    m_Music->SetRepeat(true);
    m_Music->SetVolume(StreamVolume());
    m_Music->Play();
}

void CVARDAudio2::StopMusic()
{
    if (!m_Music)
        return;
    m_Music->Stop();
    m_Music.reset();
}

void CVARDAudio2::SetVolume(std::uint32_t percent)
{
    if (percent == m_Volume)
        return;
    m_Volume = percent;
    if (!m_Sounds.empty())
        m_Sounds[kSoundFootsteps]->SetVolume(StreamVolume());
    if (m_Music)
        m_Music->SetVolume(StreamVolume());
}

void CVARDAudio2::PlayEventSound(std::uint32_t gameEventKind)
{
    const std::uint32_t soundEvent = SoundEventOfGameEvent(gameEventKind);
    if (soundEvent != kNoSoundEvent)
        PlaySound(soundEvent);
}

void CVARDAudio2::PauseAudio()
{
    if (m_FootstepsOn != 0)
    {
        m_FootstepsOn = 0;
        if (!m_Sounds.empty())
            m_Sounds[kSoundFootsteps]->Stop();
    }
    // The name stays, so that the same track starts again from its beginning.
    StopMusic();
}

std::string CVARDAudio2::UpdateAmbientAudio(const VARD::CGame& game, double viewX, double viewY)
{
    // Footsteps while any party member walks.
    bool walking = false;
    for (const std::shared_ptr<VARD::CActor>& member : game.Party())
    {
        if (member && member->GetActivityState() != 0 &&
            member->GetAnimationId() == kWalkingAnimation)
        {
            walking = true;
            break;
        }
    }
    SetFootsteps(walking);
    // The music of the sound area at the view's centre, or none.
    std::string name;
    const VARD::CArea* area = game.GetCurrentArea();
    if (area == nullptr || !area->FindSoundAt(viewX, viewY, name))
    {
        StopMusic();
        return std::string();
    }
    // An ambient track is only atmosphere: one the module lacks or that does
    // not decode leaves the region silent, and the game goes on.
    if (m_SilentTracks.count(name) != 0)
    {
        StopMusic();
        return std::string();
    }
    try
    {
        PlayMusic(name);
    }
    catch (...)
    {
        m_SilentTracks.insert(name);
        return "The ambient sound " + VARDCommon::QuoteForMessage(name) +
               " cannot be played: " + DescribeCurrentError();
    }
    return std::string();
}
