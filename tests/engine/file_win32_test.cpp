#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/file.h"
#include "tests/support/support.h"

namespace vevidav {
namespace {

using ::vevidav::testing::HeldFile;
using ::vevidav::testing::ReadBytes;
using ::vevidav::testing::TempDir;
using ::vevidav::testing::WriteBytes;

bool AnsiIsCp936() { return GetACP() == 936; }

// A second handle on a file, as another program would hold it.
struct DirectoryCase {
  const char* name;
  const char* module_path;
  const char* directory;
  bool needs_cp936;
};

void PrintTo(const DirectoryCase& c, std::ostream* out) { *out << c.name; }

class DirectoryOfModuleTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(DirectoryOfModuleTest, EverythingBeforeTheLastBackslash) {
  if (GetParam().needs_cp936 && !AnsiIsCp936()) GTEST_SKIP() << "ANSI code page is not 936";
  EXPECT_EQ(DirectoryOfModule(GetParam().module_path), Text(GetParam().directory));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirectoryOfModuleTest,
    ::testing::Values(DirectoryCase{"Nested", "C:\\a\\b\\prog.exe", "C:\\a\\b", false},
                      DirectoryCase{"DriveRoot", "D:\\tool.exe", "D:", false},
                      DirectoryCase{"NoBackslash", "prog.exe", "", false},
                      // 95 5C is the one character 昞: its 5C is no separator. B0 A1 is 啊.
                      DirectoryCase{"SecondByteIs5C", "C:\\x\\\x95\x5C.exe", "C:\\x", true},
                      DirectoryCase{"OnlyA5CSecondByte", "\x95\x5C.exe", "", true},
                      DirectoryCase{"DoubleByteFolder", "C:\\\xB0\xA1\\prog.exe", "C:\\\xB0\xA1",
                                    true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnsiPaths, ConvertThroughTheAnsiCodePage) {
  if (!AnsiIsCp936()) GTEST_SKIP() << "ANSI code page is not 936";
  // 实时 in code page 936.
  EXPECT_EQ(PathFromText("\xCA\xB5\xCA\xB1").native(), std::wstring(L"\u5B9E\u65F6"));
  EXPECT_EQ(TextFromPath(NativePath(L"\u5B9E\u65F6")), Text("\xCA\xB5\xCA\xB1"));
  // 한 has no code page 936 form.
  EXPECT_EQ(TextFromPath(NativePath(L"a\uD55C")), Text("a?"));

  TempDir dir;
  Text name = TextFromPath(dir.path()) + "\\\xCA\xB5\xCA\xB1.txt";
  ASSERT_TRUE(WriteWholeFile(name, {std::string("abc")}));
  EXPECT_EQ(ReadBytes(dir / L"\u5B9E\u65F6.txt"), "abc");
  ByteBuffer read = ReadWholeFile(name);
  EXPECT_EQ(std::string(read.begin(), read.end()), "abc");
}

// Whether a file is available while another handle holds it in a given way.
struct HeldCase {
  const char* name;
  DWORD access;
  DWORD share;
  bool readable;  // InputFile and ReadWholeFile open it
  bool writable;  // OutputFile and WriteWholeFile open it
};

void PrintTo(const HeldCase& c, std::ostream* out) { *out << c.name; }

class HeldFileTest : public ::testing::TestWithParam<HeldCase> {};

TEST_P(HeldFileTest, OpensOnlyWhatTheOtherHandleShares) {
  const HeldCase& c = GetParam();
  TempDir dir;
  NativePath path = dir / "held.txt";
  WriteBytes(path, "content");
  HeldFile held(path, c.access, c.share);
  ASSERT_TRUE(held.ok());

  InputFile input;
  std::string reason;
  EXPECT_EQ(input.Open(path, &reason), c.readable) << reason;
  input.Close();
  EXPECT_EQ(ReadWholeFile(TextFromPath(path)).size(), c.readable ? 7u : 0u);

  OutputFile output;
  EXPECT_EQ(output.Create(path, &reason), c.writable) << reason;
  if (!c.writable) {
    EXPECT_FALSE(reason.empty());
  }
  output.Close(&reason);
  EXPECT_EQ(WriteWholeFile(TextFromPath(path), {std::string("x")}), c.writable);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

INSTANTIATE_TEST_SUITE_P(
    Cases, HeldFileTest,
    ::testing::Values(HeldCase{"OpenForWriting", GENERIC_WRITE, kShareAll, false, false},
                      HeldCase{"OpenForReading", GENERIC_READ, kShareAll, true, false},
                      HeldCase{"ReadSharingReadOnly", GENERIC_READ, FILE_SHARE_READ, true, false},
                      HeldCase{"Locked", GENERIC_READ, 0, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vevidav
