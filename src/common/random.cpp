#include "common/random.h"

#include <array>

namespace
{

class CMersenneTwister
{
public:
    explicit CMersenneTwister(std::uint32_t seed) { Seed(seed); }

    void Seed(std::uint32_t seed)
    {
        m_State[0] = seed;
        for (std::uint32_t i = 1; i < kWords; ++i)
            m_State[i] = 1812433253u * (m_State[i - 1] ^ (m_State[i - 1] >> 30)) + i;
        m_Index = kWords; // regenerate on the next draw
    }

    std::uint32_t Next()
    {
        if (m_Index >= kWords)
            Regenerate();
        std::uint32_t y = m_State[m_Index++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9D2C5680u;
        y ^= (y << 15) & 0xEFC60000u;
        y ^= y >> 18;
        return y;
    }

private:
    static constexpr std::uint32_t kWords = 624;
    static constexpr std::uint32_t kShift = 397;

    static std::uint32_t Twist(std::uint32_t upper, std::uint32_t lower, std::uint32_t far)
    {
        const std::uint32_t y = (upper & 0x80000000u) | (lower & 0x7FFFFFFFu);
        return far ^ (y >> 1) ^ ((y & 1u) != 0 ? 0x9908B0DFu : 0u);
    }

    // Word i takes words i + 1 and i + kShift, counted round the end: three
    // runs split where those wrap, so no word pays for a modulo.
    void Regenerate()
    {
        std::uint32_t i = 0;
        for (; i < kWords - kShift; ++i)
            m_State[i] = Twist(m_State[i], m_State[i + 1], m_State[i + kShift]);
        for (; i < kWords - 1; ++i)
            m_State[i] = Twist(m_State[i], m_State[i + 1], m_State[i + kShift - kWords]);
        m_State[kWords - 1] = Twist(m_State[kWords - 1], m_State[0], m_State[kShift - 1]);
        m_Index = 0;
    }

    std::array<std::uint32_t, kWords> m_State{};
    std::uint32_t m_Index = kWords;
};

CMersenneTwister& Generator()
{
    // Built on first use, so it is seeded before any other global can draw.
    static CMersenneTwister generator(5489u);
    return generator;
}

} // namespace

void SeedRandom(std::uint32_t seed)
{
    Generator().Seed(seed);
}

std::uint32_t RandomWord()
{
    return Generator().Next();
}

double RealFromDraw(std::uint32_t draw)
{
    return static_cast<double>(draw) / 4294967295.0;
}

int DieFromReal(double real, int n)
{
    // The modulo turns the rare draw of exactly 1.0 into the lowest face.
    const int t = static_cast<int>(real * n);
    const int r = t % n;
    return n > 0 ? r + 1 : r - 1;
}

double RandomReal()
{
    return RealFromDraw(RandomWord());
}

int RandomDie(int n)
{
    return DieFromReal(RandomReal(), n);
}

struct CRandomStateKeeper::CState
{
    CMersenneTwister generator;
};

CRandomStateKeeper::CRandomStateKeeper() : m_State(std::make_unique<CState>(CState{Generator()})) {}

CRandomStateKeeper::~CRandomStateKeeper()
{
    Generator() = m_State->generator;
}
