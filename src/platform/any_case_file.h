#pragma once
#include <filesystem>
#include <optional>

namespace quillon::platform {

// `file` itself when it exists, else the one entry of its folder whose name differs only in
// ASCII letter case (Wine may write FOO.ERR for foo.mb); nullopt when there is none.
std::optional<std::filesystem::path> findAnyCase(const std::filesystem::path& file);

}  // namespace quillon::platform
