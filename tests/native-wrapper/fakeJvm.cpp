// Test double of the runtime's VM library for the launcher's in-process start: creates a
// "machine" whose few JNI calls the launcher uses print what they were given, in the fake
// runtime program's format: "jvm-args N", then each creation option, each class asked for and
// each string of main's array (decoded from modified UTF-8), one per line in brackets. It
// needs a library of its own (fakeJvmDependency.cpp). With FAKE_JVM_READS_ANSI it reads its
// options in the ANSI code page, as a real runtime does: for the class-path option it prints
// whether the jars open through the ANSI file call, then whether its own file name does.
// This library defines the creation entry that jni.h declares for importers.
#define _JNI_IMPLEMENTATION_

#include "hostText/ModifiedUtf8.h"

#ifdef FAKE_JVM_READS_ANSI
#include "ansiReader.h"
#endif

#include <jni.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int fakeJvmDependency(); // in a library of its own; returns 42

namespace {

std::vector<std::string> seen; // options, then the class, then main's arguments
struct Array {
  std::vector<std::string> items;
};
// The "heap": objects live until the library is unloaded, as a machine's live until it ends
// (the launcher drops its references and leaves the rest to the collector).
std::vector<std::unique_ptr<Array>> arrays;
std::vector<std::unique_ptr<std::string>> strings;
JNINativeInterface_ functions{};
JNIEnv_ environment{};
JNIInvokeInterface_ invocation{};
JavaVM_ machine{};

jclass JNICALL findClass(JNIEnv *, const char *name) {
  seen.push_back(name);
  return reinterpret_cast<jclass>(&seen);
}

jmethodID JNICALL getStaticMethodId(JNIEnv *, jclass, const char *, const char *) {
  return reinterpret_cast<jmethodID>(&seen);
}

jobjectArray JNICALL newObjectArray(JNIEnv *, jsize length, jclass, jobject) {
  arrays.push_back(std::make_unique<Array>());
  arrays.back()->items.resize(static_cast<std::size_t>(length));
  return reinterpret_cast<jobjectArray>(arrays.back().get());
}

jstring JNICALL newStringUtf(JNIEnv *, const char *modified) {
  strings.push_back(std::make_unique<std::string>(modified));
  return reinterpret_cast<jstring>(strings.back().get());
}

void JNICALL setObjectArrayElement(JNIEnv *, jobjectArray array, jsize index, jobject value) {
  reinterpret_cast<Array *>(array)->items[static_cast<std::size_t>(index)] =
      vantrel::hostText::toStandardUtf8(*reinterpret_cast<std::string *>(value));
}

void JNICALL deleteLocalRef(JNIEnv *, jobject) {}

// main(String[]) "runs": everything seen is printed at once. (The C++ form of the call,
// which the launcher uses, passes its arguments on as a va_list.)
void JNICALL callStaticVoidMethodV(JNIEnv *, jclass, jmethodID, va_list args) {
  auto *array = reinterpret_cast<Array *>(va_arg(args, jobjectArray));
  std::vector<std::string> lines = seen;
  lines.insert(lines.end(), array->items.begin(), array->items.end());
  std::string text = "jvm-args " + std::to_string(lines.size()) + "\n";
  for (const std::string &line : lines)
    text += "[" + line + "]\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

jthrowable JNICALL exceptionOccurred(JNIEnv *) {
  return nullptr;
}
jboolean JNICALL exceptionCheck(JNIEnv *) {
  return JNI_FALSE;
}
void JNICALL exceptionNothing(JNIEnv *) {}

jint JNICALL destroyJavaVm(JavaVM *) {
  return JNI_OK;
}

// An option as this runtime reads it.
std::string readOption(const std::string &option) {
#ifdef FAKE_JVM_READS_ANSI
  const std::string classPath = "-Djava.class.path=";
  if (option.rfind(classPath, 0) == 0) return ansiOpens("class path", option.substr(classPath.size()));
#endif
  return option;
}

} // namespace

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM **vm, void **env, void *args) {
  if (fakeJvmDependency() != 42) return JNI_ERR;
  const auto *init = static_cast<const JavaVMInitArgs *>(args);
  for (jint i = 0; i < init->nOptions; ++i)
    seen.push_back(readOption(init->options[i].optionString));
#ifdef FAKE_JVM_READS_ANSI
  seen.push_back(ansiOpens("library", ansiModuleName(reinterpret_cast<const void *>(&JNI_CreateJavaVM))));
#endif
  functions.FindClass = findClass;
  functions.GetStaticMethodID = getStaticMethodId;
  functions.NewObjectArray = newObjectArray;
  functions.NewStringUTF = newStringUtf;
  functions.SetObjectArrayElement = setObjectArrayElement;
  functions.DeleteLocalRef = deleteLocalRef;
  functions.CallStaticVoidMethodV = callStaticVoidMethodV;
  functions.ExceptionOccurred = exceptionOccurred;
  functions.ExceptionCheck = exceptionCheck;
  functions.ExceptionDescribe = exceptionNothing;
  functions.ExceptionClear = exceptionNothing;
  environment.functions = &functions;
  invocation.DestroyJavaVM = destroyJavaVm;
  machine.functions = &invocation;
  *vm = &machine;
  *env = &environment;
  return JNI_OK;
}
