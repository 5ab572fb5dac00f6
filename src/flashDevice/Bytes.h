// The byte-array types every image uses: a byte array, and a byte array that may be null.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel::flashDevice {

/// A sequence of bytes, owned by value.
using Bytes = std::vector<std::uint8_t>;

/// A byte array or null: std::nullopt is null and stays distinct from an empty array.
using OptionalBytes = std::optional<Bytes>;

} // namespace vantrel::flashDevice
