// Elliptic curves y^2 + x·y = x^3 + A·x^2 + B over GF(2^N) (B != 0) and their
// points in affine coordinates. Every coordinate is a TGF2Poly in the basis of
// the curve's own TGF2N; the point at infinity O is (0, 0).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "integers/integers.h"
#include "integers/ruv_object.h"

namespace rara {

class TStream;

class TGF2NEPoint : public TRuvObject {
 public:
  static constexpr const char* FileHeader = "Ruv EC over GF2N - Point ";

  TGF2NEPoint() = default;  // O
  TGF2NEPoint(const TGF2NEPoint& other);
  TGF2NEPoint& operator=(const TGF2NEPoint&) = delete;  // use Assign

  virtual std::string ClassName() const { return "TGF2NEPoint"; }

  // Stream form: X, Y. A failed load sets the stream back, leaves O and
  // passes the error on.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  std::unique_ptr<TGF2NEPoint> Clone() const;
  void Assign(const TGF2NEPoint& q);
  bool IsZero() const noexcept { return x_.IsZero() && y_.IsZero(); }
  void SetZero();

  TGF2Poly& X() noexcept { return x_; }
  const TGF2Poly& X() const noexcept { return x_; }
  TGF2Poly& Y() noexcept { return y_; }
  const TGF2Poly& Y() const noexcept { return y_; }

 private:
  TGF2Poly x_;
  TGF2Poly y_;
};

class TGF2NECurve : public TRuvObject {
 public:
  static constexpr const char* FileHeader = "Ruv EC over GF2N - Curve ";
  // State values.
  static constexpr std::uint8_t NoField = 0;
  static constexpr std::uint8_t NoCoefs = 1;
  static constexpr std::uint8_t Ready = 2;

  TGF2NECurve();
  TGF2NECurve(const TGF2NECurve&) = delete;
  TGF2NECurve& operator=(const TGF2NECurve&) = delete;

  virtual std::string ClassName() const { return "TGF2NECurve"; }

  // Stream form: State byte, field, A, B, C4. A stream that does not hold a
  // usable curve raises ERuvStreamError and leaves the curve unchanged.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  // ---- Set-up ----
  // Copy of the given field (null: nothing happens); State := 1.
  void SetField(const TGF2N* field);
  // New field of degree deg from the field's built-in list; its degree check is
  // switched off. deg < 2: ERuvInvalidArg; any failure leaves the curve as it was.
  void SetField(std::uint8_t deg, std::uint8_t basis);
  // A null A means 0, a null B is rejected as B = 0. B is checked before A.
  void SetCoefs(const TGF2Poly* a, const TGF2Poly* b);
  void GetCoefs(TGF2Poly* a, TGF2Poly* b) const;

  std::uint8_t State() const noexcept { return state_; }
  const TGF2N& Field() const noexcept { return *field_; }
  TGF2N& Field() noexcept { return *field_; }
  const TGF2Poly& A() const noexcept { return a_; }
  const TGF2Poly& B() const noexcept { return b_; }
  const TGF2Poly& C4() const noexcept { return c4_; }

  // ---- Group law (State must be 2) ----
  void Add(TGF2NEPoint& p, const TGF2NEPoint& q) const;  // P := P + Q; Q may be P
  void Double(TGF2NEPoint& p) const;                     // P := 2P
  void Neg(TGF2NEPoint& p) const;                        // P := -P
  // P := K·P for any sign of K, by the addition-subtraction chain of 3K.
  // Projective runs the chain in Jacobian coordinates (one inversion at the
  // end) instead of affine ones (one inversion per step). P is unchanged when
  // an error or an abort passes.
  void Mul(TGF2NEPoint& p, const TInteger& k, bool projective);
  void GetRndPoint(TGF2NEPoint& p) const;   // uniform x, random sign
  void GetOrder2Point(TGF2NEPoint& p) const;  // (0, sqrt(B))

  // ---- Jacobian coordinates: (X, Y, Z) is (X/Z^2, Y/Z^3); O is (1, 1, 0) ----
  void JDouble(TGF2Poly& x, TGF2Poly& y, TGF2Poly& z) const;
  // (X0, Y0, Z0) := (X0, Y0, Z0) + (X1, Y1, Z1); the two triples are distinct objects.
  void JAdd(TGF2Poly& x0, TGF2Poly& y0, TGF2Poly& z0, const TGF2Poly& x1, const TGF2Poly& y1,
            const TGF2Poly& z1) const;
  // P := the affine form; (0, 0, 0) raises ERuv "<class>.JToAC\r\nInvalid Jacobian point".
  void JToAC(const TGF2Poly& x, const TGF2Poly& y, const TGF2Poly& z, TGF2NEPoint& p) const;

 private:
  void CheckCoefs(const char* op) const;
  void SetJZero(TGF2Poly& x, TGF2Poly& y, TGF2Poly& z) const;
  bool IsJZero(const TGF2Poly& x, const TGF2Poly& y, const TGF2Poly& z) const;
  void MulAffine(TGF2NEPoint& p, const TInteger& k) const;
  void MulJacobian(TGF2NEPoint& p, const TInteger& k) const;

  std::unique_ptr<TGF2N> field_;
  TGF2Poly a_;
  TGF2Poly b_;
  TGF2Poly c4_;
  std::uint8_t state_ = NoField;
};

}  // namespace rara
