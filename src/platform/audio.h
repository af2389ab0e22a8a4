#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace audio
{

namespace detail
{
struct Output;
}

// One sound made from a sound file held in memory (WAV, Ogg and the other
// formats the mixer detects from the data). Its operations are virtual so
// that tests can hear what the game plays through a recording stand-in.
class Sound
{
public:
    // Only a device makes sounds.
    class Key
    {
        friend class Device;
        Key() = default;
    };

    Sound(Key, std::shared_ptr<detail::Output> output, bool streamed,
          std::vector<std::uint8_t> bytes);
    virtual ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Plays from the start; a sound that is still playing starts over.
    virtual void Play();
    virtual void Stop();
    // Whether the next Play loops until stopped.
    virtual void SetRepeat(bool repeat);
    // 0 (silent) to 1 (full); applies at once to a sound that is playing.
    virtual void SetVolume(float volume);
    virtual bool IsPlaying() const;
    bool IsStreamed() const { return m_Streamed; }

protected:
    // A stand-in's sound: it reaches no mixer.
    explicit Sound(bool streamed);

private:
    struct Handles;

    std::shared_ptr<detail::Output> m_Output;
    bool m_Streamed;
    bool m_Repeat = false;
    float m_Volume = 1.0f;
    // A streamed sound reads these while it plays; they are released after
    // the decoder.
    std::vector<std::uint8_t> m_Bytes;
    std::unique_ptr<Handles> m_Handles;
};

// The default audio output. When there is none the device is silent: its
// sounds take every call and play nothing. One device is open at a time;
// its sounds keep the output open until the last of them is gone. Tests
// replace it by a recording stand-in.
class Device
{
public:
    // Throws platform::Error when another device is still open.
    Device();
    virtual ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    virtual bool IsSilent() const;

    // Decoded at once and kept in memory, for short effects. Throws
    // platform::Error when the bytes are no sound the mixer can decode.
    virtual std::shared_ptr<Sound> LoadBuffered(std::vector<std::uint8_t> bytes);
    // Decoded from the bytes while it plays, for long ambient tracks. Only one
    // streamed sound plays at a time: playing another stops it. Throws
    // platform::Error when the bytes are no sound the mixer can stream.
    virtual std::shared_ptr<Sound> OpenStreamed(std::vector<std::uint8_t> bytes);

protected:
    // A stand-in's device: it opens no output and counts for no open device.
    struct StandIn
    {
    };
    explicit Device(StandIn);

private:
    std::shared_ptr<detail::Output> m_Output;
};

} // namespace audio
