// Stream and file forms of TGF2Poly, TGF2PolyVector and TGF2SqrMatrix:
// layout, round trips, every truncation and single-byte corruption, damaged
// counts, headers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"
#include "integers/checksum.h"
#include "integers/errors.h"
#include "integers/streams.h"
#include "tests/gf2/gf2_reference.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

using TBytes = std::vector<std::uint8_t>;

constexpr std::size_t Prefix = 3;  // loads start inside a stream, not at 0

TGF2Poly Random(std::mt19937& g, int deg) {
  TGF2Poly p;
  SetRef(p, RandomRef(g, deg));
  return p;
}

template <class T>
TBytes Saved(const T& x) {
  TMemoryStream s(TBytes(Prefix, 0xAA));
  s.SetPosition(Prefix);
  x.SaveToStream(s);
  EXPECT_EQ(s.Position(), s.Size());
  return s.Bytes();
}

void PutU32(TBytes& b, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

bool SameVector(const TGF2PolyVector& a, const TGF2PolyVector& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i)
    if (!GF2Equal(a.Cell(i), b.Cell(i))) return false;
  return true;
}

// Loads bytes (which start with Prefix filler bytes) into a fresh object of
// type T. On failure the message, stream position and emptied object are
// checked; returns whether the load succeeded.
template <class T>
bool TryLoad(const TBytes& bytes, T& x, const std::string& className,
             const std::function<bool(const T&)>& isEmpty) {
  TMemoryStream s(bytes);
  s.SetPosition(Prefix);
  try {
    x.LoadFromStream(s);
    return true;
  } catch (const ERuvStreamError& e) {
    EXPECT_EQ(std::string(e.what()), className + ".LoadFromStream\r\nInvalid stream");
    EXPECT_EQ(s.Position(), static_cast<std::int64_t>(Prefix)) << "position moved";
    EXPECT_TRUE(isEmpty(x)) << "object not cleared";
    return false;
  }
}

const std::function<bool(const TGF2Poly&)> PolyEmpty = [](const TGF2Poly& p) { return p.IsZero() && Valid(p); };
const std::function<bool(const TGF2PolyVector&)> VectorEmpty = [](const TGF2PolyVector& v) {
  return v.Count() == 0;
};
const std::function<bool(const TGF2SqrMatrix&)> MatrixEmpty = [](const TGF2SqrMatrix& m) {
  for (int i = 0; i < m.Dimension(); ++i)
    if (!m.Row(i).IsZero()) return false;
  return true;
};

TEST(GF2Stream, PolynomialLayout) {
  TGF2Poly p;
  GF2SetDegs(p, {40, 1});
  TBytes expected(Prefix, 0xAA);
  PutU32(expected, 2);
  PutU32(expected, 2);
  PutU32(expected, 0x100);
  PutU32(expected, RuvCrc32(expected.data() + Prefix + 4, 8));
  EXPECT_EQ(Saved(p), expected);
  TBytes zero(Prefix, 0xAA);
  PutU32(zero, 0);
  PutU32(zero, 0);
  EXPECT_EQ(Saved(TGF2Poly()), zero);
}

TEST(GF2Stream, RoundTrips) {
  std::mt19937 g(4501);
  for (int deg : {-1, 0, 1, 31, 32, 63, 64, 500, 4000}) {
    SCOPED_TRACE(deg);
    const TGF2Poly p = Random(g, deg);
    TGF2Poly q = Random(g, 77);  // loading replaces an old value
    ASSERT_TRUE(TryLoad(Saved(p), q, "TGF2Poly", PolyEmpty));
    EXPECT_TRUE(GF2Equal(p, q));
    EXPECT_TRUE(Valid(q));
  }
  TGF2PolyVector v, w;
  ASSERT_TRUE(TryLoad(Saved(v), w, "TGF2PolyVector", VectorEmpty));
  EXPECT_EQ(w.Count(), 0);
  for (int deg : {5, -1, 200, 0, 33}) v.NewCell(Random(g, deg));
  w.Size(9);
  ASSERT_TRUE(TryLoad(Saved(v), w, "TGF2PolyVector", VectorEmpty));
  EXPECT_TRUE(SameVector(v, w));

  TGF2SqrMatrix m, n;
  m.SetDimension(70);
  for (int i = 0; i < 70; ++i) m.Row(i).Assign(Random(g, static_cast<int>(g() % 70)));
  ASSERT_TRUE(TryLoad(Saved(m), n, "TGF2SqrMatrix", MatrixEmpty));
  EXPECT_TRUE(SameVector(m.Rows(), n.Rows()));
  EXPECT_EQ(Saved(m), Saved(m.Rows())) << "a matrix is stored as its row vector";
}

// Every proper prefix fails; every byte changed fails, except a vector count
// that still parses (the form has no checksum over it), which then differs.
TEST(GF2Stream, EveryTruncationAndCorruption) {
  std::mt19937 g(4502);
  const TGF2Poly p = Random(g, 150);
  TGF2PolyVector v;
  for (int deg : {40, -1, 70}) v.NewCell(Random(g, deg));
  TGF2SqrMatrix m;
  m.SetDimension(3);
  for (int i = 0; i < 3; ++i) m.Row(i).Assign(Random(g, 2));

  const TBytes bp = Saved(p), bv = Saved(v), bm = Saved(m);
  for (std::size_t len = Prefix; len < bp.size(); ++len) {
    TGF2Poly x = Random(g, 10);
    EXPECT_FALSE(TryLoad(TBytes(bp.begin(), bp.begin() + len), x, "TGF2Poly", PolyEmpty)) << len;
  }
  for (std::size_t len = Prefix; len < bv.size(); ++len) {
    TGF2PolyVector x;
    x.Size(2);
    EXPECT_FALSE(TryLoad(TBytes(bv.begin(), bv.begin() + len), x, "TGF2PolyVector", VectorEmpty)) << len;
  }
  for (std::size_t len = Prefix; len < bm.size(); ++len) {
    TGF2SqrMatrix x;
    x.SetDimension(2);
    x.SetIdentity();
    EXPECT_FALSE(TryLoad(TBytes(bm.begin(), bm.begin() + len), x, "TGF2SqrMatrix", MatrixEmpty)) << len;
  }
  for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
    for (std::size_t k = Prefix; k < bp.size(); ++k) {
      TBytes b = bp;
      b[k] ^= mask;
      TGF2Poly x;
      EXPECT_FALSE(TryLoad(b, x, "TGF2Poly", PolyEmpty)) << "byte " << k << " mask " << int(mask);
    }
    for (std::size_t k = Prefix; k < bv.size(); ++k) {
      TBytes b = bv;
      b[k] ^= mask;
      TGF2PolyVector x;
      if (TryLoad(b, x, "TGF2PolyVector", VectorEmpty)) {
        EXPECT_LT(k, Prefix + 4) << "byte " << k << " mask " << int(mask);
        EXPECT_NE(x.Count(), v.Count());
      }
    }
    for (std::size_t k = Prefix; k < bm.size(); ++k) {
      TBytes b = bm;
      b[k] ^= mask;
      TGF2SqrMatrix x;
      if (TryLoad(b, x, "TGF2SqrMatrix", MatrixEmpty)) {
        EXPECT_LT(k, Prefix + 4) << "byte " << k << " mask " << int(mask);
        EXPECT_NE(x.Dimension(), m.Dimension());
      }
    }
  }
}

// Counts larger than what the stream holds fail at once, before any storage
// of that size is taken; negative counts fail too.
TEST(GF2Stream, DamagedCounts) {
  for (std::uint32_t n : {0x2FFFFFFu, 0x3000000u, 0x3000001u, 0x7FFFFFFFu, 0xFFFFFFFFu, 3u}) {
    TBytes b(Prefix, 0);
    PutU32(b, n);
    PutU32(b, 0);
    PutU32(b, 0);
    TGF2Poly x;
    EXPECT_FALSE(TryLoad(b, x, "TGF2Poly", PolyEmpty)) << n;
    TGF2PolyVector v;
    EXPECT_FALSE(TryLoad(b, v, "TGF2PolyVector", VectorEmpty)) << n;
    TGF2SqrMatrix m;
    EXPECT_FALSE(TryLoad(b, m, "TGF2SqrMatrix", MatrixEmpty)) << n;
  }
  // Zero top words with a matching checksum load in normal form.
  TBytes b(Prefix, 0);
  PutU32(b, 3);
  const std::uint32_t words[3] = {5, 0, 0};
  for (std::uint32_t w : words) PutU32(b, w);
  PutU32(b, RuvCrc32(b.data() + Prefix + 4, 12));
  TGF2Poly x;
  ASSERT_TRUE(TryLoad(b, x, "TGF2Poly", PolyEmpty));
  EXPECT_TRUE(Valid(x));
  EXPECT_EQ(x.Degree(), 2);
}

// A row vector longer than the dimension limit is a valid vector but no
// matrix: SetDimension would refuse it, and so does the stream form.
TEST(GF2Stream, MatrixAboveTheDimensionLimit) {
  for (const std::int32_t rows : {TGF2SqrMatrix::MaxDimension, TGF2SqrMatrix::MaxDimension + 1}) {
    TBytes b(Prefix, 0);
    PutU32(b, static_cast<std::uint32_t>(rows));
    for (std::int32_t i = 0; i < rows; ++i) {
      PutU32(b, 0);  // an empty row and the checksum of no bytes
      PutU32(b, RuvCrc32(nullptr, 0));
    }
    TGF2PolyVector v;
    ASSERT_TRUE(TryLoad(b, v, "TGF2PolyVector", VectorEmpty));
    EXPECT_EQ(v.Count(), rows);
    TGF2SqrMatrix m;
    m.SetDimension(3);
    m.SetIdentity();
    const bool loaded = TryLoad(b, m, "TGF2SqrMatrix", MatrixEmpty);
    EXPECT_EQ(loaded, rows <= TGF2SqrMatrix::MaxDimension) << rows;
    EXPECT_EQ(m.Dimension(), loaded ? rows : 0);
  }
}

class GF2Files : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("rara_gf2_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
  }
  std::filesystem::path dir_;
};

TEST_F(GF2Files, HeadersRoundTripsAndErrors) {
  std::mt19937 g(4503);
  const TGF2Poly p = Random(g, 300);
  TGF2PolyVector v;
  v.NewCell(p);
  v.NewCell(TGF2Poly());
  TGF2SqrMatrix m;
  m.SetDimension(4);
  m.SetIdentity();

  const std::string fp = Path("p.bin"), fv = Path("v.bin"), fm = Path("m.bin");
  p.SaveToFile(fp);
  v.SaveToFile(fv);
  m.SaveToFile(fm);
  EXPECT_EQ(Read(fp).substr(0, 24), "Ruv Polynomial over GF2 ");
  EXPECT_EQ(Read(fv).substr(0, 31), "Ruv Polynomial over GF2 Vector ");
  EXPECT_EQ(Read(fm).substr(0, 27), "Ruv Square Matrix over GF2 ");
  const TBytes sp = Saved(p);
  EXPECT_EQ(Read(fp).substr(24), std::string(sp.begin() + Prefix, sp.end()));

  TGF2Poly q;
  q.LoadFromFile(fp);
  EXPECT_TRUE(GF2Equal(p, q));
  TGF2PolyVector w;
  w.LoadFromFile(fv);
  EXPECT_TRUE(SameVector(v, w));
  TGF2SqrMatrix n;
  n.LoadFromFile(fm);
  EXPECT_TRUE(SameVector(m.Rows(), n.Rows()));

  // A polynomial file read with another class's header, and the reverse.
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { q.LoadFromFile(fv); }),
            "TGF2Poly.LoadFromFile\r\nInvalid \"" + fv + "\" file");
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { w.LoadFromFile(fp); }),
            "TGF2PolyVector.LoadFromFile\r\nInvalid \"" + fp + "\" file");
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { n.LoadFromFile(fv); }),
            "TGF2SqrMatrix.LoadFromFile\r\nInvalid \"" + fv + "\" file");

  // Damaged contents behind a good header: the file error, object cleared.
  std::string bad = Read(fp);
  bad[30] ^= 0x10;
  Write(fp, bad);
  q.Assign(p);
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { q.LoadFromFile(fp); }),
            "TGF2Poly.LoadFromFile\r\nInvalid \"" + fp + "\" file");
  EXPECT_TRUE(q.IsZero());
  std::string shortVector = Read(fv);
  Write(fv, shortVector.substr(0, shortVector.size() - 1));
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { w.LoadFromFile(fv); }),
            "TGF2PolyVector.LoadFromFile\r\nInvalid \"" + fv + "\" file");
  EXPECT_EQ(w.Count(), 0);

  // Shorter than its header: the stream layer's own read error.
  Write(fm, "Ruv Square");
  EXPECT_THROW(n.LoadFromFile(fm), EStreamError);
  EXPECT_THROW(q.LoadFromFile(Path("missing.bin")), EStreamError);
}

}  // namespace
}  // namespace rara::test
