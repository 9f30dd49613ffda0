// Save records: exact layout, appending to a new and an existing file, and
// failures that leave nothing behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "reports/save_record.h"

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
  EXPECT_NE(error.find(missing.string()), std::string::npos) << error;
  if (fs::exists("/dev/full")) {
    error.clear();
    EXPECT_FALSE(AppendToFile("/dev/full", std::string(100000, 'x'), error));
    EXPECT_FALSE(error.empty());
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace rara
