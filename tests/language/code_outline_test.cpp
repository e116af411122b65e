#include "language/code_outline.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "editor/code_memo.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace quillon::language {
namespace {

// The tree as the panel shows it: the root, each group two blanks in, entries four.
std::string render(const Outline& outline) {
  std::string out = outline.caption + "\n";
  for (std::size_t g = 0; g < kOutlineGroups; ++g) {
    out.append("  ").append(kOutlineGroupNames[g]).append("\n");
    for (const OutlineEntry& e : outline.groups[g]) out.append("    ").append(e.text).append("\n");
  }
  return out;
}

Outline outlineOf(const std::vector<std::string>& lines) {
  return scanOutline(static_cast<std::int64_t>(lines.size()), [&lines](std::int64_t i) {
    return std::string_view(lines[static_cast<std::size_t>(i)]);
  });
}

std::vector<std::string> texts(const std::vector<OutlineEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.text);
  return out;
}

// NAME.mb against NAME.tree, and NAME.sorted.tree when there is one.
TEST(CodeOutlineGolden, EveryCaseGivesItsTree) {
  const fs::path folder = fs::path(QUILLON_SOURCE_DIR) / "tests/data/outline";
  std::vector<std::pair<fs::path, fs::path>> cases = {
      {fs::path(QUILLON_SOURCE_DIR) / "tests/data/parcels.mb", folder / "parcels.tree"}};
  for (const auto& item : fs::directory_iterator(folder))
    if (item.path().extension() == ".mb")
      cases.emplace_back(item.path(), fs::path(item.path()).replace_extension(".tree"));
  ASSERT_GE(cases.size(), 9u);

  for (const auto& [source, expected] : cases) {
    SCOPED_TRACE(source.filename().string());
    ASSERT_TRUE(fs::exists(expected)) << expected;
    editor::CodeMemo memo;
    memo.loadFromFile(source);
    Outline outline = scanOutline(memo.paragraphCount(),
                                  [&memo](std::int64_t i) { return memo.paragraphText(i); });
    outline.caption = source.filename().string();
    EXPECT_EQ(render(outline), testing::readFile(expected));

    fs::path sorted = expected;
    sorted.replace_extension(".sorted.tree");
    if (fs::exists(sorted)) {
      sortOutline(outline);
      EXPECT_EQ(render(outline), testing::readFile(sorted));
    }
  }
}

TEST(MapBasicScanner, SplitsALineIntoCodeStringsAndComment) {
  auto parts = [](std::string_view line) {
    std::string out;
    scanLine(line, [&](const LineSegment& s) {
      out += s.kind == SegmentKind::Code ? "C" : s.kind == SegmentKind::String ? "S" : "R";
      out.append("<").append(s.text).append(">");
    });
    return out;
  };
  EXPECT_EQ(parts(R"(x = "it's" ' note "q")"), R"(C<x = >S<"it's">C< >R<' note "q">)");
  EXPECT_EQ(parts(R"(s = """" + "a)"), R"(C<s = >S<"">S<"">C< + >S<"a>)");
  EXPECT_EQ(parts("'all comment"), "R<'all comment>");
  EXPECT_EQ(parts(""), "");
  EXPECT_EQ(withoutComment("Dim a ' dim"), "Dim a ");
  EXPECT_EQ(withoutComment(R"(Note "a'b" 'c)"), R"(Note "a'b" )");
}

TEST(MapBasicScanner, ReadsALinesFactsAndNameRunsInOnePass) {
  auto read = [](std::string_view line) {
    std::string out;
    const LineFacts facts = readLine(line, [&](std::size_t start, std::size_t length) {
      out.append("<").append(line.substr(start, length)).append(">");
    });
    return out + (facts.hasCode ? " code" : "") + (facts.endsWithComma ? " comma" : "") + " " +
           std::to_string(facts.parenBalance);
  };
  EXPECT_EQ(read("Dim a(1, b$ ,"), "<Dim><a><1><b$> code comma 1");
  EXPECT_EQ(read(R"(x = "(,"  ' ) y,)"), "<x> code 0");
  EXPECT_EQ(read(R"(f(a)), "s")"), "<f><a> code -1");
  EXPECT_EQ(read("Call g(\"it's\"),"), "<Call><g> code comma 0");
  EXPECT_EQ(read(" \t\x01 ' only a note"), " 0");
  EXPECT_EQ(read(R"("")"), " code 0");
  EXPECT_EQ(read(""), " 0");
}

TEST(MapBasicScanner, FactsGivenForTheFirstLinesReadTheSameStatements) {
  const std::vector<std::string> lines = {
      "Dim a(1,", "  ' note", "", "2) As Integer", "x = f(", "y)", "Sub S", "Call  g ( 1 ,", "2 )"};
  const StatementReader::LineAt lineAt = [&](std::int64_t i) {
    return std::string_view(lines[static_cast<std::size_t>(i)]);
  };
  std::vector<LineFacts> known;
  for (std::size_t i = 0; i < 5; ++i) known.push_back(readLine(lines[i]));
  auto statements = [&](StatementReader reader, bool textLater) {
    std::vector<std::string> out;
    Statement s;
    while (textLater ? reader.nextLines(s) : reader.next(s)) {
      if (textLater) reader.addText(s);
      out.push_back(std::to_string(s.firstLine) + "+" + std::to_string(s.lineCount) + " " + s.text);
    }
    return out;
  };
  const auto count = static_cast<std::int64_t>(lines.size());
  const std::vector<std::string> expected = {"0+4 Dim a(1, 2) As Integer", "4+2 x = f(y)",
                                             "6+1 Sub S", "7+2 Call g ( 1 , 2 )"};
  EXPECT_EQ(statements(StatementReader(count, lineAt), false), expected);
  EXPECT_EQ(statements(StatementReader(count, lineAt, known), true), expected);
}

TEST(MapBasicScanner, JoinsAtMostTwoHundredLinesOfAnOpenParenthesis) {
  std::vector<std::string> lines = {"Global g_list(1,"};
  for (int i = 0; i < 300; ++i) lines.push_back("x" + std::to_string(i) + ",");
  lines.push_back("Dim after");
  StatementReader reader(static_cast<std::int64_t>(lines.size()), [&](std::int64_t i) {
    return std::string_view(lines[static_cast<std::size_t>(i)]);
  });
  Statement s;
  ASSERT_TRUE(reader.next(s));
  EXPECT_EQ(s.firstLine, 0);
  EXPECT_EQ(s.lineCount, kMaxStatementLines);
  EXPECT_EQ(s.text.substr(0, 24), "Global g_list(1, x0, x1,");
  // The rest goes on in statements of its own; none is lost and none reaches past the end.
  std::int64_t covered = s.lineCount;
  while (reader.next(s)) {
    EXPECT_EQ(s.firstLine, covered);
    covered += s.lineCount;
  }
  EXPECT_EQ(covered, static_cast<std::int64_t>(lines.size()));
}

TEST(CodeOutline, SortsNamesCaseFoldedLowerCaseFirstThenByLine) {
  std::vector<std::string> names = {"_first", "\xC9lan", "Apple",   "zeta",
                                    "apple",  "Zulu",    "\xE9lan", "app"};
  std::sort(names.begin(), names.end(), outlineNameLess);
  // '_' after the letters; é before É, both after Z.
  EXPECT_EQ(names, (std::vector<std::string>{"app", "apple", "Apple", "zeta", "Zulu", "_first",
                                             "\xE9lan", "\xC9lan"}));
  EXPECT_FALSE(outlineNameLess("apple", "apple"));
}

// Shorter scans are checked in the outline commands' status texts.
TEST(CodeOutline, ScanTimeKeepsItsMilliseconds) {
  EXPECT_EQ(formatScanSeconds(std::chrono::milliseconds(75300)), "75.300");
}

// Pages that are no source at all: every entry still names a line of the page.
TEST(CodeOutline, BadPagesGiveEntriesInsideThePage) {
  const std::vector<std::vector<std::string>> pages = {
      {std::string("Dim a\0b", 7), std::string("Sub A\0\0", 7),
       "Include \"trunc"},                   // NUL bytes, a cut string
      {"Sub Main(", "  a As Integer,"},      // cut inside a statement
      {std::string(1 << 20, '('), "Dim x"},  // a 1 MB line of parentheses
      {std::string(1 << 20, 'a') + ":", "Dim " + std::string(1 << 20, 'b')},  // 1 MB names
      {"\xff\xfe\x80:", "End", "Type", "'", "\""},                            // garbage bytes
  };
  for (const auto& page : pages) {
    const Outline outline = outlineOf(page);
    for (const auto& group : outline.groups)
      for (const OutlineEntry& e : group)
        EXPECT_TRUE(e.line >= 1 && e.line <= static_cast<std::int64_t>(page.size()) &&
                    !e.name().empty())
            << e.text;
  }
  // A NUL is a blank, as any control character.
  EXPECT_EQ(texts(outlineOf(pages[0]).group(OutlineGroup::Dim)),
            std::vector<std::string>({"a b [1]"}));
  EXPECT_EQ(texts(outlineOf(pages[0]).group(OutlineGroup::Subs)),
            std::vector<std::string>({"A [2]"}));
  EXPECT_EQ(texts(outlineOf(pages[0]).group(OutlineGroup::Include)),
            std::vector<std::string>({"\"trunc [3]"}));
  EXPECT_EQ(texts(outlineOf(pages[2]).group(OutlineGroup::Dim)),
            std::vector<std::string>({"x [2]"}));
  EXPECT_EQ(outlineOf(pages[3]).group(OutlineGroup::Labels).size(), 1u);
}

}  // namespace
}  // namespace quillon::language
