#include "build/build_output.h"

#include <gtest/gtest.h>

#include "editor/code_memo.h"

namespace quillon::build {
namespace {

using namespace std::chrono_literals;

struct OutputLine {
  std::string text;
  bool dim = false;
  bool operator==(const OutputLine&) const = default;
};

// The text cut at its line breaks, with the dim flag of each line.
std::vector<OutputLine> outputLines(const BuildReport& report) {
  const OutputText shown = outputText(report);
  std::vector<OutputLine> lines;
  std::string_view text = shown.text();
  for (std::size_t i = 0;; ++i) {
    const std::size_t end = text.find('\n');
    lines.push_back({std::string(text.substr(0, end)), i < shown.dim.size() && shown.dim[i]});
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  EXPECT_EQ(shown.dim.size(), lines.size());
  return lines;
}

TEST(BuildOutput, HeaderPrintedLinesAndTheEnd) {
  BuildReport r;
  r.result = BuildReport::Result::Failed;
  r.commandLine = "/usr/bin/wine \"C:\\MapBasic\\MapBasic.exe\" -D \"Z:\\src\\a b.mb\"";
  r.folder = "/src";
  r.output =
      "0024:fixme:ole:CoInitializeEx stub\r\nCompiling a b.mb\nerr:module:import_dll Library "
      "MFC42.DLL not found\n"
      "it looks like wine32 is missing, you should install it.\n\nDone";
  r.exitCode = 1;
  r.elapsed = 1234ms;
  const std::vector<OutputLine> expected = {
      {"> /usr/bin/wine \"C:\\MapBasic\\MapBasic.exe\" -D \"Z:\\src\\a b.mb\"", false},
      {"in /src", false},
      {"0024:fixme:ole:CoInitializeEx stub", true},
      {"Compiling a b.mb", false},
      {"err:module:import_dll Library MFC42.DLL not found", true},
      {"it looks like wine32 is missing, you should install it.", true},
      {"", false},
      {"Done", false},
      {"= exit code 1 after 1.2 s", false},
  };
  EXPECT_EQ(outputLines(r), expected);
  EXPECT_FALSE(isWineNoise("error: fixme: not Wine's")) << "only at the start of a line";
  EXPECT_FALSE(isWineNoise("deadbeefx:err:"));
}

TEST(BuildOutput, BadBytesLongLinesAndWhatWasDropped) {
  BuildReport r;
  r.result = BuildReport::Result::Stopped;
  r.output = std::string("a\0b\x1b[31m\xc3\x28\xe2\x82\xac\xed\xa0\x80\tz\n", 19) +
             std::string(kDisplayLine * 2 + 5, 'x');
  r.droppedBytes = 42;
  r.exitCode = 143;
  r.elapsed = 15ms;
  const std::vector<OutputLine> lines = outputLines(r);
  ASSERT_EQ(lines.size(), 2u + 1 + 3 + 2);
  const std::string bad = "\xEF\xBF\xBD";
  EXPECT_EQ(lines[2].text,
            "a" + bad + "b" + bad + "[31m" + bad + "(\xe2\x82\xac" + bad + bad + bad + "\tz");
  EXPECT_EQ(std::tuple(lines[3].text.size(), lines[4].text.size(), lines[5].text.size()),
            std::tuple(kDisplayLine, kDisplayLine, 5u));
  EXPECT_EQ(lines[6].text, "(42 more bytes of output dropped)");
  EXPECT_EQ(lines[7].text, "= stopped, exit code 143 after 15 ms");

  // Bad bytes at every place of an eight-byte word, among plain ones.
  for (const char bad : {'\x7f', '\x1f', '\x80', '\x00'})
    for (std::size_t at = 0; at < 17; ++at) {
      std::string line(17, 'p');
      line[at] = bad;
      r.output = line;
      std::string shown(17, 'p');
      shown.replace(at, 1, "\xEF\xBF\xBD");
      EXPECT_EQ(outputLines(r)[2].text, shown) << int(bad) << " at " << at;
    }
}

// The view holds one report at a time, and paints only Wine's lines grey, once they are shown.
TEST(BuildOutputView, ShowsTheLastReportAndDimsWinesLinesWhenPainted) {
  BuildOutputView view;
  BuildReport r;
  r.commandLine = "standin";
  r.output = std::string(3 * kDisplayLine, 'x') + "\nfixme:ole:stub\nok\n";
  r.exitCode = 0;
  view.show(r);
  editor::CodeMemo& memo = view.memo();
  ASSERT_EQ(memo.paragraphCount(), 2 + 3 + 2 + 1);
  EXPECT_EQ(memo.paragraphText(5), "fixme:ole:stub");
  EXPECT_TRUE(memo.readOnly());
  EXPECT_FALSE(memo.modified());
  EXPECT_TRUE(view.dimmed(5));
  EXPECT_FALSE(view.dimmed(6));
  EXPECT_EQ(memo.table().at(5).extra(), nullptr) << "runs only for painted lines";
  memo.prepareParagraphs(0, memo.paragraphCount() - 1);
  ASSERT_NE(memo.table().at(5).extra(), nullptr);
  EXPECT_EQ(memo.table().at(5).extra()->runs.size(), 1u);
  EXPECT_EQ(memo.table().at(6).extra(), nullptr);

  r.output = "fixme:again\n";
  r.droppedBytes = 7;
  view.show(r);
  EXPECT_EQ(memo.text(),
            "> standin\r\nin \r\nfixme:again\r\n(7 more bytes of output dropped)\r\n= exit "
            "code 0 after 0 ms");
  EXPECT_TRUE(view.dimmed(2));
  EXPECT_FALSE(view.dimmed(5));
  memo.prepareParagraphs(0, 100);  // past the end: nothing happens
}

}  // namespace
}  // namespace quillon::build
