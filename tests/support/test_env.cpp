// Every test program knows where the sources and the build tree are, also
// when started by hand outside ctest: DROMO_SOURCE_DIR and DROMO_BUILD_DIR
// are set from the build configuration unless the environment already has them.
#include <cstdlib>

namespace {
struct TestEnvironment {
  TestEnvironment() {
    setenv("DROMO_SOURCE_DIR", DROMO_TEST_SOURCE_DIR, 0);
    setenv("DROMO_BUILD_DIR", DROMO_TEST_BUILD_DIR, 0);
  }
} gTestEnvironment;
}  // namespace
