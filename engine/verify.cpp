// The RARA_VERIFY build's record and pool checks (see engine/verify.h).
#include "engine/verify.h"

#ifdef RARA_VERIFY

#include <exception>
#include <string>

#include "gf2/verify.h"

namespace rara {

void VerifyRecord(const TECGF2Data& d, const char* where) {
  VerifyInteger(d.U, where);
  VerifyInteger(d.K, where);
  VerifyInteger(d.R, where);
  VerifyPoly(d.W, where);
  VerifyPoly(d.FieldPoly, where);
  for (std::int32_t i = 0; i < d.WFactors.Count(); ++i) VerifyPoly(d.WFactors.Cell(i), where);
  VerifyPoly(d.Field.FieldPoly(), where);
  VerifyElement(d.Field, d.Root, where);
  VerifyElement(d.Field, d.CoefA, where);
  VerifyElement(d.Field, d.CoefB, where);
  if (d.Curve.State() != TGF2NECurve::NoField) {
    const TGF2N& f = d.Curve.Field();
    VerifyPoly(f.FieldPoly(), where);
    VerifyElement(f, d.Curve.A(), where);
    VerifyElement(f, d.Curve.B(), where);
    VerifyElement(f, d.Curve.C4(), where);
    VerifyElement(f, d.Point.X(), where);
    VerifyElement(f, d.Point.Y(), where);
  }
}

TVerifyStep::TVerifyStep(const TECGF2Data& data, const char* step)
    : data_(data),
      step_(step),
      integers_(IntegerPoolUsed()),
      polys_(PolyPoolUsed()),
      exceptions_(std::uncaught_exceptions()) {}

TVerifyStep::~TVerifyStep() {
  if (IntegerPoolUsed() != integers_)
    VerifyFailed(step_, "integer pool: " + std::to_string(integers_) + " items in use before, " +
                            std::to_string(IntegerPoolUsed()) + " after");
  if (PolyPoolUsed() != polys_)
    VerifyFailed(step_, "polynomial pool: " + std::to_string(polys_) + " items in use before, " +
                            std::to_string(PolyPoolUsed()) + " after");
  // An error or an abort may leave the record half written; only a step that
  // completed must leave it whole.
  if (std::uncaught_exceptions() == exceptions_) VerifyRecord(data_, step_);
}

}  // namespace rara

#endif
