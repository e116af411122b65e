#include "pages/recent_list.h"

#include "editor/case_fold.h"

namespace quillon::pages {
namespace {

std::string_view fileNamePart(std::string_view text) {
  auto slash = text.find_last_of("\\/");
  return slash == std::string_view::npos ? text : text.substr(slash + 1);
}

// Nine digits and twenty-six letters are the accelerators a menu can tell apart; entries past
// them get none rather than one that repeats an earlier letter.
std::string accelerator(std::size_t index) {
  if (index < 9) return "&" + std::to_string(index + 1) + " ";
  if (index < 9 + 26) return std::string("&") + static_cast<char>('A' + (index - 9)) + " ";
  return {};
}

}  // namespace

std::string RecentList::upperCased(std::string_view text) {
  return editor::CaseFolder::ansi().upper(text);
}

RecentList::RecentList(std::size_t maximum, Key key) : maximum_(maximum), key_(key) {}

std::optional<std::size_t> RecentList::indexOf(std::string_view text) const {
  const std::string key = key_(text);
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i] == text || (!key.empty() && keys_[i] == key)) return i;
  return std::nullopt;
}

void RecentList::add(std::string_view text) {
  // An empty entry would end the stored list early when it is read back.
  if (maximum_ == 0 || text.empty()) return;
  if (auto index = indexOf(text)) {
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*index));
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(*index));
  }
  entries_.insert(entries_.begin(), std::string(text));
  keys_.insert(keys_.begin(), key_(text));
  if (entries_.size() > maximum_) {
    entries_.resize(maximum_);
    keys_.resize(maximum_);
  }
}

bool RecentList::remove(std::string_view text) {
  auto index = indexOf(text);
  if (!index) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*index));
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(*index));
  return true;
}

std::vector<std::string> RecentList::captions(Shown shown) const {
  std::vector<std::string> result;
  result.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    std::string caption = accelerator(i);
    for (char c :
         shown == Shown::FileNamePart ? fileNamePart(entries_[i]) : std::string_view(entries_[i])) {
      if (c == '&') caption += '&';
      caption += c;
    }
    result.push_back(std::move(caption));
  }
  return result;
}

void RecentList::load(const SectionStore& section) {
  clear();
  // The stored list is read in full before duplicates fold, so a hand-edited section with a
  // repeated entry keeps its first, most recent place.
  for (std::size_t i = 0; i < maximum_; ++i) {
    auto value = section.read("H" + std::to_string(i));
    if (!value || value->empty()) break;
    if (contains(*value)) continue;
    keys_.push_back(key_(*value));
    entries_.push_back(std::move(*value));
  }
}

void RecentList::save(SectionStore& section) const {
  section.eraseSection();
  for (std::size_t i = 0; i < entries_.size() && i < maximum_; ++i)
    section.write("H" + std::to_string(i), entries_[i]);
}

}  // namespace quillon::pages
