// Where a command writes as it goes: the process's standard output and
// standard error, or a command outcome in memory (for tests and for callers
// that write the outcome themselves).
#pragma once

#include <optional>
#include <string_view>

#include "archive/result.h"

#include "cli/cli_commands.h"

namespace torv {

class CommandStreams {
 public:
  virtual ~CommandStreams() = default;
  // Data; false once the stream refused bytes (nothing more gets through).
  virtual bool Out(std::string_view bytes) = 0;
  // A message, UTF-8.
  virtual void Err(std::string_view text) = 0;
  // Why data stopped getting through; none while it gets through.
  virtual const Failure* OutFailure() const { return nullptr; }
};

// Standard output and standard error, each piece written and flushed at once.
class StandardStreams final : public CommandStreams {
 public:
  bool Out(std::string_view bytes) override;
  void Err(std::string_view text) override;
  const Failure* OutFailure() const override { return outFailure_ ? &*outFailure_ : nullptr; }

 private:
  std::optional<Failure> outFailure_;
};

// Appends to the outcome's `out` and `err`.
class OutcomeStreams final : public CommandStreams {
 public:
  explicit OutcomeStreams(CommandOutcome& outcome) : outcome_(outcome) {}
  bool Out(std::string_view bytes) override {
    outcome_.out += bytes;
    return true;
  }
  void Err(std::string_view text) override { outcome_.err += text; }

 private:
  CommandOutcome& outcome_;
};

}  // namespace torv
