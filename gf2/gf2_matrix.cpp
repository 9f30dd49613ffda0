// TGF2PolyVector storage and TGF2SqrMatrix: setters, rank test and inversion
// by elimination over whole words.
#include "gf2/gf2_matrix.h"

#include <algorithm>

#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

constexpr bool OutOfRange(std::int32_t v, std::uint32_t bound) noexcept {
  return static_cast<std::uint32_t>(v) > bound;
}

// 0 <= i < count; an empty range holds no index (count - 1 would wrap).
constexpr bool InRange(std::int32_t i, std::int32_t count) noexcept {
  return static_cast<std::uint32_t>(i) < static_cast<std::uint32_t>(count);
}

// Working copies of the rows, all sized to the same word count so that a row
// addition is one exclusive-or loop without storage checks. The extra top
// words stay zero or are trimmed by Finish.
void Widen(TGF2PolyVector& rows, std::int32_t words) {
  for (std::int32_t i = 0; i < rows.Count(); ++i) rows.Cell(i).SetSize(words, false);
}

void Finish(TGF2PolyVector& rows) {
  for (std::int32_t i = 0; i < rows.Count(); ++i) rows.Cell(i).Normalize(true);
}

// Word count that holds n columns and whatever a caller put beyond them.
std::int32_t WorkWidth(const TGF2PolyVector& rows) {
  std::int32_t w = (rows.Count() + 31) / 32;
  for (std::int32_t i = 0; i < rows.Count(); ++i) w = std::max(w, rows.Cell(i).Count());
  return w;
}

inline bool Bit(const TGF2Poly& row, std::int32_t i) noexcept {
  return ((row.Words()[i >> 5] >> (i & 31)) & 1u) != 0;
}

// dst[from..width) ^= src[from..width)
inline void AddRow(TGF2Poly& dst, const TGF2Poly& src, std::int32_t from, std::int32_t width) noexcept {
  std::uint32_t* d = dst.Words();
  const std::uint32_t* s = src.Words();
  for (std::int32_t k = from; k < width; ++k) d[k] ^= s[k];
}

}  // namespace

// ---------------------------------------------------------------- TGF2PolyVector

void TGF2PolyVector::Size(std::int32_t n) {
  if (OutOfRange(n, MaxCount)) RaiseSizeError(ClassName() + ".Size");
  const auto count = static_cast<std::size_t>(n);
  if (count < cells_.size()) {
    cells_.resize(count);
    return;
  }
  cells_.reserve(count);
  while (cells_.size() < count) cells_.push_back(std::make_unique<TGF2Poly>());
}

TGF2Poly& TGF2PolyVector::Cell(std::int32_t i) {
  if (!InRange(i, Count())) RaiseIndexError(ClassName() + ".Cell");
  return *cells_[static_cast<std::size_t>(i)];
}

const TGF2Poly& TGF2PolyVector::Cell(std::int32_t i) const {
  if (!InRange(i, Count())) RaiseIndexError(ClassName() + ".Cell");
  return *cells_[static_cast<std::size_t>(i)];
}

void TGF2PolyVector::NewCell(const TGF2Poly& p) {
  if (Count() > MaxCount - 1) RaiseSizeError(ClassName() + ".NewCell");
  cells_.push_back(std::make_unique<TGF2Poly>(p));
}

void TGF2PolyVector::Assign(const TGF2PolyVector& v) {
  if (&v == this) return;
  Size(v.Count());
  for (std::size_t i = 0; i < cells_.size(); ++i) cells_[i]->Assign(*v.cells_[i]);
}

void TGF2PolyVector::ClearCells() {
  for (auto& cell : cells_) cell->Clear();
}

// ---------------------------------------------------------------- TGF2SqrMatrix

void TGF2SqrMatrix::SetDimension(std::int32_t n) {
  if (OutOfRange(n, MaxDimension)) RaiseSizeError(ClassName() + ".Dimension");
  try {
    rows_.Size(n);
  } catch (...) {
    rows_.Size(0);
    throw;
  }
}

void TGF2SqrMatrix::SetIdentity() {
  const std::int32_t n = Dimension();
  if (n == 0) RaiseInvalidCall(ClassName() + ".SetIdentity", "Matrix should not be empty");
  for (std::int32_t i = 0; i < n; ++i) rows_.Cell(i).SetMonomial(i);
}

void TGF2SqrMatrix::SetCol(std::int32_t j, const TGF2Poly& p) {
  const std::int32_t n = Dimension();
  if (n == 0 || OutOfRange(j, static_cast<std::uint32_t>(n - 1))) RaiseIndexError(ClassName() + ".SetCol");
  if (p.Degree() >= n)
    RaiseInvalidArg(ClassName() + ".SetCol", "Polynomial degree should be less than matrix dimension");
  // P may be one of the rows being changed: read a copy.
  const TUVPoly cp(p);
  const TGF2Poly& c = *cp;
  for (std::int32_t i = 0; i < n; ++i) {
    const bool b = i <= c.Degree() && Bit(c, i);
    TGF2Poly& row = rows_.Cell(i);
    if (b || row.Coef(j)) row.SetCoef(j, b);
  }
}

void TGF2SqrMatrix::ClearRows() { rows_.ClearCells(); }

std::unique_ptr<TGF2SqrMatrix> TGF2SqrMatrix::Clone() const {
  auto m = std::make_unique<TGF2SqrMatrix>();
  m->Assign(*this);
  return m;
}

void TGF2SqrMatrix::Assign(const TGF2SqrMatrix& m) {
  if (&m == this) return;
  rows_.Assign(m.rows_);
}

bool TGF2SqrMatrix::IsRegular() const {
  const std::int32_t n = Dimension();
  if (n == 0) return false;
  TGF2PolyVector a;
  a.Assign(rows_);
  const std::int32_t width = WorkWidth(a);
  Widen(a, width);
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t r = i;
    while (r < n && !Bit(a.Cell(r), i)) ++r;
    if (r == n) return false;
    if (r != i) GF2Swap(a.Cell(r), a.Cell(i));
    // Row i is zero left of column i, so the additions start at its word.
    const TGF2Poly& pivot = a.Cell(i);
    for (std::int32_t k = i + 1; k < n; ++k) {
      TGF2Poly& row = a.Cell(k);
      if (Bit(row, i)) AddRow(row, pivot, i >> 5, width);
    }
    RuvBreak();
  }
  return true;
}

bool TGF2SqrMatrix::Invert() {
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  const std::int32_t n = Dimension();
  if (n == 0) return false;
  TGF2PolyVector a, inv;
  a.Assign(rows_);
  inv.Size(n);
  for (std::int32_t i = 0; i < n; ++i) inv.Cell(i).SetMonomial(i);
  const std::int32_t width = WorkWidth(a);
  const std::int32_t invWidth = (n + 31) / 32;
  Widen(a, width);
  Widen(inv, invWidth);
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t r = i;
    while (r < n && !Bit(a.Cell(r), i)) ++r;
    if (r == n) return false;
    if (r != i) {
      GF2Swap(a.Cell(r), a.Cell(i));
      GF2Swap(inv.Cell(r), inv.Cell(i));
    }
    const TGF2Poly& pivot = a.Cell(i);
    const TGF2Poly& invPivot = inv.Cell(i);
    for (std::int32_t k = 0; k < n; ++k) {
      if (k == i) continue;
      TGF2Poly& row = a.Cell(k);
      if (!Bit(row, i)) continue;
      AddRow(row, pivot, i >> 5, width);
      AddRow(inv.Cell(k), invPivot, 0, invWidth);
    }
    if (poll) RuvBreak();
  }
  Finish(inv);
  rows_.Exchange(inv);
  return true;
}

}  // namespace rara
