#include "language/word_lists.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "language/word_list_files.h"
#include "support/scripted_ui.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::language {
namespace {

using Words = std::vector<std::string>;
namespace fs = std::filesystem;

class WordListsTest : public ::testing::Test {
protected:
  void load() { lists.loadDictionaryAndDefines(dic, def, ui); }

  testing::TempFolder folder;
  testing::ScriptedUi ui;
  WordLists lists;
  fs::path dic = folder / "quillon.dic";
  fs::path def = folder / "quillon.def";
};

TEST_F(WordListsTest, AddingAWordHeldInAnyCaseChangesNothing) {
  folder.write("quillon.dic", "beta\r\n");
  load();
  EXPECT_TRUE(lists.add(WordList::Dict, "  Alpha "));
  // Saved, "'quoted" would read back as a comment.
  for (const char* refused : {"ALPHA", "Beta", " \t", "'quoted"})
    EXPECT_FALSE(lists.add(WordList::Dict, refused)) << refused;
  EXPECT_EQ(lists.list(WordList::Dict), (Words{"Alpha", "beta"}));
  const auto before = lists.generation(WordList::User);
  EXPECT_EQ((std::vector<bool>{lists.add(WordList::User, "zzq"), lists.add(WordList::User, "ZZQ"),
                               lists.add(WordList::User, "aaa")}),
            (std::vector<bool>{true, false, true}));
  EXPECT_EQ(lists.list(WordList::User), (Words{"zzq", "aaa"}));
  EXPECT_EQ(lists.generation(WordList::User), before + 2);
}

TEST_F(WordListsTest, SaveKeepsTheFilesOtherLinesAndEditsMadeSinceTheLoad) {
  folder.write("quillon.dic", "' my words\r\nbeta\r\n'6.0\r\nlater\r\n");
  load();
  ASSERT_EQ(lists.list(WordList::Dict), Words{"beta"});
  // Nothing added: the file is not touched, whatever it holds by now.
  folder.write("quillon.dic", "odd  \n\n");
  EXPECT_TRUE(lists.saveDictionary(ui));
  EXPECT_EQ(testing::readFile(dic), "odd  \n\n");

  folder.write("quillon.dic", "' my words\r\nbeta\r\ngamma\r\n'6.0\r\nlater\r\n");
  lists.add(WordList::Dict, "alpha");
  EXPECT_TRUE(lists.saveDictionary(ui));
  EXPECT_EQ(testing::readFile(dic), "' my words\r\nalpha\r\nbeta\r\ngamma\r\n'6.0\r\nlater\r\n");
  // Saved once: a second save has nothing to add.
  folder.write("quillon.dic", "x\r\n");
  EXPECT_TRUE(lists.saveDictionary(ui));
  EXPECT_EQ(testing::readFile(dic), "x\r\n");
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(WordListsTest, ReloadSavesTheAddedWordsFirst) {
  folder.write("quillon.dic", "beta\r\n");
  load();
  lists.add(WordList::Dict, "alpha");
  // Another version reads the same file further.
  folder.write("quillon.dic", "beta\r\n'6.0\r\ndelta\r\n");
  lists.setMaxMbVersion("5.0");
  load();
  EXPECT_EQ(lists.list(WordList::Dict), (Words{"alpha", "beta", "delta"}));
  EXPECT_EQ(testing::readFile(dic), "alpha\r\nbeta\r\n'6.0\r\ndelta\r\n");
}

TEST_F(WordListsTest, UnreadableFilesAreReportedAndMissingOnesSayNothingAndAllKeepTheirLists) {
  testing::HangGuard guard;
  folder.write("quillon.dic", "word\n");
  folder.write("quillon.def", "Define A 1\n");
  folder.write("quillon.ctx", "Dim x\n");
  load();
  lists.loadHelpContexts(folder / "quillon.ctx", ui);
  // Which files cannot be read is the file reader's test; a FIFO stands for them here.
  const fs::path fifo = testing::makeSpecialFiles(folder.path()).front().path;
  lists.loadDictionaryAndDefines(fifo, fifo, ui);
  lists.loadHelpContexts(fifo, ui);
  EXPECT_EQ(ui.messages(), Words(3, "Cannot open file " + fifo.string()));
  ui.clearMessages();
  const fs::path huge = testing::makeSparseFile(folder / "huge.dic", kMaxWordListSize + 1);
  lists.loadDictionaryAndDefines(huge, def, ui);
  EXPECT_EQ(ui.messages(), Words{"Cannot open file " + huge.string()});
  EXPECT_EQ(lists.list(WordList::Help), Words{"Dim x"});

  // Missing files lose only the help lines.
  ui.clearMessages();
  for (const fs::path& f : {dic, def, folder / "quillon.ctx"}) fs::remove(f);
  load();
  lists.loadHelpContexts(folder / "quillon.ctx", ui);
  EXPECT_EQ((std::vector<Words>{lists.list(WordList::Dict), lists.list(WordList::Def),
                                lists.list(WordList::Help), ui.messages()}),
            (std::vector<Words>{{"word"}, {"A"}, {}, {}}));
}

TEST_F(WordListsTest, AFailedSaveKeepsTheOldFileAndTheWords) {
  const std::string old = "beta\r\n" + std::string(4000, 'x') + "\r\n";
  folder.write("quillon.dic", old);
  load();
  lists.add(WordList::Dict, "alpha");
  {
    testing::FileSizeLimit full(1000);
    EXPECT_FALSE(lists.saveDictionary(ui));
  }
  EXPECT_EQ(ui.messages(), Words{"Cannot create file " + dic.string()});
  EXPECT_EQ(std::tuple(testing::readFile(dic), lists.hasUnsavedWords()), std::tuple(old, true));
  EXPECT_TRUE(lists.saveDictionary(ui));
  EXPECT_EQ(testing::readFile(dic), "alpha\r\n" + old);
}

}  // namespace
}  // namespace quillon::language
