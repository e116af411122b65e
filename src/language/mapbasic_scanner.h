#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// How MapBasic source is read here, for the code outline and the word checker alike:
//
// - A string opens with a double quote and ends at the next double quote or at the line end.
//   A doubled quote inside a string closes it and opens the next at once, so it needs no rule.
// - A comment runs from an apostrophe outside a string to the line end. Nothing else is a
//   comment: "Rem" is an ordinary word.
// - Everything else on a line is code. Blanks are the characters up to code 32.
// - A label opens a line: a letter or "_", then letters, digits and "!#$%&@_~", then a colon
//   right after them ("Retry_2:", not "Label 1:" or "1st:").
// - A statement continues on the next line while its code so far ends with a comma or leaves a
//   parenthesis open, unless that next line opens with Include, Define, Declare, Global, Dim,
//   Sub, Function, End, Exit or a label. At most kMaxStatementLines lines join. Lines without
//   code never open a statement; inside one they join and add nothing.

namespace quillon::language {

enum class SegmentKind { Code, String, Comment };

struct LineSegment {
  SegmentKind kind;
  std::string_view text;  // a string keeps its quotes; a comment its apostrophe
};

// Calls visit(const LineSegment&) for the parts of `line` in order; no part is empty.
template <class Visit>
void scanLine(std::string_view line, Visit&& visit) {
  std::size_t start = 0;
  while (start < line.size()) {
    // A plain loop: find_first_of calls memchr once per character of the line.
    std::size_t mark = start;
    while (mark < line.size() && line[mark] != '"' && line[mark] != '\'') ++mark;
    if (mark == line.size()) {
      visit(LineSegment{SegmentKind::Code, line.substr(start)});
      return;
    }
    if (mark > start) visit(LineSegment{SegmentKind::Code, line.substr(start, mark - start)});
    if (line[mark] == '\'') {
      visit(LineSegment{SegmentKind::Comment, line.substr(mark)});
      return;
    }
    const std::size_t close = line.find('"', mark + 1);
    const std::size_t stop = close == std::string_view::npos ? line.size() : close + 1;
    visit(LineSegment{SegmentKind::String, line.substr(mark, stop - mark)});
    start = stop;
  }
}

// The line up to its comment.
std::string_view withoutComment(std::string_view line);

// A character of a MapBasic name or label after its first one.
constexpr bool isNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '!' || c == '#' || c == '$' || c == '%' || c == '&' || c == '@' || c == '~';
}

// The label that `code` opens with (blanks before it allowed), without its colon.
std::optional<std::string_view> labelOf(std::string_view code);

// The word `text` opens with (after blanks): the longest run of name characters.
std::string_view firstWord(std::string_view text);

// One statement: where it starts and its code, comments cut, lines joined by one blank (none
// after an opening or before a closing parenthesis), blank runs outside strings made one
// blank, trimmed. Strings stay as written.
struct Statement {
  std::int64_t firstLine = 0;  // counted from 0
  std::int64_t lineCount = 0;
  std::string text;
};

inline constexpr int kMaxStatementLines = 200;

// Reads the statements of lines [0, count) in order, asking for each line once.
class StatementReader {
public:
  using LineAt = std::function<std::string_view(std::int64_t)>;
  StatementReader(std::int64_t count, LineAt lineAt) : count_(count), lineAt_(std::move(lineAt)) {}

  // False when no statement is left. `out` is reused so its buffer is too.
  bool next(Statement& out);

private:
  struct LineFacts {
    bool hasCode = false;
    bool endsWithComma = false;
    bool opensStatement = false;  // opens with a keyword that never continues another statement
    int parenBalance = 0;
  };
  LineFacts appendLine(std::string_view line, std::string& text);
  static bool stopsContinuation(std::string_view line);

  std::int64_t count_;
  LineAt lineAt_;
  std::int64_t line_ = 0;
};

}  // namespace quillon::language
