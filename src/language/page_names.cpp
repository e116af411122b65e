#include "language/page_names.h"

#include <algorithm>
#include <unordered_set>

#include "editor/code_memo.h"
#include "language/compare_no_case.h"
#include "platform/ascii_text.h"

namespace quillon::language {

namespace {

using platform::equalsNoCase;

// The text after the first word of `text` and the blanks behind it.
std::string_view afterWord(std::string_view text) {
  const std::string_view word = firstWord(text);
  text = platform::trimStart(text, platform::isBlankOrControl);
  return platform::trimStart(text.substr(word.size()), platform::isBlankOrControl);
}

// "N(a, b) As T" gives N and "a, b".
void readRoutine(std::string_view rest, PageName& out) {
  const std::string_view name = firstWord(rest);
  out.name.assign(name);
  out.routine = true;
  std::string_view tail = platform::trimStart(rest.substr(name.size()), platform::isBlankOrControl);
  if (tail.empty() || tail.front() != '(') return;
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i];
    if (inString) {
      inString = c != '"';
      continue;
    }
    if (c == '"') inString = true;
    else if (c == '(') ++depth;
    else if (c == ')' && --depth == 0) {
      out.parameters.assign(platform::trim(tail.substr(1, i - 1)));
      return;
    }
  }
  out.parameters.assign(platform::trim(tail.substr(1)));
}

// The first word of each top-level comma piece of "a, b(3) As T, c As U".
void readNameList(std::string_view rest, const PageName& scope, std::vector<PageName>& out) {
  int depth = 0;
  bool inString = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= rest.size(); ++i) {
    const char c = i < rest.size() ? rest[i] : ',';
    if (inString) {
      inString = c != '"';
      if (i < rest.size()) continue;
    }
    if (c == '"') inString = true;
    else if (c == '(') ++depth;
    else if (c == ')' && depth > 0) --depth;
    else if (c == ',' && (depth == 0 || i == rest.size())) {
      const std::string_view word = firstWord(rest.substr(start, i - start));
      if (!word.empty()) {
        PageName name = scope;
        name.name.assign(word);
        out.push_back(std::move(name));
      }
      start = i + 1;
    }
  }
}

PageName pageWide(std::string_view name) {
  PageName out;
  out.name.assign(name);
  return out;
}

}  // namespace

std::vector<PageName> scanPageNames(std::int64_t count, const StatementReader::LineAt& lineAt) {
  std::vector<PageName> out;
  StatementReader reader(count, lineAt);
  Statement statement;
  std::size_t routine = SIZE_MAX;  // index in `out` of the open routine
  std::int64_t routineFirst = 0;
  bool inType = false;
  std::vector<std::size_t> locals;  // names of the open routine, closed with it
  auto local = [&] {
    PageName name;
    if (routine != SIZE_MAX) {
      name.scopeFirst = routineFirst;
      locals.push_back(out.size());
    }
    return name;
  };
  auto closeRoutine = [&](std::int64_t last) {
    for (std::size_t i : locals) out[i].scopeLast = last;
    locals.clear();
    routine = SIZE_MAX;
  };
  while (reader.next(statement)) {
    const std::string_view text = statement.text;
    const std::int64_t line = statement.firstLine;
    if (const auto label = labelOf(text)) {
      PageName name = local();
      name.name.assign(*label);
      out.push_back(std::move(name));
      continue;
    }
    const std::string_view word = firstWord(text);
    const std::string_view rest = afterWord(text);
    if (inType) {
      if (equalsNoCase(word, "End")) inType = false;
      continue;
    }
    if (equalsNoCase(word, "Sub") || equalsNoCase(word, "Function")) {
      closeRoutine(line - 1);
      PageName name;
      readRoutine(rest, name);
      if (name.name.empty()) continue;
      routine = out.size();
      routineFirst = line;
      out.push_back(std::move(name));
      continue;
    }
    if (equalsNoCase(word, "End")) {
      const std::string_view what = firstWord(rest);
      if (equalsNoCase(what, "Sub") || equalsNoCase(what, "Function")) closeRoutine(line);
      continue;
    }
    if (equalsNoCase(word, "Declare")) {
      const std::string_view kind = firstWord(rest);
      if (!equalsNoCase(kind, "Sub") && !equalsNoCase(kind, "Function")) continue;
      PageName name;
      readRoutine(afterWord(rest), name);
      name.declared = true;
      if (!name.name.empty()) out.push_back(std::move(name));
      continue;
    }
    if (equalsNoCase(word, "Define")) {
      const std::string_view defined = firstWord(rest);
      if (!defined.empty()) out.push_back(pageWide(defined));
      continue;
    }
    if (equalsNoCase(word, "Type") && routine == SIZE_MAX && firstWord(rest).size() == rest.size() && !rest.empty()) {
      out.push_back(pageWide(rest));
      inType = true;
      continue;
    }
    if (equalsNoCase(word, "Global")) {
      readNameList(rest, PageName{}, out);
      continue;
    }
    if (equalsNoCase(word, "Dim")) {
      const std::size_t before = out.size();
      PageName scope;
      if (routine != SIZE_MAX) scope.scopeFirst = routineFirst;
      readNameList(rest, scope, out);
      if (routine != SIZE_MAX)
        for (std::size_t i = before; i < out.size(); ++i) locals.push_back(i);
    }
  }
  if (routine != SIZE_MAX) closeRoutine(INT64_MAX);
  return out;
}

EditorNames::EditorNames(editor::CodeMemo& editor) : editor_(editor) {
  listener_ = editor_.addViewListener([this](editor::CodeMemo::ViewEvent e) {
    if (e == editor::CodeMemo::ViewEvent::changed) dirty_ = true;
  });
}

EditorNames::~EditorNames() { editor_.removeViewListener(listener_); }

const std::vector<PageName>& EditorNames::names() const {
  const std::int64_t count = editor_.paragraphCount();
  if (!dirty_ || (count > kSmallPage && count == scannedParagraphs_)) return names_;
  if (count > kMaxLines)
    names_.clear();
  else
    names_ = scanPageNames(count, [this](std::int64_t i) { return editor_.paragraphText(i); });
  dirty_ = false;
  scannedParagraphs_ = count;
  return names_;
}

std::vector<std::string> EditorNames::namesStartingWith(std::string_view prefix, const NamePlace& place,
                                                        std::size_t limit) const {
  std::vector<const PageName*> inScope;
  std::vector<const PageName*> others;
  for (const PageName& n : names()) {
    if (n.name.size() < prefix.size() || !equalsNoCase(std::string_view(n.name).substr(0, prefix.size()), prefix))
      continue;
    (place.line >= n.scopeFirst && place.line <= n.scopeLast ? inScope : others).push_back(&n);
  }
  auto byName = [](const PageName* a, const PageName* b) { return compareNoCase(a->name, b->name) < 0; };
  std::stable_sort(inScope.begin(), inScope.end(), byName);
  std::stable_sort(others.begin(), others.end(), byName);
  std::vector<std::string> out;
  std::unordered_set<std::string> seen;
  for (const auto* group : {&inScope, &others})
    for (const PageName* n : *group) {
      if (out.size() >= limit) return out;
      if (seen.insert(platform::asciiLowered(n->name)).second) out.push_back(n->name);
    }
  return out;
}

std::optional<std::string> EditorNames::parametersOf(std::string_view name, const NamePlace&) const {
  const PageName* own = nullptr;
  for (const PageName& n : names()) {
    if (!n.routine || !equalsNoCase(n.name, name)) continue;
    if (n.declared) return n.parameters;
    if (!own) own = &n;
  }
  if (own) return own->parameters;
  return std::nullopt;
}

}  // namespace quillon::language
