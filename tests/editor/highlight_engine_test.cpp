#include "editor/highlight_engine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>

#include "editor/code_memo.h"
#include "editor/number_highlighter.h"
#include "language/key_file.h"
#include "settings/editor_profiles.h"
#include "support/temp_folder.h"

namespace quillon::editor {
namespace {

KeywordInfo info(std::int16_t context, std::uint8_t options = KeywordOption::wholeWordsOnly) {
  KeywordInfo i;
  i.options = options;
  i.contextNum = context;
  i.foregnd = 0x800000;
  return i;
}

// A paragraph with each stretch whose state `tag` names shown as <tag:text>; an empty tag
// leaves the stretch plain.
std::string renderTagged(CodeMemo& memo, std::int64_t index,
                         const std::function<std::string(const AttrState&)>& tag) {
  const Paragraph& p = memo.table().at(index);
  const std::string_view text = p.text();
  std::string out;
  AttrStateRef state = p.extra() ? p.extra()->startState : nullptr;
  std::size_t from = 0;
  auto emit = [&](std::size_t to) {
    const std::string part(text.substr(from, to - from));
    const std::string name = state && !part.empty() ? tag(*state) : std::string();
    out += name.empty() ? part : "<" + name + ":" + part + ">";
    from = to;
  };
  if (p.extra())
    for (const AttrRun& r : p.extra()->runs) {
      emit(r.offset);
      state = r.state;
    }
  emit(text.size());
  return out;
}

// The paragraph with every stretch in a region shown as <context:text>.
std::string render(CodeMemo& memo, std::int64_t index) {
  return renderTagged(memo, index, [](const AttrState& s) {
    return s.level < 0 ? std::string() : std::to_string(s.contextNum);
  });
}

struct Fixture : ::testing::Test {
  CodeMemo memo;
  HighlightEngine engine{memo};
  Fixture() { memo.setSeparators("\t '()+,-./:;<=>[\\]{}"); }
  void show(std::string_view text) {
    memo.setText(text);
    rescan();
  }
  void rescan() {
    engine.reApplyKeywords();
    engine.scanAll();
  }
  std::string par(std::int64_t i) { return render(memo, i); }
  std::vector<std::string> all() {
    std::vector<std::string> out;
    for (std::int64_t i = 0; i < memo.paragraphCount(); ++i) out.push_back(render(memo, i));
    return out;
  }
  void insertAt(std::int64_t paragraph, std::uint32_t column, std::string_view text) {
    memo.select(memo.table().startOf(paragraph) + column, 0);
    memo.setSelText(text);
  }
};

using Regions = Fixture;
using Shown = std::vector<std::string>;

TEST_F(Regions, ApostropheCommentEndsWithItsParagraph) {
  engine.startStopKeys().add("'", "", true, info(2, 0));
  engine.startStopKeys().add("\"", "\"", true, info(3, 0));
  show("x = 1 ' note \"a\r\ny = \"it's\" 'c\r\nz");
  EXPECT_EQ(all(), (Shown{"x = 1 <2:' note \"a>", "y = <3:\"it's\"> <2:'c>", "z"}));
}

TEST_F(Regions, MissingStopColoursOnAndTypingItRescansOnlyUntilStatesAgree) {
  engine.startStopKeys().add("/*", "*/", false, info(2, 0));
  show("x /* start\r\nin1\r\nin2\r\nend */ y\r\nz\r\nw /* open\r\nv");
  // No stop key after "open": the region runs to the end.
  EXPECT_EQ(all(), (Shown{"x <2:/* start>", "<2:in1>", "<2:in2>", "<2:end */> y", "z",
                          "w <2:/* open>", "<2:v>"}));

  const auto before = engine.startStopScans();
  insertAt(0, 10, " */");
  engine.scanAll();
  // The changed paragraph, then 1-3 whose start state changed; 4 starts as before.
  EXPECT_EQ(engine.startStopScans() - before, 4);
  EXPECT_EQ(all(),
            (Shown{"x <2:/* start */>", "in1", "in2", "end */ y", "z", "w <2:/* open>", "<2:v>"}));
}

TEST_F(Regions, TypingRescansAtOnceButEditsInsideBeginUpdateOnlyMark) {
  engine.keywords().add("Dim", info(1));
  show("x\r\ny");
  insertAt(1, 0, "Dim ");
  EXPECT_EQ(par(1), "<1:Dim> y");
  insertAt(1, 1, "x");
  EXPECT_EQ(par(1), "Dxim y");

  engine.startStopKeys().add("'", "", true, info(2, 0));
  show("a\r\nb\r\nc");
  memo.beginUpdate();
  insertAt(1, 0, "' x");
  EXPECT_EQ(par(1), "' xb");  // not yet
  memo.endUpdate();
  memo.prepareParagraphs(0, 2);
  EXPECT_EQ(par(1), "<2:' xb>");
}

TEST_F(Regions, NewParagraphsInsideARegionTakeItsState) {
  engine.startStopKeys().add("/*", "*/", false, info(2, 0));
  show("/* a\r\nb */ c");
  insertAt(0, 4, "\r\nnew\r\nmore");
  engine.scanAll();
  EXPECT_EQ(all(), (Shown{"<2:/* a>", "<2:new>", "<2:more>", "<2:b */> c"}));
}

TEST_F(Regions, AParagraphOfDataIsShownPlainAndHandsItsStartStateOn) {
  engine.startStopKeys().add("/*", "*/", false, info(2, 0));
  engine.keywords().add("Dim", info(1));
  const std::string atLimit = "Dim /*" + std::string(HighlightEngine::kLongestHighlighted - 6, 'x');
  show("/* open\r\n" + atLimit + "y\r\n*/ Dim\r\n" + atLimit);
  // The second is too long: no runs, the region passes through.
  EXPECT_EQ(all(), (Shown{"<2:/* open>", "<2:" + atLimit + "y>", "<2:*/> <1:Dim>",
                          "<1:Dim> <2:/*" + atLimit.substr(6) + ">"}));
}

TEST_F(Regions, PaintingALaterStretchScansRegionsFromAboveButKeywordsOnlyThere) {
  engine.startStopKeys().add("/*", "*/", false, info(2, 0));
  engine.keywords().add("If", info(1));
  std::string text = "/* a";
  for (int i = 1; i < 100; ++i) text += i == 50 ? "\r\n*/ If" : "\r\nIf";
  memo.setText(text);
  engine.reApplyKeywords();
  memo.prepareParagraphs(90, 95);
  // 49 lies in the comment anyway; 51 is below it but not painted, so not scanned for keywords.
  EXPECT_EQ((Shown{par(49), par(51), par(90)}), (Shown{"<2:If>", "If", "<1:If>"}));
  memo.prepareParagraphs(50, 51);
  EXPECT_EQ((Shown{par(50), par(51)}), (Shown{"<2:*/> <1:If>", "<1:If>"}));
}

TEST_F(Regions, ReApplyingRepaintsWithoutReportingAChange) {
  int changes = 0, repaints = 0;
  memo.onChange.subscribe([&] { ++changes; });
  memo.addViewListener(
      [&](CodeMemo::ViewEvent e) { repaints += e == CodeMemo::ViewEvent::changed; });
  engine.reApplyKeywords();
  EXPECT_EQ(std::pair(changes, repaints), std::pair(0, 1));
}

using Keywords = Fixture;

TEST_F(Keywords, ContextZeroDecidesWhereKeywordsStand) {
  engine.keywords().add("Dim", info(0));  // inactive
  engine.keywords().add("If", info(1));
  engine.startStopKeys().add("[", "]", false, info(0, 0));
  engine.startStopKeys().add("\"", "\"", false, info(3, 0));
  show("Dim If [If] \"If\"");
  EXPECT_EQ(par(0), "Dim <1:If> <0:[><1:If><0:]> <3:\"If\">");
}

TEST_F(Keywords, WholeWordsNeedSeparatorsOnBothSides) {
  engine.keywords().add("Len", info(1));
  engine.keywords().add("ab", info(2, 0));  // anywhere
  memo.setSeparators(" ");
  show("Len(x) Len Lens xab");
  EXPECT_EQ(par(0), "Len(x) <1:Len> Lens x<2:ab>");
  memo.setSeparators(" (");
  rescan();
  EXPECT_EQ(par(0), "<1:Len>(x) <1:Len> Lens x<2:ab>");
}

TEST_F(Keywords, MatchCaseAndFoldingType) {
  engine.keywords().add("\xE9t\xE9", info(1));  // été, ignores case
  engine.keywords().add("Exact", info(2, KeywordOption::matchCase | KeywordOption::wholeWordsOnly));
  show("\xC9T\xC9 \xE9T\xE9 EXACT Exact");
  EXPECT_EQ(par(0), "\xC9T\xC9 <1:\xE9T\xE9> EXACT <2:Exact>");
  engine.setUpperCaseType(UpperCaseType::muAnsi);
  rescan();
  EXPECT_EQ(par(0), "<1:\xC9T\xC9> <1:\xE9T\xE9> EXACT <2:Exact>");
}

// Opens 20 levels over the whole paragraph: only 16 fit.
class NestingHighlighter final : public CodeHighlighter {
public:
  void scanParagraph(HighlightEngine& engine, std::int64_t, Paragraph& p) override {
    AttrState level;
    level.style = AttrState::kScanned | AttrState::kOpenedByKey;
    level.level = 0;
    level.keyStack[0] = HighlightEngine::kNoKey;
    const AttrStateRef ref = engine.intern(level);
    for (int i = 0; i < 20; ++i) engine.applySpans(p, {{0, p.length, ref}});
  }
};

TEST_F(Keywords, NestingStopsAtLevelFifteen) {
  engine.keywords().add("If", info(1));
  NestingHighlighter nesting;
  engine.setHighlighter(&nesting);
  show("If x");
  const auto& runs = memo.table().at(0).extra()->runs;
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].state->level, 15);
  EXPECT_EQ(par(0), "<0:If x>");  // no room left for the keyword
}

TEST_F(Keywords, DestroyedHighlighterDetachesItself) {
  {
    NumberHighlighter numbers;
    engine.setHighlighter(&numbers);
  }
  EXPECT_EQ(engine.highlighter(), nullptr);
  show("1");
  EXPECT_EQ(par(0), "1");
}

using Numbers = Fixture;

TEST_F(Numbers, TokensBetweenSeparators) {
  NumberHighlighter numbers;
  numbers.setSeparators(" +-*/\\<=>.,:;()[]{}%$");
  numbers.setContextNum(9);
  engine.setHighlighter(&numbers);
  engine.startStopKeys().add("\"", "\"", false, info(3, 0));
  show("x = 12+3; 3.14 -5 1e5 x1 1x 12ab \"42\" ok");
  EXPECT_EQ(par(0), "x = <9:12>+<9:3>; <9:3>.<9:14> -<9:5> 1e5 x1 1x 12ab <3:\"42\"> ok");

  numbers.setSeparators(" ");  // control characters stay separators
  show(
      "$FF $ $FG\t7\x1A"
      "8");
  EXPECT_EQ(par(0), "<9:$FF> $ $FG\t<9:7>\x1A<9:8>");

  // MapBasic's &H form, beside "$"; only a whole token is a number.
  show("&H1F &h0a &H &HG1 x&H1 &Hello &H1F2");
  EXPECT_EQ(par(0), "<9:&H1F> <9:&h0a> &H &HG1 x&H1 &Hello <9:&H1F2>");
}

TEST_F(Numbers, ScopeAndQuery) {
  NumberHighlighter numbers;
  engine.setHighlighter(&numbers);
  // Scope 2 colours numbers only inside regions of context 2, and the owner may overrule.
  engine.startStopKeys().add("'", "", true, info(2, 0));
  numbers.setScope(2);
  show("1 ' 2");
  EXPECT_EQ(par(0), "1 <2:' ><1:2>");
  numbers.onQueryHilit = [](int value, bool& doHilit) { doHilit = value == 0; };
  show("1 ' 2");
  EXPECT_EQ(par(0), "<1:1> <2:' 2>");
}

// The keyword search, settled one keyword at a time in list order as the scan is defined.

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The end of an occurrence of `search` at p, where a run of blanks in it stands for any run
// of blanks and tabs; 0 when there is none.
std::size_t occurrenceEnd(std::string_view copy, std::size_t p, std::string_view search) {
  std::size_t j = p;
  for (std::size_t k = 0; k < search.size(); ++k) {
    if (!isBlank(search[k])) {
      if (j >= copy.size() || copy[j] != search[k]) return 0;
      ++j;
    } else if (k == 0 || !isBlank(search[k - 1])) {
      if (j >= copy.size() || !isBlank(copy[j])) return 0;
      while (j < copy.size() && isBlank(copy[j])) ++j;
    }
  }
  return j;
}

std::vector<KeywordHit> literalSearch(const KeywordList& keywords, std::string_view text,
                                      std::string raw, std::string upper, const CharSet& seps) {
  std::vector<KeywordHit> hits;
  const std::size_t n = text.size();
  for (int k = 0; k < keywords.count(); ++k) {
    const KeywordInfo& i = keywords.info(k);
    const std::string& search = keywords.searchText(k);
    if (i.contextNum == 0 || search.empty()) continue;
    for (std::size_t p = 0; p < n; ++p) {
      const std::size_t end = occurrenceEnd(i.matchCase() ? raw : upper, p, search);
      if (end == 0) continue;
      if (i.wholeWordsOnly() &&
          !((p == 0 || seps.contains(text[p - 1])) && (end == n || seps.contains(text[end]))))
        continue;
      hits.push_back({k, static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(end - p)});
      for (std::size_t j = p; j < end; ++j) raw[j] = upper[j] = 5;
      p = end - 1;
    }
  }
  std::sort(hits.begin(), hits.end(), [](auto& a, auto& b) { return a.offset < b.offset; });
  return hits;
}

TEST(KeywordMatcherTest, AgreesWithTheKeywordByKeywordSearch) {
  std::mt19937 rng(12345);
  const std::string alphabet = "aAbB \xE9\xC9(\t ";
  auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };
  CharSet seps(" (");
  KeywordMatcher matcher;
  std::vector<KeywordHit> fast;
  for (int round = 0; round < 400; ++round) {
    KeywordList keywords;
    keywords.setUpperCaseType(round % 2 ? UpperCaseType::muAnsi : UpperCaseType::muAscii);
    const std::size_t count = 1 + pick(12);
    for (std::size_t k = 0; k < count; ++k) {
      std::string word;
      for (std::size_t len = 1 + pick(3); len > 0; --len) {
        // Blanks only between the letters of a keyword, as in "End If".
        if (!word.empty() && pick(3) == 0) word += pick(2) ? " " : pick(2) ? "\t" : "  ";
        word += "aAbB\xE9("[pick(6)];
      }
      keywords.add(word,
                   info(static_cast<std::int16_t>(pick(4)), static_cast<std::uint8_t>(pick(4))));
    }
    matcher.build(keywords);
    for (int t = 0; t < 10; ++t) {
      std::string text;
      for (std::size_t len = pick(40); len > 0; --len) text += alphabet[pick(alphabet.size())];
      std::string raw = text;
      for (char& c : raw)
        if (pick(10) == 0) c = 5;  // a region where keywords may not stand
      std::string upper = keywords.folder().upper(raw);
      const auto slow = literalSearch(keywords, text, raw, upper, seps);
      matcher.find(text, raw, upper, seps, fast);
      ASSERT_EQ(fast, slow) << "round " << round << " text '" << text << "'";
    }
  }
}

// ----- The default key file over real code -----

// The style names of data/keywords.txt and the numbers' default, found again from a run's
// colour and style.
std::string styleName(const AttrState& s) {
  struct Named {
    std::int32_t fore;
    std::uint8_t style;
    const char* name;
  };
  static constexpr Named kNames[] = {{0x800000, 1, "statement"}, {0xA00000, 0, "clause"},
                                     {0x800080, 0, "function"},  {0x707000, 1, "type"},
                                     {0x0058B0, 0, "constant"},  {0x008000, 2, "comment"},
                                     {0x000090, 0, "string"},    {0xFF00FF, 0, "number"}};
  const std::uint8_t style = s.style & 0x0F;
  for (const Named& n : kNames)
    if (n.fore == s.foregnd && n.style == style) return n.name;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%06X/%u", static_cast<unsigned>(s.foregnd) & 0xFFFFFF,
                static_cast<unsigned>(style));
  return buffer;
}

// NAME.mb against NAME.runs: the source editor as the program sets it up, the default key
// file and the number colours. QUILLON_WRITE_GOLDEN=1 writes the .runs files instead (and
// fails, so that a written file is looked at before it counts).
TEST(HighlightGolden, EveryCaseGivesItsRuns) {
  const std::filesystem::path folder =
      std::filesystem::path(QUILLON_SOURCE_DIR) / "tests/editor/data/highlight";
  std::ifstream keyFile(std::filesystem::path(QUILLON_BINARY_DIR) / "quillon.bin",
                        std::ios::binary);
  ASSERT_TRUE(keyFile) << "the default key file is built beside the tests";
  const language::KeyFileContents keys = language::readKeyFile(keyFile);
  const bool write = std::getenv("QUILLON_WRITE_GOLDEN") != nullptr;

  int cases = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    if (item.path().extension() != ".mb") continue;
    ++cases;
    SCOPED_TRACE(item.path().filename().string());
    CodeMemo memo;
    settings::applySourceEditorProfile(memo);
    HighlightEngine engine{memo};
    NumberHighlighter numbers;
    language::applyKeyFile(keys, engine.keywords(), engine.startStopKeys());
    engine.setSyntaxHighlighting(true, &numbers);
    memo.loadFromFile(item.path());
    engine.scanAll();
    std::string shown;
    for (std::int64_t i = 0; i < memo.paragraphCount(); ++i)
      shown += renderTagged(memo, i,
                            [](const AttrState& s) {
                              const bool plain = s.foregnd < 0 && (s.style & 0x0F) == 0;
                              return plain ? std::string() : styleName(s);
                            }) +
               "\n";

    const std::filesystem::path expected =
        std::filesystem::path(item.path()).replace_extension(".runs");
    if (write) {
      std::ofstream(expected, std::ios::binary) << shown;
      ADD_FAILURE() << "written " << expected;
      continue;
    }
    ASSERT_TRUE(std::filesystem::exists(expected)) << expected;
    EXPECT_EQ(shown, testing::readFile(expected));
  }
  EXPECT_GE(cases, 4);
}

}  // namespace
}  // namespace quillon::editor
