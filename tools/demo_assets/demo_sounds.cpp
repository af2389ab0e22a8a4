// The demo module's sounds: the twenty effects the game plays on its sound
// events and the ambient loops that the areas and objects name. Effects are
// short 22 kHz clips; ambient loops run four seconds at 11 kHz and join their
// ends, so the whole set stays small.
#include "asset_sound.h"
#include "demo_assets.h"

#include <functional>

namespace DemoAssets
{

namespace
{

using Wave = SoundTrack::Wave;
using Tone = SoundTrack::Tone;
using Noise = SoundTrack::Noise;

constexpr std::uint32_t kEffectRate = 22050;
constexpr std::uint32_t kAmbientRate = 11025;
constexpr double kAmbientSeconds = 4.0;
constexpr double kLoopJoin = 0.5;

Tone MakeTone(double start, double length, double f0, double f1, double amp, Wave wave,
              double decay = 0.0)
{
    Tone tone;
    tone.start = start;
    tone.length = length;
    tone.f0 = f0;
    tone.f1 = f1;
    tone.amp = amp;
    tone.wave = wave;
    tone.decay = decay;
    return tone;
}

Noise MakeNoise(double start, double length, double lowHz0, double lowHz1, double amp,
                double decay = 0.0)
{
    Noise noise;
    noise.start = start;
    noise.length = length;
    noise.lowHz0 = lowHz0;
    noise.lowHz1 = lowHz1;
    noise.amp = amp;
    noise.decay = decay;
    return noise;
}

// A soft footfall on earth: a dull thump under a short crunch.
void Footfall(SoundTrack& s, double at, double weight)
{
    s.AddTone(MakeTone(at, 0.09, 110.0, 70.0, 0.45 * weight, Wave::Sine, 35.0));
    Noise crunch = MakeNoise(at, 0.12, 1800.0, 700.0, 0.9 * weight, 28.0);
    crunch.highHz = 200.0;
    s.AddNoise(crunch);
}

// A metal latch: a bright tick with a ring under it.
void Latch(SoundTrack& s, double at, double pitch, double amp)
{
    Noise tick = MakeNoise(at, 0.02, 6000.0, 6000.0, amp, 150.0);
    tick.highHz = 1500.0;
    s.AddNoise(tick);
    s.AddChime(at, pitch, 0.4 * amp, 40.0);
}

struct SoundRecipe
{
    const char* name;
    double seconds;
    std::function<void(SoundTrack&)> make;
};

const std::vector<SoundRecipe>& Effects()
{
    static const std::vector<SoundRecipe> effects = {
        // A short bright blip for buttons and pages.
        {"click.wav", 0.04,
         [](SoundTrack& s)
         { s.AddTone(MakeTone(0.0, 0.04, 2200.0, 1800.0, 0.6, Wave::Sine, 90.0)); }},
        // Leather and cloth shuffled in a pack.
        {"inventory.wav", 0.3,
         [](SoundTrack& s)
         {
             Noise rustle = MakeNoise(0.0, 0.3, 2500.0, 900.0, 0.8);
             rustle.highHz = 300.0;
             rustle.attack = 0.04;
             rustle.release = 0.12;
             rustle.swellHz = 14.0;
             rustle.swellDepth = 0.6;
             s.AddNoise(rustle);
             s.AddTone(MakeTone(0.18, 0.1, 140.0, 90.0, 0.35, Wave::Sine, 30.0));
         }},
        // Coins falling on each other.
        {"cash.wav", 0.45,
         [](SoundTrack& s)
         {
             const double times[] = {0.0, 0.06, 0.11, 0.19, 0.27};
             const double pitches[] = {2900.0, 3400.0, 3100.0, 3700.0, 3300.0};
             for (int i = 0; i < 5; ++i)
                 s.AddChime(times[i], pitches[i], 0.3, 22.0);
         }},
        // A rising fanfare of bells: a quest done.
        {"quest.wav", 0.9,
         [](SoundTrack& s)
         {
             const double notes[] = {523.25, 659.25, 783.99, 1046.5};
             for (int i = 0; i < 4; ++i)
                 s.AddChime(0.12 * i, notes[i], i == 3 ? 0.45 : 0.3, i == 3 ? 4.0 : 9.0);
         }},
        // A hinge that creaks, then the door meeting its frame.
        {"door.wav", 0.6,
         [](SoundTrack& s)
         {
             Tone creak = MakeTone(0.0, 0.42, 150.0, 220.0, 0.3, Wave::Saw);
             creak.attack = 0.05;
             creak.release = 0.08;
             creak.vibratoHz = 23.0;
             creak.vibratoDepth = 0.12;
             s.AddTone(creak);
             s.AddTone(MakeTone(0.42, 0.18, 90.0, 55.0, 0.7, Wave::Sine, 25.0));
             s.AddNoise(MakeNoise(0.42, 0.08, 900.0, 300.0, 0.6, 50.0));
         }},
        // A handle rattled against a lock that holds.
        {"locked.wav", 0.35,
         [](SoundTrack& s)
         {
             for (int i = 0; i < 3; ++i)
             {
                 Noise clack = MakeNoise(0.1 * i, 0.06, 3000.0, 1200.0, 0.8, 60.0);
                 clack.highHz = 400.0;
                 s.AddNoise(clack);
                 s.AddTone(MakeTone(0.1 * i, 0.05, 320.0, 300.0, 0.3, Wave::Square, 70.0));
             }
         }},
        // The lock's bolt turning over: click, then a higher clack.
        {"unlock.wav", 0.3,
         [](SoundTrack& s)
         {
             Latch(s, 0.0, 1500.0, 0.6);
             Latch(s, 0.14, 2400.0, 0.8);
         }},
        // A blade through the air: a swoosh that rises and falls.
        {"melee_miss.wav", 0.3,
         [](SoundTrack& s)
         {
             Noise swoosh = MakeNoise(0.0, 0.3, 500.0, 4000.0, 1.4);
             swoosh.attack = 0.12;
             swoosh.release = 0.16;
             swoosh.highHz = 250.0;
             s.AddNoise(swoosh);
         }},
        // A blow landing: a heavy thud with a slap on top.
        {"melee_hit.wav", 0.3,
         [](SoundTrack& s)
         {
             s.AddTone(MakeTone(0.0, 0.3, 120.0, 45.0, 0.75, Wave::Sine, 14.0));
             s.AddNoise(MakeNoise(0.0, 0.08, 3500.0, 800.0, 0.7, 40.0));
         }},
        // A bowstring's twang and the arrow leaving.
        {"shoot.wav", 0.45,
         [](SoundTrack& s)
         {
             s.AddPluck(0.0, 196.0, 0.7, 0.45);
             Noise flight = MakeNoise(0.02, 0.2, 3000.0, 1500.0, 0.5);
             flight.highHz = 800.0;
             flight.attack = 0.01;
             flight.release = 0.15;
             s.AddNoise(flight);
         }},
        // A last groan sinking away.
        {"death.wav", 0.9,
         [](SoundTrack& s)
         {
             Tone groan = MakeTone(0.0, 0.9, 210.0, 70.0, 0.45, Wave::Saw);
             groan.attack = 0.05;
             groan.release = 0.4;
             groan.vibratoHz = 6.0;
             groan.vibratoDepth = 0.03;
             s.AddTone(groan);
             s.AddTone(MakeTone(0.0, 0.9, 105.0, 35.0, 0.3, Wave::Sine));
         }},
        // A shimmer of high tones trembling.
        {"spell.wav", 0.7,
         [](SoundTrack& s)
         {
             const double notes[] = {1318.5, 1568.0, 1975.5};
             for (int i = 0; i < 3; ++i)
             {
                 Tone glow = MakeTone(0.05 * i, 0.6, notes[i], notes[i] * 1.02, 0.22, Wave::Sine);
                 glow.attack = 0.08;
                 glow.release = 0.3;
                 glow.vibratoHz = 11.0 + i;
                 glow.vibratoDepth = 0.01;
                 s.AddTone(glow);
             }
         }},
        // A warm chord swelling upward: healing.
        {"spell_aid.wav", 0.8,
         [](SoundTrack& s)
         {
             const double notes[] = {392.0, 493.88, 587.33, 783.99};
             for (int i = 0; i < 4; ++i)
             {
                 Tone swell = MakeTone(0.0, 0.8, notes[i] * 0.94, notes[i], 0.16, Wave::Triangle);
                 swell.attack = 0.35;
                 swell.release = 0.35;
                 s.AddTone(swell);
             }
         }},
        // A crackling bolt falling in pitch.
        {"spell_attack.wav", 0.55,
         [](SoundTrack& s)
         {
             s.AddTone(MakeTone(0.0, 0.55, 900.0, 150.0, 0.35, Wave::Square, 3.0));
             Noise crackle = MakeNoise(0.0, 0.5, 6000.0, 2000.0, 0.55, 4.0);
             crackle.highHz = 1000.0;
             crackle.swellHz = 37.0;
             crackle.swellDepth = 0.9;
             s.AddNoise(crackle);
         }},
        // A deep rumble with a tone rising out of it: something arrives.
        {"spell_summon.wav", 0.9,
         [](SoundTrack& s)
         {
             Noise rumble = MakeNoise(0.0, 0.9, 160.0, 160.0, 1.6);
             rumble.attack = 0.3;
             rumble.release = 0.4;
             s.AddNoise(rumble);
             Tone rise = MakeTone(0.2, 0.7, 220.0, 660.0, 0.3, Wave::Triangle);
             rise.attack = 0.2;
             rise.release = 0.3;
             s.AddTone(rise);
         }},
        // A quick upward whoop that wobbles away.
        {"spell_teleport.wav", 0.5,
         [](SoundTrack& s)
         {
             Tone whoop = MakeTone(0.0, 0.5, 300.0, 2400.0, 0.5, Wave::Sine);
             whoop.attack = 0.02;
             whoop.release = 0.2;
             whoop.vibratoHz = 30.0;
             whoop.vibratoDepth = 0.08;
             s.AddTone(whoop);
         }},
        // A few notes plucked on a lute.
        {"song.wav", 1.1,
         [](SoundTrack& s)
         {
             const double notes[] = {293.66, 349.23, 440.0, 392.0, 293.66};
             for (int i = 0; i < 5; ++i)
                 s.AddPluck(0.18 * i, notes[i], 0.6, i == 4 ? 0.38 : 0.25);
         }},
        // Two soft notes going down: into the shadows.
        {"sneakon.wav", 0.3,
         [](SoundTrack& s)
         {
             s.AddTone(MakeTone(0.0, 0.14, 660.0, 660.0, 0.25, Wave::Triangle, 8.0));
             s.AddTone(MakeTone(0.14, 0.16, 440.0, 440.0, 0.25, Wave::Triangle, 8.0));
         }},
        // Two soft notes going up: out of them.
        {"sneakoff.wav", 0.3,
         [](SoundTrack& s)
         {
             s.AddTone(MakeTone(0.0, 0.14, 440.0, 440.0, 0.25, Wave::Triangle, 8.0));
             s.AddTone(MakeTone(0.14, 0.16, 660.0, 660.0, 0.25, Wave::Triangle, 8.0));
         }},
        // Two steps a second; each dies away before the loop turns.
        {"footsteps.wav", 1.0,
         [](SoundTrack& s)
         {
             Footfall(s, 0.0, 1.0);
             Footfall(s, 0.5, 0.85);
         }},
    };
    return effects;
}

// Water drops falling into a pool at uneven times.
void Drops(SoundTrack& s, const std::vector<double>& times, double amp)
{
    for (std::size_t i = 0; i < times.size(); ++i)
        s.AddTone(MakeTone(times[i], 0.06, 900.0 + 150.0 * (i % 3), 1900.0, amp, Wave::Sine, 45.0));
}

// A bird's chirp: quick sweeps up and down.
void Chirp(SoundTrack& s, double at, double pitch)
{
    for (int i = 0; i < 3; ++i)
        s.AddTone(MakeTone(at + 0.07 * i, 0.05, pitch, pitch * 1.35, 0.15, Wave::Sine, 20.0));
}

const std::vector<SoundRecipe>& Ambients()
{
    static const std::vector<SoundRecipe> ambients = {
        // The crypt's chapel: a low drone of voices rising and falling.
        {"chant.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             const double voices[] = {110.0, 164.81, 220.0, 277.18};
             for (int i = 0; i < 4; ++i)
             {
                 Tone voice = MakeTone(0.0, kAmbientSeconds + kLoopJoin, voices[i], voices[i], 0.12,
                                       i % 2 == 0 ? Wave::Saw : Wave::Triangle);
                 voice.attack = 0.0;
                 voice.release = 0.0;
                 voice.vibratoHz = 5.0;
                 voice.vibratoDepth = 0.006;
                 s.AddTone(voice);
             }
         }},
        // The crypt: dripping water in a still, hollow room.
        {"drip.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             s.AddNoise(MakeNoise(0.0, kAmbientSeconds + kLoopJoin, 250.0, 250.0, 0.15));
             Drops(s, {0.3, 1.15, 1.6, 2.7, 3.4}, 0.5);
         }},
        // The forest pond: frogs croaking over lapping water.
        {"pond.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             Noise lapping = MakeNoise(0.0, kAmbientSeconds + kLoopJoin, 700.0, 700.0, 0.3);
             lapping.swellHz = 0.75;
             lapping.swellDepth = 0.6;
             s.AddNoise(lapping);
             for (const double at : {0.4, 0.7, 2.2, 2.45, 3.5})
             {
                 Tone croak = MakeTone(at, 0.18, 260.0, 220.0, 0.35, Wave::Square);
                 croak.vibratoHz = 32.0;
                 croak.vibratoDepth = 0.25;
                 croak.attack = 0.02;
                 croak.release = 0.05;
                 s.AddTone(croak);
             }
         }},
        // The forest: wind in the leaves and birds calling.
        {"forest.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             Noise wind = MakeNoise(0.0, kAmbientSeconds + kLoopJoin, 900.0, 900.0, 0.5);
             wind.highHz = 150.0;
             wind.swellHz = 0.5;
             wind.swellDepth = 0.5;
             s.AddNoise(wind);
             Chirp(s, 0.6, 3000.0);
             Chirp(s, 1.9, 3600.0);
             Chirp(s, 3.1, 3200.0);
         }},
        // The market square: a murmuring crowd and a coin now and then.
        {"market.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             for (int i = 0; i < 3; ++i)
             {
                 Noise murmur = MakeNoise(0.0, kAmbientSeconds + kLoopJoin, 600.0, 600.0, 0.35);
                 murmur.highHz = 180.0;
                 murmur.swellHz = 3.0 + 1.7 * i;
                 murmur.swellDepth = 0.8;
                 s.AddNoise(murmur);
             }
             s.AddChime(1.3, 3200.0, 0.15, 20.0);
             s.AddChime(3.2, 2800.0, 0.15, 20.0);
         }},
        // The town: a light breeze and a distant bell.
        {"town.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             Noise breeze = MakeNoise(0.0, kAmbientSeconds + kLoopJoin, 500.0, 500.0, 0.3);
             breeze.swellHz = 0.25;
             breeze.swellDepth = 0.6;
             s.AddNoise(breeze);
             s.AddChime(0.2, 392.0, 0.25, 1.6);
             Chirp(s, 2.8, 3400.0);
         }},
        // The town fountain: water splashing without a break.
        {"fountain.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             Noise splash = MakeNoise(0.0, kAmbientSeconds + kLoopJoin, 4000.0, 4000.0, 0.6);
             splash.highHz = 900.0;
             splash.swellHz = 9.0;
             splash.swellDepth = 0.4;
             s.AddNoise(splash);
             Drops(s, {0.5, 1.3, 2.1, 2.9, 3.7}, 0.2);
         }},
        // A campfire: a low roar and sharp pops of wood.
        {"fire.wav", kAmbientSeconds + kLoopJoin,
         [](SoundTrack& s)
         {
             s.AddNoise(MakeNoise(0.0, kAmbientSeconds + kLoopJoin, 300.0, 300.0, 0.6));
             for (const double at : {0.25, 0.9, 1.05, 1.8, 2.6, 2.75, 3.3})
             {
                 Noise pop = MakeNoise(at, 0.03, 5000.0, 5000.0, 0.9, 120.0);
                 pop.highHz = 1500.0;
                 s.AddNoise(pop);
             }
         }},
    };
    return ambients;
}

} // namespace

void AddDemoSounds(std::vector<GeneratedFile>& files)
{
    std::uint32_t seed = 1;
    for (const SoundRecipe& recipe : Effects())
    {
        SoundTrack track(kEffectRate, recipe.seconds, seed++);
        recipe.make(track);
        files.push_back({std::string("audio/") + recipe.name, track.ToWav()});
    }
    for (const SoundRecipe& recipe : Ambients())
    {
        SoundTrack track(kAmbientRate, recipe.seconds, seed++);
        recipe.make(track);
        track.MakeLoop(kLoopJoin);
        files.push_back({std::string("audio/") + recipe.name, track.ToWav()});
    }
}

} // namespace DemoAssets
