#include "build/build_output.h"

#include <cctype>
#include <cstring>

#include "editor/code_memo.h"
#include "editor/memo_clipboard.h"
#include "settings/editor_profiles.h"

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

constexpr bool printable(unsigned char c) { return (c >= 0x20 && c < 0x7F) || c == '\t'; }

std::uint64_t word(std::string_view s, std::size_t i) {
  std::uint64_t w;
  std::memcpy(&w, s.data() + i, sizeof w);
  return w;
}

// Whether any of eight bytes is other than printable ASCII (tabs count as other here).
constexpr bool special(std::uint64_t w) {
  constexpr std::uint64_t ones = 0x0101010101010101u, high = 0x8080808080808080u;
  const std::uint64_t below20 = (w - 0x20 * ones) & ~w & high;
  const std::uint64_t del = ((w ^ (0x7F * ones)) - ones) & ~(w ^ (0x7F * ones)) & high;
  return ((w & high) | below20 | del) != 0;
}

// Counts the bytes of the text on the first pass, writes them on the second.
struct Sink {
  char* to = nullptr;
  std::size_t size = 0;
  std::vector<bool>* dim = nullptr;  // filled on the first pass, read on the second

  void put(std::string_view s) {
    if (to && !s.empty()) std::memcpy(to + size, s.data(), s.size());
    size += s.size();
  }
  void put(char c) {
    if (to) to[size] = c;
    ++size;
  }
  void putCleaned(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
      // Printable ASCII, nearly all of any output, is copied a run at a time.
      std::size_t plain = i;
      for (std::uint64_t w; plain + 8 <= line.size() && !special(w = word(line, plain));)
        plain += 8;
      while (plain < line.size() && printable(static_cast<unsigned char>(line[plain]))) ++plain;
      if (plain > i) {
        put(line.substr(i, plain - i));
        i = plain;
        continue;
      }
      const auto c = static_cast<unsigned char>(line[i]);
      if (c < 0x80) {
        if ((c < 0x20 && c != '\t') || c == 0x7F)
          put(kReplacement);
        else
          put(static_cast<char>(c));
        ++i;
      } else if (const std::size_t n = utf8Length(line, i)) {
        put(line.substr(i, n));
        i += n;
      } else {
        put(kReplacement);
        ++i;
      }
    }
  }
  // Lines after the first begin with the break before them.
  void line(std::string_view prefix, std::string_view text, bool dimmed = false) {
    if (lines++) put('\n');
    put(prefix);
    putCleaned(text);
    if (!to) dim->push_back(dimmed);
  }
  std::size_t lines = 0;
};

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
  using namespace std::string_view_literals;
  for (std::string_view channel : {"fixme:"sv, "err:"sv, "warn:"sv, "trace:"sv})
    if (startsWith(line, channel)) return true;
  return line.find("wine32 is missing"sv) != std::string_view::npos ||
         startsWith(line, "multiarch needs to be enabled first"sv) ||
         startsWith(line, "as root, please execute \"apt-get install wine32"sv);
}

namespace {

void render(const BuildReport& report, Sink& out) {
  out.line("> ", report.commandLine);
  out.line("in ", report.folder.string());
  std::string_view text = report.output;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // Asked once per line: the second pass reads the first one's answers.
    const bool dim = out.to ? (*out.dim)[out.lines] : isWineNoise(line);
    do {
      std::size_t cut = std::min(line.size(), kDisplayLine);
      // Never in the middle of a UTF-8 sequence.
      while (cut < line.size() && cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut;
      if (cut == 0) cut = std::min(line.size(), kDisplayLine);
      out.line({}, line.substr(0, cut), dim);
      line.remove_prefix(cut);
    } while (!line.empty());
  }
  if (report.droppedBytes)
    out.line("(" + std::to_string(report.droppedBytes) + " more bytes of output dropped)", {});
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
  out.line("= " + end + " after " + duration(report.elapsed), {});
}

}  // namespace

OutputText outputText(const BuildReport& report) {
  OutputText result;
  Sink count{nullptr, 0, &result.dim};
  render(report, count);
  result.bytes = std::make_unique_for_overwrite<char[]>(count.size);
  Sink write{result.bytes.get(), 0, &result.dim};
  render(report, write);
  result.size = write.size;
  return result;
}

// ----- The view -----

// Paints the noise lines grey: their runs are made when they are first painted, so a long
// output costs nothing for the lines never scrolled to.
class BuildOutputView::Dimmer final : public editor::ParagraphScanner {
public:
  explicit Dimmer(editor::CodeMemo& memo) : memo_(memo) {
    grey_.level = 0;
    grey_.foregnd = 0x00808080;
  }
  std::vector<bool> dim;

  void textReset() override {}
  void paragraphsReplaced(std::int64_t, std::int64_t, std::int64_t, bool) override {}
  void prepare(std::int64_t first, std::int64_t last) override {
    editor::ParagraphTable& table = paragraphsOf(memo_);
    last = std::min(last, static_cast<std::int64_t>(dim.size()) - 1);
    for (std::int64_t i = std::max<std::int64_t>(first, 0); i <= last; ++i) {
      if (!dim[static_cast<std::size_t>(i)]) continue;
      editor::Paragraph& p = table.at(i);
      if (p.extra() && !p.extra()->runs.empty()) continue;
      p.ensureExtra().runs = {{0, &grey_}};
    }
  }

private:
  editor::CodeMemo& memo_;
  editor::AttrState grey_;
};

BuildOutputView::BuildOutputView(platform::Clipboard* clipboard)
    : memo_(std::make_unique<editor::CodeMemo>()),
      clipboard_(std::make_unique<editor::MemoClipboard>(*memo_, clipboard)),
      dimmer_(std::make_unique<Dimmer>(*memo_)) {
  settings::applyErrorViewProfile(*memo_);
  memo_->setScanner(dimmer_.get());
}

BuildOutputView::~BuildOutputView() { memo_->setScanner(nullptr); }

void BuildOutputView::show(const BuildReport& report) {
  // The last report's text goes first: two large outputs are never held at once.
  dimmer_->dim.clear();
  memo_->clear();
  OutputText text = outputText(report);
  dimmer_->dim = std::move(text.dim);
  memo_->loadFromBuffer(std::move(text.bytes), text.size);
  memo_->setModified(false);
}

bool BuildOutputView::dimmed(std::int64_t paragraph) const {
  return paragraph >= 0 && static_cast<std::size_t>(paragraph) < dimmer_->dim.size() &&
         dimmer_->dim[static_cast<std::size_t>(paragraph)];
}

}  // namespace quillon::build
