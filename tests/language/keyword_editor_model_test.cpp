#include "language/keyword_editor_model.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillon::language {
namespace {

using Model = KeywordEditorModel;
using Words = std::vector<std::string>;
using editor::KeywordInfo;

editor::KeywordList listOf(const Words& words) {
  editor::KeywordList list;
  for (std::size_t i = 0; i < words.size(); ++i)
    list.add(words[i], {0, 0, static_cast<std::int16_t>(i + 1), 0, -1, -1});
  return list;
}

Words textsOf(const Model& m) {
  Words w;
  for (int i = 0; i < m.rowCount(); ++i) w.push_back(m.row(i).text);
  return w;
}

TEST(KeywordEditorModel, RowsEndInAnEmptyRowWhoseRecordNewRowsCopy) {
  Model empty{editor::KeywordList()};
  ASSERT_EQ(empty.rowCount(), 1);
  EXPECT_EQ(empty.row(0).info, (KeywordInfo{0, 0, 1, 0, 0, 0}));

  Model m{listOf({"Dim", "End"})};
  ASSERT_EQ(textsOf(m), (Words{"Dim", "End", ""}));
  EXPECT_EQ(m.row(2).info.contextNum, 2) << "a copy of the last entry's record";
  EXPECT_FALSE(m.modified());
  m.setContextNumber(2, "9");
  m.setText(2, 0, "Print");
  m.setText(3, 0, "Select");
  EXPECT_EQ(textsOf(m), (Words{"Dim", "End", "Print", "Select", ""}));
  EXPECT_EQ(std::tuple(m.row(3).info.contextNum, m.modified()), std::tuple(std::int16_t{9}, true));

  // An emptied keyword is dropped on OK.
  m.setText(0, 0, "");
  editor::KeywordList out = listOf({"old"});
  ASSERT_TRUE(m.writeBack(out));
  ASSERT_EQ(out.count(), 3);
  EXPECT_EQ(std::tuple(out.text(0), out.info(1).contextNum),
            std::tuple(std::string("End"), std::int16_t{9}));

  // Without a change nothing is written and the caller saves nothing.
  Model untouched{listOf({"Dim"})};
  untouched.setText(0, 0, "Dim");
  untouched.select(0);
  untouched.moveUp();
  EXPECT_FALSE(untouched.writeBack(out));
  EXPECT_EQ(out.count(), 3) << "nothing written";
}

TEST(KeywordEditorModel, StartStopKeysCarryParEndInOptionBit7) {
  editor::StartStopKeyList keys;
  keys.add("'", "", true, {0x01, 0, 1, 0, -1, -1});
  keys.add("\"", "\"", false, {0x80, 0, 1, 0, -1, -1});
  Model m{keys};
  EXPECT_EQ(m.mode(), Model::Mode::startStop);
  EXPECT_EQ(std::tuple(m.row(0).info.options, m.row(1).info.options, m.row(1).stop),
            std::tuple(0x81, 0x00, "\""))
      << "bit 7 is the ParEnd flag, nothing else";
  KeywordInfo crossing = m.row(0).info;
  crossing.options = 0x01;  // "Cross paragraphs" checked
  m.setInfo(0, crossing);
  m.setText(2, 1, "*/");
  m.setText(2, 0, "/*");
  ASSERT_TRUE(m.writeBack(keys));
  ASSERT_EQ(keys.count(), 3);
  EXPECT_EQ(std::pair(keys.item(0).parEnd, keys.item(0).info.options),
            std::pair(false, std::uint8_t{0x01}));
  EXPECT_EQ(std::pair(keys.item(2).startKey, keys.item(2).stopKey),
            std::pair(std::string("/*"), std::string("*/")));
}

TEST(KeywordEditorModel, DeleteAndMovesLeaveTheEmptyRowLast) {
  Model m{listOf({"a", "b", "c"})};
  m.select(0);
  m.moveUp();
  EXPECT_FALSE(m.modified()) << "the first row does not move up";
  m.select(2);
  m.moveDown();
  m.select(3);
  m.moveUp();
  m.removeCurrent();
  EXPECT_FALSE(m.modified()) << "neither the last entry down nor the empty row";
  m.select(1);
  m.moveDown();
  EXPECT_EQ(m.current(), 2);
  EXPECT_EQ(textsOf(m), (Words{"a", "c", "b", ""}));
  m.select(0);
  m.removeCurrent();
  EXPECT_EQ(std::tuple(textsOf(m), m.itemNumber(), m.row(0).info.contextNum),
            std::tuple(Words{"c", "b", ""}, "1", 3))
      << "the record goes with its row";
}

TEST(KeywordEditorModel, SortsMoveOnlyTheSelectedRow) {
  // The rows, the one selected, top down or not, and the rows and the current one after.
  const std::tuple<Words, int, bool, Words, int> cases[] = {
      {{"b", "d", "f", "C"}, 3, true, {"b", "C", "d", "f", ""}, 1},
      {{"b", "d", "f", "C"}, 3, false, {"b", "C", "d", "f", ""}, 1},
      {{"Zed", "b", "d"}, 0, true, {"b", "d", "Zed", ""}, 2},
      {{"Zed", "b", "d"}, 0, false, {"b", "d", "Zed", ""}, 2},
      {{"B", "c", "a"}, 2, true, {"a", "B", "c", ""}, 0},  // lower-cased
      // Unsorted rows: the moving row stops at the first row it does not pass.
      {{"z", "a", "m"}, 2, true, {"m", "z", "a", ""}, 0},
      {{"b", "z", "a", "c"}, 0, false, {"z", "a", "b", "c", ""}, 2},
  };
  for (const auto& [rows, selected, topDown, sorted, current] : cases) {
    Model m{listOf(rows)};
    m.select(selected);
    topDown ? m.sortFromTopDown() : m.sortFromBottomUp();
    EXPECT_EQ(std::pair(textsOf(m), m.current()), std::pair(sorted, current))
        << rows[selected] << " " << topDown;
  }
}

TEST(KeywordEditorModel, FindGoesOnAfterEachRowFoundAndReportsTheEnd) {
  Model m{listOf({"Append", "END IF", "End Sub", "END", "Dim"})};
  using F = Model::FindMode;
  const std::tuple<std::string, F, std::string, bool> steps[] = {
      // text, mode, item after the find, found
      {"end", F::contains, "1", true},     {"end", F::contains, "2", true},
      {"end", F::contains, "3", true},     {"end", F::contains, "4", true},
      {"end", F::contains, "----", false}, {"end", F::contains, "1", true},
      {"End", F::wholeWord, "4", true},    {"End", F::wholeWord, "----", false},
      {"end", F::leftChars, "2", true},    {"end", F::leftChars, "3", true},
      {"DIM", F::leftChars, "5", true},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& [text, mode, item, found] = steps[i];
    m.setFindText(text);
    const std::optional<std::string> message = m.findNext(mode);
    const std::optional<std::string> notFound = "Not Found: \"" + text + "\"";
    EXPECT_EQ(std::pair(m.itemNumber(), message), std::pair(item, found ? std::nullopt : notFound))
        << "step " << i;
  }
  m.setFindText("");
  EXPECT_FALSE(m.findNext(F::contains));
}

TEST(KeywordEditorModel, ContextNumbersOutside16BitsAreRejected) {
  Model m{listOf({"Dim"})};
  for (const char* good : {"12", " -32768 ", "+32767"})
    EXPECT_FALSE(m.setContextNumber(0, good)) << good;
  EXPECT_EQ(m.row(0).info.contextNum, 32767);
  for (const char* bad : {"32768", "-32769", "99999999999", "", "1.5", "abc", "1 2"}) {
    EXPECT_EQ(m.setContextNumber(0, bad),
              "'" + std::string(bad) + "' is not a valid integer value");
    EXPECT_EQ(m.row(0).info.contextNum, 32767) << bad;
  }
}

TEST(KeywordEditorModel, ColourChoicesFollowTheSwatches) {
  using S = Model::Swatch;
  editor::KeywordList list;
  list.add("Dim", {0, 0, 1, 0, 0, 0});
  Model m{list};
  EXPECT_FALSE(m.swatchShown(0, S::foreground));
  EXPECT_EQ(m.swatchStart(0, S::background), 0xFFFFFF);
  auto colours = [&] { return std::pair(m.row(0).info.foregnd, m.row(0).info.backgnd); };
  m.colorChosen(0, S::foreground, 0);  // black on a hidden swatch is a choice
  EXPECT_EQ(colours(), std::pair(0, -1)) << "the hidden other swatch means no colour";
  EXPECT_TRUE(m.swatchShown(0, S::foreground));
  m.colorChosen(0, S::background, 0x00FFFF);
  EXPECT_EQ(colours(), std::pair(0, 0x00FFFF));
  m.resetColors(0);
  EXPECT_EQ(std::tuple(m.swatchShown(0, S::foreground), m.row(0).info.backgnd),
            std::tuple(false, -1));
  EXPECT_EQ(Model::pointerIndex(-21), 19);
  EXPECT_EQ(Model::pointerIndex(-5), -1);
}

}  // namespace
}  // namespace quillon::language
