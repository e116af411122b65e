#include "lsp/file_uri.h"

#include <gtest/gtest.h>

namespace quillon::lsp {
namespace {

TEST(FileUriTest, RoundTripsAndRefusals) {
  const std::filesystem::path odd = "/home/m\xC3\xB8ller/My Project/a#1%.mb";
  EXPECT_EQ(pathToUri(odd), "file:///home/m%C3%B8ller/My%20Project/a%231%25.mb");
  EXPECT_EQ(uriToPath(pathToUri(odd)), odd);
  EXPECT_EQ(uriToPath("FILE://localhost/tmp/x.mb"), std::filesystem::path("/tmp/x.mb"));
  EXPECT_EQ(uriToPath("file:///tmp/a/../x.mb?q#f"), std::filesystem::path("/tmp/x.mb"));
  for (const char* bad : {"untitled:Untitled-1", "file://server/share/x.mb", "file:///x%2",
                          "file:///x%zz", "file:///a%00b", "file:"})
    EXPECT_FALSE(uriToPath(bad)) << bad;
}

}  // namespace
}  // namespace quillon::lsp
