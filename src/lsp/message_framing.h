#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How messages are cut out of the byte stream a client writes:
//
// - A message is a header, an empty line, and then exactly Content-Length bytes of body.
// - Header lines end with CR LF; a bare LF is taken too. Each is "Name: value"; names compare
//   without case, blanks around the value are dropped. Headers other than Content-Length
//   (Content-Type among them) are read and ignored.
// - Content-Length is decimal digits only, at most kMaxBody.
// - A header that lacks Content-Length, gives it twice, gives a bad number, has a line without
//   a colon or grows past kMaxHeader is malformed: everything up to its empty line is dropped
//   and reported as one bad frame, and reading goes on after it. A header that grows past
//   kMaxHeader without an empty line is dropped as far as it went.

namespace quillon::lsp {

// Cuts frames out of bytes fed to it in pieces of any size.
//
// Invariant: `buffer_` from `start_` on holds only bytes no frame has taken yet; next() is the
// one place that advances `start_`.
class FrameReader {
public:
  static constexpr std::size_t kMaxHeader = 8192;
  static constexpr std::size_t kMaxBody = std::size_t{1} << 30;

  struct Frame {
    bool malformed = false;
    std::string body;   // the message, when not malformed
    std::string error;  // why not, when malformed
  };

  void feed(std::string_view bytes);
  // The next whole frame, or nullopt until more bytes come.
  std::optional<Frame> next();
  // Bytes fed but not yet taken by a frame.
  std::size_t pending() const { return buffer_.size() - start_; }

private:
  void compact();

  std::string buffer_;
  std::size_t start_ = 0;
  // The header of the frame being read, once its empty line was found.
  std::optional<std::size_t> bodyLength_;
};

// `body` framed for the client.
std::string frameMessage(std::string_view body);

}  // namespace quillon::lsp
