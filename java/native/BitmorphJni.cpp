// The JNI entry of the application's main class: runs the conversion driver on main's
// arguments. The driver ends the process itself with any exit code other than 0.
#include "JniArguments.h"

#include "bitmorph/Bitmorph.h"

#include <exception>

extern "C" JNIEXPORT void JNICALL Java_com_vantrel_bitmorph_Bitmorph_main(JNIEnv *env, jclass,
                                                                          jobjectArray args) {
  const auto arguments = vantrel::bitmorph::jni::argumentsOf(env, args);
  if (!arguments) return;
  // No C++ exception may unwind into the runtime's frames: it becomes a Java exception.
  try {
    vantrel::bitmorph::Bitmorph::main(*arguments);
  } catch (const std::exception &e) {
    vantrel::bitmorph::jni::throwRuntimeException(env, std::string("internal error: ") + e.what());
  } catch (...) {
    vantrel::bitmorph::jni::throwRuntimeException(env, "internal error");
  }
}
