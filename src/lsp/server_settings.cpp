#include "lsp/server_settings.h"

#include <nlohmann/json.hpp>

namespace quillon::lsp {

namespace {

bool take(const nlohmann::json& object, const char* key, std::filesystem::path& into) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_string()) return false;
  std::filesystem::path value = it->get<std::string>();
  if (value == into) return false;
  into = std::move(value);
  return true;
}

}  // namespace

bool ServerSettings::merge(const nlohmann::json& options) {
  if (!options.is_object()) return false;
  bool listsChanged = false;
  const auto read = [&](const nlohmann::json& object) {
    take(object, "mapbasicFolder", mapBasicFolder);
    take(object, "winePrefix", winePrefix);
    listsChanged |= take(object, "keyFile", keyFile);
    listsChanged |= take(object, "dictionaryFile", dictFile);
    listsChanged |= take(object, "contextFile", helpFile);
    listsChanged |= take(object, "definitionsFile", defFile);
  };
  read(options);
  const auto nested = options.find("quillon");
  if (nested != options.end() && nested->is_object()) read(*nested);
  return listsChanged;
}

}  // namespace quillon::lsp
