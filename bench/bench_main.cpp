// Benchmark entry point: starts the arithmetic runtime before any benchmark.
#include <benchmark/benchmark.h>

#include "integers/runtime.h"

int main(int argc, char** argv) {
  rara::TRuvRuntime runtime;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
