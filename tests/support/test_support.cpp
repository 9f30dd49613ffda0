// Shared test helpers: soak factor, seeding, PARI/GP runner.
#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "integers/random.h"

namespace rara::test {

int PollsBeforeAbort = 0;

void AbortAtPoll() {
  break_detail::Tick.store(true);
  if (--PollsBeforeAbort == 0) RuvRequestAbort();
}

TPrivateTempDir::TPrivateTempDir() {
  const std::string base = std::filesystem::temp_directory_path().string();
  std::string pattern = base + "/rara_test_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return;  // keep the shared one
  path_ = pattern;
  setenv("TMPDIR", path_.c_str(), 1);
}

TPrivateTempDir::~TPrivateTempDir() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

int Iterations(int base) {
  const char* s = std::getenv("RARA_SOAK");
  long factor = s ? std::strtol(s, nullptr, 10) : 1;
  if (factor < 1) factor = 1;
  return static_cast<int>(base * factor);
}

std::string SeedRandom(std::uint64_t seed) {
  unsigned char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(seed >> (8 * i));
  RuvSeed(bytes, 8);
  return "seed=" + std::to_string(seed);
}

bool HaveGp() { return HaveProgram("gp"); }

bool HaveProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool OraclesRequired() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != '\0';
}

std::string RunGp(const std::string& script) {
  char path[] = "/tmp/rara_gp_XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("RunGp: cannot create a temporary file");
  {
    std::ofstream out(path);
    out << "default(parisizemax, 2*10^9);\n" << script << "\n";
  }
  close(fd);
  std::string cmd = std::string("gp -q -f < ") + path;
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) {
    std::remove(path);
    throw std::runtime_error("RunGp: cannot start gp");
  }
  std::ostringstream result;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) result.write(buf, static_cast<std::streamsize>(n));
  int rc = pclose(pipe);
  std::remove(path);
  if (rc != 0) throw std::runtime_error("RunGp: gp failed:\n" + result.str());
  return result.str();
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  pclose(p);
  return out;
}

}  // namespace rara::test
