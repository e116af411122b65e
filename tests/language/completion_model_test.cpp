#include "language/completion_model.h"

#include <gtest/gtest.h>

namespace quillon::language {
namespace {

struct WordCase {
  const char* line;
  std::size_t caret;
  bool found;
  std::size_t start, end;
  const char* prefix;
};

TEST(CompletionWordTest, TheWordAroundTheCaretOutsideStringsAndComments) {
  const WordCase cases[] = {
      {"  Call ShowEr", 13, true, 7, 13, "ShowEr"},
      {"  Call ShowErrors", 11, true, 7, 17, "Show"},  // the rest of the word goes too
      {"x = a_1$ + b", 8, true, 4, 8, "a_1$"},
      {"x = ", 4, true, 4, 4, ""},  // Ctrl+Space after a blank
      {"Note \"Sho", 9, false, 0, 0, ""},
      {"Note \"a\" + Sho", 14, true, 11, 14, "Sho"},
      {"x = 1 ' Sho", 11, false, 0, 0, ""},
      {"x = 12ab", 8, false, 0, 0, ""},  // no name opens with a digit
      {"abc", 4, false, 0, 0, ""},
  };
  for (const WordCase& c : cases) {
    const auto word = completionWordAt(c.line, c.caret);
    ASSERT_EQ(word.has_value(), c.found) << c.line;
    if (!word) continue;
    EXPECT_EQ(std::tuple(word->start, word->end, word->prefix),
              std::tuple(c.start, c.end, std::string(c.prefix)))
        << c.line;
  }
}

std::vector<std::string> texts(const CompletionList& list) {
  std::vector<std::string> out;
  for (const auto& item : list.items()) out.push_back(item.text);
  return out;
}

TEST(CompletionListTest, OwnNamesFirstThenOneWordKeywordsThenDefinesEachOnceWithoutCase) {
  CompletionList list;
  list.fill("di", {"DimCount", "dialogShown"}, {"Dialog", "Dim", "DIMCOUNT", "Dialog Box", "Do"},
            {"DIALOGSHOWN", "DIST_MILES"});
  EXPECT_EQ(texts(list),
            std::vector<std::string>({"DimCount", "dialogShown", "Dialog", "Dim", "DIST_MILES"}));
  EXPECT_EQ(list.items()[2].source, CompletionItem::Source::Keyword);
  EXPECT_EQ(list.items()[4].source, CompletionItem::Source::Defined);
}

TEST(CompletionListTest, MovesStopAtTheEndsAndTheSelectionFollowsItsTextThroughAFilter) {
  CompletionList list;
  std::vector<std::string> own;
  for (int i = 0; i < 20; ++i) own.push_back("Name" + std::to_string(i + 10));
  list.fill("Name", own, {}, {});
  list.move(-1);
  EXPECT_EQ(list.selected(), 0u);
  list.move(CompletionList::kPageRows);
  list.move(1);
  EXPECT_EQ(list.selectedItem()->text, "Name19");
  list.move(100);
  EXPECT_EQ(list.selected(), 19u);

  list.move(-10);  // Name19
  list.fill("Name1", {"Name10", "Name11", "Name19"}, {}, {});
  EXPECT_EQ(list.selectedItem()->text, "Name19");
  list.fill("Name2", {"Name20"}, {}, {});
  EXPECT_EQ(list.selected(), 0u) << "gone: back to the first row";
  list.fill("Zz", {}, {}, {});
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.selectedItem(), nullptr);
}

TEST(CompletionListTest, TheEditReplacesTheWholeWord) {
  const auto word = completionWordAt("Call Sho(1)", 8);
  ASSERT_TRUE(word);
  const CompletionEdit edit = completionEdit(*word, "ShowErrors");
  EXPECT_EQ(std::tuple(edit.start, edit.length, edit.text),
            std::tuple(5u, 3u, std::string("ShowErrors")));
}

}  // namespace
}  // namespace quillon::language
