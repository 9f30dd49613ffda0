// TGF2NEPoint.LoadFromStream: a failed load leaves O (the coordinates'
// stream error passes on), a loaded point survives the round trip.
#include "curves/ec_gf2n.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_REPAIRING_MUTATOR(TStreamForm::Point)

RARA_FUZZ_ENTRY(load_point) {
  EnsureRuntime();
  TGF2NEPoint p;
  p.X().SetWord(5);
  p.Y().SetWord(7);
  CheckLoad<TGF2NEPoint>(data, size, p, "TGF2NEPoint", [](const TGF2NEPoint& x) {
    FUZZ_CHECK(x.IsZero(), "a failed point load did not leave O");
  }, {"TGF2Poly"});
  return 0;
}
