#include "editor/code_memo.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <system_error>

#include "editor/memo_error.h"
#include "support/memo_model_checker.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace {

using namespace quillon::editor;

using Sel = std::pair<Offset, Offset>;
Sel sel(const CodeMemo& m) { return {m.selStart(), m.selLength()}; }

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
      EXPECT_FALSE(m.matchesAt(1, pattern, false, false)) << pattern;
      EXPECT_EQ(sel(m), before);
    }
  }
}

// Forward: the first match at or after `from`; backward: the last one starting before it.
std::size_t naiveFind(const std::string& text, const std::string& pattern, std::size_t from,
                      bool forward, bool matchCase, bool wholeWord, const CharSet& separators,
                      const CaseFolder& f) {
  auto matchesAt = [&](std::size_t i) {
    for (std::size_t k = 0; k < pattern.size(); ++k)
      if (matchCase ? text[i + k] != pattern[k] : f.fold(text[i + k]) != f.fold(pattern[k]))
        return false;
    const std::size_t e = i + pattern.size();
    return !wholeWord || ((i == 0 || separators.contains(text[i - 1])) &&
                          (e >= text.size() || separators.contains(text[e])));
  };
  if (pattern.size() > text.size()) return std::string::npos;
  const std::size_t last = text.size() - pattern.size();
  if (forward) {
    for (std::size_t i = from; i <= last; ++i)
      if (matchesAt(i)) return i;
  } else {
    for (std::size_t i = std::min(from, last + 1); i-- > 0;)
      if (matchesAt(i)) return i;
  }
  return std::string::npos;
}

// Self-overlapping patterns over a tiny alphabet are where a shift table goes wrong, in
// either direction; accented letters fold only when the upper case type says so.
TEST(CodeMemoSearch, AgreesWithASlowSearchOnRepetitiveText) {
  std::mt19937 rng(7);
  const std::string alphabet =
      "aA\xe9"
      "b ,\xc9";
  CodeMemo memo;
  for (int round = 0; round < 3000; ++round) {
    std::string text, pattern;
    const int n = static_cast<int>(rng() % 40), m = 1 + static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i) text += alphabet[rng() % alphabet.size()];
    for (int i = 0; i < m; ++i) pattern += alphabet[rng() % 4];
    memo.setUpperCaseType(round % 2 ? UpperCaseType::muAnsi : UpperCaseType::muAscii);
    const bool forward = rng() % 2, matchCase = rng() % 2, wholeWord = rng() % 2;
    const auto from = static_cast<std::size_t>(rng() % (text.size() + 1));
    memo.setText(text);
    memo.select(static_cast<Offset>(from), 0);
    const CaseFolder& f = round % 2 ? CaseFolder::ansi() : CaseFolder::ascii();
    const std::size_t expected =
        naiveFind(text, pattern, from, forward, matchCase, wholeWord, memo.separators(), f);
    EXPECT_EQ(
        memo.matchesAt(static_cast<Offset>(from), pattern, wholeWord, matchCase),
        naiveFind(text, pattern, from, true, matchCase, wholeWord, memo.separators(), f) == from)
        << text << " / " << pattern << " at " << from;
    const bool found = memo.findText(pattern, forward, wholeWord, matchCase);
    ASSERT_EQ(found, expected != std::string::npos) << text << " / " << pattern << " from " << from;
    if (found) {
      const auto start = static_cast<Offset>(expected),
                 length = static_cast<Offset>(pattern.size());
      EXPECT_EQ(sel(memo), forward ? Sel(start + length, -length) : Sel(start, length))
          << text << " / " << pattern;
    }
  }
}

TEST(CodeMemoSelection, CurrentWord) {
  CodeMemo m;
  m.setText("Dim count, total\r\n,;x");
  // After, inside and just before "count"; between the comma and the space; at the end of the
  // paragraph; between ',' and ';'.
  const std::pair<Offset, const char*> cases[] = {{9, "count"}, {6, "count"},  {4, "count"},
                                                  {10, ""},     {16, "total"}, {19, ""}};
  for (const auto& [caret, word] : cases) {
    m.setSelStart(caret);
    EXPECT_EQ(m.currentWord(), word) << caret;
  }
}

TEST(CodeMemoSelection, LinesColumnsParagraphsAndClampedOffsets) {
  CodeMemo m;
  m.setText("first\r\nsecond\r\nthird");
  m.setSelLine(99);
  EXPECT_EQ(Sel(m.selLine(), m.selStart()), Sel(2, 15));

  m.select(11, 2);
  EXPECT_EQ(m.selCol(), 4);
  m.setSelCol(1);  // the selection moves along with the caret
  EXPECT_EQ(sel(m), Sel(8, 2));
  m.setSelCol(50);
  EXPECT_EQ(m.selStart(), 13);
  m.select(4, -3);
  m.setSelCol(1);
  EXPECT_EQ(sel(m), Sel(1, -1));  // clamped to the text's start

  m.setSelStart(13);
  m.setExtraColumns(3);
  EXPECT_EQ(m.selCol(), 9);
  m.setSelStart(13);  // placing the caret leaves virtual space
  EXPECT_EQ(m.extraColumns(), 0);

  m.select(3, 2);
  m.setSelPar(1);
  EXPECT_EQ(sel(m), Sel(7, 0));
  m.setSelPar(7);
  EXPECT_EQ(Sel(m.selStart(), m.selPar()), Sel(15, 2));

  // Offsets inside a break and outside the text are clamped.
  m.setText("ab\r\ncd");
  const std::pair<Offset, Offset> cases[] = {{3, 2} /* between CR and LF */, {-5, 0}, {100, 6}};
  for (const auto& [given, clamped] : cases) {
    m.setSelStart(given);
    EXPECT_EQ(m.selStart(), clamped) << given;
  }
  for (const auto& [given, clamped] : {Sel(3, 0), Sel(-100, -6)}) {
    m.setSelLength(given);
    EXPECT_EQ(m.selLength(), clamped) << given;
  }
}

// Where insert, add, erase and put land is the random model check's business.
TEST(CodeMemoStrings, CountsIgnoreAnEmptyLastParagraphAndAccessOutsideThrowsAndChangesNothing) {
  CodeMemo m;
  auto& p = m.paragraphs();
  m.setText("new\r\n");
  EXPECT_EQ(std::tuple(m.paragraphCount(), p.count(), m.lines().count(), p.get(0)),
            std::tuple(2, 1, 1, "new"));
  for (std::int64_t bad : {-1, 2, 100})
    EXPECT_THAT([&] { (void)p.get(bad); },
                ::testing::ThrowsMessage<MemoError>(::testing::StrEq("List index out of bounds")))
        << bad;
  EXPECT_THROW(p.put(5, "x"), MemoError);
  EXPECT_THROW(p.erase(5), MemoError);
  EXPECT_THROW(m.lines().get(5), MemoError);
  EXPECT_EQ(m.text(), "new\r\n");
  m.setText("");
  EXPECT_EQ(Sel(p.count(), m.lines().count()), Sel(0, 0));
}

TEST(CodeMemoEvents, ParseChangeAndSelMoveAndMutesThatSilenceOnlyTheirKinds) {
  CodeMemo m;
  std::vector<Sel> parsed;
  int changes = 0, moves = 0;
  m.onParse.subscribe([&](std::int64_t a, std::int64_t b) { parsed.emplace_back(a, b); });
  m.onChange.subscribe([&] { ++changes; });
  m.onSelMove.subscribe([&] { ++moves; });

  m.setText("Dim a\r\nDim b");
  EXPECT_EQ(std::pair(parsed, changes), std::pair(std::vector<Sel>{Sel(0, 12)}, 1));

  m.setSelStart(7);
  m.setSelStart(7);
  m.select(7, 3);  // same caret, only a selection
  EXPECT_EQ(moves, 1);

  parsed.clear();
  m.setSelText("Global\r\n");
  EXPECT_EQ(parsed, std::vector<Sel>{Sel(7, 15)});
  EXPECT_EQ(Sel(changes, moves), Sel(2, 2));

  // Until the last mute ends.
  parsed.clear();
  {
    const auto outer = m.muteEvents(CodeMemo::kOnChange | CodeMemo::kOnParse);
    {
      const auto inner = m.muteEvents(CodeMemo::kOnChange);
      m.setSelText("a");
    }
    m.setSelText("b");
  }
  EXPECT_EQ(Sel(changes, static_cast<Offset>(parsed.size())), Sel(2, 0));
  EXPECT_EQ(moves, 4) << "caret moves were not muted";
  m.setSelText("c");
  EXPECT_EQ(Sel(changes, static_cast<Offset>(parsed.size())), Sel(3, 1))
      << "what happened while muted is not told later";
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

  // A handler before the change may substitute the text, and Undo takes the substitute away.
  m.setText("");
  m.onBeforeChange.subscribe([](std::string& t) {
    if (t == "\t") t = "  ";
  });
  m.setSelText("\t");
  EXPECT_EQ(m.text().insert(m.selStart(), "|"), "  |");
  m.undo();
  EXPECT_EQ(m.text(), "");
}

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

// Each character as the keyboard sends it: one insertion at the caret.
void type(CodeMemo& m, std::string_view chars) {
  for (char c : chars) m.setSelText(std::string(1, c));
}

// Each character a step of its own: the caret is placed before each.
void typeSteps(CodeMemo& m, std::string_view chars) {
  for (char c : chars) {
    m.setSelStart(m.charCount());
    type(m, std::string_view(&c, 1));
  }
}

using Texts = std::vector<std::string>;

// The text after each Undo command that changes it; leaves everything undone.
Texts undoTexts(CodeMemo& m) {
  Texts texts;
  while (m.canUndo()) {
    const std::string before = m.text();
    m.undo();
    if (m.text() != before) texts.push_back(m.text());
  }
  return texts;
}

TEST(CodeMemoUndo, WhatStartsANewRecord) {
  CodeMemo m;
  // Placing the caret, even where it already is, ends a typed run.
  type(m, "ab");
  m.setSelStart(2);
  type(m, "c");
  EXPECT_EQ(undoTexts(m), (Texts{"ab", ""}));

  // Replacing a selection is a step of its own.
  m.setText("");
  type(m, "abc");
  m.select(3, -1);
  type(m, "xy");
  EXPECT_EQ(m.text(), "abxy");
  EXPECT_EQ(undoTexts(m), (Texts{"abc", ""}));

  // Undoing a replacement puts the caret after the restored text.
  m.setText("one two three");
  m.select(4, 4);
  m.setSelText("2");
  m.undo();
  EXPECT_EQ(m.text().insert(m.selStart(), "|"), "one two |three");

  // A deletion followed by typing at the same point: the deletion's record starts there.
  m.setText("abcd");
  m.select(4, -2);
  m.clearSelection();
  type(m, "XY");
  EXPECT_EQ(m.text(), "abXY");
  EXPECT_EQ(undoTexts(m), (Texts{"ab", "abcd"}));

  // Typing after an undo does not join the typed run before it.
  m.setText("z");
  type(m, "ab");
  m.setSelStart(2);
  type(m, "c");
  m.undo();
  type(m, "d");
  m.undo();
  EXPECT_EQ(m.text(), "abz");
}

TEST(CodeMemoUndo, TheBudgetDropsTheOldestRecords) {
  CodeMemo m;
  m.setText("abcdefgh");
  m.setUndoMaxSpace(5 * 14);  // five records that removed one character each
  for (int i = 0; i < 8; ++i) {
    m.select(m.charCount(), -1);
    m.clearSelection();
  }
  EXPECT_EQ(undoTexts(m), (Texts{"a", "ab", "abc", "abcd", "abcde"}));

  // A record too big for the budget on its own does not stay either.
  m.setText(std::string(100, 'x'));
  m.selectAll();
  m.setSelText("y");
  EXPECT_EQ(std::pair(m.canUndo(), m.undoHistory().totalSize()),
            (std::pair<bool, std::int64_t>(false, 0)));
}

TEST(CodeMemoUndo, MaxLevelRefusesHugeValuesAndTrims) {
  CodeMemo m;
  typeSteps(m, "abcde");
  EXPECT_THAT([&] { m.setUndoMaxLevel(134217728); },
              ::testing::ThrowsMessage<MemoError>(::testing::StrEq("Undo set too high")));
  EXPECT_EQ(std::pair(m.undoMaxLevel(), m.undoHistory().count()),
            (std::pair<std::int64_t, std::size_t>(256, 5)));
  m.setUndoMaxLevel(134217727);

  // Redo records beyond the new limit go first.
  m.undo();
  m.undo();
  m.setUndoMaxLevel(4);
  EXPECT_EQ(std::pair(m.undoHistory().count(), m.undoHistory().position()),
            (std::pair<std::size_t, std::size_t>(4, 3)));
  m.redo();
  EXPECT_EQ(std::pair(m.text(), m.canRedo()), std::pair(std::string("abcd"), false));

  // Then the oldest, until the position fits.
  m.setUndoMaxLevel(2);
  EXPECT_EQ(m.undoHistory().count(), 2u);
  EXPECT_EQ(undoTexts(m), (Texts{"abc", "ab"}));
}

// That a load clears the history is the random model check's business.
TEST(CodeMemoUndo, ChangeHandlersSeeTheStateAfterTheUndoAndClearEmptiesTheHistory) {
  CodeMemo m;
  typeSteps(m, "abc");
  std::vector<std::pair<bool, bool>> seen;
  m.onChange.subscribe([&] { seen.emplace_back(m.canUndo(), m.canRedo()); });
  for (int i = 0; i < 3; ++i) m.undo();
  EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, true}, {true, true}, {false, true}}));
  seen.clear();
  for (int i = 0; i < 3; ++i) m.redo();
  EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, true}, {true, true}, {true, false}}));
  type(m, "x");
  m.clear();
  m.undo();
  EXPECT_EQ(m.text(), "");
}

TEST(CodeMemoUndo, AGroupedMoveUndoesAndRedoesInOneStep) {
  CodeMemo m;
  m.setText("one two three");
  // The text dragged from the start to the end.
  m.select(0, 4);
  m.clearSelection();
  m.setSelStart(9);
  m.setSelText(" one");
  m.groupLastUndo();
  ASSERT_EQ(m.text(), "two three one");

  m.undo();
  EXPECT_EQ(std::pair(m.text(), m.canUndo()), std::pair(std::string("one two three"), false));
  m.redo();
  EXPECT_EQ(std::pair(m.text(), m.canRedo()), std::pair(std::string("two three one"), false));

  // The budget drops a group whole: half a move undone would lose "one ".
  m.setUndoMaxSpace(30);
  m.setSelStart(0);
  type(m, "x");
  EXPECT_EQ(undoTexts(m), Texts{"two three one"});
}

namespace fs = std::filesystem;
const auto kTooLong = ::testing::ThrowsMessage<MemoError>(::testing::StrEq("Text too long"));

std::string saved(const CodeMemo& m) {
  std::ostringstream out;
  m.saveToStream(out);
  return out.str();
}

void load(CodeMemo& m, const std::string& bytes) {
  std::istringstream in(bytes);
  m.loadFromStream(in);
}

using quillon::testing::readFile;
using quillon::testing::writeFile;

class CodeMemoFile : public ::testing::Test {
protected:
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  quillon::testing::TempFolder folder_{"quillon-memo"};
  const fs::path dir_ = folder_.path();
};

// Break styles, empty texts and runs of breaks are the random model check's business.
TEST(CodeMemoLoad, HugeAndBinaryInputsLoadConsistentlyAndNullsAreReplacedOnlyWhenAsked) {
  CodeMemo m;
  std::string big(20u << 20, 'x');
  big[big.size() / 2] = ' ';
  load(m, big);
  EXPECT_EQ(m.charCount(), static_cast<std::int64_t>(big.size()));
  EXPECT_EQ(saved(m), big);

  std::string bytes;
  for (int round = 0; round < 40; ++round)
    for (int c = 0; c < 256; ++c) bytes.push_back(static_cast<char>((c * 37 + round) & 0xFF));
  m.setNullReplacement(' ');
  load(m, bytes);
  m.selfCheck();
  const std::string t = m.text();
  EXPECT_EQ(t.find('\0'), std::string::npos);
  EXPECT_EQ(static_cast<std::int64_t>(t.size()), m.charCount());
  // Without a replacement nulls are text like any other byte.
  CodeMemo keep;
  load(keep, std::string("a\0b\r\n\0", 6));
  EXPECT_EQ(std::pair(keep.paragraphCount(), keep.text()),
            std::pair(std::int64_t{2}, std::string("a\0b\r\n\0", 6)));
}

TEST(CodeMemoLoad, DiscardTrailingSpacesOnLoadAndSave) {
  CodeMemo m;
  m.setText("ab \t \r\n  \r\ncd");
  m.setOptions(m.options() | quillon::editor::moDiscardTrailingSpaces);
  EXPECT_EQ(saved(m), "ab\r\n\r\ncd");
  m.setText(" x \t\r\n y ");
  EXPECT_EQ(m.text(), " x\r\n y");

  // A line past the length limit is cut on load without losing bytes.
  m.setMaxParagraphLength(10);
  m.setText("0123456789abcd    ijklmnop  \r\nend");
  EXPECT_EQ(m.text(), "0123456789\r\nabcd    ij\r\nklmnop\r\nend");
}

TEST(CodeMemoSave, SeparatorsGoBetweenParagraphsOnlyAndDoubledCodesAreDropped) {
  CodeMemo m;
  m.setText("a\r\nb");
  const std::pair<LineBreak, std::string> cases[] = {{LineBreak::pbCRLF, "a\r\nb"},
                                                     {LineBreak::pbLFCR, "a\n\rb"},
                                                     {LineBreak::pbCR, "a\rb"},
                                                     {LineBreak::pbLF, "a\nb"}};
  for (const auto& [brk, bytes] : cases) {
    m.setLineBreak(brk);
    EXPECT_EQ(saved(m), bytes);
  }
  // A text ending in a break has an empty last paragraph, so the file ends in one break.
  m.setText("a\nb\n");
  m.setLineBreak(LineBreak::pbLF);
  EXPECT_EQ(saved(m), "a\nb\n");

  // Doubled formatting codes are dropped in pairs.
  m.setLineBreak(LineBreak::pbCRLF);
  m.setText(
      "a\1\1b\2c\2\x15\x15"
      "d\3\3\3xx");
  EXPECT_EQ(saved(m), "ab\2c\2d\3xx");

  // Paragraphs made by typing are treated the same way.
  m.setText("");
  m.setSelText("p\4\4q\r\n\1r\1");
  EXPECT_EQ(saved(m), "pq\r\n\1r\1");

  m.setStaticFormat(false);
  m.setText("a\1\1b");
  EXPECT_EQ(saved(m), "a\1\1b");
}

TEST(CodeMemoLimit, AnInsertionPastTheLimitFailsAndChangesNothing) {
  CodeMemo m;
  m.setMaxParagraphLength(10);
  m.setText("abcdefgh\r\nxy");
  m.setSelStart(8);
  m.setSelText("i");
  m.setModified(false);
  const auto undoCount = m.undoHistory().count();

  m.setSelStart(9);
  m.setExtraColumns(2);
  EXPECT_THAT([&] { m.setSelText("jk"); }, kTooLong);
  EXPECT_EQ(
      std::tuple(m.text(), m.selStart(), m.extraColumns(), m.undoHistory().count(), m.modified()),
      std::tuple(std::string("abcdefghi\r\nxy"), Offset{9}, 2, undoCount, false));

  // Joining two paragraphs counts both halves; pieces in the middle count alone.
  m.select(9, 2);
  EXPECT_THROW(m.setSelText(""), MemoError);
  m.setSelStart(11);
  EXPECT_THROW(m.setSelText("\r\n12345678901\r\n"), MemoError);
  EXPECT_EQ(m.text(), "abcdefghi\r\nxy");

  m.setSelStart(9);
  m.setSelText("j");  // exactly at the limit
  EXPECT_EQ(m.paragraphText(0), "abcdefghij");
}

// Which files the reader refuses is its own tests' business.
TEST_F(CodeMemoFile, LoadingRefusesAMissingOrTooLongFileAndKeepsTheText) {
  CodeMemo m;
  m.setText("kept");
  EXPECT_THROW(m.loadFromFile(dir_ / "missing.mb"), std::system_error);
  // Longer than any text the editor can hold: refused before a byte is read.
  const fs::path huge =
      quillon::testing::makeSparseFile(dir_ / "huge.mb", quillon::editor::kMaxLoadLength + 1);
  EXPECT_THAT([&] { m.loadFromFile(huge); }, kTooLong);
  EXPECT_EQ(m.text(), "kept");
}

// The longest name leaves no room for a longer temporary name beside it.
TEST_F(CodeMemoFile, SaveAndLoadRoundTripThroughAFileWithTheLongestName) {
  const std::string name(255, 'n');
  writeFile(dir_ / name, "old");
  CodeMemo m;
  m.setText("Sub Main\r\n\tNote \"hi\"\r\nEnd Sub");
  m.setLineBreak(LineBreak::pbLF);
  m.saveToFile(dir_ / name);
  EXPECT_EQ(readFile(dir_ / name), "Sub Main\n\tNote \"hi\"\nEnd Sub");
  CodeMemo other;
  other.loadFromFile(dir_ / name);
  EXPECT_EQ(other.text(), m.text());
  EXPECT_EQ(entries(), std::vector<std::string>{name});
}

TEST_F(CodeMemoFile, AFailedSaveLeavesTheOldFileAndNoLitter) {
  // A folder where the file should go: the final rename fails even for root.
  fs::create_directories(dir_ / "busy.mb" / "inside");
  CodeMemo m;
  m.setText("text");
  EXPECT_THROW(m.saveToFile(dir_ / "busy.mb"), std::system_error);
  EXPECT_TRUE(fs::is_directory(dir_ / "busy.mb" / "inside"));
  EXPECT_EQ(entries(), std::vector<std::string>{"busy.mb"});
}

TEST(CodeMemoModelCheck, FiftyThousandRandomStepsAgreeWithAStringModel) {
  std::mt19937 rng(0x5eed);
  quillon::testing::MemoModelChecker checker([&](std::uint32_t& out) { return out = rng(), true; });
  EXPECT_EQ(checker.run(50000), "");
}

}  // namespace
