// A value or the text of the error that prevented it: what the in-memory parsers return.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vantrel::suite {

/// Either a value or an error message, for parsers that take untrusted text and must not
/// throw across a fuzz target's boundary.
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

} // namespace vantrel::suite
