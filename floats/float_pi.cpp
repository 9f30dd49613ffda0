// Pi: a process-wide cache holding pi at the largest precision asked for so
// far, recomputed by the Chudnovsky series evaluated backwards with a
// precision that grows with the terms.
#include <algorithm>
#include <memory>

#include "floats/float_internal.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/scratch_pool.h"

namespace rara {

using namespace float_detail;

namespace {

std::unique_ptr<TReal> PiCache;  // main thread only
bool PiHookAdded = false;

void ReleasePiCache() {
  PiCache.reset();
  PiHookAdded = false;
}

// Sets the working precision to `words` 32-bit words (at least 128 bits).
void SetWords(std::int64_t words) { TFloat::SetPrecision(static_cast<std::int32_t>(words * 32)); }

}  // namespace

// pi at the current precision P (a multiple of 32).
void float_detail::ComputePi(TReal& pi) {
  TPrecisionGuard guard;
  const std::int64_t w = (static_cast<std::int64_t>(Precision) + 31) / 32;
  const std::int64_t n = static_cast<std::int64_t>(0.67925534849376081675 * static_cast<double>(w) + 1);
  constexpr std::int64_t A = 13591409;
  constexpr std::int64_t B = 545140134;
  constexpr std::int64_t C = 32817176580096000;  // 640320^3 / 8

  // Inner terms are tiny, so they need only a few words; each term outward
  // adds about 1.4722 words of significance.
  double x = static_cast<double>(std::min<std::int64_t>(w, 4));
  SetWords(std::min<std::int64_t>(w, 4));
  TReal s(A + B * n);
  TReal t;
  for (std::int64_t k = n; k >= 1; --k) {
    RuvBreak();
    // s := (A + B(k-1)) - s·(6k-1)(6k-3)(6k-5) / (k^3·C)
    MulInt64(s, (6 * k - 1) * (6 * k - 3), "XPi");
    MulInt64(s, 6 * k - 5, "XPi");
    XDiv(s, C);
    if (k < (std::int64_t{1} << 21)) {
      XDiv(s, k * k * k);
    } else {
      XDiv(s, k);
      XDiv(s, k * k);
    }
    XSet(t, A + B * (k - 1));
    XSub(t, s);
    XSwap(s, t);
    x += 1.47220040625;
    SetWords(std::min<std::int64_t>(w, static_cast<std::int64_t>(x + 1)));
  }
  SetWords(w);
  guard.Restore();
  // pi = 53360·sqrt(640320) / s at the full precision.
  XSet(pi, std::int64_t{640320});
  XSqrRoot(pi);
  MulInt64(pi, 53360, "XPi");
  XDiv(pi, s);
}

void XPi(TReal& a) {
  TReal result;
  {
    TGuardedPrecision guard;
    if (!PiCache || PiCache->Mantissa().BitSize() < Precision) {
      auto fresh = std::make_unique<TReal>();
      ComputePi(*fresh);
      if (!PiHookAdded) {
        RuvAddShutdownHook(&ReleasePiCache);
        PiHookAdded = true;
      }
      PiCache = std::move(fresh);
    }
    guard.Restore();
    XAssign(result, *PiCache);
  }
  XSwap(a, result);
}

}  // namespace rara
