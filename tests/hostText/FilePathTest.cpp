// UTF-8 file paths: a folder and a file named with characters inside and outside code page
// 1252 are made, found and read back under the same UTF-8 names.
#include "hostText/FilePath.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using vantrel::hostText::pathUtf8;
using vantrel::hostText::utf8Path;
namespace fs = std::filesystem;

TEST(FilePath, NamesOutsideTheCodePageMakeFindAndReadBack) {
  const std::string folderName = "\xc3\x89t\xc3\xa9 O'Neil.V2 \xe2\x82\xac \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac";
  const std::string fileName = "\xd0\x96.sof";
  const fs::path folder = fs::temp_directory_path() / utf8Path(folderName);
  std::error_code ec;
  fs::remove_all(folder, ec);
  ASSERT_TRUE(fs::create_directories(folder, ec)) << ec.message();
  std::ofstream(folder / utf8Path(fileName), std::ios::binary) << "data";

  EXPECT_EQ(pathUtf8(folder.filename()), folderName);
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(folder))
    names.push_back(pathUtf8(entry.path().filename()));
  EXPECT_EQ(names, std::vector<std::string>{fileName});
  std::ifstream in(utf8Path(pathUtf8(folder) + "/" + fileName), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "data");
  in.close();
  fs::remove_all(folder, ec);
}

TEST(FilePath, RoundTripsEveryName) {
  // A lone surrogate is legal in a Windows name; Linux names are bytes.
  for (const std::string name : {"plain", "a b\\c/d", "\xf0\x9f\x98\x80", "\xed\xa0\x80x"})
    EXPECT_EQ(pathUtf8(utf8Path(name)), name);
}
