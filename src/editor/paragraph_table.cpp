#include "editor/paragraph_table.h"

#include <bit>
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

// The first of `n` ascending sums that is above `v`; one must be. Branch-free, by a mask the
// compiler cannot turn back into a jump: random look-ups would mispredict every step of an
// ordinary binary search, each waiting for memory.
std::uint32_t firstAbove(const std::uint32_t* sums, std::uint32_t n, std::uint32_t v) {
  std::uint32_t base = 0;
  while (n > 1) {
    const std::uint32_t half = n / 2;
    base += half & (0u - static_cast<std::uint32_t>(sums[base + half - 1] <= v));
    n -= half;
  }
  return base;
}

// The same for the few sums of one cache line: counting them all lets the loads run side by
// side instead of one after the other.
std::uint32_t firstAboveFew(const std::uint32_t* sums, std::uint32_t n, std::uint32_t v) {
  std::uint32_t count = 0;
#pragma GCC unroll 8
  for (std::uint32_t j = 0; j < n; ++j) count += sums[j] <= v ? 1 : 0;
  return count;
}

// A load of a text this large takes its blocks from slabs of whole large pages; smaller ones
// take them one by one, from memory the allocator has at hand.
constexpr std::size_t kSlabbedText = std::size_t{8} << 20;
constexpr std::size_t kSlabAlignment = std::size_t{2} << 20;
constexpr std::size_t kFirstSlab = std::size_t{4} << 20;
constexpr std::size_t kLargestSlab = std::size_t{16} << 20;
constexpr std::size_t kCacheLine = 64;

// Unit bytes are read eight at a time: a word's sum and whether it holds kLongUnits come
// without a loop.
static_assert(std::endian::native == std::endian::little, "the first unit byte is a word's lowest");
constexpr std::uint64_t kEachByte = 0x0101010101010101;

std::uint64_t wordAt(const std::uint8_t* bytes) {
  std::uint64_t w;
  std::memcpy(&w, bytes, sizeof w);
  return w;
}
// The word's first `n` bytes (n may lie outside 0..8), the rest cleared; no jump, as callers
// pass n for every word of a group.
std::uint64_t firstBytes(std::uint64_t w, std::int64_t n) {
  const auto k = static_cast<unsigned>(std::clamp<std::int64_t>(n, 0, 8));
  return w & (((std::uint64_t{1} << (4 * k)) << (4 * k)) - 1);
}
bool holdsLong(std::uint64_t w) {
  const std::uint64_t v = ~w;  // a byte of kLongUnits is a zero byte here
  return ((v - kEachByte) & ~v & (kEachByte << 7)) != 0;
}
std::uint32_t byteSum(std::uint64_t w) {
  constexpr std::uint64_t kLowOfPairs = 0x00FF00FF00FF00FF;
  const std::uint64_t pairs = (w & kLowOfPairs) + ((w >> 8) & kLowOfPairs);
  return static_cast<std::uint32_t>((pairs * 0x0001000100010001) >> 48);
}

// A group's unit bytes a word at a time, only its first `n` paragraphs kept, with the running
// sum after each word from `start` on. The sums mean nothing when `anyLong`: some byte is
// kLongUnits, and its paragraph's record has the units.
struct GroupWords {
  static constexpr std::uint32_t kWords = ParagraphTable::kGroup / 8;
  std::uint64_t words[kWords];
  std::uint32_t ends[kWords];
  bool anyLong = false;
};
GroupWords readGroup(const std::uint8_t* bytes, std::uint32_t start, std::int64_t n) {
  GroupWords r;
  std::uint32_t sum = start;
  for (std::uint32_t w = 0; w < GroupWords::kWords; ++w) {
    r.words[w] = firstBytes(wordAt(bytes + 8 * w), n - 8 * w);
    r.anyLong |= holdsLong(r.words[w]);
    r.ends[w] = sum += byteSum(r.words[w]);
  }
  return r;
}

std::uint8_t unitByte(std::uint32_t length) {
  return length + std::uint64_t{2} < ParagraphTable::kLongUnits
             ? static_cast<std::uint8_t>(length + 2)
             : ParagraphTable::kLongUnits;
}

std::uint32_t roundUpToGroup(std::uint64_t n) {
  constexpr std::uint64_t g = ParagraphTable::kGroup;
  return static_cast<std::uint32_t>((n + g - 1) / g * g);
}

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
    if (--arenaUsers_ == 0 && !loading_) {
      arena_.reset();
      for (Block& b : blocks_) b.loadedText = nullptr;
    }
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
  ::operator delete (p, std::align_val_t{kSlabAlignment});
}

void ParagraphTable::StorageDeleter::operator()(std::byte* p) const {
  ::operator delete (p, std::align_val_t{kCacheLine});
}

std::byte* ParagraphTable::carve(std::size_t bytes) {
  bytes = (bytes + kCacheLine - 1) & ~(kCacheLine - 1);
  if (slabs_.empty() || slabs_.back().size - slabs_.back().used < bytes) {
    const std::size_t previous = slabs_.empty() ? 0 : slabs_.back().size;
    const std::size_t size = std::max(bytes, std::clamp(previous * 2, kFirstSlab, kLargestSlab));
    Slab slab;
    slab.memory.reset(
        static_cast<std::byte*>(::operator new (size, std::align_val_t{kSlabAlignment})));
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
    b.own.reset(static_cast<std::byte*>(
        ::operator new (storageBytes(capacity), std::align_val_t{kCacheLine})));
    b.paras = reinterpret_cast<Paragraph*>(b.own.get());
  }
  // Look-ups read a group's bytes whole, past the last paragraph too.
  std::memset(b.unitBytes(), 0, capacity);
  return b;
}

// Moves the block into storage of its own with room for at least `needed` paragraphs.
void ParagraphTable::growBlock(Block& b, std::uint32_t needed) {
  const std::uint32_t capacity = roundUpToGroup(std::max<std::uint64_t>(
      needed, std::min<std::uint64_t>(2 * kBlockSize, b.capacity + b.capacity / 2)));
  Block grown;
  grown.own.reset(static_cast<std::byte*>(
      ::operator new (storageBytes(capacity), std::align_val_t{kCacheLine})));
  grown.paras = reinterpret_cast<Paragraph*>(grown.own.get());
  grown.capacity = capacity;
  if (b.count) {
    std::memcpy(static_cast<void*>(grown.paras), b.paras, b.count * sizeof(Paragraph));
    std::memcpy(grown.unitBytes(), b.unitBytes(), b.count);
  }
  std::memset(grown.unitBytes() + b.count, 0, capacity - b.count);
  b.own = std::move(grown.own);
  b.paras = grown.paras;
  b.capacity = capacity;
}

// The sums are only meaningful while the total fits the block limit; rebalance() splits a
// block that does not.
std::uint64_t ParagraphTable::recount(Block& b, std::uint32_t from) {
  for (std::uint32_t i = from; i < b.count; ++i) b.unitBytes()[i] = unitByte(b.paras[i].length);
  std::uint64_t sum = b.groupStart(from / kGroup);
  for (std::uint32_t g = from / kGroup; g * kGroup < b.count; ++g) {
    const std::uint32_t end = std::min(b.count, (g + 1) * kGroup);
    for (std::uint32_t i = g * kGroup; i < end; ++i) sum += b.unitsOf(i);
    if (g < kMaxGroups) b.groupEnds()[g] = static_cast<std::uint32_t>(sum);
  }
  if (b.wrapped) b.wrapped->valid = std::min(b.wrapped->valid, from);
  return sum;
}

std::uint32_t ParagraphTable::Block::unitsBefore(std::uint32_t i) const {
  if (i >= count) return static_cast<std::uint32_t>(units);
  const std::uint32_t first = i / kGroup * kGroup;
  const std::uint32_t start = groupStart(i / kGroup);
  const GroupWords words = readGroup(unitBytes() + first, start, i - first);
  if (!words.anyLong) return words.ends[GroupWords::kWords - 1];
  std::uint32_t sum = start;
  for (std::uint32_t k = first; k < i; ++k) sum += unitsOf(k);
  return sum;
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
std::uint32_t ParagraphTable::Block::findUnits(std::uint32_t u, std::uint32_t& before,
                                               bool fetchAhead) const {
  if (fetchAhead) fetchLoadedTextNear(u);
  const std::uint32_t g = firstAboveFew(groupEnds(), groupCount(), u);
  const std::uint32_t first = g * kGroup;
  const std::uint32_t n = std::min(count - first, kGroup);
  if (fetchAhead) fetchRecordsNear(g, u);
  const GroupWords words = readGroup(unitBytes() + first, groupStart(g), n);
  std::uint32_t sum = groupStart(g);
  if (words.anyLong) {
    std::uint32_t k = first;
    while (sum + unitsOf(k) <= u) sum += unitsOf(k++);
    before = sum;
    return k;
  }
  // The word that holds `u`, then its bytes; counting needs no jump, as the answer's place is
  // anybody's guess. A cleared byte past the group's end cannot count: `u` lies before it.
  std::uint32_t w = 0;
  for (std::uint32_t j = 0; j + 1 < GroupWords::kWords; ++j) w += words.ends[j] <= u ? 1 : 0;
  sum = w == 0 ? sum : words.ends[w - 1];
  std::uint64_t x = words.words[w];
  std::uint32_t k = first + 8 * w;
  before = sum;
  for (int j = 0; j < 8; ++j, x >>= 8) {
    sum += static_cast<std::uint32_t>(x & 0xFF);
    const bool passed = sum <= u;
    k += passed ? 1 : 0;
    before = passed ? sum : before;
  }
  return k;
}

// Guesses the paragraph of group `group` holding unit `u` by proportion and fetches the two
// lines of records nearest the guess (four records to a line): they hold the right record for
// all but a few guesses.
void ParagraphTable::Block::fetchRecordsNear(std::uint32_t group, std::uint32_t u) const {
  const std::uint32_t first = group * kGroup;
  const std::uint32_t n = std::min(count - first, kGroup);
  const std::uint32_t start = groupStart(group);
  const std::uint32_t span = std::max<std::uint32_t>(groupEnds()[group] - start, 1);
  const auto guess = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(std::uint64_t{u - start} * n / span, n - 1));
  constexpr std::uint32_t kPerLine = kCacheLine / sizeof(Paragraph);
  const bool earlyInLine = guess % kPerLine < kPerLine / 2;
  const std::uint32_t other = (earlyInLine && guess >= kPerLine) || guess + kPerLine >= kGroup
                                  ? guess - kPerLine
                                  : guess + kPerLine;
  __builtin_prefetch(paras + first + guess, 1);
  __builtin_prefetch(paras + first + other, 1);
}

void ParagraphTable::Block::fetchLoadedTextNear(std::uint32_t u) const {
  if (!loadedText) return;
  // Only an address: after edits it may lie outside the buffer, and a prefetch never faults.
  const std::uintptr_t at =
      reinterpret_cast<std::uintptr_t>(loadedText) + (std::uint64_t{u} * loadedBytesPerUnit >> 16);
  // The paragraph starts before its character; text typed into the block earlier has moved
  // the guess past it rather than before.
  __builtin_prefetch(reinterpret_cast<const void*>(at - kCacheLine));
  __builtin_prefetch(reinterpret_cast<const void*>(at));
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
    Block piece = newBlock(roundUpToGroup(n + n / 4));
    std::memcpy(static_cast<void*>(piece.paras), b.paras + i, n * sizeof(Paragraph));
    piece.count = n;
    piece.units = recount(piece, 0);
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
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(blockIndex),
                 std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
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

void ParagraphTable::appendBorrowed(const char* data, std::uint32_t length,
                                    std::uint8_t extraFlags) {
  assert(loading_ && length <= kMaxLength);
  const std::uint64_t more = std::uint64_t{length} + 2;
  if (blocks_.empty() || blocks_.back().count == blocks_.back().capacity ||
      (blocks_.back().count > 0 && blocks_.back().units + more > kMaxBlockUnits)) {
    if (!blocks_.empty()) measureLoadedText(blocks_.back());
    blocks_.push_back(newBlock(kBlockSize));
  }
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
  b.unitBytes()[b.count] = unitByte(length);
  b.groupEnds()[b.count / kGroup] = static_cast<std::uint32_t>(b.units);
  ++b.count;
  ++b.lines;
  ++paragraphCount_;
  totalUnits_ += static_cast<Offset>(more);
  ++totalLines_;
}

// From the first and the last paragraph that borrow text, once the load has filled the block.
void ParagraphTable::measureLoadedText(Block& b) {
  std::uint32_t first = 0;
  std::uint32_t last = b.count;
  while (first < last && !(b.paras[first].state_ & Paragraph::kInArena)) ++first;
  while (last > first && !(b.paras[last - 1].state_ & Paragraph::kInArena)) --last;
  if (first == last) return;
  const Paragraph& end = b.paras[last - 1];
  b.loadedText = b.paras[first].data();
  const auto bytes = static_cast<std::uint64_t>(end.data() + end.length - b.loadedText);
  b.loadedBytesPerUnit =
      static_cast<std::uint32_t>(std::min<std::uint64_t>((bytes << 16) / b.units, 0xFFFFFFFF));
}

void ParagraphTable::finishLoad() {
  if (!blocks_.empty()) measureLoadedText(blocks_.back());
  loading_ = false;
  if (arenaUsers_ == 0) arena_.reset();
  structureChanged();
}

// ---------------------------------------------------------------------------------------
// Sums over blocks

const BlockSums& ParagraphTable::sums() const {
  if (!sumsValid_) {
    sums_.rebuild(blocks_.size(), [this](std::size_t i) {
      const Block& b = blocks_[i];
      return BlockSums::Counts{static_cast<std::int64_t>(b.units), b.lines, b.count};
    });
    sumsValid_ = true;
  }
  return sums_;
}

BlockSums::Found ParagraphTable::find(std::int64_t value, BlockSums::Key key) const {
  return sums().find(value, key);
}

BlockSums::Found ParagraphTable::findParagraph(std::int64_t index) const {
  if (blockHint_.version == version_) {
    const BlockSums::Found& f = blockHint_.found;
    if (index >= f.before.paras && index < f.before.paras + blocks_[f.block].count) return f;
  }
  blockHint_ = {version_, find(index, BlockSums::kParas)};
  return blockHint_.found;
}

BlockSums::Counts ParagraphTable::before(std::size_t block) const { return sums().before(block); }

// ---------------------------------------------------------------------------------------
// Look-ups

ParagraphTable::Location ParagraphTable::locate(std::int64_t index) const {
  if (index < 0 || index >= paragraphCount_) throw MemoError(kListIndexOutOfBounds);
  if (hinted(index)) return {const_cast<Block*>(&blocks_[hint_.block]), hint_.block, hint_.local};
  const BlockSums::Found f = findParagraph(index);
  return {const_cast<Block*>(&blocks_[f.block]), f.block,
          static_cast<std::uint32_t>(index - f.before.paras)};
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
  const BlockSums::Found f = findParagraph(index);
  const auto local = static_cast<std::uint32_t>(index - f.before.paras);
  const Block& b = blocks_[f.block];
  remember(index, f.before.units, f.block, local, b.singleLines() ? f.before.lines + local : -1);
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
  const std::int64_t line = before(l.blockIndex).lines + l.block->linesBefore(l.local);
  if (hinted(index)) hint_.firstLine = line;
  return line;
}

std::int64_t ParagraphTable::paragraphAt(Offset offset) const {
  return paragraphByUnits(offset, false);
}

std::int64_t ParagraphTable::paragraphToEdit(Offset offset) const {
  const std::int64_t index = paragraphByUnits(offset, true);
  __builtin_prefetch(at(index).data(), 1);
  return index;
}

std::int64_t ParagraphTable::paragraphByUnits(Offset offset, bool fetchAhead) const {
  if (offset <= 0) return 0;
  if (offset >= charCount()) return paragraphCount_ - 1;
  if (hint_.version == version_ && offset >= hint_.start && offset < hint_.start + hint_.units)
    return hint_.index;
  const BlockSums::Found f = find(offset, BlockSums::kUnits);
  const Block& b = blocks_[f.block];
  std::uint32_t before = 0;
  const std::uint32_t local =
      b.findUnits(static_cast<std::uint32_t>(offset - f.before.units), before, fetchAhead);
  const std::int64_t index = f.before.paras + local;
  rememberAt(index, f.before.units + before, f.block, local, f.before.lines + b.linesBefore(local));
  return index;
}

std::int64_t ParagraphTable::paragraphAtLine(std::int64_t line) const {
  if (line <= 0) return 0;
  if (line >= totalLines_) return paragraphCount_ - 1;
  if (hint_.version == version_ && hint_.firstLine >= 0 && line >= hint_.firstLine &&
      line < hint_.firstLine + hint_.lineCount)
    return hint_.index;
  const BlockSums::Found f = find(line, BlockSums::kLines);
  const Block& b = blocks_[f.block];
  const std::uint32_t local = b.findLine(line - f.before.lines);
  const std::int64_t index = f.before.paras + local;
  remember(index, f.before.units, f.block, local, f.before.lines + b.linesBefore(local));
  return index;
}

// ---------------------------------------------------------------------------------------
// Editing

void ParagraphTable::adjustBlock(std::size_t blockIndex, std::int64_t unitsDelta,
                                 std::int64_t linesDelta, std::int64_t parasDelta) {
  Block& b = blocks_[blockIndex];
  ++version_;
  b.units = static_cast<std::uint64_t>(static_cast<std::int64_t>(b.units) + unitsDelta);
  b.lines += linesDelta;
  totalUnits_ += unitsDelta;
  totalLines_ += linesDelta;
  paragraphCount_ += parasDelta;
  if (sumsValid_) sums_.add(blockIndex, {unitsDelta, linesDelta, parasDelta});
}

void ParagraphTable::replaceInParagraph(std::int64_t index, std::uint32_t pos,
                                        std::uint32_t removeLength, std::string_view text) {
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
  const std::int64_t delta =
      static_cast<std::int64_t>(newLength) - static_cast<std::int64_t>(p.length);
  p.length = newLength;
  data[newLength] = 0;
  // The sums from this paragraph on move by the same amount; modulo 2^32 a shrink is an add.
  b.unitBytes()[l.local] = unitByte(newLength);
  const auto step = static_cast<std::uint32_t>(delta);
  for (std::uint32_t g = l.local / kGroup; g < b.groupCount(); ++g) b.groupEnds()[g] += step;
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

void ParagraphTable::setLineCount(Block& b, std::size_t blockIndex, std::uint32_t local,
                                  std::uint32_t lines) {
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

void ParagraphTable::insertParagraphs(std::int64_t index,
                                      const std::vector<std::string_view>& texts) {
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
  std::memmove(static_cast<void*>(b.paras + local + k), b.paras + local,
               (b.count - local) * sizeof(Paragraph));
  std::memcpy(static_cast<void*>(b.paras + local), fresh.data(), k * sizeof(Paragraph));
  if (b.wrapped) {
    Wrapped& w = *b.wrapped;
    w.counts.insert(w.counts.begin() + local, k, 1);
    w.counts.resize(b.capacity, 1);
    w.ends.resize(b.capacity);
    w.valid = std::min(w.valid, local);
  }
  b.count += k;
  const auto units = static_cast<std::int64_t>(recount(b, local) - b.units);
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
    const std::int64_t units = b.unitsBefore(end) - b.unitsBefore(l.local);
    std::int64_t lines = n;
    if (b.wrapped) {
      lines = 0;
      for (std::uint32_t i = l.local; i < end; ++i) lines += b.wrapped->counts[i];
      auto& counts = b.wrapped->counts;
      std::copy(counts.begin() + end, counts.begin() + b.count, counts.begin() + l.local);
      b.wrapped->valid = std::min(b.wrapped->valid, l.local);
    }
    for (std::uint32_t i = l.local; i < end; ++i) releaseParagraph(b.paras[i]);
    std::memmove(static_cast<void*>(b.paras + l.local), b.paras + end,
                 (b.count - end) * sizeof(Paragraph));
    b.count -= n;
    recount(b, l.local);
    adjustBlock(l.blockIndex, -units, -lines, -static_cast<std::int64_t>(n));
    if (b.count == 0) removeBlock(l.blockIndex);
    count -= n;
  }
}

}  // namespace quillon::editor
