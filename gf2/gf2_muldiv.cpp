// Products, long division and gcd of binary polynomials: GF2Mul over the
// Karatsuba kernels (word-by-polynomial, balanced and block paths), GF2Div and
// GF2Mod by the bitwise and the shifted-divisor table methods, and the binary
// gcd.
#include <bit>
#include <cstring>
#include <memory>

#include "gf2/gf2_kernel_limits.h"
#include "gf2/gf2_kernels.h"
#include "gf2/gf2_poly.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/words.h"

namespace rara {

namespace {

using gf2_limits::FixedWords;
using gf2_limits::TableMinDegree;
using gf2_limits::TableMinGap;

inline std::int32_t TopDegree(const std::uint32_t* w, std::int32_t top) noexcept {
  return 32 * top + static_cast<std::int32_t>(std::bit_width(w[top])) - 1;
}

// Product of operands that both fit the fixed-size kernels: on the stack.
void MulSmall(TGF2Poly& a, const TGF2Poly& b) {
  const std::int32_t na = a.Count(), nb = b.Count();
  const std::int32_t n = na > nb ? na : nb;
  std::uint32_t x[FixedWords] = {}, y[FixedWords] = {}, r[2 * FixedWords];
  std::memcpy(x, a.Words(), static_cast<std::size_t>(na) * 4);
  std::memcpy(y, b.Words(), static_cast<std::size_t>(nb) * 4);
  KMul(r, x, y, n, false);
  a.SetSize(na + nb, false);
  std::memcpy(a.Words(), r, static_cast<std::size_t>(na + nb) * 4);
  a.Normalize(true);
}

// Block method: L has at least twice the words of S; each block of L of S's
// length is multiplied by S and added at its offset.
void MulBlocks(TGF2Poly& p, TGF2Poly& l, const TGF2Poly& s, bool poll) {
  const std::int32_t nl = l.Count(), m = s.Count();
  const std::int32_t padded = (nl + m - 1) / m * m;
  if (l.Capacity() < padded) l.SetMem(padded);
  p.SetSize(0, false);
  if (p.Capacity() < padded + m) p.SetMem(padded + m);
  std::uint32_t small[2 * FixedWords];
  std::unique_ptr<std::uint32_t[]> heap;
  std::uint32_t* t = small;
  if (m > FixedWords) {
    heap = std::make_unique_for_overwrite<std::uint32_t[]>(2 * static_cast<std::size_t>(m));
    t = heap.get();
  }
  std::uint32_t* pw = p.Words();
  const std::uint32_t* lw = l.Words();
  const std::uint32_t* sw = s.Words();
  for (std::int32_t o = 0; o < nl; o += m) {
    KMul(t, lw + o, sw, m, false);
    for (std::int32_t i = 0; i < m; ++i) pw[o + i] ^= t[i];
    std::memcpy(pw + o + m, t + m, static_cast<std::size_t>(m) * 4);
    if (poll) {
      p.SetSize(o + 2 * m, false);
      RuvBreak();
    }
  }
  p.SetSize(nl + m, false);
}

using words::Load64;

inline void Xor64(std::uint32_t* p, std::uint64_t v) noexcept { words::Store64(p, Load64(p) ^ v); }

// Cancels leading terms with T = B·x^s. T is formed on the fly from a
// zero-padded copy of B, two words at a time; R gets slack words above its
// top, which stay zero, so the pairs never need an end test.
void ReduceBitwise(TGF2Poly& r, const TGF2Poly& b, TGF2Poly* q, bool poll) {
  const std::int32_t dB = b.Degree();
  const std::int32_t nb = b.Count();
  TUVPoly bp(b);
  if (bp->Capacity() < nb + 2) bp->SetMem(nb + 2);
  const std::uint32_t* bw = bp->Words();
  const std::int32_t pairs = (nb + 2) / 2;  // covers the nb + 1 words of T
  std::int32_t top = r.Count() - 1;
  if (r.Capacity() < top + 4) r.SetMem(top + 4);
  std::uint32_t* rw = r.Words();
  std::int32_t c = TopDegree(rw, top);
  std::uint32_t topWord = rw[top];
  std::uint32_t* qw = q != nullptr ? q->Words() : nullptr;
  std::uint32_t steps = 0;
  for (;;) {
    const std::int32_t s = c - dB;
    if (qw != nullptr) qw[s >> 5] |= 1u << (s & 31);
    std::uint32_t* dst = rw + (s >> 5);
    const int bs = s & 31;
    // T's word at R's top, formed in a register (see the table method).
    const std::int32_t k = top - (s >> 5);
    topWord ^= bs == 0 ? bw[k] : (bw[k] << bs) | (k > 0 ? bw[k - 1] >> (32 - bs) : 0);
    if (bs == 0) {
      for (std::int32_t j = 0; j < pairs; ++j) Xor64(dst + 2 * j, Load64(bw + 2 * j));
    } else {
      std::uint64_t prev = 0;
      for (std::int32_t j = 0; j < pairs; ++j) {
        const std::uint64_t cur = Load64(bw + 2 * j);
        Xor64(dst + 2 * j, (cur << bs) | (prev >> (64 - bs)));
        prev = cur;
      }
    }
    if (topWord == 0) {
      do --top;
      while (top >= 0 && rw[top] == 0);
      if (top < 0) break;
      topWord = rw[top];
    }
    c = 32 * top + static_cast<std::int32_t>(std::bit_width(topWord)) - 1;
    if (c < dB) break;
    if (poll && (++steps & 255u) == 0) {
      r.SetSize(top + 1, false);
      RuvBreak();
    }
  }
  r.SetSize(top + 1, false);
}

struct TTableSlot {
  TGF2ShiftTable table;
  bool busy = false;
};
thread_local TTableSlot TableSlot;

void ReduceTable(TGF2Poly& r, const TGF2Poly& b, TGF2Poly* q) {
  // One table per thread is reused; a nested division (from a break
  // callback) builds its own.
  if (TableSlot.busy) {
    TGF2ShiftTable own;
    own.Build(b);
    GF2ReduceByTable(r, own, q);
    return;
  }
  TableSlot.busy = true;
  struct TRelease {
    ~TRelease() { TableSlot.busy = false; }
  } release;
  TableSlot.table.Build(b);
  GF2ReduceByTable(r, TableSlot.table, q);
}

void DivMod(TGF2Poly& a, const TGF2Poly& b, bool quotient, TGF2DivMethod method) {
  const char* name = quotient ? "GF2Div" : "GF2Mod";
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  const std::int32_t dB = b.Degree();
  if (dB < 0) RaiseDivByZero(name);
  if (dB == 0) {
    if (!quotient) a.Clear();
    return;
  }
  if (&a == &b) {
    if (quotient)
      a.SetOne();
    else
      a.Clear();
    return;
  }
  const std::int32_t dA = a.Degree();
  if (dB > dA) {
    if (quotient) a.Clear();
    return;
  }
  if (dB == dA) {
    if (quotient)
      a.SetOne();
    else
      GF2Add(a, b);
    return;
  }
  if (method == TGF2DivMethod::Auto)
    method = (dA < TableMinDegree || dA - dB < TableMinGap) ? TGF2DivMethod::Bitwise : TGF2DivMethod::Table;
  if (!quotient) {
    if (method == TGF2DivMethod::Bitwise)
      ReduceBitwise(a, b, nullptr, poll);
    else
      ReduceTable(a, b, nullptr);
    a.Normalize(true);
    return;
  }
  // The remainder is worked on in a scratch item holding A's words; A is
  // emptied and sized for the quotient.
  TUVPoly rp(TUVPoly::AsLeft);
  TGF2Poly& r = *rp;
  GF2Swap(a, r);
  a.SetSize(0, false);
  a.SetSize((dA - dB) / 32 + 1, true);
  if (method == TGF2DivMethod::Bitwise)
    ReduceBitwise(r, b, &a, poll);
  else
    ReduceTable(r, b, &a);
}

}  // namespace

// ---------------------------------------------------------------- product

void GF2Mul(TGF2Poly& a, const TGF2Poly& b) {
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  if (a.IsZero()) return;
  if (&a == &b) {
    GF2Sqr(a);
    return;
  }
  if (b.IsZero()) {
    a.Clear();
    return;
  }
  const std::int32_t na = a.Count(), nb = b.Count();
  if (na == 1 || nb == 1) {
    // Word-by-polynomial product, carries passed upwards.
    std::uint32_t carry;
    std::int32_t n;
    if (nb == 1) {
      n = na;
      carry = GF2MulByWord(a.Words(), a.Words(), n, b.Words()[0]);
    } else {
      const std::uint32_t w = a.Words()[0];
      n = nb;
      a.SetSize(n, false);
      carry = GF2MulByWord(a.Words(), b.Words(), n, w);
    }
    if (carry != 0) {
      a.SetSize(n + 1, false);
      a.Words()[n] = carry;
    }
    return;
  }
  if (na <= FixedWords && nb <= FixedWords) {
    MulSmall(a, b);
    return;
  }
  TUVPoly lp(TUVPoly::AsLeft), sp(TUVPoly::AsLeft), pp(TUVPoly::AsLeft);
  TGF2Poly& l = *lp;
  TGF2Poly& s = *sp;
  TGF2Poly& p = *pp;
  if (na >= nb) {
    GF2Swap(a, l);
    s.Assign(b);
  } else {
    l.Assign(b);
    GF2Swap(a, s);
  }
  const std::int32_t nl = l.Count(), ns = s.Count();
  try {
    if (nl < 2 * ns) {
      // Balanced: S zero-padded to L's length, one Karatsuba product.
      if (s.Capacity() < nl) s.SetMem(nl);
      p.SetSize(0, false);
      if (p.Capacity() < 2 * nl) p.SetMem(2 * nl);
      p.SetSize(2 * nl, false);
      KMul(p.Words(), l.Words(), s.Words(), nl, poll);
      p.SetSize(nl + ns, false);
    } else {
      MulBlocks(p, l, s, poll);
    }
  } catch (...) {
    p.Clear();
    throw;
  }
  p.Normalize(true);
  GF2Swap(a, p);
}

// ---------------------------------------------------------------- division

void GF2Div(TGF2Poly& a, const TGF2Poly& b) { DivMod(a, b, true, TGF2DivMethod::Auto); }

void GF2Mod(TGF2Poly& a, const TGF2Poly& b) { DivMod(a, b, false, TGF2DivMethod::Auto); }

void GF2DivWith(TGF2Poly& a, const TGF2Poly& b, TGF2DivMethod method) { DivMod(a, b, true, method); }

void GF2ModWith(TGF2Poly& a, const TGF2Poly& b, TGF2DivMethod method) { DivMod(a, b, false, method); }

void TGF2ShiftTable::Build(const TGF2Poly& b) {
  degree_ = b.Degree();
  const std::int32_t nb = b.Count();
  stride_ = nb + 1;
  // Every word of every entry is written below, so no clearing first.
  words_.resize(32 * static_cast<std::size_t>(stride_));
  const std::uint32_t* bw = b.Words();
  for (int i = 0; i < 32; ++i) {
    const int s = ((i - degree_) % 32 + 32) % 32;
    std::uint32_t* e = words_.data() + i * stride_;
    if (s == 0) {
      std::memcpy(e, bw, static_cast<std::size_t>(nb) * 4);
      e[nb] = 0;
    } else {
      std::uint32_t carry = 0;
      for (std::int32_t j = 0; j < nb; ++j) {
        e[j] = (bw[j] << s) | carry;
        carry = bw[j] >> (32 - s);
      }
      e[nb] = carry;
    }
    counts_[i] = (degree_ + s) / 32 + 1;
  }
}

void GF2ReduceByTable(TGF2Poly& r, const TGF2ShiftTable& table, TGF2Poly* quotient) {
  const std::int32_t dB = table.DivisorDegree();
  std::int32_t c = r.Degree();
  if (c < dB) return;
  const bool poll = RuvBreakActive();
  std::uint32_t* qw = nullptr;
  if (quotient != nullptr) {
    const std::int32_t nq = (c - dB) / 32 + 1;
    quotient->SetSize(0, false);
    quotient->SetSize(nq, true);
    qw = quotient->Words();
  }
  std::int32_t top = r.Count() - 1;
  // Every entry is added over the same number of words (its last one may be
  // zero and then lands on a slack word above R's top): a fixed trip count
  // keeps the loop free of mispredicted exits.
  const std::int32_t len = table.EntryStride();
  if (r.Capacity() < top + 3) r.SetMem(top + 3);
  std::uint32_t* rw = r.Words();
  std::uint32_t topWord = rw[top];
  std::uint32_t steps = 0;
  for (;;) {
    if (qw != nullptr) {
      const std::int32_t s = c - dB;
      qw[s >> 5] |= 1u << (s & 31);
    }
    const int i = c & 31;
    const std::uint32_t* e = table.Entry(i);
    std::uint32_t* dst = rw + (top - table.EntryCount(i) + 1);
    std::int32_t j = 0;
    for (; j + 2 <= len; j += 2) Xor64(dst + j, Load64(e + j));
    if (j < len) dst[j] ^= e[j];
    // The new top word is formed in a register: the next step's degree then
    // does not wait for the stores above.
    topWord ^= e[table.EntryCount(i) - 1];
    if (topWord == 0) {
      do --top;
      while (top >= 0 && rw[top] == 0);
      if (top < 0) break;
      topWord = rw[top];
    }
    c = 32 * top + static_cast<std::int32_t>(std::bit_width(topWord)) - 1;
    if (c < dB) break;
    if (poll && (++steps & 255u) == 0) {
      r.SetSize(top + 1, false);
      RuvBreak();
    }
  }
  r.SetSize(top + 1, false);
}

// ---------------------------------------------------------------- gcd

bool GF2Gcd(TGF2Poly& a, const TGF2Poly& b) {
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  if (&a == &b) return a.IsOne();
  const std::int32_t dA = a.Degree(), dB = b.Degree();
  if (dA >= 1 && dB >= 1) {
    TUVPoly tp(b);
    TGF2Poly& t = *tp;
    const std::int32_t d = a.LowDegree();
    GF2DivXk(a, d);
    const std::int32_t e = t.LowDegree();
    GF2DivXk(t, e);
    const std::int32_t m = d < e ? d : e;
    std::uint32_t rounds = 0;
    // Both odd (constant term 1): their sum is divisible by x, and dividing
    // it out keeps the gcd.
    for (;;) {
      if (t.Degree() < a.Degree()) GF2Swap(t, a);
      GF2Add(t, a);
      if (t.IsZero()) break;
      GF2DivXk(t, t.LowDegree());
      if (poll && (++rounds & 15u) == 0) RuvBreak();
    }
    GF2MulXk(a, m);
  } else if (dA >= 1) {
    if (dB == 0) a.SetOne();
  } else if (dA < 0) {
    a.Assign(b);
  }
  return a.IsOne();
}

bool GF2IsCoprime(const TGF2Poly& a, const TGF2Poly& b) {
  TUVPoly c(a);
  return GF2Gcd(*c, b);
}

}  // namespace rara
