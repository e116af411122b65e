#pragma once
#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/keyword_list.h"

namespace quillon::editor {

class CharSet;

struct KeywordHit {
  int keyword = 0;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  bool operator==(const KeywordHit&) const = default;
};

// Finds the keywords of a paragraph with the result of searching keyword by keyword in list
// order, where each occurrence found is blanked so that later keywords cannot overlap it, but
// looks each position up only once. Candidates come from tries over the search texts (whole-word
// keywords are only tried where a word starts); they are then settled in list order, which is
// exactly what the keyword-by-keyword search does: an occurrence survives when no occurrence of
// an earlier keyword, nor an earlier occurrence of its own, has claimed one of its characters.
// A blank inside a keyword matches any run of blanks and tabs, so "Create Menu Bar" is found
// however its words are spaced.
class KeywordMatcher {
public:
  void build(const KeywordList& keywords);

  // `text` is the paragraph; `raw` and `upper` are its two copies with every character where
  // keywords may not stand blanked (character 5). `upper` may be empty when no keyword ignores
  // case. Hits come out sorted by offset and never overlap.
  void find(std::string_view text, std::string_view raw, std::string_view upper,
            const CharSet& separators, std::vector<KeywordHit>& hits);

private:
  // Built as nested nodes, then laid out flat: a node's edges are contiguous, so a walk
  // scans a few bytes per step instead of chasing pointers.
  struct Trie {
    struct BuildNode {
      std::vector<std::pair<unsigned char, std::uint32_t>> children;
      std::vector<int> keywords;  // ending here, in list order
    };
    struct Node {
      std::uint32_t edgeBegin = 0, edgeEnd = 0;
      std::uint32_t keywordBegin = 0, keywordEnd = 0;
      std::int32_t dense = -1;  // index into `denseTables` for nodes with many edges
    };
    std::vector<std::array<std::uint32_t, 256>> denseTables;
    std::vector<BuildNode> build;
    std::vector<Node> nodes;  // node 0 is the root
    std::vector<unsigned char> edgeBytes;
    std::vector<std::uint32_t> edgeTargets;
    std::vector<int> keywords;
    std::array<std::uint32_t, 256> rootChild{};  // 0: none
    bool empty() const { return nodes.size() <= 1; }
    void clear();
    void insert(std::string_view text, int keyword);
    void flatten();
  };

  // [whole words][match case]
  Trie tries_[2][2];
  std::vector<KeywordHit> candidates_;
  // The separators as a plain table, rebuilt when they change.
  std::bitset<256> separatorBits_;
  std::array<bool, 256> isSeparator_{};
  std::vector<std::uint8_t> claimed_;
};

}  // namespace quillon::editor
