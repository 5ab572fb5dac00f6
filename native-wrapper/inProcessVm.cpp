// The in-process start: loads the runtime's VM library, creates the machine through the JNI
// invocation interface, calls the main class's static main and destroys the machine.
#include "inProcessVm.h"

#include "dynamicLibrary.h"
#include "inProcessVmTexts.h"
#include "javaCommandLine.h"
#include "launcherPlatform.h"
#include "launcherPrint.h"
#include "launcherTexts.h"

#include "hostText/ModifiedUtf8.h"

#include <jni.h>

#include <cstdio>
#include <string>
#include <vector>

namespace vantrel::launcher {
namespace {

using CreateJavaVmFunction = jint(JNICALL *)(JavaVM **, void **, void *);
using SplashInitFunction = void(JNICALL *)();
using SplashLoadFileFunction = int(JNICALL *)(const char *);
using SplashSetFileJarNameFunction = void(JNICALL *)(const char *, const char *);
using SplashCloseFunction = void(JNICALL *)();

/// Set while a splash image is shown; called once main has returned.
SplashCloseFunction splashCloseHook = nullptr;

template <class F> F symbolAs(platform::LibraryHandle library, const char *name) {
  return reinterpret_cast<F>(platform::findLibrarySymbol(library, name));
}

// Shows a splash image through the runtime's splash library. A library that cannot be
// loaded is reported and the start goes on without a splash screen; the library stays
// loaded for the rest of the process, as its close entry is called later.
void loadSplashScreen(FILE *out, const std::string &image, const std::string &jreDir) {
  const std::string library = jreDir + platform::kPathSeparator + platform::kSplashLibraryFile;
  std::string reason;
  platform::LibraryHandle handle = platform::loadLibrary(library, "", reason);
  if (!handle) {
    printTo(out, kMsgSplashNotLoadable, image.c_str());
    return;
  }
  auto init = symbolAs<SplashInitFunction>(handle, kSplashInit);
  auto loadFile = symbolAs<SplashLoadFileFunction>(handle, kSplashLoadFile);
  auto setFileJarName = symbolAs<SplashSetFileJarNameFunction>(handle, kSplashSetFileJarName);
  splashCloseHook = symbolAs<SplashCloseFunction>(handle, kSplashClose);
  if (init && loadFile && setFileJarName && splashCloseHook) {
    init();
    loadFile(image.c_str());
    setFileJarName(library.c_str(), nullptr);
  } else {
    splashCloseHook = nullptr;
  }
}

// Splits the VM options at spaces (runs of spaces are one separator); "-splash" tokens
// show their image and are not passed on; the class path comes last, even when empty.
std::vector<std::string> vmOptionTexts(JavaCommandLine &cmd, const std::string &jreDir) {
  std::vector<std::string> options;
  const std::string &text = cmd.getVmOptions();
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    std::size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string token = text.substr(at, end - at);
    at = end;
    if (token.rfind(kSplashOptionPrefix, 0) == 0) {
      const std::size_t colon = token.find(':');
      if (colon != std::string::npos) {
        const std::string image = token.substr(colon + 1, token.find('"', colon + 1) - colon - 1);
        if (!image.empty()) loadSplashScreen(cmd.getOut(), image, jreDir);
      }
      continue;
    }
    options.push_back(token);
  }
  // Option bytes are read as UTF-8 by some runtimes and in the ANSI code page by others.
  options.push_back(std::string(kClassPathOption) + cmd.getRuntimeClassPath(platform::RuntimeText::Bytes));
  return options;
}

// The folder where a runtime keeps the libraries its VM library needs: the one above the
// variant folder (bin for bin\server\jvm.dll).
std::string dependencyFolder(const std::string &jreDir) {
  const std::string library = platform::kVmLibraryFile;
  return jreDir + platform::kPathSeparator + library.substr(0, library.find(platform::kPathSeparator));
}

// Creates the machine; 0 with vm and env set, or -1 after the message.
int createVm(JavaCommandLine &cmd, JavaVM **vm, JNIEnv **env) {
  const std::string jreDir = cmd.getJreDir();
  const std::string library = jreDir + platform::kPathSeparator + platform::kVmLibraryFile;
  std::vector<std::string> texts = vmOptionTexts(cmd, jreDir);
  std::vector<JavaVMOption> options(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    options[i].optionString = texts[i].data();
    options[i].extraInfo = nullptr;
  }
  // A runtime finds its own files from the name its VM library was loaded by.
  std::string reason;
  platform::LibraryHandle handle = platform::loadLibrary(
      runtimeReadable(library, platform::RuntimeText::Wide), dependencyFolder(jreDir), reason);
  if (!handle) {
    printTo(cmd.getErr(), kMsgCannotLoadLibrary, library.c_str());
    printTo(cmd.getErr(), kMsgReason, reason.c_str());
    return -1;
  }
  auto create = symbolAs<CreateJavaVmFunction>(handle, kCreateVmEntry);
  if (!create) {
    printTo(cmd.getErr(), kMsgCannotLoadSymbol, kCreateVmEntry);
    platform::freeLibrary(handle);
    return -1;
  }
  JavaVMInitArgs args;
  args.version = JNI_VERSION_1_6;
  args.nOptions = static_cast<jint>(options.size());
  args.options = options.data();
  args.ignoreUnrecognized = JNI_FALSE;
  platform::flushStandardStreams();
  if (create(vm, reinterpret_cast<void **>(env), &args) != JNI_OK) {
    printTo(cmd.getOut(), "%s", kMsgUnableToLaunchJvm);
    return -1;
  }
  // The handle on the VM library is kept for the rest of the process: a runtime may leave
  // threads or exit hooks inside its library even after DestroyJavaVM, so unloading it
  // early could pull code from under them.
  return 0;
}

void reportPendingException(JNIEnv *env) {
  if (env->ExceptionOccurred()) {
    std::fflush(stdout);
    env->ExceptionDescribe();
    env->ExceptionClear();
  }
}

// Calls the main class's static main; 0 when it was called, -1 after the message.
int invokeMain(JavaCommandLine &cmd, JNIEnv *env) {
  std::string className = cmd.getProgramName();
  for (char &c : className)
    if (c == '.') c = '/';
  jclass mainClass = env->FindClass(className.c_str());
  if (!mainClass) {
    printTo(cmd.getOut(), kMsgJniClassNotFound, className.c_str());
    return -1;
  }
  jmethodID main = env->GetStaticMethodID(mainClass, kMainMethod, kMainSignature);
  if (main) {
    // The arguments are UTF-8; the JNI takes modified UTF-8, which differs for characters
    // outside the BMP (and NUL).
    const int count = cmd.getNumArgs();
    jclass stringClass = env->FindClass(kStringClass);
    jobjectArray args = stringClass ? env->NewObjectArray(count, stringClass, nullptr) : nullptr;
    if (!args) return -1;
    for (int i = 0; i < count; ++i) {
      jstring arg = env->NewStringUTF(hostText::toModifiedUtf8(cmd.getArg(i)).c_str());
      if (!arg) return -1;
      env->SetObjectArrayElement(args, i, arg);
      env->DeleteLocalRef(arg);
    }
    env->CallStaticVoidMethod(mainClass, main, args);
    return 0;
  }
  env->ExceptionClear();
  main = env->GetStaticMethodID(mainClass, kMainMethod, kMainSignatureNoArgs);
  if (!main) {
    printTo(cmd.getOut(), kMsgJniIncorrectMethodId, kMainMethod);
    return -1;
  }
  env->CallStaticVoidMethod(mainClass, main);
  return 0;
}

} // namespace

int runInProcessVm(JavaCommandLine &cmd) {
  const std::string commandString = cmd.getCommandString();
  if (cmd.isVerbose()) printTo(cmd.getOut(), "%s\n", commandString.c_str());
  if (!cmd.isExec()) return 0;
  JavaVM *vm = nullptr;
  JNIEnv *env = nullptr;
  if (createVm(cmd, &vm, &env) != 0) return -1;
  reportPendingException(env);
  if (invokeMain(cmd, env) != 0) {
    reportPendingException(env);
    return -1;
  }
  if (splashCloseHook) splashCloseHook();
  // An exception that escaped main is printed and the run fails, as in the child start.
  const int status = env->ExceptionCheck() ? kStatusUncaughtException : 0;
  reportPendingException(env);
  vm->DestroyJavaVM();
  std::fflush(nullptr);
  return status;
}

} // namespace vantrel::launcher
