#include "build/windows_command_line.h"

#include <gtest/gtest.h>

namespace quillon::build {
namespace {

using Args = std::vector<std::string>;

TEST(WindowsCommandLineTest, SplitsByTheRuntimeRules) {
  const std::pair<const char*, Args> cases[] = {
      {"", {}},
      {"  \t ", {}},
      {" -D \"C:\\My Files\\a.mb\"", {"-D", "C:\\My Files\\a.mb"}},
      {"a\tb  c", {"a", "b", "c"}},
      {"\"\" x", {"", "x"}},
      {"\"unclosed part", {"unclosed part"}},
      {"a\\\\b", {"a\\\\b"}},             // backslashes not before a quote are literal
      {"\"a\\\\\"", {"a\\"}},             // 2n before a quote: n, and the quote closes
      {"a\\\"b", {"a\"b"}},               // 2n+1: n and a literal quote
      {"\"a \"\"b\" c", {"a \"b", "c"}},  // a doubled quote inside quotes
      {"ab\"c d\"e f", {"abc de", "f"}},  // quoted parts join their neighbours
      {"line\nbreak", {"line\nbreak"}},   // only spaces and tabs separate
  };
  for (const auto& [text, args] : cases) EXPECT_EQ(WindowsCommandLine::split(text), args) << text;
}

// A quote in a file name cannot add compiler arguments.
TEST(WindowsCommandLineTest, QuoteIsTheInverseOfSplit) {
  const std::string awkward[] = {
      "",          "plain",         "with space",    "C:\\Program Files\\",
      "a\"b",      "end\\",         "\\\\\"",        "x\" -L \"y",
      "tab\there", "line\r\nbreak", "\xe9t\xe9\xff", std::string("nul\0inside", 10)};
  for (const std::string& a : awkward) {
    EXPECT_EQ(WindowsCommandLine::split(WindowsCommandLine::quote(a)), Args{a})
        << WindowsCommandLine::quote(a);
    EXPECT_EQ(WindowsCommandLine::split(" -D " + WindowsCommandLine::quote(a)), (Args{"-D", a}));
  }
  EXPECT_EQ(WindowsCommandLine::quote("C:\\x y\\a.mb"), "\"C:\\x y\\a.mb\"");
}

}  // namespace
}  // namespace quillon::build
