// TRandom: a 16-bit lagged additive random generator with a fixed start state.
#include "base/util/TRandom.h"

TRandom::TRandom()
{
    // Word k holds F(33 - k) mod 65536, F being Fibonacci with F(1) = F(2) = 1: walk up from F(2).
    std::uint32_t older = 1;
    std::uint32_t newer = 2;
    for (int k = 31; k >= 0; --k) {
        state_[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(older);
        const std::uint32_t next = (older + newer) & 0xFFFF;
        older = newer;
        newer = next;
    }
}

unsigned TRandom::Rnd()
{
    state_[i_] = static_cast<std::uint16_t>(state_[i_] + state_[j_]);
    const unsigned value = state_[i_];
    i_ = (i_ + 31) % 32;
    j_ = (j_ + 31) % 32;
    return value;
}

int TRandom::Random(int n)
{
    if (n < 1)
        return -1;
    if (n == 1)
        return 0;
    unsigned mask = 1;
    while (mask < static_cast<unsigned>(n - 1))
        mask = mask * 2 + 1;
    unsigned value;
    do {
        value = Rnd() & mask;
    } while (value >= static_cast<unsigned>(n));
    return static_cast<int>(value);
}

int TRandom::NormalDistribution(int n)
{
    if (n < 1 || n > 65536)
        return 0;
    const int a = 2 * n / 3;
    const int first = Random(a + 1);
    const int second = Random(a + 1);
    const int third = Random(2 * (n - a) + 1);
    return first + second + third - n;
}
