// The end of a native main that ends the process: through the runtime, as a Java main does.
#pragma once

#include <jni.h>

namespace vantrel::bitmorph::jni {

/// Ends the process with status the way a Java program does, through
/// java.lang.System.exit: the runtime runs its own exit path (its shutdown, its threads
/// brought to a stop) before the process ends. Should the runtime not end the process (no
/// System.exit, or one that throws), the exception is described on standard error and the
/// process ends directly with status, so the status is never lost.
[[noreturn]] void exitThroughRuntime(JNIEnv *env, int status);

} // namespace vantrel::bitmorph::jni
