#include "language/code_outline.h"

#include <algorithm>
#include <cstdio>

#include "editor/case_fold.h"
#include "platform/ascii_text.h"

namespace quillon::language {

std::size_t Outline::entryCount() const {
  std::size_t n = 0;
  for (const auto& g : groups) n += g.size();
  return n;
}

namespace {

enum class Opener { None, Include, Define, Type, Declare, Global, Dim, Sub, Function, End };

struct Keyword {
  std::string_view word;
  Opener opener;
};
constexpr std::array<Keyword, 9> kKeywords = {{{"Include", Opener::Include},
                                               {"Define", Opener::Define},
                                               {"Type", Opener::Type},
                                               {"Declare", Opener::Declare},
                                               {"Global", Opener::Global},
                                               {"Dim", Opener::Dim},
                                               {"Sub", Opener::Sub},
                                               {"Function", Opener::Function},
                                               {"End", Opener::End}}};

Opener openerOf(std::string_view word) {
  for (const Keyword& k : kKeywords)
    if (platform::equalsNoCase(word, k.word)) return k.opener;
  return Opener::None;
}

// A name and nothing else: no string, no second word.
bool isPlainName(std::string_view text) {
  return !text.empty() && !(text.front() >= '0' && text.front() <= '9') &&
         firstWord(text).size() == text.size();
}

void add(Outline& outline, OutlineGroup group, std::string_view name, std::int64_t line) {
  if (name.empty()) return;
  OutlineEntry entry;
  entry.line = line;
  entry.nameLength = name.size();
  entry.text.reserve(name.size() + 16);
  entry.text.append(name).append(" [").append(std::to_string(line)).append("]");
  outline.group(group).push_back(std::move(entry));
}

}  // namespace

Outline scanOutline(std::int64_t count, const StatementReader::LineAt& lineAt) {
  Outline outline;
  StatementReader reader(count, lineAt);
  Statement statement;
  bool inRoutine = false;
  while (reader.next(statement)) {
    const std::string_view text = statement.text;
    const std::int64_t line = statement.firstLine + 1;
    if (const auto label = labelOf(text)) {
      add(outline, OutlineGroup::Labels, *label, line);
      continue;
    }
    const std::string_view word = firstWord(text);
    const Opener opener = openerOf(word);
    if (opener == Opener::None) continue;
    // The statement text is trimmed and its blanks single, so the rest starts after one.
    const std::string_view rest = platform::trim(text.substr(word.size()));
    switch (opener) {
      case Opener::Include: add(outline, OutlineGroup::Include, rest, line); break;
      case Opener::Define:
        add(outline, OutlineGroup::Define, rest.substr(0, rest.find(' ')), line);
        break;
      case Opener::Type:
        if (!inRoutine && isPlainName(rest)) add(outline, OutlineGroup::Type, rest, line);
        break;
      case Opener::Declare: add(outline, OutlineGroup::Declare, rest, line); break;
      case Opener::Global: add(outline, OutlineGroup::Global, rest, line); break;
      case Opener::Dim: add(outline, OutlineGroup::Dim, rest, line); break;
      case Opener::Sub:
        add(outline, OutlineGroup::Subs, rest, line);
        inRoutine = true;
        break;
      case Opener::Function:
        add(outline, OutlineGroup::Functions, rest, line);
        inRoutine = true;
        break;
      case Opener::End:
        if (const std::string_view what = firstWord(rest);
            platform::equalsNoCase(what, "Sub") || platform::equalsNoCase(what, "Function"))
          inRoutine = false;
        break;
      case Opener::None: break;
    }
  }
  return outline;
}

bool outlineNameLess(std::string_view a, std::string_view b) {
  const editor::CaseFolder& fold = editor::CaseFolder::ansi();
  const std::size_t n = std::min(a.size(), b.size());
  std::size_t firstDifference = n;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = fold(static_cast<unsigned char>(a[i]));
    const unsigned char y = fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
    if (firstDifference == n && a[i] != b[i]) firstDifference = i;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  if (firstDifference == n) return false;
  // Equal but for case: the byte that upper-casing changes is the lower-case one.
  const unsigned char x = static_cast<unsigned char>(a[firstDifference]);
  return fold(x) != x;
}

void sortOutline(Outline& outline) {
  for (std::size_t g = 0; g < kOutlineGroups; ++g) {
    if (static_cast<OutlineGroup>(g) == OutlineGroup::Labels) continue;
    std::stable_sort(outline.groups[g].begin(), outline.groups[g].end(),
                     [](const OutlineEntry& a, const OutlineEntry& b) {
                       if (outlineNameLess(a.name(), b.name())) return true;
                       if (outlineNameLess(b.name(), a.name())) return false;
                       return a.line < b.line;
                     });
  }
}

std::string formatScanSeconds(std::chrono::milliseconds elapsed) {
  const long long ms = std::max<long long>(0, elapsed.count());
  char text[32];
  std::snprintf(text, sizeof text, "%02lld.%03lld", ms / 1000, ms % 1000);
  return text;
}

}  // namespace quillon::language
