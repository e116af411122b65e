#include "lsp/file_uri.h"

namespace quillon::lsp {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

}  // namespace

std::optional<std::filesystem::path> uriToPath(std::string_view uri) {
  constexpr std::string_view scheme = "file://";
  if (uri.size() < scheme.size()) return std::nullopt;
  for (std::size_t i = 0; i < scheme.size(); ++i)
    if ((uri[i] | (i < 4 ? 0x20 : 0)) != scheme[i]) return std::nullopt;
  std::string_view rest = uri.substr(scheme.size());
  const std::size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = rest.substr(0, slash);
  if (!host.empty() && host != "localhost") return std::nullopt;
  rest = rest.substr(slash);
  // A query or fragment is no part of a file's name.
  rest = rest.substr(0, rest.find_first_of("?#"));
  std::string path;
  path.reserve(rest.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '%') {
      path.push_back(rest[i]);
      continue;
    }
    if (i + 2 >= rest.size()) return std::nullopt;
    const int hi = hexValue(rest[i + 1]), lo = hexValue(rest[i + 2]);
    if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) return std::nullopt;
    path.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  return std::filesystem::path(path).lexically_normal();
}

std::string pathToUri(const std::filesystem::path& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  const std::string text = path.generic_string();
  if (text.empty() || text.front() != '/') uri.push_back('/');
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (unreserved(c)) {
      uri.push_back(ch);
    } else {
      uri.push_back('%');
      uri.push_back(kHex[c >> 4]);
      uri.push_back(kHex[c & 15]);
    }
  }
  return uri;
}

}  // namespace quillon::lsp
