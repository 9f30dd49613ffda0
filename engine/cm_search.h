// The CM parameter search: the next discriminant D = 7 (mod 8) whose class
// number is a multiple of the field degree N and for which a curve over
// GF(2^N) has order K·R with R prime and K small; with its filters
// (square-freeness, class number, norm equation, order splitting).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "integers/integers.h"
#include "integers/primes.h"

namespace rara {

// Highest discriminant the search examines; beyond it the search gives up.
inline constexpr std::int32_t CMSearchLimit = 536870912;  // 2^29

// Searches upward from D (exclusive; 0 and -1 start at 7) for the next
// square-free D = 7 (mod 8) with N | h(-4D), t² + D·v² = 2^(N+2) solvable and
// an order 2^N + 1 ± t = K·R with R prime, bitlength(K) <= KMaxSize (clipped
// to 2..(4N) div 5) and, with KMod4, 4 | K. K's odd primes are those up to
// TrialBound (the built-in table when TrialBound <= 32768). Progress follows
// the candidates. When no D up to 2^29 qualifies: ClassNumber = 0, K = R = 0,
// KFactors empty. Invalid arguments raise ERuvInvalidArg "GetGF2CurveParams".
void GetGF2CurveParams(std::int32_t& d, std::int32_t& classNumber, std::string& kFactors,
                       TInteger& k, TInteger& r, std::int32_t deg, std::int32_t kMaxSize,
                       std::int32_t trialBound, bool kMod4, std::int32_t& progress);

// True when no odd prime square divides d (d odd, positive).
bool IsSquareFree(std::int32_t d);

// Number of reduced primitive forms a·x² + 2b·xy + c·y² of discriminant -4d
// (d > 0), by enumerating them; exact for every d.
std::int32_t ClassNumber(std::int32_t d);

// The same count for the block d0, d0 + 8, ..., d0 + 8·(count - 1), all at
// once (d0 = 7 mod 8, d0 > 0, last value < 2^31): h[i] is exact for each
// square-free d0 + 8i (other entries are not class numbers). count > 0.
void ClassNumberBlock(std::int32_t d0, std::int32_t count, std::vector<std::uint32_t>& h);

// Finds t > 0 with t² + d·v² = 2^(n+2) by reducing the form of the smallest
// square root of -d modulo 2^(n+2); false when the reduction does not end at
// a form with A = 1 or (A = 4 with the tracked step even). d = 7 (mod 8), n >= 1.
bool SolveNormEquation(std::int32_t d, std::int32_t n, TInteger& t);

// U (even, positive) := its part R free of 2 and of the odd primes of the
// list (or of the built-in table when primes is null); K := the rest. True
// when bitlength(K) <= kMaxSize and R is prime; a power of two in U of
// kMaxSize or more fails at once. scratch is work space.
bool SplitCurveOrder(TInteger& u, TInteger& k, TInteger& scratch, const TPrimeList* primes,
                     std::int32_t kMaxSize);

// "2^3 * 3^3"-style text of k's factorisation over the small primes (those of
// the list, or up to 32768), with any unfactored remainder last.
std::string FactorText(const TInteger& k, const TPrimeList* primes);

}  // namespace rara
