// The JNI entry of the application's main class: runs the conversion driver on main's
// arguments. Any exit code other than 0 ends the process through the runtime, as a Java
// main that calls System.exit does.
#include "JniArguments.h"
#include "JniExit.h"

#include "bitmorph/Bitmorph.h"

#include <exception>

extern "C" JNIEXPORT void JNICALL Java_com_vantrel_bitmorph_Bitmorph_main(JNIEnv *env, jclass,
                                                                          jobjectArray args) {
  const auto arguments = vantrel::bitmorph::jni::argumentsOf(env, args);
  if (!arguments) return;
  int code = vantrel::bitmorph::Bitmorph::SUCCESS;
  // No C++ exception may unwind into the runtime's frames: it becomes a Java exception.
  try {
    code = vantrel::bitmorph::Bitmorph::runTool(*arguments);
  } catch (const std::exception &e) {
    vantrel::bitmorph::jni::throwRuntimeException(env, std::string("internal error: ") + e.what());
  } catch (...) {
    vantrel::bitmorph::jni::throwRuntimeException(env, "internal error");
  }
  // The run is over (its interrupt handlers are gone) before the runtime's exit path runs.
  if (code != vantrel::bitmorph::Bitmorph::SUCCESS) vantrel::bitmorph::jni::exitThroughRuntime(env, code);
}
