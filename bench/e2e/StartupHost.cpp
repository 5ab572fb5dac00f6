// Start-up host: measures the in-process runtime's own start-up. It prints the steady clock,
// then loads the runtime library, creates a VM on the class path given, finds the main
// class and calls its main; the probe in place of the application's library prints the
// clock again at the entry.
// Usage: startup_host <runtime library> <class path> <main class, with dots>
#include "dynamicLibrary.h"

#include <jni.h>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char **argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_host <runtime library> <class path> <main class>\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now().time_since_epoch();
  std::printf("%lld\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(start).count()));
  std::fflush(stdout);

  using CreateVm = jint(JNICALL *)(JavaVM **, void **, void *);
  std::string reason;
  void *library = vantrel::launcher::platform::loadLibrary(argv[1], "", reason);
  auto create =
      reinterpret_cast<CreateVm>(vantrel::launcher::platform::findLibrarySymbol(library, "JNI_CreateJavaVM"));
  if (!create) {
    std::fprintf(stderr, "no JNI_CreateJavaVM in %s %s\n", argv[1], reason.c_str());
    return 1;
  }
  std::string classPath = std::string("-Djava.class.path=") + argv[2];
  JavaVMOption option{};
  option.optionString = classPath.data();
  JavaVMInitArgs args{};
  args.version = JNI_VERSION_1_6;
  args.nOptions = 1;
  args.options = &option;
  args.ignoreUnrecognized = JNI_FALSE;
  JavaVM *vm = nullptr;
  JNIEnv *env = nullptr;
  if (create(&vm, reinterpret_cast<void **>(&env), &args) != JNI_OK) {
    std::fprintf(stderr, "the VM was not created\n");
    return 1;
  }
  std::string className = argv[3];
  for (char &c : className)
    if (c == '.') c = '/';
  jclass mainClass = env->FindClass(className.c_str());
  jmethodID main = mainClass ? env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V") : nullptr;
  jclass stringClass = env->FindClass("java/lang/String");
  jobjectArray noArguments = stringClass ? env->NewObjectArray(0, stringClass, nullptr) : nullptr;
  if (!main || !noArguments) {
    std::fprintf(stderr, "no main in %s\n", argv[3]);
    return 1;
  }
  env->CallStaticVoidMethod(mainClass, main, noArguments);
  return env->ExceptionCheck() ? 1 : 0;
}
