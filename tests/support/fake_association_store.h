#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_association.h"

namespace quillon::testing {

// The system's file associations as a map; one extension can be made to refuse writes.
class FakeAssociationStore : public platform::AssociationStore {
public:
  std::string openCommand(std::string_view extension) const override {
    auto it = commands.find(std::string(extension));
    return it == commands.end() ? std::string() : it->second;
  }
  std::optional<std::string> setOpener(std::string_view extension,
                                       const platform::Opener& opener) override {
    writes.push_back(std::string(extension));
    if (extension == refuse) return "Failed to set data for ''";
    commands[std::string(extension)] = opener.command;
    return std::nullopt;
  }
  std::map<std::string, std::string> commands;
  std::vector<std::string> writes;
  std::string refuse;
};

}  // namespace quillon::testing
