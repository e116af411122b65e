#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quillon::build {

// Parameters of a Windows command line, turned into the argument list a program receives and
// back. The rules are those of the Microsoft C runtime:
//  - arguments are separated by runs of spaces and tabs; nothing else separates;
//  - a double quote outside quotes opens a quoted part, inside one it closes it, except that
//    two double quotes inside a quoted part give one literal double quote;
//  - 2n backslashes before a double quote give n backslashes and the quote acts as above;
//    2n+1 backslashes before a double quote give n backslashes and a literal double quote;
//  - backslashes anywhere else are literal;
//  - a quoted part may be empty, which makes an empty argument.
// quote() is the inverse for one argument: split(quote(a)) == {a} for every byte string a.
class WindowsCommandLine {
public:
  static std::vector<std::string> split(std::string_view parameters);
  // The argument in double quotes, with the backslashes and quotes inside escaped.
  static std::string quote(std::string_view argument);
};

}  // namespace quillon::build
