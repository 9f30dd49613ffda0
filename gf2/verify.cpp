// The invariant checks of the RARA_VERIFY build for gf2/ (see gf2/verify.h).
#include "gf2/verify.h"

#ifdef RARA_VERIFY

#include <string>

namespace rara {

void VerifyPoly(const TGF2Poly& p, const char* where) {
  const std::int32_t count = p.Count(), capacity = p.Capacity();
  if (count < 0 || count > capacity)
    VerifyFailed(where, "polynomial Count " + std::to_string(count) + " outside 0..Capacity " +
                            std::to_string(capacity));
  if (capacity % 8 != 0 || capacity > TGF2Poly::MaxWords)
    VerifyFailed(where, "polynomial Capacity " + std::to_string(capacity));
  if (count > 0 && p.Words()[count - 1] == 0) VerifyFailed(where, "polynomial with a zero top word");
  for (std::int32_t i = count; i < capacity; ++i)
    if (p.Words()[i] != 0)
      VerifyFailed(where, "polynomial word " + std::to_string(i) + " above Count is not zero");
}

void VerifyElement(const TGF2N& field, const TGF2Poly& a, const char* where) {
  VerifyPoly(a, where);
  if (field.CheckDegrees() && a.Degree() >= field.N())
    VerifyFailed(where, "element of degree " + std::to_string(a.Degree()) + " in GF(2^" +
                            std::to_string(field.N()) + ")");
}

int PolyPoolUsed() { return TGF2PolyPool::ThreadVars().Used; }

}  // namespace rara

#endif
