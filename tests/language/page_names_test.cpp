#include "language/page_names.h"

#include <gtest/gtest.h>

#include "editor/code_memo.h"

namespace quillon::language {
namespace {

constexpr const char* kPage =
    "Include \"MapBasic.def\"\r\n"         // 0
    "Declare Sub ShowArea(ByVal o As Object, units As String)\r\n"
    "Define MAX_AREA 100\r\n"
    "Type Parcel\r\n"
    "  owner As String\r\n"
    "End Type\r\n"                         // 5
    "Global gCount, gNames(10) As String\r\n"
    "Sub ShowArea(ByVal o As Object, u As String)\r\n"
    "  Dim shownArea, shownUnits As String\r\n"
    "Retry:\r\n"
    "End Sub\r\n"                          // 10
    "Function ShowTotal(\r\n"
    "    a As Float) As Float\r\n"
    "  Dim shownTotal As Float\r\n"
    "End Function\r\n"
    "Sub Unfinished\r\n"                   // 15
    "  Dim shownLast As Integer\r\n";

class EditorNamesTest : public ::testing::Test {
protected:
  void SetUp() override { memo.setText(kPage); }
  std::vector<std::string> at(std::string_view prefix, std::int64_t line, std::size_t limit = 50) {
    return names.namesStartingWith(prefix, NamePlace{"", line}, limit);
  }
  editor::CodeMemo memo;
  EditorNames names{memo};
};

TEST_F(EditorNamesTest, NamesInScopeComeFirstAndEachNameOnce) {
  // In ShowArea its own Dims, then those of the other routines.
  EXPECT_EQ(at("show", 8), std::vector<std::string>({"ShowArea", "shownArea", "shownUnits", "ShowTotal", "shownLast",
                                                      "shownTotal"}));
  EXPECT_EQ(at("show", 13), std::vector<std::string>({"ShowArea", "shownTotal", "ShowTotal", "shownArea", "shownLast",
                                                       "shownUnits"}));
  EXPECT_EQ(at("SHOWNL", 16), std::vector<std::string>({"shownLast"})) << "a routine without End runs to the end";
  EXPECT_EQ(at("g", 0), std::vector<std::string>({"gCount", "gNames"}));
  EXPECT_EQ(at("", 0, 3).size(), 3u);
  EXPECT_EQ(at("owner", 0), std::vector<std::string>()) << "a Type's member is no name of the page";
  EXPECT_EQ(at("Ret", 9), std::vector<std::string>({"Retry"}));
  EXPECT_EQ(at("MAX", 0), std::vector<std::string>({"MAX_AREA"}));
  EXPECT_EQ(at("Parc", 0), std::vector<std::string>({"Parcel"}));
}

TEST_F(EditorNamesTest, TheDeclaresParametersWinAndEditsAreSeen) {
  EXPECT_EQ(names.parametersOf("showarea", {}), "ByVal o As Object, units As String");
  EXPECT_EQ(names.parametersOf("ShowTotal", {}), "a As Float") << "a statement over two lines";
  EXPECT_EQ(names.parametersOf("Unfinished", {}), "");
  EXPECT_FALSE(names.parametersOf("MAX_AREA", {}));
  EXPECT_FALSE(names.parametersOf("Nowhere", {}));

  memo.select(0, 0);
  memo.setSelText("Sub Added(n)\r\nEnd Sub\r\n");
  EXPECT_EQ(names.parametersOf("Added", {}), "n");
}

// Typing inside a line of a large page must not rescan it at every key.
TEST(EditorNamesLargePageTest, ALargePageIsRescannedOnlyWhenItsLineCountChanges) {
  editor::CodeMemo memo;
  std::string text = "Sub First\r\nEnd Sub\r\n";
  for (std::int64_t i = 0; i < EditorNames::kSmallPage; ++i) text += "x = 1\r\n";
  memo.setText(text);
  EditorNames names(memo);
  EXPECT_EQ(names.namesStartingWith("Fi", {}, 5), std::vector<std::string>({"First"}));
  memo.select(4, 5);
  memo.setSelText("Renamed");
  EXPECT_EQ(names.namesStartingWith("Fi", {}, 5), std::vector<std::string>({"First"})) << "the last scan still serves";
  memo.select(0, 0);
  memo.setSelText("\r\n");
  EXPECT_EQ(names.namesStartingWith("Re", {}, 5), std::vector<std::string>({"Renamed"}));
}

TEST(PageNamesTest, BadInputEndsWithoutHarm) {
  const std::string lines[] = {"Sub", "Declare Sub", "Dim", "Declare Function F(a, (b", "Sub (", "Dim ,,,", "End"};
  const auto names = scanPageNames(std::size(lines), [&](std::int64_t i) { return std::string_view(lines[i]); });
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(std::tuple(names[0].name, names[0].parameters), std::tuple(std::string("F"), std::string("a, (b")));
}

}  // namespace
}  // namespace quillon::language
