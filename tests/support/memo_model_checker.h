#pragma once
// Drives a CodeMemo with random operations and compares it after every step with a plain
// string model of its text. Shared by the deterministic test and the libFuzzer target.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "editor/code_memo.h"
#include "editor/memo_error.h"
#include "support/fixed_metrics.h"

namespace quillon::testing {

class MemoModelChecker {
public:
  // `next` yields random numbers; the run ends when it returns false.
  using Source = std::function<bool(std::uint32_t&)>;

  explicit MemoModelChecker(Source next) : next_(std::move(next)) {
    memo_.setMetrics(&metrics_);
    memo_.setViewport(400, 160);
    memo_.setWordWrap(false);
    memo_.setUndoMaxSpace(1 << 20);
    remember();
  }

  // Returns an empty string on success, else a description of the first difference.
  std::string run(std::size_t maxSteps) {
    for (std::size_t step = 0; step < maxSteps; ++step) {
      std::uint32_t op;
      if (!next_(op)) break;
      try {
        apply(op % 14);
      } catch (const editor::MemoError& e) {
        return "step " + std::to_string(step) + ": " + e.what();
      }
      const std::string problem = compare();
      if (!problem.empty())
        return "step " + std::to_string(step) + " (op " + std::to_string(op % 14) + "): " + problem;
    }
    return {};
  }

  const editor::CodeMemo& memo() const { return memo_; }

  // How a load turns bytes into text: CR, LF, CR LF and LF CR are each one break.
  static std::string normalizeLoad(const std::string& in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
      const char c = in[i];
      if (c == '\r' || c == '\n') {
        out.append("\r\n");
        const char other = c == '\r' ? '\n' : '\r';
        if (i + 1 < in.size() && in[i + 1] == other) ++i;
      } else {
        out.push_back(c);
      }
    }
    return out;
  }

  // How an insertion turns text into paragraphs: breaks at CR (with a following LF); a lone
  // LF is text.
  static std::string normalizeInsert(const std::string& in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
      if (in[i] == '\r') {
        out.append("\r\n");
        if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
      } else {
        out.push_back(in[i]);
      }
    }
    return out;
  }

private:
  std::uint32_t rnd(std::uint32_t bound) {
    std::uint32_t v = 0;
    if (!next_(v)) v = 0;
    return bound ? v % bound : 0;
  }

  std::string randomText(std::size_t maxLen) {
    static const char alphabet[] = "ab DimxX\t\xe9\xc9";
    std::string s;
    const std::size_t len = rnd(static_cast<std::uint32_t>(maxLen + 1));
    for (std::size_t i = 0; i < len; ++i) {
      const std::uint32_t k = rnd(40);
      if (k == 0)
        s += "\r\n";
      else if (k == 1)
        s += '\r';
      else if (k == 2)
        s += '\n';
      else
        s += alphabet[rnd(sizeof alphabet - 1)];
    }
    return s;
  }

  // An offset inside a break stands at the end of its paragraph.
  std::size_t snap(std::size_t o) const {
    if (o > ref_.size()) o = ref_.size();
    if (o > 0 && o < ref_.size() && ref_[o - 1] == '\r' && ref_[o] == '\n') --o;
    return o;
  }

  std::vector<std::string> paragraphs() const {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
      const std::size_t br = ref_.find("\r\n", start);
      if (br == std::string::npos) break;
      out.push_back(ref_.substr(start, br - start));
      start = br + 2;
    }
    out.push_back(ref_.substr(start));
    return out;
  }
  void setParagraphs(const std::vector<std::string>& ps) {
    ref_.clear();
    for (std::size_t i = 0; i < ps.size(); ++i) {
      if (i) ref_ += "\r\n";
      ref_ += ps[i];
    }
  }

  void replace(std::size_t a, std::size_t b, const std::string& text) {
    a = snap(a);
    b = std::max(a, snap(b));
    memo_.select(static_cast<editor::Offset>(a), static_cast<editor::Offset>(b - a));
    memo_.setSelText(text);
    const std::string norm = normalizeInsert(text);
    if (a == b && norm.empty()) return;
    ref_.replace(a, b - a, norm);
    edited();
  }

  void edited() {
    redoExpect_.clear();
    remember();
  }
  void remember() {
    if (ref_.size() < 65536) seen_.insert(std::hash<std::string>{}(ref_));
  }

  void apply(std::uint32_t op) {
    const auto size = static_cast<std::uint32_t>(ref_.size());
    switch (op) {
      case 0:
      case 1: {  // typing at the caret, merged into one undo step while the caret stays
        const editor::Offset c = memo_.selStart();
        const std::size_t a = snap(static_cast<std::size_t>(std::min(c, c + memo_.selLength())));
        const std::size_t b =
            std::max(a, snap(static_cast<std::size_t>(std::max(c, c + memo_.selLength()))));
        std::string t(1, "aZ \t"[rnd(4)]);
        memo_.setSelText(t);
        ref_.replace(a, b - a, t);
        edited();
        break;
      }
      case 2: replace(rnd(size + 1), rnd(size + 1), randomText(12)); break;
      case 3: {
        const std::size_t a = rnd(size + 1);
        replace(a, a + rnd(20), "");
        break;
      }
      case 4: memo_.setSelStart(rnd(size + 1)); break;
      case 5: {  // undo, then check the text is one seen before
        const std::string before = ref_;
        const bool could = memo_.canUndo();
        memo_.undo();
        ref_ = memo_.text();
        if (could) redoExpect_.push_back(before);
        if (ref_.size() < 65536 && !seen_.count(std::hash<std::string>{}(ref_)))
          ref_ = "\x01<undo produced unseen text>";
        break;
      }
      case 6: {  // redo returns exactly to the text before the matching undo
        if (!memo_.canRedo()) break;
        memo_.redo();
        ref_ = memo_.text();
        if (!redoExpect_.empty()) {
          if (ref_ != redoExpect_.back()) ref_ = "\x01<redo did not restore>";
          redoExpect_.pop_back();
        }
        break;
      }
      case 7: {  // find a word taken from the text
        static const char* const words[] = {"dim", "Dim", "ab", "x", "\xc9"};
        const std::string w = words[rnd(5)];
        const bool forward = rnd(2);
        const bool whole = rnd(2);
        const bool matchCase = rnd(2);
        const editor::Offset caret = memo_.selStart();
        if (memo_.findText(w, forward, whole, matchCase)) {
          std::string got = memo_.selText();
          const auto& f = memo_.folder();
          if ((matchCase ? got : f.upper(got)) != (matchCase ? w : f.upper(w)))
            ref_ = "\x01<find selected other text>";
          const editor::Offset a = std::min(memo_.selStart(), memo_.selStart() + memo_.selLength());
          if (forward ? a < caret : a >= caret) ref_ = "\x01<find went the wrong way>";
        }
        break;
      }
      case 8: {  // a load with any kind of break
        const std::string raw = randomText(200);
        memo_.setText(raw);
        ref_ = normalizeLoad(raw);
        redoExpect_.clear();
        seen_.clear();
        remember();
        break;
      }
      case 9: {  // paragraph list edits
        auto ps = paragraphs();
        std::int64_t count = static_cast<std::int64_t>(ps.size()) - (ps.back().empty() ? 1 : 0);
        const std::int64_t i = rnd(static_cast<std::uint32_t>(ps.size() + 1));
        const std::string s = "p" + std::to_string(rnd(100));
        switch (rnd(4)) {
          case 0:
            memo_.paragraphs().insert(i, s);
            if (i >= count)
              ps.push_back(s);
            else
              ps.insert(ps.begin() + i, s);
            setParagraphs(ps);
            break;
          case 1:
            memo_.paragraphs().add(s);
            if (ps.back().empty())
              ps.insert(ps.end() - 1, s);
            else
              ps.push_back(s);
            setParagraphs(ps);
            break;
          case 2:
            if (i >= static_cast<std::int64_t>(ps.size())) break;
            memo_.paragraphs().erase(i);
            // The last paragraph has no break of its own: only its characters go.
            if (i + 1 < static_cast<std::int64_t>(ps.size()))
              ps.erase(ps.begin() + i);
            else
              ps.back().clear();
            setParagraphs(ps);
            break;
          default:
            if (i >= static_cast<std::int64_t>(ps.size())) break;
            memo_.paragraphs().put(i, s);
            ps[static_cast<std::size_t>(i)] = s;
            setParagraphs(ps);
            break;
        }
        edited();
        break;
      }
      case 10:
        memo_.setWordWrap(rnd(2));
        memo_.setViewport(static_cast<int>(20 + rnd(300)), 160);
        break;
      case 11: {  // line-based lookups agree with each other
        const std::int64_t line = rnd(static_cast<std::uint32_t>(memo_.lineCount()));
        memo_.setSelLine(line);
        if (memo_.selLine() != line) ref_ = "\x01<SelLine did not land on its line>";
        break;
      }
      case 12: {
        const editor::Offset o = rnd(size + 1);
        memo_.select(o, static_cast<editor::Offset>(rnd(size + 1)) - o);
        break;
      }
      default: {  // a grouped pair, as a drag move makes it
        if (size < 4) break;
        const std::size_t a = snap(rnd(size - 2));
        const std::size_t b = std::max(a, snap(a + rnd(4)));
        const std::string moved = ref_.substr(a, b - a);
        replace(a, b, "");
        const std::size_t to = snap(rnd(static_cast<std::uint32_t>(ref_.size() + 1)));
        replace(to, to, moved);
        memo_.groupLastUndo();
        break;
      }
    }
  }

  std::string compare() {
    memo_.selfCheck();
    const std::string got = memo_.text();
    if (got != ref_)
      return "text differs: memo " + std::to_string(got.size()) + " bytes, model " +
             std::to_string(ref_.size());
    if (memo_.charCount() != static_cast<editor::Offset>(ref_.size())) return "CharCount differs";
    std::int64_t breaks = 0;
    for (std::size_t i = 0; (i = ref_.find("\r\n", i)) != std::string::npos; i += 2) ++breaks;
    if (memo_.paragraphCount() != breaks + 1) return "paragraph count differs";
    if (memo_.selStart() < 0 || memo_.selStart() > memo_.charCount())
      return "caret outside the text";
    return {};
  }

  Source next_;
  FixedMetrics metrics_;
  editor::CodeMemo memo_;
  std::string ref_;
  std::vector<std::string> redoExpect_;
  std::unordered_set<std::size_t> seen_;
};

}  // namespace quillon::testing
