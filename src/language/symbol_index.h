#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/include_resolver.h"

// What the index reads from a MapBasic source, statement by statement (statements as
// mapbasic_scanner.h joins them; a keyword counts only where it opens a statement):
//
//   Sub <name>[(params)]       a Sub; each parameter (ByVal dropped) a Parameter of it;
//                              the Sub's range runs to its End Sub, or to the next Sub or
//                              Function, or to the end of the file when that never comes
//   Function <name>[(params)]  the same for a Function and End Function
//   Declare Sub|Function <name>[(params)] ...
//                              a DeclareSub or DeclareFunction; its detail is the text
//                              from the name's parenthesis on (parameters and "As" type)
//   Define <name> ...          a Define
//   Type <name> ... End Type   a Type (outside any Sub or Function); each statement between
//                              opens with the name of a TypeMember
//   Global a, b(3) As T, ...   a Global for each name of the list (commas inside parentheses
//                              do not split it)
//   Dim a, b As T, ...         a Dim for each name; inside a Sub or Function it belongs to it
//   <label>:                   a Label; inside a Sub or Function it belongs to it
//   Include "<name>"           an include of the file named between the quotes
//
// Words, for references: on each line, outside strings and comments, every run that starts
// with a letter or "_" and goes on with name characters; runs that start with a digit are
// numbers. Words compare without regard to ASCII letter case, as MapBasic names do.
//
// Scope, innermost first: the Parameters, Dims and Labels of the Sub or Function holding the
// place; the file's own Globals, Defines, Types and members, Declares, Subs, Functions and
// the Dims and Labels outside any routine; the same of the files it includes, recursively,
// nearest first; then the Globals, Defines, Types, Declares, Subs and Functions of every
// other indexed source.

namespace quillon::language {

struct Statement;

enum class SymbolKind : std::uint8_t {
  Sub,
  Function,
  DeclareSub,
  DeclareFunction,
  Define,
  Type,
  TypeMember,
  Global,
  Dim,
  Parameter,
  Label,
};
// "Sub", "Function", "Declare Sub", ... for lists the user reads.
std::string_view symbolKindName(SymbolKind kind);

using SourceId = std::uint32_t;

struct Symbol {
  std::string name;  // as written at its definition
  SymbolKind kind = SymbolKind::Sub;
  std::filesystem::path file;
  std::int64_t line = 0;     // counted from 0, where the name is written
  std::int64_t column = 0;   // byte offset of the name in that line
  std::int64_t endLine = 0;  // the last line of its statement; of a Sub or Function, its End line
  std::string container;  // the Sub or Function of a Parameter, Dim or Label; the Type of a member
  // Sub, Function and Declares: the parameter list with its parentheses and what follows it
  // ("(ByVal x As Integer) As String"); a Dim, Global, Parameter or member: its "As" clause;
  // a Define: its value; else empty.
  std::string detail;
  int scope = 0;  // from definitions(): 0 the routine, 1 the file, 2 its includes, 3 the rest
};

struct Reference {
  std::filesystem::path file;
  std::int64_t line = 0;    // from 0
  std::int64_t column = 0;  // byte offset in the line
  std::size_t length = 0;
  std::string lineText;  // the line as it stands in the source
};

struct Completion {
  std::string name;  // as first defined
  SymbolKind kind = SymbolKind::Sub;
  bool inScope = false;
};

// The word of `line` at byte `column` (or ending right before it): its start and length;
// nullopt outside a word, in a string or a comment.
struct WordSpan {
  std::size_t start = 0;
  std::size_t length = 0;
};
std::optional<WordSpan> wordAt(std::string_view line, std::size_t column);

// Definitions and word uses of the sources in view: open pages (their text as it stands,
// edits included), the files their Includes name, recursively, and a project's modules.
//
// Each source is cut into blocks of consecutive lines; a block holds its definitions (lines
// relative to the block) and, for each word used in it, the lines using it. An edit re-scans
// the blocks it touched and the following ones only while the state at a block's end
// (the open routine, an open Type, a statement running on) differs from before, so typing
// costs a block, not a file. The one place that keeps a source's blocks consistent with its
// lines is rescan().
class SymbolIndex {
public:
  using LineAt = std::function<std::string_view(std::int64_t)>;
  struct Options {
    platform::IncludeResolver resolver;
    // The largest file read from disk, as Open allows.
    std::uint64_t maxFileBytes = std::uint64_t{1} << 30;
  };

  explicit SymbolIndex(Options options);
  SymbolIndex();
  ~SymbolIndex();
  SymbolIndex(const SymbolIndex&) = delete;
  SymbolIndex& operator=(const SymbolIndex&) = delete;

  // ----- Sources -----
  // Where Includes are looked for from now on; setRoots resolves them again.
  void setResolver(platform::IncludeResolver resolver) { options_.resolver = std::move(resolver); }
  // The whole text of `file` (lines split at CR, LF or CR LF), as a page holds it. Nothing is
  // scanned when the text is the one last given.
  SourceId setText(const std::filesystem::path& file, std::string_view text);
  // The same from a line accessor (the editor's paragraphs), scanned at once.
  SourceId setLines(const std::filesystem::path& file, std::int64_t count, const LineAt& lineAt);
  // After an edit: lines [first, first + removed) became [first, first + inserted) of the
  // `count` lines `lineAt` now gives.
  void replaceLines(SourceId id, std::int64_t first, std::int64_t removed, std::int64_t inserted,
                    std::int64_t count, const LineAt& lineAt);
  // Reads `file` from disk (platform::readRegularFile, decoded as Open decodes) unless it was
  // read before and its size and modification time are unchanged, or it is held as text.
  // nullopt, and the source dropped, when it cannot be read.
  std::optional<SourceId> updateFile(const std::filesystem::path& file);
  // The pages and the project's modules: they and the files their Includes name, resolved
  // and read from disk when not held as text, recursively, are what the index covers; every
  // other source is dropped. A root not held as text is read from disk. Cycles are followed
  // once.
  void setRoots(const std::vector<std::filesystem::path>& roots);
  // The file is no longer held as text (its page closed): re-read from disk when a root.
  void release(const std::filesystem::path& file);
  // Lines of a source held as text come from here while it is set (the page on screen), so
  // that reference texts show the editor's lines; cleared with an empty function.
  void setLineSource(SourceId id, LineAt lineAt);
  // The lines last given through setLines and replaceLines are now `text` (the page went
  // off screen): kept for reference texts, with no re-scan. The line source is cleared.
  void keepText(SourceId id, std::string_view text);

  std::optional<SourceId> find(const std::filesystem::path& file) const;
  std::vector<std::filesystem::path> files() const;
  // The files `file`'s Includes name that were found, in the order written.
  std::vector<std::filesystem::path> includesOf(const std::filesystem::path& file) const;

  // ----- Questions -----
  // The definitions of `name` visible from (file, line), innermost scope first, each with its
  // scope rank; in the file's own order within one rank.
  std::vector<Symbol> definitions(const std::filesystem::path& file, std::int64_t line,
                                  std::string_view name) const;
  // Where Go To Definition goes: the innermost rank that has any; a Sub or Function wins over
  // the Declares of its name wherever it is. Several left means the user chooses.
  std::vector<Symbol> goToTargets(const std::filesystem::path& file, std::int64_t line,
                                  std::string_view name) const;
  // Every whole-word use of the symbol that `name` means at (file, line), sorted by file and
  // line: a routine's own Dim or Parameter only inside that routine; anything else
  // everywhere but in the routines that define a local of the name.
  std::vector<Reference> references(const std::filesystem::path& file, std::int64_t line,
                                    std::string_view name) const;
  // Defined names starting with `prefix` (any case): those visible from (file, line) first,
  // innermost first, then the rest alphabetically; each name once. At most `limit`.
  std::vector<Completion> completions(const std::filesystem::path& file, std::int64_t line,
                                      std::string_view prefix, std::size_t limit = 500) const;
  // The parameter text of the Sub or Function `name` visible from (file, line): its Declare's
  // detail first, else its own line's; nullopt when no such routine is known.
  std::optional<std::string> parameterText(const std::filesystem::path& file, std::int64_t line,
                                           std::string_view name) const;
  // The definitions of one file in text order (outline, document symbols).
  std::vector<Symbol> fileSymbols(const std::filesystem::path& file) const;
  // Every definition whose name contains `query` (any case; all when empty), at most `limit`.
  std::vector<Symbol> workspaceSymbols(std::string_view query, std::size_t limit = 1000) const;

  // Bytes the index holds, the vectors' capacity counted.
  std::size_t memoryBytes() const;

private:
  struct Source;
  struct Block;
  struct State;
  struct Stamps;

  Source& sourceFor(const std::filesystem::path& file);
  Source* sourceOf(const std::filesystem::path& file);
  const Source* sourceOf(const std::filesystem::path& file) const;
  void rescan(Source& source, std::size_t firstBlock, std::size_t lastBlock, std::int64_t firstLine,
              std::int64_t lineCount, std::int64_t totalLines, const LineAt& lineAt);
  static void scanStatement(Block& block, State& state, const Statement& statement,
                            std::int64_t rel, std::int64_t blockLine, const LineAt& lineAt,
                            Stamps& stamps);
  void scanWhole(Source& source, std::int64_t count, const LineAt& lineAt);
  Symbol symbolOf(const Source& source, const Block& block, std::size_t def,
                  std::int64_t firstLine) const;
  std::optional<std::uint32_t> findWord(std::string_view word) const;
  std::vector<const Source*> includeOrder(const Source& from) const;

  Options options_;
  std::vector<std::unique_ptr<Source>> sources_;      // by SourceId; null once dropped
  std::unordered_map<std::string, SourceId> byFile_;  // lexically normal path -> id
  struct WordTable;
  std::unique_ptr<WordTable> words_;  // never null
  std::uint32_t nextRoutine_ = 1;
};

}  // namespace quillon::language
