#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "build/build_commands.h"

namespace quillon::build {

// The lines of the "Build Output" view for a report: the command line, the working folder,
// what the child printed, then how it ended and how long it took. Printed bytes are shown as
// they came (UTF-8 where valid); control bytes other than tabs become U+FFFD and a line
// longer than kDisplayLine is cut into display lines of that length, so nothing printed is
// lost and no single line can stall the view.
struct OutputLine {
  std::string text;  // UTF-8
  bool dim = false;  // Wine's own noise: shown, never hidden, but set back
  bool operator==(const OutputLine&) const = default;
};

inline constexpr std::size_t kDisplayLine = 4096;

std::vector<OutputLine> outputLines(const BuildReport& report);
// A line Wine prints about itself rather than the compiler: debug channel messages
// ("fixme:", "err:", "0024:fixme:ole:..."), and the hint that the 32-bit Wine is missing.
bool isWineNoise(std::string_view line);

}  // namespace quillon::build
