// TPrimeList.LoadFromStream: failures leave an empty list, loaded lists end
// in their largest prime and survive the round trip.
#include "integers/primes.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_ENTRY(load_prime_list) {
  EnsureRuntime();
  TPrimeList list;
  list.SetCount(20);
  const bool loaded = CheckLoad<TPrimeList>(data, size, list, "TPrimeList", [](const TPrimeList& l) {
    FUZZ_CHECK(l.Count() == 0, "a failed TPrimeList load left entries");
  });
  if (loaded) {
    FUZZ_CHECK(list.Count() > 0 && list.Largest() == list.PrimeAt(list.Count()), "loaded TPrimeList ends wrong");
    // Entries are read as they are; reading them back never leaves the table.
    for (std::int32_t i = 1; i <= list.Count(); i += 1 + list.Count() / 8) (void)list.Prime(i);
  }
  return 0;
}
