// The VM library's exports: the JNI invocation entries that create and list the machine.
// Declared by jni.h as imports; this library is where they are defined and exported.
#define _JNI_IMPLEMENTATION_

#include "RuntimePlatform.h"
#include "VmOptions.h"

#include <cstdio>
#include <cstring>

using vantrel::runtime::OptionStatus;

namespace {

bool supportedVersion(jint version) {
  return version == JNI_VERSION_1_1 || version == JNI_VERSION_1_2 || version == JNI_VERSION_1_4 ||
         version == JNI_VERSION_1_6 || version == JNI_VERSION_1_8;
}

// Hook options carry a function in extraInfo instead of text after the name.
bool isHookOption(const char *text) {
  return std::strcmp(text, "exit") == 0 || std::strcmp(text, "abort") == 0 ||
         std::strcmp(text, "vfprintf") == 0;
}

void report(const std::string &message) {
  std::fflush(stdout);
  vantrel::runtime::os::writeText(stderr, message);
  std::fflush(stderr);
}

} // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void *args) {
  if (!args) return JNI_EINVAL;
  return supportedVersion(static_cast<JavaVMInitArgs *>(args)->version) ? JNI_OK : JNI_EVERSION;
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM **pvm, void **penv, void *args) {
  if (!pvm || !penv || !args) return JNI_EINVAL;
  // One machine per process, as in every JNI runtime.
  if (vantrel::runtime::currentVm()) return JNI_EEXIST;
  const auto *init = static_cast<const JavaVMInitArgs *>(args);
  if (!supportedVersion(init->version)) return JNI_EVERSION;
  if (init->nOptions < 0 || (init->nOptions > 0 && !init->options)) return JNI_EINVAL;
  vantrel::runtime::VmSettings settings;
  for (jint i = 0; i < init->nOptions; ++i) {
    const char *text = init->options[i].optionString;
    if (!text) return JNI_EINVAL;
    if (isHookOption(text)) continue;
    std::string message;
    switch (vantrel::runtime::applyVmOption(text, settings, message)) {
    case OptionStatus::Applied:
      break;
    case OptionStatus::Unrecognized:
      if (init->ignoreUnrecognized) break;
      report(message);
      return JNI_ERR;
    case OptionStatus::Invalid:
      report(message);
      return JNI_EINVAL;
    }
  }
  std::string message;
  if (!vantrel::runtime::checkVmSettings(settings, message)) {
    report(message);
    return JNI_EINVAL;
  }
  auto *vm = new vantrel::runtime::Vm(std::move(settings.config));
  vantrel::runtime::setCurrentVm(vm);
  *pvm = vm->javaVm();
  *penv = vm->env();
  return JNI_OK;
}

JNIEXPORT jint JNICALL JNI_GetCreatedJavaVMs(JavaVM **buffer, jsize length, jsize *count) {
  vantrel::runtime::Vm *vm = vantrel::runtime::currentVm();
  if (count) *count = vm ? 1 : 0;
  if (vm && buffer && length > 0) buffer[0] = vm->javaVm();
  return JNI_OK;
}

} // extern "C"
