// Shared pieces of the fuzz harnesses: the entry-point macro (libFuzzer's
// LLVMFuzzerTestOneInput, or a named function of the replay driver), checks
// that abort with a message, a byte reader, the stream round trip and the
// load rules every persistent class follows, an allocation watch, and the
// checksum repair that lets mutated stream forms get past their checksums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gf2/gf2_poly.h"
#include "integers/errors.h"
#include "integers/streams.h"

#ifdef RARA_FUZZ_REPLAY
#define RARA_FUZZ_ENTRY(name) int RaraFuzz_##name(const std::uint8_t* data, std::size_t size)
#else
#define RARA_FUZZ_ENTRY(name) extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
#endif

namespace rara::fuzz {

// Prints the failed property (and the replayed file, if any) and aborts, so
// that libFuzzer records the input as a crash.
[[noreturn]] void Fail(const std::string& what);
#define FUZZ_CHECK(cond, what)                                                   \
  do {                                                                           \
    if (!(cond)) ::rara::fuzz::Fail(std::string(__FILE__ ":") + std::to_string(__LINE__) + ": " + (what)); \
  } while (0)

// Starts the arithmetic runtime once per libFuzzer process (libFuzzer calls
// no main of ours) and the allocation watch's hooks.
void EnsureRuntime();
// The input being replayed, named by Fail.
void SetReplayName(const std::string& name);

// Consumes the input front to back; past its end every read gives zeros.
class TFuzzBytes {
 public:
  TFuzzBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Left() const { return size_ - pos_; }
  std::uint8_t U8();
  std::uint32_t U32();
  // Up to n bytes.
  std::vector<std::uint8_t> Bytes(std::size_t n);
  std::string Rest();
  // A polynomial from up to maxBytes bytes, its degree then cut below maxDeg
  // (when maxDeg >= 0).
  void Poly(TGF2Poly& p, std::size_t maxBytes, std::int32_t maxDeg);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// The stream a load reads: a few bytes of padding, then the input, with the
// position after the padding, so that positions are never just offsets.
inline constexpr std::int64_t StreamPad = 3;
TMemoryStream PaddedStream(const std::uint8_t* data, std::size_t size);

template <class T>
std::vector<std::uint8_t> SavedBytes(const T& obj) {
  TMemoryStream s;
  obj.SaveToStream(s);
  return s.Bytes();
}

// Peak growth of the live heap inside a scope, when built with
// AddressSanitizer (elsewhere it measures nothing). A loader may hold a few
// times its input, not what a damaged count asks for.
class TAllocWatch {
 public:
  explicit TAllocWatch(std::size_t inputSize);
  ~TAllocWatch();
  void Check(const std::string& what) const;
  TAllocWatch(const TAllocWatch&) = delete;
  TAllocWatch& operator=(const TAllocWatch&) = delete;

 private:
  std::size_t limit_;
};

// The load rules: a failed load raises "<cls>.LoadFromStream / Invalid
// stream" (or, for the classes that pass their parts' errors on, the same
// error of a part class), puts the stream back where it was and leaves the
// state that the class documents (checked by failed); a successful load
// leaves the stream within the input, and what was loaded saves and loads
// again to the same bytes. Any other exception escapes and counts as a crash.
template <class T>
bool CheckLoad(const std::uint8_t* data, std::size_t size, T& obj, const std::string& cls,
               const std::function<void(const T&)>& failed, const std::vector<std::string>& parts = {}) {
  TMemoryStream s = PaddedStream(data, size);
  {
    TAllocWatch watch(size);
    try {
      obj.LoadFromStream(s);
    } catch (const ERuvStreamError& e) {
      watch.Check(cls + ".LoadFromStream (failed)");
      bool named = std::string(e.what()) == cls + ".LoadFromStream\r\nInvalid stream";
      for (const std::string& part : parts)
        named = named || std::string(e.what()) == part + ".LoadFromStream\r\nInvalid stream";
      FUZZ_CHECK(named, "message of a failed load: " + std::string(e.what()));
      FUZZ_CHECK(s.Position() == StreamPad, "a failed load moved the stream");
      failed(obj);
      return false;
    }
    watch.Check(cls + ".LoadFromStream");
  }
  FUZZ_CHECK(s.Position() > StreamPad && s.Position() <= s.Size(), "stream position after a load");
  const std::vector<std::uint8_t> first = SavedBytes(obj);
  T again;
  TMemoryStream in(first);
  try {
    again.LoadFromStream(in);
  } catch (const ERuv& e) {
    Fail(cls + ": the saved form of a loaded object does not load: " + e.what());
  }
  FUZZ_CHECK(in.Position() == in.Size(), cls + ": the saved form is not read to its end");
  FUZZ_CHECK(SavedBytes(again) == first, cls + ": the round trip changed the object");
  return true;
}

// Stream forms whose checksums RepairChecksums knows how to walk.
enum class TStreamForm { Integer, Poly, Vector, Field, Curve, Point };

// Recomputes every checksum of the stream form in place, as far as the
// counts in the data allow; the rest stays as it is.
void RepairChecksums(TStreamForm form, std::uint8_t* data, std::size_t size);

}  // namespace rara::fuzz

// A mutator that repairs the checksums of half of the mutated inputs: the
// checksum test is then one of the paths, not a wall in front of all others.
#ifdef RARA_FUZZ_REPLAY
#define RARA_FUZZ_REPAIRING_MUTATOR(form)
#else
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);
#define RARA_FUZZ_REPAIRING_MUTATOR(form)                                                         \
  extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,            \
                                                 std::size_t maxSize, unsigned int seed) {        \
    size = LLVMFuzzerMutate(data, size, maxSize);                                                 \
    if (seed & 1u) ::rara::fuzz::RepairChecksums(form, data, size);                               \
    return size;                                                                                  \
  }
#endif
