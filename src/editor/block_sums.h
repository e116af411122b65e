#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon::editor {

// Running sums of three counts (units, display lines, paragraphs) over a sequence of blocks,
// for the paragraph table: which block holds the n-th unit, line or paragraph, and what the
// blocks before it hold.
//
// A tree of 16-way nodes, built over the blocks as they stand. A node keeps, for each count,
// the sum of its children before each child, relative to the node's start (so the first is
// 0); the slots past its last child hold kUnused, so a search counts the children that start
// at or below the value without a branch. A look-up reads three levels of nodes for 4,000
// blocks; an update adds to the children after the changed one on each level. Only
// rebuild() changes the shape.
class BlockSums {
public:
  enum Key : int { kUnits = 0, kLines = 1, kParas = 2 };
  struct Counts {
    std::int64_t units = 0;
    std::int64_t lines = 0;
    std::int64_t paras = 0;
  };
  struct Found {
    std::size_t block = 0;
    Counts before;  // what the blocks before it hold
  };

  // `count(i)` gives block i's counts.
  template <class CountOf>
  void rebuild(std::size_t blocks, CountOf&& count) {
    reshape(blocks);
    for (std::size_t i = 0; i < blocks; ++i) setLeaf(i, count(i));
    sumUp();
  }
  void add(std::size_t block, const Counts& delta);
  // The block holding `value` (>= 0) of the key: the last block whose preceding sum is <=
  // value. A value past the end gives the last block.
  Found find(std::int64_t value, Key key) const;
  Counts before(std::size_t block) const;

private:
  static constexpr std::size_t kWays = 16;
  static constexpr std::int64_t kUnused = INT64_MAX;
  // A node: kWays running sums per key, the keys one after the other.
  static constexpr std::size_t kNode = 3 * kWays;

  struct Level {
    std::size_t offset = 0;  // of its first node in sums_
    std::size_t nodes = 0;
    std::size_t children = 0;  // of all its nodes together
  };
  void reshape(std::size_t blocks);
  void setLeaf(std::size_t block, const Counts& c);
  void sumUp();
  static std::size_t childCount(const Level& l, std::size_t node) {
    return std::min(kWays, l.children - node * kWays);
  }

  std::size_t blocks_ = 0;
  std::vector<Level> levels_;       // the bottom one first
  std::vector<std::int64_t> sums_;  // every level's nodes, kNode numbers a node
};

}  // namespace quillon::editor
