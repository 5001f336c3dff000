# Sanitizer and fuzzing builds.
#
# TORVDOC_SANITIZE: everything (libraries, programs, tests) with
# AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer; the first
# finding aborts, so a test that trips one fails. The tests' runtime options
# are built into them (tests/sanitizer_options.cpp), so plain ctest and the
# test discovery during the build run with the same checks.
#
# TORVDOC_BUILD_FUZZERS: the libFuzzer targets in fuzz/. Needs clang; all code
# is instrumented for coverage and built with the same sanitizers.

option(TORVDOC_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TORVDOC_BUILD_FUZZERS "Build the libFuzzer targets (clang only)" OFF)

set(TORVDOC_SANITIZER_FLAGS
  -fsanitize=address,undefined
  -fno-sanitize-recover=all
  -fno-omit-frame-pointer)

if(TORVDOC_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TORVDOC_BUILD_FUZZERS needs clang: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Coverage instrumentation for everything; only the fuzz targets link the
  # libFuzzer main (-fsanitize=fuzzer, in fuzz/CMakeLists.txt).
  add_compile_options(-fsanitize=fuzzer-no-link ${TORVDOC_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined)
elseif(TORVDOC_SANITIZE)
  add_compile_options(${TORVDOC_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()
