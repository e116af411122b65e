#pragma once
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "build/build_commands.h"
#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/process_launcher.h"
#include "settings/settings.h"

namespace quillon::build {

// One error line of an error file, pointed at the file on disk it names.
struct Diagnostic {
  std::filesystem::path file;  // resolved when found, else the name as the line gives it
  std::int64_t line = 0;       // 1-based; 0 when the error line names no usable line
  std::string message;         // the text after the ")"
};

// "PATH:LINE: error: MESSAGE", the form editors, Make and CI read.
std::string formatDiagnostic(const Diagnostic& diagnostic);

// The error lines of `errorFile` that lead somewhere. A named file is looked for beside the
// error file, then in `mapBasicFolder`, in any letter case; one found nowhere keeps its
// name, joined to the error file's folder.
std::vector<Diagnostic> readDiagnostics(const std::filesystem::path& errorFile,
                                        const std::filesystem::path& mapBasicFolder);

// Compile, Link and Run without a window: the program's settings read as at start-up (a
// first run keeps its new file in memory), the file opened as the only page, and the same
// BuildCommands run over a console in place of the screen. Nothing ever asks a question;
// what would be a folder picker is an error in words.
class HeadlessBuild {
public:
  enum class Mode { Compile, Link, Run };
  // 0 built, 1 the build failed, 2 bad usage, missing compiler or unreadable input.
  enum Status { kBuilt = 0, kFailed = 1, kUnusable = 2 };

  struct Ports {
    platform::ProcessLauncher& launcher;
    platform::Clock& clock;
    // Null: the GIS program of the settings' MapInfo folder, through Wine.
    platform::Automation* automation = nullptr;
  };
  struct Surroundings {
    std::filesystem::path programFile;  // the program's own path: where its settings file is
    platform::Environment environment;
    settings::ProgramFolderLookup folderLookup;  // empty: the Wine registry of `environment`
    std::string version;                         // what --version prints
  };

  struct Result {
    int status = kUnusable;
    std::vector<Diagnostic> diagnostics;
    std::vector<std::string> problems;  // in words, one per line: why the build could not run
    std::string summary;                // the message panel's last text ("COMPILED APP: x.mbx")
    BuildReport report;                 // empty when the compiler never ran
  };

  HeadlessBuild(Ports ports, Surroundings surroundings);
  ~HeadlessBuild();
  HeadlessBuild(const HeadlessBuild&) = delete;
  HeadlessBuild& operator=(const HeadlessBuild&) = delete;

  // Builds one file. The file must be a readable regular file of the mode's type (.mb,
  // .mbp; Run takes .mb, .mbp and .mbx).
  Result build(Mode mode, const std::filesystem::path& file);

  // The folders the settings give, as this machine opens them.
  std::filesystem::path mapBasicFolder() const;

private:
  struct Parts;
  Ports ports_;
  Surroundings surroundings_;
};

// The command line of the program in build mode (`--compile`, `--link`, `--run`, `--help`,
// `--version`): true when `arguments` (after the program name) ask for one of these.
bool isCommandLineBuild(const std::vector<std::string>& arguments);

// Runs it: diagnostics and problems to `err`, results and the compiler's output to `out`;
// the exit status. Arguments after "--" are file names even when they begin with "-".
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   HeadlessBuild::Ports ports, HeadlessBuild::Surroundings surroundings);

}  // namespace quillon::build
