#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "build/build_commands.h"

namespace quillon::editor {
class CodeMemo;
class MemoClipboard;
}  // namespace quillon::editor
namespace quillon::platform {
class Clipboard;
}

namespace quillon::build {

// The text of the "Build Output" view for a report, one line per paragraph: the command line,
// the working folder, what the child printed, how many bytes were not kept, then how it ended
// and how long it took. Printed bytes are shown as they came (UTF-8 where valid); control
// bytes other than tabs become U+FFFD and a line longer than kDisplayLine is cut into display
// lines of that length, so nothing printed is lost and no single line can stall the view.
// Lines are joined by LF; the text is made in one buffer of its exact size, as large outputs
// are megabytes.
struct OutputText {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  std::vector<bool> dim;  // per line: Wine's own noise, shown but set back
  std::string_view text() const { return {bytes.get(), size}; }
};

inline constexpr std::size_t kDisplayLine = 4096;

OutputText outputText(const BuildReport& report);
// A line Wine prints about itself rather than the compiler: debug channel messages
// ("fixme:", "err:", "0024:fixme:ole:..."), and the hint that the 32-bit Wine is missing.
bool isWineNoise(std::string_view line);

// The view's model: a read-only editor holding the last report's text, Wine's noise lines
// painted in grey. The editor and the dimmed lines change together, only in show().
class BuildOutputView {
public:
  explicit BuildOutputView(platform::Clipboard* clipboard = nullptr);
  ~BuildOutputView();
  BuildOutputView(const BuildOutputView&) = delete;
  BuildOutputView& operator=(const BuildOutputView&) = delete;

  void show(const BuildReport& report);
  bool dimmed(std::int64_t paragraph) const;
  editor::CodeMemo& memo() { return *memo_; }
  editor::MemoClipboard& clipboard() { return *clipboard_; }

private:
  class Dimmer;
  std::unique_ptr<editor::CodeMemo> memo_;
  std::unique_ptr<editor::MemoClipboard> clipboard_;
  std::unique_ptr<Dimmer> dimmer_;
};

}  // namespace quillon::build
