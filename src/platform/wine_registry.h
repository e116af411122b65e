#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

enum class RegistryRoot { LocalMachine, CurrentUser };

// Read-only access to string values of the Windows registry. Key paths use backslashes and
// compare without regard to case; a leading backslash is allowed. An empty name is the key's
// default value. Text is Windows-1252.
class Registry {
public:
  virtual ~Registry() = default;
  virtual std::optional<std::string> readString(RegistryRoot root, std::string_view key,
                                                std::string_view name) const = 0;
  // A path read from this registry, as this machine can open it; nullopt when it cannot be
  // reached from here (no such drive, a network path).
  virtual std::optional<std::filesystem::path> toLocalPath(std::string_view windowsPath) const = 0;
};

// The registry of a Wine prefix, read from its text hive files (system.reg for the machine,
// user.reg for the user). Damaged or truncated files are read as far as they make sense.
class WineRegistry final : public Registry {
public:
  // Missing or unreadable hive files, and those that are no regular file or larger than
  // kMaxHiveSize, read as empty hives.
  static WineRegistry load(const std::filesystem::path& prefix);
  static constexpr std::uint64_t kMaxHiveSize = std::uint64_t{256} << 20;
  static WineRegistry fromText(std::string_view systemReg, std::string_view userReg = {},
                               const std::filesystem::path& prefix = {});

  std::optional<std::string> readString(RegistryRoot root, std::string_view key,
                                        std::string_view name) const override;
  // "C:\Program Files\X\" becomes <prefix>/dosdevices/c: resolved, then "Program Files/X",
  // each folder matched without regard to case when the exact spelling does not exist.
  std::optional<std::filesystem::path> toLocalPath(std::string_view windowsPath) const override;
  // The reverse, for handing a local path to a Windows program: the drive under
  // <prefix>/dosdevices whose target holds the path and is the longest such, else "Z:" for
  // the root. Symbolic links are resolved first; the result keeps the local bytes.
  std::string toWindowsPath(const std::filesystem::path& localPath) const;

  struct Value {
    enum class Type { String, ExpandString, MultiString, Dword, Binary, Other };
    Type type = Type::Other;
    std::string text;  // Windows-1252, for the string types
  };
  // Folded key path -> folded value name -> value.
  using Hive = std::map<std::string, std::map<std::string, Value>>;

private:
  const Value* find(const Hive& hive, std::string_view key, std::string_view name) const;

  std::filesystem::path prefix_;
  Hive machine_;
  Hive user_;
};

// The MapInfo and MapBasic program folders as the machine registry names them, each with a
// trailing separator, or empty when not found.
struct ProgramFolders {
  std::filesystem::path mapInfo;
  std::filesystem::path mapBasic;
};
ProgramFolders findProgramFolders(const Registry& registry);

// A non-empty folder that does not end with a separator gets one.
std::filesystem::path withTrailingSeparator(const std::filesystem::path& folder);

}  // namespace quillon::platform
