// CT_Random: a subtractive (lagged Fibonacci) pseudo-random generator.
//
// A table of 55 unsigned 32-bit words is stirred one word per step: the
// word at the next index loses the word 24 places behind it (31 ahead,
// modulo 55), all arithmetic modulo 2^32, and the result is the step's
// word. Each object carries its own state, so streams run side by side
// independently; the same seed gives the same stream, and a copy goes on
// with the stream of its original.
//
// Not locked: one generator belongs to one thread at a time.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

class BASIS_API CT_Random {
public:
    enum : unsigned { e_StateSize = 55, e_Lag = 31 };

    // A seed of 0 takes the present calendar time in seconds.
    explicit CT_Random(std::uint32_t seed = 0) { v_Init(seed); }

    // The next word modulo range: 0 to range - 1 (range not 0).
    std::uint32_t n4_Next(std::uint32_t range) { return n4_Step() % range; }
    // The next word's low 24 bits times 2^-24: [0, 1) in steps of 2^-24.
    double r8_Next() { return (n4_Step() & 0xFFFFFFu) * 5.960464477539063e-08; }

private:
    void v_Init(std::uint32_t seed);
    std::uint32_t n4_Step() {
        n_Next = n_Next + 1 == e_StateSize ? 0 : n_Next + 1;
        n_NextLag = n_NextLag + 1 == e_StateSize ? 0 : n_NextLag + 1;
        an4_State[n_Next] -= an4_State[n_NextLag];
        return an4_State[n_Next];
    }

    std::uint32_t an4_State[e_StateSize];
    std::uint32_t n_Next;
    std::uint32_t n_NextLag;
};
