// The java program: reads the runtime's command line, creates the machine, finds the main
// class on the class path and calls its static main(String[]) with the remaining arguments.
// The arguments arrive as UTF-8 (JavaEntry_posix.cpp / JavaEntry_win32.cpp) and become
// strings of exactly their characters.
#include "JavaMain.h"

#include "RuntimeMessages.h"
#include "RuntimePlatform.h"
#include "VmOptions.h"

#include "hostText/ModifiedUtf8.h"

#include <cstdio>
#include <cstdlib>

namespace rt = vantrel::runtime;
namespace msg = vantrel::runtime::messages;

namespace {

bool startsWith(const std::string &s, const char *prefix) {
  return s.rfind(prefix, 0) == 0;
}

std::string slashed(std::string name) {
  for (char &c : name)
    if (c == '.') c = '/';
  return name;
}

void error(const std::string &text) {
  std::fflush(stdout);
  rt::os::writeText(stderr, text);
  std::fflush(stderr);
}

std::string line(const char *pattern, const std::string &value) {
  std::string out;
  for (const char *p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += value;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

// main(String[]) of the class or its superclasses.
rt::Method *findMain(rt::Class *cls) {
  for (rt::Class *c = cls; c; c = c->super)
    for (auto &m : c->methods)
      if (m->info.name == "main" && m->info.descriptor == "([Ljava/lang/String;)V") return m.get();
  return nullptr;
}

} // namespace

namespace vantrel::runtime {

int javaMain(const std::vector<std::string> &argv) {
  const int argc = static_cast<int>(argv.size());
  rt::VmSettings settings;
  bool classPathGiven = false;
  std::string classPath;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.empty() || a[0] != '-') break;
    if (a == "-cp" || a == "-classpath" || a == "--class-path") {
      if (i + 1 >= argc) {
        error(line(msg::OPTION_REQUIRES_ARGUMENT, a));
        return 1;
      }
      classPath = argv[++i];
      classPathGiven = true;
    } else if (startsWith(a, "--class-path=")) {
      classPath = a.substr(13);
      classPathGiven = true;
    } else if (a == "-help" || a == "--help" || a == "-h" || a == "-?") {
      rt::os::writeText(stdout, msg::USAGE);
      return 0;
    } else if (startsWith(a, "-splash:")) {
      // A splash image is only shown by a windowing runtime; here it is accepted and ignored.
    } else {
      std::string message;
      if (rt::applyVmOption(a, settings, message) != rt::OptionStatus::Applied) {
        error(message + msg::COULD_NOT_CREATE_VM);
        return 1;
      }
    }
  }
  if (i >= argc) {
    error(msg::USAGE);
    return 1;
  }
  std::string message;
  if (!rt::checkVmSettings(settings, message)) {
    error(message + msg::COULD_NOT_CREATE_VM);
    return 1;
  }
  // Class path: the option, else -Djava.class.path, else CLASSPATH, else the current folder.
  if (classPathGiven) {
    settings.config.classPath = classPath;
  } else if (!settings.config.properties.count("java.class.path")) {
    const auto env = rt::os::environmentVariable("CLASSPATH");
    settings.config.classPath = env && !env->empty() ? *env : ".";
  }
  settings.config.properties["java.class.path"] = settings.config.classPath;

  const std::string mainClass = argv[i++];
  auto *vm = new rt::Vm(std::move(settings.config));
  rt::setCurrentVm(vm);

  rt::Class *cls = vm->findClass(slashed(mainClass), false);
  if (!cls) {
    for (const std::string &problem : vm->classPathProblems())
      error("Error: " + problem + "\n");
    std::string report = line(msg::MAIN_CLASS_NOT_FOUND, mainClass);
    if (vm->pending()->cls->name == "java/lang/NoClassDefFoundError")
      report += line(msg::MAIN_CLASS_CAUSE, mainClass);
    else
      report += "Caused by: " + vm->describe(vm->pending()) + "\n";
    error(report);
    return 1;
  }
  rt::Method *main = findMain(cls);
  if (!main || !(main->info.accessFlags & rt::ACC_STATIC)) {
    error(line(main ? msg::MAIN_METHOD_NOT_STATIC : msg::MAIN_METHOD_NOT_FOUND, mainClass));
    return 1;
  }
  rt::Array *args = vm->newArray(vm->builtin("java/lang/String"), static_cast<std::size_t>(argc - i));
  // Strings hold modified UTF-8, the JNI's form of the same characters.
  for (std::size_t k = 0; i < argc; ++i, ++k)
    args->items[k] = vm->newString(hostText::toModifiedUtf8(argv[i]));
  if (vm->initialize(cls)) {
    jvalue value{};
    value.l = reinterpret_cast<jobject>(static_cast<rt::Object *>(args));
    vm->callStatic(main, {value});
  }
  if (rt::Throwable *t = vm->pending()) {
    error(line(msg::UNCAUGHT_EXCEPTION, vm->describe(t)));
    return 1;
  }
  std::fflush(stdout);
  delete vm;
  return 0;
}

} // namespace vantrel::runtime
