// Test VM library: records the creation arguments it is given (to the file named by
// RECORDING_JVM_FILE) and refuses to create a machine.
// This library defines the creation entry that jni.h declares for importers.
#define _JNI_IMPLEMENTATION_

#include "RuntimePlatform.h"

#include <jni.h>

#include <cstdio>

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM **, void **, void *args) {
  const auto file = vantrel::runtime::os::environmentVariable("RECORDING_JVM_FILE");
  const auto *init = static_cast<const JavaVMInitArgs *>(args);
  if (file && init) {
    if (std::FILE *f = std::fopen(file->c_str(), "wb")) {
      std::fprintf(f, "version=%#010x ignoreUnrecognized=%d\n", static_cast<unsigned>(init->version),
                   static_cast<int>(init->ignoreUnrecognized));
      for (jint i = 0; i < init->nOptions; ++i)
        std::fprintf(f, "option=%s extra=%s\n", init->options[i].optionString,
                     init->options[i].extraInfo ? "set" : "null");
      std::fclose(f);
    }
  }
  return JNI_ERR;
}
