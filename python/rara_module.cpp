// The Python module `rara`: the construction as functions returning data.
// build_curve runs New parameters, New curve and New point as rara-cli does
// and returns the JSON export's fields as a dict (a `rara.Curve`, which keeps
// the construction record for check and export); count_points counts the
// points of any curve over GF(2^N).
//
// The arithmetic runtime is created once, when the module is imported, on
// the importing thread; the break mechanism answers Ctrl-C on that thread.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <optional>
#include <string>

#include "curves/ec_point_count.h"
#include "engine/audit.h"
#include "engine/cm_search.h"
#include "engine/curve_file.h"
#include "engine/construction.h"
#include "engine/export_file.h"
#include "engine/trust.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_text.h"
#include "gf2/gf2n.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "integers/runtime.h"
#include "reports/validation.h"
#include "reports/weber_ratio.h"

namespace py = pybind11;

namespace rara {

namespace {

std::unique_ptr<TRuvRuntime> Runtime;

// Entries refused before any computation: ValueError with the dialog's words.
[[noreturn]] void Refuse(const std::string& message) { throw py::value_error(message); }

// Per-tick callback: a pending signal (Ctrl-C) runs its Python handler here,
// under the GIL the calling thread holds; the handler's exception is kept and
// the computation is aborted at the next poll.
void Tick() {
  if (PyErr_CheckSignals() != 0) RuvRequestAbort();
}

// Runs f with the break mechanism on; an abort asked for by a signal handler
// raises that handler's exception (KeyboardInterrupt) instead of the abort.
template <typename F>
auto Interruptible(F&& f) {
  TRuvBreakScope scope(Tick);
  try {
    return f();
  } catch (const ERuvAbort&) {
    if (PyErr_Occurred()) throw py::error_already_set();
    throw;
  }
}

// ---- Conversions ----
py::int_ HexInt(const std::string& hex) {
  return py::int_(py::reinterpret_steal<py::object>(PyLong_FromString(hex.c_str(), nullptr, 16)));
}

py::int_ Negated(const py::int_& v) {
  return py::reinterpret_steal<py::int_>(PyNumber_Negative(v.ptr()));
}

py::int_ IntOf(const TInteger& a) {
  std::string s;
  IStr(a, 16, 0, false, false, s);
  return a.Negative() ? Negated(HexInt(s)) : HexInt(s.empty() ? "0" : s);
}

// Polynomials over GF(2) and field elements: bit i is the coefficient of x^i.
py::int_ PolyInt(const TGF2Poly& p) {
  const std::string s = GF2ToHexStr(p, 0);
  return HexInt(s.empty() ? "0" : s);
}

void PolyInto(TGF2Poly& p, const py::int_& v, const char* what) {
  if (PyObject_RichCompareBool(v.ptr(), py::int_(0).ptr(), Py_LT) == 1)
    Refuse(std::string(what) + ": a negative number is not a polynomial");
  const std::string hex = py::str(py::module_::import("builtins").attr("format")(v, "x"));
  GF2Set(p, hex, true);
}

// "0x..." texts of the JSON export become ints; {"raw": "0x..."} becomes
// the int of its digits.
py::object Ints(const py::handle& value) {
  if (py::isinstance<py::str>(value)) {
    const std::string s = value.cast<std::string>();
    const bool neg = s.rfind("-0x", 0) == 0;
    if (s.rfind("0x", 0) == 0 || neg) {
      py::int_ v = HexInt(s.substr(neg ? 3 : 2));
      return neg ? py::object(Negated(v)) : py::object(v);
    }
    return py::reinterpret_borrow<py::object>(value);
  }
  if (py::isinstance<py::dict>(value)) {
    py::dict in = py::reinterpret_borrow<py::dict>(value);
    if (in.size() == 1 && in.contains("raw")) return Ints(in["raw"]);
    py::dict out;
    for (auto item : in) out[item.first] = Ints(item.second);
    return out;
  }
  if (py::isinstance<py::list>(value)) {
    py::list out;
    for (auto item : value) out.append(Ints(item));
    return out;
  }
  return py::reinterpret_borrow<py::object>(value);
}

// ---- The construction ----
struct TRecord {
  TECGF2Data Data;
  TExportInfo Info;
  long double Ratio = 0;
};

// Empty: the automatic sequence.
std::optional<long double> RatioOf(const py::object& ratio) {
  if (py::isinstance<py::str>(ratio) && ratio.cast<std::string>() == "auto") return std::nullopt;
  if (py::isinstance<py::float_>(ratio) || py::isinstance<py::int_>(ratio) ||
      py::isinstance<py::str>(ratio)) {
    double r = 0;
    try {
      r = py::float_(ratio).cast<double>();
    } catch (const py::error_already_set&) {
      r = 0;
    }
    for (const long double allowed : PrecisionRatios)
      if (static_cast<double>(allowed) == r) return allowed;
  }
  Refuse(std::string(PrecisionRatioLabel) + ": auto, 0.75, 1.0, 1.25, 1.5 or 1.75");
}

// No progress is shown; Ctrl-C is the way to stop.
class TQuietSteps : public TWeberSteps {
 public:
  void Start(const std::string&, const std::int32_t*) override {}
  void Stop() override {}
};

void CheckParams(TParamEntries& p) {
  auto message = [](std::string_view label, std::string_view hint) {
    return std::string(label) + ": " + std::string(hint);
  };
  if (p.N < MinFieldDegree || p.N > BatchMaxFieldDegree)
    Refuse(message(FieldDegreeLabel, BatchFieldDegreeHint));
  switch (ValidateParams(p, BatchMaxFieldDegree)) {
    case TParamEntry::None: return;
    case TParamEntry::FieldDegree: Refuse(message(FieldDegreeLabel, BatchFieldDegreeHint));
    case TParamEntry::KMaxSize: Refuse(message(KMaxSizeLabel, KMaxSizeHint(p.KMod4)));
    case TParamEntry::TrialBound: Refuse(message(TrialBoundLabel, TrialBoundHint));
    case TParamEntry::Discriminant: Refuse(message(DiscriminantLabel, DiscriminantHint));
  }
}

// The field polynomial text of a built-in list, as rara-cli's --list gives it.
std::string ListText(const std::string& list, std::int32_t n) {
  constexpr int last = BatchFieldListMaxDegree;
  TGF2Poly p;
  if (list == "p1363") {
    GetP1363Irreducible(p, n, last);
  } else if (list == "x963") {
    if (!X963Available(n, last)) Refuse("Irreducible from ANSI X9.63 list: " + X963StatusText(n, last));
    GetX963Irreducible(p, n, last);
  } else if (list == "gauss") {
    if (!GaussAvailable(n, last)) Refuse("Gaussian normal: " + GaussStatusText(n, last));
    return GaussNormalText(n, last);
  } else if (list == "normal") {
    GetNormal(p, n, last);
  } else {
    Refuse("Field polynomial list: p1363, x963, gauss or normal");
  }
  return GF2DegsToStr(p, false);
}

// The JSON export of the record as Python values, with every point drawn.
py::dict CurveDict(TRecord& rec, const py::list& points) {
  TTrustReport trust;
  Interruptible([&] { CheckTrust(rec.Data, trust); });
  const std::string json = CurveJson(rec.Data, trust, rec.Info);
  py::dict d = Ints(py::module_::import("json").attr("loads")(json));
  d["points"] = points;
  py::dict built = d["rara"];
  built["ratio"] = static_cast<double>(rec.Ratio);
  return d;
}

py::object BuildCurve(std::int32_t degree, std::int32_t kmax, bool kmod4, std::int32_t bound,
                      std::int32_t discriminant, const py::object& ratio, const std::string& basis,
                      const std::optional<py::object>& field,
                      const std::optional<std::string>& fieldList, std::int64_t points,
                      const std::optional<std::string>& seed) {
  TParamEntries p;
  p.N = degree;
  p.KMaxSize = kmax;
  p.KMod4 = kmod4;
  p.TrialBound = bound;
  p.D = discriminant;
  CheckParams(p);
  const std::optional<long double> forcedRatio = RatioOf(ratio);
  std::uint8_t basisType = 0;
  if (basis == "normal")
    basisType = 1;
  else if (basis != "standard")
    Refuse("Basis type: standard or normal");
  if (points < 1) Refuse("Number of points: Min = 1");

  auto rec = std::make_shared<TRecord>();
  std::string text;
  if (field && fieldList) Refuse("Field polynomial: either field or field_list");
  if (field) {
    if (py::isinstance<py::int_>(*field)) {
      TGF2Poly f;
      PolyInto(f, py::int_(*field), "Field polynomial");
      text = GF2ToHexStr(f, 0);
    } else {
      text = field->cast<std::string>();
    }
    rec->Info.FieldList = "--field " + text;
  } else {
    const std::string list = fieldList ? *fieldList : basisType == 0 ? "p1363" : "normal";
    text = ListText(list, p.N);
    rec->Info.FieldList = list;
  }
  TGF2Poly fieldPoly;
  if (const TFieldPolyError e = CheckFieldPoly(text, p.N, basisType, fieldPoly, BatchMaxFieldDegree);
      e != TFieldPolyError::None)
    Refuse(FieldPolyMessage(e, p.N));

  TECGF2Data& data = rec->Data;
  rec->Info.Seed = seed;
  if (seed) {
    RuvSeed(seed->data(), static_cast<std::int64_t>(seed->size()));
    data.SeedFromClock = false;
  } else {
    RuvSeedTime();
  }
  py::list drawn;
  Interruptible([&] {
    std::int32_t value = 0;
    data.Clear();
    data.ComputeParams(p.N, p.D, p.KMaxSize, p.TrialBound, p.KMod4, value);
    if (data.SearchGaveUp())
      RaiseRuv("the search gave up: no CM discriminant up to " + std::to_string(CMSearchLimit) +
               " gives a curve with these entries");
    TQuietSteps steps;
    const TWeberOutcome weber = ComputeWeber(data, forcedRatio, steps, value);
    rec->Ratio = weber.Ratio;
    if (!weber.Consistent) RaiseRuv(WeberOutcomeText(weber));
    data.CurveBuilt = false;
    data.SetField(fieldPoly, basisType);
    data.PickRoot();
    data.MakeCurve();
    for (std::int64_t i = 0; i < points; ++i) {
      data.NewPoint();
      drawn.append(py::make_tuple(PolyInt(data.Point.X()), PolyInt(data.Point.Y())));
    }
  });
  py::object curve = py::module_::import("rara").attr("Curve")(CurveDict(*rec, drawn));
  curve.attr("_record") = py::cast(rec);
  return curve;
}

TRecord& RecordOf(const py::object& curve) {
  if (!py::hasattr(curve, "_record"))
    throw py::type_error("expected a curve returned by rara.build_curve");
  return *curve.attr("_record").cast<std::shared_ptr<TRecord>>();
}

py::dict Check(const py::object& curve) {
  TRecord& rec = RecordOf(curve);
  TTrustReport t;
  Interruptible([&] { CheckTrust(rec.Data, t); });
  py::dict proof;
  proof["proven"] = t.Proof.Proven;
  proof["reason"] = t.Proof.Reason;
  // The count is grouped in fives, as the report shows it.
  std::string count;
  for (const char c : t.Proof.PointCount)
    if (c != ' ') count += c;
  proof["point_count"] = count.empty() ? py::object(py::none()) : py::object(py::int_(py::str(count)));
  proof["confirmed_by_count"] = t.Proof.CountConfirmed;
  py::list verdicts;
  for (const TVerdict& v : t.Verdicts) {
    py::dict e;
    e["check"] = v.Key;
    e["verdict"] = VerdictLevelName(v.Level);
    e["text"] = v.Text;
    e["threshold"] = v.Threshold;
    verdicts.append(e);
  }
  py::dict d;
  d["proof"] = proof;
  d["verdicts"] = verdicts;
  d["trace"] = IntOf(t.Trace);
  d["embedding_degree"] = t.EmbeddingDegree > 0 ? py::object(py::int_(t.EmbeddingDegree)) : py::none();
  d["embedding_bound"] = t.EmbeddingBound;
  d["twist_order"] = IntOf(t.TwistOrder);
  d["twist_small_factors"] = t.TwistSmallFactors;
  d["twist_rest"] = IntOf(t.TwistRest);
  d["twist_rest_prime"] = t.TwistRestPrime;
  std::string text;
  for (const std::string& line : TrustLines(rec.Data, t)) text += line + "\n";
  d["text"] = text;
  return d;
}

void Export(const py::object& curve, const py::object& path) {
  TRecord& rec = RecordOf(curve);
  const std::string name = py::str(py::module_::import("os").attr("fspath")(path));
  Interruptible([&] { ExportCurve(rec.Data, name, rec.Info); });
}

py::int_ CountPoints(std::int32_t degree, const py::object& fieldPoly, const py::int_& a,
                     const py::int_& b) {
  TGF2Poly p;
  if (py::isinstance<py::int_>(fieldPoly)) {
    PolyInto(p, py::int_(fieldPoly), "Field polynomial");
  } else if (!ParseFieldPoly(fieldPoly.cast<std::string>(), p)) {
    Refuse(FieldPolyMessage(TFieldPolyError::Syntax, degree));
  }
  if (p.Degree() != degree) Refuse(FieldPolyMessage(TFieldPolyError::Degree, degree));
  TGF2N field;
  field.SetField(p, 0, true);
  TGF2Poly ca, cb;
  PolyInto(ca, a, "a");
  PolyInto(cb, b, "b");
  TInteger count;
  Interruptible([&] { ECPointCount(count, field, ca, cb); });
  return IntOf(count);
}

// The audit of a curve file, as rara-cli --audit gives it: the report's
// lines, the claims that do not hold, and whether every claim holds. A file
// that cannot be read raises rara.Error with the reason.
py::dict Audit(const py::object& path) {
  const std::string name = py::str(py::module_::import("os").attr("fspath")(path));
  TCurveFile curve;
  TAuditResult result;
  Interruptible([&] {
    ReadCurveFile(name, curve);
    AuditCurve(curve, result);
  });
  py::dict d;
  d["lines"] = result.Lines;
  d["false_claims"] = result.FalseClaims;
  d["ok"] = result.FalseClaims.empty();
  return d;
}

}  // namespace

}  // namespace rara

PYBIND11_MODULE(rara, m) {
  using namespace rara;
  m.doc() = "Elliptic curves over GF(2^N) by complex multiplication";
  Runtime = std::make_unique<TRuvRuntime>();
  // Shut down before the interpreter goes, in the documented order.
  py::module_::import("atexit").attr("register")(py::cpp_function([] { Runtime.reset(); }));

  // Library errors: rara.Error (a RuntimeError) with the library's message.
  py::register_exception<ERuv>(m, "Error", PyExc_RuntimeError);

  py::class_<TRecord, std::shared_ptr<TRecord>>(m, "_Record");
  py::exec(R"(
class Curve(dict):
    """A curve from build_curve: the JSON export's fields; check and export use it."""
)", m.attr("__dict__"));
  m.attr("Curve").attr("__module__") = "rara";

  using namespace py::literals;
  m.def("build_curve", &BuildCurve, "degree"_a, py::kw_only(), "kmax"_a = 15, "kmod4"_a = false,
        "bound"_a = 32767, "discriminant"_a = 0, "ratio"_a = "auto", "basis"_a = "standard",
        "field"_a = py::none(), "field_list"_a = py::none(), "points"_a = 1, "seed"_a = py::none(),
        "Builds CM parameters, the curve and random points of order R; returns the JSON "
        "export's fields (integers and field elements as ints) and 'points'.");
  m.def("check", &Check, "curve"_a, "The proof of the curve order and the security verdicts.");
  m.def("export", &Export, "curve"_a, "path"_a,
        "Writes the curve with its last point as generator: .pem, .der or .json by extension.");
  m.def("count_points", &CountPoints, "degree"_a, "field_poly"_a, "a"_a, "b"_a,
        "#E of y^2 + xy = x^3 + a*x^2 + b over GF(2^degree), standard basis.");
  m.def("audit", &Audit, "path"_a,
        "Audits a binary curve file (X9.62 PEM or DER, or JSON): the report lines, the false "
        "claims and 'ok' when every claim holds.");
}
