#include "settings/session_store.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "pages/recent_commands.h"
#include "settings/settings.h"

namespace quillon::settings {
namespace {

using Lines = std::vector<std::string>;

// Sessions never touch the disk themselves; file existence is whatever the test says.
std::function<bool(const std::string&)> existing(std::set<std::string> present) {
  return [present](const std::string& f) { return present.count(f) > 0; };
}

TEST(SessionStore, NamedAfterTheFirstProjectPageElsePageZero) {
  EXPECT_EQ(
      (Lines{sessionName({"/w/MyApp.mb", "/w/MyApp.mbp"}),
             sessionName({"/w/a.mb", "/w/B.MBP", "/w/c.mbp"}),
             sessionName({"/w/a.mb", "/w/b.mbpx"}), sessionName({"/w/.mbp"}), sessionName({})}),
      (Lines{"MyApp.mbp", "B.MBP", "a.mb", ".mbp", ""}));
}

TEST(SessionStore, WritesPagesAndViewStateUnderTheSessionName) {
  IniFile ini("[SYSTEM]\r\nKeyFile=k\r\n");
  pages::RecentList sessions(pages::RecentCommands::kMaxSessions);
  ASSERT_TRUE(writeSession(ini, sessions, {"/w/MyApp.mb", "/w/MyApp.mbp"}, 1, 40, 1234));
  EXPECT_EQ(sessions.entries(), Lines{"MyApp.mbp"});
  EXPECT_EQ(ini.readSectionValues("MyApp.mbp"),
            (Lines{"00=/w/MyApp.mb", "01=/w/MyApp.mbp", "tab=1", "line=40", "cursor=1234"}));

  // Closing again with fewer pages rewrites the one section and keeps one list entry.
  ASSERT_TRUE(writeSession(ini, sessions, {"/w/myapp.MBP"}, 0, 0, 0));
  EXPECT_EQ(sessions.entries(), Lines{"myapp.MBP"});
  EXPECT_EQ(ini.readSectionValues("MyApp.mbp"),
            (Lines{"00=/w/myapp.MBP", "tab=0", "line=0", "cursor=0"}));
  EXPECT_EQ(ini.sectionNames(), (Lines{"SYSTEM", "myapp.MBP"}));

  // Page keys have at least two digits.
  Lines pages;
  for (int i = 0; i < 12; ++i) pages.push_back("/w/p" + std::to_string(i) + ".mb");
  ASSERT_TRUE(writeSession(ini, sessions, pages, 11, 1, 1));
  const Lines keys = ini.readSection("p0.mb");
  EXPECT_EQ(Lines(keys.begin() + 9, keys.begin() + 13), (Lines{"09", "10", "11", "tab"}));
}

TEST(SessionStore, TheTwentyFirstSessionErasesTheOldestSection) {
  IniFile ini;
  pages::RecentList sessions(pages::RecentCommands::kMaxSessions);
  for (int i = 0; i < 20; ++i)
    writeSession(ini, sessions, {"/w/s" + std::to_string(i) + ".mb"}, 0, 1, 0);
  ASSERT_EQ(sessions.size(), 20u);

  // A listed name does not push anything out.
  writeSession(ini, sessions, {"/w/s0.mb"}, 0, 1, 0);
  EXPECT_EQ(std::tuple(ini.sectionNames().size(), sessions.entries().back()),
            std::tuple(20u, "s1.mb"));

  writeSession(ini, sessions, {"/w/new.mb"}, 0, 1, 0);
  EXPECT_EQ(sessions.size(), 20u);
  EXPECT_EQ((std::vector{sessions.contains("s1.mb"), ini.sectionExists("s1.mb"),
                         ini.sectionExists("s0.mb"), ini.sectionExists("new.mb")}),
            (std::vector{false, false, true, true}));

  clearSessions(ini, sessions);
  EXPECT_TRUE(sessions.empty() && ini.sectionNames().empty());
}

TEST(SessionStore, ProgramSectionsAreNeverUsedAsSessions) {
  const std::string original =
      "[System]\r\nKeyFile=k\r\n[cfind.items]\r\n00=x\r\n[Last Session]\r\nH0=SYSTEM\r\n";
  IniFile ini(original);
  pages::RecentList sessions(pages::RecentCommands::kMaxSessions);
  sessions.load(IniSectionStore(ini, std::string(kLastSessionSection)));

  for (const char* page : {"/w/SYSTEM", "/w/numbers", "/w/Last Session", "/w/CFIND.ITEMS",
                           "/w/WinMain", "/w/ padded.mb"})
    EXPECT_FALSE(writeSession(ini, sessions, {page}, 0, 1, 0)) << page;
  EXPECT_FALSE(writeSession(ini, sessions, {}, 0, 1, 0));
  EXPECT_EQ(sessions.entries(), Lines{"SYSTEM"});

  // A hand-edited list naming a program section: picking it only drops the entry.
  const SessionContents picked = readSession(ini, "system", existing({}));
  EXPECT_TRUE(picked.remove && picked.files.empty());

  // Neither pushing it out of a full list nor clearing the list erases the section.
  for (int i = 0; i < 19; ++i) sessions.add("other" + std::to_string(i));
  ASSERT_EQ(sessions.entries().back(), "SYSTEM");
  writeSession(ini, sessions, {"/w/fresh.mb"}, 0, 1, 0);
  EXPECT_EQ(std::pair(sessions.contains("SYSTEM"), ini.sectionExists("System")),
            std::pair(false, true));
  sessions.add("SYSTEM");
  clearSessions(ini, sessions);
  EXPECT_EQ(std::pair(ini.sectionExists("System"), ini.readString("System", "KeyFile", "-")),
            std::pair(true, std::string("k")));
}

TEST(SessionStore, PickingReopensExistingFilesAndForgetsMissingOnes) {
  IniFile ini(
      "[MyApp.mbp]\r\n00=/w/MyApp.mb\r\n01=/w/gone.mb\r\n02=\r\n03=/w/"
      "MyApp.mbp\r\nTAB=2\r\nLine=17\r\ncursor=300\r\n"
      "[bad.mb]\r\n00=/w/MyApp.mb\r\ntab=x\r\nline=\r\ncursor=?\r\n"
      "[bare.mb]\r\n00=/w/MyApp.mb\r\n");
  const auto files = existing({"/w/MyApp.mb", "/w/MyApp.mbp"});
  SessionContents s = readSession(ini, "myapp.mbp", files);
  EXPECT_EQ(std::tuple(s.remove, s.files, s.tab, s.line, s.cursor, ini.readSection("MyApp.mbp")),
            std::tuple(false, Lines{"/w/MyApp.mb", "/w/MyApp.mbp"}, 2, 17, 300,
                       Lines{"00", "02", "03", "TAB", "Line", "cursor"}));

  // Bad numbers read as their defaults; a cursor that is there but bad is 1, a missing one 0.
  s = readSession(ini, "bad.mb", files);
  EXPECT_EQ(std::tuple(s.tab, s.line, s.cursor), std::tuple(0, 1, 1));
  s = readSession(ini, "bare.mb", files);
  EXPECT_EQ(std::tuple(s.tab, s.line, s.cursor), std::tuple(0, 1, 0));
}

TEST(SessionStore, ASessionWithoutFilesIsErasedAndRemoved) {
  const auto none = existing({});
  IniFile ini("[a.mb]\r\n00=/w/a.mb\r\ntab=0\r\n[b.mb]\r\n[keep]\r\nx=1\r\n");
  EXPECT_TRUE(readSession(ini, "a.mb", none).remove);
  EXPECT_TRUE(readSession(ini, "b.mb", none).remove);  // a section without keys
  EXPECT_TRUE(readSession(ini, "never written", none).remove);
  EXPECT_EQ(ini.bytes(), "[b.mb]\r\n[keep]\r\nx=1\r\n");
}

}  // namespace
}  // namespace quillon::settings
