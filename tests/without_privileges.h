// Running a part of a test as the unprivileged user "nobody". Root reads and
// writes past every permission, so a refused read or write can only be seen
// without it.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace torv::testing {

inline constexpr uid_t kNobody = 65534;

// Runs `body` in this process when the tests do not run as root; as root,
// in a child that has become nobody. A check that fails in the child fails
// the test. Whatever `body` reaches must be open to others: a folder from
// mkdtemp is not.
inline void RunWithoutPrivileges(const std::function<void()>& body) {
  if (::geteuid() != 0) {
    body();
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    body();
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "3: could not become nobody; 1: a check failed as nobody (see above)";
}

}  // namespace torv::testing
