// The invariant checks of the RARA_VERIFY build (see integers/verify.h).
#include "integers/verify.h"

#ifdef RARA_VERIFY

#include <cstdio>
#include <cstdlib>

namespace rara {

void VerifyFailed(const char* where, const std::string& what) {
  std::fprintf(stderr, "RARA_VERIFY: %s: %s\n", where, what.c_str());
  std::fflush(stderr);
  std::abort();
}

void VerifyInteger(const TInteger& a, const char* where) {
  const std::int32_t size = a.Size(), capacity = a.Capacity();
  if (size < 0 || size > capacity)
    VerifyFailed(where, "integer Size " + std::to_string(size) + " outside 0..Capacity " +
                            std::to_string(capacity));
  if (capacity % 8 != 0 || capacity > TInteger::MaxLongSize)
    VerifyFailed(where, "integer Capacity " + std::to_string(capacity));
  if (size > 0 && a.Limbs()[size - 1] == 0) VerifyFailed(where, "integer with a zero top limb");
  for (std::int32_t i = size; i < capacity; ++i)
    if (a.Limbs()[i] != 0)
      VerifyFailed(where, "integer limb " + std::to_string(i) + " above Size is not zero");
  if (size == 0 && a.Negative()) VerifyFailed(where, "negative zero");
}

int IntegerPoolUsed() { return TIntegerPool::ThreadVars().Used; }

}  // namespace rara

#endif
