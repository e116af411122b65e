#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/environment.h"
#include "platform/wine_registry.h"

// How an Include name (or a file name the compiler wrote into an error line) becomes a file,
// as the compiler looks for it:
//
// 1. The name as written, "\" a separator, relative to the including file's folder. A name
//    with a drive letter ("C:\lib\x.def") goes through the Wine prefix's drives and is
//    looked up there only.
// 2. Each folder of MBINCLUDE (semicolon-separated) and, below it, its sub-folders.
// 3. The MapBasic program folder.
//
// At each place the exact spelling wins; otherwise every folder on the way and the file are
// matched in any letter case. Only a regular file counts. Refused outright (never found): an
// empty name, one holding a NUL or longer than kMaxNameLength, a "\\server" share, a name
// rooted without a drive ("\x.def", "/proc/..."), and any result inside /proc, /sys or /dev,
// which no MapBasic installation holds and whose files never end or block.

namespace quillon::platform {

struct IncludeFolders {
  std::vector<std::filesystem::path> mbInclude;  // in the order MBINCLUDE names them
  std::filesystem::path mapBasic;                // may be empty
};

// Searches as described above. The sub-folders of the MBINCLUDE folders are listed once, when
// the resolver is made (at most kMaxSubFolders of them, kMaxDepth levels deep, links not
// followed), so a look-up never walks a tree.
class IncludeResolver {
public:
  static constexpr std::size_t kMaxNameLength = 4096;
  static constexpr std::size_t kMaxSubFolders = 2000;
  static constexpr int kMaxDepth = 8;

  IncludeResolver() = default;
  IncludeResolver(const IncludeFolders& folders, const Registry* drives);

  // The folders of an MBINCLUDE value: each non-blank part, a Windows path through `drives`
  // (parts that lead nowhere are dropped).
  static std::vector<std::filesystem::path> parseMbInclude(std::string_view value,
                                                           const Registry* drives);

  // The regular file `name` names for a file in `includingFolder`; nullopt when there is none.
  std::optional<std::filesystem::path> resolve(std::string_view name,
                                               const std::filesystem::path& includingFolder) const;

  // The name as a relative path ("\" made "/"), or nullopt for a name refused outright or one
  // with a drive letter.
  static std::optional<std::filesystem::path> relativeName(std::string_view name);

private:
  std::optional<std::filesystem::path> findIn(const std::filesystem::path& folder,
                                              const std::filesystem::path& relative) const;

  std::vector<std::filesystem::path>
      searched_;  // MBINCLUDE folders and their sub-folders, in order
  std::filesystem::path mapBasic_;
  const Registry* drives_ = nullptr;
};

// The resolver of one machine (its MBINCLUDE and Wine drives) for the MapBasic folder as it is
// now: the user may change the folder at any time, so refresh() makes the resolver anew when it
// did. The program has one, which the error panel, the index and Go To Definition share.
class IncludeSearch {
public:
  void setSurroundings(const Environment& environment,
                       std::function<std::filesystem::path()> mapBasicFolder);
  // True when the resolver was made anew.
  bool refresh();
  // Counts the surroundings set and the resolvers made, so each user sees a change once.
  std::uint64_t generation() const { return generation_; }
  const IncludeResolver& resolver() const { return resolver_; }
  const WineRegistry& drives() const { return drives_; }
  std::optional<std::filesystem::path> resolve(std::string_view name,
                                               const std::filesystem::path& includingFolder) {
    refresh();
    return resolver_.resolve(name, includingFolder);
  }

private:
  WineRegistry drives_ = WineRegistry::fromText({});
  std::vector<std::filesystem::path> mbInclude_;
  std::function<std::filesystem::path()> mapBasicFolder_;
  std::filesystem::path madeFor_{"\n"};  // differs from any folder until the first refresh
  IncludeResolver resolver_;
  std::uint64_t generation_ = 0;
};

}  // namespace quillon::platform
