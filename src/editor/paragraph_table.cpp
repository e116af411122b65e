#include "editor/paragraph_table.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "editor/memo_error.h"
#include "platform/memory_pages.h"

namespace quillon::editor {

static_assert(sizeof(Paragraph) == 16, "a paragraph record must stay small");
static_assert(std::is_trivially_copyable_v<Paragraph>, "blocks move records as bytes");

namespace {

// What an empty paragraph points at, so that its text is never a null pointer.
char kEmptyText[1] = {0};

// Owned text: a malloc'd block whose first bytes hold its capacity, then the text.
constexpr std::size_t kTextHeader = 8;

std::uint32_t capacityOf(const char* text) {
  std::uint32_t capacity;
  std::memcpy(&capacity, text - kTextHeader, sizeof capacity);
  return capacity;
}

char* allocateText(std::uint32_t capacity) {
  auto* base = static_cast<char*>(std::malloc(kTextHeader + capacity));
  if (!base) throw std::bad_alloc();
  std::memcpy(base, &capacity, sizeof capacity);
  return base + kTextHeader;
}

char* reallocateText(char* text, std::uint32_t capacity) {
  auto* base = static_cast<char*>(std::realloc(text - kTextHeader, kTextHeader + capacity));
  if (!base) throw std::bad_alloc();
  std::memcpy(base, &capacity, sizeof capacity);
  return base + kTextHeader;
}

void freeText(char* text) { std::free(text - kTextHeader); }

// Room for a text of `length` characters: 1/64 spare, and a place for a terminating zero.
std::uint32_t roomFor(std::uint32_t length) { return length + length / 64 + 1; }

// The first of `n` ascending sums that is above `v`; one must be. Branch-free: random
// look-ups would mispredict every step of an ordinary binary search.
std::uint32_t firstAbove(const std::uint32_t* sums, std::uint32_t n, std::uint32_t v) {
  const std::uint32_t* base = sums;
  while (n > 1) {
    const std::uint32_t half = n / 2;
    base = base[half - 1] <= v ? base + half : base;
    n -= half;
  }
  return static_cast<std::uint32_t>(base - sums);
}

// A load of a text this large takes its blocks from slabs of whole large pages; smaller ones
// take them one by one, from memory the allocator has at hand.
constexpr std::size_t kSlabbedText = std::size_t{8} << 20;
constexpr std::size_t kSlabAlignment = std::size_t{2} << 20;
constexpr std::size_t kFirstSlab = std::size_t{4} << 20;
constexpr std::size_t kLargestSlab = std::size_t{16} << 20;

std::uint32_t roundUp16(std::uint64_t n) { return static_cast<std::uint32_t>((n + 15) & ~std::uint64_t{15}); }

}  // namespace

// ---------------------------------------------------------------------------------------
// Paragraph records

ParagraphExtra& Paragraph::ensureExtra() {
  if (state_ & kHeld) return *static_cast<Held*>(ptr_);
  auto* held = new Held;
  held->text = static_cast<char*>(ptr_);
  ptr_ = held;
  state_ |= kHeld;
  return *held;
}

void Paragraph::dropExtra() {
  if (!(state_ & kHeld)) return;
  auto* held = static_cast<Held*>(ptr_);
  ptr_ = held->text;
  state_ = static_cast<std::uint8_t>(state_ & ~kHeld);
  delete held;
}

void ParagraphTable::releaseText(Paragraph& p) {
  char* text = p.textPointer();
  if (p.state_ & Paragraph::kOwned) {
    freeText(text);
  } else if (p.state_ & Paragraph::kInArena) {
    assert(arenaUsers_ > 0);
    if (--arenaUsers_ == 0 && !loading_) arena_.reset();
  }
  p.setTextPointer(kEmptyText);
  p.state_ = static_cast<std::uint8_t>(p.state_ & Paragraph::kHeld);
  p.length = 0;
}

void ParagraphTable::releaseParagraph(Paragraph& p) {
  releaseText(p);
  p.dropExtra();
}

char* ParagraphTable::ensureOwned(Paragraph& p, std::uint32_t newLength) {
  char* text = p.textPointer();
  const bool owned = p.state_ & Paragraph::kOwned;
  if (owned && newLength + std::uint64_t{1} <= capacityOf(text)) return text;
  const std::uint32_t capacity = roomFor(newLength);
  if (owned) {
    text = reallocateText(text, capacity);
  } else {
    char* fresh = allocateText(capacity);
    if (p.length) std::memcpy(fresh, text, p.length);
    const std::uint32_t keepLength = p.length;
    releaseText(p);
    p.length = keepLength;
    text = fresh;
  }
  p.setTextPointer(text);
  p.state_ |= Paragraph::kOwned;
  return text;
}

// ---------------------------------------------------------------------------------------
// Blocks and their storage

void ParagraphTable::SlabDeleter::operator()(std::byte* p) const {
  ::operator delete(p, std::align_val_t{kSlabAlignment});
}

std::byte* ParagraphTable::carve(std::size_t bytes) {
  bytes = (bytes + 15) & ~std::size_t{15};
  if (slabs_.empty() || slabs_.back().size - slabs_.back().used < bytes) {
    const std::size_t previous = slabs_.empty() ? 0 : slabs_.back().size;
    const std::size_t size = std::max(bytes, std::clamp(previous * 2, kFirstSlab, kLargestSlab));
    Slab slab;
    slab.memory.reset(static_cast<std::byte*>(::operator new(size, std::align_val_t{kSlabAlignment})));
    slab.size = size;
    platform::preferLargePages(slab.memory.get(), size);
    slabs_.push_back(std::move(slab));
  }
  Slab& slab = slabs_.back();
  std::byte* at = slab.memory.get() + slab.used;
  slab.used += bytes;
  return at;
}

ParagraphTable::Block ParagraphTable::newBlock(std::uint32_t capacity) {
  Block b;
  b.capacity = capacity;
  if (loading_ && slabbed_) {
    b.paras = reinterpret_cast<Paragraph*>(carve(storageBytes(capacity)));
  } else {
    b.own = std::make_unique_for_overwrite<std::byte[]>(storageBytes(capacity));
    b.paras = reinterpret_cast<Paragraph*>(b.own.get());
  }
  return b;
}

// Moves the block into storage of its own with room for at least `needed` paragraphs.
void ParagraphTable::growBlock(Block& b, std::uint32_t needed) {
  const std::uint32_t capacity =
      roundUp16(std::max<std::uint64_t>(needed, std::min<std::uint64_t>(2 * kBlockSize, b.capacity + b.capacity / 2)));
  auto own = std::make_unique_for_overwrite<std::byte[]>(storageBytes(capacity));
  auto* paras = reinterpret_cast<Paragraph*>(own.get());
  if (b.count) {
    std::memcpy(static_cast<void*>(paras), b.paras, b.count * sizeof(Paragraph));
    std::memcpy(reinterpret_cast<std::uint32_t*>(paras + capacity), b.unitEnd(), b.count * sizeof(std::uint32_t));
  }
  b.own = std::move(own);
  b.paras = paras;
  b.capacity = capacity;
}

// Recomputes the unit sums from paragraph `from` on and the block's total. The sums are only
// meaningful while the total fits the block limit; rebalance() splits a block that does not.
void ParagraphTable::recount(Block& b, std::uint32_t from) {
  std::uint32_t* ends = b.unitEnd();
  std::uint64_t sum = b.unitsBefore(from);
  for (std::uint32_t i = from; i < b.count; ++i) {
    sum += std::uint64_t{b.paras[i].length} + 2;
    ends[i] = static_cast<std::uint32_t>(sum);
  }
  b.units = sum;
  if (b.wrapped) b.wrapped->valid = std::min(b.wrapped->valid, from);
}

std::int64_t ParagraphTable::Block::linesBefore(std::uint32_t i) const {
  if (singleLines() || i == 0) return i;
  Wrapped& w = *wrapped;
  if (w.valid < i) {
    std::uint32_t sum = w.valid == 0 ? 0 : w.ends[w.valid - 1];
    for (std::uint32_t k = w.valid; k < i; ++k) w.ends[k] = sum += w.counts[k];
    w.valid = i;
  }
  return w.ends[i - 1];
}

// The paragraph holding unit `u` (below `units`): the first whose running sum is above it.
std::uint32_t ParagraphTable::Block::findUnits(std::uint32_t u) const {
  const std::uint32_t* ends = unitEnd();
  const std::uint32_t n = count;
  // Paragraph lengths in a block are alike, so a guess by proportion lands on or next to the
  // answer and reads one cache line; a lopsided block falls back to bisection.
  std::uint32_t g = static_cast<std::uint32_t>(std::uint64_t{u} * n / std::max<std::uint64_t>(units, 1));
  if (g >= n) g = n - 1;
  for (int step = 0; step < 6; ++step) {
    if (ends[g] <= u)
      ++g;  // the answer lies further on, and exists: ends[n - 1] > u
    else if (g > 0 && ends[g - 1] > u)
      --g;
    else
      return g;
  }
  return firstAbove(ends, n, u);
}

std::uint32_t ParagraphTable::Block::findLine(std::int64_t line) const {
  if (singleLines()) return static_cast<std::uint32_t>(line);
  linesBefore(count);
  return firstAbove(wrapped->ends.data(), count, static_cast<std::uint32_t>(line));
}

// Splits a block that holds too many paragraphs, or too many units for its 32-bit sums.
void ParagraphTable::rebalance(std::size_t blockIndex) {
  Block& b = blocks_[blockIndex];
  if (b.count <= 2 * kBlockSize && (b.count <= 1 || b.units <= kMaxBlockUnits)) return;
  std::vector<Block> pieces;
  std::uint32_t i = 0;
  while (i < b.count) {
    std::uint32_t end = i;
    std::uint64_t units = 0;
    while (end < b.count && end - i < kBlockSize) {
      const std::uint64_t more = std::uint64_t{b.paras[end].length} + 2;
      if (end > i && units + more > kMaxBlockUnits) break;
      units += more;
      ++end;
    }
    const std::uint32_t n = end - i;
    Block piece = newBlock(roundUp16(n + n / 4));
    std::memcpy(static_cast<void*>(piece.paras), b.paras + i, n * sizeof(Paragraph));
    piece.count = n;
    recount(piece, 0);
    piece.lines = n;
    if (b.wrapped) {
      piece.wrapped = std::make_unique<Wrapped>();
      piece.wrapped->counts.assign(b.wrapped->counts.begin() + i, b.wrapped->counts.begin() + end);
      piece.wrapped->ends.resize(piece.capacity);
      piece.lines = 0;
      for (std::uint32_t c : piece.wrapped->counts) piece.lines += c;
    }
    pieces.push_back(std::move(piece));
    i = end;
  }
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(blockIndex));
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(blockIndex), std::make_move_iterator(pieces.begin()),
                 std::make_move_iterator(pieces.end()));
  structureChanged();
}

void ParagraphTable::removeBlock(std::size_t blockIndex) {
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(blockIndex));
  if (blocks_.empty()) blocks_.push_back(newBlock(kBlockSize));
  structureChanged();
}

// ---------------------------------------------------------------------------------------
// Whole-table operations and loading

ParagraphTable::ParagraphTable() { clear(); }

ParagraphTable::~ParagraphTable() {
  for (Block& b : blocks_)
    for (std::uint32_t i = 0; i < b.count; ++i) releaseParagraph(b.paras[i]);
}

void ParagraphTable::clear() {
  clearForLoad();
  appendBorrowed(nullptr, 0, 0);
  finishLoad();
}

void ParagraphTable::clearForLoad() {
  loading_ = true;
  for (Block& b : blocks_)
    for (std::uint32_t i = 0; i < b.count; ++i) releaseParagraph(b.paras[i]);
  blocks_.clear();
  slabs_.clear();
  arena_.reset();
  arenaUsers_ = 0;
  slabbed_ = false;
  paragraphCount_ = 0;
  totalUnits_ = 0;
  totalLines_ = 0;
  structureChanged();
}

const char* ParagraphTable::adoptArena(std::unique_ptr<char[]> buffer, std::size_t size) {
  slabbed_ = size >= kSlabbedText;
  arena_ = std::move(buffer);
  arenaUsers_ = 0;
  return arena_.get();
}

void ParagraphTable::appendBorrowed(const char* data, std::uint32_t length, std::uint8_t extraFlags) {
  assert(loading_ && length <= kMaxLength);
  const std::uint64_t more = std::uint64_t{length} + 2;
  if (blocks_.empty() || blocks_.back().count == blocks_.back().capacity ||
      (blocks_.back().count > 0 && blocks_.back().units + more > kMaxBlockUnits))
    blocks_.push_back(newBlock(kBlockSize));
  Block& b = blocks_.back();
  Paragraph* p = new (b.paras + b.count) Paragraph;
  if (data && length) {
    p->ptr_ = const_cast<char*>(data);
    p->state_ = Paragraph::kInArena;
    ++arenaUsers_;
  } else {
    p->ptr_ = kEmptyText;
  }
  p->length = length;
  p->flags = static_cast<std::uint8_t>(Paragraph::kLaidOut | extraFlags);
  b.units += more;
  b.unitEnd()[b.count] = static_cast<std::uint32_t>(b.units);
  ++b.count;
  ++b.lines;
  ++paragraphCount_;
  totalUnits_ += static_cast<Offset>(more);
  ++totalLines_;
}

void ParagraphTable::finishLoad() {
  loading_ = false;
  if (arenaUsers_ == 0) arena_.reset();
  structureChanged();
}

// ---------------------------------------------------------------------------------------
// Fenwick tree over blocks
// One tree of nodes holding all three sums: a descent by one sum collects the other two from
// the same nodes, and each step touches one cache line instead of three.

void ParagraphTable::fenwickAdd(std::size_t i, std::int64_t units, std::int64_t lines, std::int64_t paras) const {
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
    fen_[i].units += static_cast<std::int64_t>(blocks_[i].units);
    fen_[i].lines += blocks_[i].lines;
    fen_[i].paras += blocks_[i].count;
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

// ---------------------------------------------------------------------------------------
// Look-ups

ParagraphTable::Location ParagraphTable::locate(std::int64_t index) const {
  if (index < 0 || index >= paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  if (hinted(index)) return {const_cast<Block*>(&blocks_[hint_.block]), hint_.block, hint_.local};
  const Prefix p = descend(index, &FenNode::paras);
  return {const_cast<Block*>(&blocks_[p.block]), p.block, static_cast<std::uint32_t>(index - p.paras)};
}

Paragraph& ParagraphTable::at(std::int64_t index) {
  const Location l = locate(index);
  return l.block->paras[l.local];
}

const Paragraph& ParagraphTable::at(std::int64_t index) const {
  const Location l = locate(index);
  return l.block->paras[l.local];
}

Offset ParagraphTable::startOf(std::int64_t index) const {
  if (hinted(index)) return hint_.start;
  if (index < 0 || index >= paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  const Prefix p = descend(index, &FenNode::paras);
  const auto local = static_cast<std::uint32_t>(index - p.paras);
  const Block& b = blocks_[p.block];
  remember(index, p.units, p.block, local, b.singleLines() ? p.lines + local : -1);
  return hint_.start;
}

std::uint32_t ParagraphTable::lengthOf(std::int64_t index) const {
  if (hinted(index)) return static_cast<std::uint32_t>(hint_.units - 2);
  return at(index).length;
}

std::uint32_t ParagraphTable::lineCountOf(std::int64_t index) const {
  if (hinted(index)) return hint_.lineCount;
  const Location l = locate(index);
  return l.block->lineCount(l.local);
}

std::int64_t ParagraphTable::firstLineOf(std::int64_t index) const {
  if (hinted(index) && hint_.firstLine >= 0) return hint_.firstLine;
  const Location l = locate(index);
  const std::int64_t line = prefixOf(l.blockIndex).lines + l.block->linesBefore(l.local);
  if (hinted(index)) hint_.firstLine = line;
  return line;
}

std::int64_t ParagraphTable::paragraphAt(Offset offset) const {
  if (offset <= 0) return 0;
  if (offset >= charCount()) return paragraphCount_ - 1;
  if (hint_.version == version_ && offset >= hint_.start && offset < hint_.start + hint_.units) return hint_.index;
  const Prefix p = descend(offset, &FenNode::units);
  const Block& b = blocks_[p.block];
  const std::uint32_t local = b.findUnits(static_cast<std::uint32_t>(offset - p.units));
  const std::int64_t index = p.paras + local;
  remember(index, p.units, p.block, local, p.lines + b.linesBefore(local));
  return index;
}

std::int64_t ParagraphTable::paragraphAtLine(std::int64_t line) const {
  if (line <= 0) return 0;
  if (line >= totalLines_) return paragraphCount_ - 1;
  if (hint_.version == version_ && hint_.firstLine >= 0 && line >= hint_.firstLine &&
      line < hint_.firstLine + hint_.lineCount)
    return hint_.index;
  const Prefix p = descend(line, &FenNode::lines);
  const Block& b = blocks_[p.block];
  const std::uint32_t local = b.findLine(line - p.lines);
  const std::int64_t index = p.paras + local;
  remember(index, p.units, p.block, local, p.lines + b.linesBefore(local));
  return index;
}

// ---------------------------------------------------------------------------------------
// Editing

void ParagraphTable::adjustBlock(std::size_t blockIndex, std::int64_t unitsDelta, std::int64_t linesDelta,
                                 std::int64_t parasDelta) {
  Block& b = blocks_[blockIndex];
  ++version_;
  b.units = static_cast<std::uint64_t>(static_cast<std::int64_t>(b.units) + unitsDelta);
  b.lines += linesDelta;
  totalUnits_ += unitsDelta;
  totalLines_ += linesDelta;
  paragraphCount_ += parasDelta;
  if (fenwickValid_) fenwickAdd(blockIndex, unitsDelta, linesDelta, parasDelta);
}

void ParagraphTable::replaceInParagraph(std::int64_t index, std::uint32_t pos, std::uint32_t removeLength,
                                        std::string_view text) {
  const Location l = locate(index);
  Block& b = *l.block;
  Paragraph& p = b.paras[l.local];
  assert(pos + std::uint64_t{removeLength} <= p.length);
  const std::uint64_t newLength64 = std::uint64_t{p.length} - removeLength + text.size();
  if (newLength64 > kMaxLength) throw MemoError(kTextTooLong);
  const auto newLength = static_cast<std::uint32_t>(newLength64);
  const std::uint32_t tail = p.length - pos - removeLength;
  if (ParagraphExtra* e = p.extra()) e->keepMarksBefore(pos);
  if (text.size() == removeLength && (p.state_ & Paragraph::kOwned)) {
    if (!text.empty()) std::memcpy(p.textPointer() + pos, text.data(), text.size());
    return;
  }
  // Keep a copy when the inserted text points into this paragraph's own buffer.
  std::string keep;
  const char* old = p.textPointer();
  if (!text.empty() && text.data() >= old && text.data() < old + p.length) {
    keep.assign(text);
    text = keep;
  }
  char* data = ensureOwned(p, std::max(newLength, p.length));
  std::memmove(data + pos + text.size(), data + pos + removeLength, tail);
  if (!text.empty()) std::memcpy(data + pos, text.data(), text.size());
  const std::int64_t delta = static_cast<std::int64_t>(newLength) - static_cast<std::int64_t>(p.length);
  p.length = newLength;
  data[newLength] = 0;
  // The sums from this paragraph on move by the same amount; modulo 2^32 a shrink is an add.
  std::uint32_t* ends = b.unitEnd();
  const auto step = static_cast<std::uint32_t>(delta);
  for (std::uint32_t i = l.local; i < b.count; ++i) ends[i] += step;
  const bool keepHint = hinted(index);
  adjustBlock(l.blockIndex, delta, 0, 0);
  if (keepHint) {
    // The paragraph keeps its start and lines; only its length changed.
    hint_.version = version_;
    hint_.units += delta;
  }
  if (b.count > 1 && b.units > kMaxBlockUnits) rebalance(l.blockIndex);
}

void ParagraphTable::setText(std::int64_t index, std::string_view text) {
  replaceInParagraph(index, 0, at(index).length, text);
}

void ParagraphTable::setLineCount(Block& b, std::size_t blockIndex, std::uint32_t local, std::uint32_t lines) {
  const std::uint32_t old = b.lineCount(local);
  if (old == lines) return;
  if (!b.wrapped) {
    b.wrapped = std::make_unique<Wrapped>();
    b.wrapped->counts.assign(b.capacity, 1);
    b.wrapped->ends.resize(b.capacity);
  }
  b.wrapped->counts[local] = lines;
  b.wrapped->valid = std::min(b.wrapped->valid, local);
  adjustBlock(blockIndex, 0, static_cast<std::int64_t>(lines) - old, 0);
}

void ParagraphTable::setLineStarts(std::int64_t index, std::vector<std::uint32_t> starts) {
  const Location l = locate(index);
  Paragraph& p = l.block->paras[l.local];
  const auto lines = static_cast<std::uint32_t>(starts.size() + 1);
  if (!starts.empty())
    p.ensureExtra().lineStarts = std::move(starts);
  else if (ParagraphExtra* e = p.extra())
    e->lineStarts.clear();
  setLineCount(*l.block, l.blockIndex, l.local, lines);
}

void ParagraphTable::setFlags(std::int64_t index, std::uint8_t flags) { at(index).flags = flags; }

void ParagraphTable::resetLayout(bool laidOut) {
  totalLines_ = 0;
  for (Block& b : blocks_) {
    for (std::uint32_t i = 0; i < b.count; ++i) {
      Paragraph& p = b.paras[i];
      if (ParagraphExtra* e = p.extra()) e->lineStarts.clear();
      if (laidOut)
        p.flags |= Paragraph::kLaidOut;
      else
        p.flags &= static_cast<std::uint8_t>(~Paragraph::kLaidOut);
    }
    b.wrapped.reset();
    b.lines = b.count;
    totalLines_ += b.lines;
  }
  structureChanged();
}

void ParagraphTable::insertParagraphs(std::int64_t index, const std::vector<std::string_view>& texts) {
  if (texts.empty()) return;
  if (index < 0 || index > paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  for (std::string_view t : texts)
    if (t.size() > kMaxLength) throw MemoError(kTextTooLong);
  std::size_t blockIndex;
  std::uint32_t local;
  if (index == paragraphCount_) {
    blockIndex = blocks_.size() - 1;
    local = blocks_[blockIndex].count;
  } else {
    const Location l = locate(index);
    blockIndex = l.blockIndex;
    local = l.local;
  }
  const auto k = static_cast<std::uint32_t>(texts.size());
  // The texts first, so that running out of memory leaves the table as it was.
  std::vector<Paragraph> fresh(k);
  try {
    for (std::uint32_t i = 0; i < k; ++i) {
      const auto length = static_cast<std::uint32_t>(texts[i].size());
      char* data = allocateText(roomFor(length));
      if (length) std::memcpy(data, texts[i].data(), length);
      data[length] = 0;
      fresh[i].ptr_ = data;
      fresh[i].state_ = Paragraph::kOwned;
      fresh[i].length = length;
    }
  } catch (...) {
    for (Paragraph& p : fresh)
      if (p.state_ & Paragraph::kOwned) freeText(static_cast<char*>(p.ptr_));
    throw;
  }
  Block& b = blocks_[blockIndex];
  if (b.count + std::uint64_t{k} > b.capacity) growBlock(b, b.count + k);
  std::memmove(static_cast<void*>(b.paras + local + k), b.paras + local, (b.count - local) * sizeof(Paragraph));
  std::memcpy(static_cast<void*>(b.paras + local), fresh.data(), k * sizeof(Paragraph));
  if (b.wrapped) {
    Wrapped& w = *b.wrapped;
    w.counts.insert(w.counts.begin() + local, k, 1);
    w.counts.resize(b.capacity, 1);
    w.ends.resize(b.capacity);
    w.valid = std::min(w.valid, local);
  }
  b.count += k;
  const std::uint64_t unitsBefore = b.units;
  recount(b, local);
  const std::int64_t units = static_cast<std::int64_t>(b.units - unitsBefore);
  b.units = unitsBefore;  // adjustBlock adds the difference
  adjustBlock(blockIndex, units, k, k);
  rebalance(blockIndex);
}

void ParagraphTable::eraseParagraphs(std::int64_t index, std::int64_t count) {
  if (count <= 0) return;
  if (index < 0 || index + count > paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  while (count > 0) {
    const Location l = locate(index);
    Block& b = *l.block;
    const auto n = static_cast<std::uint32_t>(std::min<std::int64_t>(count, b.count - l.local));
    const std::uint32_t end = l.local + n;
    const std::int64_t units = b.unitEnd()[end - 1] - b.unitsBefore(l.local);
    std::int64_t lines = n;
    if (b.wrapped) {
      lines = 0;
      for (std::uint32_t i = l.local; i < end; ++i) lines += b.wrapped->counts[i];
      auto& counts = b.wrapped->counts;
      std::copy(counts.begin() + end, counts.begin() + b.count, counts.begin() + l.local);
      b.wrapped->valid = std::min(b.wrapped->valid, l.local);
    }
    for (std::uint32_t i = l.local; i < end; ++i) releaseParagraph(b.paras[i]);
    std::memmove(static_cast<void*>(b.paras + l.local), b.paras + end, (b.count - end) * sizeof(Paragraph));
    b.count -= n;
    const std::uint64_t unitsBefore = b.units;
    recount(b, l.local);
    b.units = unitsBefore;
    adjustBlock(l.blockIndex, -units, -lines, -static_cast<std::int64_t>(n));
    if (b.count == 0) removeBlock(l.blockIndex);
    count -= n;
  }
}

}  // namespace quillon::editor
