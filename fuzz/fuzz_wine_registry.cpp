// Feeds arbitrary bytes to the Wine hive parser as both hives and reads a few values back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/platform/wine_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto registry = quillon::platform::WineRegistry::fromText(text, text.substr(size / 2));
  using quillon::platform::RegistryRoot;
  for (auto key : {"Software\\MapInfo\\MapBasic", "\\a", "", "software\\x\\"}) {
    for (auto name : {"ProgramDirectory", "", "a"}) {
      auto value = registry.readString(RegistryRoot::LocalMachine, key, name);
      if (value && value->size() > size) __builtin_trap();  // a value never outgrows its text
      (void)registry.readString(RegistryRoot::CurrentUser, key, name);
    }
  }
  return 0;
}
