// Save records: exact layout, appending to a new and an existing file,
// failures on a really full file system that leave the file as it was, and
// appenders in several processes at once that lose nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "reports/save_record.h"
#include "tests/support/file_faults.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SaveRecord, LayoutOfARecord) {
  EXPECT_EQ(SaveRecordText(TSavePage::Parameters, "14/03/2025 10:20:30", {"", "a", "b c"}),
            "\r\n\r\n>>> PARAMETERS 14/03/2025 10:20:30 <<<\r\n\r\na\r\nb c\r\n");
  EXPECT_EQ(SaveRecordText(TSavePage::Curve, "d t", {"x"}), "\r\n\r\n>>> CURVE d t <<<\r\nx\r\n");
  // The date and time are one line, with a blank between them.
  const std::string now = SaveDateTimeText();
  EXPECT_EQ(now.find('\n'), std::string::npos);
  EXPECT_NE(now.find(' '), std::string::npos) << now;
}

TEST(SaveRecord, AppendsWholeRecordsAndReportsFailures) {
  const fs::path dir = fs::temp_directory_path() / ("rara_save_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string file = (dir / SaveFileName).string();
  std::string error;
  ASSERT_TRUE(AppendSaveRecord(file, TSavePage::Parameters, {"p1", "p2"}, error)) << error;
  ASSERT_TRUE(AppendSaveRecord(file, TSavePage::Curve, {"c1"}, error)) << error;
  const std::string text = ReadAll(file);
  EXPECT_EQ(text.substr(0, 19), "\r\n\r\n>>> PARAMETERS ");
  const std::size_t curve = text.find("\r\n\r\n>>> CURVE ");
  ASSERT_NE(curve, std::string::npos);
  EXPECT_EQ(text.substr(curve - 4, 4), "p2\r\n");
  EXPECT_EQ(text.substr(text.find(" <<<\r\n") + 6, 8), "p1\r\np2\r\n");
  EXPECT_EQ(text.substr(text.size() - 10), " <<<\r\nc1\r\n");

  // A directory in the way, a missing directory, a full device.
  EXPECT_FALSE(AppendToFile(dir.string(), "x", error));
  EXPECT_FALSE(error.empty());
  const fs::path missing = dir / "no" / "rara.txt";
  error.clear();
  EXPECT_FALSE(AppendToFile(missing.string(), "x", error));
  EXPECT_EQ(error, missing.string() + ": No such file or directory");
  fs::remove_all(dir);
}

// One self-describing record: "<<writer index length>>", length bytes of the
// writer's letter, "\n". Longer than 8 KiB, the size of a stdio buffer.
std::string TaggedRecord(int writer, int index) {
  const std::size_t length = 9000 + static_cast<std::size_t>((writer * 7919 + index * 104729) % 11000);
  return "<<" + std::to_string(writer) + " " + std::to_string(index) + " " + std::to_string(length) + ">>" +
         std::string(length, static_cast<char>('a' + writer)) + "\n";
}

// Checks that text is a sequence of whole tagged records and counts them per
// writer; "" when it is, otherwise where it breaks.
std::string ParseRecords(const std::string& text, std::map<int, std::vector<int>>& seen) {
  std::size_t at = 0;
  while (at < text.size()) {
    int writer = -1, index = -1;
    std::size_t length = 0;
    int used = 0;
    if (std::sscanf(text.c_str() + at, "<<%d %d %zu>>%n", &writer, &index, &length, &used) != 3 || used == 0 ||
        writer < 0 || writer > 20)
      return "no record header at offset " + std::to_string(at);
    if (text.compare(at, static_cast<std::size_t>(used) + length + 1, TaggedRecord(writer, index)) != 0)
      return "record " + std::to_string(writer) + "/" + std::to_string(index) + " broken at offset " +
             std::to_string(at);
    seen[writer].push_back(index);
    at += static_cast<std::size_t>(used) + length + 1;
  }
  return "";
}

// A failing append must take back only its own bytes, measured under the
// lock: records another writer added while it waited stay.
TEST(SaveRecord, AppendWaitsForTheLockAndUndoesOnlyItsOwnBytes) {
  test::TTempFolder dir("append_lock");
  const std::string file = dir.File(SaveFileName);
  const std::string old = "earlier record\r\n", other = "record of another writer\r\n";
  std::string error;
  ASSERT_TRUE(AppendToFile(file, old, error)) << error;

  // We play the other writer, in the middle of its append.
  const int held = ::open(file.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  // The failing writer may grow the file only a little past the other record.
  const int pid = test::StartChild([&] {
    ::close(held);  // the lock belongs to the open file, which we share
    test::LimitFileSize(static_cast<long long>(old.size() + other.size() + 100));
    std::string why;
    if (AppendToFile(file, std::string(20000, 'x'), why)) return 1;
    return why == file + ": File too large" ? 0 : 2;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the append did not wait for the lock";
  ASSERT_EQ(::write(held, other.data(), other.size()), static_cast<ssize_t>(other.size()));
  ::close(held);
  EXPECT_EQ(test::WaitChild(pid), 0);
  EXPECT_EQ(ReadAll(file), old + other);
}

// Appends that fail on a file system that is really full, or past the file
// size limit, leave the file exactly as it was; a file the failed append
// created is gone again.
TEST(SaveRecord, FailedAppendOnAFullFileSystemLeavesTheFileAsItWas) {
  test::TSmallTmpfs tmpfs(64);
  if (!tmpfs.Mounted()) GTEST_SKIP() << tmpfs.Why();
  const std::string file = tmpfs.File(SaveFileName);
  std::string error;
  ASSERT_TRUE(AppendSaveRecord(file, TSavePage::Parameters, {"p1", "p2"}, error)) << error;
  const std::string before = ReadAll(file);
  EXPECT_FALSE(AppendToFile(file, std::string(100000, 'x'), error));
  EXPECT_EQ(error, file + ": No space left on device");
  EXPECT_EQ(ReadAll(file), before);

  // Nothing left behind by a first append that does not fit.
  const std::string fresh = tmpfs.File("fresh.txt");
  EXPECT_FALSE(AppendToFile(fresh, std::string(100000, 'x'), error));
  EXPECT_FALSE(fs::exists(fresh));
  // The space given back is usable again.
  EXPECT_TRUE(AppendToFile(file, std::string(20000, 'y'), error)) << error;
  EXPECT_EQ(ReadAll(file), before + std::string(20000, 'y'));
}

TEST(SaveRecord, FailedAppendPastTheFileSizeLimitLeavesTheFileAsItWas) {
  test::TTempFolder dir("append_limit");
  const std::string file = dir.File(SaveFileName);
  std::string error;
  ASSERT_TRUE(AppendSaveRecord(file, TSavePage::Curve, {"c1"}, error)) << error;
  const std::string before = ReadAll(file);
  // Part of the record fits below the limit, then the write fails.
  EXPECT_EQ(test::RunInChild([&] {
              test::LimitFileSize(static_cast<long long>(before.size()) + 5000);
              std::string why;
              if (AppendToFile(file, std::string(50000, 'x'), why)) return 1;
              return why == file + ": File too large" ? 0 : 2;
            }),
            0);
  EXPECT_EQ(ReadAll(file), before);
}

// Several processes append records of more than 8 KiB at once: one that
// appends without the lock, in single writes, as other programs do; others
// that always fail. Afterwards every record of the writers that succeeded is
// there, whole, exactly once.
TEST(SaveRecord, AppendersInSeveralProcessesLoseNothing) {
#if defined(__SANITIZE_ADDRESS__)
  // A child forked from the sanitizer's multi-threaded runtime can stop on a
  // lock that another thread held at the fork; the ordinary build runs this.
  GTEST_SKIP() << "forked writers are not run under the sanitizers";
#endif
  // On a tmpfs syncing costs nothing, so the appends really overlap.
  test::TSmallTmpfs tmpfs(48 * 1024);
  test::TTempFolder dir("append_many");
  const std::string file = tmpfs.Mounted() ? tmpfs.File(SaveFileName) : dir.File(SaveFileName);
  const int writers = 4, failing = 2, records = tmpfs.Mounted() ? test::Iterations(200) : 30;
  std::string error;
  ASSERT_TRUE(AppendToFile(file, TaggedRecord(0, 0), error)) << error;

  int gate[2];
  ASSERT_EQ(::pipe(gate), 0);
  auto waitGate = [&] {
    ::close(gate[1]);
    char c;
    return ::read(gate[0], &c, 1);
  };
  std::vector<int> pids;
  for (int w = 1; w <= writers + failing; ++w)
    pids.push_back(test::StartChild([&, w] {
      waitGate();
      // The failing writers may not write at all: every append fails.
      if (w > writers) test::LimitFileSize(1);
      int wrong = 0;
      for (int i = 0; i < records; ++i) {
        std::string why;
        wrong += AppendToFile(file, TaggedRecord(w, i), why) != (w <= writers);
      }
      return wrong;
    }));
  const int plain = test::StartChild([&] {
    waitGate();
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND);
    int wrong = 0;
    for (int i = 0; i < records; ++i) {
      const std::string r = TaggedRecord(writers + failing + 1, i);
      wrong += ::write(fd, r.data(), r.size()) != static_cast<ssize_t>(r.size());
    }
    return wrong;
  });
  ::close(gate[0]);
  ::close(gate[1]);
  for (int pid : pids) EXPECT_EQ(test::WaitChild(pid), 0);
  EXPECT_EQ(test::WaitChild(plain), 0);

  std::map<int, std::vector<int>> seen;
  ASSERT_EQ(ParseRecords(ReadAll(file), seen), "");
  EXPECT_EQ(seen[0], std::vector<int>{0});
  for (int w = 1; w <= writers + failing + 1; ++w) {
    if (w > writers && w <= writers + failing) {
      EXPECT_EQ(seen.count(w), 0u) << "writer " << w;
      continue;
    }
    std::vector<int> all(records);
    for (int i = 0; i < records; ++i) all[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(seen[w], all) << "writer " << w;
  }
}

}  // namespace
}  // namespace rara
