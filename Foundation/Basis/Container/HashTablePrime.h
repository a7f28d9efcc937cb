// The bucket counts of the hashed containers: the next prime at or above a
// number. Internal to the library.
#pragma once

namespace Container {

// The smallest v at or above m with no divisor from 2 to floor(sqrt(v));
// values below 4 come back as they are (so 0 gives 0 and 1 gives 1).
inline unsigned sn_NextPrime(unsigned m) {
    if (m < 4) return m;
    for (unsigned long long v = m;; ++v) {
        bool prime = true;
        for (unsigned long long d = 2; d * d <= v; ++d) {
            if (v % d == 0) {
                prime = false;
                break;
            }
        }
        // Past the largest 32-bit prime there is none: stay at the top.
        if (prime || v == 0xFFFFFFFFull) return static_cast<unsigned>(v);
    }
}

}  // namespace Container
