#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "editor/attr_run.h"
#include "editor/code_highlighter.h"
#include "editor/keyword_list.h"
#include "editor/keyword_matcher.h"
#include "editor/paragraph_scanner.h"
#include "editor/start_stop_key_list.h"

namespace quillon::editor {

class CodeMemo;

// Colours one editor's paragraphs from its keyword list, its start-stop keys and an optional
// outside highlighter. Construct it on a CodeMemo and it attaches itself; every paragraph then
// gets its runs when it is first painted or changed.
//
// Start-stop regions are scanned in paragraph order: a paragraph's scan starts from the state
// its predecessor ended in and hands its own end state to the next paragraph, which is marked
// for a new scan only when that state differs. Everything below `startStopHigh_` is scanned.
class HighlightEngine final : public ParagraphScanner {
public:
  static constexpr int kMaxLevel = 15;
  static constexpr std::uint16_t kStartStopBit = 0x8000;
  static constexpr std::uint16_t kNoKey = 0x7FFF;  // a level opened by no list entry (a number)
  // A longer paragraph is data, not code: it is shown plain and hands its start state on
  // unchanged, so that a key typed into a line of megabytes does not scan all of it again.
  static constexpr std::uint32_t kLongestHighlighted = 100'000;

  explicit HighlightEngine(CodeMemo& memo);
  ~HighlightEngine() override;
  HighlightEngine(const HighlightEngine&) = delete;
  HighlightEngine& operator=(const HighlightEngine&) = delete;

  CodeMemo& memo() { return memo_; }
  KeywordList& keywords() { return keywords_; }
  StartStopKeyList& startStopKeys() { return startStops_; }

  // Setting these (or the lists, the separators, a highlighter's properties) does not re-scan:
  // call reApplyKeywords().
  bool applyKeyWords() const { return applyKeyWords_; }
  void setApplyKeyWords(bool on) { applyKeyWords_ = on; }
  bool applyStartStopKeys() const { return applyStartStopKeys_; }
  void setApplyStartStopKeys(bool on) { applyStartStopKeys_ = on; }
  CodeHighlighter* highlighter() const { return highlighter_; }
  void setHighlighter(CodeHighlighter* highlighter);
  // Both lists and the editor fold case the same way.
  void setUpperCaseType(UpperCaseType type, const CaseFolder* userDefined = nullptr);

  // Switches all three sources on (with `highlighter`) or off, then re-applies.
  void setSyntaxHighlighting(bool on, CodeHighlighter* highlighter);

  // Drops every run and scan mark and repaints; paragraphs are scanned again as they are needed.
  void reApplyKeywords();
  // Brings the runs of every paragraph up to date now.
  void scanAll();
  // Paragraphs scanned for start-stop keys so far; shows how far a change spread.
  std::int64_t startStopScans() const { return startStopScans_; }

  // ParagraphScanner
  void textReset() override;
  void paragraphsReplaced(std::int64_t first, std::int64_t removed, std::int64_t inserted,
                          bool deferred) override;
  void prepare(std::int64_t first, std::int64_t last) override;

  // ----- For highlighters -----
  static const AttrState& stateOf(AttrStateRef s) { return s ? *s : kEmpty; }
  // The one shared copy of a state; null for the empty state.
  AttrStateRef intern(const AttrState& state);
  // The state of a new level opened inside `outer` with the attributes and key of `level`
  // (an interned state whose keyStack[0] holds the key).
  AttrStateRef pushed(AttrStateRef outer, AttrStateRef level);

  struct Span {
    std::uint32_t start = 0;
    std::uint32_t stop = 0;
    AttrStateRef level = nullptr;  // as for pushed()
  };
  // A paragraph's runs as they stand, including what the current scan has added so far.
  const std::vector<AttrRun>& runsOf(const Paragraph& paragraph) const;
  // Opens a level over each span (sorted, not overlapping) and restores the state that was in
  // effect at its end; a span where the level is already kMaxLevel is left alone.
  void applySpans(Paragraph& paragraph, const std::vector<Span>& spans);

private:
  static const AttrState kEmpty;

  struct StateHash {
    std::size_t operator()(const AttrState& s) const;
  };
  struct PairHash {
    std::size_t operator()(const std::pair<AttrStateRef, AttrStateRef>& p) const {
      return std::hash<const void*>()(p.first) * 31 + std::hash<const void*>()(p.second);
    }
  };

  void refreshKeywords();
  void refreshStartStops();
  AttrStateRef levelOf(std::uint16_t key);
  AttrStateRef outerOf(AttrStateRef state);
  // Scans paragraphs [from, to] that need it, keywords only from `keywordsFrom`; true when the
  // paragraph after `to` got a new start state.
  bool scanRange(std::int64_t from, std::int64_t to, std::int64_t keywordsFrom);
  AttrStateRef scanStartStops(Paragraph& paragraph);
  void scanKeywords(std::int64_t index, Paragraph& paragraph);
  void findKeywords(const Paragraph& paragraph);
  void mergeSpans(std::vector<AttrRun>& runs, AttrStateRef startState, std::uint32_t length,
                  const std::vector<Span>& spans);
  int startKeyAt(std::string_view text, std::size_t p) const;
  std::size_t findStop(const StartStopInfo& key, std::string_view text, std::size_t from) const;
  bool matchesAt(std::string_view text, std::size_t p, const std::string& search,
                 bool matchCase) const;
  void dropAll(bool release);

  CodeMemo& memo_;
  KeywordList keywords_;
  StartStopKeyList startStops_;
  bool applyKeyWords_ = true;
  bool applyStartStopKeys_ = true;
  CodeHighlighter* highlighter_ = nullptr;
  int keywordsSubscription_ = 0;
  int startStopsSubscription_ = 0;

  std::int64_t startStopHigh_ = 0;
  std::int64_t startStopScans_ = 0;

  // Interned states never move (node-based set) and live as long as the engine.
  std::unordered_set<AttrState, StateHash> pool_;
  std::unordered_map<std::pair<AttrStateRef, AttrStateRef>, AttrStateRef, PairHash> pushedCache_;
  struct CacheSlot {
    AttrStateRef outer = nullptr;
    AttrStateRef level = nullptr;
    AttrStateRef result = nullptr;
  };
  std::array<CacheSlot, 1024> pushedFast_{};
  std::unordered_map<AttrStateRef, AttrStateRef> outerCache_;

  bool keywordsDirty_ = true;
  KeywordMatcher matcher_;
  std::vector<AttrStateRef> keywordLevels_;
  std::vector<AttrStateRef> startStopLevels_;
  std::vector<int> sameStartFollower_;  // per key: the first later key whose sameStart is it
  std::array<bool, 256> startFirstByte_{};
  const CaseFolder* ssFolder_ = nullptr;

  // Scratch, kept to avoid allocating per paragraph.
  std::string raw_, upper_;
  std::vector<KeywordHit> hits_;
  std::vector<Span> spans_;
  std::vector<AttrRun> runsOut_;
  // While a paragraph is scanned for keywords, its runs are built here and stored once.
  const Paragraph* collecting_ = nullptr;
  std::vector<AttrRun> work_;
  bool workChanged_ = false;
};

}  // namespace quillon::editor
