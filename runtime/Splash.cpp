// The splash library: the four entries a launcher calls to show a start-up image. This
// runtime runs on console machines and opens no window; it checks its arguments and, when
// BITMORPH_SPLASH_TRACE names a file, appends one line per call to it so tests can see
// exactly what the launcher asked for. File names are UTF-8; files go through the platform
// layer, so any name of any length the OS allows works.
#include "RuntimePlatform.h"

#include "platform/file.h"

#include <jni.h>

#include <string>

namespace {

bool initialised = false;
bool imageLoaded = false;

void trace(const std::string &text) {
  const auto file = vantrel::runtime::os::environmentVariable("BITMORPH_SPLASH_TRACE");
  if (!file || file->empty()) return;
  vantrel::platform::OutputFile out;
  if (out.open(*file, vantrel::platform::OutputFile::Mode::Append)) {
    out.write(text + "\n");
    out.close();
  }
}

std::string shown(const char *text) {
  return text ? std::string("'") + text + "'" : std::string("null");
}

} // namespace

extern "C" {

/// Prepares the splash screen; later calls change nothing.
JNIEXPORT void JNICALL SplashInit(void) {
  initialised = true;
  trace("SplashInit");
}

/// Loads the image; 1 when the file is readable (and the library initialised), else 0.
JNIEXPORT int JNICALL SplashLoadFile(const char *fileName) {
  int result = 0;
  const char *verdict = "rejected: not initialised";
  if (initialised && !fileName) {
    verdict = "rejected: no file name";
  } else if (initialised) {
    const bool readable = vantrel::platform::InputFile().open(fileName);
    verdict = readable ? "loaded" : "rejected: cannot read the image";
    if (readable) {
      result = 1;
      imageLoaded = true;
    }
  }
  trace("SplashLoadFile " + shown(fileName) + " " + verdict);
  return result;
}

/// Records which file (and jar, if any) the image came from.
JNIEXPORT void JNICALL SplashSetFileJarName(const char *fileName, const char *jarName) {
  const char *verdict = !initialised ? " rejected: not initialised"
                        : !fileName  ? " rejected: no file name"
                                     : "";
  trace("SplashSetFileJarName " + shown(fileName) + " " + shown(jarName) + verdict);
}

/// Closes the splash screen.
JNIEXPORT void JNICALL SplashClose(void) {
  trace(std::string("SplashClose") + (!initialised  ? " rejected: not initialised"
                                      : imageLoaded ? ""
                                                    : " (no image)"));
  initialised = false;
  imageLoaded = false;
}

} // extern "C"
