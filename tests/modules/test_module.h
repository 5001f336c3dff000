// The table of the loader tests' module.
#pragma once

#include "modules/module_loader.h"

namespace torv::testing {

struct TestModule {
  ModuleHeader header;
  int (*answer)();
};

}  // namespace torv::testing
