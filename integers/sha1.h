// SHA-1 (160-bit digest), for checking curves whose coefficient was derived
// from a published seed. Not for new signatures or integrity protection.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rara {

using TSha1Digest = std::array<std::uint8_t, 20>;

// Incremental hashing: Update any number of times, then Final once (the
// object is then reset for a new message).
class TSha1 {
 public:
  TSha1() { Reset(); }
  void Reset();
  void Update(const void* data, std::size_t size);
  TSha1Digest Final();

 private:
  void Block(const std::uint8_t* p);

  std::array<std::uint32_t, 5> h_{};
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t used_ = 0;       // bytes waiting in buffer_
  std::uint64_t length_ = 0;   // message bytes so far
};

TSha1Digest Sha1(const void* data, std::size_t size);

}  // namespace rara
