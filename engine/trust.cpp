// Order proof and security verdicts of a constructed curve.
#include "engine/trust.h"

#include "curves/ec_point_count.h"
#include "engine/construction.h"
#include "engine/mov.h"
#include "integers/break.h"
#include "integers/primes.h"

namespace rara {

namespace {

// Below this many bits of R the curve is too small for any use; below the
// second it is legacy strength only.
constexpr std::int32_t MinRBits = 160;
constexpr std::int32_t GoodRBits = 224;
// Small factors of the twist order are removed up to this bound.
constexpr std::int32_t TwistTrialBound = 32767;

// Signed decimal in groups of 5 digits, as the reports write integers; the
// explicit IStr arguments keep it independent of the per-thread text settings.
std::string Dec(const TInteger& a) {
  std::string s;
  IStr(a, 10, 5, false, false, s);
  return (a.Negative() ? "-" : "") + s;
}

void Add(TTrustReport& r, const char* key, TVerdictLevel level, std::string text,
         std::string threshold) {
  r.Verdicts.push_back({key, level, std::move(text), std::move(threshold)});
}

// q = 2^N.
void PowerOfTwo(TInteger& q, std::int32_t n) {
  q.SetOne();
  IShl(q, n);
}

}  // namespace

const char* VerdictLevelName(TVerdictLevel level) {
  switch (level) {
    case TVerdictLevel::Pass: return "PASS";
    case TVerdictLevel::Fail: return "FAIL";
    case TVerdictLevel::Note: return "NOTE";
  }
  return "NOTE";
}

std::int32_t EmbeddingSearchBound(std::int32_t n) { return 1000 * n; }

std::int32_t EmbeddingDegreeOf2(const TInteger& r, std::int32_t bound) {
  if (ICmp(r, 3) < 0 || !r.IsOdd()) return 0;
  TUVInteger x;
  x->SetOne();
  for (std::int32_t m = 1; m <= bound; ++m) {
    if ((m & 1023) == 0) RuvBreak();
    IShl1(*x);
    if (ICmp(*x, r) >= 0) ISub(*x, r);
    if (x->IsOne()) return m;
  }
  return 0;
}

TOrderProof ProveOrder(TECGF2Data& d) {
  TOrderProof p;
  if (!d.CurveBuilt || d.Point.IsZero()) {
    p.Reason = "no point of order R has been drawn";
    return p;
  }
  if (!IIsPrime(d.R)) {
    p.Reason = "R is not prime";
    return p;
  }
  TGF2NEPoint q(d.Point);
  d.Curve.Mul(q, d.R, false);
  if (!q.IsZero()) {
    p.Reason = "R times the point is not the point at infinity";
    return p;
  }
  // Hasse: (2^N + 1 - K·R)^2 <= 4·2^N.
  TUVInteger t, bound, kr;
  IAssign(*kr, d.K);
  IMul(*kr, d.R);
  PowerOfTwo(*t, d.N);
  IAdd(*t, 1);
  ISub(*t, *kr);
  IMul(*t, *t);
  PowerOfTwo(*bound, d.N + 2);
  if (ICmp(*t, *bound) > 0) {
    p.Reason = "K*R lies outside the Hasse interval";
    return p;
  }
  // R > 4·2^(N/2)  <=>  R^2 > 2^(N+4), exact also for odd N.
  TUVInteger r2;
  IAssign(*r2, d.R);
  IMul(*r2, *r2);
  PowerOfTwo(*bound, d.N + 4);
  if (ICmp(*r2, *bound) <= 0) {
    p.Reason = "R <= 4*2^(N/2): the Hasse interval holds more than one multiple of R";
    return p;
  }
  p.Proven = true;
  p.Reason = "the point has prime order R > 4*2^(N/2), and K*R is the only multiple of R "
             "in the Hasse interval";
  return p;
}

void CheckTrust(TECGF2Data& d, TTrustReport& r, const TInteger* pointCount) {
  r.Verdicts.clear();
  r.Proof = ProveOrder(d);
  const std::int32_t n = d.N;
  const std::int32_t critical = CriticalThreshold(n);

  TUVInteger kr;
  IAssign(*kr, d.K);
  IMul(*kr, d.R);
  PowerOfTwo(r.Trace, n);
  IAdd(r.Trace, 1);
  ISub(r.Trace, *kr);

  // A second proof of the order: the points counted by a method that does
  // not use the construction.
  const std::string countThreshold = "FAIL when the count differs from K*R";
  if (d.CurveBuilt) {
    TUVInteger count;
    if (pointCount)
      IAssign(*count, *pointCount);
    else
      ECPointCount(*count, d.Curve.Field(), d.Curve.A(), d.Curve.B());
    r.Proof.PointCount = Dec(*count);
    r.Proof.CountConfirmed = IEqual(*count, *kr);
    Add(r, "point_count", r.Proof.CountConfirmed ? TVerdictLevel::Pass : TVerdictLevel::Fail,
        (r.Proof.CountConfirmed ? "order confirmed by an independent point count: #E = "
                                : "an independent point count gives #E = ") +
            r.Proof.PointCount + (r.Proof.CountConfirmed ? "" : ", not K*R"),
        countThreshold);
  } else {
    Add(r, "point_count", TVerdictLevel::Note, "not counted: no curve has been built", countThreshold);
  }

  // Embedding degree with respect to the characteristic.
  r.EmbeddingBound = EmbeddingSearchBound(n);
  r.EmbeddingDegree = EmbeddingDegreeOf2(d.R, r.EmbeddingBound);
  const std::string embThreshold =
      "FAIL when m < " + std::to_string(critical) + "*N = " + std::to_string(critical * n);
  if (r.EmbeddingDegree == 0)
    Add(r, "embedding_degree", TVerdictLevel::Pass,
        "no m <= " + std::to_string(r.EmbeddingBound) + " with 2^m = 1 (mod R)", embThreshold);
  else
    Add(r, "embedding_degree",
        r.EmbeddingDegree < critical * n ? TVerdictLevel::Fail : TVerdictLevel::Note,
        "m = " + std::to_string(r.EmbeddingDegree) + " is the smallest with 2^m = 1 (mod R)",
        embThreshold);

  // The MOV condition in extension degrees of N.
  const std::string movThreshold =
      "critical threshold " + std::to_string(critical) + ", degrees searched up to 1000";
  if (d.MOVResult == 0)
    Add(r, "mov", TVerdictLevel::Pass, "holds: no degree up to 1000", movThreshold);
  else if (d.MOVResult < 0)
    Add(r, "mov", TVerdictLevel::Note, "not checked: there is no R", movThreshold);
  else
    Add(r, "mov", d.MOVResult < critical ? TVerdictLevel::Fail : TVerdictLevel::Pass,
        "embedding degree " + std::to_string(d.MOVResult) + " over GF(2^N)", movThreshold);

  // Trace: even means supersingular, 1 means anomalous.
  const bool odd = r.Trace.IsOdd();
  Add(r, "supersingular", odd ? TVerdictLevel::Pass : TVerdictLevel::Fail,
      "trace t = " + Dec(r.Trace) + (odd ? " is odd: not supersingular" : " is even: supersingular"),
      "FAIL when t is even");
  const bool anomalous = ICmp(r.Trace, 1) == 0;
  Add(r, "anomalous", anomalous ? TVerdictLevel::Fail : TVerdictLevel::Pass,
      anomalous ? "t = 1: the curve is anomalous" : "t <> 1: not anomalous", "FAIL when t = 1");

  // Composite extension degree: Weil descent may apply.
  std::int32_t factor = 0;
  for (std::int32_t f = 2; f * f <= n; ++f)
    if (n % f == 0) {
      factor = f;
      break;
    }
  if (factor)
    Add(r, "field_degree", TVerdictLevel::Fail,
        "N = " + std::to_string(n) + " is composite, smallest factor " + std::to_string(factor) +
            ": Weil descent may apply",
        "FAIL when N is composite");
  else
    Add(r, "field_degree", TVerdictLevel::Pass, "N = " + std::to_string(n) + " is prime",
        "FAIL when N is composite");

  // The quadratic twist: 2^(N+1) + 2 - K·R.
  PowerOfTwo(r.TwistOrder, n + 1);
  IAdd(r.TwistOrder, 2);
  ISub(r.TwistOrder, *kr);
  IAssign(r.TwistRest, r.TwistOrder);
  r.TwistSmallFactors.clear();
  r.TwistRestPrime = false;
  if (r.TwistRest.Size() > 0) {
    TUVInteger f, e;
    ISmallFactors(r.TwistRest, *f, &e.get(), TwistTrialBound);
    for (std::int32_t k = 0; k < f->Size(); ++k) {
      if (!r.TwistSmallFactors.empty()) r.TwistSmallFactors += " * ";
      r.TwistSmallFactors += std::to_string(f->Long(k));
      if (e->Long(k) > 1) r.TwistSmallFactors.append("^").append(std::to_string(e->Long(k)));
    }
    r.TwistRestPrime = IIsPrime(r.TwistRest);
  }
  const std::int32_t twistBits = r.TwistRest.BitSize();
  Add(r, "twist",
      r.TwistRestPrime && twistBits >= MinRBits ? TVerdictLevel::Pass : TVerdictLevel::Note,
      "twist order " + Dec(r.TwistOrder) + " = " +
          (r.TwistSmallFactors.empty() ? std::string() : r.TwistSmallFactors + " * ") +
          std::to_string(twistBits) + "-bit " + (r.TwistRestPrime ? "prime" : "composite"),
      "NOTE unless the rest is a prime of " + std::to_string(MinRBits) + " bits or more "
      "(matters for x-only arithmetic)");

  // Size of the subgroup.
  const std::int32_t rBits = d.R.BitSize();
  Add(r, "order_size",
      rBits < MinRBits ? TVerdictLevel::Fail
                       : rBits < GoodRBits ? TVerdictLevel::Note : TVerdictLevel::Pass,
      "R has " + std::to_string(rBits) + " bits (about " + std::to_string(rBits / 2) +
          "-bit security)",
      "FAIL below " + std::to_string(MinRBits) + " bits, NOTE below " +
          std::to_string(GoodRBits));

  // A curve we did not build (an audited file) has no known discriminant.
  if (d.D > 0)
    Add(r, "cm_discriminant", TVerdictLevel::Note,
        std::string("-D = -").append(std::to_string(d.D)) + ", class number " +
            std::to_string(d.ClassNumber) + ": CM curves have a small discriminant by construction",
        "none known to weaken the curve");
}

std::vector<std::string> TrustLines(const TECGF2Data& d, const TTrustReport& r) {
  std::vector<std::string> lines;
  lines.push_back("Checks");
  lines.push_back("");
  lines.push_back(std::string("Order: ") + (r.Proof.Proven ? "proven #E = K*R: " : "not proven: ") +
                  r.Proof.Reason);
  (void)d;
  for (const TVerdict& v : r.Verdicts)
    lines.push_back(std::string(VerdictLevelName(v.Level)) + "  " + v.Key + ": " + v.Text +
                    " [" + v.Threshold + "]");
  return lines;
}

}  // namespace rara
