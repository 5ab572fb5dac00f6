// The String[] of a native main as the driver's argument list.
#pragma once

#include <jni.h>

#include <optional>
#include <string>
#include <vector>

namespace vantrel::bitmorph::jni {

/// The elements of args as standard UTF-8 texts, in order. Nothing when a JNI call left an
/// exception pending (a null array or element gets a NullPointerException of its own),
/// so the native method can return at once and let the runtime report it.
std::optional<std::vector<std::string>> argumentsOf(JNIEnv *env, jobjectArray args);

/// Makes a java.lang.RuntimeException with message pending (for C++ failures that must
/// not cross into the runtime).
void throwRuntimeException(JNIEnv *env, const std::string &message);

} // namespace vantrel::bitmorph::jni
