#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "lsp/event_queue.h"
#include "lsp/source_compiler.h"

namespace quillon::lsp {

// Compiles as `quillon --compile` does (build::HeadlessBuild: the program's settings, Wine,
// path translation, stale outputs, the error file), each compile on a thread of its own, and
// hands the outcome to the loop through `queue`. The settings' MapBasic folder and Wine
// prefix, when set, stand in for the program's own.
//
// Invariant: `running_` holds, per source, the stop switch of the compile last started; the
// compile's thread clears its entry when it ends, under `mutex_`.
class HeadlessCompiler final : public SourceCompiler {
public:
  HeadlessCompiler(EventQueue& queue, std::filesystem::path programDir);
  ~HeadlessCompiler() override;

  void compile(const std::filesystem::path& source, const ServerSettings& settings,
               Done done) override;

private:
  struct Run;
  EventQueue& queue_;
  std::filesystem::path programDir_;
  std::mutex mutex_;
  std::map<std::filesystem::path, std::shared_ptr<Run>> running_;
};

}  // namespace quillon::lsp
