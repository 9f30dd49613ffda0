// Tests of the CM parameter search: the filters one by one, complete searches
// on small fields, the give-up, argument checks, abort, and agreement with
// PARI/GP on class numbers, norm equations and whole searches.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/cm_search.h"
#include "engine/mov.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

std::string Dec(const TInteger& a) {
  std::string s;
  IStr(a, 10, 0, false, false, s);
  return s;
}

struct TSearch {
  std::int32_t D = 0, H = -1, Progress = 0;
  std::string KFactors = "?";
  TInteger K, R;
};

TSearch Search(std::int32_t n, std::int32_t start, bool kMod4, std::int32_t kMax = 15,
               std::int32_t bound = 32767) {
  TSearch s;
  s.D = start;
  GetGF2CurveParams(s.D, s.H, s.KFactors, s.K, s.R, n, kMax, bound, kMod4, s.Progress);
  return s;
}

std::string ErrorOf(std::int32_t n, std::int32_t d, std::int32_t kMax, bool kMod4) {
  TSearch s;
  s.D = d;
  try {
    GetGF2CurveParams(s.D, s.H, s.KFactors, s.K, s.R, n, kMax, 32767, kMod4, s.Progress);
  } catch (const ERuvInvalidArg& e) {
    return e.what();
  }
  return "no error";
}

// Square-free by trial division with every odd d.
bool SquareFreeRef(std::int32_t d) {
  for (std::int64_t q = 3; q * q <= d; q += 2)
    if (d % (q * q) == 0) return false;
  return true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

// The search written independently in gp: issquarefree, qfbclassno,
// qfbsolve and forprime in place of our own routines.
const char* GpSearch = R"(
cmsplit(U, kmax, bound) =
{
  my(c = valuation(U, 2), K, R);
  if (c >= kmax, return(0));
  K = 2^c; R = U >> c;
  forprime(p = 3, bound,
    if (R < 2^32 && p >= R, break);
    if (R % p == 0,
      while (R % p == 0, R /= p; K *= p);
      if (#binary(K) > kmax, return(0))));
  if (#binary(K) <= kmax && ispseudoprime(R), [K, R], 0);
}
cmsearch(N, D0, kmax, bound, kmod4) =
{
  my(D = D0, M = 2^(N+2), h, s, t, U, res, P2 = 2^N + 1);
  kmax = max(min(kmax, (4*N)\5), 2);
  if (bound <= 32768, bound = 32749);
  if (D == 0, D = -1);
  while (1,
    D += 8;
    if (D > 2^29, return([0, 0, 0, 0, 0]));
    if (!issquarefree(D), next);
    h = qfbclassno(-4*D);
    if (h % N, next);
    s = qfbsolve(Qfb(1, 0, D), M);
    if (s == 0 || s == [], next);
    t = abs(s[1]);
    if (kmax == 2,
      if (ispseudoprime((P2 + t)/2), return([D, h, t, 2, (P2 + t)/2]));
      if (ispseudoprime((P2 - t)/2), return([D, h, t, 2, (P2 - t)/2]));
      next);
    if (kmod4,
      U = if (t % 4 == 1, P2 - t, P2 + t);
      if (kmax == 3, if (ispseudoprime(U/4), return([D, h, t, 4, U/4])); next);
      res = cmsplit(U, kmax, bound);
      if (res, return([D, h, t, res[1], res[2]]));
      next);
    res = cmsplit(P2 + t, kmax, bound);
    if (res, return([D, h, t, res[1], res[2]]));
    res = cmsplit(P2 - t, kmax, bound);
    if (res, return([D, h, t, res[1], res[2]]));
  );
}
)";

// ---- The filters ----

TEST(CMFilters, SquareFreeMatchesTrialDivision) {
  for (std::int32_t d = 1; d < 200000; d += 2) ASSERT_EQ(IsSquareFree(d), SquareFreeRef(d)) << d;
  EXPECT_TRUE(IsSquareFree(536870911));  // 2^29 - 1 = 233·1103·2089
  EXPECT_FALSE(IsSquareFree(23167 * 23167));
}

TEST(CMFilters, ClassNumbersOfSmallDiscriminants) {
  EXPECT_EQ(ClassNumber(7), 1);
  EXPECT_EQ(ClassNumber(15), 2);
  EXPECT_EQ(ClassNumber(23), 3);
  EXPECT_EQ(ClassNumber(71), 7);
  EXPECT_EQ(ClassNumber(167), 11);
  EXPECT_EQ(ClassNumber(199), 9);
  EXPECT_EQ(ClassNumber(399), 16);
}

// The block count agrees with the form-by-form count on every square-free
// candidate, for blocks of every alignment and length.
TEST(CMFilters, BlockClassNumbersMatchEnumeration) {
  std::vector<std::uint32_t> h;
  for (std::int32_t d0 = 7; d0 < 60000; d0 += 8 * 997) {
    ClassNumberBlock(d0, 997, h);
    for (std::int32_t i = 0; i < 997; ++i) {
      const std::int32_t d = d0 + 8 * i;
      if (!IsSquareFree(d)) continue;
      ASSERT_EQ(h[i], static_cast<std::uint32_t>(ClassNumber(d))) << d;
    }
  }
  for (std::int32_t d : {7, 15, 1000007, 12345679}) {
    ClassNumberBlock(d, 1, h);
    if (!IsSquareFree(d)) continue;
    EXPECT_EQ(h[0], static_cast<std::uint32_t>(ClassNumber(d))) << d;
  }
}

TEST(CMFilters, NormEquationExamples) {
  TInteger t;
  ASSERT_TRUE(SolveNormEquation(7, 64, t));
  EXPECT_EQ(Dec(t), "3615594751");
  EXPECT_FALSE(SolveNormEquation(7, 9, t));
  // The solutions behind the small-field searches.
  ASSERT_TRUE(SolveNormEquation(199, 9, t));
  EXPECT_TRUE(IEqual(t, 43));
  ASSERT_TRUE(SolveNormEquation(399, 16, t));
  EXPECT_TRUE(IEqual(t, 113));
}

TEST(CMFilters, SplitCurveOrder) {
  TInteger u(1080), k, scratch;  // N = 10: 2^3 · 3^3 · 5, the split stops at 5
  ASSERT_TRUE(SplitCurveOrder(u, k, scratch, nullptr, 8));
  EXPECT_TRUE(IEqual(k, 216));
  EXPECT_TRUE(IEqual(u, 5));
  IAssign(u, TInteger(4200));  // K would reach 600 (10 bits)
  EXPECT_FALSE(SplitCurveOrder(u, k, scratch, nullptr, 9));
  IAssign(u, TInteger(std::int64_t{1} << 9) );  // 2-adic valuation 9 >= 9
  EXPECT_FALSE(SplitCurveOrder(u, k, scratch, nullptr, 9));
  // A list goes beyond the table: 2 · 40009 · 1000003 with primes to 50000.
  TPrimeList list;
  list.SetBound(50000);
  IAssign(u, TInteger(std::int64_t{2} * 40009 * 1000003));
  ASSERT_TRUE(SplitCurveOrder(u, k, scratch, &list, 20));
  EXPECT_TRUE(IEqual(k, 2 * 40009));
  EXPECT_TRUE(IEqual(u, 1000003));
  IAssign(u, TInteger(std::int64_t{2} * 40009 * 1000003));
  EXPECT_FALSE(SplitCurveOrder(u, k, scratch, nullptr, 20));  // R = 40009·1000003 not prime
}

TEST(CMFilters, FactorText) {
  EXPECT_EQ(FactorText(TInteger(216), nullptr), "2^3 * 3^3");
  EXPECT_EQ(FactorText(TInteger(78), nullptr), "2 * 3 * 13");
  EXPECT_EQ(FactorText(TInteger(4), nullptr), "2^2");
  EXPECT_EQ(FactorText(TInteger(2 * 32771), nullptr), "2 * 32771");  // beyond the bound
  TPrimeList list;
  list.SetBound(40000);
  EXPECT_EQ(FactorText(TInteger(std::int64_t{8} * 32771 * 32771), &list), "2^3 * 32771^2");
}

// ---- Complete searches ----

struct TRow {
  std::int32_t n;
  bool kMod4;
  std::int32_t d, h;
  std::int64_t k, r;
  const char* kFactors;
};

TEST(CMSearch, SmallFields) {
  const TRow rows[] = {
      {9, false, 199, 9, 4, 139, "2^2"},      {9, true, 199, 9, 4, 139, "2^2"},
      {10, false, 119, 10, 216, 5, "2^3 * 3^3"}, {10, true, 119, 10, 216, 5, "2^3 * 3^3"},
      {11, false, 167, 11, 108, 19, "2^2 * 3^3"}, {11, true, 167, 11, 108, 19, "2^2 * 3^3"},
      {12, false, 231, 12, 2, 1997, "2"},     {12, true, 255, 12, 384, 11, "2^7 * 3"},
      {13, false, 191, 13, 78, 107, "2 * 3 * 13"}, {13, true, 191, 13, 120, 67, "2^3 * 3 * 5"},
      {14, false, 215, 14, 4, 4129, "2^2"},   {14, true, 215, 14, 4, 4129, "2^2"},
      {15, false, 239, 15, 6, 5503, "2 * 3"}, {15, true, 239, 15, 120, 271, "2^3 * 3 * 5"},
      {16, false, 399, 16, 650, 101, "2 * 5^2 * 13"}, {16, true, 399, 16, 1392, 47, "2^4 * 3 * 29"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "N=" << row.n << " KMod4=" << row.kMod4);
    const TSearch s = Search(row.n, 0, row.kMod4);
    EXPECT_EQ(s.D, row.d);
    EXPECT_EQ(s.Progress, row.d);
    EXPECT_EQ(s.H, row.h);
    EXPECT_TRUE(IEqual(s.K, row.k)) << Dec(s.K);
    EXPECT_TRUE(IEqual(s.R, row.r)) << Dec(s.R);
    EXPECT_EQ(s.KFactors, row.kFactors);
    // The same search through a prime list instead of the table.
    const TSearch l = Search(row.n, 0, row.kMod4, 15, 40000);
    EXPECT_EQ(l.D, row.d);
    EXPECT_EQ(l.KFactors, row.kFactors);
  }
}

TEST(CMSearch, StartAndClipping) {
  // A start already = 7 (mod 8) is itself never examined; -1 starts at 7.
  EXPECT_EQ(Search(9, 191, false).D, 199);
  EXPECT_GT(Search(9, 199, false).D, 199);
  EXPECT_EQ(Search(9, -1, false).D, 199);
  // KMaxSize above (4N) div 5 and below 2 are clipped.
  EXPECT_EQ(Search(16, 0, false, 12).KFactors, Search(16, 0, false, 100).KFactors);
  const TSearch two = Search(16, 0, false, 2), one = Search(16, 0, false, -5);
  EXPECT_EQ(two.D, one.D);
  EXPECT_TRUE(IEqual(two.K, 2));
  EXPECT_EQ(two.KFactors, "");
  const TSearch four = Search(16, 0, true, 3);
  EXPECT_TRUE(IEqual(four.K, 4));
  EXPECT_EQ(four.KFactors, "2^2");
}

TEST(CMSearch, ArgumentChecks) {
  const std::string p = "GetGF2CurveParams\r\nInvalid parameter\r\n";
  EXPECT_EQ(ErrorOf(8, 0, 15, false), p + "Deg < 9");
  EXPECT_EQ(ErrorOf(9, 9, 15, false), p + "D <> 7 mod 8");
  EXPECT_EQ(ErrorOf(9, 0, 2, true), p + "(KMaxSize < 3) -> (K <> 0 modulo 4)");
  EXPECT_EQ(ErrorOf(9, -9, 15, false), p + "D < 0");
  EXPECT_EQ(ErrorOf(9, -2, 15, false), p + "D < 0");
}

// Beyond 2^29 the search stops with class number 0, and the MOV degree of
// the empty result is reported as not applicable rather than dividing by 0.
TEST(CMSearch, GivesUpBeyondTheLimit) {
  for (std::int32_t start : {536870911, 2147483647}) {
    TSearch s;
    s.D = start;
    s.KFactors = "x";
    s.K.SetInt64(5);
    s.R.SetInt64(7);
    GetGF2CurveParams(s.D, s.H, s.KFactors, s.K, s.R, 163, 15, 32767, false, s.Progress);
    EXPECT_EQ(s.H, 0);
    EXPECT_TRUE(s.K.IsZero());
    EXPECT_TRUE(s.R.IsZero());
    EXPECT_EQ(s.KFactors, "");
    EXPECT_EQ(MOVDegree(163, s.R), -1);
  }
}

TEST(CMSearch, MOVDegreeAndThreshold) {
  EXPECT_EQ(MOVDegree(9, TInteger(139)), 46);  // the N = 9 curve: 2^9 has order 46 mod 139
  // 2^64 has order 61 modulo the prime 2^61 - 1; a large order gives 0.
  EXPECT_EQ(MOVDegree(64, TInteger((std::int64_t{1} << 61) - 1)), 61);
  EXPECT_EQ(MOVDegree(64, TInteger(std::int64_t{4294967291})), 0);
  // 2^(10·i) = 1 (mod 11) at i = 1; mod 5 at i = 2 (2^10 = 4 mod 5, 4² = 1).
  EXPECT_EQ(MOVDegree(10, TInteger(11)), 1);
  EXPECT_EQ(MOVDegree(9, TInteger(5)), 4);
  EXPECT_EQ(MOVDegree(9, TInteger(0)), -1);
  EXPECT_EQ(MOVDegree(9, TInteger(1)), -1);
  // The bound is 1000 degrees: orders of 2^163 (from gp's znorder) of 101,
  // exactly 1000, and 1001 (beyond the bound).
  EXPECT_EQ(MOVDegree(163, TInteger(8297353)), 101);
  EXPECT_EQ(MOVDegree(163, TInteger(4001)), 1000);
  EXPECT_EQ(MOVDegree(163, TInteger(6007)), 0);
  const std::pair<int, int> thresholds[] = {{64, 3}, {163, 7}, {191, 9}, {233, 11}, {283, 14}, {360, 18}};
  for (auto [n, k] : thresholds) EXPECT_EQ(CriticalThreshold(n), k) << n;
}

// ---- Abort ----

using test::AbortAtPoll;
using test::PollsBeforeAbort;

TEST(CMSearch, AbortLeavesNoScratchTaken) {
  const int used = TIntegerPool::ThreadVars().Used;
  for (int polls : {1, 2, 5, 40, 300}) {
    PollsBeforeAbort = polls;
    RuvBreakWith(&AbortAtPoll);
    break_detail::Tick.store(true);
    bool aborted = false;
    try {
      Search(64, 0, false);
    } catch (const ERuvAbort&) {
      aborted = true;
    }
    RuvBreakStop();
    EXPECT_TRUE(aborted) << polls;
    EXPECT_EQ(TIntegerPool::ThreadVars().Used, used) << polls;
  }
}

// ---- Against PARI/GP ----

TEST(CMSearchGp, ClassNumbers) {
  RARA_NEED_ORACLE(test::HaveGp(), "gp");
  // Every square-free candidate up to 40000, then blocks far out.
  std::vector<std::int32_t> ds;
  std::vector<std::uint32_t> hs, block;
  auto take = [&](std::int32_t d0, std::int32_t count) {
    ClassNumberBlock(d0, count, block);
    for (std::int32_t i = 0; i < count; ++i)
      if (IsSquareFree(d0 + 8 * i)) {
        ds.push_back(d0 + 8 * i);
        hs.push_back(block[i]);
      }
  };
  take(7, 5000);
  take(1000007, 600);
  take(40000007, 300);
  take(536870911 - 8 * 99, 100);
  std::string script = "v=[";
  for (std::size_t i = 0; i < ds.size(); ++i) {
    if (i) script += ',';
    script += std::to_string(ds[i]);
  }
  script += "];\nfor(i=1,#v,print(qfbclassno(-4*v[i])));\n";
  const std::vector<std::string> out = Lines(test::RunGp(script));
  ASSERT_EQ(out.size(), ds.size());
  for (std::size_t i = 0; i < ds.size(); ++i)
    ASSERT_EQ(std::to_string(hs[i]), out[i]) << "D=" << ds[i];
}

TEST(CMSearchGp, NormEquations) {
  RARA_NEED_ORACLE(test::HaveGp(), "gp");
  // Solvability and t for a spread of D and N.
  std::vector<std::pair<std::int32_t, std::int32_t>> cases;
  std::mt19937 g(17);
  for (int i = 0; i < 1200; ++i) {
    std::int32_t d;
    do d = 8 * static_cast<std::int32_t>(g() % 200000) + 7;
    while (!IsSquareFree(d));
    // Half with N a multiple of h, where 2^N is a norm whenever 2 splits
    // into principal powers.
    std::int32_t n = 9 + static_cast<std::int32_t>(g() % 200);
    if (i % 2 == 0) {
      const std::int32_t h = ClassNumber(d);
      n = h * static_cast<std::int32_t>(1 + g() % 3);
      while (n < 9) n += h;
    }
    cases.emplace_back(d, n);
  }
  std::string script = "v=[";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    if (i) script += ';';
    script += std::to_string(cases[i].first);
    script += ',';
    script += std::to_string(cases[i].second);
  }
  script +=
      "];\nfor(i=1,#v~,my(s=qfbsolve(Qfb(1,0,v[i,1]),2^(v[i,2]+2)));"
      "print(if(s==0||s==[],0,abs(s[1]))));\n";
  const std::vector<std::string> out = Lines(test::RunGp(script));
  ASSERT_EQ(out.size(), cases.size());
  int solved = 0;
  TInteger t;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const bool ok = SolveNormEquation(cases[i].first, cases[i].second, t);
    solved += ok;
    ASSERT_EQ(ok ? Dec(t) : "0", out[i])
        << "D=" << cases[i].first << " N=" << cases[i].second;
  }
  EXPECT_GT(solved, 500);
}

TEST(CMSearchGp, Searches) {
  RARA_NEED_ORACLE(test::HaveGp(), "gp");
  struct TCase {
    std::int32_t n, start, kMax, bound;
    bool kMod4;
  };
  const TCase cases[] = {{64, 0, 15, 32767, false}, {64, 0, 15, 32767, true}, {97, 0, 15, 32767, false},
                         {113, 5007, 12, 32767, true}, {163, 0, 15, 32767, false}, {131, 0, 2, 32767, false},
                         {89, 0, 3, 32767, true}, {71, 0, 15, 100000, false}};
  std::string script = GpSearch;
  for (const TCase& c : cases)
    script += "r=cmsearch(" + std::to_string(c.n) + "," + std::to_string(c.start) + "," +
              std::to_string(c.kMax) + "," + std::to_string(c.bound) + "," + std::to_string(c.kMod4) +
              ");print(r[1],\" \",r[2],\" \",r[4],\" \",r[5]);\n";
  const std::vector<std::string> out = Lines(test::RunGp(script));
  ASSERT_EQ(out.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const TCase& c = cases[i];
    const TSearch s = Search(c.n, c.start, c.kMod4, c.kMax, c.bound);
    const std::string mine = std::to_string(s.D) + " " + std::to_string(s.H) + " " +
                             Dec(s.K) + " " + Dec(s.R);
    EXPECT_EQ(mine, out[i]) << "N=" << c.n << " KMod4=" << c.kMod4 << " KMax=" << c.kMax;
    EXPECT_EQ(MOVDegree(c.n, s.R), 0);
  }
}

}  // namespace
}  // namespace rara
