// The end of a native main that ends the process: through the runtime, as a Java main does.
#include "JniExit.h"

#include <cstdio>
#include <cstdlib>

namespace vantrel::bitmorph::jni {

void exitThroughRuntime(JNIEnv *env, int status) {
  if (jclass system = env->FindClass("java/lang/System")) {
    if (jmethodID exit = env->GetStaticMethodID(system, "exit", "(I)V"))
      env->CallStaticVoidMethod(system, exit, static_cast<jint>(status));
  }
  // Reached only when the runtime did not end the process: say why, then end it here.
  if (env->ExceptionCheck()) env->ExceptionDescribe();
  std::fflush(nullptr);
  std::exit(status);
}

} // namespace vantrel::bitmorph::jni
