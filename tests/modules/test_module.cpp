// A module for the loader's tests: its table's header is built as
// TEST_MODULE_VERSION says, and without TEST_MODULE_ENTRY it exports no entry.
#include "test_module.h"

namespace {

int Answer() {
  return 42;
}

const torv::testing::TestModule kModule{{TEST_MODULE_VERSION, sizeof(torv::testing::TestModule)},
                                        &Answer};

}  // namespace

#ifdef TEST_MODULE_ENTRY
extern "C" __attribute__((visibility("default"))) const torv::testing::TestModule*
torvdoc_test_module() {
  return &kModule;
}
#else
// Something exported, so that the object is a module all the same.
extern "C" __attribute__((visibility("default"))) const void* torvdoc_other_entry() {
  return &kModule;
}
#endif
