#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::pages {

// One settings section seen as keys and values; the settings file engine implements it.
struct SectionStore {
  virtual ~SectionStore() = default;
  virtual std::optional<std::string> read(std::string_view key) const = 0;
  virtual void write(std::string_view key, std::string_view value) = 0;
  virtual void eraseSection() = 0;
};

// A most-recent-first list of texts with a maximum length and no two entries the same: the
// recent files, the last sessions and the Window menu's pages. What counts as the same is the
// list's own: session names are settings sections, the same in any letter case; file names
// are the same when they lead to one file. Texts are Windows-1252.
//
// Two texts are the same when they are equal or their keys are equal and not empty. Each
// entry's key is taken when the entry is added or loaded, so a look-up costs one key, not one
// per entry (a file's key is a stat).
class RecentList {
public:
  using Key = std::string (*)(std::string_view);
  // The Windows-1252 upper-cased text.
  static std::string upperCased(std::string_view text);

  explicit RecentList(std::size_t maximum, Key key = upperCased);

  // Puts the text at the top. A listed text moves up and takes the new spelling, which is the
  // one just seen to be valid; the oldest entry drops out past the maximum.
  void add(std::string_view text);
  bool remove(std::string_view text);
  void clear() {
    entries_.clear();
    keys_.clear();
  }
  bool contains(std::string_view text) const { return indexOf(text).has_value(); }
  std::optional<std::size_t> indexOf(std::string_view text) const;

  const std::vector<std::string>& entries() const { return entries_; }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  std::size_t maximum() const { return maximum_; }
  bool full() const { return entries_.size() >= maximum_; }

  enum class Shown { FullText, FileNamePart };
  // Menu captions in list order: "&1 text" to "&9 text", then "&A text", "&B text", ...
  // Ampersands inside the text are doubled so that they show instead of underlining.
  std::vector<std::string> captions(Shown shown = Shown::FullText) const;

  // The stored form: keys "H0", "H1", ... most recent first; reading stops at the first
  // missing or empty key.
  void load(const SectionStore& section);
  void save(SectionStore& section) const;

private:
  std::size_t maximum_;
  Key key_;
  std::vector<std::string> entries_;
  std::vector<std::string> keys_;  // beside entries_, index for index
};

}  // namespace quillon::pages
