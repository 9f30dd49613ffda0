// TGF2N::FindRoot: a random root in the field of an irreducible polynomial
// over GF(2) whose degree divides the field degree, by the trace method: the
// gcd of M with Tr(c·X) mod M splits M by the traces of c·r over its roots r,
// and the smaller side is kept until a linear factor remains.
#include <cstdint>

#include "gf2/gf2_factor.h"
#include "gf2/gf2n.h"
#include "gf2/gf2n_poly.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

// The search runs in the standard basis without degree checks; whatever
// way it ends, the field gets its basis and check flag back.
class TFieldStateGuard {
 public:
  explicit TFieldStateGuard(TGF2N& f) : f_(f), switched_(f.BasisType() == btNormal), check_(f.CheckDegrees()) {
    if (switched_) f_.SwitchBasis();
    f_.SetCheckDegrees(false);
  }
  ~TFieldStateGuard() {
    if (switched_) f_.SwitchBasis();
    f_.SetCheckDegrees(check_);
  }
  TFieldStateGuard(const TFieldStateGuard&) = delete;
  TFieldStateGuard& operator=(const TFieldStateGuard&) = delete;
  bool Switched() const noexcept { return switched_; }

 private:
  TGF2N& f_;
  bool switched_;
  bool check_;
};

// For a polynomial that really has its roots in the field, a draw fails to
// split M with probability at most 1/2; this many failures in a row mean it
// cannot split (P was not irreducible), which would otherwise loop forever.
constexpr int MaxFailedDraws = 200;

}  // namespace

void TGF2N::FindRoot(TGF2Poly& root, const TGF2Poly& p, bool check) {
  const std::string name = ClassName() + ".FindRoot";
  const std::int32_t n = p.Degree();
  if (n < 2) RaiseInvalidArg(name, "P.Degree should be greater than 1");
  if (n_ < n || n_ % n != 0) RaiseInvalidArg(name, "P.Degree should be a divisor of the field degree");
  if (check && !GF2IsIrreducible(p)) RaiseInvalidArg(name, "P should be irreducible over GF(2)");
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  if (GF2Equal(p, fieldPoly_)) {
    SetX(root);
    return;
  }

  const TFieldStateGuard guard(*this);
  TGF2NPoly m(*this);
  m.SetLength(n);
  for (std::int32_t i = 0; i <= n; ++i)
    if (p.Coef(i)) m.Coef(i).SetOne();
  m.Normalize();
  TGF2NPoly t(*this);
  TUVPoly c(TUVPoly::AsLeft);
  // Every factor M of P is split through Tr(c·X) mod P, a sum of field
  // elements over P's bit matrix, and a gcd with M.
  const TGF2NBinaryTrace binary(*this, p);
  int failed = 0;
  while (m.Degree() > 1) {
    do {
      if (++failed > MaxFailedDraws) RaiseInvalidArg(name, "P should be irreducible over GF(2)");
      Rnd(*c);
      if (!t.TraceMod(*c, binary)) t.TraceMod(*c, m);
    } while (t.Degree() < 1);
    t.GCD(m, poll);
    const std::int32_t d = t.Degree();
    if (d > 0 && d < m.Degree()) {
      // Keep the smaller side: the gcd, or the cofactor M / gcd.
      if (2 * d <= m.Degree())
        m.Swap(t);
      else
        m.DivBy(t);
      failed = 0;
    }
    if (poll) RuvBreak();
  }
  root.Assign(m.Coef(0));
  if (guard.Switched()) ApplyMatrix(root, *s2n_);
}

}  // namespace rara
