#include <gtest/gtest.h>

#include <string>

#include "engine/file.h"

namespace vevidav {
namespace {

struct DirectoryCase {
  const char* name;
  const char* module_path;
  const char* directory;
};

void PrintTo(const DirectoryCase& c, std::ostream* out) { *out << c.name; }

class DirectoryOfModuleTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(DirectoryOfModuleTest, EverythingBeforeTheLastSeparator) {
  EXPECT_EQ(DirectoryOfModule(GetParam().module_path), Text(GetParam().directory));
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectoryOfModuleTest,
                         ::testing::Values(DirectoryCase{"Nested", "/a/b/prog", "/a/b"},
                                           DirectoryCase{"InRoot", "/prog", ""},
                                           DirectoryCase{"NoSeparator", "prog", ""},
                                           // 实时 in UTF-8: no byte of a character is ever '/'.
                                           DirectoryCase{"Utf8Folder",
                                                         "/\xE5\xAE\x9E\xE6\x97\xB6/prog",
                                                         "/\xE5\xAE\x9E\xE6\x97\xB6"}),
                         [](const auto& info) { return std::string(info.param.name); });

// /dev/full takes the open and refuses every byte, as a full disk does.
TEST(FullDisk, WritesFailWithTheReason) {
  EXPECT_FALSE(WriteWholeFile("/dev/full", {std::string("x")}));
  EXPECT_TRUE(WriteWholeFile("/dev/full", {std::string()}));  // nothing to write, nothing fails

  OutputFile out;
  std::string reason;
  ASSERT_TRUE(out.Create("/dev/full", &reason)) << reason;
  EXPECT_FALSE(out.Write("x", 1, &reason));
  EXPECT_EQ(reason, "No space left on device");
}

}  // namespace
}  // namespace vevidav
