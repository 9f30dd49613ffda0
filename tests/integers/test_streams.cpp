// Streams and the file-form rules shared by the persistent classes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "integers/errors.h"
#include "integers/streams.h"

namespace rara {
namespace {

namespace fs = std::filesystem;

fs::path TempPath(const std::string& name) { return fs::temp_directory_path() / ("rara_streams_" + name); }

TEST(MemoryStream, FieldsRoundTripLittleEndian) {
  TMemoryStream s;
  s.WriteU8(0xAB);
  s.WriteU32(0x01020304u);
  s.WriteI32(-2);
  s.WriteU64(0x1122334455667788ull);
  ASSERT_EQ(s.Size(), 17);
  EXPECT_EQ(s.Bytes()[1], 0x04);
  EXPECT_EQ(s.Bytes()[4], 0x01);
  s.SetPosition(0);
  EXPECT_EQ(s.ReadU8(), 0xAB);
  EXPECT_EQ(s.ReadU32(), 0x01020304u);
  EXPECT_EQ(s.ReadI32(), -2);
  EXPECT_EQ(s.ReadU64(), 0x1122334455667788ull);
  EXPECT_EQ(s.Remaining(), 0);
  EXPECT_THROW(s.ReadU8(), EStreamError);
}

TEST(MemoryStream, ShortReadFailsAndOverwriteInPlace) {
  TMemoryStream s(std::vector<std::uint8_t>{1, 2, 3});
  std::uint8_t buf[4];
  EXPECT_THROW(s.ReadBuffer(buf, 4), EStreamError);
  s.SetPosition(1);
  s.WriteU8(9);
  EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{1, 9, 3}));
  EXPECT_THROW(s.SetPosition(-1), EStreamError);
}

TEST(StreamPosGuard, RestoresUnlessKept) {
  TMemoryStream s(std::vector<std::uint8_t>(10, 0));
  s.SetPosition(3);
  {
    TStreamPosGuard g(s);
    s.ReadU32();
  }
  EXPECT_EQ(s.Position(), 3);
  {
    TStreamPosGuard g(s);
    s.ReadU32();
    g.Keep();
  }
  EXPECT_EQ(s.Position(), 7);
}

TEST(FileForm, SaveThenLoadAndHeaderChecks) {
  const std::string header = "Ruv Test ";
  fs::path p = TempPath("ok.bin");
  RuvSaveToFile(p.string(), header, [](TStream& s) { s.WriteU32(42); });
  EXPECT_EQ(fs::file_size(p), header.size() + 4);
  std::uint32_t got = 0;
  RuvLoadFromFile(p.string(), header, "TTest", [&](TStream& s) { got = s.ReadU32(); });
  EXPECT_EQ(got, 42u);

  // Wrong header: the file error naming the class and the file.
  try {
    RuvLoadFromFile(p.string(), "Ruv Other", "TTest", [](TStream&) {});
    FAIL();
  } catch (const ERuvFileError& e) {
    EXPECT_EQ(std::string(e.what()), "TTest.LoadFromFile\r\nInvalid \"" + p.string() + "\" file");
  }
  // An invalid stream inside becomes the same file error; other errors pass.
  EXPECT_THROW(RuvLoadFromFile(p.string(), header, "TTest", [](TStream&) { RaiseStreamError("TTest.LoadFromStream"); }),
               ERuvFileError);
  EXPECT_THROW(RuvLoadFromFile(p.string(), header, "TTest", [](TStream&) { RaiseOverflow("X"); }), ERuvOverflow);
  // A file shorter than its header fails with the stream layer's read error.
  { std::ofstream(p, std::ios::binary) << "Ruv"; }
  EXPECT_THROW(RuvLoadFromFile(p.string(), header, "TTest", [](TStream&) {}), EStreamError);
  // A missing file fails to open.
  fs::remove(p);
  EXPECT_THROW(RuvLoadFromFile(p.string(), header, "TTest", [](TStream&) {}), EStreamError);
}

TEST(FileForm, FailedSaveKeepsTheOldFile) {
  fs::path p = TempPath("keep.bin");
  RuvSaveToFile(p.string(), "H ", [](TStream& s) { s.WriteU32(7); });
  EXPECT_THROW(RuvSaveToFile(p.string(), "H ", [](TStream& s) {
                 s.WriteU32(8);
                 RaiseSizeError("TTest.SaveToStream");
               }),
               ERuvSizeError);
  std::uint32_t got = 0;
  RuvLoadFromFile(p.string(), "H ", "TTest", [&](TStream& s) { got = s.ReadU32(); });
  EXPECT_EQ(got, 7u);
  // No temporary file is left behind.
  int leftovers = 0;
  for (auto& e : fs::directory_iterator(p.parent_path()))
    leftovers += e.path().filename().string().rfind("rara_streams_keep.bin.tmp", 0) == 0;
  EXPECT_EQ(leftovers, 0);
  fs::remove(p);
}

TEST(FileStream, PositionSizeAndCloseErrors) {
  fs::path p = TempPath("fs.bin");
  {
    TFileStream f(p.string(), TFileStream::TMode::Create);
    f.WriteU32(1);
    f.WriteU32(2);
    EXPECT_EQ(f.Size(), 8);
    f.SetPosition(4);
    EXPECT_EQ(f.ReadU32(), 2u);
    EXPECT_EQ(f.Position(), 8);
    f.Close();
  }
  if (fs::exists("/dev/full")) {
    TFileStream full("/dev/full", TFileStream::TMode::Create);
    full.WriteU32(1);  // buffered
    EXPECT_THROW(full.Close(), EStreamError);
  }
  fs::remove(p);
}

}  // namespace
}  // namespace rara
