#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::build {

// One line of a compiler error file, read as the error panel reads it:
//  1. the line is cut after its first ")" (kept); without one nothing is left;
//  2. the first and the last character of that go (the opening character and the ")");
//  3. the file name is everything before the first ":" of the rest, not trimmed; empty
//     without a ":";
//  4. the line text is everything after the first ":" of the trimmed rest (the whole rest
//     without one), trimmed.
// A line text that is empty locates nothing; one that does not begin with a digit leads
// nowhere, silently; the line number is the line text as a whole decimal number that fits
// in 32 bits, else the line is broken.
struct ErrorLine {
  enum class Kind {
    NoLineText,  // "Can Not Locate Error Line"
    NotDigit,    // nothing happens
    Target,      // a name and a line text starting with a digit
  };
  Kind kind = Kind::NoLineText;
  std::string fileName;
  std::string lineText;
  std::optional<std::int32_t> lineNumber;  // set when the line text is a whole number

  static ErrorLine parse(std::string_view line);
  // Leads to a place: a named file and a usable line number.
  bool leadsSomewhere() const { return kind == Kind::Target && lineNumber && !fileName.empty(); }
};

// The next line after `from` (or before it, backwards) that leads somewhere, wrapping round
// the list and ending at `from` itself; nullopt when no line does. `line(i)` gives line i of
// `count`; `from` may be outside the list.
std::optional<std::int64_t> nextLeadingLine(const std::function<std::string(std::int64_t)>& line,
                                            std::int64_t count, std::int64_t from, bool forward);

}  // namespace quillon::build
