#include "build/error_line.h"

#include <gtest/gtest.h>
#include <vector>

namespace quillon::build {
namespace {

using Kind = ErrorLine::Kind;

TEST(ErrorLineTest, ReadsThePartBeforeTheFirstClosingParenthesis) {
  const std::tuple<const char*, Kind, std::string, std::optional<std::int32_t>> cases[] = {
      // line, kind, name, number
      {"(parcels.mb:31) Unrecognized command: Nott.", Kind::Target, "parcels.mb", 31},
      {"(Parcels.MB: 12 ) text (with parens)", Kind::Target, "Parcels.MB", 12},
      {"", Kind::NoLineText, "", std::nullopt},
      {"no parenthesis at all", Kind::NoLineText, "", std::nullopt},
      {"(x:)", Kind::NoLineText, "x", std::nullopt},
      {"(:12)", Kind::Target, "", 12},
      {"(12)", Kind::Target, "", 12},  // no colon: the whole rest is the line text
      {"(C:\\src\\a.mb:3)", Kind::NotDigit, "C", std::nullopt},  // a drive letter is the name
      {"(a.mb:-3)", Kind::NotDigit, "a.mb", std::nullopt},
      {"(a.mb:12a)", Kind::Target, "a.mb", std::nullopt},
      {"(a.mb:99999999999999999999)", Kind::Target, "a.mb", std::nullopt},
      {"(a.mb:2147483647)", Kind::Target, "a.mb", 2147483647},
      {" (a.mb:4)", Kind::Target, "(a.mb", 4},  // the first character is dropped, whatever it is
  };
  for (const auto& [line, kind, name, number] : cases) {
    const ErrorLine e = ErrorLine::parse(line);
    EXPECT_EQ(std::tuple(e.kind, e.fileName, e.lineNumber), std::tuple(kind, name, number)) << line;
  }
}

TEST(ErrorLineTest, TheWalkVisitsLeadingLinesAndWraps) {
  const std::vector<std::string> lines = {"Compiling...", "(a.mb:3) one", "junk", "(b.def:9) two",
                                          "(:4) nameless"};
  auto line = [&](std::int64_t i) { return lines[static_cast<std::size_t>(i)]; };
  const auto n = static_cast<std::int64_t>(lines.size());
  // From, forward, and the line reached: from the end round to the first, and back.
  const std::tuple<std::int64_t, bool, std::int64_t> walks[] = {
      {n - 1, true, 1}, {1, true, 3}, {3, true, 1}, {1, false, 3}, {99, false, 3}};
  for (const auto& [from, forward, to] : walks)
    EXPECT_EQ(nextLeadingLine(line, n, from, forward), to)
        << from << (forward ? " forward" : " back");
  EXPECT_EQ(nextLeadingLine([](std::int64_t) { return std::string("(a.mb:3) only"); }, 1, 0, true),
            0);
  EXPECT_EQ(nextLeadingLine([](std::int64_t) { return std::string("junk"); }, 3, 0, true),
            std::nullopt);
  EXPECT_EQ(nextLeadingLine(line, 0, 0, true), std::nullopt);
}

}  // namespace
}  // namespace quillon::build
