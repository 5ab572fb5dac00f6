// A small, strict XML reader for conversion descriptions: elements, attributes, character
// data with the predefined and numeric character references, CDATA sections, comments
// and processing instructions. Document type declarations are refused.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Result.h"

namespace vantrel::suite {

/// One element: its name, attributes, character data and child elements in order.
struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text; ///< all character data directly inside the element, references resolved
  std::vector<XmlElement> children;

  /// The first child named name, or nullptr.
  const XmlElement *child(std::string_view childName) const;
};

/// Parses a whole document and returns its root element. Errors name the line:
/// "line N: what is wrong".
Result<XmlElement> parseXml(std::string_view text);

} // namespace vantrel::suite
