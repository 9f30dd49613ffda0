// TGF2NPoly: slots, squaring, division by a monic polynomial, gcd and the
// trace polynomial Tr(c·X) mod M. The trace polynomial, where nearly all the
// root finder's time goes, runs on flat limb arrays in the standard basis
// with one reduction per coefficient and squaring.
#include "gf2/gf2n_poly.h"

#include <bit>
#include <cstring>
#include <utility>

#include "gf2/gf2n_poly_kernels.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

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
  const std::int32_t l = ff.Limbs();
  const auto el = static_cast<std::size_t>(l);
  // The square of T = sum t_i X^i is sum t_i^2 X^(2i). Terms with 2i < dm
  // stay; those with i >= h0 = ceil(dm/2) (there are h of them) need
  // X^(2i) mod M, i.e. X^(dm+j) mod M for j = 2i - dm: column k = i - h0 of
  // the table. Only every other power is needed, half the work of a general
  // reduction.
  const std::int32_t h0 = (dm + 1) / 2;
  const std::int32_t h = dm - h0;
  const auto udm = static_cast<std::size_t>(dm);
  const auto uh = static_cast<std::size_t>(h);
  const std::size_t rowWords = (uh + 63) / 64;
  // Layout: M's low coefficients, the running power R, T, the next T, the
  // squares s_k, c, scratch, then the table (rows p = 0..dm-1, h entries).
  const std::size_t tableSize = binary ? udm * rowWords : udm * uh * el;
  std::vector<std::uint64_t> buf(4 * udm * el + uh * el + 2 * el + tableSize, 0);
  std::uint64_t* mc = buf.data();
  std::uint64_t* r = mc + udm * el;
  std::uint64_t* t = r + udm * el;
  std::uint64_t* out = t + udm * el;
  std::uint64_t* s = out + udm * el;
  std::uint64_t* cf = s + uh * el;
  std::uint64_t* tmp = cf + el;
  std::uint64_t* table = tmp + el;
  ff.Load(cf, c);

  if (binary) {
    // M over GF(2): the powers of X are bit vectors and the table a bit matrix.
    std::vector<std::uint64_t> mb((udm + 63) / 64, 0), rb((udm + 63) / 64, 0);
    for (std::int32_t i = 0; i < dm; ++i)
      if (!m.Slot(i).IsZero()) mb[static_cast<std::size_t>(i) >> 6] |= std::uint64_t{1} << (i & 63);
    rb = mb;  // X^dm mod M
    for (std::int32_t j = 0; j <= dm - 2; ++j) {
      if (((j + dm) & 1) == 0) {
        const std::size_t k = static_cast<std::size_t>((j + dm) / 2 - h0);
        for (std::int32_t p = 0; p < dm; ++p)
          if ((rb[static_cast<std::size_t>(p) >> 6] >> (p & 63)) & 1u)
            table[static_cast<std::size_t>(p) * rowWords + (k >> 6)] |= std::uint64_t{1} << (k & 63);
      }
      // R := X·R mod M.
      const bool top = (rb[static_cast<std::size_t>(dm - 1) >> 6] >> ((dm - 1) & 63)) & 1u;
      for (std::size_t w = rb.size(); w-- > 0;) rb[w] = (rb[w] << 1) | (w > 0 ? rb[w - 1] >> 63 : 0);
      if ((static_cast<std::size_t>(dm) >> 6) < rb.size())
        rb[static_cast<std::size_t>(dm) >> 6] &= ~(std::uint64_t{1} << (dm & 63));
      if (top)
        for (std::size_t w = 0; w < rb.size(); ++w) rb[w] ^= mb[w];
    }
  } else {
    for (std::int32_t i = 0; i < dm; ++i) ff.Load(mc + static_cast<std::size_t>(i) * el, m.Slot(i));
    std::memcpy(r, mc, udm * el * 8);  // X^dm mod M
    for (std::int32_t j = 0; j <= dm - 2; ++j) {
      if (((j + dm) & 1) == 0) {
        const std::size_t k = static_cast<std::size_t>((j + dm) / 2 - h0);
        for (std::size_t p = 0; p < udm; ++p) std::memcpy(table + (p * uh + k) * el, r + p * el, el * 8);
      }
      if (j == dm - 2) break;
      // R := X·R mod M: shift up, then the top coefficient times M's low part.
      std::memcpy(tmp, r + (udm - 1) * el, el * 8);
      for (std::size_t p = udm; p-- > 0;) {
        std::uint64_t* rp = r + p * el;
        if (p > 0)
          std::memcpy(rp, rp - el, el * 8);
        else
          std::memset(rp, 0, el * 8);
        const std::uint64_t* mp = mc + p * el;
        std::uint64_t prod[TGF2NFlatField::MaxLimbs];
        ff.Mul(prod, tmp, mp);
        for (std::size_t w = 0; w < el; ++w) rp[w] ^= prod[w];
      }
    }
  }

  // T := c·X, then N-1 times T := T^2 mod M + c·X (c·X is reduced: dm >= 2).
  std::memcpy(t + el, cf, el * 8);
  for (std::int32_t iter = 1; iter < n; ++iter) {
    for (std::int32_t k = 0; k < h; ++k)
      ff.Sqr(s + static_cast<std::size_t>(k) * el, t + static_cast<std::size_t>(h0 + k) * el);
    for (std::size_t p = 0; p < udm; ++p) {
      std::uint64_t* op = out + p * el;
      if (binary) {
        std::memset(op, 0, el * 8);
        const std::uint64_t* row = table + p * rowWords;
        for (std::size_t w = 0; w < rowWords; ++w)
          for (std::uint64_t bits = row[w]; bits != 0; bits &= bits - 1) {
            const std::uint64_t* sk = s + (64 * w + static_cast<std::size_t>(std::countr_zero(bits))) * el;
            for (std::size_t x = 0; x < el; ++x) op[x] ^= sk[x];
          }
      } else {
        ff.Dot(op, s, table + p * uh * el, h);
      }
      if ((p & 1) == 0 && p / 2 < static_cast<std::size_t>(h0)) {
        ff.Sqr(tmp, t + (p / 2) * el);
        for (std::size_t x = 0; x < el; ++x) op[x] ^= tmp[x];
      }
    }
    for (std::size_t x = 0; x < el; ++x) out[el + x] ^= cf[x];
    std::swap(t, out);
  }

  ClearCoefs();
  Grow(dm - 1);
  for (std::int32_t p = 0; p < dm; ++p) ff.Store(Slot(p), t + static_cast<std::size_t>(p) * el);
  Normalize();
  return true;
}

}  // namespace rara
