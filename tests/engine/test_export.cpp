// Export of constructed curves: openssl must accept the ECParameters (and
// reject a wrong order), sign and verify with a key on them; the JSON must
// parse with the database schema's structure and agree with PARI/GP.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "engine/construction.h"
#include "engine/export_file.h"
#include "engine/export_json.h"
#include "engine/export_x962.h"
#include "engine/trust.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_text.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

namespace fs = std::filesystem;
using namespace rara::test;

// Exit status of a shell command with its output thrown away.
int Shell(const std::string& command) {
  const int rc = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string ReadFile(const fs::path& p) { return test::ReadWholeFile(p.string()); }

class ExportTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rara_export_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// A curve of degree n over the field polynomial p in the basis, with a point.
void Build(TECGF2Data& rec, int n, const TGF2Poly& p, std::uint8_t basis) {
  SeedRandom(1000 + n + basis);
  rec.SeedFromClock = false;
  rec.Clear();
  std::int32_t progress = 0;
  rec.ComputeParams(n, 0, 15, 32767, false, progress);
  ASSERT_GT(rec.ClassNumber, 0);
  rec.ComputeWeberPoly(progress, 1.0L);
  rec.SetField(p, basis);
  rec.PickRoot();
  rec.MakeCurve();
  rec.NewPoint();
  ASSERT_FALSE(rec.Point.IsZero());
}

struct TCase {
  int N;
  std::uint8_t Basis;
  bool Pentanomial;  // else trinomial
};

// A trinomial or pentanomial of degree n, irreducible, from the built-in lists
// where one has that shape, else found by search.
void ShapedPoly(TGF2Poly& p, int n, bool pentanomial, std::uint8_t basis) {
  if (basis == btNormal) {
    GetNormal(p, n);  // x^N + x^(N-1) + x^a + x^b + 1: a pentanomial
    return;
  }
  TGF2N f;
  if (!pentanomial) {
    for (int k = 1; k < n; ++k) {
      GF2SetDegs(p, {n, k, 0});
      try {
        f.SetField(p, btStandard, true);
        return;
      } catch (const ERuv&) {
      }
    }
  }
  for (int a = 3; a < n; ++a)
    for (int b = 2; b < a; ++b)
      for (int c = 1; c < b; ++c) {
        GF2SetDegs(p, {n, a, b, c, 0});
        try {
          f.SetField(p, btStandard, true);
          return;
        } catch (const ERuv&) {
        }
      }
}

TEST_F(ExportTest, OpensslAcceptsEveryShapeAndRejectsAWrongOrder) {
  RARA_NEED_ORACLE(HaveProgram("openssl"), "openssl");
  const TCase cases[] = {{64, btStandard, true},  {113, btStandard, false}, {163, btStandard, true},
                         {163, btNormal, true},   {233, btStandard, false}, {233, btNormal, true},
                         {283, btStandard, true},  {360, btStandard, true},  {360, btNormal, true}};
  TECGF2Data rec;
  TGF2Poly p;
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "N=" << c.N << " basis=" << int(c.Basis)
                                    << " pentanomial=" << c.Pentanomial);
    ShapedPoly(p, c.N, c.Pentanomial, c.Basis);
    SCOPED_TRACE(GF2DegsToStr(p, false));
    Build(rec, c.N, p, c.Basis);
    const std::string pem = File("c.pem"), der = File("c.der");
    ExportCurve(rec, pem, {});
    ExportCurve(rec, der, {});
    EXPECT_EQ(Shell("openssl ecparam -in " + pem + " -check -noout"), 0) << ReadFile(pem);
    EXPECT_EQ(Shell("openssl ecparam -inform DER -in " + der + " -check -noout"), 0);
    // The PEM is the DER in base 64.
    EXPECT_EQ(Shell("openssl ecparam -in " + pem + " -outform DER -out " + File("back.der")), 0);
    EXPECT_EQ(ReadFile(File("back.der")), ReadFile(der));

    // R + 2 in place of R: the generator no longer has that order.
    TInteger good(rec.R);
    IAdd(rec.R, 2);
    WriteFileSafely(File("bad.der"), ECParametersDer(rec));
    IAssign(rec.R, good);
    EXPECT_NE(Shell("openssl ecparam -inform DER -in " + File("bad.der") + " -check -noout"), 0);
  }
}

TEST_F(ExportTest, KeyOnTheCurveSignsAndVerifies) {
  RARA_NEED_ORACLE(HaveProgram("openssl"), "openssl");
  TECGF2Data rec;
  TGF2Poly p;
  GetNormal(p, 163);
  Build(rec, 163, p, btNormal);
  const std::string params = File("p.pem"), key = File("k.pem"), pub = File("pub.pem"),
                    msg = File("m.txt"), sig = File("m.sig");
  ExportCurve(rec, params, {});
  WriteFileSafely(msg, "a message\n");
  ASSERT_EQ(Shell("openssl genpkey -paramfile " + params + " -out " + key), 0);
  ASSERT_EQ(Shell("openssl pkey -in " + key + " -pubout -out " + pub), 0);
  ASSERT_EQ(Shell("openssl dgst -sha256 -sign " + key + " -out " + sig + " " + msg), 0);
  EXPECT_EQ(Shell("openssl dgst -sha256 -verify " + pub + " -signature " + sig + " " + msg), 0);
  WriteFileSafely(msg, "another message\n");
  EXPECT_NE(Shell("openssl dgst -sha256 -verify " + pub + " -signature " + sig + " " + msg), 0);
}

TEST_F(ExportTest, RefusalsAndFormats) {
  TECGF2Data rec;
  TGF2Poly p;
  GetP1363Irreducible(p, 64);
  Build(rec, 64, p, btStandard);
  // The same curve over a field polynomial of seven terms cannot be described.
  TGF2Poly seven;
  GF2SetDegs(seven, {64, 4, 3, 1, 0});  // pentanomial: accepted
  EXPECT_NO_THROW(ECParametersDer(rec));
  TECGF2Data other;
  GF2SetDegs(seven, {64, 33, 24, 23, 9, 2, 0});
  TGF2N f;
  bool irreducible = true;
  try {
    f.SetField(seven, btStandard, true);
  } catch (const ERuv&) {
    irreducible = false;
  }
  if (irreducible) {
    Build(other, 64, seven, btStandard);
    EXPECT_EQ(MessageOf<ERuv>([&] { ECParametersDer(other); }),
              "The field polynomial is neither a trinomial nor a pentanomial: "
              "X9.62 parameters cannot describe this field");
  }
  rec.Point.SetZero();
  EXPECT_EQ(MessageOf<ERuv>([&] { ECParametersPem(rec); }),
            "There is no point of order R to export: draw a point first");

  TExportFormat fmt;
  EXPECT_TRUE(ExportFormatOf("a/b.PEM", fmt));
  EXPECT_EQ(fmt, TExportFormat::Pem);
  EXPECT_TRUE(ExportFormatOf("x.der", fmt));
  EXPECT_EQ(fmt, TExportFormat::Der);
  EXPECT_TRUE(ExportFormatOf("x.json", fmt));
  EXPECT_EQ(fmt, TExportFormat::Json);
  EXPECT_FALSE(ExportFormatOf("x.txt", fmt));
  EXPECT_FALSE(ExportFormatOf("pem", fmt));

  // A failed write leaves no file and no temporary behind.
  const std::string missing = File("no/such/dir/c.pem");
  EXPECT_EQ(MessageOf<ERuv>([&] { WriteFileSafely(missing, "x"); }),
            "Cannot write \"" + missing + "\": No such file or directory");
  WriteFileSafely(File("keep.txt"), "first");
  WriteFileSafely(File("keep.txt"), "second");
  EXPECT_EQ(ReadFile(File("keep.txt")), "second");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(DerEncoding, IntegersAndLengths) {
  EXPECT_EQ(DerInteger(std::int64_t{0}), std::string("\x02\x01\x00", 3));
  EXPECT_EQ(DerInteger(std::int64_t{127}), std::string("\x02\x01\x7f", 3));
  EXPECT_EQ(DerInteger(std::int64_t{128}), std::string("\x02\x02\x00\x80", 4));
  EXPECT_EQ(DerInteger(std::int64_t{256}), std::string("\x02\x02\x01\x00", 4));
  EXPECT_EQ(DerLength(127), std::string("\x7f"));
  EXPECT_EQ(DerLength(128), std::string("\x81\x80"));
  EXPECT_EQ(DerLength(300), std::string("\x82\x01\x2c"));
  TGF2Poly a;
  GF2SetDegs(a, {8, 0});
  EXPECT_EQ(FieldOctets(a, 9), std::string("\x01\x01", 2));
  EXPECT_EQ(FieldOctets(a, 16), std::string("\x01\x01", 2));
  EXPECT_EQ(PemWrap("ab", "X"), "-----BEGIN X-----\nYWI=\n-----END X-----\n");
}

// Python checks the structure (with jsonschema when it is installed) and
// prints the numbers for gp.
const char* JsonCheckScript = R"PY(
import json, sys
c = json.load(open(sys.argv[1]))
raw = {"type": "object", "required": ["raw"], "properties": {"raw": {"type": "string", "pattern": "^0x[0-9a-f]+$"}}}
hexs = {"type": "string", "pattern": "^-?0x[0-9a-f]+$"}
schema = {
  "type": "object",
  "required": ["name", "category", "desc", "field", "form", "params", "generator", "order", "cofactor", "characteristics", "rara"],
  "properties": {
    "name": {"type": "string"}, "category": {"type": "string"}, "desc": {"type": "string"},
    "field": {"type": "object", "required": ["type", "base", "degree", "bits", "poly", "basis"],
      "properties": {"type": {"const": "Binary"}, "base": {"const": "0x02"}, "degree": {"type": "integer"},
        "bits": {"type": "integer"}, "basis": {"enum": ["poly", "normal"]},
        "poly": {"type": "array", "items": {"type": "object", "required": ["power", "coeff"],
          "properties": {"power": {"type": "integer"}, "coeff": {"const": "0x01"}}}}}},
    "form": {"const": "Weierstrass"},
    "params": {"type": "object", "required": ["a", "b"], "properties": {"a": raw, "b": raw}},
    "generator": {"type": "object", "required": ["x", "y"], "properties": {"x": raw, "y": raw}},
    "order": hexs, "cofactor": hexs,
    "characteristics": {"type": "object",
      "required": ["trace_of_frobenius", "embedding_degree", "anomalous", "supersingular", "cm_disc", "conductor"],
      "properties": {"trace_of_frobenius": hexs, "anomalous": {"type": "boolean"},
        "supersingular": {"type": "boolean"}, "cm_disc": hexs}},
    "rara": {"type": "object", "required": ["D", "h", "K_factors", "W_mod_2", "field_list", "seed", "verdicts", "order_proof"]}
  }
}
try:
  import jsonschema
  jsonschema.validate(c, schema)
  print("validated")
except ImportError:
  print("structure-only")
  for k in schema["required"]:
    assert k in c, k
f = c["field"]
print(f["degree"], 1 if f["basis"] == "normal" else 0)
print(" ".join(str(t["power"]) for t in f["poly"]))
for v in (c["params"]["a"], c["params"]["b"], c["generator"]["x"], c["generator"]["y"]):
  print(int(v["raw"], 16))
print(int(c["order"], 16), int(c["cofactor"], 16))
)PY";

TEST_F(ExportTest, JsonHasTheSchemaAndGpAgrees) {
  RARA_NEED_ORACLE(HaveProgram("python3"), "python3");
  RARA_NEED_ORACLE(HaveGp(), "gp");
  TECGF2Data rec;
  TGF2Poly p;
  for (std::uint8_t basis : {btStandard, btNormal}) {
    SCOPED_TRACE(int(basis));
    if (basis == btNormal) GetNormal(p, 113); else GetP1363Irreducible(p, 113);
    Build(rec, 113, p, basis);
    ExportCurve(rec, File("c.json"), {"", "p1363", std::string("seed \"x\"")});
    WriteFileSafely(File("check.py"), JsonCheckScript);
    const std::string out = File("out.txt");
    ASSERT_EQ(Shell("python3 " + File("check.py") + " " + File("c.json") + " > " + out + " 2>&1"
                    " || (cat " + out + " >&2; false)"), 0) << ReadFile(out);
    std::istringstream lines(ReadFile(out));
    std::string how, line;
    std::getline(lines, how);
    EXPECT_TRUE(how == "validated" || !OraclesRequired()) << "python3-jsonschema is missing";
    int n = 0, normal = 0;
    lines >> n >> normal;
    std::getline(lines, line);
    std::getline(lines, line);
    std::string powers = line, a, b, x, y, order, cofactor;
    lines >> a >> b >> x >> y >> order >> cofactor;
    EXPECT_EQ(n, 113);
    EXPECT_EQ(normal, basis);
    // In the normal basis, bit i stands for t^(2^i); in the polynomial basis for t^i.
    std::string gp = "P = 0; foreach([" ;
    for (char& ch : powers) if (ch == ' ') ch = ',';
    gp += powers + "], e, P += x^e); P = Mod(P, 2); t = ffgen(P, 't);\n"
          "el(v) = my(s = 0, i = 0); while(v, if(v % 2, s += " +
          std::string(normal ? "t^(2^i)" : "t^i") + "); v \\= 2; i++); s;\n"
          "E = ellinit([1, el(" + a + "), 0, 0, el(" + b + ")]);\n"
          "G = [el(" + x + "), el(" + y + ")];\n"
          "print(ellcard(E) == " + order + " * " + cofactor + ");\n"
          "print(ellisoncurve(E, G));\n"
          "print(ellorder(E, G, " + order + " * " + cofactor + ") == " + order + ");\n";
    EXPECT_EQ(RunGp(gp), "1\n1\n1\n") << gp;
    const std::string json = ReadFile(File("c.json"));
    EXPECT_NE(json.find("\"seed\": \"seed \\\"x\\\"\""), std::string::npos);
    EXPECT_NE(json.find("\"field_list\": \"p1363\""), std::string::npos);
  }
}

// Well-formed UTF-8 as Python's strict decoder sees it: every pair of lead
// and second byte, with the boundary values of the bytes after them; a seed
// of malformed bytes still gives JSON that a strict parser reads.
TEST_F(ExportTest, JsonTextIsUtf8EvenFromMalformedBytes) {
  RARA_NEED_ORACLE(HaveProgram("python3"), "python3");
  static constexpr unsigned char Tails[] = {0x7F, 0x80, 0xBF, 0xC0};
  std::vector<std::string> samples;
  for (int lead = 0; lead < 256; ++lead) {
    const std::string l(1, static_cast<char>(lead));
    samples.push_back(l);
    for (int second = 0; second < 256; ++second) {
      const std::string ls = l + static_cast<char>(second);
      samples.push_back(ls);
      // Longer samples only where the lead byte asks for more bytes.
      for (const unsigned char third : Tails) {
        if (lead < 0xC0) break;
        samples.push_back(ls + static_cast<char>(third));
        for (const unsigned char fourth : Tails)
          if (lead >= 0xE0) samples.push_back(ls + static_cast<char>(third) + static_cast<char>(fourth));
      }
    }
  }
  std::string hexLines;
  static constexpr char Hex[] = "0123456789abcdef";
  for (const std::string& s : samples) {
    for (const char c : s) {
      hexLines += Hex[static_cast<unsigned char>(c) >> 4];
      hexLines += Hex[static_cast<unsigned char>(c) & 15];
    }
    hexLines += '\n';
  }
  WriteFileSafely(File("samples.txt"), hexLines);
  WriteFileSafely(File("utf8.py"),
                  "import sys\n"
                  "for line in open(sys.argv[1]):\n"
                  "  try:\n"
                  "    bytes.fromhex(line.strip()).decode('utf-8'); print(1)\n"
                  "  except UnicodeDecodeError:\n"
                  "    print(0)\n");
  ASSERT_EQ(std::system(("python3 " + File("utf8.py") + " " + File("samples.txt") + " > " +
                          File("verdicts.txt")).c_str()), 0);
  std::istringstream verdicts(ReadFile(File("verdicts.txt")));
  for (const std::string& s : samples) {
    int expected = -1;
    verdicts >> expected;
    ASSERT_NE(expected, -1) << "python3 gave too few verdicts";
    if (IsUtf8(s) != (expected == 1)) {
      std::string bytes;
      for (const char c : s) bytes += std::to_string(static_cast<unsigned char>(c)) + " ";
      FAIL() << "bytes " << bytes << "python3 says " << expected;
    }
  }

  TECGF2Data rec;
  TGF2Poly p;
  GetP1363Irreducible(p, 64);
  Build(rec, 64, p, btStandard);
  const std::string seed = "a\xff\"\xc3\xa9\x01\xed\xa0\x80z";
  ExportCurve(rec, File("c.json"), {"", "p1363", seed});
  const std::string out = File("seed.txt");
  ASSERT_EQ(std::system(("python3 -c 'import json, sys; print(ascii(json.load(open(sys.argv[1], "
                          "encoding=\"utf-8\"))[\"rara\"][\"seed\"]))' " + File("c.json") +
                          " > " + out).c_str()),
            0)
      << ReadFile(File("c.json"));
  EXPECT_EQ(ReadFile(out), "'a\\ufffd\"\\xe9\\x01\\ufffd\\ufffd\\ufffdz'\n");
}

}  // namespace
}  // namespace rara
