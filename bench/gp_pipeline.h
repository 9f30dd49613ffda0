// PARI/GP as the peer of the engine benchmarks: running a script, and the CM
// parameter search written in gp (the same loop as ours, with qfbclassno and
// qfbsolve). gp's figures are its own time for the work (getabstime), without
// its start-up.
#pragma once

#include <cstdio>
#include <string>

namespace rara::bench {

inline const char* GpSearch = R"(
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
  my(D = D0, M = 2^(N+2), h, s, t, res, P2 = 2^N + 1);
  kmax = max(min(kmax, (4*N)\5), 2);
  if (D == 0, D = -1);
  while (1,
    D += 8;
    if (D > 2^29, return([0, 0]));
    if (!issquarefree(D), next);
    h = qfbclassno(-4*D);
    if (h % N, next);
    s = qfbsolve(Qfb(1, 0, D), M);
    if (s == 0 || s == [], next);
    t = abs(s[1]);
    res = cmsplit(P2 + t, kmax, bound);
    if (res, return([D, h, res[1], res[2]]));
    res = cmsplit(P2 - t, kmax, bound);
    if (res, return([D, h, res[1], res[2]]));
  );
}
)";

// Runs gp on the script (stack limit raised first) and returns its output.
inline std::string Gp(const std::string& script) {
  const std::string path = "/tmp/rara_bench_pipeline.gp";
  if (FILE* f = std::fopen(path.c_str(), "w")) {
    std::fputs("default(parisizemax, 2*10^9);\n", f);
    std::fputs(script.c_str(), f);
    std::fclose(f);
  }
  std::string out;
  if (FILE* p = popen(("gp -q -f < " + path + " 2>/dev/null").c_str(), "r")) {
    char buf[4096];
    while (std::fgets(buf, sizeof buf, p) != nullptr) out += buf;
    pclose(p);
  }
  return out;
}

}  // namespace rara::bench
