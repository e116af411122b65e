#include "lsp/headless_compiler.h"

#include <stop_token>
#include <system_error>
#include <thread>

#include "build/error_line.h"
#include "build/project_paths.h"
#include "lsp/text_document.h"
#include "platform/any_case_file.h"
#include "platform/environment.h"
#include "platform/posix_process_launcher.h"
#include "platform/regular_file.h"
#include "platform/wine_registry.h"
#include "settings/settings.h"

namespace quillon::lsp {

namespace fs = std::filesystem;

struct HeadlessCompiler::Run {
  std::stop_source stop;
};

namespace {

fs::path withExtension(fs::path file, const char* extension) {
  return file.replace_extension(extension);
}

std::optional<fs::path> existing(const fs::path& file) {
  std::error_code ec;
  if (fs::is_regular_file(file, ec)) return file;
  return platform::findAnyCase(file);
}

// The error file's lines that lead to a place, each pointed at the file it names: beside the
// source, else in the MapBasic folder, in any letter case.
std::vector<SourceCompiler::Error> readErrors(const fs::path& errorFile, const fs::path& source,
                                              const fs::path& mapBasic) {
  std::vector<SourceCompiler::Error> errors;
  std::error_code ec;
  const std::optional<platform::FileBytes> bytes =
      platform::readRegularFileBytes(errorFile, std::uint64_t{64} << 20, ec);
  if (!bytes) return errors;
  for (std::string_view line : splitLines(std::string_view(bytes->data.get(), bytes->size))) {
    if (line.empty()) continue;
    const build::ErrorLine parsed = build::ErrorLine::parse(line);
    SourceCompiler::Error error;
    error.message = std::string(line);
    if (parsed.leadsSomewhere()) {
      std::string name = parsed.fileName;
      std::replace(name.begin(), name.end(), '\\', '/');
      const fs::path named = fs::path(name).filename();
      if (auto beside = existing(source.parent_path() / named))
        error.file = *beside;
      else if (auto inFolder = mapBasic.empty() ? std::nullopt : existing(mapBasic / named))
        error.file = *inFolder;
      error.line = *parsed.lineNumber;
    }
    errors.push_back(std::move(error));
  }
  return errors;
}

SourceCompiler::Outcome compileNow(const fs::path& source, const ServerSettings& settings,
                                   std::stop_token stop) {
  using Outcome = SourceCompiler::Outcome;
  platform::Environment environment = platform::Environment::fromProcess();
  if (!settings.winePrefix.empty()) environment.winePrefix = settings.winePrefix.string();
  fs::path folder = settings.mapBasicFolder;
  if (folder.empty()) folder = settings::wineRegistryLookup(environment)().mapBasic;
  const platform::WineRegistry drives =
      platform::WineRegistry::fromText({}, {}, environment.winePrefixFolder());
  if (!folder.empty()) folder = build::ProjectPaths::localFolder(folder, drives);
  const std::optional<fs::path> exe =
      folder.empty() ? std::nullopt : existing(folder / "MapBasic.exe");
  if (!exe)
    return {
        Outcome::Kind::noCompiler,
        folder.empty()
            ? "No MapBasic compiler: set the MapBasic folder (mapbasicFolder) to compile on save"
            : "Can Not Locate MapBasic.exe in " + folder.string(),
        {}};

  for (const char* extension : {".mbx", ".mbo", ".err"}) {
    const fs::path stale = withExtension(source, extension);
    std::error_code ec;
    if (auto found = existing(stale); found && !fs::remove(*found, ec) && ec)
      return {Outcome::Kind::failed, "Can not delete " + found->string(), {}};
  }
  platform::PosixProcessLauncher launcher(environment);
  const platform::ProcessLauncher::Result started =
      launcher.launch({*exe, {"-D", source.string()}, source.parent_path(), 0, 0x20});
  if (const auto* error = std::get_if<platform::LaunchError>(&started))
    return {Outcome::Kind::failed, "Can not start " + exe->string() + ": " + error->message, {}};
  const auto& child = std::get<std::shared_ptr<platform::ChildProcess>>(started);
  if (child->wait(std::nullopt, stop) == platform::ChildProcess::WaitResult::Stopped)
    return {Outcome::Kind::stopped, "", {}};

  const std::string name = source.filename().string();
  if (const std::optional<fs::path> err = existing(withExtension(source, ".err")))
    return {Outcome::Kind::failed, "COMPILE FAILED....", readErrors(*err, source, folder)};
  if (existing(withExtension(source, ".mbx")))
    return {Outcome::Kind::compiled,
            "COMPILED APP: " + withExtension(source.filename(), ".mbx").string(),
            {}};
  if (existing(withExtension(source, ".mbo")))
    return {Outcome::Kind::compiled,
            "COMPILED MODULE: " + withExtension(source.filename(), ".mbo").string(),
            {}};
  return {Outcome::Kind::failed, "NO OUTPUT FROM COMPILER: " + name, {}};
}

}  // namespace

HeadlessCompiler::HeadlessCompiler(EventQueue& queue, fs::path programDir)
    : queue_(queue), programDir_(std::move(programDir)) {}

HeadlessCompiler::~HeadlessCompiler() {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (auto& [source, run] : running_) run->stop.request_stop();
}

void HeadlessCompiler::compile(const fs::path& source, const ServerSettings& settings, Done done) {
  auto run = std::make_shared<Run>();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    auto& slot = running_[source];
    if (slot) slot->stop.request_stop();
    slot = run;
  }
  std::thread([this, source, settings, run, done = std::move(done)]() mutable {
    SourceCompiler::Outcome outcome;
    try {
      outcome = compileNow(source, settings, run->stop.get_token());
    } catch (const std::exception& e) {
      outcome = {SourceCompiler::Outcome::Kind::failed, e.what(), {}};
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (auto it = running_.find(source); it != running_.end() && it->second == run)
        running_.erase(it);
    }
    queue_.post([done = std::move(done), outcome = std::move(outcome)]() mutable {
      done(std::move(outcome));
    });
  }).detach();
}

}  // namespace quillon::lsp
