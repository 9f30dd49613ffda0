// Builders of the parameters report, the curve report and the point block.
#include "reports/reports.h"

#include <string>

#include "engine/mov.h"
#include "reports/report_text.h"

namespace rara {

namespace {

void Body(TReportLines& lines, std::string text) {
  AddLine(lines, TLineStyle::Body, std::move(text));
}

void Note(TReportLines& lines, std::string text) {
  AddLine(lines, TLineStyle::Note, std::move(text));
}

std::string Num(std::int64_t n) { return std::to_string(n); }

// "F[ 3] = ": the index right-aligned to the width of the last index.
std::string FactorLabel(std::int32_t i, std::int32_t last) {
  std::string index = Num(i);
  const std::size_t width = Num(last).size();
  if (index.size() < width) index.insert(0, width - index.size(), ' ');
  return "F[" + index + "] = ";
}

}  // namespace

void ShowParams(TReportLines& lines, TECGF2Data& data, const TDisplaySettings& settings) {
  Note(lines, "");
  Note(lines, "Integers are in decimal representation");
  Note(lines, "Polynomials are in " + settings.RepresentationName() +
                  " representation and displayed with Hi..Lo bit order");
  Body(lines, "");

  AddTitle(lines, "Curve parameters");
  Body(lines, "Field degree    = " + Num(data.N));
  Body(lines, "CM discriminant = " + Num(data.D));
  Body(lines, "Class number    = " + Num(data.ClassNumber));
  Body(lines, "");

  IAssign(data.U, data.K);
  IMul(data.U, data.R);
  AddTitle(lines, "Curve order U = K*R with R prime");
  Body(lines, "U = " + IntText(data.U));
  Body(lines, "K = " + IntText(data.K));
  Body(lines, "R = " + IntText(data.R));
  Body(lines, "U binary size = " + Num(data.U.BitSize()));
  Body(lines, "K binary size = " + Num(data.K.BitSize()));
  Body(lines, "R binary size = " + Num(data.R.BitSize()));
  Body(lines, "");

  if (ICmp(data.K, 4) > 0) {
    AddTitle(lines, "Factorization of K");
    Body(lines, "K = " + data.KFactors);
    Body(lines, "");
  }

  AddTitle(lines, "MOV Condition");
  Body(lines, "Critical threshold = " + Num(CriticalThreshold(data.N)));
  if (data.MOVResult != 0)
    AddLine(lines, TLineStyle::Warning, "Failed with threshold B = " + Num(data.MOVResult));
  else
    Body(lines, "Checked with threshold B = 1000");
  Body(lines, "");

  AddTitle(lines, "Weber polynomial modulo 2");
  Body(lines, "Degree = " + Num(data.W.Degree()));
  Body(lines, "W = " + PolyText(data.W, 0, settings));
  if (data.WIrreducible) {
    Body(lines, "W is irreducible over GF(2)");
    return;
  }
  Body(lines, "W is not irreducible over GF(2)");
  Body(lines, "");
  AddTitle(lines, "Irreducible factors of W");
  const std::int32_t count = data.WFactors.Count();
  const std::int32_t firstDegree = count > 0 ? data.WFactors.Cell(0).Degree() : 0;
  Body(lines, Num(count) + " factors of degree " + Num(firstDegree));
  for (std::int32_t i = 0; i < count; ++i)
    Body(lines, FactorLabel(i, count - 1) + PolyText(data.WFactors.Cell(i), 0, settings));
}

void ShowCurve(TReportLines& lines, const TECGF2Data& data, const TDisplaySettings& settings) {
  const std::int32_t n = data.N;
  const std::string field = "GF(2^" + Num(n) + ")";
  Note(lines, "");
  Note(lines,
       "Except field polynomial that may be represented with an array of degrees, "
       "polynomials are in " +
           settings.RepresentationName() + " representation");
  if (data.Field.BasisType() == btNormal) {
    if (settings.Reversed) {
      if (!FieldPolyAsDegrees(data.Field))
        Note(lines, "Field polynomial is displayed with Hi..Lo bit order");
      Note(lines, "Root, curve and points are displayed with Lo..Hi bit order");
    } else {
      Note(lines, "All polynomials are displayed with Hi..Lo bit order");
    }
  }
  Body(lines, "");

  AddTitle(lines, "Field " + field);
  Body(lines, "Field polynomial = " + FieldPolyText(data.Field, settings));
  Body(lines, "Basis type = " + data.Field.BasisTypeName());
  Body(lines, "");

  if (data.WIrreducible)
    AddTitle(lines, "Random root of W over " + field);
  else
    AddTitle(lines, "Random root of F[" + Num(data.FactorIndex) + "] over " + field);
  Body(lines, "Z = " + PolyText(data.Root, n, settings));
  Body(lines, "");

  AddTitle(lines, "Curve of order K*R over " + field);
  Body(lines, "A = " + PolyText(data.CoefA, n, settings));
  Body(lines, "B = " + PolyText(data.CoefB, n, settings));
  Body(lines, std::string("Trace(A) = ") + (data.Field.Trace(data.CoefA) ? "1" : "0"));
  Body(lines, std::string("Trace(B) = ") + (data.Field.Trace(data.CoefB) ? "1" : "0"));
}

void ShowPoint(TReportLines& lines, const TECGF2Data& data, const TDisplaySettings& settings) {
  Body(lines, "");
  AddTitle(lines, "Random point of order R");
  Body(lines, "X = " + PolyText(data.Point.X(), data.N, settings));
  Body(lines, "Y = " + PolyText(data.Point.Y(), data.N, settings));
}

}  // namespace rara
