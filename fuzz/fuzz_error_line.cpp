// Error file lines: reading each line and walking from line to line must never fail, and a
// line that leads somewhere always names a file and a line number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "build/error_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& line : lines) {
    const quillon::build::ErrorLine e = quillon::build::ErrorLine::parse(line);
    if (e.leadsSomewhere() && (e.fileName.empty() || !e.lineNumber)) std::abort();
    if (e.lineNumber && e.kind != quillon::build::ErrorLine::Kind::Target) std::abort();
  }
  const auto count = static_cast<std::int64_t>(lines.size());
  auto line = [&](std::int64_t i) {
    if (i < 0 || i >= count) std::abort();
    return lines[static_cast<std::size_t>(i)];
  };
  const std::int64_t from = size > 0 ? static_cast<std::int64_t>(data[0]) - 8 : 0;
  for (bool forward : {true, false}) {
    std::int64_t at = from;
    for (int step = 0; step < 4; ++step) {
      const auto next = quillon::build::nextLeadingLine(line, count, at, forward);
      if (!next) break;
      if (!quillon::build::ErrorLine::parse(line(*next)).leadsSomewhere()) std::abort();
      at = *next;
    }
  }
  return 0;
}
