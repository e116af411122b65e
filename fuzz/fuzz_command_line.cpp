// Windows command lines: any text splits without failing, and quoting any arguments, joined
// by blanks, splits back into exactly those arguments.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "build/windows_command_line.h"

using quillon::build::WindowsCommandLine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)WindowsCommandLine::split(text);

  if (WindowsCommandLine::split(WindowsCommandLine::quote(text)) != std::vector<std::string>{text})
    std::abort();

  // The input as several arguments, cut at each NUL.
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\0', start);
    if (end == std::string::npos) end = text.size();
    args.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::string line = " -D";
  for (const std::string& a : args) line += " " + WindowsCommandLine::quote(a);
  std::vector<std::string> expected = {"-D"};
  expected.insert(expected.end(), args.begin(), args.end());
  if (WindowsCommandLine::split(line) != expected) std::abort();
  return 0;
}
