#pragma once
#include <filesystem>
#include <nlohmann/json_fwd.hpp>

namespace quillon::lsp {

// What a client may set through initializationOptions and workspace/didChangeConfiguration.
// Keys (strings; an empty string puts the default back): "mapbasicFolder", "winePrefix",
// "keyFile", "dictionaryFile", "contextFile", "definitionsFile". They may stand at the top of
// the object or inside "quillon" (how most clients send a section of their settings).
// Anything else is ignored; a value of the wrong type leaves its setting alone.
struct ServerSettings {
  std::filesystem::path mapBasicFolder;
  std::filesystem::path winePrefix;
  std::filesystem::path keyFile;
  std::filesystem::path dictFile;
  std::filesystem::path helpFile;
  std::filesystem::path defFile;

  // True when a word-list path changed, so the lists must be read again.
  bool merge(const nlohmann::json& options);
};

}  // namespace quillon::lsp
