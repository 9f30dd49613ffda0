// Stream and file forms of TInteger: layout, round trips, and every kind of
// damaged input failing cleanly.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "integers/checksum.h"
#include "integers/errors.h"
#include "integers/integers.h"
#include "integers/streams.h"
#include "tests/integers/div_test_values.h"
#include "tests/support/gmp_support.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

namespace fs = std::filesystem;
using test::RandomInteger;

constexpr const char* StreamMessage = "TInteger.LoadFromStream\r\nInvalid stream";

fs::path TempPath(const std::string& name) { return fs::temp_directory_path() / ("rara_int_stream_" + name); }

void FlipByte(const fs::path& path, std::streamoff at) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekg(at);
  const int c = f.get();
  f.seekp(at);
  f.put(static_cast<char>(c ^ 0xFF));
}

std::vector<std::uint8_t> Saved(const TInteger& a) {
  TMemoryStream s;
  a.SaveToStream(s);
  return s.Bytes();
}

// Loading `bytes` placed after a 3-byte prefix must fail with the stream
// error, leave the position at the start of the integer and the value 0.
void ExpectLoadFails(const std::vector<std::uint8_t>& bytes, const std::string& what) {
  SCOPED_TRACE(what);
  std::vector<std::uint8_t> data{0xAA, 0xBB, 0xCC};
  data.insert(data.end(), bytes.begin(), bytes.end());
  TMemoryStream s(data);
  s.SetPosition(3);
  TInteger a(-987654321);
  try {
    a.LoadFromStream(s);
    ADD_FAILURE() << "loaded " << test::LimbText(a);
  } catch (const ERuvStreamError& e) {
    EXPECT_STREQ(e.what(), StreamMessage);
  }
  EXPECT_EQ(s.Position(), 3);
  EXPECT_TRUE(a.IsZero());
  EXPECT_FALSE(a.Negative());
  EXPECT_EQ(a.Capacity(), 0);
}

TEST(IntStream, LayoutCountLimbsChecksum) {
  TInteger a;
  test::SetLimbs(a, {0x04030201u, 0x08070605u});
  INeg(a);
  const std::vector<std::uint8_t> b = Saved(a);
  ASSERT_EQ(b.size(), 16u);
  EXPECT_EQ((std::vector<std::uint8_t>(b.begin(), b.begin() + 12)),
            (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8}));
  const std::uint32_t crc = RuvCrc32(b.data() + 4, 8);
  EXPECT_EQ((std::vector<std::uint8_t>(b.begin() + 12, b.end())),
            (std::vector<std::uint8_t>{static_cast<std::uint8_t>(crc), static_cast<std::uint8_t>(crc >> 8),
                                       static_cast<std::uint8_t>(crc >> 16), static_cast<std::uint8_t>(crc >> 24)}));
  EXPECT_EQ(Saved(TInteger()), std::vector<std::uint8_t>(8, 0));
}

TEST(IntStream, MemoryRoundTrips) {
  const std::string seed = test::SeedRandom(0x57AE);
  SCOPED_TRACE(seed);
  TInteger a, b;
  TMemoryStream s;
  s.WriteU8(7);
  std::vector<std::int64_t> ends{1};
  std::vector<std::string> texts;
  for (int n = 0; n <= 20; ++n) {
    RandomInteger(a, n == 20 ? 300 : n, n % 2 == 0, true);
    a.SaveToStream(s);
    ends.push_back(s.Position());
    texts.push_back(test::LimbText(a));
  }
  s.SetPosition(1);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    b.SetInt64(42);
    b.LoadFromStream(s);
    EXPECT_EQ(test::LimbText(b), texts[i]);
    EXPECT_EQ(s.Position(), ends[i + 1]);
    EXPECT_TRUE(b.Size() == 0 || b.Limbs()[b.Size() - 1] != 0);
    EXPECT_EQ(b.Capacity() % 8, 0);
  }
}

TEST(IntStream, EveryTruncationFails) {
  TInteger a;
  test::SetLimbs(a, {0xDEADBEEFu, 0x01234567u, 0x89ABCDEFu});
  INeg(a);
  const std::vector<std::uint8_t> full = Saved(a);
  for (std::size_t len = 0; len < full.size(); ++len)
    ExpectLoadFails(std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len)),
                    "length " + std::to_string(len));
  ExpectLoadFails({0, 0, 0, 0}, "zero without its checksum");
}

TEST(IntStream, EverySingleByteCorruptionFails) {
  const std::string seed = test::SeedRandom(0xC0AA);
  SCOPED_TRACE(seed);
  TInteger a;
  RandomInteger(a, 5, false, true);
  const std::vector<std::uint8_t> full = Saved(a);
  for (std::size_t i = 0; i < full.size(); ++i) {
    for (std::uint8_t flip : {std::uint8_t{0x01}, std::uint8_t{0x80}, std::uint8_t{0xFF},
                              static_cast<std::uint8_t>(1 + RuvRandom() % 255)}) {
      std::vector<std::uint8_t> bad = full;
      bad[i] ^= flip;
      ExpectLoadFails(bad, "byte " + std::to_string(i) + " ^ " + std::to_string(flip));
    }
  }
  // Zero's checksum must be zero too.
  ExpectLoadFails({0, 0, 0, 0, 1, 0, 0, 0}, "zero with a checksum");
}

// The count is checked against what the stream still holds before any
// storage is taken: a damaged count must not cost gigabytes first.
TEST(IntStream, CountBeyondTheStreamFailsBeforeAllocating) {
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  for (std::uint32_t count : {0x02FFFFFFu, 0x03000000u, 0x03000001u, 0x7FFFFFFFu, 0x80000000u, 0xFD000001u,
                              0x00000004u}) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                                    static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
    for (int i = 0; i < 16; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
    ExpectLoadFails(bytes, "count " + std::to_string(count));
  }
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  // A 0x2FFFFFF-limb integer would take about 200 MB of zeroed memory.
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak resident size grew (KiB)";
}

TEST(IntStream, StoredLeadingZeroLimbIsNormalized) {
  // Not written by SaveToStream, but accepted: the value is what the limbs say.
  std::vector<std::uint8_t> bytes{0xFE, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 0, 0, 0, 0};
  std::uint32_t crc = RuvCrc32(bytes.data() + 4, 8);
  for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(crc >> (8 * k)));
  TMemoryStream s(bytes);
  TInteger a;
  a.LoadFromStream(s);
  EXPECT_TRUE(IEqual(a, -5));
  EXPECT_EQ(a.Size(), 1);

  bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  crc = RuvCrc32(bytes.data() + 4, 4);
  for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(crc >> (8 * k)));
  TMemoryStream z(bytes);
  a.LoadFromStream(z);
  EXPECT_TRUE(a.IsZero());
  EXPECT_FALSE(a.Negative());
}

// A stream that refuses to write past a limit.
class TShortStream final : public TStream {
 public:
  explicit TShortStream(std::size_t limit) : limit_(limit) {}
  std::int64_t Position() const override { return inner_.Position(); }
  void SetPosition(std::int64_t pos) override { inner_.SetPosition(pos); }
  std::int64_t Size() const override { return inner_.Size(); }
  std::size_t Read(void* buffer, std::size_t count) override { return inner_.Read(buffer, count); }
  void Write(const void* buffer, std::size_t count) override {
    if (static_cast<std::size_t>(inner_.Position()) + count > limit_) throw EStreamError("Stream write error");
    inner_.Write(buffer, count);
  }

 private:
  TMemoryStream inner_;
  std::size_t limit_;
};

TEST(IntStream, FailedSaveRestoresThePosition) {
  TInteger a;
  RandomInteger(a, 4, false, false);
  for (std::size_t limit : {std::size_t{5}, std::size_t{6}, std::size_t{21}, std::size_t{24}}) {
    TShortStream s(limit);
    s.Write("ab", 2);
    EXPECT_THROW(a.SaveToStream(s), EStreamError) << limit;
    EXPECT_EQ(s.Position(), 2) << limit;
  }
}

TEST(IntStream, FileFormRoundTripAndErrors) {
  const fs::path path = TempPath("value.bin");
  TInteger a, b;
  test::SeedRandom(0xF11E);
  RandomInteger(a, 17, false, true);
  a.SaveToFile(path.string());
  EXPECT_EQ(fs::file_size(path), 12u + 4u + 17u * 4u + 4u);
  {
    std::ifstream in(path, std::ios::binary);
    std::string head(12, '\0');
    in.read(head.data(), 12);
    EXPECT_EQ(head, "Ruv Integer ");
  }
  b.LoadFromFile(path.string());
  EXPECT_EQ(test::LimbText(b), test::LimbText(a));

  const std::string fileMessage = "TInteger.LoadFromFile\r\nInvalid \"" + path.string() + "\" file";
  // A different header.
  FlipByte(path, 4);
  b.SetInt64(9);
  try {
    b.LoadFromFile(path.string());
    ADD_FAILURE() << "header accepted";
  } catch (const ERuvFileError& e) {
    EXPECT_EQ(std::string(e.what()), fileMessage);
  }
  // A damaged body becomes the same file error.
  a.SaveToFile(path.string());
  FlipByte(path, 20);
  try {
    b.LoadFromFile(path.string());
    ADD_FAILURE() << "damaged body accepted";
  } catch (const ERuvFileError& e) {
    EXPECT_EQ(std::string(e.what()), fileMessage);
  }
  EXPECT_TRUE(b.IsZero());
  // Shorter than the header: the stream layer's own read error.
  fs::resize_file(path, 7);
  EXPECT_THROW(b.LoadFromFile(path.string()), EStreamError);
  fs::remove(path);
}

}  // namespace
}  // namespace rara
