#include "build/project_file.h"

#include <gtest/gtest.h>

namespace quillon::build {
namespace {

TEST(ProjectFileTest, LinesAndTextsReadAsModulesOrNothing) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"Module=a.mbo", "a.mbo"},
      {"Module =a.mbo", "a.mbo"},
      {"Module= a.mbo", "a.mbo"},
      {"Module = a.mbo", "a.mbo"},
      {"\tModule\t\t=  \t a.mbo  ", "a.mbo"},
      {"Module=a.mbo ' the main one", "a.mbo"},
      {"Module=a.mbo'x'y", "a.mbo"},
      {"a.mbo", "a.mbo"},  // no "=": the whole line
      {"anything=sub dir\\a b.mbo", "sub dir\\a b.mbo"},
      {"Module=x = y", "x=y"},  // only the first " = " goes
      {"= = =", "=="},
      {"Module=", ""},
      {"Applications.mbo", std::nullopt},  // begins with "application"
      {"  APPLICATION=x.mbx", std::nullopt},
      {"Applicatio=x.mbo", "x.mbo"},
      {"", std::nullopt},
      {" \t \x01", std::nullopt},
      {"[LINK]", std::nullopt},
      {"  [anything", std::nullopt},
      {"'Module=more modules *.MBO", std::nullopt},
      {"\t'x", std::nullopt},
      {" ' ", std::nullopt},
  };
  for (const auto& [line, value] : cases)
    EXPECT_EQ(ProjectFile::moduleValue(line), value) << '"' << line << '"';
  EXPECT_EQ(ProjectFile::moduleValue(std::string_view("M=a\0b.mbo", 9)),
            std::string("a\0b.mbo", 7));

  // A text's values in order, whatever the line breaks.
  EXPECT_EQ(ProjectFile::moduleValues(
                "[LINK]\r\nApplication=app.mbx\r\nModule=a.mbo\rModule=b.mbo\n\n'c\r\nd.mbo"),
            (std::vector<std::string>{"a.mbo", "b.mbo", "d.mbo"}));
  EXPECT_TRUE(ProjectFile::moduleValues("").empty());
  // The template names one module, and the system's own lines read back.
  std::string text;
  for (const char* line : ProjectFile::kTemplate) text += std::string(line) + "\r\n";
  EXPECT_EQ(ProjectFile::moduleValues(text), std::vector<std::string>{"Module1.MBO"});
  EXPECT_EQ(ProjectFile::moduleValues(
                ProjectFile::linkText("C:\\p\\app.mbx", {"C:\\p\\a.mbo", "Untitled.mbo"})),
            (std::vector<std::string>{"C:\\p\\a.mbo", "Untitled.mbo"}));
}

TEST(ProjectFileTest, SourceNameTakesTheMbExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.mbo", "a.mb"},
      {"Module1.MBO", "Module1.mb"},
      {"a", "a.mb"},
      {"a.b.mbo", "a.b.mb"},
      {"sub.d\\a", "sub.d\\a.mb"},
      {"sub.d/a", "sub.d/a.mb"},
      {"C:a.mbo", "C:a.mb"},
      {".hidden", ".hidden.mb"},
      {"..\\..\\x.mbo", "..\\..\\x.mb"},
      {"", ".mb"},
      {"a.", "a.mb"},
  };
  for (const auto& [value, source] : cases)
    EXPECT_EQ(ProjectFile::sourceName(value), source) << value;
}

}  // namespace
}  // namespace quillon::build
