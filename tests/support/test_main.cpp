// Entry point of every test program: the arithmetic runtime lives for the
// whole run, created before the first test and destroyed after the last.
#include <gtest/gtest.h>

#include "integers/runtime.h"
#include "tests/support/test_support.h"

int main(int argc, char** argv) {
  rara::test::TPrivateTempDir temp;
  rara::TRuvRuntime runtime;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
