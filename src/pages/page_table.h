#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/error_mark.h"
#include "pages/text_encoding.h"

namespace quillon::pages {

// One open document while another is on screen: its whole text and the view state the
// editor had when it was left.
struct Page {
  static constexpr int kCaptions = 20;  // 0-9 the "Set" items, 10-19 the "Goto" items
  using Captions = std::array<std::string, kCaptions>;

  std::string text;      // lines joined by CR LF
  std::string fileName;  // full path, or "Untitled"
  std::string ext;       // lower case with its dot, empty without one
  std::int64_t topLine = 0;
  std::int64_t caretPos = 0;
  bool modified = false;
  Captions bookmarkCaptions = bareCaptions();
  TextFormat format;                          // how the text goes back into its file
  std::vector<editor::ErrorMark> errorMarks;  // the last build's, never written to a file

  // Every bookmark slot empty: the captions are the bare digits.
  static Captions bareCaptions() {
    Captions c;
    for (int i = 0; i < kCaptions; ++i)
      c[static_cast<std::size_t>(i)] = std::string(1, static_cast<char>('0' + i % 10));
    return c;
  }
  void clear() { *this = Page{}; }
};

// The records behind the tabs. Record i belongs to tab i; the last record never belongs to a
// tab and serves as scratch space when pages are moved about.
class PageTable {
public:
  static constexpr int kRecords = 51;
  static constexpr int kMaxTabs = 50;
  // What a command that would open one more page than kMaxTabs says instead.
  static constexpr const char* kTooManyPages = "50 File MAX -- Close Excess First";
  static constexpr int kSpare = 50;

  Page& operator[](int i) { return pages_.at(static_cast<std::size_t>(i)); }
  const Page& operator[](int i) const { return pages_.at(static_cast<std::size_t>(i)); }
  void clearAll() {
    for (Page& p : pages_) p.clear();
  }

private:
  std::array<Page, kRecords> pages_;
};

}  // namespace quillon::pages
