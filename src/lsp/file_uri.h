#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// file: URIs as clients send them: "file://" then an optional host ("localhost" or empty),
// then the absolute path with %XX escapes. A path with a drive letter ("/C:/x") keeps it as
// written. Any other scheme, another host, a bad escape or an escaped NUL is no file.

namespace quillon::lsp {

std::optional<std::filesystem::path> uriToPath(std::string_view uri);
// Every byte outside the unreserved characters and "/" escaped.
std::string pathToUri(const std::filesystem::path& path);

}  // namespace quillon::lsp
