// The installation's variable table, expansion of variable names inside texts, path
// normalisation, and the detection and conversion of Cygwin-style paths.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel::launcher {

class CommandLine;

/// A lookup failure that ends the launcher with status -1; what() is the full message
/// (newline included) that the process entry writes to standard error.
class LauncherFatalError : public std::runtime_error {
public:
  explicit LauncherFatalError(const std::string &message) : std::runtime_error(message) {}
};

/// One entry of the variable table; the value is resolved on first use and kept.
struct Variable {
  std::string name;
  bool resolved = false;
  std::optional<std::string> value;
  std::int32_t value_length = 0;
};

/// The variable table of the installation, searched in order.
struct VariableTable {
  std::vector<Variable> var;
};

/// The process-wide table with the six built-in names.
VariableTable &installationTable();

/// Value of a variable: the six table names are computed from their environment variables
/// (overrides first), the executable's directory, the current directory or a constant; any
/// other name is a plain environment lookup. Nothing when undefined. With required, an
/// undefined or empty value throws LauncherFatalError "ERROR: <name> - Undefined variable".
std::optional<std::string> getVariable(const std::string &name, bool required);

/// The environment variable a table variable's value is read from, for messages: for
/// PREXA_ROOTDIR its override when that is set and not empty, else PREXA_ROOTDIR; for
/// PREXA_BINDIR likewise, falling back to the root's source; any other name itself.
std::string variableSource(const std::string &name);

/// The text with the first occurrence of each table name (tried in table order) replaced
/// by the variable's normalised value; undefined variables throw LauncherFatalError.
std::string expandVariables(const std::string &text, VariableTable &tbl);

/// Converts a Cygwin path, turns '\' into '/', and on Windows lower-cases the path and
/// upper-cases the drive letter. 0, or -1 when a conversion did not fit into limit.
int normalizePath(std::string &buffer, std::size_t limit);

/// Converts one path that begins with '/' through cygpath when running under Cygwin.
/// 0 (converted or left alone), or -1 when the converted path is not shorter than limit
/// (the buffer then stays unchanged).
int cygpathConvert(std::string &buffer, std::size_t limit);

/// Whether the launcher runs under Cygwin: uname answers with "CYG"; asked once.
bool isCygwin();

/// Converts the Cygwin paths among the launch command's arguments (whole arguments that
/// begin with '/', or the part after "=/"), unless ZEM_DISABLE_CYGPATH is "1".
void prepareEnvironment(CommandLine &cmd);

/// Directory of the running executable, computed once; throws LauncherFatalError when the
/// platform cannot name the executable.
const std::string &getExeDir();

/// Forgets every process-wide answer (table values, Cygwin answer, executable directory)
/// so that tests can start over.
void resetEnvironmentState();

} // namespace vantrel::launcher
