#include "language/word_checker.h"

#include <algorithm>

#include "language/compare_no_case.h"
#include "language/mapbasic_scanner.h"
#include "platform/ascii_text.h"
#include "platform/text_lines.h"

namespace quillon::language {

namespace {

constexpr std::array<WordList, 4> kKnownLists{WordList::Key, WordList::Def, WordList::Dict,
                                              WordList::User};

constexpr bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

template <class Visit>
void forEachWord(std::string_view text, Visit&& visit) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && !WordChecker::isWordChar(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && WordChecker::isWordChar(text[i])) ++i;
    if (i > start) visit(text.substr(start, i - start));
  }
}

void appendLowered(std::string& out, std::string_view word) {
  for (char c : word) out += platform::asciiLower(c);
}

// The entry's words, or nothing when it can never equal words of a checked line.
std::vector<std::string_view> entryWords(std::string_view entry) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  for (;;) {
    const std::size_t blank = entry.find(' ', start);
    const std::string_view word =
        entry.substr(start, blank == std::string_view::npos ? entry.npos : blank - start);
    if (word.empty() || !std::all_of(word.begin(), word.end(), WordChecker::isWordChar)) return {};
    words.push_back(word);
    if (blank == std::string_view::npos) return words;
    start = blank + 1;
  }
}

}  // namespace

void WordChecker::start(Options options) {
  options_ = options;
  found_.clear();
  foundFolded_.clear();
  if (!options_.showKeyWords) refreshKnown();
}

void WordChecker::refreshKnown() {
  bool current = true;
  for (std::size_t i = 0; i < kKnownLists.size(); ++i)
    current = current && generations_[i] == lists_.generation(kKnownLists[i]);
  if (current) return;
  knownWords_.clear();
  knownPhrases_.clear();
  longestPhrase_.clear();
  for (std::size_t i = 0; i < kKnownLists.size(); ++i) {
    generations_[i] = lists_.generation(kKnownLists[i]);
    for (const std::string& entry : lists_.list(kKnownLists[i])) {
      const std::vector<std::string_view> words = entryWords(entry);
      if (words.empty()) continue;
      std::string folded;
      appendLowered(folded, entry);
      if (words.size() == 1) {
        knownWords_.insert(std::move(folded));
        continue;
      }
      knownPhrases_.insert(std::move(folded));
      std::string first;
      appendLowered(first, words.front());
      std::size_t& longest = longestPhrase_[first];
      longest = std::max(longest, words.size());
    }
  }
}

void WordChecker::check(std::string_view text) {
  platform::forEachLine(text, [this](const platform::TextLine& line) { checkLine(line.text); });
}

std::size_t WordChecker::knownRun(const std::vector<std::string_view>& words, std::size_t at) {
  key_.clear();
  appendLowered(key_, words[at]);
  if (!longestPhrase_.empty()) {
    if (const auto longest = longestPhrase_.find(key_); longest != longestPhrase_.end()) {
      for (std::size_t n = std::min(longest->second, words.size() - at); n >= 2; --n) {
        std::string phrase = key_;
        for (std::size_t k = 1; k < n; ++k) {
          phrase += ' ';
          appendLowered(phrase, words[at + k]);
        }
        if (knownPhrases_.contains(phrase)) return n;
      }
    }
  }
  return knownWords_.contains(key_) ? 1 : 0;
}

void WordChecker::checkLine(std::string_view line) {
  lineWords_.clear();
  scanLine(line, [this](const LineSegment& segment) {
    if (segment.kind == SegmentKind::Code ||
        (segment.kind == SegmentKind::String && options_.includeStrings))
      forEachWord(segment.text, [this](std::string_view word) { lineWords_.push_back(word); });
  });
  for (std::size_t i = 0; i < lineWords_.size();) {
    if (!options_.showKeyWords) {
      if (const std::size_t run = knownRun(lineWords_, i); run > 0) {
        i += run;
        continue;
      }
    }
    const std::string_view word = lineWords_[i++];
    if ((word.front() >= '0' && word.front() <= '9') ||
        std::none_of(word.begin(), word.end(), isLetter))
      continue;
    key_.clear();
    appendLowered(key_, word);
    if (foundFolded_.contains(key_)) continue;
    foundFolded_.insert(key_);
    found_.emplace_back(word);
  }
}

std::vector<std::string> WordChecker::words() const {
  std::vector<std::string> sorted = found_;
  std::sort(sorted.begin(), sorted.end(),
            [](const std::string& a, const std::string& b) { return compareNoCase(a, b) < 0; });
  return sorted;
}

}  // namespace quillon::language
