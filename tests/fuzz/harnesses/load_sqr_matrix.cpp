// TGF2SqrMatrix.LoadFromStream: failures leave every row zero, a loaded
// matrix keeps to the dimension limit, survives the round trip and its rank
// test agrees with its inversion.
#include "gf2/gf2_matrix.h"
#include "gf2/gf2n.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_REPAIRING_MUTATOR(TStreamForm::Vector)

RARA_FUZZ_ENTRY(load_sqr_matrix) {
  EnsureRuntime();
  TGF2SqrMatrix m;
  m.SetDimension(5);
  m.SetIdentity();
  const bool loaded = CheckLoad<TGF2SqrMatrix>(data, size, m, "TGF2SqrMatrix", [](const TGF2SqrMatrix& x) {
    for (std::int32_t i = 0; i < x.Dimension(); ++i)
      FUZZ_CHECK(x.Row(i).IsZero(), "a failed TGF2SqrMatrix load left a row");
  });
  if (!loaded) return 0;
  const std::int32_t n = m.Dimension();
  FUZZ_CHECK(n <= TGF2SqrMatrix::MaxDimension, "loaded TGF2SqrMatrix above the dimension limit");
  if (n > 256) return 0;
  const bool regular = m.IsRegular();
  std::unique_ptr<TGF2SqrMatrix> inv = m.Clone();
  FUZZ_CHECK(inv->Invert() == regular, "IsRegular and Invert disagree");
  if (!regular) return 0;
  // Rows wider than the dimension are kept as read; the inverse is checked
  // where the matrix is a proper one.
  for (std::int32_t i = 0; i < n; ++i)
    if (m.Row(i).Degree() >= n) return 0;
  // M^-1 (M e_j) = e_j for the unit vectors.
  for (std::int32_t j = 0; j < n; ++j) {
    TGF2Poly e;
    e.SetMonomial(j);
    TGF2N::ApplyMatrix(e, m);
    TGF2N::ApplyMatrix(e, *inv);
    TGF2Poly unit;
    unit.SetMonomial(j);
    FUZZ_CHECK(GF2Equal(e, unit), "the inverse of a loaded matrix is not its inverse");
  }
  return 0;
}
