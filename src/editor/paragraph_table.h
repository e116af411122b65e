#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/attr_run.h"
#include "editor/block_sums.h"
#include "editor/code_memo_fwd.h"

namespace quillon::editor {

// Extra per-paragraph data that most paragraphs never need: the display-line table of a
// wrapped paragraph and the highlighting runs. Allocated on first use.
struct ParagraphExtra {
  // Start offset (within the paragraph) of display lines 1..n-1; line 0 starts at 0. Changed
  // only through ParagraphTable::setLineStarts, which keeps the line counts in step.
  std::vector<std::uint32_t> lineStarts;
  std::vector<AttrRun> runs;          // sorted by offset
  AttrStateRef startState = nullptr;  // region open at the paragraph start; null = none
  // The x of every kMarkStep-th character of a long paragraph shown on one line, measured only
  // as far as someone asked: xMarks[k] is where character (k + 1) * kMarkStep starts under the
  // measuring numbered `markGeneration`. So the end of a long line is found from the last
  // mark, not from its start; an edit keeps the marks before it (ParagraphTable).
  static constexpr std::uint32_t kMarkStep = 4096;
  std::vector<std::int64_t> xMarks;
  std::uint32_t markGeneration = 0;
  void keepMarksBefore(std::uint32_t position) {
    if (xMarks.size() > position / kMarkStep) xMarks.resize(position / kMarkStep);
  }
};

// One paragraph record: 16 bytes, for a large file has millions. The text is borrowed from the
// buffer a load adopted or is owned (with 1/64 spare room, so that typing does not reallocate
// on every character). A paragraph with extra data keeps its text pointer in the extra data's
// holder. Records are plain bytes: only the table creates, moves and frees them.
class Paragraph {
public:
  enum Flag : std::uint8_t {
    kLaidOut = 1,
    kKeywordsParsed = 2,
    kStartStopParsed = 4,
    kHasCodes = 8,  // holds formatting codes (1, 2, 3, 4, 21)
  };

private:
  void* ptr_ = nullptr;  // the text, or the Held holding it and the extra data

public:
  std::uint32_t length = 0;
  std::uint8_t flags = kLaidOut;

  const char* data() const { return textPointer(); }
  std::string_view text() const { return {textPointer(), length}; }
  ParagraphExtra* extra() const { return (state_ & kHeld) ? static_cast<Held*>(ptr_) : nullptr; }
  ParagraphExtra& ensureExtra();
  // Frees the extra data; the text stays.
  void dropExtra();

private:
  friend class ParagraphTable;
  struct Held : ParagraphExtra {
    char* text = nullptr;
  };
  enum State : std::uint8_t { kOwned = 1, kHeld = 2, kInArena = 4 };

  char* textPointer() const {
    return (state_ & kHeld) ? static_cast<Held*>(ptr_)->text : static_cast<char*>(ptr_);
  }
  void setTextPointer(char* text) {
    if (state_ & kHeld)
      static_cast<Held*>(ptr_)->text = text;
    else
      ptr_ = text;
  }

  std::uint8_t state_ = 0;
};

// The table of paragraphs. Paragraphs live in blocks of a few hundred whose headers sit in one
// array, and BlockSums over the blocks gives the text-wide sums. Inside a block, paragraphs
// form groups of kGroup: a group's end is a 32-bit running sum of units (length + 2) relative
// to the block, and each paragraph keeps its units in one byte beside it, so that what a
// look-up reads of a large file stays small enough for the processor's caches.
// Every lookup (offset -> paragraph, line -> paragraph, paragraph -> offset or first line)
// and every update costs O(log n) plus a pass over one block's group ends, so an edit does
// not touch the offsets of the blocks after it. A load builds it all in one pass, into a few
// large slabs.
//
// Invariants, kept by the editing operations below: a block's group ends are its running sum
// of units and `units` its total; a paragraph's unit byte is its units, or kLongUnits for a
// paragraph of that many or more, whose record says how many; a block of more than one
// paragraph holds at most kMaxBlockUnits units, so the sums fit 32 bits; `lines` equals the
// sum of its paragraphs' display lines, which `wrapped` lists once some paragraph has more
// than one.
//
// Offsets count every paragraph break as 2 characters, whatever the file used.
class ParagraphTable {
public:
  static constexpr std::uint32_t kBlockSize = 512;
  static constexpr std::uint32_t kGroup = 32;
  static constexpr std::uint8_t kLongUnits = 0xFF;
  static constexpr std::uint32_t kMaxGroups = 2 * kBlockSize / kGroup;
  // Above this a block of several paragraphs is split; one paragraph alone stays below 2^31.
  static constexpr std::uint64_t kMaxBlockUnits = std::uint64_t{1} << 31;
  // The longest paragraph the table takes.
  static constexpr std::uint32_t kMaxLength = 0x7FFFFFF0;

  ParagraphTable();
  ~ParagraphTable();
  ParagraphTable(const ParagraphTable&) = delete;
  ParagraphTable& operator=(const ParagraphTable&) = delete;

  // Replaces everything with one empty paragraph and frees all memory of the last load.
  void clear();

  std::int64_t size() const { return paragraphCount_; }
  // Sum of lengths plus 2 per break (the last paragraph has none).
  Offset charCount() const { return totalUnits_ - 2; }
  std::int64_t lineCount() const { return totalLines_; }

  Paragraph& at(std::int64_t index);
  const Paragraph& at(std::int64_t index) const;

  Offset startOf(std::int64_t index) const;  // offset of the paragraph's first character
  // Length and display-line count, answered from the lookup just made when possible so that
  // a query need not touch the paragraph record itself.
  std::uint32_t lengthOf(std::int64_t index) const;
  std::uint32_t lineCountOf(std::int64_t index) const;
  std::int64_t firstLineOf(std::int64_t index) const;
  // The paragraph containing offset (a break's offsets belong to the paragraph before it).
  std::int64_t paragraphAt(Offset offset) const;
  // paragraphAt() for the place the caret goes to, which the next key likely edits: it also
  // starts fetching the paragraph's record and text. In a large file each comes from main
  // memory, one after the other; started from guesses while the look-up still waits for its
  // own data, the waits overlap.
  std::int64_t paragraphToEdit(Offset offset) const;
  std::int64_t paragraphAtLine(std::int64_t line) const;

  // --- building during a load ---
  // Empties the table without a paragraph, for appendBorrowed to fill; finishLoad ends it.
  void clearForLoad();
  // Takes ownership of the buffer the paragraphs appended next borrow their text from.
  const char* adoptArena(std::unique_ptr<char[]> buffer, std::size_t size);
  // Appends a paragraph; a non-null `data` points into the arena last adopted.
  void appendBorrowed(const char* data, std::uint32_t length, std::uint8_t extraFlags);
  void finishLoad();

  // --- editing ---
  // Replaces characters [pos, pos+removeLength) of a paragraph with text.
  void replaceInParagraph(std::int64_t index, std::uint32_t pos, std::uint32_t removeLength,
                          std::string_view text);
  void setText(std::int64_t index, std::string_view text);
  // Inserts new paragraphs before `index` (index == size() appends).
  void insertParagraphs(std::int64_t index, const std::vector<std::string_view>& texts);
  void eraseParagraphs(std::int64_t index, std::int64_t count);
  // The display lines of a wrapped paragraph, and with them its line count.
  void setLineStarts(std::int64_t index, std::vector<std::uint32_t> starts);
  // Display-line counts of every paragraph set to 1 and the laid-out flag set or cleared.
  void resetLayout(bool laidOut);

  // Recomputes flags such as kHasCodes after a text change.
  void setFlags(std::int64_t index, std::uint8_t flags);

  // Visits paragraphs first to last (or from `first`) without a lookup per paragraph; stops
  // when the visitor returns false.
  template <class Fn>
  void forEach(Fn&& fn, std::int64_t first = 0) const {
    if (first >= paragraphCount_) return;
    std::int64_t index = 0;
    std::size_t b = 0;
    if (first > 0) {
      const BlockSums::Found f = find(first, BlockSums::kParas);
      b = f.block;
      index = f.before.paras;
    }
    for (; b < blocks_.size(); ++b) {
      const Block& block = blocks_[b];
      const auto n = static_cast<std::int64_t>(block.count);
      for (std::int64_t i = std::max<std::int64_t>(0, first - index); i < n; ++i)
        if (!fn(index + i, std::as_const(block.paras[i]))) return;
      index += n;
    }
  }

  template <class Fn>
  void forEachMutable(Fn&& fn, std::int64_t first = 0) {
    const auto& self = *this;
    self.forEach(
        [&](std::int64_t i, const Paragraph& p) { return fn(i, const_cast<Paragraph&>(p)); },
        first);
  }

private:
  // Line counts of a block that holds a paragraph of several display lines.
  struct Wrapped {
    std::vector<std::uint32_t> counts;  // per paragraph
    std::vector<std::uint32_t> ends;    // running sum of counts, valid below `valid`
    std::uint32_t valid = 0;
  };
  struct StorageDeleter {
    void operator()(std::byte* p) const;
  };
  // Storage of `capacity` (a multiple of kGroup) paragraphs: the records, then the paragraphs'
  // unit bytes; a group's bytes lie in one cache line. The group ends sit in the header, so
  // that a look-up waits for the header and them at once.
  struct Block {
    Paragraph* paras = nullptr;
    std::unique_ptr<std::byte, StorageDeleter> own;  // the storage, unless it lies in a load slab
    std::uint32_t count = 0;
    std::uint32_t capacity = 0;
    std::uint64_t units = 0;
    std::int64_t lines = 0;
    std::unique_ptr<Wrapped> wrapped;
    // Where the block's text began in the buffer its load borrowed from, and the bytes there
    // per unit (16.16 fixed point). A paragraph not edited since still lies about there, so
    // an edit's look-up can fetch its text before the record with its address comes in.
    const char* loadedText = nullptr;
    std::uint32_t loadedBytesPerUnit = 0;
    // Only a block that insertParagraphs grew past its limit, for rebalance to split at once,
    // has more groups; their ends are not kept.
    alignas(64) std::uint32_t groupEnd[kMaxGroups];

    std::uint8_t* unitBytes() const { return reinterpret_cast<std::uint8_t*>(paras + capacity); }
    std::uint32_t* groupEnds() { return groupEnd; }
    const std::uint32_t* groupEnds() const { return groupEnd; }
    std::uint32_t groupStart(std::uint32_t g) const { return g == 0 ? 0 : groupEnds()[g - 1]; }
    std::uint32_t groupCount() const { return (count + kGroup - 1) / kGroup; }
    std::uint32_t unitsBefore(std::uint32_t i) const;
    std::uint32_t unitsOf(std::uint32_t i) const {
      const std::uint8_t u = unitBytes()[i];
      return u == kLongUnits ? paras[i].length + 2 : u;
    }
    bool singleLines() const { return lines == static_cast<std::int64_t>(count); }
    std::uint32_t lineCount(std::uint32_t i) const { return wrapped ? wrapped->counts[i] : 1; }
    std::int64_t linesBefore(std::uint32_t i) const;
    // The paragraph holding unit `u`, and in `before` the units of those before it.
    std::uint32_t findUnits(std::uint32_t u, std::uint32_t& before, bool fetchAhead = false) const;
    void fetchRecordsNear(std::uint32_t group, std::uint32_t u) const;
    void fetchLoadedTextNear(std::uint32_t u) const;
    std::uint32_t findLine(std::int64_t line) const;
  };
  static_assert(sizeof(Block) == 64 + sizeof(std::uint32_t) * kMaxGroups,
                "a block header must stay one cache line before its group ends");
  static std::size_t storageBytes(std::uint32_t capacity) {
    return std::size_t{capacity} * (sizeof(Paragraph) + 1);
  }

  struct Location {
    Block* block;
    std::size_t blockIndex;
    std::uint32_t local;
  };

  std::int64_t paragraphByUnits(Offset offset, bool fetchAhead) const;
  Location locate(std::int64_t index) const;
  void measureLoadedText(Block& b);
  void releaseText(Paragraph& p);
  void releaseParagraph(Paragraph& p);
  char* ensureOwned(Paragraph& p, std::uint32_t newLength);
  void adjustBlock(std::size_t blockIndex, std::int64_t unitsDelta, std::int64_t linesDelta,
                   std::int64_t parasDelta);
  void structureChanged() const {
    sumsValid_ = false;
    ++version_;
  }
  const BlockSums& sums() const;
  BlockSums::Found find(std::int64_t value, BlockSums::Key key) const;
  BlockSums::Counts before(std::size_t block) const;
  // find() by paragraph index, answered from the block last found that way when it holds the
  // index: walks through the paragraphs in order (printing, painting) stay in one block long.
  BlockSums::Found findParagraph(std::int64_t index) const;
  struct BlockHint {
    std::uint64_t version = ~std::uint64_t{0};
    BlockSums::Found found;
  };
  mutable BlockHint blockHint_;

  Block newBlock(std::uint32_t capacity);
  void growBlock(Block& b, std::uint32_t needed);
  // Rewrites the unit bytes and group ends from paragraph `from` on and returns the block's
  // new total; `units` stays for the caller, as an edit hands the difference to adjustBlock.
  static std::uint64_t recount(Block& b, std::uint32_t from);
  void rebalance(std::size_t blockIndex);
  void removeBlock(std::size_t blockIndex);
  void setLineCount(Block& b, std::size_t blockIndex, std::uint32_t local, std::uint32_t lines);

  std::vector<Block> blocks_;
  // Rebuilt on the first look-up after the blocks were split, merged or reset.
  mutable BlockSums sums_;
  mutable bool sumsValid_ = false;
  // The last paragraph looked up: an edit asks about the same paragraph many times over.
  struct Hint {
    std::uint64_t version = ~std::uint64_t{0};
    std::int64_t index = 0;
    Offset start = 0;
    Offset units = 0;
    std::int64_t firstLine = -1;
    std::size_t block = 0;
    std::uint32_t local = 0;
    std::uint32_t lineCount = 1;
  };
  mutable Hint hint_;
  mutable std::uint64_t version_ = 0;
  void remember(std::int64_t index, Offset blockStart, std::size_t block, std::uint32_t local,
                std::int64_t firstLine = -1) const {
    rememberAt(index, blockStart + blocks_[block].unitsBefore(local), block, local, firstLine);
  }
  void rememberAt(std::int64_t index, Offset start, std::size_t block, std::uint32_t local,
                  std::int64_t firstLine) const {
    const Block& b = blocks_[block];
    hint_ =
        Hint{version_, index, start, b.unitsOf(local), firstLine, block, local, b.lineCount(local)};
  }
  bool hinted(std::int64_t index) const {
    return hint_.version == version_ && hint_.index == index;
  }
  std::int64_t paragraphCount_ = 0;
  Offset totalUnits_ = 0;
  std::int64_t totalLines_ = 0;

  // The buffer of the last load, freed once no paragraph borrows from it.
  std::unique_ptr<char[]> arena_;
  std::size_t arenaUsers_ = 0;
  bool loading_ = false;
  // Large pieces of memory the blocks of a load are carved from.
  struct SlabDeleter {
    void operator()(std::byte* p) const;
  };
  struct Slab {
    std::unique_ptr<std::byte, SlabDeleter> memory;
    std::size_t size = 0;
    std::size_t used = 0;
  };
  std::vector<Slab> slabs_;
  bool slabbed_ = false;  // this load's blocks come from slabs
  std::byte* carve(std::size_t bytes);
};

}  // namespace quillon::editor
