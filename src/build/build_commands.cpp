#include "build/build_commands.h"

#include <algorithm>

#include "build/project_paths.h"
#include "build/windows_command_line.h"
#include "editor/code_memo.h"
#include "platform/any_case_file.h"
#include "platform/ascii_text.h"
#include "platform/wine_automation.h"
#include "platform/wine_registry.h"

namespace quillon::build {

namespace fs = std::filesystem;
using platform::Command;
using Answer = platform::Ui::Answer;

namespace {

fs::path withExtension(fs::path path, const char* extension) {
  path.replace_extension(extension);
  return path;
}

bool isFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// A file named on the command line may be relative; the compiler runs in another folder.
fs::path absolute(const std::string& file) {
  std::error_code ec;
  const fs::path path = fs::absolute(file, ec);
  return ec ? fs::path(file) : path;
}

std::optional<fs::path> existing(const fs::path& path) {
  const std::optional<fs::path> found = platform::findAnyCase(path);
  return found && isFile(*found) ? found : std::nullopt;
}

// The value after the first "=" of the first project line that `wanted` accepts; lines are
// trimmed, and empty ones and comments skipped.
template <class Accept>
std::optional<std::string> projectValue(editor::CodeMemo& memo, Accept wanted) {
  for (std::int64_t i = 0; i < memo.paragraphCount(); ++i) {
    const std::string_view line = platform::trim(memo.paragraphText(i));
    if (line.empty() || line.front() == '\'') continue;
    const std::string folded = platform::asciiLowered(line);
    if (!wanted(folded)) continue;
    const std::size_t eq = line.find('=');
    return std::string(eq == std::string_view::npos ? std::string_view()
                                                    : platform::trim(line.substr(eq + 1)));
  }
  return std::nullopt;
}

std::string doubledQuotes(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out;
}

}  // namespace

// Puts the window back as it was when a command ends, however it ends.
struct BuildCommands::CommandGuard {
  BuildCommands& b;
  bool busy = false;
  bool displayOnly = false;
  ~CommandGuard() {
    if (displayOnly) b.sourceEditor_.setDisplayOnly(false);
    if (busy) b.ui_.setBusy(false);
  }
  void setBusy() {
    if (!busy) b.ui_.setBusy(true);
    busy = true;
  }
  void setDisplayOnly() {
    b.sourceEditor_.setDisplayOnly(true);
    displayOnly = true;
  }
};

BuildCommands::BuildCommands(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      states_(parts.states),
      sourceEditor_(parts.sourceEditor),
      documents_(parts.documents),
      options_(parts.options),
      errorPanel_(parts.errorPanel),
      runner_(parts.runner),
      clock_(parts.clock),
      automation_(parts.automation) {}

void BuildCommands::setSurroundings(settings::SettingsValues* values,
                                    platform::Environment environment) {
  settings_ = values;
  environment_ = std::move(environment);
  errorPanel_.setSurroundings(environment_, [this] { return mapBasicFolder(); });
}

void BuildCommands::doneBox() {
  if (options_.showDoneBox()) ui_.showMessage(ui_.statusText(platform::Ui::kMessagePanel));
}

bool BuildCommands::pageIsBlank() const {
  for (std::int64_t i = 0; i < sourceEditor_.paragraphCount(); ++i)
    if (!platform::trim(sourceEditor_.paragraphText(i)).empty()) return false;
  return true;
}

std::string BuildCommands::currentCaption() const {
  const auto& tabs = documents_.tabCaptions();
  const int i = documents_.currentTab();
  return i >= 0 && i < static_cast<int>(tabs.size()) ? tabs[static_cast<std::size_t>(i)]
                                                     : std::string();
}

fs::path BuildCommands::localFolder(const fs::path& folder) const {
  const platform::WineRegistry drives =
      platform::WineRegistry::fromText({}, {}, environment_.winePrefixFolder());
  return ProjectPaths::localFolder(folder, drives);
}

fs::path BuildCommands::mapBasicFolder() const {
  return settings_ ? localFolder(settings_->mapBasicFolder) : fs::path();
}
fs::path BuildCommands::mapInfoFolder() const {
  return settings_ ? localFolder(settings_->mapInfoFolder) : fs::path();
}

// A page without a file gets Save As first; one that still has none cannot be built.
bool BuildCommands::savedUnderAName(const char* mustSaveText) {
  if (documents_.currentFile() != pages::DocumentCommands::kUntitled) return true;
  documents_.saveAs();
  if (documents_.currentFile() != pages::DocumentCommands::kUntitled) return true;
  setMessage(mustSaveText);
  doneBox();
  return false;
}

bool BuildCommands::saveFirst() {
  saveFailed_ = false;
  if (!sourceEditor_.modified()) return true;
  if (options_.autoSaveCompile()) {
    saveFailed_ = !documents_.save();
    return !saveFailed_;
  }
  const Answer answer = ui_.ask("Confirm", "Save \"" + currentCaption() + "\" First?",
                                platform::Ui::Buttons::YesNoCancel);
  lastSaveAnswer_ = answer;
  if (answer == Answer::Cancel) return false;
  if (answer != Answer::Yes) return true;
  // The ordinary Save: the file on disk is current, so the page is no longer modified
  // (closing must not ask again). Paragraphs are written, never wrapped display lines.
  saveFailed_ = !documents_.save();
  return !saveFailed_;
}

std::optional<fs::path> BuildCommands::pickMapBasicFolder() {
  const fs::path driveC = environment_.winePrefixFolder() / "drive_c";
  std::error_code ec;
  const std::optional<fs::path> picked =
      ui_.pickFolder(kLocateCaption, fs::is_directory(driveC, ec) ? driveC : fs::path());
  return picked;
}

std::optional<fs::path> BuildCommands::locateCompiler(Kind kind) {
  fs::path folder = mapBasicFolder();
  auto keep = [this, &folder](const fs::path& picked) {
    folder = platform::withTrailingSeparator(picked);
    if (settings_) settings_->mapBasicFolder = folder;
  };
  // A cancelled picker ends the command; panel 4 says why nothing happened.
  auto cancelled = [this](const std::string& text) {
    ui_.setStatusText(platform::Ui::kMessagePanel,
                      text + ": choose it in Options > Program Folders...");
    return std::nullopt;
  };
  if (folder.empty()) {
    const std::optional<fs::path> picked = pickMapBasicFolder();
    if (!picked) return cancelled("No MapBasic folder is set");
    if (picked->empty()) {
      ui_.showMessage(kind == Kind::Compile ? "[1]: No Path to MapBasic"
                                            : "[2]: No Path to MapBasic");
      return std::nullopt;
    }
    keep(*picked);
  }
  std::optional<fs::path> exe = existing(folder / "MapBasic.exe");
  if (!exe) {
    const std::optional<fs::path> picked = pickMapBasicFolder();
    if (!picked) return cancelled("MapBasic.exe is not in the MapBasic folder " + folder.string());
    if (!picked->empty()) {
      keep(*picked);
      exe = existing(folder / "MapBasic.exe");
    }
    if (!exe) {
      ui_.showMessage("[2]: Can Not Locate MapBasic.exe");
      return std::nullopt;
    }
  }
  return exe;
}

void BuildCommands::hideErrors() {
  if (states_.checked(Command::bError)) errorPanel_.toggle();
}

// Every spelling of `file` goes; false (after a message) when one cannot.
bool BuildCommands::removeStale(const fs::path& file) {
  while (const std::optional<fs::path> found = platform::findAnyCase(file)) {
    std::error_code ec;
    if (!fs::remove(*found, ec) || ec) {
      ui_.showMessage("Cannot delete file " + found->string());
      return false;
    }
  }
  return true;
}

namespace {

// Each argument bare when Windows would read it back unchanged, else quoted.
std::string shownCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& a : arguments) {
    if (!line.empty()) line += ' ';
    const bool bare = !a.empty() && a.find_first_of(" \t\"") == std::string::npos;
    line += bare ? a : WindowsCommandLine::quote(a);
  }
  return line;
}

}  // namespace

bool BuildCommands::waitForCompiler(platform::ChildProcess* child) {
  using End = platform::ChildProcess::EndSignal;
  // The pause guards the compiler's start only: it ends as soon as the compiler has.
  const auto pauseEnd = clock_.now() + kStartPause;
  while (!abandoned_ && runner_.isRunning()) {
    const auto now = clock_.now();
    if (stopAt_ || now >= pauseEnd) break;
    ui_.processPendingMessages();
    clock_.sleepFor(std::min<std::chrono::milliseconds>(
        kPauseSlice, std::chrono::duration_cast<std::chrono::milliseconds>(pauseEnd - now)));
  }
  for (;;) {
    const bool running = runner_.isRunning();
    // A stopped compiler's group is waited for too: what it started goes with it.
    const bool left = running || (stopAt_ && child && !killed_ && child->signalEnd(End::Probe));
    if (abandoned_ || !left) break;
    if (stopAt_ && !killed_ && clock_.now() >= *stopAt_ + kStopGrace) {
      if (child) child->signalEnd(End::Kill);
      killed_ = true;
    }
    ui_.processPendingMessages();
    clock_.sleepFor(kPollInterval);
  }
  return !abandoned_;
}

bool BuildCommands::runCompiler(const fs::path& exe, const std::string& parameters,
                                const fs::path& folder, const std::string& runningText) {
  setMessage(runningText);
  ui_.processPendingMessages();

  static constexpr Command kBuildCommands[] = {Command::bCompile, Command::Compile1, Command::bLink,
                                               Command::Link1,    Command::bRun,     Command::Run1};
  bool enabled[std::size(kBuildCommands)];
  for (std::size_t i = 0; i < std::size(kBuildCommands); ++i) {
    enabled[i] = states_.enabled(kBuildCommands[i]);
    states_.setEnabled(kBuildCommands[i], false);
  }
  const int tab = documents_.currentTab();
  const std::string file = documents_.currentFile();
  waiting_ = true;
  abandoned_ = false;
  stopAt_.reset();
  killed_ = false;
  struct EndWait {
    BuildCommands& b;
    const bool (&enabled)[std::size(kBuildCommands)];
    int tab;
    std::string file;
    ~EndWait() {
      b.waiting_ = false;
      // A page entered meanwhile has set Compile and Link for itself.
      const bool samePage = b.documents_.currentTab() == tab && b.documents_.currentFile() == file;
      for (std::size_t i = 0; i < std::size(kBuildCommands); ++i)
        if (samePage || kBuildCommands[i] == Command::bRun || kBuildCommands[i] == Command::Run1)
          b.states_.setEnabled(kBuildCommands[i], enabled[i]);
    }
  } endWait{*this, enabled, tab, file};

  runner_.reset();
  runner_.setProcIdentifier("101");
  runner_.setWaitUntilDone(false);
  runner_.setWindowType(WindowType::wtMinNoActivate);
  runner_.setCaptureOutput(true);
  runner_.setProcFileName(exe.string());
  runner_.setProcParameters(parameters);
  runner_.setProcCurrentDir(folder.string());
  const auto started = clock_.now();
  const bool launched = runner_.execute();
  // A run of the same compiler still active is waited for, as its outputs are the ones read.
  const bool failed = !launched && runner_.lastError() != ProcRunner::kAlreadyRunning;
  const std::string reason = runner_.lastErrorMessage();
  const std::shared_ptr<platform::ChildProcess> child = failed ? nullptr : runner_.lastChild();

  report_ = BuildReport();
  report_.folder = folder;
  std::vector<std::string> arguments =
      child ? child->commandArguments() : std::vector<std::string>();
  if (arguments.empty()) {
    arguments = WindowsCommandLine::split(parameters);
    arguments.insert(arguments.begin(), exe.string());
  }
  report_.commandLine = shownCommandLine(arguments);

  const bool waited = waitForCompiler(child.get());
  report_.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(clock_.now() - started);
  if (child) {
    report_.exitCode = child->exitCode();
    platform::ChildProcess::Output output = child->takeOutput();
    report_.output = std::move(output.text);
    report_.droppedBytes = output.dropped;
  }
  if (!waited) return false;
  errorPanel_.clear();
  if (failed) {
    setMessage("Can Not Start " + exe.string() + ": " + reason);
    report_.output = reason;
    finishReport(BuildReport::Result::NotStarted);
  }
  if (stopAt_) report_.result = BuildReport::Result::Stopped;
  return !failed && !stopAt_;
}

void BuildCommands::finishReport(BuildReport::Result result, const fs::path& errorFile) {
  report_.result = result;
  report_.errorFile = errorFile;
  if (reportReady) reportReady(report_);
  const bool crashed = result == BuildReport::Result::NotStarted ||
                       (result != BuildReport::Result::Stopped && errorFile.empty() &&
                        report_.exitCode && *report_.exitCode != 0);
  if (crashed) {
    // Neither toggle shows its page now.
    states_.setChecked(Command::ShowErrors1, Command::bError, false);
    states_.setChecked(Command::HelpContext1, false);
    view_.showBottomPanel(platform::MainView::BottomPage::BuildOutput);
  }
}

void BuildCommands::reportStopped(const std::string& name, const std::vector<fs::path>& outputs) {
  setMessage(kStopped + name);
  for (const fs::path& stale : outputs)
    if (!removeStale(stale)) break;
  finishReport(BuildReport::Result::Stopped);
}

void BuildCommands::showOutput() {
  view_.showBottomPanel(platform::MainView::BottomPage::BuildOutput);
}

void BuildCommands::stopBuild() {
  if (!waiting_ || stopAt_) return;
  stopAt_ = clock_.now();
  if (const auto& child = runner_.lastChild())
    child->signalEnd(platform::ChildProcess::EndSignal::Terminate);
}

void BuildCommands::stopBuildNow() {
  if (!waiting_) return;
  stopBuild();
  using End = platform::ChildProcess::EndSignal;
  const std::shared_ptr<platform::ChildProcess> child = runner_.lastChild();
  if (!child) return;
  while (child->signalEnd(End::Probe) && clock_.now() < *stopAt_ + kStopGrace)
    clock_.sleepFor(kPollInterval);
  if (child->signalEnd(End::Probe)) child->signalEnd(End::Kill);
  killed_ = true;
  // The kill is certain; the leader is reaped so that no zombie is left either.
  child->wait(std::chrono::milliseconds(1000), {});
}

void BuildCommands::showErrors(const std::string& text, const fs::path& errorFile) {
  setMessage(text);
  doneBox();
  const bool loaded = errorPanel_.load(errorFile);
  errorPanel_.show();
  ui_.processPendingMessages();
  if (!loaded) {
    ui_.showMessage("Cannot open file " + errorFile.string());
    return;
  }
  errorPanel_.jumpToFirstLine();
}

// The first steps of Compile and Link: a page with text, saved under a name, of the type built.
bool BuildCommands::pageBuildable(Kind kind) {
  const bool compiling = kind == Kind::Compile;
  if (waiting_ || pageIsBlank()) return false;
  if (!savedUnderAName(compiling ? "File Must Be Saved Before Compiling...."
                                 : "File Must Be Saved Before Linking...."))
    return false;
  const std::string ext = documents_.currentExt();
  if (platform::asciiLowered(ext) == (compiling ? "mb" : "mbp")) return true;
  ui_.showMessage(compiling ? "Can not compile type \"" + ext + "\" - Must be MB"
                            : "Can not link type \"" + ext + "\" - Must be MBP");
  return false;
}

void BuildCommands::compile() {
  if (waiting_) return;
  report_ = BuildReport();
  if (!pageBuildable(Kind::Compile)) return;
  const fs::path file = absolute(documents_.currentFile());
  if (!saveFirst()) return;
  const std::optional<fs::path> exe = locateCompiler(Kind::Compile);
  if (!exe) return;
  hideErrors();
  for (const char* extension : {".mbx", ".mbo", ".err"})
    if (!removeStale(withExtension(file, extension))) return;
  marker_.clear(file.string());

  CommandGuard guard{*this};
  guard.setDisplayOnly();
  guard.setBusy();
  const std::string name = file.filename().string();
  if (!runCompiler(*exe, " -D " + WindowsCommandLine::quote(file.string()), file.parent_path(),
                   "COMPILING: " + name)) {
    if (report_.result == BuildReport::Result::Stopped)
      reportStopped(name, {withExtension(file, ".mbx"), withExtension(file, ".mbo"),
                           withExtension(file, ".err")});
    return;
  }

  const bool app = existing(withExtension(file, ".mbx")).has_value();
  const bool module = existing(withExtension(file, ".mbo")).has_value();
  if (app) {
    setMessage("COMPILED APP: " + withExtension(file.filename(), ".mbx").string());
    doneBox();
  }
  if (module) {
    setMessage("COMPILED MODULE: " + withExtension(file.filename(), ".mbo").string());
    doneBox();
  }
  if (const std::optional<fs::path> err = existing(withExtension(file, ".err"))) {
    finishReport(BuildReport::Result::Failed, *err);
    marker_.mark(*err, file.string());
    showErrors("COMPILE FAILED....", *err);
  } else {
    errorPanel_.clear();
    // A compiler that ended without a word must not look as if it still ran.
    if (!app && !module) setMessage(kNoOutput + name);
    finishReport(app || module ? BuildReport::Result::Built : BuildReport::Result::NoOutput);
  }
}

void BuildCommands::link() {
  if (waiting_) return;
  report_ = BuildReport();
  if (!pageBuildable(Kind::Link)) return;
  const fs::path project = absolute(documents_.currentFile());
  const std::string caption = currentCaption();
  if (!saveFirst()) return;
  const std::optional<fs::path> exe = locateCompiler(Kind::Link);
  if (!exe) return;
  hideErrors();
  const std::optional<std::string> application =
      projectValue(sourceEditor_, [](const std::string& line) {
        return line.find("application") != std::string::npos &&
               line.find('=') != std::string::npos && line.find(".mbx") != std::string::npos;
      });
  if (!application) {
    ui_.showMessage("Error Locating \"Application=\" In Code");
    return;
  }
  const platform::WineRegistry drives =
      platform::WineRegistry::fromText({}, {}, environment_.winePrefixFolder());
  const fs::path target = ProjectPaths(project, drives).resolve(*application);
  for (const fs::path& stale : {withExtension(target, ".mbx"), withExtension(target, ".err"),
                                withExtension(project, ".err")})
    if (!removeStale(stale)) return;
  marker_.clear(project.string());

  CommandGuard guard{*this};
  guard.setBusy();
  if (!runCompiler(*exe, " -L " + WindowsCommandLine::quote(project.string()), exe->parent_path(),
                   "LINKING: " + *application)) {
    if (report_.result == BuildReport::Result::Stopped)
      reportStopped(*application, {withExtension(target, ".mbx"), withExtension(project, ".err")});
    return;
  }

  const bool linked = existing(target).has_value();
  if (linked) {
    setMessage("LINKED: " + *application + "\nIn File: " + caption);
    doneBox();
  }
  if (const std::optional<fs::path> err = existing(withExtension(project, ".err"))) {
    finishReport(BuildReport::Result::Failed, *err);
    marker_.mark(*err, project.string());
    showErrors("LINK FAILED....", *err);
  } else {
    errorPanel_.clear();
    if (!linked) setMessage(kNoOutput + caption);
    finishReport(linked ? BuildReport::Result::Built : BuildReport::Result::NoOutput);
  }
}

void BuildCommands::startGisProgram() {
  const fs::path folder = mapInfoFolder();
  fs::path program = platform::WineAutomation::findGisProgram(folder);
  if (program.empty()) program = folder / "Mapinfow.exe";
  runner_.reset();
  runner_.setProcFileName(program.string());
  runner_.setProcCurrentDir(folder.string());
  runner_.setWaitUntilDone(false);
  runner_.setWindowType(WindowType::wtNorm);
  runner_.execute();
}

void BuildCommands::run() {
  if (waiting_ || pageIsBlank()) return;
  const std::string ext = documents_.currentExt();
  if (sourceEditor_.modified()) {
    lastSaveAnswer_.reset();
    saveFailed_ = false;
    if (ext == "mb")
      compile();
    else if (ext == "mbp")
      link();
    if (lastSaveAnswer_ == Answer::Cancel) {
      setMessage("User Canceled Required Save.....");
      return;
    }
    if (saveFailed_) return;
  }

  const fs::path file = absolute(documents_.currentFile());
  const std::string caption = currentCaption();
  const platform::WineRegistry drives =
      platform::WineRegistry::fromText({}, {}, environment_.winePrefixFolder());
  fs::path application;
  if (ext == "mbp") {
    const std::optional<std::string> value = projectValue(
        sourceEditor_, [](const std::string& line) { return line.starts_with("application"); });
    if (value && value->empty()) setMessage("Project *Application=* Not Specified");
    if (value && !value->empty()) application = ProjectPaths(file, drives).resolve(*value);
    if (application.empty()) {
      ui_.showMessage("Can Not Find Application To Run In MBP");
      return;
    }
  } else {
    application = withExtension(file, ".mbx");
    if (!application.has_parent_path()) application = documents_.projectFolder() / application;
  }

  // A project's own error file, like a source's, lies beside it.
  fs::path errorFile = withExtension(file, ".err");
  if (!errorFile.has_parent_path()) errorFile = documents_.projectFolder() / errorFile;
  if (const std::optional<fs::path> err = existing(errorFile))
    showErrors("PREVIOUS COMPILE FAILED....", *err);
  else
    errorPanel_.clear();

  const std::optional<fs::path> found = existing(application);
  if (!found) {
    const std::string captionExt = platform::asciiLowered(fs::path(caption).extension().string());
    if (captionExt == ".mbp")
      ui_.showMessage("Please Link \"" + caption + "\" First");
    else if (captionExt == ".mb")
      ui_.showMessage("Please Compile \"" + caption + "\" First");
    else
      ui_.showMessage("Not A Runnable File \"" + caption + "\"");
    return;
  }

  CommandGuard guard{*this};
  ui_.processPendingMessages();
  bool attached = automation_.attach();
  if (attached) {
    view_.minimize();
  } else {
    automation_.release();
    ui_.processPendingMessages();
    view_.minimize();
    guard.setBusy();
    ui_.processPendingMessages();
    startGisProgram();
    attached = automation_.attach();
    if (!attached) {
      clock_.sleepFor(kAttachWait);
      clock_.sleepFor(kAttachWait);
      attached = automation_.attach();
    }
    if (!attached) {
      ui_.setBusy(false);
      guard.busy = false;
      ui_.processPendingMessages();
      ui_.showMessage("Can Not Connect OLE To Running MapInfo....");
      return;
    }
    ui_.processPendingMessages();
    view_.minimize();
    ui_.setBusy(false);
    guard.busy = false;
  }
  ui_.processPendingMessages();
  if (const std::optional<std::string> error =
          automation_.doStatement("run application \"" + doubledQuotes(found->string()) + "\""))
    ui_.showMessage(*error);
}

void BuildCommands::buildKey(bool ctrl) {
  if (waiting_) return;
  documents_.save();
  if (ctrl) {
    compile();
    return;
  }
  const std::string ext = documents_.currentExt();
  if (ext == "mb" && states_.enabled(Command::bCompile))
    compile();
  else if (ext == "mbp" && states_.enabled(Command::bLink))
    link();
  if (errorPanel_.viewIsEmpty()) run();
}

}  // namespace quillon::build
