// The conversion-description templates compiled into the program, found by resource name.
#pragma once

#include <optional>
#include <string_view>

namespace vantrel::bitmorph::templates {

/// Resource name of the active-parallel template.
inline constexpr std::string_view ACTIVE_PARALLEL_NAME = "ActiveParallelTemplate.cof";
/// Resource name of the flash-loader template.
inline constexpr std::string_view KLD_NAME = "KLDTemplate.cof";

/// The active-parallel template: 17 lines ending in CR LF, 8-space indentation.
std::string_view activeParallelTemplate();
/// The flash-loader template: 21 lines, tab indentation, no line end after "</cof>".
std::string_view kldTemplate();

/// The template of that resource name, byte for byte; nothing for an unknown name.
std::optional<std::string_view> findTemplate(std::string_view name);

} // namespace vantrel::bitmorph::templates
