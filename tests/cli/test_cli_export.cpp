// rara-cli --checks, --pem, --der and --json: the checks section comes after
// the reports, the files load in openssl and carry the run's seed and list.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace rara {
namespace {

namespace fs = std::filesystem;

struct TExportRun {
  int Code = -1;
  std::string Out, Err;
};

std::string Slurp(const fs::path& path) { return test::ReadWholeFile(path.string()); }

class CliExport : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rara_cli_export_" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }

  // Arguments are plain words here (no quoting needed).
  TExportRun Run(const std::vector<std::string>& args) const {
    std::string command = RARA_CLI_PATH;
    for (const std::string& a : args) command += " " + a;
    command += " >" + File("out.txt") + " 2>" + File("err.txt") + " </dev/null";
    TExportRun run;
    const int status = std::system(command.c_str());
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Slurp(File("out.txt"));
    run.Err = Slurp(File("err.txt"));
    return run;
  }
  fs::path dir_;
};

TEST_F(CliExport, ChecksFollowTheReportsAndFilesLoad) {
  const TExportRun plain = Run({"-N", "113", "--seed", "ex", "-q"});
  const TExportRun run = Run({"-N", "113", "--seed", "ex", "-q", "--checks", "--pem",
                              File("c.pem"), "--der", File("c.der"), "--json", File("c.json")});
  ASSERT_EQ(run.Code, 0) << run.Err;
  // The reports are unchanged; the section is appended after them.
  ASSERT_EQ(run.Out.compare(0, plain.Out.size(), plain.Out), 0);
  const std::string checks = run.Out.substr(plain.Out.size());
  EXPECT_EQ(checks.rfind("\nChecks\n\nOrder: proven #E = K*R", 0), 0u) << checks;
  for (const char* key : {"PASS  embedding_degree", "mov:", "supersingular:", "anomalous:",
                          "PASS  field_degree: N = 113 is prime", "twist:", "order_size:",
                          "NOTE  cm_discriminant"})
    EXPECT_NE(checks.find(key), std::string::npos) << key;

  const std::string json = Slurp(File("c.json"));
  EXPECT_NE(json.find("\"seed\": \"ex\""), std::string::npos);
  EXPECT_NE(json.find("\"field_list\": \"p1363\""), std::string::npos);
  EXPECT_NE(json.find("\"proven\": true"), std::string::npos);
  RARA_NEED_ORACLE(test::HaveProgram("openssl"), "openssl");
  EXPECT_EQ(std::system(("openssl ecparam -check -noout -in " + File("c.pem") +
                         " >/dev/null 2>&1").c_str()), 0);
  EXPECT_EQ(std::system(("openssl ecparam -check -noout -inform DER -in " + File("c.der") +
                         " >/dev/null 2>&1").c_str()), 0);
}

TEST_F(CliExport, RefusalsAndWriteErrors) {
  const TExportRun noPoint = Run({"--params-only", "--pem", File("x.pem")});
  EXPECT_EQ(noPoint.Code, 2);
  EXPECT_EQ(noPoint.Err,
            "rara-cli: --pem, --der and --json need a point: not with --params-only or "
            "--points 0\nTry 'rara-cli --help'.\n");
  EXPECT_EQ(Run({"-p", "0", "--json", File("x.json")}).Code, 2);
  // A normal-basis field polynomial with more than five terms cannot be written as X9.62.
  const TExportRun gauss = Run({"-N", "163", "-b", "normal", "-l", "gauss", "-q", "--seed", "g",
                                "--der", File("g.der")});
  if (gauss.Code != 0) {
    EXPECT_NE(gauss.Err.find("neither a trinomial nor a pentanomial"), std::string::npos)
        << gauss.Err;
  }
  const TExportRun help = Run({"--help"});
  for (const char* option : {"--checks", "--pem FILE", "--der FILE", "--json FILE"})
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace rara
