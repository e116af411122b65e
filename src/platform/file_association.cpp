#include "platform/file_association.h"

#include "platform/ascii_text.h"

namespace quillon::platform {
namespace {

constexpr std::string_view kExtensions[] = {".mb", ".mbp"};

bool mentionsQuillon(std::string_view command) {
  return asciiLowered(command).find("quillon") != std::string::npos;
}

}  // namespace

bool FileAssociation::checkAssociation() {
  bool result = false;
  // The later extension overrides the earlier one when it is registered.
  for (auto extension : kExtensions) {
    std::string command = store_.openCommand(extension);
    if (!command.empty()) result = mentionsQuillon(command);
  }
  checked_ = result;
  return checked_;
}

Opener FileAssociation::quillonOpener(const std::filesystem::path& programPath) {
  // The program path is deliberately not quoted; registered commands have always had this form.
  return {Opener::Kind::Quillon, programPath, programPath.string() + " \"%1\""};
}

Opener FileAssociation::mapBasicOpener(const std::filesystem::path& mapBasicFolder) {
  std::string folder = mapBasicFolder.string();
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  return {Opener::Kind::MapBasic, std::filesystem::path(folder + "mapbasic.exe"),
          folder + "mapbasic.exe \"%1\""};
}

std::optional<std::string> FileAssociation::toggleDefaultEditor(
    const std::filesystem::path& programPath, const std::filesystem::path& mapBasicFolder) {
  checked_ = !checked_;
  const Opener opener = checked_ ? quillonOpener(programPath) : mapBasicOpener(mapBasicFolder);
  for (auto extension : kExtensions) {
    if (auto error = store_.setOpener(extension, opener)) {
      checkAssociation();
      return error;
    }
  }
  return std::nullopt;
}

}  // namespace quillon::platform
