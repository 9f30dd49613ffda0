// rara-cli end to end: curves whose order PARI/GP confirms in both bases,
// reproducible output under a fixed seed, Save records, and the refusal of
// every bad entry with its message.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_support.h"

namespace rara {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Code = -1;
  std::string Out;
  std::string Err;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A directory of this run's files, removed when the program ends.
struct TScratchDir {
  fs::path Path;
  TScratchDir()
      : Path(fs::temp_directory_path() /
             ("rara_cli_" +
              std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
    fs::create_directories(Path);
  }
  ~TScratchDir() {
    std::error_code ec;
    fs::remove_all(Path, ec);
  }
};

fs::path ScratchDir() {
  static const TScratchDir dir;
  return dir.Path;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

TRun RunCli(const std::vector<std::string>& args) {
  std::string command = Quote(RARA_CLI_PATH);
  for (const std::string& a : args) {
    command += ' ';
    command += Quote(a);
  }
  const fs::path out = ScratchDir() / "out.txt";
  const fs::path err = ScratchDir() / "err.txt";
  command += " >";
  command += Quote(out.string());
  command += " 2>";
  command += Quote(err.string());
  command += " </dev/null";
  TRun run;
  const int status = std::system(command.c_str());
  run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadAll(out);
  run.Err = ReadAll(err);
  return run;
}

std::vector<std::string> Lines(const std::string& text, const std::string& eol = "\n") {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(eol, start)) != std::string::npos;
       start = end + eol.size())
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text does not end with a line end";
  return lines;
}

// The value after "<name> = " on the first line that starts so.
std::string Value(const std::string& out, const std::string& name) {
  for (const std::string& line : Lines(out))
    if (line.rfind(name + " = ", 0) == 0) return line.substr(name.size() + 3);
  ADD_FAILURE() << "no line " << name << " in\n" << out;
  return std::string();
}

std::string NoBlanks(std::string s) {
  std::erase(s, ' ');
  return s;
}

// A field element's hexadecimal text as a gp expression in the generator t:
// coefficient i stands for t^i (standard) or t^(2^i) (normal).
std::string GpElement(const std::string& hexText, bool normal) {
  const std::string hex = NoBlanks(hexText);
  std::string e = "0";
  const int bits = static_cast<int>(hex.size()) * 4;
  for (int i = 0; i < bits; ++i) {
    const char c = hex[hex.size() - 1 - static_cast<std::size_t>(i / 4)];
    const int digit = std::stoi(std::string(1, c), nullptr, 16);
    if ((digit >> (i % 4)) & 1)
      e += normal ? "+t^(2^" + std::to_string(i) + ")" : "+t^" + std::to_string(i);
  }
  return e;
}

// "[163,7,6,3,0]" or a hexadecimal string as a gp polynomial in x.
std::string GpFieldPoly(const std::string& text) {
  std::string p = "0";
  if (text.front() == '[') {
    std::stringstream s(text.substr(1, text.size() - 2));
    for (std::string d; std::getline(s, d, ',');) p += "+x^" + d;
    return p;
  }
  const std::string hex = NoBlanks(text);
  for (std::size_t i = 0; i < hex.size() * 4; ++i)
    if ((std::stoi(std::string(1, hex[hex.size() - 1 - i / 4]), nullptr, 16) >> (i % 4)) & 1)
      p += "+x^" + std::to_string(i);
  return p;
}

void ExpectOrderConfirmedByGp(const std::string& out, bool normal) {
  const std::string field = Value(out, "Field polynomial");
  const std::string script =
      "t = ffgen(Mod(1,2)*(" + GpFieldPoly(field) + "), 't);\n"
      "A = " + GpElement(Value(out, "A"), normal) + ";\n"
      "B = " + GpElement(Value(out, "B"), normal) + ";\n"
      "E = ellinit([1, A, 0, 0, B]);\n"
      "P = [" + GpElement(Value(out, "X"), normal) + ", " + GpElement(Value(out, "Y"), normal) +
      "];\n"
      "K = " + NoBlanks(Value(out, "K")) + "; R = " + NoBlanks(Value(out, "R")) + ";\n"
      "print(ellcard(E) == K*R, \" \", ellisoncurve(E, P), \" \", ellmul(E, P, R) == [0], "
      "\" \", isprime(R), \" \", trace(A) == " + Value(out, "Trace(A)") + ");\n";
  EXPECT_EQ(test::RunGp(script), "1 1 1 1 1\n") << script << "\n" << out;
}

TEST(CliRun, DegreeOneSixtyThreeWithDefaultsInBothBases) {
  RARA_NEED_ORACLE(test::HaveGp(), "gp");
  const TRun standard = RunCli({"-N", "163", "--seed", "standard"});
  ASSERT_EQ(standard.Code, 0) << standard.Err;
  EXPECT_EQ(standard.Err, "");  // no progress without a terminal
  EXPECT_EQ(Value(standard.Out, "Field polynomial"), "[163,7,6,3,0]");
  EXPECT_EQ(Value(standard.Out, "Basis type"), "Standard");
  ExpectOrderConfirmedByGp(standard.Out, false);

  const TRun normal = RunCli({"-N", "163", "-b", "normal", "--seed", "normal"});
  ASSERT_EQ(normal.Code, 0) << normal.Err;
  EXPECT_EQ(Value(normal.Out, "Basis type"), "Normal");
  EXPECT_EQ(Value(normal.Out, "Field polynomial").substr(0, 9), "[163,162,");
  ExpectOrderConfirmedByGp(normal.Out, true);

  const TRun gauss = RunCli({"-N", "163", "-b", "normal", "-l", "gauss", "--seed", "g"});
  ASSERT_EQ(gauss.Code, 0) << gauss.Err;
  EXPECT_NE(Value(gauss.Out, "Field polynomial").front(), '[');
  ExpectOrderConfirmedByGp(gauss.Out, true);
}

TEST(CliRun, SameSeedSameOutputAndPageStructure) {
  const std::vector<std::string> args = {"-N", "131", "-p", "3", "--binary", "--reversed",
                                         "--seed", "reproducible"};
  const TRun a = RunCli(args);
  const TRun b = RunCli(args);
  ASSERT_EQ(a.Code, 0) << a.Err;
  EXPECT_EQ(a.Out, b.Out);
  std::vector<std::string> other = args;
  other.back() = "another";
  EXPECT_NE(RunCli(other).Out, a.Out);

  const std::vector<std::string> lines = Lines(a.Out);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Random point of order R"), 3);
  EXPECT_EQ(lines[2], "Polynomials are in binary representation and displayed with Hi..Lo bit order");

  const TRun params = RunCli({"-N", "131", "--params-only", "--seed", "reproducible"});
  ASSERT_EQ(params.Code, 0) << params.Err;
  EXPECT_EQ(params.Out.find("Field GF(2^131)"), std::string::npos);
  EXPECT_EQ(params.Out.substr(params.Out.size() - 28), "W is irreducible over GF(2)\n");
}

TEST(CliRun, AppendWritesTheTwoPagesAsSaveRecords) {
  const fs::path file = ScratchDir() / "rara.txt";
  fs::remove(file);
  const TRun run = RunCli({"-N", "64", "-p", "2", "--seed", "s", "--append", file.string()});
  ASSERT_EQ(run.Code, 0) << run.Err;
  const std::string saved = ReadAll(file);
  const std::vector<std::string> out = Lines(run.Out);
  const std::vector<std::string> rec = Lines(saved, "\r\n");
  // "", "", header, page 1, "", "", header, page 2; page 1 ends at the curve notes.
  const auto curveStart = std::find(out.begin(), out.end(),
      "Except field polynomial that may be represented with an array of degrees, "
      "polynomials are in hexadecimal representation");
  ASSERT_NE(curveStart, out.end());
  const std::size_t page1 = static_cast<std::size_t>(curveStart - out.begin()) - 1;
  const std::size_t page2 = out.size() - page1;
  ASSERT_EQ(rec.size(), 3 + page1 + 3 + page2);
  EXPECT_EQ(rec[0], "");
  EXPECT_EQ(rec[1], "");
  EXPECT_EQ(rec[2].substr(0, 15), ">>> PARAMETERS ");
  EXPECT_EQ(rec[2].substr(rec[2].size() - 4), " <<<");
  EXPECT_GT(rec[2].size(), 20u);
  for (std::size_t i = 0; i < page1; ++i) EXPECT_EQ(rec[3 + i], out[i]) << i;
  EXPECT_EQ(rec[3 + page1], "");
  EXPECT_EQ(rec[4 + page1], "");
  EXPECT_EQ(rec[5 + page1].substr(0, 10), ">>> CURVE ");
  EXPECT_EQ(rec[5 + page1].substr(rec[5 + page1].size() - 4), " <<<");
  for (std::size_t i = 0; i < page2; ++i) EXPECT_EQ(rec[6 + page1 + i], out[page1 + i]) << i;

  // A second run appends.
  ASSERT_EQ(RunCli({"-N", "64", "--params-only", "--seed", "s", "--append", file.string()}).Code,
            0);
  EXPECT_EQ(ReadAll(file).substr(0, saved.size()), saved);
}

// The precision rule at ratio 1.0 is too small for the discriminant found at
// degree 300: the automatic ratio goes on to 1.25 and says so.
TEST(CliRatio, AutomaticRatioGoesOnUntilWIsConsistent) {
  const TRun automatic = RunCli({"-N", "300", "--params-only", "--seed", "r"});
  ASSERT_EQ(automatic.Code, 0) << automatic.Err;
  EXPECT_EQ(automatic.Err,
            "rara-cli: the Weber polynomial is consistent at precision ratio 1.25 "
            "(inconsistent at 1.0)\n");
  const TRun forced = RunCli({"-N", "300", "--params-only", "--seed", "r", "-r", "1.25"});
  EXPECT_EQ(forced.Err, "");
  EXPECT_EQ(automatic.Out, forced.Out);
  const TRun one = RunCli({"-N", "300", "--params-only", "--seed", "r", "-r", "1.0"});
  EXPECT_EQ(one.Code, 1);
  EXPECT_EQ(one.Err, "rara-cli: Failed computation\n"
                     "An error occurred while computing the Weber polynomial.\n"
                     "You should increase the \"Floating-point Precision Ratio\" and restart "
                     "the computation.\n");
  // Where 1.0 gives a consistent W the run is silent and prints what 1.0 prints.
  const TRun plain = RunCli({"-N", "163", "-p", "2", "--seed", "r"});
  ASSERT_EQ(plain.Code, 0) << plain.Err;
  EXPECT_EQ(plain.Err, "");
  EXPECT_EQ(RunCli({"-N", "163", "-p", "2", "--seed", "r", "-r", "1.0"}).Out, plain.Out);
  EXPECT_EQ(RunCli({"-N", "163", "-p", "2", "--seed", "r", "--ratio=auto"}).Out, plain.Out);
}

// Default options succeed at every field degree. Two runs at a time, each a
// fraction of a second.
TEST(CliRatio, EveryDegreeSucceedsWithDefaultOptions) {
  std::atomic<int> next{64};
  std::mutex mutex;
  std::vector<std::string> failures;
  const auto walk = [&] {
    for (int n; (n = next++) <= 360;) {
      const std::string base = (ScratchDir() / ("walk" + std::to_string(n))).string();
      const std::string command = Quote(RARA_CLI_PATH) + " -N " + std::to_string(n) +
                                  " --params-only --seed walk >" + Quote(base + ".out") + " 2>" +
                                  Quote(base + ".err") + " </dev/null";
      const int status = std::system(command.c_str());
      const std::string out = ReadAll(base + ".out");
      const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                      out.find("\nField degree    = " + std::to_string(n) + "\n") !=
                          std::string::npos;
      if (!ok) {
        const std::lock_guard<std::mutex> lock(mutex);
        failures.push_back("N = " + std::to_string(n) + ": " + ReadAll(base + ".err"));
      }
      fs::remove(base + ".out");
      fs::remove(base + ".err");
    }
  };
  std::thread other(walk);
  walk();
  other.join();
  std::string all;
  for (const std::string& f : failures) all += f + "\n";
  EXPECT_TRUE(failures.empty()) << failures.size() << " degrees failed:\n" << all;
}

TEST(CliOptions, EveryBadEntryIsRefusedWithItsMessage) {
  const std::string kHint = "K Max binary size: Min = 2, Max = (4*Field degree) div 5";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-N", "63"}, "Field degree: Min = 64, Max = 571"},
      {{"--degree=572"}, "Field degree: Min = 64, Max = 571"},
      {{"-N", "1x"}, "Field degree: Min = 64, Max = 571"},
      {{"-N", "571", "-k", "457"}, kHint},
      {{"-N", "100", "-k", "90"}, kHint},
      {{"-k", "1"}, kHint},
      {{"-k", "2", "--kmod4"}, "K Max binary size: Min = 3, Max = (4*Field degree) div 5"},
      {{"-L", "many"}, "Trial division bound: Min = 32767, Max = 4194303"},
      {{"-D", "10000000"}, "CM discriminant: Min = 0, Max = 9999999"},
      {{"-D", "-1"}, "CM discriminant: Min = 0, Max = 9999999"},
      {{"-r", "2"}, "Floating-point Precision Ratio: auto, 0.75, 1.0, 1.25, 1.5 or 1.75"},
      {{"-b", "diagonal"}, "Basis type: standard or normal"},
      {{"-N", "163", "-f", "[163,7,6,3]"}, "Field polynomial should be irreducible"},
      {{"-N", "163", "-f", "[7,163]"}, "Field polynomial: Invalid syntax"},
      {{"-N", "163", "-f", "4000000000000000000000000000000000000000c9"},
       "Field polynomial degree should be equal to 163"},
      {{"-N", "163", "-b", "normal", "-l", "p1363"}, "Field polynomial should be normal"},
      {{"-N", "160", "-l", "x963"}, "Irreducible from ANSI X9.63 list: (None)"},
      {{"-N", "179", "-l", "x963"}, "Irreducible from ANSI X9.63 list: (Same as P1363 list)"},
      {{"-N", "160", "-l", "gauss"}, "Gaussian normal: (None)"},
      {{"-l", "other"}, "Field polynomial list: p1363, x963, gauss or normal"},
      {{"-l", "p1363", "-f", "[64,4,3,1,0]"}, "Field polynomial: either --field or --list"},
      {{"-p", "-1"}, "Number of points: Min = 0"},
      {{"--bogus"}, "unknown option --bogus"},
      {{"-x"}, "unknown option -x"},
      {{"-N"}, "option --degree needs a value"},
      {{"--quiet=yes"}, "option --quiet takes no value"},
      {{"163"}, "unexpected argument 163"},
  };
  for (const auto& [args, message] : cases) {
    const TRun run = RunCli(args);
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    EXPECT_EQ(run.Code, 2) << shown;
    EXPECT_EQ(run.Err, "rara-cli: " + message + "\nTry 'rara-cli --help'.\n") << shown;
    EXPECT_EQ(run.Out, "") << shown;
  }
}

TEST(CliOptions, HelpVersionAndTheCorrectedBound) {
  const TRun help = RunCli({"--help"});
  EXPECT_EQ(help.Code, 0);
  for (const char* option :
       {"-N, --degree", "-k, --kmax", "--kmod4", "-L, --bound", "-D, --discriminant",
        "-r, --ratio", "-b, --basis", "-f, --field", "-l, --list", "-p, --points",
        "--params-only", "--binary", "--reversed", "--append", "--seed", "-q, --quiet",
        "-h, --help", "--version"})
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
  const TRun version = RunCli({"--version"});
  EXPECT_EQ(version.Code, 0);
  EXPECT_EQ(version.Out.rfind("rara-cli ", 0), 0u) << version.Out;

  // The bound is corrected, as the dialog does, instead of refused; the
  // ratio takes its values written either way.
  const TRun bound = RunCli({"-L", "99999999", "-r", "1", "--params-only", "-q", "--seed", "b"});
  EXPECT_EQ(bound.Code, 0) << bound.Err;
  EXPECT_EQ(Value(bound.Out, "Field degree   "), "64");
}

}  // namespace
}  // namespace rara

namespace rara {
namespace {

// Fields beyond the dialogs' range, in both bases and from every list:
// PARI/GP confirms the search (h, N | h, U = K·R with R prime), W against
// polclass, the curve order and the point; openssl reads the PEM export.
TEST(CliRun, DegreesAbove360WithEveryListConfirmedByGp) {
  if (!test::HaveGp()) GTEST_SKIP() << "gp not found";
  const bool haveOpenssl = std::system("command -v openssl >/dev/null 2>&1") == 0;
  const std::vector<std::vector<std::string>> cases = {
      {"-N", "409"},
      {"-N", "431", "-b", "normal"},
      {"-N", "461", "-l", "x963"},
      {"-N", "503", "-b", "normal", "-l", "gauss"},
      {"-N", "571"},
  };
  for (const std::vector<std::string>& c : cases) {
    std::vector<std::string> args = c;
    // X9.62 describes trinomial and pentanomial fields only: no PEM of the
    // Gaussian polynomial's field.
    const bool gauss = std::find(c.begin(), c.end(), "gauss") != c.end();
    const std::string pem = (ScratchDir() / ("big" + c[1] + ".pem")).string();
    args.push_back("--seed");
    args.push_back("big");
    if (!gauss) {
      args.push_back("--pem");
      args.push_back(pem);
    }
    const TRun run = RunCli(args);
    SCOPED_TRACE("N=" + c[1]);
    ASSERT_EQ(run.Code, 0) << run.Err;
    const bool normal = std::find(c.begin(), c.end(), "normal") != c.end();
    ExpectOrderConfirmedByGp(run.Out, normal);
    const std::string d = Value(run.Out, "CM discriminant");
    // W is the reciprocal of polclass(-D, 1) modulo 2 when 3 does not divide D.
    const std::string script =
        "D = " + d + "; N = " + c[1] + "; h = qfbclassno(-4*D);\n"
        "U = " + NoBlanks(Value(run.Out, "U")) + "; K = " + NoBlanks(Value(run.Out, "K")) +
        "; R = " + NoBlanks(Value(run.Out, "R")) + ";\n"
        "W = Mod(1,2)*(" + GpFieldPoly(Value(run.Out, "W")) + ");\n"
        "G = if(D % 3, Mod(1,2)*Pol(Vecrev(Vec(lift(polclass(-D,1)*Mod(1,2))))), W);\n"
        "print(h == " + Value(run.Out, "Class number   ") + ", \" \", h % N == 0, \" \", U == K*R, "
        "\" \", isprime(R), \" \", W == G, \" \", issquarefree(D));\n";
    EXPECT_EQ(test::RunGp(script), "1 1 1 1 1 1\n") << script;
    if (haveOpenssl && !gauss) {
      EXPECT_EQ(std::system(("openssl ecparam -check -noout -in " + Quote(pem) + " >/dev/null 2>&1").c_str()), 0)
          << pem;
    }
  }
}

}  // namespace
}  // namespace rara
