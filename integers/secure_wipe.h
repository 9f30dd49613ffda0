// Zeroing of released limb and word storage under the SecureWipe setting.
#pragma once

#include <cstddef>

namespace rara {

// Zeroes `bytes` bytes at p through a call the optimiser cannot drop before
// the block is freed. A null p or zero bytes does nothing.
void SecureZero(void* p, std::size_t bytes) noexcept;

namespace wipe_detail {
// Called after each SecureZero of the calling thread with the block just
// zeroed, while it is still allocated; null unless a test watches the wipes.
using TWipeWatch = void (*)(const void* p, std::size_t bytes);
void SetWipeWatch(TWipeWatch watch) noexcept;
}  // namespace wipe_detail

}  // namespace rara
