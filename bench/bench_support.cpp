#include "bench_support.h"

#include <fstream>

#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "language/key_file.h"

namespace quillon::bench {

bool loadHighlighted(editor::CodeMemo& memo, editor::HighlightEngine& engine,
                     const std::string& name, benchmark::State& state) {
  std::ifstream keyFile(QUILLON_KEYFILE, std::ios::binary);
  try {
    language::applyKeyFile(language::readKeyFile(keyFile), engine.keywords(),
                           engine.startStopKeys());
    memo.loadFromFile(corpus(name));
  } catch (const std::exception& e) {
    state.SkipWithError((std::string("cannot set up: ") + e.what()).c_str());
    return false;
  }
  return true;
}

}  // namespace quillon::bench
