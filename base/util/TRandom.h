// TRandom: a 16-bit lagged additive random generator with a fixed start state.
#pragma once

#include <array>
#include <cstdint>

// Every instance starts from the same state, so every instance yields the same sequence.
class TRandom {
public:
    TRandom();

    // The next value, 0 .. 65535.
    unsigned Rnd();
    // A value in 0 .. n - 1 (0 for n = 1, -1 for n < 1). The source has 16 bits, so for n above
    // 65,536 the values above 65,535 are never drawn.
    int Random(int n);
    // A bell-shaped value in -n .. n; 0 for n < 1 or n > 65,536.
    int NormalDistribution(int n);

private:
    std::array<std::uint16_t, 32> state_;
    std::uint32_t i_ = 0;
    std::uint32_t j_ = 7;
};
