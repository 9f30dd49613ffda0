// The arithmetic frame: error texts, break mechanism and timer thread,
// settings, checksum, random generator, stopwatch.
#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "integers/break.h"
#include "integers/break_timer.h"
#include "integers/checksum.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "integers/settings.h"
#include "integers/stopwatch.h"
#include "integers/thresholds.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using test::MessageOf;

TEST(Errors, TemplatesAndClasses) {
  EXPECT_EQ(MessageOf<ERuvDivByZero>([] { RaiseDivByZero("IDiv"); }), "IDiv\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([] { RaiseDuplicatePtr("IRemDiv", "A,B"); }),
            "IRemDiv\r\nA,B must point to distinct objects");
  EXPECT_EQ(MessageOf<ERuvFileError>([] { RaiseFileError("TInteger.LoadFromFile", "x.bin"); }),
            "TInteger.LoadFromFile\r\nInvalid \"x.bin\" file");
  EXPECT_EQ(MessageOf<ERuvIndexError>([] { RaiseIndexError("TInteger.Bit"); }), "TInteger.Bit\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([] { RaiseInvalidArg("ISqrRoot", "A < 0"); }),
            "ISqrRoot\r\nInvalid parameter\r\nA < 0");
  EXPECT_EQ(MessageOf<ERuvInvalidCall>([] { RaiseInvalidCall("TPrimeList.SaveToFile", "Why"); }),
            "TPrimeList.SaveToFile\r\nInvalid call\r\nWhy");
  EXPECT_EQ(MessageOf<ERuvOverflow>([] { RaiseOverflow("IPow"); }), "IPow\r\nOverflow");
  EXPECT_EQ(MessageOf<ERuvSizeError>([] { RaiseSizeError("TInteger.SetDigits"); }),
            "TInteger.SetDigits\r\nInvalid size specification");
  EXPECT_EQ(MessageOf<ERuvStreamError>([] { RaiseStreamError("TInteger.LoadFromStream"); }),
            "TInteger.LoadFromStream\r\nInvalid stream");
  EXPECT_EQ(MessageOf<ERuvAbort>([] { RaiseAbort(); }), "Ruv - Operation aborted");
  EXPECT_EQ(MessageOf<ERuv>([] { RaiseRuv("verbatim text"); }), "verbatim text");
  // Every class is caught as ERuv and as std::runtime_error.
  EXPECT_EQ(MessageOf<ERuv>([] { RaiseOverflow("X"); }), "X\r\nOverflow");
  EXPECT_EQ(MessageOf<std::runtime_error>([] { RaiseAbort(); }), "Ruv - Operation aborted");
}

// ---- Break mechanism ----

int CallbackCount = 0;
void CountingCallback() { ++CallbackCount; }
void ReentrantCallback() {
  ++CallbackCount;
  break_detail::Tick.store(true);  // a tick arriving while the callback runs
  RuvBreak();                      // must not poll again (Busy)
}
void AbortingCallback() {
  ++CallbackCount;
  RuvRequestAbort();
}

// Waits for the timer thread's next tick (bounded), true when it came.
bool WaitForTick() {
  for (int i = 0; i < 300; ++i) {
    if (break_detail::Tick.load()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

class BreakTest : public ::testing::Test {
 protected:
  void SetUp() override { CallbackCount = 0; }
  void TearDown() override { RuvBreakStop(); }
};

TEST_F(BreakTest, BreakWithItselfIsRejected) {
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([] { RuvBreakWith(&RuvBreak); }),
            "RuvBreakWith\r\nInvalid parameter\r\n@ToCall = @RuvBreak");
  EXPECT_FALSE(RuvBreakActive());
}

TEST_F(BreakTest, NullCallbackActsAsStop) {
  RuvBreakWith(&CountingCallback);
  EXPECT_TRUE(RuvBreakActive());
  RuvBreakWith(nullptr);
  EXPECT_FALSE(RuvBreakActive());
}

TEST_F(BreakTest, AbortRequestWhileOffIsIgnored) {
  RuvRequestAbort();  // mechanism off: nothing happens
  RuvBreakWith(&CountingCallback);
  ASSERT_TRUE(WaitForTick());
  EXPECT_NO_THROW(RuvBreak());
  EXPECT_EQ(CallbackCount, 1);
}

TEST_F(BreakTest, AbortHonouredAtFirstTickNotBefore) {
  RuvBreakWith(&CountingCallback);
  break_detail::Tick.store(false);
  RuvRequestAbort();
  EXPECT_NO_THROW(RuvBreak());  // no tick pending: returns at once
  EXPECT_EQ(CallbackCount, 0);
  ASSERT_TRUE(WaitForTick());
  EXPECT_THROW(RuvBreak(), ERuvAbort);
  EXPECT_EQ(CallbackCount, 1);
  // The request is consumed, and Busy was cleared although the poll raised.
  ASSERT_TRUE(WaitForTick());
  EXPECT_NO_THROW(RuvBreak());
  EXPECT_EQ(CallbackCount, 2);
}

TEST_F(BreakTest, CallbackCanRequestTheAbort) {
  RuvBreakWith(&AbortingCallback);
  ASSERT_TRUE(WaitForTick());
  EXPECT_THROW(RuvBreak(), ERuvAbort);
}

TEST_F(BreakTest, DivisionVariantClearsBeforeAbort) {
  RuvBreakWith(&AbortingCallback);
  int cleared = 0;
  ASSERT_TRUE(WaitForTick());
  EXPECT_THROW(RuvBreakThen([](void* c) { ++*static_cast<int*>(c); }, &cleared), ERuvAbort);
  EXPECT_EQ(cleared, 1);
  ASSERT_TRUE(WaitForTick());
  RuvBreakWith(&CountingCallback);
  EXPECT_NO_THROW(RuvBreakThen([](void* c) { ++*static_cast<int*>(c); }, &cleared));
  EXPECT_EQ(cleared, 1);  // no abort, nothing cleared
}

TEST_F(BreakTest, CallbackDoesNotReenterThePoll) {
  RuvBreakWith(&ReentrantCallback);
  ASSERT_TRUE(WaitForTick());
  RuvBreak();
  EXPECT_EQ(CallbackCount, 1);
}

TEST_F(BreakTest, OtherThreadsAreIgnored) {
  RuvBreakWith(&CountingCallback);
  ASSERT_TRUE(WaitForTick());
  bool active = true, threw = false;
  std::thread other([&] {
    active = RuvBreakActive();
    RuvRequestAbort();          // ignored off the main thread
    RuvBreakStop();             // ignored
    try { RuvBreak(); } catch (...) { threw = true; }  // no poll off the main thread
  });
  other.join();
  EXPECT_FALSE(active);
  EXPECT_FALSE(threw);
  EXPECT_TRUE(RuvBreakActive());
  EXPECT_EQ(CallbackCount, 0);
  EXPECT_NO_THROW(RuvBreak());  // the tick is still ours, and no abort was requested
  EXPECT_EQ(CallbackCount, 1);
}

TEST_F(BreakTest, TimerSleepsWhileOff) {
  TTimerThread* timer = TTimerThread::Instance();
  ASSERT_NE(timer, nullptr);
  RuvBreakWith(&CountingCallback);
  ASSERT_TRUE(WaitForTick());
  RuvBreakStop();
  EXPECT_FALSE(break_detail::Tick.load());
  // Within one period the thread finds the mechanism off and goes to sleep.
  for (int i = 0; i < 50 && !timer->Suspended(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(timer->Suspended());
  long ticks = timer->Ticks();
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(timer->Ticks(), ticks);
  EXPECT_FALSE(break_detail::Tick.load());
}

// ---- Settings ----

TEST(Settings, StartupThreadAndOtherThreads) {
  // This test program's main thread started the runtime.
  EXPECT_FALSE(SecureWipe);
  EXPECT_TRUE(StrZeroPad);
  EXPECT_TRUE(StrLowerHex);
  EXPECT_TRUE(StrShowSign);
  EXPECT_TRUE(StrSpacePlus);
  bool any = true;
  std::thread other([&] { any = SecureWipe || StrZeroPad || StrLowerHex || StrShowSign || StrSpacePlus; });
  other.join();
  EXPECT_FALSE(any);
}

TEST(Thresholds, RangeChecks) {
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([] { IKaratsubaThresholds(7, 48); }),
            "IKaratsubaThresholds\r\nInvalid parameter\r\n(S < 8) or (S > MaxLongSize)");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([] { IKaratsubaThresholds(72, 0x3000001); }),
            "IKaratsubaThresholds\r\nInvalid parameter\r\n(M < 8) or (M > MaxLongSize)");
  EXPECT_EQ(KaratsubaSqrThreshold.load(), 72);
  EXPECT_EQ(KaratsubaMulThreshold.load(), 48);
  IKaratsubaThresholds(8, 0x3000000);
  EXPECT_EQ(KaratsubaSqrThreshold.load(), 8);
  IKaratsubaThresholds(72, 48);
}

// ---- Checksum ----

// Bitwise CRC, the reference for the table-driven one.
std::uint32_t SlowCrc(const std::string& s) {
  std::uint32_t r = 0xFFFFFFFFu;
  for (unsigned char c : s) {
    r ^= c;
    for (int k = 0; k < 8; ++k) r = (r & 1u) ? (r >> 1) ^ 0xC8488DB9u : r >> 1;
  }
  return ~r;
}

TEST(Checksum, KnownValuesAndReference) {
  EXPECT_EQ(RuvCrc32("", 0), 0u);
  EXPECT_EQ(RuvCrc32("123456789", 9), 0x7DC08C09u);
  std::string s;
  for (int n = 1; n < 300; ++n) {
    s.push_back(static_cast<char>(n * 37 + 11));
    ASSERT_EQ(RuvCrc32(s.data(), s.size()), SlowCrc(s)) << "length " << n;
  }
}

// ---- Random generator ----

TEST(Random, MulMod32IsMultiplicationModuloFermat) {
  std::uint32_t a = 1, b = 7;
  for (int i = 0; i < 100000; ++i) {
    a = a * 1664525u + 1013904223u;
    b = b * 22695477u + 1u;
    unsigned long long p = (static_cast<unsigned long long>(a) * b) % 4294967297ull;
    ASSERT_EQ(MulMod32(a, b), static_cast<std::uint32_t>(p)) << a << " * " << b;
  }
  EXPECT_EQ(MulMod32(0xFFFFFFFFu, 0xFFFFFFFFu), 4u);  // (-2)^2
}

TEST(Random, SeedReproducesAndSeparates) {
  const char seed1[] = "rara";
  RuvSeed(seed1, 4);
  std::vector<std::uint32_t> first;
  for (int i = 0; i < 64; ++i) first.push_back(RuvRandom());
  RuvSeed(seed1, 4);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(RuvRandom(), first[i]);
  RuvSeed("rarb", 4);
  int same = 0;
  for (int i = 0; i < 64; ++i) same += RuvRandom() == first[i];
  EXPECT_LT(same, 2);
  // Empty seed is allowed; bits are balanced over many words.
  RuvSeed(nullptr, 0);
  int ones = 0;
  std::set<std::uint32_t> seen;
  for (int i = 0; i < 4096; ++i) {
    std::uint32_t w = RuvRandom();
    ones += std::popcount(w);
    seen.insert(w);
  }
  EXPECT_NEAR(ones / (4096.0 * 32), 0.5, 0.01);
  EXPECT_GT(seen.size(), 4090u);
}

TEST(Random, SeedChecksByteCount) {
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([] { RuvSeed("", 0xC000000); }),
            "RuvSeed\r\nInvalid parameter\r\n(ByteCount < 0) or (ByteCount >= TInteger.MaxByteSize)");
  EXPECT_THROW(RuvSeed("", -1), ERuvInvalidArg);
}

TEST(Random, StateIsPerThread) {
  RuvSeed("abc", 3);
  std::uint32_t mine = RuvRandom();
  std::uint32_t theirs = 0;
  std::thread other([&] {
    RuvSeed("abc", 3);
    theirs = RuvRandom();
  });
  other.join();
  EXPECT_EQ(mine, theirs);  // the other thread's seeding did not disturb ours
  RuvSeed("abc", 3);
  EXPECT_EQ(RuvRandom(), mine);
}

// A thread that never seeds draws from the main thread's seed and its own
// rank: never the all-zero state, different per thread, the same again after
// the main thread repeats its seed.
TEST(Random, UnseededThreadsStartFromTheMainSeed) {
  auto drawInThread = [] {
    std::vector<std::uint32_t> words;
    std::thread t([&] {
      for (int i = 0; i < 8; ++i) words.push_back(RuvRandom());
    });
    t.join();
    return words;
  };
  RuvSeed("rara", 4);
  std::vector<std::uint32_t> mainWords;
  for (int i = 0; i < 8; ++i) mainWords.push_back(RuvRandom());
  const std::vector<std::uint32_t> first = drawInThread();
  const std::vector<std::uint32_t> second = drawInThread();
  EXPECT_NE(first, std::vector<std::uint32_t>(8, 0));
  EXPECT_NE(first, second);
  EXPECT_NE(first, mainWords);
  RuvSeed("rara", 4);
  EXPECT_EQ(drawInThread(), first);
  EXPECT_EQ(drawInThread(), second);
}

// ---- Stopwatch ----

TEST(Stopwatch, ElapsedAndMissingCounter) {
  EXPECT_EQ(TimerElapsedMsAt(0, 5000, 0), -1.0L);
  EXPECT_EQ(TimerElapsedMsAt(1000, 3000, 1000), 2000.0L);
  std::int64_t start = TimerStart();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(TimerElapsedMs(start), 19.0L);
}

}  // namespace
}  // namespace rara
