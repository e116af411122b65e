#include "build/build_output.h"

#include <cctype>

namespace quillon::build {

namespace {

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// The length of the valid UTF-8 sequence at s[i], or 0.
std::size_t utf8Length(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (c >= 0xF5) n = 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  const auto c1 = static_cast<unsigned char>(s[i + 1]);
  if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
      (c == 0xF4 && c1 >= 0x90))
    return 0;  // overlong forms and surrogates
  return n;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string cleaned(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c < 0x80) {
      if (c < 0x20 && c != '\t')
        out += kReplacement;
      else if (c == 0x7F)
        out += kReplacement;
      else
        out += static_cast<char>(c);
      ++i;
    } else if (const std::size_t n = utf8Length(line, i)) {
      out.append(line.substr(i, n));
      i += n;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

std::string duration(std::chrono::milliseconds ms) {
  const long long n = ms.count();
  if (n < 1000) return std::to_string(n) + " ms";
  return std::to_string(n / 1000) + "." + std::to_string(n % 1000 / 100) + " s";
}

}  // namespace

bool isWineNoise(std::string_view line) {
  // "0024:fixme:..." carries the thread id first.
  std::size_t i = 0;
  while (i < line.size() && std::isxdigit(static_cast<unsigned char>(line[i]))) ++i;
  if (i > 0 && i < line.size() && line[i] == ':') line.remove_prefix(i + 1);
  for (std::string_view channel : {"fixme:", "err:", "warn:", "trace:"})
    if (startsWith(line, channel)) return true;
  return line.find("wine32 is missing") != std::string_view::npos ||
         startsWith(line, "multiarch needs to be enabled first") ||
         startsWith(line, "as root, please execute \"apt-get install wine32");
}

std::vector<OutputLine> outputLines(const BuildReport& report) {
  std::vector<OutputLine> lines;
  lines.push_back({"> " + cleaned(report.commandLine), false});
  lines.push_back({"in " + cleaned(report.folder.string()), false});
  std::string_view text = report.output;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const bool dim = isWineNoise(line);
    do {
      std::size_t cut = std::min(line.size(), kDisplayLine);
      // Never in the middle of a UTF-8 sequence.
      while (cut < line.size() && cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut;
      if (cut == 0) cut = std::min(line.size(), kDisplayLine);
      lines.push_back({cleaned(line.substr(0, cut)), dim});
      line.remove_prefix(cut);
    } while (!line.empty());
  }
  if (report.droppedBytes)
    lines.push_back(
        {"(" + std::to_string(report.droppedBytes) + " more bytes of output dropped)", false});
  std::string end;
  switch (report.result) {
    case BuildReport::Result::NotStarted: end = "not started"; break;
    case BuildReport::Result::Stopped:
      end = "stopped" +
            (report.exitCode ? ", exit code " + std::to_string(*report.exitCode) : std::string());
      break;
    default:
      end = report.exitCode ? "exit code " + std::to_string(*report.exitCode) : "exit code unknown";
      break;
  }
  lines.push_back({"= " + end + " after " + duration(report.elapsed), false});
  return lines;
}

}  // namespace quillon::build
