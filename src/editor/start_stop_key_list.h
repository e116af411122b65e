#pragma once
#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/case_fold.h"
#include "editor/change_notifier.h"
#include "editor/keyword_info.h"

namespace quillon::editor {

// One start-stop key: a region that opens at startKey and closes at stopKey (or, with parEnd,
// at the end of its paragraph when the stop key is not found there).
struct StartStopInfo {
  KeywordInfo info;
  std::string startKey;     // as given; what the key file stores
  std::string stopKey;      // as given; empty means the region has no stop text
  std::string startSearch;  // startKey folded with the list's UpperCaseType unless match case
  std::string stopSearch;
  std::size_t startLength = 0;
  std::size_t stopLength = 0;
  bool parEnd = false;
  // Index of the nearest earlier key with the same options and start search text, or -1:
  // when that key's region ends at its stop key, this key's region opens right after it.
  int sameStart = -1;
  // Word-boundary demands, valid while the list is prepared. Each is set only for whole-word
  // keys whose own character at that end is not a separator.
  bool startSepBefore = false;
  bool startSepAfter = false;
  bool stopSepBefore = false;
  bool stopSepAfter = false;
};

// The start-stop keys in list order (earlier keys win at the same position). Every change
// clears the prepared flag; the scan calls prepare() with the editor's separators before use.
class StartStopKeyList {
public:
  int count() const { return static_cast<int>(keys_.size()); }
  bool empty() const { return keys_.empty(); }
  // Throws MemoError("List index out of bounds") outside the list.
  const StartStopInfo& item(int index) const;

  int add(std::string_view startKey, std::string_view stopKey, bool parEnd,
          const KeywordInfo& info);
  void remove(int index);
  void clear();

  UpperCaseType upperCaseType() const { return upperCaseType_; }
  // Derives every search text again from the texts as given; `userDefined` is copied.
  void setUpperCaseType(UpperCaseType type, const CaseFolder* userDefined = nullptr);
  const CaseFolder& folder() const { return folder_; }

  std::size_t maxStartLength() const { return maxStartLength_; }
  std::size_t maxStopLength() const {
    return maxStopLength_;
  }  // at least 2 when any key has parEnd

  bool prepared() const { return prepared_; }
  // `separators`: the characters that end words, as a set or as the characters themselves.
  void prepare(const std::bitset<256>& separators);
  void prepare(std::string_view separatorChars);

  void beginUpdate() { notifier_.hold(); }
  void endUpdate() { notifier_.release(); }
  int subscribe(ChangeNotifier::Handler handler) { return notifier_.subscribe(std::move(handler)); }
  void unsubscribe(int id) { notifier_.unsubscribe(id); }

private:
  void derive(std::size_t index);  // search texts, lengths and sameStart of one key
  void rederiveAll();
  void changed();

  std::vector<StartStopInfo> keys_;
  std::size_t maxStartLength_ = 0;
  std::size_t maxStopLength_ = 0;
  bool prepared_ = false;
  UpperCaseType upperCaseType_ = UpperCaseType::muAscii;
  CaseFolder folder_ = CaseFolder::ascii();
  ChangeNotifier notifier_;
};

}  // namespace quillon::editor
