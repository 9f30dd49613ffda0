// The small prime table, the wheel sieve behind TPrimeList and IPrime, and
// the stream and file forms of TPrimeList.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/primes.h"
#include "integers/streams.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using test::MessageOf;

// Plain sieve of Eratosthenes: the primes <= limit.
const std::vector<std::uint32_t>& ReferencePrimes() {
  static const std::vector<std::uint32_t> primes = [] {
    const std::uint32_t limit = 10000000;
    std::vector<bool> composite(limit + 1, false);
    std::vector<std::uint32_t> out;
    for (std::uint32_t n = 2; n <= limit; ++n) {
      if (composite[n]) continue;
      out.push_back(n);
      for (std::uint64_t m = std::uint64_t(n) * n; m <= limit; m += n) composite[m] = true;
    }
    return out;
  }();
  return primes;
}

std::vector<std::uint32_t> ReferenceUpTo(std::uint32_t bound) {
  const auto& ref = ReferencePrimes();
  return {ref.begin(), std::upper_bound(ref.begin(), ref.end(), bound)};
}

std::vector<std::uint32_t> Contents(const TPrimeList& list) {
  return {list.Primes(), list.Primes() + list.Count()};
}

// First number of the segment after segment k: the sieve's segments hold
// 65536·30 numbers from 31 on.
std::uint32_t SegmentEnd(int k) { return (1u + 65536u * static_cast<std::uint32_t>(k + 1)) * 30u; }

TEST(SmallPrimes, TableMatchesPlainSieve) {
  const auto ref = ReferenceUpTo(32768);
  ASSERT_EQ(ref.size(), 3512u);
  EXPECT_EQ(SmallPrimes[1], 2u);
  EXPECT_EQ(SmallPrimes[SmallPrimeCount], 32749u);
  for (int i = 1; i <= SmallPrimeCount; ++i) ASSERT_EQ(SmallPrimes[i], ref[i - 1]) << "i=" << i;
  const std::uint32_t residues[8] = {1, 7, 11, 13, 17, 19, 23, 29};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(SieveResidues[k], residues[k]);
  // The trial-division groups cover the odd primes in order with exact products.
  std::uint32_t next = 2;
  for (int g = 0; g < TrialGroupCount; ++g) {
    const TTrialGroup& group = TrialGroups[g];
    ASSERT_EQ(group.First, next);
    std::uint64_t product = 1;
    for (std::uint32_t i = 0; i < group.Count; ++i) product *= SmallPrimes[group.First + i];
    ASSERT_EQ(product, group.Product);
    ASSERT_EQ(group.Inverse, ~std::uint64_t(0) / group.Product);
    next += group.Count;
  }
  EXPECT_EQ(next, static_cast<std::uint32_t>(SmallPrimeCount + 1));
  for (int i = 2; i <= SmallPrimeCount; ++i) {
    const std::uint32_t p = SmallPrimes[i];
    ASSERT_EQ(p * SmallPrimeDivisibility[i].Inverse, 1u) << p;
    ASSERT_EQ(SmallPrimeDivisibility[i].Limit, 0xFFFFFFFFu / p) << p;
    for (std::uint32_t r : {0u, 1u, p - 1, p, p + 1, 0xFFFFFFFFu, 0xFFFFFFFFu / p * p})
      ASSERT_EQ(SmallPrimeDivides(r, i), r % p == 0) << p << " " << r;
  }
}

TEST(PrimeList, SetBoundMatchesPlainSieve) {
  TPrimeList list;
  list.SetBound(10);
  EXPECT_EQ(Contents(list), ReferenceUpTo(29));
  EXPECT_EQ(list.Largest(), 29u);
  list.SetBound(32768);
  EXPECT_EQ(list.Count(), 3512);
  EXPECT_EQ(list.Largest(), 32749u);

  // Around the first sieved numbers, the segment ends, and up to 10^7.
  std::vector<std::uint32_t> bounds = {32769, 32770, 32771, 32772, 100000};
  for (int k = 0; k < 5; ++k)
    for (int d : {-31, -2, -1, 0, 1, 2, 31}) bounds.push_back(static_cast<std::uint32_t>(SegmentEnd(k) + d));
  bounds.push_back(10000000);
  for (std::uint32_t b : bounds) {
    TPrimeList fresh;
    fresh.SetBound(static_cast<std::int32_t>(b));
    const auto expect = ReferenceUpTo(b);
    ASSERT_EQ(Contents(fresh), expect) << "bound=" << b;
    ASSERT_EQ(fresh.Largest(), expect.back()) << "bound=" << b;
  }

  // Lowering the bound drops entries; the same bound again changes nothing.
  list.SetBound(10000000);
  list.SetBound(5000000);
  EXPECT_EQ(Contents(list), ReferenceUpTo(5000000));
  list.SetBound(5000000);
  EXPECT_EQ(list.Count(), static_cast<std::int32_t>(ReferenceUpTo(5000000).size()));
  list.SetBound(0);
  EXPECT_EQ(Contents(list), ReferenceUpTo(29));

  const std::string why = "TPrimeList.SetBound\r\nInvalid parameter\r\nBound should be less than 1073741825";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { list.SetBound(0x40000001); }), why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { list.SetBound(-1); }), why);
  EXPECT_EQ(list.Count(), 10);   // a rejected bound leaves the table
}

TEST(PrimeList, SetCountAndPrime) {
  const auto& ref = ReferencePrimes();
  TPrimeList list;
  list.SetCount(1);
  EXPECT_EQ(list.Count(), 10);
  EXPECT_EQ(list.Largest(), 29u);
  for (std::int32_t n : {3511, 3512, 3513, 3514, 200000, 620000}) {
    TPrimeList fresh;
    fresh.SetCount(n);
    ASSERT_EQ(fresh.Count(), n);
    ASSERT_TRUE(std::equal(ref.begin(), ref.begin() + n, fresh.Primes())) << "n=" << n;
    ASSERT_EQ(fresh.Largest(), ref[n - 1]);
  }
  list.SetCount(5000);
  list.SetCount(4000);
  EXPECT_EQ(list.Largest(), ref[3999]);
  list.SetCount(0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Largest(), 0u);

  const std::string why = "TPrimeList.Count\r\nInvalid parameter\r\nCount should be less than 54400029";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { list.SetCount(54400029); }), why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { list.SetCount(-1); }), why);

  // Reading without AutoExtend.
  EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { list.Prime(5); }),
            "TPrimeList.Prime\r\nInvalid call\r\nNo prime table initialized yet");
  list.SetCount(20);
  EXPECT_EQ(list.Prime(20), 71u);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { list.Prime(21); }), "TPrimeList.Prime\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { list.Prime(0); }), "TPrimeList.Prime\r\nInvalid index");

  // With AutoExtend a read beyond Count extends the table.
  TPrimeList grow(true);
  EXPECT_EQ(grow.Prime(5), 11u);
  EXPECT_EQ(grow.Count(), 10);
  EXPECT_EQ(grow.Prime(100000), ref[99999]);
  EXPECT_EQ(grow.Count(), 100000);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { grow.Prime(0); }), "TPrimeList.Prime\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { grow.Prime(54400029); }), "TPrimeList.Prime\r\nInvalid index");
}

TEST(PrimeList, WholeRangeBelow2To30) {
  TPrimeList list;
  list.SetBound(0x40000000);
  ASSERT_EQ(list.Count(), 54400028);
  EXPECT_EQ(list.Largest(), 1073741789u);
  EXPECT_EQ(list.PrimeAt(54400027), 1073741783u);
  const auto& ref = ReferencePrimes();
  EXPECT_TRUE(std::equal(ref.begin(), ref.end(), list.Primes()));
  // Spot checks of the upper range by primality of words.
  for (std::int32_t i = 54400028; i > 54400028 - 2000; --i) ASSERT_TRUE(IIsPrimeWord(list.PrimeAt(i))) << i;
  std::uint32_t gaps = 0;
  for (std::uint32_t n = list.PrimeAt(54398028) + 1; n < 1073741789u; ++n)
    if (IIsPrimeWord(n)) ++gaps;
  EXPECT_EQ(gaps, 2000u - 1u);
  // The last prime through IPrime, which skips segments by population count.
  EXPECT_EQ(IPrime(54400028), 1073741789u);
}

TEST(PrimeList, AbortEmptiesTheTable) {
  TPrimeList list;
  list.SetCount(100);
  bool aborted = false;
  {
    TRuvBreakScope scope([] { RuvRequestAbort(); });
    try {
      list.SetBound(0x40000000);
    } catch (const ERuvAbort&) {
      aborted = true;
    }
  }
  // A fast machine may finish before the first tick; then the table is whole.
  if (aborted) {
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Largest(), 0u);
  } else {
    EXPECT_EQ(list.Count(), 54400028);
  }
}

TEST(IPrime, EdgesAndSegmentBoundaries) {
  EXPECT_EQ(IPrime(1), 2u);
  EXPECT_EQ(IPrime(3512), 32749u);
  EXPECT_EQ(IPrime(3513), 32771u);
  EXPECT_EQ(MessageOf<ERuvIndexError>([] { IPrime(0); }), "IPrime\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([] { IPrime(54400029); }), "IPrime\r\nInvalid index");
  const auto& ref = ReferencePrimes();
  for (int k = 0; k < 5; ++k) {
    // The last prime of segment k and the first ones of the next.
    const std::int32_t last = static_cast<std::int32_t>(
        std::lower_bound(ref.begin(), ref.end(), SegmentEnd(k)) - ref.begin());
    for (std::int32_t i = last - 1; i <= last + 2; ++i) ASSERT_EQ(IPrime(i), ref[i - 1]) << "i=" << i;
  }
  for (std::int32_t i = 3513; i < 3600; ++i) ASSERT_EQ(IPrime(i), ref[i - 1]) << "i=" << i;
}

// ---- Stream and file forms ----

std::vector<std::uint8_t> StreamOf(const TPrimeList& list) {
  TMemoryStream s;
  list.SaveToStream(s);
  return s.Bytes();
}

TEST(PrimeListStream, RoundTripAndLayout) {
  TPrimeList list(true);
  list.SetCount(12);
  const auto bytes = StreamOf(list);
  ASSERT_EQ(bytes.size(), 9u + 4u * 12u);
  EXPECT_EQ(bytes[0], 12);
  EXPECT_EQ(bytes[4], 37);   // Largest
  EXPECT_EQ(bytes[8], 1);    // AutoExtend
  EXPECT_EQ(bytes[9], 2);
  EXPECT_EQ(bytes[9 + 4 * 11], 37);

  TMemoryStream s(bytes);
  TPrimeList back;
  back.LoadFromStream(s);
  EXPECT_EQ(s.Position(), static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(Contents(back), Contents(list));
  EXPECT_EQ(back.Largest(), 37u);
  EXPECT_TRUE(back.AutoExtend());
}

TEST(PrimeListStream, TruncatedAndCorruptStreamsFail) {
  TPrimeList list;
  list.SetCount(15);
  const auto good = StreamOf(list);
  const std::string msg = "TPrimeList.LoadFromStream\r\nInvalid stream";
  auto expectFailure = [&](std::vector<std::uint8_t> body, const std::string& what) {
    // Three bytes in front so that the restored position is not 0.
    body.insert(body.begin(), {7, 7, 7});
    TMemoryStream s(body);
    s.SetPosition(3);
    TPrimeList target;
    target.SetCount(10);
    EXPECT_EQ(MessageOf<ERuvStreamError>([&] { target.LoadFromStream(s); }), msg) << what;
    EXPECT_EQ(s.Position(), 3) << what;
    EXPECT_EQ(target.Count(), 0) << what;
    EXPECT_EQ(target.Largest(), 0u) << what;
  };
  for (std::size_t len = 0; len < good.size(); ++len)
    expectFailure({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)}, "length " + std::to_string(len));

  auto withCount = [&](std::int32_t count) {
    auto b = good;
    std::memcpy(b.data(), &count, 4);
    return b;
  };
  expectFailure(withCount(0), "count 0");
  expectFailure(withCount(-1), "count -1");
  expectFailure(withCount(14), "count one short: last entry differs from Largest");
  // Counts far beyond what the stream holds fail at once, without reserving
  // room for them.
  expectFailure(withCount(16), "count one over");
  expectFailure(withCount(54400028), "largest count");
  expectFailure(withCount(0x7FFFFFFF), "huge count");
  auto badLargest = good;
  badLargest[4] ^= 2;
  expectFailure(badLargest, "Largest changed");
}

TEST(PrimeListStream, FileForm) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string file = (dir / "rara_test_primes.bin").string();
  const std::string bad = (dir / "rara_test_primes_bad.bin").string();

  TPrimeList empty;
  EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { empty.SaveToFile(file); }),
            "TPrimeList.SaveToFile\r\nInvalid call\r\nNo prime table initialized yet");

  TPrimeList list;
  list.SetBound(1000);
  list.SaveToFile(file);
  {
    TFileStream in(file, TFileStream::TMode::OpenRead);
    char header[15];
    in.ReadBuffer(header, 15);
    EXPECT_EQ(std::string(header, 15), "Ruv Prime List ");
    EXPECT_EQ(in.Size(), 15 + 9 + 4 * list.Count());
  }
  TPrimeList back;
  back.LoadFromFile(file);
  EXPECT_EQ(Contents(back), Contents(list));
  EXPECT_FALSE(back.AutoExtend());

  // A wrong header and a broken body both give the invalid-file error.
  const std::string fileMsg = "TPrimeList.LoadFromFile\r\nInvalid \"" + bad + "\" file";
  auto writeBytes = [&](const std::string& bytes) {
    std::FILE* f = std::fopen(bad.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  };
  writeBytes(std::string("Ruv Integer    ") + std::string(20, '\0'));
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { back.LoadFromFile(bad); }), fileMsg);
  writeBytes(std::string("Ruv Prime List ") + std::string("\x05\0\0\0", 4));
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { back.LoadFromFile(bad); }), fileMsg);
  EXPECT_EQ(back.Count(), 0);
  std::filesystem::remove(file);
  std::filesystem::remove(bad);
}

}  // namespace
}  // namespace rara
