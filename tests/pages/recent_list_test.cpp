#include "pages/recent_list.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tuple>

#include "platform/file_identity.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

using quillon::pages::RecentList;
using quillon::settings::IniFile;
using quillon::settings::IniSectionStore;
using ::testing::ElementsAre;

TEST(RecentList, MostRecentFirstWithLimitAndCaseInsensitiveMoves) {
  RecentList list(30);
  for (int i = 1; i <= 31; ++i) list.add("/p/f" + std::to_string(i) + ".mb");
  EXPECT_EQ(std::tuple(list.size(), list.entries().front(), list.entries().back()),
            std::tuple(30u, "/p/f31.mb", "/p/f2.mb"));

  list.add("/P/F10.MB");  // an existing entry in other letters moves up, newest spelling kept
  EXPECT_EQ(std::tuple(list.size(), list.entries().front(), list.indexOf("/p/f10.mb")),
            std::tuple(30u, "/P/F10.MB", 0u));

  // Windows-1252 letters fold too.
  RecentList names(5);
  names.add("caf\xe9.mb");
  names.add("CAF\xc9.MB");
  EXPECT_THAT(names.entries(), ElementsAre("CAF\xc9.MB"));

  EXPECT_TRUE(names.remove("caf\xe9.mb"));
  EXPECT_FALSE(names.remove("caf\xe9.mb"));
  names.add("");  // would cut the stored list short
  EXPECT_TRUE(names.empty());
}

TEST(RecentList, CaptionsNumberThenLetterAndEscapeAmpersands) {
  RecentList list(50);
  for (int i = 50; i >= 1; --i) list.add("C:\\dir\\n" + std::to_string(i) + ".mb");
  list.add("/home/u/R&D.mb");
  auto full = list.captions();
  ASSERT_EQ(full.size(), 50u);
  // After "&Z" no accelerators are left.
  EXPECT_THAT((std::vector{full[0], full[8], full[9], full[34], full[35]}),
              ElementsAre("&1 /home/u/R&&D.mb", "&9 C:\\dir\\n8.mb", "&A C:\\dir\\n9.mb",
                          "&Z C:\\dir\\n34.mb", "C:\\dir\\n35.mb"));
  auto shortNames = list.captions(RecentList::Shown::FileNamePart);
  EXPECT_THAT((std::vector{shortNames[0], shortNames[1]}), ElementsAre("&1 R&&D.mb", "&2 n1.mb"));
}

// Saving into a section is the settings tests' business.
TEST(RecentList, LoadStopsAtAGapAndDropsRepeatsUpToTheLimit) {
  IniFile ini("[gap]\nH0=x\nH1=X\nH2=y\nH3=\nH4=after gap\n[full]\nH0=1\nH1=2\nH2=3\n");
  RecentList loaded(20);
  loaded.load(IniSectionStore(ini, "gap"));
  EXPECT_THAT(loaded.entries(), ElementsAre("x", "y"));

  RecentList small(2);
  small.load(IniSectionStore(ini, "full"));
  EXPECT_THAT(small.entries(), ElementsAre("1", "2"));
}

// Names of files that do not exist fold only when equal.
TEST(RecentList, AFileListKnowsOneFileByAnyName) {
  quillon::testing::TempFolder folder;
  const auto real = folder.path() / "a.mb";
  const auto upper = folder.path() / "A.mb";
  folder.write("a.mb", "x");
  folder.write("A.mb", "y");
  std::filesystem::create_symlink(real, folder.path() / "link.mb");

  RecentList files(10, quillon::platform::fileKey);
  files.add(real.string());
  files.add(upper.string());
  files.add((folder.path() / "link.mb").string());
  files.add((folder.path() / "." / "a.mb").string());
  EXPECT_THAT(files.entries(),
              ElementsAre((folder.path() / "." / "a.mb").string(), upper.string()));

  files.add("/no/such/file.mb");
  files.add("/no/such/FILE.mb");
  files.add("/no/such/file.mb");
  EXPECT_EQ(std::tuple(files.size(), files.entries().front()), std::tuple(4u, "/no/such/file.mb"));
}
