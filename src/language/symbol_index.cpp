#include "language/symbol_index.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <numeric>
#include <span>
#include <system_error>
#include <unordered_set>

#include "editor/code_memo_fwd.h"
#include "language/compare_no_case.h"
#include "language/mapbasic_scanner.h"
#include "pages/text_encoding.h"
#include "platform/ascii_text.h"
#include "platform/regular_file.h"

namespace quillon::language {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kBlockLines = 200;  // lines of a block as cut; relative lines fit a byte
static_assert(kBlockLines <= 255);
// A definition's relative lines: its statement opens in the block and runs on for at most
// kMaxStatementLines.
static_assert(kBlockLines + kMaxStatementLines < 0xFFFF);
constexpr std::uint16_t kNoLine = 0xFFFF;

bool isWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

std::string folded(std::string_view word) { return platform::asciiLowered(word); }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         platform::equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool containsNoCase(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
    if (platform::equalsNoCase(text.substr(i, part.size()), part)) return true;
  return false;
}

// Calls visit(start, length) for each word of the line's code.
template <class Visit>
void forEachWord(std::string_view line, Visit&& visit) {
  readLine(line, [&](std::size_t start, std::size_t length) {
    if (isWordStart(line[start])) visit(start, length);
  });
}

bool isLocalKind(SymbolKind kind) {
  return kind == SymbolKind::Dim || kind == SymbolKind::Parameter || kind == SymbolKind::Label;
}

bool isRoutine(SymbolKind kind) { return kind == SymbolKind::Sub || kind == SymbolKind::Function; }

bool isDeclare(SymbolKind kind) {
  return kind == SymbolKind::DeclareSub || kind == SymbolKind::DeclareFunction;
}

// Seen from another module: what the compiler lets a module share, and what a reader looks
// for there.
bool isShared(SymbolKind kind) {
  return kind != SymbolKind::Dim && kind != SymbolKind::Parameter && kind != SymbolKind::Label;
}

// The parts of a list split at commas outside parentheses and strings, each trimmed.
std::vector<std::string_view> splitList(std::string_view text) {
  std::vector<std::string_view> parts;
  int depth = 0;
  bool inString = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ',';
    if (c == '"') inString = !inString;
    if (inString && i < text.size()) continue;
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (c == ',' && (depth == 0 || i == text.size())) {
      parts.push_back(platform::trim(text.substr(start, i - start), platform::isBlankOrControl));
      start = i + 1;
    }
  }
  return parts;
}

// The " As ..." clause of a list item, from its "As" on; empty when it has none.
std::string_view asClause(std::string_view item) {
  int depth = 0;
  for (std::size_t i = 0; i + 2 <= item.size(); ++i) {
    if (item[i] == '(') ++depth;
    if (item[i] == ')' && depth > 0) --depth;
    if (depth == 0 && (i == 0 || item[i - 1] == ' ') &&
        platform::equalsNoCase(item.substr(i, 2), "as") &&
        (i + 2 == item.size() || item[i + 2] == ' '))
      return item.substr(i);
  }
  return {};
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  lines.reserve(text.size() / 32 + 1);
  // The next CR and the next LF, each looked for (at memchr's speed) once passed.
  constexpr auto npos = std::string_view::npos;
  std::size_t cr = text.find('\r');
  std::size_t lf = text.find('\n');
  std::size_t start = 0;
  while (cr != npos || lf != npos) {
    const std::size_t at = std::min(cr, lf);
    lines.push_back(text.substr(start, at - start));
    start = at + 1;
    if (start < text.size() && (text[start] == '\r' || text[start] == '\n') &&
        text[start] != text[at])
      ++start;
    if (cr != npos && cr < start) cr = text.find('\r', start);
    if (lf != npos && lf < start) lf = text.find('\n', start);
  }
  lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

std::string_view symbolKindName(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::Sub: return "Sub";
    case SymbolKind::Function: return "Function";
    case SymbolKind::DeclareSub: return "Declare Sub";
    case SymbolKind::DeclareFunction: return "Declare Function";
    case SymbolKind::Define: return "Define";
    case SymbolKind::Type: return "Type";
    case SymbolKind::TypeMember: return "Type member";
    case SymbolKind::Global: return "Global";
    case SymbolKind::Dim: return "Dim";
    case SymbolKind::Parameter: return "Parameter";
    case SymbolKind::Label: return "Label";
  }
  return "";
}

std::optional<WordSpan> wordAt(std::string_view line, std::size_t column) {
  std::optional<WordSpan> found;
  forEachWord(line, [&](std::size_t start, std::size_t length) {
    if (!found && column >= start && column <= start + length) found = WordSpan{start, length};
  });
  return found;
}

// ----- The stored form -----

struct SymbolIndex::State {
  std::uint32_t routine = 0;  // the open Sub or Function, 0 outside
  std::string routineName;
  bool inType = false;
  std::string typeName;
  std::int64_t overhang = 0;  // lines at the block's start that finish the statement before it
  bool operator==(const State&) const = default;
};

namespace {

// Ascending numbers, two bytes each while the largest fits in two, else four.
class NumberList {
public:
  void assign(const std::vector<std::uint32_t>& values) {
    wide_ = !values.empty() && values.back() > 0xFFFF;
    data_.clear();
    data_.reserve(values.size() * (wide_ ? 2 : 1));
    for (const std::uint32_t v : values) {
      data_.push_back(static_cast<std::uint16_t>(v));
      if (wide_) data_.push_back(static_cast<std::uint16_t>(v >> 16));
    }
  }
  std::size_t size() const { return wide_ ? data_.size() / 2 : data_.size(); }
  std::uint32_t operator[](std::size_t i) const {
    return wide_ ? data_[2 * i] | static_cast<std::uint32_t>(data_[2 * i + 1]) << 16 : data_[i];
  }
  // The place of `value`, or nullopt.
  std::optional<std::size_t> find(std::uint32_t value) const {
    std::size_t low = 0;
    std::size_t high = size();
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      if ((*this)[mid] < value)
        low = mid + 1;
      else
        high = mid;
    }
    if (low < size() && (*this)[low] == value) return low;
    return std::nullopt;
  }
  std::size_t bytes() const { return data_.capacity() * sizeof(std::uint16_t); }

private:
  std::vector<std::uint16_t> data_;
  bool wide_ = false;
};

}  // namespace

struct SymbolIndex::Block {
  struct Def {
    std::uint32_t name = 0;       // offset into pool; the detail follows the name there
    std::uint32_t container = 0;  // offset into pool, shared by the defs of one container
    std::uint32_t detailLength = 0;
    std::uint32_t column = 0;
    std::uint32_t routine = 0;  // a routine's own stamp; a local's routine; else 0
    std::uint16_t nameLength = 0;
    std::uint16_t containerLength = 0;
    std::uint16_t line = 0;     // relative to the block; a statement may run past its end
    std::uint16_t endLine = 0;  // relative; of a routine, kNoLine until its End is known here
    SymbolKind kind = SymbolKind::Sub;
  };
  struct End {
    std::uint32_t line;
    std::uint32_t routine;
  };
  struct Include {
    std::uint32_t line;
    std::string name;
  };

  std::int64_t lineCount = 0;
  State start;
  State end;
  std::string pool;
  std::vector<Def> defs;
  std::vector<End> ends;
  std::vector<Include> includes;
  NumberList words;                 // ids of the words used, ascending
  NumberList wordFirst;             // words.size() + 1 offsets into lines
  std::vector<std::uint8_t> lines;  // for each word, the relative lines using it, ascending

  std::string_view text(std::uint32_t offset, std::uint32_t length) const {
    return std::string_view(pool).substr(offset, length);
  }
  std::string_view nameOf(const Def& d) const { return text(d.name, d.nameLength); }
  // The lines using word `id`, empty when none.
  std::pair<const std::uint8_t*, const std::uint8_t*> linesOf(std::uint32_t id) const {
    const std::optional<std::size_t> k = words.find(id);
    if (!k) return {nullptr, nullptr};
    return {lines.data() + wordFirst[*k], lines.data() + wordFirst[*k + 1]};
  }
  bool uses(std::uint32_t id) const { return words.find(id).has_value(); }
  // A definition's name stands on a line of its block, unless its last statement runs on
  // into the next block.
  bool mayDefine(std::uint32_t id) const { return end.overhang > 0 || uses(id); }
  std::size_t bytes() const {
    std::size_t n = sizeof(Block) + pool.capacity() + defs.capacity() * sizeof(Def) +
                    ends.capacity() * sizeof(End) + words.bytes() + wordFirst.bytes() +
                    lines.capacity();
    for (const Include& i : includes) n += sizeof(Include) + i.name.capacity();
    return n + start.routineName.capacity() + end.routineName.capacity();
  }
};

namespace {

// The routine open at relative `line` of a block.
template <class Block>
std::uint32_t routineIn(const Block& b, std::int64_t rel) {
  std::uint32_t routine = b.start.routine;
  std::int64_t at = -1;
  for (const auto& d : b.defs)
    if (isRoutine(d.kind) && static_cast<std::int64_t>(d.line) <= rel &&
        static_cast<std::int64_t>(d.line) >= at) {
      routine = d.routine;
      at = d.line;
    }
  for (const auto& e : b.ends)
    if (static_cast<std::int64_t>(e.line) < rel && static_cast<std::int64_t>(e.line) >= at) {
      routine = 0;
      at = e.line;
    }
  return routine;
}

}  // namespace

struct SymbolIndex::Source {
  fs::path file;
  std::vector<Block> blocks;
  std::int64_t lineCount = 0;
  // Held as text (a page): never read from disk while so.
  bool held = false;
  std::string text;  // what setText gave last
  LineAt lineSource;
  // Read from disk: what the file was then.
  std::uintmax_t diskSize = 0;
  fs::file_time_type diskTime{};
  bool fromDisk = false;
  std::vector<SourceId> includes;  // resolved by setRoots

  // Calls visit(block, firstLine) in order.
  template <class Visit>
  void forEachBlock(Visit&& visit) const {
    std::int64_t first = 0;
    for (const Block& b : blocks) {
      visit(b, first);
      first += b.lineCount;
    }
  }
  // The routine holding absolute `line`, 0 outside any.
  std::uint32_t routineAt(std::int64_t line) const {
    std::int64_t first = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      if (line < first + blocks[i].lineCount || i + 1 == blocks.size())
        return routineIn(blocks[i], line - first);
      first += blocks[i].lineCount;
    }
    return 0;
  }
};

SymbolIndex::SymbolIndex(Options options)
    : options_(std::move(options)), words_(std::make_unique<WordTable>()) {}
SymbolIndex::SymbolIndex()
    : SymbolIndex(Options{platform::IncludeResolver(),
                          static_cast<std::uint64_t>(editor::kMaxLoadLength)}) {}
SymbolIndex::~SymbolIndex() = default;

// ----- Words -----

namespace {

constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

// Eight bytes at a time. OR-ing 0x20 folds the case of letters and maps no two name
// characters together; for other bytes it only adds collisions, never a miss.
std::uint32_t foldedHash(std::string_view word) {
  constexpr std::uint64_t kFold = 0x2020202020202020ull;
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = (word.size() + 1) * kMul;
  std::size_t i = 0;
  for (; i + 8 <= word.size(); i += 8) {
    std::uint64_t v;
    std::memcpy(&v, word.data() + i, 8);
    h = (h ^ (v | kFold)) * kMul;
    h ^= h >> 29;
  }
  if (i < word.size()) {
    std::uint64_t v = 0;
    std::memcpy(&v, word.data() + i, word.size() - i);
    h = (h ^ (v | (kFold >> (8 * (8 - (word.size() - i)))))) * kMul;
    h ^= h >> 29;
  }
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

// The words met, under their folded spellings, numbered in the order first met. Open
// addressing over a power-of-two table kept at most half full; each place holds a word's
// hash and its id + 1 (0 when free).
struct SymbolIndex::WordTable {
  struct Entry {
    std::string folded;
    std::uint32_t slot = kNoSlot;  // while a block is scanned: its place among its words
  };
  std::vector<Entry> entries;  // by id
  std::vector<std::uint64_t> places;

  static bool matches(std::string_view key, std::string_view word) {
    if (key.size() != word.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i)
      if (key[i] != platform::asciiLower(word[i])) return false;
    return true;
  }
  // The place holding `word`, or the free place where it would go.
  std::size_t placeOf(std::string_view word, std::uint32_t hash) const {
    const std::size_t mask = places.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const std::uint64_t p = places[i];
      if (p == 0) return i;
      if (static_cast<std::uint32_t>(p >> 32) == hash &&
          matches(entries[static_cast<std::uint32_t>(p) - 1].folded, word))
        return i;
    }
  }
  std::optional<std::uint32_t> find(std::string_view word) const {
    if (places.empty()) return std::nullopt;
    const std::uint64_t p = places[placeOf(word, foldedHash(word))];
    if (p == 0) return std::nullopt;
    return static_cast<std::uint32_t>(p) - 1;
  }
  std::uint32_t add(std::string_view word) {
    if ((entries.size() + 1) * 2 > places.size()) grow();
    const std::uint32_t hash = foldedHash(word);
    const std::size_t at = placeOf(word, hash);
    if (places[at] != 0) return static_cast<std::uint32_t>(places[at]) - 1;
    const auto id = static_cast<std::uint32_t>(entries.size());
    entries.push_back({folded(word), kNoSlot});
    places[at] = static_cast<std::uint64_t>(hash) << 32 | (id + 1);
    return id;
  }
  void grow() {
    std::vector<std::uint64_t> old(std::max<std::size_t>(places.size() * 2, 1024), 0);
    old.swap(places);
    const std::size_t mask = places.size() - 1;
    for (const std::uint64_t p : old) {
      if (p == 0) continue;
      std::size_t i = (p >> 32) & mask;
      while (places[i] != 0) i = (i + 1) & mask;
      places[i] = p;
    }
  }
  std::size_t bytes() const {
    std::size_t n = sizeof(*this) + entries.capacity() * sizeof(Entry) +
                    places.capacity() * sizeof(std::uint64_t);
    for (const Entry& e : entries) n += e.folded.capacity();
    return n;
  }
};

std::optional<std::uint32_t> SymbolIndex::findWord(std::string_view word) const {
  return words_->find(word);
}

// ----- Scanning -----

// Routine stamps: a re-scan that meets a routine the replaced blocks opened, by the same name
// and in the same order, gives it its old stamp, so the blocks after see the state they were
// scanned with and need no re-scan.
struct SymbolIndex::Stamps {
  std::vector<std::pair<std::string, std::uint32_t>> old;
  std::size_t used = 0;
  std::uint32_t& next;

  void remember(const Block& block) {
    for (const Block::Def& d : block.defs)
      if (isRoutine(d.kind)) old.emplace_back(folded(block.nameOf(d)), d.routine);
  }
  std::uint32_t take(std::string_view name) {
    for (std::size_t i = used; i < old.size(); ++i)
      if (platform::equalsNoCase(old[i].first, name)) {
        used = i + 1;
        return old[i].second;
      }
    return next++;
  }
};

namespace {

// Finds the names of a statement in its lines, one after the other, so that a list over
// many lines gives each name the line it is written on.
class NameCursor {
public:
  NameCursor(const SymbolIndex::LineAt& lineAt, std::int64_t first, std::int64_t count)
      : lineAt_(lineAt), first_(first), count_(std::max<std::int64_t>(count, 1)) {}

  // The line offset in the statement and the column of the next use of `name`; where the
  // cursor stands when there is none.
  std::pair<std::int64_t, std::size_t> find(std::string_view name) {
    for (std::int64_t l = line_; l < count_; ++l) {
      const std::string_view text = lineAt_(first_ + l);
      std::optional<std::size_t> at;
      forEachWord(text, [&](std::size_t s, std::size_t n) {
        if (!at && (l > line_ || s >= column_) && n == name.size() &&
            platform::equalsNoCase(text.substr(s, n), name))
          at = s;
      });
      if (at) {
        line_ = l;
        column_ = *at + name.size();
        return {l, *at};
      }
    }
    return {line_, 0};
  }

private:
  const SymbolIndex::LineAt& lineAt_;
  std::int64_t first_;
  std::int64_t count_;
  std::int64_t line_ = 0;
  std::size_t column_ = 0;
};

enum class Opener { None, Include, Define, Type, Declare, Global, Dim, Sub, Function, End };

Opener openerOf(std::string_view word) {
  static constexpr std::pair<std::string_view, Opener> kOpeners[] = {
      {"Include", Opener::Include}, {"Define", Opener::Define},     {"Type", Opener::Type},
      {"Declare", Opener::Declare}, {"Global", Opener::Global},     {"Dim", Opener::Dim},
      {"Sub", Opener::Sub},         {"Function", Opener::Function}, {"End", Opener::End}};
  for (const auto& [text, opener] : kOpeners)
    if (platform::equalsNoCase(word, text)) return opener;
  return Opener::None;
}

// Whether a statement whose first line is `line` can define anything: it opens with a
// label or a keyword (as labelOf and firstWord read the statement's text).
bool mayOpenDefinition(std::string_view line) {
  const std::string_view code = platform::trimStart(line, platform::isBlankOrControl);
  std::size_t n = 0;
  while (n < code.size() && isNameChar(code[n])) ++n;
  if (n == 0) return false;
  if (n < code.size() && code[n] == ':' && isWordStart(code[0])) return true;
  return openerOf(code.substr(0, n)) != Opener::None;
}

std::string_view trimmed(std::string_view s) {
  return platform::trim(s, platform::isBlankOrControl);
}

// The text between a leading "(" and its ")", or empty.
std::string_view parenthesised(std::string_view text) {
  if (text.empty() || text.front() != '(') return {};
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') inString = !inString;
    if (inString) continue;
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return text.substr(1, i - 1);
  }
  return text.substr(1);
}

}  // namespace

void SymbolIndex::scanStatement(Block& block, State& state, const Statement& st, std::int64_t rel,
                                std::int64_t blockLine, const LineAt& lineAt, Stamps& stamps) {
  const std::string_view text = st.text;
  NameCursor cursor(lineAt, blockLine + rel, st.lineCount);
  const auto lastLine = static_cast<std::uint16_t>(rel + st.lineCount - 1);
  auto add = [&](std::string_view name, SymbolKind kind, std::string_view detail,
                 std::uint32_t routine, std::string_view container) -> Block::Def* {
    if (name.empty() || name.size() > 0xFFFF || block.pool.size() > 0xF0000000u) return nullptr;
    const auto [offset, column] = cursor.find(name);
    Block::Def d;
    d.kind = kind;
    d.line = static_cast<std::uint16_t>(rel + offset);
    d.column = static_cast<std::uint32_t>(std::min<std::size_t>(column, 0xFFFFFFFFu));
    d.endLine = isRoutine(kind) ? kNoLine : lastLine;
    d.routine = routine;
    d.name = static_cast<std::uint32_t>(block.pool.size());
    d.nameLength = static_cast<std::uint16_t>(name.size());
    block.pool.append(name);
    d.detailLength = static_cast<std::uint32_t>(std::min<std::size_t>(detail.size(), 0xFFFFFFFFu));
    block.pool.append(detail.substr(0, d.detailLength));
    // The locals of a routine follow one another, or the routine itself.
    container = container.substr(0, 0xFFFF);
    d.containerLength = static_cast<std::uint16_t>(container.size());
    const Block::Def* before = block.defs.empty() ? nullptr : &block.defs.back();
    if (before && block.text(before->container, before->containerLength) == container) {
      d.container = before->container;
    } else if (before && block.nameOf(*before) == container) {
      d.container = before->name;
    } else {
      d.container = static_cast<std::uint32_t>(block.pool.size());
      block.pool.append(container);
    }
    block.defs.push_back(d);
    return &block.defs.back();
  };
  // A Dim or Global list: each item's name, the "As" clause of the item that ends its run.
  auto addList = [&](std::string_view list, SymbolKind kind, std::uint32_t routine,
                     std::string_view container) {
    const std::vector<std::string_view> items = splitList(list);
    std::vector<std::string_view> clauses(items.size());
    std::string_view clause;
    for (std::size_t i = items.size(); i-- > 0;) {
      if (const std::string_view own = asClause(items[i]); !own.empty()) clause = own;
      clauses[i] = clause;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::string_view name = firstWord(items[i]);
      if (!name.empty() && isWordStart(name.front()))
        add(name, kind, clauses[i], routine, container);
    }
  };

  if (const auto label = labelOf(text)) {
    add(*label, SymbolKind::Label, {}, state.routine, state.routineName);
    return;
  }
  const std::string_view word = firstWord(text);
  const Opener opener = openerOf(word);
  const std::string_view rest = trimmed(text.substr(word.size()));
  if (state.inType) {
    if (opener == Opener::End && platform::equalsNoCase(firstWord(rest), "Type")) {
      state.inType = false;
      state.typeName.clear();
      return;
    }
    if (opener == Opener::None || opener == Opener::End) {
      if (!word.empty() && isWordStart(word.front()))
        add(word, SymbolKind::TypeMember, asClause(rest), 0, state.typeName);
      return;
    }
    state.inType = false;  // a Type without its End Type
    state.typeName.clear();
  }
  switch (opener) {
    case Opener::None: return;
    case Opener::Include: {
      const std::size_t open = rest.find('"');
      if (open == std::string_view::npos) return;
      const std::size_t close = rest.find('"', open + 1);
      const std::string_view name =
          rest.substr(open + 1, close == std::string_view::npos ? close : close - open - 1);
      if (!name.empty())
        block.includes.push_back({static_cast<std::uint32_t>(rel), std::string(name)});
      return;
    }
    case Opener::Define: {
      const std::string_view name = firstWord(rest);
      add(name, SymbolKind::Define, trimmed(rest.substr(name.size())), 0, {});
      return;
    }
    case Opener::Type:
      if (state.routine == 0 && !rest.empty() && isWordStart(rest.front()) &&
          firstWord(rest).size() == rest.size()) {
        add(rest, SymbolKind::Type, {}, 0, {});
        state.inType = true;
        state.typeName = std::string(rest);
      }
      return;
    case Opener::Declare: {
      const std::string_view what = firstWord(rest);
      const bool isSub = platform::equalsNoCase(what, "Sub");
      if (!isSub && !platform::equalsNoCase(what, "Function")) return;
      const std::string_view after = trimmed(rest.substr(what.size()));
      const std::string_view name = firstWord(after);
      add(name, isSub ? SymbolKind::DeclareSub : SymbolKind::DeclareFunction,
          trimmed(after.substr(name.size())), 0, {});
      return;
    }
    case Opener::Global: addList(rest, SymbolKind::Global, 0, {}); return;
    case Opener::Dim: addList(rest, SymbolKind::Dim, state.routine, state.routineName); return;
    case Opener::Sub:
    case Opener::Function: {
      const std::string_view name = firstWord(rest);
      if (name.empty() || !isWordStart(name.front())) return;
      const std::string_view detail = trimmed(rest.substr(name.size()));
      const std::uint32_t stamp = stamps.take(name);
      if (!add(name, opener == Opener::Sub ? SymbolKind::Sub : SymbolKind::Function, detail, stamp,
               {}))
        return;
      state.routine = stamp;
      state.routineName = std::string(name);
      for (std::string_view parameter : splitList(parenthesised(detail))) {
        if (startsWithNoCase(parameter, "ByVal ")) parameter = trimmed(parameter.substr(6));
        const std::string_view pname = firstWord(parameter);
        if (!pname.empty() && isWordStart(pname.front()))
          add(pname, SymbolKind::Parameter, asClause(parameter), stamp, name);
      }
      return;
    }
    case Opener::End: {
      const std::string_view what = firstWord(rest);
      if (!platform::equalsNoCase(what, "Sub") && !platform::equalsNoCase(what, "Function")) return;
      if (state.routine == 0) return;
      block.ends.push_back({lastLine, state.routine});
      for (Block::Def& d : block.defs)
        if (isRoutine(d.kind) && d.routine == state.routine) d.endLine = lastLine;
      state.routine = 0;
      state.routineName.clear();
      return;
    }
  }
}

void SymbolIndex::rescan(Source& source, std::size_t firstBlock, std::size_t lastBlock,
                         std::int64_t firstLine, std::int64_t lineCount, std::int64_t totalLines,
                         const LineAt& lineAt) {
  State state = firstBlock > 0 ? source.blocks[firstBlock - 1].end : State{};
  Stamps stamps{{}, 0, nextRoutine_};
  for (std::size_t b = firstBlock; b < lastBlock; ++b) stamps.remember(source.blocks[b]);
  std::vector<Block> fresh;
  std::int64_t line = firstLine;
  // The words of one block: each distinct word's entry, its use count and last line, and
  // the uses in line order; the uses then go to their word by a counting sort.
  std::vector<std::uint32_t> seen;  // ids
  std::vector<std::uint32_t> counts;
  std::vector<std::uint8_t> lastLine;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> uses;  // (slot, line)
  std::vector<std::uint32_t> order;
  std::vector<std::uint32_t> place;
  std::vector<std::uint32_t> ids;
  std::vector<std::uint32_t> firsts;
  std::vector<LineFacts> facts;

  auto scanOne = [&](std::int64_t blockLines) {
    Block block;
    block.lineCount = blockLines;
    block.start = state;
    seen.clear();
    counts.clear();
    lastLine.clear();
    uses.clear();
    facts.resize(static_cast<std::size_t>(blockLines));
    for (std::int64_t i = 0; i < blockLines; ++i) {
      const std::string_view text = lineAt(line + i);
      const auto rel = static_cast<std::uint8_t>(i);
      facts[static_cast<std::size_t>(i)] = readLine(text, [&](std::size_t s, std::size_t n) {
        if (!isWordStart(text[s])) return;
        const std::uint32_t id = words_->add(text.substr(s, n));
        std::uint32_t& slot = words_->entries[id].slot;
        if (slot == kNoSlot) {
          slot = static_cast<std::uint32_t>(seen.size());
          seen.push_back(id);
          counts.push_back(0);
          lastLine.push_back(rel);
        } else if (lastLine[slot] == rel) {
          return;
        }
        lastLine[slot] = rel;
        ++counts[slot];
        uses.emplace_back(slot, rel);
      });
    }
    order.resize(seen.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return seen[a] < seen[b]; });
    place.resize(seen.size());
    ids.clear();
    firsts.clear();
    std::uint32_t offset = 0;
    for (const std::uint32_t slot : order) {
      ids.push_back(seen[slot]);
      firsts.push_back(offset);
      place[slot] = offset;
      offset += counts[slot];
    }
    firsts.push_back(offset);
    block.words.assign(ids);
    block.wordFirst.assign(firsts);
    block.lines.resize(offset);
    for (const auto& [slot, rel] : uses) block.lines[place[slot]++] = rel;
    for (const std::uint32_t id : seen) words_->entries[id].slot = kNoSlot;

    // Statements opening inside the block; the last may run on into the blocks after. Only
    // those that can define something are joined into a text.
    const std::int64_t skip = std::min(state.overhang, blockLines);
    std::int64_t reach = blockLines;
    if (skip < blockLines) {
      const std::int64_t base = line + skip;
      StatementReader reader(
          totalLines - base, [&](std::int64_t i) { return lineAt(base + i); },
          std::span<const LineFacts>(facts).subspan(static_cast<std::size_t>(skip)));
      Statement st;
      while (reader.nextLines(st)) {
        const std::int64_t rel = skip + st.firstLine;
        if (rel >= blockLines) break;
        reach = std::max(reach, rel + st.lineCount);
        if (!state.inType && !mayOpenDefinition(lineAt(line + rel))) continue;
        reader.addText(st);
        scanStatement(block, state, st, rel, line, lineAt, stamps);
      }
    }
    state.overhang = state.overhang > blockLines ? state.overhang - blockLines : reach - blockLines;
    block.end = state;
    block.pool.shrink_to_fit();
    block.defs.shrink_to_fit();
    fresh.push_back(std::move(block));
    line += blockLines;
  };

  for (std::int64_t left = lineCount; left > 0;) {
    const std::int64_t n = std::min(left, kBlockLines);
    scanOne(n);
    left -= n;
  }
  // Later blocks again, while the state they were scanned with is not the one they now get.
  std::size_t next = lastBlock;
  while (next < source.blocks.size() && !(source.blocks[next].start == state)) {
    stamps.remember(source.blocks[next]);
    scanOne(source.blocks[next].lineCount);
    ++next;
  }
  const std::size_t replaced = next - firstBlock;
  const auto at = source.blocks.begin() + static_cast<std::ptrdiff_t>(firstBlock);
  if (replaced == fresh.size()) {
    std::move(fresh.begin(), fresh.end(), at);
  } else {
    source.blocks.erase(at, at + static_cast<std::ptrdiff_t>(replaced));
    source.blocks.insert(source.blocks.begin() + static_cast<std::ptrdiff_t>(firstBlock),
                         std::make_move_iterator(fresh.begin()),
                         std::make_move_iterator(fresh.end()));
  }
  source.lineCount = totalLines;
}

void SymbolIndex::scanWhole(Source& source, std::int64_t count, const LineAt& lineAt) {
  source.blocks.clear();
  rescan(source, 0, 0, 0, std::max<std::int64_t>(count, 0), std::max<std::int64_t>(count, 0),
         lineAt);
}

// ----- Sources -----

namespace {
std::string fileKeyOf(const fs::path& file) { return file.lexically_normal().string(); }
}  // namespace

SymbolIndex::Source* SymbolIndex::sourceOf(const fs::path& file) {
  const auto it = byFile_.find(fileKeyOf(file));
  return it == byFile_.end() ? nullptr : sources_[it->second].get();
}

const SymbolIndex::Source* SymbolIndex::sourceOf(const fs::path& file) const {
  const auto it = byFile_.find(fileKeyOf(file));
  return it == byFile_.end() ? nullptr : sources_[it->second].get();
}

SymbolIndex::Source& SymbolIndex::sourceFor(const fs::path& file) {
  if (Source* s = sourceOf(file)) return *s;
  const auto id = static_cast<SourceId>(sources_.size());
  auto source = std::make_unique<Source>();
  source->file = file.lexically_normal();
  sources_.push_back(std::move(source));
  byFile_.emplace(fileKeyOf(file), id);
  return *sources_.back();
}

std::optional<SourceId> SymbolIndex::find(const fs::path& file) const {
  const auto it = byFile_.find(fileKeyOf(file));
  if (it == byFile_.end()) return std::nullopt;
  return it->second;
}

SourceId SymbolIndex::setText(const fs::path& file, std::string_view text) {
  Source& source = sourceFor(file);
  const SourceId id = *find(file);
  if (source.held && source.text == text && !source.blocks.empty()) return id;
  source.held = true;
  source.fromDisk = false;
  source.text.assign(text);
  const std::vector<std::string_view> lines = splitLines(source.text);
  scanWhole(source, static_cast<std::int64_t>(lines.size()),
            [&lines](std::int64_t i) { return lines[static_cast<std::size_t>(i)]; });
  return id;
}

SourceId SymbolIndex::setLines(const fs::path& file, std::int64_t count, const LineAt& lineAt) {
  Source& source = sourceFor(file);
  source.held = true;
  source.fromDisk = false;
  source.text.clear();
  source.text.shrink_to_fit();
  scanWhole(source, count, lineAt);
  return *find(file);
}

void SymbolIndex::replaceLines(SourceId id, std::int64_t first, std::int64_t removed,
                               std::int64_t inserted, std::int64_t count, const LineAt& lineAt) {
  if (id >= sources_.size() || !sources_[id]) return;
  Source& source = *sources_[id];
  source.text.clear();  // the text now lives where lineAt reads it
  if (first < 0 || removed < 0 || inserted < 0 || first + removed > source.lineCount ||
      source.lineCount - removed + inserted != count || source.blocks.empty()) {
    scanWhole(source, count, lineAt);  // a report that does not fit what is held
    return;
  }
  std::size_t b = 0;
  std::int64_t blockFirst = 0;
  while (b + 1 < source.blocks.size() && blockFirst + source.blocks[b].lineCount <= first)
    blockFirst += source.blocks[b++].lineCount;
  // A statement of the block before may run on into the edited lines, or start to.
  for (int back = 0; back < 2 && b > 0; ++back) {
    blockFirst -= source.blocks[--b].lineCount;
    if (source.blocks[b].start.overhang == 0) break;
  }
  std::size_t e = b;
  std::int64_t span = source.blocks[e].lineCount;
  while (e + 1 < source.blocks.size() && blockFirst + span < first + removed)
    span += source.blocks[++e].lineCount;
  rescan(source, b, e + 1, blockFirst, span - removed + inserted, count, lineAt);
}

std::optional<SourceId> SymbolIndex::updateFile(const fs::path& file) {
  Source* existing = sourceOf(file);
  if (existing && existing->held) return find(file);
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file, ec);
  const fs::file_time_type time = ec ? fs::file_time_type{} : fs::last_write_time(file, ec);
  if (!ec && existing && existing->fromDisk && existing->diskSize == size &&
      existing->diskTime == time)
    return find(file);
  std::optional<platform::FileBytes> bytes =
      platform::readRegularFileBytes(file, options_.maxFileBytes, ec);
  if (!bytes) {
    if (existing) {
      const SourceId id = *find(file);
      byFile_.erase(fileKeyOf(file));
      sources_[id].reset();
    }
    return std::nullopt;
  }
  const pages::DecodedText decoded = pages::decodeText(bytes->data, bytes->size);
  const std::vector<std::string_view> lines =
      splitLines(std::string_view(bytes->data.get(), decoded.size));
  Source& source = sourceFor(file);
  source.fromDisk = true;
  source.diskSize = size;
  source.diskTime = time;
  scanWhole(source, static_cast<std::int64_t>(lines.size()),
            [&lines](std::int64_t i) { return lines[static_cast<std::size_t>(i)]; });
  return find(file);
}

std::vector<fs::path> SymbolIndex::includesOf(const fs::path& file) const {
  std::vector<fs::path> out;
  if (const Source* s = sourceOf(file))
    for (SourceId id : s->includes)
      if (id < sources_.size() && sources_[id]) out.push_back(sources_[id]->file);
  return out;
}

void SymbolIndex::setRoots(const std::vector<fs::path>& roots) {
  std::vector<bool> reached(sources_.size(), false);
  std::deque<SourceId> queue;
  std::unordered_map<std::string, std::optional<fs::path>> resolved;  // folder NUL name
  auto reach = [&](const fs::path& file) -> std::optional<SourceId> {
    const std::optional<SourceId> id = updateFile(file);
    if (!id) return std::nullopt;
    if (reached.size() <= *id) reached.resize(*id + 1, false);
    if (!reached[*id]) {
      reached[*id] = true;
      queue.push_back(*id);
    }
    return id;
  };
  for (const fs::path& root : roots) reach(root);
  while (!queue.empty()) {
    Source& source = *sources_[queue.front()];
    queue.pop_front();
    source.includes.clear();
    const fs::path folder = source.file.parent_path();
    std::vector<std::string> names;
    for (const Block& b : source.blocks)
      for (const Block::Include& inc : b.includes) names.push_back(inc.name);
    for (const std::string& name : names) {
      // Modules of one folder name the same includes: each is looked for once per call.
      auto [known, fresh] = resolved.try_emplace(folder.native() + '\0' + name);
      if (fresh) known->second = options_.resolver.resolve(name, folder);
      const std::optional<fs::path>& found = known->second;
      if (!found) continue;
      // Sources live on the heap: `source` stays valid while the list grows.
      if (const std::optional<SourceId> id = reach(*found))
        if (std::find(source.includes.begin(), source.includes.end(), *id) == source.includes.end())
          source.includes.push_back(*id);
    }
  }
  for (SourceId id = 0; id < sources_.size(); ++id) {
    if (!sources_[id] || (id < reached.size() && reached[id])) continue;
    byFile_.erase(fileKeyOf(sources_[id]->file));
    sources_[id].reset();
  }
}

void SymbolIndex::release(const fs::path& file) {
  if (Source* s = sourceOf(file)) {
    s->held = false;
    s->text.clear();
    s->text.shrink_to_fit();
    s->lineSource = nullptr;
    s->fromDisk = false;
  }
}

void SymbolIndex::setLineSource(SourceId id, LineAt lineAt) {
  if (id < sources_.size() && sources_[id]) sources_[id]->lineSource = std::move(lineAt);
}

void SymbolIndex::keepText(SourceId id, std::string_view text) {
  if (id >= sources_.size() || !sources_[id]) return;
  sources_[id]->text.assign(text);
  sources_[id]->lineSource = nullptr;
}

std::vector<fs::path> SymbolIndex::files() const {
  std::vector<fs::path> out;
  for (const auto& s : sources_)
    if (s) out.push_back(s->file);
  return out;
}

std::size_t SymbolIndex::memoryBytes() const {
  std::size_t n = sizeof(*this) + sources_.capacity() * sizeof(sources_[0]);
  for (const auto& s : sources_) {
    if (!s) continue;
    n += sizeof(Source) + s->file.native().capacity() + s->text.capacity() +
         s->includes.capacity() * sizeof(SourceId) + s->blocks.capacity() * sizeof(Block);
    for (const Block& b : s->blocks) n += b.bytes() - sizeof(Block);
  }
  n += words_->bytes();
  n += byFile_.size() * 64;
  return n;
}

// ----- Questions -----

namespace {

// The lines of a source as they stand: the editor's, the page's text, or the file's.
class LineTable {
public:
  LineTable(const SymbolIndex::LineAt& lineSource, std::string_view heldText, const fs::path& file,
            bool fromDisk, std::uint64_t limit) {
    if (lineSource) {
      source_ = &lineSource;
      return;
    }
    if (!heldText.empty() || !fromDisk) {
      lines_ = splitLines(heldText);
      return;
    }
    std::error_code ec;
    std::optional<platform::FileBytes> bytes = platform::readRegularFileBytes(file, limit, ec);
    if (!bytes) return;
    bytes_ = std::move(bytes->data);
    const pages::DecodedText decoded = pages::decodeText(bytes_, bytes->size);
    lines_ = splitLines(std::string_view(bytes_.get(), decoded.size));
  }
  std::string_view operator()(std::int64_t line) const {
    if (source_) return (*source_)(line);
    return line >= 0 && static_cast<std::size_t>(line) < lines_.size()
               ? lines_[static_cast<std::size_t>(line)]
               : std::string_view();
  }

private:
  const SymbolIndex::LineAt* source_ = nullptr;
  std::unique_ptr<char[]> bytes_;
  std::vector<std::string_view> lines_;
};

}  // namespace

Symbol SymbolIndex::symbolOf(const Source& source, const Block& block, std::size_t def,
                             std::int64_t firstLine) const {
  const Block::Def& d = block.defs[def];
  Symbol s;
  s.name = std::string(block.nameOf(d));
  s.kind = d.kind;
  s.file = source.file;
  s.line = firstLine + d.line;
  s.column = d.column;
  s.container = std::string(block.text(d.container, d.containerLength));
  s.detail = std::string(block.text(d.name + d.nameLength, d.detailLength));
  if (!isRoutine(d.kind) || d.endLine != kNoLine) {
    s.endLine = firstLine + d.endLine;
    return s;
  }
  // A routine whose End lies in a later block: that End, else the line before the next
  // routine, else the last line.
  s.endLine = std::max<std::int64_t>(source.lineCount - 1, s.line);
  bool after = false;
  bool done = false;
  source.forEachBlock([&](const Block& b, std::int64_t first) {
    if (done) return;
    if (&b == &block) after = true;
    if (!after) return;
    for (const Block::End& e : b.ends)
      if (e.routine == d.routine) {
        s.endLine = first + e.line;
        done = true;
        return;
      }
    for (const Block::Def& other : b.defs)
      if (isRoutine(other.kind) && other.routine != d.routine && first + other.line > s.line) {
        s.endLine = first + other.line - 1;
        done = true;
        return;
      }
  });
  return s;
}

std::vector<const SymbolIndex::Source*> SymbolIndex::includeOrder(const Source& from) const {
  std::vector<const Source*> order;
  std::vector<bool> seen(sources_.size(), false);
  const auto self = find(from.file);
  if (self) seen[*self] = true;
  std::deque<const Source*> queue{&from};
  while (!queue.empty()) {
    const Source* s = queue.front();
    queue.pop_front();
    for (SourceId id : s->includes) {
      if (id >= sources_.size() || !sources_[id] || seen[id]) continue;
      seen[id] = true;
      order.push_back(sources_[id].get());
      queue.push_back(sources_[id].get());
    }
  }
  return order;
}

std::vector<Symbol> SymbolIndex::definitions(const fs::path& file, std::int64_t line,
                                             std::string_view name) const {
  std::vector<Symbol> out;
  const std::optional<std::uint32_t> id = findWord(name);
  if (!id || name.empty()) return out;
  const Source* here = sourceOf(file);
  // Definitions of `source` of the name at rank `rank`, those `keep` lets through.
  auto collect = [&](const Source& source, int rank, auto keep) {
    source.forEachBlock([&](const Block& b, std::int64_t first) {
      if (!b.mayDefine(*id)) return;
      for (std::size_t k = 0; k < b.defs.size(); ++k) {
        const Block::Def& d = b.defs[k];
        if (d.nameLength != name.size() || !platform::equalsNoCase(b.nameOf(d), name) || !keep(d))
          continue;
        out.push_back(symbolOf(source, b, k, first));
        out.back().scope = rank;
      }
    });
  };
  std::vector<bool> done(sources_.size(), false);
  if (here) {
    done[*find(file)] = true;
    const std::uint32_t routine = here->routineAt(line);
    if (routine != 0)
      collect(*here, 0,
              [&](const Block::Def& d) { return isLocalKind(d.kind) && d.routine == routine; });
    collect(*here, 1, [](const Block::Def& d) { return !isLocalKind(d.kind) || d.routine == 0; });
    for (const Source* inc : includeOrder(*here)) {
      done[*find(inc->file)] = true;
      collect(*inc, 2, [](const Block::Def& d) { return !isLocalKind(d.kind) || d.routine == 0; });
    }
  }
  for (SourceId s = 0; s < sources_.size(); ++s)
    if (sources_[s] && !done[s])
      collect(*sources_[s], 3, [](const Block::Def& d) { return isShared(d.kind); });
  return out;
}

std::vector<Symbol> SymbolIndex::goToTargets(const fs::path& file, std::int64_t line,
                                             std::string_view name) const {
  std::vector<Symbol> all = definitions(file, line, name);
  if (all.empty()) return all;
  std::vector<Symbol> best;
  for (const Symbol& s : all)
    if (s.scope == all.front().scope) best.push_back(s);
  // The routine's own line wins over its Declares, wherever it is.
  if (std::all_of(best.begin(), best.end(), [](const Symbol& s) { return isDeclare(s.kind); })) {
    std::vector<Symbol> routines;
    int rank = -1;
    for (const Symbol& s : all)
      if (isRoutine(s.kind) && (rank < 0 || s.scope == rank)) {
        rank = s.scope;
        routines.push_back(s);
      }
    if (!routines.empty()) return routines;
  }
  const auto routine =
      std::find_if(best.begin(), best.end(), [](const Symbol& s) { return isRoutine(s.kind); });
  if (routine != best.end())
    best.erase(
        std::remove_if(best.begin(), best.end(), [](const Symbol& s) { return isDeclare(s.kind); }),
        best.end());
  return best;
}

std::vector<Reference> SymbolIndex::references(const fs::path& file, std::int64_t line,
                                               std::string_view name) const {
  std::vector<Reference> out;
  const std::optional<std::uint32_t> id = findWord(name);
  if (!id || name.empty()) return out;
  const std::vector<Symbol> targets = goToTargets(file, line, name);
  const Source* localSource = nullptr;
  std::uint32_t localRoutine = 0;
  if (!targets.empty() && targets.front().scope == 0 && isLocalKind(targets.front().kind)) {
    localSource = sourceOf(file);
    if (localSource) localRoutine = localSource->routineAt(targets.front().line);
  }
  // Sources in file order, each giving its uses in line and column order: the rows come
  // sorted without a sort.
  std::vector<const Source*> order;
  for (const auto& ptr : sources_)
    if (ptr && (!localSource || ptr.get() == localSource)) order.push_back(ptr.get());
  std::sort(order.begin(), order.end(),
            [](const Source* a, const Source* b) { return a->file.native() < b->file.native(); });
  for (const Source* ptr : order) {
    const Source& source = *ptr;
    // Routines with a local of the name: their uses are that local's, not the symbol's.
    std::unordered_set<std::uint32_t> shadowing;
    if (!localSource)
      for (const Block& b : source.blocks) {
        if (!b.mayDefine(*id)) continue;
        for (const Block::Def& d : b.defs)
          if (isLocalKind(d.kind) && d.routine != 0 && d.nameLength == name.size() &&
              platform::equalsNoCase(b.nameOf(d), name))
            shadowing.insert(d.routine);
      }
    std::vector<std::int64_t> lines;
    source.forEachBlock([&](const Block& b, std::int64_t first) {
      const auto [from, to] = b.linesOf(*id);
      for (const std::uint8_t* p = from; p != to; ++p) {
        if (localSource) {
          if (routineIn(b, *p) != localRoutine) continue;
        } else if (!shadowing.empty() && shadowing.count(routineIn(b, *p))) {
          continue;
        }
        lines.push_back(first + *p);
      }
    });
    if (lines.empty()) continue;
    const LineTable table(source.lineSource, source.text, source.file, source.fromDisk,
                          options_.maxFileBytes);
    for (std::int64_t l : lines) {
      const std::string_view text = table(l);
      forEachWord(text, [&](std::size_t s, std::size_t n) {
        if (n != name.size() || !platform::equalsNoCase(text.substr(s, n), name)) return;
        out.push_back(
            Reference{source.file, l, static_cast<std::int64_t>(s), n, std::string(text)});
      });
    }
  }
  return out;
}

std::vector<Completion> SymbolIndex::completions(const fs::path& file, std::int64_t line,
                                                 std::string_view prefix, std::size_t limit) const {
  struct Found {
    std::string_view name;
    SymbolKind kind;
    int rank;  // 0 to 3 in scope, 4 the rest
  };
  std::vector<Found> found;
  std::unordered_map<std::string, std::size_t> seen;  // folded name -> index in found
  auto offer = [&](std::string_view name, SymbolKind kind, int rank) {
    auto [it, fresh] = seen.emplace(folded(name), found.size());
    if (fresh) {
      found.push_back({name, kind, rank});
    } else if (found[it->second].rank > rank) {
      found[it->second] = {name, kind, rank};
    }
  };
  const Source* here = sourceOf(file);
  const std::uint32_t routine = here ? here->routineAt(line) : 0;
  std::vector<int> rankOf(sources_.size(), 3);
  if (here) {
    rankOf[*find(file)] = 1;
    for (const Source* inc : includeOrder(*here)) rankOf[*find(inc->file)] = 2;
  }
  for (SourceId s = 0; s < sources_.size(); ++s) {
    if (!sources_[s]) continue;
    const int base = rankOf[s];
    for (const Block& b : sources_[s]->blocks)
      for (const Block::Def& d : b.defs) {
        const std::string_view name = b.nameOf(d);
        if (!startsWithNoCase(name, prefix)) continue;
        int rank = base;
        if (isLocalKind(d.kind) && d.routine != 0)
          rank = sources_[s].get() == here && d.routine == routine ? 0 : 4;
        else if (base == 3 && !isShared(d.kind))
          rank = 4;
        offer(name, d.kind, rank);
      }
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    return compareNoCase(a.name, b.name) < 0;
  });
  std::vector<Completion> out;
  for (const Found& f : found) {
    if (out.size() >= limit) break;
    out.push_back({std::string(f.name), f.kind, f.rank < 4});
  }
  return out;
}

std::optional<std::string> SymbolIndex::parameterText(const fs::path& file, std::int64_t line,
                                                      std::string_view name) const {
  const std::vector<Symbol> all = definitions(file, line, name);
  for (const Symbol& s : all)
    if (isDeclare(s.kind)) return s.detail;
  for (const Symbol& s : all)
    if (isRoutine(s.kind)) return s.detail;
  return std::nullopt;
}

std::vector<Symbol> SymbolIndex::fileSymbols(const fs::path& file) const {
  std::vector<Symbol> out;
  const Source* source = sourceOf(file);
  if (!source) return out;
  source->forEachBlock([&](const Block& b, std::int64_t first) {
    for (std::size_t k = 0; k < b.defs.size(); ++k) out.push_back(symbolOf(*source, b, k, first));
  });
  return out;
}

std::vector<Symbol> SymbolIndex::workspaceSymbols(std::string_view query, std::size_t limit) const {
  std::vector<Symbol> out;
  for (const auto& ptr : sources_) {
    if (!ptr) continue;
    ptr->forEachBlock([&](const Block& b, std::int64_t first) {
      for (std::size_t k = 0; k < b.defs.size() && out.size() < limit; ++k)
        if (containsNoCase(b.nameOf(b.defs[k]), query)) out.push_back(symbolOf(*ptr, b, k, first));
    });
  }
  return out;
}

}  // namespace quillon::language
