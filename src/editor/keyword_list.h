#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/case_fold.h"
#include "editor/change_notifier.h"
#include "editor/keyword_info.h"

namespace quillon::editor {

// The editor's keywords in list order, each with its attributes. Alongside the texts the list
// keeps what the keyword scan needs ready-made: a search text per keyword (folded with the
// current UpperCaseType unless the keyword matches case), the longest keyword length, whether
// any keyword ignores case, and the active keywords grouped by the first byte of their search
// text. All of it is brought up to date by every change, before handlers are notified.
// Duplicates are kept as they stand; earlier entries win in the scan.
class KeywordList {
public:
  KeywordList() = default;
  // A copy takes the other list's case folding too; it does not take its handlers.
  KeywordList(const KeywordList& other)
      : upperCaseType_(other.upperCaseType_), folder_(other.folder_) {
    assign(other);
  }
  KeywordList& operator=(const KeywordList& other) {
    if (this != &other) assign(other);
    return *this;
  }

  int count() const { return static_cast<int>(entries_.size()); }
  bool empty() const { return entries_.empty(); }

  // Item access; an index outside the list throws MemoError("List index out of bounds").
  const std::string& text(int index) const;
  const KeywordInfo& info(int index) const;
  std::size_t length(int index) const { return text(index).size(); }
  const std::string& searchText(int index) const;
  int indexOf(std::string_view text) const;  // exact text, first match, -1 when absent

  int add(std::string_view text, const KeywordInfo& info);
  void insert(int index, std::string_view text, const KeywordInfo& info);  // index may be count()
  void remove(int index);
  void clear();
  void setText(int index, std::string_view text);
  void setInfo(int index, const KeywordInfo& info);
  // Copies texts and records; keeps this list's own case folding and handlers.
  void assign(const KeywordList& other);

  UpperCaseType upperCaseType() const { return upperCaseType_; }
  // `userDefined` is copied; it is used only with muUserDefined (ASCII when not given).
  void setUpperCaseType(UpperCaseType type, const CaseFolder* userDefined = nullptr);
  const CaseFolder& folder() const { return folder_; }

  std::size_t maxLength() const { return maxLength_; }
  bool anyIgnoresCase() const { return anyIgnoresCase_; }

  // Indices, in list order, of keywords the scan must try: ContextNum != 0 and a non-empty text.
  const std::vector<int>& activeIndices() const { return active_; }

  // Holding back coalesces a batch of changes into one notification.
  void beginUpdate() { notifier_.hold(); }
  void endUpdate() { notifier_.release(); }
  int subscribe(ChangeNotifier::Handler handler) { return notifier_.subscribe(std::move(handler)); }
  void unsubscribe(int id) { notifier_.unsubscribe(id); }

private:
  struct Entry {
    std::string text;
    KeywordInfo info;
  };

  void checkIndex(int index) const;
  std::string makeSearchText(const Entry& entry) const;
  void indexEntry(int index);  // appends entry `index`'s derived data; entries before it are done
  void rebuild();
  void changed() { notifier_.notify(); }

  std::vector<Entry> entries_;
  std::vector<std::string> searchTexts_;
  std::vector<int> active_;
  std::size_t maxLength_ = 0;
  bool anyIgnoresCase_ = false;
  UpperCaseType upperCaseType_ = UpperCaseType::muAscii;
  CaseFolder folder_ = CaseFolder::ascii();
  ChangeNotifier notifier_;
};

}  // namespace quillon::editor
