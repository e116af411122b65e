#include "editor/keyword_list.h"

#include <algorithm>

#include "editor/memo_error.h"

namespace quillon::editor {

void KeywordList::checkIndex(int index) const {
  if (index < 0 || index >= count()) throw MemoError(kListIndexOutOfBounds);
}

const std::string& KeywordList::text(int index) const {
  checkIndex(index);
  return entries_[static_cast<std::size_t>(index)].text;
}

const KeywordInfo& KeywordList::info(int index) const {
  checkIndex(index);
  return entries_[static_cast<std::size_t>(index)].info;
}

const std::string& KeywordList::searchText(int index) const {
  checkIndex(index);
  return searchTexts_[static_cast<std::size_t>(index)];
}

int KeywordList::indexOf(std::string_view text) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].text == text) return static_cast<int>(i);
  return -1;
}

std::string KeywordList::makeSearchText(const Entry& entry) const {
  return entry.info.matchCase() ? entry.text : folder_.upper(entry.text);
}

void KeywordList::indexEntry(int index) {
  const Entry& e = entries_[static_cast<std::size_t>(index)];
  searchTexts_.push_back(makeSearchText(e));
  maxLength_ = std::max(maxLength_, e.text.size());
  if (!e.info.matchCase()) anyIgnoresCase_ = true;
  if (e.info.contextNum != 0 && !searchTexts_.back().empty()) active_.push_back(index);
}

void KeywordList::rebuild() {
  searchTexts_.clear();
  searchTexts_.reserve(entries_.size());
  active_.clear();
  maxLength_ = 0;
  anyIgnoresCase_ = false;
  for (int i = 0; i < count(); ++i) indexEntry(i);
}

int KeywordList::add(std::string_view text, const KeywordInfo& info) {
  entries_.push_back({std::string(text), info});
  // Appending leaves every earlier derived value valid, so a load of many keywords stays linear.
  indexEntry(count() - 1);
  changed();
  return count() - 1;
}

void KeywordList::insert(int index, std::string_view text, const KeywordInfo& info) {
  if (index < 0 || index > count()) throw MemoError(kListIndexOutOfBounds);
  entries_.insert(entries_.begin() + index, {std::string(text), info});
  rebuild();
  changed();
}

void KeywordList::remove(int index) {
  checkIndex(index);
  entries_.erase(entries_.begin() + index);
  rebuild();
  changed();
}

void KeywordList::clear() {
  entries_.clear();
  rebuild();
  changed();
}

void KeywordList::setText(int index, std::string_view text) {
  checkIndex(index);
  entries_[static_cast<std::size_t>(index)].text = std::string(text);
  rebuild();
  changed();
}

void KeywordList::setInfo(int index, const KeywordInfo& info) {
  checkIndex(index);
  entries_[static_cast<std::size_t>(index)].info = info;
  rebuild();
  changed();
}

void KeywordList::assign(const KeywordList& other) {
  if (this == &other) return;
  entries_ = other.entries_;
  rebuild();
  changed();
}

void KeywordList::setUpperCaseType(UpperCaseType type, const CaseFolder* userDefined) {
  upperCaseType_ = type;
  folder_ = CaseFolder::forType(type, userDefined);
  rebuild();
  changed();
}

}  // namespace quillon::editor
