#include "editor/number_highlighter.h"

#include <algorithm>

#include "platform/ascii_text.h"

namespace quillon::editor {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return platform::hexDigitValue(c) >= 0; }

}  // namespace

NumberHighlighter::NumberHighlighter() { setSeparators(" #()*+,-./;<=>[\\]{}"); }

std::string NumberHighlighter::separators() const {
  std::string out;
  for (int c = 27; c < 256; ++c)
    if (separators_[static_cast<std::size_t>(c)]) out.push_back(static_cast<char>(c));
  return out;
}

void NumberHighlighter::setSeparators(std::string_view chars) {
  separators_.fill(false);
  for (std::size_t c = 0; c <= 26; ++c) separators_[c] = true;
  for (char c : chars) separators_[static_cast<unsigned char>(c)] = true;
}

bool NumberHighlighter::isNumber(std::string_view token) {
  if (token.empty()) return false;
  if (isDigit(token.front())) return std::all_of(token.begin() + 1, token.end(), isDigit);
  // MapBasic's own hex form, &H1F; the prefix alone is no number.
  if (token.size() > 2 && token[0] == '&' && (token[1] == 'H' || token[1] == 'h'))
    return std::all_of(token.begin() + 2, token.end(), isHexDigit);
  // A lone "$" is no number.
  return token.front() == '$' && token.size() > 1 &&
         std::all_of(token.begin() + 1, token.end(), isHexDigit);
}

AttrStateRef NumberHighlighter::levelFor(HighlightEngine& engine, std::size_t length) {
  if (levelsEngine_ != &engine) {
    levels_.fill(nullptr);
    levelsEngine_ = &engine;
  }
  length = std::min<std::size_t>(length, 255);
  AttrStateRef& level = levels_[length];
  if (!level) {
    AttrState s;
    s.style = static_cast<std::uint8_t>(style_ | (altFont_ ? 0x20 : 0) | AttrState::kScanned |
                                        AttrState::kOpenedByKey);
    s.level = 0;
    s.backgnd = background_;
    s.foregnd = foreground_;
    s.contextNum = contextNum_;
    s.cursor = 0;
    s.keyStack[0] = HighlightEngine::kNoKey;
    s.openLength = s.closeLength = static_cast<std::uint8_t>(length);
    level = engine.intern(s);
  }
  return level;
}

bool NumberHighlighter::allowedIn(AttrStateRef state) const {
  const AttrState& s = HighlightEngine::stateOf(state);
  int value = 0;
  if (s.style & AttrState::kScanned)
    value = (s.style & AttrState::kOpenedByKey) ? s.contextNum : -32768;
  bool doHilit = value == scope_;
  if (onQueryHilit) onQueryHilit(value, doHilit);
  return doHilit;
}

void NumberHighlighter::scanParagraph(HighlightEngine& engine, std::int64_t, Paragraph& paragraph) {
  const std::string_view text = paragraph.text();
  const std::size_t n = text.size();
  const std::vector<AttrRun>& runs = engine.runsOf(paragraph);
  AttrStateRef state = paragraph.extra() ? paragraph.extra()->startState : nullptr;
  std::size_t nextRun = 0;
  std::size_t boundary = runs.empty() ? n : runs.front().offset;
  bool allowed = allowedIn(state);
  spans_.clear();
  std::size_t i = 0;
  while (i < n) {
    while (i < n && isSeparator(text[i])) ++i;
    const std::size_t a = i;
    while (i < n && !isSeparator(text[i])) ++i;
    if (a == i) break;
    bool moved = false;
    while (nextRun < runs.size() && runs[nextRun].offset <= a) {
      state = runs[nextRun++].state;
      moved = true;
    }
    if (moved) {
      boundary = nextRun < runs.size() ? runs[nextRun].offset : n;
      allowed = allowedIn(state);
    }
    // A token is taken only whole inside one run.
    if (!allowed || i > boundary || !isNumber(text.substr(a, i - a))) continue;
    spans_.push_back(
        {static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(i), levelFor(engine, i - a)});
  }
  // `runs` may be the engine's scratch copy: done reading before applying.
  engine.applySpans(paragraph, spans_);
}

}  // namespace quillon::editor
