// The MOV condition of a curve order: the embedding degree of the prime
// subgroup order R in GF(2^N), and the degree from which discrete logarithms
// in the extension field are no longer easier than N bits.
#pragma once

#include <cstdint>

#include "integers/integers.h"

namespace rara {

// Smallest i in 1..1000 with 2^(N·i) = 1 (mod R); 0 when there is none (the
// condition holds with threshold 1000). R < 2 has no subgroup to check and
// gives -1 (a search that gave up leaves R = 0).
std::int32_t MOVDegree(std::int32_t n, const TInteger& r);

// Smallest k for which the discrete-logarithm estimate in GF(2^(k·N))
// reaches N bits. n >= 1.
std::int32_t CriticalThreshold(std::int32_t n);

}  // namespace rara
