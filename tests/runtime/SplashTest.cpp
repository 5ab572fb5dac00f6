// Tests of the splash library: argument checks and the call record a test can read.
#include "RuntimePlatform.h"
#include "RuntimeTestSupport.h"

#include "platform/environment.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct Splash {
  void (*init)() = nullptr;
  int (*loadFile)(const char *) = nullptr;
  void (*setFileJarName)(const char *, const char *) = nullptr;
  void (*close)() = nullptr;
};

Splash loadSplash() {
  std::string error;
  void *library = vantrel::runtime::os::loadLibrary(TEST_SPLASH_LIBRARY, error);
  EXPECT_TRUE(library) << error;
  Splash s;
  s.init = reinterpret_cast<void (*)()>(vantrel::runtime::os::findSymbol(library, "SplashInit"));
  s.loadFile =
      reinterpret_cast<int (*)(const char *)>(vantrel::runtime::os::findSymbol(library, "SplashLoadFile"));
  s.setFileJarName = reinterpret_cast<void (*)(const char *, const char *)>(
      vantrel::runtime::os::findSymbol(library, "SplashSetFileJarName"));
  s.close = reinterpret_cast<void (*)()>(vantrel::runtime::os::findSymbol(library, "SplashClose"));
  return s;
}

} // namespace

TEST(SplashLibrary, ChecksItsArgumentsAndRecordsEachCall) {
  Splash s = loadSplash();
  ASSERT_TRUE(s.init && s.loadFile && s.setFileJarName && s.close);
  const std::string dir = runtime_test::makeTempDir("splash");
  const std::string trace = dir + "/trace.txt";
  const std::string image = dir + "/image.png";
  std::ofstream(image) << "png";
  ASSERT_TRUE(vantrel::platform::setEnvironmentVariable("BITMORPH_SPLASH_TRACE", trace));
  EXPECT_EQ(s.loadFile(image.c_str()), 0);
  s.init();
  EXPECT_EQ(s.loadFile(nullptr), 0);
  EXPECT_EQ(s.loadFile((dir + "/missing.png").c_str()), 0);
  EXPECT_EQ(s.loadFile(image.c_str()), 1);
  s.setFileJarName("lib", nullptr);
  s.setFileJarName(nullptr, "a.jar");
  s.close();
  s.close();
  vantrel::platform::setEnvironmentVariable("BITMORPH_SPLASH_TRACE", std::nullopt);
  EXPECT_EQ(runtime_test::readText(trace).value_or("<none>"),
            "SplashLoadFile '" + image +
                "' rejected: not initialised\n"
                "SplashInit\n"
                "SplashLoadFile null rejected: no file name\n"
                "SplashLoadFile '" +
                dir +
                "/missing.png' rejected: cannot read the image\n"
                "SplashLoadFile '" +
                image +
                "' loaded\n"
                "SplashSetFileJarName 'lib' null\n"
                "SplashSetFileJarName null 'a.jar' rejected: no file name\n"
                "SplashClose\n"
                "SplashClose rejected: not initialised\n");
}
