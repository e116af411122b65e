#include "editor/keyword_matcher.h"

#include <algorithm>

#include "editor/code_memo.h"

namespace quillon::editor {

void KeywordMatcher::Trie::clear() {
  nodes.assign(1, Node{});
  rootChild.fill(0);
}

void KeywordMatcher::Trie::insert(std::string_view text, int keyword) {
  if (nodes.empty()) clear();
  std::uint32_t node = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::uint32_t next = 0;
    if (node == 0) {
      next = rootChild[c];
    } else {
      for (const auto& [byte, child] : nodes[node].children)
        if (byte == c) next = child;
    }
    if (next == 0) {
      next = static_cast<std::uint32_t>(nodes.size());
      nodes.emplace_back();
      if (node == 0)
        rootChild[c] = next;
      else
        nodes[node].children.emplace_back(c, next);
    }
    node = next;
  }
  nodes[node].keywords.push_back(keyword);
}

void KeywordMatcher::build(const KeywordList& keywords) {
  for (auto& row : tries_)
    for (auto& t : row) t.clear();
  for (int k : keywords.activeIndices()) {
    const KeywordInfo& info = keywords.info(k);
    const std::string& search = keywords.searchText(k);
    tries_[info.wholeWordsOnly() ? 1 : 0][info.matchCase() ? 1 : 0].insert(search, k);
  }
}

void KeywordMatcher::find(std::string_view text, std::string_view raw, std::string_view upper,
                          const CharSet& separators, std::vector<KeywordHit>& hits) {
  hits.clear();
  candidates_.clear();
  const std::size_t n = text.size();
  auto walk = [&](const Trie& trie, std::string_view copy, std::size_t p, bool whole) {
    std::uint32_t node = trie.rootChild[static_cast<unsigned char>(copy[p])];
    std::size_t j = p;
    while (node != 0) {
      const Trie::Node& nd = trie.nodes[node];
      if (!nd.keywords.empty() && (!whole || j + 1 == n || separators.contains(text[j + 1])))
        for (int k : nd.keywords)
          candidates_.push_back({k, static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(j + 1 - p)});
      if (++j >= n) break;
      const auto c = static_cast<unsigned char>(copy[j]);
      std::uint32_t next = 0;
      for (const auto& [byte, child] : nd.children)
        if (byte == c) {
          next = child;
          break;
        }
      node = next;
    }
  };
  const bool useUpper = !upper.empty();
  for (std::size_t p = 0; p < n; ++p) {
    if (!tries_[0][1].empty()) walk(tries_[0][1], raw, p, false);
    if (useUpper && !tries_[0][0].empty()) walk(tries_[0][0], upper, p, false);
    if (p == 0 || separators.contains(text[p - 1])) {
      if (!tries_[1][1].empty()) walk(tries_[1][1], raw, p, true);
      if (useUpper && !tries_[1][0].empty()) walk(tries_[1][0], upper, p, true);
    }
  }
  if (candidates_.empty()) return;
  if (candidates_.size() == 1) {
    hits.push_back(candidates_.front());
    return;
  }
  // Settle in list order, each keyword's occurrences from left to right.
  std::sort(candidates_.begin(), candidates_.end(), [](const KeywordHit& a, const KeywordHit& b) {
    return a.keyword != b.keyword ? a.keyword < b.keyword : a.offset < b.offset;
  });
  claimed_.assign(n, 0);
  for (const KeywordHit& c : candidates_) {
    const auto first = claimed_.begin() + c.offset;
    if (std::find(first, first + c.length, 1) != first + c.length) continue;
    std::fill(first, first + c.length, 1);
    hits.push_back(c);
  }
  std::sort(hits.begin(), hits.end(), [](const KeywordHit& a, const KeywordHit& b) { return a.offset < b.offset; });
}

}  // namespace quillon::editor
