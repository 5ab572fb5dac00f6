// Tests of the class-file reader on classes javac compiled for these tests.
#include "ClassFile.h"
#include "ZipArchive.h"

#include <gtest/gtest.h>

using namespace vantrel::runtime;

namespace {

std::vector<std::uint8_t> classBytes(const std::string &entry) {
  std::string error;
  auto zip = ZipArchive::open(std::string(TEST_JAR_DIR) + "/echo.jar", error);
  EXPECT_TRUE(zip) << error;
  auto bytes = zip ? zip->read(entry, error) : std::nullopt;
  EXPECT_TRUE(bytes) << error;
  return bytes ? *bytes : std::vector<std::uint8_t>();
}

const MethodInfo *method(const ClassFile &cf, const std::string &name) {
  for (const MethodInfo &m : cf.methods)
    if (m.name == name) return &m;
  return nullptr;
}

} // namespace

TEST(ClassFileParse, NativeStaticMain) {
  auto cf = ClassFile::parse(classBytes("test/EchoMain.class"));
  ASSERT_TRUE(cf);
  EXPECT_EQ(cf->name, "test/EchoMain");
  EXPECT_EQ(cf->superName, "java/lang/Object");
  const MethodInfo *main = method(*cf, "main");
  ASSERT_TRUE(main);
  EXPECT_EQ(main->descriptor, "([Ljava/lang/String;)V");
  EXPECT_EQ(main->accessFlags & (ACC_PUBLIC | ACC_STATIC | ACC_NATIVE), ACC_PUBLIC | ACC_STATIC | ACC_NATIVE);
  EXPECT_TRUE(method(*cf, "<clinit>"));
}

TEST(ClassFileParse, InstanceMainAndNoMain) {
  auto instance = ClassFile::parse(classBytes("test/InstanceMain.class"));
  ASSERT_TRUE(instance);
  ASSERT_TRUE(method(*instance, "main"));
  EXPECT_EQ(method(*instance, "main")->accessFlags & ACC_STATIC, 0);
  auto none = ClassFile::parse(classBytes("test/NoMain.class"));
  ASSERT_TRUE(none);
  EXPECT_FALSE(method(*none, "main"));
  ASSERT_TRUE(method(*none, "answer"));
  EXPECT_EQ(method(*none, "answer")->descriptor, "()I");
}

TEST(ClassFileParse, EveryTruncationIsRefused) {
  const auto bytes = classBytes("test/EchoMain.class");
  ASSERT_GT(bytes.size(), 100u);
  for (std::size_t n = 0; n < bytes.size(); n += 7)
    EXPECT_FALSE(
        ClassFile::parse(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n))))
        << n;
}

TEST(ClassFileParse, WrongMagicIsRefused) {
  auto bytes = classBytes("test/EchoMain.class");
  bytes[0] = 0xCB;
  EXPECT_FALSE(ClassFile::parse(bytes));
}
