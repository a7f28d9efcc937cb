#include "Foundation/Basis/Container/Random.h"

#include <ctime>

void CT_Random::v_Init(std::uint32_t seed) {
    if (seed == 0) seed = static_cast<std::uint32_t>(std::time(nullptr));
    // The spreading loop below writes every word but the 34th (its index
    // sequence 21 * i mod 55 for i = 0..53 never reaches 34, and passes
    // over the seed's word 54 at i = 34). That word starts as 0, so the
    // seed alone decides the stream.
    for (std::uint32_t& word : an4_State) word = 0;
    an4_State[54] = seed;
    std::uint32_t s = seed;
    std::uint32_t k = 1;
    for (unsigned i = 0; i < 54; ++i) {
        unsigned j = (21 * i) % 55;
        std::uint32_t t = s - k;
        an4_State[j] = k;
        k = t;
        s = an4_State[j];
    }
    for (int round = 0; round < 4; ++round)
        for (unsigned i = 0; i < e_StateSize; ++i) an4_State[i] -= an4_State[(i + e_Lag) % e_StateSize];
    n_Next = 0;
    n_NextLag = e_Lag;
}
