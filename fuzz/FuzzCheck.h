// Shared by the fuzz targets: checks that abort with a message, so that libFuzzer keeps the
// input that broke an expectation.
#pragma once

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace fuzzing {

/// Reports what differed and aborts.
[[noreturn]] inline void mismatch(const char *what, std::int64_t a = 0, std::int64_t b = 0) {
  std::fprintf(stderr, "fuzz check failed: %s (%" PRId64 ", %" PRId64 ")\n", what, a, b);
  std::abort();
}

/// Aborts with what when ok is false.
inline void check(bool ok, const char *what, std::int64_t a = 0, std::int64_t b = 0) {
  if (!ok) mismatch(what, a, b);
}

/// Aborts unless both are null or both hold the same bytes (byte arrays of any allocator).
template <typename Got, typename Want>
void expectSame(const std::optional<Got> &got, const std::optional<Want> &want, const char *what,
                std::int64_t a = 0, std::int64_t b = 0) {
  if (got.has_value() != want.has_value()) mismatch(what, a, b);
  if (got && !std::equal(got->begin(), got->end(), want->begin(), want->end())) mismatch(what, a, b);
}

} // namespace fuzzing
