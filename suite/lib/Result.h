// A value or the text of the error that prevented it: how every part of the suite tools'
// library reports failure. Nothing in the library throws for bad input or a file that
// cannot be read or written, so the parsers are safe behind a fuzz target and each tool's
// entry point turns a failed result into its message and exit status.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vantrel::suite {

/// Either a value or an error message. The message is the complete text the user sees
/// (after "Error: ").
template <class T> class Result {
public:
  /// A successful result holding value.
  static Result success(T value) {
    Result r;
    r.value_ = std::move(value);
    return r;
  }
  /// A failed result carrying message.
  static Result failure(std::string message) {
    Result r;
    r.error_ = std::move(message);
    return r;
  }
  /// True when a value is held.
  bool ok() const { return value_.has_value(); }
  /// The value; only valid when ok().
  const T &value() const { return *value_; }
  T &value() { return *value_; }
  /// The error message; empty when ok().
  const std::string &error() const { return error_; }

private:
  Result() = default;
  std::optional<T> value_;
  std::string error_;
};

/// The outcome of a step that produces no value: done, or the message that stopped it.
template <> class Result<void> {
public:
  /// A step that succeeded.
  static Result success() { return Result(); }
  /// A step that failed with message.
  static Result failure(std::string message) {
    Result r;
    r.ok_ = false;
    r.error_ = std::move(message);
    return r;
  }
  /// True when the step succeeded.
  bool ok() const { return ok_; }
  /// The error message; empty when ok().
  const std::string &error() const { return error_; }

private:
  Result() = default;
  bool ok_ = true;
  std::string error_;
};

/// The outcome of a step that produces no value.
using Status = Result<void>;

} // namespace vantrel::suite
