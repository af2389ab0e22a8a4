#pragma once

#include <cstdint>
#include <memory>

// The global generator: a standard 32-bit Mersenne twister seeded with 5489
// before anything else runs. Only the window thread draws from it.

void SeedRandom(std::uint32_t seed);

// One 32-bit draw divided by 4294967295.0: 0.0 to 1.0, both ends possible.
double RandomReal();

// 1..n for n > 0, n..-1 for n < 0. n must not be 0.
int RandomDie(int n);

// The next raw 32-bit output of the generator.
std::uint32_t RandomWord();

// The two mappings the draws use, apart so that the rare draw of exactly
// 0xFFFFFFFF can be checked.
double RealFromDraw(std::uint32_t draw);
int DieFromReal(double real, int n);

// Puts the generator back as it was when it was made: work that must leave
// the game's draws alone (reading a saved file back to check it) runs while
// one lives.
class CRandomStateKeeper
{
public:
    CRandomStateKeeper();
    ~CRandomStateKeeper();
    CRandomStateKeeper(const CRandomStateKeeper&) = delete;
    CRandomStateKeeper& operator=(const CRandomStateKeeper&) = delete;

private:
    struct CState;
    std::unique_ptr<CState> m_State;
};
