#include "settings/ini_file.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

#include "support/special_files.h"
#include "support/temp_folder.h"

using quillon::settings::IniFile;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

using quillon::testing::readFile;
using quillon::testing::TempFolder;
using quillon::testing::writeFile;

// A settings file as a person leaves it after editing it by hand.
const std::string kHandEdited =
    "; Quillon settings\n"
    "stray=before any section\n"
    "[ system ]\n"
    "  KeyFile =  /opt/q/quillon.bin  \n"
    "tabstops=4\n"
    "MyOwnKey=kept\n"
    "\n"
    "[SYSTEM]\n"
    "KeyFile=second section, never read\n"
    "[numbers]\n"
    "Color=clRed\n"
    "color=duplicate, never read\n"
    "Delimiters=+-*/ ; not a comment\n"
    "Quoted=\"  spaced  \"\n"
    "Single='x'\n"
    "Lonely=\"\n"
    "JustAWord\n"
    "=no key\n"
    "[Broken\n"
    "Style=3\n"
    "; a note about the next section\n"
    "\n"
    "[Empty]\n";

}  // namespace

TEST(IniFile, SavesUntouchedBytesExactly) {
  const std::string cases[] = {
      "",
      "[a]\rk=v\r",           // old Mac
      "[a]\r\nk=v\n\r\nx\r",  // mixed
      "[a]\nk=v",             // no final line end
      "\n\n\r\n\r\r\n",       // blank lines only
      "\n\r",                 // LF then a lone CR
      std::string("[b\0in]\n\xff\xfe=\0\x01\n", 14),
      "   [ spaced ]   \n\t k \t=\t v \t\n",
      "]]]]\n[[[[\n====\n;;;;\n",
      kHandEdited,
  };
  for (const std::string& bytes : cases) {
    IniFile ini(bytes);
    EXPECT_EQ(std::pair(ini.bytes(), ini.modified()), std::pair(bytes, false));
  }
}

TEST(IniFile, ReadsAHandEditedFileAsTheProfileFunctionsDo) {
  const IniFile ini(kHandEdited);
  const std::array<std::array<const char*, 3>, 12> reads{
      {// Case and blanks around names and values do not matter; the first section wins.
       {"SYSTEM", "keyfile", "/opt/q/quillon.bin"},
       {"  System ", " KEYFILE ", "/opt/q/quillon.bin"},
       {"system", "TabStops", "4"},
       // The first of duplicate keys wins; ";" after "=" is part of the value.
       {"NUMBERS", "COLOR", "clRed"},
       {"Numbers", "Delimiters", "+-*/ ; not a comment"},
       // One pair of matching quotes goes; a lone quote stays.
       {"Numbers", "Quoted", "  spaced  "},
       {"Numbers", "Single", "x"},
       {"Numbers", "Lonely", "\""},
       // A line without "=" is a key without a value ("-": the default).
       {"Numbers", "JustAWord", "-"},
       // "[Broken" has no "]": its line and the next stay in [numbers].
       {"Numbers", "Style", "3"},
       // Lines before the first section belong to none.
       {"", "stray", "-"},
       {"SYSTEM", "missing", "-"}}};
  for (const auto& [section, key, value] : reads)
    EXPECT_EQ(ini.readString(section, key, "-"), value) << key;
  EXPECT_EQ((std::vector{ini.readValue("Numbers", "JustAWord").has_value(),
                         ini.valueExists("Numbers", "JustAWord"), ini.sectionExists("Broken"),
                         ini.sectionExists("empty")}),
            (std::vector{false, true, false, true}));

  EXPECT_EQ(ini.sectionNames(), (Lines{"system", "numbers", "Empty"}));
  EXPECT_EQ(ini.readSection("NUMBERS"), (Lines{"Color", "Delimiters", "Quoted", "Single", "Lonely",
                                               "JustAWord", "[Broken", "Style"}));
  EXPECT_EQ(ini.readSectionValues("numbers"),
            (Lines{"Color=clRed", "color=duplicate, never read", "Delimiters=+-*/ ; not a comment",
                   "Quoted=\"  spaced  \"", "Single='x'", "Lonely=\"", "JustAWord", "[Broken",
                   "Style=3"}));
  EXPECT_EQ((std::vector{ini.readSection("Empty"), ini.readSection("nowhere")}),
            std::vector<Lines>(2));
}

TEST(IniFile, WritesBackAHandEditedFileTouchingOnlyWhatChanged) {
  IniFile ini(kHandEdited);
  EXPECT_TRUE(ini.writeString("SYSTEM", "TabStops", "2"));  // in place, file's spelling kept
  EXPECT_TRUE(
      ini.writeString("SYSTEM", "KeyFile", "/opt/q/quillon.bin"));  // same value: line untouched
  EXPECT_TRUE(ini.writeString("SYSTEM", "Cursor", "1"));          // appended before the blank line
  EXPECT_TRUE(ini.writeString("NUMBERS", "color", "clFuchsia"));  // first duplicate replaced
  EXPECT_TRUE(ini.writeString("Numbers", "JustAWord", "now set"));
  EXPECT_TRUE(
      ini.writeString("Numbers", "BackGround", "$FFFFFFFF"));  // after Style, before the note
  EXPECT_TRUE(ini.writeString("Empty", "a", "1"));
  EXPECT_TRUE(
      ini.writeString("WinMain", "fMain", "200,0,1,200,111,794,584"));  // new section at the end
  EXPECT_TRUE(ini.modified());

  // Each change against the line it touches; every other byte stays as it was.
  std::string expected = kHandEdited;
  for (const auto& [line, now] : std::initializer_list<std::pair<std::string, std::string>>{
           {"tabstops=4\n", "tabstops=2\r\n"},
           {"MyOwnKey=kept\n", "MyOwnKey=kept\nCursor=1\r\n"},
           {"Color=clRed\n", "Color=clFuchsia\r\n"},
           {"JustAWord\n", "JustAWord=now set\r\n"},
           {"Style=3\n", "Style=3\nBackGround=$FFFFFFFF\r\n"},
           {"[Empty]\n", "[Empty]\na=1\r\n[WinMain]\r\nfMain=200,0,1,200,111,794,584\r\n"}})
    expected.replace(expected.find(line), line.size(), now);
  EXPECT_EQ(ini.bytes(), expected);
  // What was written reads back through the index kept up to date.
  EXPECT_EQ((Lines{ini.readString("system", "cursor", "-"), ini.readString("numbers", "Color", "-"),
                   ini.readString("winmain", "FMAIN", "-")}),
            (Lines{"1", "clFuchsia", "200,0,1,200,111,794,584"}));
}

TEST(IniFile, GivesAFileWithoutFinalLineEndOneBeforeAppending) {
  const std::array<std::array<const char*, 3>, 3> rows{
      {{"[a]\nk=v", "a", "[a]\nk=v\r\nn=1\r\n"},
       {"[a]\nk=v", "b", "[a]\nk=v\r\n[b]\r\nn=1\r\n"},
       {"", "S", "[S]\r\nn=1\r\n"}}};
  for (const auto& [bytes, section, expected] : rows) {
    IniFile ini(bytes);
    ini.writeString(section, "n", "1");
    EXPECT_EQ(ini.bytes(), expected) << section;
  }
}

TEST(IniFile, DeletesKeysAndErasesSectionsWithTheirDuplicates) {
  IniFile ini("[A]\nk=1\nx=2\nK=3\n[b]\ny=1\n[a]\nk=4\n[c]\n");
  EXPECT_TRUE(ini.deleteKey("a", "K"));
  EXPECT_FALSE(ini.valueExists("A", "k"));  // the duplicate line went too
  EXPECT_EQ(ini.readString("A", "x", "-"), "2");
  EXPECT_FALSE(ini.deleteKey("A", "k"));
  EXPECT_FALSE(ini.deleteKey("nowhere", "k"));

  // Both [A] and [a] go, so the second cannot surface with its stale keys.
  EXPECT_TRUE(ini.eraseSection("A"));
  EXPECT_FALSE(ini.sectionExists("a"));
  EXPECT_EQ(ini.bytes(), "[b]\ny=1\n[c]\n");
  EXPECT_FALSE(ini.eraseSection("A"));
  // The index still works after sections around others were removed.
  EXPECT_TRUE(ini.writeString("c", "z", "9"));
  EXPECT_EQ((Lines{ini.readString("C", "Z", "-"), ini.readString("B", "Y", "-")}),
            (Lines{"9", "1"}));
}

TEST(IniFile, CopiesAreIndependent) {
  IniFile a("[s]\nk=1\n");
  IniFile b = a;
  b.writeString("s", "k", "2");
  b.writeString("t", "k", "3");
  EXPECT_EQ(std::pair(a.readString("s", "k", "-"), a.sectionExists("t")),
            std::pair(std::string("1"), false));
  a = b;
  b.eraseSection("s");
  EXPECT_EQ(std::pair(a.readString("S", "K", "-"), a.modified()),
            std::pair(std::string("2"), true));
  IniFile c = std::move(a);
  EXPECT_EQ(c.readString("t", "k", "-"), "3");
  c.writeString("s", "x", "4");
  EXPECT_EQ(c.readSection("s"), (Lines{"k", "x"}));
}

TEST(IniFile, RefusesWhatWouldNotReadBack) {
  IniFile ini("[S]\nk=v\n");
  const std::string before = ini.bytes();
  const std::array<std::array<const char*, 3>, 8> refused{{{"S", "k", "two\nlines"},
                                                           {"S", "k", "cr\rhere"},
                                                           {"S", "", "v"},
                                                           {"S", "   ", "v"},
                                                           {"S", "a=b", "v"},
                                                           {"S", ";note", "v"},
                                                           {"S", "[x]", "v"},
                                                           {"S\nT", "k", "v"}}};
  for (const auto& [section, key, value] : refused)
    EXPECT_FALSE(ini.writeString(section, key, value)) << section << "/" << key << "=" << value;
  EXPECT_FALSE(ini.appendLine("a\nb"));
  EXPECT_EQ(std::tuple(ini.bytes(), ini.modified()), std::tuple(before, false));
  // Odd but storable names read back.
  EXPECT_TRUE(ini.writeString("a]b", "k;", " 'v' "));
  EXPECT_EQ(ini.readString("A]B", "K;", "-"), "v");
  EXPECT_TRUE(ini.writeString("", "k", "empty name"));
  EXPECT_EQ(IniFile(ini.bytes()).readString("", "k", "-"), "empty name");
}

TEST(IniFile, WritesAndReadsListsWithPrefixAndLimit) {
  IniFile ini("[cFind.Items]\n00=old\n05=stale\nother=gone\n[Next]\nk=v\n");
  std::vector<std::string> items;
  for (int i = 0; i < 25; ++i) items.push_back("find " + std::to_string(i));
  EXPECT_TRUE(ini.writeList("cFind.Items", "0", items, 20));
  const Lines keys = ini.readSection("cFind.Items");
  ASSERT_EQ(keys.size(), 20u);
  EXPECT_EQ((Lines{keys[0], keys[9], keys[10], keys[19]}), (Lines{"00", "09", "010", "019"}));
  EXPECT_EQ(ini.readSectionValues("cFind.Items")[10], "010=find 10");
  EXPECT_EQ(ini.readList("cFind.Items", "0", 20), Lines(items.begin(), items.begin() + 20));
  EXPECT_EQ(ini.readString("Next", "k", "-"), "v");

  // Reading stops at the first missing or empty key; an unstorable item leaves no gap.
  IniFile mru("[MRUList]\nH0=a\nH1=b\nH3=d\n[x]\nH0=\n");
  EXPECT_EQ((std::vector{mru.readList("MRUList", "H", 30), mru.readList("MRUList", "H", 1),
                         mru.readList("x", "H", 30)}),
            (std::vector<Lines>{{"a", "b"}, {"a"}, {}}));
  EXPECT_FALSE(mru.writeList("MRUList", "H", {"p", "bad\nitem", "q"}, 30));
  EXPECT_EQ(mru.readList("MRUList", "H", 30), (Lines{"p", "q"}));
  // An empty list leaves no section.
  EXPECT_TRUE(mru.writeList("MRUList", "H", {}, 30));
  EXPECT_FALSE(mru.sectionExists("MRUList"));
}

TEST(IniFile, ReportsLoadFailuresAndKeepsItsContents) {
  TempFolder dir;
  IniFile ini("[a]\nk=v\n");
  // Whatever is no settings file is refused at once, without blocking or flooding.
  quillon::testing::HangGuard guard;
  std::vector<quillon::testing::SpecialFile> files = quillon::testing::makeSpecialFiles(dir.path());
  files.push_back({"huge", quillon::testing::makeSparseFile(dir.path() / "huge.ini",
                                                            IniFile::kMaxFileSize + 1)});
  files.push_back({"missing", dir.path() / "missing.ini"});
  for (const auto& f : files) {
    const quillon::settings::IniResult refused = ini.load(f.path);
    EXPECT_FALSE(refused) << f.what;
    EXPECT_EQ(refused.error, "Cannot open file " + f.path.string()) << f.what;
    EXPECT_EQ(ini.readString("a", "k", "-"), "v") << f.what;
  }
}

// Mode, links and the kinds of failure belong to replaceFile; here: the message and the state.
TEST(IniFile, AFailedSaveKeepsTheOldFileAndTheChange) {
  TempFolder dir;
  const fs::path file = dir.path() / "q.ini";
  const std::string odd = "[a]\nk = v\r\n\r[b]";
  writeFile(file, odd);
  IniFile ini;
  ASSERT_TRUE(ini.load(file));
  ini.writeString("a", "k", std::string(64 * 1024, 'x'));

  // The disk "fills up" half way through the write.
  quillon::settings::IniResult r;
  {
    quillon::testing::FileSizeLimit full(4096);
    r = ini.save(file);
  }
  EXPECT_EQ(std::tuple(bool(r), r.error, r.detail.empty(), readFile(file), ini.modified()),
            std::tuple(false, "Cannot create file " + file.string(), false, odd, true));
}

TEST(IniFile, TakesMegabyteLines) {
  // As key, as value and as an unclosed header.
  const std::string big(1 << 20, 'x');
  IniFile lines("[S]\r\n" + big + "\r\nk=" + big + "\r\n[" + big + "\r\n");
  EXPECT_EQ(std::pair(lines.readString("s", "k", "-").size(), lines.valueExists("S", big)),
            std::pair(big.size(), true));
  EXPECT_TRUE(lines.writeString("S", "k", "short"));
  EXPECT_EQ(lines.bytes().size(), 5 + (big.size() + 2) + 9 + (big.size() + 3));
}
