#include "language/word_classifier.h"

#include <algorithm>
#include <numeric>

#include "editor/case_fold.h"
#include "platform/ascii_text.h"

namespace quillon::language {

namespace {

constexpr std::string_view kDelimiters = "\t ,./\\-+*()";
constexpr std::size_t kTagLength = 3;
constexpr int kPixelsPerCharacter = 8;

bool isDelimiter(char c) { return kDelimiters.find(c) != std::string_view::npos; }

std::string_view keyOf(const std::string& folded) {
  return std::string_view(folded).substr(0, folded.size() - kTagLength);
}

struct Match {
  std::uint8_t list;
  std::uint8_t phrase;
  std::uint32_t entry;
};

}  // namespace

std::vector<std::string_view> WordClassifier::lastWords(std::string_view line, std::size_t count) {
  // Walking back from the end needs the quote state there: the parity of all quotes.
  bool quoted = std::count(line.begin(), line.end(), '"') % 2 == 1;
  std::vector<std::string_view> words;
  std::size_t end = line.size();
  for (std::size_t p = line.size(); p-- > 0 && words.size() < count;) {
    if (line[p] == '"') {
      quoted = !quoted;
    } else if (!quoted && isDelimiter(line[p])) {
      if (end > p + 1) words.push_back(line.substr(p + 1, end - p - 1));
      end = p;
    }
  }
  // Short of the count, the walk reached the line's start: the first word is still open.
  if (words.size() < count && end > 0) words.push_back(line.substr(0, end));
  std::reverse(words.begin(), words.end());
  return words;
}

const WordClassifier::Index& WordClassifier::index(WordList list) {
  Index& ix = indexes_[static_cast<std::size_t>(list)];
  if (ix.generation == lists_.generation(list)) return ix;
  const std::vector<std::string>& entries = lists_.list(list);
  const editor::CaseFolder& fold = editor::CaseFolder::ansi();
  ix.folded.clear();
  ix.folded.reserve(entries.size());
  ix.longest = 0;
  for (const std::string& e : entries) {
    ix.folded.push_back(fold.upper(e).append(classTag(list)));
    ix.longest = std::max(ix.longest, e.size());
  }
  ix.order.resize(entries.size());
  std::iota(ix.order.begin(), ix.order.end(), 0u);
  std::stable_sort(ix.order.begin(), ix.order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return ix.folded[a] < ix.folded[b]; });
  ix.generation = lists_.generation(list);
  return ix;
}

WordClassifier::Result WordClassifier::classify(std::string_view line,
                                                std::string_view currentWord) {
  Result result;
  std::size_t longest = 0;
  for (WordList list : kWordLists) longest = std::max(longest, index(list).longest);

  // W1, W2, W3, upper-cased; a phrase longer than every entry cannot begin one.
  const std::vector<std::string_view> words = lastWords(line, 3);
  std::array<std::string, 3> phrases;
  std::size_t length = 0;
  for (std::size_t k = 0; k < words.size(); ++k) {
    length += words[words.size() - 1 - k].size() + (k > 0 ? 1 : 0);
    if (length > longest) break;
    std::string phrase(words[words.size() - 1 - k]);
    if (k > 0) phrase.append(" ").append(phrases[k - 1]);
    phrases[k] = std::move(phrase);
  }
  const editor::CaseFolder& fold = editor::CaseFolder::ansi();
  for (std::string& p : phrases) fold.upperInPlace(p);

  auto folded = [&](const Match& m) -> const std::string& {
    return indexes_[m.list].folded[m.entry];
  };
  // Entry and tag together; equal texts come from one list, where entry and phrase order rule.
  auto before = [&](const Match& a, const Match& b) {
    if (const int c = folded(a).compare(folded(b)); c != 0) return c < 0;
    return a.entry != b.entry ? a.entry < b.entry : a.phrase < b.phrase;
  };
  // One sorted run per list and phrase: the entries whose text and tag begin with the phrase,
  // less those whose text alone is shorter than it. Each run is merged into those before it.
  std::vector<Match> matches;
  for (WordList list : kWordLists) {
    const Index& ix = index(list);
    for (std::size_t k = 0; k < phrases.size(); ++k) {
      const std::string_view phrase = phrases[k];
      if (phrase.empty() || phrase.size() > ix.longest) continue;
      const std::size_t runStart = matches.size();
      auto it =
          std::lower_bound(ix.order.begin(), ix.order.end(), phrase,
                           [&](std::uint32_t e, std::string_view p) { return ix.folded[e] < p; });
      for (; it != ix.order.end() && std::string_view(ix.folded[*it]).starts_with(phrase); ++it)
        if (ix.folded[*it].size() - kTagLength >= phrase.size())
          matches.push_back({static_cast<std::uint8_t>(list), static_cast<std::uint8_t>(k), *it});
      std::inplace_merge(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(runStart),
                         matches.end(), before);
    }
  }
  // Each pass walks an entry that begins the one before it towards the front. A walk starts
  // only where one entry is a strict prefix of its predecessor and moves it ahead, so every
  // pass with a move lessens those misplaced pairs and the passes end.
  auto key = [&](std::size_t i) { return keyOf(folded(matches[i])); };
  for (bool moved = true; moved;) {
    moved = false;
    for (std::size_t i = matches.size(); i-- > 1;) {
      if (!(key(i).size() < key(i - 1).size() && key(i - 1).starts_with(key(i)))) continue;
      for (std::size_t j = i; j >= 1; --j) {
        if (key(j).size() > key(j - 1).size()) break;
        if (key(j - 1).starts_with(key(j))) {
          std::swap(matches[j], matches[j - 1]);
          moved = true;
        }
      }
    }
  }

  result.items.reserve(matches.size());
  std::size_t widest = 0;
  for (const Match& m : matches) {
    const WordList list = kWordLists[m.list];
    const std::string& entry = lists_.list(list)[m.entry];
    std::string item;
    item.reserve(kTagLength + 1 + entry.size());
    item.append(classTag(list)).append(" ").append(entry);
    result.items.push_back(std::move(item));
    widest = std::max(widest, entry.size() + kTagLength);
  }
  if (!matches.empty())
    result.extent = static_cast<int>(std::min<std::size_t>(widest, 1 << 24)) * kPixelsPerCharacter;

  const std::string_view word = platform::trim(currentWord);
  if (result.items.empty() && !word.empty() && word.size() <= kMaxWordLength) {
    result.items.push_back(std::string(kUnknownPrefix).append(word));
    result.items.emplace_back(kIgnoreRow);
    result.items.emplace_back(kAddRow);
  }
  return result;
}

}  // namespace quillon::language
