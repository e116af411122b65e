#include "build/error_line.h"

#include <charconv>

#include "platform/ascii_text.h"

namespace quillon::build {

ErrorLine ErrorLine::parse(std::string_view line) {
  ErrorLine result;
  const std::size_t close = line.find(')');
  std::string_view rest =
      close == std::string_view::npos ? std::string_view() : line.substr(0, close + 1);
  rest = rest.size() >= 2 ? rest.substr(1, rest.size() - 2) : std::string_view();
  const std::size_t colon = rest.find(':');
  if (colon != std::string_view::npos) result.fileName = std::string(rest.substr(0, colon));
  const std::string_view trimmed = platform::trim(rest);
  const std::size_t textColon = trimmed.find(':');
  const std::string_view text =
      platform::trim(textColon == std::string_view::npos ? trimmed : trimmed.substr(textColon + 1));
  result.lineText = std::string(text);
  if (text.empty()) return result;
  if (text.front() < '0' || text.front() > '9') {
    result.kind = Kind::NotDigit;
    return result;
  }
  result.kind = Kind::Target;
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error == std::errc() && end == text.data() + text.size()) result.lineNumber = number;
  return result;
}

std::optional<std::int64_t> nextLeadingLine(const std::function<std::string(std::int64_t)>& line,
                                            std::int64_t count, std::int64_t from, bool forward) {
  if (count <= 0) return std::nullopt;
  if (from < 0 || from >= count) from = forward ? count - 1 : 0;
  std::int64_t i = from;
  for (std::int64_t step = 0; step < count; ++step) {
    i = forward ? (i + 1) % count : (i + count - 1) % count;
    if (ErrorLine::parse(line(i)).leadsSomewhere()) return i;
  }
  return std::nullopt;
}

}  // namespace quillon::build
