#include "editor/highlight_engine.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "editor/code_memo.h"

namespace quillon::editor {

namespace {

constexpr std::uint8_t kParseFlags = Paragraph::kKeywordsParsed | Paragraph::kStartStopParsed;
constexpr char kBlank = 5;  // no keyword contains it

AttrState levelState(const KeywordInfo& info, std::uint16_t key, std::size_t openLength,
                     std::size_t closeLength) {
  AttrState s;
  s.style = static_cast<std::uint8_t>((info.style & 0x3F) | AttrState::kScanned |
                                      AttrState::kOpenedByKey);
  s.level = 0;
  s.backgnd = info.backgnd;
  s.foregnd = info.foregnd;
  s.contextNum = info.contextNum;
  s.cursor = info.cursor;
  s.keyStack[0] = key;
  s.openLength = static_cast<std::uint8_t>(std::min<std::size_t>(openLength, 255));
  s.closeLength = static_cast<std::uint8_t>(std::min<std::size_t>(closeLength, 255));
  return s;
}

// Keywords may stand outside marked regions and inside those whose context number is 0.
bool keywordsBlocked(AttrStateRef s) {
  return s && (s->style & AttrState::kScanned) && s->contextNum != 0;
}

}  // namespace

const AttrState HighlightEngine::kEmpty{};

std::size_t HighlightEngine::StateHash::operator()(const AttrState& s) const {
  std::size_t h = s.style;
  auto mix = [&h](std::size_t v) { h = (h ^ v) * 0x100000001B3ull; };
  mix(static_cast<std::size_t>(s.level + 1));
  mix(static_cast<std::uint32_t>(s.backgnd));
  mix(static_cast<std::uint32_t>(s.foregnd));
  mix(static_cast<std::uint16_t>(s.contextNum));
  mix(static_cast<std::uint16_t>(s.cursor));
  for (int i = 0; i <= s.level && i < 16; ++i) mix(s.keyStack[static_cast<std::size_t>(i)]);
  mix(s.openLength);
  mix(s.closeLength);
  return h;
}

HighlightEngine::HighlightEngine(CodeMemo& memo) : memo_(memo) {
  keywordsSubscription_ = keywords_.subscribe([this] { keywordsDirty_ = true; });
  startStopsSubscription_ = startStops_.subscribe([this] { refreshStartStops(); });
  keywords_.setUpperCaseType(memo.upperCaseType());
  startStops_.setUpperCaseType(memo.upperCaseType());
  memo_.setScanner(this);
  refreshStartStops();
}

HighlightEngine::~HighlightEngine() {
  setHighlighter(nullptr);
  // The runs point into this engine's states.
  dropAll(true);
  if (memo_.scanner() == this) memo_.setScanner(nullptr);
}

void HighlightEngine::setHighlighter(CodeHighlighter* highlighter) {
  if (highlighter == highlighter_) return;
  if (highlighter_) std::erase(highlighter_->users_, this);
  highlighter_ = highlighter;
  if (highlighter_) highlighter_->users_.push_back(this);
}

CodeHighlighter::~CodeHighlighter() {
  // Detaching edits users_; work on a copy.
  const auto users = users_;
  for (HighlightEngine* e : users) e->setHighlighter(nullptr);
}

void HighlightEngine::setUpperCaseType(UpperCaseType type, const CaseFolder* userDefined) {
  memo_.setUpperCaseType(type);
  memo_.setUserUpperCase(userDefined);
  keywords_.setUpperCaseType(type, userDefined);
  startStops_.setUpperCaseType(type, userDefined);
}

// ---------------------------------------------------------------------------------------
// States

AttrStateRef HighlightEngine::intern(const AttrState& state) {
  if (state == kEmpty) return nullptr;
  return &*pool_.insert(state).first;
}

AttrStateRef HighlightEngine::pushed(AttrStateRef outer, AttrStateRef level) {
  const std::size_t slot = (PairHash()({outer, level}) >> 4) & (pushedFast_.size() - 1);
  CacheSlot& fast = pushedFast_[slot];
  if (fast.result && fast.outer == outer && fast.level == level) return fast.result;
  AttrStateRef result;
  if (auto it = pushedCache_.find({outer, level}); it != pushedCache_.end()) {
    result = it->second;
  } else {
    const AttrState& o = stateOf(outer);
    if (o.level >= kMaxLevel) return outer;  // the key stack is full
    AttrState s = stateOf(level);
    s.level = static_cast<std::int8_t>(o.level + 1);
    const std::uint16_t key = s.keyStack[0];
    s.keyStack = o.keyStack;
    s.keyStack[static_cast<std::size_t>(s.level)] = key;
    result = intern(s);
    pushedCache_.emplace(std::pair{outer, level}, result);
    outerCache_[result] = outer;
  }
  fast = {outer, level, result};
  return result;
}

AttrStateRef HighlightEngine::levelOf(std::uint16_t key) {
  if (key & kStartStopBit) {
    const std::size_t k = key & 0x7FFF;
    if (k < startStopLevels_.size()) return startStopLevels_[k];
  } else if (key < keywordLevels_.size()) {
    if (keywordsDirty_) refreshKeywords();
    return keywordLevels_[key];
  }
  return intern(levelState(KeywordInfo{}, key, 0, 0));
}

AttrStateRef HighlightEngine::outerOf(AttrStateRef state) {
  if (!state || state->level <= 0) return nullptr;
  if (auto it = outerCache_.find(state); it != outerCache_.end()) return it->second;
  // A state carried over from an earlier scan: rebuild its outer levels from the key stack.
  AttrStateRef outer = nullptr;
  for (int l = 0; l < state->level; ++l)
    outer = pushed(outer, levelOf(state->keyStack[static_cast<std::size_t>(l)]));
  outerCache_[state] = outer;
  return outer;
}

void HighlightEngine::refreshKeywords() {
  keywordsDirty_ = false;
  matcher_.build(keywords_);
  keywordLevels_.assign(static_cast<std::size_t>(keywords_.count()), nullptr);
  for (int k = 0; k < keywords_.count(); ++k) {
    const std::size_t len = keywords_.length(k);
    keywordLevels_[static_cast<std::size_t>(k)] =
        intern(levelState(keywords_.info(k), static_cast<std::uint16_t>(k), len, len));
  }
  // Levels of the old list may have been rebuilt from key stacks.
  outerCache_.clear();
}

void HighlightEngine::refreshStartStops() {
  const int n = startStops_.count();
  startStopLevels_.assign(static_cast<std::size_t>(n), nullptr);
  sameStartFollower_.assign(static_cast<std::size_t>(n), -1);
  startFirstByte_.fill(false);
  ssFolder_ = &startStops_.folder();
  for (int k = 0; k < n; ++k) {
    const StartStopInfo& key = startStops_.item(k);
    startStopLevels_[static_cast<std::size_t>(k)] = intern(levelState(
        key.info, static_cast<std::uint16_t>(kStartStopBit | k), key.startLength, key.stopLength));
    if (key.sameStart >= 0 && sameStartFollower_[static_cast<std::size_t>(key.sameStart)] < 0)
      sameStartFollower_[static_cast<std::size_t>(key.sameStart)] = k;
    if (key.startSearch.empty()) continue;
    const auto first = static_cast<unsigned char>(key.startSearch.front());
    for (int c = 0; c < 256; ++c)
      if (key.info.matchCase() ? c == first : (*ssFolder_)(static_cast<unsigned char>(c)) == first)
        startFirstByte_[static_cast<std::size_t>(c)] = true;
  }
  outerCache_.clear();
}

// ---------------------------------------------------------------------------------------
// When scanning happens

void HighlightEngine::dropAll(bool release) {
  paragraphsOf(memo_).forEachMutable([release](std::int64_t, Paragraph& p) {
    p.flags = static_cast<std::uint8_t>(p.flags & ~kParseFlags);
    if (p.extra()) {
      p.extra()->startState = nullptr;
      // A re-scan usually makes the same runs again: keep their room unless leaving.
      if (!release) {
        p.extra()->runs.clear();
      } else if (p.extra()->lineStarts.empty()) {
        p.dropExtra();
      } else {
        std::vector<AttrRun>().swap(p.extra()->runs);
      }
    }
    return true;
  });
  startStopHigh_ = 0;
}

void HighlightEngine::reApplyKeywords() {
  dropAll(false);
  if (keywordsDirty_) refreshKeywords();
  startStops_.prepare(memo_.separators().bits());
  memo_.highlightingChanged();
}

void HighlightEngine::setSyntaxHighlighting(bool on, CodeHighlighter* highlighter) {
  applyKeyWords_ = on;
  applyStartStopKeys_ = on;
  setHighlighter(on ? highlighter : nullptr);
  reApplyKeywords();
}

void HighlightEngine::textReset() { startStopHigh_ = 0; }

void HighlightEngine::paragraphsReplaced(std::int64_t first, std::int64_t removed,
                                         std::int64_t inserted, bool deferred) {
  const std::int64_t oldHigh = startStopHigh_;
  const bool wasScanned = oldHigh > first;
  const std::int64_t restoredHigh =
      wasScanned ? std::max(first + inserted, oldHigh - removed + inserted) : oldHigh;
  startStopHigh_ = std::min(restoredHigh, first);
  if (deferred || !wasScanned || inserted <= 0) return;
  const bool spread = scanRange(first, first + inserted - 1, first);
  startStopHigh_ = spread ? first + inserted : restoredHigh;
}

void HighlightEngine::prepare(std::int64_t first, std::int64_t last) {
  last = std::min(last, memo_.paragraphCount() - 1);
  first = std::max<std::int64_t>(first, 0);
  if (last < first) return;
  // Regions reach the painted paragraphs from above, so everything up to them is scanned first.
  scanRange(std::min(startStopHigh_, first), last, first);
  startStopHigh_ = std::max(startStopHigh_, last + 1);
}

void HighlightEngine::scanAll() { prepare(0, memo_.paragraphCount() - 1); }

bool HighlightEngine::scanRange(std::int64_t from, std::int64_t to, std::int64_t keywordsFrom) {
  if (!startStops_.prepared()) startStops_.prepare(memo_.separators().bits());
  if (keywordsDirty_) refreshKeywords();
  bool carrying = false;
  AttrStateRef carried = nullptr;
  auto handOn = [](Paragraph& p, AttrStateRef state) {
    const AttrStateRef old = p.extra() ? p.extra()->startState : nullptr;
    if (old == state) return;
    if (state || p.extra()) p.ensureExtra().startState = state;
    if (p.extra()) p.extra()->runs.clear();
    p.flags = static_cast<std::uint8_t>(p.flags & ~kParseFlags);
  };
  paragraphsOf(memo_).forEachMutable(
      [&](std::int64_t i, Paragraph& p) {
        if (i > to) {
          if (carrying) {
            const AttrStateRef old = p.extra() ? p.extra()->startState : nullptr;
            handOn(p, carried);
            carrying = old != carried;
          }
          return false;
        }
        if (carrying) handOn(p, carried);
        carrying = false;
        if (!(p.flags & Paragraph::kStartStopParsed)) {
          carried = scanStartStops(p);
          carrying = true;
        }
        if (i >= keywordsFrom && !(p.flags & Paragraph::kKeywordsParsed)) scanKeywords(i, p);
        return true;
      },
      from);
  return carrying && to + 1 < memo_.paragraphCount();
}

// ---------------------------------------------------------------------------------------
// Start-stop regions

bool HighlightEngine::matchesAt(std::string_view text, std::size_t p, const std::string& search,
                                bool matchCase) const {
  if (search.empty() || p + search.size() > text.size()) return false;
  if (matchCase) return std::memcmp(text.data() + p, search.data(), search.size()) == 0;
  for (std::size_t i = 0; i < search.size(); ++i)
    if (ssFolder_->fold(text[p + i]) != search[i]) return false;
  return true;
}

int HighlightEngine::startKeyAt(std::string_view text, std::size_t p) const {
  const CharSet& seps = memo_.separators();
  for (int k = 0; k < startStops_.count(); ++k) {
    const StartStopInfo& key = startStops_.item(k);
    if (!matchesAt(text, p, key.startSearch, key.info.matchCase())) continue;
    const std::size_t end = p + key.startSearch.size();
    if (key.startSepBefore && p > 0 && !seps.contains(text[p - 1])) continue;
    if (key.startSepAfter && end < text.size() && !seps.contains(text[end])) continue;
    return k;
  }
  return -1;
}

std::size_t HighlightEngine::findStop(const StartStopInfo& key, std::string_view text,
                                      std::size_t from) const {
  const std::string& stop = key.stopSearch;
  if (stop.empty()) return std::string_view::npos;
  const CharSet& seps = memo_.separators();
  for (std::size_t p = from; p + stop.size() <= text.size(); ++p) {
    if (!matchesAt(text, p, stop, key.info.matchCase())) continue;
    const std::size_t end = p + stop.size();
    if (key.stopSepBefore && p > 0 && !seps.contains(text[p - 1])) continue;
    if (key.stopSepAfter && end < text.size() && !seps.contains(text[end])) continue;
    return p;
  }
  return std::string_view::npos;
}

AttrStateRef HighlightEngine::scanStartStops(Paragraph& paragraph) {
  ++startStopScans_;
  paragraph.flags = static_cast<std::uint8_t>((paragraph.flags & ~Paragraph::kKeywordsParsed) |
                                              Paragraph::kStartStopParsed);
  const AttrStateRef startState = paragraph.extra() ? paragraph.extra()->startState : nullptr;
  AttrStateRef cur = startState;
  if (paragraph.extra()) paragraph.extra()->runs.clear();
  if (paragraph.length > kLongestHighlighted) return cur;
  const bool useKeys = applyStartStopKeys_ && !startStops_.empty();
  if (!useKeys && !highlighter_) return cur;

  const std::string_view text = paragraph.text();
  const std::size_t n = text.size();
  std::vector<AttrRun>& runs = runsOut_;
  runs.clear();
  auto addRun = [&](std::size_t offset, AttrStateRef state) {
    if (offset >= n) return;
    if (!runs.empty() && runs.back().offset == offset) runs.pop_back();
    const AttrStateRef before = runs.empty() ? startState : runs.back().state;
    if (before != state) runs.push_back({static_cast<std::uint32_t>(offset), state});
  };

  std::size_t pos = 0;
  // Every step moves past at least one character; the bound only guards against a highlighter
  // that reports regions without progress.
  for (std::size_t steps = 0; pos <= n && steps < 2 * n + 16; ++steps) {
    const AttrState& cs = stateOf(cur);
    const std::uint16_t top = cs.level >= 0 ? cs.keyStack[static_cast<std::size_t>(cs.level)] : 0;
    const bool inKeyRegion =
        cs.level >= 0 && (top & kStartStopBit) && (top & 0x7FFF) < startStops_.count();
    if (inKeyRegion) {
      const int k = top & 0x7FFF;
      const StartStopInfo& key = startStops_.item(k);
      const std::size_t hit = findStop(key, text, pos);
      if (hit == std::string_view::npos) {
        if (key.parEnd) cur = outerOf(cur);
        break;
      }
      const std::size_t end = hit + key.stopSearch.size();
      cur = outerOf(cur);
      const int follower = sameStartFollower_[static_cast<std::size_t>(k)];
      if (follower >= 0 && useKeys && stateOf(cur).level < kMaxLevel)
        cur = pushed(cur, startStopLevels_[static_cast<std::size_t>(follower)]);
      addRun(end, cur);
      pos = end;
      continue;
    }
    if (cs.level >= 0) {
      // A region some other source opened, such as an outside highlighter's; without an end
      // it continues into the next paragraph.
      std::optional<std::uint32_t> end;
      if (highlighter_)
        end = highlighter_->findRegionEnd(text, static_cast<std::uint32_t>(pos), cs);
      if (!end || *end < pos || *end > n) break;
      cur = outerOf(cur);
      addRun(*end, cur);
      pos = std::max<std::size_t>(*end, pos + 1);
      continue;
    }
    if (cs.level >= kMaxLevel) break;
    int found = -1;
    std::size_t at = pos;
    if (useKeys) {
      for (; at < n; ++at) {
        if (!startFirstByte_[static_cast<unsigned char>(text[at])]) continue;
        found = startKeyAt(text, at);
        if (found >= 0) break;
      }
    }
    if (found >= 0) {
      cur = pushed(cur, startStopLevels_[static_cast<std::size_t>(found)]);
      addRun(at, cur);
      pos = at + startStops_.item(found).startSearch.size();
      continue;
    }
    if (highlighter_) {
      if (auto start = highlighter_->findRegionStart(text, static_cast<std::uint32_t>(pos), cs);
          start && start->offset >= pos && start->offset < n) {
        const AttrStateRef inner = intern(start->state);
        outerCache_[inner] = cur;
        cur = inner;
        addRun(start->offset, cur);
        pos = start->offset + 1;
        continue;
      }
    }
    break;
  }
  if (!runs.empty()) paragraph.ensureExtra().runs.assign(runs.begin(), runs.end());
  return cur;
}

// ---------------------------------------------------------------------------------------
// Keywords

void HighlightEngine::scanKeywords(std::int64_t index, Paragraph& paragraph) {
  paragraph.flags |= Paragraph::kKeywordsParsed;
  const bool keywordsOn = applyKeyWords_ && !keywords_.activeIndices().empty();
  if (!highlighter_ && !keywordsOn) return;
  const std::string_view text = paragraph.text();
  if (text.empty() || text.size() > kLongestHighlighted) return;
  collecting_ = &paragraph;
  if (paragraph.extra())
    work_.assign(paragraph.extra()->runs.begin(), paragraph.extra()->runs.end());
  else
    work_.clear();
  workChanged_ = false;
  if (highlighter_) highlighter_->scanParagraph(*this, index, paragraph);
  if (keywordsOn) findKeywords(paragraph);
  collecting_ = nullptr;
  if (workChanged_) paragraph.ensureExtra().runs.assign(work_.begin(), work_.end());
}

void HighlightEngine::findKeywords(const Paragraph& paragraph) {
  const std::string_view text = paragraph.text();
  raw_.assign(text);
  bool anyAllowed = false;
  {
    AttrStateRef state = paragraph.extra() ? paragraph.extra()->startState : nullptr;
    std::size_t from = 0;
    const std::size_t count = work_.size();
    for (std::size_t r = 0; r <= count; ++r) {
      const std::size_t to = r < count ? work_[r].offset : text.size();
      if (keywordsBlocked(state))
        std::memset(raw_.data() + from, kBlank, to - from);
      else if (to > from)
        anyAllowed = true;
      if (r < count) {
        state = work_[r].state;
        from = work_[r].offset;
      }
    }
  }
  if (!anyAllowed) return;
  if (keywords_.anyIgnoresCase()) {
    upper_.assign(raw_);
    keywords_.folder().upperInPlace(upper_.data(), upper_.size());
  } else {
    upper_.clear();
  }
  matcher_.find(text, raw_, upper_, memo_.separators(), hits_);
  if (hits_.empty()) return;
  spans_.clear();
  for (const KeywordHit& h : hits_)
    spans_.push_back(
        {h.offset, h.offset + h.length, keywordLevels_[static_cast<std::size_t>(h.keyword)]});
  mergeSpans(work_, paragraph.extra() ? paragraph.extra()->startState : nullptr, paragraph.length,
             spans_);
  workChanged_ = true;
}

const std::vector<AttrRun>& HighlightEngine::runsOf(const Paragraph& paragraph) const {
  static const std::vector<AttrRun> kNone;
  if (&paragraph == collecting_) return work_;
  return paragraph.extra() ? paragraph.extra()->runs : kNone;
}

void HighlightEngine::applySpans(Paragraph& paragraph, const std::vector<Span>& spans) {
  if (spans.empty()) return;
  const AttrStateRef start = paragraph.extra() ? paragraph.extra()->startState : nullptr;
  if (&paragraph == collecting_) {
    mergeSpans(work_, start, paragraph.length, spans);
    workChanged_ = true;
  } else {
    mergeSpans(paragraph.ensureExtra().runs, start, paragraph.length, spans);
  }
}

void HighlightEngine::mergeSpans(std::vector<AttrRun>& runs, AttrStateRef startState,
                                 std::uint32_t n, const std::vector<Span>& spans) {
  runsOut_.clear();
  runsOut_.reserve(runs.size() + 2 * spans.size());
  std::size_t r = 0;
  AttrStateRef cur = startState;
  for (const Span& s : spans) {
    if (s.start >= s.stop || s.start >= n) continue;
    while (r < runs.size() && runs[r].offset < s.start) {
      cur = runs[r].state;
      runsOut_.push_back(runs[r++]);
    }
    const AttrStateRef atStart = r < runs.size() && runs[r].offset == s.start ? runs[r].state : cur;
    if (stateOf(atStart).level >= kMaxLevel) continue;
    runsOut_.push_back({s.start, pushed(atStart, s.level)});
    // Runs inside the span give way to it; the last of them is what its end restores.
    while (r < runs.size() && runs[r].offset < s.stop) cur = runs[r++].state;
    if (s.stop < n && !(r < runs.size() && runs[r].offset == s.stop))
      runsOut_.push_back({s.stop, cur});
  }
  runsOut_.insert(runsOut_.end(), runs.begin() + static_cast<std::ptrdiff_t>(r), runs.end());
  runs.assign(runsOut_.begin(), runsOut_.end());
}

}  // namespace quillon::editor
