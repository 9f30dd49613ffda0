// The Teichmüller modulus of a field polynomial and power-series inverses,
// over integers modulo 2^(64w) (coefficient i at words [i·w, (i+1)·w)).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gf2/gf2_poly.h"

namespace rara {

// T := the N low coefficients of the monic T~ of degree N = deg P with
// T~ ≡ P mod 2 and T~(x^2) = (−1)^N·T~(x)·T~(−x), that is, whose roots are
// the Teichmüller representatives of P's roots, modulo 2^(64·words). A
// Newton iteration on T~ = (−1)^N·(A^2 − y·B^2) for T~(x) = A(x^2) + x·B(x^2),
// each step solving its linear equation by a doubling recursion.
void TeichmullerModulus(std::vector<std::uint64_t>& t, const TGF2Poly& p, int words);

// G := F^(−1) modulo x^len for F with constant coefficient 1 (at least len
// coefficients of w words), by Newton's iteration G := G·(2 − F·G).
void PowerSeriesInverse(std::vector<std::uint64_t>& g, const std::vector<std::uint64_t>& f, std::size_t len, int w);

}  // namespace rara
