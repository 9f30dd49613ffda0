// Scalar multiplication on binary elliptic curves: the addition-subtraction
// chain of 3K, run in Jacobian coordinates (X/Z^2, Y/Z^3) or in affine ones.
#include "curves/ec_gf2n.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

void TGF2NECurve::SetJZero(TGF2Poly& x, TGF2Poly& y, TGF2Poly& z) const {
  field_->Set1(x);
  field_->Set1(y);
  z.Clear();
}

// Any Z = 0 stands for O; the routines themselves only make (1, 1, 0).
bool TGF2NECurve::IsJZero(const TGF2Poly&, const TGF2Poly&, const TGF2Poly& z) const {
  return z.IsZero();
}

void TGF2NECurve::JDouble(TGF2Poly& x, TGF2Poly& y, TGF2Poly& z) const {
  // X = 0 is the point of order 2 (or O): its double is O.
  if (x.IsZero() || z.IsZero()) {
    SetJZero(x, y, z);
    return;
  }
  const TGF2N& f = *field_;
  TUVPoly z2(z);
  f.Sqr(*z2);                   // Z^2
  TUVPoly zn(x);
  f.Mul(*zn, *z2);              // Z' = X·Z^2
  TUVPoly xn(c4_);
  f.Mul(*xn, *z2);              // c·Z^2
  f.Add(*xn, x);                // X + c·Z^2
  f.Sqr(*xn);
  f.Sqr(*xn);                   // X' = (X + c·Z^2)^4
  TUVPoly u(y);
  f.Mul(*u, z);                 // Y·Z
  TUVPoly x2(x);
  f.Sqr(*x2);                   // X^2
  f.Add(*u, *x2);               // X^2 + Y·Z
  f.Add(*u, *zn);               // X^2 + Y·Z + Z'
  f.Mul(*u, *xn);               // X'·(X^2 + Y·Z + Z')
  f.Sqr(*x2);                   // X^4
  f.Mul(*x2, *zn);              // X^4·Z'
  f.Add(*u, *x2);               // Y' = X^4·Z' + X'·(X^2 + Y·Z + Z')
  GF2Swap(x, *xn);
  GF2Swap(y, *u);
  GF2Swap(z, *zn);
}

void TGF2NECurve::JAdd(TGF2Poly& x0, TGF2Poly& y0, TGF2Poly& z0, const TGF2Poly& x1,
                       const TGF2Poly& y1, const TGF2Poly& z1) const {
  if (IsJZero(x1, y1, z1)) return;
  if (IsJZero(x0, y0, z0)) {
    x0.Assign(x1);
    y0.Assign(y1);
    z0.Assign(z1);
    return;
  }
  const TGF2N& f = *field_;
  const bool z1IsOne = f.Is1(z1);
  TUVPoly w(x0);                // U0 = X0·Z1^2
  TUVPoly r(y0);                // S0 = Y0·Z1^3
  if (!z1IsOne) {
    TUVPoly t(z1);
    f.Sqr(*t);                  // Z1^2
    f.Mul(*w, *t);              // U0 = X0·Z1^2
    f.Mul(*t, z1);              // Z1^3
    f.Mul(*r, *t);              // S0 = Y0·Z1^3
  }
  TUVPoly t(z0);
  f.Sqr(*t);                    // Z0^2
  TUVPoly u1(x1);
  f.Mul(*u1, *t);               // U1 = X1·Z0^2
  f.Mul(*t, z0);                // Z0^3
  f.Mul(*t, y1);                // S1 = Y1·Z0^3
  f.Add(*w, *u1);               // W = U0 + U1
  f.Add(*r, *t);                // R = S0 + S1
  if (w->IsZero()) {
    if (r->IsZero()) {
      // Equal points: double the second.
      x0.Assign(x1);
      y0.Assign(y1);
      z0.Assign(z1);
      JDouble(x0, y0, z0);
    } else {
      SetJZero(x0, y0, z0);     // opposite points
    }
    return;
  }
  TUVPoly l(z0);
  f.Mul(*l, *w);                // L = Z0·W
  TUVPoly v(*r);
  f.Mul(*v, x1);                // R·X1
  TUVPoly ly(*l);
  f.Mul(*ly, y1);               // L·Y1
  f.Add(*v, *ly);               // V = R·X1 + L·Y1
  TUVPoly z2(*l);
  if (!z1IsOne) f.Mul(*z2, z1); // Z2 = L·Z1
  TUVPoly tt(*r);
  f.Add(*tt, *z2);              // T = R + Z2
  TUVPoly x2(*tt);
  f.Mul(*x2, *r);               // T·R
  TUVPoly w3(*w);
  f.Sqr(*w3);                   // W^2
  f.Mul(*w3, *w);               // W^3
  f.Add(*x2, *w3);              // T·R + W^3
  if (!a_.IsZero()) {
    TUVPoly az(*z2);
    f.Sqr(*az);                 // Z2^2
    if (!f.Is1(a_)) f.Mul(*az, a_);  // A·Z2^2
    f.Add(*x2, *az);            // X2 = T·R + W^3 + A·Z2^2
  }
  TUVPoly y2(*tt);
  f.Mul(*y2, *x2);              // T·X2
  f.Sqr(*l);                    // L^2
  f.Mul(*l, *v);                // V·L^2
  f.Add(*y2, *l);               // Y2 = T·X2 + V·L^2
  GF2Swap(x0, *x2);
  GF2Swap(y0, *y2);
  GF2Swap(z0, *z2);
}

void TGF2NECurve::JToAC(const TGF2Poly& x, const TGF2Poly& y, const TGF2Poly& z,
                        TGF2NEPoint& p) const {
  if (z.IsZero()) {
    if (x.IsZero() && y.IsZero()) RaiseRuv(ClassName() + ".JToAC\r\nInvalid Jacobian point");
    p.SetZero();
    return;
  }
  const TGF2N& f = *field_;
  TUVPoly u(z);
  f.Inv(*u);                    // u = 1/Z
  TUVPoly u2(*u);
  f.Sqr(*u2);                   // u^2
  TUVPoly px(x);
  f.Mul(*px, *u2);              // x = X·u^2
  f.Mul(*u2, *u);               // u^3
  TUVPoly py(y);
  f.Mul(*py, *u2);              // y = Y·u^3
  GF2Swap(p.X(), *px);
  GF2Swap(p.Y(), *py);
}

// ---------------------------------------------------------------- K·P

namespace {

// Runs a chain in the standard basis of a normal-basis field: a product there
// is one carry-less product and a reduction, in the normal basis it is that
// plus three matrix conversions. Only the coefficients the chain reads (A and
// C4) and its ends are converted; everything is put back on every exit.
class TStandardBasisScope {
 public:
  TStandardBasisScope(TGF2N& f, TGF2Poly& a, TGF2Poly& c4) : f_(f), a_(a), c4_(c4), a0_(a), c40_(c4) {
    TUVPoly sa(a), sc4(c4);
    TGF2N::ApplyMatrix(*sa, *f.N2S());
    TGF2N::ApplyMatrix(*sc4, *f.N2S());
    f.SwitchBasis();
    GF2Swap(a, *sa);
    GF2Swap(c4, *sc4);
  }
  ~TStandardBasisScope() {
    try {
      f_.SwitchBasis();
    } catch (...) {
    }
    GF2Swap(a_, *a0_);
    GF2Swap(c4_, *c40_);
  }
  TStandardBasisScope(const TStandardBasisScope&) = delete;
  TStandardBasisScope& operator=(const TStandardBasisScope&) = delete;

 private:
  TGF2N& f_;
  TGF2Poly& a_;
  TGF2Poly& c4_;
  TUVPoly a0_;
  TUVPoly c40_;
};

}  // namespace

void TGF2NECurve::Mul(TGF2NEPoint& p, const TInteger& k, bool projective) {
  CheckCoefs("Mul");
  if (p.IsZero()) return;
  if (k.IsZero()) {
    p.SetZero();
    return;
  }
  if (k.IsOne()) return;
  // Worked on a copy so that P stays as it was when an error or abort passes.
  TGF2NEPoint q(p);
  if (k.Negative()) {
    Neg(q);
    if (k.IsMinusOne()) {
      p.Assign(q);
      return;
    }
  }
  if (field_->BasisType() == btNormal) {
    TGF2N::ApplyMatrix(q.X(), *field_->N2S());
    TGF2N::ApplyMatrix(q.Y(), *field_->N2S());
    {
      TStandardBasisScope scope(*field_, a_, c4_);
      if (projective)
        MulJacobian(q, k);
      else
        MulAffine(q, k);
    }
    TGF2N::ApplyMatrix(q.X(), *field_->S2N());
    TGF2N::ApplyMatrix(q.Y(), *field_->S2N());
  } else if (projective) {
    MulJacobian(q, k);
  } else {
    MulAffine(q, k);
  }
  GF2Swap(p.X(), q.X());
  GF2Swap(p.Y(), q.Y());
}

namespace {

// H = 3|K|: where the bits of H and K differ, the chain adds or subtracts P.
void TripleOf(const TInteger& k, TInteger& h) {
  IAssign(h, k);
  IAbs(h);
  IMul(h, 3);
}

}  // namespace

void TGF2NECurve::MulJacobian(TGF2NEPoint& q, const TInteger& k) const {
  const TGF2N& f = *field_;
  TUVInteger h;
  TripleOf(k, *h);
  const std::int32_t l = h->BitSize();
  TUVPoly x(q.X()), y(q.Y()), z;
  f.Set1(*z);                   // (X, Y, Z) = (x, y, 1)
  TUVPoly one;
  f.Set1(*one);
  TUVPoly negY(q.Y());
  GF2Add(*negY, q.X());         // -P = (x, x + y, 1)
  for (std::int32_t i = l - 2; i >= 1; --i) {
    RuvBreak();
    JDouble(*x, *y, *z);
    const bool hi = h->Bit(static_cast<std::uint32_t>(i));
    const bool ki = k.Bit(static_cast<std::uint32_t>(i));
    if (hi && !ki)
      JAdd(*x, *y, *z, q.X(), q.Y(), *one);
    else if (!hi && ki)
      JAdd(*x, *y, *z, q.X(), *negY, *one);
  }
  JToAC(*x, *y, *z, q);
}

void TGF2NECurve::MulAffine(TGF2NEPoint& q, const TInteger& k) const {
  TUVInteger h;
  TripleOf(k, *h);
  const std::int32_t l = h->BitSize();
  const TGF2NEPoint plus(q);
  TGF2NEPoint minus(q);
  Neg(minus);
  for (std::int32_t i = l - 2; i >= 1; --i) {
    RuvBreak();
    Double(q);
    const bool hi = h->Bit(static_cast<std::uint32_t>(i));
    const bool ki = k.Bit(static_cast<std::uint32_t>(i));
    if (hi && !ki)
      Add(q, plus);
    else if (!hi && ki)
      Add(q, minus);
  }
}

}  // namespace rara
