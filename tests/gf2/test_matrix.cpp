// TGF2PolyVector and TGF2SqrMatrix: limits and exact errors, columns,
// rank test against a plain elimination, inversion checked by the product.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "tests/gf2/gf2_reference.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

using TBits = std::vector<std::vector<bool>>;

TBits ToBits(const TGF2SqrMatrix& m) {
  const int n = m.Dimension();
  TBits b(n, std::vector<bool>(n));
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) b[i][j] = m.Row(i).Coef(j);
  return b;
}

void FromBits(TGF2SqrMatrix& m, const TBits& b) {
  const int n = static_cast<int>(b.size());
  m.SetDimension(n);
  m.ClearRows();
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      if (b[i][j]) m.Row(i).SetCoef(j, true);
}

TBits RandomBits(std::mt19937& g, int n) {
  TBits b(n, std::vector<bool>(n));
  for (auto& row : b)
    for (int j = 0; j < n; ++j) row[j] = (g() & 1) != 0;
  return b;
}

// Rank by elimination one bit at a time.
int RefRank(TBits b) {
  const int n = static_cast<int>(b.size());
  int rank = 0;
  for (int c = 0; c < n && rank < n; ++c) {
    int r = rank;
    while (r < n && !b[r][c]) ++r;
    if (r == n) continue;
    std::swap(b[r], b[rank]);
    for (int k = 0; k < n; ++k)
      if (k != rank && b[k][c])
        for (int j = 0; j < n; ++j) b[k][j] = b[k][j] != b[rank][j];
    ++rank;
  }
  return rank;
}

TBits RefProduct(const TBits& a, const TBits& b) {
  const int n = static_cast<int>(a.size());
  TBits r(n, std::vector<bool>(n));
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < n; ++k)
      if (a[i][k])
        for (int j = 0; j < n; ++j) r[i][j] = r[i][j] != b[k][j];
  return r;
}

bool IsIdentity(const TBits& b) {
  for (std::size_t i = 0; i < b.size(); ++i)
    for (std::size_t j = 0; j < b.size(); ++j)
      if (b[i][j] != (i == j)) return false;
  return true;
}

// ---------------------------------------------------------------- vector

TEST(GF2PolyVector, SizeCellsAndErrors) {
  TGF2PolyVector v;
  EXPECT_EQ(v.Count(), 0);
  v.Size(3);
  EXPECT_EQ(v.Count(), 3);
  EXPECT_TRUE(v.Cell(2).IsZero());
  v.Cell(1).SetMonomial(40);
  v.Cell(2).SetOne();
  v.Size(2);
  EXPECT_EQ(v.Cell(1).Degree(), 40);
  v.Size(4);
  EXPECT_TRUE(v.Cell(2).IsZero()) << "a regrown cell must start empty";
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { v.Cell(4); }), "TGF2PolyVector.Cell\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { v.Cell(-1); }), "TGF2PolyVector.Cell\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { v.Size(0x8000000); }),
            "TGF2PolyVector.Size\r\nInvalid size specification");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { v.Size(-1); }), "TGF2PolyVector.Size\r\nInvalid size specification");
  EXPECT_EQ(v.Count(), 4);

  // NewCell copies: changing the source later does not reach the cell.
  TGF2Poly p;
  p.SetMonomial(7);
  v.NewCell(p);
  p.SetOne();
  EXPECT_EQ(v.Cell(4).Degree(), 7);

  TGF2PolyVector w;
  w.Assign(v);
  v.Cell(1).Clear();
  EXPECT_EQ(w.Count(), 5);
  EXPECT_EQ(w.Cell(1).Degree(), 40);
  w.Assign(w);
  EXPECT_EQ(w.Count(), 5);
  w.ClearCells();
  EXPECT_EQ(w.Count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(w.Cell(i).IsZero());
  const TGF2PolyVector& cw = w;
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { cw.Cell(5); }), "TGF2PolyVector.Cell\r\nInvalid index");
}

// The index bound Count - 1 once wrapped for an empty vector, so index 0
// reached storage that does not exist.
TEST(GF2PolyVector, EmptyHasNoValidIndex) {
  TGF2PolyVector v;
  const std::string message = "TGF2PolyVector.Cell\r\nInvalid index";
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { v.Cell(0); }), message);
  const TGF2PolyVector& cv = v;
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { cv.Cell(0); }), message);
  v.Size(2);
  v.Size(0);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { v.Cell(0); }), message);
  TGF2SqrMatrix m;
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { m.Row(0); }), message);
  const TGF2SqrMatrix& cm = m;
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { cm.Row(0); }), message);
}

// ---------------------------------------------------------------- matrix

TEST(GF2SqrMatrix, SettersAndErrors) {
  TGF2SqrMatrix m;
  EXPECT_EQ(m.Dimension(), 0);
  EXPECT_FALSE(m.IsRegular());
  EXPECT_FALSE(m.Invert());
  EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { m.SetIdentity(); }),
            "TGF2SqrMatrix.SetIdentity\r\nInvalid call\r\nMatrix should not be empty");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { m.SetDimension(0x20001); }),
            "TGF2SqrMatrix.Dimension\r\nInvalid size specification");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { m.SetCol(0, TGF2Poly()); }), "TGF2SqrMatrix.SetCol\r\nInvalid index");

  m.SetDimension(5);
  m.SetIdentity();
  m.SetDimension(7);  // old rows kept, new rows zero
  EXPECT_EQ(m.Row(4).Degree(), 4);
  EXPECT_TRUE(m.Row(6).IsZero());
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { m.SetDimension(-1); }),
            "TGF2SqrMatrix.Dimension\r\nInvalid size specification");
  EXPECT_EQ(m.Dimension(), 7);

  TGF2Poly p;
  GF2SetDegs(p, {6, 3, 0});
  m.SetCol(2, p);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(m.Row(i).Coef(2), p.Coef(i)) << i;
    EXPECT_EQ(m.Row(i).Coef(i), i < 5 && i != 2) << i;
  }
  TGF2Poly q;
  q.SetMonomial(2);
  m.SetCol(2, q);  // clears what the first column set
  EXPECT_FALSE(m.Row(6).Coef(2));
  EXPECT_TRUE(m.Row(6).IsZero());
  EXPECT_TRUE(Valid(m.Row(6)));
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { m.SetCol(7, p); }), "TGF2SqrMatrix.SetCol\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { m.SetCol(-1, p); }), "TGF2SqrMatrix.SetCol\r\nInvalid index");
  p.SetMonomial(7);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { m.SetCol(0, p); }),
            "TGF2SqrMatrix.SetCol\r\nInvalid parameter\r\nPolynomial degree should be less than matrix dimension");

  // The column taken from a row of the same matrix: read before written.
  TGF2SqrMatrix a;
  a.SetDimension(4);
  a.SetIdentity();
  a.SetCol(2, a.Row(0));  // column 2 := (1, 0, 0, 0); row 0 gains x^2 on the way
  EXPECT_TRUE(a.Row(0).Coef(2));
  EXPECT_FALSE(a.Row(2).Coef(2));
  EXPECT_TRUE(a.Row(2).IsZero());

  auto c = m.Clone();
  m.ClearRows();
  EXPECT_EQ(m.Dimension(), 7);
  EXPECT_TRUE(m.Row(0).IsZero());
  EXPECT_EQ(c->Row(4).Degree(), 4);
  m.Assign(*c);
  EXPECT_EQ(ToBits(m), ToBits(*c));
}

TEST(GF2SqrMatrix, IdentityAndSingular) {
  TGF2SqrMatrix m;
  for (int n : {1, 2, 31, 32, 33, 100}) {
    m.SetDimension(n);
    m.SetIdentity();
    EXPECT_TRUE(m.IsRegular());
    EXPECT_TRUE(m.Invert());
    EXPECT_TRUE(IsIdentity(ToBits(m))) << n;
  }
  std::mt19937 g(4301);
  for (int n : {1, 2, 3, 33, 64, 150}) {
    SCOPED_TRACE(n);
    TBits b = RandomBits(g, n);
    // One row the sum of two others (or zero for tiny sizes).
    const int r = static_cast<int>(g() % n);
    for (int j = 0; j < n; ++j) b[r][j] = n >= 3 ? b[(r + 1) % n][j] != b[(r + 2) % n][j] : false;
    FromBits(m, b);
    EXPECT_FALSE(m.IsRegular());
    EXPECT_FALSE(m.Invert());
    EXPECT_EQ(ToBits(m), b) << "a singular matrix must stay unchanged";
  }
}

TEST(GF2SqrMatrix, RankAndInverseOfRandomMatrices) {
  std::mt19937 g(4302);
  TGF2SqrMatrix m;
  int regular = 0;
  std::vector<int> dims = {1, 2, 3, 4, 5, 7, 8, 31, 32, 33, 63, 64, 65, 97, 128, 129, 257, 400};
  for (int k = 0; k < Iterations(40); ++k) dims.push_back(1 + static_cast<int>(g() % 80));
  for (int n : dims) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      SCOPED_TRACE(testing::Message() << "n=" << n << " attempt " << attempt);
      const TBits b = RandomBits(g, n);
      FromBits(m, b);
      const bool isRegular = RefRank(b) == n;
      ASSERT_EQ(m.IsRegular(), isRegular);
      ASSERT_EQ(m.Invert(), isRegular);
      if (!isRegular) {
        ASSERT_EQ(ToBits(m), b);
        continue;
      }
      ++regular;
      for (int i = 0; i < n; ++i) ASSERT_TRUE(Valid(m.Row(i)));
      const TBits inv = ToBits(m);
      ASSERT_TRUE(IsIdentity(RefProduct(b, inv)));
      ASSERT_TRUE(IsIdentity(RefProduct(inv, b)));
      break;
    }
  }
  EXPECT_GT(regular, static_cast<int>(dims.size()) / 2);
}

// Bits a caller put beyond the last column take part in nothing but do not
// break the elimination.
TEST(GF2SqrMatrix, BitsBeyondTheDimension) {
  TGF2SqrMatrix m;
  m.SetDimension(3);
  m.SetIdentity();
  m.Row(0).SetCoef(100, true);
  m.Row(2).SetCoef(1, true);
  EXPECT_TRUE(m.IsRegular());
  EXPECT_TRUE(m.Invert());
  EXPECT_EQ(m.Row(2).Degree(), 2);
  EXPECT_TRUE(m.Row(2).Coef(1));
}

using test::AbortAtPoll;
using test::PollsBeforeAbort;

// An inversion aborted half-way leaves the matrix as it was.
TEST(GF2SqrMatrix, AbortedInversion) {
  std::mt19937 g(4303);
  TGF2SqrMatrix m;
  TBits b;
  do {
    b = RandomBits(g, 300);
    FromBits(m, b);
  } while (!m.IsRegular());
  PollsBeforeAbort = 150;
  RuvBreakWith(&AbortAtPoll);
  break_detail::Tick.store(true);
  EXPECT_THROW(m.Invert(), ERuvAbort);
  RuvBreakStop();
  EXPECT_EQ(ToBits(m), b);
}

}  // namespace
}  // namespace rara::test
