#include "platform/audio.h"
#include "platform/platform_error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
    {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void Put(Bytes& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// A mono 8-bit WAV file of a quiet tone, long enough to be still playing
// whenever a test looks.
Bytes ToneWav(std::uint32_t seconds = 30)
{
    const std::uint32_t rate = 8000;
    const std::uint32_t samples = rate * seconds;
    Bytes wav;
    Put(wav, "RIFF");
    Put(wav, 36 + samples, 4);
    Put(wav, "WAVE");
    Put(wav, "fmt ");
    Put(wav, 16, 4);
    Put(wav, 1, 2); // PCM
    Put(wav, 1, 2); // mono
    Put(wav, rate, 4);
    Put(wav, rate, 4); // bytes per second
    Put(wav, 1, 2);    // block size
    Put(wav, 8, 2);    // bits per sample
    Put(wav, "data");
    Put(wav, samples, 4);
    for (std::uint32_t i = 0; i < samples; ++i)
    {
        wav.push_back(static_cast<std::uint8_t>(128 + ((i / 16) % 2 == 0 ? 4 : -4)));
    }
    return wav;
}

class AudioTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
};

TEST_F(AudioTest, BufferedSoundFromMemoryPlaysRestartsAndStops)
{
    audio::Device device;
    ASSERT_FALSE(device.IsSilent());
    const std::shared_ptr<audio::Sound> click = device.LoadBuffered(ToneWav());
    const std::shared_ptr<audio::Sound> door = device.LoadBuffered(ToneWav());
    EXPECT_FALSE(click->IsStreamed());
    EXPECT_FALSE(click->IsPlaying());

    click->SetVolume(0.5f);
    click->Play();
    door->Play();
    EXPECT_TRUE(click->IsPlaying());
    EXPECT_TRUE(door->IsPlaying()); // different effects overlap
    click->Play();                  // starts over, still one sound
    EXPECT_TRUE(click->IsPlaying());
    click->SetVolume(0.0f);
    EXPECT_TRUE(click->IsPlaying());

    click->Stop();
    EXPECT_FALSE(click->IsPlaying());
    EXPECT_TRUE(door->IsPlaying());
    door->SetRepeat(true);
    door->Play();
    EXPECT_TRUE(door->IsPlaying());
    door->Stop();
    EXPECT_FALSE(door->IsPlaying());
    click->Stop(); // stopping a stopped sound is nothing
}

TEST_F(AudioTest, OneStreamPlaysAtATimeAndKeepsItsBytes)
{
    audio::Device device;
    std::shared_ptr<audio::Sound> forest = device.OpenStreamed(ToneWav());
    const std::shared_ptr<audio::Sound> crypt = device.OpenStreamed(ToneWav());
    EXPECT_TRUE(forest->IsStreamed());

    forest->SetRepeat(true);
    forest->Play();
    EXPECT_TRUE(forest->IsPlaying());
    crypt->Play();
    EXPECT_TRUE(crypt->IsPlaying());
    EXPECT_FALSE(forest->IsPlaying());
    forest->Stop(); // not the one playing: the other goes on
    EXPECT_TRUE(crypt->IsPlaying());
    crypt->SetVolume(0.25f);
    EXPECT_TRUE(crypt->IsPlaying());
    crypt->Stop();
    EXPECT_FALSE(crypt->IsPlaying());

    // Released while it plays: it stops first, then its bytes go.
    forest->Play();
    forest.reset();
    EXPECT_FALSE(crypt->IsPlaying());
    crypt->Play();
    EXPECT_TRUE(crypt->IsPlaying());
}

TEST_F(AudioTest, CorruptBufferGivesAClearError)
{
    audio::Device device;
    const std::string text = "this is no sound file at all, only words";
    const Bytes words(text.begin(), text.end());
    Bytes cut = ToneWav();
    cut.resize(30);
    for (const Bytes& bad : {words, cut, Bytes{}})
    {
        for (const bool streamed : {false, true})
        {
            try
            {
                if (streamed)
                {
                    device.OpenStreamed(bad);
                }
                else
                {
                    device.LoadBuffered(bad);
                }
                ADD_FAILURE() << "accepted " << bad.size() << " bytes, streamed " << streamed;
            }
            catch (const platform::Error& e)
            {
                EXPECT_EQ(std::string(e.what()).rfind("cannot decode sound", 0), 0u) << e.what();
            }
        }
    }
}

TEST_F(AudioTest, WithoutAnOutputTheDeviceIsSilent)
{
    setenv("SDL_AUDIODRIVER", "vard-no-such-driver", 1);
    audio::Device device;
    EXPECT_TRUE(device.IsSilent());
    const std::shared_ptr<audio::Sound> sound = device.LoadBuffered(ToneWav(1));
    sound->SetRepeat(true);
    sound->Play();
    EXPECT_FALSE(sound->IsPlaying());
    sound->Stop();
}

TEST_F(AudioTest, OneDeviceAtATime)
{
    {
        audio::Device device;
        EXPECT_THROW(audio::Device(), platform::Error);
    }
    audio::Device again;
    EXPECT_FALSE(again.IsSilent());
}

} // namespace
