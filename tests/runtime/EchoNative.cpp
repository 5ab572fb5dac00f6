// Test library echojni: the native mains of the test classes. EchoMain prints its arguments
// and, when the first argument asks for it, fails in one of the ways a native main can.
#include "JniArguments.h"
#include "JniExit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void print(const std::string &text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

bool startsWith(const std::string &s, const char *prefix) {
  return s.rfind(prefix, 0) == 0;
}

} // namespace

extern "C" JNIEXPORT void JNICALL Java_test_EchoMain_main(JNIEnv *env, jclass cls, jobjectArray array) {
  const auto args = vantrel::bitmorph::jni::argumentsOf(env, array);
  if (!args) return;
  std::string text = "argc=";
  text += std::to_string(args->size());
  text += '\n';
  for (std::size_t i = 0; i < args->size(); ++i) {
    text += '[';
    text += std::to_string(i);
    text += "]=";
    text += (*args)[i];
    text += '\n';
  }
  print(text);
  const std::string first = args->empty() ? std::string() : (*args)[0];
  if (first == "--throw") {
    vantrel::bitmorph::jni::throwRuntimeException(env, "requested failure");
  } else if (startsWith(first, "--exit=")) {
    std::exit(std::atoi(first.c_str() + 7));
  } else if (startsWith(first, "--system-exit=")) {
    vantrel::bitmorph::jni::exitThroughRuntime(env, std::atoi(first.c_str() + 14));
  } else if (first == "--unimplemented") {
    // A slot the stand-in runtime leaves unimplemented.
    env->MonitorEnter(cls);
  } else if (first == "--fatal") {
    env->FatalError("requested by the test");
  } else if (startsWith(first, "--find=")) {
    jclass found = env->FindClass(first.c_str() + 7);
    print(found ? "found\n" : "not found\n");
    if (!found) env->ExceptionDescribe();
  }
}

extern "C" JNIEXPORT void JNICALL Java_test_NoArgsMain_main(JNIEnv *, jclass) {
  print("main without arguments\n");
}
