// Replays the committed inputs of one harness without libFuzzer, so that any
// compiler can check them: fuzz_replay HARNESS DIR... runs every file in the
// folders (its seed corpus and its regression cases) through the harness.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "integers/runtime.h"
#include "tests/fuzz/fuzz_support.h"

#define RARA_FUZZ_HARNESS(name) RARA_FUZZ_ENTRY(name);
#include "fuzz_harnesses.inc"
#undef RARA_FUZZ_HARNESS

namespace {

using TEntry = int (*)(const std::uint8_t*, std::size_t);

struct THarness {
  const char* Name;
  TEntry Entry;
};

const THarness Harnesses[] = {
#define RARA_FUZZ_HARNESS(name) {#name, RaraFuzz_##name},
#include "fuzz_harnesses.inc"
#undef RARA_FUZZ_HARNESS
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fuzz_replay HARNESS DIR...\n");
    return 2;
  }
  const std::string name = argv[1];
  const auto h = std::find_if(std::begin(Harnesses), std::end(Harnesses),
                              [&](const THarness& x) { return name == x.Name; });
  if (h == std::end(Harnesses)) {
    std::fprintf(stderr, "fuzz_replay: no harness %s\n", name.c_str());
    return 2;
  }
  rara::TRuvRuntime runtime;
  rara::fuzz::EnsureRuntime();
  std::vector<std::filesystem::path> files;
  for (int i = 2; i < argc; ++i) {
    if (!std::filesystem::is_directory(argv[i])) continue;  // a harness without regressions yet
    for (const auto& e : std::filesystem::directory_iterator(argv[i]))
      if (e.is_regular_file()) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    rara::fuzz::SetReplayName(f.string());
    try {
      h->Entry(bytes.data(), bytes.size());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "input %s\nexception escaped: %s\n", f.string().c_str(), e.what());
      return 1;
    }
  }
  std::printf("%s: %zu inputs replayed\n", name.c_str(), files.size());
  if (files.empty()) {
    std::fprintf(stderr, "fuzz_replay: no inputs for %s\n", name.c_str());
    return 1;
  }
  return 0;
}
