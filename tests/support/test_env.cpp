// Every test program knows where the sources and the build tree are, also
// when started by hand outside ctest: DROMO_SOURCE_DIR and DROMO_BUILD_DIR
// are set from the build configuration unless the environment already has them.
#include <cstdlib>

namespace {
void SetIfUnset(const char* name, const char* value) {
#ifdef _WIN32
  if (std::getenv(name) == nullptr) _putenv_s(name, value);
#else
  setenv(name, value, 0);
#endif
}

struct TestEnvironment {
  TestEnvironment() {
    SetIfUnset("DROMO_SOURCE_DIR", DROMO_TEST_SOURCE_DIR);
    SetIfUnset("DROMO_BUILD_DIR", DROMO_TEST_BUILD_DIR);
  }
} gTestEnvironment;
}  // namespace
