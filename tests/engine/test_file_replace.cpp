// Replacing files through a temporary, for both writers that do it: the file
// form of the arithmetic classes and the curve exports. Links are written
// through, modes kept, planted links never followed, and failures name the
// user's file with the system's reason and leave nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <sys/stat.h>

#include "engine/export_file.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "integers/streams.h"
#include "tests/support/file_faults.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

unsigned ModeOf(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777u : 0u;
}

constexpr const char* Header = "Ruv Test ";

struct TWriter {
  const char* Name;
  std::function<void(const std::string&, const std::string&)> Write;
  std::string (*Expected)(const std::string& content);  // the file's bytes
  std::string (*Message)(const std::string& file, const std::string& reason);
};

const TWriter Writers[] = {
    {"file form",
     [](const std::string& file, const std::string& content) {
       RuvSaveToFile(file, Header, [&](TStream& s) { s.Write(content.data(), content.size()); });
     },
     [](const std::string& content) { return Header + content; },
     [](const std::string& file, const std::string& reason) {
       return "Cannot write file \"" + file + "\". " + reason;
     }},
    {"export", [](const std::string& file, const std::string& content) { WriteFileSafely(file, content); },
     [](const std::string& content) { return content; },
     [](const std::string& file, const std::string& reason) { return "Cannot write \"" + file + "\": " + reason; }},
};

std::string MessageOfWrite(const TWriter& w, const std::string& file, const std::string& content) {
  try {
    w.Write(file, content);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

int Entries(const fs::path& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
  return n;
}

// Saving through a symbolic link replaces the file it leads to and keeps the
// link; an existing file keeps its mode, a new one gets the umask's.
TEST(FileReplace, LinksAreWrittenThroughAndModesKept) {
  for (const TWriter& w : Writers) {
    SCOPED_TRACE(w.Name);
    test::TTempFolder dir("replace_link");
    fs::create_directories(dir.Path() / "real");
    const fs::path target = dir.Path() / "real" / "c.pem", link = dir.Path() / "c.pem";
    { std::ofstream(target) << "old"; }
    fs::permissions(target, fs::perms(0640));
    fs::create_symlink("real/c.pem", link);

    w.Write(link.string(), "through the link");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/c.pem");
    EXPECT_EQ(ReadAll(target), w.Expected("through the link"));
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(Entries(dir.Path()), 2);
    EXPECT_EQ(Entries(dir.Path() / "real"), 1);

    // A link to a file that does not exist yet creates that file.
    const fs::path dangling = dir.Path() / "new.pem";
    fs::create_symlink("real/new.pem", dangling);
    w.Write(dangling.string(), "new");
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(ReadAll(dir.Path() / "real" / "new.pem"), w.Expected("new"));

    // Written directly: an unusual mode stays, a new file follows the umask.
    fs::permissions(target, fs::perms(0604));
    w.Write(target.string(), "direct");
    EXPECT_EQ(ModeOf(target), 0604u);
    const mode_t before = ::umask(027);
    w.Write(dir.File("fresh.pem"), "fresh");
    ::umask(before);
    EXPECT_EQ(ModeOf(dir.File("fresh.pem")), 0640u);
  }
}

// Every failure names the file the user gave with the system's reason, keeps
// the old content and leaves no temporary behind.
TEST(FileReplace, FailuresNameTheUsersFileWithTheSystemsReason) {
  test::TSmallTmpfs tmpfs(64);
  for (const TWriter& w : Writers) {
    SCOPED_TRACE(w.Name);
    test::TTempFolder dir("replace_fail");
    const std::string missing = dir.File("no/such/folder/c.pem");
    EXPECT_EQ(MessageOfWrite(w, missing, "x"), w.Message(missing, "No such file or directory"));

    // A pipe (or a device) is not replaced by a regular file.
    const std::string fifo = dir.File("fifo.pem");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(MessageOfWrite(w, fifo, "x"), w.Message(fifo, "Not a regular file"));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Entries(dir.Path()), 1);

    if (!tmpfs.Mounted()) continue;
    const std::string file = tmpfs.File("c.pem");
    w.Write(file, "old");
    EXPECT_EQ(MessageOfWrite(w, file, std::string(100000, 'x')), w.Message(file, "No space left on device"));
    EXPECT_EQ(ReadAll(file), w.Expected("old"));
    EXPECT_EQ(Entries(fs::path(file).parent_path()), 1);
    fs::remove(file);
  }
  if (!tmpfs.Mounted()) GTEST_SKIP() << tmpfs.Why();
}

// The temporary is a new file of an unguessable name: a link planted where a
// temporary name could be predicted is neither followed nor replaced.
TEST(FileReplace, APlantedLinkAtATemporaryNameIsNotFollowed) {
  test::TTempFolder dir("replace_plant");
  const std::string file = dir.File("c.pem"), victim = dir.File("victim.txt");
  { std::ofstream(victim) << "precious"; }
  test::SeedRandom(1234);
  const fs::path planted = file + ".tmp" + std::to_string(RuvRandom() & 0xFFFFFFu);
  fs::create_symlink(victim, planted);
  test::SeedRandom(1234);
  WriteFileSafely(file, "exported");
  EXPECT_EQ(ReadAll(victim), "precious");
  EXPECT_TRUE(fs::is_symlink(planted));
  EXPECT_FALSE(fs::is_symlink(file));
  EXPECT_EQ(ReadAll(file), "exported");
  EXPECT_EQ(Entries(dir.Path()), 3);
}

}  // namespace
}  // namespace rara
