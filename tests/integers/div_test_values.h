// Integers for the division, text and stream tests: random limbs, limbs
// drawn from the values that stress carries and quotient estimates, and
// integers built from explicit limb lists.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "integers/integers.h"
#include "integers/random.h"

namespace rara::test {

// a := the non-negative integer with these limbs, least significant first.
inline void SetLimbs(TInteger& a, std::initializer_list<std::uint32_t> limbs) {
  a.Clear();
  if (limbs.size() == 0) return;
  a.SetSize(static_cast<std::int32_t>(limbs.size()), false);
  std::int32_t i = 0;
  for (std::uint32_t v : limbs) a.Limbs()[i++] = v;
  a.Normalize();
}

// One limb: random, or (when edgy) a value next to a power of two or zero.
inline std::uint32_t EdgyLimb(bool edgy) {
  static constexpr std::uint32_t Edges[] = {0u,          1u,          2u,          0x7FFFFFFFu,
                                            0x80000000u, 0x80000001u, 0xFFFFFFFEu, 0xFFFFFFFFu};
  if (!edgy || RuvRandom() % 4 == 0) return RuvRandom();
  return Edges[RuvRandom() % 8];
}

// a := an integer of exactly `limbs` limbs (0 gives zero), top limb non-zero;
// edgy draws most limbs from the edge values; the sign is random when signed.
inline void RandomInteger(TInteger& a, std::int32_t limbs, bool edgy, bool allowNegative) {
  a.Clear();
  if (limbs <= 0) return;
  a.SetSize(limbs, false);
  for (std::int32_t i = 0; i < limbs; ++i) a.Limbs()[i] = EdgyLimb(edgy);
  if (a.Limbs()[limbs - 1] == 0) a.Limbs()[limbs - 1] = 1u + RuvRandom() % 0xFFFFFFFEu;
  a.Normalize();
  if (allowNegative) a.SetNegative(RuvRandom() % 2 == 0);
}

}  // namespace rara::test
