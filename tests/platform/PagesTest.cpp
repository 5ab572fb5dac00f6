// Tests of file views: the file's bytes without a copy, the holder's writes kept from the
// file, files that cannot be mapped read instead, the file let go when the view goes.
#include "platform/pages.h"

#include "platform/file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScratchDir.h"

using namespace vantrel::platform;
using vantrel::testing::ScratchDir;

TEST(FileView, HoldsTheFileAndKeepsTheHoldersWritesToItself) {
  ScratchDir dir;
  std::vector<std::uint8_t> bytes(3 << 20);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 13 + (i >> 12));
  ASSERT_TRUE(writeWholeFile(dir.file("a.bin"), bytes.data(), bytes.size()));
  const std::size_t before = liveFileViews();
  {
    std::string why;
    const auto view = MappedFile::open(dir.file("a.bin"), why);
    ASSERT_NE(view, nullptr) << why;
    EXPECT_EQ(liveFileViews(), before + 1);
    ASSERT_EQ(view->size(), bytes.size());
    EXPECT_EQ(std::vector<std::uint8_t>(view->data(), view->data() + view->size()), bytes);
    view->data()[0] ^= 0xFF; // a page of the holder's own, not of the file
    view->data()[bytes.size() - 1] ^= 0xFF;
    EXPECT_EQ(*readWholeFile(dir.file("a.bin")), bytes);
  }
  EXPECT_EQ(liveFileViews(), before);
  // Once the view is gone the file is free on every system: replaced, then removed.
  ASSERT_TRUE(writeWholeFile(dir.file("b.bin"), "new", 3));
  EXPECT_TRUE(renameFile(dir.file("b.bin"), dir.file("a.bin")));
  EXPECT_TRUE(removeFile(dir.file("a.bin")));
}

TEST(FileView, WhatCannotBeMappedGivesNoView) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("empty"), "", 0));
  std::string why;
  EXPECT_EQ(MappedFile::open(dir.file("empty"), why), nullptr); // nothing to map: read instead
  EXPECT_TRUE(why.empty());
  EXPECT_EQ(MappedFile::open(dir.path().string(), why), nullptr); // a folder
  EXPECT_EQ(MappedFile::open(dir.file("missing"), why), nullptr);
  EXPECT_FALSE(why.empty()); // the system's reason
}
