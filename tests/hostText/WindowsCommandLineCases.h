// The Windows command-line rules as a table: a command line, the arguments the C runtime
// makes of it, and those CommandLineToArgvW makes of it (which reads the program name by
// a rule of its own). Checked against the splitter on every platform and against the C
// runtime and CommandLineToArgvW under Wine.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host_text_test {

using Args = std::vector<std::string>;

struct CommandLineCase {
  std::string line;
  Args cRuntime;                ///< argv as the C runtime splits the line
  std::optional<Args> shellApi; ///< CommandLineToArgvW's split; nothing where it is undocumented
  /// Where Wine's C runtime differs from the documented one: it reads a backslash before a
  /// quote inside the program name as an escape, as in the other arguments.
  std::optional<Args> wineRuntime = std::nullopt;
};

/// The rows. Those from the C runtime's documentation come first.
inline const std::vector<CommandLineCase> &commandLineCases() {
  static const std::vector<CommandLineCase> cases = {
      {"p \"abc\" d e", {"p", "abc", "d", "e"}, Args{"p", "abc", "d", "e"}},
      {"p a\\\\b d\"e f\"g h", {"p", "a\\\\b", "de fg", "h"}, Args{"p", "a\\\\b", "de fg", "h"}},
      {"p a\\\\\\\"b c d", {"p", "a\\\"b", "c", "d"}, Args{"p", "a\\\"b", "c", "d"}},
      {"p a\\\\\\\\\"b c\" d e", {"p", "a\\\\b c", "d", "e"}, Args{"p", "a\\\\b c", "d", "e"}},
      // "" inside quotes: one quote, still quoted (the C runtime since 2008).
      {"p a\"b\"\" c d", {"p", "ab\" c d"}, std::nullopt},
      {"p \"a\"\"b\"", {"p", "a\"b"}, std::nullopt},
      // The program name: the C runtime toggles quoting through it and takes backslashes
      // literally; CommandLineToArgvW ends a quoted name at the next quote.
      {"\"a b\"c d", {"a bc", "d"}, Args{"a b", "c", "d"}},
      {"\"C:\\x y\\p.exe\" a", {"C:\\x y\\p.exe", "a"}, Args{"C:\\x y\\p.exe", "a"}},
      {"\"C:\\x\\\" y", {"C:\\x\\", "y"}, Args{"C:\\x\\", "y"}, Args{"C:\\x\" y"}},
      {"prog\\ a\tb", {"prog\\", "a", "b"}, Args{"prog\\", "a", "b"}},
      {"C:\\\"Program Files\"\\x.exe a",
       {"C:\\Program Files\\x.exe", "a"},
       Args{"C:\\\"Program", "Files\\x.exe a"},
       Args{"C:\"Program", "Files\\x.exe a"}},
      {"\"p", {"p"}, Args{"p"}},
      // Blanks, empty arguments, backslashes, unclosed quotes.
      {"p   a  \t", {"p", "a"}, Args{"p", "a"}},
      {"p \"\" x", {"p", "", "x"}, Args{"p", "", "x"}},
      {"p \"a\tb\"", {"p", "a\tb"}, Args{"p", "a\tb"}},
      {"p a\\b\\", {"p", "a\\b\\"}, Args{"p", "a\\b\\"}},
      {"p a\\\\\"b c\"", {"p", "a\\b c"}, Args{"p", "a\\b c"}},
      {"p a\\\"b", {"p", "a\"b"}, Args{"p", "a\"b"}},
      {"p a\"b c\"d", {"p", "ab cd"}, Args{"p", "ab cd"}},
      {"p \"a b", {"p", "a b"}, Args{"p", "a b"}},
      // A launch command as the launcher writes it: every word quoted, a space after each.
      {"\"/opt/jre/bin/java\" -Xmx2g -cp \"a.jar:b.jar:\" \"M\" \"a b\" \"\" ",
       {"/opt/jre/bin/java", "-Xmx2g", "-cp", "a.jar:b.jar:", "M", "a b", ""},
       Args{"/opt/jre/bin/java", "-Xmx2g", "-cp", "a.jar:b.jar:", "M", "a b", ""}},
      // Characters inside and outside code page 1252 (UTF-8 here, UTF-16 on the command line).
      {"\"C:\\\xc3\x89t\xc3\xa9 \xe2\x82\xac\\\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac\\java.exe\" \"\xd0\x96.sof\" "
       "O'\xc3\xa9.V2",
       {"C:\\\xc3\x89t\xc3\xa9 \xe2\x82\xac\\\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac\\java.exe", "\xd0\x96.sof",
        "O'\xc3\xa9.V2"},
       Args{"C:\\\xc3\x89t\xc3\xa9 \xe2\x82\xac\\\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac\\java.exe", "\xd0\x96.sof",
            "O'\xc3\xa9.V2"}},
  };
  return cases;
}

} // namespace host_text_test
