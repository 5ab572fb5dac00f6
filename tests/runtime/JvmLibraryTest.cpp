// Tests of the VM library's exports, loaded by path as a launcher loads it: creation with
// the real JNI invocation ABI, option refusals, one machine per process, destruction.
#include "RuntimePlatform.h"

#include <gtest/gtest.h>
#include <jni.h>

#include <string>
#include <vector>

namespace {

using CreateFn = jint(JNICALL *)(JavaVM **, void **, void *);
using CreatedFn = jint(JNICALL *)(JavaVM **, jsize, jsize *);
using DefaultsFn = jint(JNICALL *)(void *);

class JvmLibraryTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    library = vantrel::runtime::os::loadLibrary(TEST_JVM_LIBRARY, error);
    ASSERT_TRUE(library) << error;
    create = reinterpret_cast<CreateFn>(vantrel::runtime::os::findSymbol(library, "JNI_CreateJavaVM"));
    created = reinterpret_cast<CreatedFn>(vantrel::runtime::os::findSymbol(library, "JNI_GetCreatedJavaVMs"));
    defaults = reinterpret_cast<DefaultsFn>(
        vantrel::runtime::os::findSymbol(library, "JNI_GetDefaultJavaVMInitArgs"));
    ASSERT_TRUE(create && created && defaults);
  }
  jint createWith(std::vector<std::string> texts, jint version = JNI_VERSION_1_6,
                  jboolean ignore = JNI_FALSE) {
    std::vector<JavaVMOption> options(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
      options[i] = JavaVMOption{texts[i].data(), nullptr};
    JavaVMInitArgs args{version, static_cast<jint>(options.size()), options.data(), ignore};
    return create(&vm, reinterpret_cast<void **>(&env), &args);
  }
  void *library = nullptr;
  CreateFn create = nullptr;
  CreatedFn created = nullptr;
  DefaultsFn defaults = nullptr;
  JavaVM *vm = nullptr;
  JNIEnv *env = nullptr;
};

} // namespace

TEST_F(JvmLibraryTest, CreatesOneMachineThatFindsClassesOnItsClassPath) {
  ASSERT_EQ(
      createWith({"-Xms16m", "-Xmx64m", std::string("-Djava.class.path=") + TEST_JAR_DIR + "/echo.jar"}),
      JNI_OK);
  ASSERT_TRUE(vm && env);
  EXPECT_NE(env->FindClass("test/EchoMain"), nullptr);
  JavaVM *second = nullptr;
  JNIEnv *secondEnv = nullptr;
  JavaVMInitArgs args{JNI_VERSION_1_6, 0, nullptr, JNI_FALSE};
  EXPECT_EQ(create(&second, reinterpret_cast<void **>(&secondEnv), &args), JNI_EEXIST);
  JavaVM *list[2] = {nullptr, nullptr};
  jsize count = 0;
  EXPECT_EQ(created(list, 2, &count), JNI_OK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(list[0], vm);
  EXPECT_EQ(vm->DestroyJavaVM(), JNI_OK);
  EXPECT_EQ(created(list, 2, &count), JNI_OK);
  EXPECT_EQ(count, 0);
}

TEST_F(JvmLibraryTest, EmptyClassPathFindsNothing) {
  ASSERT_EQ(createWith({"-Djava.class.path="}), JNI_OK);
  EXPECT_EQ(env->FindClass("test/EchoMain"), nullptr);
  testing::internal::CaptureStderr();
  env->ExceptionDescribe();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "java.lang.NoClassDefFoundError: test/EchoMain\n");
  EXPECT_EQ(vm->DestroyJavaVM(), JNI_OK);
}

TEST_F(JvmLibraryTest, RefusesUnknownOptionsUnlessAskedToIgnoreThem) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(createWith({"-Xfoo", "-Djava.class.path="}), JNI_ERR);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unrecognized option: -Xfoo\n");
  ASSERT_EQ(createWith({"-Xfoo", "-Djava.class.path="}, JNI_VERSION_1_6, JNI_TRUE), JNI_OK);
  EXPECT_EQ(vm->DestroyJavaVM(), JNI_OK);
}

TEST_F(JvmLibraryTest, RefusesBadValuesAndVersions) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(createWith({"-Xmx1z"}), JNI_EINVAL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Invalid maximum heap size: -Xmx1z\n");
  EXPECT_EQ(createWith({}, 0x00010003), JNI_EVERSION);
  EXPECT_EQ(create(&vm, reinterpret_cast<void **>(&env), nullptr), JNI_EINVAL);
  JavaVMInitArgs query{JNI_VERSION_1_8, 0, nullptr, JNI_FALSE};
  EXPECT_EQ(defaults(&query), JNI_OK);
  query.version = 0x00020000;
  EXPECT_EQ(defaults(&query), JNI_EVERSION);
}

TEST_F(JvmLibraryTest, HookOptionsAreAccepted) {
  std::vector<std::string> texts = {"exit", "abort", "-Djava.class.path="};
  ASSERT_EQ(createWith(texts), JNI_OK);
  EXPECT_EQ(vm->DestroyJavaVM(), JNI_OK);
}
