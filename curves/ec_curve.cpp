// Binary elliptic curves: set-up, the affine group law, random points and the
// stream and file forms. Scalar multiplication is in ec_jacobian.cpp.
#include <new>

#include "curves/ec_gf2n.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/streams.h"

namespace rara {

TGF2NECurve::TGF2NECurve() : field_(std::make_unique<TGF2N>()) {}

void TGF2NECurve::CheckCoefs(const char* op) const {
  if (state_ != Ready) RaiseInvalidCall(ClassName() + "." + op, "Curve without coefs");
}

// ---------------------------------------------------------------- set-up

void TGF2NECurve::SetField(const TGF2N* field) {
  if (field == nullptr) return;
  state_ = NoField;
  field_->Assign(*field);
  state_ = NoCoefs;
}

void TGF2NECurve::SetField(std::uint8_t deg, std::uint8_t basis) {
  if (deg < 2) RaiseInvalidArg(ClassName() + ".SetField", "Deg < 2");
  // Built aside, so that a refused basis leaves the old field in place.
  auto f = std::make_unique<TGF2N>();
  f->SetField(deg, basis);
  f->SetCheckDegrees(false);
  field_ = std::move(f);
  state_ = NoCoefs;
}

void TGF2NECurve::SetCoefs(const TGF2Poly* a, const TGF2Poly* b) {
  const std::string name = ClassName() + ".SetCoefs";
  if (state_ == NoField) RaiseInvalidCall(name, "Curve without field");
  const std::int32_t n = field_->N();
  if (b == nullptr || b->IsZero() || b->Degree() >= n) RaiseInvalidArg(name, "Invalid B coefficient");
  if (a != nullptr && a->Degree() >= n) RaiseInvalidArg(name, "Invalid A coefficient");
  // Copies first: A and B may be this curve's own coefficients.
  TUVPoly na;
  if (a != nullptr) na->Assign(*a);
  TUVPoly nb(*b);
  TUVPoly c4(*b);
  field_->SqrRoot(*c4);  // B^(1/2)
  field_->SqrRoot(*c4);  // B^(1/4), the constant of the doubling formula
  GF2Swap(a_, *na);
  GF2Swap(b_, *nb);
  GF2Swap(c4_, *c4);
  state_ = Ready;
}

void TGF2NECurve::GetCoefs(TGF2Poly* a, TGF2Poly* b) const {
  CheckCoefs("GetCoefs");
  if (a != nullptr) a->Assign(a_);
  if (b != nullptr) b->Assign(b_);
}

// ---------------------------------------------------------------- affine group law

void TGF2NECurve::Add(TGF2NEPoint& p, const TGF2NEPoint& q) const {
  CheckCoefs("Add");
  if (q.IsZero()) return;
  if (p.IsZero()) {
    p.Assign(q);
    return;
  }
  const TGF2N& f = *field_;
  if (GF2Equal(p.X(), q.X())) {
    // Same x: either the same point or its negative (the point of order 2
    // is both, and its double is O).
    if (GF2Equal(p.Y(), q.Y()) && !p.X().IsZero())
      Double(p);
    else
      p.SetZero();
    return;
  }
  TUVPoly lambda(p.Y());
  f.Add(*lambda, q.Y());        // y1 + y2
  TUVPoly dx(p.X());
  f.Add(*dx, q.X());            // x1 + x2
  f.Inv(*dx);                   // 1/(x1 + x2)
  f.Mul(*lambda, *dx);          // lambda = (y1 + y2)/(x1 + x2)
  TUVPoly x3(*lambda);
  f.Sqr(*x3);                   // lambda^2
  f.Add(*x3, *lambda);          // lambda^2 + lambda
  f.Add(*x3, p.X());            // + x1
  f.Add(*x3, q.X());            // + x2
  f.Add(*x3, a_);               // x3 = lambda^2 + lambda + x1 + x2 + A
  TUVPoly y3(p.X());
  f.Add(*y3, *x3);              // x1 + x3
  f.Mul(*y3, *lambda);          // lambda·(x1 + x3)
  f.Add(*y3, *x3);              // + x3
  f.Add(*y3, p.Y());            // y3 = lambda·(x1 + x3) + x3 + y1
  GF2Swap(p.X(), *x3);
  GF2Swap(p.Y(), *y3);
}

void TGF2NECurve::Double(TGF2NEPoint& p) const {
  CheckCoefs("Double");
  // x = 0: O, or the point of order 2.
  if (p.X().IsZero()) {
    p.SetZero();
    return;
  }
  const TGF2N& f = *field_;
  TUVPoly lambda(p.X());
  f.Inv(*lambda);               // 1/x
  f.Mul(*lambda, p.Y());        // y/x
  f.Add(*lambda, p.X());        // lambda = x + y/x
  TUVPoly x3(*lambda);
  f.Sqr(*x3);                   // lambda^2
  f.Add(*x3, *lambda);          // lambda^2 + lambda
  f.Add(*x3, a_);               // x3 = lambda^2 + lambda + A
  TUVPoly y3(p.X());
  f.Add(*y3, *x3);              // x + x3
  f.Mul(*y3, *lambda);          // lambda·(x + x3)
  f.Add(*y3, *x3);              // + x3
  f.Add(*y3, p.Y());            // y3 = lambda·(x + x3) + x3 + y
  GF2Swap(p.X(), *x3);
  GF2Swap(p.Y(), *y3);
}

void TGF2NECurve::Neg(TGF2NEPoint& p) const {
  // -(x, y) = (x, x + y); O and the point of order 2 (x = 0) stay. A plain
  // sum in either basis, so no field (or state) is needed.
  if (!p.X().IsZero()) GF2Add(p.Y(), p.X());
}

void TGF2NECurve::GetOrder2Point(TGF2NEPoint& p) const {
  CheckCoefs("GetOrder2Point");
  TUVPoly y(b_);
  field_->SqrRoot(*y);          // sqrt(B): the x = 0 solution of the curve equation
  p.X().Clear();
  GF2Swap(p.Y(), *y);
}

void TGF2NECurve::GetRndPoint(TGF2NEPoint& p) const {
  CheckCoefs("GetRndPoint");
  const TGF2N& f = *field_;
  TUVPoly x, y, t;
  for (;;) {
    RuvBreak();
    f.Rnd(*x);
    if (x->IsZero()) {
      GetOrder2Point(p);  // its own negative: no sign to choose
      return;
    }
    t->Assign(*x);
    f.Add(*t, a_);              // x + A
    TUVPoly x2(*x);
    f.Sqr(*x2);                 // x^2
    f.Mul(*t, *x2);             // (x + A)·x^2
    f.Add(*t, b_);              // t = x^3 + A·x^2 + B
    if (t->IsZero()) {
      y->Clear();               // y^2 + x·y = 0 has the root y = 0
      break;
    }
    if (f.SolveQuad(*y, *x, *t)) break;  // y^2 + x·y = t; half of the x have no y
  }
  GF2Swap(p.X(), *x);
  GF2Swap(p.Y(), *y);
  // The other root is y + x, i.e. -P: pick one by a random bit.
  TUVPoly r;
  f.Rnd(*r);
  if (GF2Parity(*r)) Neg(p);
}

// ---------------------------------------------------------------- persistence

void TGF2NECurve::SaveToStream(TStream& stream) const {
  TStreamPosGuard guard(stream);
  stream.WriteU8(state_);
  field_->SaveToStream(stream);
  a_.SaveToStream(stream);
  b_.SaveToStream(stream);
  c4_.SaveToStream(stream);
  guard.Keep();
}

namespace {

// A curve with coefficients must be usable as one: B a non-zero element, A
// an element, C4 the fourth root of B.
bool UsableCurve(std::uint8_t state, const TGF2N& f, const TGF2Poly& a, const TGF2Poly& b,
                 const TGF2Poly& c4) {
  if (state > TGF2NECurve::Ready) return false;
  if (state != TGF2NECurve::Ready) return true;  // coefficients are not in use
  const std::int32_t n = f.N();
  if (b.IsZero() || b.Degree() >= n || a.Degree() >= n || c4.Degree() >= n) return false;
  TUVPoly t(c4);
  f.Sqr(*t);
  f.Sqr(*t);  // C4^4
  return GF2Equal(*t, b);
}

}  // namespace

void TGF2NECurve::LoadFromStream(TStream& stream) {
  TStreamPosGuard guard(stream);
  const std::string name = ClassName() + ".LoadFromStream";
  // Read aside and taken over only when complete and sound: a damaged
  // stream must not leave a curve that passes for one with coefficients.
  auto f = std::make_unique<TGF2N>();
  TGF2Poly a, b, c4;
  std::uint8_t state = 0;
  try {
    state = stream.ReadU8();
    f->LoadFromStream(stream);
    a.LoadFromStream(stream);
    b.LoadFromStream(stream);
    c4.LoadFromStream(stream);
  } catch (const EStreamError&) {
    RaiseStreamError(name);
  }
  bool ok = false;
  try {
    ok = UsableCurve(state, *f, a, b, c4);
  } catch (const ERuvAbort&) {
    throw;
  } catch (const ERuv&) {
    ok = false;
  }
  if (!ok) RaiseStreamError(name);
  field_ = std::move(f);
  GF2Swap(a_, a);
  GF2Swap(b_, b);
  GF2Swap(c4_, c4);
  state_ = state;
  guard.Keep();
}

void TGF2NECurve::SaveToFile(const std::string& fileName) const {
  RuvSaveToFile(fileName, FileHeader, [this](TStream& s) { SaveToStream(s); });
}

void TGF2NECurve::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, FileHeader, ClassName(), [this](TStream& s) { LoadFromStream(s); });
}

}  // namespace rara
