// Output of programs that may write UTF-8 or a legacy code page, made UTF-8 piece by piece as
// it arrives: what is well-formed UTF-8 stays as it is, a line that is not is decoded from
// the code page. A text rule, so that it is tested on every OS; the platform layer gives it
// the code page of its OS.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vantrel::hostText {

/// Decodes one stream of text, given in pieces that may cut a character anywhere. A line
/// (ended by LF or CR) that is well-formed UTF-8 passes unchanged; one that is not is
/// passed to the code page's decoder as a whole, so a character of the code page is never
/// cut either. What arrives of a line is shown at once as far as it is UTF-8 (less a
/// character not yet complete); from the first byte that is not UTF-8 the rest of the line
/// waits for its end.
class CodePageTextDecoder {
public:
  /// fromCodePage turns whole lines of the code page into UTF-8.
  explicit CodePageTextDecoder(std::function<std::string(std::string_view)> fromCodePage)
      : fromCodePage_(std::move(fromCodePage)) {}

  /// The UTF-8 text that can be shown of what arrived so far, bytes being the newest piece.
  std::string decode(std::string_view bytes);
  /// Whatever is still held back, at the end of the stream.
  std::string finish();

private:
  std::string line(std::string_view text) const;

  std::function<std::string(std::string_view)> fromCodePage_;
  std::string held_;
};

} // namespace vantrel::hostText
