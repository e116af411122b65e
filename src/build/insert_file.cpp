#include "build/insert_file.h"

#include <optional>
#include <system_error>
#include <vector>

#include "editor/code_memo.h"
#include "pages/text_encoding.h"
#include "platform/any_case_file.h"
#include "platform/regular_file.h"
#include "platform/text_lines.h"

namespace quillon::build {

namespace fs = std::filesystem;

namespace {

// A control character in the name (a line break is legal in a file name here) would end the
// comment and put the rest of the name into the code.
std::string markerName(const fs::path& file) {
  std::string name = file.string();
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  return name;
}

// The text of a file as a page would hold it, its lines broken as the editor breaks them
// (a lone LF or CR would stay inside a line); nullopt when it is no regular file or cannot be read.
std::optional<std::string> readText(const fs::path& file) {
  std::error_code ec;
  std::optional<platform::FileBytes> bytes =
      platform::readRegularFileBytes(file, static_cast<std::uint64_t>(editor::kMaxLoadLength), ec);
  if (!bytes) return std::nullopt;
  const pages::DecodedText decoded = pages::decodeText(bytes->data, bytes->size);
  std::string text;
  text.reserve(decoded.size + decoded.size / 16);
  platform::forEachLine(std::string_view(bytes->data.get(), decoded.size),
                        [&](const platform::TextLine& line) {
                          text += line.text;
                          if (line.hasBreak()) text += "\r\n";
                        });
  return text;
}

}  // namespace

InsertFile::InsertFile(Parts parts)
    : ui_(parts.ui), editor_(parts.sourceEditor), documents_(parts.documents) {}

std::string InsertFile::block(const fs::path& file, const std::vector<std::string>& contents,
                              bool project) {
  const std::string name = markerName(file);
  std::string text = "'**** INSERT START: " + name + "****\r\n";
  for (const std::string& content : contents) {
    if (project) text += "'********\r\n";
    text += content;
    text += "\r\n";
  }
  text += "'**** INSERT END: " + name + "****\r\n";
  return text;
}

void InsertFile::run() {
  platform::Ui::FileDialog dialog;
  dialog.title = "Insert File....";
  dialog.filter = kFilter;
  dialog.filterIndex = 1;
  dialog.initialDir = documents_.projectFolder();
  const std::vector<fs::path> chosen = ui_.openFiles(dialog);
  if (chosen.empty()) return;
  const fs::path& file = chosen.front();
  // The filter decides, not the extension: any file can stand for the project.
  const bool project = dialog.filterIndex == kProjectFilter;

  std::vector<fs::path> files;
  if (project) {
    for (const char* extension : kSections) {
      fs::path section = file;
      section.replace_extension(extension);
      files.push_back(platform::findAnyCase(section).value_or(section));
    }
  } else {
    files.push_back(file);
  }
  std::vector<std::string> contents;
  for (const fs::path& f : files) {
    std::optional<std::string> text = readText(f);
    if (!text) {
      ui_.showMessage("Cannot open file " + f.string());
      return;
    }
    contents.push_back(std::move(*text));
  }

  // At the paragraph, not the display line: with word wrap on the two differ.
  editor_.select(editor_.table().startOf(editor_.selPar()), 0);
  editor_.setSelText(block(file, contents, project));
}

}  // namespace quillon::build
