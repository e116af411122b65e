#include "platform/any_case_file.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

TEST(AnyCaseFileTest, FindsANameInAnyCase) {
  testing::TempFolder temp;
  temp.write("PARCELS.ERR", "x");
  temp.write("exact.err", "x");
  EXPECT_EQ(findAnyCase(temp / "parcels.err"), temp / "PARCELS.ERR");
  EXPECT_EQ(findAnyCase(temp / "exact.err"), temp / "exact.err");
  EXPECT_EQ(findAnyCase(temp / "other.err"), std::nullopt);
  EXPECT_EQ(findAnyCase(temp / "none" / "a.err"), std::nullopt);
}

}  // namespace
}  // namespace quillon::platform
