// Tests of the manifest reader: main section, continuation lines, line ends.
#include "Manifest.h"

#include <gtest/gtest.h>

using vantrel::runtime::parseManifest;

TEST(ManifestParse, MainSectionWithEveryLineEnd) {
  auto a = parseManifest(
      "Manifest-Version: 1.0\r\nNative-Library: lib\rCreated-By: me\n\nName: x\nNative-Library: other\n");
  EXPECT_EQ(a.size(), 3u);
  EXPECT_EQ(a["Manifest-Version"], "1.0");
  EXPECT_EQ(a["Native-Library"], "lib");
  EXPECT_EQ(a["Created-By"], "me");
}

TEST(ManifestParse, ContinuationLinesAreJoined) {
  auto a = parseManifest("Native-Library: abcdef\n ghij\n klm\nOther: 1");
  EXPECT_EQ(a["Native-Library"], "abcdefghijklm");
  EXPECT_EQ(a["Other"], "1");
}

TEST(ManifestParse, MalformedLinesAreSkipped) {
  auto a = parseManifest("no colon here\n: empty name\nGood: yes\n");
  EXPECT_EQ(a.size(), 1u);
  EXPECT_EQ(a["Good"], "yes");
}
