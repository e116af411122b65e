#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <system_error>

#include "support/special_files.h"
#include "support/temp_folder.h"
#include "editor/code_memo.h"
#include "editor/memo_error.h"

namespace {

namespace fs = std::filesystem;
using namespace quillon::editor;
const auto kTooLong = ::testing::ThrowsMessage<MemoError>(::testing::StrEq("Text too long"));

std::vector<std::string> paragraphsOf(const CodeMemo& m) {
  std::vector<std::string> out;
  for (std::int64_t i = 0; i < m.paragraphCount(); ++i) out.emplace_back(m.paragraphText(i));
  return out;
}

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
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
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
  EXPECT_EQ(paragraphsOf(keep), (std::vector<std::string>{std::string("a\0b", 3), std::string(1, '\0')}));
}

TEST(CodeMemoLoad, DiscardTrailingSpacesOnLoadAndSave) {
  CodeMemo m;
  m.setText("ab \t \r\n  \r\ncd");
  m.setOptions(m.options() | quillon::editor::moDiscardTrailingSpaces);
  EXPECT_EQ(saved(m), "ab\r\n\r\ncd");
  m.setText(" x \t\r\n y ");
  EXPECT_EQ(paragraphsOf(m), (std::vector<std::string>{" x", " y"}));

  // A line past the length limit is cut on load without losing bytes.
  m.setMaxParagraphLength(10);
  m.setText("0123456789abcd    ijklmnop  \r\nend");
  EXPECT_EQ(paragraphsOf(m), (std::vector<std::string>{"0123456789", "abcd    ij", "klmnop", "end"}));
}

TEST(CodeMemoSave, SeparatorsGoBetweenParagraphsOnlyAndDoubledCodesAreDropped) {
  CodeMemo m;
  m.setText("a\r\nb");
  const std::pair<LineBreak, std::string> cases[] = {
      {LineBreak::pbCRLF, "a\r\nb"}, {LineBreak::pbLFCR, "a\n\rb"}, {LineBreak::pbCR, "a\rb"}, {LineBreak::pbLF, "a\nb"}};
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
  m.setText("a\1\1b\2c\2\x15\x15" "d\3\3\3xx");
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
  EXPECT_EQ(m.text(), "abcdefghi\r\nxy");
  EXPECT_EQ(std::pair(m.selStart(), m.extraColumns()), (std::pair<std::int64_t, int>(9, 2)));
  EXPECT_EQ(m.undoHistory().count(), undoCount);
  EXPECT_FALSE(m.modified());

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
  const fs::path huge = quillon::testing::makeSparseFile(dir_ / "huge.mb", quillon::editor::kMaxLoadLength + 1);
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

}  // namespace
