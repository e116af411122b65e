#include "language/key_file.h"

#include <gtest/gtest.h>
#include <sstream>

#include "support/scripted_ui.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::language {
namespace {

namespace fs = std::filesystem;
using editor::KeywordInfo;
using editor::KeywordList;
using editor::StartStopKeyList;
using testing::ScriptedUi;

std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

// Reads `data` into the lists; returns the error message, or "" on success.
std::string readInto(const std::string& data, KeywordList& k, StartStopKeyList& s) {
  std::istringstream in(data);
  try {
    applyKeyFile(readKeyFile(in), k, s);
  } catch (const KeyFileError& e) {
    return e.what();
  }
  return "";
}

TEST(KeyFile, WritesShortestIntegersAndLongStringsByteExact) {
  EXPECT_EQ(encodeKeyFile(KeywordList(), StartStopKeyList()), bytes({1, 0, 1, 0}));
  KeywordList k;
  StartStopKeyList s;
  // Options 200 needs two bytes (it is unsigned); -1 fits one; 0x00BBGGRR needs four.
  k.add("Dim", KeywordInfo{200, 3, -129, 127, -1, 0x00800000});
  k.add(std::string(300, 'x'), KeywordInfo{2, 0, 32767, -32768, 32768, -32769});
  s.add("'", "", true, KeywordInfo{0, 2, 1, 0, -1, 0x008000});
  const std::string expected =
      bytes({1,    6,    3, 'D', 'i', 'm',  3, 200, 0, 2,    3, 3,
             0x7f, 0xff, 2, 127, 2,   0xff, 4, 0,   0, 0x80, 0}) +
      bytes({12, 0x2c, 1, 0, 0}) + std::string(300, 'x') +
      bytes(
          {2, 2, 2, 0, 3, 0xff, 0x7f, 3, 0, 0x80, 4, 0, 0x80, 0, 0, 4, 0xff, 0x7f, 0xff, 0xff, 0}) +
      bytes({1, 6, 1, '\'', 6, 0, 2, 0, 2, 2, 2, 1, 2, 0, 2, 0xff, 4, 0, 0x80, 0, 0, 9, 0});
  ASSERT_EQ(encodeKeyFile(k, s), expected);
  // Read back, the lists write the same bytes: every field survived.
  KeywordList k2;
  StartStopKeyList s2;
  ASSERT_EQ(readInto(expected, k2, s2), "");
  EXPECT_EQ(encodeKeyFile(k2, s2), expected);
}

TEST(KeyFile, ReaderAcceptsWiderFormsAndKeepsLowBits) {
  // Tag 12 for a short text, tag 4 for small numbers, 0x1234 as Options, 0x12345 as
  // ContextNum, any byte but 9 as false.
  const std::string data =
      bytes({1, 12, 2, 0, 0,    0,    'I',  'f', 4, 0x34, 0x12, 0, 0, 4, 1,
             0, 0,  0, 4, 0x45, 0x23, 0x01, 0,   2, 0,    2,    0, 2, 0, 0}) +
      bytes({1, 6, 1, '"', 12, 1, 0, 0, 0, '"', 2, 0, 2, 0, 2, 3, 2, 0, 2, 0, 2, 0, 7, 0});
  KeywordList k;
  StartStopKeyList s;
  ASSERT_EQ(readInto(data, k, s), "");
  // Written back in shortest form: Options 0x34, ContextNum 0x2345, false.
  EXPECT_EQ(encodeKeyFile(k, s),
            bytes({1, 6, 2, 'I', 'f', 2, 0x34, 2, 1, 3, 0x45, 0x23, 2, 0, 2, 0, 2, 0, 0}) +
                bytes({1, 6, 1, '"', 6, 1, '"', 2, 0, 2, 0, 2, 3, 2, 0, 2, 0, 2, 0, 8, 0}));
}

TEST(KeyFile, BadFilesGiveTheTwoMessages) {
  const std::string entry = bytes({6, 1, 'a', 2, 0, 2, 0, 2, 1, 2, 0, 2, 0, 2, 0});
  const char* invalid = "Invalid property value";
  const char* cut = "Stream read error";
  const std::tuple<const char*, std::string, const char*> cases[] = {
      {"empty file", "", cut},
      {"no list begin", bytes({0, 0, 1, 0}), invalid},
      {"wrong string tag", bytes({1, 7, 1, 'a'}), invalid},
      {"string for integer", bytes({1, 6, 1, 'a', 6, 1, 'b'}), invalid},
      {"second list begin missing", bytes({1, 0, 2}), invalid},
      {"ends after first list", bytes({1, 0}), cut},
      {"ends inside an entry", bytes({1}) + entry.substr(0, 9), cut},
      {"ends inside a number", bytes({1, 6, 1, 'a', 4, 0, 0}), cut},
      {"length past the end", bytes({1, 6, 200, 'a', 'b'}), cut},
      {"2 GB length", bytes({1, 12, 0, 0, 0, 0x80}) + std::string(94, 'z'), cut},
      {"4 GB length", bytes({1, 12, 0xff, 0xff, 0xff, 0xff, 'z'}), cut},
      {"no Boolean", bytes({1, 0, 1, 6, 0}) + entry, cut},
      {"no end of second list", bytes({1, 0, 1}), cut},
  };
  for (const auto& [name, data, message] : cases) {
    KeywordList k;
    StartStopKeyList s;
    EXPECT_EQ(readInto(data, k, s), message) << name;
  }
}

TEST(KeyFile, WhatCannotBeLoadedIsReportedWithoutBlockingAndChangesNeitherList) {
  testing::HangGuard guard;
  testing::TempFolder dir;
  // The keyword list is complete; the start-stop list breaks off.
  const fs::path bad = dir / "bad.bin";
  testing::writeFile(bad, bytes({1, 6, 1, 'X', 2, 0, 2, 0, 2, 1, 2, 0, 2, 0, 2, 0, 0, 1, 6, 1}));
  std::vector<testing::SpecialFile> files = testing::makeSpecialFiles(dir.path());
  files.push_back({"huge", testing::makeSparseFile(dir / "huge.bin", kMaxKeyFileSize + 1)});
  files.push_back({"cut short", bad});
  for (const auto& f : files) {
    SCOPED_TRACE(f.what);
    KeywordList k;
    StartStopKeyList s;
    k.add("Keep", {});
    s.add("'", "", true, {});
    const std::string before = encodeKeyFile(k, s);
    int notifications = 0;
    k.subscribe([&] { ++notifications; });
    fs::path keyFile = f.path;
    ScriptedUi ui;
    EXPECT_FALSE(loadKeyFile(keyFile, dir / "default.bin", k, s, ui));
    const std::string message =
        f.path == bad ? "Stream read error" : "Cannot open file " + f.path.string();
    EXPECT_EQ(ui.messages(), std::vector<std::string>{message});
    EXPECT_EQ(std::tuple(keyFile, encodeKeyFile(k, s), notifications),
              std::tuple(f.path, before, 0));
  }
}

TEST(KeyFile, MissingFileFallsBackToTheDefault) {
  testing::TempFolder dir;
  KeywordList k, loaded;
  StartStopKeyList s, loadedStops;
  k.add("Dim", KeywordInfo{2, 1, 1, 0, -1, 0x800000});
  const fs::path def = dir / "quillon.bin";
  ScriptedUi ui;
  ASSERT_TRUE(saveKeyFile(def, k, s, ui));
  loadedStops.add("x", "y", false, {});
  fs::path keyFile = dir / "gone.bin";
  EXPECT_TRUE(loadKeyFile(keyFile, def, loaded, loadedStops, ui));
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{"Can Not Locate KeyFile:\n" + (dir / "gone.bin").string() +
                                     "\n\nLOADING DEFAULT....."});
  EXPECT_EQ(std::tuple(keyFile, encodeKeyFile(loaded, loadedStops)),
            std::tuple(def, encodeKeyFile(k, s)));

  // The default missing too: one message, and the lists stay.
  keyFile = dir / "gone.bin";
  EXPECT_FALSE(loadKeyFile(keyFile, dir / "also-gone.bin", loaded, loadedStops, ui));
  EXPECT_EQ(std::tuple(ui.messages().size(), keyFile, loaded.count()),
            std::tuple(2u, dir / "also-gone.bin", 1));
}

TEST(KeyFile, DuplicatesLoadInOrder) {
  KeywordList k, k2;
  StartStopKeyList s, s2;
  for (const char* w : {"kw5", "a", "kw5"}) k.add(w, {});
  for (int i = 0; i < 2; ++i) s.add("'", "", true, {});
  ASSERT_EQ(readInto(encodeKeyFile(k, s), k2, s2), "");
  EXPECT_EQ(encodeKeyFile(k2, s2), encodeKeyFile(k, s));
  EXPECT_EQ(s2.item(1).sameStart, 0) << "the loaded keys are linked as added ones";
}

TEST(KeyFile, DefaultKeyFileLoadsAndCoversTheLanguage) {
  fs::path keyFile = fs::path(QUILLON_BINARY_DIR) / "quillon.bin";
  KeywordList k;
  StartStopKeyList s;
  ScriptedUi ui;
  ASSERT_TRUE(loadKeyFile(keyFile, keyFile, k, s, ui));
  ASSERT_GT(k.count(), 300);
  EXPECT_EQ(encodeKeyFile(k, s), testing::readFile(keyFile));
  for (int i = 0; i < k.count(); ++i)
    EXPECT_TRUE(k.info(i).contextNum != 0 &&
                k.info(i).options == editor::KeywordOption::wholeWordsOnly)
        << k.text(i);
  // The sample's words are the highlighter's test.
  for (const char* word : {"End If",
                           "Exit Sub",
                           "Left$",
                           "ObjectInfo",
                           "SmallInt",
                           "Logical",
                           "Alias",
                           "Symbol",
                           "Position",
                           "Width",
                           "Height",
                           "Value",
                           "ID",
                           "Icon",
                           "Cursor",
                           "DrawMode",
                           "Obj",
                           "RowID",
                           "Delimiter",
                           "GroupLayerInfo",
                           "LayerListInfo",
                           "LabelOverrideInfo",
                           "LayerStyleInfo",
                           "End Type"})
    EXPECT_GE(k.indexOf(word), 0) << word;
  EXPECT_NE(k.info(k.indexOf("Dim")).foregnd, k.info(k.indexOf("Left$")).foregnd);
  EXPECT_NE(k.info(k.indexOf("Left$")).foregnd, k.info(k.indexOf("Integer")).foregnd);
  // The language's constants have a colour of their own; MapBasic.def's are no keywords.
  EXPECT_EQ(k.info(k.indexOf("TRUE")).foregnd, k.info(k.indexOf("FALSE")).foregnd);
  for (const char* other : {"Dim", "Left$", "Integer", "Class"})
    EXPECT_NE(k.info(k.indexOf("TRUE")).foregnd, k.info(k.indexOf(other)).foregnd) << other;
  EXPECT_LT(k.indexOf("WIN_INFO_NAME"), 0);

  ASSERT_EQ(s.count(), 2);
  const std::pair<std::string, std::string> stops[] = {{"'", ""}, {"\"", "\""}};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(std::pair(s.item(i).startKey, s.item(i).stopKey), stops[i]);
    EXPECT_TRUE(s.item(i).parEnd && s.item(i).info.contextNum != 0) << i;
  }
}

}  // namespace
}  // namespace quillon::language
