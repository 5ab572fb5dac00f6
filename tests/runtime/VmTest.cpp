// Tests of the stand-in machine through its JNI function table: class loading from jars and
// folders, the native library a class's archive names, method lookup and calls, strings,
// arrays, exceptions, native registration and the invocation interface.
#include "Vm.h"
#include "RuntimeTestSupport.h"
#include "ZipArchive.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>

using namespace vantrel::runtime;

namespace {

std::string echoJar() {
  return std::string(TEST_JAR_DIR) + "/echo.jar";
}

class VmTest : public ::testing::Test {
protected:
  void SetUp() override { vm = std::make_unique<Vm>(VmConfig{echoJar(), {}}); }
  std::string pendingText() {
    Throwable *t = vm->pending();
    return t ? vm->describe(t) : std::string("<none>");
  }
  jobjectArray strings(const std::vector<std::string> &values) {
    JNIEnv *env = vm->env();
    jobjectArray array =
        env->NewObjectArray(static_cast<jsize>(values.size()), env->FindClass("java/lang/String"), nullptr);
    for (std::size_t i = 0; i < values.size(); ++i)
      env->SetObjectArrayElement(array, static_cast<jsize>(i), env->NewStringUTF(values[i].c_str()));
    return array;
  }
  std::unique_ptr<Vm> vm;
};

bool registeredCalled = false;
void JNICALL registeredMain(JNIEnv *, jclass) {
  registeredCalled = true;
}

} // namespace

TEST(JniTable, SlotNamesFollowTheHeader) {
  const std::size_t slot = sizeof(void *);
  EXPECT_STREQ(jniSlotName(offsetof(JNINativeInterface_, GetVersion) / slot), "GetVersion");
  EXPECT_STREQ(jniSlotName(offsetof(JNINativeInterface_, FindClass) / slot), "FindClass");
  EXPECT_STREQ(jniSlotName(offsetof(JNINativeInterface_, MonitorEnter) / slot), "MonitorEnter");
  EXPECT_STREQ(jniSlotName(offsetof(JNINativeInterface_, GetModule) / slot), "GetModule");
  EXPECT_EQ(jniSlotName(sizeof(JNINativeInterface_) / slot), nullptr);
}

TEST(JniTable, EverySlotButTheReservedOnesIsFilled) {
  const auto *table = reinterpret_cast<void *const *>(jniFunctionTable());
  for (std::size_t i = 0; i < sizeof(JNINativeInterface_) / sizeof(void *); ++i)
    EXPECT_EQ(table[i] != nullptr, i >= 4) << jniSlotName(i);
}

TEST_F(VmTest, NativeMainReceivesItsArguments) {
  JNIEnv *env = vm->env();
  jclass cls = env->FindClass("test/EchoMain");
  ASSERT_TRUE(cls) << pendingText();
  jmethodID main = env->GetStaticMethodID(cls, "main", "([Ljava/lang/String;)V");
  ASSERT_TRUE(main);
  testing::internal::CaptureStdout();
  env->CallStaticVoidMethod(cls, main, strings({"a", "b c", "\xc3\xa4"}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "argc=3\n[0]=a\n[1]=b c\n[2]=\xc3\xa4\n");
  EXPECT_FALSE(env->ExceptionCheck());
}

TEST_F(VmTest, ClassNotFoundLeavesNoClassDefFoundError) {
  JNIEnv *env = vm->env();
  EXPECT_EQ(env->FindClass("test/Nope"), nullptr);
  ASSERT_TRUE(env->ExceptionOccurred());
  EXPECT_EQ(pendingText(), "java.lang.NoClassDefFoundError: test/Nope");
  testing::internal::CaptureStderr();
  env->ExceptionDescribe();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "java.lang.NoClassDefFoundError: test/Nope\n");
  EXPECT_FALSE(env->ExceptionCheck());
  EXPECT_EQ(env->FindClass("test.EchoMain"), nullptr);
  EXPECT_EQ(pendingText(), "java.lang.NoClassDefFoundError: test.EchoMain");
}

TEST_F(VmTest, MethodLookupFailures) {
  JNIEnv *env = vm->env();
  jclass noMain = env->FindClass("test/NoMain");
  ASSERT_TRUE(noMain);
  EXPECT_EQ(env->GetStaticMethodID(noMain, "main", "([Ljava/lang/String;)V"), nullptr);
  EXPECT_EQ(pendingText(), "java.lang.NoSuchMethodError: main");
  env->ExceptionClear();
  jclass instance = env->FindClass("test/InstanceMain");
  EXPECT_EQ(env->GetStaticMethodID(instance, "main", "([Ljava/lang/String;)V"), nullptr);
  env->ExceptionClear();
  EXPECT_NE(env->GetMethodID(instance, "main", "([Ljava/lang/String;)V"), nullptr);
}

TEST_F(VmTest, ThrowingMainLeavesItsException) {
  JNIEnv *env = vm->env();
  jclass cls = env->FindClass("test/EchoMain");
  testing::internal::CaptureStdout();
  env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "main", "([Ljava/lang/String;)V"),
                            strings({"--throw"}));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(pendingText(), "java.lang.RuntimeException: requested failure");
}

TEST_F(VmTest, BytecodeAndUnlinkedMainsFailWithTheirErrors) {
  JNIEnv *env = vm->env();
  jclass bytecode = env->FindClass("test/BytecodeMain");
  env->CallStaticVoidMethod(bytecode, env->GetStaticMethodID(bytecode, "main", "([Ljava/lang/String;)V"),
                            strings({}));
  EXPECT_EQ(pendingText(), "java.lang.InternalError: bytecode is not executed by this runtime: "
                           "void test.BytecodeMain.main(java.lang.String[])");
  env->ExceptionClear();
  jclass unlinked = env->FindClass("test/Unlinked");
  env->CallStaticVoidMethod(unlinked, env->GetStaticMethodID(unlinked, "main", "([Ljava/lang/String;)V"),
                            strings({}));
  EXPECT_EQ(pendingText(), "java.lang.UnsatisfiedLinkError: 'void test.Unlinked.main(java.lang.String[])'");
}

TEST_F(VmTest, MainWithoutArguments) {
  JNIEnv *env = vm->env();
  jclass cls = env->FindClass("test/NoArgsMain");
  testing::internal::CaptureStdout();
  env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "main", "()V"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "main without arguments\n");
}

TEST_F(VmTest, RegisteredNativeIsPreferred) {
  JNIEnv *env = vm->env();
  jclass cls = env->FindClass("test/NoArgsMain");
  JNINativeMethod method{const_cast<char *>("main"), const_cast<char *>("()V"),
                         reinterpret_cast<void *>(&registeredMain)};
  ASSERT_EQ(env->RegisterNatives(cls, &method, 1), JNI_OK);
  registeredCalled = false;
  env->CallStaticVoidMethod(cls, env->GetStaticMethodID(cls, "main", "()V"));
  EXPECT_TRUE(registeredCalled);
  JNINativeMethod wrong{const_cast<char *>("answer"), const_cast<char *>("()I"), nullptr};
  EXPECT_EQ(env->RegisterNatives(env->FindClass("test/NoMain"), &wrong, 1), JNI_ERR);
  EXPECT_EQ(pendingText(), "java.lang.NoSuchMethodError: answer");
}

TEST(VmLibrary, ArchiveNamingAMissingLibrary) {
  Vm vm(VmConfig{std::string(TEST_MISSING_JAR_DIR) + "/missinglib.jar", {}});
  JNIEnv *env = vm.env();
  EXPECT_EQ(env->FindClass("test/EchoMain"), nullptr);
  const std::string text = vm.describe(vm.pending());
  EXPECT_EQ(text.rfind("java.lang.UnsatisfiedLinkError: Can't load library: ", 0), 0u) << text;
  EXPECT_NE(text.find("nosuchlibrary"), std::string::npos) << text;
  env->ExceptionClear();
  EXPECT_EQ(env->FindClass("test/EchoMain"), nullptr);
  EXPECT_EQ(vm.describe(vm.pending()),
            "java.lang.NoClassDefFoundError: Could not initialize class test.EchoMain");
}

TEST(VmClassFolder, WrongNameAndDamagedClass) {
  namespace fs = std::filesystem;
  const std::string dir = runtime_test::makeTempDir("classes");
  fs::create_directories(fs::path(dir) / "test");
  {
    std::ofstream bad(dir + "/test/Bad.class", std::ios::binary);
    bad << "not a class";
  }
  // Extract NoMain.class under another name.
  std::string error;
  auto zip = ZipArchive::open(echoJar(), error);
  auto bytes = zip->read("test/NoMain.class", error);
  ASSERT_TRUE(bytes);
  {
    std::ofstream wrong(dir + "/test/Wrong.class", std::ios::binary);
    wrong.write(reinterpret_cast<const char *>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  }
  Vm vm(VmConfig{dir + runtime_test::listSeparator() + echoJar(), {}});
  JNIEnv *env = vm.env();
  EXPECT_EQ(env->FindClass("test/Wrong"), nullptr);
  EXPECT_EQ(vm.describe(vm.pending()),
            "java.lang.NoClassDefFoundError: test/Wrong (wrong name: test/NoMain)");
  EXPECT_EQ(env->FindClass("test/Bad"), nullptr);
  EXPECT_EQ(vm.describe(vm.pending()),
            "java.lang.ClassFormatError: Truncated or malformed class file: test/Bad");
  env->ExceptionClear();
  // The folder comes first but does not hold EchoMain: the jar after it does.
  EXPECT_NE(env->FindClass("test/EchoMain"), nullptr);
}

TEST_F(VmTest, StringsKeepTheirBytes) {
  JNIEnv *env = vm->env();
  const char *text = "a\xc3\xa4\xe2\x82\xac";
  jstring s = env->NewStringUTF(text);
  EXPECT_EQ(env->GetStringUTFLength(s), 6);
  EXPECT_EQ(env->GetStringLength(s), 3);
  jboolean copy = JNI_FALSE;
  const char *chars = env->GetStringUTFChars(s, &copy);
  EXPECT_STREQ(chars, text);
  EXPECT_TRUE(copy);
  env->ReleaseStringUTFChars(s, chars);
  char region[8] = {0};
  env->GetStringUTFRegion(s, 1, 2, region);
  EXPECT_STREQ(region, "\xc3\xa4\xe2\x82\xac");
  env->GetStringUTFRegion(s, 2, 2, region);
  EXPECT_EQ(pendingText(), "java.lang.StringIndexOutOfBoundsException");
  EXPECT_EQ(env->NewStringUTF(nullptr), nullptr);
}

TEST_F(VmTest, ArraysCheckIndexesAndTypes) {
  JNIEnv *env = vm->env();
  jclass string = env->FindClass("java/lang/String");
  EXPECT_EQ(env->NewObjectArray(-1, string, nullptr), nullptr);
  EXPECT_EQ(pendingText(), "java.lang.NegativeArraySizeException: -1");
  env->ExceptionClear();
  jobjectArray array = env->NewObjectArray(2, string, nullptr);
  EXPECT_EQ(env->GetArrayLength(array), 2);
  EXPECT_EQ(env->GetObjectArrayElement(array, 0), nullptr);
  EXPECT_FALSE(env->ExceptionCheck());
  EXPECT_EQ(env->GetObjectArrayElement(array, 2), nullptr);
  EXPECT_EQ(pendingText(), "java.lang.ArrayIndexOutOfBoundsException: Index 2 out of bounds for length 2");
  env->ExceptionClear();
  env->SetObjectArrayElement(array, 0, string);
  EXPECT_EQ(pendingText(), "java.lang.ArrayStoreException: java/lang/Class");
  EXPECT_TRUE(env->IsInstanceOf(array, env->FindClass("java/lang/Object")));
  EXPECT_FALSE(env->IsInstanceOf(array, string));
}

TEST_F(VmTest, ThrowNewNeedsAThrowableClass) {
  JNIEnv *env = vm->env();
  EXPECT_EQ(env->ThrowNew(env->FindClass("java/lang/String"), "x"), JNI_ERR);
  EXPECT_EQ(pendingText(), "java.lang.IllegalArgumentException: not a throwable class: java/lang/String");
  EXPECT_EQ(env->ThrowNew(env->FindClass("java/lang/IllegalStateException"), nullptr), JNI_OK);
  EXPECT_EQ(pendingText(), "java.lang.IllegalStateException");
  jthrowable t = env->ExceptionOccurred();
  env->ExceptionClear();
  EXPECT_EQ(env->Throw(t), JNI_OK);
  EXPECT_TRUE(env->IsSameObject(env->ExceptionOccurred(), t));
  EXPECT_TRUE(env->IsAssignableFrom(env->FindClass("java/lang/NoSuchMethodError"),
                                    env->FindClass("java/lang/Error")));
}

TEST_F(VmTest, InvocationInterface) {
  JNIEnv *env = vm->env();
  JavaVM *javaVm = nullptr;
  ASSERT_EQ(env->GetJavaVM(&javaVm), JNI_OK);
  EXPECT_EQ(javaVm, vm->javaVm());
  void *got = nullptr;
  EXPECT_EQ(javaVm->GetEnv(&got, JNI_VERSION_1_6), JNI_OK);
  EXPECT_EQ(got, env);
  EXPECT_EQ(javaVm->GetEnv(&got, 0x7fff0000), JNI_EVERSION);
  EXPECT_EQ(javaVm->AttachCurrentThread(&got, nullptr), JNI_OK);
  EXPECT_EQ(got, env);
  EXPECT_EQ(env->GetVersion(), JNI_VERSION_1_8);
}
