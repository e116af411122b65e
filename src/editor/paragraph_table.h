#pragma once
#include <cstdint>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/attr_run.h"

namespace quillon::editor {

using Offset = std::int64_t;

// Extra per-paragraph data that most paragraphs never need: the display-line table of a
// wrapped paragraph and the highlighting runs. Allocated on first use.
struct ParagraphExtra {
  // Start offset (within the paragraph) of display lines 1..n-1; line 0 starts at 0.
  std::vector<std::uint32_t> lineStarts;
  std::vector<AttrRun> runs;   // sorted by offset
  AttrStateRef startState = nullptr;  // region open at the paragraph start; null = none
};

// One paragraph. The text either lives in a shared load arena (capacity 0) or in its own
// buffer with 1/64 spare room, so typing does not reallocate on every character.
struct Paragraph {
  enum Flag : std::uint8_t {
    kLaidOut = 1,
    kKeywordsParsed = 2,
    kStartStopParsed = 4,
    kHasCodes = 8,  // holds formatting codes (1, 2, 3, 4, 21)
  };

  char* data = nullptr;
  std::uint32_t length = 0;
  std::uint32_t capacity = 0;  // 0: borrowed from an arena
  std::uint32_t lineCount = 1;
  std::uint8_t flags = kLaidOut;
  std::unique_ptr<ParagraphExtra> extra;

  std::string_view text() const { return {data, length}; }
  ParagraphExtra& ensureExtra() {
    if (!extra) extra = std::make_unique<ParagraphExtra>();
    return *extra;
  }
};

// The table of paragraphs. Paragraphs live in blocks of a few hundred; each block keeps
// lazily rebuilt prefix sums of its paragraphs' offsets and display lines, and Fenwick trees
// over the blocks give the text-wide sums. Every lookup (offset -> paragraph, line ->
// paragraph, paragraph -> offset or first line) and every update costs O(log n), so an edit
// does not touch the offsets of the paragraphs after it.
//
// Offsets count every paragraph break as 2 characters, whatever the file used.
class ParagraphTable {
  // Index of the last of `n` ascending values (the first being 0) that is <= v. Branch-free:
  // random look-ups would mispredict every step of an ordinary binary search.
  static std::size_t lastNotAbove(const std::int64_t* values, std::size_t n, std::int64_t v) {
    const std::int64_t* base = values;
    while (n > 1) {
      const std::size_t half = n / 2;
      base = base[half] <= v ? base + half : base;
      n -= half;
    }
    return static_cast<std::size_t>(base - values);
  }

  struct Block {
    std::vector<Paragraph> paras;
    // unitStart[i]: units (length + 2 each) of the paragraphs before i in this block; entries
    // 0..validUnits are valid. lineStart likewise, kept only once a paragraph has several lines.
    std::vector<Offset> unitStart;
    std::vector<std::int64_t> lineStart;
    std::size_t validUnits = 0;
    std::size_t validLines = 0;
    Offset units = 0;
    std::int64_t lines = 0;

    // Paragraph i (or those from i on) changed: the sums up to and including i stay valid.
    void invalidateFrom(std::size_t i) {
      validUnits = std::min(validUnits, i);
      validLines = std::min(validLines, i);
    }
    bool singleLines() const { return lines == static_cast<std::int64_t>(paras.size()); }

    void ensureUnits(std::size_t upTo) {  // makes [0, upTo] valid (upTo <= size)
      if (unitStart.size() < paras.size() + 1) unitStart.resize(paras.size() + 1);
      if (validUnits >= upTo) return;
      std::size_t i = validUnits;
      Offset acc = i == 0 ? 0 : unitStart[i];
      if (i == 0) unitStart[0] = 0;
      for (; i < upTo && i < paras.size(); ++i) {
        acc += static_cast<Offset>(paras[i].length) + 2;
        unitStart[i + 1] = acc;
      }
      validUnits = std::max(validUnits, std::min(upTo, paras.size()));
    }
    Offset unitsBefore(std::size_t i) {
      ensureUnits(i);
      return unitStart[i];
    }
    void ensureLines(std::size_t upTo) {
      if (lineStart.size() < paras.size() + 1) lineStart.resize(paras.size() + 1);
      if (validLines >= upTo) return;
      std::size_t i = validLines;
      std::int64_t acc = i == 0 ? 0 : lineStart[i];
      if (i == 0) lineStart[0] = 0;
      for (; i < upTo && i < paras.size(); ++i) {
        acc += paras[i].lineCount;
        lineStart[i + 1] = acc;
      }
      validLines = std::max(validLines, std::min(upTo, paras.size()));
    }
    std::int64_t linesBefore(std::size_t i) {
      if (singleLines()) return static_cast<std::int64_t>(i);
      ensureLines(i);
      return lineStart[i];
    }
    // Largest i with unitsBefore(i) <= u.
    std::size_t findUnits(Offset u) {
      const std::size_t n = paras.size();
      ensureUnits(n);
      // Paragraph lengths in a block are alike, so a guess by proportion lands on or next to
      // the answer and reads one cache line; a lopsided block falls back to bisection.
      std::size_t g = units > 0 ? static_cast<std::size_t>(u * static_cast<Offset>(n) / units) : 0;
      if (g >= n) g = n - 1;
      for (int step = 0; step < 8; ++step) {
        if (unitStart[g] > u) {
          --g;
        } else if (g + 1 < n && unitStart[g + 1] <= u) {
          ++g;
        } else {
          return g;
        }
      }
      return lastNotAbove(unitStart.data(), n, u);
    }
    std::size_t findLine(std::int64_t line) {
      if (singleLines()) return static_cast<std::size_t>(line);
      ensureLines(paras.size());
      return lastNotAbove(lineStart.data(), paras.size(), line);
    }
  };


public:
  static constexpr std::size_t kBlockSize = 512;

  ParagraphTable();
  ~ParagraphTable();
  ParagraphTable(const ParagraphTable&) = delete;
  ParagraphTable& operator=(const ParagraphTable&) = delete;

  // Replaces everything with one empty paragraph and frees all arenas.
  void clear();

  std::int64_t size() const { return paragraphCount_; }
  // Sum of lengths plus 2 per break (the last paragraph has none).
  Offset charCount() const { return totalUnits_ - 2; }
  std::int64_t lineCount() const { return totalLines_; }

  Paragraph& at(std::int64_t index);
  const Paragraph& at(std::int64_t index) const;

  Offset startOf(std::int64_t index) const;      // offset of the paragraph's first character
  // Length and display-line count, answered from the lookup just made when possible so that
  // a query need not touch the paragraph record itself.
  std::uint32_t lengthOf(std::int64_t index) const;
  std::uint32_t lineCountOf(std::int64_t index) const;
  std::int64_t firstLineOf(std::int64_t index) const;
  // The paragraph containing offset (a break's offsets belong to the paragraph before it).
  std::int64_t paragraphAt(Offset offset) const;
  std::int64_t paragraphAtLine(std::int64_t line) const;

  // --- building during a load ---
  // Takes ownership of a buffer whose paragraphs will borrow their text from it.
  const char* adoptArena(std::unique_ptr<char[]> buffer, std::size_t size);
  // Appends a paragraph whose text is borrowed from the arena last adopted. Only valid while
  // loading, right after clearForLoad().
  void clearForLoad();
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
  void setLineCount(std::int64_t index, std::uint32_t lines);
  // Display-line counts of every paragraph set to 1 and the laid-out flag cleared.
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
      const Prefix p = descend(first, &FenNode::paras);
      b = p.block;
      index = p.paras;
    }
    for (; b < blocks_.size(); ++b) {
      const auto& paras = blocks_[b]->paras;
      const auto n = static_cast<std::int64_t>(paras.size());
      for (std::int64_t i = std::max<std::int64_t>(0, first - index); i < n; ++i)
        if (!fn(index + i, paras[static_cast<std::size_t>(i)])) return;
      index += n;
    }
  }

  template <class Fn>
  void forEachMutable(Fn&& fn, std::int64_t first = 0) {
    const auto& self = *this;
    self.forEach([&](std::int64_t i, const Paragraph& p) { return fn(i, const_cast<Paragraph&>(p)); }, first);
  }

private:
  struct Location {
    Block* block;
    std::size_t blockIndex;
    std::size_t local;
  };

  Location locate(std::int64_t index) const;
  void releaseText(Paragraph& p);
  void ensureOwned(Paragraph& p, std::uint32_t newLength);
  void adjustBlock(std::size_t blockIndex, Offset unitsDelta, std::int64_t linesDelta,
                   std::int64_t parasDelta);
  void structureChanged() const {
    fenwickValid_ = false;
    ++version_;
  }
  void rebuildFenwick() const;
  struct FenNode {
    std::int64_t units = 0;  // length + 2 per paragraph
    std::int64_t lines = 0;
    std::int64_t paras = 0;
  };
  struct Prefix {
    std::size_t block = 0;
    std::int64_t units = 0;
    std::int64_t lines = 0;
    std::int64_t paras = 0;
  };
  Prefix descend(std::int64_t value, std::int64_t FenNode::*key) const;
  Prefix prefixOf(std::size_t block) const;
  void fenwickAdd(std::size_t i, Offset units, std::int64_t lines, std::int64_t paras) const;
  void splitIfLarge(std::size_t blockIndex);
  void removeEmptyBlocks();

  std::vector<std::unique_ptr<Block>> blocks_;
  // Fenwick trees over blocks: units (length + 2 per paragraph), lines, paragraphs.
  mutable std::vector<FenNode> fen_;
  mutable std::size_t fenStep_ = 1;  // highest power of two <= fen_.size()
  mutable bool fenwickValid_ = false;
  // The last paragraph looked up: an edit asks about the same paragraph many times over.
  struct Hint {
    std::uint64_t version = ~std::uint64_t{0};
    std::int64_t index = 0;
    Offset start = 0;
    Offset units = 0;
    std::int64_t firstLine = -1;
    std::size_t block = 0;
    std::size_t local = 0;
    std::uint32_t lineCount = 1;
  };
  mutable Hint hint_;
  mutable std::uint64_t version_ = 0;
  void remember(std::int64_t index, Offset start, std::size_t block, std::size_t local, std::int64_t firstLine = -1) const {
    Block& b = *blocks_[block];
    b.ensureUnits(local + 1);
    hint_ = Hint{version_, index, start, b.unitStart[local + 1] - b.unitStart[local], firstLine, block, local,
                 b.singleLines() ? 1u : b.paras[local].lineCount};
  }
  bool hinted(std::int64_t index) const { return hint_.version == version_ && hint_.index == index; }
  std::int64_t paragraphCount_ = 0;
  Offset totalUnits_ = 0;
  std::int64_t totalLines_ = 0;

  // Load arenas keyed by their start address, with the number of paragraphs borrowing.
  struct Arena {
    std::unique_ptr<char[]> memory;
    std::size_t size = 0;
    std::size_t users = 0;
  };
  std::map<const char*, Arena> arenas_;
  Arena* loadingArena_ = nullptr;
};

}  // namespace quillon::editor
