#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "lsp/server_settings.h"

namespace quillon::lsp {

// Compiles one source as the command-line compile does, away from the message loop.
class SourceCompiler {
public:
  struct Error {
    std::filesystem::path file;  // as the error file names it, resolved; empty: the source itself
    std::int64_t line = 0;       // counted from 1; 0 when the error names no line
    std::string message;         // the error file's line as it stands
  };
  struct Outcome {
    enum class Kind { compiled, failed, noCompiler, stopped };
    Kind kind = Kind::compiled;
    std::string message;  // what the command line prints: the result or why there is none
    std::vector<Error> errors;
  };
  // Called once per compile, on the thread the server's loop runs on.
  using Done = std::function<void(Outcome)>;

  virtual ~SourceCompiler() = default;
  // A compile of the same source still running is stopped first (its Done reports stopped).
  virtual void compile(const std::filesystem::path& source, const ServerSettings& settings,
                       Done done) = 0;
};

}  // namespace quillon::lsp
