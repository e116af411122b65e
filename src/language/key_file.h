#pragma once
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/keyword_info.h"
#include "editor/keyword_list.h"
#include "editor/start_stop_key_list.h"
#include "platform/ui.h"

namespace quillon::language {

// The key file (.bin): the keyword list and the start-stop list as two tagged lists, no header.
// Bytes: list begin 1, list end 0; strings tag 6 + 1-byte length or tag 12 + 4-byte length;
// integers tag 2/3/4 + 1/2/4 little-endian signed bytes; Booleans 8 (false) or 9 (true).

inline constexpr const char* kInvalidPropertyValue = "Invalid property value";
inline constexpr const char* kStreamReadError = "Stream read error";

// A key file that does not follow the layout; what() is one of the two messages above.
class KeyFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A key file as read, before it reaches the lists, so that a bad file changes nothing.
struct KeyFileContents {
  struct Keyword {
    std::string text;
    editor::KeywordInfo info;
  };
  struct StartStop {
    std::string startKey;
    std::string stopKey;
    editor::KeywordInfo info;
    bool parEnd = false;
  };
  std::vector<Keyword> keywords;
  std::vector<StartStop> startStops;
};

// Reads through a 1024-byte buffer; throws KeyFileError. Memory grows only with bytes actually
// read, so a huge declared length in a short file fails without a huge allocation. Bytes after
// the second list are ignored.
KeyFileContents readKeyFile(std::istream& in);

// Replaces both lists' contents (one change notification each).
void applyKeyFile(const KeyFileContents& contents, editor::KeywordList& keywords,
                  editor::StartStopKeyList& startStops);

std::string encodeKeyFile(const editor::KeywordList& keywords,
                          const editor::StartStopKeyList& startStops);

// A key file holds a few thousand words; anything near this size is not one.
inline constexpr std::uint64_t kMaxKeyFileSize = std::uint64_t{64} << 20;

// Loads `keyFile` into the lists. A missing file is reported and `keyFile` becomes
// `defaultKeyFile`, which is loaded instead. A bad or unreadable file (also one that is no
// regular file or is larger than kMaxKeyFileSize) is reported through `ui` and leaves both
// lists as they were. Returns true when a file was loaded. The caller re-applies
// highlighting afterwards.
bool loadKeyFile(std::filesystem::path& keyFile, const std::filesystem::path& defaultKeyFile,
                 editor::KeywordList& keywords, editor::StartStopKeyList& startStops,
                 platform::Ui& ui);

// Writes both lists to `keyFile` through platform::replaceFile, so a failed write keeps the
// old file. Failures are reported through `ui`; returns true on success.
bool saveKeyFile(const std::filesystem::path& keyFile, const editor::KeywordList& keywords,
                 const editor::StartStopKeyList& startStops, platform::Ui& ui);

// The keyword texts in descending compareNoCase order, so "END IF" comes before "END".
std::vector<std::string> buildKeyList(const editor::KeywordList& keywords);

}  // namespace quillon::language
