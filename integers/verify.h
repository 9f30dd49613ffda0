// Run-time checks of the documented invariants, compiled in by the RARA_VERIFY
// build (cmake -DRARA_VERIFY=ON) and empty inline functions otherwise. A
// broken invariant is a fault of the library, never of its input, so a check
// that fails prints what broke and where, and aborts: no caller can catch it.
#pragma once

#include <string>

#include "integers/integers.h"

namespace rara {

#ifdef RARA_VERIFY

[[noreturn]] void VerifyFailed(const char* where, const std::string& what);

// Normal form and capacity: Size <= Capacity <= MaxLongSize, Capacity a
// multiple of 8, top limb non-zero, limbs Size..Capacity-1 zero, zero not
// negative.
void VerifyInteger(const TInteger& a, const char* where);

// Items of this thread's integer pool in use now.
int IntegerPoolUsed();

#else

inline void VerifyInteger(const TInteger&, const char*) {}
inline int IntegerPoolUsed() { return 0; }

#endif

}  // namespace rara
