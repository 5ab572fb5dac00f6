// The String[] of a native main as the driver's argument list.
#include "JniArguments.h"

#include "hostText/ModifiedUtf8.h"

namespace vantrel::bitmorph::jni {
namespace {

void throwNull(JNIEnv *env, const char *what) {
  if (jclass npe = env->FindClass("java/lang/NullPointerException")) env->ThrowNew(npe, what);
}

} // namespace

std::optional<std::vector<std::string>> argumentsOf(JNIEnv *env, jobjectArray args) {
  if (!args) {
    throwNull(env, "the argument array is null");
    return std::nullopt;
  }
  const jsize count = env->GetArrayLength(args);
  std::vector<std::string> result;
  result.reserve(static_cast<std::size_t>(count));
  for (jsize i = 0; i < count; ++i) {
    auto arg = static_cast<jstring>(env->GetObjectArrayElement(args, i));
    if (env->ExceptionCheck()) return std::nullopt;
    if (!arg) {
      throwNull(env, ("argument " + std::to_string(i) + " is null").c_str());
      return std::nullopt;
    }
    const char *chars = env->GetStringUTFChars(arg, nullptr);
    if (!chars) return std::nullopt; // out of memory, pending
    // The length comes from the runtime, not from a search for NUL.
    const auto length = static_cast<std::size_t>(env->GetStringUTFLength(arg));
    result.push_back(hostText::toStandardUtf8(std::string(chars, length)));
    env->ReleaseStringUTFChars(arg, chars);
    env->DeleteLocalRef(arg);
  }
  return result;
}

void throwRuntimeException(JNIEnv *env, const std::string &message) {
  if (jclass cls = env->FindClass("java/lang/RuntimeException")) env->ThrowNew(cls, message.c_str());
}

} // namespace vantrel::bitmorph::jni
