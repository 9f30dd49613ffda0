// SHA-1 over whole bytes, big-endian words.
#include "integers/sha1.h"

#include <algorithm>
#include <cstring>

namespace rara {

namespace {

constexpr std::uint32_t Rol(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

void TSha1::Reset() {
  h_ = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
  used_ = 0;
  length_ = 0;
}

void TSha1::Block(const std::uint8_t* p) {
  std::uint32_t w[80];
  for (int t = 0; t < 16; ++t)
    w[t] = std::uint32_t{p[4 * t]} << 24 | std::uint32_t{p[4 * t + 1]} << 16 |
           std::uint32_t{p[4 * t + 2]} << 8 | std::uint32_t{p[4 * t + 3]};
  for (int t = 16; t < 80; ++t) w[t] = Rol(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
  std::uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
  for (int t = 0; t < 80; ++t) {
    std::uint32_t f, k;
    if (t < 20) {
      f = (b & c) | (~b & d);  // choose
      k = 0x5A827999u;
    } else if (t < 40) {
      f = b ^ c ^ d;  // parity
      k = 0x6ED9EBA1u;
    } else if (t < 60) {
      f = (b & c) | (b & d) | (c & d);  // majority
      k = 0x8F1BBCDCu;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6u;
    }
    const std::uint32_t temp = Rol(a, 5) + f + e + k + w[t];
    e = d;
    d = c;
    c = Rol(b, 30);
    b = a;
    a = temp;
  }
  h_[0] += a;
  h_[1] += b;
  h_[2] += c;
  h_[3] += d;
  h_[4] += e;
}

void TSha1::Update(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  length_ += size;
  if (used_ > 0) {
    const std::size_t take = std::min(size, buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, p, take);
    used_ += take;
    p += take;
    size -= take;
    if (used_ < buffer_.size()) return;
    Block(buffer_.data());
    used_ = 0;
  }
  for (; size >= 64; p += 64, size -= 64) Block(p);
  std::memcpy(buffer_.data(), p, size);
  used_ = size;
}

TSha1Digest TSha1::Final() {
  const std::uint64_t bits = length_ * 8;
  // One 1 bit, zeros up to 56 mod 64, then the 64-bit length.
  buffer_[used_++] = 0x80;
  if (used_ > 56) {
    std::memset(buffer_.data() + used_, 0, 64 - used_);
    Block(buffer_.data());
    used_ = 0;
  }
  std::memset(buffer_.data() + used_, 0, 56 - used_);
  for (int i = 0; i < 8; ++i) buffer_[56 + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  Block(buffer_.data());
  TSha1Digest out;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 4; ++j) out[4 * i + j] = static_cast<std::uint8_t>(h_[i] >> (24 - 8 * j));
  Reset();
  return out;
}

TSha1Digest Sha1(const void* data, std::size_t size) {
  TSha1 s;
  s.Update(data, size);
  return s.Final();
}

}  // namespace rara
