#include "platform/regular_file.h"

#include <gtest/gtest.h>

#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

using testing::HangGuard;
using testing::TempFolder;

TEST(RegularFile, RefusesWhatIsNoRegularFileWithoutBlocking) {
  HangGuard guard;
  TempFolder folder("quillon-read");
  for (const testing::SpecialFile& f : testing::makeSpecialFiles(folder.path())) {
    std::error_code error;
    EXPECT_FALSE(readRegularFile(f.path, 1 << 20, error)) << f.what;
    EXPECT_EQ(error, FileError::notRegular) << f.what;
    EXPECT_FALSE(RegularFile::open(f.path, error)) << f.what;
  }
  std::error_code error;
  EXPECT_FALSE(readRegularFile(folder / "missing.mb", 1 << 20, error));
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

TEST(RegularFile, ReadsTheHeadOfAFileAndSaysWhetherItWasCut) {
  TempFolder folder("quillon-read");
  std::error_code error;
  bool cut = true;
  const std::optional<FileBytes> whole =
      readRegularFileHead(folder.write("a.err", "abc"), 3, cut, error);
  ASSERT_TRUE(whole);
  EXPECT_EQ(std::tuple(std::string(whole->data.get(), whole->size), cut),
            std::tuple(std::string("abc"), false));
  const auto huge = testing::makeSparseFile(folder / "huge.err", std::uint64_t{1} << 40);
  const std::optional<FileBytes> head = readRegularFileHead(huge, 1000, cut, error);
  ASSERT_TRUE(head);
  EXPECT_EQ(std::tuple(head->size, cut), std::tuple(std::size_t{1000}, true));
  EXPECT_FALSE(readRegularFileHead(folder / "missing.err", 1000, cut, error));
}

TEST(RegularFile, ReadsWholeFilesUpToTheLimit) {
  TempFolder folder("quillon-read");
  std::error_code error;
  const std::string bytes = std::string("a\0b\r\n", 5) + std::string(100000, 'x');
  EXPECT_EQ(readRegularFile(folder.write("a.mb", bytes), bytes.size(), error), bytes);
  EXPECT_EQ(readRegularFile(folder.write("empty.mb", ""), 0, error), "");
  // The buffer a caller takes over exists even for an empty file.
  const std::optional<FileBytes> none = readRegularFileBytes(folder / "empty.mb", 0, error);
  EXPECT_TRUE(none && none->data && none->size == 0);

  // Over the limit: refused from its size, before a byte is read or a byte of memory taken.
  EXPECT_FALSE(readRegularFile(folder / "a.mb", bytes.size() - 1, error));
  EXPECT_EQ(error, std::errc::file_too_large);
  const auto huge = testing::makeSparseFile(folder / "huge.mb", std::uint64_t{1} << 40);
  EXPECT_FALSE(readRegularFile(huge, std::uint64_t{1} << 30, error));
  EXPECT_EQ(error, std::errc::file_too_large);

  // Files that report no size are read to their end, and still only up to the limit.
  const auto status = readRegularFile("/proc/self/status", 1 << 20, error);
  ASSERT_TRUE(status) << error.message();
  EXPECT_NE(status->find("Pid:"), std::string::npos);
  EXPECT_FALSE(readRegularFile("/proc/self/status", 10, error));
  EXPECT_EQ(error, std::errc::file_too_large);
}

}  // namespace
}  // namespace quillon::platform
