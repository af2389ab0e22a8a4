#include "platform/audio.h"

#include "platform/platform_error.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace audio
{

namespace detail
{

// The mixer is one per process; this holds it open.
struct Output
{
    Output()
    {
        if (s_Open)
        {
            throw platform::Error("an audio device is already open");
        }
        s_Open = true;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        {
            return;
        }
        audioStarted = true;
        if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) != 0)
        {
            return;
        }
        // Every effect may sound at once, with room to spare.
        Mix_AllocateChannels(32);
        mixing = true;
    }

    ~Output()
    {
        if (mixing)
        {
            Mix_HaltChannel(-1);
            Mix_HaltMusic();
            Mix_CloseAudio();
        }
        if (audioStarted)
        {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        s_Open = false;
    }

    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    static inline bool s_Open = false;
    bool audioStarted = false;
    bool mixing = false;
    Mix_Music* currentMusic = nullptr; // the stream the mixer last started
};

} // namespace detail

struct Sound::Handles
{
    Mix_Chunk* chunk = nullptr;
    Mix_Music* music = nullptr;
    int channel = -1;
};

namespace
{

int MixerVolume(float volume)
{
    return static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME));
}

SDL_RWops* ReaderOver(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty())
    {
        throw platform::Error("cannot decode sound: the file is empty");
    }
    SDL_RWops* reader = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (reader == nullptr)
    {
        throw platform::Error(std::string("cannot read sound: ") + SDL_GetError());
    }
    return reader;
}

} // namespace

Sound::Sound(Key, std::shared_ptr<detail::Output> output, bool streamed,
             std::vector<std::uint8_t> bytes)
    : m_Output(std::move(output)), m_Streamed(streamed), m_Bytes(std::move(bytes)),
      m_Handles(std::make_unique<Handles>())
{
    if (!m_Output || !m_Output->mixing)
    {
        m_Bytes.clear();
        return;
    }
    if (m_Bytes.size() > static_cast<std::size_t>(INT32_MAX))
    {
        throw platform::Error("cannot decode sound: the file is too large");
    }
    if (m_Streamed)
    {
        m_Handles->music = Mix_LoadMUS_RW(ReaderOver(m_Bytes), 1);
        if (m_Handles->music == nullptr)
        {
            throw platform::Error(std::string("cannot decode sound: ") + Mix_GetError());
        }
    }
    else
    {
        m_Handles->chunk = Mix_LoadWAV_RW(ReaderOver(m_Bytes), 1);
        m_Bytes.clear();
        if (m_Handles->chunk == nullptr)
        {
            throw platform::Error(std::string("cannot decode sound: ") + Mix_GetError());
        }
    }
}

Sound::Sound(bool streamed) : m_Streamed(streamed), m_Handles(std::make_unique<Handles>()) {}

Sound::~Sound()
{
    if (m_Handles->chunk != nullptr)
    {
        Mix_FreeChunk(m_Handles->chunk); // stops it where it plays
    }
    if (m_Handles->music != nullptr)
    {
        if (m_Output->currentMusic == m_Handles->music)
        {
            Mix_HaltMusic();
            m_Output->currentMusic = nullptr;
        }
        Mix_FreeMusic(m_Handles->music);
    }
}

void Sound::Play()
{
    if (m_Handles->chunk != nullptr)
    {
        Stop();
        Mix_VolumeChunk(m_Handles->chunk, MixerVolume(m_Volume));
        // With every channel busy the effect is dropped, as a mixer must.
        m_Handles->channel = Mix_PlayChannel(-1, m_Handles->chunk, m_Repeat ? -1 : 0);
    }
    else if (m_Handles->music != nullptr)
    {
        Mix_VolumeMusic(MixerVolume(m_Volume));
        if (Mix_PlayMusic(m_Handles->music, m_Repeat ? -1 : 0) == 0)
        {
            m_Output->currentMusic = m_Handles->music;
        }
    }
}

void Sound::Stop()
{
    if (m_Handles->chunk != nullptr)
    {
        if (m_Handles->channel >= 0 && Mix_GetChunk(m_Handles->channel) == m_Handles->chunk)
        {
            Mix_HaltChannel(m_Handles->channel);
        }
        m_Handles->channel = -1;
    }
    else if (m_Handles->music != nullptr && m_Output->currentMusic == m_Handles->music)
    {
        Mix_HaltMusic();
        m_Output->currentMusic = nullptr;
    }
}

void Sound::SetRepeat(bool repeat)
{
    m_Repeat = repeat;
}

void Sound::SetVolume(float volume)
{
    m_Volume = volume;
    if (m_Handles->chunk != nullptr)
    {
        Mix_VolumeChunk(m_Handles->chunk, MixerVolume(volume));
    }
    else if (m_Handles->music != nullptr && m_Output->currentMusic == m_Handles->music)
    {
        Mix_VolumeMusic(MixerVolume(volume));
    }
}

bool Sound::IsPlaying() const
{
    if (m_Handles->chunk != nullptr)
    {
        return m_Handles->channel >= 0 && Mix_Playing(m_Handles->channel) != 0 &&
               Mix_GetChunk(m_Handles->channel) == m_Handles->chunk;
    }
    if (m_Handles->music != nullptr)
    {
        return m_Output->currentMusic == m_Handles->music && Mix_PlayingMusic() != 0;
    }
    return false;
}

Device::Device() : m_Output(std::make_shared<detail::Output>()) {}

Device::Device(StandIn) {}

Device::~Device() = default;

bool Device::IsSilent() const
{
    return !m_Output || !m_Output->mixing;
}

std::shared_ptr<Sound> Device::LoadBuffered(std::vector<std::uint8_t> bytes)
{
    return std::make_shared<Sound>(Sound::Key(), m_Output, false, std::move(bytes));
}

std::shared_ptr<Sound> Device::OpenStreamed(std::vector<std::uint8_t> bytes)
{
    return std::make_shared<Sound>(Sound::Key(), m_Output, true, std::move(bytes));
}

} // namespace audio
