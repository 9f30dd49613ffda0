// TGF2NPoly: slots, squaring, division by a monic polynomial, gcd and the
// trace polynomial Tr(c·X) mod M. The trace polynomial, where nearly all the
// root finder's time goes, runs on flat limb arrays in the standard basis
// with one reduction per coefficient and squaring; modulo a polynomial over
// GF(2) it is a sum of field elements chosen by a bit matrix.
#include "gf2/gf2n_poly.h"

#include <bit>
#include <cstring>
#include <utility>

#include "gf2/gf2n_poly_kernels.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

inline bool ElZero(const std::uint64_t* e, std::size_t l) noexcept {
  for (std::size_t i = 0; i < l; ++i)
    if (e[i] != 0) return false;
  return true;
}

inline bool ElOne(const std::uint64_t* e, std::size_t l) noexcept {
  if (e[0] != 1) return false;
  for (std::size_t i = 1; i < l; ++i)
    if (e[i] != 0) return false;
  return true;
}

// Every coefficient is a reduced element, as the flat kernels need.
bool ReducedCoefs(const TGF2NPoly& a) {
  const std::int32_t n = a.Field().N();
  for (std::int32_t i = 0; i <= a.Degree(); ++i)
    if (a.Coef(i).Degree() >= n) return false;
  return true;
}

// A[0..da] := A mod B (deg B = db <= da), with Q[0..da-db] := the quotient
// when Q is given. Inv is the inverse of B's leading coefficient, or null
// when it is 1. Each coefficient collects its products unreduced and is
// reduced once, when it becomes a quotient term or at the end. Acc is
// scratch for (da+1)·2L limbs.
void FlatDivide(const TGF2NFlatField& ff, std::uint64_t* a, std::int32_t da, const std::uint64_t* b,
                std::int32_t db, const std::uint64_t* inv, std::uint64_t* q, std::uint64_t* acc) {
  const auto l = static_cast<std::size_t>(ff.Limbs());
  const std::size_t w = 2 * l;
  const auto na = static_cast<std::size_t>(da) + 1;
  std::memset(acc, 0, na * w * 8);
  for (std::size_t i = 0; i < na; ++i) std::memcpy(acc + i * w, a + i * l, l * 8);
  std::uint64_t t[TGF2NFlatField::MaxLimbs];
  for (std::int32_t k = da - db; k >= 0; --k) {
    ff.ReduceWide(t, acc + static_cast<std::size_t>(k + db) * w);
    if (inv != nullptr) ff.Mul(t, t, inv);
    if (q != nullptr) std::memcpy(q + static_cast<std::size_t>(k) * l, t, l * 8);
    if (ElZero(t, l)) continue;
    for (std::int32_t i = 0; i < db; ++i) {
      const std::uint64_t* bi = b + static_cast<std::size_t>(i) * l;
      if (ElZero(bi, l)) continue;
      std::uint64_t* ai = acc + static_cast<std::size_t>(k + i) * w;
      if (ElOne(bi, l)) {
        for (std::size_t x = 0; x < l; ++x) ai[x] ^= t[x];
      } else {
        ff.MulAcc(ai, t, bi);
      }
    }
  }
  for (std::size_t i = 0; i < na; ++i) {
    if (i < static_cast<std::size_t>(db))
      ff.ReduceWide(a + i * l, acc + i * w);
    else
      std::memset(a + i * l, 0, l * 8);
  }
}

// Out[p] := the sum of the squares S[k] over the bits k of row p of the bit
// matrix, through the 256 sums of every group of eight squares.
template <int L>
void BinarySumsFixed(std::uint64_t* out, const std::uint64_t* s, std::uint64_t* sums, const std::uint64_t* table,
                     std::size_t groups, std::size_t rowWords, std::size_t rows) {
  for (std::size_t g = 0; g < groups; ++g) {
    std::uint64_t* sg = sums + g * 256 * L;
    for (int x = 0; x < L; ++x) sg[x] = 0;
    for (std::size_t v = 1; v < 256; ++v) {
      const std::uint64_t* prev = sg + (v & (v - 1)) * L;
      const std::uint64_t* sk = s + (8 * g + static_cast<std::size_t>(std::countr_zero(v))) * L;
      std::uint64_t* sv = sg + v * L;
#pragma GCC unroll 8
      for (int x = 0; x < L; ++x) sv[x] = prev[x] ^ sk[x];
    }
  }
  for (std::size_t p = 0; p < rows; ++p) {
    std::uint64_t acc[L] = {};
    const std::uint64_t* row = table + p * rowWords;
    for (std::size_t g = 0; g < groups; ++g) {
      const std::size_t v = (row[g >> 3] >> (8 * (g & 7))) & 0xFFu;
      const std::uint64_t* sv = sums + (g * 256 + v) * L;
#pragma GCC unroll 8
      for (int x = 0; x < L; ++x) acc[x] ^= sv[x];
    }
    std::memcpy(out + p * L, acc, sizeof acc);
  }
}

void BinarySums(int l, std::uint64_t* out, const std::uint64_t* s, std::uint64_t* sums, const std::uint64_t* table,
                std::size_t groups, std::size_t rowWords, std::size_t rows) {
  switch (l) {
    case 1: BinarySumsFixed<1>(out, s, sums, table, groups, rowWords, rows); break;
    case 2: BinarySumsFixed<2>(out, s, sums, table, groups, rowWords, rows); break;
    case 3: BinarySumsFixed<3>(out, s, sums, table, groups, rowWords, rows); break;
    case 4: BinarySumsFixed<4>(out, s, sums, table, groups, rowWords, rows); break;
    case 5: BinarySumsFixed<5>(out, s, sums, table, groups, rowWords, rows); break;
    case 6: BinarySumsFixed<6>(out, s, sums, table, groups, rowWords, rows); break;
    case 7: BinarySumsFixed<7>(out, s, sums, table, groups, rowWords, rows); break;
    case 8: BinarySumsFixed<8>(out, s, sums, table, groups, rowWords, rows); break;
    default: BinarySumsFixed<9>(out, s, sums, table, groups, rowWords, rows); break;
  }
  static_assert(TGF2NFlatField::MaxLimbs == 9, "one case per limb count");
}

// ---- The trace polynomial on flat limb arrays (TGF2NPoly::TraceModFlat).
//
// T := c·X, then N-1 times T := T^2 mod M + c·X. The square of T = sum t_i X^i
// is sum t_i^2 X^(2i). Terms with 2i < dm stay; those with i >= h0 =
// ceil(dm/2) (there are h of them) need X^(2i) mod M, i.e. X^(dm+j) mod M for
// j = 2i - dm: column k = i - h0 of the table. Only every other power is
// needed, half the work of a general reduction. Two paths share the scratch
// below: M over GF(2) (the table is a bit matrix, the squares are combined
// eight at a time) and general M (table entries and squares are kept as
// Karatsuba points).

// One zeroed block: M's low coefficients, the running power R, T, the next
// T, the squares s_k, c, one element of scratch, then the table (rows p =
// 0..dm-1, h entries); beside it, for binary M, the 256 sums of each group of
// eight squares (the last group padded with zero squares).
struct TTraceArea {
  std::size_t el, udm, uh, ep, h0, rowWords, groups;
  std::vector<std::uint64_t> sums, buf;
  std::uint64_t *mc, *r, *t, *out, *s, *cf, *tmp, *table;

  TTraceArea(const TGF2NFlatField& ff, std::int32_t dm, bool binary)
      : el(static_cast<std::size_t>(ff.Limbs())),
        udm(static_cast<std::size_t>(dm)),
        uh(static_cast<std::size_t>(dm - (dm + 1) / 2)),
        ep(static_cast<std::size_t>(ff.Points())),
        h0(static_cast<std::size_t>((dm + 1) / 2)),
        rowWords((uh + 63) / 64),
        groups(binary ? (uh + 7) / 8 : 0) {
    const std::size_t es = binary ? el : ep;
    const std::size_t tableSize = binary ? udm * rowWords : udm * uh * ep;
    sums.resize(groups * 256 * el);
    buf.assign(4 * udm * el + (binary ? groups * 8 : uh) * es + 2 * el + tableSize, 0);
    mc = buf.data();
    r = mc + udm * el;
    t = r + udm * el;
    out = t + udm * el;
    s = out + udm * el;
    cf = s + (binary ? groups * 8 : uh) * es;
    tmp = cf + el;
    table = tmp + el;
  }

  std::uint64_t* T(std::size_t i) const noexcept { return t + i * el; }

  // T := c·X (reduced: dm >= 2).
  void Start() const noexcept { std::memcpy(t + el, cf, el * 8); }
  // The next T is in out: add c·X and make it the current one.
  void Finish() noexcept {
    for (std::size_t x = 0; x < el; ++x) out[el + x] ^= cf[x];
    std::swap(t, out);
  }
};

// M over GF(2) (low coefficients mb): the powers of X are bit vectors and the
// table a bit matrix.
void TraceBinary(const TGF2NFlatField& ff, TTraceArea& a, const std::vector<std::uint64_t>& mb, std::int32_t n) {
  const std::size_t udm = a.udm, el = a.el;
  const auto dm = static_cast<std::int32_t>(udm);
  std::vector<std::uint64_t> rb = mb;  // X^dm mod M
  for (std::int32_t j = 0; j <= dm - 2; ++j) {
    if (((j + dm) & 1) == 0) {
      const std::size_t k = static_cast<std::size_t>(j + dm) / 2 - a.h0;
      for (std::int32_t p = 0; p < dm; ++p)
        if ((rb[static_cast<std::size_t>(p) >> 6] >> (p & 63)) & 1u)
          a.table[static_cast<std::size_t>(p) * a.rowWords + (k >> 6)] |= std::uint64_t{1} << (k & 63);
    }
    // R := X·R mod M.
    const bool top = (rb[static_cast<std::size_t>(dm - 1) >> 6] >> ((dm - 1) & 63)) & 1u;
    for (std::size_t w = rb.size(); w-- > 0;) rb[w] = (rb[w] << 1) | (w > 0 ? rb[w - 1] >> 63 : 0);
    if ((udm >> 6) < rb.size()) rb[udm >> 6] &= ~(std::uint64_t{1} << (dm & 63));
    if (top)
      for (std::size_t w = 0; w < rb.size(); ++w) rb[w] ^= mb[w];
  }

  a.Start();
  for (std::int32_t iter = 1; iter < n; ++iter) {
    for (std::size_t k = 0; k < a.uh; ++k) ff.Sqr(a.s + k * el, a.T(a.h0 + k));
    BinarySums(ff.Limbs(), a.out, a.s, a.sums.data(), a.table, a.groups, a.rowWords, udm);
    // The squares that stay below X^dm.
    for (std::size_t p = 0; p < udm; p += 2) {
      if (p / 2 >= a.h0) break;
      std::uint64_t* op = a.out + p * el;
      ff.Sqr(a.tmp, a.T(p / 2));
      for (std::size_t x = 0; x < el; ++x) op[x] ^= a.tmp[x];
    }
    a.Finish();
  }
}

// General M (low coefficients loaded in a.mc): table entries and squares as
// Karatsuba points, each coefficient one unreduced sum and one reduction.
void TraceGeneral(const TGF2NFlatField& ff, TTraceArea& a, std::int32_t n) {
  const std::size_t udm = a.udm, el = a.el, ep = a.ep, uh = a.uh;
  const auto dm = static_cast<std::int32_t>(udm);
  std::memcpy(a.r, a.mc, udm * el * 8);  // X^dm mod M
  for (std::int32_t j = 0; j <= dm - 2; ++j) {
    if (((j + dm) & 1) == 0) {
      const std::size_t k = static_cast<std::size_t>(j + dm) / 2 - a.h0;
      for (std::size_t p = 0; p < udm; ++p) ff.Expand(a.table + (p * uh + k) * ep, a.r + p * el);
    }
    if (j == dm - 2) break;
    // R := X·R mod M: shift up, then the top coefficient times M's low part.
    std::memcpy(a.tmp, a.r + (udm - 1) * el, el * 8);
    for (std::size_t p = udm; p-- > 0;) {
      std::uint64_t* rp = a.r + p * el;
      if (p > 0)
        std::memcpy(rp, rp - el, el * 8);
      else
        std::memset(rp, 0, el * 8);
      std::uint64_t prod[TGF2NFlatField::MaxLimbs];
      ff.Mul(prod, a.tmp, a.mc + p * el);
      for (std::size_t w = 0; w < el; ++w) rp[w] ^= prod[w];
    }
  }

  a.Start();
  const auto h = static_cast<std::int32_t>(uh);
  for (std::int32_t iter = 1; iter < n; ++iter) {
    for (std::size_t k = 0; k < uh; ++k) {
      ff.Sqr(a.tmp, a.T(a.h0 + k));
      ff.Expand(a.s + k * ep, a.tmp);
    }
    for (std::size_t p = 0; p < udm; ++p) {
      // The square that stays below X^dm joins the sum before its reduction.
      std::uint64_t acc[2 * TGF2NFlatField::MaxLimbs];
      ff.DotExpandedWide(acc, a.s, a.table + p * uh * ep, h);
      if ((p & 1) == 0 && p / 2 < a.h0) ff.AddSquareWide(acc, a.T(p / 2));
      ff.ReduceWide(a.out + p * el, acc);
    }
    a.Finish();
  }
}

}  // namespace

TGF2NPoly::~TGF2NPoly() = default;

// ---------------------------------------------------------------- slots

TGF2Poly& TGF2NPoly::Coef(std::int32_t i) {
  if (i < 0 || i > capacity_) RaiseIndexError(ClassName() + ".Coef");
  return Slot(i);
}

const TGF2Poly& TGF2NPoly::Coef(std::int32_t i) const {
  if (i < 0 || i > capacity_) RaiseIndexError(ClassName() + ".Coef");
  return Slot(i);
}

void TGF2NPoly::SetLength(std::int32_t k) {
  if (k < 0) {
    coefs_.clear();
    capacity_ = -1;
    degree_ = -1;
    return;
  }
  const std::int32_t cap = k | 7;
  if (cap > capacity_) {
    coefs_.reserve(static_cast<std::size_t>(cap) + 1);
    while (static_cast<std::int32_t>(coefs_.size()) <= cap) coefs_.push_back(std::make_unique<TGF2Poly>());
  } else {
    coefs_.resize(static_cast<std::size_t>(cap) + 1);
  }
  capacity_ = cap;
  if (degree_ > capacity_) Normalize();
}

void TGF2NPoly::Grow(std::int32_t index) {
  if (index > capacity_) SetLength(index);
}

void TGF2NPoly::Normalize() {
  std::int32_t d = capacity_;
  while (d >= 0 && Slot(d).IsZero()) --d;
  degree_ = d;
}

void TGF2NPoly::ClearCoefs() noexcept {
  // Storage stays with the slots for the next values.
  for (std::int32_t i = 0; i <= capacity_; ++i)
    if (!Slot(i).IsZero()) Slot(i).SetSize(0, false);
  degree_ = -1;
}

void TGF2NPoly::SetOne() {
  ClearCoefs();
  Grow(0);
  field_->Set1(Slot(0));
  degree_ = 0;
}

void TGF2NPoly::Swap(TGF2NPoly& q) noexcept {
  coefs_.swap(q.coefs_);
  std::swap(capacity_, q.capacity_);
  std::swap(degree_, q.degree_);
}

std::unique_ptr<TGF2NPoly> TGF2NPoly::Clone() const {
  auto q = std::make_unique<TGF2NPoly>(*field_);
  q->Assign(*this);
  return q;
}

void TGF2NPoly::Assign(const TGF2NPoly& q) {
  if (&q == this) return;
  field_ = q.field_;
  if (q.capacity_ < 0) {
    SetLength(-1);
    return;
  }
  ClearCoefs();
  SetLength(q.capacity_);
  for (std::int32_t i = 0; i <= q.degree_; ++i) Slot(i).Assign(q.Slot(i));
  degree_ = q.degree_;
}

// ---------------------------------------------------------------- squaring

void TGF2NPoly::Sqr() {
  const std::int32_t d = degree_;
  if (d < 0) return;
  const TGF2N& f = *field_;
  if (d == 0) {
    f.Sqr(Slot(0));
    return;
  }
  // (sum c_i X^i)^2 = sum c_i^2 X^(2i): from the top down, slot i/2 moves to
  // slot i, whose own value has already moved up (or was zero).
  Grow(2 * d);
  for (std::int32_t i = 2 * d; i >= 2; i -= 2) {
    GF2Swap(Slot(i / 2), Slot(i));
    f.Sqr(Slot(i));
  }
  f.Sqr(Slot(0));
  degree_ = 2 * d;
}

// ---------------------------------------------------------------- division

void TGF2NPoly::LoadFlat(const TGF2NFlatField& ff, std::uint64_t* e) const {
  const auto l = static_cast<std::size_t>(ff.Limbs());
  for (std::int32_t i = 0; i <= degree_; ++i) ff.Load(e + static_cast<std::size_t>(i) * l, Slot(i));
}

void TGF2NPoly::StoreFlat(const TGF2NFlatField& ff, const std::uint64_t* e, std::int32_t deg) {
  const auto l = static_cast<std::size_t>(ff.Limbs());
  ClearCoefs();
  if (deg < 0) return;
  Grow(deg);
  for (std::int32_t i = 0; i <= deg; ++i) ff.Store(Slot(i), e + static_cast<std::size_t>(i) * l);
  Normalize();
}

bool TGF2NPoly::DivideFlat(const TGF2NPoly& m, TGF2NPoly* quotient) {
  const TGF2N& f = *field_;
  if (f.BasisType() != btStandard || !ReducedCoefs(*this) || !ReducedCoefs(m)) return false;
  const TGF2NFlatField ff(f.FieldPoly());
  if (!ff.Usable()) return false;
  const auto l = static_cast<std::size_t>(ff.Limbs());
  const std::int32_t da = degree_, dm = m.degree_;
  const auto na = static_cast<std::size_t>(da) + 1;
  std::vector<std::uint64_t> buf(na * l * 4 + static_cast<std::size_t>(dm + 1) * l + l);
  std::uint64_t* a = buf.data();
  std::uint64_t* q = a + na * l;
  std::uint64_t* acc = q + na * l;
  std::uint64_t* b = acc + 2 * na * l;
  std::uint64_t* inv = b + static_cast<std::size_t>(dm + 1) * l;
  LoadFlat(ff, a);
  m.LoadFlat(ff, b);
  const bool monic = ElOne(b + static_cast<std::size_t>(dm) * l, l);
  if (!monic) {
    TUVPoly lead(m.Slot(dm));
    if (!f.Inv(*lead)) RaiseDivByZero(ClassName() + (quotient != nullptr ? ".DivBy" : ".Modulo"));
    ff.Load(inv, *lead);
  }
  FlatDivide(ff, a, da, b, dm, monic ? nullptr : inv, quotient != nullptr ? q : nullptr, acc);
  if (quotient != nullptr) quotient->StoreFlat(ff, q, da - dm);
  StoreFlat(ff, a, dm - 1);
  return true;
}

void TGF2NPoly::Divide(const TGF2NPoly& m, TGF2NPoly* quotient, const char* op) {
  const TGF2N& f = *field_;
  const std::int32_t dm = m.degree_;
  if (dm < 0) RaiseDivByZero(ClassName() + "." + op);
  const std::int32_t dq = degree_ - dm;
  if (quotient != nullptr) {
    quotient->ClearCoefs();
    if (dq >= 0) quotient->Grow(dq);
  }
  if (dq < 0) return;
  if (DivideFlat(m, quotient)) return;
  // A leading coefficient other than 1 is divided out of every quotient term.
  const TGF2Poly& lead = m.Slot(dm);
  const bool monic = f.Is1(lead);
  TUVPoly inv(lead);
  if (!monic && !f.Inv(*inv)) RaiseDivByZero(ClassName() + "." + op);
  // Zero and unit coefficients of M cost nothing and an addition.
  std::vector<std::uint8_t> kind(static_cast<std::size_t>(dm));
  for (std::int32_t i = 0; i < dm; ++i) kind[i] = m.Slot(i).IsZero() ? 0 : (f.Is1(m.Slot(i)) ? 1 : 2);
  TUVPoly u(TUVPoly::AsLeft);
  for (std::int32_t k = dq; k >= 0; --k) {
    TGF2Poly& t = Slot(k + dm);
    if (!t.IsZero()) {
      if (!monic) f.Mul(t, *inv);
      for (std::int32_t i = dm - 1; i >= 0; --i) {
        if (kind[i] == 0) continue;
        if (kind[i] == 1) {
          f.Add(Slot(k + i), t);
        } else {
          u->Assign(t);
          f.Mul(*u, m.Slot(i));
          f.Add(Slot(k + i), *u);
        }
      }
    }
    // The slot gives up its value: to the quotient, or it becomes zero.
    if (quotient != nullptr)
      GF2Swap(quotient->Slot(k), t);
    else
      t.SetSize(0, false);
  }
  if (quotient != nullptr) quotient->Normalize();
}

void TGF2NPoly::Modulo(const TGF2NPoly& m) {
  if (&m == this) {
    const auto copy = m.Clone();
    Modulo(*copy);
    return;
  }
  if (m.degree_ < 0) RaiseDivByZero(ClassName() + ".Modulo");
  if (degree_ < m.degree_) return;
  Divide(m, nullptr, "Modulo");
  Normalize();
}

void TGF2NPoly::DivBy(const TGF2NPoly& m) {
  if (&m == this) {
    const auto copy = m.Clone();
    DivBy(*copy);
    return;
  }
  TGF2NPoly q(*field_);
  Divide(m, &q, "DivBy");
  Swap(q);
}

// ---------------------------------------------------------------- gcd

void TGF2NPoly::GCD(const TGF2NPoly& q, bool poll) {
  if (poll) RuvBreak();
  const TGF2N& f = *field_;
  if (degree_ < 0) {
    Assign(q);
    return;
  }
  if (degree_ == 0) {
    SetOne();
    return;
  }
  if (q.degree_ < 0) return;
  if (q.degree_ == 0) {
    SetOne();
    return;
  }
  if (GCDFlat(q, poll)) return;
  TGF2NPoly b(f);
  b.Assign(q);
  b.field_ = field_;
  TUVPoly inv(TUVPoly::AsLeft);
  for (;;) {
    // B monic: its other coefficients times the inverse of the leading one.
    TGF2Poly& lead = b.Slot(b.degree_);
    if (!f.Is1(lead)) {
      inv->Assign(lead);
      if (!f.Inv(*inv)) RaiseDivByZero(ClassName() + ".GCD");
      for (std::int32_t i = 0; i < b.degree_; ++i)
        if (!b.Slot(i).IsZero()) f.Mul(b.Slot(i), *inv);
      f.Set1(lead);
    }
    Modulo(b);
    if (degree_ <= 0) break;
    Swap(b);
    if (poll) RuvBreak();
  }
  if (degree_ < 0)
    Swap(b);
  else
    SetOne();
}

bool TGF2NPoly::GCDFlat(const TGF2NPoly& q, bool poll) {
  const TGF2N& f = *field_;
  if (f.BasisType() != btStandard || !ReducedCoefs(*this) || !ReducedCoefs(q)) return false;
  const TGF2NFlatField ff(f.FieldPoly());
  if (!ff.Usable()) return false;
  const auto l = static_cast<std::size_t>(ff.Limbs());
  std::int32_t da = degree_, db = q.degree_;
  const std::size_t size = static_cast<std::size_t>(da > db ? da : db) + 1;
  std::vector<std::uint64_t> bufA(size * l, 0), bufB(size * l, 0), acc(2 * size * l);
  std::uint64_t* a = bufA.data();
  std::uint64_t* b = bufB.data();
  LoadFlat(ff, a);
  q.LoadFlat(ff, b);
  TUVPoly inv(TUVPoly::AsLeft);
  std::uint64_t invFlat[TGF2NFlatField::MaxLimbs];
  // invFlat := 1 / the leading coefficient of B; false when it is 1.
  const auto invertLead = [&]() {
    const std::uint64_t* lead = b + static_cast<std::size_t>(db) * l;
    if (ElOne(lead, l)) return false;
    ff.Store(*inv, lead);
    if (!f.Inv(*inv)) RaiseDivByZero(ClassName() + ".GCD");
    ff.Load(invFlat, *inv);
    return true;
  };
  for (;;) {
    // The division takes B's leading coefficient out of each quotient term,
    // so B is not made monic at every step (a product per coefficient).
    if (da >= db) {
      const bool monic = !invertLead();
      FlatDivide(ff, a, da, b, db, monic ? nullptr : invFlat, nullptr, acc.data());
      da = db - 1;
    }
    while (da >= 0 && ElZero(a + static_cast<std::size_t>(da) * l, l)) --da;
    if (da <= 0) break;
    std::swap(a, b);
    std::swap(da, db);
    if (poll) RuvBreak();
  }
  if (da < 0) {
    // The gcd is B, made monic once.
    if (invertLead()) {
      for (std::int32_t i = 0; i < db; ++i) {
        std::uint64_t* bi = b + static_cast<std::size_t>(i) * l;
        if (!ElZero(bi, l)) ff.Mul(bi, bi, invFlat);
      }
      std::uint64_t* lead = b + static_cast<std::size_t>(db) * l;
      std::memset(lead, 0, l * 8);
      lead[0] = 1;
    }
    StoreFlat(ff, b, db);
  } else {
    SetOne();
  }
  return true;
}

// ---------------------------------------------------------------- trace

void TGF2NPoly::TraceMod(const TGF2Poly& c, const TGF2NPoly& m) {
  if (&m == this) {
    const auto copy = m.Clone();
    TraceMod(c, *copy);
    return;
  }
  // C may be one of this polynomial's own slots.
  const TUVPoly cc(c);
  if (cc->IsZero()) {
    SetLength(-1);
    return;
  }
  if (m.degree_ < 0) RaiseDivByZero(ClassName() + ".Modulo");
  if (TraceModFlat(*cc, m)) return;
  // T := c·X, then N-1 times T := T^2 + c·X mod M.
  ClearCoefs();
  Grow(1);
  Slot(1).Assign(*cc);
  degree_ = 1;
  for (std::int32_t i = 1; i < field_->N(); ++i) {
    Sqr();
    if (degree_ <= 0) {
      Grow(1);
      degree_ = 1;
    }
    Slot(1).Assign(*cc);  // slot 1 of a square is zero
    Modulo(m);
  }
}

bool TGF2NPoly::TraceModFlat(const TGF2Poly& c, const TGF2NPoly& m) {
  const TGF2N& f = *field_;
  const std::int32_t n = f.N();
  const std::int32_t dm = m.degree_;
  if (f.BasisType() != btStandard || dm < 2 || c.Degree() >= n || !m.Slot(dm).IsOne()) return false;
  bool binary = true;
  for (std::int32_t i = 0; i < dm; ++i) {
    const TGF2Poly& mi = m.Slot(i);
    if (mi.Degree() >= n) return false;
    if (mi.Degree() > 0) binary = false;
  }
  const TGF2NFlatField ff(f.FieldPoly());
  if (!ff.Usable()) return false;
  TTraceArea area(ff, dm, binary);
  ff.Load(area.cf, c);
  if (binary) {
    // M over GF(2): its low coefficients as a bit vector.
    std::vector<std::uint64_t> mb((area.udm + 63) / 64, 0);
    for (std::int32_t i = 0; i < dm; ++i)
      if (!m.Slot(i).IsZero()) mb[static_cast<std::size_t>(i) >> 6] |= std::uint64_t{1} << (i & 63);
    TraceBinary(ff, area, mb, n);
  } else {
    for (std::int32_t i = 0; i < dm; ++i) ff.Load(area.mc + static_cast<std::size_t>(i) * area.el, m.Slot(i));
    TraceGeneral(ff, area, n);
  }
  ClearCoefs();
  Grow(dm - 1);
  for (std::int32_t p = 0; p < dm; ++p) ff.Store(Slot(p), area.t + static_cast<std::size_t>(p) * area.el);
  Normalize();
  return true;
}

}  // namespace rara

namespace rara {

// ---------------------------------------------------------------- binary trace

TGF2NBinaryTrace::TGF2NBinaryTrace(const TGF2N& field, const TGF2Poly& w) {
  const std::int32_t dw = w.Degree();
  const std::int32_t n = field.N();
  if (dw < 2 || field.BasisType() != btStandard) return;
  if (!TGF2NFlatField(field.FieldPoly()).Usable()) return;
  n_ = n;
  groups_ = (static_cast<std::size_t>(n) + 7) / 8;
  rowWords_ = (static_cast<std::size_t>(n) + 63) / 64;
  table_.assign(static_cast<std::size_t>(dw) * rowWords_, 0);
  // x := X^(2^i) mod W for i = 0..N-1; bit j of x marks term i in row j.
  TGF2Poly x;
  x.SetMonomial(1);
  for (std::int32_t i = 0; i < n; ++i) {
    if (i > 0) {
      GF2Sqr(x);
      GF2Mod(x, w);
    }
    for (std::int32_t j = 0; j <= x.Degree(); ++j)
      if (x.Coef(j))
        table_[static_cast<std::size_t>(j) * rowWords_ + static_cast<std::size_t>(i >> 6)] |=
            std::uint64_t{1} << (i & 63);
  }
  rows_ = dw;
}

bool TGF2NPoly::TraceMod(const TGF2Poly& c, const TGF2NBinaryTrace& w) {
  const TGF2N& f = *field_;
  if (!w.Usable() || f.BasisType() != btStandard || f.N() != w.n_ || c.Degree() >= f.N()) return false;
  const TGF2NFlatField ff(f.FieldPoly());
  const auto l = static_cast<std::size_t>(ff.Limbs());
  const auto rows = static_cast<std::size_t>(w.rows_);
  // The terms c^(2^i), padded with zeros to whole groups of eight.
  std::vector<std::uint64_t> s(w.groups_ * 8 * l, 0), sums(w.groups_ * 256 * l), out(rows * l);
  ff.Load(s.data(), c);
  for (std::int32_t i = 1; i < w.n_; ++i)
    ff.Sqr(s.data() + static_cast<std::size_t>(i) * l, s.data() + static_cast<std::size_t>(i - 1) * l);
  BinarySums(ff.Limbs(), out.data(), s.data(), sums.data(), w.table_.data(), w.groups_, w.rowWords_, rows);
  StoreFlat(ff, out.data(), w.rows_ - 1);
  return true;
}

}  // namespace rara
