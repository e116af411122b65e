#include "lsp/message_framing.h"

#include <gtest/gtest.h>
#include <vector>

namespace quillon::lsp {
namespace {

// Feeds `bytes` in pieces of `step` and returns every frame as "body" or "!error".
std::vector<std::string> frames(const std::string& bytes, std::size_t step) {
  FrameReader reader;
  std::vector<std::string> out;
  for (std::size_t i = 0; i < bytes.size(); i += step) {
    reader.feed(std::string_view(bytes).substr(i, step));
    while (auto f = reader.next()) out.push_back(f->malformed ? "!" + f->error : f->body);
  }
  return out;
}

TEST(FrameReaderTest, CutsMessagesHoweverTheBytesArrive) {
  const std::string stream =
      frameMessage("{\"a\":1}") + "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n" +
      "content-length:  3 \r\n\r\n{ }" + frameMessage("") + "Content-Length: 2\n\n[]";
  for (std::size_t step : {std::size_t{1}, std::size_t{3}, std::size_t{7}, stream.size()})
    EXPECT_EQ(frames(stream, step), (std::vector<std::string>{"{\"a\":1}", "{ }", "", "[]"}))
        << step;
}

TEST(FrameReaderTest, MalformedHeadersAreReportedAndReadingGoesOn) {
  const std::string next = frameMessage("ok");
  struct Case {
    std::string header;
    std::string error;
  };
  for (const Case& c : std::vector<Case>{
           {"Content-Type: x\r\n\r\n", "header without Content-Length"},
           {"Content-Length: 12x\r\n\r\n", "Content-Length is not a number"},
           {"Content-Length: -1\r\n\r\n", "Content-Length is not a number"},
           {"Content-Length:\r\n\r\n", "Content-Length is not a number"},
           {"Content-Length: 99999999999999999999999\r\n\r\n", "Content-Length is not a number"},
           {"Content-Length: 1099511627776\r\n\r\n", "Content-Length too large"},
           {"Content-Length: 1\r\nContent-Length: 1\r\n\r\n", "Content-Length given twice"},
           {"garbage line\r\n\r\n", "header line without a colon"},
       }) {
    EXPECT_EQ(frames(c.header + next, 5), (std::vector<std::string>{"!" + c.error, "ok"}))
        << c.header;
  }
}

TEST(FrameReaderTest, AHeaderThatNeverEndsIsDroppedNotHoarded) {
  FrameReader reader;
  reader.feed(std::string(FrameReader::kMaxHeader + 10, 'x'));
  const auto f = reader.next();
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->malformed);
  EXPECT_EQ(reader.pending(), 0u);
  reader.feed(frameMessage("after"));
  EXPECT_EQ(reader.next()->body, "after");
}

TEST(FrameReaderTest, ABodyCutShortWaitsForTheRest) {
  FrameReader reader;
  reader.feed("Content-Length: 10\r\n\r\n12345");
  EXPECT_FALSE(reader.next());
  reader.feed("67890");
  EXPECT_EQ(reader.next()->body, "1234567890");
  EXPECT_FALSE(reader.next());
}

}  // namespace
}  // namespace quillon::lsp
