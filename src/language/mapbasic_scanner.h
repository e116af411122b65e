#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ascii_text.h"

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

// What statements need of one line.
struct LineFacts {
  bool hasCode = false;  // anything but blanks outside its comment
  bool endsWithComma = false;
  int parenBalance = 0;
};

// One pass over `line`: its facts, and onRun(start, length) for each run of name characters
// in its code (words and numbers alike), so that a caller wanting both tokenises once.
template <class OnRun>
LineFacts readLine(std::string_view line, OnRun&& onRun) {
  LineFacts facts;
  char last = 0;
  scanLine(line, [&](const LineSegment& segment) {
    if (segment.kind == SegmentKind::Comment) return;
    if (segment.kind == SegmentKind::String) {
      facts.hasCode = true;
      last = '"';
      return;
    }
    const std::string_view code = segment.text;
    const std::size_t base = static_cast<std::size_t>(code.data() - line.data());
    std::size_t i = 0;
    while (i < code.size()) {
      const char c = code[i];
      if (isNameChar(c)) {
        std::size_t j = i + 1;
        while (j < code.size() && isNameChar(code[j])) ++j;
        onRun(base + i, j - i);
        last = code[j - 1];
        facts.hasCode = true;
        i = j;
        continue;
      }
      if (!platform::isBlankOrControl(c)) {
        if (c == '(')
          ++facts.parenBalance;
        else if (c == ')')
          --facts.parenBalance;
        last = c;
        facts.hasCode = true;
      }
      ++i;
    }
  });
  facts.endsWithComma = last == ',';
  return facts;
}

inline LineFacts readLine(std::string_view line) {
  return readLine(line, [](std::size_t, std::size_t) {});
}

// One statement: where it starts and its code, comments cut, lines joined by one blank (none
// after an opening or before a closing parenthesis), blank runs outside strings made one
// blank, trimmed. Strings stay as written.
struct Statement {
  std::int64_t firstLine = 0;  // counted from 0
  std::int64_t lineCount = 0;
  std::string text;
};

inline constexpr int kMaxStatementLines = 200;

// Reads the statements of lines [0, count) in order.
class StatementReader {
public:
  using LineAt = std::function<std::string_view(std::int64_t)>;
  // `known`: the facts of the first lines, when the caller has read them already.
  StatementReader(std::int64_t count, LineAt lineAt, std::span<const LineFacts> known = {})
      : count_(count), lineAt_(std::move(lineAt)), known_(known) {}

  // False when no statement is left. `out` is reused so its buffer is too.
  bool next(Statement& out);
  // The same without the text, for a caller that wants only some texts: addText(out) then
  // gives the one of `out`.
  bool nextLines(Statement& out);
  void addText(Statement& out) const;

private:
  LineFacts factsAt(std::int64_t line) const;
  template <class FactsOf>
  void takeLines(Statement& out, LineFacts first, FactsOf factsOf);
  // Appends the line's code to `text` and gives the same facts as readLine.
  static LineFacts appendLine(std::string_view line, std::string& text);
  static bool stopsContinuation(std::string_view line);

  std::int64_t count_;
  LineAt lineAt_;
  std::span<const LineFacts> known_;
  std::int64_t line_ = 0;
};

}  // namespace quillon::language
