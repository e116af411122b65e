#include "editor/keyword_matcher.h"

#include <algorithm>

#include "editor/code_memo.h"

namespace quillon::editor {

void KeywordMatcher::Trie::clear() {
  build.assign(1, BuildNode{});
  nodes.assign(1, Node{});
  edgeBytes.clear();
  edgeTargets.clear();
  denseTables.clear();
  keywords.clear();
  rootChild.fill(0);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void KeywordMatcher::Trie::insert(std::string_view text, int keyword) {
  std::uint32_t node = 0;
  bool afterBlank = false;
  for (char ch : text) {
    // A run of blanks in a keyword is one blank of the trie, which stands for any run.
    if (isBlank(ch) && afterBlank) continue;
    afterBlank = isBlank(ch);
    const auto c = static_cast<unsigned char>(afterBlank ? ' ' : ch);
    std::uint32_t next = 0;
    for (const auto& [byte, child] : build[node].children)
      if (byte == c) next = child;
    if (next == 0) {
      next = static_cast<std::uint32_t>(build.size());
      build[node].children.emplace_back(c, next);
      build.emplace_back();
    }
    node = next;
  }
  build[node].keywords.push_back(keyword);
}

void KeywordMatcher::Trie::flatten() {
  nodes.assign(build.size(), Node{});
  for (std::size_t i = 0; i < build.size(); ++i) {
    Node& n = nodes[i];
    n.edgeBegin = static_cast<std::uint32_t>(edgeBytes.size());
    for (const auto& [byte, child] : build[i].children) {
      edgeBytes.push_back(byte);
      edgeTargets.push_back(child);
      if (i == 0) rootChild[byte] = child;
    }
    n.edgeEnd = static_cast<std::uint32_t>(edgeBytes.size());
    if (i != 0 && n.edgeEnd - n.edgeBegin > 6) {
      n.dense = static_cast<std::int32_t>(denseTables.size());
      auto& table = denseTables.emplace_back();
      table.fill(0);
      for (const auto& [byte, child] : build[i].children) table[byte] = child;
    }
    n.keywordBegin = static_cast<std::uint32_t>(keywords.size());
    keywords.insert(keywords.end(), build[i].keywords.begin(), build[i].keywords.end());
    n.keywordEnd = static_cast<std::uint32_t>(keywords.size());
  }
  build.clear();
}

void KeywordMatcher::build(const KeywordList& list) {
  for (auto& row : tries_)
    for (auto& t : row) t.clear();
  for (int k : list.activeIndices()) {
    const KeywordInfo& info = list.info(k);
    tries_[info.wholeWordsOnly() ? 1 : 0][info.matchCase() ? 1 : 0].insert(list.searchText(k), k);
  }
  for (auto& row : tries_)
    for (auto& t : row) t.flatten();
}

void KeywordMatcher::find(std::string_view text, std::string_view raw, std::string_view upper,
                          const CharSet& separators, std::vector<KeywordHit>& hits) {
  hits.clear();
  candidates_.clear();
  const std::size_t n = text.size();
  if (separators.bits() != separatorBits_) {
    separatorBits_ = separators.bits();
    for (std::size_t c = 0; c < 256; ++c) isSeparator_[c] = separatorBits_[c];
  }
  auto isSep = [this](char c) { return isSeparator_[static_cast<unsigned char>(c)]; };
  auto walk = [&](const Trie& trie, std::string_view copy, std::size_t p, bool whole) {
    std::uint32_t node = trie.rootChild[static_cast<unsigned char>(copy[p])];
    std::size_t j = p;
    while (node != 0) {
      const Trie::Node& nd = trie.nodes[node];
      if (nd.keywordBegin != nd.keywordEnd && (!whole || j + 1 == n || isSep(text[j + 1])))
        for (std::uint32_t i = nd.keywordBegin; i < nd.keywordEnd; ++i)
          candidates_.push_back({trie.keywords[i], static_cast<std::uint32_t>(p),
                                 static_cast<std::uint32_t>(j + 1 - p)});
      if (++j >= n) break;
      const bool blank = isBlank(copy[j]);
      const auto c = static_cast<unsigned char>(blank ? ' ' : copy[j]);
      std::uint32_t next = 0;
      if (nd.dense >= 0) {
        next = trie.denseTables[static_cast<std::size_t>(nd.dense)][c];
      } else {
        for (std::uint32_t e = nd.edgeBegin; e < nd.edgeEnd; ++e)
          if (trie.edgeBytes[e] == c) {
            next = trie.edgeTargets[e];
            break;
          }
      }
      // "Create  Menu\tBar" is still Create Menu Bar.
      if (next != 0 && blank)
        while (j + 1 < n && isBlank(copy[j + 1])) ++j;
      node = next;
    }
  };
  const bool useUpper = !upper.empty();
  const bool anyRaw = !tries_[0][1].empty(), anyUpper = useUpper && !tries_[0][0].empty();
  const bool wordRaw = !tries_[1][1].empty(), wordUpper = useUpper && !tries_[1][0].empty();
  for (std::size_t p = 0; p < n; ++p) {
    if (anyRaw) walk(tries_[0][1], raw, p, false);
    if (anyUpper) walk(tries_[0][0], upper, p, false);
    if ((wordRaw || wordUpper) && (p == 0 || isSep(text[p - 1]))) {
      if (wordRaw) walk(tries_[1][1], raw, p, true);
      if (wordUpper) walk(tries_[1][0], upper, p, true);
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
  std::sort(hits.begin(), hits.end(),
            [](const KeywordHit& a, const KeywordHit& b) { return a.offset < b.offset; });
}

}  // namespace quillon::editor
