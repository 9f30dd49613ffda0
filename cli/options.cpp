// Option parsing and checks of rara-cli.
#include "cli/options.h"

#include <array>
#include <string_view>

#include "engine/export_json.h"
#include "engine/export_x962.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_text.h"

namespace rara::cli {

namespace {

enum class TOpt {
  Degree, KMax, KMod4, Bound, Discriminant, Ratio, Basis, Field, List, Points,
  ParamsOnly, Binary, Reversed, Append, Seed, Checks, Pem, Der, Json, Audit, Quiet, Help, Version
};

struct TOptSpec {
  char Short;              // 0: long form only
  std::string_view Long;
  bool TakesValue;
  TOpt Id;
};

constexpr std::array<TOptSpec, 23> Specs = {{
    {'N', "degree", true, TOpt::Degree},
    {'k', "kmax", true, TOpt::KMax},
    {0, "kmod4", false, TOpt::KMod4},
    {'L', "bound", true, TOpt::Bound},
    {'D', "discriminant", true, TOpt::Discriminant},
    {'r', "ratio", true, TOpt::Ratio},
    {'b', "basis", true, TOpt::Basis},
    {'f', "field", true, TOpt::Field},
    {'l', "list", true, TOpt::List},
    {'p', "points", true, TOpt::Points},
    {0, "params-only", false, TOpt::ParamsOnly},
    {0, "binary", false, TOpt::Binary},
    {0, "reversed", false, TOpt::Reversed},
    {0, "append", true, TOpt::Append},
    {0, "seed", true, TOpt::Seed},
    {0, "checks", false, TOpt::Checks},
    {0, "pem", true, TOpt::Pem},
    {0, "der", true, TOpt::Der},
    {0, "json", true, TOpt::Json},
    {0, "audit", true, TOpt::Audit},
    {'q', "quiet", false, TOpt::Quiet},
    {'h', "help", false, TOpt::Help},
    {0, "version", false, TOpt::Version},
}};

const TOptSpec* FindShort(char c) {
  for (const TOptSpec& s : Specs)
    if (s.Short == c) return &s;
  return nullptr;
}

const TOptSpec* FindLong(std::string_view name) {
  for (const TOptSpec& s : Specs)
    if (s.Long == name) return &s;
  return nullptr;
}

std::string EntryMessage(std::string_view label, std::string_view hint) {
  return std::string(label) + ": " + std::string(hint);
}

// The raw texts of the numeric entries, read once every option is known
// (the K range depends on --kmod4 wherever it appears).
struct TRawEntries {
  std::optional<std::string> Degree, KMax, Bound, Discriminant;
};

std::string ReadParams(const TRawEntries& raw, TParamEntries& p) {
  if (raw.Degree && !ReadIntEntry(*raw.Degree, p.N))
    return EntryMessage(FieldDegreeLabel, BatchFieldDegreeHint);
  if (p.N < MinFieldDegree || p.N > BatchMaxFieldDegree)
    return EntryMessage(FieldDegreeLabel, BatchFieldDegreeHint);
  if (raw.KMax && !ReadIntEntry(*raw.KMax, p.KMaxSize))
    return EntryMessage(KMaxSizeLabel, KMaxSizeHint(p.KMod4));
  if (raw.Bound && !ReadIntEntry(*raw.Bound, p.TrialBound))
    return EntryMessage(TrialBoundLabel, TrialBoundHint);
  if (raw.Discriminant && !ReadIntEntry(*raw.Discriminant, p.D))
    return EntryMessage(DiscriminantLabel, DiscriminantHint);
  // The dialog corrects a refused entry; here a correction is a refusal,
  // except for the bound, which is corrected without failing.
  switch (ValidateParams(p, BatchMaxFieldDegree)) {
    case TParamEntry::None: return std::string();
    case TParamEntry::FieldDegree: return EntryMessage(FieldDegreeLabel, BatchFieldDegreeHint);
    case TParamEntry::KMaxSize: return EntryMessage(KMaxSizeLabel, KMaxSizeHint(p.KMod4));
    case TParamEntry::TrialBound: return EntryMessage(TrialBoundLabel, TrialBoundHint);
    case TParamEntry::Discriminant: return EntryMessage(DiscriminantLabel, DiscriminantHint);
  }
  return std::string();
}

bool ReadRatio(std::string_view text, std::optional<long double>& ratio) {
  static constexpr std::array<std::string_view, 5> Names = {"0.75", "1.0", "1.25", "1.5", "1.75"};
  std::string t(text);
  if (t == "auto") {
    ratio.reset();
    return true;
  }
  if (t == "1") t = "1.0";
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (t == Names[i]) {
      ratio = PrecisionRatios[i];
      return true;
    }
  return false;
}

// The built-in polynomial of the chosen list, as the curve dialog's load
// buttons give it, over the lists' whole range; a list without an entry for
// N is refused with the dialog's status text.
std::string ListPolyText(TFieldList list, std::int32_t n, std::string& text) {
  constexpr int last = BatchFieldListMaxDegree;
  TGF2Poly p;
  switch (list) {
    case TFieldList::Default:
    case TFieldList::P1363:
      GetP1363Irreducible(p, n, last);
      break;
    case TFieldList::X963:
      if (!X963Available(n, last))
        return "Irreducible from ANSI X9.63 list: " + X963StatusText(n, last);
      GetX963Irreducible(p, n, last);
      break;
    case TFieldList::Gauss:
      if (!GaussAvailable(n, last)) return "Gaussian normal: " + GaussStatusText(n, last);
      text = GaussNormalText(n, last);
      return std::string();
    case TFieldList::Normal:
      GetNormal(p, n, last);
      break;
  }
  text = GF2DegsToStr(p, false);
  return std::string();
}

}  // namespace

std::string ParseOptions(const std::vector<std::string>& args, TCliOptions& o) {
  TRawEntries raw;
  std::optional<std::string> ratio, basis, list, points;
  bool haveField = false;
  bool construction = false;  // any option of a construction run

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const TOptSpec* spec = nullptr;
    std::optional<std::string> value;
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      std::string name = arg.substr(2);
      if (const std::size_t eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
      }
      spec = FindLong(name);
      if (!spec) return "unknown option --" + name;
      if (!spec->TakesValue && value) return "option --" + name + " takes no value";
    } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] != '-') {
      spec = FindShort(arg[1]);
      if (!spec) return "unknown option " + arg.substr(0, 2);
      if (arg.size() > 2) {
        if (!spec->TakesValue) return "option -" + std::string(1, arg[1]) + " takes no value";
        value = arg.substr(2);
      }
    } else {
      return "unexpected argument " + arg;
    }
    if (spec->TakesValue && !value) {
      if (i + 1 >= args.size()) return "option --" + std::string(spec->Long) + " needs a value";
      value = args[++i];
    }

    if (spec->Id != TOpt::Audit && spec->Id != TOpt::Quiet && spec->Id != TOpt::Help &&
        spec->Id != TOpt::Version)
      construction = true;
    switch (spec->Id) {
      case TOpt::Degree: raw.Degree = value; break;
      case TOpt::KMax: raw.KMax = value; break;
      case TOpt::KMod4: o.Params.KMod4 = true; break;
      case TOpt::Bound: raw.Bound = value; break;
      case TOpt::Discriminant: raw.Discriminant = value; break;
      case TOpt::Ratio: ratio = value; break;
      case TOpt::Basis: basis = value; break;
      case TOpt::Field: o.FieldText = *value; haveField = true; break;
      case TOpt::List: list = value; break;
      case TOpt::Points: points = value; break;
      case TOpt::ParamsOnly: o.ParamsOnly = true; break;
      case TOpt::Binary: o.Binary = true; break;
      case TOpt::Reversed: o.Reversed = true; break;
      case TOpt::Append: o.AppendFile = value; break;
      case TOpt::Seed: o.Seed = value; break;
      case TOpt::Checks: o.Checks = true; break;
      case TOpt::Pem: o.PemFile = value; break;
      case TOpt::Der: o.DerFile = value; break;
      case TOpt::Json: o.JsonFile = value; break;
      case TOpt::Audit:
        if (value->empty()) return "option --audit needs a file name";
        o.AuditFile = *value;
        break;
      case TOpt::Quiet: o.Quiet = true; break;
      case TOpt::Help: o.Help = true; break;
      case TOpt::Version: o.Version = true; break;
    }
  }
  if (o.Help || o.Version) return std::string();
  if (!o.AuditFile.empty()) {
    if (construction) return "--audit takes no construction options";
    return std::string();
  }

  if (std::string m = ReadParams(raw, o.Params); !m.empty()) return m;
  if (ratio && !ReadRatio(*ratio, o.Ratio))
    return EntryMessage(PrecisionRatioLabel, "auto, 0.75, 1.0, 1.25, 1.5 or 1.75");
  if (basis) {
    if (*basis == "standard")
      o.Basis = 0;
    else if (*basis == "normal")
      o.Basis = 1;
    else
      return "Basis type: standard or normal";
  }
  if (points) {
    std::int32_t count = 0;
    if (!ReadIntEntry(*points, count) || count < 0) return "Number of points: Min = 0";
    o.Points = count;
  }
  if (list) {
    if (haveField) return "Field polynomial: either --field or --list";
    if (*list == "p1363")
      o.List = TFieldList::P1363;
    else if (*list == "x963")
      o.List = TFieldList::X963;
    else if (*list == "gauss")
      o.List = TFieldList::Gauss;
    else if (*list == "normal")
      o.List = TFieldList::Normal;
    else
      return "Field polynomial list: p1363, x963, gauss or normal";
  }

  // An empty name would otherwise pass for an option not given.
  const std::pair<const char*, const std::optional<std::string>*> outputs[] = {
      {"--append", &o.AppendFile}, {"--pem", &o.PemFile}, {"--der", &o.DerFile},
      {"--json", &o.JsonFile}};
  for (const auto& [option, file] : outputs)
    if (*file && (*file)->empty()) return std::string(option) + ": the file name is empty";

  // An export describes the curve with its last point as generator.
  if ((o.PemFile || o.DerFile || o.JsonFile) && (o.ParamsOnly || o.Points == 0))
    return "--pem, --der and --json need a point: not with --params-only or --points 0";
  // The JSON records the seed, so that the run can be repeated from it.
  if (o.JsonFile && o.Seed && !IsUtf8(*o.Seed))
    return "--seed: the text is not UTF-8, which --json cannot record";

  const std::int32_t n = o.Params.N;
  if (!haveField) {
    TFieldList from = o.List;
    if (from == TFieldList::Default) from = o.Basis == 0 ? TFieldList::P1363 : TFieldList::Normal;
    static constexpr std::array<const char*, 5> ListNames = {"", "p1363", "x963", "gauss", "normal"};
    o.ListName = ListNames[static_cast<std::size_t>(from)];
    if (std::string m = ListPolyText(from, n, o.FieldText); !m.empty()) return m;
  }
  const TFieldPolyError error =
      CheckFieldPoly(o.FieldText, n, o.Basis, o.FieldPoly, BatchMaxFieldDegree);
  if (error != TFieldPolyError::None) return FieldPolyMessage(error, n);
  // Found now rather than after the computation.
  if ((o.PemFile || o.DerFile) && !X962CanDescribe(o.FieldPoly))
    return std::string(o.PemFile ? "--pem: " : "--der: ") + X962FieldRefusal;
  return std::string();
}

std::string UsageText() {
  return
      "Usage: rara-cli [options]\n"
      "Builds the CM parameters, the Weber polynomial modulo 2, a curve of order K*R\n"
      "over GF(2^N) and random points of order R, and prints their reports.\n"
      "\n"
      "  -N, --degree N          field degree, 64 to 571 (64)\n"
      "  -k, --kmax BITS         K max binary size, 2 (3 with --kmod4) to (4*N) div 5 (15)\n"
      "      --kmod4             require K mod 4 = 0 (off)\n"
      "  -L, --bound L           trial division bound, 32767 to 4194303, lowered to\n"
      "                          2^BITS - 1 when larger (32767)\n"
      "  -D, --discriminant D    search after this CM discriminant, 0 to 9999999 (0)\n"
      "  -r, --ratio R           floating-point precision ratio of the Weber polynomial:\n"
      "                          0.75, 1.0, 1.25, 1.5, 1.75, or auto: 1.0, then 1.25,\n"
      "                          1.5, 1.75, 2.0, 2.5 and 3.0 until W is consistent; a\n"
      "                          ratio other than 1.0 is said on standard error (auto)\n"
      "  -b, --basis B           standard or normal (standard)\n"
      "  -f, --field POLY        field polynomial of degree N: hexadecimal digits, or a\n"
      "                          list of decreasing degrees such as [163,7,6,3,0]\n"
      "  -l, --list NAME         built-in field polynomial: p1363, x963, gauss or normal\n"
      "                          (p1363 for the standard basis, normal for the normal basis)\n"
      "  -p, --points K          number of random points, 0 or more (1)\n"
      "      --params-only       stop after the parameters report\n"
      "      --binary            binary strings instead of hexadecimal\n"
      "      --reversed          reversed bit order of field elements\n"
      "      --append FILE       append the parameters page and the curve page to FILE\n"
      "                          as Save records\n"
      "      --seed TEXT         seed the random generator from TEXT instead of the clock;\n"
      "                          the same seed and options give the same output\n"
      "      --checks            after the reports, the proof of the curve order and the\n"
      "                          security verdicts (PASS, FAIL or NOTE with thresholds)\n"
      "      --pem FILE          write the curve with the last point as generator as\n"
      "                          X9.62 explicit EC parameters in PEM (for a trinomial\n"
      "                          or pentanomial field polynomial)\n"
      "      --der FILE          the same in DER\n"
      "      --json FILE         the curve, its checks and how it was built, in JSON\n"
      "      --audit FILE        audit the binary curve in FILE (X9.62 EC parameters in\n"
      "                          PEM or DER, or JSON) instead of building one; exit\n"
      "                          status 0: every claim holds, 1: a claim is false,\n"
      "                          2: the file cannot be read\n"
      "  -q, --quiet             no progress on standard error\n"
      "  -h, --help              this text\n"
      "      --version           the version\n"
      "\n"
      "Output files are checked before the computation starts. Exit status: 0 done,\n"
      "1 the computation or an output failed, 2 an entry or an output was refused.\n";
}

}  // namespace rara::cli
