#include "language/mapbasic_scanner.h"

#include <array>

#include "platform/ascii_text.h"

namespace quillon::language {

std::string_view withoutComment(std::string_view line) {
  std::size_t stop = line.size();
  scanLine(line, [&](const LineSegment& s) {
    if (s.kind == SegmentKind::Comment)
      stop = static_cast<std::size_t>(s.text.data() - line.data());
  });
  return line.substr(0, stop);
}

std::string_view firstWord(std::string_view text) {
  text = platform::trimStart(text, platform::isBlankOrControl);
  std::size_t n = 0;
  while (n < text.size() && isNameChar(text[n])) ++n;
  return text.substr(0, n);
}

std::optional<std::string_view> labelOf(std::string_view code) {
  code = platform::trimStart(code, platform::isBlankOrControl);
  if (code.empty()) return std::nullopt;
  const char c = code.front();
  if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')) return std::nullopt;
  std::size_t n = 1;
  while (n < code.size() && isNameChar(code[n])) ++n;
  if (n == code.size() || code[n] != ':') return std::nullopt;
  return code.substr(0, n);
}

bool StatementReader::stopsContinuation(std::string_view line) {
  static constexpr std::array<std::string_view, 9> kOpeners = {
      "Include", "Define", "Declare", "Global", "Dim", "Sub", "Function", "End", "Exit"};
  const std::string_view code = withoutComment(line);
  if (labelOf(code)) return true;
  const std::string_view word = firstWord(code);
  for (std::string_view opener : kOpeners)
    if (platform::equalsNoCase(word, opener)) return true;
  return false;
}

LineFacts StatementReader::appendLine(std::string_view line, std::string& text) {
  // A join between lines writes no blank next to a parenthesis; a blank inside a line always
  // stays one blank.
  enum class Gap { None, Blank, Join };
  Gap gap = text.empty() ? Gap::None : Gap::Join;
  LineFacts facts;
  char last = 0;
  auto put = [&](char first) {
    if (gap == Gap::Blank || (gap == Gap::Join && text.back() != '(' && first != ')')) text += ' ';
    gap = Gap::None;
  };
  scanLine(line, [&](const LineSegment& s) {
    switch (s.kind) {
      case SegmentKind::Comment: return;
      case SegmentKind::String:
        put(s.text.front());
        text += s.text;
        last = '"';
        facts.hasCode = true;
        return;
      case SegmentKind::Code: {
        const std::string_view code = s.text;
        std::size_t i = 0;
        while (i < code.size()) {
          if (platform::isBlankOrControl(code[i])) {
            if (facts.hasCode && gap == Gap::None) gap = Gap::Blank;
            ++i;
            continue;
          }
          // A run of non-blanks goes in at once.
          std::size_t end = i;
          while (end < code.size() && !platform::isBlankOrControl(code[end])) {
            if (code[end] == '(')
              ++facts.parenBalance;
            else if (code[end] == ')')
              --facts.parenBalance;
            ++end;
          }
          put(code[i]);
          text.append(code.substr(i, end - i));
          last = code[end - 1];
          facts.hasCode = true;
          i = end;
        }
        return;
      }
    }
  });
  facts.endsWithComma = last == ',';
  return facts;
}

// The statement opening at line_, whose facts are `first`: its lines while a trailing comma
// or an open parenthesis carries it on, at most kMaxStatementLines. `factsOf(index, text)`
// reads each further line (and may gather its text).
template <class FactsOf>
void StatementReader::takeLines(Statement& out, LineFacts first, FactsOf factsOf) {
  out.firstLine = line_;
  ++line_;
  int depth = first.parenBalance;
  bool continues = first.endsWithComma || depth > 0;
  std::int64_t lines = 1;
  while (continues && lines < kMaxStatementLines && line_ < count_) {
    const std::string_view line = lineAt_(line_);
    if (stopsContinuation(line)) break;
    const LineFacts facts = factsOf(line_, line);
    ++line_;
    ++lines;
    if (!facts.hasCode) continue;
    depth += facts.parenBalance;
    continues = facts.endsWithComma || depth > 0;
  }
  out.lineCount = lines;
}

LineFacts StatementReader::factsAt(std::int64_t line) const {
  if (line >= 0 && static_cast<std::uint64_t>(line) < known_.size())
    return known_[static_cast<std::size_t>(line)];
  return readLine(lineAt_(line));
}

bool StatementReader::nextLines(Statement& out) {
  out.text.clear();
  LineFacts facts;
  while (line_ < count_ && !(facts = factsAt(line_)).hasCode) ++line_;
  if (line_ >= count_) return false;

  takeLines(out, facts, [this](std::int64_t line, std::string_view) { return factsAt(line); });
  return true;
}

void StatementReader::addText(Statement& out) const {
  out.text.clear();
  for (std::int64_t i = 0; i < out.lineCount; ++i) appendLine(lineAt_(out.firstLine + i), out.text);
}

// The facts come with the text here, in one pass per line.
bool StatementReader::next(Statement& out) {
  out.text.clear();
  while (line_ < count_ && platform::trim(withoutComment(lineAt_(line_))).empty()) ++line_;
  if (line_ >= count_) return false;

  const LineFacts facts = appendLine(lineAt_(line_), out.text);
  takeLines(out, facts,
            [&out](std::int64_t, std::string_view line) { return appendLine(line, out.text); });
  return true;
}

}  // namespace quillon::language
