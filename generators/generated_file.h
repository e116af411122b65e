#pragma once
// Files the build writes beside the program that the user may change later: the dictionary
// grows at exit, the keys editor saves the key file. A rebuild must never overwrite them, so
// the build writes such a file only while it is missing or still holds exactly what the build
// last wrote, a copy of which it keeps beside it as "<file>.built". A file without that copy
// came from a build before the copy was kept, and is the build's own.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>

#include "platform/regular_file.h"
#include "platform/replace_file.h"

namespace quillon::generators {

inline std::optional<std::string> readIfThere(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return std::nullopt;
  return platform::readRegularFile(file, std::uint64_t{1} << 30, ec);
}

// False (after a message on stderr) when the file or its copy cannot be written.
inline bool writeGenerated(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::path built = file;
  built += ".built";
  const std::optional<std::string> now = readIfThere(file);
  const std::optional<std::string> last = readIfThere(built);
  if (now && last && *now != *last) {
    if (*now != bytes)
      std::cerr << "note: keeping " << file.string() << ", changed since the build wrote it\n";
    return true;
  }
  if (!(now && *now == bytes) && !platform::replaceFile(file, bytes)) {
    std::cerr << file.string() << ": cannot write\n";
    return false;
  }
  if (!(last && *last == bytes) && !platform::replaceFile(built, bytes)) {
    std::cerr << built.string() << ": cannot write\n";
    return false;
  }
  return true;
}

}  // namespace quillon::generators
