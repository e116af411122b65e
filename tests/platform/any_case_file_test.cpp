// Finding a file Wine or Windows spelt in another case.
#include "platform/any_case_file.h"

#include <gtest/gtest.h>
#include <string>

#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

TEST(AnyCaseFile, FindsOtherCaseButNeverANameCutAtANul) {
  testing::TempFolder folder("quillon-anycase");
  folder.write("PARCELS.ERR", "x");
  std::filesystem::create_directory(folder / "Sub");
  folder.write("Sub/Report.MB", "y");
  EXPECT_EQ(findAnyCase(folder / "parcels.err"), folder / "PARCELS.ERR");
  EXPECT_EQ(findAnyCasePath(folder / "sub/report.mb"), folder / "Sub/Report.MB");

  // The system reads a name only up to a NUL, so "PARCELS.ERR<NUL>.mbx" would name PARCELS.ERR,
  // and Link would delete it as a stale output.
  const std::filesystem::path cut = folder / std::string("PARCELS.ERR\0.mbx", 16);
  EXPECT_FALSE(findAnyCase(cut));
  EXPECT_FALSE(findAnyCasePath(cut));

  // A name longer than the system allows is missing, found without a walk of the folders.
  EXPECT_FALSE(findAnyCasePath(folder / std::string(1'000'000, 'a')));
  EXPECT_FALSE(findAnyCase(folder / "Sub" / std::string(300, 'a')));
}

}  // namespace
}  // namespace quillon::platform
