// Per-thread settings read by the text forms and the storage of the
// arithmetic classes. Threads other than the start-up thread start with all
// of them false; the runtime gives the start-up thread its start-up values.
#pragma once

namespace rara {

inline thread_local bool SecureWipe = false;   // zero limb memory before it is released or moved
inline thread_local bool StrZeroPad = false;   // integer text: pad the first digit group with '0'
inline thread_local bool StrLowerHex = false;  // hexadecimal digits in lower case
inline thread_local bool StrShowSign = false;  // integer text gets a sign character
inline thread_local bool StrSpacePlus = false; // the sign of a non-negative number is a blank

// Sets the calling thread's settings to the start-up values.
void RuvSetStartupSettings();

}  // namespace rara
