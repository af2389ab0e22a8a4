#pragma once

#include <cstdint>
#include <vector>

namespace DemoAssets
{

// Mono samples in -1..1, mixed by adding voices, written as an 8-bit PCM WAV
// file. Every voice is a pure function of its arguments and the track's own
// noise generator, so the same program always writes the same bytes.
class SoundTrack
{
public:
    enum class Wave
    {
        Sine,
        Saw,
        Square,
        Triangle,
    };

    SoundTrack(std::uint32_t rate, double seconds, std::uint32_t seed);

    // A tone whose pitch glides exponentially from f0 to f1; it rises over
    // attack seconds, then dies away at decay per second (0: held), and fades
    // out over the last release seconds.
    struct Tone
    {
        double start = 0.0;
        double length = 0.1;
        double f0 = 440.0;
        double f1 = 440.0;
        double amp = 0.5;
        Wave wave = Wave::Sine;
        double attack = 0.002;
        double decay = 0.0;
        double release = 0.01;
        double vibratoHz = 0.0;
        double vibratoDepth = 0.0; // share of the pitch
    };
    void AddTone(const Tone& tone);
    // A struck bell or metal: a few inharmonic partials of f, fast decay.
    void AddChime(double start, double f, double amp, double decay);
    // White noise through a low-pass whose corner glides from lowHz0 to
    // lowHz1, minus what lies under highHz (0: nothing removed); the same
    // envelope as a tone.
    struct Noise
    {
        double start = 0.0;
        double length = 0.1;
        double lowHz0 = 4000.0;
        double lowHz1 = 4000.0;
        double highHz = 0.0;
        double amp = 0.5;
        double attack = 0.002;
        double decay = 0.0;
        double release = 0.01;
        // Slow swell: the level moves by this share at swellHz.
        double swellHz = 0.0;
        double swellDepth = 0.0;
    };
    void AddNoise(const Noise& noise);
    // A plucked string that rings down.
    void AddPluck(double start, double f, double amp, double length);

    // Makes the end run into the start over the last seconds, so the track
    // loops without a click; the track gets that much shorter.
    void MakeLoop(double seconds);
    // 8-bit unsigned mono PCM, clipped at full scale.
    std::vector<std::uint8_t> ToWav() const;

    double Random(); // -1..1

private:
    double Envelope(double t, double length, double attack, double decay, double release) const;

    std::uint32_t m_Rate;
    std::vector<double> m_Samples;
    std::uint32_t m_Noise;
};

} // namespace DemoAssets
