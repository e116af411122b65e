#include "editor/block_sums.h"

namespace quillon::editor {

void BlockSums::reshape(std::size_t blocks) {
  blocks_ = blocks;
  levels_.clear();
  std::size_t children = blocks;
  std::size_t offset = 0;
  do {
    const std::size_t nodes = (children + kWays - 1) / kWays;
    levels_.push_back({offset, nodes, children});
    offset += nodes * kNode;
    children = nodes;
  } while (children > 1);
  sums_.assign(offset, kUnused);
}

void BlockSums::setLeaf(std::size_t block, const Counts& c) {
  std::int64_t* s = &sums_[block / kWays * kNode + block % kWays];
  s[0] = c.units;
  s[kWays] = c.lines;
  s[2 * kWays] = c.paras;
}

// Turns each level's own counts into the sums before each child, and hands each node's total
// up a level.
void BlockSums::sumUp() {
  for (std::size_t level = 0; level < levels_.size(); ++level) {
    const Level& l = levels_[level];
    for (std::size_t node = 0; node < l.nodes; ++node) {
      std::int64_t* s = &sums_[l.offset + node * kNode];
      const std::size_t m = childCount(l, node);
      for (std::size_t k = 0; k < 3; ++k) {
        std::int64_t* ks = s + k * kWays;
        std::int64_t total = 0;
        for (std::size_t j = 0; j < m; ++j) {
          const std::int64_t own = ks[j];
          ks[j] = total;
          total += own;
        }
        if (level + 1 < levels_.size())
          sums_[levels_[level + 1].offset + node / kWays * kNode + k * kWays + node % kWays] =
              total;
      }
    }
  }
}

void BlockSums::add(std::size_t block, const Counts& delta) {
  const std::int64_t d[3] = {delta.units, delta.lines, delta.paras};
  std::size_t i = block;
  for (const Level& l : levels_) {
    const std::size_t node = i / kWays;
    const std::size_t m = childCount(l, node);
    std::int64_t* s = &sums_[l.offset + node * kNode];
    for (std::size_t k = 0; k < 3; ++k) {
      if (d[k] == 0) continue;
      for (std::size_t j = i % kWays + 1; j < m; ++j) s[k * kWays + j] += d[k];
    }
    i = node;
  }
}

BlockSums::Found BlockSums::find(std::int64_t value, Key key) const {
  Found f;
  if (blocks_ == 0) return f;
  value = std::max<std::int64_t>(value, 0);
  std::size_t node = 0;
  for (std::size_t level = levels_.size(); level-- > 0;) {
    const Level& l = levels_[level];
    const std::int64_t* s = &sums_[l.offset + node * kNode];
    const std::int64_t* ks = s + static_cast<std::size_t>(key) * kWays;
    // The sums rise, the first is 0 and the unused slots are above any value: the child is
    // found by counting, and what lies before it read, without a jump.
    std::size_t count = 0;
#pragma GCC unroll 16
    for (std::size_t j = 0; j < kWays; ++j) count += ks[j] <= value ? 1 : 0;
    const std::size_t c = count - 1;
    f.before.units += s[c];
    f.before.lines += s[kWays + c];
    f.before.paras += s[2 * kWays + c];
    value -= ks[c];
    node = node * kWays + c;
  }
  f.block = node;
  return f;
}

BlockSums::Counts BlockSums::before(std::size_t block) const {
  Counts acc;
  std::size_t i = block;
  for (const Level& l : levels_) {
    const std::size_t c = i % kWays;
    i /= kWays;
    const std::int64_t* s = &sums_[l.offset + i * kNode];
    acc.units += s[c];
    acc.lines += s[kWays + c];
    acc.paras += s[2 * kWays + c];
  }
  return acc;
}

}  // namespace quillon::editor
