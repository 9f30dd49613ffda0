// Containers over GF(2): TGF2PolyVector, a growable array of owned
// polynomials (factor lists, matrix rows), and TGF2SqrMatrix, a square bit
// matrix stored as one polynomial per row with rank test and inversion.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gf2/gf2_poly.h"
#include "integers/ruv_object.h"

namespace rara {

class TStream;

class TGF2PolyVector : public TRuvObject {
 public:
  static constexpr std::int32_t MaxCount = 0x7FFFFFF;

  TGF2PolyVector() = default;
  TGF2PolyVector(const TGF2PolyVector&) = delete;
  TGF2PolyVector& operator=(const TGF2PolyVector&) = delete;

  virtual std::string ClassName() const { return "TGF2PolyVector"; }

  // Persistence: file form "Ruv Polynomial over GF2 Vector " + stream form
  // (cell count, then each cell's stream form).
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  std::int32_t Count() const noexcept { return static_cast<std::int32_t>(cells_.size()); }
  // Number of cells; new cells are zero, cut-off cells are destroyed.
  // n outside 0..MaxCount: ERuvSizeError "<class>.Size".
  void Size(std::int32_t n);
  // i outside 0..Count-1: ERuvIndexError "<class>.Cell".
  TGF2Poly& Cell(std::int32_t i);
  const TGF2Poly& Cell(std::int32_t i) const;
  // Appends an independent copy of p; a full vector: ERuvSizeError "<class>.NewCell".
  void NewCell(const TGF2Poly& p);
  void Assign(const TGF2PolyVector& v);
  void ClearCells();  // every cell := 0, count unchanged
  // Exchanges the cells of two vectors in constant time.
  void Exchange(TGF2PolyVector& other) noexcept { cells_.swap(other.cells_); }

 private:
  std::vector<std::unique_ptr<TGF2Poly>> cells_;
};

// Row i is a polynomial whose coefficient j is entry (i, j). A vector times
// the matrix is a polynomial too: coefficient j is component j.
class TGF2SqrMatrix : public TRuvObject {
 public:
  static constexpr std::int32_t MaxDimension = 0x20000;

  TGF2SqrMatrix() = default;
  TGF2SqrMatrix(const TGF2SqrMatrix&) = delete;
  TGF2SqrMatrix& operator=(const TGF2SqrMatrix&) = delete;

  virtual std::string ClassName() const { return "TGF2SqrMatrix"; }

  // Persistence: file form "Ruv Square Matrix over GF2 " + the row vector's
  // stream form.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  std::int32_t Dimension() const noexcept { return rows_.Count(); }
  // Existing rows keep their contents, new rows are zero. n outside
  // 0..MaxDimension: ERuvSizeError "<class>.Dimension", matrix unchanged;
  // a failed resize leaves dimension 0.
  void SetDimension(std::int32_t n);
  TGF2PolyVector& Rows() noexcept { return rows_; }
  const TGF2PolyVector& Rows() const noexcept { return rows_; }
  TGF2Poly& Row(std::int32_t i) { return rows_.Cell(i); }
  const TGF2Poly& Row(std::int32_t i) const { return rows_.Cell(i); }

  // Row i := x^i; an empty matrix: ERuvInvalidCall "<class>.SetIdentity".
  void SetIdentity();
  // Entry (i, j) := coefficient i of p for every row i. j out of range:
  // ERuvIndexError "<class>.SetCol"; deg p >= n: ERuvInvalidArg "<class>.SetCol".
  void SetCol(std::int32_t j, const TGF2Poly& p);
  void ClearRows();
  std::unique_ptr<TGF2SqrMatrix> Clone() const;
  void Assign(const TGF2SqrMatrix& m);

  // Invertible; false for dimension 0.
  bool IsRegular() const;
  // Replaces the matrix by its inverse and returns true; a singular or empty
  // matrix is left unchanged and gives false.
  bool Invert();

 private:
  TGF2PolyVector rows_;
};

}  // namespace rara
