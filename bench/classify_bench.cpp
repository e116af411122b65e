// The context list's classification of one keystroke, with the program's default word lists
// and a large user dictionary.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "editor/code_memo.h"
#include "language/key_file.h"
#include "language/word_check_commands.h"
#include "language/word_classifier.h"
#include "language/word_lists.h"
#include "quiet_program.h"
#include "settings/editor_profiles.h"

namespace {

namespace fs = std::filesystem;
using quillon::language::WordList;

// Thirty statements as a MapBasic programmer types them.
const char* const kStatements[] = {
    "Dim i As Integer",
    "Dim sName As String",
    "Open Table \"C:\\data\\parcels.tab\" As Parcels Interactive",
    "Select * From Parcels Where Area(obj, \"sq m\") > 500 Into Big",
    "Fetch First From Big",
    "Do While Not EOT(Big)",
    "Print Big.Name",
    "Fetch Next From Big",
    "Loop",
    "Close Table Big",
    "If TableInfo(\"Parcels\", TAB_INFO_NROWS) = 0 Then",
    "Note \"No parcels\"",
    "End If",
    "Create Table Result (Name Char(30), Area Float) File \"C:\\temp\\result.tab\"",
    "Insert Into Result (Name, Area) Values (sName, fArea)",
    "Update Result Set Area = Round(Area, 0.01)",
    "For i = 1 To NumTables()",
    "sName = TableInfo(i, TAB_INFO_NAME)",
    "Next",
    "Set Map Window FrontWindow() Zoom 10 Units \"km\"",
    "Map From Parcels",
    "Dialog Title \"Parcels\" Control OKButton Control CancelButton",
    "Alter Menu Bar Add \"Parcels\"",
    "Create Menu \"Parcels\" As \"Report...\" Calling ShowReport",
    "Declare Sub Main",
    "Declare Function FormatArea(ByVal a As Float) As String",
    "Sub Main",
    "Call ShowReport",
    "End Sub",
    "OnError GoTo Failed",
};

// The program's default lists and a dictionary of 20,000 words; false after reporting why not.
bool loadWordLists(benchmark::State& state, quillon::language::WordLists& lists) {
  const fs::path build = fs::path(QUILLON_KEYFILE).parent_path();
  quillon::bench::QueuedCalls calls;
  quillon::bench::QuietUi ui{calls};
  try {
    std::ifstream keyFile(QUILLON_KEYFILE, std::ios::binary);
    quillon::editor::KeywordList keywords;
    quillon::editor::StartStopKeyList startStops;
    quillon::language::applyKeyFile(quillon::language::readKeyFile(keyFile), keywords, startStops);
    lists.assign(WordList::Key, quillon::language::buildKeyList(keywords));
  } catch (const std::exception& e) {
    state.SkipWithError((std::string("cannot read the key file: ") + e.what()).c_str());
    return false;
  }
  lists.loadDictionaryAndDefines(build / "quillon.dic", build / "quillon.def", ui);
  lists.loadHelpContexts(build / "quillon.ctx", ui);
  if (lists.list(WordList::Help).empty() || lists.list(WordList::Def).empty()) {
    state.SkipWithError("the default word lists are missing");
    return false;
  }
  std::vector<std::string> dictionary = lists.list(WordList::Dict);
  std::mt19937 random(20000);
  std::uniform_int_distribution<int> length(3, 12), letter(0, 25), capital(0, 3);
  while (dictionary.size() < 20000) {
    std::string word;
    for (int n = length(random); n > 0; --n)
      word += static_cast<char>((capital(random) == 0 ? 'A' : 'a') + letter(random));
    dictionary.push_back(word);
  }
  lists.assign(WordList::Dict, std::move(dictionary));
  return true;
}

void BM_ClassifyWord(benchmark::State& state) {
  quillon::language::WordLists lists;
  if (!loadWordLists(state, lists)) return;
  // Every keystroke of the statements: the line so far and the word at the caret.
  struct Keystroke {
    std::string line, word;
  };
  std::vector<Keystroke> keystrokes;
  quillon::editor::CodeMemo memo;
  quillon::settings::applySourceEditorProfile(memo);
  for (const char* statement : kStatements)
    for (std::size_t n = 1; statement[n - 1] != '\0'; ++n) {
      memo.setText(std::string_view(statement, n));
      memo.setSelStart(memo.charCount());
      keystrokes.push_back({std::string(statement, n), memo.currentWord()});
    }

  quillon::language::WordClassifier classifier(lists);
  std::size_t next = 0, items = 0;
  for (auto _ : state) {
    const Keystroke& k = keystrokes[next];
    const auto result = classifier.classify(k.line, k.word);
    items += result.items.size();
    benchmark::DoNotOptimize(result);
    next = next + 1 == keystrokes.size() ? 0 : next + 1;
  }
  state.counters["keystrokes"] = static_cast<double>(keystrokes.size());
  state.counters["items_per_key"] =
      static_cast<double>(items) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_ClassifyWord)->Unit(benchmark::kMicrosecond);

// START over the medium corpus with known words removed and strings left out.
void BM_WordCheckMedium(benchmark::State& state) {
  quillon::language::WordLists lists;
  if (!loadWordLists(state, lists)) return;
  quillon::editor::CodeMemo memo;
  memo.loadFromFile(quillon::bench::corpus("medium"));
  quillon::bench::QueuedCalls calls;
  quillon::bench::QuietUi ui{calls};
  quillon::language::WordCheckCommands check({ui, memo, lists, [] { return 1; }, {}});
  for (auto _ : state) {
    check.start();
    benchmark::DoNotOptimize(check.items().data());
  }
  state.counters["words"] = static_cast<double>(check.items().size());
}

BENCHMARK(BM_WordCheckMedium)->Unit(benchmark::kMillisecond);

}  // namespace
