#include "editor/code_memo.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <system_error>

#include "editor/memo_error.h"
#include "platform/ascii_text.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

namespace quillon::editor {

namespace {

const platform::SystemClock kSystemClock;

std::uint32_t trimmedLength(const char* p, std::uint32_t len) {
  return static_cast<std::uint32_t>(platform::trimEnd({p, len}, platform::isSpaceOrTab).size());
}

// Cuts inserted text into paragraph pieces at each CR; an LF right after a CR belongs to that
// break, any other LF stays in the text.
std::vector<std::string_view> splitAtCR(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    std::size_t cr = text.find('\r', start);
    if (cr == std::string_view::npos) break;
    pieces.push_back(text.substr(start, cr - start));
    start = cr + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

}  // namespace

std::string CharSet::toString() const {
  std::string s;
  for (int c = 0; c < 256; ++c)
    if (bits_.test(static_cast<std::size_t>(c))) s.push_back(static_cast<char>(c));
  return s;
}

CodeMemo::CodeMemo() : lines_(*this), paragraphs_(*this) {}
CodeMemo::~CodeMemo() = default;

std::string_view CodeMemo::paragraphText(std::int64_t index) const {
  return table_.at(index).text();
}

std::uint8_t CodeMemo::paragraphFlagsFor(std::string_view text) const {
  if (!staticFormat_) return 0;
  for (char c : text)
    if (isFormatCode(c)) return Paragraph::kHasCodes;
  return 0;
}

// ---------------------------------------------------------------------------------------
// Loading and saving

std::string CodeMemo::text() const {
  std::string out;
  out.reserve(static_cast<std::size_t>(charCount()));
  table_.forEach([&](std::int64_t i, const Paragraph& p) {
    if (i > 0) out.append("\r\n");
    out.append(p.text());
    return true;
  });
  return out;
}

void CodeMemo::setText(std::string_view text) {
  auto buffer = std::make_unique_for_overwrite<char[]>(text.size() + 1);
  if (!text.empty()) std::memcpy(buffer.get(), text.data(), text.size());
  loadFromBuffer(std::move(buffer), text.size());
}

void CodeMemo::clear() {
  if (charCount() == 0) return;
  setText({});
}

void CodeMemo::loadFromStream(std::istream& in) {
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  setText(all);
}

platform::FileBytes CodeMemo::readLoadable(const std::filesystem::path& path) {
  std::error_code error;
  std::optional<platform::FileBytes> bytes =
      platform::readRegularFileBytes(path, static_cast<std::uint64_t>(kMaxLoadLength), error);
  if (!bytes) {
    if (error == std::errc::file_too_large) throw MemoError("Text too long");
    throw std::system_error(error, path.string());
  }
  return std::move(*bytes);
}

void CodeMemo::loadFromFile(const std::filesystem::path& path) {
  platform::FileBytes bytes = readLoadable(path);
  loadFromBuffer(std::move(bytes.data), bytes.size);
}

void CodeMemo::loadFromBuffer(std::unique_ptr<char[]> data, std::size_t size) {
  struct Loading {
    bool& flag;
    explicit Loading(bool& f) : flag(f) { flag = true; }
    ~Loading() { flag = false; }
    Loading(const Loading&) = delete;
    Loading& operator=(const Loading&) = delete;
  } loading(loading_);
  loadParsed(std::move(data), size);
  afterLoad();
}

void CodeMemo::reportProgress(std::int64_t done, std::int64_t total, bool final) const {
  if (!onProgress.listeners_.heard()) return;
  const auto now = (clock_ ? clock_ : &kSystemClock)->now();
  if (!final && now - lastProgress_ < std::chrono::milliseconds(300)) return;
  lastProgress_ = now;
  onProgress.listeners_.notify(done, total);
}

void CodeMemo::loadParsed(std::unique_ptr<char[]> data, std::size_t size) {
  stopRequested_ = false;
  loadStopped_ = false;
  char* buf = data.get();
  if (buf && nullReplacement_ != 0) {
    for (char* p = buf; (p = static_cast<char*>(std::memchr(
                             p, 0, static_cast<std::size_t>(buf + size - p)))) != nullptr;)
      *p++ = nullReplacement_;
  }
  bool anyCodes = false;
  if (staticFormat_) {
    // Checked a chunk at a time without an early exit inside, so the compiler can vectorise.
    std::size_t i = 0;
    for (; i + 64 <= size && !anyCodes; i += 64) {
      unsigned hit = 0;
      for (std::size_t k = 0; k < 64; ++k) {
        const auto c = static_cast<unsigned char>(buf[i + k]);
        hit |= static_cast<unsigned>(c - 1u < 4u) | static_cast<unsigned>(c == 21);
      }
      anyCodes = hit != 0;
    }
    for (; i < size && !anyCodes; ++i) anyCodes = isFormatCode(buf[i]);
  }
  table_.clearForLoad();
  const char* base = buf ? table_.adoptArena(std::move(data), size) : nullptr;
  const char* end = base + size;
  const bool discard = hasOption(moDiscardTrailingSpaces);
  const auto limit =
      static_cast<std::uint32_t>(std::min<Offset>(maxParagraphLength_, kMaxParagraphLength));

  std::uint32_t longest = 0;
  auto addParagraph = [&](const char* p, std::size_t len) {
    // A paragraph longer than the limit continues in the next one rather than losing bytes.
    while (len > limit) {
      table_.appendBorrowed(p, limit, anyCodes ? paragraphFlagsFor({p, limit}) : 0);
      longest = limit;
      p += limit;
      len -= limit;
    }
    auto l = static_cast<std::uint32_t>(len);
    if (discard) l = trimmedLength(p, l);
    table_.appendBorrowed(p, l, anyCodes ? paragraphFlagsFor({p, l}) : 0);
    longest = std::max(longest, l);
  };

  if (!base) {
    table_.appendBorrowed(nullptr, 0, 0);
  } else {
    // Next CR and next LF, each found once by memchr and reused until passed.
    const char* nextCR = static_cast<const char*>(std::memchr(base, '\r', size));
    const char* nextLF = static_cast<const char*>(std::memchr(base, '\n', size));
    const char* p = base;
    std::int64_t count = 0;
    for (;;) {
      if (nextCR && nextCR < p)
        nextCR = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
      if (nextLF && nextLF < p)
        nextLF = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      const char* brk = !nextCR ? nextLF : !nextLF ? nextCR : std::min(nextCR, nextLF);
      if (!brk) break;
      addParagraph(p, static_cast<std::size_t>(brk - p));
      const char other = *brk == '\r' ? '\n' : '\r';
      p = brk + 1;
      if (p < end && *p == other) ++p;
      if ((++count & 0xFFFF) == 0) {
        reportProgress(p - base, static_cast<std::int64_t>(size), false);
        if (stopRequested_) break;
      }
    }
    if (!stopRequested_) addParagraph(p, static_cast<std::size_t>(end - p));
  }
  table_.finishLoad();
  maxLengthSeen_ = longest;
  if (!stopRequested_)
    reportProgress(static_cast<std::int64_t>(size), static_cast<std::int64_t>(size), true);
  if (stopRequested_) {
    table_.clear();
    maxLengthSeen_ = 0;
    loadStopped_ = true;
  }
}

void CodeMemo::afterLoad() {
  const Offset before = caret_;
  caret_ = 0;
  selLength_ = 0;
  extraColumns_ = 0;
  rememberedX_ = -1;
  block_.active = false;
  caretPlaced_ = true;
  // The old records describe text that is gone; undoing them would corrupt the new text.
  undo_.clear();
  for (auto& a : anchors_) a.offset = 0;
  modified_ = true;
  layoutHigh_ = wrapping() ? 0 : table_.size();
  widestLine_ = 0;
  if (wrapping()) table_.resetLayout(false);
  if (scanner_) scanner_->textReset();
  paragraphListeners_.notify(0, -1, table_.size());
  onParse.listeners_.notify(0, charCount());
  if (!updating()) {
    if (updateMode_ == UpdateMode::umImmediate) ensureLaidOut(table_.size() - 1);
    setScroll(0, 0);
  } else {
    dirtyFrom_ = 0;
  }
  if (before != caret_) fireSelMove(before);
  notifyChange();
}

void CodeMemo::saveToStream(std::ostream& out, LineBreak lineBreak) const {
  const char* sep = "\r\n";
  switch (lineBreak) {
    case LineBreak::pbCRLF: sep = "\r\n"; break;
    case LineBreak::pbLFCR: sep = "\n\r"; break;
    case LineBreak::pbCR: sep = "\r"; break;
    case LineBreak::pbLF: sep = "\n"; break;
  }
  const bool discard = hasOption(moDiscardTrailingSpaces);
  const std::int64_t total = table_.size();
  std::string chunk;
  chunk.reserve(1 << 20);
  table_.forEach([&](std::int64_t i, const Paragraph& p) {
    if (i > 0) chunk.append(sep);
    std::uint32_t len = discard ? trimmedLength(p.data(), p.length) : p.length;
    if (staticFormat_ && (p.flags & Paragraph::kHasCodes)) {
      // A code followed by the same code encloses nothing; both go.
      for (std::uint32_t k = 0; k < len; ++k) {
        if (isFormatCode(p.data()[k]) && k + 1 < len && p.data()[k + 1] == p.data()[k]) {
          ++k;
          continue;
        }
        chunk.push_back(p.data()[k]);
      }
    } else {
      chunk.append(p.data(), len);
    }
    if (chunk.size() >= (1u << 20)) {
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      chunk.clear();
      reportProgress(i, total, false);
    }
    return true;
  });
  out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  reportProgress(total, total, true);
}

bool CodeMemo::saveToFile(const std::filesystem::path& path) const {
  const platform::FileReplaced done =
      platform::replaceFile(path, [this](std::ostream& out) { saveToStream(out); });
  if (!done) throw std::system_error(done.error, std::generic_category(), path.string());
  return done.ownerKept;
}

// ---------------------------------------------------------------------------------------
// Update nesting and notifications

void CodeMemo::beginUpdate() { ++updateLevel_; }

void CodeMemo::endUpdate() {
  if (updateLevel_ == 0) return;
  if (--updateLevel_ > 0) return;
  if (dirtyFrom_ >= 0) {
    if (wrapping()) layoutHigh_ = std::min(layoutHigh_, dirtyFrom_);
    dirtyFrom_ = -1;
  }
  if (updateMode_ == UpdateMode::umImmediate) ensureLaidOut(table_.size() - 1);
  if (pendingChange_) {
    pendingChange_ = false;
    notifyChange();
  }
  scrollInView();
}

void CodeMemo::notifyChange() {
  if (updating()) {
    pendingChange_ = true;
    return;
  }
  onChange.listeners_.notify();
  notifyView(ViewEvent::changed);
}

void CodeMemo::fireSelMove(Offset before) {
  if (before != caret_) onSelMove.listeners_.notify();
  notifyView(ViewEvent::selectionMoved);
}

void CodeMemo::setMuted(EventKinds kinds, bool on) {
  auto apply = [&](EventKind kind, auto& event) {
    if (!(kinds & kind)) return;
    if (on)
      event.listeners_.mute();
    else
      event.listeners_.unmute();
  };
  apply(kOnChange, onChange);
  apply(kOnSelMove, onSelMove);
  apply(kOnStyleChange, onStyleChange);
  apply(kOnHScroll, onHScroll);
  apply(kOnVScroll, onVScroll);
  apply(kOnProgress, onProgress);
  apply(kOnParse, onParse);
  apply(kOnBeforeChange, onBeforeChange);
}

void CodeMemo::toggleOverwrite() {
  overwrite_ = !overwrite_;
  onStyleChange.listeners_.notify();
}

// ---------------------------------------------------------------------------------------
// Caret and selection

Offset CodeMemo::normalize(Offset offset) const {
  offset = std::clamp<Offset>(offset, 0, charCount());
  // An offset between the CR and the LF of a break stands at the paragraph's end.
  const std::int64_t p = table_.paragraphAt(offset);
  const Offset start = table_.startOf(p);
  const Offset len = table_.lengthOf(p);
  return std::min(offset, start + len);
}

// Puts the caret at an offset with nothing selected; the callers fire the events once the
// whole selection is in place.
void CodeMemo::placeCaret(Offset offset) {
  // Only to start fetching what the next key edits; normalize() finds it again at once.
  table_.paragraphToEdit(std::clamp<Offset>(offset, 0, charCount()));
  caret_ = normalize(offset);
  selLength_ = 0;
  extraColumns_ = 0;
  block_.active = false;
  caretPlaced_ = true;
}

void CodeMemo::setSelStart(Offset offset) {
  const Offset before = caret_;
  placeCaret(offset);
  fireSelMove(before);
}

void CodeMemo::setSelLength(Offset length) {
  const Offset anchorAt = std::clamp<Offset>(caret_ + length, 0, charCount());
  selLength_ = anchorAt - caret_;
  block_.active = false;
  caretPlaced_ = true;
  notifyView(ViewEvent::selectionMoved);
}

void CodeMemo::select(Offset caret, Offset length) {
  const Offset before = caret_;
  placeCaret(caret);
  setSelLength(length);
  fireSelMove(before);
}

void CodeMemo::selectAll() { select(charCount(), -charCount()); }

void CodeMemo::setBlockSelection(Offset caret, Offset anchor, int caretColumn, int anchorColumn) {
  select(caret, anchor - caret);
  block_.active = true;
  block_.column1 = caretColumn;
  block_.column2 = anchorColumn;
}

std::string CodeMemo::selText() const {
  if (block_.active) {
    const Offset a = std::min(caret_, caret_ + selLength_);
    const Offset b = std::max(caret_, caret_ + selLength_);
    const int c1 = std::min(block_.column1, block_.column2);
    const int c2 = std::max(block_.column1, block_.column2);
    std::string out;
    for (std::int64_t p = table_.paragraphAt(a), last = table_.paragraphAt(b); p <= last; ++p) {
      const std::uint32_t s = positionAtDisplayColumn(p, c1);
      const std::uint32_t e = positionAtDisplayColumn(p, c2);
      out.append(table_.at(p).text().substr(s, e - s));
      out.append("\r\n");
    }
    return out;
  }
  if (selLength_ == 0) return {};
  const Offset a = std::min(caret_, caret_ + selLength_);
  const Offset b = std::max(caret_, caret_ + selLength_);
  return textRange(a, b);
}

std::string CodeMemo::textRange(Offset a, Offset b) const {
  std::string out;
  if (b <= a) return out;
  out.reserve(static_cast<std::size_t>(b - a));
  const std::int64_t first = table_.paragraphAt(a);
  Offset pos = table_.startOf(first);
  table_.forEach(
      [&](std::int64_t, const Paragraph& p) {
        const Offset unitEnd = pos + p.length + 2;
        const Offset from = std::max(a, pos);
        const Offset to = std::min(b, unitEnd);
        for (Offset o = from; o < to; ++o) {
          const Offset k = o - pos;
          out.push_back(k < p.length ? p.data()[k] : (k == p.length ? '\r' : '\n'));
        }
        pos = unitEnd;
        return pos < b;
      },
      first);
  return out;
}

void CodeMemo::setSelText(std::string_view text) { insertText(std::string(text)); }

std::int64_t CodeMemo::selLine() { return lineOfOffset(caret_); }

void CodeMemo::setSelLine(std::int64_t line) {
  if (line < 0) line = 0;
  const LineSpan span = lineSpan(line);
  setSelStart(table_.startOf(span.paragraph) + span.start);
}

std::int64_t CodeMemo::selCol() {
  const std::int64_t line = lineOfOffset(caret_);
  const LineSpan span = lineSpan(line);
  return caret_ - (table_.startOf(span.paragraph) + span.start) + extraColumns_;
}

void CodeMemo::setSelCol(std::int64_t column) {
  const LineSpan span = lineSpan(lineOfOffset(caret_));
  const Offset lineStart = table_.startOf(span.paragraph) + span.start;
  const Offset before = caret_;
  caret_ = lineStart + std::clamp<Offset>(column, 0, span.stop - span.start);
  extraColumns_ = 0;
  // The selection keeps its length and moves with the caret.
  selLength_ = std::clamp<Offset>(caret_ + selLength_, 0, charCount()) - caret_;
  caretPlaced_ = true;
  fireSelMove(before);
}

void CodeMemo::setSelPar(std::int64_t paragraph) {
  paragraph = std::clamp<std::int64_t>(paragraph, 0, table_.size() - 1);
  setSelStart(table_.startOf(paragraph));
}

std::string CodeMemo::currentWord() const {
  const std::int64_t p = table_.paragraphAt(caret_);
  const std::string_view t = table_.at(p).text();
  auto pos = static_cast<std::size_t>(
      std::min<Offset>(caret_ - table_.startOf(p), static_cast<Offset>(t.size())));
  std::size_t end = pos;
  while (end < t.size() && !isSeparator(t[end])) ++end;
  std::size_t start = end;
  while (start > 0 && !isSeparator(t[start - 1])) --start;
  return std::string(t.substr(start, end - start));
}

// ---------------------------------------------------------------------------------------
// Search

namespace {

// Positions in `text` where `pattern` (already folded) occurs, folding text with `fold`.
// Knuth-Morris-Pratt, so a search never looks at a character twice however the pattern
// repeats itself; between partial matches it skips to the next first character, which
// keeps ordinary searches as fast as a plain scan.
struct Matcher {
  std::string_view pattern;
  const CaseFolder* fold;               // null: match case
  std::vector<std::uint32_t> border;    // border[q]: longest proper border of pattern[0, q]
  std::array<bool, 256> starts{};       // the bytes that fold to the pattern's first
  std::array<std::uint64_t, 4> wide{};  // up to four of them, each in every byte of a word
  std::size_t wideCount = 0;            // 0: too many to test a word at a time

  Matcher(std::string_view p, const CaseFolder* f) : pattern(p), fold(f), border(p.size(), 0) {
    std::uint32_t k = 0;
    for (std::size_t q = 1; q < p.size(); ++q) {
      while (k > 0 && p[q] != p[k]) k = border[k - 1];
      if (p[q] == p[k]) ++k;
      border[q] = k;
    }
    if (p.empty()) return;
    std::size_t n = 0;
    for (int c = 0; c < 256; ++c) {
      starts[static_cast<std::size_t>(c)] =
          folded(static_cast<char>(c)) == static_cast<unsigned char>(p[0]);
      if (starts[static_cast<std::size_t>(c)] && n++ < wide.size())
        wide[n - 1] = 0x0101010101010101ULL * static_cast<std::uint64_t>(c);
    }
    wideCount = n <= wide.size() ? n : 0;
  }

  // Whether any of the eight bytes at `at` can begin a match.
  bool wordMayStart(const char* at) const {
    std::uint64_t w;
    std::memcpy(&w, at, sizeof w);
    for (std::size_t v = 0; v < wideCount; ++v) {
      const std::uint64_t x = w ^ wide[v];
      if ((x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL) return true;
    }
    return false;
  }

  unsigned char folded(char c) const {
    return fold ? (*fold)(static_cast<unsigned char>(c)) : static_cast<unsigned char>(c);
  }
  // First position in [from, last] where a match could start, or past `last`.
  std::size_t nextFirst(std::string_view text, std::size_t from, std::size_t last) const {
    if (from > last) return from;
    if (!fold) {
      const void* hit = std::memchr(text.data() + from, pattern[0], last - from + 1);
      return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : last + 1;
    }
    // Eight bytes at a time while none of them can begin a match: a byte loop that folds
    // would halve the speed of an ordinary search.
    if (wideCount > 0)
      while (from + 8 <= last + 1 && !wordMayStart(text.data() + from)) from += 8;
    while (from <= last && !starts[static_cast<unsigned char>(text[from])]) ++from;
    return from;
  }
  // Calls `hit(start)` for every match starting at or after `from`, in order, until it
  // returns true; true when one did.
  template <class Hit>
  bool scan(std::string_view text, std::size_t from, Hit&& hit) const {
    const std::size_t m = pattern.size();
    if (m == 0 || m > text.size() || from > text.size() - m) return false;
    const std::size_t last = text.size() - m;  // the last place a match can start
    std::size_t q = 0;
    for (std::size_t i = from; i < text.size();) {
      if (q == 0) {
        i = nextFirst(text, i, last);
        if (i > last) return false;
      }
      const unsigned char c = folded(text[i]);
      while (q > 0 && c != static_cast<unsigned char>(pattern[q])) q = border[q - 1];
      if (c == static_cast<unsigned char>(pattern[q])) ++q;
      ++i;
      if (q == m) {
        if (hit(i - m)) return true;
        q = border[m - 1];
      }
    }
    return false;
  }
};

}  // namespace

bool CodeMemo::findText(std::string_view pattern, bool forward, bool wholeWord, bool matchCase) {
  if (pattern.empty()) return false;
  const CaseFolder* fold = matchCase ? nullptr : &folder();
  const std::string folded = fold ? fold->upper(pattern) : std::string(pattern);
  const Matcher m{folded, fold};
  auto wordOk = [&](std::string_view t, std::size_t i) {
    return !wholeWord || wholeWordAt(t, i, folded.size());
  };
  const std::int64_t caretPar = table_.paragraphAt(caret_);
  const auto caretPos = static_cast<std::size_t>(caret_ - table_.startOf(caretPar));
  std::int64_t foundPar = -1;
  std::size_t foundAt = 0;
  if (forward) {
    table_.forEach(
        [&](std::int64_t i, const Paragraph& p) {
          const std::string_view t = p.text();
          const bool hit = m.scan(t, i == caretPar ? caretPos : 0, [&](std::size_t k) {
            if (!wordOk(t, k)) return false;
            foundPar = i;
            foundAt = k;
            return true;
          });
          return !hit;
        },
        caretPar);
  } else {
    for (std::int64_t i = caretPar; i >= 0 && foundPar < 0; --i) {
      const std::string_view t = table_.at(i).text();
      const std::size_t limit = i == caretPar ? caretPos : t.size() + 1;  // hits must start before
      m.scan(t, 0, [&](std::size_t k) {
        if (k >= limit) return true;
        if (wordOk(t, k)) {
          foundPar = i;
          foundAt = k;
        }
        return false;
      });
    }
  }
  if (foundPar < 0) return false;
  const Offset start = table_.startOf(foundPar) + static_cast<Offset>(foundAt);
  const auto len = static_cast<Offset>(folded.size());
  if (forward)
    select(start + len, -len);
  else
    select(start, len);
  return true;
}

bool CodeMemo::matchesAt(Offset start, std::string_view pattern, bool wholeWord,
                         bool matchCase) const {
  if (pattern.empty() || start < 0 || start > charCount()) return false;
  const std::int64_t p = table_.paragraphAt(start);
  const std::string_view t = table_.at(p).text();
  const auto at = static_cast<std::size_t>(start - table_.startOf(p));
  // A match never spans a paragraph break.
  if (at + pattern.size() > t.size()) return false;
  const std::string_view here = t.substr(at, pattern.size());
  const bool same = matchCase ? here == pattern : folder().upper(here) == folder().upper(pattern);
  return same && (!wholeWord || wholeWordAt(t, at, pattern.size()));
}

// ---------------------------------------------------------------------------------------
// The insertion routine

// Every edit enters here, so this is the one place a read-only text refuses it.
void CodeMemo::insertText(std::string text) {
  if (readOnly_) {
    tellEditRefused();
    return;
  }
  onBeforeChange.listeners_.notify(text);
  if (selLength_ == 0 && !block_.active && text.empty()) return;
  if (block_.active) {
    const std::size_t before = undo_.position();
    deleteBlockRows();
    if (text.empty()) return;
    const bool rowsRecorded = recording_ && undo_.position() > before;
    // Its own record, undone together with the rows it replaced.
    caretPlaced_ = true;
    replaceRange(caret_, caret_, text);
    if (rowsRecorded && replay_ == Replay::none) groupLastUndo();
    return;
  }
  const Offset a = std::min(caret_, caret_ + selLength_);
  const Offset b = std::max(caret_, caret_ + selLength_);
  replaceRange(a, b, text);
}

// Removes the rectangle as one change of the paragraphs it spans, so that it is one undo
// step however many rows it has.
void CodeMemo::deleteBlockRows() {
  const Offset a = std::min(caret_, caret_ + selLength_);
  const Offset b = std::max(caret_, caret_ + selLength_);
  const int c1 = std::min(block_.column1, block_.column2);
  const int c2 = std::max(block_.column1, block_.column2);
  block_.active = false;
  const std::int64_t first = table_.paragraphAt(a);
  const std::int64_t last = table_.paragraphAt(b);
  std::string kept;
  std::uint32_t lastRowAt = 0;
  bool removed = false;
  for (std::int64_t p = first; p <= last; ++p) {
    const std::string_view t = table_.at(p).text();
    const std::uint32_t s = positionAtDisplayColumn(p, c1);
    const std::uint32_t e = std::max(s, positionAtDisplayColumn(p, c2));
    if (p > first) kept.append("\r\n");
    kept.append(t.substr(0, s));
    kept.append(t.substr(e));
    removed = removed || e > s;
    lastRowAt = s;
  }
  const Offset from = table_.startOf(first);
  if (removed) replaceRange(from, table_.startOf(last) + table_.at(last).length, kept);
  const Offset before = caret_;
  caret_ = table_.startOf(last) + std::min<Offset>(lastRowAt, table_.at(last).length);
  selLength_ = 0;
  if (before != caret_) fireSelMove(before);
}

void CodeMemo::replaceRange(Offset start, Offset stop, std::string_view text) {
  start = normalize(start);
  stop = std::max(start, normalize(stop));
  const Offset before = caret_;
  const std::int64_t sp = table_.paragraphAt(start);
  const std::int64_t ep = table_.paragraphAt(stop);
  const auto so = static_cast<std::uint32_t>(start - table_.startOf(sp));
  const auto eo = static_cast<std::uint32_t>(stop - table_.startOf(ep));
  const std::string_view headPar = table_.at(sp).text();
  const std::string_view tailPar = table_.at(ep).text();
  const std::uint32_t tailLen = static_cast<std::uint32_t>(tailPar.size()) - eo;

  std::vector<std::string_view> pieces = splitAtCR(text);
  if (hasOption(moDiscardTrailingSpaces)) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const bool endsParagraph = i + 1 < pieces.size() || tailLen == 0;
      if (endsParagraph)
        pieces[i] = pieces[i].substr(
            0, trimmedLength(pieces[i].data(), static_cast<std::uint32_t>(pieces[i].size())));
    }
  }
  Offset inserted = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i)
    inserted += static_cast<Offset>(pieces[i].size()) + (i ? 2 : 0);

  // Refuse before anything changes.
  const Offset firstLen =
      so + static_cast<Offset>(pieces.front().size()) + (pieces.size() == 1 ? tailLen : 0);
  const Offset lastLen =
      pieces.size() > 1 ? static_cast<Offset>(pieces.back().size()) + tailLen : 0;
  const Offset limit = std::min<Offset>(maxParagraphLength_, kMaxParagraphLength);
  if (firstLen > limit || lastLen > limit) throw MemoError(kTextTooLong);
  for (std::size_t i = 1; i + 1 < pieces.size(); ++i)
    if (static_cast<Offset>(pieces[i].size()) > limit) throw MemoError(kTextTooLong);
  extraColumns_ = 0;
  rememberedX_ = -1;
  modified_ = true;

  // A step that gave its history up records nothing: no copy of each removed text either.
  if (recording_ && undo_.accepting()) {
    if (replay_ == Replay::none) undo_.dropRedo();
    const bool extend = replay_ == Replay::none && start == stop && start > 0 && !caretPlaced_ &&
                        undo_.tryExtend(start, inserted);
    if (!extend) undo_.record(start, inserted, textRange(start, stop));
  }

  const auto oldCodes =
      static_cast<std::uint8_t>((table_.at(sp).flags | table_.at(ep).flags) & Paragraph::kHasCodes);
  // The inserted text may point into the paragraphs about to change.
  std::string owned;
  if (!text.empty()) {
    owned.assign(text);
    const std::ptrdiff_t shift = owned.data() - text.data();
    for (auto& piece : pieces) piece = std::string_view(piece.data() + shift, piece.size());
  }
  (void)headPar;

  if (pieces.size() == 1) {
    if (sp == ep) {
      table_.replaceInParagraph(sp, so, eo - so, pieces[0]);
    } else {
      std::string joined(pieces[0]);
      joined.append(tailPar.substr(eo));
      table_.replaceInParagraph(sp, so, table_.at(sp).length - so, joined);
      table_.eraseParagraphs(sp + 1, ep - sp);
    }
  } else {
    std::string lastText(pieces.back());
    lastText.append(tailPar.substr(eo));
    if (sp == ep) {
      table_.replaceInParagraph(sp, so, table_.at(sp).length - so, pieces[0]);
    } else {
      table_.replaceInParagraph(sp, so, table_.at(sp).length - so, pieces[0]);
      table_.eraseParagraphs(sp + 1, ep - sp);
    }
    std::vector<std::string_view> fresh(pieces.begin() + 1, pieces.end() - 1);
    fresh.push_back(lastText);
    table_.insertParagraphs(sp + 1, fresh);
  }
  const std::int64_t added = static_cast<std::int64_t>(pieces.size()) - 1 - (ep - sp);
  const std::int64_t lastChanged = sp + static_cast<std::int64_t>(pieces.size()) - 1;
  // Codes can only have come with the inserted text or the paragraphs' old text; a flag left
  // set after its codes were deleted only costs a scan on save.
  const std::uint8_t newCodes = paragraphFlagsFor(text);
  for (std::int64_t i = sp; i <= lastChanged; ++i) {
    Paragraph& p = table_.at(i);
    p.flags = static_cast<std::uint8_t>((p.flags & Paragraph::kLaidOut) | oldCodes | newCodes);
    if (p.extra()) p.extra()->runs.clear();
    maxLengthSeen_ = std::max<Offset>(maxLengthSeen_, p.length);
  }

  // Layout: paragraphs below the high-water mark stay laid out.
  if (layoutHigh_ > sp) layoutHigh_ = std::max<std::int64_t>(sp, layoutHigh_ + added);
  if (updating()) {
    dirtyFrom_ = dirtyFrom_ < 0 ? sp : std::min(dirtyFrom_, sp);
    if (wrapping()) layoutHigh_ = std::min(layoutHigh_, sp);
  } else if (wrapping()) {
    for (std::int64_t i = sp; i <= lastChanged && i < layoutHigh_; ++i) layoutParagraph(i);
  } else {
    layoutHigh_ = table_.size();
  }

  const Offset delta = inserted - (stop - start);
  for (auto& an : anchors_) {
    if (!an.used) continue;
    if (an.offset >= stop)
      an.offset += delta;
    else if (an.offset > start)
      an.offset = start;
  }

  caret_ = start + inserted;
  selLength_ = 0;
  block_.active = false;
  caretPlaced_ = false;

  if (scanner_) scanner_->paragraphsReplaced(sp, ep - sp + 1, lastChanged - sp + 1, updating());
  paragraphListeners_.notify(sp, ep - sp + 1, lastChanged - sp + 1);
  onParse.listeners_.notify(start, start + inserted);
  notifyChange();
  if (!updating()) scrollInView();
  fireSelMove(before);
}

// ---------------------------------------------------------------------------------------
// Undo

bool CodeMemo::canUndo() const {
  if (readOnly_) return false;
  return replay_ == Replay::undo ? undo_.position() >= 2 : undo_.position() >= 1;
}

bool CodeMemo::canRedo() const {
  if (readOnly_) return false;
  return replay_ == Replay::undo ? undo_.position() <= undo_.count()
                                 : undo_.position() < undo_.count();
}

// Grouped records are replayed in a loop, not by recursion: a replace-all step holds
// thousands of them. Each inverse record keeps its original's group mark.
void CodeMemo::undo() {
  // Replaying into a refused edit would spend the record without changing anything.
  if (readOnly_) return;
  bool more = true;
  while (more && undo_.position() > 0) {
    const std::size_t index = undo_.position() - 1;
    UndoHistory::Record rec = undo_.at(index);
    more = rec.group;
    select(rec.start, rec.stop - rec.start);
    const Replay outer = replay_;
    replay_ = Replay::undo;
    undo_.setPosition(index);
    const std::size_t countBefore = undo_.count();
    try {
      insertText(std::move(rec.removed));
    } catch (...) {
      replay_ = outer;
      undo_.setPosition(std::min(index + 1, undo_.count()));
      throw;
    }
    // Nothing was inserted (a handler emptied it): the record is spent all the same.
    if (undo_.position() == index && undo_.count() == countBefore) undo_.setPosition(index + 1);
    undo_.setPosition(undo_.position() - 1);
    replay_ = outer;
    // Typing after an undo starts a record of its own rather than joining an older one.
    caretPlaced_ = true;
    if (index < undo_.count()) undo_.at(index).group = more;
  }
}

void CodeMemo::redo() {
  if (readOnly_) return;
  bool more = true;
  while (more && undo_.position() < undo_.count()) {
    const std::size_t index = undo_.position();
    UndoHistory::Record rec = undo_.at(index);
    more = index + 1 < undo_.count() && undo_.at(index + 1).group;
    select(rec.start, rec.stop - rec.start);
    const Replay outer = replay_;
    replay_ = Replay::redo;
    try {
      insertText(std::move(rec.removed));
    } catch (...) {
      replay_ = outer;
      throw;
    }
    if (undo_.position() == index) undo_.setPosition(index + 1);
    replay_ = outer;
    caretPlaced_ = true;
    if (index < undo_.count()) undo_.at(index).group = rec.group;
  }
}

void CodeMemo::groupLastUndo() {
  if (undo_.position() >= 1) undo_.at(undo_.position() - 1).group = true;
}

// ---------------------------------------------------------------------------------------
// Anchors

CodeMemo::AnchorId CodeMemo::addAnchor(Offset offset) {
  for (std::size_t i = 0; i < anchors_.size(); ++i)
    if (!anchors_[i].used) {
      anchors_[i] = {normalize(offset), true};
      return static_cast<AnchorId>(i);
    }
  anchors_.push_back({normalize(offset), true});
  return static_cast<AnchorId>(anchors_.size() - 1);
}

Offset CodeMemo::anchor(AnchorId id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= anchors_.size() ||
      !anchors_[static_cast<std::size_t>(id)].used)
    throw MemoError(kListIndexOutOfBounds);
  return std::min(anchors_[static_cast<std::size_t>(id)].offset, charCount());
}

void CodeMemo::moveAnchor(AnchorId id, Offset offset) {
  anchor(id);  // validates
  anchors_[static_cast<std::size_t>(id)].offset = normalize(offset);
}

void CodeMemo::removeAnchor(AnchorId id) {
  if (id >= 0 && static_cast<std::size_t>(id) < anchors_.size())
    anchors_[static_cast<std::size_t>(id)].used = false;
}

// ---------------------------------------------------------------------------------------
// Self-check

void CodeMemo::selfCheck() const {
  std::int64_t lines = 0;
  Offset units = 0;
  std::string failure;
  table_.forEach([&](std::int64_t i, const Paragraph& p) {
    const std::string at = " in " + std::to_string(i);
    if (table_.firstLineOf(i) != lines) {
      failure = "Error 1" + at;
      return false;
    }
    if (table_.startOf(i) != units) {
      failure = "Error 2" + at;
      return false;
    }
    const std::vector<std::uint32_t>* starts = p.extra() ? &p.extra()->lineStarts : nullptr;
    const std::size_t wrapped = starts ? starts->size() : 0;
    const std::uint32_t count = table_.lineCountOf(i);
    if (wrapped + 1 != count) {
      failure = "Error 3" + at;
      return false;
    }
    for (std::size_t k = 0; k < wrapped; ++k) {
      const std::uint32_t prev = k == 0 ? 0 : (*starts)[k - 1];
      if ((*starts)[k] <= prev) {
        failure = "Error 3" + at;
        return false;
      }
    }
    if (wrapped > 0 && starts->back() >= p.length) {
      failure = "Error 4" + at;
      return false;
    }
    lines += count;
    units += static_cast<Offset>(p.length) + 2;
    return true;
  });
  if (!failure.empty()) throw MemoError(failure);
  if (charCount() + 2 != units) throw MemoError("Error 5 in " + std::to_string(table_.size() - 1));
  if (lineCount() != lines) throw MemoError("Error 6 in " + std::to_string(table_.size() - 1));
}

}  // namespace quillon::editor
