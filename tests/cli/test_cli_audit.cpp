// rara-cli --audit: every binary curve openssl names audits clean in DER and
// PEM, a changed order or b exits 1 naming the claim, a cut or garbled file
// exits 2 with the reason, JSON in the curve database's layout and our own
// exports audit clean.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/curve_file.h"
#include "engine/export_x962.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

namespace fs = std::filesystem;

struct TAuditRun {
  int Code = -1;
  std::string Out, Err;
};

std::string Slurp(const fs::path& path) { return test::ReadWholeFile(path.string()); }

std::string Output(const std::string& command) { return test::CommandOutput(command); }

bool HaveOpenssl() { return std::system("openssl version >/dev/null 2>&1") == 0; }

class CliAudit : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rara_cli_audit_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary) << content;
    return File(name);
  }
  TAuditRun Run(const std::string& args) const {
    const std::string command = std::string(RARA_CLI_PATH) + " " + args + " >" + File("out.txt") +
                                " 2>" + File("err.txt") + " </dev/null";
    TAuditRun run;
    const int status = std::system(command.c_str());
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Slurp(File("out.txt"));
    run.Err = Slurp(File("err.txt"));
    return run;
  }
  TAuditRun Audit(const std::string& file) const { return Run("--audit " + file); }
  fs::path dir_;
};

// The names of openssl's curves over binary fields.
std::vector<std::string> BinaryCurveNames() {
  std::vector<std::string> names;
  std::istringstream list(Output("openssl ecparam -list_curves 2>/dev/null"));
  std::string line, last;
  while (std::getline(list, line)) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
      std::size_t from = line.find_first_not_of(' ');
      last = line.substr(from, colon - from);
      while (!last.empty() && last.back() == ' ') last.pop_back();
    }
    if (line.find("binary field") != std::string::npos && !last.empty()) {
      names.push_back(last);
      last.clear();
    }
  }
  return names;
}

TEST_F(CliAudit, EveryOpensslBinaryCurveAuditsClean) {
  if (!HaveOpenssl()) GTEST_SKIP() << "openssl is not installed";
  const std::vector<std::string> names = BinaryCurveNames();
  ASSERT_GE(names.size(), 40u);
  int audited = 0, seeds = 0;
  for (const std::string& name : names) {
    const std::string der = Output("openssl ecparam -name " + name + " -param_enc explicit -outform DER 2>/dev/null");
    if (der.empty()) continue;  // openssl cannot write this one explicitly
    const std::string pem = Output("openssl ecparam -name " + name + " -param_enc explicit 2>/dev/null");
    for (const auto& [file, content] : {std::pair{name + ".der", der}, std::pair{name + ".pem", pem}}) {
      const TAuditRun r = Audit(Write(file, content));
      EXPECT_EQ(r.Code, 0) << file << "\n" << r.Out << r.Err;
      EXPECT_NE(r.Out.find("Point count #E = "), std::string::npos) << file;
      EXPECT_NE(r.Out.find("order x cofactor = #E: yes"), std::string::npos) << file;
      EXPECT_NE(r.Out.find("Every claim of the file holds."), std::string::npos) << file;
      EXPECT_EQ(r.Err, "") << file;
      seeds += r.Out.find("from the seed by the X9.62 method (SHA-1): yes") != std::string::npos;
    }
    ++audited;
  }
  EXPECT_GE(audited, 40);
  // 23 of openssl's curves carry a seed: 18 expand it to b in the polynomial
  // basis, NIST's five in the Gaussian normal basis.
  EXPECT_GE(seeds, 2 * 23) << "every seeded curve should verify";
}

// One octet string or integer of the file changed in its last bit.
std::string FlipLastBit(std::string der, const std::string& encoded) {
  const std::size_t at = der.find(encoded);
  if (at == std::string::npos || der.find(encoded, at + 1) != std::string::npos) return std::string();
  der[at + encoded.size() - 1] ^= 1;
  return der;
}

TEST_F(CliAudit, AChangedOrderOrBExitsOneNamingTheClaim) {
  if (!HaveOpenssl()) GTEST_SKIP() << "openssl is not installed";
  const std::string der = Output("openssl ecparam -name sect233r1 -param_enc explicit -outform DER 2>/dev/null");
  TCurveFile c;
  ReadCurveText(der, c);

  const std::string order = FlipLastBit(der, DerInteger(c.Order));
  ASSERT_FALSE(order.empty());
  for (const auto& [file, content] :
       {std::pair{"order.der", order}, std::pair{"order.pem", PemWrap(order, "EC PARAMETERS")}}) {
    const TAuditRun r = Audit(Write(file, content));
    EXPECT_EQ(r.Code, 1) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("order x cofactor = #E: NO"), std::string::npos) << r.Out;
    EXPECT_NE(r.Err.find("false claim in \"" + File(file) + "\": order x cofactor equals #E"), std::string::npos)
        << r.Err;
  }

  const std::string b = FlipLastBit(der, DerOctetString(FieldOctets(c.B, c.N)));
  ASSERT_FALSE(b.empty());
  const TAuditRun r = Audit(Write("b.der", b));
  EXPECT_EQ(r.Code, 1) << r.Out << r.Err;
  EXPECT_NE(r.Err.find("the generator lies on the curve"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("b follows from the seed"), std::string::npos) << r.Err;
  EXPECT_NE(r.Out.find("generator on the curve: NO"), std::string::npos) << r.Out;

  // A changed seed: the curve itself is sound, only the seed's claim fails.
  const std::string seed = FlipLastBit(der, DerTlv(0x03, std::string(1, '\0') + *c.Seed));
  ASSERT_FALSE(seed.empty());
  const TAuditRun s = Audit(Write("seed.der", seed));
  EXPECT_EQ(s.Code, 1) << s.Out << s.Err;
  EXPECT_EQ(s.Err, "rara-cli: false claim in \"" + File("seed.der") + "\": b follows from the seed\n");
  EXPECT_NE(s.Out.find("b from the seed by the X9.62 method (SHA-1): NO"), std::string::npos) << s.Out;
}

TEST_F(CliAudit, UnreadableFilesExitTwoWithTheReason) {
  if (!HaveOpenssl()) GTEST_SKIP() << "openssl is not installed";
  const std::string der = Output("openssl ecparam -name c2pnb163v1 -param_enc explicit -outform DER 2>/dev/null");
  std::string pem = Output("openssl ecparam -name c2pnb163v1 -param_enc explicit 2>/dev/null");
  pem[pem.find('\n') + 5] = '!';
  const std::pair<std::string, std::string> cases[] = {
      {Write("cut.der", der.substr(0, der.size() / 2)), "length"},
      {Write("garbled.pem", pem), "PEM: line 2: character '!' is not base64"},
      {Write("empty.der", ""), "the file is empty"},
      {Write("text.json", "{\"name\": \"x\""), "JSON: line 1, column 13"},
      {dir_.string(), "Is a directory"},
      {File("missing.pem"), "No such file or directory"},
  };
  for (const auto& [file, reason] : cases) {
    const TAuditRun r = Audit(file);
    EXPECT_EQ(r.Code, 2) << file << "\n" << r.Out << r.Err;
    EXPECT_EQ(r.Out, "") << file;
    const bool missing = file == File("missing.pem") || file == dir_.string();
    EXPECT_NE(r.Err.find(std::string("rara-cli: ") + (missing ? "cannot read \"" : "cannot audit \"") + file + "\": "),
              std::string::npos)
        << r.Err;
    EXPECT_NE(r.Err.find(reason), std::string::npos) << r.Err;
  }
  // The audit is a run of its own.
  const TAuditRun mixed = Run("--audit " + File("cut.der") + " -N 163");
  EXPECT_EQ(mixed.Code, 2);
  EXPECT_NE(mixed.Err.find("--audit takes no construction options"), std::string::npos) << mixed.Err;
}

// The database's layout, written here from openssl's parameters: hex
// strings, {"raw": ..} objects and the polynomial as a list of terms.
std::string StdCurvesJson(const std::string& name, const TCurveFile& c) {
  auto hex = [](const TGF2Poly& e) {
    static constexpr char D[] = "0123456789abcdef";
    std::string s;
    for (std::int32_t i = e.Degree() / 4; i >= 0; --i) {
      int v = 0;
      for (int b = 0; b < 4; ++b) v |= (4 * i + b <= e.Degree() && e.Coef(4 * i + b)) << b;
      s += D[v];
    }
    return "\"0x" + (s.empty() ? std::string("0") : s) + "\"";
  };
  auto dec = [](const TInteger& a) {
    std::string s;
    IStr(a, 16, 0, false, false, s);
    return "\"0x" + s + "\"";
  };
  std::string poly;
  for (std::int32_t i = c.N; i >= 0; --i)
    if (c.FieldPoly.Coef(i)) poly += (poly.empty() ? "" : ", ") + std::string("{\"power\": ") + std::to_string(i) + ", \"coeff\": \"0x01\"}";
  std::string seed;
  if (c.Seed) {
    static constexpr char D[] = "0123456789ABCDEF";
    for (const char ch : *c.Seed) {
      seed += D[static_cast<std::uint8_t>(ch) >> 4];
      seed += D[static_cast<std::uint8_t>(ch) & 15];
    }
  }
  return "{\n  \"name\": \"" + name + "\", \"category\": \"test\", \"desc\": \"\",\n"
         "  \"field\": {\"type\": \"Binary\", \"poly\": [" + poly + "], \"bits\": " + std::to_string(c.N) +
         ", \"degree\": " + std::to_string(c.N) + "},\n  \"form\": \"Weierstrass\",\n"
         "  \"params\": {\"a\": {\"raw\": " + hex(c.A) + "}, \"b\": {\"raw\": " + hex(c.B) + "}},\n"
         "  \"generator\": {\"x\": {\"raw\": " + hex(c.Gx) + "}, \"y\": {\"raw\": " + hex(c.Gy) + "}},\n"
         "  \"order\": " + dec(c.Order) + ", \"cofactor\": " + dec(c.Cofactor) +
         (seed.empty() ? "" : ",\n  \"seed\": \"" + seed + "\"") + ",\n"
         "  \"characteristics\": {\"embedding_degree\": null}\n}\n";
}

TEST_F(CliAudit, JsonInTheDatabaseLayoutAuditsClean) {
  if (!HaveOpenssl()) GTEST_SKIP() << "openssl is not installed";
  for (const std::string name : {"sect283k1", "c2pnb163v1"}) {
    TCurveFile c;
    ReadCurveText(Output("openssl ecparam -name " + name + " -param_enc explicit -outform DER 2>/dev/null"), c);
    const TAuditRun r = Audit(Write(name + ".json", StdCurvesJson(name, c)));
    EXPECT_EQ(r.Code, 0) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("File format: JSON, name " + name), std::string::npos) << r.Out;
    EXPECT_EQ(r.Out.find("from the seed by the X9.62 method (SHA-1): yes") != std::string::npos,
              c.Seed.has_value()) << r.Out;
  }
}

TEST_F(CliAudit, OurOwnExportsAuditClean) {
  for (const char* basis : {"standard", "normal"}) {
    const std::string base = std::string("own_") + basis;
    const TAuditRun made = Run(std::string("-N 131 -q --seed audit --basis ") + basis + " --pem " +
                               File(base + ".pem") + " --der " + File(base + ".der") + " --json " +
                               File(base + ".json"));
    ASSERT_EQ(made.Code, 0) << made.Err;
    for (const char* ext : {".pem", ".der", ".json"}) {
      const TAuditRun r = Audit(File(base + ext));
      EXPECT_EQ(r.Code, 0) << base << ext << "\n" << r.Out << r.Err;
      EXPECT_NE(r.Out.find("PASS  point_count"), std::string::npos) << r.Out;
    }
  }
}

}  // namespace
}  // namespace rara
