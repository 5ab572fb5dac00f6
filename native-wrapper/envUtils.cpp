// The installation's variable table, expansion, normalisation and Cygwin path conversion.
#include "envUtils.h"

#include "commandLine.h"
#include "launcherAssert.h"
#include "launcherPlatform.h"
#include "launcherPrint.h"
#include "launcherTexts.h"

namespace vantrel::launcher {

namespace {

bool cygwin_checked = false;
bool under_cygwin = false;
std::optional<std::string> exe_dir;

VariableTable makeInstallationTable() {
  VariableTable tbl;
  for (const char *name :
       {kVarRootDir, kVarBinDir, kVarKitKorvo, kVarExeDir, kVarCurrentDir, kVarJreOffset}) {
    Variable v;
    v.name = name;
    tbl.var.push_back(v);
  }
  return tbl;
}

VariableTable &tableInstance() {
  static VariableTable tbl = makeInstallationTable();
  return tbl;
}

bool hasText(const std::optional<std::string> &value) {
  return value && !value->empty();
}

/// The override when set and not empty, else the plain variable.
std::optional<std::string> overridable(const char *overrideName, const char *name) {
  std::optional<std::string> value = platform::getEnv(overrideName);
  if (hasText(value)) return value;
  return platform::getEnv(name);
}

/// What cygpath --mixed answered for a path.
struct CygpathAnswer {
  std::string text; ///< the converted path (one final newline removed)
  bool cut = false; ///< the answer was longer than what is read back
};

/// Runs cygpath --mixed on a path; an answer when cygpath succeeded and printed something.
std::optional<CygpathAnswer> runCygpath(const std::string &path) {
  CommandLine tool(kToolCygpath);
  tool.setReportLaunchErrors(false);
  tool.setCaptureOutput(true);
  tool.addArg(kCygpathMixed);
  tool.addArg(path);
  if (tool.run() != 0 || tool.getCapturedOutput().empty()) return std::nullopt;
  return CygpathAnswer{tool.getCapturedOutput(), tool.isCapturedOutputCut()};
}

} // namespace

std::string variableSource(const std::string &name) {
  if (name == kVarRootDir)
    return hasText(platform::getEnv(kVarRootDirOverride)) ? kVarRootDirOverride : kVarRootDir;
  if (name == kVarBinDir) {
    return hasText(platform::getEnv(kVarBinDirOverride)) ? kVarBinDirOverride : variableSource(kVarRootDir);
  }
  return name;
}

VariableTable &installationTable() {
  return tableInstance();
}

const std::string &getExeDir() {
  if (!exe_dir) {
    std::optional<std::string> path = platform::moduleFileName();
    if (!path) throw LauncherFatalError(kMsgModuleFileNameFailed);
    size_t cut = path->rfind(platform::kPathSeparator);
    exe_dir = cut == std::string::npos ? *path : path->substr(0, cut);
  }
  return *exe_dir;
}

std::optional<std::string> getVariable(const std::string &name, bool required) {
  std::optional<std::string> value;
  if (name == kVarRootDir) {
    value = overridable(kVarRootDirOverride, kVarRootDir);
  } else if (name == kVarBinDir) {
    value = platform::getEnv(kVarBinDirOverride);
    if (!hasText(value)) {
      // The root is asked with the same flag, so a required bin directory without any
      // definition is reported under the root's name.
      std::optional<std::string> root = getVariable(kVarRootDir, required);
      if (hasText(root)) value = *root + platform::kBinDirSuffix;
    }
  } else if (name == kVarKitKorvo) {
    value = overridable(kVarKitKorvoOverride, kVarKitKorvo);
  } else if (name == kVarExeDir) {
    value = getExeDir();
  } else if (name == kVarCurrentDir) {
    value = platform::currentDirectory();
    if (!value) throw LauncherFatalError(kMsgCurrentDirectoryFailed);
  } else if (name == kVarJreOffset) {
    value = std::string(platform::kJreOffset);
  } else {
    value = platform::getEnv(name);
  }
  if (required && !hasText(value)) throw LauncherFatalError(formatMessage(kMsgUndefinedVariable, name));
  return value;
}

std::string expandVariables(const std::string &text, VariableTable &tbl) {
  std::string result = text;
  for (Variable &entry : tbl.var) {
    size_t at = result.find(entry.name);
    if (at == std::string::npos) continue;
    if (!entry.resolved) {
      std::string raw = *getVariable(entry.name, true);
      std::string buffer = raw;
      entry.value = normalizePath(buffer, kPathBufferChars) == 0 ? buffer : raw;
      entry.value_length = static_cast<std::int32_t>(entry.value->size());
      entry.resolved = true;
    }
    LAUNCHER_ASSERT(entry.value.has_value()); // tbl->var[i].value != NULL
    result.replace(at, entry.name.size(), *entry.value);
  }
  return result;
}

int normalizePath(std::string &buffer, std::size_t limit) {
  int result = cygpathConvert(buffer, limit);
  for (char &c : buffer) {
    if (c == '\\') c = '/';
  }
  if (platform::kFoldPathCase) {
    for (char &c : buffer) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (buffer.size() >= 2 && buffer[1] == ':' && buffer[0] >= 'a' && buffer[0] <= 'z')
      buffer[0] = static_cast<char>(buffer[0] - 'a' + 'A');
  }
  return result;
}

int cygpathConvert(std::string &buffer, std::size_t limit) {
  if (buffer.empty() || buffer[0] != '/' || !isCygwin()) return 0;
  std::optional<CygpathAnswer> converted = runCygpath(buffer);
  if (!converted || converted->text == buffer) return 0;
  // A cut answer is longer than any path buffer; it never replaces the path.
  if (converted->cut || converted->text.size() >= limit) return -1;
  buffer = converted->text;
  return 0;
}

bool isCygwin() {
  if (!cygwin_checked) {
    cygwin_checked = true;
    under_cygwin = false;
    // Without a uname on PATH there is nothing to run, so no temporary file is made for its
    // output: outside Cygwin a full or missing temporary folder goes unnoticed.
    if (!platform::findProgram(kToolUname)) return under_cygwin;
    CommandLine uname(kToolUname);
    uname.setReportLaunchErrors(false);
    uname.setCaptureOutput(true);
    int status = uname.run();
    under_cygwin = status == 0 && uname.getCapturedOutput().find(kCygwinMarker) != std::string::npos;
  }
  return under_cygwin;
}

void prepareEnvironment(CommandLine &cmd) {
  std::optional<std::string> disable = getVariable(kVarDisableCygpath, false);
  if (disable && *disable == "1") return;
  if (!isCygwin()) return;
  for (int i = 0; i < cmd.getNumArgs(); ++i) {
    const std::string arg = cmd.getArg(i);
    std::string prefix;
    std::string path;
    if (!arg.empty() && arg[0] == '/') {
      path = arg;
    } else {
      size_t at = arg.find("=/");
      if (at == std::string::npos) continue;
      size_t abspath_divider = at + 1;
      LAUNCHER_ASSERT(abspath_divider > 0);
      prefix = arg.substr(0, abspath_divider);
      path = arg.substr(abspath_divider);
    }
    if (path.compare(0, 4, "/mnt") == 0) continue;
    std::optional<CygpathAnswer> converted = runCygpath(path);
    // A cut answer is not the converted path: using it would hand on a damaged argument.
    if (converted && !converted->cut && converted->text != arg) cmd.setArg(i, prefix + converted->text);
  }
}

void resetEnvironmentState() {
  cygwin_checked = false;
  under_cygwin = false;
  exe_dir.reset();
  tableInstance() = makeInstallationTable();
}

} // namespace vantrel::launcher
