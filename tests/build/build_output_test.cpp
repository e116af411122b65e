#include "build/build_output.h"

#include <gtest/gtest.h>

namespace quillon::build {
namespace {

using namespace std::chrono_literals;

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
}

}  // namespace
}  // namespace quillon::build
