#include "editor/undo_history.h"

#include <algorithm>

#include "editor/memo_error.h"

namespace quillon::editor {

std::int64_t UndoHistory::Record::size() const {
  return std::min<std::int64_t>(static_cast<std::int64_t>(removed.size()) + kRecordOverhead,
                                kMaxRecordSize);
}

void UndoHistory::clear() {
  records_.clear();
  position_ = 0;
  total_ = 0;
}

void UndoHistory::setMaxLevel(std::int64_t level) {
  if (level > kMaxLevel) throw MemoError(kUndoSetTooHigh);
  maxLevel_ = level;
  const std::size_t limit = static_cast<std::size_t>(std::max<std::int64_t>(level, 0));
  const std::size_t keep = std::max(position_, limit);
  while (records_.size() > keep) popBack();
  while (position_ > limit) popFront();
}

// A group goes whole: half of one would undo into a text that never was.
void UndoHistory::popFront() {
  do {
    total_ -= records_.front().size();
    records_.pop_front();
    if (position_ > 0) --position_;
  } while (!records_.empty() && records_.front().group);
}

void UndoHistory::popBack() {
  bool grouped = false;
  do {
    grouped = records_.back().group;
    total_ -= records_.back().size();
    records_.pop_back();
  } while (grouped && !records_.empty());
  position_ = std::min(position_, records_.size());
}

void UndoHistory::dropRedo() {
  while (records_.size() > position_) {
    total_ -= records_.back().size();
    records_.pop_back();
  }
}

bool UndoHistory::tryExtend(Offset insertAt, Offset insertedLength) {
  if (position_ == 0 || position_ != records_.size()) return false;
  Record& last = records_[position_ - 1];
  if (last.stop != insertAt || last.start == insertAt) return false;
  last.stop = insertAt + insertedLength;
  return true;
}

void UndoHistory::beginStep() {
  stepOpen_ = true;
  stepOverflow_ = false;
  stepFirst_ = position_;
  stepSize_ = 0;
}

void UndoHistory::endStep() {
  if (!stepOpen_) return;
  stepOpen_ = false;
  if (!stepOverflow_) trimToBudget();
}

void UndoHistory::record(Offset start, Offset insertedLength, std::string removed) {
  if (!accepting()) return;
  Record r;
  r.start = start;
  r.stop = start + insertedLength;
  r.removed = std::move(removed);
  if (static_cast<std::int64_t>(r.removed.size()) + kRecordOverhead >= kMaxRecordSize) {
    // A record this large cannot share the history with anything.
    clear();
  }
  const std::int64_t size = r.size();
  if (position_ < records_.size()) {
    total_ -= records_[position_].size();
    records_[position_] = std::move(r);
  } else {
    records_.push_back(std::move(r));
  }
  total_ += size;
  ++position_;
  if (!stepOpen_) {
    trimToBudget();
    return;
  }
  // The history may have been cleared under the step (a very large record).
  if (position_ - 1 < stepFirst_) stepFirst_ = position_ - 1;
  if (position_ - 1 > stepFirst_) records_[position_ - 1].group = true;
  stepSize_ += size;
  if (stepSize_ > maxSpace_) {
    clear();
    stepOverflow_ = true;
  }
}

void UndoHistory::trimToBudget() {
  while (total_ > maxSpace_ && records_.size() > position_) popBack();
  while (total_ > maxSpace_ && position_ > 0) popFront();
}

}  // namespace quillon::editor
