// Shared pieces of the launcher tests: the test doubles' paths, an environment guard,
// captured C streams and a temporary installation tree.
#pragma once

#include "testProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace launcher_test {

/// True when the tests run as Windows programs.
bool onWindows();

/// The fake runtime launcher program (host form).
std::string fakeJavaPath();
/// The folder holding the fake uname and cygpath (host form).
std::string fakeToolsDir();
/// The fake VM library (host form).
std::string fakeJvmPath();
/// The library the fake VM library needs (host form).
std::string fakeJvmDependencyPath();
/// The built launcher (host form).
std::string launcherPath();

/// Every variable the launcher or the test doubles read.
const std::vector<std::string> &launcherVariables();

/// Remembers the test process's launcher variables, PATH and temp-folder variables, clears
/// the launcher variables and the launcher's cached answers; restores all of it at the end.
class LauncherEnvironmentTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  /// Points TMPDIR, TMP and TEMP at a fresh folder and returns it.
  std::string useFreshTempDir();
  /// Puts the fake uname and cygpath first on PATH, logging their calls; returns the log.
  std::string useFakeCygwin(const std::string &unameMode = "cygwin",
                            const std::string &cygpathMode = "convert");
  /// Names in a folder (empty when it does not exist).
  static std::vector<std::string> filesIn(const std::string &dir);
  /// Whole content of a text file ("" when missing).
  static std::string readText(const std::string &path);

  std::string tempDir; ///< set by useFreshTempDir
private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

/// Puts an empty file at path (UTF-8).
void touch(const std::string &path);

/// Copies a file, making the target's folders (UTF-8 paths).
void copyFile(const std::string &from, const std::string &to);

/// A C stream backed by a temporary file whose text can be read back.
class CapturedStream {
public:
  CapturedStream();
  ~CapturedStream();
  FILE *stream() const { return file; }
  /// Everything written so far.
  std::string text();

private:
  FILE *file;
};

} // namespace launcher_test

namespace launcher_test {

/// A temporary installation tree: root/bin64 holds a copy of the launcher, and the runtime
/// folder root/bin64/jre64 holds the fake runtime program and the fake VM library, whose
/// dependency lies in the runtime's library folder (jre64\bin, jre64/lib). Runs the
/// launcher from there with PREXA_ROOTDIR set, a PATH without Cygwin tools and a fresh
/// temporary folder, and checks afterwards that the temporary folder stayed empty.
class InstallationTreeTest : public LauncherEnvironmentTest {
protected:
  void SetUp() override;
  void TearDown() override;

  /// Makes a new tree whose root folder has the given name (any UTF-8 name, or a path of
  /// folders below the scratch folder) and uses it from now on; SetUp makes one named "root".
  /// The runtime's program and VM library are copies of the given ones.
  void makeTree(const std::string &rootName, const std::string &java = fakeJavaPath(),
                const std::string &jvm = fakeJvmPath());
  /// Host path of the VM library's dependency in the tree.
  std::string jvmDependencyInTree() const;
  /// Runs the installed launcher (in workingDir when given); env changes come on top of the
  /// defaults above.
  RunResult launch(const std::vector<std::string> &args, const EnvChanges &env = {},
                   const std::string &workingDir = "");
  /// The environment changes launch makes: the defaults above, then env.
  EnvChanges launchEnvironment(const EnvChanges &env = {}) const;
  /// Host path of a file in root/bin64.
  std::string inBin(const std::string &name) const;
  /// The runtime program as the launcher names it (normalised bin folder + "jre64" etc.).
  std::string expectedJava() const;
  /// The bin folder as the launcher names it after normalisation ('/' for '\', and on
  /// Windows ASCII letters in lower case but the drive letter).
  std::string expectedBin() const;
  /// The status a launch failure gives (-1 as the platform reports it).
  static std::uint32_t failureStatus();

  std::string root;     ///< host path of the installation root
  std::string bin;      ///< host path of root/bin64
  std::string slash;    ///< host path separator
  std::string emptyBin; ///< a folder without programs, for PATH
};

} // namespace launcher_test
