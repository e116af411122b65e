#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillon::settings {

// Outcome of a load or save. `error` is the text to show ("Cannot open file ...",
// "Cannot create file ..."); `detail` is the system's reason, for a log or a second line.
struct IniResult {
  bool ok = true;
  std::string error;
  std::string detail;
  explicit operator bool() const { return ok; }
};

// An INI file with the behaviour of the Windows profile functions, kept as its raw lines so
// that everything a write does not touch is saved byte for byte (line ends included).
//
// How lines are read (leading and trailing blanks - space, tab, VT, FF, Ctrl-Z - never count):
//  - Lines end at CR LF, LF or a lone CR; each line keeps its own ending.
//  - "[name]" starts a section; the name runs to the last "]" on the line and is trimmed.
//    A "[" line without "]" is no header: it is an ordinary line of the section it is in.
//  - ";" first means a comment: never a key, never listed, kept as it is.
//  - "key=value": split at the first "=", both sides trimmed. No inline comments: a ";"
//    after the "=" belongs to the value. A line with an empty key ("=x") is ignored.
//  - A line without "=" is a key without a value: listed among the key names, but reads
//    as the caller's default.
//  - Lines before the first header belong to no section: kept, never read or written.
//  - Section and key names compare without regard to ASCII case. With duplicate sections
//    only the first is read and written (later ones are kept but invisible); with duplicate
//    keys in a section the first wins, and a write replaces the first.
//  - readString drops one pair of matching quotes ('...' or "...") around a value, as
//    GetPrivateProfileString does; readSectionValues returns values with their quotes.
// Every line a write produces ends in CR LF.
class IniFile {
public:
  IniFile() = default;
  explicit IniFile(std::string_view bytes) { setBytes(bytes); }
  // The index holds iterators into the section list, so a copy rebuilds it from the bytes.
  IniFile(const IniFile& other);
  IniFile& operator=(const IniFile& other);
  IniFile(IniFile&&) noexcept = default;
  IniFile& operator=(IniFile&&) noexcept = default;

  void setBytes(std::string_view bytes);  // replaces the whole contents
  std::string bytes() const;              // the file as it would be saved

  // Load replaces the contents only on success; it reads only a regular file of at most
  // kMaxFileSize bytes. Save goes through platform::replaceFile, so a failed save leaves the
  // old file as it was.
  IniResult load(const std::filesystem::path& path);
  IniResult save(const std::filesystem::path& path);
  // Settings files are kilobytes; anything near this is not one.
  static constexpr std::uint64_t kMaxFileSize = std::uint64_t{64} << 20;

  bool modified() const { return modified_; }  // changed since the last setBytes/load/save

  // Reads.
  bool sectionExists(std::string_view section) const;
  bool valueExists(std::string_view section, std::string_view key) const;
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // As readString, but nullopt where readString would give the default.
  std::optional<std::string> readValue(std::string_view section, std::string_view key) const;
  std::vector<std::string> sectionNames() const;  // each name once, first spelling, file order
  // The key names of a section in file order, each once (first spelling).
  std::vector<std::string> readSection(std::string_view section) const;
  // Every key line of a section as "key=value" (or "key" for a line without "="), in file
  // order, duplicates included.
  std::vector<std::string> readSectionValues(std::string_view section) const;
  // Values of prefix+"0", prefix+"1", ... up to `limit` keys; stops at the first missing
  // or empty one.
  std::vector<std::string> readList(std::string_view section, std::string_view prefix,
                                    std::size_t limit) const;

  // Writes. A name or value that cannot be stored so that it reads back (a line break in
  // any of them; a key that is empty, holds "=", or starts with ";" or "[") is refused
  // with false and nothing changes.
  bool writeString(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of the key from the section; false when there was none.
  bool deleteKey(std::string_view section, std::string_view key);
  // Removes every section of that name (duplicates too) with all its lines.
  bool eraseSection(std::string_view section);
  // Erases the section, then writes items[i] under prefix+i for at most `limit` items.
  // An item that cannot be stored is skipped without using up a number, so the list reads
  // back without a gap; the result is false when any was skipped.
  bool writeList(std::string_view section, std::string_view prefix,
                 const std::vector<std::string>& items, std::size_t limit);
  // Appends one raw line (CR LF added) at the end of the file; a "[name]" line starts a
  // section. For files written line by line, such as the first-run settings file.
  bool appendLine(std::string_view line);

  static bool validSectionName(std::string_view section);
  static bool validKey(std::string_view key);
  static bool validValue(std::string_view value);

private:
  enum class Eol : std::uint8_t { None, Lf, CrLf, Cr };
  enum class Kind : std::uint8_t { Blank, Comment, Header, Entry, Ignored };

  struct Line {
    std::string text;  // without its line end
    Eol eol = Eol::None;
    Kind kind = Kind::Blank;
    bool hasValue = false;
    // Key and value as offsets into text (trimmed), for entries.
    std::size_t keyBegin = 0, keyLength = 0, valueBegin = 0, valueLength = 0;

    std::string_view key() const { return std::string_view(text).substr(keyBegin, keyLength); }
    std::string_view value() const {
      return std::string_view(text).substr(valueBegin, valueLength);
    }
  };

  // A header line and the lines up to the next header. The block before the first header
  // has no header and no name.
  struct Section {
    std::string name;
    bool preamble = false;
    std::vector<Line> lines;
    std::unordered_map<std::string, std::size_t> keys;  // folded key -> first entry line
    void reindex();
  };
  using SectionIter = std::list<Section>::iterator;

  static Line parseLine(std::string_view text, Eol eol);
  static std::string fold(std::string_view name);
  const Section* findSection(std::string_view section) const;
  Section* findSection(std::string_view section);
  const Line* findEntry(std::string_view section, std::string_view key) const;
  void addLine(Line line);  // at the end of the file, opening a section for a header
  void terminateLastLine();
  void clear();

  std::list<Section> sections_;  // file order; list nodes keep the index's iterators valid
  std::unordered_map<std::string, std::vector<SectionIter>> index_;  // folded name -> sections
  bool modified_ = false;
};

}  // namespace quillon::settings
