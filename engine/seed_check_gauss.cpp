// The seed expansion read in a Gaussian normal basis. For type T and
// p = T·m + 1 prime, β = sum over j of γ^(u^j) with γ a primitive p-th root
// of unity and u of order T mod p; {2^k·u^j} runs once through every non-zero
// residue, so an element is sum over x != 0 of a_F(x)·γ^x with F(2^k·u^j) = k.
// Multiplying by β needs only the T residues u^j, which gives the powers of β
// in normal coordinates, from them its minimal polynomial, and from a root of
// that in the polynomial basis the change of basis.
#include <vector>

#include "engine/seed_check.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2n.h"

namespace rara {

namespace {

using TBits = std::vector<std::uint8_t>;  // one coordinate per entry

std::uint32_t MulMod(std::uint32_t a, std::uint32_t b, std::uint32_t p) {
  return static_cast<std::uint32_t>(std::uint64_t{a} * b % p);
}

struct TGaussBasis {
  std::int32_t m = 0;
  std::uint32_t p = 0;
  std::vector<std::int32_t> f;      // F(x) for x in 1..p-1 (f[0] unused)
  std::vector<std::uint32_t> uPow;  // u^j, j < T
  std::vector<std::uint32_t> pow2;  // 2^i, i < m

  TGaussBasis(std::int32_t degree, int t) : m(degree), p(static_cast<std::uint32_t>(t) * degree + 1) {
    // u := g^((p-1)/T) for a primitive root g of p.
    std::vector<std::uint32_t> primes;
    for (std::uint32_t q = 2, r = p - 1; r > 1; ++q)
      if (r % q == 0) {
        primes.push_back(q);
        while (r % q == 0) r /= q;
      }
    auto power = [&](std::uint32_t a, std::uint32_t e) {
      std::uint32_t r = 1;
      for (; e; e >>= 1, a = MulMod(a, a, p))
        if (e & 1) r = MulMod(r, a, p);
      return r;
    };
    std::uint32_t g = 2;
    for (;; ++g) {
      bool primitive = true;
      for (const std::uint32_t q : primes) primitive = primitive && power(g, (p - 1) / q) != 1;
      if (primitive) break;
    }
    const std::uint32_t u = power(g, (p - 1) / static_cast<std::uint32_t>(t));
    for (std::uint32_t j = 0, v = 1; j < static_cast<std::uint32_t>(t); ++j, v = MulMod(v, u, p)) uPow.push_back(v);
    f.assign(p, 0);
    for (std::int32_t k = 0, v = 1; k < m; ++k, v = static_cast<std::int32_t>(MulMod(static_cast<std::uint32_t>(v), 2, p))) {
      pow2.push_back(static_cast<std::uint32_t>(v));
      for (const std::uint32_t uj : uPow) f[MulMod(static_cast<std::uint32_t>(v), uj, p)] = k;
    }
  }

  // a·β: the coefficient of γ^z is the sum over j of a(z - u^j) (x = 0 is no
  // term), plus the terms x + y = 0, which give 1 = sum over z != 0 of γ^z.
  TBits MulBeta(const TBits& a) const {
    auto at = [&](std::uint32_t x) -> std::uint8_t { return x == 0 ? 0 : a[static_cast<std::size_t>(f[x])]; };
    std::uint8_t constant = 0;
    for (const std::uint32_t uj : uPow) constant ^= at(p - uj);
    TBits c(static_cast<std::size_t>(m));
    for (std::int32_t i = 0; i < m; ++i) {
      std::uint8_t s = constant;
      for (const std::uint32_t uj : uPow) s ^= at((pow2[static_cast<std::size_t>(i)] + p - uj) % p);
      c[static_cast<std::size_t>(i)] = s;
    }
    return c;
  }
};

using TWords = std::vector<std::uint64_t>;

TWords Pack(const TBits& bits) {
  TWords w((bits.size() + 63) / 64, 0);
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) w[i / 64] |= std::uint64_t{1} << (i % 64);
  return w;
}

TWords Pack(const TGF2Poly& e, std::int32_t m) {
  TWords w((static_cast<std::size_t>(m) + 63) / 64, 0);
  for (std::int32_t i = 0; i <= e.Degree() && i < m; ++i)
    if (e.Coef(i)) w[static_cast<std::size_t>(i) / 64] |= std::uint64_t{1} << (i % 64);
  return w;
}

// The first linear dependency among v_0, v_1, ... (m-bit vectors) as the
// polynomial sum of X^k over the v_k it adds up: the minimal polynomial of an
// element when v_k is its k-th power.
void FirstDependency(const std::vector<TWords>& v, std::size_t m, TGF2Poly& poly) {
  const std::size_t words = (m + 63) / 64;
  const std::size_t tagWords = (v.size() + 63) / 64;
  std::vector<TWords> rows;  // coordinates, then which vectors were added
  std::vector<std::size_t> pivots;
  poly.Clear();
  for (std::size_t k = 0; k < v.size(); ++k) {
    TWords row(words + tagWords, 0);
    std::copy(v[k].begin(), v[k].end(), row.begin());
    row[words + k / 64] |= std::uint64_t{1} << (k % 64);
    for (std::size_t r = 0; r < rows.size(); ++r)
      if ((row[pivots[r] / 64] >> (pivots[r] % 64)) & 1)
        for (std::size_t c = 0; c < row.size(); ++c) row[c] ^= rows[r][c];
    std::size_t pivot = 0;
    while (pivot < m && !((row[pivot / 64] >> (pivot % 64)) & 1)) ++pivot;
    if (pivot == m) {
      for (std::size_t j = 0; j <= k; ++j)
        if ((row[words + j / 64] >> (j % 64)) & 1) poly.SetCoef(static_cast<std::int32_t>(j), true);
      return;
    }
    rows.push_back(std::move(row));
    pivots.push_back(pivot);
  }
}

}  // namespace

bool SeedElementInGaussBasis(const TGF2Poly& w, const TGF2Poly& b, const TGF2Poly& p, int& type) {
  const std::int32_t m = p.Degree();
  type = m > 0 && m <= 0xffff ? GaussType(static_cast<std::uint16_t>(m)) : 0;
  if (type == 0) return false;
  const std::size_t size = static_cast<std::size_t>(m);

  // P := the minimal polynomial of β, from its powers in normal coordinates.
  const TGaussBasis g(m, type);
  std::vector<TWords> powers;
  TBits power(size, 1);
  for (std::size_t k = 0; k <= size; ++k) {
    powers.push_back(Pack(power));
    power = g.MulBeta(power);
  }
  TGF2Poly minimal;
  FirstDependency(powers, size, minimal);
  if (minimal.Degree() != m) return false;  // a Gauss period is normal: cannot happen

  // In K = GF(2)[y]/(P), y is β, so the seed's element is V = sum of w_i·y^(2^i).
  TGF2N k;
  k.SetField(minimal, btStandard, false);
  TGF2Poly v, r;
  k.SetX(r);
  for (std::int32_t i = 0; i < m; ++i) {
    if (w.Coef(m - 1 - i)) k.Add(v, r);
    k.Sqr(r);
  }
  // B and V correspond under some isomorphism of the two models of GF(2^m)
  // (all of them differ by a Frobenius power) exactly when V is a root of
  // the minimal polynomial Q of B.
  TGF2N f;
  f.SetField(p, btStandard, false);
  powers.clear();
  TGF2Poly e;
  f.Set1(e);
  for (std::size_t j = 0; j <= size; ++j) {
    powers.push_back(Pack(e, m));
    f.Mul(e, b);
  }
  TGF2Poly q;
  FirstDependency(powers, size, q);
  TGF2Poly acc;
  for (std::int32_t j = q.Degree(); j >= 0; --j) {
    k.Mul(acc, v);
    if (q.Coef(j)) {
      TGF2Poly one;
      k.Set1(one);
      k.Add(acc, one);
    }
  }
  return acc.IsZero();
}

}  // namespace rara
