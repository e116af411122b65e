#include "lsp/message_framing.h"

#include <charconv>

namespace quillon::lsp {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The body length the header gives, or the reason it gives none.
struct HeaderResult {
  std::optional<std::size_t> length;
  std::string error;
};

HeaderResult readHeader(std::string_view header) {
  HeaderResult result;
  bool seen = false;
  while (!header.empty()) {
    const std::size_t eol = header.find('\n');
    const std::string_view line = trim(header.substr(0, eol));
    header = eol == std::string_view::npos ? std::string_view{} : header.substr(eol + 1);
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {std::nullopt, "header line without a colon"};
    if (!sameName(trim(line.substr(0, colon)), "Content-Length")) continue;
    if (seen) return {std::nullopt, "Content-Length given twice"};
    seen = true;
    const std::string_view value = trim(line.substr(colon + 1));
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || ec != std::errc{} || end != value.data() + value.size() ||
        value.front() == '-')
      return {std::nullopt, "Content-Length is not a number"};
    if (n > FrameReader::kMaxBody) return {std::nullopt, "Content-Length too large"};
    result.length = n;
  }
  if (!seen) result.error = "header without Content-Length";
  return result;
}

// Where the empty line after the header ends (both CR LF CR LF and LF LF), or npos.
std::size_t headerEnd(std::string_view s, std::size_t& bodyStart) {
  std::size_t from = 0;
  while (true) {
    const std::size_t lf = s.find('\n', from);
    if (lf == std::string_view::npos) return std::string_view::npos;
    std::size_t next = lf + 1;
    if (next < s.size() && s[next] == '\r') ++next;
    if (next < s.size() && s[next] == '\n') {
      bodyStart = next + 1;
      return lf;
    }
    if (next >= s.size()) return std::string_view::npos;
    from = lf + 1;
  }
}

}  // namespace

void FrameReader::feed(std::string_view bytes) { buffer_.append(bytes); }

void FrameReader::compact() {
  // Moving the rest to the front only once most of the buffer is spent keeps feeding linear.
  if (start_ > 0 && start_ * 2 >= buffer_.size()) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
}

std::optional<FrameReader::Frame> FrameReader::next() {
  while (true) {
    if (bodyLength_) {
      if (pending() < *bodyLength_) return std::nullopt;
      Frame frame;
      frame.body = buffer_.substr(start_, *bodyLength_);
      start_ += *bodyLength_;
      bodyLength_.reset();
      compact();
      return frame;
    }
    const std::string_view rest = std::string_view(buffer_).substr(start_);
    // Blank lines between messages are no header at all.
    std::size_t skip = 0;
    while (skip < rest.size() && (rest[skip] == '\r' || rest[skip] == '\n')) ++skip;
    if (skip > 0) {
      start_ += skip;
      compact();
      continue;
    }
    std::size_t bodyStart = 0;
    const std::size_t end = headerEnd(rest, bodyStart);
    if (end == std::string_view::npos) {
      if (rest.size() <= kMaxHeader) return std::nullopt;
      start_ = buffer_.size();
      compact();
      return Frame{true, {}, "header too long"};
    }
    if (end > kMaxHeader) {
      start_ += bodyStart;
      compact();
      return Frame{true, {}, "header too long"};
    }
    const HeaderResult header = readHeader(rest.substr(0, end));
    start_ += bodyStart;
    if (!header.length) {
      compact();
      return Frame{true, {}, header.error};
    }
    bodyLength_ = header.length;
  }
}

std::string frameMessage(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

}  // namespace quillon::lsp
