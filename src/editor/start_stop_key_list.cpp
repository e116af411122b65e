#include "editor/start_stop_key_list.h"

#include <algorithm>

#include "editor/memo_error.h"

namespace quillon::editor {

const StartStopInfo& StartStopKeyList::item(int index) const {
  if (index < 0 || index >= count()) throw MemoError(kListIndexOutOfBounds);
  return keys_[static_cast<std::size_t>(index)];
}

void StartStopKeyList::derive(std::size_t index) {
  StartStopInfo& k = keys_[index];
  const bool fold = !k.info.matchCase();
  k.startSearch = fold ? folder_.upper(k.startKey) : k.startKey;
  k.stopSearch = fold ? folder_.upper(k.stopKey) : k.stopKey;
  k.startLength = k.startKey.size();
  k.stopLength = k.stopKey.size();
  k.sameStart = -1;
  for (std::size_t j = index; j-- > 0;) {
    if (keys_[j].info.options == k.info.options && keys_[j].startSearch == k.startSearch) {
      k.sameStart = static_cast<int>(j);
      break;
    }
  }
  maxStartLength_ = std::max(maxStartLength_, k.startLength);
  maxStopLength_ =
      std::max(maxStopLength_, k.parEnd ? std::max<std::size_t>(k.stopLength, 2) : k.stopLength);
}

void StartStopKeyList::rederiveAll() {
  maxStartLength_ = 0;
  maxStopLength_ = 0;
  for (std::size_t i = 0; i < keys_.size(); ++i) derive(i);
}

void StartStopKeyList::changed() {
  prepared_ = false;
  notifier_.notify();
}

int StartStopKeyList::add(std::string_view startKey, std::string_view stopKey, bool parEnd,
                          const KeywordInfo& info) {
  StartStopInfo k;
  k.info = info;
  k.startKey = std::string(startKey);
  k.stopKey = std::string(stopKey);
  k.parEnd = parEnd;
  keys_.push_back(std::move(k));
  derive(keys_.size() - 1);
  changed();
  return count() - 1;
}

void StartStopKeyList::remove(int index) {
  if (index < 0 || index >= count()) throw MemoError(kListIndexOutOfBounds);
  keys_.erase(keys_.begin() + index);
  rederiveAll();
  changed();
}

void StartStopKeyList::clear() {
  keys_.clear();
  rederiveAll();
  changed();
}

void StartStopKeyList::setUpperCaseType(UpperCaseType type, const CaseFolder* userDefined) {
  upperCaseType_ = type;
  folder_ = CaseFolder::forType(type, userDefined);
  rederiveAll();
  changed();
}

void StartStopKeyList::prepare(const std::bitset<256>& separators) {
  auto isSep = [&](char c) { return separators[static_cast<unsigned char>(c)]; };
  for (auto& k : keys_) {
    const bool whole = k.info.wholeWordsOnly();
    k.startSepBefore = whole && !k.startKey.empty() && !isSep(k.startKey.front());
    k.startSepAfter = whole && !k.startKey.empty() && !isSep(k.startKey.back());
    k.stopSepBefore = whole && !k.stopKey.empty() && !isSep(k.stopKey.front());
    k.stopSepAfter = whole && !k.stopKey.empty() && !isSep(k.stopKey.back());
  }
  prepared_ = true;
}

void StartStopKeyList::prepare(std::string_view separatorChars) {
  std::bitset<256> set;
  for (char c : separatorChars) set.set(static_cast<unsigned char>(c));
  prepare(set);
}

}  // namespace quillon::editor
