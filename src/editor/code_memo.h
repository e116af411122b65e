#pragma once
#include <bitset>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/case_fold.h"
#include "editor/code_memo_fwd.h"
#include "editor/line_breaker.h"
#include "editor/listener_list.h"
#include "editor/memo_strings.h"
#include "editor/paragraph_scanner.h"
#include "editor/paragraph_table.h"
#include "editor/text_metrics.h"
#include "editor/undo_history.h"
#include "platform/clock.h"
#include "platform/regular_file.h"

namespace quillon::editor {

// A set of 256 characters that end words.
class CharSet {
public:
  CharSet() = default;
  explicit CharSet(std::string_view chars) { assign(chars); }
  void assign(std::string_view chars) {
    bits_.reset();
    for (char c : chars) bits_.set(static_cast<unsigned char>(c));
  }
  bool contains(char c) const { return bits_.test(static_cast<unsigned char>(c)); }
  void add(char c) { bits_.set(static_cast<unsigned char>(c)); }
  std::string toString() const;
  const std::bitset<256>& bits() const { return bits_; }

private:
  std::bitset<256> bits_;
};

// The editor control's model: paragraphs and their display lines, caret and selection, undo,
// search, scrolling and the events anyone may subscribe to. No toolkit: the widget feeds it
// input and viewport size and paints what it says; text is measured through TextMetrics.
class CodeMemo {
  friend class ParagraphScanner;

public:
  CodeMemo();
  ~CodeMemo();
  CodeMemo(const CodeMemo&) = delete;
  CodeMemo& operator=(const CodeMemo&) = delete;

  // ----- Text -----
  Offset charCount() const { return table_.charCount(); }
  std::int64_t paragraphCount() const { return table_.size(); }
  std::int64_t lineCount() const { return table_.lineCount(); }
  std::string_view paragraphText(std::int64_t index) const;
  // Read only: every change of a paragraph's text goes through the editing operations, which
  // record it for undo. The attached scanner alone may change the highlighting it keeps there.
  const ParagraphTable& table() const { return table_; }

  std::string text() const;  // paragraphs joined by CR LF
  void setText(std::string_view text);
  void clear();
  // Loads bytes as a file would be loaded. Takes ownership so a large file is not copied.
  void loadFromBuffer(std::unique_ptr<char[]> data, std::size_t size);
  void loadFromStream(std::istream& in);
  // Throws std::system_error when the file cannot be read or is no regular file (a FIFO, a
  // device, a socket, a folder), and MemoError "Text too long" for a file longer than
  // kMaxLoadLength, before anything is read; the text stays as it was.
  void loadFromFile(const std::filesystem::path& path);
  // The bytes loadFromFile would load, for a caller that turns them into text first; throws
  // as loadFromFile does.
  static platform::FileBytes readLoadable(const std::filesystem::path& path);
  // Asked from an onProgress listener: the load in progress ends with an empty text, as if
  // an empty file had been loaded. loadStopped() tells the last load's caller so.
  void stopLoad() { stopRequested_ = true; }
  bool loadStopped() const { return loadStopped_; }
  // True while a load runs, from reading the first byte to the end of its layout reset;
  // listeners that let the window repaint meanwhile find the text half-built, so the views
  // paint nothing of it and lay nothing out until it is false again.
  bool loading() const { return loading_; }
  void saveToStream(std::ostream& out) const { saveToStream(out, lineBreak_); }
  // With `lineBreak` between the paragraphs instead of LineBreak: a document keeps the breaks
  // its file came with.
  void saveToStream(std::ostream& out, LineBreak lineBreak) const;
  // Replaces the file through platform::replaceFile, so a failed save never destroys the old
  // file. Throws std::system_error on failure; false when the file was saved but could not
  // keep its owner or group.
  bool saveToFile(const std::filesystem::path& path) const;

  LinesView& lines() { return lines_; }
  ParagraphsView& paragraphs() { return paragraphs_; }
  void beginUpdate();
  void endUpdate();
  bool updating() const { return updateLevel_ > 0; }

  // ----- Caret and selection -----
  Offset selStart() const { return caret_; }
  void setSelStart(Offset offset);
  Offset selLength() const { return selLength_; }
  void setSelLength(Offset length);
  std::string selText() const;
  void setSelText(std::string_view text);
  void clearSelection() { setSelText({}); }
  void selectAll();
  std::int64_t selLine();
  void setSelLine(std::int64_t line);
  std::int64_t selCol();
  void setSelCol(std::int64_t column);
  std::int64_t selPar() const { return table_.paragraphAt(caret_); }
  void setSelPar(std::int64_t paragraph);
  int rememberedX() const { return rememberedX_; }
  void setRememberedX(int x) { rememberedX_ = x; }
  int extraColumns() const { return extraColumns_; }
  void setExtraColumns(int columns) { extraColumns_ = columns < 0 ? 0 : columns; }
  // The caret and selection at once; keeps extra columns at 0.
  void select(Offset caret, Offset length);
  std::string currentWord() const;
  bool findText(std::string_view pattern, bool forward, bool wholeWord, bool matchCase);
  // Whether findText would find `pattern` starting at `start`: one place keeps the case and
  // whole-word rules for everyone who checks a match again.
  bool matchesAt(Offset start, std::string_view pattern, bool wholeWord, bool matchCase) const;

  // Column selection: a rectangle between two display columns over the paragraphs from the
  // selection's start to its stop.
  bool blockSelection() const { return block_.active; }
  int blockColumn1() const { return block_.column1; }
  int blockColumn2() const { return block_.column2; }
  void setBlockSelection(Offset caret, Offset anchor, int caretColumn, int anchorColumn);
  void endBlockSelection() { block_.active = false; }

  using AnchorId = MemoAnchorId;
  AnchorId addAnchor(Offset offset);
  Offset anchor(AnchorId id) const;
  void moveAnchor(AnchorId id, Offset offset);
  void removeAnchor(AnchorId id);

  // ----- Undo -----
  void undo();
  void redo();
  bool canUndo() const;
  bool canRedo() const;
  void clearUndo() { undo_.clear(); }
  std::int64_t undoMaxSpace() const { return undo_.maxSpace(); }
  void setUndoMaxSpace(std::int64_t bytes) { undo_.setMaxSpace(bytes); }
  std::int64_t undoMaxLevel() const { return undo_.maxLevel(); }
  void setUndoMaxLevel(std::int64_t level) { undo_.setMaxLevel(level); }
  const UndoHistory& undoHistory() const { return undo_; }
  // Marks the record just made as undone together with the one before it (a drag move).
  void groupLastUndo();
  // The edits until endUndoStep are one undo step (a replace-all on a page); one that does
  // not fit UndoMaxSpace empties the history instead of keeping part of it.
  void beginUndoStep() { undo_.beginStep(); }
  void endUndoStep() { undo_.endStep(); }

  // ----- Layout and view -----
  void setMetrics(const TextMetrics* metrics);
  const TextMetrics* metrics() const { return metrics_; }
  void setViewport(int clientWidth, int clientHeight);
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  int lineHeight() const;
  std::int64_t topLine() const;
  void setTopLine(std::int64_t line);
  std::int64_t scrollX() const { return scrollX_; }
  std::int64_t scrollY() const { return scrollY_; }
  void setScroll(std::int64_t x, std::int64_t y);
  std::int64_t maxScrollY() const;
  // The text reaches past the window's right edge or bottom, or the view is scrolled that
  // way: where moAutoScrollBars shows a scroll bar. Lines not laid out yet do not count.
  bool exceedsWidth() const;
  bool exceedsHeight() const;
  void scrollInView();
  // Lays out everything not yet laid out, up to `paragraph`.
  void ensureLaidOut(std::int64_t paragraph);
  // One idle step of background layout; true while work remains. The widget schedules it.
  bool layoutStep();
  bool layoutPending() const;

  // Display lines: paragraph and character range [start, stop) inside it.
  using LineSpan = MemoLineSpan;
  LineSpan lineSpan(std::int64_t line);
  std::int64_t lineOfOffset(Offset offset);
  Offset offsetOfLine(std::int64_t line);
  // Pixel x of a character boundary in a display line, from the text's left edge.
  int xInLine(const LineSpan& span, std::uint32_t position) const;
  // The character boundary of a display line nearest to pixel x (text-relative), and how many
  // whole columns x lies beyond the line's end (virtual space).
  std::uint32_t positionAtX(const LineSpan& span, int x, int* columnsBeyond = nullptr) const;
  // Where a painter that shows a display line from pixel `fromX` on (text-relative) begins: the
  // first character that reaches past fromX, and its x. A long line is not walked from its start.
  struct LinePoint {
    std::uint32_t position = 0;
    int x = 0;
  };
  LinePoint firstCharacterFrom(const LineSpan& span, int fromX) const;
  // Caret position in content pixels (x includes LeftMargin, before scrolling).
  int caretX();
  std::int64_t caretY();
  // Display columns expand tabs to multiples of TabStops; formatting codes take none.
  int displayColumn(std::int64_t paragraph, std::uint32_t position) const;
  std::uint32_t positionAtDisplayColumn(std::int64_t paragraph, int column) const;
  // Width in pixels the horizontal scroll range must cover: the widest line measured so far
  // or, for lines not measured, the longest paragraph at the average character width.
  int widestLine() const;

  // ----- Properties -----
  CodeMemoOptions options() const { return options_; }
  void setOptions(CodeMemoOptions options) { options_ = options; }
  bool hasOption(CodeMemoOption o) const { return (options_ & o) != 0; }
  // The caret may stand beyond the end of a line (virtual space), for keys and mouse alike.
  bool caretPassesLineEnd() const { return hasOption(moKeepColumnPos) && !hasOption(moWrapCaret); }
  bool wordWrap() const { return wordWrap_; }
  void setWordWrap(bool wrap);
  int tabStops() const { return tabStops_; }
  void setTabStops(int columns);
  int leftMargin() const { return leftMargin_; }
  void setLeftMargin(int px);
  int rightMargin() const { return rightMargin_; }
  void setRightMargin(int px);
  const CharSet& separators() const { return separators_; }
  void setSeparators(std::string_view chars) { separators_.assign(chars); }
  UpperCaseType upperCaseType() const { return upperCaseType_; }
  void setUpperCaseType(UpperCaseType type) { upperCaseType_ = type; }
  void setUserUpperCase(const CaseFolder* folder) { userFolder_ = folder; }
  const CaseFolder& folder() const { return CaseFolder::forType(upperCaseType_, userFolder_); }
  char nullReplacement() const { return nullReplacement_; }
  void setNullReplacement(char c) { nullReplacement_ = c; }
  LineBreak lineBreak() const { return lineBreak_; }
  void setLineBreak(LineBreak b) { lineBreak_ = b; }
  bool staticFormat() const { return staticFormat_; }
  void setStaticFormat(bool on) {
    staticFormat_ = on;
    ++measureGeneration_;
  }
  // Read-only text changes only when it is replaced whole (setText, the loads): typing,
  // pasting, every setSelText and undo are refused.
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  bool displayOnly() const { return displayOnly_; }
  void setDisplayOnly(bool on) { displayOnly_ = on; }
  bool overwrite() const { return overwrite_; }
  void setOverwrite(bool on) { overwrite_ = on; }
  // Insert and overwrite swap as the Insert key swaps them, which onStyleChange hears.
  void toggleOverwrite();
  bool modified() const { return modified_; }
  void setModified(bool on) { modified_ = on; }
  UpdateMode updateMode() const { return updateMode_; }
  void setUpdateMode(UpdateMode mode);
  int mouseWheelFactor() const { return mouseWheelFactor_; }
  void setMouseWheelFactor(int lines) { mouseWheelFactor_ = lines; }
  int caretWidth() const { return caretWidth_; }
  void setCaretWidth(int px) { caretWidth_ = px; }
  // Pixel advance of a character that starts at x (tabs to the next stop, codes take none).
  int advance(unsigned char c, int x) const { return charAdvance(c, x); }
  // The rule behind advance(), for painting or laying out with other metrics.
  CharAdvance charAdvancer() const { return CharAdvance{metrics_, tabStops_, staticFormat_}; }
  void setClock(const platform::Clock* clock) { clock_ = clock; }
  // The longest paragraph allowed; lowered only by tests of the limit.
  Offset maxParagraphLength() const { return maxParagraphLength_; }
  void setMaxParagraphLength(Offset length) { maxParagraphLength_ = length; }

  static bool isFormatCode(char c) {
    return CharAdvance::isFormatCode(static_cast<unsigned char>(c));
  }

  // ----- Events -----
  // Each event is a list of listeners (see listener_list.h); subscribing never displaces
  // another party's listener.
  Event<CodeMemo> onChange;
  Event<CodeMemo> onSelMove;
  Event<CodeMemo> onStyleChange;
  Event<CodeMemo> onHScroll;
  Event<CodeMemo> onVScroll;
  // Position and total of the load or save in progress, at most every 300 ms and at the end.
  Event<CodeMemo, std::int64_t, std::int64_t> onProgress;
  Event<CodeMemo, Offset, Offset> onParse;
  // Each listener may replace the text about to be inserted; the next one sees its result.
  Event<CodeMemo, std::string&> onBeforeChange;
  // An edit of read-only text was refused, so the owner can say why.
  Event<CodeMemo> onEditRefused;
  void tellEditRefused() { onEditRefused.listeners_.notify(); }

  // The events a mute can silence, one bit each.
  enum EventKind : unsigned {
    kOnChange = 1u << 0,
    kOnSelMove = 1u << 1,
    kOnStyleChange = 1u << 2,
    kOnHScroll = 1u << 3,
    kOnVScroll = 1u << 4,
    kOnProgress = 1u << 5,
    kOnParse = 1u << 6,
    kOnBeforeChange = 1u << 7,
  };
  using EventKinds = unsigned;
  // While one lives, the listeners of its kinds are not called; what happens meanwhile is not
  // told later. Mutes nest: a kind speaks again when the last mute of it ends.
  class [[nodiscard]] EventMute {
  public:
    EventMute(const EventMute&) = delete;
    EventMute& operator=(const EventMute&) = delete;
    ~EventMute() { memo_.setMuted(kinds_, false); }

  private:
    friend class CodeMemo;
    EventMute(CodeMemo& memo, EventKinds kinds) : memo_(memo), kinds_(kinds) {
      memo_.setMuted(kinds_, true);
    }
    CodeMemo& memo_;
    EventKinds kinds_;
  };
  EventMute muteEvents(EventKinds kinds) { return EventMute(*this, kinds); }
  // Tells onSelMove's listeners where the caret is, once: for a command that muted it over
  // many moves, and whose last move may have left the caret where the first one found it.
  void retellSelMove() { onSelMove.listeners_.notify(); }

  // The widget and the controls attached to the editor (the gutter) hear every change,
  // scroll, caret or selection move and layout step, whoever caused it; no mute reaches them.
  using ViewEvent = MemoViewEvent;
  int addViewListener(std::function<void(ViewEvent)> listener) {
    return viewListeners_.subscribe(std::move(listener));
  }
  void removeViewListener(int id) { viewListeners_.unsubscribe(id); }
  // Paragraphs [first, first + removed) became [first, first + inserted); a whole new text
  // reports removed as -1. Like the view listeners, no mute reaches these.
  using ParagraphListener =
      std::function<void(std::int64_t first, std::int64_t removed, std::int64_t inserted)>;
  int addParagraphListener(ParagraphListener listener) {
    return paragraphListeners_.subscribe(std::move(listener));
  }
  void removeParagraphListener(int id) { paragraphListeners_.unsubscribe(id); }
  // The highlighting engine, told about every change of the paragraph table.
  void setScanner(ParagraphScanner* scanner) { scanner_ = scanner; }
  ParagraphScanner* scanner() const { return scanner_; }
  // Makes the highlighting runs of paragraphs [first, last] current (before painting).
  void prepareParagraphs(std::int64_t first, std::int64_t last) {
    if (scanner_) scanner_->prepare(first, last);
  }

  // ----- Keyboard, mouse and caret -----
  bool enableHotKeys() const { return enableHotKeys_; }
  void setEnableHotKeys(bool on) { enableHotKeys_ = on; }
  bool passOverCodes() const { return passOverCodes_; }
  void setPassOverCodes(bool on) { passOverCodes_ = on; }
  // The caret's width in pixels: CaretWidth, or line height / 14 + 1 when that is 0; in
  // overwrite mode with moWideOverwriteCaret, the width of the character it would replace.
  int caretPixelWidth();
  // The next insertion starts an undo record of its own instead of extending the last one.
  void markCaretPlaced() { caretPlaced_ = true; }
  // Highlighting colours (0x00BBGGRR) of runs with the highlight style bit.
  std::int32_t highlightColor() const { return highlightColor_; }
  void setHighlightColor(std::int32_t color) { highlightColor_ = color; }
  std::int32_t highlightBackgnd() const { return highlightBackgnd_; }
  void setHighlightBackgnd(std::int32_t color) { highlightBackgnd_ = color; }
  // The runs changed while the text did not: repaint without telling onChange.
  void highlightingChanged() { notifyView(ViewEvent::changed); }

  // ----- Self-check -----
  // Verifies the six invariants of the paragraph table; throws MemoError "Error 1" or
  // "Error n in " followed by the paragraph index.
  void selfCheck() const;

private:
  friend class MemoStrings;
  void loadParsed(std::unique_ptr<char[]> data, std::size_t size);
  Offset normalize(Offset offset) const;
  void placeCaret(Offset offset);
  std::string textRange(Offset a, Offset b) const;
  bool wrapping() const { return wordWrap_ && metrics_ != nullptr; }
  int layoutWidth() const;
  void afterLoad();
  void insertText(std::string text);
  void replaceRange(Offset start, Offset stop, std::string_view text);
  void deleteBlockRows();
  void layoutParagraph(std::int64_t index);
  void relayoutAll();
  void notifyChange();
  void moveCaret(Offset caret);
  void fireSelMove(Offset before);
  int charAdvance(unsigned char c, int x) const;
  std::int64_t advanceOver(const Paragraph& par, std::uint32_t from, std::uint32_t to,
                           std::int64_t x) const;
  bool measuredByMarks(const LineSpan& span, const Paragraph& par) const;
  const std::vector<std::int64_t>& marksOf(const Paragraph& par, std::size_t count) const;
  LinePoint markAtOrBefore(const Paragraph& par, std::int64_t x) const;
  std::uint8_t paragraphFlagsFor(std::string_view text) const;
  bool isSeparator(char c) const { return separators_.contains(c); }
  bool wholeWordAt(std::string_view text, std::size_t at, std::size_t length) const {
    return (at == 0 || isSeparator(text[at - 1])) &&
           (at + length >= text.size() || isSeparator(text[at + length]));
  }
  void reportProgress(std::int64_t done, std::int64_t total, bool final) const;

  ParagraphTable table_;
  UndoHistory undo_;
  LinesView lines_;
  ParagraphsView paragraphs_;

  Offset caret_ = 0;
  Offset selLength_ = 0;
  int extraColumns_ = 0;
  int rememberedX_ = -1;
  bool caretPlaced_ = true;
  enum class Replay { none, undo, redo };
  Replay replay_ = Replay::none;
  bool recording_ = true;
  struct Block {
    bool active = false;
    int column1 = 0;
    int column2 = 0;
  } block_;

  struct AnchorSlot {
    Offset offset = 0;
    bool used = false;
  };
  std::vector<AnchorSlot> anchors_;

  const TextMetrics* metrics_ = nullptr;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  std::int64_t scrollX_ = 0;
  std::int64_t scrollY_ = 0;
  std::int64_t layoutHigh_ = 1;  // paragraphs below this one are laid out
  std::int64_t dirtyFrom_ = -1;  // first paragraph changed inside BeginUpdate
  bool pendingChange_ = false;
  int widestLine_ = 0;
  // Numbers the way characters are measured; marks of another number are stale.
  std::uint32_t measureGeneration_ = 1;
  Offset maxLengthSeen_ = 0;

  CodeMemoOptions options_ = kDefaultOptions;
  bool wordWrap_ = true;
  int tabStops_ = 8;
  int leftMargin_ = 8;
  int rightMargin_ = 8;
  CharSet separators_{std::string_view("\t $%&,./:;<=>")};
  UpperCaseType upperCaseType_ = UpperCaseType::muAscii;
  const CaseFolder* userFolder_ = nullptr;
  char nullReplacement_ = 0;
  LineBreak lineBreak_ = LineBreak::pbCRLF;
  bool staticFormat_ = true;
  bool readOnly_ = false;
  bool displayOnly_ = false;
  bool overwrite_ = false;
  bool modified_ = false;
  UpdateMode updateMode_ = UpdateMode::umBackground;
  int updateLevel_ = 0;
  int mouseWheelFactor_ = 3;
  int caretWidth_ = 1;
  Offset maxParagraphLength_ = kMaxParagraphLength;
  bool enableHotKeys_ = true;
  bool passOverCodes_ = true;
  const platform::Clock* clock_ = nullptr;
  ParagraphScanner* scanner_ = nullptr;
  mutable platform::Clock::TimePoint lastProgress_{};
  bool stopRequested_ = false;
  bool loading_ = false;
  bool loadStopped_ = false;
  std::int32_t highlightColor_ = 0x0000FF;                                  // red
  std::int32_t highlightBackgnd_ = static_cast<std::int32_t>(0x80000005u);  // the window colour
  ListenerList<ViewEvent> viewListeners_;
  ListenerList<std::int64_t, std::int64_t, std::int64_t> paragraphListeners_;
  void notifyView(ViewEvent e) { viewListeners_.notify(e); }
  void setMuted(EventKinds kinds, bool on);
};

inline ParagraphTable& ParagraphScanner::paragraphsOf(CodeMemo& memo) { return memo.table_; }

}  // namespace quillon::editor
