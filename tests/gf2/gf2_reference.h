// Slow, obviously right references for the binary polynomial tests: plain
// bit vectors, schoolbook product, long division one bit at a time and
// Euclid's gcd, plus converters and an invariant check for TGF2Poly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gf2/gf2_poly.h"
#include "integers/break.h"
#include "tests/support/test_support.h"

namespace rara::test {

// Coefficient i is bit i%32 of word i/32; kept without trailing zero words.
using TRef = std::vector<std::uint32_t>;

inline void Trim(TRef& a) {
  while (!a.empty() && a.back() == 0) a.pop_back();
}

inline int RefDegree(const TRef& a) {
  for (int i = static_cast<int>(a.size()) - 1; i >= 0; --i)
    if (a[i] != 0)
      for (int j = 31; j >= 0; --j)
        if ((a[i] >> j) & 1u) return 32 * i + j;
  return -1;
}

inline bool RefBit(const TRef& a, int i) {
  return i >= 0 && static_cast<std::size_t>(i / 32) < a.size() && ((a[i / 32] >> (i % 32)) & 1u);
}

inline void RefSetBit(TRef& a, int i, bool v) {
  if (static_cast<std::size_t>(i / 32) >= a.size()) a.resize(i / 32 + 1, 0);
  if (v)
    a[i / 32] |= 1u << (i % 32);
  else
    a[i / 32] &= ~(1u << (i % 32));
}

inline TRef RefAdd(TRef a, const TRef& b) {
  if (b.size() > a.size()) a.resize(b.size(), 0);
  for (std::size_t i = 0; i < b.size(); ++i) a[i] ^= b[i];
  Trim(a);
  return a;
}

// a · x^k
inline TRef RefShl(const TRef& a, int k) {
  TRef r;
  for (int i = RefDegree(a); i >= 0; --i)
    if (RefBit(a, i)) RefSetBit(r, i + k, true);
  Trim(r);
  return r;
}

// Schoolbook: for every coefficient of a, add b shifted to it.
inline TRef RefMul(const TRef& a, const TRef& b) {
  TRef r(a.size() + b.size() + 1, 0);
  for (int i = 0; i <= RefDegree(a); ++i) {
    if (!RefBit(a, i)) continue;
    for (int j = 0; j <= RefDegree(b); ++j)
      if (RefBit(b, j)) r[(i + j) / 32] ^= 1u << ((i + j) % 32);
  }
  Trim(r);
  return r;
}

// Long division one coefficient at a time; b non-zero.
inline void RefDivMod(const TRef& a, const TRef& b, TRef& q, TRef& r) {
  const int db = RefDegree(b);
  r = a;
  Trim(r);
  q.clear();
  for (int d = RefDegree(r); d >= db; d = RefDegree(r)) {
    RefSetBit(q, d - db, true);
    r = RefAdd(r, RefShl(b, d - db));
  }
  Trim(q);
}

inline TRef RefGcd(TRef a, TRef b) {
  Trim(a);
  Trim(b);
  while (!b.empty()) {
    TRef q, r;
    RefDivMod(a, b, q, r);
    a = b;
    b = r;
  }
  return a;
}

inline void SetRef(TGF2Poly& p, const TRef& a) {
  p.Clear();
  p.SetSize(static_cast<std::int32_t>(a.size()), false);
  for (std::size_t i = 0; i < a.size(); ++i) p.Words()[i] = a[i];
  p.Normalize(true);
}

inline TRef ToRef(const TGF2Poly& p) { return TRef(p.Words(), p.Words() + p.Count()); }

// Random polynomial of exactly deg (deg -1 gives zero).
inline TRef RandomRef(std::mt19937& g, int deg) {
  TRef a;
  if (deg < 0) return a;
  a.resize(deg / 32 + 1);
  for (auto& w : a) w = static_cast<std::uint32_t>(g());
  if (deg % 32 != 31) a.back() &= (2u << (deg % 32)) - 1;
  a.back() |= 1u << (deg % 32);
  return a;
}

inline std::string Hex(const TRef& a) {
  if (a.empty()) return "0";
  std::ostringstream s;
  s << std::hex;
  for (int i = static_cast<int>(a.size()) - 1; i >= 0; --i) s << a[i] << (i ? "." : "");
  return s.str();
}

inline std::string Hex(const TGF2Poly& p) { return Hex(ToRef(p)); }

// Normal form and storage rules every public operation must leave behind.
inline ::testing::AssertionResult Valid(const TGF2Poly& p) {
  if (p.Capacity() % 8 != 0) return ::testing::AssertionFailure() << "capacity " << p.Capacity();
  if (p.Count() < 0 || p.Count() > p.Capacity())
    return ::testing::AssertionFailure() << "count " << p.Count() << " capacity " << p.Capacity();
  if (p.Count() > 0 && p.Words()[p.Count() - 1] == 0) return ::testing::AssertionFailure() << "zero top word";
  for (int i = p.Count(); i < p.Capacity(); ++i)
    if (p.Words()[i] != 0) return ::testing::AssertionFailure() << "non-zero word " << i << " beyond count";
  return ::testing::AssertionSuccess();
}

// Message of the exception E raised by f ("" when none).

// Injects an abort at a chosen poll (Arm) and checks at the end that every
// scratch polynomial went back to the pool.
class TGF2AbortTest : public ::testing::Test {
 protected:
  void Arm(int polls) {
    PollsBeforeAbort = polls;
    RuvBreakWith(&AbortAtPoll);
    break_detail::Tick.store(true);
    used_ = TGF2PolyPool::ThreadVars().Used;
  }
  void TearDown() override {
    RuvBreakStop();
    EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used_) << "scratch polynomials not given back";
  }
  int used_ = 0;
};

}  // namespace rara::test
