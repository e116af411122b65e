// What a compiler prints, as the output view shows it: every byte string gives valid UTF-8
// lines no longer than the display limit, and nothing printed is lost (only replaced).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "build/build_output.h"

namespace {

bool validUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    if (c < 0x20 && c != '\t') return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillon::build::BuildReport report;
  report.output.assign(reinterpret_cast<const char*>(data), size);
  std::size_t printed = 0;
  const quillon::build::OutputText shown = quillon::build::outputText(report);
  std::vector<std::string> lines;
  std::string_view text = shown.text();
  for (;;) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  if (shown.dim.size() != lines.size()) std::abort();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!validUtf8(lines[i])) std::abort();
    // Each replaced byte becomes three; a line is cut at the limit before cleaning.
    if (lines[i].size() > 3 * quillon::build::kDisplayLine) std::abort();
    if (i >= 2 && i + 1 < lines.size()) printed += lines[i].size();
  }
  // Replacements only grow the text; breaks are the only bytes that go.
  std::size_t breaks = 0;
  for (std::size_t i = 0; i < size; ++i) breaks += data[i] == '\n' || data[i] == '\r';
  if (printed + breaks < size) std::abort();
  return 0;
}
