// The stand-in virtual machine: its objects, classes found on the class path, pending
// exceptions and the native code it calls. It runs native methods only, never bytecode.
#include "Vm.h"

#include "RuntimeMessages.h"
#include "RuntimePlatform.h"

#include "hostText/FilePath.h"
#include "hostText/ModifiedUtf8.h"
#include "platform/file.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vantrel::runtime {
namespace {

Vm *theVm = nullptr;

// Formats a pattern with up to two %s places, filled in order.
std::string format2(const char *pattern, const std::string &a, const std::string &b) {
  std::string out;
  int n = 0;
  for (const char *p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += n++ == 0 ? a : b;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string format(const char *pattern, const std::string &a) {
  return format2(pattern, a, std::string());
}

std::string dotted(std::string name) {
  for (char &c : name)
    if (c == '/') c = '.';
  return name;
}

// The Java-language spelling of one field descriptor starting at i; i moves past it.
std::string javaType(const std::string &d, std::size_t &i) {
  std::string dims;
  while (i < d.size() && d[i] == '[') {
    dims += "[]";
    ++i;
  }
  if (i >= d.size()) return "?";
  std::string base;
  switch (d[i]) {
  case 'V':
    base = "void";
    break;
  case 'Z':
    base = "boolean";
    break;
  case 'B':
    base = "byte";
    break;
  case 'C':
    base = "char";
    break;
  case 'S':
    base = "short";
    break;
  case 'I':
    base = "int";
    break;
  case 'J':
    base = "long";
    break;
  case 'F':
    base = "float";
    break;
  case 'D':
    base = "double";
    break;
  case 'L': {
    const std::size_t end = d.find(';', i);
    if (end == std::string::npos) {
      i = d.size();
      return "?";
    }
    base = dotted(d.substr(i + 1, end - i - 1));
    i = end;
    break;
  }
  default:
    base = "?";
  }
  ++i;
  return base + dims;
}

// "void a.b.C.main(java.lang.String[])": how the runtime names a method in messages.
std::string javaSignature(const Method &m) {
  const std::string &d = m.info.descriptor;
  std::string params;
  std::size_t i = 1;
  while (i < d.size() && d[i] != ')') {
    if (!params.empty()) params += ", ";
    params += javaType(d, i);
  }
  ++i;
  return javaType(d, i) + " " + dotted(m.owner->name) + "." + m.info.name + "(" + params + ")";
}

// JNI name mangling of one class or method name (or descriptor part).
std::string mangle(const std::string &text) {
  std::string out;
  static const char *hex = "0123456789abcdef";
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned unit = c;
    std::size_t len = 1;
    // Decode one modified UTF-8 sequence into a UTF-16 unit for the _0xxxx escape.
    if (c >= 0xE0 && i + 2 < text.size()) {
      unit = ((c & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) | (text[i + 2] & 0x3Fu);
      len = 3;
    } else if (c >= 0xC0 && i + 1 < text.size()) {
      unit = ((c & 0x1Fu) << 6) | (text[i + 1] & 0x3Fu);
      len = 2;
    }
    i += len;
    if (unit < 0x80 && std::isalnum(static_cast<int>(unit)))
      out += static_cast<char>(unit);
    else if (unit == '/')
      out += '_';
    else if (unit == '_')
      out += "_1";
    else if (unit == ';')
      out += "_2";
    else if (unit == '[')
      out += "_3";
    else {
      out += "_0";
      for (int shift = 12; shift >= 0; shift -= 4)
        out += hex[(unit >> shift) & 0xF];
    }
  }
  return out;
}

struct BuiltinClass {
  const char *name;
  const char *super;
};

// The classes every machine has without a class file, parents before children.
const BuiltinClass BUILTINS[] = {
    {"java/lang/Object", nullptr},
    {"java/lang/Class", "java/lang/Object"},
    {"java/lang/String", "java/lang/Object"},
    {"java/lang/System", "java/lang/Object"},
    {"java/lang/Throwable", "java/lang/Object"},
    {"java/lang/Exception", "java/lang/Throwable"},
    {"java/lang/RuntimeException", "java/lang/Exception"},
    {"java/lang/ReflectiveOperationException", "java/lang/Exception"},
    {"java/lang/ClassNotFoundException", "java/lang/ReflectiveOperationException"},
    {"java/lang/IllegalArgumentException", "java/lang/RuntimeException"},
    {"java/lang/IllegalStateException", "java/lang/RuntimeException"},
    {"java/lang/UnsupportedOperationException", "java/lang/RuntimeException"},
    {"java/lang/NullPointerException", "java/lang/RuntimeException"},
    {"java/lang/ArrayStoreException", "java/lang/RuntimeException"},
    {"java/lang/NegativeArraySizeException", "java/lang/RuntimeException"},
    {"java/lang/IndexOutOfBoundsException", "java/lang/RuntimeException"},
    {"java/lang/ArrayIndexOutOfBoundsException", "java/lang/IndexOutOfBoundsException"},
    {"java/lang/StringIndexOutOfBoundsException", "java/lang/IndexOutOfBoundsException"},
    {"java/lang/Error", "java/lang/Throwable"},
    {"java/lang/LinkageError", "java/lang/Error"},
    {"java/lang/NoClassDefFoundError", "java/lang/LinkageError"},
    {"java/lang/ClassFormatError", "java/lang/LinkageError"},
    {"java/lang/UnsatisfiedLinkError", "java/lang/LinkageError"},
    {"java/lang/ExceptionInInitializerError", "java/lang/LinkageError"},
    {"java/lang/IncompatibleClassChangeError", "java/lang/LinkageError"},
    {"java/lang/NoSuchMethodError", "java/lang/IncompatibleClassChangeError"},
    {"java/lang/VirtualMachineError", "java/lang/Error"},
    {"java/lang/InternalError", "java/lang/VirtualMachineError"},
    {"java/lang/OutOfMemoryError", "java/lang/VirtualMachineError"},
};

constexpr std::size_t MAX_NATIVE_PARAMETERS = 4;

// java.lang.System.exit(int), the entry of the one built-in method.
void JNICALL systemExit(JNIEnv *env, jclass, jint status) {
  Vm::from(env)->exit(status);
}

} // namespace

Vm *currentVm() {
  return theVm;
}
void setCurrentVm(Vm *vm) {
  theVm = vm;
}

Vm::Vm(VmConfig config) : config_(std::move(config)), classPath_(config_.classPath) {
  envBlock_.env.functions = jniFunctionTable();
  envBlock_.owner = this;
  vmBlock_.vm.functions = jniInvokeTable();
  vmBlock_.owner = this;
  for (const BuiltinClass &b : BUILTINS) {
    Class *super = b.super ? classes_.at(b.super) : nullptr;
    Class *cls = make<Class>(nullptr, b.name, super);
    classes_[b.name] = cls;
  }
  // java/lang/Class is its own class; every class made so far is an instance of it.
  Class *classClass = classes_.at("java/lang/Class");
  for (auto &entry : classes_)
    entry.second->cls = classClass;
  // Native code ends the process the way a Java program does, through System.exit.
  Class *system = classes_.at("java/lang/System");
  auto exitMethod = std::make_unique<Method>();
  exitMethod->owner = system;
  exitMethod->info = {ACC_PUBLIC | ACC_STATIC | ACC_NATIVE, "exit", "(I)V"};
  exitMethod->registered = reinterpret_cast<void *>(&systemExit);
  system->methods.push_back(std::move(exitMethod));
}

Vm::~Vm() {
  if (theVm == this) theVm = nullptr;
}

void Vm::exit(int status) {
  // The machine's exit path: what the program wrote reaches its destination, then the C
  // library's exit runs the handlers registered with atexit and the static destructors,
  // as when the last thread of a Java program ends. The machine runs no thread of its own
  // that could still be working meanwhile.
  std::fflush(nullptr);
  std::exit(status);
}

Vm *Vm::from(JNIEnv *env) {
  return reinterpret_cast<EnvBlock *>(env)->owner;
}
Vm *Vm::from(JavaVM *vm) {
  return reinterpret_cast<VmBlock *>(vm)->owner;
}

template <class T, class... A> T *Vm::make(A &&...a) {
  auto object = std::make_unique<T>(std::forward<A>(a)...);
  T *raw = object.get();
  objects_.push_back(std::move(object));
  known_[raw] = raw;
  return raw;
}

bool Vm::isObject(const void *p) const {
  return p && known_.count(p) != 0;
}

Class *Vm::builtin(const std::string &name) {
  return classes_.at(name);
}

Class *Vm::arrayClass(Class *element) {
  const std::string name = element->name[0] == '[' ? "[" + element->name : "[L" + element->name + ";";
  auto it = classes_.find(name);
  if (it != classes_.end()) return it->second;
  Class *cls = make<Class>(builtin("java/lang/Class"), name, builtin("java/lang/Object"));
  classes_[name] = cls;
  return cls;
}

bool Vm::isAssignable(Class *from, Class *to) const {
  for (Class *c = from; c; c = c->super)
    if (c == to) return true;
  return false;
}

String *Vm::newString(std::string modifiedUtf8) {
  return make<String>(builtin("java/lang/String"), std::move(modifiedUtf8));
}

Array *Vm::newArray(Class *element, std::size_t length) {
  return make<Array>(arrayClass(element), element, length);
}

void Vm::throwNew(const std::string &className, std::optional<std::string> message) {
  throwNew(builtin(className), std::move(message));
}

void Vm::throwNew(Class *cls, std::optional<std::string> message) {
  pending_ = make<Throwable>(cls, std::move(message));
}

std::string Vm::describe(const Throwable *t) const {
  std::string text = dotted(t->cls->name);
  // Messages from native code are modified UTF-8, the runtime's own are standard UTF-8;
  // the text printed is standard UTF-8 either way.
  if (t->message) text += ": " + hostText::toStandardUtf8(*t->message);
  return text;
}

Class *Vm::findClass(const std::string &name, bool initialize) {
  auto it = classes_.find(name);
  if (it != classes_.end()) {
    if (initialize && !this->initialize(it->second)) return nullptr;
    return it->second;
  }
  if (name.size() > 1 && name[0] == '[') {
    // Arrays of references; the element class is loaded first.
    std::string element = name.substr(1);
    if (element[0] == 'L' && element.back() == ';') element = element.substr(1, element.size() - 2);
    Class *e = findClass(element, false);
    return e ? arrayClass(e) : nullptr;
  }
  std::string error;
  auto found = name.find('.') == std::string::npos ? classPath_.find(name, error) : std::nullopt;
  if (!error.empty()) {
    throwNew("java/lang/ClassFormatError", error);
    return nullptr;
  }
  if (!found) {
    throwNew("java/lang/NoClassDefFoundError", name);
    return nullptr;
  }
  auto file = ClassFile::parse(found->bytes);
  if (!file) {
    throwNew("java/lang/ClassFormatError", format(messages::BAD_CLASS_FILE, name));
    return nullptr;
  }
  if (file->name != name) {
    throwNew("java/lang/NoClassDefFoundError", format2(messages::WRONG_CLASS_NAME, name, file->name));
    return nullptr;
  }
  Class *super = nullptr;
  if (!file->superName.empty() && !(super = findClass(file->superName, false))) return nullptr;
  Class *cls = make<Class>(builtin("java/lang/Class"), name, super);
  cls->origin = found->origin;
  cls->nativeLibrary = found->nativeLibrary;
  cls->state = Class::State::Loaded;
  for (MethodInfo &info : file->methods) {
    auto m = std::make_unique<Method>();
    m->owner = cls;
    m->info = std::move(info);
    cls->methods.push_back(std::move(m));
  }
  classes_[name] = cls;
  if (initialize && !this->initialize(cls)) return nullptr;
  return cls;
}

bool Vm::initialize(Class *cls) {
  if (cls->state == Class::State::Initialized) return true;
  if (cls->state == Class::State::Erroneous) {
    throwNew("java/lang/NoClassDefFoundError", "Could not initialize class " + dotted(cls->name));
    return false;
  }
  if (cls->super && !initialize(cls->super)) return false;
  if (!cls->nativeLibrary.empty()) {
    // The class's initialisation loads its library from the folder of its archive; the
    // path is absolute so the OS loader never goes searching elsewhere.
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::absolute(hostText::utf8Path(cls->origin), ec).parent_path();
    const std::string path =
        hostText::pathUtf8(folder / hostText::utf8Path(os::mapLibraryName(cls->nativeLibrary)));
    bool loaded = false;
    for (auto &library : libraries_)
      loaded = loaded || library.first == path;
    if (!loaded) {
      std::string reason;
      void *handle = platform::fileExists(path) ? os::loadLibrary(path, reason) : nullptr;
      if (!handle) {
        cls->state = Class::State::Erroneous;
        throwNew("java/lang/UnsatisfiedLinkError",
                 format(messages::CANNOT_LOAD_LIBRARY, reason.empty() ? path : path + ": " + reason));
        return false;
      }
      libraries_.emplace_back(path, handle);
    }
  }
  cls->state = Class::State::Initialized;
  return true;
}

Method *Vm::findMethod(Class *cls, const std::string &name, const std::string &descriptor, bool isStatic) {
  for (Class *c = cls; c; c = c->super)
    for (auto &m : c->methods)
      if (m->info.name == name && m->info.descriptor == descriptor) {
        if (((m->info.accessFlags & ACC_STATIC) != 0) != isStatic) break;
        return m.get();
      }
  throwNew("java/lang/NoSuchMethodError", name);
  return nullptr;
}

std::optional<std::string> Vm::parameterKinds(const std::string &d) {
  if (d.empty() || d[0] != '(') return std::nullopt;
  std::string kinds;
  std::size_t i = 1;
  while (i < d.size() && d[i] != ')') {
    char kind = d[i];
    while (i < d.size() && d[i] == '[') {
      kind = 'L';
      ++i;
    }
    if (i >= d.size()) return std::nullopt;
    if (d[i] == 'L') {
      const std::size_t end = d.find(';', i);
      if (end == std::string::npos) return std::nullopt;
      i = end;
      kind = 'L';
    } else if (std::strchr("ZBCSIJFD", d[i]) == nullptr || d[i] == '\0') {
      return std::nullopt;
    }
    kinds += kind;
    ++i;
  }
  if (i >= d.size()) return std::nullopt;
  return kinds;
}

void *Vm::nativeEntry(Method *method) {
  if (method->registered) return method->registered;
  const std::string shortName = "Java_" + mangle(method->owner->name) + "_" + mangle(method->info.name);
  const std::string &d = method->info.descriptor;
  const std::string longName = shortName + "__" + mangle(d.substr(1, d.find(')') - 1));
  for (const std::string &name : {shortName, longName})
    for (auto &library : libraries_)
      if (void *entry = os::findSymbol(library.second, name.c_str())) return entry;
  return nullptr;
}

void Vm::callStatic(Method *method, const std::vector<jvalue> &args) {
  if (!initialize(method->owner)) return;
  if ((method->info.accessFlags & ACC_NATIVE) == 0) {
    throwNew("java/lang/InternalError", format(messages::BYTECODE_NOT_SUPPORTED, javaSignature(*method)));
    return;
  }
  const auto kinds = parameterKinds(method->info.descriptor);
  if (!kinds || kinds->size() > MAX_NATIVE_PARAMETERS || kinds->find_first_of("FD") != std::string::npos ||
      kinds->size() != args.size()) {
    throwNew("java/lang/InternalError", "unsupported native method signature: " + javaSignature(*method));
    return;
  }
  void *entry = nativeEntry(method);
  if (!entry) {
    throwNew("java/lang/UnsatisfiedLinkError",
             format(messages::NATIVE_METHOD_UNLINKED, javaSignature(*method)));
    return;
  }
  // Every supported parameter is passed in an integer register: references as pointers,
  // int-like values and longs widened to 64 bits (the callee reads only its own width).
  std::intptr_t a[MAX_NATIVE_PARAMETERS] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < args.size(); ++i) {
    switch ((*kinds)[i]) {
    case 'L':
      a[i] = reinterpret_cast<std::intptr_t>(args[i].l);
      break;
    case 'J':
      a[i] = static_cast<std::intptr_t>(args[i].j);
      break;
    case 'Z':
      a[i] = args[i].z;
      break;
    case 'B':
      a[i] = args[i].b;
      break;
    case 'C':
      a[i] = args[i].c;
      break;
    case 'S':
      a[i] = args[i].s;
      break;
    default:
      a[i] = args[i].i;
      break;
    }
  }
  JNIEnv *e = env();
  jclass c = reinterpret_cast<jclass>(static_cast<Object *>(method->owner));
  using F0 = void(JNICALL *)(JNIEnv *, jclass);
  using F1 = void(JNICALL *)(JNIEnv *, jclass, std::intptr_t);
  using F2 = void(JNICALL *)(JNIEnv *, jclass, std::intptr_t, std::intptr_t);
  using F3 = void(JNICALL *)(JNIEnv *, jclass, std::intptr_t, std::intptr_t, std::intptr_t);
  using F4 = void(JNICALL *)(JNIEnv *, jclass, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t);
  switch (args.size()) {
  case 0:
    reinterpret_cast<F0>(entry)(e, c);
    break;
  case 1:
    reinterpret_cast<F1>(entry)(e, c, a[0]);
    break;
  case 2:
    reinterpret_cast<F2>(entry)(e, c, a[0], a[1]);
    break;
  case 3:
    reinterpret_cast<F3>(entry)(e, c, a[0], a[1], a[2]);
    break;
  default:
    reinterpret_cast<F4>(entry)(e, c, a[0], a[1], a[2], a[3]);
    break;
  }
}

const char *Vm::pinUtf(const String *s) {
  auto copy = std::make_unique<char[]>(s->utf.size() + 1);
  std::memcpy(copy.get(), s->utf.c_str(), s->utf.size() + 1);
  const char *p = copy.get();
  pinned_[p] = std::move(copy);
  return p;
}

void Vm::releaseUtf(const char *chars) {
  pinned_.erase(chars);
}

} // namespace vantrel::runtime
