#pragma once
#include <filesystem>
#include <optional>

namespace quillon::platform {

// `file` itself when it exists, else the one entry of its folder whose name differs only in
// ASCII letter case (Wine may write FOO.ERR for foo.mb); nullopt when there is none, and for
// a name holding a NUL or longer than the system allows.
std::optional<std::filesystem::path> findAnyCase(const std::filesystem::path& file);

// The same for every folder on the way as well: each part of `path` as spelled when that
// exists, else the entry of its folder that differs only in ASCII letter case.
std::optional<std::filesystem::path> findAnyCasePath(const std::filesystem::path& path);

}  // namespace quillon::platform
