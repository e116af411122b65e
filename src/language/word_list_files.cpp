#include "language/word_list_files.h"

#include <algorithm>

#include "editor/case_fold.h"
#include "language/compare_no_case.h"
#include "platform/ascii_text.h"
#include "platform/text_lines.h"

namespace quillon::language {

namespace {

using platform::trim;

enum class LineKind { empty, marker, comment, entry };

LineKind kindOf(std::string_view trimmed, std::string_view maxMbVersion) {
  if (trimmed.empty()) return LineKind::empty;
  if (trimmed.front() == '\'') {
    if (trimmed.substr(0, 4) == std::string("'").append(maxMbVersion)) return LineKind::marker;
    return LineKind::comment;
  }
  return LineKind::entry;
}

// Calls `take` with each trimmed entry line before the version marker.
template <class Take>
void forEachEntry(std::string_view bytes, std::string_view maxMbVersion, Take&& take) {
  bool stopped = false;
  platform::forEachLine(bytes, [&](const platform::TextLine& line) {
    if (stopped) return;
    const std::string_view t = trim(line.text);
    switch (kindOf(t, maxMbVersion)) {
      case LineKind::marker: stopped = true; break;
      case LineKind::entry: take(t); break;
      default: break;
    }
  });
}

std::string_view definedName(std::string_view line) {
  const auto blank = [](char c) { return platform::isSpaceOrTab(c); };
  const auto firstBlank = std::find_if(line.begin(), line.end(), blank);
  if (firstBlank == line.end()) return {};
  const std::string_view rest =
      trim(line.substr(static_cast<std::size_t>(firstBlank - line.begin())));
  const auto nameEnd = std::find_if(rest.begin(), rest.end(), blank);
  if (nameEnd == rest.end()) return {};
  return trim(rest.substr(0, static_cast<std::size_t>(nameEnd - rest.begin())));
}

}  // namespace

bool wordLess(std::string_view a, std::string_view b) {
  const editor::CaseFolder& fold = editor::CaseFolder::ansi();
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = fold(static_cast<unsigned char>(a[i]));
    const unsigned char y = fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool sameWord(std::string_view a, std::string_view b) {
  const editor::CaseFolder& fold = editor::CaseFolder::ansi();
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
           return fold(static_cast<unsigned char>(x)) == fold(static_cast<unsigned char>(y));
         });
}

void sortWords(std::vector<std::string>& words) {
  std::stable_sort(words.begin(), words.end(),
                   [](const std::string& a, const std::string& b) { return wordLess(a, b); });
}

bool storableWord(std::string_view word) {
  word = trim(word);
  return !word.empty() && word.front() != '\'' &&
         word.find_first_of("\r\n") == std::string_view::npos;
}

std::vector<std::string> readDictionary(std::string_view bytes, std::string_view maxMbVersion) {
  std::vector<std::string> words;
  forEachEntry(bytes, maxMbVersion, [&](std::string_view entry) { words.emplace_back(entry); });
  sortWords(words);
  return words;
}

std::vector<std::string> readDefinitions(std::string_view bytes, std::string_view maxMbVersion) {
  std::vector<std::string> names;
  forEachEntry(bytes, maxMbVersion, [&](std::string_view entry) {
    if (const std::string_view name = definedName(entry); !name.empty()) names.emplace_back(name);
  });
  sortWords(names);
  return names;
}

std::vector<std::string> readHelpContexts(std::string_view bytes) {
  std::vector<std::string> lines;
  platform::forEachLine(bytes, [&](const platform::TextLine& line) {
    if (trim(line.text).empty() || line.text.front() == ';' || line.text.front() == '\'') return;
    lines.emplace_back(line.text);
  });
  std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return compareNoCase(a, b) > 0;
  });
  return lines;
}

std::string mergeDictionary(std::string_view now, const std::vector<std::string>& words,
                            std::string_view maxMbVersion) {
  // Where the leading comments end (after the break of the last one), and the run of entries
  // after them: [bodyStart, tailStart).
  enum class Part { head, body, tail } part = Part::head;
  std::size_t headEnd = 0;
  bool headNeedsBreak = false;
  std::size_t tailStart = now.size();
  std::vector<std::string> entries;
  platform::forEachLine(now, [&](const platform::TextLine& line) {
    const std::string_view t = trim(line.text);
    const LineKind kind = kindOf(t, maxMbVersion);
    if (part == Part::head) {
      if (kind == LineKind::empty) return;
      if (kind == LineKind::comment) {
        headEnd = line.next;
        headNeedsBreak = !line.hasBreak();
        return;
      }
      part = Part::body;
    }
    if (part == Part::body) {
      if (kind == LineKind::entry) {
        entries.emplace_back(t);
      } else if (kind != LineKind::empty) {
        part = Part::tail;
        tailStart = line.start;
      }
    }
  });

  const std::vector<std::string> held = readDictionary(now, maxMbVersion);
  for (const std::string& word : words) {
    const std::string_view w = trim(word);
    if (!storableWord(w)) continue;
    const auto pos =
        std::lower_bound(held.begin(), held.end(), w,
                         [](const std::string& a, std::string_view b) { return wordLess(a, b); });
    const bool known = pos != held.end() && sameWord(*pos, w);
    const bool twice = std::any_of(entries.begin(), entries.end(),
                                   [&](const std::string& e) { return sameWord(e, w); });
    if (!known && !twice) entries.emplace_back(w);
  }
  sortWords(entries);

  std::string out(now.substr(0, headEnd));
  if (headNeedsBreak) out += "\r\n";
  for (const std::string& e : entries) out.append(e).append("\r\n");
  out.append(now.substr(tailStart));
  return out;
}

}  // namespace quillon::language
