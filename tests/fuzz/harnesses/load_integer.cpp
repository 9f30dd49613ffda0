// TInteger.LoadFromStream: failures leave 0, loaded values keep the
// representation invariants and survive the round trip.
#include "integers/integers.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

void CheckInvariants(const TInteger& a) {
  FUZZ_CHECK(a.Size() >= 0 && a.Size() <= a.Capacity(), "TInteger size beyond its capacity");
  if (a.Size() > 0) FUZZ_CHECK(a.Limbs()[a.Size() - 1] != 0, "TInteger top limb is zero");
  for (std::int32_t i = a.Size(); i < a.Capacity(); ++i) FUZZ_CHECK(a.Limbs()[i] == 0, "TInteger limb beyond size");
  FUZZ_CHECK(!(a.IsZero() && a.Negative()), "TInteger negative zero");
}

}  // namespace

RARA_FUZZ_REPAIRING_MUTATOR(TStreamForm::Integer)

RARA_FUZZ_ENTRY(load_integer) {
  EnsureRuntime();
  TInteger a(-987654321987654321);
  const bool loaded = CheckLoad<TInteger>(data, size, a, "TInteger", [](const TInteger& x) {
    FUZZ_CHECK(x.IsZero(), "a failed TInteger load left a value");
  });
  CheckInvariants(a);
  if (loaded) {
    // The value is usable: a small product and division give it back.
    TInteger b(a);
    IMulWord(b, 12345);
    FUZZ_CHECK(IDivWord(b, 12345) == 0 && IEqual(a, b), "loaded TInteger does not compute");
  }
  return 0;
}
