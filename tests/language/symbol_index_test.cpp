// The symbol index: what it finds in a source, what each place sees, references, completion,
// keeping up with edits, files from disk and the inputs that must not hurt it.
#include "language/symbol_index.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::language {
namespace {

namespace fs = std::filesystem;

std::string describe(const Symbol& s) {
  std::string text = std::string(symbolKindName(s.kind)) + " " + s.name + " " +
                     std::to_string(s.line) + ":" + std::to_string(s.column) + "-" +
                     std::to_string(s.endLine);
  if (!s.container.empty()) text += " in " + s.container;
  if (!s.detail.empty()) text += " [" + s.detail + "]";
  return text;
}

std::vector<std::string> describeAll(const std::vector<Symbol>& symbols) {
  std::vector<std::string> out;
  for (const Symbol& s : symbols) out.push_back(describe(s));
  return out;
}

std::vector<std::string> placesOf(const std::vector<Symbol>& symbols) {
  std::vector<std::string> out;
  for (const Symbol& s : symbols)
    out.push_back(s.file.filename().string() + ":" + std::to_string(s.line) + " " +
                  std::string(symbolKindName(s.kind)) + " r" + std::to_string(s.scope));
  return out;
}

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::vector<std::string> rowsOf(const std::vector<Reference>& refs) {
  std::vector<std::string> out;
  for (const Reference& r : refs)
    out.push_back(r.file.filename().string() + "(" + std::to_string(r.line + 1) + ":" +
                  std::to_string(r.column) + "): " + r.lineText);
  return out;
}

const char* const kModule =
    "Include \"lib.def\"\r\n"                                  // 0
    "Define MAX_ROWS 100 ' rows\r\n"                           // 1
    "Type Point\r\n"                                           // 2
    "  x As Float\r\n"                                         // 3
    "  y As Float\r\n"                                         // 4
    "End Type\r\n"                                             // 5
    "Declare Sub Report(ByVal n As Integer, s As String)\r\n"  // 6
    "Declare Function Area(p As Point) As Float\r\n"           // 7
    "Global gCount, gName As String, gTab(3) As Alias\r\n"     // 8
    "Dim mShared As Integer\r\n"                               // 9
    "Sub Report(ByVal n As Integer, s As String)\r\n"          // 10
    "  Dim i, total As Integer\r\n"                            // 11
    "  Dim label As String\r\n"                                // 12
    "Retry:\r\n"                                               // 13
    "  i = n + total ' i in a comment\r\n"                     // 14
    "  Print \"i in a string\" + s\r\n"                        // 15
    "End Sub\r\n"                                              // 16
    "Function Area(p As Point) As Float\r\n"                   // 17
    "  Dim i As Float\r\n"                                     // 18
    "  Area = p.x * p.y + i\r\n"                               // 19
    "End Function\r\n";                                        // 20

TEST(SymbolIndex, FindsEveryKindWithItsPlaceScopeAndDetail) {
  SymbolIndex index;
  index.setText("/p/main.mb", kModule);
  EXPECT_EQ(describeAll(index.fileSymbols("/p/main.mb")),
            (std::vector<std::string>{
                "Define MAX_ROWS 1:7-1 [100]",
                "Type Point 2:5-2",
                "Type member x 3:2-3 in Point [As Float]",
                "Type member y 4:2-4 in Point [As Float]",
                "Declare Sub Report 6:12-6 [(ByVal n As Integer, s As String)]",
                "Declare Function Area 7:17-7 [(p As Point) As Float]",
                "Global gCount 8:7-8 [As String]",
                "Global gName 8:15-8 [As String]",
                "Global gTab 8:32-8 [As Alias]",
                "Dim mShared 9:4-9 [As Integer]",
                "Sub Report 10:4-16 [(ByVal n As Integer, s As String)]",
                "Parameter n 10:17-10 in Report [As Integer]",
                "Parameter s 10:31-10 in Report [As String]",
                "Dim i 11:6-11 in Report [As Integer]",
                "Dim total 11:9-11 in Report [As Integer]",
                "Dim label 12:6-12 in Report [As String]",
                "Label Retry 13:0-13 in Report",
                "Function Area 17:9-20 [(p As Point) As Float]",
                "Parameter p 17:14-17 in Area [As Point]",
                "Dim i 18:6-18 in Area [As Float]",
            }));
}

TEST(SymbolIndex, StatementsOverManyLinesAndRoutinesWithoutEnd) {
  SymbolIndex index;
  std::string text = "Dim first,\r\n";
  for (int i = 0; i < 250; ++i) text += "  v" + std::to_string(i) + ",\r\n";
  text += "  last As Integer\r\nSub A\r\n  Dim aLocal\r\nSub B\r\n  Dim bLocal\r\n";
  index.setText("/p/long.mb", text);
  const std::vector<Symbol> all = index.fileSymbols("/p/long.mb");
  // The statement stops at its 200th line, as the outline's does; the names on it keep their lines.
  ASSERT_GE(all.size(), 200u);
  EXPECT_EQ(describe(all[0]), "Dim first 0:4-199");
  EXPECT_EQ(describe(all[150]), "Dim v149 150:2-199");
  const std::vector<Symbol> b = index.definitions("/p/long.mb", 255, "bLocal");
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].container, "B");
  EXPECT_TRUE(index.definitions("/p/long.mb", 255, "aLocal").empty());  // A ended where B began
  const std::vector<Symbol> subs = index.workspaceSymbols("A");
  ASSERT_FALSE(subs.empty());
}

TEST(SymbolIndex, GoesToTheInnermostScopeAndPrefersTheRoutineToItsDeclare) {
  testing::TempFolder folder("quillon-index");
  folder.write("lib.def",
               "Define MAX_ROWS 5\r\nDeclare Sub Helper\r\nGlobal gCount As Integer\r\n");
  folder.write("other.mb",
               "Include \"lib.def\"\r\nSub Helper\r\nEnd Sub\r\nSub Twice\r\nEnd Sub\r\n");
  folder.write("third.mb", "Sub Twice\r\nEnd Sub\r\nDim i\r\n");
  SymbolIndex index;
  const fs::path main = folder / "main.mb";
  index.setText(
      main, std::string(kModule) + "Sub Caller\r\n  Call Helper\r\n  Call Twice\r\nEnd Sub\r\n");
  index.setRoots({main, folder / "other.mb", folder / "third.mb"});

  EXPECT_EQ(placesOf(index.goToTargets(main, 14, "I")),
            (std::vector<std::string>{"main.mb:11 Dim r0"}));
  EXPECT_EQ(placesOf(index.goToTargets(main, 19, "i")),
            (std::vector<std::string>{"main.mb:18 Dim r0"}));
  // The file's own Define before the include's; a Dim outside routines is the file's.
  EXPECT_EQ(placesOf(index.definitions(main, 14, "max_rows")),
            (std::vector<std::string>{"main.mb:1 Define r1", "lib.def:0 Define r2"}));
  EXPECT_EQ(placesOf(index.goToTargets(main, 14, "gCount")),
            (std::vector<std::string>{"main.mb:8 Global r1"}));
  EXPECT_EQ(placesOf(index.goToTargets(main, 14, "Report")),
            (std::vector<std::string>{"main.mb:10 Sub r1"}));
  // The Declare is in the include, the Sub in another module: the Sub wins.
  EXPECT_EQ(placesOf(index.goToTargets(main, 22, "helper")),
            (std::vector<std::string>{"other.mb:1 Sub r3"}));
  EXPECT_EQ(placesOf(index.goToTargets(main, 23, "Twice")),
            (std::vector<std::string>{"other.mb:3 Sub r3", "third.mb:0 Sub r3"}));
  // Locals of another routine or module are nobody else's.
  EXPECT_TRUE(index.goToTargets(main, 22, "total").empty());
  EXPECT_TRUE(index.goToTargets(folder / "other.mb", 1, "i").empty());
  EXPECT_TRUE(index.goToTargets(main, 1, "Nowhere").empty());
  EXPECT_EQ(index.includesOf(main), (std::vector<fs::path>{folder / "lib.def"}));

  EXPECT_EQ(index.parameterText(main, 22, "Report"), "(ByVal n As Integer, s As String)");
  EXPECT_EQ(index.parameterText(main, 22, "Helper"), "");  // its Declare has no list
  EXPECT_EQ(index.parameterText(main, 22, "gCount"), std::nullopt);
}

TEST(SymbolIndex, ReferencesSkipCommentsStringsAndOtherRoutinesLocals) {
  testing::TempFolder folder("quillon-index");
  folder.write("b.mb",
               "Sub Other\r\n  Dim gCount\r\n  gCount = 1\r\nEnd Sub\r\nSub Uses\r\n  gCount = "
               "gCount + 1\r\nEnd Sub\r\n");
  SymbolIndex index;
  const fs::path main = folder / "a.mb";
  index.setText(main, kModule);
  index.setRoots({main, folder / "b.mb"});

  EXPECT_EQ(rowsOf(index.references(main, 14, "i")),
            (std::vector<std::string>{"a.mb(12:6):   Dim i, total As Integer",
                                      "a.mb(15:2):   i = n + total ' i in a comment"}));
  EXPECT_EQ(rowsOf(index.references(folder / "b.mb", 5, "GCOUNT")),
            (std::vector<std::string>{"a.mb(9:7): Global gCount, gName As String, gTab(3) As Alias",
                                      "b.mb(6:2):   gCount = gCount + 1",
                                      "b.mb(6:11):   gCount = gCount + 1"}));
  // A local's references stay in its routine.
  EXPECT_EQ(rowsOf(index.references(folder / "b.mb", 2, "gCount")),
            (std::vector<std::string>{"b.mb(2:6):   Dim gCount", "b.mb(3:2):   gCount = 1"}));
}

TEST(SymbolIndex, CompletionsOfferNamesInScopeFirstEachOnce) {
  testing::TempFolder folder("quillon-index");
  folder.write("lib.def", "Define REPORT_MAX 5\r\n");
  folder.write("b.mb", "Sub ReportAll\r\n  Dim reportLocal\r\nEnd Sub\r\n");
  SymbolIndex index;
  const fs::path main = folder / "a.mb";
  index.setText(main, std::string(kModule) + "Sub Tail\r\n  Dim REPORTCOUNT\r\nEnd Sub\r\n");
  index.setRoots({main, folder / "b.mb"});
  std::vector<std::string> names;
  for (const Completion& c : index.completions(main, 22, "rep"))
    names.push_back(c.name + (c.inScope ? "" : " (rest)"));
  EXPECT_EQ(names, (std::vector<std::string>{"REPORTCOUNT", "Report", "REPORT_MAX", "ReportAll",
                                             "reportLocal (rest)"}));
  EXPECT_EQ(index.completions(main, 22, "re", 2).size(), 2u);
  EXPECT_TRUE(index.completions(main, 22, "zzz").empty());
}

// The text as a list of lines the index reads through LineAt, edited at random.
class EditedSource {
public:
  explicit EditedSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  SymbolIndex::LineAt lineAt() const {
    return [this](std::int64_t i) { return std::string_view(lines_[static_cast<std::size_t>(i)]); };
  }
  std::int64_t count() const { return static_cast<std::int64_t>(lines_.size()); }
  std::vector<std::string>& lines() { return lines_; }
  std::string text() const {
    std::string t;
    for (std::size_t i = 0; i < lines_.size(); ++i) t += (i ? "\r\n" : "") + lines_[i];
    return t;
  }

private:
  std::vector<std::string> lines_;
};

TEST(SymbolIndex, EditsReachTheSameIndexAsAFullScan) {
  const std::vector<std::string> pieces = {"Sub S1",
                                           "Sub S2(a, b)",
                                           "End Sub",
                                           "Function F",
                                           "End Function",
                                           "Dim x,",
                                           "  y As Integer",
                                           "Dim z",
                                           "Type T",
                                           "  m As Integer",
                                           "End Type",
                                           "L1:",
                                           "Call S1",
                                           "x = y + z",
                                           "' Dim c",
                                           "Global g, h(",
                                           "3) As Integer",
                                           "",
                                           "Include \"q.def\"",
                                           "Sub S1"};
  std::mt19937 random(7);
  auto piece = [&] { return pieces[random() % pieces.size()]; };
  std::vector<std::string> start;
  for (int i = 0; i < 900; ++i) start.push_back(piece());
  EditedSource page(start);
  SymbolIndex index;
  const SourceId id = index.setLines("/p/e.mb", page.count(), page.lineAt());
  index.setLineSource(id, page.lineAt());
  for (int round = 0; round < 300; ++round) {
    auto& lines = page.lines();
    const std::int64_t first = random() % lines.size();
    const std::int64_t removed =
        std::min<std::int64_t>(random() % 4, static_cast<std::int64_t>(lines.size()) - first - 1);
    const std::int64_t inserted = random() % 4;
    lines.erase(lines.begin() + first, lines.begin() + first + removed);
    for (std::int64_t k = 0; k < inserted; ++k) lines.insert(lines.begin() + first, piece());
    index.replaceLines(id, first, removed, inserted, page.count(), page.lineAt());

    SymbolIndex fresh;
    fresh.setText("/p/e.mb", page.text());
    ASSERT_EQ(describeAll(index.fileSymbols("/p/e.mb")), describeAll(fresh.fileSymbols("/p/e.mb")))
        << round;
    // Every place now and then: a block's statement may run on into the next.
    for (std::int64_t l = 0; round % 10 == 0 && l < page.count(); ++l)
      ASSERT_EQ(placesOf(index.definitions("/p/e.mb", l, "m")),
                placesOf(fresh.definitions("/p/e.mb", l, "m")))
          << "round " << round << " line " << l << " edit " << first << " -" << removed << " +"
          << inserted;
    const std::int64_t at = random() % page.count();
    for (const char* word : {"x", "S1", "m", "g"}) {
      ASSERT_EQ(placesOf(index.definitions("/p/e.mb", at, word)),
                placesOf(fresh.definitions("/p/e.mb", at, word)));
      const auto got = rowsOf(index.references("/p/e.mb", at, word));
      const auto want = rowsOf(fresh.references("/p/e.mb", at, word));
      std::size_t k = 0;
      while (k < got.size() && k < want.size() && got[k] == want[k]) ++k;
      ASSERT_EQ(got, want) << round << " " << word << " at " << at << " first difference "
                           << (k < got.size() ? got[k] : "-") << " / "
                           << (k < want.size() ? want[k] : "-");
    }
  }
  // A report that does not fit the lines held is taken as a new text, not trusted.
  index.replaceLines(id, page.count() + 5, 3, 1, page.count(), page.lineAt());
  SymbolIndex fresh;
  fresh.setText("/p/e.mb", page.text());
  EXPECT_EQ(describeAll(index.fileSymbols("/p/e.mb")), describeAll(fresh.fileSymbols("/p/e.mb")));
}

TEST(SymbolIndex, FilesFromDiskAreReadAgainOnlyWhenChanged) {
  testing::TempFolder folder("quillon-index");
  const fs::path file = folder.write("m.mb", "Sub One\r\nEnd Sub\r\n");
  SymbolIndex index;
  index.setRoots({file});
  ASSERT_EQ(index.fileSymbols(file).size(), 1u);
  folder.write("m.mb", "Sub One\r\nEnd Sub\r\nSub Two\r\nEnd Sub\r\n");
  index.setRoots({file});
  EXPECT_EQ(index.fileSymbols(file).size(), 2u);
  // UTF-8 text is read as Open reads it: one byte per character in the page's code page.
  folder.write("m.mb", "Sub Caf\xC3\xA9\r\nEnd Sub\r\n");
  index.updateFile(file);
  ASSERT_EQ(index.fileSymbols(file).size(), 1u);
  EXPECT_EQ(index.fileSymbols(file)[0].name, "Caf");  // 0xE9 is no name character
  EXPECT_EQ(index.references(file, 0, "caf")[0].lineText, "Sub Caf\xE9");

  // A page's text wins over the file until the page lets it go.
  index.setText(file, "Sub Held\r\nEnd Sub");
  index.setRoots({file});
  EXPECT_EQ(index.fileSymbols(file)[0].name, "Held");
  index.release(file);
  index.setRoots({file});
  EXPECT_EQ(index.fileSymbols(file)[0].name, "Caf");
  fs::remove(file);
  index.setRoots({file});
  EXPECT_TRUE(index.files().empty());
}

TEST(SymbolIndex, BadIncludesAndHugeInputsLeaveTheRestIndexed) {
  testing::HangGuard guard(120);
  testing::TempFolder folder("quillon-index");
  testing::makeSpecialFiles(folder.path());
  testing::makeSparseFile(folder / "huge.def", std::uint64_t{100} << 20);
  folder.write("a.def", "Include \"b.def\"\r\nInclude \"a.def\"\r\nDefine A_DEF 1\r\n");
  folder.write("b.def", "Include \"A.DEF\"\r\nDefine B_DEF 2\r\n");
  std::string includes =
      "Include \"a.def\"\r\nInclude \"fifo.mb\"\r\nInclude \"folder.mb\"\r\n"
      "Include \"/dev/zero\"\r\nInclude \"socket.mb\"\r\nInclude \"main.mb\"\r\n"
      "Include \"huge.def\"\r\nInclude \"" +
      std::string(10000, 'n') + "\"\r\n" + std::string("Include \"bad\0name\"\r\n", 20) +
      "Declare Sub Never\r\n";
  for (int i = 0; i < 100000; ++i) includes += "Sub Same\r\n";
  const fs::path main = folder.write("main.mb", includes);
  folder.write("line.def", std::string(10 << 20, 'w'));

  SymbolIndex::Options options;
  options.maxFileBytes = std::uint64_t{64} << 20;  // the huge file is refused by size
  SymbolIndex index(options);
  index.setRoots({main, folder / "line.def"});
  std::vector<std::string> files;
  for (const fs::path& f : index.files()) files.push_back(f.filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"a.def", "b.def", "line.def", "main.mb"}));
  EXPECT_EQ(placesOf(index.goToTargets(main, 0, "b_def")),
            (std::vector<std::string>{"b.def:1 Define r2"}));
  EXPECT_EQ(index.goToTargets(main, 0, "Same").size(), 100000u);
  EXPECT_EQ(placesOf(index.goToTargets(main, 0, "Never")),
            (std::vector<std::string>{"main.mb:9 Declare Sub r1"}));
  EXPECT_EQ(index.references(folder / "line.def", 0, std::string(10 << 20, 'w')).size(), 1u);
  EXPECT_LT(index.memoryBytes(), std::size_t{20} << 20);

  // Read whole, the sparse file is NULs: no words, almost nothing held.
  SymbolIndex unlimited;
  unlimited.updateFile(folder / "huge.def");
  EXPECT_LT(unlimited.memoryBytes(), std::size_t{8} << 20);
}

TEST(SymbolIndex, WordsAreFoldedOnlyInTheirLettersAtAnyLength) {
  // Names of 1 to 20 characters (word hashing goes eight bytes at a time), used in upper case.
  std::string text;
  std::vector<std::string> names;
  for (int n = 1; n <= 20; ++n) {
    std::string name;
    for (int i = 0; i < n; ++i) name += i % 3 == 2 ? '_' : static_cast<char>('a' + (n + i) % 26);
    names.push_back(name);
    text += "Dim " + name + "\r\n";
  }
  text += "Dim a@b\r\n";
  for (const std::string& name : names) text += "x = " + upper(name) + "\r\n";
  SymbolIndex index;
  index.setText("/p/m.mb", text);
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(placesOf(index.goToTargets("/p/m.mb", 0, upper(names[i]))),
              (std::vector<std::string>{"m.mb:" + std::to_string(i) + " Dim r1"}));
    EXPECT_EQ(index.references("/p/m.mb", 0, names[i]).size(), 2u);
  }
  // Name characters other than letters keep their case: "@" is not "`", "_" not DEL.
  EXPECT_EQ(index.definitions("/p/m.mb", 0, "A@B").size(), 1u);
  EXPECT_TRUE(index.definitions("/p/m.mb", 0, "A`B").empty());
  std::string del = names[2];
  std::replace(del.begin(), del.end(), '_', '\x7F');
  EXPECT_TRUE(index.definitions("/p/m.mb", 0, del).empty());
}

TEST(SymbolIndex, ABlockOfMoreWordsAndUsesThanTwoBytesCountStillFindsEach) {
  // 70,000 different words on one line: word numbers and use offsets past 65,535.
  std::string line = "x = w0";
  for (int i = 1; i < 70000; ++i) line += " + w" + std::to_string(i);
  const std::string text = line + "\r\nCall w69999(w0)\r\nx = W69999 + w69999\r\nDim w69999\r\n";
  SymbolIndex index;
  index.setText("/p/m.mb", text);
  const std::size_t last = line.rfind("w69999");
  std::vector<std::string> places;
  for (const Reference& r : index.references("/p/m.mb", 3, "w69999"))
    places.push_back(std::to_string(r.line) + ":" + std::to_string(r.column));
  EXPECT_EQ(places,
            (std::vector<std::string>{"0:" + std::to_string(last), "1:5", "2:4", "2:13", "3:4"}));
  EXPECT_EQ(index.references("/p/m.mb", 0, "w0").size(), 2u);
  EXPECT_EQ(index.references("/p/m.mb", 0, "w35000").size(), 1u);
  EXPECT_EQ(describeAll(index.goToTargets("/p/m.mb", 0, "W69999")),
            (std::vector<std::string>{"Dim w69999 3:4-3"}));
}

TEST(SymbolIndex, UsesComeInLineOrderAndLocalsKeepTheirRoutineAcrossBlocks) {
  // A routine of 300 Dims runs over two blocks; uses of one word are spread over them in
  // an order unlike the words' first appearance.
  std::string text = "Sub Long(p As Integer)\r\n";
  for (int i = 0; i < 300; ++i) text += "  Dim v" + std::to_string(i) + " As Integer\r\n";
  text += "  v7 = v299 + p + v7\r\nEnd Sub\r\nSub Other\r\n  Dim w\r\n  v7 = w\r\nEnd Sub\r\n";
  SymbolIndex index;
  index.setText("/p/m.mb", text);
  std::vector<std::string> containers;
  for (const Symbol& s : index.fileSymbols("/p/m.mb"))
    if (s.name == "p" || s.name == "v0" || s.name == "v199" || s.name == "v200" || s.name == "w")
      containers.push_back(s.name + " in " + s.container + " [" + s.detail + "]");
  EXPECT_EQ(containers,
            (std::vector<std::string>{"p in Long [As Integer]", "v0 in Long [As Integer]",
                                      "v199 in Long [As Integer]", "v200 in Long [As Integer]",
                                      "w in Other []"}));
  std::vector<std::string> places;
  for (const Reference& r : index.references("/p/m.mb", 301, "v7"))
    places.push_back(std::to_string(r.line) + ":" + std::to_string(r.column));
  EXPECT_EQ(places, (std::vector<std::string>{"8:6", "301:2", "301:18"}));
}

TEST(SymbolIndex, IncludesOfOneNameResolveInEachModulesOwnFolder) {
  testing::TempFolder folder("quillon-index");
  const fs::path a = folder.write("a/m.mb", "Include \"x.def\"\r\n");
  const fs::path b = folder.write("b/m.mb", "Include \"x.def\"\r\nInclude \"X.DEF\"\r\n");
  folder.write("a/x.def", "Define XA 1\r\n");
  folder.write("b/x.def", "Define XB 2\r\n");
  SymbolIndex index;
  index.setRoots({a, b});
  ASSERT_EQ(index.includesOf(a).size(), 1u);
  EXPECT_EQ(index.includesOf(a)[0].filename(), "x.def");
  EXPECT_EQ(index.includesOf(a)[0].parent_path().filename(), "a");
  ASSERT_EQ(index.includesOf(b).size(), 1u);
  EXPECT_EQ(index.includesOf(b)[0].parent_path().filename(), "b");
  EXPECT_EQ(placesOf(index.goToTargets(b, 0, "XB")),
            (std::vector<std::string>{"x.def:0 Define r2"}));
}

TEST(SymbolIndex, WordAtFindsTheWordAroundTheCaretOutsideStrings) {
  const std::string line = "Call Report(\"Report\") ' Report";
  EXPECT_EQ(wordAt(line, 7)->start, 5u);
  EXPECT_EQ(wordAt(line, 11)->length, 6u);  // right after the word
  EXPECT_FALSE(wordAt(line, 15));
  EXPECT_FALSE(wordAt(line, 26));
  EXPECT_FALSE(wordAt("x = 12", 5));
}

}  // namespace
}  // namespace quillon::language
