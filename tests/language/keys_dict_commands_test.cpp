#include "language/keys_dict_commands.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "language/key_file.h"
#include "support/keys_dict_program.h"

namespace quillon::language {
namespace {

namespace fs = std::filesystem;
using File = KeysDictCommands::File;
using Words = std::vector<std::string>;

std::string keyFileOf(const Words& keywords) {
  editor::KeywordList list;
  for (const auto& k : keywords) list.add(k, {0, 0, 1, 0, -1, -1});
  return encodeKeyFile(list, editor::StartStopKeyList());
}

Words keywordsOf(const editor::KeywordList& list) {
  Words words;
  for (int i = 0; i < list.count(); ++i) words.push_back(list.text(i));
  return words;
}

// A program with its four default files, started as the workbench starts it.
class KeysDictCommandsTest : public ::testing::Test, protected testing::KeysDictProgram {
protected:
  KeysDictCommandsTest() {
    folder.write("quillon.bin", keyFileOf({"Dim", "End"}));
    folder.write("quillon.dic", "alpha\r\n'4.5\r\nbeta\r\n");
    folder.write("quillon.def", "Define TRUE 1\r\n");
    folder.write("quillon.ctx", "Dim var As type\r\n");
    values.keyFile = "quillon.bin";
    values.dictFile = "quillon.dic";
    values.defFile = "quillon.def";
    values.helpFile = "quillon.ctx";
    commands.startUp();
  }
  const Words& list(WordList which) const { return lists.list(which); }
  Words keywords() { return keywordsOf(highlighting.keywords()); }
};

TEST_F(KeysDictCommandsTest, EachLoadOffersItsFileAndAdoptsOnlyWhatItRead) {
  const fs::path other = folder.write("mine/other.bin", keyFileOf({"Print"}));
  ui.queueOpenFiles({other});
  commands.load(File::Keys);
  EXPECT_EQ(keywords(), Words{"Print"});
  EXPECT_EQ(list(WordList::Key), Words{"Print"}) << "the context list knows the new keywords";
  EXPECT_EQ(std::tuple(values.keyFile, commands.file(File::Keys)),
            std::tuple(other.string(), other));

  const fs::path dic = folder.write("mine/words.dic", "gamma\r\n");
  const fs::path def = folder.write("mine/names.def", "Define NAME 2\r\n");
  const fs::path ctx = folder.write("mine/help.ctx", "Print expr\r\n");
  for (const auto& [file, which] :
       {std::pair{dic, File::Dict}, {def, File::Def}, {ctx, File::Help}}) {
    ui.queueOpenFiles({file});
    commands.load(which);
  }
  EXPECT_EQ((std::vector<Words>{list(WordList::Dict),
                                list(WordList::Def),
                                list(WordList::Help),
                                {values.dictFile, values.defFile, values.helpFile}}),
            (std::vector<Words>{
                {"gamma"}, {"NAME"}, {"Print expr"}, {dic.string(), def.string(), ctx.string()}}));

  // Filter, extension and file name; each opens in the folder of the file in use.
  const std::tuple<std::string, std::string, fs::path> expected[] = {
      {"Key File (*.bin)|*.bin", "bin", ""},
      {"Dictionary File (*.dic)|*.dic", "dic", folder / "quillon.dic"},
      {"Define Files (*.def)|*.def", "def", folder / "quillon.def"},
      {"Help File (*.ctx)|*.ctx", "ctx", folder / "quillon.ctx"}};
  ASSERT_EQ(ui.fileDialogs().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const auto& d = ui.fileDialogs()[i];
    EXPECT_EQ(std::tuple(d.filter, d.defaultExt, fs::path(d.fileName)), expected[i]);
    EXPECT_EQ(std::pair(d.filterIndex, d.initialDir), std::pair(1, folder.path()));
  }

  // Cancel changes nothing.
  ui.queueOpenFiles({});
  commands.load(File::Dict);
  EXPECT_EQ(values.dictFile, dic.string());
  EXPECT_TRUE(ui.messages().empty());
}

// The other ways a key file fails to load are the key file's own test.
TEST_F(KeysDictCommandsTest, FilesThatCannotBeReadKeepTheirSettingAndList) {
  ui.queueOpenFiles({folder.write("garbage.bin", "garbage!")});
  commands.load(File::Keys);
  fs::create_directory(folder / "folder.dic");
  ui.queueOpenFiles({folder / "folder.dic"});
  commands.load(File::Dict);
  fs::remove(folder / "quillon.ctx");
  commands.reset(File::Help);
  EXPECT_EQ(ui.messages(),
            (Words{kInvalidPropertyValue, "Cannot open file " + (folder / "folder.dic").string(),
                   "Cannot open file " + (folder / "quillon.ctx").string()}));
  EXPECT_EQ(std::tuple(values.keyFile, values.dictFile), std::tuple("quillon.bin", "quillon.dic"));
  EXPECT_EQ((std::vector<Words>{keywords(), list(WordList::Dict), list(WordList::Help)}),
            (std::vector<Words>{{"Dim", "End"}, {"alpha", "beta"}, {"Dim var As type"}}));

  // Words added later still go into the dictionary that was read.
  lists.add(WordList::Dict, "zeta");
  ASSERT_TRUE(lists.saveDictionary(ui));
  EXPECT_EQ(testing::readFile(folder / "quillon.dic"), "alpha\r\nzeta\r\n'4.5\r\nbeta\r\n");
}

TEST_F(KeysDictCommandsTest, SaveAsAndDefaultsGoBackToTheOriginalFiles) {
  ui.queueSaveFile(folder / "no-such-folder/keys.bin");
  ui.queueSaveFile(folder / "saved.bin");
  commands.saveKeysAs();
  EXPECT_EQ(ui.messages(),
            Words{"Cannot create file " + (folder / "no-such-folder/keys.bin").string()});
  EXPECT_EQ(values.keyFile, "quillon.bin");
  commands.saveKeysAs();
  EXPECT_EQ(values.keyFile, (folder / "saved.bin").string());
  EXPECT_EQ(testing::readFile(folder / "saved.bin"), keyFileOf({"Dim", "End"}));
  const auto& d = ui.fileDialogs().front();
  EXPECT_EQ(std::tuple(d.overwritePrompt, d.fileName, d.defaultExt),
            std::tuple(true, (folder / "quillon.bin").string(), "bin"));

  ui.queueOpenFiles({folder.write("words.dic", "gamma\r\n")});
  commands.load(File::Dict);
  folder.write("quillon.bin", keyFileOf({"Select"}));
  for (File f : {File::Keys, File::Dict, File::Def, File::Help}) commands.reset(f);
  EXPECT_EQ((Words{values.keyFile, values.dictFile, values.defFile, values.helpFile}),
            (Words{(folder / "quillon.bin").string(), (folder / "quillon.dic").string(),
                   (folder / "quillon.def").string(), (folder / "quillon.ctx").string()}));
  EXPECT_EQ(commands.file(File::Dict), folder / "quillon.dic");
  EXPECT_EQ((std::vector<Words>{keywords(), list(WordList::Dict)}),
            (std::vector<Words>{{"Select"}, {"alpha", "beta"}}));
}

TEST_F(KeysDictCommandsTest, EditedKeywordsAreWrittenToTheKeyFileEvenWhenItIsTheDefault) {
  highlighting.keywords().add("Print", {});
  commands.keywordsEdited();
  EXPECT_EQ(testing::readFile(folder / "quillon.bin"),
            encodeKeyFile(highlighting.keywords(), highlighting.startStopKeys()));
  EXPECT_EQ(list(WordList::Key), (Words{"Print", "End", "Dim"}));

  values.keyFile = (folder / "no-such-folder/keys.bin").string();
  highlighting.keywords().add("Select", {});
  commands.keywordsEdited();
  EXPECT_EQ(ui.messages(), Words{"Cannot create file " + values.keyFile});
  EXPECT_EQ(highlighting.keywords().indexOf("Select"), 3) << "the edits last for the session";
}

TEST_F(KeysDictCommandsTest, ClosingAppliesOnlyWhatWasChosen) {
  for (const auto& [stored, shown] : {std::pair("5.5", 4), {"4.0", 0}, {"7.0", 5}}) {
    values.maxMbVersion = stored;
    commands.activate();
    EXPECT_EQ(commands.versionIndex(), shown) << stored;
    commands.close(options.altFont().name, memo.highlightColor(), memo.highlightBackgnd());
    EXPECT_EQ(values.maxMbVersion, stored) << "an odd stored version stays until one is chosen";
  }
  EXPECT_EQ(list(WordList::Dict), (Words{"alpha", "beta"})) << "not reloaded";
  const int fontsBefore = view.fontSets;

  commands.activate();
  commands.chooseVersion("4.5");
  commands.close("Liberation Serif", 0x00FF00, 0x000080);
  EXPECT_EQ(values.maxMbVersion, "4.5");
  EXPECT_EQ(list(WordList::Dict), Words{"alpha"}) << "reading stops at '4.5";
  EXPECT_EQ(std::tuple(view.altFont.name, options.altFont().name, view.fontSets),
            std::tuple("Liberation Serif", "Liberation Serif", fontsBefore + 1));
  EXPECT_EQ(std::pair(memo.highlightColor(), memo.highlightBackgnd()),
            std::pair(0x00FF00, 0x000080));
}

}  // namespace
}  // namespace quillon::language
