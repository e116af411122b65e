#include "language/completion_model.h"

#include <unordered_set>

#include "language/mapbasic_scanner.h"
#include "platform/ascii_text.h"

namespace quillon::language {

namespace {

constexpr bool opensName(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         platform::equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool isOneName(std::string_view text) {
  if (text.empty() || !opensName(text.front())) return false;
  for (char c : text)
    if (!isNameChar(c)) return false;
  return true;
}

}  // namespace

std::optional<CompletionWord> completionWordAt(std::string_view line, std::size_t caret) {
  if (caret > line.size()) return std::nullopt;
  // A string or a comment that the caret stands in or after ends any chance of a word.
  bool inCode = true;
  scanLine(line.substr(0, caret), [&](const LineSegment& s) {
    if (s.kind == SegmentKind::Comment) inCode = false;
    if (s.kind == SegmentKind::String)
      inCode = s.text.size() >= 2 && s.text.back() == '"';
    else if (s.kind == SegmentKind::Code)
      inCode = true;
  });
  if (!inCode) return std::nullopt;
  std::size_t start = caret;
  while (start > 0 && isNameChar(line[start - 1])) --start;
  // "x1" is a word; "1x" and the "x" of "1x" are not names to complete.
  while (start < caret && !opensName(line[start])) ++start;
  if (start < caret && start > 0 && isNameChar(line[start - 1])) return std::nullopt;
  std::size_t end = caret;
  while (end < line.size() && isNameChar(line[end])) ++end;
  return CompletionWord{start, caret, end, std::string(line.substr(start, caret - start))};
}

void CompletionList::fill(std::string_view prefix, const std::vector<std::string>& own,
                          const std::vector<std::string>& keywords,
                          const std::vector<std::string>& defined) {
  const std::string keep =
      items_.empty() ? std::string() : platform::asciiLowered(items_[selected_].text);
  items_.clear();
  selected_ = 0;
  std::unordered_set<std::string> seen;
  auto add = [&](const std::string& text, CompletionItem::Source source) {
    if (text.empty() || !seen.insert(platform::asciiLowered(text)).second) return;
    items_.push_back({text, source});
  };
  for (const std::string& name : own) add(name, CompletionItem::Source::Code);
  for (const std::string& word : keywords)
    if (isOneName(word) && startsWithNoCase(word, prefix))
      add(word, CompletionItem::Source::Keyword);
  for (const std::string& word : defined)
    if (isOneName(word) && startsWithNoCase(word, prefix))
      add(word, CompletionItem::Source::Defined);
  if (keep.empty()) return;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (platform::asciiLowered(items_[i].text) == keep) selected_ = i;
}

void CompletionList::move(std::ptrdiff_t rows) {
  if (items_.empty()) return;
  const auto last = static_cast<std::ptrdiff_t>(items_.size()) - 1;
  std::ptrdiff_t row = static_cast<std::ptrdiff_t>(selected_) + rows;
  if (row < 0) row = 0;
  if (row > last) row = last;
  selected_ = static_cast<std::size_t>(row);
}

void CompletionList::select(std::size_t row) {
  if (row < items_.size()) selected_ = row;
}

CompletionEdit completionEdit(const CompletionWord& word, std::string_view item) {
  return CompletionEdit{word.start, word.end - word.start, std::string(item)};
}

}  // namespace quillon::language
