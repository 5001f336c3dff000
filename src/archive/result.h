// The answer of an operation that can fail: a value, or the reason it did
// not succeed. Nothing throws across layers; each face (a window box, a
// command-line message) words the reason once.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace torv {

struct Failure {
  // A few words on why, in the system's own words or as strerror gives them.
  std::string reason;
  // The errno behind the failure, 0 when it did not come from the system.
  int errorNumber = 0;
};

// Failure from errno: strerror's text and the number.
Failure SystemFailure(int errorNumber);

template <typename T>
class [[nodiscard]] Result {
 public:
  // A value is a success. Taken by reference rather than by value: an
  // archive image is 8 KB that a move copies all the same.
  Result(const T& value) : value_(value) {}                  // NOLINT
  Result(T&& value) : value_(std::move(value)) {}            // NOLINT
  Result(Failure failure) : failure_(std::move(failure)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }

  // Only on success.
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

  // Only on failure.
  const Failure& failure() const { return failure_; }

 private:
  std::optional<T> value_;
  Failure failure_;
};

// The answer of an operation that gives nothing back but can fail.
class [[nodiscard]] Status {
 public:
  Status() = default;                                                       // success
  Status(Failure failure) : failed_(true), failure_(std::move(failure)) {}  // NOLINT

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  // Only on failure.
  const Failure& failure() const { return failure_; }

 private:
  bool failed_ = false;
  Failure failure_;
};

}  // namespace torv
