// Zeroing of released storage: one routine for the integer and polynomial
// classes and the multiplication scratch.
#include "integers/secure_wipe.h"

#include <cstring>

namespace rara {

namespace {
// A memset the optimiser cannot drop before a free.
void* (*volatile ZeroFn)(void*, int, std::size_t) = std::memset;
}  // namespace

namespace wipe_detail {
namespace {
thread_local TWipeWatch WipeWatch = nullptr;
}  // namespace

void SetWipeWatch(TWipeWatch watch) noexcept { WipeWatch = watch; }
}

void SecureZero(void* p, std::size_t bytes) noexcept {
  if (p == nullptr || bytes == 0) return;
  ZeroFn(p, 0, bytes);
  if (wipe_detail::WipeWatch != nullptr) wipe_detail::WipeWatch(p, bytes);
}

}  // namespace rara
