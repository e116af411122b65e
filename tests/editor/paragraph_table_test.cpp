// The paragraph table and its block sums against plain lists: every look-up between edits, so a
// cached answer that outlived an edit shows.
#include "editor/paragraph_table.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "editor/memo_error.h"

namespace quillon::editor {
namespace {

struct Model {
  std::vector<std::string> texts;
  std::vector<std::uint32_t> lines;  // display lines per paragraph
  std::vector<Offset> starts;        // made by sum() before the look-ups
  std::vector<std::int64_t> firstLines;

  void sum() {
    starts.assign(texts.size() + 1, 0);
    firstLines.assign(texts.size() + 1, 0);
    for (std::size_t k = 0; k < texts.size(); ++k) {
      starts[k + 1] = starts[k] + static_cast<Offset>(texts[k].size()) + 2;
      firstLines[k + 1] = firstLines[k] + lines[k];
    }
  }
};

class TableCheck {
public:
  explicit TableCheck(std::uint64_t seed) : rng_(seed) {}

  void load(std::size_t paragraphs, std::size_t longest) {
    model_.texts.clear();
    std::string all;
    for (std::size_t i = 0; i < paragraphs; ++i) {
      model_.texts.push_back(word(pick(longest + 1)));
      all += model_.texts.back();
    }
    model_.lines.assign(paragraphs, 1);
    auto buffer = std::make_unique<char[]>(all.size() + 1);
    std::memcpy(buffer.get(), all.data(), all.size());
    table_.clearForLoad();
    const char* base = table_.adoptArena(std::move(buffer), all.size());
    std::size_t at = 0;
    for (const std::string& t : model_.texts) {
      table_.appendBorrowed(t.empty() ? nullptr : base + at, static_cast<std::uint32_t>(t.size()),
                            0);
      at += t.size();
    }
    table_.finishLoad();
  }

  // One random edit, then look-ups in random order.
  void step() {
    const std::size_t n = model_.texts.size();
    const auto i = static_cast<std::int64_t>(pick(n));
    switch (pick(6)) {
      case 0: {
        std::string& t = model_.texts[static_cast<std::size_t>(i)];
        const std::size_t pos = pick(t.size() + 1);
        const std::size_t cut = pick(t.size() - pos + 1);
        const std::string in = word(pick(longestInsert_ + 1));
        table_.replaceInParagraph(i, static_cast<std::uint32_t>(pos),
                                  static_cast<std::uint32_t>(cut), in);
        t.replace(pos, cut, in);
        break;
      }
      case 1: {
        const auto at = static_cast<std::int64_t>(pick(n + 1));
        std::vector<std::string> fresh;
        for (std::size_t k = pick(pick(2) ? 4 : 1200) + 1; k > 0; --k)
          fresh.push_back(word(pick(20)));
        table_.insertParagraphs(at, std::vector<std::string_view>(fresh.begin(), fresh.end()));
        model_.texts.insert(model_.texts.begin() + at, fresh.begin(), fresh.end());
        model_.lines.insert(model_.lines.begin() + at, fresh.size(), 1);
        break;
      }
      case 2: {
        if (n < 2) break;
        const auto count = static_cast<std::int64_t>(
            std::min<std::size_t>(pick(pick(2) ? 3 : 900) + 1, n - 1 - i));
        if (count <= 0) break;
        table_.eraseParagraphs(i, count);
        model_.texts.erase(model_.texts.begin() + i, model_.texts.begin() + i + count);
        model_.lines.erase(model_.lines.begin() + i, model_.lines.begin() + i + count);
        break;
      }
      case 3: {
        std::vector<std::uint32_t> starts;
        const std::size_t length = model_.texts[static_cast<std::size_t>(i)].size();
        for (std::uint32_t s = 1; s < length && pick(3) != 0;
             s += 1 + static_cast<std::uint32_t>(pick(4)))
          starts.push_back(s);
        model_.lines[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(starts.size() + 1);
        table_.setLineStarts(i, std::move(starts));
        break;
      }
      case 4:
        if (pick(20) == 0) {
          table_.resetLayout(true);
          model_.lines.assign(model_.texts.size(), 1);
        }
        break;
      default: {
        std::string& t = model_.texts[static_cast<std::size_t>(i)];
        t = t.substr(pick(t.size() + 1)) + "x";
        table_.setText(i, t);
      }
    }
  }

  // Every look-up agrees with the model; returns what differs first.
  std::string check(int probes) {
    const std::size_t n = model_.texts.size();
    if (table_.size() != static_cast<std::int64_t>(n)) return "size";
    model_.sum();
    if (table_.charCount() != model_.starts[n] - 2) return "charCount";
    if (table_.lineCount() != model_.firstLines[n]) return "lineCount";
    for (int q = 0; q < probes; ++q) {
      const std::size_t i = pick(n);
      const auto index = static_cast<std::int64_t>(i);
      const std::string where = " of paragraph " + std::to_string(i);
      switch (pick(5)) {
        case 0:
          if (table_.at(index).text() != model_.texts[i]) return "text" + where;
          if (table_.lengthOf(index) != model_.texts[i].size()) return "length" + where;
          break;
        case 1:
          if (table_.startOf(index) != model_.starts[i]) return "start" + where;
          if (table_.lengthOf(index) != model_.texts[i].size()) return "length after start" + where;
          break;
        case 2:
          if (table_.firstLineOf(index) != model_.firstLines[i]) return "first line" + where;
          if (table_.lineCountOf(index) != model_.lines[i]) return "line count" + where;
          break;
        case 3: {
          // Any offset of the paragraph, its break included, belongs to it.
          const Offset start = model_.starts[i];
          const Offset o =
              start + static_cast<Offset>(pick(model_.texts[i].size() + (i + 1 < n ? 2 : 1)));
          if ((q % 2 ? table_.paragraphToEdit(o) : table_.paragraphAt(o)) != index)
            return "paragraphAt" + where;
          if (table_.startOf(index) != start) return "start after paragraphAt" + where;
          break;
        }
        default: {
          const std::int64_t line =
              model_.firstLines[i] + static_cast<std::int64_t>(pick(model_.lines[i]));
          if (table_.paragraphAtLine(line) != index) return "paragraphAtLine" + where;
          if (table_.firstLineOf(index) != model_.firstLines[i])
            return "first line after paragraphAtLine" + where;
        }
      }
    }
    // A walk from a random paragraph sees the rest in order.
    const std::size_t first = pick(n);
    std::size_t seen = first;
    bool inOrder = true;
    table_.forEach(
        [&](std::int64_t k, const Paragraph& p) {
          inOrder =
              inOrder && k == static_cast<std::int64_t>(seen) && p.text() == model_.texts[seen];
          ++seen;
          return inOrder;
        },
        static_cast<std::int64_t>(first));
    if (!inOrder || seen != n) return "forEach from " + std::to_string(first);
    return {};
  }

  ParagraphTable& table() { return table_; }
  void insertUpTo(std::size_t length) { longestInsert_ = length; }

private:
  std::size_t pick(std::size_t bound) {
    return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(rng_);
  }
  std::string word(std::size_t length) {
    std::string s(length, 'a');
    for (char& c : s) c = static_cast<char>('a' + pick(26));
    return s;
  }

  std::mt19937_64 rng_;
  std::size_t longestInsert_ = 7;
  Model model_;
  ParagraphTable table_;
};

// One block and many; a load large enough to carve its blocks from slabs, which edits then move
// out of; lengths about the one where a paragraph's units no longer fit the byte kept beside it.
TEST(ParagraphTable, EditsKeepEveryLookUpRight) {
  struct Run {
    std::uint64_t seed;
    std::size_t paragraphs, longest, longestInsert;
    int steps, probes;
  };
  for (const Run& r :
       {Run{1, 1, 40, 7, 600, 8}, Run{2, 3000, 40, 7, 600, 8}, Run{3, 3000, 40, 7, 600, 8},
        Run{7, 120000, 160, 7, 100, 20}, Run{5, 5000, 400, 400, 300, 10}}) {
    TableCheck t(r.seed);
    t.load(r.paragraphs, r.longest);
    t.insertUpTo(r.longestInsert);
    ASSERT_EQ(t.check(2000), "") << "seed " << r.seed << " after the load";
    for (int s = 0; s < r.steps; ++s) {
      t.step();
      ASSERT_EQ(t.check(r.probes), "") << "seed " << r.seed << ", step " << s;
    }
  }
}

// The sums over blocks against a plain list, for trees of one level to four.
TEST(BlockSums, FindsAndSumsLikeAPlainList) {
  std::mt19937_64 rng(3);
  for (const std::size_t n : {1u, 2u, 16u, 17u, 300u, 5000u}) {
    std::vector<BlockSums::Counts> plain(n);
    for (auto& c : plain)
      c = {static_cast<std::int64_t>(1 + rng() % 900), static_cast<std::int64_t>(1 + rng() % 40),
           static_cast<std::int64_t>(1 + rng() % 20)};
    BlockSums sums;
    sums.rebuild(n, [&](std::size_t i) { return plain[i]; });
    for (int round = 0; round < 200; ++round) {
      const std::size_t b = rng() % n;
      const BlockSums::Counts delta{static_cast<std::int64_t>(rng() % 50),
                                    static_cast<std::int64_t>(rng() % 3), 0};
      plain[b].units += delta.units;
      plain[b].lines += delta.lines;
      sums.add(b, delta);
      BlockSums::Counts before;
      const std::size_t probe = rng() % n;
      for (std::size_t i = 0; i < probe; ++i) {
        before.units += plain[i].units;
        before.lines += plain[i].lines;
        before.paras += plain[i].paras;
      }
      const BlockSums::Counts got = sums.before(probe);
      ASSERT_EQ(std::tie(got.units, got.lines, got.paras),
                std::tie(before.units, before.lines, before.paras))
          << n << " blocks, before " << probe;
      // Any unit of the probed block, and a value past the end, which gives the last block.
      const std::int64_t value =
          before.units + static_cast<std::int64_t>(rng() % plain[probe].units);
      EXPECT_EQ(sums.find(value, BlockSums::kUnits).block, probe) << n << " blocks";
      EXPECT_EQ(sums.find(before.lines, BlockSums::kLines).before.paras, before.paras)
          << n << " blocks";
      EXPECT_EQ(sums.find(INT64_MAX / 2, BlockSums::kParas).block, n - 1);
    }
  }
}

TEST(ParagraphTable, OutOfRangeIsRefusedAndTheTableStaysWhole) {
  TableCheck t(11);
  t.load(700, 10);
  ParagraphTable& table = t.table();
  EXPECT_THROW(table.at(700), MemoError);
  EXPECT_THROW(table.startOf(-1), MemoError);
  EXPECT_THROW(table.eraseParagraphs(690, 11), MemoError);
  EXPECT_THROW(table.insertParagraphs(701, {"x"}), MemoError);
  EXPECT_EQ(t.check(200), "");
  // Past either end, look-ups clamp to the first and last paragraph.
  EXPECT_EQ(std::tuple(table.paragraphAt(-5), table.paragraphAt(table.charCount() + 10),
                       table.paragraphAtLine(1000)),
            std::tuple(0, 699, 699));
}

}  // namespace
}  // namespace quillon::editor
