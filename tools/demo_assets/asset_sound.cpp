#include "asset_sound.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace DemoAssets
{

namespace
{

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double WaveAt(SoundTrack::Wave wave, double phase)
{
    const double cycle = phase - std::floor(phase);
    switch (wave)
    {
    case SoundTrack::Wave::Sine:
        return std::sin(kTwoPi * cycle);
    case SoundTrack::Wave::Saw:
        return 2.0 * cycle - 1.0;
    case SoundTrack::Wave::Square:
        return cycle < 0.5 ? 1.0 : -1.0;
    case SoundTrack::Wave::Triangle:
        return cycle < 0.5 ? 4.0 * cycle - 1.0 : 3.0 - 4.0 * cycle;
    }
    return 0.0;
}

double OnePole(double hz, std::uint32_t rate)
{
    return 1.0 - std::exp(-kTwoPi * hz / rate);
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Put(std::vector<std::uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

SoundTrack::SoundTrack(std::uint32_t rate, double seconds, std::uint32_t seed)
    : m_Rate(rate), m_Samples(static_cast<std::size_t>(std::lround(seconds * rate)), 0.0),
      m_Noise(seed == 0 ? 1u : seed)
{
}

double SoundTrack::Random()
{
    // xorshift32: the same on every machine.
    m_Noise ^= m_Noise << 13;
    m_Noise ^= m_Noise >> 17;
    m_Noise ^= m_Noise << 5;
    return static_cast<double>(m_Noise) / 2147483648.0 - 1.0;
}

double SoundTrack::Envelope(double t, double length, double attack, double decay,
                            double release) const
{
    double level = attack > 0.0 ? std::min(1.0, t / attack) : 1.0;
    if (decay > 0.0)
        level *= std::exp(-decay * t);
    if (release > 0.0 && t > length - release)
        level *= std::max(0.0, (length - t) / release);
    return level;
}

void SoundTrack::AddTone(const Tone& tone)
{
    const std::size_t first = static_cast<std::size_t>(std::lround(tone.start * m_Rate));
    const std::size_t count = static_cast<std::size_t>(std::lround(tone.length * m_Rate));
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < m_Samples.size(); ++i)
    {
        const double t = static_cast<double>(i) / m_Rate;
        double f = tone.f0 * std::pow(tone.f1 / tone.f0, t / tone.length);
        f *= 1.0 + tone.vibratoDepth * std::sin(kTwoPi * tone.vibratoHz * t);
        m_Samples[first + i] += tone.amp * WaveAt(tone.wave, phase) *
                                Envelope(t, tone.length, tone.attack, tone.decay, tone.release);
        phase += f / m_Rate;
    }
}

void SoundTrack::AddChime(double start, double f, double amp, double decay)
{
    static constexpr double kPartials[][2] = {{1.0, 1.0}, {2.76, 0.5}, {5.40, 0.25}, {8.93, 0.12}};
    for (const auto& partial : kPartials)
    {
        Tone tone;
        tone.start = start;
        tone.length = std::min(6.0 / decay, 2.0);
        tone.f0 = tone.f1 = f * partial[0];
        if (tone.f0 >= m_Rate / 2.0)
            continue;
        tone.amp = amp * partial[1];
        tone.decay = decay * (1.0 + partial[0] * 0.3);
        tone.release = 0.02;
        AddTone(tone);
    }
}

void SoundTrack::AddNoise(const Noise& noise)
{
    const std::size_t first = static_cast<std::size_t>(std::lround(noise.start * m_Rate));
    const std::size_t count = static_cast<std::size_t>(std::lround(noise.length * m_Rate));
    double low = 0.0;
    double under = 0.0;
    const double highPole = noise.highHz > 0.0 ? OnePole(noise.highHz, m_Rate) : 0.0;
    for (std::size_t i = 0; i < count && first + i < m_Samples.size(); ++i)
    {
        const double t = static_cast<double>(i) / m_Rate;
        const double corner =
            noise.lowHz0 * std::pow(noise.lowHz1 / noise.lowHz0, t / noise.length);
        low += OnePole(corner, m_Rate) * (Random() - low);
        under += highPole * (low - under);
        const double shaped = noise.highHz > 0.0 ? low - under : low;
        const double swell = 1.0 + noise.swellDepth * std::sin(kTwoPi * noise.swellHz * t);
        m_Samples[first + i] += noise.amp * swell * shaped *
                                Envelope(t, noise.length, noise.attack, noise.decay, noise.release);
    }
}

void SoundTrack::AddPluck(double start, double f, double amp, double length)
{
    // A delay line of one period filled with noise, averaged as it turns.
    std::vector<double> line(static_cast<std::size_t>(std::max(2.0, std::round(m_Rate / f))));
    for (double& sample : line)
        sample = Random();
    const std::size_t first = static_cast<std::size_t>(std::lround(start * m_Rate));
    const std::size_t count = static_cast<std::size_t>(std::lround(length * m_Rate));
    for (std::size_t i = 0; i < count && first + i < m_Samples.size(); ++i)
    {
        const std::size_t at = i % line.size();
        const std::size_t next = (i + 1) % line.size();
        const double out = line[at];
        line[at] = 0.996 * 0.5 * (line[at] + line[next]);
        const double t = static_cast<double>(i) / m_Rate;
        m_Samples[first + i] += amp * out * Envelope(t, length, 0.003, 0.0, 0.05);
    }
}

void SoundTrack::MakeLoop(double seconds)
{
    const std::size_t fade =
        std::min(m_Samples.size() / 2, static_cast<std::size_t>(std::lround(seconds * m_Rate)));
    const std::size_t kept = m_Samples.size() - fade;
    for (std::size_t i = 0; i < fade; ++i)
    {
        const double in = static_cast<double>(i) / fade;
        m_Samples[i] = m_Samples[i] * in + m_Samples[kept + i] * (1.0 - in);
    }
    m_Samples.resize(kept);
}

std::vector<std::uint8_t> SoundTrack::ToWav() const
{
    const std::uint32_t count = static_cast<std::uint32_t>(m_Samples.size());
    std::vector<std::uint8_t> wav;
    wav.reserve(44 + count + 1);
    Put(wav, "RIFF");
    Put(wav, 36 + count + (count & 1u), 4);
    Put(wav, "WAVE");
    Put(wav, "fmt ");
    Put(wav, 16, 4);
    Put(wav, 1, 2); // PCM
    Put(wav, 1, 2); // mono
    Put(wav, m_Rate, 4);
    Put(wav, m_Rate, 4); // bytes per second
    Put(wav, 1, 2);      // bytes per frame
    Put(wav, 8, 2);      // bits per sample
    Put(wav, "data");
    Put(wav, count, 4);
    for (const double sample : m_Samples)
    {
        const double clipped = std::clamp(sample, -1.0, 1.0);
        wav.push_back(static_cast<std::uint8_t>(std::lround(128.0 + 127.0 * clipped)));
    }
    if ((count & 1u) != 0)
        wav.push_back(128); // chunks are padded to an even size
    return wav;
}

} // namespace DemoAssets
