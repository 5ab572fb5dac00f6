// The stand-in virtual machine: its objects, classes found on the class path, pending
// exceptions and the native code it calls. It runs native methods only, never bytecode.
#pragma once

#include "ClassFile.h"
#include "ClassPath.h"

#include <jni.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::runtime {

struct Class;

/// Every object the machine hands out as a JNI reference.
struct Object {
  enum class Kind { Class, String, Array, Throwable };
  Object(Kind k, Class *c) : kind(k), cls(c) {}
  virtual ~Object() = default;
  Kind kind;
  Class *cls; ///< the object's class
};

/// A method of a class (from its class file, or none for the built-in classes).
struct Method {
  Class *owner = nullptr;
  MethodInfo info;
  void *registered = nullptr; ///< entry given by RegisterNatives, if any
};

/// A loaded class. Built-in classes (java/lang/...) have no class file; their one method is
/// the native System.exit(int).
struct Class : Object {
  Class(Class *classClass, std::string n, Class *s)
      : Object(Kind::Class, classClass), name(std::move(n)), super(s) {}
  std::string name; ///< internal name, "a/b/C"
  Class *super;
  std::vector<std::unique_ptr<Method>> methods;
  std::string origin;        ///< the class-path entry it came from
  std::string nativeLibrary; ///< library its initialisation loads (archive attribute)
  enum class State { Loaded, Initialized, Erroneous } state = State::Initialized;
};

/// A string, held as the modified UTF-8 bytes it was made from.
struct String : Object {
  String(Class *c, std::string b) : Object(Kind::String, c), utf(std::move(b)) {}
  std::string utf;
};

/// An array of references.
struct Array : Object {
  Array(Class *c, Class *e, std::size_t n) : Object(Kind::Array, c), element(e), items(n, nullptr) {}
  Class *element;
  std::vector<Object *> items;
};

/// A throwable with an optional message.
struct Throwable : Object {
  Throwable(Class *c, std::optional<std::string> m) : Object(Kind::Throwable, c), message(std::move(m)) {}
  std::optional<std::string> message;
};

/// Settings the machine is created with.
struct VmConfig {
  std::string classPath;
  std::map<std::string, std::string> properties;
};

/// One machine per process; it owns every object until it is destroyed.
class Vm {
public:
  explicit Vm(VmConfig config);
  ~Vm();
  Vm(const Vm &) = delete;
  Vm &operator=(const Vm &) = delete;

  /// The JNI environment of the (only) thread and the invocation interface.
  JNIEnv *env() { return &envBlock_.env; }
  JavaVM *javaVm() { return &vmBlock_.vm; }
  /// System.exit: flushes the C streams and ends the process with status through the C
  /// library's exit (atexit handlers and static destructors run).
  [[noreturn]] void exit(int status);

  /// The machine behind an environment or an invocation-interface pointer.
  static Vm *from(JNIEnv *env);
  static Vm *from(JavaVM *vm);

  /// Finds a class by internal name, loading it from the class path. With initialize, the
  /// class's initialisation (loading its archive's native library) runs too. Null with a
  /// pending exception when it cannot be found, loaded or initialised.
  Class *findClass(const std::string &name, bool initialize);
  /// Runs a loaded class's initialisation; false with a pending exception when it fails.
  bool initialize(Class *cls);
  /// A built-in class by internal name (never null for the names the machine creates).
  Class *builtin(const std::string &name);
  /// The class of arrays of element.
  Class *arrayClass(Class *element);
  /// True when a value of class from may be stored where class to is expected.
  bool isAssignable(Class *from, Class *to) const;

  String *newString(std::string modifiedUtf8);
  Array *newArray(Class *element, std::size_t length);

  /// Makes a throwable of the named built-in class pending.
  void throwNew(const std::string &className, std::optional<std::string> message);
  void throwNew(Class *cls, std::optional<std::string> message);
  void setPending(Throwable *t) { pending_ = t; }
  Throwable *pending() const { return pending_; }
  void clearPending() { pending_ = nullptr; }
  /// A throwable's text as the runtime prints it: dotted class name, then ": " and the message.
  std::string describe(const Throwable *t) const;

  /// The method of that name and descriptor declared by cls or a superclass; null with a
  /// pending NoSuchMethodError when there is none or when its static-ness differs.
  Method *findMethod(Class *cls, const std::string &name, const std::string &descriptor, bool isStatic);
  /// Calls a static method with its arguments (one jvalue per parameter); a failure to
  /// call it (no native entry, bytecode, unsupported parameter types) leaves an exception.
  void callStatic(Method *method, const std::vector<jvalue> &args);
  /// Parameter type letters of a descriptor ('L' for every reference), or nothing when it is malformed.
  static std::optional<std::string> parameterKinds(const std::string &descriptor);

  /// True when p is an object this machine made (and so safe to look at).
  bool isObject(const void *p) const;
  /// A string kept alive until release (GetStringUTFChars).
  const char *pinUtf(const String *s);
  void releaseUtf(const char *chars);

  const VmConfig &config() const { return config_; }
  const std::vector<std::string> &classPathProblems() const { return classPath_.problems(); }

private:
  template <class T, class... A> T *make(A &&...a);
  void *nativeEntry(Method *method);

  struct EnvBlock {
    JNIEnv env; // first member: a JNIEnv* converts back to its block
    Vm *owner;
  };
  struct VmBlock {
    JavaVM vm;
    Vm *owner;
  };
  VmConfig config_;
  ClassPath classPath_;
  EnvBlock envBlock_;
  VmBlock vmBlock_;
  std::vector<std::unique_ptr<Object>> objects_;
  std::map<const void *, Object *> known_;
  std::map<std::string, Class *> classes_;
  std::vector<std::pair<std::string, void *>> libraries_;
  std::map<const char *, std::unique_ptr<char[]>> pinned_;
  Throwable *pending_ = nullptr;
};

/// The JNI function table of the machine (every slot filled; unimplemented slots stop the
/// process with a message naming the slot).
const JNINativeInterface_ *jniFunctionTable();
/// The invocation interface table (DestroyJavaVM and the thread calls).
const JNIInvokeInterface_ *jniInvokeTable();
/// Name of a table slot by index (for messages and tests); nullptr past the end.
const char *jniSlotName(std::size_t index);

/// The machine of this process, if one was created (JNI_GetCreatedJavaVMs, DestroyJavaVM).
Vm *currentVm();
void setCurrentVm(Vm *vm);

} // namespace vantrel::runtime
