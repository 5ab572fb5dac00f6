// The JNI function table and invocation interface of the stand-in machine. Every slot of the
// table is filled: the calls native code and the launcher use are implemented, and every
// other slot stops the process with a message naming it.
#include "RuntimeMessages.h"
#include "RuntimePlatform.h"
#include "Vm.h"

#include "hostText/ModifiedUtf8.h"
#include "hostText/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

namespace vantrel::runtime {
namespace {

const char *const SLOT_NAMES[] = {
#include "JniSlotNames.inc"
};
// The name list and the header's table must agree slot for slot.
static_assert(sizeof(JNINativeInterface_) == std::size(SLOT_NAMES) * sizeof(void *),
              "JNI slot name list does not match the JNI function table");

[[noreturn]] void stopWith(const char *pattern, const char *what) {
  std::fflush(stdout);
  std::string text = pattern;
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, what);
  os::writeText(stderr, text);
  std::fflush(stderr);
  std::abort();
}

// Called through a slot that has no implementation: the arguments are ignored (the caller
// cleans the stack on x86-64), the slot is named and the process stops.
template <std::size_t N> void JNICALL unimplementedSlot() {
  stopWith(messages::UNIMPLEMENTED_SLOT, SLOT_NAMES[N]);
}

Vm &vmOf(JNIEnv *env) {
  return *Vm::from(env);
}

jobject toRef(Object *o) {
  return reinterpret_cast<jobject>(o);
}

// A reference handed in by native code, checked: null becomes a pending
// NullPointerException; something the machine never made stops the process, as
// continuing with it would corrupt memory.
template <class T> T *deref(JNIEnv *env, const void *ref, Object::Kind kind, const char *what) {
  Vm &vm = vmOf(env);
  if (!ref) {
    vm.throwNew("java/lang/NullPointerException", std::string(what));
    return nullptr;
  }
  if (!vm.isObject(ref))
    stopWith(messages::FATAL_ERROR, (std::string("invalid JNI reference passed as ") + what).c_str());
  Object *o = reinterpret_cast<Object *>(const_cast<void *>(ref));
  if (o->kind != kind)
    stopWith(messages::FATAL_ERROR, (std::string("wrong kind of object passed as ") + what).c_str());
  return static_cast<T *>(o);
}

Object *anyObject(JNIEnv *env, const void *ref) {
  if (!ref) return nullptr;
  if (!vmOf(env).isObject(ref)) stopWith(messages::FATAL_ERROR, "invalid JNI reference");
  return reinterpret_cast<Object *>(const_cast<void *>(ref));
}

// UTF-16 units of the character a byte of a modified UTF-8 text starts: none for a
// continuation byte, a surrogate pair for a four-byte sequence (which modified UTF-8 never
// has, but the bytes of a file name in another encoding may look like one), else one.
std::size_t unitsStartedBy(unsigned char c) {
  if (hostText::isUtf8Continuation(c)) return 0;
  return hostText::utf8SequenceLength(c) == 4 ? 2 : 1;
}

// Number of UTF-16 units a modified UTF-8 text stands for.
std::size_t utf16Length(const std::string &s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    n += unitsStartedBy(c);
  return n;
}

// Byte offset of UTF-16 unit index in a modified UTF-8 text.
std::size_t byteOffset(const std::string &s, std::size_t unit) {
  std::size_t i = 0, n = 0;
  while (i < s.size() && n < unit) {
    // Every step starts at a lead byte, except a stray continuation byte at the very start,
    // which is stepped over as one unit.
    n += std::max<std::size_t>(unitsStartedBy(static_cast<unsigned char>(s[i])), 1);
    ++i;
    while (i < s.size() && hostText::isUtf8Continuation(static_cast<unsigned char>(s[i])))
      ++i;
  }
  return i;
}

jint JNICALL getVersion(JNIEnv *) {
  return JNI_VERSION_1_8;
}

jclass JNICALL findClass(JNIEnv *env, const char *name) {
  if (!name) {
    vmOf(env).throwNew("java/lang/NoClassDefFoundError", std::nullopt);
    return nullptr;
  }
  return reinterpret_cast<jclass>(toRef(vmOf(env).findClass(name, true)));
}

jclass JNICALL getSuperclass(JNIEnv *env, jclass cls) {
  Class *c = deref<Class>(env, cls, Object::Kind::Class, "class");
  return c ? reinterpret_cast<jclass>(toRef(c->super)) : nullptr;
}

jboolean JNICALL isAssignableFrom(JNIEnv *env, jclass from, jclass to) {
  Class *f = deref<Class>(env, from, Object::Kind::Class, "class");
  Class *t = f ? deref<Class>(env, to, Object::Kind::Class, "class") : nullptr;
  return f && t && vmOf(env).isAssignable(f, t) ? JNI_TRUE : JNI_FALSE;
}

jint JNICALL throwObject(JNIEnv *env, jthrowable t) {
  Throwable *throwable = deref<Throwable>(env, t, Object::Kind::Throwable, "throwable");
  if (!throwable) return JNI_ERR;
  vmOf(env).setPending(throwable);
  return JNI_OK;
}

jint JNICALL throwNew(JNIEnv *env, jclass cls, const char *message) {
  Vm &vm = vmOf(env);
  Class *c = deref<Class>(env, cls, Object::Kind::Class, "class");
  if (!c) return JNI_ERR;
  if (!vm.isAssignable(c, vm.builtin("java/lang/Throwable"))) {
    vm.throwNew("java/lang/IllegalArgumentException", "not a throwable class: " + c->name);
    return JNI_ERR;
  }
  vm.throwNew(c, message ? std::optional<std::string>(message) : std::nullopt);
  return JNI_OK;
}

jthrowable JNICALL exceptionOccurred(JNIEnv *env) {
  return reinterpret_cast<jthrowable>(toRef(vmOf(env).pending()));
}

// Prints the pending exception on the error output and clears it, as the JNI defines.
void JNICALL exceptionDescribe(JNIEnv *env) {
  Vm &vm = vmOf(env);
  if (Throwable *t = vm.pending()) {
    std::fflush(stdout);
    os::writeText(stderr, vm.describe(t) + "\n");
    std::fflush(stderr);
    vm.clearPending();
  }
}

void JNICALL exceptionClear(JNIEnv *env) {
  vmOf(env).clearPending();
}

void JNICALL fatalError(JNIEnv *, const char *message) {
  // Native code's text is modified UTF-8.
  stopWith(messages::FATAL_ERROR, hostText::toStandardUtf8(message ? message : "").c_str());
}

jint JNICALL pushLocalFrame(JNIEnv *, jint capacity) {
  return capacity < 0 ? JNI_ERR : JNI_OK;
}
jobject JNICALL popLocalFrame(JNIEnv *, jobject result) {
  return result;
}
// References stay valid until the machine is destroyed; the reference calls only check.
jobject JNICALL newRef(JNIEnv *env, jobject ref) {
  return toRef(anyObject(env, ref));
}
void JNICALL deleteRef(JNIEnv *env, jobject ref) {
  anyObject(env, ref);
}
jint JNICALL ensureLocalCapacity(JNIEnv *, jint capacity) {
  return capacity < 0 ? JNI_ERR : JNI_OK;
}

jboolean JNICALL isSameObject(JNIEnv *env, jobject a, jobject b) {
  return anyObject(env, a) == anyObject(env, b) ? JNI_TRUE : JNI_FALSE;
}

jclass JNICALL getObjectClass(JNIEnv *env, jobject ref) {
  Object *o = anyObject(env, ref);
  if (!o) {
    vmOf(env).throwNew("java/lang/NullPointerException", std::nullopt);
    return nullptr;
  }
  return reinterpret_cast<jclass>(toRef(o->cls));
}

jboolean JNICALL isInstanceOf(JNIEnv *env, jobject ref, jclass cls) {
  Object *o = anyObject(env, ref);
  Class *c = deref<Class>(env, cls, Object::Kind::Class, "class");
  if (!c) return JNI_FALSE;
  return !o || vmOf(env).isAssignable(o->cls, c) ? JNI_TRUE : JNI_FALSE;
}

jmethodID lookUp(JNIEnv *env, jclass cls, const char *name, const char *signature, bool isStatic) {
  Class *c = deref<Class>(env, cls, Object::Kind::Class, "class");
  if (!c) return nullptr;
  Vm &vm = vmOf(env);
  if (!name || !signature) {
    vm.throwNew("java/lang/NoSuchMethodError", name ? std::optional<std::string>(name) : std::nullopt);
    return nullptr;
  }
  // Looking a method up initialises its class, as in any JNI runtime.
  if (!vm.initialize(c)) return nullptr;
  return reinterpret_cast<jmethodID>(vm.findMethod(c, name, signature, isStatic));
}

jmethodID JNICALL getMethodID(JNIEnv *env, jclass cls, const char *name, const char *signature) {
  return lookUp(env, cls, name, signature, false);
}

jmethodID JNICALL getStaticMethodID(JNIEnv *env, jclass cls, const char *name, const char *signature) {
  return lookUp(env, cls, name, signature, true);
}

Method *checkedMethod(JNIEnv *env, jclass cls, jmethodID id) {
  Class *c = deref<Class>(env, cls, Object::Kind::Class, "class");
  if (!c) return nullptr;
  if (!id) stopWith(messages::FATAL_ERROR, "null method id");
  return reinterpret_cast<Method *>(id);
}

void JNICALL callStaticVoidMethodA(JNIEnv *env, jclass cls, jmethodID id, const jvalue *args) {
  Method *m = checkedMethod(env, cls, id);
  if (!m) return;
  const auto kinds = Vm::parameterKinds(m->info.descriptor);
  std::vector<jvalue> values(kinds ? kinds->size() : 0);
  for (std::size_t i = 0; i < values.size(); ++i)
    values[i] = args[i];
  vmOf(env).callStatic(m, values);
}

void JNICALL callStaticVoidMethodV(JNIEnv *env, jclass cls, jmethodID id, va_list ap) {
  Method *m = checkedMethod(env, cls, id);
  if (!m) return;
  const auto kinds = Vm::parameterKinds(m->info.descriptor);
  std::vector<jvalue> values;
  // Variadic arguments arrive promoted: int-like values as int, floats as double.
  for (char k : kinds ? *kinds : std::string()) {
    jvalue v{};
    switch (k) {
    case 'L':
      v.l = va_arg(ap, jobject);
      break;
    case 'J':
      v.j = va_arg(ap, jlong);
      break;
    case 'F':
      v.f = static_cast<jfloat>(va_arg(ap, double));
      break;
    case 'D':
      v.d = va_arg(ap, double);
      break;
    default:
      v.i = va_arg(ap, int);
      break;
    }
    values.push_back(v);
  }
  vmOf(env).callStatic(m, values);
}

void JNICALL callStaticVoidMethod(JNIEnv *env, jclass cls, jmethodID id, ...) {
  va_list ap;
  va_start(ap, id);
  callStaticVoidMethodV(env, cls, id, ap);
  va_end(ap);
}

jstring JNICALL newStringUTF(JNIEnv *env, const char *bytes) {
  if (!bytes) return nullptr;
  return reinterpret_cast<jstring>(toRef(vmOf(env).newString(bytes)));
}

jsize JNICALL getStringLength(JNIEnv *env, jstring s) {
  String *str = deref<String>(env, s, Object::Kind::String, "string");
  return str ? static_cast<jsize>(utf16Length(str->utf)) : 0;
}

jsize JNICALL getStringUTFLength(JNIEnv *env, jstring s) {
  String *str = deref<String>(env, s, Object::Kind::String, "string");
  return str ? static_cast<jsize>(str->utf.size()) : 0;
}

const char *JNICALL getStringUTFChars(JNIEnv *env, jstring s, jboolean *isCopy) {
  String *str = deref<String>(env, s, Object::Kind::String, "string");
  if (!str) return nullptr;
  if (isCopy) *isCopy = JNI_TRUE;
  return vmOf(env).pinUtf(str);
}

void JNICALL releaseStringUTFChars(JNIEnv *env, jstring, const char *chars) {
  vmOf(env).releaseUtf(chars);
}

void JNICALL getStringUTFRegion(JNIEnv *env, jstring s, jsize start, jsize length, char *buffer) {
  String *str = deref<String>(env, s, Object::Kind::String, "string");
  if (!str) return;
  const std::size_t units = utf16Length(str->utf);
  if (start < 0 || length < 0 || static_cast<std::size_t>(start) + static_cast<std::size_t>(length) > units) {
    vmOf(env).throwNew("java/lang/StringIndexOutOfBoundsException", std::nullopt);
    return;
  }
  const std::size_t from = byteOffset(str->utf, static_cast<std::size_t>(start));
  const std::size_t to = byteOffset(str->utf, static_cast<std::size_t>(start + length));
  std::memcpy(buffer, str->utf.data() + from, to - from);
  buffer[to - from] = '\0';
}

jsize JNICALL getArrayLength(JNIEnv *env, jarray a) {
  Array *array = deref<Array>(env, a, Object::Kind::Array, "array");
  return array ? static_cast<jsize>(array->items.size()) : 0;
}

jobjectArray JNICALL newObjectArray(JNIEnv *env, jsize length, jclass element, jobject initial) {
  Vm &vm = vmOf(env);
  Class *c = deref<Class>(env, element, Object::Kind::Class, "element class");
  if (!c) return nullptr;
  if (length < 0) {
    vm.throwNew("java/lang/NegativeArraySizeException", std::to_string(length));
    return nullptr;
  }
  Object *init = anyObject(env, initial);
  if (init && !vm.isAssignable(init->cls, c)) {
    vm.throwNew("java/lang/ArrayStoreException", init->cls->name);
    return nullptr;
  }
  Array *array = vm.newArray(c, static_cast<std::size_t>(length));
  for (Object *&item : array->items)
    item = init;
  return reinterpret_cast<jobjectArray>(toRef(array));
}

bool checkIndex(JNIEnv *env, Array *array, jsize index) {
  if (index < 0 || static_cast<std::size_t>(index) >= array->items.size()) {
    vmOf(env).throwNew("java/lang/ArrayIndexOutOfBoundsException", "Index " + std::to_string(index) +
                                                                       " out of bounds for length " +
                                                                       std::to_string(array->items.size()));
    return false;
  }
  return true;
}

jobject JNICALL getObjectArrayElement(JNIEnv *env, jobjectArray a, jsize index) {
  Array *array = deref<Array>(env, a, Object::Kind::Array, "array");
  if (!array || !checkIndex(env, array, index)) return nullptr;
  return toRef(array->items[static_cast<std::size_t>(index)]);
}

void JNICALL setObjectArrayElement(JNIEnv *env, jobjectArray a, jsize index, jobject value) {
  Array *array = deref<Array>(env, a, Object::Kind::Array, "array");
  if (!array || !checkIndex(env, array, index)) return;
  Object *v = anyObject(env, value);
  if (v && !vmOf(env).isAssignable(v->cls, array->element)) {
    vmOf(env).throwNew("java/lang/ArrayStoreException", v->cls->name);
    return;
  }
  array->items[static_cast<std::size_t>(index)] = v;
}

jint JNICALL registerNatives(JNIEnv *env, jclass cls, const JNINativeMethod *methods, jint count) {
  Class *c = deref<Class>(env, cls, Object::Kind::Class, "class");
  if (!c || count < 0 || (count > 0 && !methods)) return JNI_ERR;
  for (jint i = 0; i < count; ++i) {
    Method *found = nullptr;
    for (auto &m : c->methods)
      if (methods[i].name && methods[i].signature && m->info.name == methods[i].name &&
          m->info.descriptor == methods[i].signature && (m->info.accessFlags & ACC_NATIVE))
        found = m.get();
    if (!found) {
      vmOf(env).throwNew("java/lang/NoSuchMethodError", methods[i].name ? methods[i].name : "");
      return JNI_ERR;
    }
    found->registered = methods[i].fnPtr;
  }
  return JNI_OK;
}

jint JNICALL unregisterNatives(JNIEnv *env, jclass cls) {
  Class *c = deref<Class>(env, cls, Object::Kind::Class, "class");
  if (!c) return JNI_ERR;
  for (auto &m : c->methods)
    m->registered = nullptr;
  return JNI_OK;
}

jint JNICALL getJavaVM(JNIEnv *env, JavaVM **vm) {
  if (!vm) return JNI_ERR;
  *vm = vmOf(env).javaVm();
  return JNI_OK;
}

jboolean JNICALL exceptionCheck(JNIEnv *env) {
  return vmOf(env).pending() ? JNI_TRUE : JNI_FALSE;
}

jobjectRefType JNICALL getObjectRefType(JNIEnv *env, jobject ref) {
  return ref && vmOf(env).isObject(ref) ? JNILocalRefType : JNIInvalidRefType;
}

bool supportedVersion(jint version) {
  switch (version) {
  case JNI_VERSION_1_1:
  case JNI_VERSION_1_2:
  case JNI_VERSION_1_4:
  case JNI_VERSION_1_6:
  case JNI_VERSION_1_8:
    return true;
  default:
    return false;
  }
}

jint JNICALL destroyJavaVM(JavaVM *vm) {
  delete Vm::from(vm);
  return JNI_OK;
}

// The machine has one thread; a thread that attaches is handed that thread's environment.
jint JNICALL attachCurrentThread(JavaVM *vm, void **env, void *) {
  if (!env) return JNI_ERR;
  *env = Vm::from(vm)->env();
  return JNI_OK;
}

jint JNICALL detachCurrentThread(JavaVM *) {
  return JNI_OK;
}

jint JNICALL getEnv(JavaVM *vm, void **env, jint version) {
  if (!env) return JNI_ERR;
  if (!supportedVersion(version)) {
    *env = nullptr;
    return JNI_EVERSION;
  }
  *env = Vm::from(vm)->env();
  return JNI_OK;
}

using Stub = void(JNICALL *)();

template <std::size_t... I> std::array<Stub, sizeof...(I)> makeStubs(std::index_sequence<I...>) {
  return {&unimplementedSlot<I>...};
}

JNINativeInterface_ makeTable() {
  JNINativeInterface_ t;
  std::memset(&t, 0, sizeof t);
  // Reserved slots (the first four) stay null; every other slot first gets its named stub.
  const auto stubs = makeStubs(std::make_index_sequence<std::size(SLOT_NAMES)>());
  for (std::size_t i = 4; i < stubs.size(); ++i)
    std::memcpy(reinterpret_cast<char *>(&t) + i * sizeof(void *), &stubs[i], sizeof(Stub));
  t.GetVersion = getVersion;
  t.FindClass = findClass;
  t.GetSuperclass = getSuperclass;
  t.IsAssignableFrom = isAssignableFrom;
  t.Throw = throwObject;
  t.ThrowNew = throwNew;
  t.ExceptionOccurred = exceptionOccurred;
  t.ExceptionDescribe = exceptionDescribe;
  t.ExceptionClear = exceptionClear;
  t.FatalError = fatalError;
  t.PushLocalFrame = pushLocalFrame;
  t.PopLocalFrame = popLocalFrame;
  t.NewGlobalRef = newRef;
  t.DeleteGlobalRef = deleteRef;
  t.DeleteLocalRef = deleteRef;
  t.IsSameObject = isSameObject;
  t.NewLocalRef = newRef;
  t.EnsureLocalCapacity = ensureLocalCapacity;
  t.GetObjectClass = getObjectClass;
  t.IsInstanceOf = isInstanceOf;
  t.GetMethodID = getMethodID;
  t.GetStaticMethodID = getStaticMethodID;
  t.CallStaticVoidMethod = callStaticVoidMethod;
  t.CallStaticVoidMethodV = callStaticVoidMethodV;
  t.CallStaticVoidMethodA = callStaticVoidMethodA;
  t.NewStringUTF = newStringUTF;
  t.GetStringLength = getStringLength;
  t.GetStringUTFLength = getStringUTFLength;
  t.GetStringUTFChars = getStringUTFChars;
  t.ReleaseStringUTFChars = releaseStringUTFChars;
  t.GetStringUTFRegion = getStringUTFRegion;
  t.GetArrayLength = getArrayLength;
  t.NewObjectArray = newObjectArray;
  t.GetObjectArrayElement = getObjectArrayElement;
  t.SetObjectArrayElement = setObjectArrayElement;
  t.RegisterNatives = registerNatives;
  t.UnregisterNatives = unregisterNatives;
  t.GetJavaVM = getJavaVM;
  t.ExceptionCheck = exceptionCheck;
  t.GetObjectRefType = getObjectRefType;
  t.NewWeakGlobalRef = newRef;
  t.DeleteWeakGlobalRef = deleteRef;
  return t;
}

} // namespace

const JNINativeInterface_ *jniFunctionTable() {
  static const JNINativeInterface_ table = makeTable();
  return &table;
}

const JNIInvokeInterface_ *jniInvokeTable() {
  static const JNIInvokeInterface_ table = {nullptr,
                                            nullptr,
                                            nullptr,
                                            destroyJavaVM,
                                            attachCurrentThread,
                                            detachCurrentThread,
                                            getEnv,
                                            attachCurrentThread};
  return &table;
}

const char *jniSlotName(std::size_t index) {
  return index < std::size(SLOT_NAMES) ? SLOT_NAMES[index] : nullptr;
}

} // namespace vantrel::runtime
