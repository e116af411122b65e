#include "editor/paragraph_table.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>

#include "editor/memo_error.h"

namespace quillon::editor {


ParagraphTable::ParagraphTable() { clear(); }

ParagraphTable::~ParagraphTable() {
  for (auto& b : blocks_)
    for (auto& p : b->paras) releaseText(p);
}

void ParagraphTable::releaseText(Paragraph& p) {
  if (p.capacity > 0) {
    std::free(p.data);
  } else if (p.data) {
    auto it = arenas_.upper_bound(p.data);
    assert(it != arenas_.begin());
    --it;
    if (--it->second.users == 0 && &it->second != loadingArena_) arenas_.erase(it);
  }
  p.data = nullptr;
  p.length = 0;
  p.capacity = 0;
}

void ParagraphTable::clear() {
  clearForLoad();
  appendBorrowed(nullptr, 0, 0);
  finishLoad();
}

void ParagraphTable::clearForLoad() {
  for (auto& b : blocks_)
    for (auto& p : b->paras) releaseText(p);
  blocks_.clear();
  arenas_.clear();
  loadingArena_ = nullptr;
  paragraphCount_ = 0;
  totalUnits_ = 0;
  totalLines_ = 0;
  structureChanged();
}

const char* ParagraphTable::adoptArena(std::unique_ptr<char[]> buffer, std::size_t size) {
  const char* key = buffer.get();
  Arena& a = arenas_[key];
  a.memory = std::move(buffer);
  a.size = size;
  a.users = 0;
  loadingArena_ = &a;
  return key;
}

void ParagraphTable::appendBorrowed(const char* data, std::uint32_t length, std::uint8_t extraFlags) {
  if (blocks_.empty() || blocks_.back()->paras.size() >= kBlockSize) {
    blocks_.push_back(std::make_unique<Block>());
    blocks_.back()->paras.reserve(kBlockSize);
  }
  Block& b = *blocks_.back();
  Paragraph p;
  if (data) {
    p.data = const_cast<char*>(data);
    ++loadingArena_->users;
  } else {
    p.data = static_cast<char*>(std::malloc(1));
    if (!p.data) throw std::bad_alloc();
    p.data[0] = 0;
    p.capacity = 1;
  }
  p.length = length;
  p.flags = static_cast<std::uint8_t>(Paragraph::kLaidOut | extraFlags);
  b.paras.push_back(std::move(p));
  b.units += static_cast<Offset>(length) + 2;
  b.lines += 1;
  ++paragraphCount_;
  totalUnits_ += static_cast<Offset>(length) + 2;
  totalLines_ += 1;
}

void ParagraphTable::finishLoad() {
  if (loadingArena_ && loadingArena_->users == 0) {
    for (auto it = arenas_.begin(); it != arenas_.end(); ++it)
      if (&it->second == loadingArena_) {
        arenas_.erase(it);
        break;
      }
  }
  loadingArena_ = nullptr;
  for (auto& b : blocks_) b->invalidateFrom(0);
  structureChanged();
}

// --- Fenwick tree over blocks ---
// One tree of nodes holding all three sums: a descent by one sum collects the other two from
// the same nodes, and each step touches one cache line instead of three.

void ParagraphTable::fenwickAdd(std::size_t i, Offset units, std::int64_t lines, std::int64_t paras) const {
  for (++i; i <= fen_.size(); i += i & (~i + 1)) {
    fen_[i - 1].units += units;
    fen_[i - 1].lines += lines;
    fen_[i - 1].paras += paras;
  }
}

ParagraphTable::Prefix ParagraphTable::prefixOf(std::size_t block) const {
  if (!fenwickValid_) rebuildFenwick();
  Prefix p;
  p.block = block;
  for (std::size_t i = block; i > 0; i -= i & (~i + 1)) {
    p.units += fen_[i - 1].units;
    p.lines += fen_[i - 1].lines;
    p.paras += fen_[i - 1].paras;
  }
  return p;
}

void ParagraphTable::rebuildFenwick() const {
  const std::size_t n = blocks_.size();
  fen_.assign(n, FenNode{});
  for (std::size_t i = 0; i < n; ++i) {
    fen_[i].units += blocks_[i]->units;
    fen_[i].lines += blocks_[i]->lines;
    fen_[i].paras += static_cast<std::int64_t>(blocks_[i]->paras.size());
    const std::size_t parent = i + ((i + 1) & (~(i + 1) + 1));
    if (parent < n) {
      fen_[parent].units += fen_[i].units;
      fen_[parent].lines += fen_[i].lines;
      fen_[parent].paras += fen_[i].paras;
    }
  }
  fenStep_ = 1;
  while (fenStep_ * 2 <= n) fenStep_ *= 2;
  fenwickValid_ = true;
}

// The block holding `value` of the chosen sum: the last block whose preceding sum is <= value,
// with all three sums of the blocks before it. A value past the end gives the last block.
ParagraphTable::Prefix ParagraphTable::descend(std::int64_t value, std::int64_t FenNode::*key) const {
  if (!fenwickValid_) rebuildFenwick();
  const std::size_t n = fen_.size();
  Prefix acc;
  std::size_t pos = 0;
  std::int64_t sum = 0;
  for (std::size_t step = fenStep_; step > 0; step /= 2) {
    const std::size_t next = pos + step;
    if (next > n) continue;
    const FenNode& node = fen_[next - 1];
    if (sum + node.*key <= value) {
      pos = next;
      sum += node.*key;
      acc.units += node.units;
      acc.lines += node.lines;
      acc.paras += node.paras;
    }
  }
  if (pos >= blocks_.size()) return prefixOf(blocks_.size() - 1);
  acc.block = pos;
  return acc;
}

ParagraphTable::Location ParagraphTable::locate(std::int64_t index) const {
  if (index < 0 || index >= paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  if (hinted(index)) return {blocks_[hint_.block].get(), hint_.block, hint_.local};
  const Prefix p = descend(index, &FenNode::paras);
  return {blocks_[p.block].get(), p.block, static_cast<std::size_t>(index - p.paras)};
}

Paragraph& ParagraphTable::at(std::int64_t index) {
  Location l = locate(index);
  return l.block->paras[l.local];
}

const Paragraph& ParagraphTable::at(std::int64_t index) const {
  Location l = locate(index);
  return l.block->paras[l.local];
}

Offset ParagraphTable::startOf(std::int64_t index) const {
  if (hinted(index)) return hint_.start;
  Location l = locate(index);
  const Offset start = prefixOf(l.blockIndex).units + l.block->unitsBefore(l.local);
  remember(index, start, l.blockIndex, l.local);
  return start;
}

std::uint32_t ParagraphTable::lengthOf(std::int64_t index) const {
  if (hinted(index)) return static_cast<std::uint32_t>(hint_.units - 2);
  return at(index).length;
}

std::uint32_t ParagraphTable::lineCountOf(std::int64_t index) const {
  Location l = locate(index);
  if (l.block->singleLines()) return 1;
  return l.block->paras[l.local].lineCount;
}

std::int64_t ParagraphTable::firstLineOf(std::int64_t index) const {
  if (hinted(index) && hint_.firstLine >= 0) return hint_.firstLine;
  Location l = locate(index);
  const std::int64_t line = prefixOf(l.blockIndex).lines + l.block->linesBefore(l.local);
  if (hinted(index)) hint_.firstLine = line;
  return line;
}

std::int64_t ParagraphTable::paragraphAt(Offset offset) const {
  if (offset <= 0) return 0;
  if (offset >= charCount()) return paragraphCount_ - 1;
  if (hint_.version == version_ && offset >= hint_.start && offset < hint_.start + hint_.units) return hint_.index;
  const Prefix p = descend(offset, &FenNode::units);
  Block& block = *blocks_[p.block];
  const std::size_t local = block.findUnits(offset - p.units);
  const std::int64_t index = p.paras + static_cast<std::int64_t>(local);
  remember(index, p.units + block.unitStart[local], p.block, local, p.lines + block.linesBefore(local));
  return index;
}

std::int64_t ParagraphTable::paragraphAtLine(std::int64_t line) const {
  if (line <= 0) return 0;
  if (line >= totalLines_) return paragraphCount_ - 1;
  if (hint_.version == version_ && hint_.firstLine >= 0 && line >= hint_.firstLine &&
      line < hint_.firstLine + hint_.lineCount)
    return hint_.index;
  const Prefix p = descend(line, &FenNode::lines);
  Block& block = *blocks_[p.block];
  const std::size_t local = block.findLine(line - p.lines);
  const std::int64_t index = p.paras + static_cast<std::int64_t>(local);
  remember(index, p.units + block.unitsBefore(local), p.block, local, p.lines + block.linesBefore(local));
  return index;
}

void ParagraphTable::adjustBlock(std::size_t blockIndex, Offset unitsDelta, std::int64_t linesDelta,
                                 std::int64_t parasDelta) {
  Block& b = *blocks_[blockIndex];
  ++version_;
  b.units += unitsDelta;
  b.lines += linesDelta;
  totalUnits_ += unitsDelta;
  totalLines_ += linesDelta;
  paragraphCount_ += parasDelta;
  if (fenwickValid_) {
    fenwickAdd(blockIndex, unitsDelta, linesDelta, parasDelta);
  }
}

void ParagraphTable::ensureOwned(Paragraph& p, std::uint32_t newLength) {
  if (p.capacity > 0 && newLength + 1u <= p.capacity) return;
  const std::uint64_t cap = std::uint64_t{newLength} + newLength / 64 + 1;
  char* fresh;
  if (p.capacity > 0) {
    fresh = static_cast<char*>(std::realloc(p.data, cap));
    if (!fresh) throw std::bad_alloc();
  } else {
    fresh = static_cast<char*>(std::malloc(cap));
    if (!fresh) throw std::bad_alloc();
    if (p.length) std::memcpy(fresh, p.data, p.length);
    const std::uint32_t keepLength = p.length;
    releaseText(p);
    p.length = keepLength;
  }
  p.data = fresh;
  p.capacity = static_cast<std::uint32_t>(cap);
}

void ParagraphTable::replaceInParagraph(std::int64_t index, std::uint32_t pos, std::uint32_t removeLength,
                                        std::string_view text) {
  Location l = locate(index);
  Paragraph& p = l.block->paras[l.local];
  assert(pos + removeLength <= p.length);
  const std::uint64_t newLength64 = std::uint64_t{p.length} - removeLength + text.size();
  if (newLength64 > 0xFFFFFFF0u) throw MemoError(kTextTooLong);
  const auto newLength = static_cast<std::uint32_t>(newLength64);
  const std::uint32_t tail = p.length - pos - removeLength;
  if (text.size() == removeLength && p.capacity > 0) {
    if (!text.empty()) std::memcpy(p.data + pos, text.data(), text.size());
    return;
  }
  // Keep a copy when the inserted text points into this paragraph's own buffer.
  std::string keep;
  if (!text.empty() && text.data() >= p.data && text.data() < p.data + p.length) {
    keep.assign(text);
    text = keep;
  }
  ensureOwned(p, std::max(newLength, p.length));
  std::memmove(p.data + pos + text.size(), p.data + pos + removeLength, tail);
  if (!text.empty()) std::memcpy(p.data + pos, text.data(), text.size());
  const Offset delta = static_cast<Offset>(newLength) - static_cast<Offset>(p.length);
  p.length = newLength;
  p.data[newLength] = 0;
  l.block->invalidateFrom(l.local);
  adjustBlock(l.blockIndex, delta, 0, 0);
}

void ParagraphTable::setText(std::int64_t index, std::string_view text) {
  replaceInParagraph(index, 0, at(index).length, text);
}

void ParagraphTable::setLineCount(std::int64_t index, std::uint32_t lines) {
  Location l = locate(index);
  Paragraph& p = l.block->paras[l.local];
  if (p.lineCount == lines) return;
  const std::int64_t delta = static_cast<std::int64_t>(lines) - p.lineCount;
  const bool wasSingle = l.block->singleLines();
  p.lineCount = lines;
  l.block->invalidateFrom(l.local);
  if (wasSingle) l.block->validLines = 0;  // the line prefix was implicit until now
  adjustBlock(l.blockIndex, 0, delta, 0);
}

void ParagraphTable::setFlags(std::int64_t index, std::uint8_t flags) { at(index).flags = flags; }

void ParagraphTable::resetLayout(bool laidOut) {
  totalLines_ = 0;
  for (auto& b : blocks_) {
    for (auto& p : b->paras) {
      p.lineCount = 1;
      if (p.extra) p.extra->lineStarts.clear();
      if (laidOut)
        p.flags |= Paragraph::kLaidOut;
      else
        p.flags &= static_cast<std::uint8_t>(~Paragraph::kLaidOut);
    }
    b->lines = static_cast<std::int64_t>(b->paras.size());
    b->validLines = 0;
    totalLines_ += b->lines;
  }
  structureChanged();
}

void ParagraphTable::insertParagraphs(std::int64_t index, const std::vector<std::string_view>& texts) {
  if (texts.empty()) return;
  if (index < 0 || index > paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  std::size_t blockIndex;
  std::size_t local;
  if (index == paragraphCount_) {
    blockIndex = blocks_.size() - 1;
    local = blocks_[blockIndex]->paras.size();
  } else {
    Location l = locate(index);
    blockIndex = l.blockIndex;
    local = l.local;
  }
  Block& b = *blocks_[blockIndex];
  std::vector<Paragraph> fresh;
  fresh.reserve(texts.size());
  Offset units = 0;
  for (std::string_view t : texts) {
    Paragraph p;
    if (t.size() > 0xFFFFFFF0u) throw MemoError(kTextTooLong);
    const std::uint64_t cap = t.size() + t.size() / 64 + 1;
    p.data = static_cast<char*>(std::malloc(cap));
    if (!p.data) throw std::bad_alloc();
    if (!t.empty()) std::memcpy(p.data, t.data(), t.size());
    p.data[t.size()] = 0;
    p.length = static_cast<std::uint32_t>(t.size());
    p.capacity = static_cast<std::uint32_t>(cap);
    units += static_cast<Offset>(t.size()) + 2;
    fresh.push_back(std::move(p));
  }
  b.paras.insert(b.paras.begin() + static_cast<std::ptrdiff_t>(local), std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
  b.invalidateFrom(local);
  adjustBlock(blockIndex, units, static_cast<std::int64_t>(texts.size()), static_cast<std::int64_t>(texts.size()));
  splitIfLarge(blockIndex);
}

void ParagraphTable::splitIfLarge(std::size_t blockIndex) {
  Block& b = *blocks_[blockIndex];
  if (b.paras.size() <= 2 * kBlockSize) return;
  std::vector<std::unique_ptr<Block>> pieces;
  for (std::size_t start = kBlockSize; start < b.paras.size(); start += kBlockSize) {
    auto nb = std::make_unique<Block>();
    std::size_t end = std::min(b.paras.size(), start + kBlockSize);
    nb->paras.reserve(kBlockSize);
    for (std::size_t i = start; i < end; ++i) {
      nb->units += static_cast<Offset>(b.paras[i].length) + 2;
      nb->lines += b.paras[i].lineCount;
      nb->paras.push_back(std::move(b.paras[i]));
    }
    pieces.push_back(std::move(nb));
  }
  b.paras.resize(kBlockSize);
  b.units = 0;
  b.lines = 0;
  for (auto& p : b.paras) {
    b.units += static_cast<Offset>(p.length) + 2;
    b.lines += p.lineCount;
  }
  b.invalidateFrom(0);
  b.unitStart.clear();
  b.lineStart.clear();
  b.unitStart.shrink_to_fit();
  b.lineStart.shrink_to_fit();
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(blockIndex) + 1, std::make_move_iterator(pieces.begin()),
                 std::make_move_iterator(pieces.end()));
  structureChanged();
}

void ParagraphTable::eraseParagraphs(std::int64_t index, std::int64_t count) {
  if (count <= 0) return;
  if (index < 0 || index + count > paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  bool emptied = false;
  while (count > 0) {
    Location l = locate(index);
    Block& b = *l.block;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), b.paras.size() - l.local);
    Offset units = 0;
    std::int64_t lines = 0;
    for (std::size_t i = l.local; i < l.local + n; ++i) {
      units += static_cast<Offset>(b.paras[i].length) + 2;
      lines += b.paras[i].lineCount;
      releaseText(b.paras[i]);
    }
    const bool wasSingle = b.singleLines();
    b.paras.erase(b.paras.begin() + static_cast<std::ptrdiff_t>(l.local),
                  b.paras.begin() + static_cast<std::ptrdiff_t>(l.local + n));
    b.invalidateFrom(l.local);
    if (wasSingle != b.singleLines()) b.validLines = 0;
    adjustBlock(l.blockIndex, -units, -lines, -static_cast<std::int64_t>(n));
    if (b.paras.empty()) emptied = true;
    count -= static_cast<std::int64_t>(n);
    if (emptied) removeEmptyBlocks(), emptied = false;
  }
}

void ParagraphTable::removeEmptyBlocks() {
  auto it = std::remove_if(blocks_.begin(), blocks_.end(), [](const auto& b) { return b->paras.empty(); });
  if (it == blocks_.end()) return;
  blocks_.erase(it, blocks_.end());
  if (blocks_.empty()) blocks_.push_back(std::make_unique<Block>());
  structureChanged();
}

}  // namespace quillon::editor
