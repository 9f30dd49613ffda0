// CM parameters for GF(2^163) from the installed library: the discriminant
// and the prime R of the curve order K*R.
#include <cstdio>
#include <string>

#include "engine/construction.h"
#include "gf2/gf2n.h"
#include "integers/random.h"
#include "integers/runtime.h"

int main() {
  rara::TRuvRuntime runtime;  // first in main, destroyed last
  rara::RuvSeed("example", 7);
  rara::TECGF2Data data;
  std::int32_t progress = 0;
  data.ComputeParams(163, 0, 15, 32767, false, progress);
  std::string r;
  rara::IStr(data.R, 10, 0, false, false, r);
  std::printf("D = %d\nR = %s\n", data.D, r.c_str());
}
