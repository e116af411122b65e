#include "language/signature_hint.h"

#include <gtest/gtest.h>

namespace quillon::language {
namespace {

bool known(std::string_view name) { return name == "Area" || name == "Show" || name == "Inner"; }

struct CallCase {
  const char* line;  // the caret at the end
  const char* name;  // empty: no call
  std::size_t parameter;
};

TEST(CallAtCaretTest, TheInnermostKnownCallAndItsParameter) {
  const CallCase cases[] = {
      {"Call Show(", "Show", 0},
      {"Call Show (a, ", "Show", 1},
      {"x = Area(a, (b + c), ", "Area", 2},
      {"x = Area(a, (b + c", "Area", 1},  // a grouping level is passed over
      {"x = Area(Inner(1, 2), ", "Area", 1},
      {"x = Area(Inner(1, ", "Inner", 1},
      {"x = Area(\"a, (b\", ", "Area", 1},  // commas and parentheses in a string do not count
      {"x = Area(a)", "", 0},
      {"x = Other(a, ", "", 0},
      {"x = Area(a ' note, (", "", 0},
      {"x = Unknown(Area(1), ", "", 0},
  };
  for (const CallCase& c : cases) {
    const std::string_view line = c.line;
    const auto call = callAtCaret(line, line.size(), known);
    if (*c.name == '\0') {
      EXPECT_FALSE(call) << c.line;
      continue;
    }
    ASSERT_TRUE(call) << c.line;
    EXPECT_EQ(std::tuple(call->name, call->parameter), std::tuple(std::string(c.name), c.parameter))
        << c.line;
  }
}

TEST(CallAtCaretTest, AHugeLineIsReadOnlyNearTheCaret) {
  std::string line = "Call Show(" + std::string(kMaxScan + 10, 'a') + ", ";
  EXPECT_FALSE(callAtCaret(line, line.size(), known))
      << "the parenthesis lies beyond the part read";
  line = std::string(10'000'000, ',') + "Call Show(1, ";
  const auto call = callAtCaret(line, line.size(), known);
  ASSERT_TRUE(call);
  EXPECT_EQ(call->parameter, 1u);
}

TEST(SignatureHintTest, TheCurrentParameterIsBold) {
  const SignatureHint hint = signatureHint("Area", "ByVal o As Object,  units As String", 1);
  EXPECT_EQ(hint.text, "Area(ByVal o As Object, units As String)");
  EXPECT_EQ(hint.text.substr(hint.boldStart, hint.boldLength), "units As String");
  EXPECT_EQ(signatureHint("Area", "a, b", 2).boldLength, 0u) << "past the last parameter";
  EXPECT_EQ(signatureHint("Main", "  ", 0).text, "Main()");
  EXPECT_EQ(splitParameters("a(3) As Integer, s As String * 5, \"x,y\""),
            std::vector<std::string_view>({"a(3) As Integer", "s As String * 5", "\"x,y\""}));
  EXPECT_EQ(splitParameters("a, (b"), std::vector<std::string_view>({"a", "(b"}))
      << "unbalanced stays whole";
}

}  // namespace
}  // namespace quillon::language
