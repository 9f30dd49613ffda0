// rara-cli's outputs: a standard output that fails or loses its reader ends
// the run with the reason, and the output files are checked before any
// computation, so that nothing is overwritten or reported as done in vain.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace rara {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) { return test::ReadWholeFile(path.string()); }

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

class CliOutput : public testing::Test {
 protected:
  struct TRun {
    int Code = -1;
    std::string Out, Err;
  };

  void SetUp() override {
    static int serial = 0;
    dir_ = fs::temp_directory_path() / ("rara_cli_output_" + std::to_string(::getpid()) + "_" +
                                        std::to_string(++serial));
    fs::create_directories(dir_);
    fs::permissions(dir_, fs::perms(0755));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }

  // The command line of rara-cli with the arguments quoted.
  static std::string Cli(const std::vector<std::string>& args) {
    std::string command = Quote(RARA_CLI_PATH);
    for (const std::string& a : args) {
      command += ' ';
      command += Quote(a);
    }
    return command;
  }

  // Runs the command under sh with standard output to stdoutTo.
  TRun RunLine(const std::string& command, const std::string& stdoutTo) const {
    const std::string out = stdoutTo.empty() ? File("out.txt") : stdoutTo;
    const std::string line =
        command + " >" + Quote(out) + " 2>" + Quote(File("err.txt")) + " </dev/null";
    TRun run;
    run.Code = ExitCode(std::system(line.c_str()));
    if (stdoutTo.empty()) run.Out = Slurp(out);
    run.Err = Slurp(File("err.txt"));
    return run;
  }
  TRun Run(const std::vector<std::string>& args, const std::string& stdoutTo = "") const {
    return RunLine(Cli(args), stdoutTo);
  }

  // A refusal before the computation: exit 2, no report, the message.
  void ExpectRefused(const std::vector<std::string>& args, const std::string& message,
                     const std::string& prefix = "") const {
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    const TRun run = RunLine(prefix + Cli(args), "");
    EXPECT_EQ(run.Code, 2) << shown << "\n" << run.Err;
    EXPECT_EQ(run.Out, "") << shown;
    EXPECT_NE(run.Err.find(message), std::string::npos) << shown << "\n" << run.Err;
  }

  fs::path dir_;
};

const std::string NoSpace = "rara-cli: cannot write standard output: No space left on device\n";
const std::string BrokenPipe = "rara-cli: cannot write standard output: Broken pipe\n";

TEST_F(CliOutput, FullStandardOutputFailsTheRun) {
  const std::string records = File("records.txt");
  const TRun run = Run({"-N", "64", "-p", "2", "--seed", "s", "--append", records}, "/dev/full");
  EXPECT_EQ(run.Code, 1);
  EXPECT_EQ(run.Err, NoSpace);
  // The run stopped at the first report: no record says it was shown.
  EXPECT_FALSE(fs::exists(records));
  for (const char* option : {"--help", "--version"}) {
    const TRun info = Run(std::vector<std::string>{option}, "/dev/full");
    EXPECT_EQ(info.Code, 1) << option;
    EXPECT_EQ(info.Err, NoSpace) << option;
  }
  // A standard output that is not open at all is refused before any work.
  const std::string closed = Cli({"-N", "64", "--seed", "s", "--append", records}) + " >&- 2>" +
                             Quote(File("err.txt"));
  EXPECT_EQ(ExitCode(std::system(closed.c_str())), 1);
  EXPECT_EQ(Slurp(File("err.txt")), "rara-cli: cannot write standard output: Bad file descriptor\n");
  EXPECT_FALSE(fs::exists(records));
}

TEST_F(CliOutput, ClosedPipeStopsTheRun) {
  // With SIGPIPE ignored, a write into a pipe without reader fails; the run
  // must end there instead of drawing all the points (the timeout only
  // bounds a faulty program).
  const std::string rc = File("rc.txt"), err = File("err.txt");
  const std::string ignorePipe = "trap '' PIPE; ";
  const auto piped = [&](const std::string& setup, const std::vector<std::string>& args,
                         const std::string& reader) {
    const std::string inner = setup + "exec " + Cli(args) + " 2>" + Quote(err);
    const std::string line = "(timeout 120 sh -c " + Quote(inner) + "; echo $? >" + Quote(rc) +
                             ") | " + reader;
    EXPECT_NE(std::system(line.c_str()), -1);
    return std::make_pair(Slurp(rc), Slurp(err));
  };
  const auto [code, message] =
      piped(ignorePipe, {"-N", "64", "-p", "100000000", "--seed", "s"}, "head -c 1 >/dev/null");
  EXPECT_EQ(code, "1\n");
  EXPECT_EQ(message, BrokenPipe);

  // A reader gone before anything was written stops the computation itself:
  // this W needs a second precision ratio, whose note never comes.
  const std::vector<std::string> longRun = {"-N", "300", "-D", "3000000", "--params-only",
                                            "--seed", "s"};
  const auto [earlyCode, early] = piped(ignorePipe, longRun, "true");
  EXPECT_EQ(earlyCode, "1\n");
  EXPECT_EQ(early, BrokenPipe);
  // With SIGPIPE at its default the program ends by that signal, silently,
  // as a pipeline expects.
  const auto [quietCode, quiet] = piped("", longRun, "true");
  EXPECT_EQ(quietCode, std::to_string(128 + SIGPIPE) + "\n");
  EXPECT_EQ(quiet, "");
}

TEST_F(CliOutput, OneFileNamedTwiceIsRefused) {
  std::ofstream(File("same.txt")) << "keep";
  std::ofstream(File("real.txt")) << "keep";
  fs::create_directory(dir_ / "sub");
  fs::create_symlink(File("real.txt"), File("link.txt"));
  std::ofstream(File("a.pem")) << "keep";
  fs::create_hard_link(File("a.pem"), File("b.der"));
  const std::string same = "are the same file";
  ExpectRefused({"--append", File("same.txt"), "--json", File("same.txt")}, same);
  ExpectRefused({"--pem", File("x.pem"), "--der", File("sub/../x.pem")}, same);
  ExpectRefused({"--append", File("link.txt"), "--json", File("real.txt")}, same);
  ExpectRefused({"--pem", File("a.pem"), "--der", File("b.der")}, same);
  // The file standard output goes to is named too.
  const TRun toOut = Run({"--json", File("shown.txt")}, File("shown.txt"));
  EXPECT_EQ(toOut.Code, 2);
  EXPECT_NE(toOut.Err.find("standard output goes to that file"), std::string::npos) << toOut.Err;
  for (const char* name : {"same.txt", "real.txt", "a.pem"}) EXPECT_EQ(Slurp(File(name)), "keep");
  EXPECT_FALSE(fs::exists(File("x.pem")));
}

TEST_F(CliOutput, EmptyFileNameIsRefused) {
  ExpectRefused({"--pem", ""}, "--pem: the file name is empty");
  ExpectRefused({"--append="}, "--append: the file name is empty");
  ExpectRefused({"--json", "", "--pem", File("c.pem")}, "--json: the file name is empty");
}

TEST_F(CliOutput, MissingFolderIsRefusedBeforeAnyOutput) {
  std::ofstream(File("plain.txt")) << "x";
  // The records would have been appended before the export failed.
  ExpectRefused({"--append", File("rec.txt"), "--pem", File("none/c.pem")},
                "\": the folder \"" + File("none") + "\" does not exist");
  ExpectRefused({"--json", File("plain.txt/c.json")}, "does not exist");
  EXPECT_FALSE(fs::exists(File("rec.txt")));
}

TEST_F(CliOutput, UnwritableTargetIsRefused) {
  ExpectRefused({"--json", dir_.string()}, "is a folder");
  std::ofstream(File("locked.txt")) << "keep";
  fs::create_directory(dir_ / "locked");
  // Permissions bind only an ordinary user: root drops to nobody to see them.
  std::string prefix;
  if (::geteuid() == 0) {
    prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    // The test's private temporary folders are root's alone: let nobody
    // reach the files, so that only their own modes stop it.
    for (fs::path p = dir_; p.has_relative_path() && p != p.root_path(); p = p.parent_path()) {
      if (p == fs::temp_directory_path().parent_path()) break;
      fs::permissions(p, fs::perms::others_exec, fs::perm_options::add);
    }
    if (RunLine(prefix + Cli({"--version"}), "/dev/null").Code != 0)
      GTEST_SKIP() << "cannot run rara-cli as another user";
  } else {
    fs::permissions(File("locked.txt"), fs::perms(0444));
    fs::permissions(dir_ / "locked", fs::perms(0555));
  }
  ExpectRefused({"--append", File("locked.txt")}, "\": Permission denied", prefix);
  ExpectRefused({"--pem", File("locked/c.pem")},
                "cannot create a file in \"" + File("locked") + "\": Permission denied", prefix);
  ExpectRefused({"--append", File("locked/rec.txt")}, "cannot create a file in", prefix);
  EXPECT_EQ(Slurp(File("locked.txt")), "keep");
  fs::permissions(dir_ / "locked", fs::perms(0755));
}

TEST_F(CliOutput, ExportThatCannotDescribeTheFieldIsRefusedFirst) {
  // The Gaussian normal polynomial of degree 163 has more than five terms.
  ExpectRefused({"-N", "163", "-b", "normal", "-l", "gauss", "--append", File("rec.txt"), "--der",
                 File("g.der")},
                "--der: The field polynomial is neither a trinomial nor a pentanomial");
  EXPECT_FALSE(fs::exists(File("rec.txt")));
  // The JSON carries any field; a seed that JSON cannot record is refused.
  ExpectRefused({"--seed", "bad \xff\xfe", "--json", File("c.json")},
                "--seed: the text is not UTF-8");
}

}  // namespace
}  // namespace rara
#include "tests/support/test_support.h"
