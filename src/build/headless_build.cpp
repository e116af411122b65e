#include "build/headless_build.h"

#include <array>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

#include "build/error_line.h"
#include "build/error_panel.h"
#include "build/proc_runner.h"
#include "editor/code_memo.h"
#include "pages/document_commands.h"
#include "pages/recent_list.h"
#include "platform/any_case_file.h"
#include "platform/ascii_text.h"
#include "platform/command_states.h"
#include "platform/main_thread.h"
#include "platform/main_view.h"
#include "platform/regular_file.h"
#include "platform/text_lines.h"
#include "platform/ui.h"
#include "platform/wine_automation.h"
#include "settings/option_commands.h"
#include "settings/settings.h"

namespace quillon::build {

namespace fs = std::filesystem;

namespace {

// The screen of a build without one: status texts are kept, messages are problems in
// words, and every question or picker is answered as if cancelled (and counted as a problem).
class ConsoleUi final : public platform::Ui {
public:
  std::vector<std::string> problems;

  void showMessage(std::string_view text) override { problems.emplace_back(text); }
  Answer ask(std::string_view, std::string_view text, Buttons) override {
    problems.push_back("unanswered question: " + std::string(text));
    return Answer::Cancel;
  }
  std::optional<std::string> prompt(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::vector<fs::path> openFiles(FileDialog&) override { return {}; }
  std::optional<fs::path> saveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<fs::path> pickFolder(std::string_view caption, const fs::path&) override {
    problems.push_back("no folder picker without a window: " + std::string(caption));
    return std::nullopt;
  }
  void setStatusText(int panel, std::string_view text) override {
    if (panel >= 0 && panel < static_cast<int>(status_.size()))
      status_[static_cast<std::size_t>(panel)] = text;
  }
  std::string statusText(int panel) const override {
    return panel >= 0 && panel < static_cast<int>(status_.size())
               ? status_[static_cast<std::size_t>(panel)]
               : std::string();
  }
  void setBusy(bool) override {}
  void processPendingMessages() override {}

private:
  std::array<std::string, 5> status_;
};

class NoView final : public platform::MainView {
public:
  void setRegionVisible(Region, bool) override {}
  bool regionVisible(Region) const override { return false; }
  void setCaption(std::string_view) override {}
  void setTabs(const std::vector<std::string>&, int) override {}
  void setWindowMenu(const std::vector<std::string>&) override {}
  void setBookmarkCaption(int, std::string_view) override {}
  void setTabMarks(const std::vector<bool>&) override {}
  void setWindowMenuMarks(const std::vector<bool>&) override {}
  void setEditorFont(const platform::FontInfo&) override {}
  void setEditorBackground(platform::Color) override {}
  void setEditorAltFont(const platform::FontInfo&) override {}
  std::optional<platform::FontInfo> chooseFont(const platform::FontInfo&) override {
    return std::nullopt;
  }
  void showColorPicker(platform::Color) override {}
  void setRecentMenus(const std::vector<std::string>&, const std::vector<std::string>&) override {}
  platform::WindowPlacement windowPlacement() const override { return {}; }
  void setWindowPlacement(const platform::WindowPlacement&) override {}
  platform::ScreenRect screen() const override { return {}; }
  void centreWindow() override {}
  void setContextItems(const std::vector<std::string>&, int) override {}
  void showBottomPanel(BottomPage) override { visible_ = true; }
  void hideBottomPanel() override { visible_ = false; }
  bool bottomPanelVisible() const override { return visible_; }
  bool bottomPanelShows(BottomPage) const override { return false; }
  bool editorHasFocus() const override { return true; }
  void focusSourceEditor() override {}
  void minimize() override {}
  void bringToFront() override {}

private:
  bool visible_ = false;
};

class PlainStates final : public platform::CommandStates {
public:
  void setEnabled(platform::Command c, bool on) override { enabled_[index(c)] = on; }
  bool enabled(platform::Command c) const override { return enabled_[index(c)]; }
  void setChecked(platform::Command c, bool on) override { checked_[index(c)] = on; }
  bool checked(platform::Command c) const override { return checked_[index(c)]; }

private:
  static std::size_t index(platform::Command c) { return static_cast<std::size_t>(c); }
  std::array<bool, platform::kCommandCount> enabled_{};
  std::array<bool, platform::kCommandCount> checked_{};
};

class NoBookmarks final : public pages::BookmarkKeeper {
public:
  void clearAllBookmarks() override {}
  pages::Page::Captions bookmarkCaptions() const override { return pages::Page::bareCaptions(); }
  void setBookmarkCaptions(const pages::Page::Captions&) override {}
  void restoreBookmarks() override {}
};

// Nothing is posted: the build assigns no completion event.
class NoMainThread final : public platform::MainThread {
public:
  void post(std::function<void()>) override {}
};

// The build's polls sleep in short slices; with no messages to process the command line
// looks at the compiler more often, and the long fixed waits stay as they are.
class EagerClock final : public platform::Clock {
public:
  explicit EagerClock(platform::Clock& clock) : clock_(clock) {}
  TimePoint now() const override { return clock_.now(); }
  void sleepFor(std::chrono::milliseconds d) override {
    clock_.sleepFor(d <= BuildCommands::kPauseSlice ? std::min(d, std::chrono::milliseconds(2))
                                                    : d);
  }

private:
  platform::Clock& clock_;
};

// Far beyond any compiler's error list; a larger file is no error list.
constexpr std::uint64_t kErrorFileLimit = 64u << 20;

std::string lowerExtension(const fs::path& file) {
  std::string ext = platform::asciiLowered(file.extension().string());
  return ext.empty() ? ext : ext.substr(1);
}

// Why `file` cannot be built, in words; empty when it can be read. Nothing here opens it,
// so a FIFO never blocks.
std::string unreadable(const fs::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return file.string() + ": no such file";
  if (S_ISDIR(st.st_mode)) return file.string() + ": is a folder, not a file";
  if (!S_ISREG(st.st_mode)) return file.string() + ": is not a regular file";
  if (::access(file.c_str(), R_OK) != 0) return file.string() + ": cannot be read";
  return {};
}

}  // namespace

std::string formatDiagnostic(const Diagnostic& d) {
  return d.file.string() + ":" + std::to_string(d.line) + ": error: " + d.message;
}

std::vector<Diagnostic> readDiagnostics(const fs::path& errorFile, const fs::path& mapBasicFolder) {
  std::vector<Diagnostic> out;
  std::error_code ec;
  const std::optional<std::string> text = platform::readRegularFile(errorFile, kErrorFileLimit, ec);
  if (!text) return out;
  const fs::path folder = errorFile.parent_path();
  platform::forEachLine(*text, [&](const platform::TextLine& textLine) {
    const std::string_view line = textLine.text;
    const ErrorLine error = ErrorLine::parse(line);
    if (!error.leadsSomewhere() || *error.lineNumber < 1) return;
    Diagnostic d;
    d.line = *error.lineNumber;
    const std::size_t close = line.find(')');
    d.message = std::string(platform::trim(line.substr(close + 1)));
    d.file = folder / error.fileName;
    // A name with a folder part is no name of a file beside the source.
    const bool plain =
        error.fileName.find_first_of("/\\") == std::string::npos && error.fileName != "..";
    for (const fs::path& where : {folder, mapBasicFolder}) {
      if (!plain || where.empty()) continue;
      const std::optional<fs::path> found = platform::findAnyCase(where / error.fileName);
      std::error_code ec;
      if (found && fs::is_regular_file(*found, ec)) {
        d.file = *found;
        break;
      }
    }
    out.push_back(std::move(d));
  });
  return out;
}

// The objects of a build, made anew for each file: one page, one run.
struct HeadlessBuild::Parts {
  ConsoleUi ui;
  NoView view;
  PlainStates states;
  NoBookmarks bookmarks;
  NoMainThread mainThread;
  EagerClock clock;
  editor::CodeMemo sourceEditor;
  editor::CodeMemo errorView;
  pages::RecentList windowList{pages::PageTable::kMaxTabs, pages::DocumentCommands::documentKey};
  settings::OptionCommands options{ui, view, states, sourceEditor};
  pages::DocumentCommands documents{
      {ui, view, states, sourceEditor, errorView, bookmarks, windowList}};
  ProcRunner runner;
  ErrorPanel errorPanel{{ui, view, states, sourceEditor, errorView, documents}};
  std::unique_ptr<platform::WineAutomation> wine;
  BuildCommands commands;
  std::unique_ptr<settings::Settings> settings;

  Parts(const Ports& ports, const platform::Environment& environment)
      : clock(ports.clock),
        runner(ports.launcher, mainThread),
        wine(ports.automation
                 ? nullptr
                 : std::make_unique<platform::WineAutomation>(
                       environment, ports.launcher, [this] { return commands.mapInfoFolder(); })),
        commands({ui, view, states, sourceEditor, documents, options, errorPanel, runner, clock,
                  ports.automation ? *ports.automation : *wine}) {}
};

HeadlessBuild::HeadlessBuild(Ports ports, Surroundings surroundings)
    : ports_(ports), surroundings_(std::move(surroundings)) {}

HeadlessBuild::~HeadlessBuild() = default;

HeadlessBuild::Result HeadlessBuild::build(Mode mode, const fs::path& given) {
  Result result;
  std::error_code ec;
  fs::path file = fs::absolute(given, ec);
  if (ec) file = given;
  if (const std::string why = unreadable(file); !why.empty()) {
    result.problems.push_back(why);
    return result;
  }
  const std::string ext = lowerExtension(file);
  const bool typeFits = mode == Mode::Compile ? ext == "mb"
                        : mode == Mode::Link  ? ext == "mbp"
                                              : (ext == "mb" || ext == "mbp" || ext == "mbx");

  Parts parts(ports_, surroundings_.environment);
  parts.settings = std::make_unique<settings::Settings>(
      parts.ui, surroundings_.programFile, surroundings_.environment, surroundings_.folderLookup);
  parts.settings->read(false);
  settings::SettingsValues& values = parts.settings->values();
  parts.ui.problems.clear();  // the first run's folder questions: the check below says it in words
  parts.commands.setSurroundings(&values, surroundings_.environment);
  parts.options.initialize();
  parts.states.setChecked(platform::Command::ShowDoneBox1, false);
  parts.documents.startUp();

  if (typeFits && mode != Mode::Run) {
    const fs::path folder = parts.commands.mapBasicFolder();
    if (folder.empty()) {
      result.problems.push_back("no MapBasic folder: set MapBasic= in " +
                                parts.settings->path().string() +
                                " or install MapBasic in the Wine prefix " +
                                surroundings_.environment.winePrefixFolder().string());
      return result;
    }
    const std::optional<fs::path> exe = platform::findAnyCase(folder / "MapBasic.exe");
    if (!exe || !fs::is_regular_file(*exe, ec)) {
      result.problems.push_back("MapBasic.exe not found in " + folder.string());
      return result;
    }
  }

  parts.documents.setCommandLineFile(file.string());
  parts.documents.open(pages::DocumentCommands::Opener::Dialog);
  if (parts.documents.currentFile() != file.string()) {
    for (std::string& p : parts.ui.problems) result.problems.push_back(std::move(p));
    result.problems.push_back(file.string() + ": cannot be opened");
    return result;
  }
  parts.ui.problems.clear();
  parts.ui.setStatusText(platform::Ui::kMessagePanel, {});
  switch (mode) {
    case Mode::Compile: parts.commands.compile(); break;
    case Mode::Link: parts.commands.link(); break;
    case Mode::Run: parts.commands.run(); break;
  }
  result.summary = parts.ui.statusText(platform::Ui::kMessagePanel);
  result.report = parts.commands.lastReport();
  result.problems = std::move(parts.ui.problems);

  using R = BuildReport::Result;
  if (mode == Mode::Run) {
    result.status = result.problems.empty() ? kBuilt : kFailed;
    if (!result.report.errorFile.empty() || result.summary == "PREVIOUS COMPILE FAILED....")
      result.status = kFailed;
    return result;
  }
  switch (result.report.result) {
    case R::Built:
      result.status = result.report.exitCode.value_or(0) == 0 ? kBuilt : kFailed;
      break;
    case R::Failed:
      result.status = kFailed;
      result.diagnostics =
          readDiagnostics(result.report.errorFile, parts.commands.mapBasicFolder());
      break;
    case R::NoOutput:
    case R::Stopped: result.status = kFailed; break;
    case R::NotStarted:
    case R::None:
      if (result.problems.empty() && result.summary.empty())
        result.problems.push_back(file.string() + ": nothing to build (the file is empty)");
      result.status = kUnusable;
      break;
  }
  return result;
}

// ----- The command line -----

namespace {

constexpr const char* kUsage =
    "Usage: quillon [FILE]\n"
    "       quillon --compile FILE.mb...\n"
    "       quillon --link FILE.mbp\n"
    "       quillon --run FILE.mbx|FILE.mb|FILE.mbp\n"
    "       quillon --help | --version\n"
    "\n"
    "Without an option the editor opens FILE. With one, no window opens: the MapBasic\n"
    "compiler runs as the editor runs it (through Wine, with the folders of the settings\n"
    "file), and each error is printed to standard error as PATH:LINE: error: MESSAGE.\n"
    "\n"
    "Exit status: 0 built, 1 the build failed, 2 bad usage, no compiler or unreadable input.\n";

}  // namespace

bool isCommandLineBuild(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  const std::string& first = arguments.front();
  return first == "--compile" || first == "--link" || first == "--run" || first == "--help" ||
         first == "-h" || first == "--version";
}

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   HeadlessBuild::Ports ports, HeadlessBuild::Surroundings surroundings) {
  auto usage = [&err](const std::string& why) {
    err << "quillon: " << why << "\nTry 'quillon --help'.\n";
    return HeadlessBuild::kUnusable;
  };
  if (arguments.empty()) return usage("no option given");
  const std::string& option = arguments.front();
  if (option == "--help" || option == "-h") {
    out << kUsage;
    return HeadlessBuild::kBuilt;
  }
  if (option == "--version") {
    out << "quillon " << surroundings.version << "\n";
    return HeadlessBuild::kBuilt;
  }
  HeadlessBuild::Mode mode = HeadlessBuild::Mode::Compile;
  if (option == "--link")
    mode = HeadlessBuild::Mode::Link;
  else if (option == "--run")
    mode = HeadlessBuild::Mode::Run;
  else if (option != "--compile")
    return usage("unknown option '" + option + "'");

  std::vector<fs::path> files;
  bool optionsEnd = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (!optionsEnd && a == "--") {
      optionsEnd = true;
      continue;
    }
    if (!optionsEnd && !a.empty() && a.front() == '-')
      return usage("unknown option '" + a + "' (a file name that begins with '-' goes after '--')");
    files.emplace_back(a);
  }
  if (files.empty()) return usage(option + " needs a file");
  if (mode != HeadlessBuild::Mode::Compile && files.size() > 1)
    return usage(option + " takes one file");
  for (const fs::path& f : files) {
    const std::string ext = platform::asciiLowered(f.extension().string());
    if (mode == HeadlessBuild::Mode::Compile && ext != ".mb")
      return usage("--compile takes .mb files, not '" + f.string() + "'" +
                   (ext == ".mbp" ? " (use --link)" : ""));
    if (mode == HeadlessBuild::Mode::Link && ext != ".mbp")
      return usage("--link takes a .mbp file, not '" + f.string() + "'");
    if (mode == HeadlessBuild::Mode::Run && ext != ".mbx" && ext != ".mb" && ext != ".mbp")
      return usage("--run takes a .mbx, .mb or .mbp file, not '" + f.string() + "'");
  }

  int status = HeadlessBuild::kBuilt;
  HeadlessBuild builder(ports, std::move(surroundings));
  for (const fs::path& f : files) {
    const HeadlessBuild::Result r = builder.build(mode, f);
    if (!r.report.output.empty()) {
      out << r.report.output;
      if (r.report.output.back() != '\n') out << '\n';
    }
    if (r.report.droppedBytes)
      out << "(" << r.report.droppedBytes << " more bytes of output dropped)\n";
    for (const Diagnostic& d : r.diagnostics) err << formatDiagnostic(d) << '\n';
    for (const std::string& p : r.problems) err << "quillon: " << p << '\n';
    if (!r.summary.empty()) out << r.summary << '\n';
    if (r.report.exitCode && *r.report.exitCode != 0)
      err << "quillon: the compiler ended with exit code " << *r.report.exitCode << '\n';
    status = std::max(status, r.status);
  }
  out.flush();
  return status;
}

}  // namespace quillon::build
