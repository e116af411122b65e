#include "platform/wine_automation.h"

#include <algorithm>

#include "platform/any_case_file.h"

namespace quillon::platform {

WineAutomation::WineAutomation(Environment environment, ProcessLauncher& launcher,
                               std::function<std::filesystem::path()> mapInfoFolder)
    : environment_(std::move(environment)),
      launcher_(launcher),
      mapInfoFolder_(std::move(mapInfoFolder)) {}

std::filesystem::path WineAutomation::findGisProgram(const std::filesystem::path& folder) {
  if (folder.empty()) return {};
  for (const char* name : {"Mapinfow.exe", "MapInfoPro.exe"}) {
    std::error_code ec;
    if (const auto found = findAnyCase(folder / name);
        found && std::filesystem::is_regular_file(*found, ec))
      return *found;
  }
  return {};
}

std::optional<std::string> WineAutomation::applicationOf(std::string_view statement) {
  constexpr std::string_view head = "run application \"";
  if (!statement.starts_with(head) || statement.size() < head.size() + 1 || statement.back() != '"')
    return std::nullopt;
  const std::string_view inner = statement.substr(head.size(), statement.size() - head.size() - 1);
  std::string path;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '"') {
      if (i + 1 >= inner.size() || inner[i + 1] != '"')
        return std::nullopt;  // a lone quote ends nothing
      ++i;
    }
    path += inner[i];
  }
  if (path.empty()) return std::nullopt;
  return path;
}

bool WineAutomation::attach() {
  program_.clear();
  if (!environment_.findProgram("wine")) return false;
  program_ = findGisProgram(mapInfoFolder_ ? mapInfoFolder_() : std::filesystem::path());
  return !program_.empty();
}

std::optional<std::string> WineAutomation::doStatement(std::string_view statement) {
  if (program_.empty()) return std::string("MapInfo is not attached");
  const std::optional<std::string> application = applicationOf(statement);
  if (!application) return "Not supported on this system: " + std::string(statement);
  std::erase_if(started_, [](const std::shared_ptr<ChildProcess>& c) { return !c->active(); });
  LaunchRequest request;
  request.program = program_;
  request.arguments = {*application};
  request.workingFolder = program_.parent_path();
  const ProcessLauncher::Result result = launcher_.launch(request);
  if (const auto* error = std::get_if<LaunchError>(&result))
    return "Can Not Start " + program_.string() + ": " + error->message;
  started_.push_back(std::get<std::shared_ptr<ChildProcess>>(result));
  return std::nullopt;
}

}  // namespace quillon::platform
