// Stream and file forms of TInteger: signed limb count, the limbs least
// significant first, and the checksum of the limb bytes.
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "integers/checksum.h"
#include "integers/errors.h"
#include "integers/integers.h"
#include "integers/streams.h"

namespace rara {

namespace {

// The limbs as little-endian bytes (needed on big-endian hosts only).
[[maybe_unused]] std::vector<std::uint8_t> LimbBytes(const std::uint32_t* limbs, std::int32_t count) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 4);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint32_t v = limbs[i];
    for (int k = 0; k < 4; ++k) bytes[4 * static_cast<std::size_t>(i) + k] = static_cast<std::uint8_t>(v >> (8 * k));
  }
  return bytes;
}

}  // namespace

void TInteger::SaveToStream(TStream& stream) const {
  TStreamPosGuard guard(stream);
  stream.WriteI32(negative_ ? -size_ : size_);
  std::uint32_t crc = 0;
  if (size_ > 0) {
    const std::size_t byteCount = static_cast<std::size_t>(size_) * 4;
    if constexpr (std::endian::native == std::endian::little) {
      stream.Write(limbs_, byteCount);
      crc = RuvCrc32(limbs_, byteCount);
    } else {
      const std::vector<std::uint8_t> bytes = LimbBytes(limbs_, size_);
      stream.Write(bytes.data(), byteCount);
      crc = RuvCrc32(bytes.data(), byteCount);
    }
  }
  stream.WriteU32(crc);
  guard.Keep();
}

void TInteger::LoadFromStream(TStream& stream) {
  TStreamPosGuard guard(stream);
  try {
    const std::int32_t count = stream.ReadI32();
    // The count must fit the limits and the limbs it announces must be
    // present: a damaged count must not cost a huge allocation first.
    if (count < -MaxLongSize || count > MaxLongSize) RaiseStreamError("TInteger.LoadFromStream");
    const std::int32_t n = count < 0 ? -count : count;
    const std::size_t byteCount = static_cast<std::size_t>(n) * 4;
    if (static_cast<std::int64_t>(byteCount) + 4 > stream.Remaining())
      RaiseStreamError("TInteger.LoadFromStream");
    Clear();
    SetSize(n, false);
    std::uint32_t crc = 0;
    if (n > 0) {
      stream.ReadBuffer(limbs_, byteCount);
      if constexpr (std::endian::native == std::endian::little) {
        crc = RuvCrc32(limbs_, byteCount);
      } else {
        std::vector<std::uint8_t> bytes(byteCount);
        std::memcpy(bytes.data(), limbs_, byteCount);
        for (std::int32_t i = 0; i < n; ++i) {
          const std::uint8_t* b = bytes.data() + 4 * static_cast<std::size_t>(i);
          limbs_[i] = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                      static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        }
        crc = RuvCrc32(bytes.data(), byteCount);
      }
    }
    if (stream.ReadU32() != crc) RaiseStreamError("TInteger.LoadFromStream");
    negative_ = count < 0;
    Normalize();
  } catch (const ERuvStreamError&) {
    Clear();
    throw;
  } catch (const EStreamError&) {
    Clear();
    RaiseStreamError("TInteger.LoadFromStream");
  } catch (const ERuv&) {
    Clear();
    RaiseStreamError("TInteger.LoadFromStream");
  } catch (const std::bad_alloc&) {
    Clear();
    RaiseStreamError("TInteger.LoadFromStream");
  }
  guard.Keep();
}

void TInteger::SaveToFile(const std::string& fileName) const {
  RuvSaveToFile(fileName, FileHeader, [this](TStream& s) { SaveToStream(s); });
}

void TInteger::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, FileHeader, "TInteger", [this](TStream& s) { LoadFromStream(s); });
}

}  // namespace rara
