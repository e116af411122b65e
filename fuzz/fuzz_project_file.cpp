// Reads arbitrary bytes as a project file and looks for every module's source in a small
// folder tree with a Wine prefix, as Select.... does.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

#include "src/build/project_file.h"
#include "src/build/project_paths.h"
#include "src/platform/wine_registry.h"

namespace {

namespace fs = std::filesystem;

// <tmp>/proj/{p.mbp, Module1.mb, sub/two.mb}, <tmp>/prefix/dosdevices/c: -> <tmp>.
const fs::path& tree() {
  static const fs::path root = [] {
    std::string tmpl = (fs::temp_directory_path() / "quillon-fuzz-project-XXXXXX").string();
    const fs::path made = ::mkdtemp(tmpl.data()) ? fs::path(tmpl) : fs::temp_directory_path();
    std::error_code ec;
    fs::create_directories(made / "proj/sub", ec);
    fs::create_directories(made / "prefix/dosdevices", ec);
    fs::create_directory_symlink(made, made / "prefix/dosdevices/c:", ec);
    for (const char* name : {"proj/Module1.mb", "proj/sub/two.mb"})
      std::ofstream(made / name) << "x";
    return made;
  }();
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quillon::build::ProjectFile;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const quillon::platform::WineRegistry drives =
      quillon::platform::WineRegistry::fromText({}, {}, tree() / "prefix");
  const quillon::build::ProjectPaths paths(tree() / "proj/p.mbp", drives);
  int looked = 0;
  for (const std::string& value : ProjectFile::moduleValues(text)) {
    if (value.size() > size) __builtin_trap();  // a value is a piece of its line
    const std::string source = ProjectFile::sourceName(value);
    if (!source.ends_with(".mb")) __builtin_trap();
    if (++looked > 64) continue;  // the file system is slow; the reading is what is fuzzed most
    (void)paths.localPath(source);
    if (const auto found = paths.findFile(source)) {
      std::error_code ec;
      if (!fs::is_regular_file(*found, ec)) __builtin_trap();
    }
  }
  return 0;
}
