// Fills a conversion-description template with file names, addresses and a mode, and
// writes the result for the converter.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::bitmorph {

/// Writes a conversion description (".cof") from one of the compiled-in templates.
class BitmorphCofMaker {
public:
  /// Token replaced by the input SOF path.
  static constexpr std::string_view SOFTOKEN = "SOFINPUTFILENAME";
  /// Same token as SOFTOKEN, under the name the loader template uses.
  static constexpr std::string_view SOFINPUTFILENAME = "SOFINPUTFILENAME";
  /// Token replaced by the raw binary output path (base name + ".rbf").
  static constexpr std::string_view RBFTOKEN = "RBFOUTPUTFILENAME";
  /// Token replaced by the programming object output path (base name + ".pof").
  static constexpr std::string_view POFOUTPUTFILENAME = "POFOUTPUTFILENAME";
  /// Token replaced by the --offset text as typed.
  static constexpr std::string_view STARTADDRESS = "FPGASTARTADDRESS";
  /// Token replaced by the --optionbit text as typed.
  static constexpr std::string_view OPTIONSTARTADDRESS = "OPTIONSTARTADDRESS";
  /// Token replaced by the programming-mode code ("6" or "0").
  static constexpr std::string_view PROGRAMMINGMODE = "PROGRAMMINGMODE";

  /// Active-parallel description: when all three names are present, fills the
  /// active-parallel template with sof and rbf and writes it to cof; otherwise does nothing.
  BitmorphCofMaker(const std::optional<std::string> &sof, const std::optional<std::string> &rbf,
                   const std::optional<std::string> &cof);

  /// Flash-loader description: fills the loader template with sof, pof, start, optionStart
  /// and mode (in that order) and writes it to cof.
  BitmorphCofMaker(const std::string &cof, const std::string &sof, const std::string &pof,
                   const std::string &start, const std::string &optionStart, const std::string &mode);

  /// Writes the filled text to the description file, leaving an identical file untouched;
  /// false when it could not be written (the converter then reports the missing file).
  bool writeCof() const;

  /// The filled text (empty before anything was filled).
  const std::string &getCofContent() const { return cofContent; }
  /// The description file's name.
  const std::string &getCofFileName() const { return cofFileName; }
  /// True when the last write succeeded.
  bool written() const { return lastWriteOk; }

  /// Replaces every occurrence of token in text by value, character for character.
  static std::string replaceAll(const std::string &text, std::string_view token, std::string_view value);
  /// The value with "&", "<", ">", '"' and "'" written as XML entities, so that any path
  /// reaches the converter intact.
  static std::string xmlEscape(std::string_view value);

private:
  void go();
  void kldgo(const std::string &pof, const std::string &start, const std::string &optionStart,
             const std::string &mode);
  void readTemplate(std::string_view name);
  void fill(std::string_view token, std::string_view value);

  std::string sofFileName;
  std::string rbfFileName;
  std::string cofFileName;
  std::string cofContent;
  std::string templateFileName = "ActiveParallelTemplate.cof";
  mutable bool lastWriteOk = false;
};

} // namespace vantrel::bitmorph
