#include "build/error_marker.h"

#include <map>

#include "build/error_line.h"
#include "platform/ascii_text.h"
#include "platform/file_identity.h"
#include "platform/regular_file.h"
#include "platform/text_lines.h"

namespace quillon::build {

namespace fs = std::filesystem;

namespace {

// An error list this long is no compiler's; marks stop there.
constexpr std::uint64_t kErrorFileLimit = 64u << 20;

std::string fileOfPage(const pages::DocumentCommands& documents, int i) {
  return i == documents.currentTab() ? documents.currentFile() : documents.page(i).fileName;
}

}  // namespace

void ErrorMarker::mark(const fs::path& errorFile, const std::string& origin) {
  std::error_code ec;
  const std::optional<std::string> text = platform::readRegularFile(errorFile, kErrorFileLimit, ec);
  if (!text) return;

  // Caption (folded) -> the tab it means, found once per name.
  std::map<std::string, int> tabs;
  const std::string folder = platform::fileKey(errorFile.parent_path().string());
  auto tabFor = [&](const std::string& name) {
    const std::string key = platform::asciiLowered(name);
    if (const auto found = tabs.find(key); found != tabs.end()) return found->second;
    int tab = -1;
    for (int i = 0; i < documents_.tabCount(); ++i) {
      if (platform::asciiLowered(documents_.tabCaptions()[static_cast<std::size_t>(i)]) != key)
        continue;
      if (tab < 0) tab = i;
      if (!folder.empty() &&
          platform::fileKey(fs::path(fileOfPage(documents_, i)).parent_path().string()) == folder) {
        tab = i;
        break;
      }
    }
    return tabs[key] = tab;
  };

  std::map<int, std::vector<editor::ErrorMark>> found;
  platform::forEachLine(*text, [&](const platform::TextLine& line) {
    const ErrorLine error = ErrorLine::parse(line.text);
    if (!error.leadsSomewhere() || *error.lineNumber < 1) return;
    const int tab = tabFor(error.fileName);
    if (tab < 0) return;
    const std::size_t close = line.text.find(')');
    found[tab].push_back(
        {*error.lineNumber - 1, std::string(platform::trim(line.text.substr(close + 1))), origin});
  });
  for (auto& [tab, marks] : found) {
    std::vector<editor::ErrorMark> kept = documents_.errorMarks(tab);
    std::erase_if(kept, [&origin](const editor::ErrorMark& m) { return m.origin == origin; });
    kept.insert(kept.end(), marks.begin(), marks.end());
    documents_.setErrorMarks(tab, std::move(kept));
  }
}

void ErrorMarker::clear(const std::string& origin) {
  for (int i = 0; i < documents_.tabCount(); ++i) {
    std::vector<editor::ErrorMark> marks = documents_.errorMarks(i);
    const std::size_t before = marks.size();
    std::erase_if(marks, [&origin](const editor::ErrorMark& m) { return m.origin == origin; });
    // The page on screen is always set: marks its edits have taken away go for good.
    if (marks.size() != before || i == documents_.currentTab())
      documents_.setErrorMarks(i, std::move(marks));
  }
}

}  // namespace quillon::build
