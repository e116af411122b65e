#include "language/signature_hint.h"

#include "language/mapbasic_scanner.h"
#include "platform/ascii_text.h"

namespace quillon::language {

namespace {

struct Level {
  std::size_t openParen;
  std::size_t commas;
};

// The name that ends just before column `at` of `line`, blanks skipped.
std::string_view nameBefore(std::string_view line, std::size_t at) {
  std::size_t end = at;
  while (end > 0 && platform::isSpaceOrTab(line[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && isNameChar(line[start - 1])) --start;
  while (start < end && !((line[start] >= 'A' && line[start] <= 'Z') ||
                          (line[start] >= 'a' && line[start] <= 'z') || line[start] == '_'))
    ++start;
  return line.substr(start, end - start);
}

}  // namespace

std::optional<CallAtCaret> callAtCaret(std::string_view line, std::size_t caret,
                                       const std::function<bool(std::string_view)>& known) {
  if (caret > line.size()) return std::nullopt;
  const std::size_t from = caret > kMaxScan ? caret - kMaxScan : 0;
  std::vector<Level> levels;
  bool inString = false;
  for (std::size_t i = from; i < caret; ++i) {
    const char c = line[i];
    if (inString) {
      if (c == '"') inString = false;
      continue;
    }
    switch (c) {
      case '"': inString = true; break;
      case '\'': return std::nullopt;
      case '(': levels.push_back({i, 0}); break;
      case ')':
        if (!levels.empty()) levels.pop_back();
        break;
      case ',':
        if (!levels.empty()) ++levels.back().commas;
        break;
      default: break;
    }
  }
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    const std::string_view name = nameBefore(line, level->openParen);
    if (!name.empty() && known(name))
      return CallAtCaret{std::string(name), level->openParen, level->commas};
  }
  return std::nullopt;
}

std::vector<std::string_view> splitParameters(std::string_view list) {
  std::vector<std::string_view> out;
  if (platform::trim(list).empty()) return out;
  int depth = 0;
  bool inString = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= list.size(); ++i) {
    const char c = i < list.size() ? list[i] : ',';
    if (inString) {
      if (c == '"') inString = false;
      if (i < list.size()) continue;
    }
    if (c == '"')
      inString = true;
    else if (c == '(')
      ++depth;
    else if (c == ')' && depth > 0)
      --depth;
    else if (c == ',' && (depth == 0 || i == list.size())) {
      out.push_back(platform::trim(list.substr(start, i - start)));
      start = i + 1;
    }
  }
  return out;
}

SignatureHint signatureHint(std::string_view name, std::string_view parameters,
                            std::size_t current) {
  SignatureHint hint;
  hint.text.assign(name);
  hint.text += '(';
  const std::vector<std::string_view> list = splitParameters(parameters);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i > 0) hint.text += ", ";
    if (i == current) {
      hint.boldStart = hint.text.size();
      hint.boldLength = list[i].size();
    }
    hint.text += list[i];
  }
  hint.text += ')';
  return hint;
}

}  // namespace quillon::language
