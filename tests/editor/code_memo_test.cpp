// The editor model's selection, search, string views, events, anchors and self-check.
#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "editor/memo_error.h"

namespace {

using quillon::editor::CodeMemo;
using quillon::editor::MemoError;
using quillon::editor::Offset;
using quillon::editor::UpperCaseType;

using Sel = std::pair<Offset, Offset>;
Sel sel(const CodeMemo& m) { return {m.selStart(), m.selLength()}; }

// ----- search -----

// Where a hit lands inside one paragraph is the random search check's business.
TEST(CodeMemoFind, GoesOnAcrossParagraphsButNeverMatchesOverABreak) {
  CodeMemo m;
  m.setText("Dim a\r\nDim b");
  EXPECT_TRUE(m.findText("Dim", true, false, false));
  EXPECT_EQ(sel(m), Sel(3, -3));
  EXPECT_TRUE(m.findText("dim", true, false, false));  // starts after the previous hit
  EXPECT_EQ(sel(m), Sel(10, -3));

  m.setText("x = x + x\r\ny = z");
  m.setSelStart(15);
  EXPECT_TRUE(m.findText("x ", false, false, true));  // the last hit of an earlier paragraph
  EXPECT_EQ(sel(m), Sel(4, 2));

  // A failed search keeps the selection.
  m.setText("xa\r\nbx");
  for (const bool forward : {true, false}) {
    m.select(forward ? 0 : m.charCount(), forward ? 1 : -1);
    const Sel before = sel(m);
    for (const char* pattern : {"a\r\nb", "ab", "zz", ""}) {
      EXPECT_FALSE(m.findText(pattern, forward, false, false)) << pattern;
      EXPECT_EQ(sel(m), before);
    }
  }
}

TEST(CodeMemoFind, CaseFoldingFollowsUpperCaseType) {
  CodeMemo m;
  m.setText("caf\xc9 ok");
  EXPECT_FALSE(m.findText("caf\xe9", true, false, false));
  m.setUpperCaseType(UpperCaseType::muAnsi);
  EXPECT_TRUE(m.findText("caf\xe9", true, false, false));
  EXPECT_EQ(m.selStart(), 4);
  m.setSelStart(0);
  EXPECT_FALSE(m.findText("caf\xe9", true, false, true));
}

// ----- caret, selection and words -----

TEST(CodeMemoSelection, CurrentWordAndClampedOffsets) {
  CodeMemo m;
  m.setText("Dim count, total\r\n,;x");
  // After, inside and just before "count"; between the comma and the space; at the end of the
  // paragraph; between ',' and ';'.
  const std::pair<Offset, const char*> cases[] = {{9, "count"}, {6, "count"}, {4, "count"},
                                                  {10, ""},     {16, "total"}, {19, ""}};
  for (const auto& [caret, word] : cases) {
    m.setSelStart(caret);
    EXPECT_EQ(m.currentWord(), word) << caret;
  }
}

TEST(CodeMemoSelection, LinesColumnsAndParagraphs) {
  CodeMemo m;
  m.setText("first\r\nsecond\r\nthird");
  m.setSelLine(1);
  EXPECT_EQ(m.selStart(), 7);
  m.setSelLine(99);
  EXPECT_EQ(m.selLine(), 2);
  EXPECT_EQ(m.selStart(), 15);

  m.setSelStart(11);
  m.setSelLength(2);
  EXPECT_EQ(m.selCol(), 4);
  m.setSelCol(1);  // the selection moves along with the caret
  EXPECT_EQ(sel(m), Sel(8, 2));
  EXPECT_EQ(m.selText(), "ec");
  m.setSelCol(50);
  EXPECT_EQ(m.selStart(), 13);
  m.setSelStart(4);
  m.setSelLength(-3);
  m.setSelCol(1);
  EXPECT_EQ(sel(m), Sel(1, -1));  // clamped to the text's start

  m.setSelStart(13);
  m.setExtraColumns(3);
  EXPECT_EQ(m.selCol(), 9);
  m.setSelStart(13);
  EXPECT_EQ(m.extraColumns(), 0);

  m.select(3, 2);
  m.setSelPar(1);
  EXPECT_EQ(sel(m), Sel(7, 0));
  m.setSelPar(7);
  EXPECT_EQ(m.selStart(), 15);
  EXPECT_EQ(m.selPar(), 2);

  m.selectAll();
  EXPECT_EQ(sel(m), Sel(m.charCount(), -m.charCount()));
  EXPECT_EQ(m.selText(), m.text());
}

TEST(CodeMemoSelection, OffsetsInsideABreakAndOutsideTheTextAreClamped) {
  CodeMemo m;
  m.setText("ab\r\ncd");
  const std::pair<Offset, Offset> cases[] = {{3, 2} /* between CR and LF */, {-5, 0}, {100, 6}};
  for (const auto& [given, clamped] : cases) {
    m.setSelStart(given);
    EXPECT_EQ(m.selStart(), clamped) << given;
  }
  m.setSelLength(3);
  EXPECT_EQ(m.selLength(), 0);
  m.setSelLength(-100);
  EXPECT_EQ(m.selLength(), -6);
}

// ----- string views -----

// Where insert, add, erase and put land is the random model check's business.
TEST(CodeMemoStrings, CountsIgnoreAnEmptyLastParagraphAndAccessOutsideThrowsAndChangesNothing) {
  CodeMemo m;
  auto& p = m.paragraphs();
  m.setText("new\r\n");
  EXPECT_EQ(m.paragraphCount(), 2);
  EXPECT_EQ(p.count(), 1);
  EXPECT_EQ(m.lines().count(), 1);
  EXPECT_EQ(p.get(0), "new");
  for (std::int64_t bad : {-1, 2, 100}) {
    try {
      (void)p.get(bad);
      FAIL() << bad;
    } catch (const MemoError& e) {
      EXPECT_STREQ(e.what(), "List index out of bounds");
    }
  }
  EXPECT_THROW(p.put(5, "x"), MemoError);
  EXPECT_THROW(p.erase(5), MemoError);
  EXPECT_THROW(m.lines().get(5), MemoError);
  EXPECT_EQ(m.text(), "new\r\n");
  m.setText("");
  EXPECT_EQ(p.count(), 0);
  EXPECT_EQ(m.lines().count(), 0);
}

// ----- events -----

TEST(CodeMemoEvents, ParseChangeAndSelMove) {
  CodeMemo m;
  std::vector<std::pair<std::int64_t, std::int64_t>> parsed;
  int changes = 0;
  int moves = 0;
  m.onParse.subscribe([&](std::int64_t a, std::int64_t b) { parsed.emplace_back(a, b); });
  m.onChange.subscribe([&] { ++changes; });
  m.onSelMove.subscribe([&] { ++moves; });

  m.setText("Dim a\r\nDim b");
  EXPECT_EQ(parsed, (std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 12}}));
  EXPECT_EQ(changes, 1);

  m.setSelStart(7);
  m.setSelStart(7);
  EXPECT_EQ(moves, 1);
  m.select(7, 3);  // same caret, only a selection
  EXPECT_EQ(moves, 1);

  parsed.clear();
  m.setSelText("Global\r\n");
  EXPECT_EQ(parsed, (std::vector<std::pair<std::int64_t, std::int64_t>>{{7, 15}}));
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(moves, 2);
}

TEST(CodeMemoEvents, AMuteSilencesOnlyItsKindsUntilTheLastEnds) {
  CodeMemo m;
  int changes = 0, parses = 0, moves = 0;
  m.onChange.subscribe([&] { ++changes; });
  m.onParse.subscribe([&](Offset, Offset) { ++parses; });
  m.onSelMove.subscribe([&] { ++moves; });
  {
    const auto outer = m.muteEvents(CodeMemo::kOnChange | CodeMemo::kOnParse);
    {
      const auto inner = m.muteEvents(CodeMemo::kOnChange);
      m.setSelText("a");
    }
    m.setSelText("b");
  }
  EXPECT_EQ(changes + parses, 0);
  EXPECT_EQ(moves, 2) << "caret moves were not muted";
  m.setSelText("c");
  EXPECT_EQ(changes, 1) << "what happened while muted is not told later";
  EXPECT_EQ(parses, 1);
}

TEST(CodeMemoEvents, OnChangeWaitsForTheOutermostEndUpdate) {
  CodeMemo m;
  int changes = 0;
  m.onChange.subscribe([&] { ++changes; });
  m.lines().beginUpdate();
  m.paragraphs().beginUpdate();
  m.setSelText("a");
  m.setSelText("b");
  m.paragraphs().endUpdate();
  EXPECT_EQ(changes, 0);
  m.lines().endUpdate();
  EXPECT_EQ(changes, 1);
  m.endUpdate();  // unbalanced: ignored
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(m.text(), "ab");

  // A handler before the change may substitute the text, and Undo takes the substitute away.
  m.setText("");
  m.onBeforeChange.subscribe([](std::string& t) {
    if (t == "\t") t = "  ";
  });
  m.setSelText("\t");
  EXPECT_EQ(m.text(), "  ");
  EXPECT_EQ(m.selStart(), 2);
  m.undo();
  EXPECT_EQ(m.text(), "");
}

// ----- anchors -----

TEST(CodeMemoAnchors, FollowEditsBeforeThem) {
  CodeMemo m;
  m.setText("line1\r\nline2\r\nline3");
  const auto a = m.addAnchor(14);  // start of line3
  m.setSelStart(0);
  m.setSelText("new\r\n");
  EXPECT_EQ(m.anchor(a), 19);
  m.select(0, 5);
  m.clearSelection();
  EXPECT_EQ(m.anchor(a), 14);
  m.setSelStart(m.charCount());
  m.setSelText("tail");  // after it: no effect
  EXPECT_EQ(m.anchor(a), 14);
  m.select(10, 6);  // a deletion around it leaves it at the deletion point
  m.clearSelection();
  EXPECT_EQ(m.anchor(a), 10);
  m.undo();
  m.removeAnchor(a);
  EXPECT_THROW(m.anchor(a), MemoError);
}

}  // namespace
