#pragma once

#include <cstdint>
#include <memory>

namespace audio
{
class Device;
}

namespace VARDCommon
{
class CDataFileFactory;
}

// The game's sound: the sound effects and the area's ambient sound over
// the audio output. So far it holds the output open and plays nothing; the
// effects and their table come with the game screen's event sounds.
class CVARDAudio2
{
public:
    // A null output runs the game silently.
    CVARDAudio2(std::shared_ptr<VARDCommon::CDataFileFactory> factory,
                std::unique_ptr<audio::Device> output);
    ~CVARDAudio2();
    CVARDAudio2(const CVARDAudio2&) = delete;
    CVARDAudio2& operator=(const CVARDAudio2&) = delete;

    bool IsSilent() const;
    // Percent, 100 at start.
    std::uint32_t GetVolume() const { return m_Volume; }

private:
    std::shared_ptr<VARDCommon::CDataFileFactory> m_Factory;
    std::unique_ptr<audio::Device> m_Output;
    std::uint32_t m_Volume = 100;
};
