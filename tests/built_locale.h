// A locale built with localedef into a test's own folder, used through
// LOCPATH, so that a test can run a program under a locale the system has
// not generated, without root.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_test_support.h"
#include "outside_program.h"

namespace torv::testing {

// The locale `name` ("ru_RU.CP1251") from the definition `source` ("ru_RU")
// and the character map `charmap` ("CP1251"), built in `folder`; its
// environment is {"LOCPATH=" + folder, "LC_ALL=" + name}.
inline ::testing::AssertionResult BuildLocale(const std::filesystem::path& folder,
                                              const std::string& source, const std::string& charmap,
                                              const std::string& name) {
  const ::testing::AssertionResult installed = ProgramInstalled("localedef", "libc-bin");
  if (!installed) return installed;
  // The definitions and character maps come with the package locales.
  if (!std::filesystem::exists("/usr/share/i18n/locales/" + source)) {
    return ::testing::AssertionFailure()
           << "/usr/share/i18n/locales/" << source
           << " is missing: it comes with the Debian package locales, which scripts/setup.sh "
              "installs";
  }
  const cli_testing::ProcessResult built = cli_testing::RunProcess(
      "/usr/bin/localedef", {"-i", source, "-f", charmap, (folder / name).string()}, folder,
      folder);
  if (built.exitCode != 0 || !std::filesystem::is_directory(folder / name)) {
    return ::testing::AssertionFailure() << "localedef failed: " << built.out << built.err;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace torv::testing
