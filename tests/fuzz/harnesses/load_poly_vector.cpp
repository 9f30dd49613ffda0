// TGF2PolyVector.LoadFromStream: failures leave an empty vector, loaded
// cells are in normal form and the vector survives the round trip.
#include "gf2/gf2_matrix.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_REPAIRING_MUTATOR(TStreamForm::Vector)

RARA_FUZZ_ENTRY(load_poly_vector) {
  EnsureRuntime();
  TGF2PolyVector v;
  v.Size(3);
  v.Cell(1).SetWord(0x1234);
  CheckLoad<TGF2PolyVector>(data, size, v, "TGF2PolyVector", [](const TGF2PolyVector& x) {
    FUZZ_CHECK(x.Count() == 0, "a failed TGF2PolyVector load left cells");
  });
  for (std::int32_t i = 0; i < v.Count(); ++i) {
    const TGF2Poly& c = v.Cell(i);
    FUZZ_CHECK(c.IsZero() || c.Words()[c.Count() - 1] != 0, "loaded cell not in normal form");
  }
  // Indexes outside the cells are refused, also on an empty vector.
  for (const std::int32_t i : {-1, v.Count()}) {
    bool refused = false;
    try {
      (void)v.Cell(i);
    } catch (const ERuvIndexError&) {
      refused = true;
    }
    FUZZ_CHECK(refused, "TGF2PolyVector.Cell accepted an index outside the cells");
  }
  return 0;
}
