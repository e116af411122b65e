// Include names found as the compiler finds them, and the names it would never follow refused.
#include "platform/include_resolver.h"

#include <gtest/gtest.h>
#include <string>

#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

TEST(IncludeResolver, SearchesTheIncludingFolderThenMbIncludeWithSubFoldersThenMapBasic) {
  testing::TempFolder folder("quillon-include");
  folder.write("app/src/Main.mb", "");
  folder.write("app/ARRAYLib.def", "up");
  folder.write("app/src/sub/Local.DEF", "sub");
  folder.write("inc/deep/er/Shared.def", "shared");
  folder.write("inc/Both.def", "inc");
  folder.write("mb/Both.def", "mb");
  folder.write("mb/MAPBASIC.DEF", "mapbasic");
  const IncludeResolver resolver({{folder / "inc"}, folder / "mb"}, nullptr);
  const fs::path from = folder / "app/src";

  EXPECT_EQ(resolver.resolve("..\\ARRAYLib.def", from), folder / "app/ARRAYLib.def");
  EXPECT_EQ(resolver.resolve("SUB\\local.def", from), folder / "app/src/sub/Local.DEF");
  EXPECT_EQ(resolver.resolve("Shared.def", from), folder / "inc/deep/er/Shared.def");
  EXPECT_EQ(resolver.resolve("both.def", from),
            folder / "inc/Both.def");  // MBINCLUDE before MapBasic
  EXPECT_EQ(resolver.resolve("mapbasic.def", from), folder / "mb/MAPBASIC.DEF");
  EXPECT_FALSE(resolver.resolve("Missing.def", from));
}

TEST(IncludeResolver, DriveLettersGoThroughThePrefixAndMbIncludeIsSplitAtSemicolons) {
  testing::TempFolder folder("quillon-include");
  fs::create_directories(folder / "prefix/dosdevices");
  fs::create_directories(folder / "drive_c/Lib");
  fs::create_directory_symlink("../../drive_c", folder / "prefix/dosdevices/c:");
  folder.write("drive_c/Lib/Util.def", "x");
  const WineRegistry drives = WineRegistry::fromText("", "", folder / "prefix");

  const IncludeResolver resolver({}, &drives);
  EXPECT_EQ(resolver.resolve("c:\\lib\\UTIL.DEF", folder / "anywhere"),
            fs::canonical(folder / "drive_c") / "Lib/Util.def");
  EXPECT_FALSE(resolver.resolve("D:\\Util.def", folder.path()));  // no such drive

  const auto folders =
      IncludeResolver::parseMbInclude(" C:\\Lib ; ;local/inc;\\\\server\\share", &drives);
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0], fs::canonical(folder / "drive_c") / "Lib");
  EXPECT_EQ(folders[1], fs::path("local/inc"));
  EXPECT_TRUE(IncludeResolver::parseMbInclude("C:\\Lib", nullptr).empty());
}

TEST(IncludeResolver, RefusesWhatTheCompilerWouldNotFollow) {
  testing::HangGuard guard;
  testing::TempFolder folder("quillon-include");
  folder.write("ok.def", "x");
  const IncludeResolver resolver({{folder.path()}, folder.path()}, nullptr);
  for (const testing::SpecialFile& special : testing::makeSpecialFiles(folder.path()))
    EXPECT_FALSE(resolver.resolve(special.path.filename().string(), folder.path())) << special.what;
  EXPECT_FALSE(resolver.resolve("/proc/self/environ", folder.path()));
  EXPECT_FALSE(resolver.resolve("\\ok.def", folder.path()));
  EXPECT_FALSE(resolver.resolve("../../../../../../../../proc/self/status", folder.path()));
  EXPECT_FALSE(resolver.resolve("", folder.path()));
  EXPECT_FALSE(resolver.resolve(std::string("ok.def\0.x", 9), folder.path()));
  EXPECT_FALSE(resolver.resolve(std::string(10000, 'a'), folder.path()));
  EXPECT_FALSE(resolver.resolve("\\\\server\\share\\ok.def", folder.path()));
  EXPECT_TRUE(resolver.resolve("ok.def", folder.path()));
}

// The MapBasic folder may change while the program runs (Program Folders..., a build that
// asks): the one search follows it, and each of its users learns of the change once.
TEST(IncludeSearch, FollowsTheMapBasicFolderAndCountsEachNewResolver) {
  testing::TempFolder folder("quillon-include");
  folder.write("inc/Shared.def", "");
  folder.write("mb1/A.def", "");
  folder.write("mb2/B.def", "");
  fs::path mapBasic = folder / "mb1";
  Environment environment;
  environment.mbInclude = (folder / "inc").string();
  IncludeSearch search;
  search.setSurroundings(environment, [&mapBasic] { return mapBasic; });
  const std::uint64_t set = search.generation();

  EXPECT_EQ(search.resolve("a.def", folder.path()), folder / "mb1/A.def");
  EXPECT_EQ(search.resolve("shared.def", folder.path()), folder / "inc/Shared.def");
  const std::uint64_t first = search.generation();
  EXPECT_GT(first, set);
  EXPECT_FALSE(search.refresh()) << "same folder, same resolver";
  EXPECT_EQ(search.generation(), first);

  mapBasic = folder / "mb2";
  EXPECT_FALSE(search.resolve("a.def", folder.path()));
  EXPECT_EQ(search.resolve("b.def", folder.path()), folder / "mb2/B.def");
  EXPECT_GT(search.generation(), first);
}

}  // namespace
}  // namespace quillon::platform
