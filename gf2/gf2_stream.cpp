// Stream and file forms of TGF2Poly (word count, words from x^0 up, checksum
// of the word bytes), TGF2PolyVector (cell count, then the cells) and
// TGF2SqrMatrix (its row vector).
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"
#include "integers/checksum.h"
#include "integers/errors.h"
#include "integers/streams.h"

namespace rara {

namespace {

constexpr std::string_view PolyHeader = "Ruv Polynomial over GF2 ";
constexpr std::string_view VectorHeader = "Ruv Polynomial over GF2 Vector ";
constexpr std::string_view MatrixHeader = "Ruv Square Matrix over GF2 ";

// Smallest stream form of one polynomial: its count and its checksum.
constexpr std::int64_t MinPolyBytes = 8;

[[maybe_unused]] std::vector<std::uint8_t> WordBytes(const std::uint32_t* w, std::int32_t count) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 4);
  for (std::int32_t i = 0; i < count; ++i)
    for (int k = 0; k < 4; ++k) bytes[4 * static_cast<std::size_t>(i) + k] = static_cast<std::uint8_t>(w[i] >> (8 * k));
  return bytes;
}

}  // namespace

// ---------------------------------------------------------------- TGF2Poly

void TGF2Poly::SaveToStream(TStream& stream) const {
  TStreamPosGuard guard(stream);
  stream.WriteI32(count_);
  std::uint32_t crc = RuvCrc32(nullptr, 0);
  if (count_ > 0) {
    const std::size_t byteCount = static_cast<std::size_t>(count_) * 4;
    if constexpr (std::endian::native == std::endian::little) {
      stream.Write(words_, byteCount);
      crc = RuvCrc32(words_, byteCount);
    } else {
      const std::vector<std::uint8_t> bytes = WordBytes(words_, count_);
      stream.Write(bytes.data(), byteCount);
      crc = RuvCrc32(bytes.data(), byteCount);
    }
  }
  stream.WriteU32(crc);
  guard.Keep();
}

void TGF2Poly::LoadFromStream(TStream& stream) {
  TStreamPosGuard guard(stream);
  const std::string name = ClassName() + ".LoadFromStream";
  try {
    const std::int32_t n = stream.ReadI32();
    // A damaged count must not cost a huge allocation: the words it
    // announces have to be present before any storage is taken.
    if (n < 0 || n > MaxWords) RaiseStreamError(name);
    const std::size_t byteCount = static_cast<std::size_t>(n) * 4;
    if (static_cast<std::int64_t>(byteCount) + 4 > stream.Remaining()) RaiseStreamError(name);
    SetSize(0, false);
    SetSize(n, true);
    std::uint32_t crc = RuvCrc32(nullptr, 0);
    if (n > 0) {
      stream.ReadBuffer(words_, byteCount);
      if constexpr (std::endian::native == std::endian::little) {
        crc = RuvCrc32(words_, byteCount);
      } else {
        std::vector<std::uint8_t> bytes(byteCount);
        std::memcpy(bytes.data(), words_, byteCount);
        for (std::int32_t i = 0; i < n; ++i) {
          const std::uint8_t* b = bytes.data() + 4 * static_cast<std::size_t>(i);
          words_[i] = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                      static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        }
        crc = RuvCrc32(bytes.data(), byteCount);
      }
    }
    if (stream.ReadU32() != crc) RaiseStreamError(name);
    // Zero top words would break the normal form every routine relies on;
    // our own streams never hold them, hand-made ones might.
    Normalize(true);
  } catch (const ERuvStreamError&) {
    Clear();
    throw;
  } catch (const EStreamError&) {
    Clear();
    RaiseStreamError(name);
  } catch (const ERuv&) {
    Clear();
    RaiseStreamError(name);
  } catch (const std::bad_alloc&) {
    Clear();
    RaiseStreamError(name);
  }
  guard.Keep();
}

void TGF2Poly::SaveToFile(const std::string& fileName) const {
  RuvSaveToFile(fileName, PolyHeader, [this](TStream& s) { SaveToStream(s); });
}

void TGF2Poly::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, PolyHeader, ClassName(), [this](TStream& s) { LoadFromStream(s); });
}

// ---------------------------------------------------------------- TGF2PolyVector

void TGF2PolyVector::SaveToStream(TStream& stream) const {
  TStreamPosGuard guard(stream);
  stream.WriteI32(Count());
  for (const auto& cell : cells_) cell->SaveToStream(stream);
  guard.Keep();
}

void TGF2PolyVector::LoadFromStream(TStream& stream) {
  TStreamPosGuard guard(stream);
  const std::string name = ClassName() + ".LoadFromStream";
  try {
    const std::int32_t count = stream.ReadI32();
    // Every cell takes at least its count and checksum: a count the stream
    // cannot hold fails before the cells are created.
    if (count < 0 || count > MaxCount || count * MinPolyBytes > stream.Remaining()) RaiseStreamError(name);
    Size(count);
    for (auto& cell : cells_) cell->LoadFromStream(stream);
  } catch (const ERuvStreamError&) {
    cells_.clear();
    RaiseStreamError(name);
  } catch (const EStreamError&) {
    cells_.clear();
    RaiseStreamError(name);
  } catch (const ERuv&) {
    cells_.clear();
    RaiseStreamError(name);
  } catch (const std::bad_alloc&) {
    cells_.clear();
    RaiseStreamError(name);
  }
  guard.Keep();
}

void TGF2PolyVector::SaveToFile(const std::string& fileName) const {
  RuvSaveToFile(fileName, VectorHeader, [this](TStream& s) { SaveToStream(s); });
}

void TGF2PolyVector::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, VectorHeader, ClassName(), [this](TStream& s) { LoadFromStream(s); });
}

// ---------------------------------------------------------------- TGF2SqrMatrix

void TGF2SqrMatrix::SaveToStream(TStream& stream) const { rows_.SaveToStream(stream); }

void TGF2SqrMatrix::LoadFromStream(TStream& stream) {
  try {
    // A row count above the dimension limit is refused before any row is
    // read, as SetDimension would refuse it.
    if (stream.Remaining() >= 4) {
      TStreamPosGuard peek(stream);
      if (stream.ReadI32() > MaxDimension) RaiseStreamError(ClassName() + ".LoadFromStream");
    }
    rows_.LoadFromStream(stream);
  } catch (const ERuvStreamError&) {
    // The row vector empties itself on a damaged stream; keep that state.
    rows_.Size(0);
    RaiseStreamError(ClassName() + ".LoadFromStream");
  }
}

void TGF2SqrMatrix::SaveToFile(const std::string& fileName) const {
  RuvSaveToFile(fileName, MatrixHeader, [this](TStream& s) { SaveToStream(s); });
}

void TGF2SqrMatrix::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, MatrixHeader, ClassName(), [this](TStream& s) { LoadFromStream(s); });
}

}  // namespace rara
