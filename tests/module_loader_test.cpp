// Loading a module: found in the first folder that holds it, refused when
// missing, not a shared object, without its entry or built for another
// version, each with a reason that names the module.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "modules/module_loader.h"
#include "modules/test_module.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using testing::TestModule;

const fs::path kTestModules = TORVDOC_TEST_MODULE_DIR;

struct LoadCase {
  std::string name;
  std::string file;    // looked for in {scratch} (which holds garbage.so), then {modules}
  std::string reason;  // "" when the module loads
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class ModuleLoaderTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(ModuleLoaderTest, LoadsOrSaysWhy) {
  const cli_testing::ScratchFolder scratch;
  // A file of a module's name that is no shared object.
  std::ofstream(scratch.path() / "garbage.so") << std::string(100, 'x');
  const LoadCase& c = GetParam();
  const Result<const TestModule*> module = LoadModule<TestModule>(
      c.file, "torvdoc_test_module", {scratch.path().string(), kTestModules.string()});
  if (c.reason.empty()) {
    ASSERT_TRUE(module) << module.failure().reason;
    EXPECT_EQ((*module)->answer(), 42);
    return;
  }
  ASSERT_FALSE(module);
  EXPECT_EQ(module.failure().reason,
            cli_testing::ReplaceAll(
                cli_testing::ReplaceAll(c.reason, "{scratch}", scratch.path().string()),
                "{modules}", kTestModules.string()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModuleLoaderTest,
    ::testing::Values(
        LoadCase{"Present", "test-module-good.so", ""},
        LoadCase{"Missing", "absent.so", "absent.so: not found in {scratch}, {modules}"},
        LoadCase{"NotASharedObject", "garbage.so", "{scratch}/garbage.so: invalid ELF header"},
        LoadCase{"WithoutItsEntry", "test-module-no-entry.so",
                 "{modules}/test-module-no-entry.so: has no entry torvdoc_test_module"},
        LoadCase{"BuiltForAnotherVersion", "test-module-other-version.so",
                 "test-module-other-version.so: built for torvdoc 0.0.0-other, not for this "
                 "torvdoc " TORVDOC_VERSION}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

TEST(ModuleDirectoriesTest, TheEnvironmentChoosesTheOnlyFolder) {
  ::setenv("TORVDOC_MODULE_DIR", "/opt/elsewhere", 1);
  EXPECT_EQ(ModuleDirectories(), std::vector<std::string>{"/opt/elsewhere"});
  ::unsetenv("TORVDOC_MODULE_DIR");
  // Run from the build tree: the installed place beside the program first,
  // then the build tree's module folder.
  const std::vector<std::string> folders = ModuleDirectories();
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0], (fs::path(TORVDOC_TEST_BINARY_DIR) / ".." / "lib/torvdoc/modules")
                            .lexically_normal()
                            .string());
  EXPECT_EQ(folders[1], TORVDOC_BUILD_MODULE_DIR);
}

}  // namespace
}  // namespace torv
