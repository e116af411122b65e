#pragma once
#include <cstdint>
#include <deque>
#include <string>

namespace quillon::editor {

// The undo list: records, a position (how many can be undone), a byte budget and a count
// limit. A record says which stretch [start, stop) a change inserted and what text it removed;
// undoing it replaces the stretch by the removed text, which records the inverse in its slot.
class UndoHistory {
public:
  using Offset = std::int64_t;
  static constexpr std::int64_t kRecordOverhead = 13;
  static constexpr std::int64_t kMaxRecordSize = 2147483547;
  static constexpr std::int64_t kMaxLevel = 134217727;

  struct Record {
    Offset start = 0;
    Offset stop = 0;
    bool group = false;  // undone together with the record before it
    std::string removed;
    std::int64_t size() const;
  };

  std::size_t count() const { return records_.size(); }
  std::size_t position() const { return position_; }
  std::int64_t totalSize() const { return total_; }
  const Record& at(std::size_t i) const { return records_.at(i); }
  Record& at(std::size_t i) { return records_.at(i); }

  std::int64_t maxSpace() const { return maxSpace_; }
  void setMaxSpace(std::int64_t bytes) { maxSpace_ = bytes; }
  std::int64_t maxLevel() const { return maxLevel_; }
  // Throws "Undo set too high" above kMaxLevel; otherwise trims to the new limit.
  void setMaxLevel(std::int64_t level);

  // Recording one change. `replaying` is true while an undo or redo inserts.
  void dropRedo();
  // Extends the last record when a typed run continues it; returns false when it cannot.
  bool tryExtend(Offset insertAt, Offset insertedLength);
  void record(Offset start, Offset insertedLength, std::string removed);
  // False while a step has given its history up: the caller need not build what it would record.
  bool accepting() const { return !(stepOpen_ && stepOverflow_); }
  void clear();

  // The records made until endStep are undone as one, and kept whole or not at all: a step
  // larger than the budget empties the history rather than leaving half of it to undo.
  void beginStep();
  void endStep();

  // Moves the position, used by undo and redo around their insertion.
  void setPosition(std::size_t p) { position_ = p; }

private:
  void trimToBudget();
  void popFront();
  void popBack();

  std::deque<Record> records_;
  std::size_t position_ = 0;
  std::int64_t total_ = 0;
  std::int64_t maxSpace_ = 65536;
  std::int64_t maxLevel_ = 256;
  bool stepOpen_ = false;
  bool stepOverflow_ = false;
  std::size_t stepFirst_ = 0;
  std::int64_t stepSize_ = 0;
};

}  // namespace quillon::editor
