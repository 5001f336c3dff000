// Runtime options of the sanitizers, linked into every test of a
// TORVDOC_SANITIZE build. Built in rather than set in the environment, so
// that ctest, the test discovery during the build and a test run by hand all
// check the same things. Options given in the environment still win.

extern "C" {

// Leaks are checked (the default, said here so that nobody turns it off by
// accident), and so are stack use after return and initialisation order.
const char* __asan_default_options() {
  return "detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:"
         "strict_init_order=1";
}

// -fno-sanitize-recover=all already stops at the first finding; a stack
// trace tells where it was.
const char* __ubsan_default_options() {
  return "print_stacktrace=1";
}

}  // extern "C"
